// A button given a new function with real pointer events through the X server, as a person
// does it: the slot of K2 opens the button popup under it, a group row opens the group popup
// beside it, a group row is chosen, and Apply sends the new button code to the simulated mouse
// and saves it in config.ini.
#include <gtest/gtest.h>

#include <QImage>
#include <QSize>

#include "device/settings_image.h"
#include "support/pointer_run.h"

namespace {

using testing_support::Eventually;

constexpr int SlotK2 = 24;      // main-page rectangle of button slot 2
constexpr int ApplyButton = 3;  // frame button
constexpr int MediaRow = 8;     // button-popup row of the media keys' group
constexpr int FirstMediaKey = 25;

class FunctionPopupRun : public testing_support::PointerRunTest {
protected:
    // Row width and height of a popup: its mask's width, and its height over its rows.
    QSize RowSize(const char* mask, int rows) const {
        const QImage image(folder_.Path(QStringLiteral("skins/") + QString::fromLatin1(mask)));
        EXPECT_FALSE(image.isNull()) << mask;
        return {image.width(), image.height() / rows};
    }
};

TEST_F(FunctionPopupRun, AGroupChoiceOnK2IsAppliedToTheMouseAndSaved) {
    ASSERT_EQ(Ini(QStringLiteral("Config1"), QStringLiteral("K2")), QStringLiteral("3"));
    const std::uint8_t newCode = TranslateButtonFunction(FirstMediaKey, 0).code;
    ASSERT_NE(newCode, TranslateButtonFunction(3, 0).code);
    const QRect slot = MainRect(SlotK2);
    const QSize menuRow = RowSize("menu_mask.jpg", 11);
    const QSize groupRow = RowSize("advanced menu_mask.jpg", 12);
    ASSERT_GT(menuRow.height(), 0);
    ASSERT_GT(groupRow.height(), 0);

    // The button popup opens at the slot's lower left corner; the media group's first row
    // lies three rows above the popup's top, right of it.
    // Each popup is pointed into only once it shows: on a busy machine the pointer may
    // otherwise arrive before the popup that should take its hover.
    Click(SlotK2);
    const QPoint popup(slot.x(), slot.y() + slot.height());
    ASSERT_TRUE(WaitForWindowAt(popup)) << "no button popup under the slot";
    MoveTo(popup +
           QPoint(menuRow.width() / 2, (MediaRow - 1) * menuRow.height() + menuRow.height() / 2));
    const QPoint group(popup.x() + menuRow.width(), popup.y() - 3 * menuRow.height());
    ASSERT_TRUE(WaitForWindowAt(group)) << "no group popup beside the hovered row";
    const qsizetype before = folder_.TraceLines().size();
    ClickAt(group + QPoint(groupRow.width() / 2, groupRow.height() / 2));
    Click(ApplyButton);

    const QString expected = QStringLiteral("%1").arg(newCode, 2, 16, QLatin1Char('0')).toUpper();
    constexpr int K2OfProfile1 = 0x008 + 2;  // device button 3 of profile 1
    ASSERT_TRUE(Eventually([&] { return !LastWriteOf(K2OfProfile1, before).isEmpty(); }))
        << "no write of the button codes after Apply";
    EXPECT_EQ(LastWriteOf(K2OfProfile1, before), expected);
    EXPECT_TRUE(Eventually([&] {
        return Ini(QStringLiteral("Config1"), QStringLiteral("K2")) ==
               QString::number(FirstMediaKey);
    })) << Ini(QStringLiteral("Config1"), QStringLiteral("K2")).toStdString();
    EXPECT_EQ(Ini(QStringLiteral("Config1"), QStringLiteral("K0")), QStringLiteral("1"))
        << "left click stays where it was";
}

}  // namespace
