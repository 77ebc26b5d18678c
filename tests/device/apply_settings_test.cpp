#include "device/apply_settings.h"

#include <gtest/gtest.h>

#include <QFile>

#include "common/paths.h"
#include "device/settings_image.h"
#include "platform/ini.h"
#include "profile/config_store.h"
#include "profile/profile_settings.h"
#include "profile/profile_switch.h"
#include "support/apply_fixture.h"
#include "support/file_replace_counter.h"

namespace {

using testing_support::ApplyFixture;
using testing_support::HexBytes;
using Bytes = std::vector<std::uint8_t>;

class ApplySettingsTest : public ApplyFixture {};

void SelectProfile(int n) {
    g_curConfig = n;
    g_curConfigIdx = n - 1;
}

TEST_F(ApplySettingsTest, WritesProfileByteFirstAndClosesWithTheThreeCommands) {
    SelectProfile(3);
    for (int a = 0; a < 8; ++a) {
        link_->mouse().SetMemoryByte(a, 0xAA);
    }
    link_->TakeSentReports();
    ApplySettings();
    const std::vector<std::string> sent = link_->TakeSentReports();
    ASSERT_GT(sent.size(), 20u);
    EXPECT_EQ(sent[0], "+0 set 07 18 03 00 01 00 42 00");
    EXPECT_EQ(sent[1], "+4 set 07 18 09 00 01 00 00 00");
    EXPECT_EQ(sent[2], "+2 set 07 18 00 00 01 00 00 00");
    EXPECT_EQ(sent[3], "+0 set 07 18 03 00 08 00 01 07");
    // After the block at 0x010 comes the discarded one-byte read at 0x011.
    EXPECT_EQ(sent[23], "+0 set 07 18 03 00 11 00 00 00");
    EXPECT_EQ(sent[24], "+4 set 07 18 00 00 11 00 00 00");
    EXPECT_EQ(sent[25], "+0 set 07 18 05 00 11 00 00 00");
    EXPECT_EQ(sent[26].substr(0, 9), "+2 get 07");
    EXPECT_EQ(sent[27], "+2 set 07 18 00 00 00 00 00 00");
    EXPECT_EQ(sent[28], "+0 set 07 18 03 00 18 00 02 07");
    const std::vector<std::string> tail(sent.end() - 3, sent.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"+0 set 07 49 02 42 3F 00 00 00",
                                              "+2 set 07 18 10 00 00 00 00 00",
                                              "+2 set 07 18 00 00 00 00 00 00"}));
    EXPECT_EQ(link_->mouse().MemoryByte(0x001), 0x42);
    for (int a : {0, 2, 3, 4, 5, 6, 7}) {
        EXPECT_EQ(link_->mouse().MemoryByte(a), 0xAA) << a;
    }
    EXPECT_EQ(link_->mouse().CurrentProfile(), 2);
    EXPECT_EQ(ConfigValue(QStringLiteral("Init"), QStringLiteral("CurConfig")), "3");
}

TEST_F(ApplySettingsTest, TranslatesButtonFunctionsAndDropsMissingMacros) {
    SetUserMacros({KeyMacro(2), KeyMacro(2), KeyMacro(2)});
    KeyFunc[0] = {23, 16, 17, 12, 75, 60, 1};
    ApplySettings();
    // Device buttons 1..8 of profile 1: slots 0..5 then button 7 (no slot) and slot 6.
    EXPECT_EQ(Memory(0x008, 8), (Bytes{0x00, 0x0B, 0x0C, 0x07, 0x00, 0x00, 0x00, 0x01}));
    EXPECT_EQ(g_btnIsHoldFunc[0][0].load(), 1u);
    EXPECT_EQ(g_btnIsDpiFunc[0][1].load(), 1u);
    EXPECT_EQ(g_btnIsDpiFunc[0][2].load(), 1u);
    EXPECT_EQ(g_btnIsDpiFunc[0][3].load(), 0u);
    EXPECT_EQ(KeyFunc[0][4], 0);
    EXPECT_EQ(KeyFunc[0][5], 0);
    EXPECT_EQ(ConfigValue(QStringLiteral("Config1"), QStringLiteral("K4")), "0");
    EXPECT_EQ(ConfigValue(QStringLiteral("Config1"), QStringLiteral("K5")), "0");

    KeyFunc[0][0] = 1;
    ApplySettings();
    EXPECT_EQ(link_->mouse().MemoryByte(0x008), 0x01);
    EXPECT_EQ(g_btnIsHoldFunc[0][0].load(), 0u);
}

TEST_F(ApplySettingsTest, MacroModeByteChoosesTheButtonCode) {
    SetUserMacros({KeyMacro(2, 2), KeyMacro(2, 6)});
    KeyFunc[1][0] = 50;
    KeyFunc[1][1] = 51;
    ApplySettings();
    EXPECT_EQ(Memory(0x044, 2), (Bytes{0x0E, 0x0D}));
}

