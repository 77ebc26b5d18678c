// The event threads running for real beside repeated Applies: every hold press and release that
// reach the reader far enough apart are relayed, in order, and nothing races (run under tsan).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "device/apply_settings.h"
#include "device/device_threads.h"
#include "profile/profile_settings.h"
#include "support/apply_fixture.h"

namespace {

using testing_support::ApplyFixture;
using testing_support::QueuedExecutor;

class DeviceThreadsStressTest : public ApplyFixture {};

TEST_F(DeviceThreadsStressTest, HoldPairsSurviveEventFloodAndRepeatedApply) {
    SetUserMacros({RecoilMacro({10, 10, 10})});
    KeyFunc[0][0] = 23;  // device button 1 holds
    KeyFunc[0][1] = 50;  // device button 2 plays the recoil macro
    ApplySettings();
    // Real time from here on: the threads poll and the reports pause as on the desk.
    platform::SetClock(nullptr);
    link_->mouse().ClearTrace();

    QueuedExecutor queue;
    DeviceEventThreads threads;
    threads.StartKeyMonitor(queue.Executor());
    threads.StartMacroSend(queue.Executor());

    // Longer than the longest transaction an Apply holds the transport for, so each press and
    // release reach the relay in passes of their own.
    constexpr auto Gap = std::chrono::milliseconds(12);
    constexpr int Pairs = 400;
    std::atomic<bool> injecting{true};
    std::thread injector([&] {
        const std::vector<std::vector<std::uint8_t>> noise = {
            {0x06, 0xF0, 0x00}, {0x06, 0x04, 0x00}, {0x06, 0x03, 0x00}, {0x05, 0xF1, 0x00}};
        for (int i = 0; i < Pairs; ++i) {
            link_->mouse().InjectInput({0x06, 0xF1, 0x00});
            link_->mouse().InjectInput(noise[i % noise.size()]);
            link_->mouse().InjectInput(noise[(i + 1) % noise.size()]);
            std::this_thread::sleep_for(Gap);
            link_->mouse().InjectInput({0x06, 0xF1, 0x80});
            link_->mouse().InjectInput(noise[(i + 2) % noise.size()]);
            link_->mouse().InjectInput(noise[(i + 3) % noise.size()]);
            std::this_thread::sleep_for(Gap);
        }
        injecting = false;
    });
    int applies = 0;
    while (injecting) {
        ApplySettings();
        queue.RunAll();
        ++applies;
    }
    injector.join();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    threads.Stop();
    queue.RunAll();

    std::vector<bool> holds;  // true press, false release
    for (const platform::SimulatedReport& r : link_->mouse().Trace()) {
        if (r.direction == platform::SimulatedReport::Direction::Set && r.bytes.size() >= 3 &&
            r.bytes[1] == 0x11) {
            holds.push_back(r.bytes[2] == 0x02);
        }
    }
    EXPECT_GT(applies, 2);
    ASSERT_EQ(holds.size(), 2u * Pairs);
    for (std::size_t i = 0; i < holds.size(); ++i) {
        ASSERT_EQ(holds[i], i % 2 == 0) << "hold command " << i;
    }
    EXPECT_FALSE(link_->mouse().HoldPressed());
}

}  // namespace
