#include "app/main_dialog.h"
#include "app/main_dialog_fixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <thread>
#include <utility>
#include <vector>

#include "common/log_file.h"
#include "common/paths.h"
#include "device/discovery.h"
#include "platform/clock.h"
#include "platform/hid.h"
#include "platform/message_service.h"
#include "platform/module_path.h"
#include "platform/simulated_mouse.h"
#include "profile/profile_settings.h"
#include "support/fake_hid_backend.h"
#include "support/program_run.h"
#include "support/qt_app.h"
#include "ui/controls/kve_menu.h"
#include "ui/controls/program_menus.h"
#include "ui/popups/function_popups.h"
#include "ui/popups/warning_dlg.h"
#include "ui/shell/dialogs.h"
#include "ui/shell/tray_icon.h"
#include "ui/shell/window_message.h"
#include "ui/shell/window_state.h"

namespace {

using testing_support::MainDialogTest;
using testing_support::ProcessEventsFor;
using testing_support::ProcessEventsUntil;
using testing_support::ProgramFolder;
using testing_support::StartupInProcess;

constexpr unsigned WM_CLOSE = 0x0010;
constexpr unsigned WM_COMMAND = 0x0111;

// ---- handing work to the window's thread ----------------------------------------------------

TEST_F(MainDialogTest, WorkFromOtherThreadsRunsOnTheWindowsThreadInOrder) {
    CKVE_ZelboDlg dlg;
    const UiExecutor toUi = dlg.UiThread();
    std::vector<int> ran;
    bool allOnUiThread = true;
    QThread* const uiThread = QThread::currentThread();
    std::thread worker([&] {
        for (int i = 0; i < 50; ++i) {
            toUi([&, i] {
                ran.push_back(i);
                allOnUiThread = allOnUiThread && QThread::currentThread() == uiThread;
            });
        }
    });
    worker.join();
    EXPECT_TRUE(ran.empty()) << "queued, not run on the worker";
    ASSERT_TRUE(ProcessEventsUntil([&] { return ran.size() == 50; }));
    EXPECT_TRUE(allOnUiThread);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(ran[i], i);
    }
}

TEST_F(MainDialogTest, WorkQueuedAfterTheWindowWentIsDropped) {
    int ran = 0;
    UiExecutor toUi;
    {
        CKVE_ZelboDlg dlg;
        toUi = dlg.UiThread();
        toUi([&] { ++ran; });  // pending when the window goes
    }
    toUi([&] { ++ran; });
    std::thread([&] { toUi([&] { ++ran; }); }).join();
    ProcessEventsFor(30);
    EXPECT_EQ(ran, 0);
}

// ---- notification-area icon, closing, exit ------------------------------------------------

TEST_F(MainDialogTest, ClosingHidesToTheIconTwiceOverAndADoubleClickShowsIt) {
    CKVE_ZelboDlg dlg;
    dlg.show();
    ui::SendWindowMessage(&dlg, WM_CLOSE);
    ui::SendWindowMessage(&dlg, WM_CLOSE);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(dlg.HasTrayIcon());
    EXPECT_FALSE(dlg.IsEnding()) << "closing never ends the program";

    // Another icon's callback changes nothing.
    EXPECT_EQ(ui::SendWindowMessage(&dlg, ui::WM_NOTIFYICON, 154, ui::WM_LBUTTONDBLCLK), 1);
    EXPECT_FALSE(dlg.isVisible());

    EXPECT_EQ(ui::SendWindowMessage(&dlg, ui::WM_NOTIFYICON, ui::TrayIconId, ui::WM_LBUTTONDBLCLK),
              0);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_FALSE(dlg.isMinimized());
    EXPECT_TRUE(dlg.HasTrayIcon());
}

TEST_F(MainDialogTest, ExitCommandOfEitherLanguageRemovesTheIconAndEnds) {
    for (unsigned exitId : {32800u, 32828u}) {
        CKVE_ZelboDlg dlg;
        dlg.show();
        dlg.AddTrayIcon();
        ui::SendWindowMessage(&dlg, WM_COMMAND, exitId);
        EXPECT_FALSE(dlg.HasTrayIcon()) << exitId;
        EXPECT_TRUE(dlg.IsEnding()) << exitId;
        EXPECT_FALSE(dlg.isVisible()) << exitId;
    }
}

TEST_F(MainDialogTest, ShowCommandOfEitherLanguageBringsBackAHiddenWindow) {
    for (unsigned showId : {32801u, 32827u}) {
        CKVE_ZelboDlg dlg;
        dlg.show();
        ui::SendWindowMessage(&dlg, WM_CLOSE);
        ASSERT_FALSE(dlg.isVisible());
        ui::SendWindowMessage(&dlg, WM_COMMAND, showId);
        EXPECT_TRUE(dlg.isVisible()) << showId;
        EXPECT_FALSE(dlg.IsEnding());
    }
}

