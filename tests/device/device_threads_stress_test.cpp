// The event threads running for real beside repeated Applies and a flood of other events: every
// hold press and release is relayed, in order, and nothing races (run under tsan).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "common/paths.h"
#include "device/apply_settings.h"
#include "device/body_writer.h"
#include "device/device_threads.h"
#include "device/macro_body.h"
#include "macro/macro_file_reader.h"
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

    // Each press goes in once the previous release is on the wire, and each release once its
    // press is, so the two always reach the relay in passes of their own; a flag lost or
    // starved behind the Applies shows as a command that never comes.
    constexpr int Pairs = 250;
    std::atomic<bool> injecting{true};
    std::atomic<int> timeouts{0};
    std::thread injector([&] {
        const std::vector<std::vector<std::uint8_t>> noise = {
            {0x06, 0xF0, 0x00}, {0x06, 0x04, 0x00}, {0x06, 0x03, 0x00}, {0x05, 0xF1, 0x00}};
        auto waitFor = [&](bool pressed) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (link_->mouse().HoldPressed() != pressed) {
                if (std::chrono::steady_clock::now() > deadline) {
                    ++timeouts;
                    return;
                }
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        };
        for (int i = 0; i < Pairs; ++i) {
            for (bool pressed : {true, false}) {
                link_->mouse().InjectInput(
                    {0x06, 0xF1, static_cast<std::uint8_t>(pressed ? 0 : 0x80)});
                for (int n = 0; n < 4; ++n) {
                    link_->mouse().InjectInput(noise[(i + n) % noise.size()]);
                }
                waitFor(pressed);
                std::this_thread::sleep_for(std::chrono::milliseconds(3));
            }
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
    EXPECT_EQ(timeouts.load(), 0);
    ASSERT_EQ(holds.size(), 2u * Pairs);
    for (std::size_t i = 0; i < holds.size(); ++i) {
        ASSERT_EQ(holds[i], i % 2 == 0) << "hold command " << i;
    }
    EXPECT_FALSE(link_->mouse().HoldPressed());
}

// The relay pass and the event handling in tight loops on two threads, so that a press lands
// in the middle of a pass again and again: a press of a button without the hold function must
// never be relayed as a hold press, whatever hold press came before it.
TEST_F(DeviceThreadsStressTest, HoldRelayNeverFollowsAButtonWithoutHold) {
    KeyFunc[0][0] = 23;  // device button 1 holds, device button 2 does not
    ApplySettings();
    platform::SetClock(nullptr);
    link_->mouse().ClearTrace();

    QueuedExecutor queue;
    const UiExecutor ui = queue.Executor();
    std::atomic<bool> running{true};
    std::thread relay([&] {
        while (running) {
            MacroSendPass(ui);
        }
    });
    // Reads one event, then waits (at most 5 s) until the relay has dealt with it.
    auto readThen = [&](std::uint8_t event, std::uint8_t argument, auto done) {
        const std::uint8_t report[3] = {0x06, event, argument};
        HandleInputReport(report, 3, ui);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
        }
        return true;
    };
    constexpr int Rounds = 20000;
    int round = 0;
    while (round < Rounds && readThen(0xF1, 0x00, [&] { return link_->mouse().HoldPressed(); }) &&
           readThen(0xF1, 0x80, [&] { return !link_->mouse().HoldPressed(); }) &&
           readThen(0xF2, 0x00, [] { return g_btnEventPending.load() == 0; })) {
        ++round;
    }
    running = false;
    relay.join();
    EXPECT_EQ(round, Rounds);

    int presses = 0;
    int releases = 0;
    for (const platform::SimulatedReport& r : link_->mouse().Trace()) {
        if (r.direction == platform::SimulatedReport::Direction::Set && r.bytes.size() >= 3 &&
            r.bytes[1] == 0x11) {
            (r.bytes[2] == 0x02 ? presses : releases) += 1;
        }
    }
    EXPECT_EQ(presses, round);
    EXPECT_EQ(releases, round);
}

// Recoil events keep coming while the window applies the settings again and again: the device
// worker writes the bodies beside it, an Apply cuts short what the worker still had, and when the
// events stop the mouse and the macro file hold the macro as the window has it.
TEST_F(DeviceThreadsStressTest, RecoilBodiesWrittenBesideRepeatedApplyEndAsTheMacroIs) {
    SetUserMacros({RecoilMacro({10, 10, 10, 10, 10, 10})});
    KeyFunc[0][0] = 50;
    const auto SetReportsFrom = [&](std::size_t from) {
        std::vector<std::vector<std::uint8_t>> sets;
        const std::vector<platform::SimulatedReport> trace = link_->mouse().Trace();
        for (std::size_t i = from; i < trace.size(); ++i) {
            if (trace[i].direction == platform::SimulatedReport::Direction::Set) {
                sets.push_back(trace[i].bytes);
            }
        }
        return sets;
    };
    link_->mouse().ClearTrace();
    ApplySettings();
    const std::vector<std::vector<std::uint8_t>> image = SetReportsFrom(0);
    platform::SetClock(nullptr);

    QueuedExecutor queue;
    MacroBodyWriter writer;
    writer.Start();
    SetMacroBodyWriter(&writer);
    DeviceEventThreads threads;
    threads.StartKeyMonitor(queue.Executor());

    std::atomic<bool> injecting{true};
    std::thread injector([&] {
        for (int i = 0; i < 410; ++i) {  // ten rounds of 20 up and 20 down, then 10 up
            const std::uint8_t event = i % 40 == 0 ? 0x01 : i % 40 == 20 ? 0x02 : 0x05;
            link_->mouse().InjectInput({0x06, event, 0x00});
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        injecting = false;
    });
    int applies = 0;
    while (injecting) {
        queue.RunAll();
        if (++applies % 8 == 0) {
            const std::size_t before = link_->mouse().Trace().size();
            ApplySettings();
            // The worker stops at the end of its run before the image starts, and writes nothing
            // of its body inside it.
            const auto during = SetReportsFrom(before);
            const auto imageStart = std::find(during.rbegin(), during.rend(), image.front());
            EXPECT_EQ(imageStart - during.rbegin() + 1, static_cast<long>(image.size()))
                << "the worker wrote beside an Apply";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    injector.join();
    // The last adjustments reach the mouse: once nothing has moved for a while, the body there
    // is the macro's, as encoded now.
    using SteadyClock = std::chrono::steady_clock;
    const auto deadline = SteadyClock::now() + std::chrono::seconds(20);
    auto quietSince = SteadyClock::now();
    std::vector<std::uint8_t> expected;
    while (SteadyClock::now() < deadline &&
           SteadyClock::now() - quietSince < std::chrono::milliseconds(300)) {
        expected = EncodeMacroBody(g_macros[0], MacroBodySize(g_macros[0]));
        if (queue.RunAll() > 0 || Memory(0x240, static_cast<int>(expected.size())) != expected) {
            quietSince = SteadyClock::now();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    threads.Stop();
    SetMacroBodyWriter(nullptr);
    writer.Stop();
    queue.RunAll();
    EXPECT_EQ(Memory(0x240, static_cast<int>(expected.size())), expected);
    EXPECT_EQ(g_macros[0].stepParam[0].y, 20) << "every event moved the macro once, in order";
    const MacroRecord inMemory = g_macros[0];
    OnReadMacroList(g_strMacroFile);
    EXPECT_EQ(g_macros[0].stepParam[5].y, inMemory.stepParam[5].y) << "and the file has it";
}

}  // namespace
