#include "common/log_file.h"

#include <gtest/gtest.h>

#include "support/fifo_watchdog.h"

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <thread>
#include <vector>

namespace {

QStringList ReadLines(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(file.readAll());
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

TEST(LogFileName, PadsTimeButNotMonthAndDay) {
    const QDateTime start(QDate(2018, 12, 9), QTime(8, 5, 3));
    EXPECT_EQ(SessionLogName(start), QStringLiteral("Mouse2018_12_9_08_05_03.txt"));
    const QDateTime later(QDate(2026, 1, 31), QTime(23, 59, 0));
    EXPECT_EQ(SessionLogName(later), QStringLiteral("Mouse2026_1_31_23_59_00.txt"));
}

TEST(LogFileEntry, StampsTimeThenTabThenMessage) {
    const QDateTime at(QDate(2018, 12, 19), QTime(9, 5, 3));
    EXPECT_EQ(FormatLogEntry(at, QStringLiteral("Finish Init!")),
              QStringLiteral("[2018/12/19 09:05:03]\tFinish Init!\n"));
}

TEST(LogFile, TwoMessagesGiveFourLines) {
    QTemporaryDir dir;
    CLogFile log;
    const QString path = dir.filePath(QStringLiteral("run.txt"));
    log.Init(path.toLocal8Bit());
    log.Write(QStringLiteral("In OnInitMenu"));
    log.Write(QStringLiteral("Finish Init!"));
    const QStringList lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("]\tIn OnInitMenu")));
    EXPECT_TRUE(lines[1].isEmpty());
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral("]\tFinish Init!")));
    EXPECT_TRUE(lines[3].isEmpty());
}

TEST(LogFile, RunInTheSameSecondKeepsTheEarlierLogAndTakesTheNextName) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Mouse2018_12_9_08_05_03.txt"));
    {
        CLogFile crashed;
        crashed.Init(path.toLocal8Bit());
        crashed.Write(QStringLiteral("first run"));
    }
    for (int run = 2; run <= 3; ++run) {
        CLogFile next;
        next.Init(path.toLocal8Bit());
        next.Write(QStringLiteral("run %1").arg(run));
        const QString own = dir.filePath(QStringLiteral("Mouse2018_12_9_08_05_03-%1.txt").arg(run));
        EXPECT_EQ(QString::fromLocal8Bit(next.Path()), own);
        ASSERT_EQ(ReadLines(own).size(), 2);
        EXPECT_TRUE(ReadLines(own)[0].endsWith(QStringLiteral("\trun %1").arg(run)));
    }
    const QStringList first = ReadLines(path);
    ASSERT_EQ(first.size(), 2);
    EXPECT_TRUE(first[0].endsWith(QStringLiteral("\tfirst run")));
}

TEST(LogFile, FifoInPlaceOfTheLogIsNeverWaitedOn) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.txt"));
    CLogFile log;
    log.Init(path.toLocal8Bit());
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    EXPECT_TRUE(testing_support::EndsWithoutWaitingOn(
        path, [&] { log.Write(QStringLiteral("Finish Init!")); }));
    EXPECT_FALSE(QFileInfo(path).isFile());
}

QStringList g_debugMessages;

void RecordDebugMessage(QtMsgType, const QMessageLogContext& context, const QString& text) {
    g_debugMessages.append(QString::fromLatin1(context.category) + QLatin1Char(':') + text);
}

// Messages go to the terminal only through the handler (Qt's own writes to standard error).
TEST(LogFile, DebuggerOutputReachesNoHandlerUnlessItsCategoryIsTurnedOn) {
    QTemporaryDir dir;
    CLogFile log;
    log.Init(dir.filePath(QStringLiteral("run.txt")).toLocal8Bit());
    g_debugMessages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(RecordDebugMessage);
    log.Write(QStringLiteral("off"));
    QLoggingCategory::setFilterRules(QStringLiteral("zelbo.log=true"));
    log.Write(QStringLiteral("Finish Init!"));
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    ASSERT_EQ(g_debugMessages.size(), 3) << "the category is off until the rules turn it on";
    EXPECT_EQ(g_debugMessages[0], QStringLiteral("zelbo.log:Finish Init!"));
    EXPECT_EQ(g_debugMessages[1], QStringLiteral("zelbo.log:1111111111"));
    EXPECT_TRUE(g_debugMessages[2].startsWith(QStringLiteral("zelbo.log:[")));
    EXPECT_TRUE(g_debugMessages[2].endsWith(QStringLiteral("]\tFinish Init!")));
}

TEST(LogFile, WriteBeforeInitReachesNoFile) {
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    CLogFile log;
    log.Write(QStringLiteral("too early"));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(LogFile, ConcurrentWritersNeverInterleaveEntries) {
    QTemporaryDir dir;
    CLogFile log;
    const QString path = dir.filePath(QStringLiteral("run.txt"));
    log.Init(path.toLocal8Bit());
    constexpr int kThreads = 4;
    constexpr int kEach = 50;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&log, t] {
            for (int i = 0; i < kEach; ++i) {
                log.Write(QStringLiteral("thread %1 entry %2 ").arg(t).arg(i).repeated(3));
            }
        });
    }
    for (auto& w : writers) {
        w.join();
    }
    const QStringList lines = ReadLines(path);
    ASSERT_EQ(lines.size(), kThreads * kEach * 2);
    for (int i = 0; i < lines.size(); i += 2) {
        EXPECT_TRUE(lines[i].startsWith(QLatin1Char('['))) << lines[i].toStdString();
        const QString message = lines[i].section(QLatin1Char('\t'), 1);
        const QString unit = message.left(message.size() / 3);
        EXPECT_EQ(message, unit.repeated(3)) << "entry torn: " << lines[i].toStdString();
        EXPECT_TRUE(lines[i + 1].isEmpty());
    }
}

TEST(SessionLog, CreatesLogFolderAndChangesDirectory) {
    QTemporaryDir dir;
    const QDateTime start(QDate(2018, 12, 9), QTime(8, 5, 3));
    const QString path = OpenSessionLog(dir.path(), start);
    EXPECT_EQ(path, dir.path() + QStringLiteral("/LOG/Mouse2018_12_9_08_05_03.txt"));
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(QDir::currentPath(), QDir(dir.path()).canonicalPath());
    g_LogFile.Init(QByteArray());
}

}  // namespace
