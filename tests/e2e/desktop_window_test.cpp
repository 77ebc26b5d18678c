// The window on a real desktop: under a window manager (openbox), with a real notification
// area (trayer) or a StatusNotifierItem host on a private session bus, driven through the X
// server as a person drives it.
#include <gtest/gtest.h>

#include <QImage>
#include <QStringList>

#include "support/desktop_program.h"

namespace {

using testing_support::DesktopSession;
using testing_support::Eventually;

constexpr int FrameHide = 2;
constexpr int FrameMinimise = 12;

class DesktopWindow : public testing_support::DesktopProgramTest {
protected:
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
                 QString::number(delta.x() / 2),
                 QString::number(delta.y() / 2),
                 QStringLiteral("sleep"),
                 QStringLiteral("0.2"),
                 QStringLiteral("mousemove_relative"),
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
    // Moves the pointer off the window (over the desktop's empty corner).
    void PointerAway() {
        Xdotool({QStringLiteral("mousemove"), QStringLiteral("5"), QStringLiteral("1000"),
                 QStringLiteral("sleep"), QStringLiteral("0.1")});
    }
};

TEST_F(DesktopWindow, AQuickClickOnTheEmptyPageLeavesTheWindowWhereItIsAndAHeldDragMovesIt) {
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
}

TEST_F(DesktopWindow, HiddenOrMinimisedAndShownAgainTheWindowComesBackWhereItWasEveryTime) {
    ASSERT_NO_FATAL_FAILURE(StartProgram(DesktopSession::Tray::XEmbed));
    // Away from where the window manager first put it, by a drag as the user does it.
    const QPoint placed = WindowPlace() + QPoint(90, 70);
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
        EXPECT_TRUE(Eventually([&] { return WindowPlace() == placed; }, 2000))
            << "round " << round << ": back at " << WindowPlace().x() << "," << WindowPlace().y()
            << ", hidden at " << placed.x() << "," << placed.y();
        PointerAway();
        EXPECT_TRUE(Eventually([&] { return Middle() == middle; }, 2000))
            << "round " << round << ": the middle of the page is not the page";
    }
}

}  // namespace
