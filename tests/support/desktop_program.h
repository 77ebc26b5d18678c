// The built program on a desktop of its own (desktop_session.h): under a real window manager,
// with a real notification area when the test asks for one, driven through the X server with
// xdotool as a person drives it. Each test starts the program with StartProgram, which waits
// until its window shows; the run ends by unplugging the simulated mouse. On the test's thread.
#pragma once

#include <gtest/gtest.h>

#include <QPoint>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

#include "support/desktop_session.h"
#include "support/pointer_run.h"
#include "support/program_run.h"
#include "support/x11_probe.h"

namespace testing_support {

class DesktopProgramTest : public ::testing::Test {
protected:
    void TearDown() override;

    // Brings up the desktop and starts the program on it (with busAddress as its session bus
    // when given); skips the test where the desktop's programs are not installed.
    void StartProgram(DesktopSession::Tray tray, const QString& busAddress = QString());

    // xdotool on the desktop, with window coordinates where the arguments name the window.
    void Xdotool(const QStringList& args);
    // A place or way in the skin's pixels, in the X server's (device) pixels: every place the
    // tests give or look at on the desktop is in these.
    QPoint Device(QPoint skin) const { return (QPointF(skin) * scale_).toPoint(); }
    // Whether a window the program placed by skin pixels at the device place expected is there.
    // A skin pixel spans scale_ device pixels, so above scale 1 a place the program works out
    // from a window at an odd device place can only land within one device pixel of it.
    bool Near(QPoint place, QPoint expected) const;
    // Moves to p (window coordinates, device pixels) and clicks the left button.
    void ClickAt(QPoint p);
    void Click(int mainIndex) { ClickAt(Device(MainCentre(folder_, mainIndex))); }
    // A spot of the main page that no rectangle covers, in device pixels: a press there drags
    // the window.
    QPoint EmptySpot() const;
    // The window's top left corner on the screen.
    QPoint WindowPlace() { return probe_->Position(window_); }
    // Waits until the window is shown (true) or hidden (false).
    bool WaitShown(bool shown);
    // The program's icon in the notification area (0 until it docked).
    std::uint64_t TrayIconWindow();
    // A double click on the notification-area icon.
    void DoubleClickTrayIcon();

    std::unique_ptr<DesktopSession> desktop_;
    std::unique_ptr<X11Probe> probe_;
    ProgramFolder folder_{QStringLiteral(ZELBO_PROGRAM_DIR)};
    std::unique_ptr<ProgramRun> run_;
    std::uint64_t window_ = 0;
    // The display scale the program runs at (QT_SCALE_FACTOR); set before StartProgram.
    qreal scale_ = 1;
};

}  // namespace testing_support
