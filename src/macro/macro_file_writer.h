// Writing macro files: the single-macro export, the list export (mode 0: unlocked macros, no
// LED records), the list save (mode 1: everything with the lock flags) and the rewrite of one
// macro after a recoil adjustment. Writers only add or replace keys; they remove nothing. Each
// writer replaces the file once (one transaction), so a kill leaves the old file or the new one.
// Each writer returns whether the file was written; one that could not be is said
// (save_failures.h). A list save never replaces the user's macro file while the list in memory
// was not read from it (MacroListUnread). Writers with nothing to write succeed.
// User-interface thread (the recoil adjustment is handed to it before SaveMacro runs).
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "platform/ini.h"

// OnWriteMacro: exports g_macros[selectedEntry] (the macro-name list's selection) through
// g_macroBuf as a file of one macro. With no selection or one outside the list nothing is
// written.
bool OnWriteMacro(const QString& path, int selectedEntry);

// OnWriteMacroList: mode 0 is the list export, any other mode the list save.
bool OnWriteMacroList(const QString& path, int mode);

// The writes of the list save to path, for a caller that saves them together with another file;
// nullopt (said) when the list must not replace that file (MacroListUnread).
std::optional<std::vector<platform::ProfileWrite>> MacroListSaveWrites(const QString& path);

// SaveMacro: rewrites key index of Macros with g_macros[index]; nothing for an index outside
// the list.
bool SaveMacro(const QString& path, int index);
