#include "common/key_codes.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The virtual keys of the conversion table (not the ranges), as a keyboard recording sees them.
const std::vector<int> TableVks = {
    0x08, 0x09, 0x0C, 0x0D, 0x13, 0x14, 0x1B, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28,
    0x29, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F, 0x30, 0x5B, 0x5C, 0x5D, 0x60, 0x61, 0x62, 0x63, 0x64, 0x65,
    0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F, 0x90, 0x91, 0xA0, 0xA1, 0xA2, 0xA3,
    0xA4, 0xA5, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xDB, 0xDC, 0xDD, 0xDE, 0xF0, 0xF1, 0xF2};

TEST(VkToHidUsage, RangesConvertByOffset) {
    EXPECT_EQ(VkToHidUsage('A'), 0x04);
    EXPECT_EQ(VkToHidUsage('Z'), 0x1D);
    EXPECT_EQ(VkToHidUsage('1'), 0x1E);
    EXPECT_EQ(VkToHidUsage('9'), 0x26);
    EXPECT_EQ(VkToHidUsage('0'), 0x27);
    EXPECT_EQ(VkToHidUsage(0x70), 0x3A);  // F1
    EXPECT_EQ(VkToHidUsage(0x7B), 0x45);  // F12
    EXPECT_EQ(VkToHidUsage(0x7C), 0x68);  // F13
    EXPECT_EQ(VkToHidUsage(0x87), 0x73);  // F24
}

TEST(VkToHidUsage, TableGivesKeyboardUsages) {
    EXPECT_EQ(VkToHidUsage(0x0D), 0x28);  // Enter
    EXPECT_EQ(VkToHidUsage(0x1B), 0x29);  // Escape
    EXPECT_EQ(VkToHidUsage(0x0C), 0x9C);  // Clear
    EXPECT_EQ(VkToHidUsage(0x60), 0x62);  // keypad 0
    EXPECT_EQ(VkToHidUsage(0x61), 0x59);  // keypad 1
    EXPECT_EQ(VkToHidUsage(0x69), 0x61);  // keypad 9
    EXPECT_EQ(VkToHidUsage(0x6C), 0x9F);  // separator
    EXPECT_EQ(VkToHidUsage(0x5B), 0xE3);  // left GUI
    EXPECT_EQ(VkToHidUsage(0x5C), 0xE7);  // right GUI
    EXPECT_EQ(VkToHidUsage(0xA0), 0xE1);
    EXPECT_EQ(VkToHidUsage(0xA5), 0xE6);
    EXPECT_EQ(VkToHidUsage(0xDE), 0x34);  // quote
}

TEST(VkToHidUsage, MouseButtonsMapToPseudoUsages) {
    EXPECT_EQ(VkToHidUsage(0xF0), 0xF1);  // left
    EXPECT_EQ(VkToHidUsage(0xF1), 0xF3);  // right
    EXPECT_EQ(VkToHidUsage(0xF2), 0xF2);  // middle
}

TEST(VkToHidUsage, CodesOutsideEveryTableComeBackUnchanged) {
    for (int vk : {0x00, 0x07, 0x0A, 0x0B, 0x10, 0x11, 0x12, 0x1C, 0x2A, 0x3A, 0x40, 0x5E, 0x5F,
                   0x88, 0x8F, 0x92, 0x9F, 0xA6, 0xB9, 0xC1, 0xDA, 0xDF, 0xEF, 0xF3, 0xFF}) {
        EXPECT_EQ(VkToHidUsage(static_cast<std::uint8_t>(vk)), vk) << std::hex << vk;
    }
}

TEST(UsageToVirtualKey, InvertsEveryConvertedVirtualKey) {
    std::vector<int> vks = TableVks;
    for (int vk = 0x41; vk <= 0x5A; ++vk)
        vks.push_back(vk);
    for (int vk = 0x31; vk <= 0x39; ++vk)
        vks.push_back(vk);
    for (int vk = 0x70; vk <= 0x87; ++vk)
        vks.push_back(vk);
    ASSERT_EQ(TableVks.size(), 64u);
    for (int vk : vks) {
        const std::uint8_t usage = VkToHidUsage(static_cast<std::uint8_t>(vk));
        if (vk != 0xF2) {  // the middle button is the one code that keeps its value
            EXPECT_NE(usage, vk) << "not converted: " << std::hex << vk;
        }
        EXPECT_EQ(UsageToVirtualKey(usage), vk) << std::hex << vk;
    }
}

TEST(UsageToVirtualKey, EdgeCases) {
    EXPECT_EQ(UsageToVirtualKey(0x04), 'A');
    EXPECT_EQ(UsageToVirtualKey(0x27), '0');
    EXPECT_EQ(UsageToVirtualKey(0x28), 0x0D);
    EXPECT_EQ(UsageToVirtualKey(0xF1), 0xF0);
    EXPECT_EQ(UsageToVirtualKey(0xF3), 0xF1);
    EXPECT_EQ(UsageToVirtualKey(0x88), 0x88);
    EXPECT_EQ(UsageToVirtualKey(0x76), 0x76);  // has a name, but no virtual key maps to it
    EXPECT_EQ(UsageToVirtualKey(0x02), 0x02);
    EXPECT_EQ(UsageToVirtualKey(0xF4), 0xF4);
    EXPECT_EQ(UsageToVirtualKey(0xFF), 0xFF);
}

