#include "app/core/program_files_dir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace app {

namespace {

const QString UserFolderName = QStringLiteral("zelbo-mouse");
const QString LogFolderName = QStringLiteral("LOG");

// Copies through a temporary name, so that an interrupted copy never stands as the user's file.
bool CopyNew(const QString& from, const QString& to) {
    const QString part = to + QStringLiteral(".part");
    QFile::remove(part);
    if (!QFile::copy(from, part)) {
        return false;
    }
    // The installed file may be read-only; the user's copy is theirs to change.
    QFile::setPermissions(
        part, QFile::permissions(part) | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (!QFile::rename(part, to)) {
        QFile::remove(part);
        return false;
    }
    return true;
}

// Gives userDir every file of exeDir it lacks. False when the folder cannot be made.
bool Seed(const QString& exeDir, const QString& userDir) {
    if (!QDir().mkpath(userDir)) {
        return false;
    }
    const QDir installed(exeDir);
    QDirIterator it(exeDir, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QFileInfo info = it.fileInfo();
        const QString relative = installed.relativeFilePath(source);
        if (info.isExecutable() || relative.startsWith(LogFolderName + QLatin1Char('/'))) {
            continue;  // the program itself; the log of whoever ran it there
        }
        const QString target = userDir + QLatin1Char('/') + relative;
        if (QFileInfo::exists(target)) {
            continue;
        }
        // A file that cannot be copied is missing for the run, as a missing shipped file is.
        if (QDir().mkpath(QFileInfo(target).absolutePath())) {
            CopyNew(source, target);
        }
    }
    return true;
}

}  // namespace

QString ProgramFilesDir(const QString& exeDir, const QString& userDataHome) {
    if (exeDir.isEmpty() || QFileInfo(exeDir).isWritable() || userDataHome.isEmpty()) {
        return exeDir;
    }
    const QString userDir = QDir::cleanPath(userDataHome + QLatin1Char('/') + UserFolderName);
    return Seed(exeDir, userDir) ? userDir : exeDir;
}

QString UserDataHome() {
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) {
        return xdg;
    }
    const QString home = QDir::homePath();
    return home.isEmpty() ? QString() : home + QStringLiteral("/.local/share");
}

}  // namespace app
