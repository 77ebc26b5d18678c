#include "platform/decimal.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using platform::FormatInt;
using platform::Wtoi;

TEST(Wtoi, ReadsDigitsUpToFirstOtherCharacter) {
    EXPECT_EQ(Wtoi(QStringLiteral("123")), 123);
    EXPECT_EQ(Wtoi(QStringLiteral("  \t\r\n\v\f42abc")), 42);
    EXPECT_EQ(Wtoi(QStringLiteral("-17")), -17);
    EXPECT_EQ(Wtoi(QStringLiteral("+8x")), 8);
    EXPECT_EQ(Wtoi(QStringLiteral("300/000")), 300);
    EXPECT_EQ(Wtoi(QStringLiteral("007")), 7);
}

TEST(Wtoi, NoDigitsGiveZero) {
    EXPECT_EQ(Wtoi(QString()), 0);
    EXPECT_EQ(Wtoi(QStringLiteral("")), 0);
    EXPECT_EQ(Wtoi(QStringLiteral("abc")), 0);
    EXPECT_EQ(Wtoi(QStringLiteral("-")), 0);
    EXPECT_EQ(Wtoi(QStringLiteral("+ 5")), 0);
    EXPECT_EQ(Wtoi(QStringLiteral("--5")), 0);
    EXPECT_EQ(Wtoi(static_cast<const char16_t*>(nullptr)), 0);
}

TEST(Wtoi, FullWidthDigitsAreNotDigits) {
    EXPECT_EQ(Wtoi(QStringLiteral("\uFF11\uFF12")), 0);
}

TEST(Wtoi, SaturatesInsteadOfOverflowing) {
    EXPECT_EQ(Wtoi(QStringLiteral("2147483647")), INT_MAX);
    EXPECT_EQ(Wtoi(QStringLiteral("2147483648")), INT_MAX);
    EXPECT_EQ(Wtoi(QStringLiteral("-2147483648")), INT_MIN);
    EXPECT_EQ(Wtoi(QStringLiteral("-99999999999999999999999")), INT_MIN);
    EXPECT_EQ(Wtoi(QStringLiteral("99999999999999999999999")), INT_MAX);
}

TEST(Wtoi, Utf16PointerFormStopsAtTerminator) {
    const char16_t text[] = u" 12\u00003";
    EXPECT_EQ(Wtoi(text), 12);
}

TEST(FormatInt, WritesPlainDecimal) {
    EXPECT_EQ(FormatInt(0), QStringLiteral("0"));
    EXPECT_EQ(FormatInt(-5), QStringLiteral("-5"));
    EXPECT_EQ(FormatInt(16777215), QStringLiteral("16777215"));
}

}  // namespace
