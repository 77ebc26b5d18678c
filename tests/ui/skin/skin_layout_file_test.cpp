#include "ui/skin/skin_layout_file.h"
#include "ui/skin/skin_test_support.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using skin_test::MissingFileMessage;
using skin_test::RecordingWindow;
using skin_test::SkinFolder;
using skin_test::ValueErrorMessage;
using ui::ButtonPos;
using ui::SkinFields;

SkinFields Split(const QString& value) {
    SkinFields fields;
    fields.fill(QStringLiteral("stale"));  // nothing of an earlier key may survive
    ui::SplitSkinFieldValue(value, fields);
    return fields;
}

SkinFields Expect(std::initializer_list<const char*> texts) {
    SkinFields fields;
    int i = 0;
    for (const char* t : texts) {
        fields[i++] = QString::fromUtf8(t);
    }
    return fields;
}

// --- The comma split -------------------------------------------------------------------

TEST(SkinFieldSplit, SixCommasGiveTheSevenPartsInOrder) {
    EXPECT_EQ(Split(QStringLiteral("apply,652,594,128,32,应用,accent")),
              Expect({"apply", "652", "594", "128", "32", "应用", "accent"}));
    // The sixth comma as last character: the label is field 5 and field 6 is empty.
    EXPECT_EQ(Split(QStringLiteral("n,1,2,3,4,Label,")),
              Expect({"n", "1", "2", "3", "4", "Label", ""}));
    EXPECT_EQ(Split(QStringLiteral(",,,,,,")), Expect({"", "", "", "", "", "", ""}));
}

TEST(SkinFieldSplit, WithoutCommaTheWholeValueIsTheName) {
    EXPECT_EQ(Split(QStringLiteral("播放/暂停")), Expect({"播放/暂停", "", "", "", "", "", ""}));
    EXPECT_EQ(Split(QStringLiteral("Left click")), Expect({"Left click", "", "", "", "", "", ""}));
    EXPECT_EQ(Split(QString()), Expect({"", "", "", "", "", "", ""}));
}

TEST(SkinFieldSplit, FewerCommasCycleThroughThePartsThatACommaEnds) {
    // Five commas, none after the label: the label is lost and field 6 is the whole value.
    EXPECT_EQ(Split(QStringLiteral("n,1,2,3,4,Label")),
              Expect({"n", "1", "2", "3", "4", "", "n,1,2,3,4,Label"}));
    // Four commas: the height is empty and the label is the name again.
    EXPECT_EQ(Split(QStringLiteral("n,10,20,30,40")),
              Expect({"n", "10", "20", "30", "", "n", "10,20,30,40"}));
    // One comma: name, empty, name, empty, ...; the text after the comma is never a field.
    EXPECT_EQ(Split(QStringLiteral("a,b")), Expect({"a", "", "a", "", "a", "", "a,b"}));
    // Two commas: the cycle has three places.
    EXPECT_EQ(Split(QStringLiteral("a,b,c")), Expect({"a", "b", "", "a", "b", "", "a,b,c"}));
    // A trailing comma ends a part; what follows the last comma is empty.
    EXPECT_EQ(Split(QStringLiteral("a,")), Expect({"a", "", "a", "", "a", "", "a,"}));
}

TEST(SkinFieldSplit, MoreThanSixCommasKeepTheRestInTheLastField) {
    EXPECT_EQ(Split(QStringLiteral("n,1,2,3,4,L,x,y")),
              Expect({"n", "1", "2", "3", "4", "L", "x,y"}));
}

TEST(SkinFieldSplit, NumbersReadByTheDecimalRule) {
    const SkinFields f = Split(QStringLiteral("n, 12px,-7,abc,+5x,,"));
    EXPECT_EQ(ui::SkinFieldRect(f), (ButtonPos{12, -7, 0, 5}));
    EXPECT_EQ(ui::SkinFieldInt(f, 7), 0);
    EXPECT_EQ(ui::SkinFieldInt(f, -1), 0);
    // Values beyond 32 bits hold at the limits instead of wrapping.
    EXPECT_EQ(ui::SkinFieldRect(Split(QStringLiteral("n,99999999999,-99999999999,0,0,,"))),
              (ButtonPos{INT_MAX, INT_MIN, 0, 0}));
}

// --- ButtonPos and RECT ----------------------------------------------------------------

TEST(ButtonPos, ContainsLeftAndTopEdgesButNotRightAndBottom) {
    const ButtonPos r{10, 20, 30, 40};
    EXPECT_TRUE(r.Contains(10, 20));
    EXPECT_TRUE(r.Contains(39, 59));
    EXPECT_FALSE(r.Contains(40, 30));
    EXPECT_FALSE(r.Contains(20, 60));
    EXPECT_FALSE(r.Contains(9, 30));
    EXPECT_FALSE((ButtonPos{}).Contains(0, 0));
    EXPECT_FALSE((ButtonPos{5, 5, -3, 10}).Contains(4, 6));
}

TEST(ButtonPos, HugeValuesDoNotWrapIntoHits) {
    const ButtonPos wide{INT_MAX - 5, 0, INT_MAX, 10};
    EXPECT_TRUE(wide.Contains(INT_MAX - 1, 5));
    EXPECT_FALSE(wide.Contains(0, 5));
    EXPECT_FALSE((ButtonPos{INT_MIN, INT_MIN, INT_MIN, INT_MIN}).Contains(0, 0));
}

