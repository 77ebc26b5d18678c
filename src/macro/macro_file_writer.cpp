// Macro file writers.
#include "macro/macro_file_writer.h"

#include <algorithm>

#include "macro/macro_field_string.h"
#include "macro/macro_record.h"
#include "platform/decimal.h"
#include "platform/ini.h"

namespace {

const QString SectionMacros = QStringLiteral("Macros");
const QString SectionMacrosSet = QStringLiteral("MacrosSet");
const QString KeyMacroNum = QStringLiteral("macroNum");

void Write(const QString& section, long long key, const QString& value, const QString& path) {
    platform::WritePrivateProfileString(section, platform::FormatInt(key), value, path);
}

// The macros of the list, kept within the table whatever g_macroCount holds.
int ListedMacros() {
    return std::clamp<int>(g_macroCount, 0, MaxUserMacros);
}

void WriteListExport(const QString& path) {
    int c = 0;
    for (int i = 0; i < ListedMacros(); ++i) {
        if (g_macroSet[i] == 0) {
            g_macroExport[c++] = g_macros[i];
        }
    }
    platform::WritePrivateProfileString(SectionMacros, KeyMacroNum, platform::FormatInt(c), path);
    for (int j = 0; j < c; ++j) {
        Write(SectionMacros, j, MacroFieldString(g_macroExport[j], MacroFieldCountNoLed), path);
    }
}

void WriteListSave(const QString& path) {
    const int n = ListedMacros();
    for (int i = 0; i < n; ++i) {
        Write(SectionMacrosSet, i, platform::FormatInt(static_cast<std::int32_t>(g_macroSet[i])),
              path);
    }
    platform::WritePrivateProfileString(SectionMacros, KeyMacroNum, platform::FormatInt(n), path);
    for (int j = 0; j < n; ++j) {
        Write(SectionMacros, j, MacroFieldString(g_macros[j]), path);
    }
}

}  // namespace

void OnWriteMacro(const QString& path, int selectedEntry) {
    if (selectedEntry < 0 || selectedEntry >= ListedMacros()) {
        return;
    }
    g_macroBuf = g_macros[selectedEntry];
    platform::WritePrivateProfileString(SectionMacros, KeyMacroNum, QStringLiteral("1"), path);
    Write(SectionMacros, 0, MacroFieldString(g_macroBuf), path);
}

void OnWriteMacroList(const QString& path, int mode) {
    if (mode == 0) {
        WriteListExport(path);
    } else {
        WriteListSave(path);
    }
}

void SaveMacro(const QString& path, int index) {
    if (index < 0 || index >= ListedMacros()) {
        return;
    }
    Write(SectionMacros, index, MacroFieldString(g_macros[index]), path);
}
