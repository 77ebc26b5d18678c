// Real pointer clicks, sent through the X server to the running program with its simulated
// mouse: a DPI slider set and applied reaches the mouse and config.ini, and a profile button
// saves the profile left behind.
#include <gtest/gtest.h>

#include "support/pointer_run.h"

namespace {

using testing_support::Eventually;

using PointerClicks = testing_support::PointerRunTest;

TEST_F(PointerClicks, ASliderCellAppliedReachesTheMouseAndConfigIni) {
    const qsizetype before = folder_.TraceLines().size();
    Click(66 + 12 * 2 + 9);  // DPI level 2, step 9: device code 0x0D
    Click(3);                // Apply
    // The mouse gets the code in the high half of the byte for levels 2 and 3 (0x016).
    const auto lastWriteOf016 = [&] { return LastWriteOf(0x016, before); };
    ASSERT_TRUE(Eventually([&] { return !lastWriteOf016().isEmpty(); }))
        << "no write of the DPI codes after Apply";
    EXPECT_EQ(lastWriteOf016().left(1), QStringLiteral("D"));
    for (const char* section : {"Config1", "Config2", "Config3", "Config4"}) {
        EXPECT_EQ(Ini(QString::fromLatin1(section), QStringLiteral("DPI_SET2")), "9") << section;
    }
}

TEST_F(PointerClicks, AProfileButtonSavesTheEditsOfTheProfileLeftBehind) {
    ASSERT_EQ(Ini(QStringLiteral("Init"), QStringLiteral("CurConfig")), "1");
    Click(66 + 12 * 4 + 2);  // DPI level 4, step 2
    Click(32);               // wheel off
    Click(6);                // profile 3
    ASSERT_TRUE(Eventually([&] {
        return Ini(QStringLiteral("Config1"), QStringLiteral("DPI_SET4")) == QStringLiteral("2");
    })) << "profile 1's edits were not saved";
    for (const char* section : {"Config1", "Config2", "Config3", "Config4"}) {
        EXPECT_EQ(Ini(QString::fromLatin1(section), QStringLiteral("DPI_SET4")), "2") << section;
        EXPECT_EQ(Ini(QString::fromLatin1(section), QStringLiteral("WHEEL_STATUS")), "0")
            << section;
    }
    EXPECT_EQ(Ini(QStringLiteral("Init"), QStringLiteral("CurConfig")), "1")
        << "the current profile is recorded at the next Apply";
}

}  // namespace
