// The fixture of the end-to-end tests that start the program on a desktop: a real X display
// with a notification area that records its icons, a copy of the program folder, and a run
// started with the simulated mouse and ended by unplugging it. On the test's thread.
#pragma once

#include <gtest/gtest.h>

#include "support/program_run.h"
#include "support/x11_probe.h"

namespace testing_support {

class DesktopRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY") || !probe_.ok()) {
            GTEST_SKIP() << "needs an X display (the test script runs these under Xvfb)";
        }
        ASSERT_TRUE(folder_.ok());
        ASSERT_TRUE(tray_.ok()) << "another notification area owns the display";
    }

    // Starts a run with the simulated mouse and waits for the end of its start-up.
    void StartWithMouse(ProgramRun& run) {
        ASSERT_TRUE(run.Start());
        ASSERT_TRUE(run.WaitForLogMessage(QStringLiteral("Finish Init!"), StartTimeoutMs()))
            << Diagnostics(run);
    }

    // Ends a run through the mouse's removal, as the user pulling the plug does.
    void Unplug(ProgramRun& run) {
        ASSERT_TRUE(run.Inject("unplug"));
        ASSERT_TRUE(run.WaitForEnd(StartTimeoutMs())) << "the program did not end on removal";
        EXPECT_FALSE(run.Crashed()) << Diagnostics(run);
        EXPECT_EQ(run.ExitCode(), 0) << Diagnostics(run);
    }

    X11Probe probe_;
    FakeSystemTray tray_;
    ProgramFolder folder_{QStringLiteral(ZELBO_PROGRAM_DIR)};
};

}  // namespace testing_support
