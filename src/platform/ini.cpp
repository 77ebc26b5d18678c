#include "platform/ini.h"

#include "platform/ini_document.h"
#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <span>
#include <unordered_map>

// The program reads config.ini key by key (68 reads for one profile) and writes it key by key
// (a save's 188 writes go in as one transaction), so each file is parsed once and kept while it
// stays as it was; a file that one import or export reads or writes is dropped when that ends
// (OneTimeFile). A parsed copy costs about the file's size.
// "As it was" is decided by device, inode, size, modification and change time; a file changed
// less than StableAge ago may still change within the same timestamp tick, so for such a file
// the bytes are read again and compared before the parsed copy is trusted.

namespace platform {
namespace {

using ini::Document;

constexpr long long StableAgeNs = 2'000'000'000;
constexpr int MaxCachedFiles = 64;

struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedNs = 0;
    long long changedNs = 0;

    bool operator==(const FileStamp&) const = default;
};

long long Nanoseconds(const timespec& t) {
    return static_cast<long long>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

FileStamp StampOf(const struct stat& st) {
    return FileStamp{st.st_dev, st.st_ino, st.st_size, Nanoseconds(st.st_mtim),
                     Nanoseconds(st.st_ctim)};
}

long long WallClockNs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return Nanoseconds(now);
}

struct CacheEntry {
    FileStamp stamp;
    bool stable = false;
    std::shared_ptr<const Document> doc;
};

std::mutex g_cacheMutex;
// A standard map rather than QHash: running out of memory in QHash's insert ends the process,
// while this one throws and stays as it was, so a full heap only costs the parsed copy.
std::unordered_map<QString, CacheEntry> g_cache;

// Every write goes through here one at a time, so two threads that edit the same file each
// start from the other's result.
std::mutex g_writeMutex;

enum class FileState { Missing, Unreadable, Loaded };

struct Loaded {
    FileState state = FileState::Missing;
    std::shared_ptr<const Document> doc;
};

void Remember(const QString& path, CacheEntry entry) {
    std::lock_guard lock(g_cacheMutex);
    if (g_cache.size() >= MaxCachedFiles && !g_cache.contains(path)) {
        g_cache.clear();
    }
    g_cache.insert_or_assign(path, std::move(entry));
}

void Forget(const QString& path) {
    std::lock_guard lock(g_cacheMutex);
    g_cache.erase(path);
}

Loaded Load(const QString& path) {
    if (path.isEmpty()) {
        return {};
    }
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0) {
        Forget(path);
        return {(errno == ENOENT || errno == ENOTDIR) ? FileState::Missing : FileState::Unreadable,
                nullptr};
    }
    if (!S_ISREG(st.st_mode)) {
        Forget(path);
        return {FileState::Unreadable, nullptr};
    }

    std::shared_ptr<const Document> known;
    {
        std::lock_guard lock(g_cacheMutex);
        const auto it = g_cache.find(path);
        if (it != g_cache.end()) {
            if (it->second.stable && it->second.stamp == StampOf(st)) {
                return {FileState::Loaded, it->second.doc};
            }
            known = it->second.doc;
        }
    }

    const long long readStartNs = WallClockNs();
    // Only a regular file, never waited on (a FIFO put in the file's place since the stat must not
    // hang the read), and within the size bound.
    RegularFileContent file = ReadRegularFile(path);
    if (file.result != FileRead::Read) {
        Forget(path);
        return {file.result == FileRead::Missing ? FileState::Missing : FileState::Unreadable,
                nullptr};
    }
    std::shared_ptr<const Document> doc;
    try {
        if (known && known->Bytes() == file.bytes) {
            doc = std::move(known);
        } else {
            doc = std::make_shared<const Document>(Document::Parse(std::move(file.bytes)));
        }
    } catch (const std::bad_alloc&) {
        // A file too large for the memory left reads as one that cannot be read; the program
        // goes on without it.
        Forget(path);
        return {FileState::Unreadable, nullptr};
    }
    // The stamp of what was actually read: the file may have been replaced since the stat.
    const FileStamp stamp = StampOf(file.status);
    const bool stable = readStartNs - std::max(stamp.modifiedNs, stamp.changedNs) > StableAgeNs;
    try {
        Remember(path, CacheEntry{stamp, stable, doc});
    } catch (const std::bad_alloc&) {
        Forget(path);  // read all the same; the next read parses it again
    }
    return {FileState::Loaded, doc};
}

// The replace would succeed on a read-only file (only the folder's permission counts for a
// rename), so the file's own permission is checked first. A file without any write permission
// counts as read-only for every user, as the read-only attribute does on Windows.
bool IsWritable(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0) {
        return false;
    }
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 &&
           ::access(native.constData(), W_OK) == 0;
}

