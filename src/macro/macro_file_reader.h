// Reading macro files: the built-in macros, the user's list (or any list file) and the single
// macro of an import, into the macro tables of macro_record.h. No reader touches a window; the
// callers refill the lists. User-interface thread only.
#pragma once

#include <QString>
#include <cstdint>

// Names and places of the macro files that ship beside the program.
inline constexpr char16_t ConstMacroFileName[] = u"constMacro.dat";
inline constexpr char16_t UserMacroFileChinese[] = u"Macro_CN.dat";
inline constexpr char16_t UserMacroFileEnglish[] = u"Macro_EN.dat";
inline constexpr char16_t FactoryMacroFileName[] = u"defMacro.dat";

// exeDir + "/constMacro.dat".
QString ConstMacroFilePath(const QString& exeDir);
// exeDir + "/Macro_EN.dat" for langSel 1, else "/Macro_CN.dat".
QString UserMacroFilePath(const QString& exeDir, std::uint8_t langSel);
// exeDir + "/skins/INI_EN/defMacro.dat" for langSel 1, else ".../INI_CN/defMacro.dat".
QString FactoryMacroFilePath(const QString& exeDir, std::uint8_t langSel);

// A count or lock flag as the readers take it: at most two characters, decimal conversion.
int ReadMacroFileNumber(const QString& section, const QString& key, const QString& path);

// OnReadConstMacro: g_constMacroCount and g_constMacros from path. At most 12 macros are read
// and counted.
void OnReadConstMacro(const QString& path);

// OnReadMacro: the first macro of path into g_macroBuf, its lock flag into g_importMacroSet.
// g_curMacro becomes the file's count less one (0 for none) only where that names an existing
// user macro; otherwise it stays, so that it never indexes past the list.
void OnReadMacro(const QString& path);

// OnReadMacroList: replaces g_macroCount, g_macros and g_macroSet by the list of path. The count
// is kept within 0..12; records beyond it keep their content. A file that is there but cannot be
// read is told and changes nothing, except that when it is the user's own macro file
// (g_strMacroFile) and asUsersList, the list becomes empty and MacroListUnread holds for it until
// a list is read. Returns whether the list was read.
bool OnReadMacroList(const QString& path, bool asUsersList = true);

// Whether the list in memory stands for path's macros without having been read from it: path is
// the user's macro file, which was there but could not be read. A list save must not replace it.
bool MacroListUnread(const QString& path);
