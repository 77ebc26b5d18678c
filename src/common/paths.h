// The program's paths. The program keeps all its files beside itself, so every path is built
// from the executable's folder (no trailing separator), or from the user's copy of it when the
// user cannot write that folder (app/core/program_files_dir.h, which start-up asks). The
// application object sets g_strExeDir, start-up the others, the language switch g_strMacroFile
// again.
// Every layer reads these, so they live below all of them, beside the platform layer.
// User-interface thread state: written at start-up and on a language switch, read by the
// loaders and savers that run on that thread.
#pragma once

#include <QString>
#include <cstdint>

extern QString g_strExeDir;     // the executable's folder, or the user's copy of it
extern QString g_strSkinDir;    // g_strExeDir + "/skins"
extern QString g_strConfigIni;  // g_strSkinDir + "/INI_CFG/config.ini"
extern QString g_strMacroFile;  // the user's macro file of the UI language

QString SkinDirOf(const QString& exeDir);
QString ConfigIniOf(const QString& skinDir);
// "Macro_EN.dat" beside the program for language 1 (English), "Macro_CN.dat" for any other.
QString MacroFileOf(const QString& exeDir, std::uint8_t langSel);
