// The program installed as an owner of the mouse installs it (cmake --install into a prefix)
// and started from there by a user whose home is a fresh folder, on the simulated mouse under
// a real X server: the user's files live in the user's data folder, seeded from the install on
// the first start and kept on the next; the install itself is never written.
#include <grp.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "platform/ini.h"
#include "support/ordinary_user.h"
#include "support/program_run.h"

namespace {

using testing_support::ProgramFolder;
using testing_support::StartTimeoutMs;

// Every file of a tree by content (through links, as a user reads them).
QMap<QString, QByteArray> Snapshot(const QString& root) {
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path.mid(root.size()), QCryptographicHash::hash(ProgramFolder::ReadFile(path),
                                                                     QCryptographicHash::Sha256));
    }
    return files;
}

class InstalledProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY"))
            << "needs an X display (the test script runs these under Xvfb)";
        ASSERT_TRUE(root_.isValid());
        // The user the program runs as must reach the install and its own folders.
        ASSERT_TRUE(QFile::setPermissions(root_.path(), QFile::permissions(root_.path()) |
                                                            QFileDevice::ReadOther |
                                                            QFileDevice::ExeOther));
        for (const QString& dir : {Home(), Scratch()}) {
            ASSERT_TRUE(QDir().mkpath(dir));
        }
        ASSERT_TRUE(QDir().mkpath(RuntimeDir()));
        ASSERT_TRUE(QFile::setPermissions(RuntimeDir(), QFileDevice::ReadOwner |
                                                            QFileDevice::WriteOwner |
                                                            QFileDevice::ExeOwner));
        const QString xauthority = qEnvironmentVariable("XAUTHORITY");
        if (!xauthority.isEmpty()) {
            ASSERT_TRUE(QFile::copy(xauthority, Scratch() + QStringLiteral("/Xauthority")));
        }
        for (const QString& dir : {Home(), Scratch(), RuntimeDir()}) {
            ASSERT_TRUE(testing_support::HandOverToOrdinaryUser(dir));
        }
    }

    void TearDown() override { SetInstallWritable(true); }

    QString Prefix() const { return root_.filePath(QStringLiteral("prefix")); }
    QString Home() const { return root_.filePath(QStringLiteral("home")); }
    QString Scratch() const { return root_.filePath(QStringLiteral("scratch")); }
    QString RuntimeDir() const { return root_.filePath(QStringLiteral("run")); }
    QString UserDir() const { return Home() + QStringLiteral("/.local/share/zelbo-mouse"); }
    QString UserConfigIni() const {
        return UserDir() + QStringLiteral("/skins/INI_CFG/config.ini");
    }

    void Install() {
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(ZELBO_CMAKE_COMMAND),
                      {QStringLiteral("--install"), QStringLiteral(ZELBO_BINARY_DIR),
                       QStringLiteral("--prefix"), Prefix()});
        ASSERT_TRUE(install.waitForFinished(120000));
        ASSERT_EQ(install.exitCode(), 0) << install.readAll().toStdString();
    }

    // An ordinary user cannot write an install; the test's own user is that user unless root.
    void SetInstallWritable(bool writable) {
        if (::geteuid() == 0 || !QFileInfo::exists(Prefix())) {
            return;
        }
        QDirIterator it(Prefix(), QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                        QDirIterator::Subdirectories);
        QStringList dirs{Prefix()};
        while (it.hasNext()) {
            dirs.append(it.next());
        }
        for (const QString& dir : dirs) {
            const auto perms = QFile::permissions(dir);
            QFile::setPermissions(
                dir, writable ? perms | QFileDevice::WriteOwner
                              : perms & ~QFileDevice::Permissions(QFileDevice::WriteOwner |
                                                                  QFileDevice::WriteUser));
        }
    }

    // Starts the installed command as the user, waits for the end of its start-up and ends it
    // through the removal of the mouse, as the user pulling the plug does.
    void RunOnce(int run) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "XDG_DATA_HOME", "XDG_CONFIG_HOME",
                                 "DBUS_SESSION_BUS_ADDRESS", "ZELBO_SIM_TRACE"}) {
            env.remove(QString::fromLatin1(name));
        }
        env.insert(QStringLiteral("HOME"), Home());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), RuntimeDir());
        env.insert(QStringLiteral("ZELBO_MESSAGE_LOG"), Scratch() + QStringLiteral("/messages"));
        env.insert(QStringLiteral("ZELBO_SIMULATED_MOUSE"), QStringLiteral("1"));
        const QString fifo = Scratch() + QStringLiteral("/inject%1").arg(run);
        env.insert(QStringLiteral("ZELBO_SIM_INJECT"), fifo);
        // The sanitizers' suppression files lie in the checkout, which the user may not reach.
        for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS", "TSAN_OPTIONS"}) {
            const QString key = QString::fromLatin1(name);
            const QRegularExpression file(QStringLiteral("suppressions=([^:]+)"));
            QString options = env.value(key);
            const QRegularExpressionMatch match = file.match(options);
            if (match.hasMatch()) {
                const QString copy = Scratch() + QLatin1Char('/') + key + QStringLiteral(".supp");
                QFile::remove(copy);
                ASSERT_TRUE(QFile::copy(match.captured(1), copy)) << name;
                ASSERT_TRUE(
                    QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::ReadOther));
                options.replace(match.capturedStart(1), match.capturedLength(1), copy);
                env.insert(key, options);
            }
        }
        if (QFileInfo::exists(Scratch() + QStringLiteral("/Xauthority"))) {
            env.insert(QStringLiteral("XAUTHORITY"), Scratch() + QStringLiteral("/Xauthority"));
        }
        // Two runs within a second share a log file; the wait below must see this run's.
        QDir logs(UserDir() + QStringLiteral("/LOG"));
        for (const QString& log : logs.entryList(QDir::Files)) {
            ASSERT_TRUE(logs.remove(log));
        }
        QProcess program;
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(Home());
        program.setStandardOutputFile(QProcess::nullDevice());
        const QString errors = root_.filePath(QStringLiteral("stderr%1.txt").arg(run));
        program.setStandardErrorFile(errors);
        if (::geteuid() == 0) {
            const uid_t uid = testing_support::OrdinaryUserId();
            const gid_t gid = testing_support::OrdinaryGroupId();
            program.setChildProcessModifier([uid, gid] {
                if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0) {
                    ::_exit(126);
                }
            });
        }
        program.start(Prefix() + QStringLiteral("/bin/zelbo-mouse"), {});
        ASSERT_TRUE(program.waitForStarted(StartTimeoutMs()));

        const auto diagnostics = [&] {
            return ProgramFolder::ReadFile(errors).right(4000).toStdString();
        };
        ASSERT_TRUE(testing_support::Eventually([&] {
                        const QDir now(logs.path());  // a QDir keeps the entries it listed
                        const QStringList started = now.entryList(QDir::Files);
                        return program.waitForFinished(30) ||  // an early end stops the wait
                               (!started.isEmpty() &&
                                ProgramFolder::LogMessages(now.filePath(started.first()))
                                    .contains(QStringLiteral("Finish Init!")));
                    }) &&
                    program.state() == QProcess::Running)
            << "no finished start-up in the user's folder\n"
            << diagnostics();

        QFile inject(fifo);
        ASSERT_TRUE(inject.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        inject.write("unplug\n");
        inject.close();
        ASSERT_TRUE(program.waitForFinished(StartTimeoutMs())) << "it did not end on removal";
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << diagnostics();
        EXPECT_EQ(program.exitCode(), 0) << diagnostics();
    }

    QTemporaryDir root_;
};

