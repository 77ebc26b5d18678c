#include "macro/macro_commands.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <cstring>
#include <memory>

#include "common/paths.h"
#include "macro/macro_field_string.h"
#include "macro/macro_fixture.h"
#include "platform/ini.h"
#include "support/program_in_process.h"
#include "support/qt_app.h"
#include "ui/controls/editable_list_box.h"
#include "ui/controls/list_box.h"
#include "ui/controls/macro_controls.h"
#include "ui/controls/macro_controls_view.h"

namespace {

QString KeyName(std::uint8_t code) {
    return QStringLiteral("K%1").arg(code);
}

QString Value(const char* section, const char* key, const QString& path) {
    return platform::GetPrivateProfileString(section, key, "", 6000, path);
}

void WriteText(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

class MacroCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(program_.folder.ok());
        ResetMacroTables();
        g_trackInsertMode = 0;
        savedMacroFile_ = g_strMacroFile;
        g_strMacroFile = Path("Macro_EN.dat");
        controls_.CreateMacroControls(&page_,
                                      {{10, 10, 40, 20},
                                       {60, 10, 40, 20},
                                       {110, 10, 40, 20},
                                       {160, 10, 80, 20},
                                       {10, 40, 100, 150},
                                       {120, 40, 150, 150}},
                                      QStringLiteral("35"));
    }
    void TearDown() override {
        controls_.DestroyMacroControls();
        g_strMacroFile = savedMacroFile_;
    }

    // Macros of one key step each, shown with line selected.
    void MakeList(const QStringList& names, int selected = 0) {
        for (const QString& name : names) {
            MacroRecord& r = g_macros[static_cast<std::size_t>(g_macroCount++)];
            SetMacroName(r, name);
            r.stepCount = 1;
            r.stepCode[0] = 4;
            r.stepType[0] = 1;
        }
        g_curMacro = selected;
        controls_.RefillMacroList();
    }
    // The table's names, after checking that the name list shows the same.
    QStringList Names() const {
        QStringList names;
        for (int i = 0; i < g_macroCount; ++i) {
            names << MacroName(g_macros[static_cast<std::size_t>(i)]);
        }
        QStringList lines;
        for (int i = 0; i < controls_.macroList()->GetCount(); ++i) {
            lines << controls_.macroList()->GetText(i);
        }
        EXPECT_EQ(lines, names) << "the name list shows the table";
        return names;
    }
    int StepLines() const { return controls_.stepList()->GetCount(); }
    int NameSelection() const { return controls_.macroList()->GetCurSel(); }
    QString Path(const char* name) const { return program_.folder.Path(QString::fromLatin1(name)); }
    // A file of one macro of two steps, as the single export writes it.
    QString MacroFile(const QString& name, std::uint32_t lock = 0, const char* count = "1") {
        MacroRecord r{};
        SetMacroName(r, name);
        r.stepCount = 2;
        r.stepCode = {0xF1, 0xF1};
        r.stepType = {1, 2};
        const QString path = Path("in.dat");
        QFile::remove(path);
        platform::WritePrivateProfileString("Macros", "macroNum", count, path);
        platform::WritePrivateProfileString("Macros", "0", MacroFieldString(r), path);
        platform::WritePrivateProfileString("MacrosSet", "0", QString::number(lock), path);
        return path;
    }
    // The dialogs of the macro files: the .dat filter in the program's folder; open with the
    // read-only box set and hidden, save with the default extension and the overwrite prompt.
    void ExpectDialog(std::size_t n, bool open) const {
        ASSERT_LT(n, dialogs_.FileRequests().size());
        const platform::FileDialogRequest asked = dialogs_.FileRequests()[n];
        EXPECT_EQ(asked.open, open);
        EXPECT_EQ(asked.filter, QStringLiteral("All Files(*.dat)|*.dat||"));
        EXPECT_EQ(asked.initialDir, program_.folder.Dir());
        EXPECT_EQ(asked.defaultExt, open ? QString() : QStringLiteral("dat"));
        EXPECT_EQ(asked.flags, open ? 5u : 6u);
    }

    QApplication& app_ = testing_support::TestApplication();  // before the widgets
    testing_support::ProgramInProcess program_;
    platform::RecordingMessageService& messages_ = program_.messages;
    platform::ScriptedDialogService& dialogs_ = program_.dialogs;
    QString savedMacroFile_;
    QWidget page_;
    MacroControls controls_{KeyName};
    ui::MacroControlsView view_{&controls_, &page_};
    MacroCommands commands_{view_};
};