// A symbolic link stays a link: the file it points to is replaced.
QString LinkTarget(const QString& fileName) {
    const QFileInfo info(fileName);
    return info.isSymLink() && info.exists() ? info.canonicalFilePath() : fileName;
}

QString ErrnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Why a file that is there may not be written.
QString ReadOnlyReason(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return QStringLiteral("the file is read-only");
    }
    return ::access(native.constData(), W_OK) != 0 ? ErrnoText(errno)
                                                   : QStringLiteral("the file is read-only");
}

// The file's bytes after one write on doc (nullptr: no file yet), or nullopt when the write
// leaves the file as it is.
std::optional<QByteArray> Edited(const Document* doc, const ProfileWrite& write) {
    const auto& [section, key, value] = write;
    if (doc == nullptr) {
        if (!key || !value) {
            return std::nullopt;  // nothing to delete
        }
        return Document().WithValue(section, *key, *value);
    }
    QByteArray bytes = !key     ? doc->WithoutSection(section)
                       : !value ? doc->WithoutKey(section, *key)
                                : doc->WithValue(section, *key, *value);
    if (bytes == doc->Bytes()) {
        return std::nullopt;
    }
    return bytes;
}

// What the writes of one file come to: a failure, nothing to write, or the new content.
struct Composed {
    WriteResult result;
    std::optional<Document> working;
};

// The writes applied to fileName's content, under the write lock.
Composed Compose(std::span<const ProfileWrite> writes, const QString& fileName) {
    const Loaded loaded = Load(fileName);
    if (loaded.state == FileState::Unreadable) {
        // Never replace a file we could not read with one that lacks its content.
        return {{false, QStringLiteral("it cannot be read (") + UnreadableReason(fileName) +
                            QStringLiteral("), so it is left as it is")},
                std::nullopt};
    }

    // Each write edits the text the writes before it left, by the same rules as a write alone;
    // only the end result reaches the disk. The working copy is this call's own, so a value
    // replaced in its line needs no new parse of the whole file.
    bool exists = loaded.doc != nullptr;
    ini::Document working = exists ? *loaded.doc : ini::Document();
    for (const ProfileWrite& write : writes) {
        if (exists && write.key && write.value) {
            // A save rewrites every value, most of them as they stand: those need no edit.
            const std::optional<QString> present = working.Find(write.section, *write.key);
            if (present && *present == *write.value) {
                continue;
            }
            if (working.ReplaceValue(write.section, *write.key, *write.value)) {
                continue;
            }
        }
        std::optional<QByteArray> bytes = Edited(exists ? &working : nullptr, write);
        if (bytes) {
            working = Document::Parse(std::move(*bytes));
            exists = true;
        }
    }
    if (!exists || (loaded.doc && working.Bytes() == loaded.doc->Bytes())) {
        return {};
    }
    if (loaded.state == FileState::Loaded && !IsWritable(fileName)) {
        // A read-only config.ini stays as it is, even though its folder is writable.
        return {{false, ReadOnlyReason(fileName)}, std::nullopt};
    }
    return {{}, std::move(working)};
}

// The parsed copy of what was just written serves the next reads.
void RememberWritten(const QString& fileName, Document working) {
    struct stat st {};
    if (::stat(QFile::encodeName(fileName).constData(), &st) != 0) {
        Forget(fileName);
        return;
    }
    // Not stable: another program may change the file within the timestamp tick of our write.
    try {
        Remember(fileName, CacheEntry{StampOf(st), false,
                                      std::make_shared<const Document>(std::move(working))});
    } catch (const std::bad_alloc&) {
        Forget(fileName);  // written all the same; the next read parses it again
    }
}

// WriteProfileStringsTogether under the write lock.
std::vector<WriteResult> WriteLocked(std::span<const FileWrites> files) {
    std::vector<WriteResult> results(files.size());
    std::vector<Composed> composed;
    std::vector<FileReplace> replaces;
    std::vector<size_t> replaced;  // index into files of each replace
    for (size_t i = 0; i < files.size(); ++i) {
        composed.push_back(Compose(files[i].writes, files[i].fileName));
        if (!composed[i].result.ok) {
            results[i] = composed[i].result;
        } else if (composed[i].working) {
            replaces.push_back({LinkTarget(files[i].fileName), composed[i].working->Bytes()});
            replaced.push_back(i);
        }
    }
    int failed = -1;
    for (size_t i = 0; i < files.size() && failed < 0; ++i) {
        if (!results[i].ok) {
            failed = static_cast<int>(i);
        }
    }
    if (failed < 0 && !replaces.empty()) {
        int failedReplace = 0;
        const WriteResult done =
            ReplaceFilesTogether(replaces, files.back().fileName, &failedReplace);
        if (!done.ok) {
            failed = static_cast<int>(replaced[failedReplace]);
            results[failed] = done;
        }
    }
    for (size_t i = 0; i < files.size(); ++i) {
        if (failed >= 0) {
            Forget(files[i].fileName);
            if (results[i].ok && composed[i].working) {
                results[i] = {false,
                              QStringLiteral("not written, as ") +
                                  QFileInfo(files[failed].fileName).fileName() +
                                  QStringLiteral(" could not be written with it"),
                              false, true};
            }
        } else if (composed[i].working) {
            results[i].written = true;
            RememberWritten(files[i].fileName, std::move(*composed[i].working));
        }
    }
    return results;
}

}  // namespace

