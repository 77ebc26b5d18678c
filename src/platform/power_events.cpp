#include "platform/power_events.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QString>

namespace platform {

namespace {

const QString LogindService = QStringLiteral("org.freedesktop.login1");
const QString LogindPath = QStringLiteral("/org/freedesktop/login1");
const QString LogindManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString PrepareForSleep = QStringLiteral("PrepareForSleep");
// Who asks for the lock and why, as tools that list the locks show it.
const QString LockWho = QStringLiteral("ZP-3907 Gaming mouse");
const QString LockWhy = QStringLiteral("Writes the mouse's settings before sleep");

}  // namespace

PowerEvents::PowerEvents(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {}

PowerEvents::~PowerEvents() {
    if (watching_) {
        QDBusConnection(busName_).disconnect(LogindService, LogindPath, LogindManager,
                                             PrepareForSleep, this, SLOT(OnPrepareForSleep(bool)));
    }
}

bool PowerEvents::Watch(const QDBusConnection& bus) {
    if (watching_ || !bus.isConnected()) {
        return watching_;
    }
    QDBusConnection watched = bus;
    watching_ = watched.connect(LogindService, LogindPath, LogindManager, PrepareForSleep, this,
                                SLOT(OnPrepareForSleep(bool)));
    if (watching_ && watched.interface() != nullptr) {
        // One round trip on the bus: the daemon has taken the subscription before the caller
        // goes on, so a sleep that starts right after start-up is not missed.
        watched.interface()->isServiceRegistered(LogindService);
    }
    if (watching_) {
        busName_ = watched.name();
        TakeSleepLock();
    }
    return watching_;
}

void PowerEvents::TakeSleepLock() {
    QDBusMessage inhibit = QDBusMessage::createMethodCall(LogindService, LogindPath, LogindManager,
                                                          QStringLiteral("Inhibit"));
    inhibit << QStringLiteral("sleep") << LockWho << LockWhy << QStringLiteral("delay");
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection(busName_).asyncCall(inhibit), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *call;
                if (reply.isValid() && reply.value().isValid()) {
                    sleepLock_ = reply.value();
                }
                call->deleteLater();
            });
}

void PowerEvents::OnPrepareForSleep(bool start) {
    if (handler_) {
        handler_(start ? PowerEvent::Suspend : PowerEvent::Resume);
    }
    if (start) {
        sleepLock_ = QDBusUnixFileDescriptor();  // done: the machine may sleep now
    } else if (!sleepLock_.isValid()) {
        TakeSleepLock();  // for the next sleep
    }
}

}  // namespace platform
