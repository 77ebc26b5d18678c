#include "profile/startup_config.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/log_file.h"
#include "platform/decimal.h"
#include "platform/ini.h"
#include "platform/ini_document.h"
#include "platform/regular_file.h"
#include "profile/config_keys.h"
#include "profile/config_store.h"

namespace {

const QString ShippedConfigResource = QStringLiteral(":/shipped/skins/INI_CFG/config.ini");
constexpr int SetAsideAttempts = 100;

bool IsSymLink(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

QString ErrnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Renames from to to unless to exists, in one step where the file system can.
bool RenameNoReplace(const QString& from, const QString& to) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // A file system that cannot refuse the replace itself: look first.
    struct stat st {};
    if (::lstat(target.constData(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(source.constData(), target.constData()) == 0;
}

// Moves path beside itself to "<name>.bad-YYYYMMDD-hhmmss" (then "-2", "-3", ... when taken);
// returns the new name, or an empty one with why set.
QString SetAside(const QString& path, const QDateTime& now, QString& why) {
    const QString base =
        path + QStringLiteral(".bad-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 1; n <= SetAsideAttempts; ++n) {
        const QString candidate = n == 1 ? base : base + QLatin1Char('-') + QString::number(n);
        if (RenameNoReplace(path, candidate)) {
            return candidate;
        }
        if (errno != EEXIST) {
            why = QStringLiteral("it cannot be moved: ") + ErrnoText();
            return QString();
        }
    }
    why = QStringLiteral("no free name to move it to");
    return QString();
}

// A copy set aside at an earlier start that holds exactly path's bytes: the same bad file is
// kept once, not once per start.
QString EarlierCopyOf(const QString& path) {
    const platform::RegularFileContent bad = platform::ReadRegularFile(path);
    if (bad.result != platform::FileRead::Read) {
        return QString();
    }
    const QFileInfo file(path);
    const QDir folder = file.absoluteDir();
    const QStringList names = folder.entryList({file.fileName() + QStringLiteral(".bad-*")},
                                               QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        const QString candidate = folder.filePath(name);
        if (IsSymLink(candidate)) {
            continue;
        }
        const platform::RegularFileContent copy = platform::ReadRegularFile(candidate);
        if (copy.result == platform::FileRead::Read && copy.bytes == bad.bytes) {
            return candidate;
        }
    }
    return QString();
}

// The shipped file, with the language of the refused file where that file names one: the user
// keeps the language they chose.
QByteArray ReplacementFor(const QString& refused) {
    const QByteArray shipped = ShippedConfigIni();
    const QString language = platform::GetPrivateProfileString(
        InitSectionName(), QStringLiteral("LANG_SEL"), QString(), ShortValue, refused);
    if (language.isEmpty()) {
        return shipped;
    }
    return platform::ini::Document::Parse(shipped).WithValue(
        InitSectionName(), QStringLiteral("LANG_SEL"),
        platform::FormatInt(platform::Wtoi(language) == 1 ? 1 : 0));
}

void Log(const QString& path, const StartupConfig& result, const QString& why, bool earlierCopy) {
    QString line = QStringLiteral("config.ini refused: ") + path + QStringLiteral(": ") +
                   result.fault->Describe() + QStringLiteral("; ");
    if (result.outcome == StartupConfig::Outcome::LeftAlone) {
        line += QStringLiteral("left as it is (") + why +
                QStringLiteral("), running on the shipped settings; its saves will fail");
    } else if (!result.setAsidePath.isEmpty()) {
        line +=
            (earlierCopy ? QStringLiteral("already kept as ") : QStringLiteral("set aside as ")) +
            result.setAsidePath + QStringLiteral(", the shipped config.ini is in its place");
    } else {
        line += QStringLiteral("the shipped config.ini is in its place");
    }
    g_LogFile.Write(line);
}

}  // namespace

QByteArray ShippedConfigIni() {
    QFile file(ShippedConfigResource);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

StartupConfig PrepareConfigIni(const QString& path, const QDateTime& now) {
    StartupConfig result;
    SetConfigStandIn(QString(), QByteArray());
    result.fault = CheckConfigIni(path);
    if (!result.fault) {
        return result;
    }

    QByteArray replacement = ShippedConfigIni();
    QString why;
    bool place = false;
    bool earlierCopy = false;  // the same bytes were set aside before
    switch (result.fault->kind) {
        case ConfigFault::Kind::Unreadable:
            // Its content is unknown: nothing may replace it.
            why = QStringLiteral("it cannot be read");
            break;
        case ConfigFault::Kind::Empty:
            place = true;
            break;
        case ConfigFault::Kind::Missing:
            // A link to nothing is kept, moved aside like a file.
            if (!IsSymLink(path)) {
                place = true;
                QDir().mkpath(QFileInfo(path).absolutePath());
                break;
            }
            [[fallthrough]];
        default:
            replacement = ReplacementFor(path);
            // A link is moved aside as it is, never its target replaced in its stead.
            result.setAsidePath = IsSymLink(path) ? QString() : EarlierCopyOf(path);
            earlierCopy = !result.setAsidePath.isEmpty();
            if (!earlierCopy) {
                result.setAsidePath = SetAside(path, now, why);
            }
            place = !result.setAsidePath.isEmpty();
            break;
    }
    if (place) {
        const platform::WriteResult written = platform::ReplaceWholeFile(path, replacement);
        if (written.ok) {
            result.outcome = StartupConfig::Outcome::Replaced;
        } else {
            why = QStringLiteral("the shipped one cannot be written: ") + written.reason;
            // The user's file goes back where it was (a rename needs no space): better their
            // own file than none while the program runs on the shipped settings.
            if (earlierCopy ||
                (!result.setAsidePath.isEmpty() && RenameNoReplace(result.setAsidePath, path))) {
                result.setAsidePath.clear();
            }
        }
    }
    if (result.outcome != StartupConfig::Outcome::Replaced) {
        result.outcome = StartupConfig::Outcome::LeftAlone;
        SetConfigStandIn(path, replacement);
    }
    Log(path, result, why, earlierCopy);
    return result;
}

QString StartupConfigMessage(const StartupConfig& result, std::uint8_t langSel) {
    if (!result.fault) {
        return QString();
    }
    const bool english = langSel == 1;
    const ConfigFault& fault = *result.fault;
    const QString where = fault.Where();
    QString problem;
    if (fault.kind == ConfigFault::Kind::Unreadable) {
        problem = english ? QStringLiteral("config.ini cannot be read")
                          : QStringLiteral("无法读取config.ini");
    } else if (fault.kind == ConfigFault::Kind::Empty ||
               (fault.kind == ConfigFault::Kind::Missing && result.setAsidePath.isEmpty())) {
        problem = english ? QStringLiteral("config.ini is missing or empty")
                          : QStringLiteral("config.ini丢失或为空");
    } else {
        problem = (english ? QStringLiteral("config.ini cannot be used")
                           : QStringLiteral("config.ini无法使用")) +
                  (where.isEmpty() ? QString()
                                   : (english ? QStringLiteral(" (") : QStringLiteral("(")) +
                                         where + QLatin1Char(')'));
    }
    if (result.outcome == StartupConfig::Outcome::LeftAlone) {
        return problem + (english ? QStringLiteral(", the default settings are used and changes "
                                                   "cannot be saved!")
                                  : QStringLiteral(",已使用默认设置,更改无法保存!"));
    }
    QString text = problem + (english ? QStringLiteral(", the default settings are restored!")
                                      : QStringLiteral(",已恢复默认设置!"));
    if (!result.setAsidePath.isEmpty()) {
        const QString kept = QFileInfo(result.setAsidePath).fileName();
        text += english ? QStringLiteral(" Your file was kept as ") + kept
                        : QStringLiteral("原文件已另存为") + kept;
    }
    return text;
}
