#include "platform/module_path.h"

#include <QFileInfo>

namespace platform {

QString ExecutableDir() {
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    const QString target = exe.canonicalFilePath();
    if (target.isEmpty()) {
        return {};
    }
    return QFileInfo(target).absolutePath();
}

}  // namespace platform
