#include "app/single_instance.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>

#include "support/qt_app.h"

namespace {

using testing_support::ProcessEventsFor;
using testing_support::ProcessEventsUntil;
using testing_support::TestApplication;

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        ASSERT_TRUE(dir_.isValid());
    }
    QString Folder() const { return dir_.path(); }
    QTemporaryDir dir_;
};

TEST_F(SingleInstanceTest, SecondCopyFindsTheFirstAndItsRequestRestoresIt) {
    app::SingleInstance first(QStringLiteral("CKVE_ZelboApp"), Folder());
    ASSERT_FALSE(first.AnotherCopyRuns());
    int restores = 0;
    ASSERT_TRUE(first.Listen([&] { ++restores; }));

    app::SingleInstance second(QStringLiteral("CKVE_ZelboApp"), Folder());
    EXPECT_TRUE(second.AnotherCopyRuns());
    EXPECT_TRUE(second.AskFirstCopyToRestore(1000));
    EXPECT_TRUE(ProcessEventsUntil([&] { return restores == 1; }));

    app::SingleInstance third(QStringLiteral("CKVE_ZelboApp"), Folder());
    EXPECT_TRUE(third.AnotherCopyRuns());
    EXPECT_TRUE(third.AskFirstCopyToRestore(1000));
    EXPECT_TRUE(ProcessEventsUntil([&] { return restores == 2; }));
}

TEST_F(SingleInstanceTest, TheSocketIsTheUsersAlone) {
    app::SingleInstance first(QStringLiteral("CKVE_ZelboApp"), Folder());
    ASSERT_FALSE(first.AnotherCopyRuns());
    ASSERT_TRUE(first.Listen([] {}));
    struct stat info {};
    ASSERT_EQ(::stat(first.SocketPath().toLocal8Bit().constData(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 077, 0u) << "no access for group or others";
}

TEST_F(SingleInstanceTest, OtherTextsOnTheSocketRestoreNothing) {
    app::SingleInstance first(QStringLiteral("CKVE_ZelboApp"), Folder());
    ASSERT_FALSE(first.AnotherCopyRuns());
    int restores = 0;
    ASSERT_TRUE(first.Listen([&] { ++restores; }));
    for (const QByteArray& text :
         {QByteArray("restore please\n"), QByteArray("RESTORE\n"), QByteArray(4096, 'r')}) {
        QLocalSocket socket;
        socket.connectToServer(first.SocketPath());
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(text);
        socket.waitForBytesWritten(1000);
        ProcessEventsFor(50);
        socket.disconnectFromServer();
    }
    ProcessEventsFor(50);
    EXPECT_EQ(restores, 0);
}

TEST_F(SingleInstanceTest, LockAndSocketOfACrashedCopyAreTakenOver) {
    // A process that is gone by now wrote the lock; its socket file is still there.
    QProcess gone;
    gone.start(QStringLiteral("true"));
    ASSERT_TRUE(gone.waitForStarted(5000));
    const qint64 deadPid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished(5000));
    ASSERT_GT(deadPid, 0);
    QFile lock(Folder() + QStringLiteral("/CKVE_ZelboApp.lock"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(deadPid) + "\nzelbo-mouse\n" +
               QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    QFile stale(Folder() + QStringLiteral("/CKVE_ZelboApp"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();

    app::SingleInstance next(QStringLiteral("CKVE_ZelboApp"), Folder());
    EXPECT_FALSE(next.AnotherCopyRuns());
    int restores = 0;
    ASSERT_TRUE(next.Listen([&] { ++restores; }));
    app::SingleInstance second(QStringLiteral("CKVE_ZelboApp"), Folder());
    EXPECT_TRUE(second.AnotherCopyRuns());
    EXPECT_TRUE(second.AskFirstCopyToRestore(1000));
    EXPECT_TRUE(ProcessEventsUntil([&] { return restores == 1; }));
}

TEST_F(SingleInstanceTest, AFirstCopyThatEndsFreesTheNameAndARequestToNobodyFails) {
    {
        app::SingleInstance first(QStringLiteral("CKVE_ZelboApp"), Folder());
        ASSERT_FALSE(first.AnotherCopyRuns());
        ASSERT_TRUE(first.Listen([] {}));
    }
    app::SingleInstance again(QStringLiteral("CKVE_ZelboApp"), Folder());
    EXPECT_FALSE(again.AnotherCopyRuns());
    EXPECT_FALSE(again.AskFirstCopyToRestore(200)) << "nobody listens";
}

}  // namespace
