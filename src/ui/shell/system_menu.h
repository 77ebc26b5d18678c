// The window's system menu. The frameless skinned window gets none from the window manager, so
// the program offers its own where desktops show one: a right click on the window's title area,
// which on this window is every place where the left button drags it (no skin rectangle under
// the pointer). It holds minimise and close and, after a separator, the About item; a chosen
// item comes back to the window as WM_SYSCOMMAND. User-interface thread only.
#pragma once

#include <QPoint>
#include <cstdint>
#include <memory>

class QMenu;
class QWidget;

namespace ui {

inline constexpr unsigned SC_ABOUT = 0x0010;  // the About item the program adds
inline constexpr unsigned SC_MINIMIZE = 0xF020;
inline constexpr unsigned SC_CLOSE = 0xF060;
inline constexpr char16_t AboutMenuText[] = u"&About KVE_Zelbo...";

// True where a left press on the page shown would drag the window: the hover indexes of the
// main page and of the page shown both say "none".
bool IsCaptionPoint(std::uint8_t page);

// The menu's items, each carrying its command id (GetMenuItemID).
std::unique_ptr<QMenu> MakeSystemMenu(QWidget* parent);

}  // namespace ui
