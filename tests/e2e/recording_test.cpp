// A macro recorded from keys typed through the X server, as a person does it: the advanced page,
// a new macro, the record button, two keys, the stop and the repeat count (which saves the
// user's macro file); then, with the macro bound to a button for the next run, Apply writes its
// body into the simulated mouse's memory.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <map>

#include "app/main_dialog.h"
#include "device/macro_body.h"
#include "macro/macro_file_reader.h"
#include "macro/macro_record.h"
#include "support/program_run.h"
#include "support/x11_probe.h"
#include "ui/page_layouts.h"

// Last: its macros would clash with the toolkit's names.
#include <X11/Xlib.h>

namespace {

using testing_support::Eventually;
using testing_support::FakeSystemTray;
using testing_support::ProgramFolder;
using testing_support::ProgramRun;
using testing_support::StartTimeoutMs;
using testing_support::X11Probe;

const QString Title = QString::fromUtf8(MainWindowTitle);

class NoHooks final : public ui::SkinWindowHooks {
public:
    void AddTrayIcon() override {}
    void ShowMinimized() override {}
    void HideWindow() override {}
};

// Another program asking for the keyboard: refused while the window holds it.
bool KeyboardTakenByAnother() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    const int status = XGrabKeyboard(display, DefaultRootWindow(display), False, GrabModeAsync,
                                     GrabModeAsync, CurrentTime);
    if (status == GrabSuccess) {
        XUngrabKeyboard(display, CurrentTime);
    }
    XCloseDisplay(display);
    return status == AlreadyGrabbed;
}

// The device memory the host wrote (the memory-write reports of the trace, in order).
std::map<int, std::uint8_t> WrittenMemory(const QStringList& trace) {
    std::map<int, std::uint8_t> memory;
    for (const QString& line : trace) {
        const int at = line.indexOf(QStringLiteral(" set 07 18 03 "));
        if (at < 0) {
            continue;
        }
        const QStringList bytes = line.mid(at + 5).split(QLatin1Char(' '));
        if (bytes.size() < 8) {
            continue;
        }
        // The run's start address, plus the byte's place in the run.
        const int address = (bytes[4].toInt(nullptr, 16) | (bytes[5].toInt(nullptr, 16) << 8)) +
                            bytes[3].toInt(nullptr, 16);
        memory[address] = static_cast<std::uint8_t>(bytes[6].toInt(nullptr, 16));
    }
    return memory;
}

class Recording : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY") || !probe_.ok()) {
            GTEST_SKIP() << "needs an X display (the test script runs these under Xvfb)";
        }
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            GTEST_SKIP() << "needs xdotool to type through the X server";
        }
        ASSERT_TRUE(folder_.ok());
        ASSERT_TRUE(tray_.ok()) << "another notification area owns the display";
        ui::LoadSkinMain(layouts_, hooks_, folder_.Path(QStringLiteral("skins")), 1);
        ui::LoadSkinAdvance(layouts_, hooks_, folder_.Path(QStringLiteral("skins")), 1);
    }

    static void Xdotool(const QStringList& args) {
        ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), args), 0)
            << args.join(' ').toStdString();
        QThread::msleep(150);
    }
    void Click(const ui::ButtonPos& r) {
        Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window_,
                 QString::number(r.x + r.w / 2), QString::number(r.y + r.h / 2)});
        Xdotool({QStringLiteral("click"), QStringLiteral("1")});
    }
    void ClickAt(const ui::RECT& rc) {
        Click({rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top});
    }

    void StartAndFindWindow(ProgramRun& run) {
        ASSERT_TRUE(run.Start());
        ASSERT_TRUE(run.WaitForLogMessage(QStringLiteral("Finish Init!"), StartTimeoutMs()));
        ASSERT_TRUE(Eventually([&] {
            const auto windows = probe_.WindowsTitled(Title);
            return windows.size() == 1 && probe_.IsShown(windows.front());
        }));
        window_ = QString::number(probe_.WindowsTitled(Title).front());
    }
    static void End(ProgramRun& run) {
        ASSERT_TRUE(run.Inject("unplug"));
        ASSERT_TRUE(run.WaitForEnd(StartTimeoutMs()));
        EXPECT_FALSE(run.Crashed());
    }

    X11Probe probe_;
    FakeSystemTray tray_;
    ProgramFolder folder_{QStringLiteral(ZELBO_PROGRAM_DIR)};
    QString macroFile_ = folder_.Path(QStringLiteral("Macro_EN.dat"));
    ui::PageLayouts layouts_;
    NoHooks hooks_;
    QString window_;
};

