// INI files with the semantics of the Windows private-profile functions, so that config.ini,
// profile files, macro files and skin layout files written by the Windows program read the same
// here, and ours there. Reads never fail (a file that cannot be read, also for want of memory,
// reads as missing); only regular files are read, never waited on, and none larger than
// MaxFileBytes (regular_file.h); every write replaces the file atomically.
// Any thread may call these; writes to one file are serialised inside the layer.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <span>
#include <vector>

#include "platform/file_replace.h"

namespace platform {

// GetPrivateProfileStringW: the value of key in section of fileName, as it would stand in a
// buffer of nSize characters (at most nSize - 1 characters; nSize <= 0 gives ""). A missing
// file, section or key gives defaultValue (trailing spaces removed, cut like a value).
QString GetPrivateProfileString(const QString& section, const QString& key,
                                const QString& defaultValue, int nSize, const QString& fileName);

// WritePrivateProfileStringW: sets key=value in section. A missing key (nullopt) deletes the
// whole section; a missing value deletes the key. Returns false when the file could not be
// written (its folder missing, no permission); the file is then unchanged.
bool WritePrivateProfileString(const QString& section, const std::optional<QString>& key,
                               const std::optional<QString>& value, const QString& fileName);

// The arguments of one WritePrivateProfileString call.
struct ProfileWrite {
    QString section;
    std::optional<QString> key;
    std::optional<QString> value;
};

// Several writes to one file as one transaction: each follows the rules of
// WritePrivateProfileString, in the order given, so the file ends byte for byte as the calls
// one by one would leave it; but it is read once and replaced (and synced) once, so a crash
// leaves the old file or the new one, never a state in between. Returns false, with the file
// unchanged, when the writes change the file and it could not be written.
bool WritePrivateProfileStrings(std::span<const ProfileWrite> writes, const QString& fileName);

// WritePrivateProfileStrings, telling why it failed (WriteResult: file_replace.h).
WriteResult WriteProfileStrings(std::span<const ProfileWrite> writes, const QString& fileName);

// The writes of one file in WriteProfileStringsTogether.
struct FileWrites {
    QString fileName;
    std::span<const ProfileWrite> writes;
};

// Writes to several files as one: no file is replaced unless every file the writes change can
// be (ReplaceFilesTogether; the commit mark stands beside the last file, whose name start-up
// gives FinishInterruptedReplace). One result per file; a file left unwritten because another
// failed says so.
std::vector<WriteResult> WriteProfileStringsTogether(std::span<const FileWrites> files);

// Replaces fileName by bytes as every write does (ReplaceFileSafely on the file a link leads
// to), whatever the file held.
WriteResult ReplaceWholeFile(const QString& fileName, const QByteArray& bytes);

// How the readers find a file: not there, there but unusable (not a regular file, no
// permission, too large for memory), empty (no byte at all), or read.
enum class FileReadState { Missing, Unreadable, Empty, Readable };
FileReadState ReadStateOf(const QString& fileName);
// Why a file cannot be read, in a few words for the log ("not a regular file (a FIFO)",
// "Permission denied").
QString UnreadableReason(const QString& fileName);

// Whether fileName can be read and holds a section of that name (found as the readers find it).
bool HasSection(const QString& section, const QString& fileName);

// A file the program reads or writes once, as an import or an export does: while one of these
// lives, the file's parsed copy serves the reads and writes of that one import or export; when
// it ends, no copy of the file stays in memory for the rest of the run.
class OneTimeFile {
public:
    explicit OneTimeFile(QString path);
    ~OneTimeFile();
    OneTimeFile(const OneTimeFile&) = delete;
    OneTimeFile& operator=(const OneTimeFile&) = delete;

private:
    QString path_;
};

// The files whose parsed copy is kept for later reads (for tests and diagnostics).
QStringList CachedFiles();

// The existence test the readers of macro and skin files make before reading (FindFirstFileW
// on a plain path: a file or a folder of that name exists).
bool FileExists(const QString& path);

}  // namespace platform
