// The left-click warning box and the slot click that shows it before the button popup. Modal
// boxes are answered from a timer inside their own loop; a watchdog ends any box left open
// with 0, so no test can hang on one.
#include "ui/popups/popup_test_support.h"

#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/main_dialog.h"

namespace {

using popup_test::Click;
using popup_test::Hover;

// The test layout: the two buttons side by side below the message.
const QPoint OnFirst(50, 75);
const QPoint OnSecond(150, 75);
const QPoint OnMessage(100, 30);
const QPoint Row3(10, 2 * 30 + 5);  // of the button popup

WarningDlg* OpenBox() {
    return dynamic_cast<WarningDlg*>(QApplication::activeModalWidget());
}

// Runs drive on the modal box as soon as its loop runs.
void WhenTheBoxOpens(std::function<void(WarningDlg&)> drive) {
    QTimer::singleShot(0, [drive] {
        if (WarningDlg* box = OpenBox()) {
            drive(*box);
        }
    });
}

class Warning : public popup_test::PopupSkin {
protected:
    void SetUp() override {
        PopupSkin::SetUp();
        savedRects_ = ui::g_warnRects;
        ui::g_warnRects = {{{10, 60, 80, 30}, {110, 60, 80, 30}, {10, 10, 180, 40}}};
        ui::g_strWarn = {QStringLiteral("Go on"), QStringLiteral("Cancel"),
                         QStringLiteral("No left click is left")};
        QImage mask = Plain(200, 100, qRgb(0, 0, 0));
        mask.setPixel(5, 5, qRgb(100, 255, 255));
        mask.setPixel(6, 5, qRgb(101, 101, 101));
        Write(ui::WarningMaskImage, mask);
        Write(ui::WarningNormalImage, Plain(200, 100, popup_test::NormalColour));
        Write(ui::WarningOverImage, Plain(200, 100, popup_test::OverColour));
        g_popupX = 300;
        g_popupY = 260;
        QObject::connect(&watchdog_, &QTimer::timeout, [] {
            if (WarningDlg* box = OpenBox()) {
                box->done(0);
            }
        });
        watchdog_.start(5000);
    }
    void TearDown() override {
        watchdog_.stop();
        ui::g_warnRects = savedRects_;
        PopupSkin::TearDown();
    }

