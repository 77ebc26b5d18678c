// Counts how often a file is replaced (renamed over, or created) in its folder, as the kernel
// reports it: what a crash-safe writer costs the disk, seen from outside the program.
#pragma once

#include <QString>

namespace testing_support {

class FileReplaceCounter {
public:
    // Starts watching the folder of path for path's own name. Where inotify cannot watch it,
    // the running test fails with the reason, and Take returns -1.
    // inotifyInit stands for inotify_init1, so a test of this class can make it fail.
    explicit FileReplaceCounter(const QString& path, int (*inotifyInit)(int) = DefaultInit);
    ~FileReplaceCounter();
    FileReplaceCounter(const FileReplaceCounter&) = delete;
    FileReplaceCounter& operator=(const FileReplaceCounter&) = delete;

    // Replacements since the last call (or since construction).
    int Take();

private:
    static int DefaultInit(int flags);

    int fd_ = -1;
    QByteArray name_;
};

}  // namespace testing_support
