// Sleeping and the time of day, behind one seam so unit tests run on virtual time.
// The program uses the real clock; a test installs a VirtualClock for its duration.
// Any thread may sleep or read the time; installing a clock is done before threads start.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stop_token>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual void Sleep(int milliseconds) = 0;
    // A pause that paces the mouse's protocol: as close to its length as the clock can keep it.
    virtual void SleepPrecise(int milliseconds) { Sleep(milliseconds); }
    // Monotonic time in microseconds since an arbitrary start.
    virtual std::int64_t NowMicroseconds() = 0;
    // The time of day's calendar clock: milliseconds since 1970-01-01 00:00 UTC.
    virtual std::int64_t UtcMilliseconds() = 0;
    // A pause a stop request ends early, for threads that only wait to show the next step.
    // Returns false when stop was requested. By default the pause is a Sleep.
    virtual bool SleepUnlessStopped(std::stop_token stop, int milliseconds) {
        Sleep(milliseconds);
        return !stop.stop_requested();
    }
};

// Real sleeps, steady clock.
class SystemClock final : public Clock {
public:
    void Sleep(int milliseconds) override;
    void SleepPrecise(int milliseconds) override;
    std::int64_t NowMicroseconds() override;
    std::int64_t UtcMilliseconds() override;
    bool SleepUnlessStopped(std::stop_token stop, int milliseconds) override;
};

// Sleeping advances the virtual time at once; nothing waits. A SleepUnlessStopped pause is the
// exception: it waits, as on the real clock, until others have moved the time past its end (by
// Advance or their own sleeps) or stop is requested, so a thread that only paces a display
// never races ahead of the test.
class VirtualClock final : public Clock {
public:
    void Sleep(int milliseconds) override;
    std::int64_t NowMicroseconds() override { return now_.load(); }
    void Advance(std::int64_t microseconds);
    bool SleepUnlessStopped(std::stop_token stop, int milliseconds) override;
    // How many SleepUnlessStopped pauses wait now: a test moves the time once they do.
    int Waiting() const { return waiters_.load(); }
    // The calendar clock moves with the virtual time; this sets where it stands now.
    void SetUtcMilliseconds(std::int64_t utcMs) { utcStartMs_.store(utcMs - now_.load() / 1000); }
    std::int64_t UtcMilliseconds() override { return utcStartMs_.load() + now_.load() / 1000; }

private:
    // Wakes the pauses of SleepUnlessStopped after the time moved.
    void Moved();

    std::atomic<std::int64_t> now_{0};
    std::atomic<std::int64_t> utcStartMs_{0};
    std::atomic<int> waiters_{0};
    std::mutex mutex_;
    std::condition_variable_any moved_;
};

// The clock in force (the system clock unless a test installed another).
Clock& CurrentClock();
// Installs a clock; nullptr restores the system clock. Returns the one that was in force.
Clock* SetClock(Clock* clock);

// Sleep(ms) of the design, on the clock in force.
inline void Sleep(int milliseconds) {
    CurrentClock().Sleep(milliseconds);
}
// A pause of the mouse's protocol, kept as close to its length as the clock can.
inline void SleepPrecise(int milliseconds) {
    CurrentClock().SleepPrecise(milliseconds);
}
inline std::int64_t NowMicroseconds() {
    return CurrentClock().NowMicroseconds();
}
inline std::int64_t UtcMilliseconds() {
    return CurrentClock().UtcMilliseconds();
}

}  // namespace platform
