// The left-click warning box, and the slot click that shows it before the button popup: its
// shape, its hover look, its two answers, what it refuses to end on, and what each answer
// leaves in the profile's button table. Modal boxes are answered from a timer inside their own
// loop; a watchdog ends any box left open, so no test can hang on one.
#include "popup_test_support.h"

#include <QKeyEvent>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/main_dialog.h"
#include "profile/profile_settings.h"

namespace {

using popup_test::Click;
using popup_test::Hover;
using popup_test::NormalColour;
using popup_test::OverColour;
using popup_test::PaintCounter;

// The test layout: the two buttons side by side below the message.
const QPoint OnFirst(50, 75);
const QPoint OnSecond(150, 75);
const QPoint OnMessage(100, 30);

WarningDlg* OpenBox() {
    return dynamic_cast<WarningDlg*>(QApplication::activeModalWidget());
}

class Warning : public popup_test::PopupSkin {
protected:
    void SetUp() override {
        PopupSkin::SetUp();
        savedRects_ = ui::g_warnRects;
        savedTexts_ = ui::g_strWarn;
        savedKeys_ = KeyFunc;
        ui::g_warnRects = {{{10, 60, 80, 30}, {110, 60, 80, 30}, {10, 10, 180, 40}}};
        ui::g_strWarn = {QStringLiteral("Go on"), QStringLiteral("Cancel"),
                         QStringLiteral("No left click is left")};
        QImage mask(200, 100, QImage::Format_RGB32);
        mask.fill(qRgb(0, 0, 0));
        mask.setPixel(5, 5, qRgb(100, 255, 255));
        mask.setPixel(6, 5, qRgb(101, 101, 101));
        for (int x = 190; x < 200; ++x) {
            mask.setPixel(x, 0, qRgb(255, 255, 255));  // a cut corner
        }
        Save(mask, ui::WarningMaskImage);
        Write(ui::WarningNormalImage, 200, 100, NormalColour);
        Write(ui::WarningOverImage, 200, 100, OverColour);
        g_popupX = 300;
        g_popupY = 260;
        g_curConfigIdx = 0;
        // Any box still open ends, answering nothing.
        QObject::connect(&watchdog_, &QTimer::timeout, [] {
            if (WarningDlg* box = OpenBox()) {
                box->done(0);
            }
        });
        watchdog_.start(5000);
    }
    void TearDown() override {
        watchdog_.stop();
        PopupSkin::TearDown();
        ui::g_warnRects = savedRects_;
        ui::g_strWarn = savedTexts_;
        KeyFunc = savedKeys_;
    }

    // Runs drive on the modal box as soon as its loop runs.
    static void WhenTheBoxOpens(std::function<void(WarningDlg&)> drive) {
        QTimer::singleShot(0, [drive] {
            if (WarningDlg* box = OpenBox()) {
                drive(*box);
            }
        });
    }

