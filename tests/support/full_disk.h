// A full file system for the program's writes: while one of these lives, the copies every save
// writes get at most bytesLeft more bytes, then each write fails with ENOSPC, as on a full disk.
#pragma once

#include <cstddef>

namespace testing_support {

class FullDisk {
public:
    explicit FullDisk(std::size_t bytesLeft = 0);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;
};

}  // namespace testing_support
