#include "device/device_threads.h"

#include <gtest/gtest.h>

#include <QFile>

#include "common/paths.h"
#include "device/apply_settings.h"
#include "device/settings_image.h"
#include "platform/ini.h"
#include "profile/config_store.h"
#include "profile/profile_settings.h"
#include "support/apply_fixture.h"
#include "support/program_run.h"

namespace {

using testing_support::ApplyFixture;
using testing_support::QueuedExecutor;
using Report = std::vector<std::uint8_t>;

class DeviceEventsTest : public ApplyFixture {
protected:
    void Read(Report report) { HandleInputReport(report.data(), int(report.size()), ui_); }
    void Poll() { MacroSendPass(ui_); }
    // The reports the mouse received since the last call, without their times.
    std::vector<std::string> Sent() {
        std::vector<std::string> lines;
        for (const std::string& line : link_->TakeSentReports()) {
            lines.push_back(line.substr(line.find(' ') + 1));
        }
        return lines;
    }

    QueuedExecutor queue_;
    UiExecutor ui_ = queue_.Executor();
};

TEST_F(DeviceEventsTest, HoldButtonPressAndReleaseAreRelayed) {
    KeyFunc[0][0] = 23;
    ApplySettings();
    Sent();
    Read({0x06, 0xF1, 0x00});
    EXPECT_EQ(g_btnHoldState.load(), HoldPressPending | 0xF1);
    Poll();
    EXPECT_EQ(Sent(), (std::vector<std::string>{"set 07 11 02 00 00 00 00 00"}));
    EXPECT_TRUE(link_->mouse().HoldPressed());
    Read({0x06, 0xF1, 0x80});
    Poll();
    EXPECT_EQ(Sent(), (std::vector<std::string>{"set 07 11 00 00 00 00 00 00"}));
    Poll();
    EXPECT_TRUE(Sent().empty());
}

TEST_F(DeviceEventsTest, PressAndReleaseWithinOnePollLeaveOnlyTheRelease) {
    KeyFunc[0][0] = 23;
    ApplySettings();
    Sent();
    Read({0x06, 0xF1, 0x00});
    Read({0x06, 0xF1, 0x80});
    Poll();
    EXPECT_EQ(Sent(), (std::vector<std::string>{"set 07 11 00 00 00 00 00 00"}));
}

TEST_F(DeviceEventsTest, PressOfAButtonWithoutHoldSendsNothing) {
    ApplySettings();
    Sent();
    Read({0x06, 0xF1, 0x00});
    Poll();
    Poll();
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(queue_.RunAll(), 0);
}

TEST_F(DeviceEventsTest, DpiButtonFollowsTheMouseLevelAndSavesIt) {
    KeyFunc[0][1] = 16;  // device button 2
    ApplySettings();
    Read({0x06, 0xF2, 0x03});
    Poll();
    EXPECT_EQ(queue_.RunAll(), 1);
    EXPECT_EQ(g_dpiLevel, 3u);
    EXPECT_EQ(ConfigValue(QStringLiteral("Config1"), QStringLiteral("DPI_LEVEL")), "3");

    // A level switched off is not taken: saved, start-up would refuse config.ini.
    g_dpiSetEn[4] = false;
    Read({0x06, 0xF2, 0x04});
    Poll();
    queue_.RunAll();
    EXPECT_EQ(g_dpiLevel, 3u);
    EXPECT_EQ(ConfigValue(QStringLiteral("Config1"), QStringLiteral("DPI_LEVEL")), "3");
}

TEST_F(DeviceEventsTest, OnlyTheFirstOfTwoPressesInOnePollIsHandled) {
    KeyFunc[0][1] = 16;
    KeyFunc[0][2] = 17;
    ApplySettings();
    Read({0x06, 0xF2, 0x01});
    Read({0x06, 0xF3, 0x04});
    Poll();
    queue_.RunAll();
    EXPECT_EQ(g_dpiLevel, 1u);
    Poll();
    EXPECT_EQ(queue_.RunAll(), 0);
}

TEST_F(DeviceEventsTest, ProfileEventLoadsTheMouseProfile) {
    ApplySettings();
    platform::WritePrivateProfileString(QStringLiteral("Config3"), QStringLiteral("FIRE_TIME"),
                                        QStringLiteral("123"), g_strConfigIni);
    link_->mouse().SetCurrentProfile(2);
    Sent();
    Read({0x06, 0x03, 0x00});
    EXPECT_EQ(queue_.RunAll(), 1);
    const std::vector<std::string> sent = Sent();
    ASSERT_EQ(sent.size(), 1u);  // the profile query alone, nothing set before it
    EXPECT_EQ(sent[0].substr(0, 6), "get 07");
    EXPECT_EQ(g_curConfig, 3);
    EXPECT_EQ(g_curConfigIdx.load(), 2);
    EXPECT_EQ(g_fireTime, 123u);
    EXPECT_EQ(ConfigValue(QStringLiteral("Init"), QStringLiteral("CurConfig")), "3");
}

TEST_F(DeviceEventsTest, ProfileButtonFollowsTheMouseSwitch) {
    KeyFunc[0][3] = 18;  // device button 4 switches profile
    ApplySettings();
    link_->mouse().SetCurrentProfile(1);
    Read({0x06, 0xF4, 0x00});
    Poll();
    EXPECT_EQ(queue_.RunAll(), 1);
    EXPECT_EQ(g_curConfig, 2);
    EXPECT_EQ(ConfigValue(QStringLiteral("Init"), QStringLiteral("CurConfig")), "2");
}

TEST_F(DeviceEventsTest, RecoilEventsAdjustTheFirstButtonMacro) {
    SetUserMacros({RecoilMacro({10, 10})});
    KeyFunc[0][0] = 50;
    ApplySettings();
    Read({0x06, 0x01, 0x00});
    Read({0x06, 0x05, 0x00});  // repeats the last direction
    queue_.RunAll();
    EXPECT_EQ(g_macros[0].stepParam[0].y, 12);
    Read({0x06, 0x02, 0x00});
    Read({0x06, 0x00, 0x00});
    queue_.RunAll();
    EXPECT_EQ(g_macros[0].stepParam[0].y, 10);
    EXPECT_EQ(g_recoilDir.load(), 0u);
}

TEST_F(DeviceEventsTest, IgnoredReports) {
    KeyFunc[0][0] = 23;
    ApplySettings();
    Sent();
    Read({0x06, 0xF0, 0x00});
    Read({0x07, 0xF1, 0x00});
    Read({0x06});
    Poll();
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(queue_.RunAll(), 0);
    EXPECT_EQ(g_btnHoldState.load() & HoldPressPending, 0u);
}

TEST_F(DeviceEventsTest, ButtonsWithoutSlotDropTheirEvent) {
    ApplySettings();
    Read({0x06, 0xF7, 0x00});  // device button 7 has no slot
    Poll();
    EXPECT_EQ(g_btnEventPending.load(), 0u);
    EXPECT_EQ(queue_.RunAll(), 0);
}

// A burst of recoil events: up to the bound and beyond, down, repeats of the last direction.
std::vector<Report> RecoilBurst() {
    std::vector<Report> burst;
    for (int i = 0; i < 40; ++i) {
        burst.push_back({0x06, static_cast<std::uint8_t>(i == 0 ? 0x01 : 0x05), 0x00});
    }
    burst.push_back({0x06, 0x02, 0x00});
    for (int i = 0; i < 7; ++i) {
        burst.push_back({0x06, static_cast<std::uint8_t>(i % 2 == 0 ? 0x00 : 0xEF), 0x00});
    }
    return burst;
}

// Events that come while their adjustment still waits join it: the mouse and the macro file are
// written once, and end as the events one by one leave them.
TEST_F(DeviceEventsTest, ARecoilBurstIsWrittenOnceAsTheEventsOneByOneWouldLeaveIt) {
    SetUserMacros({RecoilMacro({0, 12, 29, 30, 31}), RecoilMacro({3})});
    KeyFunc[0][0] = 50;
    KeyFunc[0][1] = 51;
    ApplySettings();
    const MacroRecord start = g_macros[0];

    for (const Report& report : RecoilBurst()) {
        Read(report);
        ASSERT_EQ(queue_.RunAll(), 1);
    }
    const std::vector<std::uint8_t> oneByOneBody = Memory(0x240, 32);
    const QByteArray oneByOneFile = testing_support::ProgramFolder::ReadFile(g_strMacroFile);
    ASSERT_EQ(g_macros[0].stepParam[0].y, 22);  // held at 30 by the bound, then eight downs
    ASSERT_EQ(g_macros[0].stepParam[4].y, 23);  // above the bound: only the downs move it

    g_macros[0] = start;
    ApplySettings();
    ASSERT_NE(Memory(0x240, 32), oneByOneBody);
    ASSERT_TRUE(QFile::remove(g_strMacroFile));
    Sent();
    const std::int64_t before = link_->clock().NowMicroseconds();
    for (const Report& report : RecoilBurst()) {
        Read(report);
    }
    EXPECT_EQ(queue_.RunAll(), 1);
    EXPECT_EQ(Memory(0x240, 32), oneByOneBody);
    EXPECT_EQ(testing_support::ProgramFolder::ReadFile(g_strMacroFile), oneByOneFile);
    EXPECT_EQ(Sent().size(), 4u * 10u);  // the 32-byte body once: four runs
    EXPECT_LT(link_->clock().NowMicroseconds() - before, 50'000);
    EXPECT_EQ(g_macros[1].stepParam[0].y, 3);
}

// A profile switch among the events keeps its place: the events before it adjust the old
// profile's macro, those after it the new one's.
TEST_F(DeviceEventsTest, RecoilEventsDoNotJoinAcrossAProfileSwitch) {
    SetUserMacros({RecoilMacro({10}), RecoilMacro({20})});
    KeyFunc[0][0] = 50;
    KeyFunc[2][0] = 51;
    ApplySettings();
    SaveAllConfigs(g_strConfigIni, 1);
    link_->mouse().SetCurrentProfile(2);
    for (const Report& report : {Report{0x06, 0x01}, Report{0x06, 0x05}, Report{0x06, 0x03},
                                 Report{0x06, 0x02}, Report{0x06, 0x05}, Report{0x06, 0x05}}) {
        Read(report);
    }
    EXPECT_EQ(queue_.RunAll(), 3);
    EXPECT_EQ(g_curConfig, 3);
    EXPECT_EQ(g_macros[0].stepParam[0].y, 12);
    EXPECT_EQ(g_macros[1].stepParam[0].y, 17);
}

}  // namespace