TEST(UsageToKeyName, LettersDigitsAndNames) {
    EXPECT_EQ(UsageToKeyName(0x04), "A");
    EXPECT_EQ(UsageToKeyName(0x1D), "Z");
    EXPECT_EQ(UsageToKeyName(0x1E), "1");
    EXPECT_EQ(UsageToKeyName(0x26), "9");
    EXPECT_EQ(UsageToKeyName(0x27), "0");
    EXPECT_EQ(UsageToKeyName(0x28), "RETURN");
    EXPECT_EQ(UsageToKeyName(0x2A), "BACKSPACE");
    EXPECT_EQ(UsageToKeyName(0x31), QString::fromUtf8("\\|"));
    EXPECT_EQ(UsageToKeyName(0x34), " ' ");
    EXPECT_EQ(UsageToKeyName(0x3A), "F1");
    EXPECT_EQ(UsageToKeyName(0x45), "F12");
    EXPECT_EQ(UsageToKeyName(0x68), "F13");
    EXPECT_EQ(UsageToKeyName(0x73), "F24");
    EXPECT_EQ(UsageToKeyName(0x59), "NUMPAD1");
    EXPECT_EQ(UsageToKeyName(0x61), "NUMPAD9");
    EXPECT_EQ(UsageToKeyName(0x62), "NUMPAD0");
    EXPECT_EQ(UsageToKeyName(0x76), "MENU");
    EXPECT_EQ(UsageToKeyName(0x9C), "CLEAR");
    EXPECT_EQ(UsageToKeyName(0xE7), "RWIN");
    EXPECT_EQ(UsageToKeyName(0xF1), "L-KEY");
    EXPECT_EQ(UsageToKeyName(0xF2), "M-KEY");
    EXPECT_EQ(UsageToKeyName(0xF3), "R-KEY");
}

TEST(UsageToKeyName, GapsAndOutOfRangeAreUnknown) {
    std::vector<int> gaps = {-1,   0,    3,    0x32, 0x58, 0x64, 0x66,
                             0x67, 0x9D, 0x9E, 0xF4, 0xFF, 256,  100000};
    for (int u = 0x78; u <= 0x9B; ++u)
        gaps.push_back(u);
    for (int u = 0xA0; u <= 0xDF; ++u)
        gaps.push_back(u);
    for (int u = 0xE8; u <= 0xF0; ++u)
        gaps.push_back(u);
    for (int usage : gaps) {
        EXPECT_EQ(UsageToKeyName(usage), "Unkown") << usage;
    }
}

TEST(UsageToKeyName, EveryConvertedKeyHasAName) {
    std::vector<int> vks = TableVks;
    for (int vk = 0x41; vk <= 0x5A; ++vk)
        vks.push_back(vk);
    for (int vk = 0x30; vk <= 0x39; ++vk)
        vks.push_back(vk);
    for (int vk = 0x70; vk <= 0x87; ++vk)
        vks.push_back(vk);
    for (int vk : vks) {
        EXPECT_NE(UsageToKeyName(VkToHidUsage(static_cast<std::uint8_t>(vk))), "Unkown")
            << std::hex << vk;
    }
}

TEST(KeyIndexToUsage, PickerFollowsTheKeyboard) {
    // Esc, F1..F12, Insert, `, 1..9, 0, -, =, Backspace, Delete, Tab, Q..P, [ ] \, Caps Lock,
    // A..L, ; ' Enter, left Shift, Z..M, , . / right Shift, left Ctrl, left Alt, left GUI,
    // Space, right GUI, right Alt, right Ctrl, arrows left, up, right, down.
    const std::vector<int> expected = {
        0x29, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x49,
        0x35, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x2D, 0x2E, 0x2A,
        0x4C, 0x2B, 0x14, 0x1A, 0x08, 0x15, 0x17, 0x1C, 0x18, 0x0C, 0x12, 0x13, 0x2F, 0x30,
        0x31, 0x39, 0x04, 0x16, 0x07, 0x09, 0x0A, 0x0B, 0x0D, 0x0E, 0x0F, 0x33, 0x34, 0x28,
        0xE1, 0x1D, 0x1B, 0x06, 0x19, 0x05, 0x11, 0x10, 0x36, 0x37, 0x38, 0xE5, 0xE0, 0xE2,
        0xE3, 0x2C, 0xE7, 0xE6, 0xE4, 0x50, 0x52, 0x4F, 0x51};
    ASSERT_EQ(expected.size(), 79u);
    for (int index = 0; index < 79; ++index) {
        EXPECT_EQ(KeyIndexToUsage(static_cast<std::uint8_t>(index)), expected[index]) << index;
    }
}

TEST(KeyIndexToUsage, IndexPastThePickerGivesNone) {
    EXPECT_EQ(KeyIndexToUsage(79), 0xFF);
    EXPECT_EQ(KeyIndexToUsage(128), 0xFF);
    EXPECT_EQ(KeyIndexToUsage(255), 0xFF);
}

TEST(MediaIndexToConsumerUsage, ElevenMediaKeysThenNone) {
    const std::vector<std::uint32_t> expected = {0x0223, 0x0183, 0x018A, 0x00E9, 0x00EA, 0x00B6,
                                                 0x00B5, 0x00E2, 0x00CD, 0x0192, 0x00B7};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(MediaIndexToConsumerUsage(static_cast<std::uint8_t>(i)), expected[i]) << i;
    }
    EXPECT_EQ(MediaIndexToConsumerUsage(11), 0u);
    EXPECT_EQ(MediaIndexToConsumerUsage(255), 0u);
}

}  // namespace
