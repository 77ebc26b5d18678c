// A desktop of its own for one end-to-end test: a fresh Xvfb server on a display number of its own,
// a real window manager (openbox) and, when asked, a real XEmbed notification area (trayer) on
// it. Nothing runs on the display the test program was given, so the bare-server tests there
// never meet the window manager. Every wait polls with a deadline; the servers end with the
// object. On the test's thread.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace testing_support {

class DesktopSession {
public:
    enum class Tray { None, XEmbed };

    // The screen is 1280x1024 times screenScale: a program run at that display scale fits on it
    // as it fits at scale 1.
    explicit DesktopSession(Tray tray, qreal screenScale = 1);
    ~DesktopSession();
    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;

    // Empty when everything is up; else what is missing or failed.
    QString Problem() const { return problem_; }
    bool ok() const { return problem_.isEmpty(); }
    // A program the desktop needs is not installed (the problem then says which).
    bool Missing() const { return missing_; }
    // ":N", for DISPLAY.
    QString Display() const { return display_; }
    // The environment of a program started on this desktop.
    QProcessEnvironment Environment() const;

    // Runs xdotool on this display; true when it succeeded.
    bool Xdotool(const QStringList& args) const;

private:
    bool StartServer(qreal screenScale);
    bool StartChild(const QString& program, const QStringList& args);
    template <typename Condition>
    bool WaitFor(Condition condition, int timeoutMs);

    QTemporaryDir dir_;
    QProcess server_;
    std::vector<std::unique_ptr<QProcess>> children_;
    QString display_;
    QString problem_;
    bool missing_ = false;
};

}  // namespace testing_support
