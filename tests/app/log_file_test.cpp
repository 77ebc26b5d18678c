#include "app/core/log_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
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

TEST(LogFile, InitEmptiesAnEarlierRunOfTheSameName) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.txt"));
    {
        CLogFile first;
        first.Init(path.toLocal8Bit());
        first.Write(QStringLiteral("first run"));
    }
    CLogFile second;
    second.Init(path.toLocal8Bit());
    EXPECT_EQ(QFileInfo(path).size(), 0);
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
