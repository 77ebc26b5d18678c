// The keyboard grab over XCB (thread-safe, so it can share the toolkit's connection).
#include "platform/keyboard_grab.h"

#include <xcb/xcb.h>
// The XKB header names a field "explicit", a C++ keyword.
#define explicit xkb_explicit
#include <xcb/xkb.h>
#undef explicit

#include <cstdlib>
#include <optional>

namespace platform {
namespace {

constexpr std::uint32_t DetectableAutoRepeat = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;

// Changes this client's XKB flags in mask to value (mask 0 only asks); the flags then in force,
// or nullopt when the server has no XKB.
std::optional<std::uint32_t> PerClientFlags(xcb_connection_t* connection, std::uint32_t mask,
                                            std::uint32_t value) {
    const xcb_query_extension_reply_t* xkb = xcb_get_extension_data(connection, &xcb_xkb_id);
    if (xkb == nullptr || xkb->present == 0) {
        return std::nullopt;
    }
    // Harmless when the toolkit has already done it; XKB requests need it on the connection.
    std::free(xcb_xkb_use_extension_reply(
        connection, xcb_xkb_use_extension(connection, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION),
        nullptr));
    xcb_xkb_per_client_flags_reply_t* reply = xcb_xkb_per_client_flags_reply(
        connection,
        xcb_xkb_per_client_flags(connection, XCB_XKB_ID_USE_CORE_KBD, mask, value, 0, 0, 0),
        nullptr);
    if (reply == nullptr) {
        return std::nullopt;
    }
    const std::uint32_t flags = reply->value;
    std::free(reply);
    return flags;
}

class X11KeyboardGrab final : public KeyboardGrab {
public:
    explicit X11KeyboardGrab(xcb_connection_t* connection) : connection_(connection) {}
    ~X11KeyboardGrab() override { Release(); }

    bool Grab(std::uint32_t window) override {
        if (connection_ == nullptr || window == 0) {
            return false;
        }
        // owner_events false: every key is reported to the grab window, whichever window of
        // ours (or of another program) would have had it.
        const xcb_grab_keyboard_cookie_t cookie = xcb_grab_keyboard(
            connection_, 0, window, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        xcb_grab_keyboard_reply_t* reply = xcb_grab_keyboard_reply(connection_, cookie, nullptr);
        held_ = reply != nullptr && reply->status == XCB_GRAB_STATUS_SUCCESS;
        std::free(reply);
        if (held_) {
            // The server repeats a held key as a release and a press with one time stamp, which
            // the toolkit does not always tell from real ones. While the keyboard is ours it
            // sends the repeated presses alone, so a held key is one press and one release.
            const std::optional<std::uint32_t> before = PerClientFlags(connection_, 0, 0);
            restoreAutoRepeat_ =
                before && (*before & DetectableAutoRepeat) == 0 &&
                PerClientFlags(connection_, DetectableAutoRepeat, DetectableAutoRepeat).has_value();
        }
        return held_;
    }

    void Release() override {
        if (!held_) {
            return;
        }
        held_ = false;
        if (restoreAutoRepeat_) {
            restoreAutoRepeat_ = false;
            PerClientFlags(connection_, DetectableAutoRepeat, 0);
        }
        xcb_ungrab_keyboard(connection_, XCB_CURRENT_TIME);
        xcb_flush(connection_);
    }

    bool Held() const override { return held_; }

private:
    xcb_connection_t* connection_;
    bool held_ = false;
    bool restoreAutoRepeat_ = false;  // detectable auto-repeat was switched on by the grab
};

}  // namespace

std::unique_ptr<KeyboardGrab> MakeX11KeyboardGrab(xcb_connection_t* connection) {
    return std::make_unique<X11KeyboardGrab>(connection);
}

}  // namespace platform