// ---- import and export ----------------------------------------------------------------------

TEST_F(MacroCommandsTest, ImportGoesAfterTheSelectionWithItsLockAndIsSelected) {
    controls_.RefillMacroList();
    dialogs_.QueueFileName(MacroFile("first"));
    commands_.OnImportMacro();  // an empty list: index 0
    ExpectDialog(0, true);
    EXPECT_EQ(Names(), QStringList({"first"}));
    g_macroCount = 0;
    MakeList({"one", "two", "three"}, 1);
    g_macroSet[2] = 7;
    dialogs_.QueueFileName(MacroFile("new", 1));
    commands_.OnImportMacro();
    EXPECT_EQ(Names(), QStringList({"one", "two", "new", "three"}));
    EXPECT_EQ(g_macroSet[2], 1u);
    EXPECT_EQ(g_macroSet[3], 7u);
    EXPECT_EQ(g_curMacro, 2);
    EXPECT_EQ(NameSelection(), 2);
    EXPECT_EQ(StepLines(), 3) << "shown even though locked";
    EXPECT_EQ(controls_.editMacroName()->text(), QStringLiteral("new"));
}

TEST_F(MacroCommandsTest, ImportOfAnExistingNameChangesNoListNorTheSelection) {
    MakeList({"one", "two"}, 0);
    dialogs_.QueueFileName(MacroFile("two", 0, "2"));  // the reader points g_curMacro at 1
    commands_.OnImportMacro();
    EXPECT_EQ(Names(), QStringList({"one", "two"}));
    EXPECT_EQ(messages_.Messages().last(), QStringLiteral("'two'  宏重名,无法导入!"));
    EXPECT_EQ(controls_.editMacroName()->text(), QStringLiteral("two"));
    EXPECT_EQ(g_curMacro, 0);
}