TEST_F(MainDialogTest, ASecondCopysRequestFindsTheWindowOnlyByItsTitle) {
    CKVE_ZelboDlg dlg;
    dlg.RestoreWindow();
    EXPECT_FALSE(dlg.isVisible()) << "no title yet: not found";
    dlg.setWindowTitle(QString::fromUtf8(MainWindowTitle));
    dlg.RestoreWindow();
    EXPECT_TRUE(dlg.isVisible());
}

// ---- start-up on a program folder -----------------------------------------------------------

TEST_F(StartupInProcess, WithoutAMouseTheMessageEndsTheDialogBeforeAnyIcon) {
    platform::SimulatedMouse mouse(BuiltInMouseAttributes());
    mouse.Unplug();
    platform::SetHidBackend(&mouse);
    CKVE_ZelboDlg dlg;
    EXPECT_TRUE(dlg.OnInitDialog());
    EXPECT_TRUE(dlg.IsEnding());
    EXPECT_FALSE(dlg.HasTrayIcon());
    EXPECT_EQ(messages_.Messages(),
              QStringList{QStringLiteral("Please plug-in【ZP-3907 Gaming mouse】USB Mouse")})
        << "the shipped config.ini is English";
    EXPECT_EQ(Log().last(), QStringLiteral("In OnInitMenu"));
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8(MainWindowTitle));
    EXPECT_EQ(dlg.DoModal(), 0) << "ended during the initialisation: no loop";
}

TEST_F(StartupInProcess, AMouseThisUserMayNotOpenAsksForTheAccessRuleInBothLanguages) {
    testing_support::FakeHidBackend backend;
    for (const auto& [page, path] :
         {std::pair{0xFF00, "/dev/hidraw7#1"}, std::pair{0xFF01, "/dev/hidraw7#2"}}) {
        auto fake = testing_support::MakeInterface(
            QString::fromLatin1(path), static_cast<std::uint16_t>(BuiltInDevIds[0].vendorId),
            static_cast<std::uint16_t>(BuiltInDevIds[0].productId),
            static_cast<std::uint16_t>(page), 1);
        fake.opens = false;
        fake.accessDenied = true;
        backend.interfaces.push_back(fake);
    }
    platform::SetHidBackend(&backend);
    {
        CKVE_ZelboDlg dlg;  // the shipped config.ini: English
        EXPECT_TRUE(dlg.OnInitDialog());
        EXPECT_TRUE(dlg.IsEnding());
        EXPECT_FALSE(dlg.HasTrayIcon());
    }
    const QString rule = platform::ExecutableDir() + QStringLiteral("/70-zelbo-mouse.rules");
    EXPECT_TRUE(Log().contains(QStringLiteral("Permission denied: /dev/hidraw7; install the udev "
                                              "rule ") +
                               rule +
                               QStringLiteral(" in /etc/udev/rules.d, then replug the mouse")))
        << Log().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(Log().filter(QStringLiteral("Permission denied:")).size(), 1)
        << "one line for the node of both collections";

    QString config =
        QString::fromUtf8(testing_support::ProgramFolder::ReadFile(folder_.ConfigIni()));
    config.replace(QStringLiteral("LANG_SEL=1"), QStringLiteral("LANG_SEL=0"));
    ASSERT_TRUE(testing_support::ProgramFolder::WriteFile(folder_.ConfigIni(), config.toUtf8()));
    {
        CKVE_ZelboDlg dlg;
        EXPECT_TRUE(dlg.OnInitDialog());
    }
    EXPECT_EQ(
        messages_.Messages(),
        (QStringList{QStringLiteral("The【ZP-3907 Gaming mouse】USB Mouse is plugged in, but this "
                                    "user may not open it (/dev/hidraw7). Please install the udev "
                                    "rule 70-zelbo-mouse.rules (see the README), then unplug and "
                                    "replug the mouse."),
                     QStringLiteral("【ZP-3907 Gaming mouse】USB鼠标已插入，但当前用户无权打开它"
                                    "（/dev/hidraw7）。请安装 udev 规则 70-zelbo-mouse.rules（见 "
                                    "README），然后拔下并重新插入鼠标。")}));
}

TEST_F(StartupInProcess, RemovalReportedOnTheBackendsThreadEndsTheRunOnTheWindowsThread) {
    platform::SimulatedMouse mouse(BuiltInMouseAttributes());
    platform::SetHidBackend(&mouse);
    CKVE_ZelboDlg dlg;
    EXPECT_TRUE(dlg.OnInitDialog());
    ASSERT_FALSE(dlg.IsEnding());
    EXPECT_TRUE(dlg.HasTrayIcon());
    EXPECT_EQ(Log().last(), QStringLiteral("Finish Init!"));
    EXPECT_TRUE(messages_.Messages().isEmpty());

    std::thread([&] { mouse.Unplug(); }).join();
    EXPECT_TRUE(dlg.HasTrayIcon()) << "handled on the window's thread, not the backend's";
    ASSERT_TRUE(ProcessEventsUntil([&] { return dlg.IsEnding(); }));
    EXPECT_FALSE(dlg.HasTrayIcon());
    EXPECT_EQ(g_deviceConnected.load(), 0);
}

