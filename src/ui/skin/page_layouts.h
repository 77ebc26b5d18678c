// The window's layout tables and the four loaders that fill them from the skin layout files of
// the current language: the main page with the button-function names, the advanced page with
// the rectangles of the macro editor's child controls, the colour page and the warning popup.
// The page tables (PageLayouts) are members of the main window; the function names, the warning
// layout and the child-control rectangles are globals owned here. Each loader overwrites every
// entry of its key range, so nothing of an earlier language survives; no key outside the
// ranges is read, whatever a file holds. Loaded and read on the user-interface thread only.
#pragma once

#include "ui/skin/skin_layout_file.h"

#include <QString>
#include <array>

namespace ui {

constexpr int MainRectCount = 147;    // main page BUTTONPOS 0..146
constexpr int AdvRectCount = 52;      // advanced page BUTTONPOS 0..51
constexpr int ColorRectCount = 33;    // colour page BUTTONPOS 0..32
constexpr int WarnRectCount = 3;      // warning popup BUTTONPOS 0..2
constexpr int FunNameCount = 48;      // function codes 0..47; FUN_STRING 1..47 are read
constexpr int FrameButtonCount = 20;  // main entries 0..19, drawn and hit-tested on every page

// The four layout files and their language folders.
enum class SkinLayout { Main, Advance, Color, LBWarning };

// Full path of a layout file: skinDir + "/INI_EN/..._en.ini" when langSel is 1, else
// skinDir + "/INI_CN/....ini".
QString SkinLayoutPath(const QString& skinDir, SkinLayout layout, int langSel);

// The three pages' rectangles and labels (members of the main window).
struct PageLayouts {
    std::array<ButtonPos, MainRectCount> m_posMain{};
    std::array<QString, MainRectCount> m_strMain;
    std::array<ButtonPos, ColorRectCount> m_posColor{};
    std::array<QString, ColorRectCount> m_strColor;
    std::array<ButtonPos, AdvRectCount> m_posAdv{};
    std::array<QString, AdvRectCount> m_strAdv;
};

// Display names of the button function codes; entry 0 is never filled and stays empty.
extern std::array<QString, FunNameCount> g_strFunNames;
// Warning popup: 0 first button, 1 second button, 2 message area; and their texts.
extern std::array<ButtonPos, WarnRectCount> g_warnRects;
extern std::array<QString, WarnRectCount> g_strWarn;
// The macro editor's child controls (EDIT 2..5, MACRODISPLAY 1 and 2 of the advanced file).
extern RECT g_rcEditFireTime;   // EDIT 2
extern RECT g_rcEditRepeat;     // EDIT 3
extern RECT g_rcEditMacroName;  // EDIT 4
extern RECT g_rcEditTrack;      // EDIT 5
extern RECT g_rcMacroList;      // MACRODISPLAY 1
extern RECT g_rcStepList;       // MACRODISPLAY 2

// Main file: BUTTONPOS 0..146 into m_posMain / m_strMain, FUN_STRING 1..47 into g_strFunNames.
void LoadSkinMain(PageLayouts& layouts, SkinWindowHooks& hooks, const QString& skinDir,
                  int langSel);
// Advanced file: BUTTONPOS 0..51 into m_posAdv / m_strAdv, then EDIT 3, 2, 4, 5 and
// MACRODISPLAY 1, 2 into the child-control rectangles.
void LoadSkinAdvance(PageLayouts& layouts, SkinWindowHooks& hooks, const QString& skinDir,
                     int langSel);
// Colour file: BUTTONPOS 0..32 into m_posColor / m_strColor.
void LoadSkinColor(PageLayouts& layouts, SkinWindowHooks& hooks, const QString& skinDir,
                   int langSel);
// Warning file: BUTTONPOS 0..2 into g_warnRects / g_strWarn.
void LoadSkinLBWarning(SkinWindowHooks& hooks, const QString& skinDir, int langSel);

}  // namespace ui
