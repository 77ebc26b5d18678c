// The machine going to sleep and waking up, as logind announces it on the system bus: its
// signal PrepareForSleep(true) just before the machine sleeps, PrepareForSleep(false) once it
// is awake again. Only logind's own signal counts (the sender must own logind's bus name).
// Where no system bus can be reached (a container, a test run) nothing is watched and nothing
// fails. The handler is called on the thread that owns the object (the user-interface thread).
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <functional>

namespace platform {

enum class PowerEvent { Suspend, Resume };

class PowerEvents final : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(PowerEvent)>;

    explicit PowerEvents(Handler handler, QObject* parent = nullptr);
    ~PowerEvents() override;
    PowerEvents(const PowerEvents&) = delete;
    PowerEvents& operator=(const PowerEvents&) = delete;

    // Subscribes to the signal on bus (the system bus: DBUS_SYSTEM_BUS_ADDRESS, else the
    // standard socket). False when the bus is not connected or refused the subscription.
    bool Watch(const QDBusConnection& bus = QDBusConnection::systemBus());
    bool Watching() const { return watching_; }

private Q_SLOTS:
    void OnPrepareForSleep(bool start);

private:
    Handler handler_;
    QDBusConnection bus_;
    bool watching_ = false;
};

}  // namespace platform
