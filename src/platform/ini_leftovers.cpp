#include "platform/ini_leftovers.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/file_replace.h"

namespace platform {
namespace {

// The random part of the temporary name: six letters A-Z, a-z or digits.
constexpr qsizetype RandomPartLength = 6;

bool IsRandomPartCharacter(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
}

int RemoveBeside(const QFileInfo& file) {
    const QDir folder = file.absoluteDir();
    const QString fileName = file.fileName();
    int removed = 0;
    const QStringList names =
        folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        if (!IsLeftoverCopyName(name, fileName)) {
            continue;
        }
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        struct stat st {};
        // lstat: a link of that name is not a copy we made, whatever it leads to.
        if (::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::geteuid() && ::unlink(path.constData()) == 0) {
            ++removed;
        }
    }
    return removed;
}

}  // namespace

bool IsLeftoverCopyName(const QString& name, const QString& fileName) {
    const QString prefix = fileName + QLatin1String(TemporaryCopyMark);
    if (fileName.isEmpty() || name.size() != prefix.size() + RandomPartLength ||
        !name.startsWith(prefix)) {
        return false;
    }
    for (qsizetype i = prefix.size(); i < name.size(); ++i) {
        if (!IsRandomPartCharacter(name[i])) {
            return false;
        }
    }
    return true;
}

int RemoveLeftoverCopies(const QString& fileName) {
    if (fileName.isEmpty()) {
        return 0;
    }
    const QFileInfo file(fileName);
    int removed = RemoveBeside(file);
    // A save through a link replaces the file it leads to, and its copy stood beside that file.
    if (file.isSymLink()) {
        const QString target = file.canonicalFilePath();
        if (!target.isEmpty() && target != file.absoluteFilePath()) {
            removed += RemoveBeside(QFileInfo(target));
        }
    }
    return removed;
}

}  // namespace platform
