#include "platform/power_events.h"

#include <QDBusConnectionInterface>
#include <QString>

namespace platform {

namespace {

const QString LogindService = QStringLiteral("org.freedesktop.login1");
const QString LogindPath = QStringLiteral("/org/freedesktop/login1");
const QString LogindManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString PrepareForSleep = QStringLiteral("PrepareForSleep");

}  // namespace

PowerEvents::PowerEvents(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), bus_(QString()) {}

PowerEvents::~PowerEvents() {
    if (watching_) {
        bus_.disconnect(LogindService, LogindPath, LogindManager, PrepareForSleep, this,
                        SLOT(OnPrepareForSleep(bool)));
    }
}

bool PowerEvents::Watch(const QDBusConnection& bus) {
    if (watching_ || !bus.isConnected()) {
        return watching_;
    }
    bus_ = bus;
    watching_ = bus_.connect(LogindService, LogindPath, LogindManager, PrepareForSleep, this,
                             SLOT(OnPrepareForSleep(bool)));
    if (watching_ && bus_.interface() != nullptr) {
        // One round trip on the bus: the daemon has taken the subscription before the caller
        // goes on, so a sleep that starts right after start-up is not missed.
        bus_.interface()->isServiceRegistered(LogindService);
    }
    return watching_;
}

void PowerEvents::OnPrepareForSleep(bool start) {
    if (handler_) {
        handler_(start ? PowerEvent::Suspend : PowerEvent::Resume);
    }
}

}  // namespace platform
