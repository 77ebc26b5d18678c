// The program's two owner-drawn menus: the macro editor's context menu and the
// notification-area menu, built for the user-interface language at start-up and again by the
// language switch. The main window destroys them before the toolkit goes. User-interface thread.
#pragma once

#include <cstdint>

#include "ui/controls/kve_menu.h"

extern CKveMenu g_menuMacro;  // 161 English, 154 Chinese
extern CKveMenu g_menuTray;   // 162 English, 157 Chinese

namespace ui {

// Loads both menus of the language (1 English, anything else Chinese) into menus that have
// none attached, with their item records started afresh (the command items' running index
// keeps counting), and makes every item owner-drawn.
void BuildProgramMenus(std::uint8_t language);
// Hands the measuring and drawing of every item of both menus to owner (the window, which
// forwards them to the menus' item records); nullptr leaves them as they are.
void RouteProgramMenuDrawing(OwnerDrawHandler* owner);
// Destroys both menus (before a rebuild, and at the end of the run).
void DestroyProgramMenus();

}  // namespace ui
