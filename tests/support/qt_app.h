// The one QApplication a test program needs for widgets and event loops, made on first use on
// the test's thread (the offscreen platform under ctest) and kept until the program ends.
#pragma once

#include <QApplication>

namespace testing_support {

QApplication& TestApplication();

// Runs the event loop until condition holds or timeoutMs passed; returns the condition.
template <typename Condition>
bool ProcessEventsUntil(Condition condition, int timeoutMs = 5000);

void ProcessEventsFor(int milliseconds);

}  // namespace testing_support

#include <QElapsedTimer>

template <typename Condition>
bool testing_support::ProcessEventsUntil(Condition condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}
