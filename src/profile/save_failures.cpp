#include "profile/save_failures.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMetaObject>
#include <QThread>
#include <utility>

#include "common/log_file.h"
#include "platform/message_service.h"
#include "profile/profile_settings.h"

namespace {

// User-interface thread state.
int g_actionDepth = 0;
QStringList g_pending;  // files that failed within the action, each once
QStringList g_told;     // files whose failures the action only logs
// A message about failed saves is on the screen: what fails while it waits for the user (work
// that its event loop runs) is logged, not stacked on it in a second box.
bool g_telling = false;

bool OnUserInterfaceThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app == nullptr || QThread::currentThread() == app->thread();
}

void Tell(const QStringList& paths) {
    if (paths.isEmpty() || g_telling) {
        return;
    }
    QStringList names;
    for (const QString& path : paths) {
        names.append(QFileInfo(path).fileName());
    }
    g_telling = true;
    platform::ShowMessage(SaveFailureMessage(names, g_langSel));
    g_telling = false;
}

void Note(const QString& path) {
    if (g_actionDepth == 0) {
        Tell({path});
    } else if (!g_pending.contains(path) && !g_told.contains(path)) {
        g_pending.append(path);
    }
}

}  // namespace

void ReportSaveFailure(const QString& path, const QString& reason) {
    g_LogFile.Write(QStringLiteral("Cannot save ") + path + QStringLiteral(": ") + reason);
    if (OnUserInterfaceThread()) {
        Note(path);
        return;
    }
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [path] { Note(path); }, Qt::QueuedConnection);
}

bool SaveIniWrites(std::span<const platform::ProfileWrite> writes, const QString& path) {
    const platform::WriteResult result = platform::WriteProfileStrings(writes, path);
    if (!result.ok) {
        ReportSaveFailure(path, result.reason);
    }
    return result.ok;
}

QString SaveFailureMessage(const QStringList& fileNames, std::uint8_t langSel) {
    const QString files = fileNames.join(QStringLiteral(", "));
    return (langSel == 1 ? QStringLiteral("Cannot save ") : QStringLiteral("无法保存")) + files +
           QLatin1Char('!');
}

SaveAction::SaveAction() {
    ++g_actionDepth;
}

SaveAction::~SaveAction() {
    if (--g_actionDepth > 0) {
        return;
    }
    const QStringList pending = std::exchange(g_pending, {});
    g_told.clear();
    Tell(pending);
}

void SaveAction::AlreadyTold(const QString& path) {
    if (!g_told.contains(path)) {
        g_told.append(path);
    }
}
