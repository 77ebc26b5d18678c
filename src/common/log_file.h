// The process-wide log of the run: one file in LOG beside the program, named after the time
// the run started, one entry per message followed by an empty line. Nothing reads it back.
// Every entry also goes to the logging category "zelbo.log" (the debugger output of the
// Windows program), which is off unless QT_LOGGING_RULES turns it on.
// Every layer logs, so the log lives below all of them, beside the platform layer.
// Any thread may Write; the lock keeps entries whole and in order.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <mutex>

class CLogFile {
public:
    CLogFile() = default;
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    // Creates the file as a new one and remembers its path. When a file of that name exists
    // (a run started in the same second), that one is left as it is and the next free name of
    // "<name>-2.txt", "<name>-3.txt", ... is taken instead.
    void Init(const QByteArray& path);
    // Adds "[YYYY/MM/DD hh:mm:ss]\t<message>" and an empty line; before Init only the
    // debugger output gets it.
    void Write(const QString& message);

    QByteArray Path() const;

private:
    mutable std::mutex lock_;
    QByteArray path_;
    QString line_;  // the last formatted entry
};

extern CLogFile g_LogFile;

// The entry for one message at the given local time (without the empty line after it).
QString FormatLogEntry(const QDateTime& localTime, const QString& message);
// "Mouse%d_%d_%d_%02d_%02d_%02d.txt": month and day unpadded, the time padded.
QString SessionLogName(const QDateTime& localTime);
// Builds this run's log path in exeDir/LOG, makes exeDir the current directory, creates LOG
// and initialises g_LogFile. Returns the path the log took.
QString OpenSessionLog(const QString& exeDir, const QDateTime& startTime);
