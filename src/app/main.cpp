// The program: one window, one copy per user, no command line.
#include <QApplication>

#include "app/app.h"

int main(int argc, char* argv[]) {
    // Macro recording grabs the keyboard and the window places itself, both of which a Wayland
    // compositor refuses to clients of its own: where an X server is there (XWayland too), the
    // program is its client, unless the user chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication application(argc, argv);
    theApp.InitInstance();
    return 0;
}
