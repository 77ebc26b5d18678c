#include "support/file_replace_counter.h"

#include <sys/inotify.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <cstring>

namespace testing_support {

FileReplaceCounter::FileReplaceCounter(const QString& path)
    : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
      name_(QFile::encodeName(QFileInfo(path).fileName())) {
    if (fd_ >= 0) {
        ::inotify_add_watch(fd_, QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                            IN_CREATE | IN_MOVED_TO);
    }
}

FileReplaceCounter::~FileReplaceCounter() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

int FileReplaceCounter::Take() {
    int count = 0;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got <= 0) {
            return count;
        }
        for (ssize_t at = 0; at < got;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const char* name = buffer + at + sizeof event;
            if (event.len > 0 && name_ == name) {
                ++count;
            }
            at += static_cast<ssize_t>(sizeof event + event.len);
        }
    }
}

}  // namespace testing_support
