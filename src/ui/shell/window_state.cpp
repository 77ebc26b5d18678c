#include "ui/shell/window_state.h"

std::atomic<std::uint8_t> g_page{PageMain};

std::int32_t g_hoverMain = 0;
std::int32_t g_hoverColor = ui::NoHover;
std::int32_t g_hoverAdv = ui::NoHover;
std::int32_t g_prevHoverMain = ui::NoHover;
std::int32_t g_prevHoverColor = ui::NoHover;
std::int32_t g_prevHoverAdv = ui::NoHover;
std::uint8_t g_mousePressed = 0;

std::int32_t g_clickedSlot = 0;
QRect g_rcWindow;
std::int32_t g_popupX = 0;
std::int32_t g_popupY = 0;
std::uint8_t g_menuDlgOpen = 0;
CMenuDlg* g_pMenuDlg = nullptr;
std::uint8_t g_leftClickWarn = 0;
std::uint8_t g_leftClickWarnOk = 0;
std::uint8_t g_popupChoiceMade = 0;

std::atomic<std::uint8_t> g_ledPreviewRunning{0};
std::atomic<std::uint8_t> g_ledPreviewGray{0};
std::atomic<std::int32_t> g_ledPreviewColor{0};
std::atomic<std::uint8_t> g_blinkRunning{0};
