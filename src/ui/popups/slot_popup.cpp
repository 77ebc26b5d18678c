#include "ui/popups/slot_popup.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

#include "profile/profile_settings.h"
#include "ui/popups/function_popups.h"
#include "ui/popups/warning_dlg.h"
#include "ui/shell/display_query.h"
#include "ui/shell/window_state.h"
#include "ui/skin/page_layouts.h"
#include "ui/skin/skin_rects.h"

namespace {

constexpr int LeftClick = 1;
constexpr int WarningDeclined = 2;

// True when a slot of the current profile other than slot holds left click.
bool OtherSlotHoldsLeftClick(int slot) {
    const int profile = g_curConfigIdx.load();
    if (profile < 0 || profile >= ProfileCount) {
        return false;
    }
    for (int i = 0; i < ButtonSlotCount; ++i) {
        if (i != slot && KeyFunc[profile][i] == LeftClick) {
            return true;
        }
    }
    return false;
}

}  // namespace

void ui::OpenFunctionPopup(PopupOwner& dlg, int mainIndex) {
    if (mainIndex < ui::MainSlotFirst || mainIndex > ui::MainSlotLast) {
        return;
    }
    // At most one popup: one still open (the caller closes it on every button-down) goes now.
    CloseFunctionPopup();

    g_leftClickWarn = 1;
    g_clickedSlot = mainIndex;
    // The window's place as the X server has it, as the drag takes it: the toolkit's idea can
    // lag behind the window manager's placing and moves of the window.
    QWidget& window = dlg.Widget();
    g_rcWindow = QRect(ScreenPlace(window), window.frameGeometry().size());
    // The popup, and the warning before it, open at the slot's lower left corner.
    const ButtonPos& slotRect = dlg.layouts().m_posMain[mainIndex];
    g_popupY = slotRect.y + slotRect.h + g_rcWindow.top();
    g_popupX = slotRect.x + g_rcWindow.left();
    if (OtherSlotHoldsLeftClick(mainIndex - ui::MainSlotFirst)) {
        g_leftClickWarn = 0;
    }
    g_leftClickWarnOk = 1;
    if (g_leftClickWarn != 0) {
        WarningDlg warning(&dlg.Widget());
        if (warning.DoModal() == WarningDeclined) {
            g_leftClickWarnOk = 0;
        }
        g_leftClickWarn = 0;
    }
    // The mouse may have gone while the warning was open: the box was closed for the end.
    if (g_leftClickWarnOk != 0 && !dlg.IsEnding()) {
        auto* menu = new CMenuDlg(&dlg.Widget());
        g_pMenuDlg = menu;
        g_menuDlgOpen = 1;
        menu->setGeometry(g_popupX, g_popupY, MenuDlgWindowWidth, MenuDlgWindowHeight);
        menu->show();
    }
    dlg.Widget().update();
}

void ui::CloseFunctionPopup() {
    if (g_pMenuDlg != nullptr) {
        g_pMenuDlg->DestroyWindow();
    }
    g_menuDlgOpen = 0;
}

bool ui::HandToFunctionPopup(QMouseEvent* event) {
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if (!release && !(event->buttons() & Qt::LeftButton)) {
        return false;
    }
    // Where the two popups meet, the group popup lies on top: it is asked first.
    PopupWindow* const popups[] = {g_subMenuOpen ? g_pSubMenuDlg : nullptr,
                                   g_menuDlgOpen ? g_pMenuDlg : nullptr};
    for (PopupWindow* popup : popups) {
        if (popup == nullptr || popup->IsWindowDestroyed() || !popup->isVisible()) {
            continue;
        }
        const QPointF local = event->globalPosition() - ScreenPlace(*popup);
        const QRegion shape = popup->mask().isEmpty() ? QRegion(popup->rect()) : popup->mask();
        if (!shape.contains(local.toPoint())) {
            continue;
        }
        QMouseEvent handed(event->type(), local, event->globalPosition(), event->button(),
                           event->buttons(), event->modifiers());
        QCoreApplication::sendEvent(popup, &handed);
        return true;
    }
    return false;
}
