// The window on a real desktop: under a window manager (openbox), with a real notification
// area (trayer) or a StatusNotifierItem host on a private session bus, driven through the X
// server as a person drives it.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QImage>
#include <QStringList>
#include <algorithm>
#include <string>

#include "platform/ini.h"
#include "support/desktop_program.h"
#include "support/private_bus.h"
#include "support/qt_app.h"
#include "support/status_notifier_watcher.h"
#include "ui/skin/skin_rects.h"

namespace {

using testing_support::DesktopSession;
using testing_support::Eventually;
using testing_support::StartTimeoutMs;

using ui::FrameHide;
using ui::FrameMinimise;
using ui::TabAdvanced;
using ui::TabMain;

constexpr int SlotK2 = ui::MainSlotFirst + 2;
constexpr int MediaRow = 8;  // button-popup row of the media keys' group

// Each test runs at display scale 1 and 2: every place below is in the X server's pixels.
class DesktopWindow : public testing_support::DesktopProgramTest,
                      public testing::WithParamInterface<int> {
protected:
    void SetUp() override { scale_ = GetParam(); }
    // Drags the window by an empty spot of the page, the button held all the way.

    void DragBy(QPoint delta) {
        const QPoint from = EmptySpot();
        Xdotool({QStringLiteral("mousemove"),
                 QStringLiteral("--window"),
                 QString::number(window_),
                 QString::number(from.x()),
                 QString::number(from.y()),
                 QStringLiteral("sleep"),
                 QStringLiteral("0.1"),
                 QStringLiteral("mousedown"),
                 QStringLiteral("1"),
                 QStringLiteral("sleep"),
                 QStringLiteral("0.2"),
                 QStringLiteral("mousemove_relative"),
                 QStringLiteral("--"),  // a way up or left starts with a minus
                 QString::number(delta.x() / 2),
                 QString::number(delta.y() / 2),
                 QStringLiteral("sleep"),
                 QStringLiteral("0.2"),
                 QStringLiteral("mousemove_relative"),
                 QStringLiteral("--"),
                 QString::number(delta.x() - delta.x() / 2),
                 QString::number(delta.y() - delta.y() / 2),
                 QStringLiteral("sleep"),
                 QStringLiteral("0.2"),
                 QStringLiteral("mouseup"),
                 QStringLiteral("1")});
    }
    // The middle of the page, where a minimised window's paint draws the program's icon.
    QImage Middle() {
        const QImage shot = probe_->Capture(window_);
        return shot.copy(shot.width() / 2 - 24, shot.height() / 2 - 24, 48, 48);
    }
    // Opens the button popup of slot K2 with a click and checks that it opens at the slot's
    // lower left corner, on the window where the X server has it. The popup, 0 when none shows.
    std::uint64_t OpenButtonPopup(const std::string& when) {
        Click(SlotK2);
        std::uint64_t popup = 0;
        const bool shown = Eventually([&] {
            const auto found = probe_->WindowsTitled(QStringLiteral("MainMenuDlg"));
            popup = found.size() == 1 && probe_->IsShown(found.front()) ? found.front() : 0;
            return popup != 0;
        });
        EXPECT_TRUE(shown) << when << ": no button popup";
        const QRect slot = testing_support::MainSkinRect(folder_, SlotK2);
        const QPoint expected = WindowPlace() + Device(slot.bottomLeft() + QPoint(0, 1));
        const QPoint place = probe_->Position(popup);
        EXPECT_TRUE(Near(place, expected))
            << when << ": the button popup is at " << place.x() << "," << place.y()
            << ", not at the slot's lower left corner " << expected.x() << "," << expected.y();
        return popup;
    }
    // Moves the pointer off the window (over the desktop's empty corner).
    void PointerAway() {
        Xdotool({QStringLiteral("mousemove"), QStringLiteral("5"), QStringLiteral("1000"),
                 QStringLiteral("sleep"), QStringLiteral("0.1")});
    }
};

TEST_P(DesktopWindow, AQuickClickOnTheEmptyPageLeavesTheWindowWhereItIsAndAHeldDragMovesIt) {
    ASSERT_NO_FATAL_FAILURE(StartProgram(DesktopSession::Tray::None));
    const QPoint start = WindowPlace();
    const QPoint spot = EmptySpot();
    // Press and release with no gap, as a busy moment or a mouse's fast-click function sends
    // them; then the pointer wanders with no button held.
    Xdotool({QStringLiteral("mousemove"),
             QStringLiteral("--window"),
             QString::number(window_),
             QString::number(spot.x()),
             QString::number(spot.y()),
             QStringLiteral("sleep"),
             QStringLiteral("0.1"),
             QStringLiteral("mousedown"),
             QStringLiteral("1"),
             QStringLiteral("mouseup"),
             QStringLiteral("1"),
             QStringLiteral("sleep"),
             QStringLiteral("0.3"),
             QStringLiteral("mousemove_relative"),
             QStringLiteral("120"),
             QStringLiteral("90"),
             QStringLiteral("sleep"),
             QStringLiteral("0.2"),
             QStringLiteral("mousemove_relative"),
             QStringLiteral("60"),
             QStringLiteral("40")});
    EXPECT_FALSE(Eventually([&] { return WindowPlace() != start; }, 1000))
        << "the window follows the pointer with no button held";

    DragBy({100, 80});
    EXPECT_TRUE(Eventually([&] { return WindowPlace() == start + QPoint(100, 80); }))
        << "a held drag moves the window by the pointer's way: now at " << WindowPlace().x() << ","
        << WindowPlace().y() << ", from " << start.x() << "," << start.y();
    OpenButtonPopup("right after a drag");
}

TEST_P(DesktopWindow,
       AShowBringsAHiddenOrMinimisedWindowBackWhereItWasAndLeavesAShownOneWhereItIs) {
    ASSERT_NO_FATAL_FAILURE(StartProgram(DesktopSession::Tray::XEmbed));
    // Away from where the window manager first put it, by a drag as the user does it.
    QPoint placed = WindowPlace() + QPoint(90, 70);
    DragBy({90, 70});
    ASSERT_TRUE(Eventually([&] { return WindowPlace() == placed; }));
    PointerAway();
    const QImage middle = Middle();
    ASSERT_FALSE(middle.isNull());

    for (int round = 1; round <= 6; ++round) {
        // Hidden by the frame button in odd rounds, minimised in even ones.
        Click(round % 2 == 1 ? FrameHide : FrameMinimise);
        ASSERT_TRUE(WaitShown(false)) << "round " << round;
        DoubleClickTrayIcon();
        ASSERT_TRUE(WaitShown(true)) << "round " << round << ": the double click did not show it";
        OpenButtonPopup("round " + std::to_string(round) + ", just shown");
        Click(TabMain);  // a press on the page closes the popup
        EXPECT_TRUE(Eventually([&] { return Near(WindowPlace(), placed); }, 2000))
            << "round " << round << ": back at " << WindowPlace().x() << "," << WindowPlace().y()
            << ", hidden at " << placed.x() << "," << placed.y();
        PointerAway();
        EXPECT_TRUE(Eventually([&] { return Middle() == middle; }, 2000))
            << "round " << round << ": the middle of the page is not the page";
        if (round % 2 == 1) {
            // Dragged once shown and shown again, by the icon or (round 3) by a second copy of
            // the program, it stays where it was dragged.
            const QPoint delta = round % 4 == 1 ? QPoint(120, 90) : QPoint(-120, -90);
            placed = WindowPlace() + delta;
            DragBy(delta);
            ASSERT_TRUE(Eventually([&] { return WindowPlace() == placed; })) << "round " << round;
            OpenButtonPopup("round " + std::to_string(round) + ", right after a drag");
            Click(TabMain);
            if (round != 3) {
                DoubleClickTrayIcon();
            } else {
                testing_support::ProgramRun second(folder_, false);
                second.SetEnvironment(QStringLiteral("DISPLAY"), desktop_->Display());
                ASSERT_TRUE(second.Start());
                ASSERT_TRUE(second.WaitForEnd(StartTimeoutMs())) << "the second copy must end";
            }
            EXPECT_FALSE(Eventually([&] { return WindowPlace() != placed; }, 1000))
                << "round " << round << ": the shown window moved when shown again";
        }
    }

    // Minimised by the skin, then restored, moved and minimised again by the window manager:
    // the icon shows it where it was moved to, not where the skin minimised it.
    Click(FrameMinimise);
    ASSERT_TRUE(WaitShown(false));
    Xdotool({QStringLiteral("windowactivate"), QString::number(window_)});
    ASSERT_TRUE(WaitShown(true)) << "the window manager did not restore the window";
    placed = WindowPlace() + QPoint(160, 120);
    DragBy({160, 120});
    ASSERT_TRUE(Eventually([&] { return WindowPlace() == placed; }));
    Xdotool({QStringLiteral("windowminimize"), QString::number(window_)});
    ASSERT_TRUE(WaitShown(false)) << "the window manager did not minimise the window";
    DoubleClickTrayIcon();
    ASSERT_TRUE(WaitShown(true));
    EXPECT_FALSE(Eventually([&] { return !Near(WindowPlace(), placed); }, 1000))
        << "shown at " << WindowPlace().x() << "," << WindowPlace().y() << ", minimised at "
        << placed.x() << "," << placed.y();
}

TEST_P(DesktopWindow, ARightClickOpensItsMenuAtThePointerOnThePageAndOnTheMacroList) {
    ASSERT_NO_FATAL_FAILURE(StartProgram(DesktopSession::Tray::None));
    // Right-clicks at p (window coordinates) and says whether a menu of the program shows at the
    // pointer; the menu is closed again.
    const auto menuAtPointer = [&](QPoint p) {
        Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window_),
                 QString::number(p.x()), QString::number(p.y()), QStringLiteral("sleep"),
                 QStringLiteral("0.1"), QStringLiteral("click"), QStringLiteral("3")});
        const QPoint pointer = WindowPlace() + p;
        const auto shown = [&] {
            for (std::uint64_t w : probe_->WindowsOfProgram(QStringLiteral("zelbo-mouse"))) {
                if (w != window_ && probe_->IsShown(w) && Near(probe_->Position(w), pointer)) {
                    return true;
                }
            }
            return false;
        };
        const bool opened = Eventually(shown);
        Xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
        EXPECT_TRUE(Eventually([&] { return !shown(); })) << "the menu did not close";
        return opened;
    };
    EXPECT_TRUE(menuAtPointer(EmptySpot())) << "no system menu at the pointer";

    Click(TabAdvanced);
    const QStringList list =
        platform::GetPrivateProfileString(
            QStringLiteral("MACRODISPLAY"), QStringLiteral("1"), QString(), 256,
            folder_.Path(QStringLiteral("skins/INI_EN/skin_advance_en.ini")))
            .split(QLatin1Char(','));
    ASSERT_GE(list.size(), 5);
    // On the list's first line, a shipped macro.
    EXPECT_TRUE(menuAtPointer(Device({list[1].toInt() + 20, list[2].toInt() + 6})))
        << "no macro list menu at the pointer";
}

