// The program: one window, one copy per user, no command line.
#include <QApplication>

#include "app/app.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    theApp.InitInstance();
    return 0;
}
