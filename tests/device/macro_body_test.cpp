#include "device/macro_body.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

MacroRecord EmptyRecord() {
    MacroRecord r{};
    return r;
}

void AddStep(MacroRecord& r, std::uint8_t code, std::uint8_t type, std::uint16_t x, std::uint16_t y,
             std::uint16_t delay) {
    const int i = r.stepCount++;
    r.stepCode[i] = code;
    r.stepType[i] = type;
    r.stepParam[i] = {x, y};
    r.stepDelay[i] = delay;
    if (code == StepCodeXyMove) {
        ++r.xyCount;
    } else if (code == StepCodeWheel) {
        ++r.wheelCount;
    } else if (code == StepCodeDpi) {
        ++r.dpiCount;
    } else if (code == StepCodeMedia) {
        ++r.mediaCount;
    }
}

Bytes Steps(const MacroRecord& r) {
    const Bytes body = EncodeMacroBody(r, MacroBodySize(r));
    return Bytes(body.begin() + 2, body.end());
}

TEST(MacroBodyHeader, RepeatCountOnlyInModeZero) {
    MacroRecord r = EmptyRecord();
    r.repeatCount = 3;
    EXPECT_EQ(EncodeMacroBody(r, 8), (Bytes{0x03, 0x00, 0, 0, 0, 0, 0, 0}));
    r.mode = 1;
    EXPECT_EQ(EncodeMacroBody(r, 8)[0], 0x01);
    r.mode = 2;
    EXPECT_EQ(EncodeMacroBody(r, 8)[0], 0x01);
    r.mode = 3;
    EXPECT_EQ(EncodeMacroBody(r, 8)[0], 0x03);
    r.mode = 0x06;  // bits 0..1 are 2
    EXPECT_EQ(EncodeMacroBody(r, 8)[0], 0x01);
}

TEST(MacroBodySteps, KeysCarryPressBitAndHalvedDelay) {
    MacroRecord r = EmptyRecord();
    AddStep(r, 0x04, 1, 0, 0, 20);
    AddStep(r, 0x04, 2, 0, 0, 300);
    AddStep(r, 0x04, 2, 0, 0, 0);
    AddStep(r, 0xF1, 1, 0, 0, 3);
    Bytes steps = Steps(r);
    steps.resize(8);
    EXPECT_EQ(steps, (Bytes{0x8A, 0x04, 0x7F, 0x04, 0x01, 0x04, 0x81, 0xF1}));
}

TEST(MacroBodySteps, XyMovesCarryTheirSigns) {
    MacroRecord r = EmptyRecord();
    AddStep(r, StepCodeXyMove, 4, 5, 10, 10);
    AddStep(r, StepCodeXyMove, 3, 1, 2, 2);
    AddStep(r, StepCodeXyMove, 5, 1, 2, 2);
    AddStep(r, StepCodeXyMove, 6, 1, 2, 2);
    AddStep(r, StepCodeXyMove, 0, 1, 2, 2);
    const Bytes steps = Steps(r);
    const Bytes expected = {0x05, 0xF6, 0xFB, 0xFF, 0x0A, 0x00,  // X- Y+
                            0x01, 0xF6, 0xFF, 0xFF, 0xFE, 0xFF,  // X- Y-
                            0x01, 0xF6, 0x01, 0x00, 0xFE, 0xFF,  // X+ Y-
                            0x01, 0xF6, 0x01, 0x00, 0x02, 0x00,  // X+ Y+
                            0x01, 0xF6};                         // no sign: no values
    EXPECT_EQ(Bytes(steps.begin(), steps.begin() + expected.size()), expected);
}

TEST(MacroBodySteps, WheelDpiDelayAndSilentKinds) {
    MacroRecord r = EmptyRecord();
    AddStep(r, StepCodeWheel, 8, 3, 0, 4);
    AddStep(r, StepCodeWheel, 7, 3, 0, 4);
    AddStep(r, StepCodeDpi, 9, 2, 0, 0);
    AddStep(r, StepCodeDpi, 10, 2, 0, 8);
    AddStep(r, StepCodeDpi, 0, 2, 0, 8);
    AddStep(r, StepCodeMedia, 0x0C, 1, 0, 8);  // media press type: no bytes
    AddStep(r, StepCodeDelay, 0, 0, 0, 100);
    const Bytes steps = Steps(r);
    const Bytes expected = {0x02, 0xF7, 0xFD, 0x00, 0x02, 0xF7, 0x03, 0x00, 0x81, 0xF8, 0x02,
                            0x00, 0x04, 0xF8, 0x02, 0x00, 0x00, 0xF8, 0x02, 0x00, 0x32, 0x00};
    EXPECT_EQ(Bytes(steps.begin(), steps.begin() + expected.size()), expected);
    for (std::size_t i = expected.size(); i < steps.size(); ++i) {
        EXPECT_EQ(steps[i], 0) << "padding at " << i;
    }
}

