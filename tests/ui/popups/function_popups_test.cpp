// The button popup and the group popup driven with the pointer: which rows open which group
// where, what a choice writes into the profile's button table, and how both popups end.
#include "ui/popups/popup_test_support.h"

#include <QPointer>
#include <memory>

namespace {

using popup_test::Click;
using popup_test::Hover;

constexpr int RowHeight = 30;  // the test skin's rows in both popups

// The middle of row r of a popup.
QPoint Row(int r) {
    return QPoint(60, (r - 1) * RowHeight + RowHeight / 2);
}

class FunctionPopups : public popup_test::PopupSkin {
protected:
    void SetUp() override {
        PopupSkin::SetUp();
        owner_ = std::make_unique<QWidget>();
        KeyFunc[0] = {1, 2, 3, 4, 5, 17, 16};
    }

    // The button popup of main rectangle slotRect with its top left corner at (x, y).
    CMenuDlg* Open(int slotRect, int x, int y) {
        g_clickedSlot = slotRect;
        g_pMenuDlg = new CMenuDlg(owner_.get());
        g_menuDlgOpen = 1;
        g_pMenuDlg->setGeometry(x, y, 300, 300);
        g_pMenuDlg->show();
        popup_test::Settle();
        return g_pMenuDlg;
    }

    std::unique_ptr<QWidget> owner_;
};

TEST_F(FunctionPopups, RowsComeFromTheMaskAndTwelveAreHitTested) {
    CMenuDlg* menu = Open(22, 100, 100);
    EXPECT_EQ(menu->mask().boundingRect(), QRect(0, 0, 120, 301));  // ten rows of 330 / 11
    EXPECT_EQ(menu->windowTitle(), QStringLiteral("MainMenuDlg"));
    EXPECT_EQ(menu->HitTest(QPoint(119, 299)), 10);
    EXPECT_EQ(menu->HitTest(QPoint(0, 300)), 11) << "the shape's last pixel line";
    EXPECT_EQ(menu->HitTest(QPoint(5, 359)), 12);
    EXPECT_EQ(menu->HitTest(QPoint(5, 360)), ui::NoHover);
    EXPECT_EQ(menu->HitTest(QPoint(120, 10)), ui::NoHover);
}

TEST_F(FunctionPopups, HoveredRowShowsTheOverBandAndRedTextPressedTheDownBand) {
    CMenuDlg* menu = Open(22, 100, 100);
    Hover(menu, Row(3));
    const QImage shown = menu->ComposeRows();
    EXPECT_EQ(shown.pixel(2, 2 * RowHeight + 1), popup_test::OverColour);
    EXPECT_EQ(shown.pixel(2, 1 * RowHeight + 1), popup_test::NormalColour);
    // Row 3's text is red, row 2's white.
    auto has = [&](int row, QRgb colour) {
        for (int y = (row - 1) * RowHeight; y < row * RowHeight; ++y) {
            for (int x = 0; x < 120; ++x) {
                const QColor c(shown.pixel(x, y));
                if (c.red() > 200 && (qGreen(colour) > 200 ? c.green() > 200 : c.green() < 60)) {
                    return true;
                }
            }
        }
        return false;
    };
    EXPECT_TRUE(has(3, qRgb(255, 0, 0)) && !has(3, qRgb(255, 255, 255)));
    EXPECT_TRUE(has(2, qRgb(255, 255, 255)) && !has(2, qRgb(255, 0, 0)));

    QTest::mousePress(menu, Qt::LeftButton, Qt::NoModifier, Row(3));
    EXPECT_EQ(menu->ComposeRows().pixel(2, 2 * RowHeight + 1), popup_test::DownColour);
    QTest::mouseRelease(menu, Qt::LeftButton, Qt::NoModifier, Row(3));
}

TEST_F(FunctionPopups, PressAndReleaseOnAGroupRowAssignsNothingAndCloses) {
    const auto before = KeyFunc;
    CMenuDlg* menu = Open(23, 100, 100);
    Click(menu, Row(8));
    EXPECT_EQ(KeyFunc, before);
    EXPECT_TRUE(menu->isHidden());
    FreeDestroyed();
    EXPECT_EQ(g_pMenuDlg, nullptr);
    EXPECT_EQ(g_pSubMenuDlg, nullptr) << "its group popup went with it";
}

TEST_F(FunctionPopups, RowSevenOpensTwelveRowsEndingLevelWithItThenRowEightElevenRows) {
    CMenuDlg* menu = Open(22, 200, 500);
    Hover(menu, Row(7));
    const QPointer<CSubMenuDlg> first = g_pSubMenuDlg;
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->geometry(), QRect(320, 350, 300, 400));
    EXPECT_EQ(first->mask().boundingRect(), QRect(0, 0, 120, 361));
    EXPECT_EQ(first->parentWidget(), menu) << "owned by the button popup";