// Binds button slot 4 of profile 1 to a function in config.ini.
void BindSlot4(const ProgramFolder& folder, int function) {
    QString config = QString::fromUtf8(ProgramFolder::ReadFile(folder.ConfigIni()));
    const qsizetype section = config.indexOf(QStringLiteral("[Config1]"));
    ASSERT_GE(section, 0);
    const QRegularExpressionMatch k4 =
        QRegularExpression(QStringLiteral("(?m)^K4=[^\\r\\n]*")).match(config, section);
    ASSERT_TRUE(k4.hasMatch());
    config.replace(k4.capturedStart(), k4.capturedLength(),
                   QStringLiteral("K4=") + QString::number(function));
    ASSERT_TRUE(ProgramFolder::WriteFile(folder.ConfigIni(), config.toUtf8()));
}

TEST_F(Recording, KeysTypedIntoANewMacroReachTheFileAndTheMouse) {
    {
        ProgramRun run(folder_, true);
        StartAndFindWindow(run);
        Click(layouts_.m_posMain[10]);  // the advanced page
        ClickAt(ui::g_rcEditMacroName);
        Xdotool({QStringLiteral("key"), QStringLiteral("ctrl+a")});
        Xdotool({QStringLiteral("type"), QStringLiteral("rec")});
        Click(layouts_.m_posAdv[2]);  // new macro
        EXPECT_FALSE(KeyboardTakenByAnother());
        Click(layouts_.m_posAdv[4]);  // record
        EXPECT_TRUE(KeyboardTakenByAnother()) << "the window holds the keyboard while recording";
        // The pointer away from the window: without the grab the keys would go elsewhere.
        Xdotool({QStringLiteral("mousemove"), QStringLiteral("1270"), QStringLiteral("1010")});
        Xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("120"),
                 QStringLiteral("a"), QStringLiteral("b")});
        Click(layouts_.m_posAdv[4]);  // stop
        EXPECT_FALSE(KeyboardTakenByAnother()) << "given back with the stop";
        Click(layouts_.m_posAdv[5]);  // repeat count: saves the list
        ASSERT_TRUE(Eventually([&] {
            return ProgramFolder::ReadFile(macroFile_).contains("macroNum=4");
        })) << "the repeat count saves the user's macro file";
        End(run);
    }
    OnReadMacroList(macroFile_);
    ASSERT_EQ(g_macroCount, 4);
    const MacroRecord recorded = g_macros[3];
    EXPECT_EQ(MacroName(recorded), QStringLiteral("rec"));
    ASSERT_EQ(recorded.stepCount, 4);
    EXPECT_EQ((std::vector<int>{recorded.stepCode[0], recorded.stepCode[1], recorded.stepCode[2],
                                recorded.stepCode[3]}),
              (std::vector<int>{4, 4, 5, 5}));
    EXPECT_EQ((std::vector<int>{recorded.stepType[0], recorded.stepType[1], recorded.stepType[2],
                                recorded.stepType[3]}),
              (std::vector<int>{1, 2, 1, 2}));
    EXPECT_EQ(recorded.stepDelay[3], 20);
    EXPECT_GE(recorded.stepDelay[1], 60) << "the pause between the keys";

    // The new macro is user macro 3 (function 53), bound to a button for the next run; its
    // Apply writes the body.
    BindSlot4(folder_, 53);
    ProgramRun run(folder_, true);
    StartAndFindWindow(run);
    const qsizetype appliedBefore = folder_.TraceLines().filter(" set 07 18 10 ").size();
    Click(layouts_.m_posMain[3]);  // Apply
    ASSERT_TRUE(Eventually([&] {
        return folder_.TraceLines().filter(" set 07 18 10 ").size() > appliedBefore;
    })) << "Apply sends the settings image";
    const std::map<int, std::uint8_t> memory = WrittenMemory(folder_.TraceLines());
    End(run);

    const std::vector<std::uint8_t> body = EncodeMacroBody(recorded, MacroBodySize(recorded));
    bool found = false;
    for (int address = MacroBodyAreaStart;
         !found && address + static_cast<int>(body.size()) <= MacroBodyAreaEnd; address += 8) {
        found = std::all_of(body.begin(), body.end(), [&, i = 0](std::uint8_t byte) mutable {
            const auto it = memory.find(address + i++);
            return it != memory.end() && it->second == byte;
        });
    }
    EXPECT_TRUE(found) << "the recorded macro's body is written to the mouse";
}

}  // namespace
