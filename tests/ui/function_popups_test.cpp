// The button popup and the group popup driven with the pointer as a user drives them: which
// rows open which group where, what a choice writes into the profile's button table, the rule
// that keeps a left click, and how both popups end.
#include "popup_test_support.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/main_dialog.h"
#include "macro/macro_record.h"
#include "profile/profile_settings.h"

namespace {

using popup_test::Click;
using popup_test::DownColour;
using popup_test::Hover;
using popup_test::NormalColour;
using popup_test::OverColour;
using popup_test::PaintCounter;
using popup_test::Settle;

constexpr int RowHeight = 30;  // the test skin's rows in both popups
constexpr int RowWidth = 120;

// The middle of row r of a popup.
QPoint Row(int r) {
    return QPoint(RowWidth / 2, (r - 1) * RowHeight + RowHeight / 2);
}

class FunctionPopups : public popup_test::PopupSkin {
protected:
    void SetUp() override {
        PopupSkin::SetUp();
        owner_ = std::make_unique<QWidget>();
        savedKeys_ = KeyFunc;
        savedMacros_ = g_macros;
        savedMacroCount_ = g_macroCount;
        g_curConfigIdx = 0;
        KeyFunc[0] = {1, 2, 3, 4, 5, 17, 16};
    }
    void TearDown() override {
        PopupSkin::TearDown();
        KeyFunc = savedKeys_;
        g_macros = savedMacros_;
        g_macroCount = savedMacroCount_;
    }

    // The button popup of main rectangle slotRect, opened with its top left corner at (x, y),
    // as the main page opens it.
    CMenuDlg* Open(int slotRect, int x, int y) {
        g_clickedSlot = slotRect;
        auto* menu = new CMenuDlg(owner_.get());
        g_pMenuDlg = menu;
        g_menuDlgOpen = 1;
        menu->setGeometry(x, y, ui::MenuDlgWindowWidth, ui::MenuDlgWindowHeight);
        menu->show();
        Settle();
        return menu;
    }

