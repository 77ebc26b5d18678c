#include "support/x11_probe.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstring>

namespace testing_support {

namespace {

// A window that has gone between two requests is not an error for a probe.
int IgnoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

// The window's attributes, asked without an X error when it has gone; false then.
bool QueryAttributes(Display* display, Window window, XWindowAttributes& attributes) {
    XErrorHandler previous = XSetErrorHandler(IgnoreXErrors);
    XSync(display, False);
    const Status got = XGetWindowAttributes(display, window, &attributes);
    XSync(display, False);
    XSetErrorHandler(previous);
    return got != 0;
}

bool WindowExists(Display* display, Window window) {
    XWindowAttributes attributes;
    return QueryAttributes(display, window, attributes);
}

// The window's children, bottom of the stack first; none when it has gone.
std::vector<Window> Children(Display* display, Window window) {
    std::vector<Window> result;
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, window, &rootReturn, &parent, &children, &count) != 0) {
        result.assign(children, children + count);
        if (children != nullptr) {
            XFree(children);
        }
    }
    return result;
}

// Root's children, a window manager's frames and what they hold, a panel's icons in their
// sockets: five levels down from the root.
std::vector<Window> AllWindows(Display* display) {
    XErrorHandler previous = XSetErrorHandler(IgnoreXErrors);
    std::vector<Window> all;
    std::vector<Window> level{DefaultRootWindow(display)};
    for (int depth = 0; depth < 5 && !level.empty(); ++depth) {
        std::vector<Window> next;
        for (Window parent : level) {
            for (Window child : Children(display, parent)) {
                next.push_back(child);
            }
        }
        all.insert(all.end(), next.begin(), next.end());
        level = std::move(next);
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    return all;
}

// What query(display) returns, asked without an X error when a window has gone meanwhile.
template <typename Query>
auto Quietly(Display* display, Query query) {
    XErrorHandler previous = XSetErrorHandler(IgnoreXErrors);
    const auto result = query(display);
    XSync(display, False);
    XSetErrorHandler(previous);
    return result;
}

// The windows of AllWindows for which match(display, window) holds.
template <typename Match>
std::vector<std::uint64_t> WindowsWhere(Display* display, Match match) {
    std::vector<std::uint64_t> found;
    if (display == nullptr) {
        return found;
    }
    XErrorHandler previous = XSetErrorHandler(IgnoreXErrors);
    for (Window window : AllWindows(display)) {
        if (match(display, window)) {
            found.push_back(window);
        }
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    return found;
}

// The child of the root that holds window (itself on a bare server, its frame under a window
// manager).
Window TopLevelOf(Display* display, Window window) {
    const Window root = DefaultRootWindow(display);
    for (int depth = 0; depth < 8; ++depth) {
        Window rootReturn = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display, window, &rootReturn, &parent, &children, &count) == 0) {
            return 0;
        }
        if (children != nullptr) {
            XFree(children);
        }
        if (parent == root || parent == 0) {
            return window;
        }
        window = parent;
    }
    return 0;
}

}  // namespace

struct X11Probe::Impl {
    Display* display = nullptr;
};

X11Probe::X11Probe(const QString& display) : impl_(std::make_unique<Impl>()) {
    impl_->display = XOpenDisplay(display.isEmpty() ? nullptr : display.toLocal8Bit().constData());
}

X11Probe::~X11Probe() {
    if (impl_->display != nullptr) {
        XCloseDisplay(impl_->display);
    }
}

bool X11Probe::ok() const {
    return impl_->display != nullptr;
}

std::vector<std::uint64_t> X11Probe::WindowsTitled(const QString& title) {
    const QByteArray wanted = title.toUtf8();
    return WindowsWhere(impl_->display, [&](Display* display, Window window) {
        char* name = nullptr;
        if (XFetchName(display, window, &name) == 0 || name == nullptr) {
            return false;
        }
        const bool match = wanted == QByteArray(name);
        XFree(name);
        return match;
    });
}

std::vector<std::uint64_t> X11Probe::WindowsOfProgram(const QString& resName) {
    const QByteArray wanted = resName.toUtf8();
    return WindowsWhere(impl_->display, [&](Display* display, Window window) {
        XClassHint hint{nullptr, nullptr};
        if (XGetClassHint(display, window, &hint) == 0) {
            return false;
        }
        const bool match = hint.res_name != nullptr && wanted == QByteArray(hint.res_name);
        XFree(hint.res_name);
        XFree(hint.res_class);
        return match;
    });
}

std::vector<std::uint64_t> X11Probe::ShownWindowsAt(QPoint place) {
    std::vector<std::uint64_t> found;
    Display* display = impl_->display;
    if (display == nullptr) {
        return found;
    }
    for (Window window : AllWindows(display)) {
        if (IsShown(window) && Position(window) == place) {
            found.push_back(window);
        }
    }
    return found;
}

bool X11Probe::BypassesWindowManager(std::uint64_t window) {
    XWindowAttributes attributes;
    return impl_->display != nullptr && QueryAttributes(impl_->display, window, attributes) &&
           attributes.override_redirect != 0;
}

std::uint64_t X11Probe::TransientFor(std::uint64_t window) {
    if (impl_->display == nullptr) {
        return 0;
    }
    return Quietly(impl_->display, [&](Display* display) -> std::uint64_t {
        Window owner = 0;
        return XGetTransientForHint(display, window, &owner) != 0 ? owner : 0;
    });
}

