#include "app/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace app {

namespace {

// A request is one short line; anything longer is not ours and is dropped.
constexpr qint64 MaxRequestBytes = 64;

}  // namespace

SingleInstance::SingleInstance(QString name, QString folder)
    : name_(std::move(name)), folder_(std::move(folder)) {
    if (folder_.isEmpty()) {
        // Qt makes sure the runtime folder belongs to the user and is mode 0700.
        folder_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    }
    if (folder_.isEmpty()) {
        folder_ = QDir::tempPath();
    }
}

SingleInstance::~SingleInstance() {
    if (server_) {
        server_->close();  // removes the socket file
    }
}

bool SingleInstance::AnotherCopyRuns() {
    lock_ =
        std::make_unique<QLockFile>(folder_ + QLatin1Char('/') + name_ + QStringLiteral(".lock"));
    // The lock is never stale by age: it is as old as the run. It is stale only when the
    // process that wrote it is gone, which QLockFile checks by its process id and by the
    // application name it records, which must stay the executable's own name for that check.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        return false;
    }
    if (lock_->error() == QLockFile::LockFailedError) {
        return true;
    }
    lock_.reset();  // cannot be made: run as the first copy, as with a mutex that failed
    return false;
}

bool SingleInstance::Listen(std::function<void()> onRestore) {
    onRestore_ = std::move(onRestore);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(server_.get(), &QLocalServer::newConnection, this,
                     [this] { OnNewConnection(); });
    const QString path = SocketPath();
    if (lock_ && lock_->isLocked()) {
        // Holding the lock, any socket file there is left from a copy that crashed.
        QLocalServer::removeServer(path);
    }
    return server_->listen(path);
}

void SingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() > MaxRequestBytes) {
                socket->abort();
                return;
            }
            if (!socket->canReadLine()) {
                return;
            }
            const QByteArray line = socket->readLine(MaxRequestBytes);
            socket->disconnectFromServer();
            if (line == QByteArray(RestoreRequest) && onRestore_) {
                onRestore_();
            }
        });
    }
}

bool SingleInstance::AskFirstCopyToRestore(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(SocketPath());
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    socket.write(RestoreRequest);
    const bool sent = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        socket.waitForDisconnected(timeoutMs);
    }
    return sent;
}

}  // namespace app
