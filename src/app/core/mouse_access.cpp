#include "app/core/mouse_access.h"

#include "common/log_file.h"
#include "device/discovery.h"
#include "platform/message_service.h"
#include "platform/module_path.h"

namespace app {

QString AccessDeniedMessage(const QString& windowTitle, std::uint8_t langSel,
                            const QStringList& nodes) {
    const QString rule = QString::fromLatin1(AccessRuleFileName);
    const QString where = nodes.join(QStringLiteral(", "));
    if (langSel == 1) {
        return QStringLiteral("The【") + windowTitle +
               QStringLiteral("】USB Mouse is plugged in, but this user may not open it (") +
               where + QStringLiteral("). Please install the udev rule ") + rule +
               QStringLiteral(" (see the README), then unplug and replug the mouse.");
    }
    return QStringLiteral("【") + windowTitle +
           QStringLiteral("】USB鼠标已插入，但当前用户无权打开它（") + where +
           QStringLiteral("）。请安装 udev 规则 ") + rule +
           QStringLiteral("（见 README），然后拔下并重新插入鼠标。");
}

QString AccessDeniedLogLine(const QString& node, const QString& ruleFile) {
    return QStringLiteral("Permission denied: ") + node +
           QStringLiteral("; install the udev rule ") + ruleFile +
           QStringLiteral(" in /etc/udev/rules.d, then replug the mouse");
}

bool ReportAccessDeniedMouse(const QString& windowTitle, std::uint8_t langSel) {
    const QStringList nodes = AccessDeniedMouseNodes();
    if (nodes.isEmpty()) {
        return false;
    }
    // The rule as the build and an install place it: beside the executable, not in the user's
    // copy of the program's folder.
    const QString ruleFile =
        platform::ExecutableDir() + QLatin1Char('/') + QString::fromLatin1(AccessRuleFileName);
    for (const QString& node : nodes) {
        g_LogFile.Write(AccessDeniedLogLine(node, ruleFile));
    }
    platform::ShowMessage(AccessDeniedMessage(windowTitle, langSel, nodes));
    return true;
}

}  // namespace app
