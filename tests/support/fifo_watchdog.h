// A watchdog for code that must never wait on a FIFO: the code runs on a thread of its own, and
// when it still runs after the watchdog's time, the FIFO is opened (for reading and writing) and
// closed again until the code ends, which lets go of a thread blocked in opening, reading or
// writing it. So a test of the fault fails instead of hanging. On the test's thread.
#pragma once

#include <QString>
#include <functional>

namespace testing_support {

// Runs work; true when it ended within the watchdog's time, false when the FIFO had to let it go.
bool EndsWithoutWaitingOn(const QString& fifo, const std::function<void()>& work);

}  // namespace testing_support
