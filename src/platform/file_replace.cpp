#include "platform/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/ini_leftovers.h"
#include "platform/regular_file.h"

namespace platform {
namespace {

constexpr int NameAttempts = 100;
constexpr int RandomLetters = 6;
const QByteArray MarkComplete = QByteArrayLiteral("complete");

std::atomic<WriteCall> g_writeCall{nullptr};
std::atomic<BetweenRenames> g_betweenRenames{nullptr};

QString ErrnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

WriteResult Failed(int error) {
    return {false, ErrnoText(error), false};
}

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

// Every byte, or the reason why not: a short write is continued, an error (ENOSPC) ends it.
int WriteAll(int fd, const QByteArray& bytes) {
    const WriteCall call = g_writeCall.load();
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = call != nullptr
                              ? call(fd, bytes.constData() + done, bytes.size() - done)
                              : ::write(fd, bytes.constData() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n < 0 ? errno : EIO;
        }
        done += n;
    }
    return 0;
}

// The rename is on disk only once the folder is; a failure here changes nothing for the file.
void SyncFolderOf(const QString& path) {
    const int fd = ::open(Native(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QString RandomLettersText() {
    static constexpr char Letters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString text;
    for (int i = 0; i < RandomLetters; ++i) {
        text.append(QLatin1Char(Letters[QRandomGenerator::global()->bounded(62)]));
    }
    return text;
}

// Creates a new file of a name only this program makes beside target.
int CreateCopy(const QString& target, QString& copy) {
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        copy = target + QLatin1String(TemporaryCopyMark) + RandomLettersText();
        const int fd = ::open(Native(copy).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// The copy takes the old file's owner and group where this user may give them (root), and its
// mode always; a new file keeps the mode the umask gave it.
int TakeOwnerAndMode(int fd, const QString& target) {
    struct stat old {};
    if (::stat(Native(target).constData(), &old) != 0) {
        return 0;
    }
    struct stat now {};
    if (::fstat(fd, &now) != 0) {
        return errno;
    }
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM) {
        return errno;
    }
    return ::fchmod(fd, old.st_mode & 07777) == 0 ? 0 : errno;
}

// The whole content in a synced copy beside target, or nothing: the copy's name, or nullopt
// with result saying why.
std::optional<QString> PrepareCopy(const QString& target, const QByteArray& bytes,
                                   WriteResult& result) {
    QString copy;
    const int fd = CreateCopy(target, copy);
    if (fd < 0) {
        result = Failed(errno);
        return std::nullopt;
    }
    int error = WriteAll(fd, bytes);
    if (error == 0) {
        error = TakeOwnerAndMode(fd, target);
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(Native(copy).constData());
        result = Failed(error);
        return std::nullopt;
    }
    return copy;
}

void RemoveCopies(const std::vector<QString>& copies) {
    for (const QString& copy : copies) {
        ::unlink(Native(copy).constData());
    }
}

// The mark names each copy and its target, NUL-separated, and ends with MarkComplete: a mark
// cut short by a kill is seen as such.
int WriteMark(const QString& mark, std::span<const FileReplace> files,
              const std::vector<QString>& copies) {
    QByteArray content;
    for (size_t i = 0; i < copies.size(); ++i) {
        content += Native(copies[i]) + '\0' + Native(files[i].target) + '\0';
    }
    content += MarkComplete;
    const int fd = ::open(Native(mark).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return errno;
    }
    int error = WriteAll(fd, content);
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0) {
        SyncFolderOf(mark);
    }
    return error;
}

}  // namespace

WriteResult ReplaceFileSafely(const QString& path, const QByteArray& bytes) {
    const FileReplace file{path, bytes};
    int failed = 0;
    return ReplaceFilesTogether(std::span(&file, 1), QString(), &failed);
}

WriteResult ReplaceFilesTogether(std::span<const FileReplace> files, const QString& markBeside,
                                 int* failedIndex) {
    std::vector<QString> copies;
    for (size_t i = 0; i < files.size(); ++i) {
        WriteResult result;
        const std::optional<QString> copy = PrepareCopy(files[i].target, files[i].bytes, result);
        if (!copy) {
            RemoveCopies(copies);
            *failedIndex = static_cast<int>(i);
            return result;
        }
        copies.push_back(*copy);
    }
    const bool marked = files.size() > 1;
    const QString mark = markBeside + QLatin1String(PairMarkSuffix);
    if (marked) {
        if (const int error = WriteMark(mark, files, copies); error != 0) {
            ::unlink(Native(mark).constData());
            RemoveCopies(copies);
            *failedIndex = static_cast<int>(files.size()) - 1;
            return Failed(error);
        }
    }
    for (size_t i = 0; i < files.size(); ++i) {
        if (i > 0) {
            if (const BetweenRenames hook = g_betweenRenames.load()) {
                hook();
            }
        }
        if (::rename(Native(copies[i]).constData(), Native(files[i].target).constData()) != 0) {
            const int error = errno;
            *failedIndex = static_cast<int>(i);
            if (i == 0) {
                if (marked) {
                    ::unlink(Native(mark).constData());
                }
                RemoveCopies(copies);
            }
            // Past the first rename the mark stays: the next start finishes the rest.
            return Failed(error);
        }
        SyncFolderOf(files[i].target);
    }
    if (marked) {
        ::unlink(Native(mark).constData());
        SyncFolderOf(mark);
    }
    return {true, QString(), true};
}

int FinishInterruptedReplace(const QString& markBeside) {
    const QString mark = markBeside + QLatin1String(PairMarkSuffix);
    const RegularFileContent content = ReadRegularFile(mark);
    if (content.result != FileRead::Read) {
        return 0;
    }
    const QList<QByteArray> parts = content.bytes.split('\0');
    int finished = 0;
    if (parts.size() % 2 == 1 && parts.back() == MarkComplete) {
        for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
            const QFileInfo copy(QFile::decodeName(parts[i]));
            const QFileInfo target(QFile::decodeName(parts[i + 1]));
            // Only a copy of ours beside its own file is ever renamed.
            if (copy.absolutePath() != target.absolutePath() ||
                !IsLeftoverCopyName(copy.fileName(), target.fileName())) {
                continue;
            }
            struct stat st {};
            if (::lstat(parts[i].constData(), &st) == 0 && S_ISREG(st.st_mode) &&
                ::rename(parts[i].constData(), parts[i + 1].constData()) == 0) {
                SyncFolderOf(target.absoluteFilePath());
                ++finished;
            }
        }
    }
    ::unlink(Native(mark).constData());
    SyncFolderOf(mark);
    return finished;
}

void SetWriteCallForTests(WriteCall call) {
    g_writeCall.store(call);
}

void SetBetweenRenamesForTests(BetweenRenames hook) {
    g_betweenRenames.store(hook);
}

}  // namespace platform
