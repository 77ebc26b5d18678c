// Macro file writers.
#include "macro/macro_file_writer.h"

#include <algorithm>
#include <vector>

#include "macro/macro_field_string.h"
#include "macro/macro_file_reader.h"
#include "macro/macro_record.h"
#include "platform/decimal.h"
#include "platform/ini.h"
#include "profile/save_failures.h"

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
    bool Commit(const QString& path) const { return SaveIniWrites(writes_, path); }
    std::vector<platform::ProfileWrite> Take() { return std::move(writes_); }

private:
    std::vector<platform::ProfileWrite> writes_;
};

// The macros of the list, kept within the table whatever g_macroCount holds.
int ListedMacros() {
    return std::clamp<int>(g_macroCount, 0, MaxUserMacros);
}

bool WriteListExport(const QString& path) {
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
    return writes.Commit(path);
}

}  // namespace

std::optional<std::vector<platform::ProfileWrite>> MacroListSaveWrites(const QString& path) {
    if (MacroListUnread(path)) {
        ReportSaveFailure(path, QStringLiteral("it could not be read when the list was loaded, "
                                               "and saving the list would lose its macros"));
        return std::nullopt;
    }
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
    return writes.Take();
}

bool OnWriteMacro(const QString& path, int selectedEntry) {
    if (selectedEntry < 0 || selectedEntry >= ListedMacros()) {
        return true;
    }
    g_macroBuf = g_macros[selectedEntry];
    FileWrites writes;
    writes.Add(SectionMacros, KeyMacroNum, QStringLiteral("1"));
    writes.Add(SectionMacros, 0, MacroFieldString(g_macroBuf));
    return writes.Commit(path);
}

bool OnWriteMacroList(const QString& path, int mode) {
    if (mode == 0) {
        return WriteListExport(path);
    }
    const std::optional<std::vector<platform::ProfileWrite>> writes = MacroListSaveWrites(path);
    return writes && SaveIniWrites(*writes, path);
}

bool SaveMacro(const QString& path, int index) {
    if (index < 0 || index >= ListedMacros()) {
        return true;
    }
    FileWrites writes;
    writes.Add(SectionMacros, index, MacroFieldString(g_macros[index]));
    return writes.Commit(path);
}
