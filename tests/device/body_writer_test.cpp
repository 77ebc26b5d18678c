// The device worker writing recoil bodies beside the window: it stops after the run in progress
// when told, and the adjustments that come while it writes are adjusted, saved and written once.
#include "device/body_writer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "common/paths.h"
#include "device/apply_settings.h"
#include "device/device_threads.h"
#include "device/macro_body.h"
#include "device/power_apply.h"
#include "device/settings_image.h"
#include "platform/clock.h"
#include "profile/profile_settings.h"
#include "support/apply_fixture.h"
#include "support/file_replace_counter.h"

namespace {

using testing_support::ApplyFixture;
using testing_support::QueuedExecutor;

// Virtual time whose pauses on any thread but the test's wait at a gate until the test opens it:
// the worker is held in the middle of a body, where the test wants it.
class GateClock final : public platform::Clock {
public:
    explicit GateClock(std::int64_t now) { time_.Advance(now); }
    void Sleep(int milliseconds) override {
        if (std::this_thread::get_id() != test_) {
            std::unique_lock lock(mutex_);
            ++waiting_;
            changed_.notify_all();
            changed_.wait(lock, [&] { return open_; });
            --waiting_;
        }
        time_.Sleep(milliseconds);
    }
    std::int64_t NowMicroseconds() override { return time_.NowMicroseconds(); }
    std::int64_t UtcMilliseconds() override { return time_.UtcMilliseconds(); }

    // Returns once another thread waits at the gate.
    void WaitForWaiter() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return waiting_ > 0; });
    }
    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    void Close() {
        std::lock_guard lock(mutex_);
        open_ = false;
    }

private:
    const std::thread::id test_ = std::this_thread::get_id();
    platform::VirtualClock time_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int waiting_ = 0;    // under mutex_
    bool open_ = false;  // under mutex_
};

class BodyWriterTest : public ApplyFixture {
protected:
    void SetUp() override {
        ApplyFixture::SetUp();
        previousClock_ = platform::SetClock(&gate_);
    }
    void TearDown() override {
        gate_.Open();
        writer_.Stop();
        SetMacroBodyWriter(nullptr);
        platform::SetClock(previousClock_);
        ApplyFixture::TearDown();
    }
    // The reports the host sent since the last call, without their times.
    std::vector<std::string> Sent() {
        std::vector<std::string> sent;
        for (const std::string& line : link_->TakeSentReports()) {
            if (line.find(" set ") != std::string::npos) {
                sent.push_back(line.substr(line.find(' ') + 1));
            }
        }
        return sent;
    }

    // The reports the host sent since the last Sent(), counted while the worker may still add.
    std::size_t SetReports() {
        std::size_t n = 0;
        for (const platform::SimulatedReport& report : link_->mouse().Trace()) {
            n += report.direction == platform::SimulatedReport::Direction::Set ? 1 : 0;
        }
        return n;
    }

    GateClock gate_{link_ ? link_->clock().NowMicroseconds() : 0};
    platform::Clock* previousClock_ = nullptr;
    MacroBodyWriter writer_;
};

// Told to give up, the worker ends the body it writes after the run in progress (whole, with
// its commit and end) and writes nothing of the body queued behind it; every done runs once.
TEST_F(BodyWriterTest, AbandonEndsTheBodyAfterTheRunInProgressAndDropsTheQueue) {
    for (bool stop : {false, true}) {
        writer_.Start();
        std::atomic<int> firstDone{0};
        std::atomic<int> secondDone{0};
        writer_.Write(0x240, std::vector<std::uint8_t>(80, 0x11), [&] { ++firstDone; });
        writer_.Write(0x300, std::vector<std::uint8_t>(80, 0x22), [&] { ++secondDone; });
        gate_.WaitForWaiter();  // the first run's data reports are out; its commit pauses
        // The queue is dropped first: the gate opens once the worker can no longer go on.
        std::thread opener([&] {
            while (secondDone == 0) {
                std::this_thread::yield();
            }
            gate_.Open();
        });
        if (stop) {
            writer_.Stop();
        } else {
            writer_.Abandon();
        }
        opener.join();
        EXPECT_EQ(firstDone, 1) << stop;
        EXPECT_EQ(secondDone, 1) << stop;
        const std::vector<std::string> sent = Sent();
        ASSERT_EQ(sent.size(), 10u) << stop;
        EXPECT_EQ(sent.front(), "set 07 18 03 00 40 02 11 07");
        EXPECT_EQ(sent.back(), "set 07 18 00 00 40 02 00 00");
        writer_.Stop();
        gate_.Close();
    }
}

