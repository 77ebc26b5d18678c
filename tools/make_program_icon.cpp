// Writes the program's icon as a PNG file, for the desktop entry that an install adds.
// Usage: make_program_icon <output.png>
#include "ui/shell/tray_icon.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.png>\n", argv[0]);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(QFileInfo(output).absolutePath());
    const QPixmap pixmap = ui::ProgramIcon().pixmap(32, 32);
    if (pixmap.isNull() || !pixmap.save(output, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
