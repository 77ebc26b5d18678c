// Sleep and wake-up from logind on a private bus: only logind's own signal counts, and the delay
// lock on sleep is held while the program handles the sleep signal and given up right after.
#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <memory>
#include <vector>

#include "platform/power_events.h"
#include "support/private_bus.h"
#include "support/qt_app.h"

namespace {

using platform::PowerEvent;
using testing_support::PrivateSystemBus;
using testing_support::ProcessEventsUntil;

// logind's Inhibit: each lock is the write end of a pipe, so the test sees it closed.
class LogindStandIn final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    ~LogindStandIn() override {
        for (int fd : lockReadEnds) {
            ::close(fd);
        }
    }
    std::vector<int> lockReadEnds;
    QStringList requests;

public Q_SLOTS:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                    const QString& mode) {
        requests.append(what + QLatin1Char('/') + mode);
        Q_UNUSED(who);
        Q_UNUSED(why);
        int fds[2];
        if (::pipe(fds) != 0) {
            return {};
        }
        lockReadEnds.push_back(fds[0]);
        QDBusUnixFileDescriptor lock(fds[1]);  // keeps a copy of its own
        ::close(fds[1]);
        return lock;
    }
};

// True once every holder of the lock behind readEnd has closed it.
bool Released(int readEnd) {
    pollfd p{readEnd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLHUP) != 0;
}

TEST(PowerEvents, LogindsSignalsArriveWithTheSleepLockHeldUntilTheSleepIsHandled) {
    testing_support::TestApplication();
    LogindStandIn logind;
    std::vector<PowerEvent> events;
    bool lockHeldWhileHandling = false;
    // Made before the bus and its thread: Qt's D-Bus thread reads the object under Qt's own
    // locks, which ThreadSanitizer cannot see, so only the thread's start orders it after this.
    auto power = std::make_unique<platform::PowerEvents>([&](PowerEvent event) {
        events.push_back(event);
        lockHeldWhileHandling =
            !logind.lockReadEnds.empty() && !Released(logind.lockReadEnds.back());
    });
    PrivateSystemBus bus;
    if (!bus.ok()) {
        GTEST_SKIP() << "needs dbus-daemon";
    }
    ASSERT_TRUE(bus.Connection().registerObject(QStringLiteral("/org/freedesktop/login1"), &logind,
                                                QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(bus.OwnLogindName());

    const QDBusConnection programSide =
        QDBusConnection::connectToBus(bus.Address(), QStringLiteral("program-side"));
    ASSERT_TRUE(power->Watch(programSide));
    ASSERT_TRUE(ProcessEventsUntil([&] { return power->HoldsSleepLock(); }));
    EXPECT_EQ(logind.requests, QStringList{QStringLiteral("sleep/delay")});

    // Anyone else on the bus sending the same signal is not logind.
    const QDBusConnection other =
        QDBusConnection::connectToBus(bus.Address(), QStringLiteral("someone-else"));
    QDBusMessage fake = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                   QStringLiteral("org.freedesktop.login1.Manager"),
                                                   QStringLiteral("PrepareForSleep"));
    fake << true;
    ASSERT_TRUE(other.send(fake));
    other.interface()->isServiceRegistered(QStringLiteral("x"));  // the bus has taken it

    ASSERT_TRUE(bus.EmitPrepareForSleep(true));
    ASSERT_TRUE(ProcessEventsUntil([&] { return !events.empty(); }));
    EXPECT_EQ(events, std::vector<PowerEvent>{PowerEvent::Suspend}) << "the stranger's is ignored";
    EXPECT_TRUE(lockHeldWhileHandling);
    EXPECT_TRUE(ProcessEventsUntil([&] { return Released(logind.lockReadEnds.front()); }))
        << "the machine may sleep once the program is done";

    ASSERT_TRUE(bus.EmitPrepareForSleep(false));
    ASSERT_TRUE(ProcessEventsUntil([&] { return events.size() == 2; }));
    EXPECT_EQ(events.back(), PowerEvent::Resume);
    EXPECT_TRUE(ProcessEventsUntil([&] { return power->HoldsSleepLock(); }))
        << "the lock is taken again for the next sleep";
    EXPECT_EQ(logind.requests.size(), 2);

    power.reset();  // while the connection it watches is still there, as in the program
    QDBusConnection::disconnectFromBus(QStringLiteral("program-side"));
    QDBusConnection::disconnectFromBus(QStringLiteral("someone-else"));
}

}  // namespace

#include "power_events_test.moc"
