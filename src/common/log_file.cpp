#include "common/log_file.h"

#include <QDir>
#include <QLoggingCategory>
#include <cerrno>

#include "platform/regular_file.h"

CLogFile g_LogFile;

namespace {

// The debugger output of the Windows program. Here a logging category that is off unless the
// user turns it on (QT_LOGGING_RULES="zelbo.log=true"), so the terminal stays quiet. (A name
// ending in ".debug" would not do: the rules read that ending as the message type.)
Q_LOGGING_CATEGORY(DebugOutputCategory, "zelbo.log", QtWarningMsg)

void DebugOutput(const QString& text) {
    qCDebug(DebugOutputCategory).noquote() << text;
}

// Further names for a log whose name is taken: "Mouse..._05_03-2.txt", "-3", and so on.
constexpr int MaxLogNameNumber = 100;

QString NumberedPath(const QString& path, int number) {
    if (number <= 1) {
        return path;
    }
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash + 1) {
        dot = path.size();
    }
    return path.left(dot) + QLatin1Char('-') + QString::number(number) + path.mid(dot);
}

}  // namespace

QString FormatLogEntry(const QDateTime& localTime, const QString& message) {
    const QDate d = localTime.date();
    const QTime t = localTime.time();
    return QString::asprintf("[%04d/%02d/%02d %02d:%02d:%02d]\t", d.year(), d.month(), d.day(),
                             t.hour(), t.minute(), t.second()) +
           message + QLatin1Char('\n');
}

QString SessionLogName(const QDateTime& localTime) {
    const QDate d = localTime.date();
    const QTime t = localTime.time();
    return QString::asprintf("Mouse%d_%d_%d_%02d_%02d_%02d.txt", d.year(), d.month(), d.day(),
                             t.hour(), t.minute(), t.second());
}

void CLogFile::Init(const QByteArray& path) {
    std::lock_guard lock(lock_);
    path_ = path;
    if (path.isEmpty()) {
        return;
    }
    // A new file: a run started within the same second as an earlier one (which may have
    // crashed) keeps that run's log and writes its own under the next free numbered name.
    const QString wanted = QString::fromLocal8Bit(path);
    for (int number = 1; number <= MaxLogNameNumber; ++number) {
        const QString candidate = NumberedPath(wanted, number);
        int error = 0;
        if (platform::CreateNewRegularFile(candidate, &error)) {
            path_ = candidate.toLocal8Bit();
            return;
        }
        if (error != EEXIST) {
            return;  // the folder is missing or not ours: entries are lost, the run goes on
        }
    }
}

void CLogFile::Write(const QString& message) {
    std::lock_guard lock(lock_);
    const QDateTime now = QDateTime::currentDateTime();
    DebugOutput(message);
    line_ = FormatLogEntry(now, message);
    DebugOutput(QStringLiteral("1111111111"));
    DebugOutput(line_.chopped(1));
    if (path_.isEmpty()) {
        return;  // before Init: the debugger output only
    }
    // Opened anew for every entry, so a file that was missing or locked for one entry gets the
    // next ones; an entry that cannot be written is lost and the program runs on. Only a regular
    // file is written: a FIFO in its place is never waited on.
    // Each entry is followed by an empty line. Messages are ASCII; anything else goes as UTF-8.
    platform::AppendToRegularFile(QString::fromLocal8Bit(path_),
                                  (line_ + QLatin1Char('\n')).toUtf8());
}

QByteArray CLogFile::Path() const {
    std::lock_guard lock(lock_);
    return path_;
}

QString OpenSessionLog(const QString& exeDir, const QDateTime& startTime) {
    QDir::setCurrent(exeDir);
    QDir(exeDir).mkdir(QStringLiteral("LOG"));  // failure (it exists) is ignored
    // The path is kept whole whatever its length: the fixed buffers of the Windows program
    // would have cut it, which only loses the log.
    const QString path = exeDir + QStringLiteral("/LOG/") + SessionLogName(startTime);
    g_LogFile.Init(path.toLocal8Bit());
    return QString::fromLocal8Bit(g_LogFile.Path());
}
