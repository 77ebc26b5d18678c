// The popup tests' skin folder, in plain colours (saved losslessly, so a mask pixel keeps its
// exact value), with rows 120 x 30 in both popups and function names "F1".."F47"; the popup
// state of a fresh program on virtual time; and pointer movements through the window system.
#pragma once

#include <gtest/gtest.h>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "common/paths.h"
#include "macro/macro_record.h"
#include "platform/clock.h"
#include "profile/profile_settings.h"
#include "support/qt_app.h"
#include "ui/popups/function_popups.h"
#include "ui/popups/slot_popup.h"
#include "ui/popups/warning_dlg.h"
#include "ui/shell/window_state.h"
#include "ui/skin/page_layouts.h"
#include "ui/skin/skin_image_cache.h"
#include "ui/skin/skin_images.h"

namespace popup_test {

inline const QRgb NormalColour = qRgb(0, 0, 96);
inline const QRgb OverColour = qRgb(0, 160, 0);
inline const QRgb DownColour = qRgb(160, 0, 160);

// Lets the windows handle what is pending; the window system may hold a repaint back a little.
inline void Settle() {
    testing_support::ProcessEventsFor(15);
}

// Moves the pointer to a point of the window as a real movement arrives, by way of a far
// window (the window system drops a movement to where the pointer already is), and settles.
inline void Hover(QWidget* window, QPoint at) {
    static QWidget* const park = [] {
        auto* w = new QWidget(nullptr, Qt::ToolTip);
        w->setGeometry(0, 0, 8, 8);
        w->show();
        return w;
    }();
    QTest::mouseMove(park->windowHandle(), QPoint(4, 4));
    QTest::mouseMove(window->windowHandle(), at);
    Settle();
}

inline void Click(QWidget* window, QPoint at) {
    Hover(window, at);
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, at);
    Settle();
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, at);
}

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
        savedSkinDir_ = g_strSkinDir;
        g_strSkinDir = dir_.path();
        ui::DropSkinImageCache();
        savedClock_ = platform::SetClock(&clock_);
        savedKeys_ = KeyFunc;
        savedMacros_ = g_macros;
        savedMacroCount_ = g_macroCount;
        for (const auto& [set, rows] :
             {std::pair{ui::MenuImages, ui::MenuMaskRows}, {ui::SubMenuImages, 12}}) {
            Write(set.normal, Plain(120, 30 * rows, NormalColour));
            Write(set.over, Plain(120, 30 * rows, OverColour));
            Write(set.down, Plain(120, 30 * rows, DownColour));
        }
        Write(ui::MenuMaskImage, Plain(120, 330, qRgb(0, 0, 0)));
        Write(ui::SubMenuMaskImage, Plain(120, 360, qRgb(0, 0, 0)));
        for (int code = 1; code < ui::FunNameCount; ++code) {
            ui::g_strFunNames[code] = QStringLiteral("F%1").arg(code);
        }
        g_curConfigIdx = 0;
        g_menuPrevSel = 0;
        g_subMenuPrevSel = ui::NoHover;
        g_popupChoiceMade = 0;
        g_warnHover = g_warnPrevHover = 0;
    }
    void TearDown() override {
        ui::CloseFunctionPopup();
        FreeDestroyed();
        platform::SetClock(savedClock_);
        g_strSkinDir = savedSkinDir_;
        ui::DropSkinImageCache();
        KeyFunc = savedKeys_;
        g_macros = savedMacros_;
        g_macroCount = savedMacroCount_;
    }

    // Frees the popups whose windows were destroyed (they go once the event loop runs).
    static void FreeDestroyed() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static QImage Plain(int w, int h, QRgb colour) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }
    void Write(const char* name, const QImage& image) const {
        ASSERT_TRUE(image.save(ui::SkinImagePath(dir_.path(), name), "PNG"));
    }
    void Remove(const char* name) const {
        QFile::remove(ui::SkinImagePath(dir_.path(), name));
        ui::DropSkinImageCache();
    }

    QTemporaryDir dir_;
    QString savedSkinDir_;
    platform::VirtualClock clock_;
    platform::Clock* savedClock_ = nullptr;
    decltype(KeyFunc) savedKeys_{};
    decltype(g_macros) savedMacros_{};
    std::int16_t savedMacroCount_ = 0;
};

}  // namespace popup_test