TEST(ButtonPos, ToRectAddsWidthAndHeight) {
    EXPECT_EQ(ui::ToRect(ButtonPos{10, 20, 30, 40}), (ui::RECT{10, 20, 40, 60}));
    EXPECT_EQ(ui::ToRect(ButtonPos{}), (ui::RECT{0, 0, 0, 0}));
    EXPECT_EQ(ui::ToRect(ButtonPos{INT_MAX, INT_MIN, 10, -10}),
              (ui::RECT{INT_MAX, INT_MIN, INT_MAX, INT_MIN}));
}

// --- Reading through the INI file --------------------------------------------------------

class ReadIniFieldsTest : public ::testing::Test {
protected:
    SkinFields Read(const QString& file, const char* section, int key) {
        SkinFields fields;
        fields.fill(QStringLiteral("stale"));
        ui::ReadIniFields(file, QString::fromLatin1(section), key, fields);
        return fields;
    }

    SkinFolder folder;
    RecordingWindow window;
};

TEST_F(ReadIniFieldsTest, LooksUpTheKeyByItsDecimalText) {
    const QString file = folder.Write(
        QStringLiteral("INI_CN/a.ini"),
        {QStringLiteral("[BUTTONPOS]"), QStringLiteral("07=zero-padded,1,1,1,1,,"),
         QStringLiteral("7=seven,70,71,72,73,七,"), QStringLiteral("-3=minus,1,2,3,4,m,")});
    EXPECT_EQ(Read(file, "BUTTONPOS", 7)[0], QStringLiteral("seven"));
    EXPECT_EQ(Read(file, "BUTTONPOS", 7)[5], QStringLiteral("七"));
    EXPECT_EQ(Read(file, "BUTTONPOS", -3)[0], QStringLiteral("minus"));
    EXPECT_TRUE(window.events.isEmpty());
}

TEST_F(ReadIniFieldsTest, MissingKeyOrSectionReadsEmptyWithoutMessage) {
    const QString file =
        folder.Write(QStringLiteral("INI_CN/a.ini"),
                     {QStringLiteral("[BUTTONPOS]"), QStringLiteral("1=x,1,2,3,4,y,")});
    EXPECT_EQ(Read(file, "BUTTONPOS", 2), Expect({"", "", "", "", "", "", ""}));
    EXPECT_EQ(Read(file, "EDIT", 1), Expect({"", "", "", "", "", "", ""}));
    EXPECT_TRUE(window.events.isEmpty());
}

TEST_F(ReadIniFieldsTest, TooManyCommasShowTheErrorOnceAndTheValueIsStillUsed) {
    const QString file =
        folder.Write(QStringLiteral("INI_CN/a.ini"),
                     {QStringLiteral("[BUTTONPOS]"), QStringLiteral("0=n,5,6,7,8,L,seven,eight"),
                      QStringLiteral("1=n,5,6,7,8,L,")});
    EXPECT_EQ(Read(file, "BUTTONPOS", 0), Expect({"n", "5", "6", "7", "8", "L", "seven,eight"}));
    EXPECT_EQ(window.events, QStringList({ValueErrorMessage}));
    Read(file, "BUTTONPOS", 1);
    EXPECT_EQ(window.events.size(), 1);
}

TEST_F(ReadIniFieldsTest, LongValueIsCutBeforeItIsSplit) {
    // The comma that would end the label lies past the 259th character, so the cut value has
    // five commas: the label is lost.
    const QString label(300, u'x');
    const QString file = folder.Write(
        QStringLiteral("INI_CN/a.ini"),
        {QStringLiteral("[BUTTONPOS]"), QStringLiteral("0=n,1,2,3,4,") + label + u','});
    const SkinFields f = Read(file, "BUTTONPOS", 0);
    EXPECT_EQ(ui::SkinFieldRect(f), (ButtonPos{1, 2, 3, 4}));
    EXPECT_EQ(f[5], QString());
    EXPECT_EQ(f[6].size(), ui::SkinValueMaxLength);
}

TEST_F(ReadIniFieldsTest, MissingFileIsToldByItsCheckThenHidesToTrayAndReadsEmpty) {
    const QString missing = folder.Path() + QStringLiteral("/INI_CN/none.ini");
    EXPECT_FALSE(ui::CheckSkinLayoutFile(window, missing));
    EXPECT_EQ(window.events, QStringList({MissingFileMessage, QStringLiteral("tray icon"),
                                          QStringLiteral("minimise"), QStringLiteral("hide")}));
    // The reads of its keys say nothing more.
    EXPECT_EQ(Read(missing, "BUTTONPOS", 0), Expect({"", "", "", "", "", "", ""}));
    EXPECT_EQ(Read(missing, "FUN_STRING", 1), Expect({"", "", "", "", "", "", ""}));
    EXPECT_EQ(window.events.size(), 4);
    EXPECT_TRUE(ui::CheckSkinLayoutFile(
        window, folder.Write(QStringLiteral("INI_CN/a.ini"), {QStringLiteral("[BUTTONPOS]")})));
    EXPECT_EQ(window.events.size(), 4);
}

}  // namespace
