// Which user macro each button plays. A button function code names a user macro by its place in
// the list (50 + index), so a delete or an import would hand every button bound to a later macro
// to whichever macro moved into its place. This module keeps each binding on its macro:
//  - KeyFunc follows the list at once, when a macro is deleted, imported or made;
//  - the list's changes are held in the window until the list is saved to the user's macro file,
//    and until then config.ini goes on naming the macros by their places in that file: every
//    save of config.ini's K keys writes, and every read takes, the file's places. When the list
//    reaches its file, config.ini's K keys follow in the same step. So at every moment either
//    file is written, the two give after a restart the macros the main page shows.
//  - it keeps which user macro the mouse plays on each profile's first button since the last
//    Apply (the one the recoil adjustment moves), across the same changes.
// A button bound to a deleted macro gets its factory function: the built-in row for profile 1,
// [CfgReset<n>] of config.ini for the others, 0 where that would be a user macro itself; a
// profile left without left click by that gets left click on that button instead.
// User-interface thread only, like the tables it keeps in step.
#pragma once

#include <QString>
#include <array>

#include "profile/profile_settings.h"

// What the mouse plays on a profile's first button, as far as the user's macros go: the macro's
// index in the list, or one of these.
inline constexpr int NoUserMacro = -1;       // no user macro (or no Apply yet)
inline constexpr int DeletedUserMacro = -2;  // deleted from the window's list since (or the list
                                             // was replaced by another)
extern std::array<int, ProfileCount> g_mouseFirstButtonMacro;

// Macro index was deleted from a list of countBefore macros (the later ones moved down).
void OnUserMacroDeleted(int index, int countBefore);
// A macro was put at index of a list of countBefore macros (the later ones moved up; index ==
// countBefore for a new macro at the end).
void OnUserMacroInserted(int index, int countBefore);
// The list was replaced by another one (a list file opened, the other language's list, the
// factory list): what the window held is dropped, and every button names again the place it
// names in config.ini, as it did before the changes.
void OnUserMacroListReplaced();
// The list in memory is now the user's macro file: config.ini's K keys follow it.
void OnUserMacroListSaved();
// Saves the list to the user's macro file (the list save, with the lock flags) and has
// config.ini follow. Returns false, with config.ini as it was, when the list was not written.
bool SaveUserMacroList();

// The code path holds for a button function in memory: for config.ini the place in the user's
// macro file of the macro it names; for any other file the code itself.
int ButtonCodeForFile(const QString& path, int code);
// After KeyFunc was read from path: for config.ini, the codes become those of the window's list
// (and a button bound to a deleted macro gets its factory function).
void TakeButtonCodesFromFile(const QString& path);

// The factory function of a button slot of profile row r (0..3).
int FactoryButtonFunction(int row, int slot);

// Forgets every held change and what the mouse plays (a fresh run).
void ResetMacroBindings();