    std::unique_ptr<QWidget> owner_;
    decltype(KeyFunc) savedKeys_{};
    decltype(g_macros) savedMacros_{};
    std::int16_t savedMacroCount_ = 0;
};

TEST_F(FunctionPopups, SizesComeFromTheMaskAndHitTestCoversTwelveRows) {
    CMenuDlg* menu = Open(22, 100, 100);
    EXPECT_EQ(menu->RowWidth(), 120);
    EXPECT_EQ(menu->RowHeight(), 30);  // 330 / 11
    EXPECT_EQ(menu->ShapeHeight(), 301);
    EXPECT_EQ(menu->mask().boundingRect(), QRect(0, 0, 120, 301));
    EXPECT_EQ(menu->windowTitle(), QStringLiteral("MainMenuDlg"));
    EXPECT_EQ(menu->HitTest(QPoint(0, 0)), 1);
    EXPECT_EQ(menu->HitTest(QPoint(119, 299)), 10);
    EXPECT_EQ(menu->HitTest(QPoint(0, 300)), 11) << "the shape's last pixel line";
    EXPECT_EQ(menu->HitTest(QPoint(5, 359)), 12);
    EXPECT_EQ(menu->HitTest(QPoint(5, 360)), ui::NoHover);
    EXPECT_EQ(menu->HitTest(QPoint(120, 10)), ui::NoHover);
}

TEST_F(FunctionPopups, HoveredRowShowsTheOverBandAndThePressedRowTheDownBand) {
    CMenuDlg* menu = Open(22, 100, 100);
    Hover(menu, Row(3));
    ASSERT_EQ(g_menuSel, 3);
    QImage shown = menu->ComposeRows();
    EXPECT_EQ(shown.pixel(2, 2 * RowHeight + 1), OverColour);
    EXPECT_EQ(shown.pixel(2, 1 * RowHeight + 1), NormalColour);
    EXPECT_EQ(shown.pixel(2, 3 * RowHeight + 1), NormalColour);
    // The hovered row's text is red, the others white.
    auto count = [&](int row, auto test) {
        int n = 0;
        for (int y = (row - 1) * RowHeight; y < row * RowHeight; ++y) {
            for (int x = 0; x < RowWidth; ++x) {
                n += test(QColor(shown.pixel(x, y))) ? 1 : 0;
            }
        }
        return n;
    };
    auto red = [](QColor c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; };
    auto white = [](QColor c) { return c.red() > 200 && c.green() > 200 && c.blue() > 200; };
    EXPECT_GT(count(3, red), 0);
    EXPECT_EQ(count(3, white), 0);
    EXPECT_GT(count(2, white), 0);
    EXPECT_EQ(count(2, red), 0);

    QTest::mousePress(menu, Qt::LeftButton, Qt::NoModifier, Row(3));
    shown = menu->ComposeRows();
    EXPECT_EQ(shown.pixel(2, 2 * RowHeight + 1), DownColour);
    QTest::mouseRelease(menu, Qt::LeftButton, Qt::NoModifier, Row(3));
}

// ---- the choice rule ------------------------------------------------------------------------

TEST_F(FunctionPopups, ChoiceOnTheOnlyLeftClickHandsLeftClickToTheNextSlot) {
    KeyFunc[0] = {2, 4, 1, 5, 6, 7, 8};
    CMenuDlg* menu = Open(24, 100, 100);  // slot 2
    Click(menu, Row(3));
    EXPECT_EQ(KeyFunc[0][2], 3);
    EXPECT_EQ(KeyFunc[0][3], 1);
    EXPECT_EQ(KeyFunc[0][4], 6);
    EXPECT_TRUE(menu->isHidden()) << "a release always closes the button popup";
}

TEST_F(FunctionPopups, ChoiceOnTheLastSlotsOnlyLeftClickIsTakenBack) {
    KeyFunc[0] = {2, 3, 4, 5, 6, 7, 1};
    Click(Open(28, 100, 100), Row(3));
    EXPECT_EQ(KeyFunc[0], (std::array<std::int32_t, KeyFuncColumns>{2, 3, 4, 5, 6, 7, 1}));
}

TEST_F(FunctionPopups, WithLeftClickElsewhereOnlyTheClickedSlotChanges) {
    g_curConfigIdx = 2;
    KeyFunc[2] = {1, 2, 3, 4, 5, 6, 7};
    Click(Open(25, 100, 100), Row(6));
    EXPECT_EQ(KeyFunc[2], (std::array<std::int32_t, KeyFuncColumns>{1, 2, 3, 6, 5, 6, 7}));
    EXPECT_EQ(KeyFunc[0][3], 4) << "other profiles keep theirs";
}

TEST_F(FunctionPopups, PressAndReleaseOnAGroupRowAssignsNothingAndCloses) {
    const auto before = KeyFunc;
    CMenuDlg* menu = Open(23, 100, 100);
    Click(menu, Row(8));
    EXPECT_EQ(KeyFunc, before);
    EXPECT_TRUE(menu->isHidden());
    EXPECT_TRUE(menu->IsWindowDestroyed());
    FreeDestroyed();
    EXPECT_EQ(g_pMenuDlg, nullptr);
    EXPECT_EQ(g_pSubMenuDlg, nullptr) << "its group popup went with it";
}

// ---- group popups ---------------------------------------------------------------------------

TEST_F(FunctionPopups, GroupRowSevenOpensTwelveRowsEndingLevelWithIt) {
    CMenuDlg* menu = Open(22, 200, 500);
    Hover(menu, Row(7));
    ASSERT_NE(g_pSubMenuDlg, nullptr);
    EXPECT_TRUE(g_subMenuOpen);
    EXPECT_TRUE(g_pSubMenuDlg->isVisible());
    EXPECT_EQ(g_pSubMenuDlg->geometry(), QRect(320, 350, 300, 400));
    EXPECT_EQ(g_subMenuRows, 12);
    EXPECT_EQ(g_pSubMenuDlg->ShapeHeight(), 361);
    EXPECT_EQ(g_pSubMenuDlg->parentWidget(), menu) << "owned by the button popup";
}

TEST_F(FunctionPopups, MovingFromRowSevenToRowEightReplacesTheGroup) {
    CMenuDlg* menu = Open(22, 200, 500);
    Hover(menu, Row(7));
    const QPointer<CSubMenuDlg> first = g_pSubMenuDlg;
    ASSERT_NE(first, nullptr);
    Hover(menu, Row(8));
    EXPECT_TRUE(first.isNull() || first->IsWindowDestroyed());
    ASSERT_NE(g_pSubMenuDlg, nullptr);
    EXPECT_NE(g_pSubMenuDlg, first);
    EXPECT_EQ(g_subMenuRows, 11);
    EXPECT_EQ(g_pSubMenuDlg->geometry().topLeft(), QPoint(320, 500 - 3 * RowHeight));
    // A direct row closes it without opening another.
    Hover(menu, Row(2));
    FreeDestroyed();
    EXPECT_EQ(g_pSubMenuDlg, nullptr);
}

TEST_F(FunctionPopups, MacroGroupSitsBelowForThreeMacrosAndTheSecondAssignsFiftyOne) {
    g_macroCount = 3;
    SetMacroName(g_macros[0], QStringLiteral("One"));
    SetMacroName(g_macros[1], QStringLiteral("Two"));
    SetMacroName(g_macros[2], QStringLiteral("Three"));
    CMenuDlg* menu = Open(26, 200, 500);
    Hover(menu, Row(10));
    CSubMenuDlg* group = g_pSubMenuDlg;
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->geometry(), QRect(320, 500 + 7 * RowHeight, 300, 400));
    EXPECT_EQ(g_subMenuRows, 3);
    EXPECT_EQ(group->mask().boundingRect(), QRect(0, 0, 120, 91));
    EXPECT_EQ(group->HitTest(Row(4)), ui::NoHover);

