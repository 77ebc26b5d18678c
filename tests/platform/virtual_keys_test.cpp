#include "platform/virtual_keys.h"

#include <gtest/gtest.h>

#include <QtCore/qnamespace.h>

namespace {

using platform::VirtualKeyFromQtKey;
using platform::VirtualKeyFromX11;

TEST(VirtualKeys, X11KeysByUnshiftedMeaningWithModifierSides) {
    EXPECT_EQ(VirtualKeyFromX11(50, 0xFFE1), 0xA0);   // Shift_L
    EXPECT_EQ(VirtualKeyFromX11(105, 0xFFE4), 0xA3);  // Control_R
    EXPECT_EQ(VirtualKeyFromX11(64, 0xFFE7), 0xA4) << "Meta_L: Alt_L with Shift held";
    EXPECT_EQ(VirtualKeyFromX11(108, 0xFE03), 0xA5) << "AltGr is the right Alt";
    EXPECT_EQ(VirtualKeyFromX11(38, 'A'), 'A');
    EXPECT_EQ(VirtualKeyFromX11(10, '!'), '1') << "Shift+1";
    EXPECT_EQ(VirtualKeyFromX11(10, '&'), '1') << "the digit row of a French layout";
    EXPECT_EQ(VirtualKeyFromX11(0, '?'), 0xBF) << "no keycode: the US layout's key";
    EXPECT_EQ(VirtualKeyFromX11(94, '<'), 0xE2) << "the key beside left Shift";
    EXPECT_EQ(VirtualKeyFromX11(79, 0xFFB7), 0x67) << "KP_7 with NumLock";
    EXPECT_EQ(VirtualKeyFromX11(79, 0xFF95), 0x24) << "KP_Home without";
    EXPECT_EQ(VirtualKeyFromX11(123, 0x1008FF13), 0) << "volume up has none";
    EXPECT_EQ(VirtualKeyFromX11(38, 0x6C6), 'A') << "Cyrillic_ef: the letter of its place";
}

TEST(VirtualKeys, ToolkitKeysWithoutNativeCodes) {
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_7, true), 0x67);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Exclam, false), '1');
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_F24, false), 0x87);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_VolumeUp, false), 0);
}

}  // namespace
