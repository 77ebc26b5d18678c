#include "macro/step_lines.h"

#include <gtest/gtest.h>

namespace {

QString FakeKeyName(std::uint8_t code) {
    return QStringLiteral("K%1").arg(code);
}

StepLine Line(std::uint8_t code, std::uint8_t type, std::uint16_t x = 0, std::uint16_t y = 0) {
    static MacroRecord record;
    record = MacroRecord{};
    record.stepCount = 1;
    record.stepCode[0] = code;
    record.stepType[0] = type;
    record.stepParam[0] = {x, y};
    return BuildStepLine(record, 0, FakeKeyName);
}

QString Text(std::uint8_t code, std::uint8_t type, std::uint16_t x = 0, std::uint16_t y = 0) {
    return Line(code, type, x, y).text;
}

TEST(StepLineText, XyMovesShowTheSignsAndUnsignedMagnitudes) {
    EXPECT_EQ(Text(0xF6, 3, 1, 2), QString("[X-]:1,[Y-]:2"));
    EXPECT_EQ(Text(0xF6, 4, 0, 30), QString("[X-]:0,[Y+]:30"));
    EXPECT_EQ(Text(0xF6, 5, 7, 8), QString("[X+]:7,[Y-]:8"));
    EXPECT_EQ(Text(0xF6, 6, 65535, 32768), QString("[X+]:65535,[Y+]:32768"));
    EXPECT_EQ(Text(0xF6, 9, 1, 1), QString("[X]:eeror,[Y]:eeror"));
    EXPECT_EQ(Text(0xF6, 0), QString("[X]:eeror,[Y]:eeror"));
}

TEST(StepLineText, WheelSteps) {
    EXPECT_EQ(Text(0xF7, 7, 3), QString("[WHEEL+]:3"));
    EXPECT_EQ(Text(0xF7, 8, 65535), QString("[WHEEL-]:65535"));
    EXPECT_EQ(Text(0xF7, 6, 3), QString("[WHEEL]:eeror"));
}

TEST(StepLineText, DpiStepsNameTheDpiOfTheirCodeWithATrailingBlank) {
    const std::pair<int, const char*> table[] = {
        {0, "800"}, {1, "200"}, {4, "800"}, {8, "1600"}, {12, "2400"}, {15, "4800"}, {16, "800"},
    };
    for (const auto& [x, dpi] : table) {
        EXPECT_EQ(Text(0xF8, 9, static_cast<std::uint16_t>(x)),
                  QString("[DPI]:%1 ").arg(QLatin1String(dpi)))
            << "x " << x;
    }
    EXPECT_EQ(Text(0xF8, 10, 5), QString::fromUtf8("[DPI]:返回执行前的值"));
    EXPECT_EQ(Text(0xF8, 11, 5), QString::fromUtf8("[DPI]:状态Error"));
}

TEST(StepLineText, MediaStepsShowLowerCaseHexWithoutPrefix) {
    EXPECT_EQ(Text(0xFA, 0x0C, 0xCD), QString::fromUtf8("[Media↓]:cd"));
    EXPECT_EQ(Text(0xFA, 0x0B, 0xE9), QString::fromUtf8("[Media↑]:e9"));
    EXPECT_EQ(Text(0xFA, 0x0B, 0x1234), QString::fromUtf8("[Media↑]:1234"));
    EXPECT_EQ(Line(0xFA, 0x0C, 1).kind, StepLineKind::Other);
}

TEST(StepLineText, UnknownMediaTypeGetsAnErrorLineAndAsksForTheMessage) {
    const StepLine line = Line(0xFA, 0x0D, 0xCD);
    EXPECT_EQ(line.text, QString("[Media]:error"));
    EXPECT_EQ(line.kind, StepLineKind::MediaError);
    EXPECT_EQ(MediaStepErrorMessage(), QString::fromUtf8("[Media]状态错误!"));
}

TEST(StepLineText, LedAndGpioSteps) {
    EXPECT_EQ(Text(0xF9, 0x0D, 0), QString("[LED0]:LED-0 Data"));
    EXPECT_EQ(Text(0xF9, 0x0E, 1), QString("[LED1]:LED-1 Data"));
    EXPECT_EQ(Text(0xF9, 0x0F, 4), QString("[LED2]:LED-4 Data"));
    EXPECT_EQ(Text(0xF9, 0x10, 0), QString("[LED0/1/2]:error"));
    EXPECT_EQ(Text(0xFB, 0x10, 2), QString("[GPIO0]:Func2"));
    EXPECT_EQ(Text(0xFB, 0x11, 0), QString("[GPIO1]:Func0"));
    EXPECT_EQ(Text(0xFB, 0x12, 3), QString("[GPIO2]:Func3"));
    EXPECT_EQ(Text(0xFB, 0x0F, 3), QString("[GPIO0/1/2]:error"));
}

TEST(StepLineText, KeyAndButtonStepsAreNamedAndCounted) {
    const StepLine down = Line(4, 1);
    EXPECT_EQ(down.text, QString::fromUtf8("[↓]K4"));
    EXPECT_EQ(down.kind, StepLineKind::KeyDown);
    const StepLine up = Line(0xF1, 2);
    EXPECT_EQ(up.text, QString::fromUtf8("[↑]K241"));
    EXPECT_EQ(up.kind, StepLineKind::KeyUp);
    const StepLine bare = Line(0x2C, 0);
    EXPECT_EQ(bare.text, QString("K44"));
    EXPECT_EQ(bare.kind, StepLineKind::Other);
    EXPECT_EQ(Text(0xF3, 1), QString::fromUtf8("[↓]K243"));
}

TEST(StepLineText, KeyStepsCarryTheProgramsKeyNames) {
    MacroRecord record{};
    record.stepCount = 2;
    record.stepCode[0] = 4;  // the A key
    record.stepType[0] = 1;
    record.stepCode[1] = 0xF1;  // the left button
    record.stepType[1] = 2;
    EXPECT_EQ(BuildStepLine(record, 0).text, QString::fromUtf8("[↓]A"));
    EXPECT_EQ(BuildStepLine(record, 1).text, QString::fromUtf8("[↑]L-KEY"));
}

TEST(StepLineText, DelayStepAndDelayLine) {
    EXPECT_EQ(Text(0, 0), QString("[Delay]"));
    EXPECT_EQ(Text(0, 5), QString("[Delay]"));
    EXPECT_EQ(DelayLineText(5), QString("    5ms"));
    EXPECT_EQ(DelayLineText(65535), QString("    65535ms"));
    EXPECT_EQ(DelayLineText(0), QString("    0ms"));
}

}  // namespace
