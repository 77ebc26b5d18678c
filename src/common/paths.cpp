#include "common/paths.h"

QString g_strExeDir;
QString g_strSkinDir;
QString g_strConfigIni;
QString g_strMacroFile;

QString SkinDirOf(const QString& exeDir) {
    return exeDir + QStringLiteral("/skins");
}

QString ConfigIniOf(const QString& skinDir) {
    return skinDir + QStringLiteral("/INI_CFG/config.ini");
}

QString MacroFileOf(const QString& exeDir, std::uint8_t langSel) {
    return exeDir +
           (langSel == 1 ? QStringLiteral("/Macro_EN.dat") : QStringLiteral("/Macro_CN.dat"));
}
