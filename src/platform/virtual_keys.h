// Windows virtual-key codes of the keys the window system reports, as a low-level keyboard hook
// reports them: left and right modifiers apart, a key by its unshifted meaning (Shift+1 is the
// '1' key), the keypad by its NumLock state. Pure functions over constant tables; any thread.
#pragma once

#include <cstdint>

namespace platform {

// An X11 (or Wayland, which uses the same codes) key: its keycode (evdev code + 8, 0 when not
// known) and the keysym it produced. 0 when the key has no virtual-key code in our tables.
std::uint8_t VirtualKeyFromX11(std::uint32_t keycode, std::uint32_t keysym);

// A key known only by the toolkit's key code (Qt::Key), as on a platform that gives no native
// codes; keypad tells a key of the numeric keypad. Modifiers count as their left key.
std::uint8_t VirtualKeyFromQtKey(int qtKey, bool keypad);

}  // namespace platform
