#include "support/program_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QThread>

namespace testing_support {

namespace {

bool CopyTree(const QString& from, const QString& to) {
    if (!QDir().mkpath(to)) {
        return false;
    }
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target)) {
                return false;
            }
        } else if (!QFile::copy(source, target)) {
            return false;
        }
    }
    return true;
}

QStringList SplitLines(const QByteArray& content) {
    QStringList lines = QString::fromUtf8(content).split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
    }
    while (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

}  // namespace

int StartTimeoutMs() {
    return 30000;
}

std::string Diagnostics(ProgramRun& run) {
    QStringList kept;
    for (const QString& line : QString::fromUtf8(run.StandardError()).split(QLatin1Char('\n'))) {
        if (!line.isEmpty() && line != QStringLiteral("1111111111") &&
            !line.startsWith(QLatin1Char('['))) {
            kept.append(line);
        }
    }
    return kept.join(QLatin1Char('\n')).right(6000).toStdString();
}

ProgramFolder::ProgramFolder(const QString& programDir) {
    const QString program = QStringLiteral("/zelbo-mouse");
    ok_ = root_.isValid() && CopyTree(QStringLiteral(ZELBO_SHIPPED_DIR), Dir()) &&
          // In-process tests run without the executable; a run of a missing one fails to start.
          (!QFile::exists(programDir + program) ||
           QFile::copy(programDir + program, Dir() + program)) &&
          QDir().mkpath(RuntimeDir()) &&
          QFile::setPermissions(RuntimeDir(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
}

QStringList ProgramFolder::LogFiles() const {
    QDir logDir(Path(QStringLiteral("LOG")));
    QStringList files;
    for (const QFileInfo& info : logDir.entryInfoList(QDir::Files, QDir::Time | QDir::Reversed)) {
        files.append(info.absoluteFilePath());
    }
    return files;
}

QStringList ProgramFolder::LogMessages(const QString& logPath) {
    QStringList messages;
    for (const QString& line : SplitLines(ReadFile(logPath))) {
        if (line.isEmpty()) {
            continue;  // the empty line after every entry
        }
        const int tab = line.indexOf(QLatin1Char('\t'));
        messages.append(tab < 0 ? line : line.mid(tab + 1));
    }
    return messages;
}

QStringList ProgramFolder::LastLogMessages() const {
    const QStringList files = LogFiles();
    return files.isEmpty() ? QStringList() : LogMessages(files.last());
}

QStringList ProgramFolder::Messages() const {
    return SplitLines(ReadFile(MessageLog()));
}

QStringList ProgramFolder::TraceLines() const {
    return SplitLines(ReadFile(TraceFile()));
}

QByteArray ProgramFolder::ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

bool ProgramFolder::WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(content) == content.size();
}

ProgramRun::ProgramRun(const ProgramFolder& folder, bool simulatedMouse)
    : folder_(folder), simulated_(simulatedMouse) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder.RuntimeDir());
    env.insert(QStringLiteral("ZELBO_MESSAGE_LOG"), folder.MessageLog());
    // The notification area of the display, not one on a session bus; an address that leads
    // nowhere, so that no bus is started on the display's behalf either.
    env.insert(
        QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
        QStringLiteral("unix:path=") + folder.RuntimeDir() + QStringLiteral("/no-session-bus"));
    // No system bus unless a test provides one: the machine's power events stay out of the run.
    env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"),
               QStringLiteral("unix:path=") + folder.RuntimeDir() + QStringLiteral("/no-bus"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("ZELBO_SIMULATED_MOUSE"));
    if (simulatedMouse) {
        env.insert(QStringLiteral("ZELBO_SIMULATED_MOUSE"), QStringLiteral("1"));
        env.insert(QStringLiteral("ZELBO_SIM_TRACE"), folder.TraceFile());
        env.insert(QStringLiteral("ZELBO_SIM_INJECT"), folder.InjectFifo());
        ::mkfifo(folder.InjectFifo().toLocal8Bit().constData(), 0600);
    }
    process_.setProcessEnvironment(env);
    process_.setProgram(folder.Path(QStringLiteral("zelbo-mouse")));
    process_.setWorkingDirectory(QDir::tempPath());
    // To files: a pipe nobody drains would stop the program once it is full.
    process_.setStandardOutputFile(QProcess::nullDevice());
    errorFile_ = folder.StandardErrorFile(folder.NextRunNumber());
    process_.setStandardErrorFile(errorFile_);
}

ProgramRun::~ProgramRun() {
    if (process_.state() != QProcess::NotRunning) {
        Kill();
    }
}

void ProgramRun::SetEnvironment(const QString& name, const QString& value) {
    QProcessEnvironment env = process_.processEnvironment();
    env.insert(name, value);
    process_.setProcessEnvironment(env);
}

bool ProgramRun::Start() {
    process_.start();
    return process_.waitForStarted(StartTimeoutMs());
}

bool ProgramRun::WaitForEnd(int timeoutMs) {
    if (process_.state() == QProcess::NotRunning) {
        return true;
    }
    return process_.waitForFinished(timeoutMs);
}

bool ProgramRun::WaitForLogMessage(const QString& message, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (folder_.LastLogMessages().contains(message)) {
            return true;
        }
        if (process_.state() == QProcess::NotRunning) {
            return folder_.LastLogMessages().contains(message);
        }
        process_.waitForFinished(50);  // also drains its error output
    }
    return false;
}

bool ProgramRun::Inject(const QByteArray& line) {
    if (!simulated_) {
        return false;
    }
    // Non-blocking: the program holds the FIFO open for reading and writing.
    const int fd = ::open(folder_.InjectFifo().toLocal8Bit().constData(), O_WRONLY | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    const QByteArray data = line + '\n';
    const bool written = ::write(fd, data.constData(), data.size()) == data.size();
    ::close(fd);
    return written;
}

void ProgramRun::Kill() {
    process_.kill();
    process_.waitForFinished(StartTimeoutMs());
}

QByteArray ProgramRun::StandardError() {
    return ProgramFolder::ReadFile(errorFile_);
}

}  // namespace testing_support
