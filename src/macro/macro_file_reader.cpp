// Macro file readers.
#include "macro/macro_file_reader.h"

#include <QFileInfo>
#include <algorithm>

#include "common/log_file.h"
#include "common/paths.h"
#include "macro/macro_field_string.h"
#include "macro/macro_record.h"
#include "platform/decimal.h"
#include "platform/ini.h"
#include "platform/message_service.h"
#include "profile/profile_settings.h"

namespace {

const QString SectionMacros = QStringLiteral("Macros");
const QString SectionMacrosSet = QStringLiteral("MacrosSet");
const QString KeyMacroNum = QStringLiteral("macroNum");
constexpr int NumberBuffer = 3;  // two characters and the terminator

// The user's macro file when it was there but could not be read: the list in memory is then not
// its content, and a list save must not put that in its place.
QString g_unreadMacroList;

// A list file that is there but cannot be read (not a regular file, no permission) is told,
// never shown as an empty list. Returns whether the file is such a one.
bool RefuseUnreadableList(const QString& path) {
    if (platform::ReadStateOf(path) != platform::FileReadState::Unreadable) {
        return false;
    }
    g_LogFile.Write(QStringLiteral("Cannot read the macro list ") + path + QStringLiteral(": ") +
                    platform::UnreadableReason(path));
    const QString name = QFileInfo(path).fileName();
    platform::ShowMessage(
        g_langSel == 1
            ? QStringLiteral("Cannot read ") + name + QStringLiteral(", its macros are not shown!")
            : QStringLiteral("无法读取") + name + QStringLiteral(",其中的宏未显示!"));
    return true;
}

// A missing file is told, then read as if it were there: every value empty.
void OpenMacroFile(const QString& path) {
    if (!platform::FileExists(path)) {
        platform::ShowMessage(QStringLiteral("找不到配置文件"));
    }
}

QString ReadFieldString(int key, const QString& path) {
    return platform::GetPrivateProfileString(SectionMacros, platform::FormatInt(key), QString(),
                                             MacroFieldReadBuffer, path);
}

}  // namespace

QString ConstMacroFilePath(const QString& exeDir) {
    return exeDir + u'/' + QString::fromUtf16(ConstMacroFileName);
}

QString UserMacroFilePath(const QString& exeDir, std::uint8_t langSel) {
    return exeDir + u'/' +
           QString::fromUtf16(langSel == 1 ? UserMacroFileEnglish : UserMacroFileChinese);
}

QString FactoryMacroFilePath(const QString& exeDir, std::uint8_t langSel) {
    return exeDir +
           (langSel == 1 ? QStringLiteral("/skins/INI_EN/") : QStringLiteral("/skins/INI_CN/")) +
           QString::fromUtf16(FactoryMacroFileName);
}

int ReadMacroFileNumber(const QString& section, const QString& key, const QString& path) {
    return platform::Wtoi(
        platform::GetPrivateProfileString(section, key, QString(), NumberBuffer, path));
}

void OnReadConstMacro(const QString& path) {
    g_LogFile.Write(QStringLiteral("In OnReadConstMacro"));
    OpenMacroFile(path);
    const int count = ReadMacroFileNumber(SectionMacros, KeyMacroNum, path);
    g_constMacroCount = static_cast<std::int16_t>(std::min(count, ConstMacroSlots));
    g_LogFile.Write(QStringLiteral("Before for loop!"));
    for (int i = 0; i < g_constMacroCount; ++i) {
        g_LogFile.Write(QStringLiteral("In for loop!"));
        DecodeMacroFieldString(ReadFieldString(i, path), g_constMacros[i]);
        RecountSteps(g_constMacros[i]);
    }
    g_LogFile.Write(QStringLiteral("Finish OnReadConstMacro"));
}

void OnReadMacro(const QString& path) {
    g_LogFile.Write(QStringLiteral("In OnReadMacro!"));
    OpenMacroFile(path);
    const int count = ReadMacroFileNumber(SectionMacros, KeyMacroNum, path);
    if (count > 1) {
        platform::ShowMessage(QStringLiteral("当前文件包含多个宏,导入第一个宏!"));
    }
    const int last = count > 0 ? count - 1 : 0;
    if (last == 0 || last < g_macroCount) {
        g_curMacro = last;
    }
    g_importMacroSet = static_cast<std::uint32_t>(
        ReadMacroFileNumber(SectionMacrosSet, QStringLiteral("0"), path));
    DecodeMacroFieldString(ReadFieldString(0, path), g_macroBuf);
    RecountSteps(g_macroBuf);
    g_LogFile.Write(QStringLiteral("Finish OnReadMacro!"));
}

bool OnReadMacroList(const QString& path, bool asUsersList) {
    g_LogFile.Write(QStringLiteral("in OnReadMacro!"));
    if (RefuseUnreadableList(path)) {
        // A list the user opened leaves the one shown as it is; the user's own file read as the
        // language's list gives an empty list, which no list save may write over the macros the
        // file still holds.
        if (asUsersList && path == g_strMacroFile) {
            g_macroCount = 0;
            g_unreadMacroList = path;
        }
        return false;
    }
    g_unreadMacroList.clear();
    OpenMacroFile(path);
    const int count = ReadMacroFileNumber(SectionMacros, KeyMacroNum, path);
    // The list holds at most 12 macros and never a negative number of them.
    g_macroCount = static_cast<std::int16_t>(std::clamp(count, 0, MaxUserMacros));
    for (int i = 0; i < g_macroCount; ++i) {
        const QString value = ReadFieldString(i, path);
        g_macroSet[i] = static_cast<std::uint32_t>(
            ReadMacroFileNumber(SectionMacrosSet, platform::FormatInt(i), path));
        DecodeMacroFieldString(value, g_macros[i]);
        RecountSteps(g_macros[i]);
    }
    return true;
}

bool MacroListUnread(const QString& path) {
    return !g_unreadMacroList.isEmpty() && path == g_unreadMacroList;
}
