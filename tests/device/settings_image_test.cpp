#include "device/settings_image.h"

#include <gtest/gtest.h>

namespace {

TEST(ButtonTranslation, CodesAndFlagsOfEachFunctionRange) {
    struct Case {
        int f;
        std::uint8_t code;
        bool dpi, profile, hold;
    };
    const Case cases[] = {
        {0, 0, false, false, false},     {1, 1, false, false, false},
        {6, 6, true, false, false},      {11, 11, true, false, false},
        {12, 7, false, false, false},    {16, 11, true, false, false},
        {17, 12, true, false, false},    {18, 22, false, true, false},
        {22, 26, false, true, false},    {23, 0, false, false, true},
        {24, 28, false, true, false},    {25, 0x0F, false, false, false},
        {39, 0x0F, false, false, false}, {-3, 0, false, false, false},
    };
    for (const Case& c : cases) {
        const ButtonTranslation t = TranslateButtonFunction(c.f, 0);
        EXPECT_EQ(t.code, c.code) << "f " << c.f;
        EXPECT_EQ(t.dpi, c.dpi) << "f " << c.f;
        EXPECT_EQ(t.profile, c.profile) << "f " << c.f;
        EXPECT_EQ(t.hold, c.hold) << "f " << c.f;
    }
    EXPECT_EQ(TranslateButtonFunction(50, 2).code, 0x0E);
    EXPECT_EQ(TranslateButtonFunction(50, 6).code, 0x0D);
    EXPECT_EQ(TranslateButtonFunction(41, 0).code, 0x0D);
}

TEST(SettingsCodes, DpiRateModeAndPointerTables) {
    EXPECT_EQ(DpiCodeOf(0), 0x01);
    EXPECT_EQ(DpiCodeOf(7), 0x09);
    EXPECT_EQ(DpiCodeOf(11), 0x0F);
    EXPECT_EQ(DpiCodeOf(200), 0x0F);  // beyond the table: the highest step
    EXPECT_EQ(ReportRateCode(0), 7);
    EXPECT_EQ(ReportRateCode(2), 1);
    EXPECT_EQ(ReportRateCode(3), 0);
    EXPECT_EQ(ReportRateCode(9), 1);
    EXPECT_EQ(ModeByte(0), 0xEE);
    EXPECT_EQ(ModeByte(1), 0xF3);
    EXPECT_EQ(PointerSpeedOf(0), 1);
    EXPECT_EQ(PointerSpeedOf(5), 10);
    EXPECT_EQ(PointerSpeedOf(8), 16);
    EXPECT_EQ(PointerSpeedOf(9), 18);
}

TEST(SettingsBlocks, PlacesEveryFieldAtItsAddress) {
    SettingsBlockInput in;
    for (int c = 0; c < 4; ++c) {
        for (int b = 0; b < DeviceButtonCount; ++b) {
            in.buttonCodes[c][b] = static_cast<std::uint8_t>(0x10 * (c + 1) + b + 1);
        }
    }
    in.wheelStatus = 1;
    in.dpiCode = {0x03, 0x05, 0x07, 0x0B, 0x0E, 0x0F};
    in.dpiLevel = 2;
    in.dpiMask = 0x3F;
    in.fireTime = 300;
    in.ledByte = 0x93;
    in.cycleMask = 0x7F;
    in.reportRate = 1;
    in.dpiColor[0] = {1, 2, 3};
    in.dpiColor[5] = {13, 14, 15};
    in.modeStatus = 1;
    const auto m = BuildSettingsBlocks(in);
    EXPECT_EQ(m[0x008], 0x11);
    EXPECT_EQ(m[0x010], 0x19);  // profile 1 stops at device button 9
    EXPECT_EQ(m[0x011], 0x00);
    EXPECT_EQ(m[0x013], 0x3F);
    EXPECT_EQ(m[0x014], 0x01);
    EXPECT_EQ(m[0x015], 0x35);
    EXPECT_EQ(m[0x016], 0x7B);
    EXPECT_EQ(m[0x017], 0xEF);
    EXPECT_EQ(m[0x018], 0x02);
    EXPECT_EQ(m[0x019], 0x3F);
    EXPECT_EQ(m[0x01A], 0x2C);
    EXPECT_EQ(m[0x01B], 0x01);
    EXPECT_EQ(m[0x01C], 0x93);
    EXPECT_EQ(m[0x01D], 0x7F);
    EXPECT_EQ(m[0x01E], 0x01);
    EXPECT_EQ(m[0x020], 1);
    EXPECT_EQ(m[0x022], 3);
    EXPECT_EQ(m[0x031], 15);
    EXPECT_EQ(m[0x043], 0xF3);
    EXPECT_EQ(m[0x044], 0x21);
    EXPECT_EQ(m[0x04F], 0x2C);
    EXPECT_EQ(m[0x050], 0x31);
    EXPECT_EQ(m[0x060], 0x41);
    EXPECT_EQ(m[0x06B], 0x4C);
    for (int a : {0x01F, 0x032, 0x03F, 0x040, 0x042, 0x05C, 0x05F, 0x06C, 0x07F}) {
        EXPECT_EQ(m[a], 0) << std::hex << a;
    }
}

}  // namespace
