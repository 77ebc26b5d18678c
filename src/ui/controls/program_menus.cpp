#include "ui/controls/program_menus.h"

#include "ui/controls/menu_resources.h"

#include <QAction>

CKveMenu g_menuMacro;
CKveMenu g_menuTray;

namespace ui {

namespace {

// The records start again at 0 on every build; the running index of the command items goes on
// counting across builds (a language switch), as it always has.
void Build(CKveMenu& menu, int resourceId) {
    menu.Attach(LoadMenuResource(resourceId));
    menu.itemCount = 0;
    if (menu.menu() != nullptr) {
        menu.ChangeMenuItem(menu.menu(), false);
    }
}

void Route(QMenu* menu, OwnerDrawHandler* owner) {
    if (menu == nullptr) {
        return;
    }
    if (auto* owned = qobject_cast<KveMenuWidget*>(menu)) {
        owned->SetOwnerDrawHandler(owner);
    }
    for (QAction* action : menu->actions()) {
        Route(action->menu(), owner);
    }
}

}  // namespace

void BuildProgramMenus(std::uint8_t language) {
    const bool english = language == 1;
    Build(g_menuMacro, english ? MenuMacroEnglish : MenuMacroChinese);
    Build(g_menuTray, english ? MenuTrayEnglish : MenuTrayChinese);
}

void RouteProgramMenuDrawing(OwnerDrawHandler* owner) {
    if (owner == nullptr) {
        return;
    }
    Route(g_menuMacro.menu(), owner);
    Route(g_menuTray.menu(), owner);
}

void DestroyProgramMenus() {
    g_menuMacro.DestroyMenu();
    g_menuTray.DestroyMenu();
}

}  // namespace ui
