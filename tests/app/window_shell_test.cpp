// The window's shell: exit and hiding, the notification-area menu at the pointer, the system
// menu with the About box, and switching the language while the program runs.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "app/main_dialog.h"
#include "app/main_dialog_fixture.h"
#include "common/paths.h"
#include "platform/ini.h"
#include "profile/profile_settings.h"
#include "support/qt_app.h"
#include "ui/controls/editable_list_box.h"
#include "ui/controls/list_box.h"
#include "ui/controls/macro_controls.h"
#include "ui/shell/about_dlg.h"
#include "ui/shell/tray_icon.h"
#include "ui/shell/window_message.h"
#include "ui/shell/window_state.h"
#include "ui/skin/page_layouts.h"
#include "ui/skin/skin_image_cache.h"

namespace {

using testing_support::MainDialogTest;
using testing_support::ProgramFolder;
using testing_support::StartupInProcess;

constexpr unsigned WM_CLOSE = 0x0010;
constexpr unsigned WM_COMMAND = 0x0111;

// Runs inspect on the popup menu that opens next (from inside its own event loop), then
// dismisses it or, when inspect returns an action, chooses that action with the Enter key.
void OnNextPopup(std::function<QAction*(QMenu&)> inspect) {
    QTimer::singleShot(0, [inspect] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            ADD_FAILURE() << "no popup menu opened";
            return;
        }
        QAction* chosen = inspect(*menu);
        if (chosen == nullptr) {
            menu->close();
            return;
        }
        menu->setActiveAction(chosen);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(menu, &enter);
    });
}

QStringList Texts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions()) {
        texts.append(action->text());
    }
    return texts;
}

// Reports the window's icon state at the moment the window goes away.
class HideWatcher final : public QObject {
public:
    explicit HideWatcher(CKVE_ZelboDlg& dlg) : dlg_(dlg) { dlg.installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide) {
            iconAtHide.push_back(dlg_.HasTrayIcon());
        }
        return false;
    }
    std::vector<bool> iconAtHide;

private:
    CKVE_ZelboDlg& dlg_;
};

TEST_F(MainDialogTest, ExitRemovesTheIconBeforeTheWindowGoes) {
    CKVE_ZelboDlg dlg;
    dlg.show();
    dlg.AddTrayIcon();
    HideWatcher watcher(dlg);
    ui::SendWindowMessage(&dlg, WM_COMMAND, 32828);
    EXPECT_EQ(watcher.iconAtHide, std::vector<bool>{false});
    EXPECT_TRUE(dlg.IsEnding());
}

TEST_F(MainDialogTest, WithoutANotificationAreaClosingLeavesAMinimisedWindow) {
    ui::SetNotificationAreaAvailable(false);
    CKVE_ZelboDlg dlg;
    dlg.show();
    ui::SendWindowMessage(&dlg, WM_CLOSE);
    ui::SendWindowMessage(&dlg, WM_CLOSE);
    EXPECT_TRUE(dlg.isVisible()) << "a hidden window could not be brought back";
    EXPECT_TRUE(dlg.isMinimized());
    EXPECT_FALSE(dlg.IsEnding());
    // The show command and the icon's double click still restore it.
    ui::SendWindowMessage(&dlg, WM_COMMAND, 32827);
    EXPECT_FALSE(dlg.isMinimized());
}

