// The transport's lock: recursive (a caller may hold it around several transactions) and fair.
// Threads get it in the order they asked for it, so a device thread's single hold command waits
// for at most the transaction in progress, never for a whole settings image whose runs the
// user-interface thread would otherwise take back-to-back. Any thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class TransportMutex {
public:
    void lock();
    void unlock();

private:
    std::mutex mutex_;
    std::condition_variable turn_;
    std::uint64_t nextTicket_ = 0;
    std::uint64_t serving_ = 0;
    std::thread::id owner_;
    int depth_ = 0;
};
