#include "ui/shell/system_menu.h"

#include <QAction>
#include <QMenu>
#include <QString>

#include "ui/controls/kve_menu.h"
#include "ui/shell/window_state.h"

namespace ui {

bool IsCaptionPoint(std::uint8_t page) {
    if (g_hoverMain != NoHover) {
        return false;
    }
    switch (page) {
        case PageAdvanced:
            return g_hoverAdv == NoHover;
        case PageColor:
            return g_hoverColor == NoHover;
        default:
            return true;
    }
}

std::unique_ptr<QMenu> MakeSystemMenu(QWidget* parent) {
    auto menu = std::make_unique<QMenu>(parent);
    SetMenuItemId(menu->addAction(QStringLiteral("Mi&nimize")), SC_MINIMIZE);
    SetMenuItemId(menu->addAction(QStringLiteral("&Close\tAlt+F4")), SC_CLOSE);
    menu->addSeparator();
    SetMenuItemId(menu->addAction(QString::fromUtf16(AboutMenuText)), SC_ABOUT);
    return menu;
}

}  // namespace ui