TEST_F(MainDialogTest, TheTitleAreasRightClickOffersTheSystemMenuWithTheAboutBox) {
    CKVE_ZelboDlg dlg;
    dlg.resize(400, 300);
    dlg.show();
    g_page = PageMain;
    g_hoverMain = ui::NoHover;  // the pointer over no skin rectangle: the window's caption

    QString caption;
    QStringList aboutTexts;
    bool iconShown = false;
    QStringList menuTexts;
    OnNextPopup([&](QMenu& menu) -> QAction* {
        menuTexts = Texts(menu);
        // The About box is modal: look at it from inside its loop, then press OK.
        QTimer::singleShot(0, [&] {
            auto* about = dynamic_cast<CAboutDlg*>(QApplication::activeModalWidget());
            if (about == nullptr) {
                ADD_FAILURE() << "no About box";
                return;
            }
            caption = about->windowTitle();
            for (const QLabel* label : about->findChildren<QLabel*>()) {
                if (!label->text().isEmpty()) {
                    aboutTexts.append(label->text());
                }
            }
            iconShown = !about->iconLabel()->pixmap().isNull();
            about->okButton()->click();
        });
        return menu.actions().last();
    });
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5),
                                 dlg.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&dlg, &rightClick);

    EXPECT_EQ(menuTexts.last(), QStringLiteral("&About KVE_Zelbo..."));
    EXPECT_EQ(caption, QStringLiteral("About KVE_Zelbo"));
    ASSERT_EQ(aboutTexts.size(), 2);
    EXPECT_EQ(aboutTexts[0], QStringLiteral("KVE_Zelbo Version 1.0"));
    EXPECT_TRUE(iconShown);
    EXPECT_TRUE(dlg.isVisible()) << "the About box changes nothing else";

    // Over a skin rectangle the right click is no caption click: no menu.
    g_hoverMain = 3;
    QApplication::sendEvent(&dlg, &rightClick);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    g_hoverMain = 0;
}

// ---- on a started program -------------------------------------------------------------------

class LanguageSwitch : public StartupInProcess {
protected:
    void SetUp() override {
        StartupInProcess::SetUp();
        platform::SetHidBackend(&mouse_);
        g_page = PageMain;
    }
    void TearDown() override {
        g_page = PageMain;
        StartupInProcess::TearDown();
    }

    // The tray menu as a right click on the icon shows it: its texts and where it opened.
    QStringList RightClickTrayMenu(CKVE_ZelboDlg& dlg, QPoint at, QPoint* openedAt = nullptr) {
        QCursor::setPos(at);
        QStringList texts;
        OnNextPopup([&](QMenu& menu) -> QAction* {
            texts = Texts(menu);
            if (openedAt != nullptr) {
                *openedAt = menu.pos();
            }
            return nullptr;
        });
        EXPECT_EQ(ui::SendWindowMessage(&dlg, ui::WM_NOTIFYICON, ui::TrayIconId, ui::WM_RBUTTONUP),
                  0);
        return texts;
    }

    platform::SimulatedMouse& mouse_ = program_.mouse;
};

TEST_F(LanguageSwitch, TheTrayMenuOpensAtThePointerInTheLanguageShown) {
    CKVE_ZelboDlg dlg;
    dlg.OnInitDialog();  // the shipped config.ini: English
    QPoint openedAt;
    EXPECT_EQ(RightClickTrayMenu(dlg, QPoint(120, 90), &openedAt),
              (QStringList{QStringLiteral("Show Window"), QStringLiteral("Exit Driver")}));
    EXPECT_EQ(openedAt, QPoint(120, 90));

    dlg.OnLangChinese();
    EXPECT_EQ(RightClickTrayMenu(dlg, QPoint(60, 40)),
              (QStringList{QStringLiteral("显示界面   "), QStringLiteral("退出驱动")}));
    // Its commands are the Chinese ones and still reach the window.
    dlg.hide();
    OnNextPopup([](QMenu& menu) { return menu.actions().first(); });
    ui::SendWindowMessage(&dlg, ui::WM_NOTIFYICON, ui::TrayIconId, ui::WM_RBUTTONUP);
    EXPECT_TRUE(dlg.isVisible());
}

