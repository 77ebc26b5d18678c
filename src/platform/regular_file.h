// Files opened the one safe way: only a regular file, opened without ever blocking, and read
// within a size bound. A FIFO, a device node, a socket or a folder put in a file's place is
// refused at once (it would hold the opening thread for good, or feed it without end), and no
// file, however large or sparse, is read into memory beyond the bound. Every file the program
// reads or appends to goes through here. No state; any thread.
#pragma once

#include <sys/stat.h>
#include <QByteArray>
#include <QString>

namespace platform {

// The largest file the program reads: 32 MiB. The files it reads are a few kilobytes (a full
// macro file is under 100 KB); the bound leaves room for any file a person could mean, and for
// the 10 MB files the INI benchmarks read, while a file at the bound, parsed, stays far below
// 300 MB of memory. A larger file reads as one that cannot be read.
inline constexpr qint64 MaxFileBytes = 32 * 1024 * 1024;

enum class FileRead { Missing, Unreadable, Read };

struct RegularFileContent {
    FileRead result = FileRead::Missing;
    QByteArray bytes;       // the whole file when result is Read
    struct stat status {};  // of the file that was read (taken after it was opened)
};

// Reads path whole. Missing: nothing of that name (or a link that leads nowhere). Unreadable:
// not a regular file, no permission, larger than limit bytes, a read error, or no memory for it.
RegularFileContent ReadRegularFile(const QString& path, qint64 limit = MaxFileBytes);

// Appends bytes to path, creating a regular file when nothing is there. False, with nothing
// written, when something else stands there or it cannot be opened; false also on a short write.
bool AppendToRegularFile(const QString& path, const QByteArray& bytes);

// Creates path as a new, empty regular file. False when anything exists of that name already
// (errorCode EEXIST) or it cannot be created (errorCode says why).
bool CreateNewRegularFile(const QString& path, int* errorCode = nullptr);

}  // namespace platform
