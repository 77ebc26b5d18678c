// The fixtures of the main window's tests: a window on the offscreen platform with a
// notification area (which that platform lacks), and a window started on a copy of the
// program folder in the test's own process.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <QStringList>

#include "common/log_file.h"
#include "platform/hid.h"
#include "support/program_in_process.h"
#include "support/qt_app.h"
#include "ui/shell/tray_icon.h"

namespace testing_support {

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        ui::SetNotificationAreaAvailable(true);
    }
    void TearDown() override { ui::SetNotificationAreaAvailable(std::nullopt); }
};

// Each test installs the HID backend it needs.
class StartupInProcess : public MainDialogTest {
protected:
    void SetUp() override {
        MainDialogTest::SetUp();
        ASSERT_TRUE(folder_.ok());
        platform::SetHidBackend(nullptr);
    }
    void TearDown() override {
        MainDialogTest::TearDown();
        platform::SetHidBackend(nullptr);
    }
    // The messages of this run's log.
    QStringList Log() const {
        return ProgramFolder::LogMessages(QString::fromLocal8Bit(g_LogFile.Path()));
    }

    ProgramInProcess program_;
    const ProgramFolder& folder_ = program_.folder;
    platform::RecordingMessageService& messages_ = program_.messages;
};

}  // namespace testing_support
