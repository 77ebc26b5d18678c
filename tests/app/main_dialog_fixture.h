// The fixtures of the main window's tests: a window on the offscreen platform with a
// notification area (which that platform lacks), and a window started on a copy of the
// program folder with virtual time and recorded message boxes.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <QStringList>

#include "app/core/log_file.h"
#include "app/core/paths.h"
#include "platform/clock.h"
#include "platform/hid.h"
#include "platform/message_service.h"
#include "support/program_run.h"
#include "support/qt_app.h"
#include "ui/tray_icon.h"

namespace testing_support {

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        ui::SetNotificationAreaAvailable(true);
    }
    void TearDown() override { ui::SetNotificationAreaAvailable(std::nullopt); }
};

class StartupInProcess : public MainDialogTest {
protected:
    void SetUp() override {
        MainDialogTest::SetUp();
        ASSERT_TRUE(folder_.ok());
        savedExeDir_ = g_strExeDir;
        g_strExeDir = folder_.Dir();
        previousClock_ = platform::SetClock(&clock_);
        previousMessages_ = platform::SetMessageService(&messages_);
    }
    void TearDown() override {
        MainDialogTest::TearDown();
        platform::SetMessageService(previousMessages_);
        platform::SetClock(previousClock_);
        platform::SetHidBackend(nullptr);
        g_strExeDir = savedExeDir_;
    }
    QStringList Log() const {
        QFile file(QString::fromLocal8Bit(g_LogFile.Path()));
        QStringList messages;
        if (file.open(QIODevice::ReadOnly)) {
            for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
                const int tab = line.indexOf(QLatin1Char('\t'));
                if (tab >= 0) {
                    messages.append(line.mid(tab + 1));
                }
            }
        }
        return messages;
    }

    testing_support::ProgramFolder folder_{QStringLiteral(ZELBO_PROGRAM_DIR)};
    QString savedExeDir_;
    platform::VirtualClock clock_;
    platform::Clock* previousClock_ = nullptr;
    platform::RecordingMessageService messages_;
    platform::MessageService* previousMessages_ = nullptr;
};

}  // namespace testing_support
