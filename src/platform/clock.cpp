#include "platform/clock.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace platform {
namespace {

SystemClock g_systemClock;
std::atomic<Clock*> g_clock{&g_systemClock};

}  // namespace

void SystemClock::Sleep(int milliseconds) {
    if (milliseconds > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

void SystemClock::SleepPrecise(int milliseconds) {
    if (milliseconds <= 0) {
        return;
    }
    // Thousands of these pace one settings image; the timer slack and wake-up latency would add
    // tens of microseconds to each. Sleep to just short of the deadline, then yield up to it.
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds * 1ms;
    std::this_thread::sleep_until(deadline - 150us);
    while (steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
}

std::int64_t SystemClock::NowMicroseconds() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

std::int64_t SystemClock::UtcMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

bool SystemClock::SleepUnlessStopped(std::stop_token stop, int milliseconds) {
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock lock(mutex);
    // Nothing notifies the variable: only the stop request or the time ends the wait.
    wake.wait_for(lock, stop, std::chrono::milliseconds(milliseconds), [] { return false; });
    return !stop.stop_requested();
}

void VirtualClock::Sleep(int milliseconds) {
    if (milliseconds > 0) {
        now_.fetch_add(static_cast<std::int64_t>(milliseconds) * 1000);
        Moved();
    }
}

void VirtualClock::Advance(std::int64_t microseconds) {
    now_.fetch_add(microseconds);
    Moved();
}

void VirtualClock::Moved() {
    // The device threads sleep thousands of times a test: only a waiting pause costs a lock.
    if (waiters_.load() > 0) {
        std::lock_guard lock(mutex_);
        moved_.notify_all();
    }
}

bool VirtualClock::SleepUnlessStopped(std::stop_token stop, int milliseconds) {
    const std::int64_t end = now_.load() + static_cast<std::int64_t>(milliseconds) * 1000;
    std::unique_lock lock(mutex_);
    ++waiters_;
    moved_.wait(lock, stop, [&] { return now_.load() >= end; });
    --waiters_;
    return !stop.stop_requested();
}

Clock& CurrentClock() {
    return *g_clock.load();
}

Clock* SetClock(Clock* clock) {
    return g_clock.exchange(clock ? clock : &g_systemClock);
}

}  // namespace platform
