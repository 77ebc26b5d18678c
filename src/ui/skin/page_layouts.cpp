#include "ui/skin/page_layouts.h"

#include <cstddef>

namespace ui {

std::array<QString, FunNameCount> g_strFunNames;
std::array<ButtonPos, WarnRectCount> g_warnRects{};
std::array<QString, WarnRectCount> g_strWarn;
RECT g_rcEditFireTime;
RECT g_rcEditRepeat;
RECT g_rcEditMacroName;
RECT g_rcEditTrack;
RECT g_rcMacroList;
RECT g_rcStepList;

namespace {

const QString ButtonPosSection = QStringLiteral("BUTTONPOS");
const QString FunStringSection = QStringLiteral("FUN_STRING");
const QString EditSection = QStringLiteral("EDIT");
const QString MacroDisplaySection = QStringLiteral("MACRODISPLAY");

// Every entry of the table from BUTTONPOS 0 .. N-1, in ascending order; the key range is the
// table's own size, so no file can reach past it.
template <std::size_t N>
void LoadRects(const QString& file, std::array<ButtonPos, N>& rects,
               std::array<QString, N>& labels) {
    SkinFields fields;
    for (std::size_t key = 0; key < N; ++key) {
        ReadIniFields(file, ButtonPosSection, static_cast<int>(key), fields);
        rects[key] = SkinFieldRect(fields);
        labels[key] = fields[5];
    }
}

RECT ReadControlRect(const QString& file, const QString& section, int key) {
    SkinFields fields;
    ReadIniFields(file, section, key, fields);
    return ToRect(SkinFieldRect(fields));
}

}  // namespace

QString SkinLayoutPath(const QString& skinDir, SkinLayout layout, int langSel) {
    const bool english = langSel == 1;
    const char* name = "";
    switch (layout) {
        case SkinLayout::Main:
            name = english ? "/INI_EN/skin_main_en.ini" : "/INI_CN/skin_main.ini";
            break;
        case SkinLayout::Advance:
            name = english ? "/INI_EN/skin_advance_en.ini" : "/INI_CN/skin_advance.ini";
            break;
        case SkinLayout::Color:
            name = english ? "/INI_EN/skin_color_en.ini" : "/INI_CN/skin_color.ini";
            break;
        case SkinLayout::LBWarning:
            name = english ? "/INI_EN/LBWarning_en.ini" : "/INI_CN/LBWarning.ini";
            break;
    }
    return skinDir + QLatin1String(name);
}

void LoadSkinMain(PageLayouts& layouts, SkinWindowHooks& hooks, const QString& skinDir,
                  int langSel) {
    const QString file = SkinLayoutPath(skinDir, SkinLayout::Main, langSel);
    CheckSkinLayoutFile(hooks, file);
    LoadRects(file, layouts.m_posMain, layouts.m_strMain);
    SkinFields fields;
    for (int key = 1; key < FunNameCount; ++key) {
        ReadIniFields(file, FunStringSection, key, fields);
        g_strFunNames[key] = fields[0];
    }
}

void LoadSkinAdvance(PageLayouts& layouts, SkinWindowHooks& hooks, const QString& skinDir,
                     int langSel) {
    const QString file = SkinLayoutPath(skinDir, SkinLayout::Advance, langSel);
    CheckSkinLayoutFile(hooks, file);
    LoadRects(file, layouts.m_posAdv, layouts.m_strAdv);
    g_rcEditRepeat = ReadControlRect(file, EditSection, 3);
    g_rcEditFireTime = ReadControlRect(file, EditSection, 2);
    g_rcEditMacroName = ReadControlRect(file, EditSection, 4);
    g_rcEditTrack = ReadControlRect(file, EditSection, 5);
    g_rcMacroList = ReadControlRect(file, MacroDisplaySection, 1);
    g_rcStepList = ReadControlRect(file, MacroDisplaySection, 2);
}

void LoadSkinColor(PageLayouts& layouts, SkinWindowHooks& hooks, const QString& skinDir,
                   int langSel) {
    const QString file = SkinLayoutPath(skinDir, SkinLayout::Color, langSel);
    CheckSkinLayoutFile(hooks, file);
    LoadRects(file, layouts.m_posColor, layouts.m_strColor);
}

void LoadSkinLBWarning(SkinWindowHooks& hooks, const QString& skinDir, int langSel) {
    const QString file = SkinLayoutPath(skinDir, SkinLayout::LBWarning, langSel);
    CheckSkinLayoutFile(hooks, file);
    LoadRects(file, g_warnRects, g_strWarn);
}

}  // namespace ui
