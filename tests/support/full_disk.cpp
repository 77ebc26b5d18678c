#include "support/full_disk.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

#include "platform/file_replace.h"

namespace testing_support {
namespace {

std::atomic<std::size_t> g_bytesLeft{0};

ssize_t WriteToFullDisk(int fd, const void* data, size_t size) {
    const std::size_t room = std::min(size, g_bytesLeft.load());
    if (room == 0) {
        errno = ENOSPC;
        return -1;
    }
    const ssize_t n = ::write(fd, data, room);
    if (n > 0) {
        g_bytesLeft -= static_cast<std::size_t>(n);
    }
    return n;
}

}  // namespace

FullDisk::FullDisk(std::size_t bytesLeft) {
    g_bytesLeft = bytesLeft;
    platform::SetWriteCallForTests(WriteToFullDisk);
}

FullDisk::~FullDisk() {
    platform::SetWriteCallForTests(nullptr);
}

}  // namespace testing_support
