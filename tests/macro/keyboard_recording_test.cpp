#include "macro/keyboard_recording.h"

#include <gtest/gtest.h>

#include "platform/clock.h"

namespace {

// 2026-12-08 23:59:59.900 UTC, a Tuesday.
constexpr std::int64_t BeforeMidnight = 1'796'774'399'900;

class ElapsedTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = platform::SetClock(&clock_);
        clock_.SetUtcMilliseconds(BeforeMidnight);
        g_lastMs = 0;
    }
    void TearDown() override { platform::SetClock(previous_); }
    void Wait(std::int64_t ms) { clock_.Advance(ms * 1000); }

    platform::VirtualClock clock_;
    platform::Clock* previous_ = nullptr;
};

TEST_F(ElapsedTest, MeasuresFromThePreviousCallAcrossMidnightUtc) {
    EXPECT_EQ(ElapsedMilliseconds(), 65535) << "from midnight: capped";
    EXPECT_EQ(g_lastMs, 86'399'900u);
    EXPECT_EQ(g_lastTime.year, 2026);
    EXPECT_EQ(g_lastTime.month, 12);
    EXPECT_EQ(g_lastTime.day, 8);
    EXPECT_EQ(g_lastTime.dayOfWeek, 2);
    EXPECT_EQ(g_lastTime.hour, 23);
    EXPECT_EQ(g_lastTime.milliseconds, 900);

    Wait(250);  // 00:00:00.150 of the next day
    EXPECT_EQ(ElapsedMilliseconds(), 250);
    EXPECT_EQ(g_lastMs, 150u);
    EXPECT_EQ(g_lastTime.day, 9);
    EXPECT_EQ(ElapsedMilliseconds(), 0);
}

TEST_F(ElapsedTest, ALongPauseIsCappedAt65535) {
    ElapsedMilliseconds();
    Wait(65535);
    EXPECT_EQ(ElapsedMilliseconds(), 65535);
    Wait(65536);
    EXPECT_EQ(ElapsedMilliseconds(), 65535);
    Wait(70'000);  // across midnight too
    EXPECT_EQ(ElapsedMilliseconds(), 65535);
}

}  // namespace
