// Keeping the buttons on their macros. User-interface thread only.
#include "macro/macro_bindings.h"

#include <algorithm>
#include <optional>
#include <span>
#include <vector>

#include "common/paths.h"
#include "macro/macro_file_writer.h"
#include "macro/macro_record.h"
#include "platform/decimal.h"
#include "platform/ini.h"
#include "platform/ini_document.h"
#include "profile/button_code_translation.h"
#include "profile/config_check.h"
#include "profile/save_failures.h"
#include "profile/startup_config.h"

std::array<int, ProfileCount> g_mouseFirstButtonMacro = {NoUserMacro, NoUserMacro, NoUserMacro,
                                                         NoUserMacro};

namespace {

constexpr int LeftClick = 1;
// config.ini names a macro that is not in the user's file by a place after the file's list. The
// places stay within the twelve a user macro code can name: beyond them a code would mean
// nothing, or a keyboard key, and start-up would refuse the whole file. A macro without a free
// place is named "no function" there until the list is saved.
constexpr int FilePlaceLimit = MaxUserMacros;
constexpr int KeyValueSize = 5;  // as config.ini's K keys are read

using Row = std::array<std::int32_t, KeyFuncColumns>;

// The changes held in the window since the list last matched the user's macro file. While none
// is held, a place in the list and a place in the file are the same.
struct HeldChanges {
    bool held = false;
    int count = 0;  // macros in the window's list
    // Per macro of the window's list: its place in the file, or the place after the file's list
    // that config.ini names it by; -1 when config.ini cannot name it.
    std::array<int, UserMacroSlots> filePlace{};
    // Places of the file whose macros were deleted in the window.
    std::vector<int> deleted;
    // A button that got its factory function for a deleted macro: what it named, and what it got.
    struct Replaced {
        int row;
        int slot;
        int filePlace;
        int function;
    };
    std::vector<Replaced> replaced;
};

HeldChanges g_held;

bool IsUserMacroCode(int code, int count) {
    return code >= UserMacroFunctionBase && code < UserMacroFunctionBase + count;
}

void HoldChanges(int countBefore) {
    if (g_held.held) {
        return;
    }
    g_held = HeldChanges{};
    g_held.held = true;
    // From now on config.ini's K keys differ from KeyFunc: the store reads and saves them
    // through this module.
    SetButtonCodeTranslation({ButtonCodeForFile, TakeButtonCodesFromFile});
    g_held.count = std::clamp(countBefore, 0, MaxUserMacros);
    for (int j = 0; j < UserMacroSlots; ++j) {
        g_held.filePlace[j] = j;
    }
}

bool IsDeletedPlace(int place) {
    return std::find(g_held.deleted.begin(), g_held.deleted.end(), place) != g_held.deleted.end();
}

// A place config.ini may give a macro that is not in the file: one that names nothing else.
int FreePlace() {
    for (int place = 0; place < FilePlaceLimit; ++place) {
        const auto used = g_held.filePlace.begin() + g_held.count;
        if (std::find(g_held.filePlace.begin(), used, place) == used && !IsDeletedPlace(place)) {
            return place;
        }
    }
    return -1;
}

// Left click is kept on every profile: when no slot holds it, the first slot that got a factory
// function (the replacements of row r from firstRecord on) takes it, and its record says so, so
// that a dropped delete still knows the button as one it changed.
void KeepLeftClick(Row& row, int r, std::size_t firstRecord) {
    for (int k = 0; k < ButtonSlotCount; ++k) {
        if (row[k] == LeftClick) {
            return;
        }
    }
    for (std::size_t i = firstRecord; i < g_held.replaced.size(); ++i) {
        HeldChanges::Replaced& replaced = g_held.replaced[i];
        if (replaced.row == r) {
            row[replaced.slot] = LeftClick;
            replaced.function = LeftClick;
            return;
        }
    }
}

// A row read from config.ini, in the window's codes. A code that names no macro of the file
// while changes are held names none in the window either.
void TakeFileRow(Row& row, int r) {
    const std::size_t firstRecord = g_held.replaced.size();
    for (int k = 0; k < ButtonSlotCount; ++k) {
        const int code = row[k];
        if (code < UserMacroFunctionBase) {
            continue;
        }
        const int place = code - UserMacroFunctionBase;
        const auto listed = g_held.filePlace.begin() + g_held.count;
        const auto found = std::find(g_held.filePlace.begin(), listed, place);
        if (found != listed) {
            row[k] = UserMacroFunctionBase + static_cast<int>(found - g_held.filePlace.begin());
        } else if (IsDeletedPlace(place)) {
            row[k] = FactoryButtonFunction(r, k);
            g_held.replaced.push_back({r, k, place, row[k]});
        } else {
            row[k] = 0;
        }
    }
    KeepLeftClick(row, r, firstRecord);
}

QString ConfigSection(int row) {
    return QStringLiteral("Config") + platform::FormatInt(row + 1);
}

QString KKey(int slot) {
    return QStringLiteral("K") + platform::FormatInt(slot);
}

}  // namespace

