// The one font of all text drawn on the skin, made once at start-up. User-interface thread.
#pragma once

#include <QFont>

extern QFont g_font;

namespace ui {

// The skin's captions were laid out for a fixed-pitch font whose character cell (ascent plus
// descent) is 13 pixels high and whose characters are 6 pixels wide on average.
inline constexpr int SkinFontCellHeight = 13;
inline constexpr int SkinFontAverageWidth = 6;

// A fixed-pitch font of normal weight that covers Chinese: the largest pixel size whose line
// height is at most the cell height, stretched so that a Latin character is 6 pixels wide.
// "宋体" where the system has it, else an installed CJK face.
QFont MakeSkinFont();

}  // namespace ui
