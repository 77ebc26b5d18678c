#include "support/private_bus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>

namespace testing_support {

namespace {

// Anyone may own any name and send anything: the daemon exists for one test.
constexpr char BusConfig[] =
    R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>custom</type>
  <listen>unix:path=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
  </policy>
</busconfig>
)";

}  // namespace

PrivateSystemBus::PrivateSystemBus() {
    if (!dir_.isValid()) {
        return;
    }
    const QString socket = dir_.filePath(QStringLiteral("system_bus_socket"));
    const QString config = dir_.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QString::fromLatin1(BusConfig).arg(socket).toUtf8()) < 0) {
        return;
    }
    file.close();
    daemon_.setProgram(QStringLiteral("dbus-daemon"));
    // The daemon prints its address once it listens; a socket file is there a moment earlier.
    daemon_.setArguments({QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                          QStringLiteral("--print-address"),
                          QStringLiteral("--config-file=") + config});
    daemon_.setStandardErrorFile(dir_.filePath(QStringLiteral("daemon.err")));
    daemon_.start();
    if (!daemon_.waitForStarted(5000)) {
        return;
    }
    while (!daemon_.canReadLine() && daemon_.waitForReadyRead(10000)) {
    }
    address_ = QStringLiteral("unix:path=") + socket;
    connectionName_ = QStringLiteral("logind-stand-in-%1").arg(reinterpret_cast<quintptr>(this));
    ok_ = QDBusConnection::connectToBus(address_, connectionName_).isConnected();
}

PrivateSystemBus::~PrivateSystemBus() {
    if (!connectionName_.isEmpty()) {
        QDBusConnection::disconnectFromBus(connectionName_);
    }
    if (daemon_.state() != QProcess::NotRunning) {
        daemon_.terminate();
        if (!daemon_.waitForFinished(5000)) {
            daemon_.kill();
            daemon_.waitForFinished(5000);
        }
    }
}

QDBusConnection PrivateSystemBus::Connection() const {
    return QDBusConnection(connectionName_);
}

bool PrivateSystemBus::OwnLogindName() {
    if (ok_ && !ownsLogindName_) {
        ownsLogindName_ = Connection().registerService(QStringLiteral("org.freedesktop.login1"));
    }
    return ownsLogindName_;
}

bool PrivateSystemBus::EmitPrepareForSleep(bool start) {
    if (!OwnLogindName()) {
        return false;
    }
    QDBusConnection bus = Connection();
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("PrepareForSleep"));
    signal << start;
    return bus.send(signal);
}

}  // namespace testing_support
