#include "ui/pages/slot_captions.h"

#include "device/settings_image.h"
#include "macro/macro_record.h"
#include "ui/skin/page_layouts.h"

namespace ui {

std::array<QString, KeyNameCount> g_strKeyNames;

namespace {

constexpr std::int32_t LastUserMacroFunction = UserMacroFunctionBase + UserMacroSlots - 1;  // 62
constexpr std::int32_t LastKeyFunction = KeyFunctionBase + KeyNameCount - 1;                // 148

struct DpiOfCodeRow {
    std::uint8_t code;
    int dpi;
};
constexpr std::array<DpiOfCodeRow, 11> DpiOfCodeTable = {{
    {2, 400},
    {3, 600},
    {4, 800},
    {5, 1000},
    {6, 1200},
    {7, 1600},
    {9, 2000},
    {11, 2400},
    {13, 3200},
    {14, 4000},
    {15, 4800},
}};
constexpr int DpiOfOtherCodes = 200;

}  // namespace

QString FunctionCaption(std::int32_t code) {
    if (code >= 0 && code < FunNameCount) {
        return g_strFunNames[static_cast<std::size_t>(code)];
    }
    if (code >= UserMacroFunctionBase && code <= LastUserMacroFunction) {
        return MacroName(g_macros[static_cast<std::size_t>(code - UserMacroFunctionBase)]);
    }
    if (code >= KeyFunctionBase && code <= LastKeyFunction) {
        return QStringLiteral("键盘") +
               g_strKeyNames[static_cast<std::size_t>(code - KeyFunctionBase)];
    }
    return {};
}

int DpiOfCode(std::uint8_t code) {
    for (const DpiOfCodeRow& row : DpiOfCodeTable) {
        if (row.code == code) {
            return row.dpi;
        }
    }
    return DpiOfOtherCodes;
}

int DpiCaptionValue(std::uint32_t dpiLevel) {
    if (dpiLevel >= g_dpiCode.size()) {
        return DpiOfOtherCodes;
    }
    return DpiOfCode(g_dpiCode[dpiLevel]);
}

}  // namespace ui
