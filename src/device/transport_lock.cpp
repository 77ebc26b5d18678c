#include "device/transport_lock.h"

void TransportMutex::lock() {
    std::unique_lock guard(mutex_);
    const std::thread::id self = std::this_thread::get_id();
    if (depth_ > 0 && owner_ == self) {
        ++depth_;
        return;
    }
    const std::uint64_t ticket = nextTicket_++;
    turn_.wait(guard, [&] { return serving_ == ticket; });
    owner_ = self;
    depth_ = 1;
}

void TransportMutex::unlock() {
    std::lock_guard guard(mutex_);
    if (--depth_ > 0) {
        return;
    }
    owner_ = std::thread::id();
    ++serving_;
    turn_.notify_all();
}
