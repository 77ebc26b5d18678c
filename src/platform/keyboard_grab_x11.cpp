// The keyboard grab over XCB (thread-safe, so it can share the toolkit's connection).
#include "platform/keyboard_grab.h"

#include <xcb/xcb.h>

#include <cstdlib>

namespace platform {
namespace {

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
        return held_;
    }

    void Release() override {
        if (!held_) {
            return;
        }
        held_ = false;
        xcb_ungrab_keyboard(connection_, XCB_CURRENT_TIME);
        xcb_flush(connection_);
    }

    bool Held() const override { return held_; }

private:
    xcb_connection_t* connection_;
    bool held_ = false;
};

}  // namespace

std::unique_ptr<KeyboardGrab> MakeX11KeyboardGrab(xcb_connection_t* connection) {
    return std::make_unique<X11KeyboardGrab>(connection);
}

}  // namespace platform
