#include "ui/shell/language_switch.h"

#include <QLineEdit>
#include <QWidget>

#include "common/paths.h"
#include "macro/macro_bindings.h"
#include "macro/macro_file_reader.h"
#include "profile/config_store.h"
#include "profile/profile_settings.h"
#include "ui/controls/editable_list_box.h"
#include "ui/controls/list_box.h"
#include "ui/controls/macro_controls.h"
#include "ui/controls/program_menus.h"
#include "ui/shell/window_state.h"
#include "ui/skin/page_layouts.h"
#include "ui/skin/skin_image_cache.h"

namespace ui {

void SwitchLanguage(std::uint8_t language, const LanguageSwitchTarget& target) {
    g_langSel = language;
    SaveLangSel(g_strConfigIni, g_langSel);

    if (target.layouts != nullptr && target.hooks != nullptr) {
        LoadSkinMain(*target.layouts, *target.hooks, g_strSkinDir, g_langSel);
        LoadSkinColor(*target.layouts, *target.hooks, g_strSkinDir, g_langSel);
        LoadSkinAdvance(*target.layouts, *target.hooks, g_strSkinDir, g_langSel);
        LoadSkinLBWarning(*target.hooks, g_strSkinDir, g_langSel);
    }

    // From now on the user's macros are those of the language's file.
    g_strMacroFile = UserMacroFilePath(g_strExeDir, g_langSel);
    OnReadMacroList(g_strMacroFile);
    OnUserMacroListReplaced();

    if (g_page == PageAdvanced && target.macroControls != nullptr &&
        target.macroControls->Created()) {
        target.macroControls->RefillMacroList();
    }

    DestroyProgramMenus();
    if (target.initMenu) {
        target.initMenu(language);
    }

    if (target.window != nullptr) {
        target.window->setWindowTitle(target.title);
        // Every caption of the page changes with the language, whatever the page, and the
        // images are read afresh.
        DropSkinImageCache();
        target.window->update();
    }
}

}  // namespace ui
