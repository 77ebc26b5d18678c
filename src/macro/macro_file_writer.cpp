// Macro file writers.
#include "macro/macro_file_writer.h"

#include <algorithm>
#include <vector>

#include "macro/macro_field_string.h"
#include "macro/macro_record.h"
#include "platform/decimal.h"
#include "platform/ini.h"

namespace {

const QString SectionMacros = QStringLiteral("Macros");
const QString SectionMacrosSet = QStringLiteral("MacrosSet");
const QString KeyMacroNum = QStringLiteral("macroNum");

// The writes of one writer, made as one transaction of the INI layer: the file ends byte for
// byte as the writes one by one would leave it, but is replaced once, so a kill in the middle
// leaves the old list or the new one, never a mix of both.
class FileWrites {
public:
    void Add(const QString& section, const QString& key, const QString& value) {
        writes_.push_back({section, key, value});
    }
    void Add(const QString& section, long long key, const QString& value) {
        Add(section, platform::FormatInt(key), value);
    }
    void Commit(const QString& path) const { platform::WritePrivateProfileStrings(writes_, path); }

private:
    std::vector<platform::ProfileWrite> writes_;
};

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
    FileWrites writes;
    writes.Add(SectionMacros, KeyMacroNum, platform::FormatInt(c));
    for (int j = 0; j < c; ++j) {
        writes.Add(SectionMacros, j, MacroFieldString(g_macroExport[j], MacroFieldCountNoLed));
    }
    writes.Commit(path);
}

void WriteListSave(const QString& path) {
    const int n = ListedMacros();
    FileWrites writes;
    for (int i = 0; i < n; ++i) {
        writes.Add(SectionMacrosSet, i,
                   platform::FormatInt(static_cast<std::int32_t>(g_macroSet[i])));
    }
    writes.Add(SectionMacros, KeyMacroNum, platform::FormatInt(n));
    for (int j = 0; j < n; ++j) {
        writes.Add(SectionMacros, j, MacroFieldString(g_macros[j]));
    }
    writes.Commit(path);
}

}  // namespace

void OnWriteMacro(const QString& path, int selectedEntry) {
    if (selectedEntry < 0 || selectedEntry >= ListedMacros()) {
        return;
    }
    g_macroBuf = g_macros[selectedEntry];
    FileWrites writes;
    writes.Add(SectionMacros, KeyMacroNum, QStringLiteral("1"));
    writes.Add(SectionMacros, 0, MacroFieldString(g_macroBuf));
    writes.Commit(path);
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
    platform::WritePrivateProfileString(SectionMacros, platform::FormatInt(index),
                                        MacroFieldString(g_macros[index]), path);
}
