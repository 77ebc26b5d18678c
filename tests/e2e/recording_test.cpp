// A macro recorded from keys typed through the X server, as a person does it: the advanced page,
// a new macro, the record button, two keys, the stop and the repeat count (which saves the
// user's macro file); then the macro is given to a button with the popups, and Apply writes its
// body into the simulated mouse's memory.
#include <gtest/gtest.h>

#include <sched.h>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <map>

#include "device/macro_body.h"
#include "macro/macro_file_reader.h"
#include "macro/macro_record.h"
#include "platform/ini.h"
#include "support/pointer_run.h"

// Last: its macros would clash with the toolkit's names.
#include <X11/Xlib.h>

namespace {

using testing_support::Eventually;

constexpr int AdvancedTab = 10;
constexpr int MainTab = 9;
constexpr int SlotK4 = 26;
constexpr int ApplyButton = 3;
constexpr int MacroGroupRow = 10;  // button-popup row of the user macros' group

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

// Puts every thread of process pid on one processor core, as on a busy desktop: the toolkit's
// event reader and its user-interface thread then take turns, and the interface thread often
// handles a repeat's release before the reader has taken in the press that follows it.
void ShareOneCore(qint64 pid) {
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(std::max(::sched_getcpu(), 0), &one);
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        ::sched_setaffinity(tid.toInt(), sizeof one, &one);
    }
}

class RecordingRun : public testing_support::PointerRunTest {
protected:
    // A rectangle of the English advanced page's layout file.
    QRect AdvancedRect(const QString& section, int key) const {
        const QStringList f = platform::GetPrivateProfileString(
                                  section, QString::number(key), QString(), 256,
                                  folder_.Path(QStringLiteral("skins/INI_EN/skin_advance_en.ini")))
                                  .split(QLatin1Char(','));
        EXPECT_GE(f.size(), 5) << key;
        return f.size() < 5 ? QRect()
                            : QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt());
    }
    void ClickCentreOf(const QRect& r) { ClickAt({r.x() + r.width() / 2, r.y() + r.height() / 2}); }
    void ClickAdvanced(int index) {
        ClickCentreOf(AdvancedRect(QStringLiteral("BUTTONPOS"), index));
    }
    static void Keys(const QStringList& args) {
        ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), args), 0);
        QThread::msleep(100);
    }
    // Row width and height of a popup's mask over its rows.
    QSize RowSize(const char* mask, int rows) const {
        const QImage image(folder_.Path(QStringLiteral("skins/") + QString::fromLatin1(mask)));
        return {image.width(), image.height() / rows};
    }
};

TEST_F(RecordingRun, KeysTypedIntoANewMacroAreSavedBoundAndWrittenToTheMouse) {
    Click(AdvancedTab);
    ClickCentreOf(AdvancedRect(QStringLiteral("EDIT"), 4));  // the macro-name box
    Keys({QStringLiteral("key"), QStringLiteral("ctrl+a")});
    Keys({QStringLiteral("type"), QStringLiteral("rec")});
    ClickAdvanced(2);  // new macro
    EXPECT_FALSE(KeyboardTakenByAnother());
    ClickAdvanced(4);  // record
    EXPECT_TRUE(KeyboardTakenByAnother()) << "the window holds the keyboard while recording";
    MoveTo({1270, 1010});  // away from the window: without the grab the keys would go elsewhere
    Keys({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("120"),
          QStringLiteral("a"), QStringLiteral("b")});
    ClickAdvanced(4);  // stop
    EXPECT_FALSE(KeyboardTakenByAnother()) << "given back with the stop";
    ClickAdvanced(5);  // the repeat count: saves the list

    const QString macroFile = folder_.Path(QStringLiteral("Macro_EN.dat"));
    ASSERT_TRUE(Eventually([&] {
        return testing_support::ProgramFolder::ReadFile(macroFile).contains("macroNum=4");
    })) << "the repeat count saves the user's macro file";
    OnReadMacroList(macroFile);
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
    // xdotool leaves about 60 ms between the release of a and the press of b; on a busy machine
    // the server's time stamps can take a few ms off that.
    EXPECT_GE(recorded.stepDelay[1], 40) << "the pause between the keys";

    // K4 gets user macro 3 from the macro group: the group popup's last row is level with the
    // hovered row, so with four macros it opens six rows below the button popup's top.
    Click(MainTab);
    Click(SlotK4);
    const QRect slot = MainRect(SlotK4);
    const QSize menuRow = RowSize("menu_mask.jpg", 11);
    const QSize groupRow = RowSize("advanced menu_mask.jpg", 12);
    ASSERT_GT(menuRow.height(), 0);
    const QPoint popup(slot.x(), slot.y() + slot.height());
    MoveTo(popup + QPoint(menuRow.width() / 2,
                          (MacroGroupRow - 1) * menuRow.height() + menuRow.height() / 2));
    const QPoint group(popup.x() + menuRow.width(), popup.y() + 6 * menuRow.height());
    ClickAt(group + QPoint(groupRow.width() / 2, 3 * groupRow.height() + groupRow.height() / 2));
    const qsizetype before = folder_.TraceLines().size();
    Click(ApplyButton);
    ASSERT_TRUE(Eventually([&] {
        return folder_.TraceLines().mid(before).filter(QStringLiteral(" set 07 18 10 ")).size() > 0;
    })) << "Apply sends the settings image";
    EXPECT_TRUE(
        Eventually([&] { return Ini(QStringLiteral("Config1"), QStringLiteral("K4")) == "53"; }));

    const std::map<int, std::uint8_t> memory = WrittenMemory(folder_.TraceLines().mid(before));
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

// The X server repeats a held key as a release and a press with one time stamp each time; the
// recording must see the one press and the one release the user made, the hold as the delay.
TEST_F(RecordingRun, AKeyHeldWhileRecordingIsOnePressAndOneRelease) {
    Click(AdvancedTab);
    ClickCentreOf(AdvancedRect(QStringLiteral("EDIT"), 4));
    Keys({QStringLiteral("key"), QStringLiteral("ctrl+a")});
    Keys({QStringLiteral("type"), QStringLiteral("held")});
    ClickAdvanced(2);  // new macro
    ClickAdvanced(4);  // record
    ShareOneCore(run_.ProcessId());
    Keys({QStringLiteral("keydown"), QStringLiteral("b")});
    QThread::msleep(2400);  // with the 100 ms after each xdotool run: b held 2.5 s
    Keys({QStringLiteral("keyup"), QStringLiteral("b")});
    Keys({QStringLiteral("key"), QStringLiteral("c")});
    ClickAdvanced(4);  // stop
    ClickAdvanced(5);  // the repeat count: saves the list

    const QString macroFile = folder_.Path(QStringLiteral("Macro_EN.dat"));
    ASSERT_TRUE(Eventually([&] {
        return testing_support::ProgramFolder::ReadFile(macroFile).contains("macroNum=4");
    }));
    OnReadMacroList(macroFile);
    const MacroRecord& r = g_macros[3];
    EXPECT_EQ(MacroName(r), QStringLiteral("held"));
    ASSERT_EQ(r.stepCount, 4);
    EXPECT_EQ((std::vector<int>{r.stepCode[0], r.stepType[0], r.stepCode[1], r.stepType[1],
                                r.stepCode[2], r.stepType[2], r.stepCode[3], r.stepType[3]}),
              (std::vector<int>{5, 1, 5, 2, 6, 1, 6, 2}));
    EXPECT_GE(r.stepDelay[0], 2400) << "the hold time";
    EXPECT_LE(r.stepDelay[0], 3500) << "the hold time";
}

}  // namespace
