#include "support/file_replace_counter.h"

#include <sys/inotify.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include <gtest/gtest.h>

namespace testing_support {

namespace {

// A counter that cannot watch would count 0 and let a test pass on nothing: the test fails here
// instead, saying why.
void FailWithoutInotify(const char* call, const QString& folder) {
    const int error = errno;
    ADD_FAILURE() << "FileReplaceCounter cannot count replacements in " << qPrintable(folder)
                  << ": " << call << " failed with errno " << error << " (" << std::strerror(error)
                  << "). Are the user's inotify instances "
                  << "(fs.inotify.max_user_instances) or watches used up?";
}

}  // namespace

int FileReplaceCounter::DefaultInit(int flags) {
    return ::inotify_init1(flags);
}

FileReplaceCounter::FileReplaceCounter(const QString& path, int (*inotifyInit)(int))
    : fd_(inotifyInit(IN_NONBLOCK | IN_CLOEXEC)),
      name_(QFile::encodeName(QFileInfo(path).fileName())) {
    const QString folder = QFileInfo(path).absolutePath();
    if (fd_ < 0) {
        FailWithoutInotify("inotify_init1", folder);
    } else if (::inotify_add_watch(fd_, QFile::encodeName(folder).constData(),
                                   IN_CREATE | IN_MOVED_TO) < 0) {
        FailWithoutInotify("inotify_add_watch", folder);
        ::close(fd_);
        fd_ = -1;
    }
}

FileReplaceCounter::~FileReplaceCounter() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

int FileReplaceCounter::Take() {
    if (fd_ < 0) {
        return -1;  // the test has failed already; no count compares equal to this one
    }
    int count = 0;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got < 0 && errno != EAGAIN) {
            ADD_FAILURE() << "FileReplaceCounter: reading inotify events failed with errno "
                          << errno << " (" << std::strerror(errno) << ")";
        }
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