TEST_P(DesktopWindow, TheButtonAndGroupPopupsStayAboveTheMainWindowWhenItIsRaised) {
    ASSERT_NO_FATAL_FAILURE(StartProgram(DesktopSession::Tray::None));
    const std::uint64_t popup = OpenButtonPopup("just started");
    ASSERT_NE(popup, 0u);
    // The media group opens beside its row.
    const QImage rows(folder_.Path(QStringLiteral("skins/menu_mask.jpg")));
    const int rowHeight = rows.height() / 11;
    const QPoint mediaRow = Device({rows.width() / 2, (MediaRow - 1) * rowHeight + rowHeight / 2});
    Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(popup),
             QString::number(mediaRow.x()), QString::number(mediaRow.y()), QStringLiteral("sleep"),
             QStringLiteral("0.2")});

    const QImage groupRows(folder_.Path(QStringLiteral("skins/advanced menu_mask.jpg")));
    ASSERT_FALSE(groupRows.isNull());
    // The media group's first row lies three rows above the button popup's top, right of it.
    const QPoint groupPlace = probe_->Position(popup) + Device({rows.width(), -3 * rowHeight});
    std::uint64_t group = 0;
    ASSERT_TRUE(Eventually([&] {
        // The program's own window there, not the frame the window manager put around it.
        const auto program = probe_->WindowsOfProgram(QStringLiteral("zelbo-mouse"));
        for (std::uint64_t w : probe_->ShownWindowsAt(groupPlace)) {
            if (std::find(program.begin(), program.end(), w) != program.end()) {
                group = w;
            }
        }
        return group != 0;
    })) << "no group popup beside the media row";

    // Raised as a second copy of the program or the window manager raises it.
    Xdotool({QStringLiteral("windowraise"), QString::number(window_), QStringLiteral("sleep"),
             QStringLiteral("0.3")});
    EXPECT_TRUE(probe_->IsShown(popup));
    EXPECT_TRUE(probe_->IsShown(group));
    EXPECT_TRUE(probe_->IsAbove(popup, window_)) << "the button popup went under the main window";
    // What keeps them there with any window manager: each is a managed window, transient for
    // its opener.
    EXPECT_FALSE(probe_->BypassesWindowManager(popup));
    EXPECT_FALSE(probe_->BypassesWindowManager(group));
    EXPECT_EQ(probe_->TransientFor(popup), window_);
    EXPECT_EQ(probe_->TransientFor(group), popup);
    EXPECT_TRUE(probe_->IsAbove(group, popup)) << "the group popup went under the button popup";
}

