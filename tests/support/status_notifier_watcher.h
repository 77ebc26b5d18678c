// A stand-in for the watcher that a StatusNotifierItem host (KDE Plasma, GNOME's AppIndicator
// extension) runs on the session bus: it owns org.kde.StatusNotifierWatcher, says a host is
// there (in its introspection data too, where the toolkit reads that property) and takes the
// items' registrations. It answers on a thread of its own, so a test may wait without running
// an event loop while the program's start-up asks it. Made and used on the test's thread.
#pragma once

#include <QDBusConnection>
#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QThread>

namespace testing_support {

class StatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ IsStatusNotifierHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ ProtocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ RegisteredStatusNotifierItems)

public:
    StatusNotifierWatcher() = default;
    ~StatusNotifierWatcher() override;

    // Takes the watcher's name and object on the bus; false when either is refused.
    bool Serve(QDBusConnection connection);

    bool IsStatusNotifierHostRegistered() const { return true; }
    int ProtocolVersion() const { return 0; }
    // The bus names of the items registered so far.
    QStringList RegisteredStatusNotifierItems() const;

public slots:
    void RegisterStatusNotifierItem(const QString& service);
    void RegisterStatusNotifierHost(const QString&) {}

private:
    mutable QMutex mutex_;  // the registrations arrive on the watcher's thread
    QStringList items_;
    QThread thread_;
};

}  // namespace testing_support
