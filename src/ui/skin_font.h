// The one font of all text drawn on the skin, made once at start-up. User-interface thread.
#pragma once

#include <QFont>

extern QFont g_font;

namespace ui {

// A 13-pixel fixed-pitch font of normal weight, about 6 pixels a character, "宋体" where the
// system has it and the closest fixed-pitch CJK face otherwise.
QFont MakeSkinFont();

}  // namespace ui
