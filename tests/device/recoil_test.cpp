#include "device/recoil.h"

#include <gtest/gtest.h>

#include <QFile>

#include "common/paths.h"
#include "device/apply_settings.h"
#include "device/settings_image.h"
#include "macro/macro_bindings.h"
#include "macro/macro_file_reader.h"
#include "macro/macro_file_writer.h"
#include "platform/ini.h"
#include "profile/profile_settings.h"
#include "profile/profile_switch.h"
#include "support/apply_fixture.h"
#include "support/program_run.h"

namespace {

using testing_support::ApplyFixture;
using Bytes = std::vector<std::uint8_t>;

class RecoilTest : public ApplyFixture {
protected:
    static MacroRecord Named(MacroRecord r, const char* name) {
        SetMacroName(r, QString::fromLatin1(name));
        return r;
    }
    // The names of the list in the user's file, read as a restart reads it.
    static QStringList ListInFile() {
        OnReadMacroList(g_strMacroFile);
        QStringList names;
        for (int i = 0; i < g_macroCount; ++i) {
            names << MacroName(g_macros[i]);
        }
        return names;
    }
};

TEST_F(RecoilTest, RaisesEveryXyStepOfTheBoundBodyInTheMouse) {
    SetUserMacros({RecoilMacro({5, 29})});
    KeyFunc[0][0] = 50;
    ApplySettings();
    link_->TakeSentReports();
    AdjustRecoil(1);
    // Header, then d=5 F6 +x +y for both steps, written as one 8-byte run each.
    EXPECT_EQ(Memory(0x240, 14), (Bytes{0x01, 0x00, 0x05, 0xF6, 0x00, 0x00, 0x06, 0x00, 0x05, 0xF6,
                                        0x00, 0x00, 0x1E, 0x00}));
    const std::vector<std::string> sent = link_->TakeSentReports();
    ASSERT_EQ(sent.size(), 2u * 10u);  // two runs of 8 data reports, commit and end
    EXPECT_EQ(sent.back(), "+2 set 07 18 00 00 48 02 00 00");
    EXPECT_EQ(g_macros[0].stepParam[1].y, 30);
    // The user's macro file holds the adjusted macro.
    EXPECT_FALSE(platform::GetPrivateProfileString(QStringLiteral("Macros"), QStringLiteral("0"),
                                                   QString(), 8192, g_strMacroFile)
                     .isEmpty());
}

TEST_F(RecoilTest, AtTheBoundTheBodyIsRewrittenUnchanged) {
    SetUserMacros({RecoilMacro({30, 30})});
    KeyFunc[0][0] = 50;
    ApplySettings();
    const Bytes before = Memory(0x240, 16);
    link_->TakeSentReports();
    AdjustRecoil(1);
    EXPECT_EQ(Memory(0x240, 16), before);
    EXPECT_EQ(link_->TakeSentReports().size(), 20u);
}

TEST_F(RecoilTest, NothingHappensWithoutAUserMacroOnTheFirstButton) {
    g_constMacros[0] = RecoilMacro({5});
    for (int f : {40, 16, 0}) {
        KeyFunc[0][0] = f;
        ApplySettings();
        link_->TakeSentReports();
        AdjustRecoil(1);
        EXPECT_TRUE(link_->TakeSentReports().empty()) << f;
    }
    EXPECT_EQ(g_constMacros[0].stepParam[0].y, 5);
}

TEST_F(RecoilTest, OtherProfileRewritesOnlyItsOwnBody) {
    SetUserMacros({RecoilMacro({5}), RecoilMacro({7, 7, 7})});
    KeyFunc[0][0] = 50;
    KeyFunc[1][0] = 51;
    g_curConfig = 2;
    g_curConfigIdx = 1;
    ApplySettings();
    const Bytes profileOneBody = Memory(0x240, 8);
    const std::uint32_t own = g_macroDevAddr[1][0];
    ASSERT_EQ(own, 0x248u);
    AdjustRecoil(0);
    EXPECT_EQ(Memory(0x240, 8), profileOneBody);
    EXPECT_EQ(Memory(own + 6, 2), (Bytes{0x06, 0x00}));
    EXPECT_EQ(g_macros[1].stepParam[2].y, 6);
}

// The mouse plays no macro on its first button: a macro the window binds there since is not the
// one the mouse asks about, and stays as it is.
TEST_F(RecoilTest, AMacroNeverWrittenToTheMouseIsNotAdjusted) {
    SetUserMacros({RecoilMacro({5})});
    ApplySettings();     // button 1 is a left click: no body recorded
    KeyFunc[0][0] = 50;  // bound since, not applied yet
    link_->TakeSentReports();
    AdjustRecoil(1);
    EXPECT_TRUE(link_->TakeSentReports().empty());
    EXPECT_EQ(g_macros[0].stepParam[0].y, 5);
    EXPECT_FALSE(QFile::exists(g_strMacroFile));
}

TEST_F(RecoilTest, AMacroThatGrewSinceTheApplyIsNotWrittenOverItsNeighbour) {
    SetUserMacros({RecoilMacro({5}), KeyMacro(2)});
    KeyFunc[0][0] = 50;
    KeyFunc[0][1] = 51;
    ApplySettings();
    const Bytes neighbour = Memory(0x248, 8);
    g_macros[0] = RecoilMacro({5, 5, 5, 5});
    link_->TakeSentReports();
    AdjustRecoil(1);
    EXPECT_TRUE(link_->TakeSentReports().empty());
    EXPECT_EQ(Memory(0x248, 8), neighbour);
}

// The body at 0x240 was macro 50's, then an Apply put macro 51 of button 2 there; macro 50 is
// chosen again for button 1 but not applied. The recoil event must leave macro 51's body alone.
TEST_F(RecoilTest, ABodyThatAnotherButtonNowHoldsIsNotRewritten) {
    SetUserMacros({RecoilMacro({5}), RecoilMacro({9})});
    KeyFunc[0][0] = 50;
    ApplySettings();
    KeyFunc[0][0] = 1;
    KeyFunc[0][1] = 51;
    ApplySettings();
    ASSERT_EQ(g_macroDevAddr[0][1], 0x240u);
    const Bytes macro51 = Memory(0x240, 8);
    KeyFunc[0][0] = 50;
    link_->TakeSentReports();
    AdjustRecoil(1);
    EXPECT_TRUE(link_->TakeSentReports().empty());
    EXPECT_EQ(Memory(0x240, 8), macro51);
    EXPECT_EQ(g_macros[0].stepParam[0].y, 5);  // the mouse plays no macro on that button
}

// Profile 2's first button had its body after three large ones; a later Apply adds a body to
// profile 1 that takes that place, and profile 2's no longer fits below 0x4000.
TEST_F(RecoilTest, ABodyDroppedAtTheAddressLimitIsNotRewritten) {
    MacroRecord large{};
    large.repeatCount = 1;
    large.ledCount = 5;
    for (auto& led : large.led) {
        led.field0 = 255;  // 5136 bytes in all
    }
    MacroRecord filler = KeyMacro(0);
    filler.ledCount = 1;
    filler.led[0].field0 = 96;  // 400 bytes: exactly what the three large ones leave
    filler.mode = 1;
    SetUserMacros({RecoilMacro({5}), large, filler});
    KeyFunc[0][0] = KeyFunc[0][1] = KeyFunc[0][2] = 51;
    KeyFunc[1][0] = 50;
    g_curConfig = 2;
    g_curConfigIdx = 1;
    ApplySettings();
    ASSERT_EQ(g_macroDevAddr[1][0], 0x3E70u);

    KeyFunc[0][3] = 52;
    ApplySettings();
    ASSERT_EQ(link_->mouse().MemoryByte(0x044), 0x00);  // profile 2's button 1 lost its body
    const Bytes fillerBody = Memory(0x3E70, 16);
    ASSERT_EQ(fillerBody[0], 0x01);
    link_->TakeSentReports();
    AdjustRecoil(0);
    EXPECT_TRUE(link_->TakeSentReports().empty());
    EXPECT_EQ(Memory(0x3E70, 16), fillerBody);
    EXPECT_EQ(g_macros[0].stepParam[0].y, 5);  // the mouse plays no macro on that button
}

// Memory and file out of step (a macro deleted without saving): the recoil save must not put
// the adjusted macro under the key of another one.
TEST_F(RecoilTest, ASaveAfterADeletionWritesTheListAsMemoryHoldsIt) {
    SetUserMacros({Named(KeyMacro(2), "RapidFire"), Named(KeyMacro(4), "Hello"),
                   Named(RecoilMacro({5}), "Recoil")});
    KeyFunc[0][0] = 52;
    ApplySettings();
    g_macros[1] = g_macros[2];  // Hello deleted, not saved
    g_macroCount = 2;
    OnUserMacroDeleted(1, 3);
    AdjustRecoil(1);
    EXPECT_EQ(ListInFile(), QStringList({"RapidFire", "Recoil"}));
    EXPECT_EQ(g_macros[1].stepParam[0].y, 6);
}

// The window shows another profile than the mouse works with: the recoil moves the macro of the
// mouse's profile, the one it plays.
TEST_F(RecoilTest, AProfileChosenOnlyInTheWindowDoesNotChangeTheMacroAdjusted) {
    SetUserMacros({RecoilMacro({5}), RecoilMacro({7})});
    KeyFunc[0][0] = 50;
    KeyFunc[1][0] = 51;
    ApplySettings();
    const Bytes profileTwoBody = Memory(static_cast<int>(g_macroDevAddr[1][0]), 8);
    SwitchProfile(2);
    AdjustRecoil(1);
    EXPECT_EQ(g_macros[0].stepParam[0].y, 6);
    EXPECT_EQ(g_macros[1].stepParam[0].y, 7);
    EXPECT_EQ(Memory(0x240 + 6, 2), (Bytes{0x06, 0x00}));
    EXPECT_EQ(Memory(static_cast<int>(g_macroDevAddr[1][0]), 8), profileTwoBody);
}

// The macro the mouse plays was deleted in the window: the event is dropped (and logged), so
// neither the mouse nor the files change under the user's hands.
TEST_F(RecoilTest, AnEventForADeletedMacroIsDropped) {
    SetUserMacros({Named(RecoilMacro({5}), "Recoil"), Named(KeyMacro(2), "Keys")});
    KeyFunc[0][0] = 50;
    ApplySettings();
    const QByteArray file = testing_support::ProgramFolder::ReadFile(g_strMacroFile);
    g_macros[0] = g_macros[1];
    g_macroCount = 1;
    OnUserMacroDeleted(0, 2);
    link_->TakeSentReports();
    AdjustRecoil(1);
    EXPECT_TRUE(link_->TakeSentReports().empty());
    EXPECT_EQ(testing_support::ProgramFolder::ReadFile(g_strMacroFile), file);
    EXPECT_EQ(MacroName(g_macros[0]), "Keys");
}

// A macro made and bound since the last save: once Apply has sent it and config.ini names it,
// a restart (the list read again) still finds it, and the next Apply still plays it.
TEST_F(RecoilTest, ApplyOfABoundUserMacroSavesTheList) {
    SetUserMacros({Named(KeyMacro(2), "RapidFire")});
    OnWriteMacroList(g_strMacroFile, 1);
    SetUserMacros({Named(KeyMacro(2), "RapidFire"), Named(KeyMacro(6), "New")});
    KeyFunc[0][5] = 51;
    ApplySettings();
    EXPECT_EQ(ListInFile(), QStringList({"RapidFire", "New"}));
    ApplySettings();
    EXPECT_EQ(KeyFunc[0][5], 51);
    EXPECT_EQ(ConfigValue(QStringLiteral("Config1"), QStringLiteral("K5")), QStringLiteral("51"));
}

}  // namespace