// Recoil events that come while the worker writes a body wait for it and then join one
// adjustment: the macro, the mouse and the file end as the events one by one leave them, with
// the file saved and the body written once for all of them.
TEST_F(BodyWriterTest, EventsThatComeWhileABodyIsWrittenAreAdjustedAndWrittenOnceAfterIt) {
    SetUserMacros({RecoilMacro({10, 10})});
    KeyFunc[0][0] = 50;
    ApplySettings();
    Sent();
    writer_.Start();
    SetMacroBodyWriter(&writer_);
    testing_support::FileReplaceCounter saves(g_strMacroFile);
    QueuedExecutor queue;
    const UiExecutor ui = queue.Executor();
    const std::uint8_t up[] = {0x06, 0x01, 0x00};
    const std::uint8_t again[] = {0x06, 0x05, 0x00};

    HandleInputReport(up, 3, ui);
    EXPECT_EQ(queue.RunAll(), 1);  // adjusted, saved, its body handed to the worker
    gate_.WaitForWaiter();         // which is writing it
    for (int i = 0; i < 4; ++i) {
        HandleInputReport(again, 3, ui);
    }
    EXPECT_EQ(queue.RunAll(), 0) << "the events wait for the body being written";
    EXPECT_EQ(g_macros[0].stepParam[0].y, 11);

    gate_.Open();
    while (queue.RunAll() == 0) {
        std::this_thread::yield();  // until the worker has written the first body
    }
    while (SetReports() < 40) {  // two bodies of two runs
        std::this_thread::yield();
    }
    writer_.Stop();
    EXPECT_EQ(SetReports(), 40u) << "the body is written twice, not five times";
    EXPECT_EQ(saves.Take(), 2) << "and the file saved twice";
    EXPECT_EQ(g_macros[0].stepParam[0].y, 15);
    EXPECT_EQ(g_macros[0].stepParam[1].y, 15);
    EXPECT_EQ(Memory(0x246, 2), (std::vector<std::uint8_t>{15, 0}));
    EXPECT_EQ(Memory(0x24C, 2), (std::vector<std::uint8_t>{15, 0}));
}

// Apply and the power writes send the whole image, which holds every body as the window has it
// now: a body still waiting for the worker is dropped first, never written over the image after.
TEST_F(BodyWriterTest, ApplyAndThePowerWritesDropTheBodiesTheWorkerStillHad) {
    SetUserMacros({RecoilMacro({10, 10})});
    KeyFunc[0][0] = 50;
    ApplySettings();
    const std::vector<std::uint8_t> body = EncodeMacroBody(g_macros[0], MacroBodySize(g_macros[0]));
    const int size = static_cast<int>(body.size());
    ASSERT_EQ(Memory(0x240, size), body);
    SetMacroBodyWriter(&writer_);  // not started yet: what it is given waits in its queue
    const std::function<void()> imageWrites[] = {[] { ApplySettings(); },
                                                 [] { ApplySettingsOnPowerEvent(PBT_APMSUSPEND); }};
    std::atomic<int> done{0};
    for (const auto& write : imageWrites) {
        const int before = done.load();
        writer_.Write(0x240, std::vector<std::uint8_t>(body.size(), 0x55), [&] { ++done; });
        write();
        EXPECT_EQ(done.load(), before + 1) << "the waiting body is dropped first";
    }
    gate_.Open();
    writer_.Start();
    while (done.load() < 2) {
        std::this_thread::yield();  // only without the drop: the worker writes them now
    }
    writer_.Stop();
    EXPECT_EQ(Memory(0x240, size), body);
}

}  // namespace
