#include "ui/shell/display_query.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <QtMath>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace ui {

namespace {

xcb_connection_t* X11Connection() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_window_t RootWindow(xcb_connection_t* connection) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    return screen != nullptr ? screen->root : 0;
}

// The factor between the two pixel counts on the window's screen, and the point both share: the
// toolkit keeps a screen's top left corner at its device place and scales from there.
struct ScreenScale {
    qreal factor = 1.0;
    QPointF origin;
};

ScreenScale ScaleOf(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr || screen->devicePixelRatio() <= 0) {
        return {};
    }
    return {screen->devicePixelRatio(), QPointF(screen->geometry().topLeft())};
}

// The window's top left corner on the screen as the X server has it, in device pixels.
std::optional<QPoint> DevicePlace(xcb_connection_t* connection, const QWidget& window) {
    if (window.internalWinId() == 0) {
        return std::nullopt;
    }
    xcb_translate_coordinates_reply_t* reply = xcb_translate_coordinates_reply(
        connection,
        xcb_translate_coordinates(connection, static_cast<xcb_window_t>(window.internalWinId()),
                                  RootWindow(connection), 0, 0),
        nullptr);
    if (reply == nullptr) {
        return std::nullopt;
    }
    const QPoint place(reply->dst_x, reply->dst_y);
    std::free(reply);
    return place;
}

constexpr std::uint32_t NetWmMoveResizeMove = 8;
constexpr std::uint32_t NetWmMoveResizeCancel = 11;

// _NET_WM_MOVERESIZE of the window, in the given direction, to the window manager.
bool SendMoveResize(xcb_connection_t* connection, const QWidget& window, QPoint anchor,
                    std::uint32_t direction) {
    constexpr char Name[] = "_NET_WM_MOVERESIZE";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, sizeof Name - 1, Name), nullptr);
    if (atom == nullptr) {
        return false;
    }
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(window.internalWinId());
    message.type = atom->atom;
    message.data.data32[0] = static_cast<std::uint32_t>(anchor.x());
    message.data.data32[1] = static_cast<std::uint32_t>(anchor.y());
    message.data.data32[2] = direction;
    message.data.data32[3] = XCB_BUTTON_INDEX_1;
    message.data.data32[4] = 1;  // from a normal application
    std::free(atom);
    xcb_send_event(connection, 0, RootWindow(connection),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
    return true;
}

}  // namespace

bool LeftButtonHeld() {
    if (xcb_connection_t* connection = X11Connection()) {
        xcb_query_pointer_reply_t* reply = xcb_query_pointer_reply(
            connection, xcb_query_pointer(connection, RootWindow(connection)), nullptr);
        if (reply != nullptr) {
            const bool held = (reply->mask & XCB_BUTTON_MASK_1) != 0;
            std::free(reply);
            return held;
        }
    }
    return QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
}

bool StartWindowMoveWhileHeld(QWidget& window, QPoint pressedAt) {
    xcb_connection_t* connection = X11Connection();
    if (connection == nullptr || window.internalWinId() == 0) {
        if (!LeftButtonHeld() || window.windowHandle() == nullptr) {
            return false;
        }
        return window.windowHandle()->startSystemMove();
    }
    const xcb_window_t root = RootWindow(connection);
    xcb_query_pointer_reply_t* pointer =
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr);
    if (pointer == nullptr) {
        return false;
    }
    const bool held = (pointer->mask & XCB_BUTTON_MASK_1) != 0;
    const QPoint pointerNow(pointer->root_x, pointer->root_y);
    std::free(pointer);
    const std::optional<QPoint> place = DevicePlace(connection, window);
    if (!held || !place.has_value()) {
        return false;
    }
    // The move is anchored where the button went down, so a pointer that travelled before the
    // request reached the window manager still drags the window by the spot it took.
    const qreal factor = ScaleOf(window).factor;
    QPoint anchor = *place + (QPointF(pressedAt) * factor).toPoint();
    // Above scale 1 the toolkit gives the press rounded to its own pixels, which misses the
    // device pixel pressed by up to half of one. A pointer still within that of the press is
    // where the press was, to the device pixel, and the drag then follows it exactly.
    const int rounding = factor > 1 ? qCeil(factor / 2) : 0;
    if (std::abs(pointerNow.x() - anchor.x()) <= rounding &&
        std::abs(pointerNow.y() - anchor.y()) <= rounding) {
        anchor = pointerNow;
    }
    // The press's implicit grab is ours until the release: the window manager needs it.
    xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
    return SendMoveResize(connection, window, anchor, NetWmMoveResizeMove);
}

void CancelWindowMove(QWidget& window) {
    if (xcb_connection_t* connection = X11Connection();
        connection != nullptr && window.internalWinId() != 0) {
        SendMoveResize(connection, window, QPoint(), NetWmMoveResizeCancel);
    }
}

QPoint ScreenPlace(const QWidget& window) {
    if (xcb_connection_t* connection = X11Connection()) {
        if (const std::optional<QPoint> device = DevicePlace(connection, window)) {
            return FromDevicePixels(window, *device).toPoint();
        }
    }
    return window.geometry().topLeft();
}

QPointF FromDevicePixels(const QWidget& window, QPointF device) {
    const ScreenScale scale = ScaleOf(window);
    return (device - scale.origin) / scale.factor + scale.origin;
}

}  // namespace ui
