#include "support/status_notifier_watcher.h"

#include <QMetaObject>

namespace testing_support {

StatusNotifierWatcher::~StatusNotifierWatcher() {
    if (thread_.isRunning()) {
        // Back to the test's thread before that thread ends, so the object goes where it was made.
        QThread* const home = QThread::currentThread();
        QMetaObject::invokeMethod(
            this, [this, home] { moveToThread(home); }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
}

bool StatusNotifierWatcher::Serve(QDBusConnection connection) {
    if (!connection.registerObject(
            QStringLiteral("/StatusNotifierWatcher"), this,
            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties) ||
        !connection.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        return false;
    }
    thread_.start();
    moveToThread(&thread_);
    return true;
}

QStringList StatusNotifierWatcher::RegisteredStatusNotifierItems() const {
    const QMutexLocker lock(&mutex_);
    return items_;
}

void StatusNotifierWatcher::RegisterStatusNotifierItem(const QString& service) {
    const QMutexLocker lock(&mutex_);
    items_.append(service);
}

}  // namespace testing_support