TEST_P(DesktopWindow, AnActivationOnAStatusNotifierHostShowsTheHiddenWindow) {
    qputenv("QT_QPA_PLATFORM", "offscreen");  // the test's own event loop needs no display
    testing_support::TestApplication();
    testing_support::PrivateSystemBus bus;
    if (!bus.ok()) {
        GTEST_SKIP() << "needs dbus-daemon (scripts/install-deps.sh installs it)";
    }
    testing_support::StatusNotifierWatcher watcher;
    QDBusConnection connection = bus.Connection();
    ASSERT_TRUE(watcher.Serve(connection));
    ASSERT_NO_FATAL_FAILURE(StartProgram(DesktopSession::Tray::None, bus.Address()));
    ASSERT_TRUE(testing_support::ProcessEventsUntil(
        [&] { return !watcher.RegisteredStatusNotifierItems().isEmpty(); }, StartTimeoutMs()))
        << "the item did not register with the watcher";

    probe_->RequestClose(window_);
    ASSERT_TRUE(testing_support::ProcessEventsUntil([&] { return !probe_->IsShown(window_); },
                                                    StartTimeoutMs()))
        << "closing hides the window";
    // A left click on the icon, as the host reports it.
    QDBusMessage activate = QDBusMessage::createMethodCall(
        watcher.RegisteredStatusNotifierItems().first(), QStringLiteral("/StatusNotifierItem"),
        QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Activate"));
    activate << 10 << 10;
    ASSERT_TRUE(connection.send(activate));
    EXPECT_TRUE(testing_support::ProcessEventsUntil([&] { return probe_->IsShown(window_); },
                                                    StartTimeoutMs()))
        << "the activation did not show the window";
}

INSTANTIATE_TEST_SUITE_P(, DesktopWindow, testing::Values(1, 2),
                         [](const testing::TestParamInfo<int>& info) {
                             return "Scale" + std::to_string(info.param);
                         });

}  // namespace
