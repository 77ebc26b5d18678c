// Moving between profiles and profile files: the switch by the profile buttons, the factory
// restore, the export and import of the four profiles through a file the user picks, and the
// settings step of hiding the window. Each is built from the config.ini operations of
// config_store.h and touches no window: the caller repaints (and refills the macro list after
// a factory restore on the advanced page). The switch the mouse makes by itself runs in the
// device threads' follow-ups (device_threads.cpp), which load the new profile and ask the
// window for a repaint.
//
// User-interface thread only, like the state it moves.
#pragma once

#include <QString>

#include "platform/dialog_service.h"

// "All Files(*.ini)|*.ini||": the filter of both profile-file dialogs.
inline constexpr char ProfileFileFilter[] = "All Files(*.ini)|*.ini||";

// Profile p (1..4) becomes current: the settings in memory are saved into all four sections
// first, then p's section is loaded (when the save failed, memory is kept as it is: the load
// would bring back the file's older values). [Init] CurConfig waits for the next Apply.
void SwitchProfile(int p);

// Factory settings: the built-in button row for profile 1, [CfgReset2]..[CfgReset4] for the
// others, every other setting from [CfgReset2]; saved over [Config1]..[Config4] and reloaded.
// Where config.ini's factory sections are missing or would not pass as profiles, those of the
// shipped config.ini are taken instead (and the log says so).
// The macro list's part (the factory list of the language, on the advanced page) is the
// caller's: RestoreFactoryMacroList of macro_commands.h, right after.
void RestoreDefaults();

// The dialogs of the profile files, as the program asks for them.
platform::FileDialogRequest ExportDialogRequest();
platform::FileDialogRequest ImportDialogRequest();

// Asks for a file and writes [Config1]..[Config4] into it (other sections of an existing file
// stay). False when the user cancelled.
bool ExportProfiles();
// Asks for a file and loads it: every profile's button functions from its [Config1]..[Config4],
// every other setting from its [Config2]. Memory only until the next save. Only a whole file is
// taken (config_check.h: all four sections, every key the export writes, each value in range);
// any other is refused with a message naming the first section or key at fault, and nothing
// changes. False on cancel or refusal.
bool ImportProfiles();

// The settings step of the hide button: the current DPI level is kept in [Config6] as it
// always was, and every setting in memory stays as it is, as when the window is closed.
void HideSettingsStep();
