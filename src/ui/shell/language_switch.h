// Switching the user interface between Chinese and English while the program runs: the
// language is stored in config.ini, the four skin layouts and the user's macro file of the
// language are read again, the macro list follows on the advanced page, both menus are built
// again, the title is set again and the page is drawn anew in the new language. Nothing is
// written to the mouse and the profile is not saved. User-interface thread only.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class MacroControls;
class QWidget;

namespace ui {

struct PageLayouts;
class SkinWindowHooks;

// What the switch works on: the window's layout tables, its hooks for a missing layout file,
// its macro controls, its menu builder (OnInitMenu) and the window itself.
struct LanguageSwitchTarget {
    PageLayouts* layouts = nullptr;
    SkinWindowHooks* hooks = nullptr;
    MacroControls* macroControls = nullptr;
    std::function<void(std::uint8_t)> initMenu;
    QWidget* window = nullptr;
    QString title;
};

// language 0 Chinese, 1 English. Runs every step even when the language is the one in use.
void SwitchLanguage(std::uint8_t language, const LanguageSwitchTarget& target);

}  // namespace ui
