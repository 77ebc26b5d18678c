// Taking the whole keyboard for one window while a macro is recorded, so that no other program
// receives a key: the window then gets every key press and release itself. The X11 grab works on
// the connection the toolkit reads its events from; where the display server offers no grab
// (Wayland without XWayland, no display) there is none, and keys reach the window only while it
// has the focus. While the X11 grab is held the server reports a held key's repeats as presses
// alone (XKB detectable auto-repeat), never as a release and a press. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>

struct xcb_connection_t;

namespace platform {

class KeyboardGrab {
public:
    virtual ~KeyboardGrab() = default;
    // Takes the keyboard for window; false when the display server refused or offers no grab.
    virtual bool Grab(std::uint32_t window) = 0;
    // Gives it back (nothing when no grab is held).
    virtual void Release() = 0;
    virtual bool Held() const = 0;
};

// The X11 grab on connection (the toolkit's); nullptr gives a grab that never takes the
// keyboard. The grab is given back when the object goes.
std::unique_ptr<KeyboardGrab> MakeX11KeyboardGrab(xcb_connection_t* connection);

}  // namespace platform