    QTimer watchdog_;
    decltype(ui::g_warnRects) savedRects_{};
};

TEST_F(Warning, ShapeKeepsPixelsWithAComponentUpTo100AndSitsAtThePopupPoint) {
    WarningDlg box;
    EXPECT_TRUE(box.mask().contains(QPoint(5, 5))) << "(100, 255, 255) stays";
    EXPECT_FALSE(box.mask().contains(QPoint(6, 5))) << "(101, 101, 101) is cut";
    EXPECT_TRUE(box.mask().contains(QPoint(199, 99)));
    EXPECT_EQ(box.geometry(), QRect(300, 260, 200, 100));
}

TEST_F(Warning, OnlyItsTwoButtonsEndItWithTheirNumbers) {
    bool stillOpen = false;
    WhenTheBoxOpens([&](WarningDlg& box) {
        QTest::keyClick(&box, Qt::Key_Return);
        QTest::keyClick(&box, Qt::Key_Escape);
        box.close();
        Click(&box, OnMessage);
        Click(&box, QPoint(100, 95));  // below both buttons
        QTest::mouseClick(&box, Qt::RightButton, Qt::NoModifier, OnFirst);
        stillOpen = box.isVisible() && OpenBox() == &box;
        Click(&box, OnSecond);
    });
    EXPECT_EQ(WarningDlg().DoModal(), 2);
    EXPECT_TRUE(stillOpen) << "Enter, Esc, close, stray and right clicks leave it open";
    WhenTheBoxOpens([](WarningDlg& box) { Click(&box, OnFirst); });
    EXPECT_EQ(WarningDlg().DoModal(), 1);
}

TEST_F(Warning, HoverLightsTheButtonAndLeavingItRepaintsOnce) {
    WarningDlg box;
    box.show();
    popup_test::Settle();
    popup_test::PaintCounter counter(&box);
    Hover(&box, OnFirst);
    EXPECT_EQ(counter.paints, 1);
    const QImage lit = box.grab().toImage();
    EXPECT_EQ(lit.pixel(12, 62), popup_test::OverColour);
    EXPECT_EQ(lit.pixel(112, 62), popup_test::NormalColour);
    counter.paints = 0;
    Hover(&box, QPoint(100, 95));
    EXPECT_EQ(counter.paints, 1);
    EXPECT_EQ(box.grab().toImage().pixel(12, 62), popup_test::NormalColour);
}

TEST_F(Warning, WithoutMaskItCoversTheLayoutAndWithoutButtonsItIsNotShown) {
    Remove(ui::WarningMaskImage);
    WarningDlg box;
    EXPECT_EQ(box.geometry(), QRect(300, 260, 190, 90));
    WhenTheBoxOpens([](WarningDlg& open) { Click(&open, OnSecond); });
    EXPECT_EQ(box.DoModal(), 2);
    ui::g_warnRects = {};
    EXPECT_EQ(WarningDlg().DoModal(), 1);  // a shown box would be ended by the watchdog with 0
}

// ---- the slot click -------------------------------------------------------------------------

class SlotClick : public Warning {
protected:
    void SetUp() override {
        Warning::SetUp();
        dlg_ = std::make_unique<CKVE_ZelboDlg>();
        dlg_->setGeometry(40, 30, 800, 640);
    }
    void TearDown() override {
        Warning::TearDown();
        dlg_.reset();
    }
    std::unique_ptr<CKVE_ZelboDlg> dlg_;
};

TEST_F(SlotClick, SecondAnswerLeavesTheSlotFirstOpensThePopupWhereTheBoxWas) {
    KeyFunc[0] = {2, 3, 1, 4, 5, 6, 7};
    const auto before = KeyFunc;
    WhenTheBoxOpens([](WarningDlg& box) { Click(&box, OnSecond); });
    dlg_->OpenFunctionPopup(24);
    EXPECT_EQ(g_pMenuDlg, nullptr);
    EXPECT_EQ(KeyFunc, before);

    QPoint boxAt;
    WhenTheBoxOpens([&](WarningDlg& box) {
        boxAt = box.geometry().topLeft();
        Click(&box, OnFirst);
    });
    dlg_->OpenFunctionPopup(24);
    ASSERT_NE(g_pMenuDlg, nullptr);
    EXPECT_EQ(g_pMenuDlg->geometry(), QRect(boxAt, QSize(300, 300)));
    Click(g_pMenuDlg, Row3);  // slot 2's only left click goes to slot 3
    EXPECT_EQ(KeyFunc[0][2], 3);
    EXPECT_EQ(KeyFunc[0][3], 1);
}

TEST_F(SlotClick, LastSlotTakesItsOnlyLeftClickBack) {
    KeyFunc[0] = {2, 3, 4, 5, 6, 7, 1};
    const auto before = KeyFunc;
    WhenTheBoxOpens([](WarningDlg& box) { Click(&box, OnFirst); });
    dlg_->OpenFunctionPopup(28);
    ASSERT_NE(g_pMenuDlg, nullptr);
    Click(g_pMenuDlg, Row3);
    EXPECT_EQ(KeyFunc, before);
}

TEST_F(SlotClick, WithLeftClickElsewhereNoWarningAndOnlyTheSlotChanges) {
    g_curConfigIdx = 2;
    KeyFunc[2] = {1, 2, 3, 4, 5, 6, 7};
    dlg_->OpenFunctionPopup(25);  // a box would be ended by the watchdog, and no popup open
    ASSERT_NE(g_pMenuDlg, nullptr);
    Click(g_pMenuDlg, QPoint(10, 5 * 30 + 5));  // row 6
    EXPECT_EQ(KeyFunc[2], (std::array<std::int32_t, KeyFuncColumns>{1, 2, 3, 6, 5, 6, 7}));
}

TEST_F(SlotClick, APressOnTheSlotDraggedOntoARowChoosesItWhereTheButtonComesUp) {
    g_curConfigIdx = 2;
    KeyFunc[2] = {1, 2, 3, 4, 5, 6, 7};
    dlg_->show();
    popup_test::Settle();
    // The press stays with the main window (it opened the popup under the held button).
    QTest::mousePress(dlg_.get(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    dlg_->OpenFunctionPopup(25);
    QPointer<CMenuDlg> menu = g_pMenuDlg;
    ASSERT_NE(menu, nullptr);
    popup_test::Settle();
    const QPoint row6 = dlg_->mapFromGlobal(menu->mapToGlobal(QPoint(10, 5 * 30 + 5)));
    QTest::mouseMove(dlg_.get(), row6);
    popup_test::Settle();
    QTest::mouseRelease(dlg_.get(), Qt::LeftButton, Qt::NoModifier, row6);
    popup_test::Settle();
    EXPECT_EQ(KeyFunc[2][3], 6);
    EXPECT_TRUE(menu.isNull() || menu->IsWindowDestroyed());
    EXPECT_EQ(g_mousePressed, 0);
}

TEST_F(SlotClick, AGroupChoiceEndsBothPopupsThroughTheWindowsImmediatePaint) {
    KeyFunc[0] = {1, 2, 3, 4, 5, 6, 7};
    dlg_->setWindowTitle(QString::fromUtf8(MainWindowTitle));  // found by it
    dlg_->show();
    dlg_->OpenFunctionPopup(23);
    CMenuDlg* menu = g_pMenuDlg;
    ASSERT_NE(menu, nullptr);
    Hover(menu, QPoint(10, 6 * 30 + 5));  // row 7
    CSubMenuDlg* group = g_pSubMenuDlg;
    ASSERT_NE(group, nullptr);
    Click(group, QPoint(10, 5));
    EXPECT_EQ(KeyFunc[0][1], 12);
    EXPECT_TRUE(menu->IsWindowDestroyed()) << "by the window's paint after the choice";
    EXPECT_TRUE(group->IsWindowDestroyed());
    EXPECT_EQ(g_popupChoiceMade, 0) << "cleared by that paint";
}

}  // namespace
