// The machine going to sleep and waking up, as logind announces it on the system bus: its
// signal PrepareForSleep(true) just before the machine sleeps, PrepareForSleep(false) once it
// is awake again. Only logind's own signal counts (the sender must own logind's bus name).
// logind does not wait for anyone unless asked: while awake the object holds a delay lock on
// sleep (logind's Inhibit, mode "delay"), and gives it up only once the handler of the sleep
// signal has returned, so that the work done there is finished before the machine sleeps. Where
// no system bus can be reached (a container, a test run) nothing is watched and nothing fails;
// where logind refuses the lock the signals still arrive, without the wait. The handler is
// called on the thread that owns the object (the user-interface thread).
#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>
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
    // True while the delay lock on sleep is held.
    bool HoldsSleepLock() const { return sleepLock_.isValid(); }

private Q_SLOTS:
    void OnPrepareForSleep(bool start);

private:
    // Asks for the delay lock; the answer comes back later (never blocks).
    void TakeSleepLock();

    Handler handler_;
    QDBusUnixFileDescriptor sleepLock_;
    // The bus by name only: a copy of the connection kept here could be its last reference,
    // and the connection would then be torn down on its own thread while this object, still
    // connected to it, is half destroyed.
    QString busName_;
    bool watching_ = false;
};

}  // namespace platform
