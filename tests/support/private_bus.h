// A private D-Bus daemon that stands in for the system bus of an end-to-end run: the program is
// pointed at it through DBUS_SYSTEM_BUS_ADDRESS, and the test speaks on it as logind would,
// owning logind's bus name and emitting its PrepareForSleep signal. The daemon ends with the
// object. On the test's thread.
#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace testing_support {

class PrivateSystemBus {
public:
    PrivateSystemBus();
    ~PrivateSystemBus();
    PrivateSystemBus(const PrivateSystemBus&) = delete;
    PrivateSystemBus& operator=(const PrivateSystemBus&) = delete;

    // False when dbus-daemon could not be started (not installed).
    bool ok() const { return ok_; }
    QString Address() const { return address_; }

    // The test's own connection to the bus (logind's side).
    QDBusConnection Connection() const;
    // Takes logind's name on the bus for the test's connection (once).
    bool OwnLogindName();
    // Emits PrepareForSleep(start) from logind's name.
    bool EmitPrepareForSleep(bool start);

private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
    QString connectionName_;
    bool ok_ = false;
    bool ownsLogindName_ = false;
};

}  // namespace testing_support
