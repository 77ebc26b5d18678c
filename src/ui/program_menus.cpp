#include "ui/program_menus.h"

#include "ui/menu_resources.h"

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

}  // namespace

void BuildProgramMenus(std::uint8_t language) {
    const bool english = language == 1;
    Build(g_menuMacro, english ? MenuMacroEnglish : MenuMacroChinese);
    Build(g_menuTray, english ? MenuTrayEnglish : MenuTrayChinese);
}

void DestroyProgramMenus() {
    g_menuMacro.DestroyMenu();
    g_menuTray.DestroyMenu();
}

}  // namespace ui