TEST_F(StartupInProcess, RemovalOfAnotherDeviceIsIgnored) {
    platform::SimulatedMouse mouse(BuiltInMouseAttributes());
    platform::SetHidBackend(&mouse);
    CKVE_ZelboDlg dlg;
    dlg.OnInitDialog();
    ASSERT_FALSE(dlg.IsEnding());
    DeviceBroadcastHeader other;
    other.name = QStringLiteral("/dev/hidraw-other");
    ui::SendWindowMessage(&dlg, ui::WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
                          reinterpret_cast<std::intptr_t>(&other));
    EXPECT_FALSE(dlg.IsEnding());
    EXPECT_TRUE(dlg.HasTrayIcon());
}

// The running program loses its mouse while a modal box is open. After ten seconds a watchdog
// ends a box still open, or the run when no box came, so no test can hang.
class RemovalWithABoxOpen : public StartupInProcess {
protected:
    void SetUp() override {
        StartupInProcess::SetUp();
        platform::SetHidBackend(&mouse_);
        dlg_ = std::make_unique<CKVE_ZelboDlg>();
        QObject::connect(&watchdog_, &QTimer::timeout, [this] {
            timedOut_ = true;
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                box->done(0);
            } else {
                dlg_->EndDialog(0);
            }
        });
        watchdog_.start(10000);
    }
    void TearDown() override {
        watchdog_.stop();
        dlg_.reset();
        StartupInProcess::TearDown();
    }

    // Runs the program's loop with open() inside it; once a box of type Box is up, the mouse
    // goes away. Returns the loop's result.
    template <typename Box>
    int RunAndUnplugOnceOpen(std::function<void()> open) {
        QTimer unplug;
        QObject::connect(&unplug, &QTimer::timeout, [&] {
            if (dynamic_cast<Box*>(QApplication::activeModalWidget()) != nullptr) {
                unplug.stop();
                std::thread([this] { mouse_.Unplug(); }).join();
            }
        });
        unplug.start(5);
        QTimer::singleShot(0, dlg_.get(), std::move(open));
        return dlg_->DoModal();
    }

    platform::SimulatedMouse mouse_{BuiltInMouseAttributes()};
    std::unique_ptr<CKVE_ZelboDlg> dlg_;
    QTimer watchdog_;
    bool timedOut_ = false;
};

TEST_F(RemovalWithABoxOpen, TheLeftClickWarningClosesAndNoPopupFollowsIt) {
    const int result = RunAndUnplugOnceOpen<WarningDlg>([this] {
        KeyFunc[static_cast<std::size_t>(g_curConfigIdx.load())] = {1, 2, 3, 4, 5, 6, 7};
        dlg_->OpenFunctionPopup(22);  // the only left click: the warning first
    });
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(timedOut_) << "the box waited for an answer";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(g_pMenuDlg, nullptr);
    EXPECT_FALSE(dlg_->HasTrayIcon());
}

TEST_F(RemovalWithABoxOpen, AFileDialogIsCancelledAndNoBoxOpensAfterIt) {
    ui::QtDialogService realDialogs(dlg_.get());
    platform::DialogService* const scripted = platform::SetDialogService(&realDialogs);
    const int result = RunAndUnplugOnceOpen<QFileDialog>([this] { dlg_->OnImportConfigIni(); });
    platform::SetDialogService(scripted);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(timedOut_) << "the dialog waited for an answer";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // What the interrupted work would ask next answers at once.
    program_.dialogs.QueueFileName(folder_.ConfigIni());
    EXPECT_EQ(platform::ShowFileDialog({}), std::nullopt);
    platform::ShowMessage(QStringLiteral("after the end"));
    EXPECT_TRUE(messages_.Messages().isEmpty());
}

// The items of the notification-area menu's pop-up, by text and command id.
QStringList TrayMenuItems() {
    QStringList items;
    if (QMenu* popup = g_menuTray.GetSubMenu(0)) {
        for (const QAction* action : popup->actions()) {
            items.append(action->text() + QLatin1Char('=') +
                         QString::number(GetMenuItemID(action)));
        }
    }
    return items;
}

