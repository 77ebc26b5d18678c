// The program started as a person starts it, on a copy of its folder, under a real X server:
// what its log, its files, its message boxes, its window, its notification-area icon and the
// simulated mouse show after start-up, without a mouse, and when a second copy is started.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include "e2e/desktop_run.h"
#include "platform/ini.h"
#include "support/program_run.h"
#include "support/x11_probe.h"

namespace {

using testing_support::Diagnostics;
using testing_support::Eventually;
using testing_support::FakeSystemTray;
using testing_support::ProgramFolder;
using testing_support::ProgramRun;
using testing_support::StartTimeoutMs;
using testing_support::X11Probe;

const QString Title = QStringLiteral("ZP-3907 Gaming mouse");

// True when wanted appears in lines in this order (other lines may stand between).
bool InOrder(const QStringList& lines, const QStringList& wanted) {
    qsizetype next = 0;
    for (const QString& line : lines) {
        if (next < wanted.size() && line == wanted[next]) {
            ++next;
        }
    }
    return next == wanted.size();
}

void SetInitKey(const ProgramFolder& folder, const QString& key, const QString& value) {
    QString text = QString::fromUtf8(ProgramFolder::ReadFile(folder.ConfigIni()));
    text.replace(QRegularExpression(QStringLiteral("(?m)^") + key + QStringLiteral("=[^\\r\\n]*")),
                 key + QLatin1Char('=') + value);
    ASSERT_TRUE(ProgramFolder::WriteFile(folder.ConfigIni(), text.toUtf8()));
}

class Startup : public testing_support::DesktopRun {};

// ---- with the mouse -------------------------------------------------------------------------

TEST_F(Startup, WithMouse_LogsStartUpInOrderShowsWindowAndIcon_RemovalEndsIt) {
    ProgramRun run(folder_, true);
    StartWithMouse(run);

    const QStringList log = folder_.LastLogMessages();
    EXPECT_TRUE(InOrder(log, {QStringLiteral("Finish KeyMonitorThd!"),
                              QStringLiteral("Finish MacroSendThd!"), QStringLiteral("Finish CDC!"),
                              QStringLiteral("In OnInitMenu"), QStringLiteral("Finish Init!")}))
        << log.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(log.count(QStringLiteral("In OnInitMenu")), 1);
    EXPECT_TRUE(folder_.Messages().isEmpty()) << "no message box on a normal start";

    EXPECT_TRUE(Eventually([&] {
        const auto windows = probe_.WindowsTitled(Title);
        return windows.size() == 1 && probe_.IsShown(windows.front());
    })) << "the window is shown with its title";
    EXPECT_TRUE(Eventually([&] { return tray_.LiveIcons() == 1; })) << "one icon in the tray";

    Unplug(run);
    const QStringList after = folder_.LastLogMessages();
    ASSERT_FALSE(after.isEmpty());
    EXPECT_EQ(after.last(), QStringLiteral("Finish Init!"));
    EXPECT_EQ(tray_.DockedIcons().size(), 1u);
    EXPECT_EQ(tray_.LiveIcons(), 0);
    EXPECT_TRUE(probe_.WindowsTitled(Title).empty());
}

// The bytes of the reports the host sent, in order, from the trace lines ("12.000 set 07 ...").
QStringList SentReports(const QStringList& trace) {
    QStringList sent;
    for (const QString& line : trace) {
        const int at = line.indexOf(QStringLiteral(" set "));
        if (at >= 0) {
            sent.append(line.mid(at + 5));
        }
    }
    return sent;
}

TEST_F(Startup, WithMouse_WritesTheWholeSettingsImageAndSavesEveryProfile) {
    // Profile 3 current, DPI level 3, levels 0, 1 and 3 enabled; the rest as shipped.
    SetInitKey(folder_, QStringLiteral("CurConfig"), QStringLiteral("3"));
    for (const char* key : {"DPI_SET_EN2", "DPI_SET_EN4", "DPI_SET_EN5"}) {
        ASSERT_TRUE(platform::WritePrivateProfileString(QStringLiteral("Config3"),
                                                        QString::fromLatin1(key),
                                                        QStringLiteral("0"), folder_.ConfigIni()));
    }
    ASSERT_TRUE(platform::WritePrivateProfileString(QStringLiteral("Config3"),
                                                    QStringLiteral("DPI_LEVEL"),
                                                    QStringLiteral("3"), folder_.ConfigIni()));
    ProgramRun run(folder_, true);
    StartWithMouse(run);
    const QStringList sent = SentReports(folder_.TraceLines());
    Unplug(run);

    ASSERT_GE(sent.size(), 3);
    // The profile byte first: index 2 in bits 5..6, plus 2; then its commit and end.
    EXPECT_EQ(sent[0], QStringLiteral("07 18 03 00 01 00 42 00"));
    EXPECT_EQ(sent[1], QStringLiteral("07 18 09 00 01 00 00 00"));
    EXPECT_EQ(sent[2], QStringLiteral("07 18 00 00 01 00 00 00"));
    // Every settings block is committed, in address order, with the one read after 0x010.
    QStringList commits;
    for (const QString& report : sent) {
        if (report.startsWith(QStringLiteral("07 18 09")) ||
            report.startsWith(QStringLiteral("07 18 05"))) {
            commits.append(report);
        }
    }
    QStringList expected{QStringLiteral("07 18 09 00 01 00 00 00")};
    for (int address = 0x008; address <= 0x078; address += 8) {
        expected.append(QStringLiteral("07 18 09 00 %1 00 00 07")
                            .arg(address, 2, 16, QLatin1Char('0'))
                            .toUpper());
        if (address == 0x010) {
            expected.append(QStringLiteral("07 18 05 00 11 00 00 00"));
        }
    }
    EXPECT_EQ(commits.mid(0, expected.size()), expected);
    // Last: the DPI state (level 3, mask 0b001011), the apply-image and the end commands.
    ASSERT_GE(sent.size(), 6);
    EXPECT_EQ(sent.mid(sent.size() - 3), (QStringList{QStringLiteral("07 49 03 43 0B 00 00 00"),
                                                      QStringLiteral("07 18 10 00 00 00 00 00"),
                                                      QStringLiteral("07 18 00 00 00 00 00 00")}));

    // config.ini now holds the current profile and all four profile sections.
    const QString config = QString::fromUtf8(ProgramFolder::ReadFile(folder_.ConfigIni()));
    EXPECT_TRUE(config.contains(QStringLiteral("CurConfig=3")));
    for (const char* section : {"[Config1]", "[Config2]", "[Config3]", "[Config4]"}) {
        EXPECT_TRUE(config.contains(QString::fromLatin1(section))) << section;
    }
    EXPECT_LT(config.indexOf(QStringLiteral("[Init]")),
              config.indexOf(QStringLiteral("[Config1]")));
}

// ---- without a mouse ------------------------------------------------------------------------

TEST_F(Startup, WithoutMouse_EnglishPlugInMessage_NoIconNoWrite_EndsAfterMenus) {
    SetInitKey(folder_, QStringLiteral("LANG_SEL"), QStringLiteral("1"));
    const QByteArray configBefore = ProgramFolder::ReadFile(folder_.ConfigIni());

    ProgramRun run(folder_, false);
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitForEnd(StartTimeoutMs())) << "the program must end by itself";
    EXPECT_FALSE(run.Crashed()) << Diagnostics(run);
    EXPECT_EQ(run.ExitCode(), 0) << Diagnostics(run);

