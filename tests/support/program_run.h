// Runs the built program the way a person does, on a fresh program folder in a temporary
// directory (the shipped files and the executable, never what a run left in the build's folder):
// its own runtime folder (so single-instance state never meets a real copy), message boxes written
// to a file, and optionally the simulated mouse with its report trace and its injection FIFO. Every
// run ends: by itself, through the FIFO ("unplug"), or killed by the test. On the test's thread.
#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <memory>
#include <string>

namespace testing_support {

class ProgramFolder {
public:
    // Lays out the shipped files (ZELBO_SHIPPED_DIR) and the executable of programDir in a fresh
    // temporary directory. The build's program folder holds what runs of it changed (config.ini,
    // macros, LOG/), so only its executable is taken.
    explicit ProgramFolder(const QString& programDir);
    bool ok() const { return ok_; }

    QString Dir() const { return root_.filePath(QStringLiteral("program")); }
    QString Path(const QString& relative) const { return Dir() + QLatin1Char('/') + relative; }
    QString ConfigIni() const { return Path(QStringLiteral("skins/INI_CFG/config.ini")); }
    QString MessageLog() const { return root_.filePath(QStringLiteral("messages.txt")); }
    QString TraceFile() const { return root_.filePath(QStringLiteral("trace.txt")); }
    QString InjectFifo() const { return root_.filePath(QStringLiteral("inject.fifo")); }
    QString RuntimeDir() const { return root_.filePath(QStringLiteral("run")); }
    // The error output of the n-th run on this folder.
    QString StandardErrorFile(int run) const {
        return root_.filePath(QStringLiteral("stderr%1.txt").arg(run));
    }
    int NextRunNumber() const { return ++runs_; }

    // The log files the runs wrote, oldest name first.
    QStringList LogFiles() const;
    // The entries of one log file: the messages without their time stamps.
    static QStringList LogMessages(const QString& logPath);
    // The entries of the newest log file.
    QStringList LastLogMessages() const;
    // Lines of the message log (one message box each).
    QStringList Messages() const;
    // Lines of the simulated mouse's trace.
    QStringList TraceLines() const;

    static QByteArray ReadFile(const QString& path);
    static bool WriteFile(const QString& path, const QByteArray& content);

private:
    QTemporaryDir root_;
    bool ok_ = false;
    mutable int runs_ = 0;
};

class ProgramRun {
public:
    ProgramRun(const ProgramFolder& folder, bool simulatedMouse);
    ~ProgramRun();  // kills a run that is still going
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // Sets a variable of the run's environment (before Start).
    void SetEnvironment(const QString& name, const QString& value);
    bool Start();
    // True when the program ended by itself within timeoutMs.
    bool WaitForEnd(int timeoutMs);
    int ExitCode() const { return process_.exitCode(); }
    bool Crashed() const { return process_.exitStatus() == QProcess::CrashExit; }
    QProcess::ProcessState State() const { return process_.state(); }
    qint64 ProcessId() const { return process_.processId(); }
    // Waits until the newest log file holds message (polling).
    bool WaitForLogMessage(const QString& message, int timeoutMs);
    // A line to the simulated mouse's FIFO ("unplug", "replug", hex bytes).
    bool Inject(const QByteArray& line);
    void Kill();
    QByteArray StandardError();

private:
    const ProgramFolder& folder_;
    QProcess process_;
    bool simulated_;
    QString errorFile_;
};

// How long a run may take to start or end, generous under the sanitizers.
int StartTimeoutMs();

// The run's error output without the copy of its log that goes there too: what a sanitizer or
// Qt reported.
std::string Diagnostics(ProgramRun& run);

// Polls condition every 20 ms until it holds or timeoutMs passed; returns the condition.
template <typename Condition>
bool Eventually(Condition condition, int timeoutMs = StartTimeoutMs()) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs) {
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

}  // namespace testing_support
