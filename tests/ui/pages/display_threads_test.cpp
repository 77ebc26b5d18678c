// The lighting preview and the blink thread: what the swatch shows step by step (on virtual
// time), and that both end at once when the program ends, even in the middle of a long pause.
#include "ui/pages/display_threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "device/settings_image.h"
#include "platform/clock.h"
#include "profile/profile_settings.h"
#include "ui/shell/window_state.h"

namespace {

// One preview step as the window would paint it.
struct Shown {
    bool gray;
    int colour;
    std::int64_t atMs;
};

// Virtual time in which every pause, even one a stop could end, passes at once.
class PassingClock final : public platform::Clock {
public:
    void Sleep(int milliseconds) override { time_.Sleep(milliseconds); }
    std::int64_t NowMicroseconds() override { return time_.NowMicroseconds(); }
    std::int64_t UtcMilliseconds() override { return time_.UtcMilliseconds(); }

private:
    platform::VirtualClock time_;
};

class DisplayThreadsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (auto& on : g_cycColorOn) {
            on = 0;
        }
        g_ledType = 1;
        g_ledCycTime = 5;
        g_ledPreviewGray = 0;
        g_ledPreviewColor = 0;
    }
    void TearDown() override {
        g_page = PageMain;
        g_settingsApplied = 1;
        g_ledType = 0;
        g_ledCycTime = 0;
        for (auto& on : g_cycColorOn) {
            on = 1;
        }
    }

    // Runs the preview on this thread on virtual time whose pauses pass at once, until it has
    // asked for steps repaints.
    std::vector<Shown> Preview(int steps) {
        PassingClock clock;
        platform::Clock* previous = platform::SetClock(&clock);
        std::vector<Shown> shown;
        g_page = PageColor;
        g_ledPreviewRunning = 1;
        ui::LedPreviewThd(std::stop_token{}, [&] {
            shown.push_back({g_ledPreviewGray.load() != 0, g_ledPreviewColor.load(),
                             clock.NowMicroseconds() / 1000});
            if (static_cast<int>(shown.size()) == steps) {
                g_page = PageMain;  // leaving the colour page ends the thread
            }
        });
        platform::SetClock(previous);
        EXPECT_EQ(g_ledPreviewRunning.load(), 0);
        return shown;
    }
};

TEST_F(DisplayThreadsTest, CycleAlternatesBetweenOffAndTheNextColourOnAtTheCycleTimesPace) {
    g_cycColorOn[3] = 1;
    std::vector<Shown> shown = Preview(4);
    ASSERT_EQ(shown.size(), 4u);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].gray, i % 2 == 0) << i;
        EXPECT_EQ(shown[i].atMs, static_cast<std::int64_t>(i) * 300) << "cycle time 5";
    }
    EXPECT_EQ(shown[1].colour, 3);
    EXPECT_EQ(shown[3].colour, 3) << "the only colour on";

    g_cycColorOn[0] = 1;
    g_cycColorOn[3] = 0;
    g_cycColorOn[5] = 1;
    g_ledCycTime = 0;
    shown = Preview(6);
    ASSERT_EQ(shown.size(), 6u);
    EXPECT_EQ(shown[1].colour, 5) << "the first colour on after slot 0";
    EXPECT_EQ(shown[3].colour, 0) << "wrapping from 6 to 0";
    EXPECT_EQ(shown[1].atMs, 1800) << "cycle time 0";

    g_ledCycTime = 200;  // a hand-edited value: the fastest pace, never a pause of 0 or less
    shown = Preview(3);
    EXPECT_EQ(shown[2].atMs, 600);

    for (auto& on : g_cycColorOn) {
        on = 0;
    }
    for (const Shown& s : Preview(4)) {
        EXPECT_TRUE(s.gray) << "with no colour on the swatch stays off and the search ends";
    }
}

TEST_F(DisplayThreadsTest, BothThreadsEndPromptlyInTheMiddleOfTheirPauses) {
    g_ledCycTime = 0;  // 1800 ms pauses
    g_page = PageColor;
    g_settingsApplied = 0;
    std::atomic<int> previews{0};
    std::atomic<int> blinks{0};
    {
        ui::DisplayThreads threads;
        threads.StartLedPreview([&] { ++previews; });
        threads.StartLedPreview([&] { ADD_FAILURE() << "a second preview thread"; });
        while (previews.load() == 0) {
            std::this_thread::yield();
        }
        g_page = PageMain;  // the preview sleeps on; a blink thread starts
        threads.StartBlink([&] { ++blinks; });
        while (blinks.load() == 0) {
            std::this_thread::yield();
        }
        const auto start = std::chrono::steady_clock::now();
        threads.Stop();
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_LT(took, std::chrono::milliseconds(250));
    }
    EXPECT_EQ(previews.load(), 1);
    EXPECT_EQ(blinks.load(), 1);
    EXPECT_EQ(g_ledPreviewRunning.load(), 0);
    EXPECT_EQ(g_blinkRunning.load(), 0);
}

// On the tests' clock the preview waits for the test to move the time, and a window that has
// not yet painted gets no second request: nothing floods its queue.
TEST_F(DisplayThreadsTest, ThePreviewStepsAsTheTimeMovesAndAsksOneRepaintAtATime) {
    g_cycColorOn[3] = 1;
    g_page = PageColor;
    platform::VirtualClock clock;
    platform::Clock* previous = platform::SetClock(&clock);
    std::mutex mutex;
    std::vector<std::function<void()>> queued;
    const auto Queued = [&] {
        std::lock_guard lock(mutex);
        return queued.size();
    };
    int painted = 0;
    const auto StepAndWait = [&](std::uint8_t gray) {
        while (clock.Waiting() == 0) {
            std::this_thread::yield();
        }
        clock.Advance(300'000);
        while (g_ledPreviewGray.load() != gray) {
            std::this_thread::yield();
        }
    };
    {
        ui::DisplayThreads threads;
        threads.StartLedPreview(ui::OneRepaintAtATime(
            [&](std::function<void()> work) {
                std::lock_guard lock(mutex);
                queued.push_back(std::move(work));
            },
            [&] { ++painted; }));
        while (Queued() == 0) {
            std::this_thread::yield();
        }
        EXPECT_EQ(clock.NowMicroseconds(), 0) << "the pause waits for the test's time";
        StepAndWait(0);
        StepAndWait(1);  // so the step before has asked for its repaint
        EXPECT_EQ(Queued(), 1u) << "no request while one is queued";
        {
            std::lock_guard lock(mutex);
            queued.front()();
            queued.clear();
        }
        EXPECT_EQ(painted, 1);
        StepAndWait(0);
        StepAndWait(1);
        EXPECT_EQ(Queued(), 1u) << "the next request once the window painted";
    }
    platform::SetClock(previous);
    EXPECT_EQ(g_ledPreviewRunning.load(), 0);
}

}  // namespace
