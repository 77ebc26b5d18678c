// The program's menu resources as data: the macro-editor context menu (154 Chinese, 161
// English), the notification-area menu (157 / 162) and the macro-list menu (163), and the loader
// that turns one into a menu tree (the stand-in for LoadMenuW). The tables are constant; a
// loaded tree belongs to whoever loads it. User-interface thread only.
#pragma once

#include <memory>
#include <span>

class KveMenuWidget;

inline constexpr int MenuMacroChinese = 154;
inline constexpr int MenuMacroEnglish = 161;
inline constexpr int MenuTrayChinese = 157;
inline constexpr int MenuTrayEnglish = 162;
inline constexpr int MenuMacroList = 163;

// Command id a menu reports for an item that opens a submenu, and for a separator.
inline constexpr int MenuIdPopup = -1;
inline constexpr int MenuIdSeparator = 0;

// One item of a menu resource, in resource order: depth 0 is the menu bar, depth 1 the items of
// a pop-up at depth 0, and so on. A pop-up's items directly follow it.
struct MenuResourceItem {
    int depth;
    const char16_t* text;
    int id;  // command id, MenuIdPopup or MenuIdSeparator
};

// The items of resource id; empty for an id the program does not have.
std::span<const MenuResourceItem> MenuResourceItems(int resourceId);

// Builds the menu tree of resource id; nullptr for an id the program does not have. The top
// menu stands for the menu handle; its pop-ups are reached through their actions' submenus.
std::unique_ptr<KveMenuWidget> LoadMenuResource(int resourceId);