    EXPECT_EQ(folder_.Messages(),
              QStringList{QStringLiteral("Please plug-in【ZP-3907 Gaming mouse】USB Mouse")});
    const QStringList log = folder_.LastLogMessages();
    ASSERT_FALSE(log.isEmpty());
    EXPECT_EQ(log.last(), QStringLiteral("In OnInitMenu"));
    EXPECT_FALSE(log.contains(QStringLiteral("Finish Init!")));
    EXPECT_TRUE(tray_.DockedIcons().empty()) << "no icon was ever added";
    // Nothing was sent: the settings writer, which also saves the profiles, never ran.
    EXPECT_EQ(ProgramFolder::ReadFile(folder_.ConfigIni()), configBefore);
}

TEST_F(Startup, WithoutMouse_ChineseMessageForAnyOtherLanguage) {
    SetInitKey(folder_, QStringLiteral("LANG_SEL"), QStringLiteral("2"));
    ProgramRun run(folder_, false);
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitForEnd(StartTimeoutMs()));
    EXPECT_EQ(folder_.Messages(),
              QStringList{QStringLiteral("请插入【ZP-3907 Gaming mouse】USB鼠标")});
}

// ---- one copy at a time ---------------------------------------------------------------------

TEST_F(Startup, SecondCopy_RestoresTheHiddenFirstAndEndsWithoutAWindow) {
    ProgramRun first(folder_, true);
    StartWithMouse(first);
    std::vector<std::uint64_t> windows;
    ASSERT_TRUE(Eventually([&] {
        windows = probe_.WindowsTitled(Title);
        return windows.size() == 1 && probe_.IsShown(windows.front());
    }));

    ASSERT_TRUE(Eventually([&] { return tray_.LiveIcons() == 1; }));
    // Closing hides the window; the icon stays.
    probe_.RequestClose(windows.front());
    ASSERT_TRUE(Eventually([&] { return !probe_.IsShown(windows.front()); }))
        << "closing hides the window";
    EXPECT_EQ(tray_.LiveIcons(), 1);
    ASSERT_EQ(first.State(), QProcess::Running) << Diagnostics(first);

    ProgramRun second(folder_, true);
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(second.WaitForEnd(StartTimeoutMs())) << "the second copy must end";
    EXPECT_EQ(second.ExitCode(), 0) << Diagnostics(second);
    EXPECT_TRUE(folder_.Messages().isEmpty()) << "the second copy shows no message";
    EXPECT_NE(Diagnostics(second).find("another copy of the program runs"), std::string::npos)
        << "the second copy says on its error output why it ends";

    EXPECT_TRUE(Eventually([&] { return probe_.IsShown(windows.front()); }))
        << "the first copy's window is shown again";
    EXPECT_EQ(probe_.WindowsTitled(Title).size(), 1u) << "one window: the first copy's";
    EXPECT_EQ(tray_.DockedIcons().size(), 1u);
    // The second copy wrote no log of its own, and left the first one's alone.
    const QStringList logs = folder_.LogFiles();
    ASSERT_EQ(logs.size(), 1);
    EXPECT_TRUE(ProgramFolder::LogMessages(logs.front()).contains(QStringLiteral("Finish Init!")));

    EXPECT_EQ(first.State(), QProcess::Running);
    Unplug(first);
}

TEST_F(Startup, CopyThatCrashed_LeavesNothingThatStopsTheNextStart) {
    {
        ProgramRun crashed(folder_, true);
        StartWithMouse(crashed);
        crashed.Kill();  // its lock and socket stay behind
    }
    for (const QString& log : folder_.LogFiles()) {
        QFile::remove(log);
    }
    ProgramRun next(folder_, true);
    StartWithMouse(next);
    EXPECT_EQ(probe_.WindowsTitled(Title).size(), 1u);
    Unplug(next);
}

}  // namespace