bool X11Probe::IsTopLevel(std::uint64_t window) {
    return impl_->display != nullptr && Quietly(impl_->display, [&](Display* display) {
               return TopLevelOf(display, window) == window;
           });
}

QPoint X11Probe::Position(std::uint64_t window) {
    if (impl_->display == nullptr) {
        return {};
    }
    return Quietly(impl_->display, [&](Display* display) {
        int x = 0;
        int y = 0;
        Window child = 0;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
        return QPoint(x, y);
    });
}

bool X11Probe::IsAbove(std::uint64_t a, std::uint64_t b) {
    Display* display = impl_->display;
    if (display == nullptr) {
        return false;
    }
    XErrorHandler previous = XSetErrorHandler(IgnoreXErrors);
    const Window root = DefaultRootWindow(display);
    const Window topA = TopLevelOf(display, a);
    const Window topB = TopLevelOf(display, b);
    // The root's children come bottom first.
    const std::vector<Window> stack = Children(display, root);
    XSync(display, False);
    XSetErrorHandler(previous);
    const auto at = [&](Window w) { return std::find(stack.begin(), stack.end(), w); };
    return at(topA) != stack.end() && at(topB) != stack.end() && at(topA) > at(topB);
}

bool X11Probe::IsShown(std::uint64_t window) {
    Display* display = impl_->display;
    if (display == nullptr) {
        return false;
    }
    XWindowAttributes attributes;
    return QueryAttributes(display, window, attributes) && attributes.map_state == IsViewable;
}

void X11Probe::RequestClose(std::uint64_t window) {
    Display* display = impl_->display;
    if (display == nullptr) {
        return;
    }
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

QImage X11Probe::Capture(std::uint64_t window) {
    Display* display = impl_->display;
    if (display == nullptr) {
        return {};
    }
    XErrorHandler previous = XSetErrorHandler(IgnoreXErrors);
    XSync(display, False);
    XWindowAttributes attributes;
    XImage* image = nullptr;
    if (XGetWindowAttributes(display, window, &attributes) != 0 && attributes.width > 0 &&
        attributes.height > 0) {
        image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                          static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    if (image == nullptr) {
        return {};
    }
    QImage result(image->width, image->height, QImage::Format_RGB32);
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            result.setPixel(x, y,
                            qRgb(static_cast<int>((pixel & image->red_mask) >> 16),
                                 static_cast<int>((pixel & image->green_mask) >> 8),
                                 static_cast<int>(pixel & image->blue_mask)));
        }
    }
    XDestroyImage(image);
    return result;
}

struct FakeSystemTray::Impl {
    Display* display = nullptr;
    Window manager = 0;
    Atom opcode = 0;
    bool owned = false;
    std::vector<std::uint64_t> docked;
};

FakeSystemTray::FakeSystemTray() : impl_(std::make_unique<Impl>()) {
    Display* display = XOpenDisplay(nullptr);
    impl_->display = display;
    if (display == nullptr) {
        return;
    }
    const Window root = DefaultRootWindow(display);
    const Atom selection = XInternAtom(display, "_NET_SYSTEM_TRAY_S0", False);
    if (XGetSelectionOwner(display, selection) != 0) {
        return;  // a real one runs: leave it alone
    }
    impl_->manager = XCreateSimpleWindow(display, root, -1, -1, 1, 1, 0, 0, 0);
    impl_->opcode = XInternAtom(display, "_NET_SYSTEM_TRAY_OPCODE", False);
    // Icons of the default visual, as most panels offer.
    const Atom visualAtom = XInternAtom(display, "_NET_SYSTEM_TRAY_VISUAL", False);
    long visual = static_cast<long>(XVisualIDFromVisual(DefaultVisual(display, 0)));
    XChangeProperty(display, impl_->manager, visualAtom, XA_VISUALID, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&visual), 1);
    XSetSelectionOwner(display, selection, impl_->manager, CurrentTime);
    impl_->owned = XGetSelectionOwner(display, selection) == impl_->manager;
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = root;
    event.xclient.message_type = XInternAtom(display, "MANAGER", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = CurrentTime;
    event.xclient.data.l[1] = static_cast<long>(selection);
    event.xclient.data.l[2] = static_cast<long>(impl_->manager);
    XSendEvent(display, root, False, StructureNotifyMask, &event);
    XFlush(display);
}

FakeSystemTray::~FakeSystemTray() {
    if (impl_->display != nullptr) {
        if (impl_->manager != 0) {
            XDestroyWindow(impl_->display, impl_->manager);
        }
        XCloseDisplay(impl_->display);
    }
}

bool FakeSystemTray::ok() const {
    return impl_->display != nullptr && impl_->owned;
}

void FakeSystemTray::Pump() {
    Display* display = impl_->display;
    if (display == nullptr) {
        return;
    }
    XSync(display, False);
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        // SYSTEM_TRAY_REQUEST_DOCK is opcode 0; the icon's window is the third long.
        if (event.type == ClientMessage && event.xclient.message_type == impl_->opcode &&
            event.xclient.data.l[1] == 0) {
            impl_->docked.push_back(static_cast<std::uint64_t>(event.xclient.data.l[2]));
        }
    }
}

std::vector<std::uint64_t> FakeSystemTray::DockedIcons() {
    Pump();
    return impl_->docked;
}

int FakeSystemTray::LiveIcons() {
    Pump();
    int live = 0;
    for (std::uint64_t window : impl_->docked) {
        if (WindowExists(impl_->display, window)) {
            ++live;
        }
    }
    return live;
}

}  // namespace testing_support