TEST_F(InstalledProgram, KeepsEachUsersFilesInTheirDataFolderAndNeverWritesTheInstall) {
    Install();
    const QString folder = Prefix() + QStringLiteral("/lib/zelbo-mouse");
    EXPECT_EQ(QFileInfo(Prefix() + QStringLiteral("/bin/zelbo-mouse")).canonicalFilePath(),
              QFileInfo(folder + QStringLiteral("/zelbo-mouse")).canonicalFilePath());
    for (const char* shipped :
         {"/lib/zelbo-mouse/skins/INI_CFG/config.ini", "/lib/zelbo-mouse/skins/main_mask.jpg",
          "/lib/zelbo-mouse/skins/INI_EN/skin_main_en.ini", "/lib/zelbo-mouse/constMacro.dat",
          "/lib/zelbo-mouse/70-zelbo-mouse.rules", "/lib/zelbo-mouse/help.html",
          "/lib/udev/rules.d/70-zelbo-mouse.rules",
          "/share/icons/hicolor/32x32/apps/zelbo-mouse.png"}) {
        EXPECT_TRUE(QFileInfo::exists(Prefix() + QString::fromLatin1(shipped))) << shipped;
    }
    const QString entry = QString::fromUtf8(ProgramFolder::ReadFile(
        Prefix() + QStringLiteral("/share/applications/zelbo-mouse.desktop")));
    EXPECT_TRUE(
        entry.contains(QStringLiteral("\nExec=") + Prefix() + QStringLiteral("/bin/zelbo-mouse\n")))
        << entry.toStdString();
    EXPECT_TRUE(entry.contains(QStringLiteral("\nIcon=zelbo-mouse\n")));
    SetInstallWritable(false);
    const auto installed = Snapshot(Prefix());

    // The first start seeds the user's folder and writes its log there.
    RunOnce(1);
    EXPECT_EQ(ProgramFolder::ReadFile(UserConfigIni()),
              ProgramFolder::ReadFile(folder + QStringLiteral("/skins/INI_CFG/config.ini")));
    EXPECT_TRUE(QFileInfo::exists(UserDir() + QStringLiteral("/Macro_EN.dat")));
    EXPECT_FALSE(QFileInfo::exists(UserDir() + QStringLiteral("/zelbo-mouse")));

    // The user's settings: profile 3 current, its DPI level 4. The second start keeps them and
    // saves every profile into the same file.
    // Written in place: the file stays the user's.
    QByteArray mine = ProgramFolder::ReadFile(UserConfigIni());
    mine.replace("CurConfig=1", "CurConfig=3");
    const qsizetype third = mine.indexOf("[Config3]");
    mine.replace(mine.indexOf("DPI_LEVEL=2", third), 11, "DPI_LEVEL=4");
    ASSERT_TRUE(ProgramFolder::WriteFile(UserConfigIni(), mine));
    RunOnce(2);
    const QString config = QString::fromUtf8(ProgramFolder::ReadFile(UserConfigIni()));
    EXPECT_TRUE(config.startsWith(QStringLiteral("[Init]\r\nCurConfig=3\r\n")))
        << config.left(200).toStdString();
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(platform::GetPrivateProfileString(QStringLiteral("Config%1").arg(n),
                                                    QStringLiteral("DPI_LEVEL"), QString(), 5,
                                                    UserConfigIni()),
                  QStringLiteral("4"))
            << n;
    }

    EXPECT_EQ(Snapshot(Prefix()), installed) << "the install is never written";
}

}  // namespace