TEST_F(StartupInProcess, CopiesThatKilledSavesLeftGoAtStartUpAndNothingElse) {
    // config.ini is a link: its copies stood beside the file it leads to.
    const QString target = folder_.Path(QStringLiteral("mine/config.ini"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(target).absolutePath()));
    ASSERT_TRUE(QFile::rename(folder_.ConfigIni(), target));
    ASSERT_TRUE(QFile::link(target, folder_.ConfigIni()));
    const QStringList leftovers{QStringLiteral("skins/INI_CFG/config.ini.zelbo-tmp-tJEP4m"),
                                QStringLiteral("mine/config.ini.zelbo-tmp-Ab12Cd"),
                                QStringLiteral("Macro_EN.dat.zelbo-tmp-QWERTY"),
                                QStringLiteral("Macro_CN.dat.zelbo-tmp-abc9yz")};
    // The user's own copies: the names a user gives a backup.
    const QStringList others{QStringLiteral("skins/INI_CFG/config.ini.backup"),
                             QStringLiteral("skins/INI_CFG/config.ini.before"),
                             QStringLiteral("skins/INI_CFG/config.ini.BACKUP"),
                             QStringLiteral("skins/INI_CFG/config.ini.mynote"),
                             QStringLiteral("mine/config.ini.backup"),
                             QStringLiteral("Macro_EN.dat.backup"),
                             QStringLiteral("Macro_EN.dat.before"),
                             QStringLiteral("Macro_CN.dat.golden"),
                             QStringLiteral("skins/INI_CFG/config.ini.tJEPDm"),
                             QStringLiteral("skins/INI_CFG/config.ini.zelbo-tmp-tJEP"),
                             QStringLiteral("Macro_EN.dat.zelbo-tmp-QWERTYU"),
                             QStringLiteral("Macro_EN.dat.zelbo-tmp-QW-RTY"),
                             QStringLiteral("skins/INI_CFG/Config.ini.zelbo-tmp-tJEPDm"),
                             QStringLiteral("skins/INI_CFG/other.ini.zelbo-tmp-abcdef")};
    for (const QString& name : leftovers + others) {
        ASSERT_TRUE(ProgramFolder::WriteFile(folder_.Path(name), "[Macros]\r\n"));
    }
    // A link or a folder of such a name is nothing a save made.
    ASSERT_TRUE(QDir().mkdir(folder_.Path(QStringLiteral("Macro_EN.dat.zelbo-tmp-Folder"))));
    ASSERT_TRUE(QFile::link(folder_.Path(QStringLiteral("Macro_EN.dat")),
                            folder_.Path(QStringLiteral("Macro_CN.dat.zelbo-tmp-LinkTo"))));
    platform::SimulatedMouse mouse(BuiltInMouseAttributes());
    mouse.Unplug();
    platform::SetHidBackend(&mouse);
    {
        CKVE_ZelboDlg dlg;
        dlg.OnInitDialog();
    }
    for (const QString& name : leftovers) {
        EXPECT_FALSE(QFileInfo::exists(folder_.Path(name))) << name.toStdString();
    }
    for (const QString& name :
         others + QStringList{QStringLiteral("Macro_EN.dat.zelbo-tmp-Folder"),
                              QStringLiteral("Macro_CN.dat.zelbo-tmp-LinkTo")}) {
        EXPECT_TRUE(QFileInfo(folder_.Path(name)).exists()) << name.toStdString();
    }
    EXPECT_TRUE(QFileInfo::exists(folder_.ConfigIni()));
}

TEST_F(StartupInProcess, TheStartUpLanguageChoosesTheMenusAndTheUserMacroFile) {
    platform::SimulatedMouse mouse(BuiltInMouseAttributes());
    platform::SetHidBackend(&mouse);
    {
        CKVE_ZelboDlg dlg;  // the shipped config.ini: English
        dlg.OnInitDialog();
        EXPECT_EQ(TrayMenuItems(), (QStringList{QStringLiteral("Show Window=32827"),
                                                QStringLiteral("Exit Driver=32828")}));
        EXPECT_EQ(g_strMacroFile, folder_.Path(QStringLiteral("Macro_EN.dat")));
    }
    QString config =
        QString::fromUtf8(testing_support::ProgramFolder::ReadFile(folder_.ConfigIni()));
    config.replace(QStringLiteral("LANG_SEL=1"), QStringLiteral("LANG_SEL=0"));
    ASSERT_TRUE(testing_support::ProgramFolder::WriteFile(folder_.ConfigIni(), config.toUtf8()));
    {
        CKVE_ZelboDlg dlg;
        dlg.OnInitDialog();
        EXPECT_EQ(TrayMenuItems(), (QStringList{QStringLiteral("显示界面   =32801"),
                                                QStringLiteral("退出驱动=32800")}));
        EXPECT_EQ(g_strMacroFile, folder_.Path(QStringLiteral("Macro_CN.dat")));
    }
    EXPECT_EQ(g_menuTray.menu(), nullptr) << "the window takes its menus with it";
}

}  // namespace