TEST_F(LanguageSwitch, TheLanguageInUseIsStillWrittenAndEverythingReloaded) {
    CKVE_ZelboDlg dlg;
    dlg.OnInitDialog();
    ASSERT_EQ(g_langSel, 1);
    ASSERT_FALSE(dlg.IsEnding());
    const std::uint64_t writesBefore = mouse_.Trace().size();
    ui::WindowSkinImages().Get(g_strSkinDir, "main_normal.jpg");

    // Change every file the switch reads, and the stored language, behind the program's back.
    const QString en = g_strSkinDir + QStringLiteral("/INI_EN/");
    const auto setRect = [](const QString& file, const char* value) {
        ASSERT_TRUE(platform::WritePrivateProfileString(
            QStringLiteral("BUTTONPOS"), QStringLiteral("0"), QString::fromLatin1(value), file));
    };
    setRect(en + QStringLiteral("skin_main_en.ini"), "a,1,2,3,4,Main0,");
    setRect(en + QStringLiteral("skin_color_en.ini"), "a,5,6,7,8,Color0,");
    setRect(en + QStringLiteral("skin_advance_en.ini"), "a,9,10,11,12,Adv0,");
    setRect(en + QStringLiteral("LBWarning_en.ini"), "a,13,14,15,16,Warn0,");
    ASSERT_TRUE(platform::WritePrivateProfileString(
        QStringLiteral("Macros"), QStringLiteral("macroNum"), QStringLiteral("1"), g_strMacroFile));
    ASSERT_TRUE(platform::WritePrivateProfileString(
        QStringLiteral("Init"), QStringLiteral("LANG_SEL"), QStringLiteral("5"), g_strConfigIni));

    dlg.OnLangEnglish();

    EXPECT_EQ(platform::GetPrivateProfileString(QStringLiteral("Init"), QStringLiteral("LANG_SEL"),
                                                QString(), 16, g_strConfigIni),
              QStringLiteral("1"));
    const ui::PageLayouts& layouts = dlg.layouts();
    EXPECT_EQ(layouts.m_posMain[0].x, 1);
    EXPECT_EQ(layouts.m_strMain[0], QStringLiteral("Main0"));
    EXPECT_EQ(layouts.m_posColor[0].y, 6);
    EXPECT_EQ(layouts.m_strAdv[0], QStringLiteral("Adv0"));
    EXPECT_EQ(ui::g_warnRects[0].h, 16);
    EXPECT_EQ(g_macroCount, 1);
    EXPECT_EQ(Log().count(QStringLiteral("In OnInitMenu")), 2) << "both menus built again";
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8(MainWindowTitle));
    EXPECT_EQ(ui::WindowSkinImages().Size(), 0) << "the images are read afresh";
    EXPECT_EQ(mouse_.Trace().size(), writesBefore) << "a switch never writes to the mouse";
}

TEST_F(LanguageSwitch, OnTheAdvancedPageTheMacroListHoldsTheOtherLanguagesMacros) {
    CKVE_ZelboDlg dlg;
    dlg.OnInitDialog();
    MacroControls& controls = *dlg.macroControls();
    controls.CreateMacroControls(
        &dlg,
        {QRect(10, 10, 40, 20), QRect(60, 10, 40, 20), QRect(110, 10, 40, 20),
         QRect(160, 10, 80, 20), QRect(10, 40, 100, 150), QRect(120, 40, 150, 150)},
        QStringLiteral("35"));
    g_page = PageAdvanced;
    controls.RefillMacroList();
    const auto lines = [&] {
        QStringList names;
        for (int i = 0; i < controls.macroList()->GetCount(); ++i) {
            names.append(controls.macroList()->GetText(i));
        }
        return names;
    };
    ASSERT_EQ(lines(), (QStringList{QStringLiteral("RapidFire"), QStringLiteral("Hello"),
                                    QStringLiteral("Recoil")}));

    dlg.OnLangChinese();
    EXPECT_EQ(lines(), (QStringList{QStringLiteral("连发"), QStringLiteral("你好"),
                                    QStringLiteral("压枪")}));
    EXPECT_EQ(g_strMacroFile, folder_.Path(QStringLiteral("Macro_CN.dat")));
    // The captions follow too: the Chinese button's label as its file holds it.
    const QString chineseButton = platform::GetPrivateProfileString(
        QStringLiteral("BUTTONPOS"), QStringLiteral("17"), QString(), 260,
        g_strSkinDir + QStringLiteral("/INI_CN/skin_main.ini"));
    EXPECT_EQ(dlg.layouts().m_strMain[17], chineseButton.section(QLatin1Char(','), 5, 5));
}

}  // namespace
