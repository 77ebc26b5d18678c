#include "support/desktop_session.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>

#include "support/program_run.h"

// After the toolkit: Xlib defines names the toolkit uses.
#include <X11/Xlib.h>

namespace testing_support {

namespace {

// True when someone owns the selection on screen 0 of display: a window manager takes WM_S0,
// a notification area _NET_SYSTEM_TRAY_S0.
bool SelectionOwned(const QString& display, const char* selection) {
    Display* connection = XOpenDisplay(display.toLocal8Bit().constData());
    if (connection == nullptr) {
        return false;
    }
    const bool owned =
        XGetSelectionOwner(connection, XInternAtom(connection, selection, False)) != 0;
    XCloseDisplay(connection);
    return owned;
}

// True when the root window of display has the property: a window manager puts its list of
// what it supports there (_NET_SUPPORTED) once it manages the display.
bool RootHasProperty(const QString& display, const char* name) {
    Display* connection = XOpenDisplay(display.toLocal8Bit().constData());
    if (connection == nullptr) {
        return false;
    }
    int count = 0;
    Atom* names = XListProperties(connection, DefaultRootWindow(connection), &count);
    const bool has = std::count(names, names + count, XInternAtom(connection, name, False)) > 0;
    XFree(names);
    XCloseDisplay(connection);
    return has;
}

}  // namespace

DesktopSession::DesktopSession(Tray tray, qreal screenScale) {
    for (const char* program : {"Xvfb", "openbox", "xdotool"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty()) {
            problem_ = QStringLiteral("%1 is not installed").arg(QString::fromLatin1(program));
            missing_ = true;
            return;
        }
    }
    if (tray == Tray::XEmbed &&
        QStandardPaths::findExecutable(QStringLiteral("trayer")).isEmpty()) {
        problem_ = QStringLiteral("trayer is not installed");
        missing_ = true;
        return;
    }
    if (!dir_.isValid() || !StartServer(screenScale)) {
        return;
    }
    // The window manager holds the display once it has said what it supports, which the program
    // reads as it starts: after it took WM_S0 and the redirection of the root's children.
    const bool started = StartChild(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    QProcess& openbox = *children_.back();
    const auto managed = [&] { return RootHasProperty(display_, "_NET_SUPPORTED"); };
    if (!started ||
        !WaitFor(
            [&] {
                openbox.waitForFinished(0);
                return managed() || openbox.state() != QProcess::Running;
            },
            StartTimeoutMs()) ||
        !managed()) {
        problem_ = QStringLiteral("openbox did not take the display %1: %2")
                       .arg(display_, QString::fromUtf8(ProgramFolder::ReadFile(
                                          dir_.filePath(QStringLiteral("openbox.log")))));
        return;
    }
    if (tray == Tray::XEmbed) {
        // A small panel in the top right corner, as a desktop's notification area is.
        const QStringList args{QStringLiteral("--edge"),        QStringLiteral("top"),
                               QStringLiteral("--align"),       QStringLiteral("right"),
                               QStringLiteral("--widthtype"),   QStringLiteral("pixel"),
                               QStringLiteral("--width"),       QStringLiteral("64"),
                               QStringLiteral("--heighttype"),  QStringLiteral("pixel"),
                               QStringLiteral("--height"),      QStringLiteral("32"),
                               QStringLiteral("--SetDockType"), QStringLiteral("true")};
        if (!StartChild(QStringLiteral("trayer"), args) ||
            !WaitFor([&] { return SelectionOwned(display_, "_NET_SYSTEM_TRAY_S0"); },
                     StartTimeoutMs())) {
            problem_ = QStringLiteral("trayer did not take the notification area");
            return;
        }
    }
}

DesktopSession::~DesktopSession() {
    // The clients first, then their server.
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        (*it)->terminate();
        if (!(*it)->waitForFinished(5000)) {
            (*it)->kill();
            (*it)->waitForFinished(5000);
        }
    }
    if (server_.state() != QProcess::NotRunning) {
        server_.terminate();
        if (!server_.waitForFinished(5000)) {
            server_.kill();
            server_.waitForFinished(5000);
        }
    }
}

QProcessEnvironment DesktopSession::Environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display_);
    env.remove(QStringLiteral("XAUTHORITY"));
    // The window manager's and panel's own files stay in the test's folder.
    env.insert(QStringLiteral("HOME"), dir_.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), dir_.filePath(QStringLiteral("cache")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.path());
    // No session bus: the notification area is the display's.
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               QStringLiteral("unix:path=") + dir_.filePath(QStringLiteral("no-session-bus")));
    return env;
}

bool DesktopSession::Xdotool(const QStringList& args) const {
    QProcess xdotool;
    xdotool.setProcessEnvironment(Environment());
    xdotool.setStandardOutputFile(QProcess::nullDevice());
    xdotool.start(QStringLiteral("xdotool"), args);
    return xdotool.waitForFinished(StartTimeoutMs()) &&
           xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
}

bool DesktopSession::StartServer(qreal screenScale) {
    // A number of its own for every server: one that ended a moment ago can linger for its
    // clients, and low numbers belong to real desktops. A number in use, even by a server of
    // another run that took it a moment ago, makes Xvfb end at once; the next one is tried then.
    static int serial = 0;
    const int base = 300 + static_cast<int>(QCoreApplication::applicationPid() % 200) * 8;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int number = base + (serial++ % 8);
        if (QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(number))) {
            continue;
        }
        display_ = QStringLiteral(":%1").arg(number);
        // The server says itself that it takes clients: it writes its number to its output
        // (-displayfd), which only the server that got the number does. It never resets
        // (-noreset): by default it resets each time its last client leaves and drops whoever
        // connects meanwhile, as a window manager started right after a probe's visit.
        server_.setProgram(QStringLiteral("Xvfb"));
        server_.setArguments({display_, QStringLiteral("-screen"), QStringLiteral("0"),
                              QStringLiteral("%1x%2x24")
                                  .arg(qRound(1280 * screenScale))
                                  .arg(qRound(1024 * screenScale)),
                              QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                              QStringLiteral("-noreset"), QStringLiteral("-displayfd"),
                              QStringLiteral("1")});
        server_.setStandardErrorFile(dir_.filePath(QStringLiteral("xvfb.err")));
        server_.start();
        if (!server_.waitForStarted(StartTimeoutMs())) {
            problem_ = QStringLiteral("Xvfb did not start");
            return false;
        }
        QByteArray announced;
        while (!announced.endsWith('\n') && server_.waitForReadyRead(StartTimeoutMs())) {
            announced += server_.readAllStandardOutput();
        }
        if (announced.trimmed() == QByteArray::number(number)) {
            return true;
        }
        server_.kill();
        server_.waitForFinished(5000);
    }
    problem_ = QStringLiteral("Xvfb found no free display");
    return false;
}

bool DesktopSession::StartChild(const QString& program, const QStringList& args) {
    auto child = std::make_unique<QProcess>();
    child->setProcessEnvironment(Environment());
    // Both outputs to one file: openbox tells why it gave up on its standard output.
    child->setProcessChannelMode(QProcess::MergedChannels);
    child->setStandardOutputFile(dir_.filePath(program + QStringLiteral(".log")));
    child->start(program, args);
    const bool started = child->waitForStarted(StartTimeoutMs());
    children_.push_back(std::move(child));
    return started;
}

template <typename Condition>
bool DesktopSession::WaitFor(Condition condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs || server_.state() != QProcess::Running) {
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

}  // namespace testing_support