    QTimer watchdog_;
    decltype(ui::g_warnRects) savedRects_{};
    decltype(ui::g_strWarn) savedTexts_{};
    decltype(KeyFunc) savedKeys_{};
};

TEST_F(Warning, ShapeKeepsPixelsWithAComponentUpTo100AndSitsAtThePopupPoint) {
    WarningDlg box;
    EXPECT_TRUE(box.Shape().contains(QPoint(5, 5))) << "(100, 255, 255) stays";
    EXPECT_FALSE(box.Shape().contains(QPoint(6, 5))) << "(101, 101, 101) is cut";
    EXPECT_FALSE(box.Shape().contains(QPoint(195, 0)));
    EXPECT_TRUE(box.Shape().contains(QPoint(199, 99)));
    EXPECT_EQ(box.mask(), box.Shape());
    EXPECT_EQ(box.geometry(), QRect(300, 260, 200, 100));
}

TEST_F(Warning, EachButtonAnswersWithItsNumber) {
    WhenTheBoxOpens([](WarningDlg& box) { Click(&box, OnFirst); });
    EXPECT_EQ(WarningDlg().DoModal(), 1);
    WhenTheBoxOpens([](WarningDlg& box) { Click(&box, OnSecond); });
    EXPECT_EQ(WarningDlg().DoModal(), 2);
}

TEST_F(Warning, EnterEscCloseAndAClickOnTheMessageLeaveItOpen) {
    bool openAfterAll = false;
    WhenTheBoxOpens([&](WarningDlg& box) {
        QTest::keyClick(&box, Qt::Key_Return);
        QTest::keyClick(&box, Qt::Key_Enter);
        QTest::keyClick(&box, Qt::Key_Escape);
        box.close();
        Click(&box, OnMessage);
        Click(&box, QPoint(100, 95));  // below both buttons
        openAfterAll = box.isVisible() && OpenBox() == &box;
        Click(&box, OnSecond);
    });
    EXPECT_EQ(WarningDlg().DoModal(), 2);
    EXPECT_TRUE(openAfterAll);
}

TEST_F(Warning, HoverLightsTheButtonAndLeavingItRepaintsOnce) {
    WarningDlg box;
    box.show();
    popup_test::Settle();
    PaintCounter counter(&box);
    Hover(&box, OnFirst);
    EXPECT_EQ(g_warnHover, 1);
    EXPECT_EQ(counter.paints, 1);
    const QImage lit = box.grab().toImage();
    EXPECT_EQ(lit.pixel(12, 62), OverColour);
    EXPECT_EQ(lit.pixel(112, 62), NormalColour);
    counter.paints = 0;
    Hover(&box, QPoint(100, 95));
    EXPECT_EQ(g_warnHover, ui::NoHover);
    EXPECT_EQ(counter.paints, 1);
    EXPECT_EQ(box.grab().toImage().pixel(12, 62), NormalColour);
}

TEST_F(Warning, WithoutMaskAndButtonsTheBoxIsNotShownAndTheChangeGoesOn) {
    Remove(ui::WarningMaskImage);
    ui::g_warnRects = {};
    EXPECT_EQ(WarningDlg().DoModal(), 1);  // the watchdog would end a shown box with 0
}

TEST_F(Warning, WithoutMaskTheBoxCoversTheLayout) {
    Remove(ui::WarningMaskImage);
    WarningDlg box;
    EXPECT_EQ(box.geometry(), QRect(300, 260, 190, 90));
    WhenTheBoxOpens([](WarningDlg& open) { Click(&open, OnSecond); });
    EXPECT_EQ(box.DoModal(), 2);
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

TEST_F(SlotClick, SecondAnswerOpensNoPopupAndLeavesTheSlot) {
    KeyFunc[0] = {2, 3, 1, 4, 5, 6, 7};
    const auto before = KeyFunc;
    WhenTheBoxOpens([](WarningDlg& box) { Click(&box, OnSecond); });
    dlg_->OpenFunctionPopup(24);
    EXPECT_EQ(g_pMenuDlg, nullptr);
    EXPECT_EQ(g_menuDlgOpen, 0);
    EXPECT_EQ(g_leftClickWarn, 0);
    EXPECT_EQ(KeyFunc, before);
}

TEST_F(SlotClick, FirstAnswerOpensThePopupWhereTheBoxWasAndLeftClickMovesOn) {
    KeyFunc[0] = {2, 3, 1, 4, 5, 6, 7};
    QPoint boxAt;
    WhenTheBoxOpens([&](WarningDlg& box) {
        boxAt = box.geometry().topLeft();
        Click(&box, OnFirst);
    });
    dlg_->OpenFunctionPopup(24);
    ASSERT_NE(g_pMenuDlg, nullptr);
    EXPECT_EQ(g_menuDlgOpen, 1);
    EXPECT_EQ(g_clickedSlot, 24);
    EXPECT_EQ(g_pMenuDlg->geometry(), QRect(boxAt, QSize(300, 300)));
    EXPECT_TRUE(g_pMenuDlg->isVisible());

    Click(g_pMenuDlg, QPoint(10, 2 * 30 + 5));  // row 3
    EXPECT_EQ(KeyFunc[0][2], 3);
    EXPECT_EQ(KeyFunc[0][3], 1);
}

TEST_F(SlotClick, LastSlotKeepsItsOnlyLeftClickWhateverIsChosen) {
    KeyFunc[0] = {2, 3, 4, 5, 6, 7, 1};
    WhenTheBoxOpens([](WarningDlg& box) { Click(&box, OnFirst); });
    dlg_->OpenFunctionPopup(28);
    ASSERT_NE(g_pMenuDlg, nullptr);
    Click(g_pMenuDlg, QPoint(10, 2 * 30 + 5));
    EXPECT_EQ(KeyFunc[0][6], 1);
    EXPECT_EQ(KeyFunc[0][5], 7);
}

TEST_F(SlotClick, NoWarningWhileAnotherSlotHoldsLeftClickAndANewClickReplacesThePopup) {
    KeyFunc[0] = {1, 2, 3, 4, 5, 6, 7};
    dlg_->OpenFunctionPopup(23);  // a box would be ended by the watchdog and fail below
    CMenuDlg* first = g_pMenuDlg;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(g_leftClickWarnOk, 1);

    dlg_->CloseFunctionPopup();  // the main page's next button-down
    EXPECT_TRUE(first->IsWindowDestroyed());
    EXPECT_EQ(g_menuDlgOpen, 0);
    dlg_->OpenFunctionPopup(25);
    EXPECT_NE(g_pMenuDlg, first);
    EXPECT_EQ(g_clickedSlot, 25);
    FreeDestroyed();
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
    EXPECT_TRUE(menu->IsWindowDestroyed()) << "the window's paint after the choice";
    EXPECT_TRUE(group->IsWindowDestroyed());
    EXPECT_EQ(g_popupChoiceMade, 0) << "cleared by that paint";
    FreeDestroyed();
    EXPECT_EQ(g_pMenuDlg, nullptr);
}

}  // namespace