int FactoryButtonFunction(int row, int slot) {
    if (slot < 0 || slot >= ButtonSlotCount) {
        return 0;
    }
    if (row <= 0) {
        return g_defaultKeyFunc[slot];
    }
    const QString section = QStringLiteral("CfgReset") + platform::FormatInt(row + 1);
    // As the Factory button does: factory sections that would not pass as profiles (cut short,
    // a code out of range) give way to the shipped ones. Taken as they are, such a code would be
    // saved over the user's button and start-up would then refuse the whole file.
    QString value;
    if (CheckFactorySections(g_strConfigIni)) {
        value = platform::ini::Document::Parse(ShippedConfigIni())
                    .Find(section, KKey(slot))
                    .value_or(QString())
                    .left(KeyValueSize - 1);
    } else {
        value = platform::GetPrivateProfileString(section, KKey(slot), QString(), KeyValueSize,
                                                  g_strConfigIni);
    }
    const int code = platform::Wtoi(value);
    return code >= UserMacroFunctionBase ? 0 : code;
}

void OnUserMacroDeleted(int index, int countBefore) {
    if (index < 0 || index >= countBefore || countBefore > MaxUserMacros) {
        return;
    }
    HoldChanges(countBefore);
    const int place = g_held.filePlace[index];
    if (place >= 0) {
        g_held.deleted.push_back(place);
    }
    std::copy(g_held.filePlace.begin() + index + 1, g_held.filePlace.end(),
              g_held.filePlace.begin() + index);
    g_held.count = countBefore - 1;

    const int deleted = UserMacroFunctionBase + index;
    for (int r = 0; r < ProfileCount; ++r) {
        Row& row = KeyFunc[r];
        const std::size_t firstRecord = g_held.replaced.size();
        for (int k = 0; k < ButtonSlotCount; ++k) {
            if (row[k] == deleted) {
                row[k] = FactoryButtonFunction(r, k);
                g_held.replaced.push_back({r, k, place, row[k]});
            } else if (row[k] > deleted && IsUserMacroCode(row[k], countBefore)) {
                --row[k];
            }
        }
        KeepLeftClick(row, r, firstRecord);
    }
    for (int& macro : g_mouseFirstButtonMacro) {
        if (macro == index) {
            macro = DeletedUserMacro;
        } else if (macro > index) {
            --macro;
        }
    }
}

void OnUserMacroInserted(int index, int countBefore) {
    if (index < 0 || index > countBefore || countBefore >= MaxUserMacros) {
        return;
    }
    HoldChanges(countBefore);
    std::copy_backward(g_held.filePlace.begin() + index, g_held.filePlace.end() - 1,
                       g_held.filePlace.end());
    g_held.filePlace[index] = -1;
    g_held.count = countBefore + 1;
    g_held.filePlace[index] = FreePlace();

    for (Row& row : KeyFunc) {
        for (int k = 0; k < ButtonSlotCount; ++k) {
            if (row[k] >= UserMacroFunctionBase + index && IsUserMacroCode(row[k], countBefore)) {
                ++row[k];
            }
        }
    }
    for (int& macro : g_mouseFirstButtonMacro) {
        if (macro >= index) {
            ++macro;
        }
    }
}