TEST_F(MacroCommandsTest, ImportIsRefusedWithTwelveMacrosOrWhileRecording) {
    MakeList({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"});
    commands_.OnImportMacro();
    g_recording = 1;
    commands_.OnImportMacro();
    EXPECT_EQ(messages_.Messages(), QStringList({QStringLiteral("当前宏数量12个已满,不可导入!"),
                                                 QStringLiteral("宏录制中,不可导入!")}));
    EXPECT_TRUE(dialogs_.FileRequests().empty());
}

TEST_F(MacroCommandsTest, FilesWithoutAMacroImportNothing) {
    MakeList({"one"}, 0);
    WriteText(Path("empty.dat"), "");
    WriteText(Path("photo.dat"), QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF", 10));
    WriteText(Path("other.dat"), "[Init]\r\nLANG_SEL=1\r\n[Macros]\r\nmacroNum=1\r\n0=abc\r\n");
    for (const char* file : {"empty.dat", "photo.dat", "other.dat", "missing.dat"}) {
        dialogs_.QueueFileName(Path(file));
        commands_.OnImportMacro();
        EXPECT_EQ(Names(), QStringList({"one"})) << file;
        EXPECT_EQ(g_curMacro, 0) << file;
    }
    EXPECT_EQ(messages_.Messages(), QStringList({QStringLiteral("找不到配置文件")}));
}

TEST_F(MacroCommandsTest, HostileImportFillsTheLastSlotAndNotTheSpare) {
    MakeList({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}, 10);
    SetMacroName(g_macros[12], QStringLiteral("spare"));
    // A ten-unit name, then every field at its maximum: a step count far past the steps.
    const QString fields =
        QStringLiteral("065000").repeated(10) + QStringLiteral("255").repeated(1805);
    WriteText(Path("bad.dat"), ("[Macros]\r\nmacroNum=99\r\n0=" + fields + "\r\n").toUtf8());
    dialogs_.QueueFileName(Path("bad.dat"));
    commands_.OnImportMacro();
    ASSERT_EQ(g_macroCount, 12);
    EXPECT_EQ(Names().last(), QStringLiteral("AAAAAAAAAA"));
    EXPECT_EQ(MacroName(g_macros[12]), QStringLiteral("spare"));
    EXPECT_EQ(StepLines(), 2 * MacroMaxSteps - 1);
}

TEST_F(MacroCommandsTest, ExportWritesTheSelectedMacroButNeverALockedOne) {
    MakeList({"one", "two"}, 1);
    g_macroSet[1] = 1;
    commands_.OnExportMacro();
    EXPECT_TRUE(dialogs_.FileRequests().empty()) << "locked: no dialog";
    g_macroSet[1] = 0;
    dialogs_.QueueFileName(Path("out.dat"));
    commands_.OnExportMacro();
    ExpectDialog(0, false);
    EXPECT_EQ(Value("Macros", "0", Path("out.dat")), MacroFieldString(g_macros[1]));
}

// ---- new and delete -------------------------------------------------------------------------

TEST_F(MacroCommandsTest, NewMacroStartsEmptyAndUnlockedAndNeverDuplicatesAName) {
    MakeList({"one"});
    // A longer list read earlier left a locked macro with steps in slot 1.
    g_macros[1].stepCount = 5;
    g_macros[1].mode = 2;
    g_macroSet[1] = 1;
    controls_.editMacroName()->setText(QStringLiteral("1234567890AB"));
    commands_.OnMacroButton(AdvNewMacro);
    EXPECT_EQ(Names(), QStringList({"one", "1234567890"}));
    EXPECT_EQ(g_macros[1].stepCount, 0);
    EXPECT_EQ(g_macros[1].mode, 0);
    EXPECT_EQ(g_macroSet[1], 0u);
    EXPECT_EQ(StepLines(), 0);
    EXPECT_EQ(NameSelection(), 1);
    // The same text again, and the ten units it was stored as, select that macro.
    for (const char* text : {"1234567890AB", "1234567890"}) {
        controls_.macroList()->SetCurSel(0);
        controls_.editMacroName()->setText(QString::fromLatin1(text));
        commands_.OnMacroButton(AdvNewMacro);
        EXPECT_EQ(g_macroCount, 2) << text;
        EXPECT_EQ(NameSelection(), 1) << text;
    }
    controls_.editMacroName()->clear();
    commands_.OnMacroButton(AdvNewMacro);
    EXPECT_EQ(g_macroCount, 2);
}

TEST_F(MacroCommandsTest, DeletingMovesTheLaterMacrosDownAndEmptiesTheLastSlot) {
    MakeList({"one", "two"}, 0);
    g_macroSet[1] = 1;
    g_recording = 1;
    commands_.OnMacroButton(AdvDeleteMacro);
    g_recording = 0;
    controls_.macroList()->SetCurSel(-1);
    commands_.OnMacroButton(AdvDeleteMacro);
    ASSERT_EQ(Names(), QStringList({"one", "two"})) << "recording, then no selection";
    controls_.macroList()->SetCurSel(0);
    commands_.OnMacroButton(AdvDeleteMacro);
    EXPECT_EQ(Names(), QStringList({"two"}));
    EXPECT_EQ(g_macroSet[0], 1u);
    EXPECT_EQ(g_macroSet[1], 0u);
    EXPECT_EQ(MacroName(g_macros[1]), QString());
    EXPECT_EQ(NameSelection(), 0);
    EXPECT_EQ(controls_.editMacroName()->text(), QStringLiteral("two"));
    commands_.OnMacroButton(AdvDeleteMacro);
    EXPECT_TRUE(Names().isEmpty());
    EXPECT_EQ(controls_.editMacroName()->text(), QString());
    EXPECT_EQ(controls_.editRepeat()->text(), QStringLiteral("1"));
    EXPECT_FALSE(controls_.editRepeat()->isEnabled());
}

// ---- repeat count, playback modes, track ----------------------------------------------------

TEST_F(MacroCommandsTest, RepeatCountIsLimitedWrittenBackAndSavesTheList) {
    MakeList({"one", "two"}, 1);
    g_macroSet[0] = 1;
    controls_.editRepeat()->setText(QStringLiteral("70000"));
    commands_.OnMacroButton(AdvApplyRepeat);
    EXPECT_EQ(g_macros[1].repeatCount, 65535);
    EXPECT_EQ(controls_.editRepeat()->text(), QStringLiteral("65535"));
    EXPECT_EQ(Value("Macros", "macroNum", g_strMacroFile), QStringLiteral("2"));
    EXPECT_EQ(Value("MacrosSet", "0", g_strMacroFile), QStringLiteral("1"));
    controls_.editRepeat()->setText(QStringLiteral("x"));
    commands_.OnMacroButton(AdvApplyRepeat);
    EXPECT_EQ(g_macros[1].repeatCount, 1);
    EXPECT_EQ(controls_.editRepeat()->text(), QStringLiteral("1"));
}

TEST_F(MacroCommandsTest, CountModeAndModeTwoKeepTheFileFlags) {
    MakeList({"one"});
    g_macros[0].mode = 0x04;
    commands_.OnMacroButton(AdvCountMode);
    EXPECT_EQ(g_macros[0].mode, 0x05);
    EXPECT_FALSE(controls_.editRepeat()->isEnabled());
    commands_.OnMacroButton(AdvCountMode);
    EXPECT_EQ(g_macros[0].mode, 0x04);
    EXPECT_EQ(controls_.editRepeat()->text(), QStringLiteral("1")) << "a count of 0 shows 1";
    EXPECT_TRUE(controls_.editRepeat()->isEnabled());
    commands_.OnMacroButton(AdvMode2);
    EXPECT_EQ(g_macros[0].mode, 0x06);
    commands_.OnMacroButton(AdvMode2);
    EXPECT_EQ(g_macros[0].mode, 0x04);
    EXPECT_FALSE(controls_.editRepeat()->isEnabled()) << "left as mode 2 made it";
}

TEST_F(MacroCommandsTest, CommandsWithoutASelectedMacroTouchNoRecord) {
    MakeList({"one"});
    controls_.macroList()->SetCurSel(-1);
    controls_.ShowSelectedMacro();
    ASSERT_EQ(g_curMacro, -1);
    const MacroRecord before = g_macros[0];
    controls_.editRepeat()->setText(QStringLiteral("9"));
    for (int button : {AdvCountMode, AdvMode2, AdvTrackMode, AdvTrackInsert, AdvApplyRepeat}) {
        commands_.OnMacroButton(button);
    }
    EXPECT_EQ(std::memcmp(&before, &g_macros[0], sizeof before), 0);
    EXPECT_EQ(Value("Macros", "macroNum", g_strMacroFile), QStringLiteral("1"))
        << "the list is still saved";
}

TEST_F(MacroCommandsTest, TrackInsertAddsClickAndMoveAfterTheSelectedStep) {
    MakeList({"one"}, 0);
    g_macros[0].stepCount = 0;
    controls_.ShowMacroSteps(0);
    commands_.OnMacroButton(AdvTrackMode);
    EXPECT_EQ(g_macros[0].mode, 2);
    EXPECT_EQ(controls_.editTrack()->text(), QStringLiteral("1"));
    controls_.editTrack()->setText(QStringLiteral("45"));
    commands_.OnMacroButton(AdvTrackInsert);
    const MacroRecord& r = g_macros[0];
    ASSERT_EQ(r.stepCount, 3);
    EXPECT_EQ((std::array<int, 6>{r.stepCode[0], r.stepType[0], r.stepCode[1], r.stepType[1],
                                  r.stepCode[2], r.stepType[2]}),
              (std::array<int, 6>{0xF1, 1, 0xF1, 2, 0xF6, 6}));
    EXPECT_EQ(r.stepParam[2].y, 30);
    EXPECT_EQ(controls_.editTrack()->text(), QStringLiteral("30"));
    EXPECT_EQ(controls_.stepList()->GetCurSel(), 4);
    g_macroSet[0] = 1;
    commands_.OnMacroButton(AdvTrackInsert);
    EXPECT_EQ(r.stepCount, 3) << "locked";
    commands_.OnMacroButton(AdvTrackMode);
    EXPECT_EQ(controls_.editTrack()->text(), QStringLiteral("0"));
    EXPECT_FALSE(controls_.editTrack()->isEnabled());
}

// ---- open and save the list -----------------------------------------------------------------

TEST_F(MacroCommandsTest, OpenListReadsTheFileButNotDuringARecording) {
    MakeList({"one", "two"}, 1);
    g_macroSet[0] = 1;
    dialogs_.QueueFileName(Path("list.dat"));
    commands_.OnMacroButton(AdvSaveList);
    ExpectDialog(0, false);
    commands_.OnMacroButton(AdvOpenList);  // cancelled
    g_recording = 1;
    dialogs_.QueueFileName(Path("list.dat"));
    commands_.OnMacroButton(AdvOpenList);
    EXPECT_EQ(dialogs_.FileRequests().size(), 2u) << "no dialog while recording";
    g_recording = 0;
    commands_.OnMacroButton(AdvOpenList);
    ExpectDialog(2, true);
    EXPECT_EQ(Names(), QStringList({"two"})) << "the export left the locked macro out";
}

}  // namespace
