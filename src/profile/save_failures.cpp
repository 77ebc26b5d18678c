#include "profile/save_failures.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMetaObject>
#include <QThread>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "common/log_file.h"
#include "platform/message_service.h"
#include "profile/profile_settings.h"

namespace {

// User-interface thread state.
int g_actionDepth = 0;
bool g_tellLater = false;  // the outermost action tells after its work (from the mouse)
QStringList g_pending;     // files that failed within the action, each once
// Files the user has been told cannot be saved, and not saved since: their further failures
// (a DPI click at the mouse each) are logged only.
QStringList g_failing;
// A message about failed saves is on the screen: what fails while it waits for the user (work
// that its event loop runs) is logged, not stacked on it in a second box.
bool g_telling = false;

bool OnUserInterfaceThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app == nullptr || QThread::currentThread() == app->thread();
}

// Runs work on the user-interface thread: now when called there, else queued to it.
void OnUserInterfaceThreadDo(std::function<void()> work) {
    if (OnUserInterfaceThread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(work), Qt::QueuedConnection);
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
    if (g_failing.contains(path)) {
        return;
    }
    g_failing.append(path);
    if (g_actionDepth == 0) {
        Tell({path});
    } else {
        g_pending.append(path);
    }
}

}  // namespace

void ReportSaveFailure(const QString& path, const QString& reason) {
    g_LogFile.Write(QStringLiteral("Cannot save ") + path + QStringLiteral(": ") + reason);
    OnUserInterfaceThreadDo([path] { Note(path); });
}

void ReportSaved(const QString& path) {
    OnUserInterfaceThreadDo([path] { g_failing.removeAll(path); });
}

bool SaveIniWrites(std::span<const platform::ProfileWrite> writes, const QString& path) {
    const platform::FileWrites file{path, writes};
    return SaveIniWritesTogether(std::span(&file, 1));
}

bool SaveIniWritesTogether(std::span<const platform::FileWrites> files) {
    const std::vector<platform::WriteResult> results = platform::WriteProfileStringsTogether(files);
    // One message, naming first the file that failed, then those left unwritten with it.
    std::optional<SaveAction> together;
    if (OnUserInterfaceThread()) {
        together.emplace();
    }
    bool ok = true;
    for (const bool causes : {true, false}) {
        for (size_t i = 0; i < files.size(); ++i) {
            if (!results[i].ok && results[i].otherFailed != causes) {
                ReportSaveFailure(files[i].fileName, results[i].reason);
                ok = false;
            } else if (causes && results[i].written) {
                ReportSaved(files[i].fileName);
            }
        }
    }
    return ok;
}

void ForgetToldSaveFailures() {
    g_failing.clear();
}

QString SaveFailureMessage(const QStringList& fileNames, std::uint8_t langSel) {
    const QString files = fileNames.join(QStringLiteral(", "));
    return (langSel == 1 ? QStringLiteral("Cannot save ") : QStringLiteral("无法保存")) + files +
           QLatin1Char('!');
}

SaveAction::SaveAction(Telling telling) {
    if (g_actionDepth++ == 0) {
        g_tellLater = telling == Telling::Later;
    }
}

SaveAction::~SaveAction() {
    if (--g_actionDepth > 0) {
        return;
    }
    QStringList pending = std::exchange(g_pending, {});
    if (!g_tellLater || pending.isEmpty() || QCoreApplication::instance() == nullptr) {
        Tell(pending);
        return;
    }
    // The work that follows the mouse's event (a body to write, the next event) never waits
    // behind a message box: it is shown once that work has returned to the event loop.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [pending = std::move(pending)] { Tell(pending); },
        Qt::QueuedConnection);
}

void SaveAction::AlreadyTold(const QString& path) {
    if (!g_failing.contains(path)) {
        g_failing.append(path);
    }
}
