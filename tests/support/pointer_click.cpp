#include "support/pointer_click.h"

#include <QProcess>
#include <QStringList>
#include <QThread>

#include "platform/ini.h"
#include "support/program_run.h"

namespace testing_support {

QPoint MainRectCentre(const ProgramFolder& folder, int index) {
    const QStringList fields =
        platform::GetPrivateProfileString(
            QStringLiteral("BUTTONPOS"), QString::number(index), QString(), 256,
            folder.Path(QStringLiteral("skins/INI_EN/skin_main_en.ini")))
            .split(QLatin1Char(','));
    if (fields.size() < 5) {
        return {};
    }
    return {fields[1].toInt() + fields[3].toInt() / 2, fields[2].toInt() + fields[4].toInt() / 2};
}

bool ClickAt(std::uint64_t window, QPoint p) {
    const QString id = QString::number(window);
    for (const QStringList& args :
         {QStringList{QStringLiteral("mousemove"), QStringLiteral("--window"), id,
                      QString::number(p.x() - 1), QString::number(p.y())},
          QStringList{QStringLiteral("mousemove"), QStringLiteral("--window"), id,
                      QString::number(p.x()), QString::number(p.y())},
          QStringList{QStringLiteral("click"), QStringLiteral("1")}}) {
        if (QProcess::execute(QStringLiteral("xdotool"), args) != 0) {
            return false;
        }
        QThread::msleep(30);
    }
    return true;
}

}  // namespace testing_support
