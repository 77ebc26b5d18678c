// A test's whole program state for the settings writer and the event threads: a simulated
// mouse on virtual time, config.ini (the shipped one) and the user's macro file in a temporary
// folder, the profile loaded from it, empty macro tables and a recorder for the desktop's
// pointer settings. One at a time, on the test's thread.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <mutex>

#include "device/device_threads.h"
#include "macro/macro_record.h"
#include "platform/pointer.h"
#include "support/simulated_link.h"

namespace testing_support {

// Records the pointer settings the writer asks for; the get calls succeed unless told not to.
class RecordingPointerSettings final : public platform::PointerSettings {
public:
    bool GetMouseSpeed(int& speed) override;
    bool SetMouseSpeed(int speed) override;
    bool GetWheelScrollLines(int& lines) override;
    bool SetWheelScrollLines(int lines) override;

    bool offered = true;
    int speedSet = -1;
    int linesSet = -1;
};

// Work handed to the "user-interface thread": kept until the test runs it.
class QueuedExecutor {
public:
    UiExecutor Executor();
    // Runs everything queued so far (and what that queues); returns how many ran.
    int RunAll();

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> queue_;
};

class ApplyFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A user macro of n key steps (press/release of 'A' alternately, 10 ms) in slot index.
    static MacroRecord KeyMacro(int steps, std::uint8_t mode = 0, std::uint16_t repeat = 1);
    // A macro of X/Y moves X+ Y+ with the given y values.
    static MacroRecord RecoilMacro(std::initializer_list<std::uint16_t> ys);
    void SetUserMacros(std::initializer_list<MacroRecord> macros);

    std::vector<std::uint8_t> Memory(int address, int n) {
        return link_->mouse().Memory(address, n);
    }
    QString ConfigValue(const QString& section, const QString& key);

    QTemporaryDir dir_;
    std::unique_ptr<SimulatedLink> link_;
    RecordingPointerSettings pointer_;
    platform::PointerSettings* previousPointer_ = nullptr;
};

}  // namespace testing_support
