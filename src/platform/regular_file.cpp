#include "platform/regular_file.h"

#include <fcntl.h>
#include <unistd.h>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <new>

namespace platform {
namespace {

// Closes the descriptor however the caller leaves.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// O_NONBLOCK: opening a FIFO without a writer (or for writing, without a reader) would wait for
// one; O_NOCTTY: a terminal in a file's place never becomes the program's. The type is checked
// again on what was opened, so a file swapped for a FIFO after the check by name changes nothing.
int OpenRegular(const QByteArray& native, int flags, struct stat& st) {
    // Whatever is known not to be a regular file is not opened at all: opening a device node may
    // do something of its own.
    if (::stat(native.constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return -1;
    }
    const int fd = ::open(native.constData(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    // A regular file never waits, but a file system may still answer EAGAIN to a non-blocking
    // descriptor (a lease, a mandatory lock): the reads and writes after the open block as usual.
    const int status = ::fcntl(fd, F_GETFL);
    if (status >= 0) {
        ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    }
    return fd;
}

// Reads to the end into out, sized for the file as it stood (one byte more, so that the end
// shows without growing), growing should the file have grown since; false past limit bytes.
bool ReadBounded(int fd, QByteArray& out, off_t sizeHint, qint64 limit) {
    out.resize(static_cast<qsizetype>(std::min<qint64>(std::max<qint64>(sizeHint, 4095), limit)) +
               1);
    qsizetype size = 0;
    for (;;) {
        if (size == out.size()) {
            if (size > limit) {
                return false;
            }
            out.resize(static_cast<qsizetype>(std::min<qint64>(2 * qint64{size}, limit + 1)));
        }
        const ssize_t got = ::read(fd, out.data() + size, static_cast<size_t>(out.size() - size));
        if (got == 0) {
            out.truncate(size);
            return true;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        size += got;
    }
}

}  // namespace

RegularFileContent ReadRegularFile(const QString& path, qint64 limit) {
    RegularFileContent content;
    if (path.isEmpty()) {
        return content;
    }
    const Descriptor fd(OpenRegular(QFile::encodeName(path), O_RDONLY, content.status));
    if (fd.get() < 0) {
        content.result =
            (errno == ENOENT || errno == ENOTDIR) ? FileRead::Missing : FileRead::Unreadable;
        return content;
    }
    content.result = FileRead::Unreadable;
    // The size is checked before anything is allocated, and the read stops past the bound
    // whatever the size said (a file may grow, and some files report no size at all).
    if (content.status.st_size > limit) {
        return content;
    }
    try {
        if (ReadBounded(fd.get(), content.bytes, content.status.st_size, limit)) {
            content.result = FileRead::Read;
            return content;
        }
    } catch (const std::bad_alloc&) {
        // no memory left for the file: as one that cannot be read
    }
    content.bytes = QByteArray();
    return content;
}

bool AppendToRegularFile(const QString& path, const QByteArray& bytes) {
    struct stat st {};
    const Descriptor fd(OpenRegular(QFile::encodeName(path), O_WRONLY | O_APPEND | O_CREAT, st));
    if (fd.get() < 0) {
        return false;
    }
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t put =
            ::write(fd.get(), bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += put;
    }
    return true;
}

bool CreateNewRegularFile(const QString& path, int* errorCode) {
    // O_EXCL never opens what is there, a link included, so nothing but a new file is made.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errorCode != nullptr) {
            *errorCode = errno;
        }
        return false;
    }
    ::close(fd);
    return true;
}

}  // namespace platform
