#include "support/qt_app.h"

namespace testing_support {

QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "zelbo-tests";
    static char* argv[] = {name, nullptr};
    // No session bus: with a display but no bus address, the D-Bus library would try to start
    // one for the display (a fork in a threaded test). The notification area under test is
    // the toolkit's own.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/zelbo-tests-no-session-bus");
    static QApplication* const app = new QApplication(argc, argv);
    return *app;
}

void ProcessEventsFor(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

}  // namespace testing_support