TEST_F(ApplySettingsTest, SettingsValuesReachTheirBytes) {
    g_dpiSet = {2, 4, 6, 8, 10, 11};
    g_fireTime = 300;
    g_usbSpeed = 2;
    g_ledType = 1;
    g_ledCycTime = 3;
    g_dpiSpeed = 9;
    g_wheelSpeed = 2;
    ApplySettings();
    EXPECT_EQ(Memory(0x015, 3), (Bytes{0x35, 0x7B, 0xEF}));
    EXPECT_EQ(Memory(0x01A, 2), (Bytes{0x2C, 0x01}));
    EXPECT_EQ(link_->mouse().MemoryByte(0x01C), 0x93);
    EXPECT_EQ(link_->mouse().MemoryByte(0x01E), 0x01);
    EXPECT_EQ(pointer_.speedSet, 18);
    EXPECT_EQ(pointer_.linesSet, 3);

    g_ledType = 2;
    g_usbSpeed = 9;
    ApplySettings();
    EXPECT_EQ(link_->mouse().MemoryByte(0x01C), 0x96);  // the lighting bit of the last type 1
    EXPECT_EQ(link_->mouse().MemoryByte(0x01E), 0x01);
    g_ledType = 0;
    g_ledCycTime = 5;
    g_usbSpeed = 0;
    ApplySettings();
    EXPECT_EQ(link_->mouse().MemoryByte(0x01C), 0x85);
    EXPECT_EQ(link_->mouse().MemoryByte(0x01E), 0x07);
}

// Start-up does not check the factory sections, which only the Factory button reads: a file cut
// short after [Config4], a fire time out of range, a profile row without left click. Each would
// have been saved over every profile and sent; the shipped factory settings are sent instead.
TEST_F(ApplySettingsTest, AFactoryRestoreNeverSendsFactorySectionsTheWindowCouldNotMake) {
    QFile file(g_strConfigIni);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray shipped = file.readAll();
    file.close();
    const auto edited = [&](const char* section, const char* from, const char* to) {
        QByteArray text = shipped;
        const qsizetype at = text.indexOf(from, text.indexOf(section));
        return text.replace(at, qstrlen(from), to);
    };
    const auto factoryImage = [&](const QByteArray& config) {
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(config);
        file.close();
        g_fireTime = 77;
        KeyFunc[2] = {5, 4, 3, 2, 0, 0, 0};
        RestoreDefaults();
        ApplySettings();
        return Memory(0x008, 0x78);
    };
    const Bytes expected = factoryImage(shipped);
    EXPECT_EQ(Memory(0x01A, 2), (Bytes{0x32, 0x00}));
    for (const QByteArray& config :
         {shipped.left(shipped.indexOf("[CfgReset2]")),
          edited("[CfgReset2]", "FIRE_TIME=50", "FIRE_TIME=2000"),
          edited("[CfgReset3]", "K0=1", "K0=2")
              .replace("FIRE_TIME=50\r\n[CfgReset4]", "FIRE_TIME=2000\r\n[CfgReset4]")}) {
        EXPECT_EQ(HexBytes(factoryImage(config)), HexBytes(expected));
        EXPECT_EQ(ConfigValue(QStringLiteral("Config3"), QStringLiteral("K0")), "1");
        EXPECT_EQ(ConfigValue(QStringLiteral("Config1"), QStringLiteral("FIRE_TIME")), "50");
    }
}

TEST_F(ApplySettingsTest, PointerSettingsSkippedWhereTheDesktopOffersNone) {
    pointer_.offered = false;
    ApplySettings();
    EXPECT_EQ(pointer_.speedSet, -1);
    EXPECT_EQ(pointer_.linesSet, -1);
}

TEST_F(ApplySettingsTest, CycleMaskIsRebuiltFromTheColourFlagsAndSaved) {
    for (int i = 0; i < CycleColorCount; ++i) {
        g_cycColorOn[i] = i % 2 == 0 ? 1 : 0;
    }
    ApplySettings();
    EXPECT_EQ(link_->mouse().MemoryByte(0x01D), 0x55);
    EXPECT_EQ(ConfigValue(QStringLiteral("Config4"), QStringLiteral("CYC_7COL_EN")), "85");
}

TEST_F(ApplySettingsTest, MediaKeyEntryTakesTheRunningBodyAddress) {
    KeyFunc[1][3] = 25;  // profile 2, device button 4
    ApplySettings();
    EXPECT_EQ(Memory(0x108, 8), (Bytes{0x02, 0x00, 0xFF, 0x23, 0x02, 0x40, 0x02, 0x00}));
}

