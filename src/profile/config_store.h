// config.ini and the profile files: the five operations that move KeyFunc and ProfileSettings
// (profile_settings.h) between memory and an INI file. Every operation takes the file as its
// first argument (config.ini, or a profile file the user exports or imports); each value is
// read by one private-profile call and written by one private-profile write (a full save makes
// its writes one transaction), numbers read with Wtoi and written with "%d".
//
// Sections: [Init] (current profile, language, unused device keys), [Config1]..[Config4] (one
// per profile; only the K keys differ between them after a save), [CfgReset2]..[CfgReset4]
// (factory values, only read) and any other [Config<n>] a caller names.
//
// User-interface thread only, like the state it moves.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// Reads [Init]: the current profile and the language. A CurConfig above 4 is reported with
// "CurConfig error!"; any CurConfig outside 1..4 then selects profile 1, so the profile row
// never leaves the four rows of the per-profile tables.
void ReadInitSection(QString path);

// Loads KeyFunc and ProfileSettings. The K keys of row r always come from section
// prefix + (r + 1) for all four rows, every other key from section prefix + n; the prefix is
// "CfgReset" when fromReset (row 0 then takes the built-in g_defaultKeyFunc) and "Config"
// otherwise. Missing keys read as 0. In config.ini a K key names a user macro by its place in
// the user's macro file, which may differ from its place in the window's list until the list is
// saved: both ways are translated here, through the translation the macro bindings install
// (button_code_translation.h).
void OnReadConfig(QString path, int n, bool fromReset);
// The same load from the text of a config.ini (the shipped one) instead of a file.
void OnReadConfigText(const QByteArray& content, int n, bool fromReset);

// Saves. Each returns whether the file was written; one that could not be is said
// (save_failures.h): the log names the file and why, the user is told.

// Writes [Config1]..[Config4] in full: each its own K0..K6 and the same current settings.
// n has no effect on what is written.
bool SaveAllConfigs(QString path, int n);

// Writes DPI_LEVEL alone into [Config<n>], for any n.
bool SaveDpiLevel(QString path, int n);

// Writes [Init] CurConfig = n.
bool SaveCurConfig(QString path, int n);

// Writes [Init] LANG_SEL = language.
bool SaveLangSel(QString path, std::uint8_t language);

// From now on the reads of ReadInitSection and OnReadConfig from path take its values from
// content instead: start-up gives the shipped config.ini for a config.ini it refused but had to
// leave alone (it cannot be read, moved or replaced), so that no reload (a profile switch made at
// the mouse, the factory restore) ever loads zeros or values out of range. Its saves still go to
// the file, and fail. An empty path ends it.
void SetConfigStandIn(const QString& path, const QByteArray& content);
