// The texts that painting puts in place of a rectangle's own label: the caption of a button
// slot from its function code, the DPI that a device DPI code stands for, and the key names of
// the keyboard-key functions. Each reads its table only inside the table's bounds, whatever
// value a hand-edited config.ini put in the setting. User-interface thread only.
#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace ui {

// Keyboard-key functions 70..148 are captioned "键盘" followed by the key's name from here;
// nothing fills the names, so the caption is "键盘" alone.
inline constexpr int KeyFunctionBase = 70;
inline constexpr int KeyNameCount = 79;
extern std::array<QString, KeyNameCount> g_strKeyNames;

// Caption of button function code: its name for 0..47, the user macro's name for 50..62,
// "键盘" and the key name for 70..148, and no text for any other code (48, 49, 63..69, 149
// and above, negative codes), which names no function.
QString FunctionCaption(std::int32_t code);

// The DPI of a device DPI code as the colour page shows it: 400 for 2 up to 4800 for 15, and
// 200 for the lowest code 1 and any code the table does not hold.
int DpiOfCode(std::uint8_t code);

// The colour page's DPI caption: the DPI of the current level's code as the last Apply built
// it. A current level outside 0..5 has no code, and shows as an unknown code does (200).
int DpiCaptionValue(std::uint32_t dpiLevel);

}  // namespace ui
