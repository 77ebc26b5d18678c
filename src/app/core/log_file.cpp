#include "app/core/log_file.h"

#include <QDir>
#include <QFile>
#include <cstdio>

CLogFile g_LogFile;

namespace {

// The debugger output of the Windows program; here standard error.
void DebugOutput(const QString& text) {
    std::fprintf(stderr, "%s", text.toUtf8().constData());
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
    QFile file(QString::fromLocal8Bit(path_));
    // Creates or empties the file; a second run in the same second starts it afresh.
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.close();
    }
}

void CLogFile::Write(const QString& message) {
    std::lock_guard lock(lock_);
    const QDateTime now = QDateTime::currentDateTime();
    DebugOutput(message + QLatin1Char('\n'));
    line_ = FormatLogEntry(now, message);
    DebugOutput(QStringLiteral("1111111111\n") + line_);
    if (path_.isEmpty()) {
        return;  // before Init: the debugger output only
    }
    // Opened anew for every entry, so a file that was missing or locked for one entry gets the
    // next ones; an entry that cannot be written is lost and the program runs on.
    QFile file(QString::fromLocal8Bit(path_));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        return;
    }
    // Each entry is followed by an empty line. Messages are ASCII; anything else goes as UTF-8.
    file.write((line_ + QLatin1Char('\n')).toUtf8());
    file.close();
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
    return path;
}
