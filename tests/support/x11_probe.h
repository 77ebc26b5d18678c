// What a person would see on the X display the end-to-end tests run on: top-level windows by
// title and whether they are mapped, the close request a window manager sends, and a stand-in
// notification area that records the icons programs dock into it. Each object opens its own
// display connection; all calls are on the test's thread.
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace testing_support {

class X11Probe {
public:
    X11Probe();
    ~X11Probe();
    X11Probe(const X11Probe&) = delete;
    X11Probe& operator=(const X11Probe&) = delete;

    // False when no display can be opened (no DISPLAY).
    bool ok() const;

    // Top-level windows whose WM_NAME is title.
    std::vector<std::uint64_t> WindowsTitled(const QString& title);
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