TEST_F(ApplySettingsTest, BodiesArePackedInButtonOrderFrom0x240) {
    MacroRecord sixteen = KeyMacro(6);      // 2 * 6 + 2 = 14 -> 16
    MacroRecord twentyFour = KeyMacro(10);  // 2 * 10 + 2 = 22 -> 24
    twentyFour.mode = 1;
    SetUserMacros({sixteen, twentyFour, KeyMacro(2)});
    KeyFunc[0][0] = 50;
    KeyFunc[0][1] = 51;
    KeyFunc[1][0] = 52;
    ApplySettings();
    // Key entries: 02, step count, no key, no media, body address.
    EXPECT_EQ(Memory(0x080, 8), (Bytes{0x02, 0x06, 0xFF, 0x00, 0x00, 0x40, 0x02, 0x00}));
    EXPECT_EQ(Memory(0x088, 8), (Bytes{0x02, 0x0A, 0xFF, 0x00, 0x00, 0x50, 0x82, 0x00}));
    EXPECT_EQ(Memory(0x0F0, 8), (Bytes{0x02, 0x02, 0xFF, 0x00, 0x00, 0x68, 0x02, 0x00}));
    EXPECT_EQ(Memory(0x240, 4), (Bytes{0x01, 0x00, 0x85, 0x04}));
    EXPECT_EQ(Memory(0x250, 2), (Bytes{0x01, 0x00}));
    EXPECT_EQ(Memory(0x268, 4), (Bytes{0x01, 0x00, 0x85, 0x04}));
    EXPECT_EQ(g_boundMacroAddr, 0x240u);
    EXPECT_EQ(g_boundMacroSize, 16u);
}

TEST_F(ApplySettingsTest, BuiltInMacroBodyAlwaysStartsWithItsRepeatCount) {
    g_constMacros[1] = KeyMacro(2, 2, 7);
    KeyFunc[0][1] = 41;
    ApplySettings();
    EXPECT_EQ(link_->mouse().MemoryByte(0x009), 0x0E);  // the record's own mode
    EXPECT_EQ(Memory(0x088, 2), (Bytes{0x02, 0x82}));   // mode-2 bit kept
    EXPECT_EQ(Memory(0x240, 2), (Bytes{0x07, 0x00}));
}

TEST_F(ApplySettingsTest, BodiesThatWouldPassTheAddressLimitAreNotBound) {
    MacroRecord big{};
    big.repeatCount = 1;
    big.ledCount = 5;
    for (auto& led : big.led) {
        led.field0 = 255;  // 4 * 255 + 4 = 1024 bytes each
    }
    SetUserMacros({big});
    for (int k = 0; k < 5; ++k) {
        KeyFunc[0][k] = 50;
    }
    ApplySettings();
    // 0x240 + 3 * 5136 still ends below 0x4000; a fourth would not.
    EXPECT_EQ(Memory(0x008, 5), (Bytes{0x0D, 0x0D, 0x0D, 0x00, 0x00}));
    EXPECT_EQ(g_macroDevAddr[0][2], 0x240u + 2 * 5136u);
}

// Each save is one replacement of config.ini, however many of its values change: with four
// differing sections, a new current profile, a corrected button and a rebuilt colour mask, the
// Apply still replaces the file only for its profile number and its two saves.
TEST_F(ApplySettingsTest, ReplacesConfigIniAtMostThreeTimes) {
    std::vector<platform::ProfileWrite> differ;
    for (int n = 2; n <= 4; ++n) {
        for (const char* key : {"MODE_STATUS", "DPI_LEVEL", "DPI_SET3", "DPI2_G", "LED_TYPE",
                                "USB_SPEED", "FIRE_TIME"}) {
            differ.push_back(
                {QStringLiteral("Config%1").arg(n), QString::fromLatin1(key), QString::number(n)});
        }
    }
    ASSERT_TRUE(platform::WritePrivateProfileStrings(differ, g_strConfigIni));
    SelectProfile(2);
    SetUserMacros({KeyMacro(2)});
    KeyFunc[1][0] = 57;  // no such user macro: saved as 0 at the end
    g_cycColorOn[0] = 0;

    testing_support::FileReplaceCounter replaced(g_strConfigIni);
    ApplySettings();
    EXPECT_LE(replaced.Take(), 3);
    EXPECT_EQ(ConfigValue(QStringLiteral("Init"), QStringLiteral("CurConfig")), "2");
    EXPECT_EQ(ConfigValue(QStringLiteral("Config2"), QStringLiteral("K0")), "0");
    EXPECT_EQ(ConfigValue(QStringLiteral("Config4"), QStringLiteral("FIRE_TIME")),
              ConfigValue(QStringLiteral("Config1"), QStringLiteral("FIRE_TIME")));
    EXPECT_EQ(ConfigValue(QStringLiteral("Config3"), QStringLiteral("CYC_7COL_EN")), "126");
}

}  // namespace
