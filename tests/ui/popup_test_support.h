// A skin folder for the popup tests, and moving the pointer over a popup: the popup and warning
// images in plain colours (written losslessly, so a mask pixel keeps its exact value), function
// names "F1".."F47", and the popup state of a fresh program, on virtual time.
#pragma once

#include <gtest/gtest.h>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include "app/core/paths.h"
#include "platform/clock.h"
#include "support/qt_app.h"
#include "ui/function_popups.h"
#include "ui/page_layouts.h"
#include "ui/skin_image_cache.h"
#include "ui/skin_images.h"
#include "ui/slot_popup.h"
#include "ui/warning_dlg.h"
#include "ui/window_state.h"

namespace popup_test {

// Colours of the test skin's images.
inline const QRgb NormalColour = qRgb(0, 0, 96);
inline const QRgb OverColour = qRgb(0, 160, 0);
inline const QRgb DownColour = qRgb(160, 0, 160);

// Lets the windows handle what is pending, repaints included (the window system may hold a
// repaint back for a few milliseconds).
inline void Settle() {
    testing_support::ProcessEventsFor(15);
}

// A window far from the popups where the pointer rests between two movements: the window
// system drops a movement to the point the pointer is already at.
inline QWidget& Park() {
    static QWidget* const park = [] {
        auto* w = new QWidget(nullptr, Qt::ToolTip);
        w->setGeometry(0, 0, 8, 8);
        w->show();
        return w;
    }();
    return *park;
}

// Moves the pointer to a point of the window, through the window system as a real movement
// arrives, and lets the window repaint.
inline void Hover(QWidget* window, QPoint at) {
    QTest::mouseMove(Park().windowHandle(), QPoint(4, 4));
    QTest::mouseMove(window->windowHandle(), at);
    Settle();
}

// Moves there, presses and releases the left button.
inline void Click(QWidget* window, QPoint at) {
    Hover(window, at);
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, at);
    Settle();
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, at);
}

// Counts the paints a widget gets.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

class PopupSkin : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::TestApplication();
        ASSERT_TRUE(dir_.isValid());
        previousSkinDir_ = g_strSkinDir;
        g_strSkinDir = dir_.path();
        ui::DropSkinImageCache();
        previousClock_ = platform::SetClock(&clock_);
        // Rows 120 x 30 in both popups.
        Write(ui::MenuMaskImage, 120, 330, qRgb(0, 0, 0));
        WriteSet(ui::MenuImages, 120, 330);
        Write(ui::SubMenuMaskImage, 120, 360, qRgb(0, 0, 0));
        WriteSet(ui::SubMenuImages, 120, 360);
        for (int code = 1; code < ui::FunNameCount; ++code) {
            ui::g_strFunNames[code] = QStringLiteral("F%1").arg(code);
        }
        g_menuSel = ui::NoHover;
        g_menuPrevSel = 0;
        g_menuPressed = false;
        g_subMenuPrevSel = ui::NoHover;
        g_popupChoiceMade = 0;
        g_warnHover = 0;
        g_warnPrevHover = 0;
    }
    void TearDown() override {
        ui::CloseFunctionPopup();
        FreeDestroyed();
        platform::SetClock(previousClock_);
        g_strSkinDir = previousSkinDir_;
        ui::DropSkinImageCache();
    }

    // Frees the popups whose windows were destroyed (they go once the event loop runs).
    static void FreeDestroyed() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void Write(const char* name, int w, int h, QRgb colour) const {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(colour);
        Save(image, name);
    }
    void Save(const QImage& image, const char* name) const {
        ASSERT_TRUE(image.save(ui::SkinImagePath(dir_.path(), name), "PNG"));
    }
    void WriteSet(const ui::PageImageSet& set, int w, int h) const {
        Write(set.normal, w, h, NormalColour);
        Write(set.over, w, h, OverColour);
        Write(set.down, w, h, DownColour);
    }
    void Remove(const char* name) const {
        QFile::remove(ui::SkinImagePath(dir_.path(), name));
        ui::DropSkinImageCache();
    }

    QTemporaryDir dir_;
    QString previousSkinDir_;
    platform::VirtualClock clock_;
    platform::Clock* previousClock_ = nullptr;
};

}  // namespace popup_test
