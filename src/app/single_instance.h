// One copy of the program per user. The first copy holds a lock file and listens on a local
// socket, both named after the instance name and kept in the user's runtime folder (mode 0700),
// so no other user can reach them; a second copy finds the lock held, asks the first through the
// socket to restore its window and ends. A lock left by a copy that crashed is taken over (the
// process that held it is gone), and its socket file is replaced. User-interface thread only.
#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

namespace app {

inline constexpr char InstanceName[] = "CKVE_ZelboApp";
// What a second copy sends, one line.
inline constexpr char RestoreRequest[] = "restore\n";

class SingleInstance final : public QObject {
public:
    // folder: where the lock and the socket live; empty for the user's runtime folder.
    explicit SingleInstance(QString name = QString::fromLatin1(InstanceName), QString folder = {});
    ~SingleInstance() override;

    // True when another copy holds the lock. When the lock cannot be made at all (no folder,
    // no permission) this copy runs as the first one.
    bool AnotherCopyRuns();
    // First copy: listens for restore requests; onRestore runs for each, on this thread.
    bool Listen(std::function<void()> onRestore);
    // Second copy: sends the restore request to the first copy. False when it could not be
    // delivered (the first copy is ending or not yet listening); the second copy ends anyway.
    bool AskFirstCopyToRestore(int timeoutMs = 2000);

    QString SocketPath() const { return folder_ + QLatin1Char('/') + name_; }

private:
    void OnNewConnection();

    QString name_;
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
    std::function<void()> onRestore_;
};

}  // namespace app
