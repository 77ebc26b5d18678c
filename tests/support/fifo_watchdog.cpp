#include "support/fifo_watchdog.h"

#include <fcntl.h>
#include <unistd.h>
#include <QFile>
#include <chrono>
#include <csignal>
#include <future>

namespace testing_support {

bool EndsWithoutWaitingOn(const QString& fifo, const std::function<void()>& work) {
    // A writer let go finds no reader: its write fails instead of ending the test program.
    std::signal(SIGPIPE, SIG_IGN);
    std::future<void> done = std::async(std::launch::async, work);
    const bool inTime = done.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    const QByteArray path = QFile::encodeName(fifo);
    while (done.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
        const int fd = ::open(path.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
        }
    }
    done.get();
    return inTime;
}

}  // namespace testing_support
