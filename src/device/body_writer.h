// The device worker: writes the macro bodies that the mouse's own events call for (the recoil
// adjustment) off the user-interface thread, so that the window never waits on the wire for
// them. The bodies are copies made on the user-interface thread. Each 8-byte run is one
// transaction of the transport (its lock held for that run alone); between two runs the worker
// notices a stop or an abandon, so neither waits for more than the run in progress (some 6 ms:
// the transport pauses 4 ms before each commit and 2 ms before each end).
// The window owns the worker, starts it with the device threads, installs it for the recoil
// adjustment and stops it before it goes.
// Threads: Start, Write, Abandon and Stop on the user-interface thread; the worker's own thread
// writes and calls each write's done.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

class MacroBodyWriter {
public:
    MacroBodyWriter() = default;
    MacroBodyWriter(const MacroBodyWriter&) = delete;
    MacroBodyWriter& operator=(const MacroBodyWriter&) = delete;
    ~MacroBodyWriter() { Stop(); }

    void Start();
    // Queues body for address and returns at once. done runs on the worker once the body is
    // written, or cut short by Abandon or Stop (it always runs, exactly once).
    void Write(int address, std::vector<std::uint8_t> body, std::function<void()> done);
    // Drops the bodies still queued and ends the one being written after its current run;
    // returns once the worker writes nothing (every done has run). For a write of the whole
    // settings image, which supersedes them.
    void Abandon();
    // Abandons everything and ends the worker.
    void Stop();

private:
    struct Job {
        int address = 0;
        std::vector<std::uint8_t> body;
        std::function<void()> done;
    };
    void Run(std::stop_token stop);
    // The queued bodies are not written; their done runs here and now.
    void DropQueued();

    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::condition_variable idle_;
    std::deque<Job> jobs_;  // under mutex_
    bool writing_ = false;  // under mutex_
    std::atomic<bool> abandon_{false};
    std::jthread thread_;
};

// The worker the recoil adjustment hands its bodies to; none (they are written on the calling
// thread) unless the window installed one. User-interface thread.
void SetMacroBodyWriter(MacroBodyWriter* writer);
MacroBodyWriter* CurrentMacroBodyWriter();
// A write of the whole settings image is coming: the installed worker, if any, abandons its
// bodies first. User-interface thread.
void AbandonMacroBodyWrites();