QString GetPrivateProfileString(const QString& section, const QString& key,
                                const QString& defaultValue, int nSize, const QString& fileName) {
    if (nSize <= 0) {
        return QString();
    }
    const Loaded loaded = Load(fileName);
    if (loaded.doc) {
        try {
            if (const std::optional<QString> value = loaded.doc->Find(section, key)) {
                return value->left(nSize - 1);
            }
        } catch (const std::bad_alloc&) {
            // as unreadable: the default
        }
    }
    qsizetype end = defaultValue.size();
    while (end > 0 && defaultValue[end - 1] == u' ') {
        --end;
    }
    return defaultValue.left(std::min<qsizetype>(end, nSize - 1));
}

bool WritePrivateProfileString(const QString& section, const std::optional<QString>& key,
                               const std::optional<QString>& value, const QString& fileName) {
    const ProfileWrite write{section, key, value};
    return WritePrivateProfileStrings(std::span(&write, 1), fileName);
}

bool WritePrivateProfileStrings(std::span<const ProfileWrite> writes, const QString& fileName) {
    return WriteProfileStrings(writes, fileName).ok;
}

WriteResult WriteProfileStrings(std::span<const ProfileWrite> writes, const QString& fileName) {
    const FileWrites file{fileName, writes};
    return WriteProfileStringsTogether(std::span(&file, 1)).front();
}

std::vector<WriteResult> WriteProfileStringsTogether(std::span<const FileWrites> files) {
    std::vector<WriteResult> results(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        if (files[i].fileName.isEmpty()) {
            results[i] = {false, QStringLiteral("no file name")};
            return results;
        }
    }
    std::lock_guard lock(g_writeMutex);
    try {
        return WriteLocked(files);
    } catch (const std::bad_alloc&) {
        for (size_t i = 0; i < files.size(); ++i) {
            Forget(files[i].fileName);
            results[i] = {false, ErrnoText(ENOMEM)};
        }
        return results;  // before the replace: the files are as they were
    }
}

WriteResult ReplaceWholeFile(const QString& fileName, const QByteArray& bytes) {
    std::lock_guard lock(g_writeMutex);
    Forget(fileName);
    return ReplaceFileSafely(LinkTarget(fileName), bytes);
}

FileReadState ReadStateOf(const QString& fileName) {
    const Loaded loaded = Load(fileName);
    switch (loaded.state) {
        case FileState::Missing:
            return FileReadState::Missing;
        case FileState::Unreadable:
            return FileReadState::Unreadable;
        case FileState::Loaded:
            break;
    }
    return loaded.doc->Bytes().isEmpty() ? FileReadState::Empty : FileReadState::Readable;
}

QString UnreadableReason(const QString& fileName) {
    const QByteArray native = QFile::encodeName(fileName);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0) {
        return ErrnoText(errno);
    }
    if (S_ISDIR(st.st_mode)) {
        return QStringLiteral("not a regular file (a folder)");
    }
    if (S_ISFIFO(st.st_mode)) {
        return QStringLiteral("not a regular file (a FIFO)");
    }
    if (!S_ISREG(st.st_mode)) {
        return QStringLiteral("not a regular file");
    }
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return ErrnoText(errno);
    }
    ::close(fd);
    return QStringLiteral("too large to read");
}

bool HasSection(const QString& section, const QString& fileName) {
    const Loaded loaded = Load(fileName);
    return loaded.doc && loaded.doc->HasSection(section);
}

OneTimeFile::OneTimeFile(QString path) : path_(std::move(path)) {}

OneTimeFile::~OneTimeFile() {
    Forget(path_);
}

QStringList CachedFiles() {
    std::lock_guard lock(g_cacheMutex);
    QStringList files;
    for (const auto& [path, entry] : g_cache) {
        files.append(path);
    }
    return files;
}

bool FileExists(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

}  // namespace platform
