// What the window shows and what the pointer is over: the page, the three hover indexes, the
// pressed look, the function popup's state and the display threads' state. The click dispatch
// writes the page and pointer state, the popups their own; painting reads all of it.
//
// Threads: the user-interface thread writes everything here. The display threads read g_page
// and write their own preview and running flags, so those are atomics; the rest is
// user-interface thread only.
#pragma once

#include <QRect>
#include <atomic>
#include <cstdint>

class CMenuDlg;

namespace ui {
inline constexpr std::int32_t NoHover = 255;  // "none" for a hover index, popup row or hit test
}

// The page shown: 0 main, 1 advanced, 2 colour.
enum SkinPage : std::uint8_t { PageMain = 0, PageAdvanced = 1, PageColor = 2 };
extern std::atomic<std::uint8_t> g_page;

// Index of the rectangle under the pointer in m_posMain / m_posColor / m_posAdv, 255 = none.
// g_hoverMain starts at 0: before the first movement a click acts as on main rectangle 0.
extern std::int32_t g_hoverMain;
extern std::int32_t g_hoverColor;
extern std::int32_t g_hoverAdv;
// Each hover index at its last redraw.
extern std::int32_t g_prevHoverMain;
extern std::int32_t g_prevHoverColor;
extern std::int32_t g_prevHoverAdv;
// The left button went down over some rectangle: the hovered button is drawn pressed.
extern std::uint8_t g_mousePressed;

// The button-function popup: the main rectangle 22..28 of the slot it was opened for, the
// window's screen rectangle at the click, the popup's (and the warning's) screen position.
extern std::int32_t g_clickedSlot;
extern QRect g_rcWindow;
extern std::int32_t g_popupX;
extern std::int32_t g_popupY;
extern std::uint8_t g_menuDlgOpen;
extern CMenuDlg* g_pMenuDlg;
extern std::uint8_t g_leftClickWarn;    // no other slot of the profile holds left click
extern std::uint8_t g_leftClickWarnOk;  // the user let the change go on
extern std::uint8_t g_popupChoiceMade;  // a function was chosen: the next paint closes the popup

// Display threads (the colour page's preview swatch and the main page's blink).
extern std::atomic<std::uint8_t> g_ledPreviewRunning;
extern std::atomic<std::uint8_t> g_ledPreviewGray;
extern std::atomic<std::int32_t> g_ledPreviewColor;  // 0 yellow, 1 blue, 2 pink, 3 green, 4 red,
                                                     // 5 cyan, 6 white
extern std::atomic<std::uint8_t> g_blinkRunning;