TEST(MacroBodySize, CountsStepsKindsAndEffectRecords) {
    MacroRecord r = EmptyRecord();
    for (int i = 0; i < 4; ++i) {
        AddStep(r, 0x04, 1, 0, 0, 10);
    }
    AddStep(r, StepCodeXyMove, 6, 1, 1, 10);
    EXPECT_EQ(MacroBodySize(r), 16u);
    AddStep(r, StepCodeMedia, 0x0C, 1, 0, 10);
    EXPECT_EQ(MacroBodySize(r), 24u);  // 2 * (6 + 2 + 1) + 2 = 20, rounded up
    r.ledCount = 1;
    r.led[0].field0 = 3;  // 4 * 3 + 4 = 16
    EXPECT_EQ(MacroBodySize(r), 24u + 16u);
}

TEST(MacroBodySize, RecordWithTooLowCountersStillHoldsAllItsSteps) {
    MacroRecord r = EmptyRecord();
    for (int i = 0; i < 20; ++i) {
        AddStep(r, StepCodeXyMove, 6, 1, 1, 10);
    }
    r.xyCount = 0;  // as a hand-made file might claim
    const std::uint32_t size = MacroBodySize(r);
    EXPECT_GE(size, 2u + 20u * 6u);
    EXPECT_EQ(size % 8, 0u);
    const Bytes body = EncodeMacroBody(r, size);
    EXPECT_EQ(body[2 + 19 * 6 + 1], 0xF6);  // the last step is there
}

TEST(MacroBodyEncode, NeverWritesPastTheBuffer) {
    MacroRecord r = EmptyRecord();
    for (int i = 0; i < MacroMaxSteps; ++i) {
        AddStep(r, StepCodeXyMove, 6, 1, 1, 10);
    }
    r.stepCount = 60000;  // more steps claimed than the arrays hold
    for (std::size_t size : {0, 1, 2, 8, 13, 64}) {
        EXPECT_EQ(EncodeMacroBody(r, size).size(), size);
    }
}

TEST(MacroKeyEntry, FlagsFollowTheModeByte) {
    EXPECT_TRUE(MacroKeyEntryFlags(2).mode2);
    EXPECT_FALSE(MacroKeyEntryFlags(6).mode1);
    EXPECT_TRUE(MacroKeyEntryFlags(1).mode1);
    EXPECT_TRUE(MacroKeyEntryFlags(0x04).bit2);
    EXPECT_TRUE(MacroKeyEntryFlags(0x07).bit2);
    EXPECT_FALSE(MacroKeyEntryFlags(0x05).bit2);
    EXPECT_TRUE(MacroKeyEntryFlags(0x09).bit3);
    EXPECT_TRUE(MacroKeyEntryFlags(0x0A).bit3);
    EXPECT_FALSE(MacroKeyEntryFlags(0x08).bit3);

    KeyEntryFlags all;
    all.mode2 = all.mode1 = all.bit2 = all.bit3 = true;
    EXPECT_EQ(BuildKeyEntry(180, all, 0xFF, 0x0223, 0x3A48),
              (std::array<std::uint8_t, 8>{0x02, 0x80 | 52, 0xFF, 0x23, 0x02, 0x48,
                                           0x80 | 0x40 | 0x3A, 0x40 | 1}));
}

TEST(MacroRecoil, MovesYWithinItsBoundsOnly) {
    MacroRecord r = EmptyRecord();
    AddStep(r, StepCodeXyMove, 6, 0, 30, 10);
    AddStep(r, StepCodeXyMove, 6, 0, 0, 10);
    AddStep(r, StepCodeXyMove, 6, 0, 31, 10);
    AddStep(r, StepCodeXyMove, 6, 0, 7, 10);
    MacroRecord up = r;
    MoveRecoilSteps(up, true);
    EXPECT_EQ(up.stepParam[0].y, 30);
    EXPECT_EQ(up.stepParam[1].y, 1);
    EXPECT_EQ(up.stepParam[2].y, 31);
    EXPECT_EQ(up.stepParam[3].y, 8);
    MacroRecord down = r;
    MoveRecoilSteps(down, false);
    const Bytes body = EncodeMacroBody(down, MacroBodySize(down));
    EXPECT_EQ(down.stepParam[0].y, 29);
    EXPECT_EQ(down.stepParam[1].y, 0);
    EXPECT_EQ(down.stepParam[2].y, 30);
    EXPECT_EQ(down.stepParam[3].y, 6);
    EXPECT_EQ(body[2 + 4], 29);  // the body carries the moved value
}

}  // namespace
