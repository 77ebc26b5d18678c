#include "macro/keyboard_recording.h"

#include <gtest/gtest.h>

#include "platform/clock.h"

namespace {

TEST(ElapsedMilliseconds, MeasuresAcrossMidnightUtcAndCapsAt65535) {
    platform::VirtualClock clock;
    clock.SetUtcMilliseconds(1'796'774'399'900);  // Tuesday 2026-12-08 23:59:59.900 UTC
    platform::Clock* previous = platform::SetClock(&clock);
    g_lastMs = 0;
    EXPECT_EQ(ElapsedMilliseconds(), 65535) << "from midnight: capped";
    EXPECT_EQ(g_lastMs, 86'399'900u);
    EXPECT_EQ(g_lastTime.year, 2026);
    EXPECT_EQ(g_lastTime.month, 12);
    EXPECT_EQ(g_lastTime.day, 8);
    EXPECT_EQ(g_lastTime.dayOfWeek, 2);

    clock.Advance(250'000);  // 00:00:00.150 of the next day
    EXPECT_EQ(ElapsedMilliseconds(), 250);
    EXPECT_EQ(g_lastMs, 150u);
    EXPECT_EQ(g_lastTime.day, 9);
    EXPECT_EQ(ElapsedMilliseconds(), 0);
    clock.Advance(65'535'000);
    EXPECT_EQ(ElapsedMilliseconds(), 65535);
    clock.Advance(65'536'000);
    EXPECT_EQ(ElapsedMilliseconds(), 65535);
    platform::SetClock(previous);
}

}  // namespace