    Click(group, Row(2));
    EXPECT_EQ(KeyFunc[0][4], 51);
    EXPECT_EQ(g_subMenuLastCode, 51);
}

TEST_F(FunctionPopups, GroupChoiceHidesTheButtonPopupAndTheNextPaintDestroysIt) {
    CMenuDlg* menu = Open(27, 200, 500);
    Hover(menu, Row(8));
    CSubMenuDlg* group = g_pSubMenuDlg;
    ASSERT_NE(group, nullptr);
    Click(group, Row(1));
    EXPECT_EQ(KeyFunc[0][5], 25);  // the first media key
    EXPECT_EQ(g_popupChoiceMade, 1);
    EXPECT_TRUE(menu->isHidden()) << "cancelled by its close request";
    EXPECT_FALSE(menu->IsWindowDestroyed());
    EXPECT_TRUE(group->IsWindowDestroyed()) << "gone after the pause";

    // What the main window's paint does after a choice.
    ASSERT_EQ(g_pMenuDlg, menu);
    g_popupChoiceMade = 0;
    ui::CloseFunctionPopup();
    EXPECT_TRUE(menu->IsWindowDestroyed());
    FreeDestroyed();
    EXPECT_EQ(g_pMenuDlg, nullptr);
    EXPECT_EQ(g_pSubMenuDlg, nullptr);
}

TEST_F(FunctionPopups, ReleaseBelowTheLastGroupRowAssignsNothingButCloses) {
    const auto before = KeyFunc;
    CMenuDlg* menu = Open(22, 200, 500);
    Hover(menu, Row(9));
    CSubMenuDlg* group = g_pSubMenuDlg;
    ASSERT_NE(group, nullptr);
    Click(group, QPoint(10, 8 * RowHeight));  // the shape's last pixel line
    EXPECT_EQ(KeyFunc, before);
    EXPECT_TRUE(menu->isHidden());
    EXPECT_EQ(g_popupChoiceMade, 1);
}

TEST_F(FunctionPopups, WithoutMacrosTheMacroGroupShowsNothing) {
    g_macroCount = 0;
    CMenuDlg* menu = Open(22, 200, 500);
    Hover(menu, Row(10));
    ASSERT_NE(g_pSubMenuDlg, nullptr);
    EXPECT_FALSE(g_pSubMenuDlg->isVisible());
    EXPECT_EQ(g_pSubMenuDlg->HitTest(QPoint(5, 0)), ui::NoHover);
}

TEST_F(FunctionPopups, LastHoveredRowsOutliveAPopup) {
    Hover(Open(22, 200, 500), Row(7));
    ASSERT_NE(g_pSubMenuDlg, nullptr);
    Hover(g_pSubMenuDlg, Row(4));
    ui::CloseFunctionPopup();
    FreeDestroyed();

    // The same row in the next popup repaints nothing, so no group opens until another row.
    CMenuDlg* next = Open(22, 200, 500);
    Hover(next, Row(7));
    EXPECT_EQ(g_pSubMenuDlg, nullptr);
    Hover(next, Row(8));
    ASSERT_NE(g_pSubMenuDlg, nullptr);
    CSubMenuDlg* group = g_pSubMenuDlg;
    Settle();
    PaintCounter counter(group);
    Hover(group, Row(4));
    EXPECT_EQ(group->HoveredRow(), 4);
    EXPECT_EQ(counter.paints, 0) << "the group row of the last repaint is not lit";
    Hover(group, Row(5));
    EXPECT_EQ(counter.paints, 1);
}

TEST_F(FunctionPopups, UnreadableImagesStillGiveRowsThatCanBeChosen) {
    Remove(ui::MenuMaskImage);
    Remove(ui::MenuImages.normal);
    Remove(ui::MenuImages.over);
    KeyFunc[0] = {1, 2, 3, 4, 5, 6, 7};
    CMenuDlg* menu = Open(23, 100, 100);
    ASSERT_GT(menu->RowHeight(), 0);
    ASSERT_GT(menu->RowWidth(), 0);
    Hover(menu, QPoint(5, menu->RowHeight() * 4 + 2));
    EXPECT_EQ(g_menuSel, 5);
    EXPECT_FALSE(menu->ComposeRows().isNull());
    QTest::mousePress(menu, Qt::LeftButton, Qt::NoModifier, QPoint(5, menu->RowHeight() * 4 + 2));
    QTest::mouseRelease(menu, Qt::LeftButton, Qt::NoModifier, QPoint(5, menu->RowHeight() * 4 + 2));
    EXPECT_EQ(KeyFunc[0][1], 5);
}

}  // namespace
