// What a person would see on the X display the end-to-end tests run on: top-level windows by
// title and whether they are mapped, the close request a window manager sends, and a stand-in
// notification area that records the icons programs dock into it. Each object opens its own
// display connection; all calls are on the test's thread.
#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace testing_support {

class X11Probe {
public:
    // The display of DISPLAY, or the one named (":N").
    explicit X11Probe(const QString& display = QString());
    ~X11Probe();
    X11Probe(const X11Probe&) = delete;
    X11Probe& operator=(const X11Probe&) = delete;

    // False when no display can be opened (no DISPLAY).
    bool ok() const;

    // Windows whose WM_NAME is title: the top-level ones, and on a desktop with a window manager
    // the clients inside its frames too.
    std::vector<std::uint64_t> WindowsTitled(const QString& title);
    // Windows (as WindowsTitled finds them) whose WM_CLASS names the program resName.
    std::vector<std::uint64_t> WindowsOfProgram(const QString& resName);
    // Shown windows (as WindowsTitled finds them) whose top left corner is at place.
    std::vector<std::uint64_t> ShownWindowsAt(QPoint place);
    // True when the window bypasses the window manager (override-redirect): nothing stacks it
    // with the windows the manager keeps.
    bool BypassesWindowManager(std::uint64_t window);
    // The window that window is transient for (WM_TRANSIENT_FOR), 0 for none.
    std::uint64_t TransientFor(std::uint64_t window);
    // True when the window is a child of the root (not held by a frame or a panel).
    bool IsTopLevel(std::uint64_t window);
    // Where the window's top left corner is on the screen.
    QPoint Position(std::uint64_t window);
    // True when the top-level window holding a (its frame, under a window manager) lies above
    // the one holding b.
    bool IsAbove(std::uint64_t a, std::uint64_t b);
    // True when the window exists and is mapped (viewable).
    bool IsShown(std::uint64_t window);
    // WM_DELETE_WINDOW, as a window manager sends it when the user closes the window.
    void RequestClose(std::uint64_t window);
    // What the X server holds of the window's area (as shown; parts outside its shape are
    // undefined). Null when it cannot be read.
    QImage Capture(std::uint64_t window);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Owns the notification-area selection of screen 0 and announces it, as a panel does; the
// icons programs ask to dock are recorded. Pump() reads the requests that have arrived.
class FakeSystemTray {
public:
    FakeSystemTray();
    ~FakeSystemTray();
    FakeSystemTray(const FakeSystemTray&) = delete;
    FakeSystemTray& operator=(const FakeSystemTray&) = delete;

    // False when no display, or another notification area already runs there.
    bool ok() const;
    void Pump();
    // Every window docked so far (the icons), in order.
    std::vector<std::uint64_t> DockedIcons();
    // Docked icons whose window still exists.
    int LiveIcons();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace testing_support