    Hover(menu, Row(8));
    EXPECT_TRUE(first.isNull() || first->IsWindowDestroyed());
    ASSERT_NE(g_pSubMenuDlg, nullptr);
    EXPECT_EQ(g_subMenuRows, 11);
    EXPECT_EQ(g_pSubMenuDlg->geometry().topLeft(), QPoint(320, 500 - 3 * RowHeight));
    Hover(menu, Row(2));
    FreeDestroyed();
    EXPECT_EQ(g_pSubMenuDlg, nullptr) << "a direct row opens no group";
}

TEST_F(FunctionPopups, MacroGroupShowsNothingWithoutMacrosAndWithThreeItsSecondAssigns51) {
    g_macroCount = 0;
    CMenuDlg* menu = Open(26, 200, 500);
    Hover(menu, Row(10));
    ASSERT_NE(g_pSubMenuDlg, nullptr);
    EXPECT_FALSE(g_pSubMenuDlg->isVisible());
    EXPECT_EQ(g_pSubMenuDlg->HitTest(QPoint(5, 0)), ui::NoHover);

    g_macroCount = 3;
    Hover(menu, Row(9));
    Hover(menu, Row(10));
    CSubMenuDlg* group = g_pSubMenuDlg;
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->geometry(), QRect(320, 500 + 7 * RowHeight, 300, 400));
    EXPECT_EQ(group->mask().boundingRect(), QRect(0, 0, 120, 91));
    Click(group, Row(2));
    EXPECT_EQ(KeyFunc[0][4], 51);
    EXPECT_EQ(g_subMenuLastCode, 51);
}

TEST_F(FunctionPopups, GroupChoiceHidesTheButtonPopupAndThePaintAfterItDestroysIt) {
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

    ui::CloseFunctionPopup();  // what the main window's paint does after a choice
    FreeDestroyed();
    EXPECT_EQ(g_pMenuDlg, nullptr);
}

TEST_F(FunctionPopups, LastHoveredRowsOutliveAPopup) {
    Hover(Open(22, 200, 500), Row(7));
    ASSERT_NE(g_pSubMenuDlg, nullptr);
    Hover(g_pSubMenuDlg, Row(4));
    ui::CloseFunctionPopup();
    FreeDestroyed();

    // The same rows in the next popups repaint nothing: no group opens, no group row lights.
    CMenuDlg* next = Open(22, 200, 500);
    Hover(next, Row(7));
    EXPECT_EQ(g_pSubMenuDlg, nullptr);
    Hover(next, Row(8));
    CSubMenuDlg* group = g_pSubMenuDlg;
    ASSERT_NE(group, nullptr);
    popup_test::Settle();
    popup_test::PaintCounter counter(group);
    Hover(group, Row(4));
    EXPECT_EQ(counter.paints, 0);
    Hover(group, Row(5));
    EXPECT_EQ(counter.paints, 1);
}

TEST_F(FunctionPopups, OnlyTheLeftButtonChoosesAndADragFromAGroupRowChoosesInTheGroup) {
    const auto before = KeyFunc;
    CMenuDlg* menu = Open(22, 200, 500);
    Hover(menu, Row(2));
    QTest::mouseClick(menu, Qt::RightButton, Qt::NoModifier, Row(2));
    EXPECT_EQ(KeyFunc, before);
    EXPECT_TRUE(menu->isVisible());

    // The press keeps the pointer's events with the button popup while the button is held.
    auto dragTo = [menu](QPoint at) {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(menu->mapToGlobal(at)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(menu, &move);
        popup_test::Settle();
    };
    Hover(menu, Row(7));
    QTest::mousePress(menu, Qt::LeftButton, Qt::NoModifier, Row(7));
    popup_test::Settle();
    CSubMenuDlg* group = g_pSubMenuDlg;
    ASSERT_NE(group, nullptr);
    dragTo(QPoint(400, 60));  // outside both popups
    EXPECT_EQ(g_menuSel, 7);
    EXPECT_EQ(g_pSubMenuDlg, group);
    const QPoint groupRowTwo = menu->mapFromGlobal(group->mapToGlobal(Row(2)));
    dragTo(groupRowTwo);
    QTest::mouseRelease(menu, Qt::LeftButton, Qt::NoModifier, groupRowTwo);
    EXPECT_EQ(KeyFunc[0][0], 13);
    EXPECT_TRUE(menu->isHidden());
}

TEST_F(FunctionPopups, UnreadableImagesStillGiveRowsThatCanBeChosen) {
    Remove(ui::MenuMaskImage);
    Remove(ui::MenuImages.normal);
    Remove(ui::MenuImages.over);
    CMenuDlg* menu = Open(23, 100, 100);
    ASSERT_GT(menu->RowHeight(), 0);
    ASSERT_GT(menu->RowWidth(), 0);
    const QPoint rowFive(5, menu->RowHeight() * 4 + 2);
    Hover(menu, rowFive);
    EXPECT_FALSE(menu->ComposeRows().isNull());
    QTest::mousePress(menu, Qt::LeftButton, Qt::NoModifier, rowFive);
    QTest::mouseRelease(menu, Qt::LeftButton, Qt::NoModifier, rowFive);
    EXPECT_EQ(KeyFunc[0][1], 5);
}

}  // namespace
