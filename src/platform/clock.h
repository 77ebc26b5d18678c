// Sleeping and the time of day, behind one seam so unit tests run on virtual time.
// The program uses the real clock; a test installs a VirtualClock for its duration.
// Any thread may sleep or read the time; installing a clock is done before threads start.
#pragma once

#include <atomic>
#include <cstdint>

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
};

// Real sleeps, steady clock.
class SystemClock final : public Clock {
public:
    void Sleep(int milliseconds) override;
    void SleepPrecise(int milliseconds) override;
    std::int64_t NowMicroseconds() override;
    std::int64_t UtcMilliseconds() override;
};

// Sleeping advances the virtual time at once; nothing waits.
class VirtualClock final : public Clock {
public:
    void Sleep(int milliseconds) override;
    std::int64_t NowMicroseconds() override { return now_.load(); }
    void Advance(std::int64_t microseconds) { now_.fetch_add(microseconds); }
    // The calendar clock moves with the virtual time; this sets where it stands now.
    void SetUtcMilliseconds(std::int64_t utcMs) { utcStartMs_.store(utcMs - now_.load() / 1000); }
    std::int64_t UtcMilliseconds() override { return utcStartMs_.load() + now_.load() / 1000; }

private:
    std::atomic<std::int64_t> now_{0};
    std::atomic<std::int64_t> utcStartMs_{0};
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
