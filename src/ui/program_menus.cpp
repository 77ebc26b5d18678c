#include "ui/program_menus.h"

#include "ui/menu_resources.h"

CKveMenu g_menuMacro;
CKveMenu g_menuTray;

namespace ui {

namespace {

void Build(CKveMenu& menu, int resourceId) {
    menu.Attach(LoadMenuResource(resourceId));
    menu.itemCount = 0;
    menu.nextIndex = 0;
    if (menu.menu() != nullptr) {
        menu.ChangeMenuItem(menu.menu(), true);
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