void OnUserMacroListReplaced() {
    // The mouse's macros are not in the new list, whatever now holds their places.
    for (int& macro : g_mouseFirstButtonMacro) {
        if (macro >= 0) {
            macro = DeletedUserMacro;
        }
    }
    if (!g_held.held) {
        return;
    }
    for (int r = 0; r < ProfileCount; ++r) {
        Row& row = KeyFunc[r];
        for (int k = 0; k < ButtonSlotCount; ++k) {
            row[k] = ButtonCodeForFile(g_strConfigIni, row[k]);
        }
    }
    for (const HeldChanges::Replaced& replaced : g_held.replaced) {
        std::int32_t& code = KeyFunc[replaced.row][replaced.slot];
        if (code == replaced.function && replaced.filePlace >= 0) {
            code = UserMacroFunctionBase + replaced.filePlace;
        }
    }
    g_held = HeldChanges{};
}

namespace {

// config.ini's K keys that change when the list in memory becomes the macro file: its codes as
// they are in the file (unsaved choices in the window stay unsaved), turned from the old file's
// places into the new file's.
std::vector<platform::ProfileWrite> HeldKeyWrites() {
    std::vector<platform::ProfileWrite> writes;
    if (!g_held.held) {
        return writes;
    }
    for (int r = 0; r < ProfileCount; ++r) {
        Row row{};
        std::array<bool, ButtonSlotCount> present{};
        for (int k = 0; k < ButtonSlotCount; ++k) {
            const QString text = platform::GetPrivateProfileString(
                ConfigSection(r), KKey(k), QString(), KeyValueSize, g_strConfigIni);
            present[k] = !text.isEmpty();
            row[k] = platform::Wtoi(text);
        }
        const Row before = row;
        TakeFileRow(row, r);
        for (int k = 0; k < ButtonSlotCount; ++k) {
            if (row[k] != before[k] && (present[k] || row[k] != 0)) {
                writes.push_back({ConfigSection(r), KKey(k), platform::FormatInt(row[k])});
            }
        }
    }
    return writes;
}

}  // namespace

void OnUserMacroListSaved() {
    const std::vector<platform::ProfileWrite> writes = HeldKeyWrites();
    if (!writes.empty()) {
        SaveIniWrites(writes, g_strConfigIni);
    }
    g_held = HeldChanges{};
}

bool SaveUserMacroList() {
    const std::optional<std::vector<platform::ProfileWrite>> list =
        MacroListSaveWrites(g_strMacroFile);
    if (!list) {
        return false;
    }
    // The list and the K keys that name its macros reach their files together or not at all: a
    // button never names another macro's place (config.ini is last, where the commit mark goes).
    const std::vector<platform::ProfileWrite> keys = HeldKeyWrites();
    const platform::FileWrites files[] = {{g_strMacroFile, *list}, {g_strConfigIni, keys}};
    if (!SaveIniWritesTogether(std::span(files, keys.empty() ? 1 : 2))) {
        return false;
    }
    g_held = HeldChanges{};
    return true;
}

int ButtonCodeForFile(const QString& path, int code) {
    if (!g_held.held || path != g_strConfigIni || code < UserMacroFunctionBase) {
        return code;
    }
    // A code that names no macro of the window's list must not come back naming one.
    const int place =
        IsUserMacroCode(code, g_held.count) ? g_held.filePlace[code - UserMacroFunctionBase] : -1;
    return place >= 0 ? UserMacroFunctionBase + place : 0;
}

void TakeButtonCodesFromFile(const QString& path) {
    if (!g_held.held || path != g_strConfigIni) {
        return;
    }
    // The rows are what config.ini holds now: a factory function written there for a deleted
    // macro stays, should the delete be dropped later.
    g_held.replaced.clear();
    for (int r = 0; r < ProfileCount; ++r) {
        TakeFileRow(KeyFunc[r], r);
    }
}

void ResetMacroBindings() {
    g_held = HeldChanges{};
    g_mouseFirstButtonMacro.fill(NoUserMacro);
}
