#include "macro/macro_commands.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstring>
#include <memory>

#include "app/core/paths.h"
#include "macro/macro_field_string.h"
#include "platform/dialog_service.h"
#include "platform/ini.h"
#include "platform/message_service.h"
#include "support/qt_app.h"
#include "ui/editable_list_box.h"
#include "ui/list_box.h"
#include "ui/macro_controls.h"
#include "ui/macro_controls_view.h"

namespace {

const MacroControlRects Rects{QRect(10, 10, 40, 20),   QRect(60, 10, 40, 20),
                              QRect(110, 10, 40, 20),  QRect(160, 10, 80, 20),
                              QRect(10, 40, 100, 150), QRect(120, 40, 150, 150)};

QString KeyName(std::uint8_t code) {
    return QStringLiteral("K%1").arg(code);
}

class MacroCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::TestApplication();
        std::memset(g_macros.data(), 0, sizeof(g_macros));
        std::memset(&g_macroBuf, 0, sizeof(g_macroBuf));
        g_macroSet.fill(0);
        g_macroCount = 0;
        g_curMacro = 0;
        g_recording = 0;
        g_stepListSel = 0;
        g_trackInsertMode = 0;
        savedExeDir_ = g_strExeDir;
        savedMacroFile_ = g_strMacroFile;
        g_strExeDir = dir_.path();
        g_strMacroFile = dir_.filePath(QStringLiteral("Macro_EN.dat"));
        previousMessages_ = platform::SetMessageService(&messages_);
        previousDialogs_ = platform::SetDialogService(&dialogs_);
        page_ = std::make_unique<QWidget>();
        page_->resize(300, 200);
        controls_.CreateMacroControls(page_.get(), Rects, QStringLiteral("35"));
    }
    void TearDown() override {
        controls_.DestroyMacroControls();
        page_.reset();
        platform::SetDialogService(previousDialogs_);
        platform::SetMessageService(previousMessages_);
        g_strExeDir = savedExeDir_;
        g_strMacroFile = savedMacroFile_;
    }

    // Macros named by the list, each with one key step, then the list shown with line selected.
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
    QStringList Names() const {
        QStringList lines;
        for (int i = 0; i < controls_.macroList()->GetCount(); ++i) {
            lines << controls_.macroList()->GetText(i);
        }
        return lines;
    }
    QStringList TableNames() const {
        QStringList names;
        for (int i = 0; i < g_macroCount; ++i) {
            names << MacroName(g_macros[static_cast<std::size_t>(i)]);
        }
        return names;
    }
    int StepLines() const { return controls_.stepList()->GetCount(); }
    QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    // A file of one macro, as the single export writes it.
    QString MacroFile(const char* file, const QString& name, std::uint32_t lock = 0) {
        MacroRecord r{};
        SetMacroName(r, name);
        r.stepCount = 2;
        r.stepCode = {0xF1, 0xF1};
        r.stepType = {1, 2};
        const QString path = Path(file);
        platform::WritePrivateProfileString("Macros", "macroNum", "1", path);
        platform::WritePrivateProfileString("Macros", "0", MacroFieldString(r), path);
        if (lock != 0) {
            platform::WritePrivateProfileString("MacrosSet", "0", QString::number(lock), path);
        }
        return path;
    }
    static void WriteText(const QString& path, const QByteArray& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

    QTemporaryDir dir_;
    QString savedExeDir_;
    QString savedMacroFile_;
    platform::RecordingMessageService messages_;
    platform::MessageService* previousMessages_ = nullptr;
    platform::ScriptedDialogService dialogs_;
    platform::DialogService* previousDialogs_ = nullptr;
    std::unique_ptr<QWidget> page_;
    MacroControls controls_{KeyName};
    ui::MacroControlsView view_{&controls_, page_.get()};
    MacroCommands commands_{view_};
};

// ---- import ---------------------------------------------------------------------------------

TEST_F(MacroCommandsTest, ImportGoesAfterTheSelectionWithItsLockAndIsSelected) {
    MakeList({"one", "two", "three"}, 1);
    g_macroSet[2] = 7;
    dialogs_.QueueFileName(MacroFile("in.dat", "new", 1));
    commands_.OnImportMacro();
    ASSERT_EQ(dialogs_.FileRequests().size(), 1u);
    const platform::FileDialogRequest asked = dialogs_.FileRequests()[0];
    EXPECT_TRUE(asked.open);
    EXPECT_EQ(asked.filter, QStringLiteral("All Files(*.dat)|*.dat||"));
    EXPECT_EQ(asked.defaultExt, QString());
    EXPECT_EQ(asked.flags, 5u);
    EXPECT_EQ(asked.initialDir, dir_.path());
    EXPECT_EQ(TableNames(), QStringList({"one", "two", "new", "three"}));
    EXPECT_EQ(Names(), TableNames());
    EXPECT_EQ(g_macroSet[2], 1u);
    EXPECT_EQ(g_macroSet[3], 7u);
    EXPECT_EQ(g_curMacro, 2);
    EXPECT_EQ(controls_.macroList()->GetCurSel(), 2);
    EXPECT_EQ(StepLines(), 3) << "shown even though locked";
    EXPECT_EQ(controls_.editMacroName()->text(), QStringLiteral("new"));
}

TEST_F(MacroCommandsTest, ImportIntoAnEmptyListTakesIndexZero) {
    controls_.RefillMacroList();
    dialogs_.QueueFileName(MacroFile("in.dat", "first"));
    commands_.OnImportMacro();
    EXPECT_EQ(TableNames(), QStringList({"first"}));
    EXPECT_EQ(g_curMacro, 0);
}

TEST_F(MacroCommandsTest, ImportOfAnExistingNameChangesNoList) {
    MakeList({"one", "two"}, 0);
    const QString path = MacroFile("in.dat", "two");
    // A file of two macros points the reader's g_curMacro at the second.
    platform::WritePrivateProfileString("Macros", "macroNum", "2", path);
    dialogs_.QueueFileName(path);
    commands_.OnImportMacro();
    EXPECT_EQ(TableNames(), QStringList({"one", "two"}));
    EXPECT_EQ(Names(), TableNames());
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
    EXPECT_EQ(g_macroCount, 12);
}

TEST_F(MacroCommandsTest, FilesWithoutAMacroImportNothing) {
    MakeList({"one"}, 0);
    WriteText(Path("empty.dat"), "");
    WriteText(Path("photo.dat"), QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF", 10));
    WriteText(Path("other.dat"), "[Init]\r\nLANG_SEL=1\r\n[Macros]\r\n0=abc\r\n");
    for (const char* file : {"empty.dat", "photo.dat", "other.dat", "missing.dat"}) {
        dialogs_.QueueFileName(Path(file));
        commands_.OnImportMacro();
        EXPECT_EQ(TableNames(), QStringList({"one"})) << file;
        EXPECT_EQ(Names(), TableNames()) << file;
        EXPECT_EQ(g_curMacro, 0) << file;
    }
    EXPECT_EQ(messages_.Messages(), QStringList({QStringLiteral("找不到配置文件")}));
}

TEST_F(MacroCommandsTest, HostileImportFillsTheLastSlotAndNotTheSpare) {
    MakeList({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}, 10);
    SetMacroName(g_macros[12], QStringLiteral("spare"));
    // A ten-unit name, a step count far past the steps, every count field at its maximum.
    QString fields = QStringLiteral("065000").repeated(10) + QStringLiteral("255").repeated(1805);
    WriteText(Path("bad.dat"), ("[Macros]\r\nmacroNum=99\r\n0=" + fields + "\r\n").toUtf8());
    dialogs_.QueueFileName(Path("bad.dat"));
    commands_.OnImportMacro();
    ASSERT_EQ(g_macroCount, 12);
    EXPECT_EQ(Names().last(), QStringLiteral("AAAAAAAAAA"));
    EXPECT_EQ(g_macros[11].stepCount, MacroMaxSteps);
    EXPECT_EQ(MacroName(g_macros[12]), QStringLiteral("spare"));
    EXPECT_EQ(StepLines(), 2 * MacroMaxSteps - 1);
}

// ---- export ---------------------------------------------------------------------------------

TEST_F(MacroCommandsTest, ExportWritesTheSelectedMacroButNeverALockedOne) {
    MakeList({"one", "two"}, 1);
    g_macroSet[1] = 1;
    commands_.OnExportMacro();
    EXPECT_TRUE(dialogs_.FileRequests().empty()) << "locked: no dialog";
    g_macroSet[1] = 0;
    dialogs_.QueueFileName(Path("out.dat"));
    commands_.OnExportMacro();
    ASSERT_EQ(dialogs_.FileRequests().size(), 1u);
    const platform::FileDialogRequest asked = dialogs_.FileRequests()[0];
    EXPECT_FALSE(asked.open);
    EXPECT_EQ(asked.defaultExt, QStringLiteral("dat"));
    EXPECT_EQ(asked.flags, 6u);
    EXPECT_EQ(asked.filter, QStringLiteral("All Files(*.dat)|*.dat||"));
    EXPECT_EQ(asked.initialDir, dir_.path());
    EXPECT_EQ(platform::GetPrivateProfileString("Macros", "macroNum", "", 10, Path("out.dat")),
              QStringLiteral("1"));
    EXPECT_EQ(platform::GetPrivateProfileString("Macros", "0", "", 6000, Path("out.dat")),
              MacroFieldString(g_macros[1]));
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
    EXPECT_EQ(MacroName(g_macros[1]), QStringLiteral("1234567890"));
    EXPECT_EQ(g_macros[1].stepCount, 0);
    EXPECT_EQ(g_macros[1].mode, 0);
    EXPECT_EQ(g_macroSet[1], 0u);
    EXPECT_EQ(StepLines(), 0);
    EXPECT_EQ(g_curMacro, 1);
    // The same text again, and a ten-unit name of the same start, find that macro.
    for (const char* text : {"1234567890AB", "1234567890"}) {
        controls_.macroList()->SetCurSel(0);
        controls_.editMacroName()->setText(QString::fromLatin1(text));
        commands_.OnMacroButton(AdvNewMacro);
        EXPECT_EQ(g_macroCount, 2) << text;
        EXPECT_EQ(controls_.macroList()->GetCurSel(), 1) << text;
    }
    controls_.editMacroName()->setText(QStringLiteral("123456789"));
    commands_.OnMacroButton(AdvNewMacro);
    EXPECT_EQ(Names().last(), QStringLiteral("123456789"));
    controls_.editMacroName()->clear();
    commands_.OnMacroButton(AdvNewMacro);
    EXPECT_EQ(g_macroCount, 3);
}

TEST_F(MacroCommandsTest, DeletingMovesTheLaterMacrosDownAndEmptiesTheLastSlot) {
    MakeList({"one", "two"}, 0);
    g_macroSet[1] = 1;
    commands_.OnMacroButton(AdvDeleteMacro);
    EXPECT_EQ(Names(), QStringList({"two"}));
    EXPECT_EQ(g_macroSet[0], 1u);
    EXPECT_EQ(g_macroSet[1], 0u);
    EXPECT_EQ(MacroName(g_macros[1]), QString());
    EXPECT_EQ(controls_.macroList()->GetCurSel(), 0);
    EXPECT_EQ(controls_.editMacroName()->text(), QStringLiteral("two"));
    commands_.OnMacroButton(AdvDeleteMacro);
    EXPECT_TRUE(Names().isEmpty());
    EXPECT_EQ(g_macroCount, 0);
    EXPECT_EQ(controls_.editMacroName()->text(), QString());
    EXPECT_EQ(controls_.editRepeat()->text(), QStringLiteral("1"));
    EXPECT_FALSE(controls_.editRepeat()->isEnabled());
    EXPECT_EQ(StepLines(), 0);
}

TEST_F(MacroCommandsTest, DeleteWithoutSelectionOrWhileRecordingDoesNothing) {
    MakeList({"one", "two"}, 1);
    g_recording = 1;
    commands_.OnMacroButton(AdvDeleteMacro);
    g_recording = 0;
    controls_.macroList()->SetCurSel(-1);
    commands_.OnMacroButton(AdvDeleteMacro);
    EXPECT_EQ(TableNames(), QStringList({"one", "two"}));
    EXPECT_EQ(Names(), TableNames());
}

// ---- repeat count and playback modes --------------------------------------------------------

TEST_F(MacroCommandsTest, RepeatCountIsLimitedWrittenBackAndSavesTheList) {
    MakeList({"one", "two"}, 1);
    g_macroSet[0] = 1;
    controls_.editRepeat()->setText(QStringLiteral("70000"));
    commands_.OnMacroButton(AdvApplyRepeat);
    EXPECT_EQ(g_macros[1].repeatCount, 65535);
    EXPECT_EQ(controls_.editRepeat()->text(), QStringLiteral("65535"));
    EXPECT_EQ(platform::GetPrivateProfileString("Macros", "macroNum", "", 10, g_strMacroFile),
              QStringLiteral("2"));
    EXPECT_EQ(platform::GetPrivateProfileString("MacrosSet", "0", "", 10, g_strMacroFile),
              QStringLiteral("1"));
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
    EXPECT_EQ(controls_.editRepeat()->text(), QStringLiteral("1"));
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
    EXPECT_EQ(platform::GetPrivateProfileString("Macros", "macroNum", "", 10, g_strMacroFile),
              QStringLiteral("1"))
        << "the list is still saved";
}

// ---- track mode and track insert ------------------------------------------------------------

TEST_F(MacroCommandsTest, TrackInsertAddsClickAndMoveAfterTheSelectedStep) {
    MakeList({"one", "locked"}, 0);
    g_macros[0].stepCount = 0;
    controls_.ShowMacroSteps(0);
    commands_.OnMacroButton(AdvTrackMode);
    EXPECT_EQ(g_macros[0].mode, 2);
    EXPECT_EQ(controls_.editTrack()->text(), QStringLiteral("1"));
    EXPECT_TRUE(controls_.editTrack()->isEnabled());
    controls_.editTrack()->setText(QStringLiteral("45"));
    commands_.OnMacroButton(AdvTrackInsert);
    const MacroRecord& r = g_macros[0];
    ASSERT_EQ(r.stepCount, 3);
    EXPECT_EQ(r.stepCode[0], 0xF1);
    EXPECT_EQ(r.stepType[0], 1);
    EXPECT_EQ(r.stepCode[1], 0xF1);
    EXPECT_EQ(r.stepType[1], 2);
    EXPECT_EQ(r.stepCode[2], 0xF6);
    EXPECT_EQ(r.stepType[2], 6);
    EXPECT_EQ(r.stepParam[2].y, 30);
    EXPECT_EQ(r.xyCount, 1);
    EXPECT_EQ(controls_.editTrack()->text(), QStringLiteral("30"));
    EXPECT_EQ(controls_.stepList()->GetCurSel(), 4);

    g_macroSet[1] = 1;
    controls_.macroList()->SetCurSel(1);
    controls_.ShowSelectedMacro();
    commands_.OnMacroButton(AdvTrackInsert);
    EXPECT_EQ(g_macros[1].stepCount, 1) << "locked";
    commands_.OnMacroButton(AdvTrackMode);
    EXPECT_EQ(controls_.editTrack()->text(), QStringLiteral("0"));
    EXPECT_FALSE(controls_.editTrack()->isEnabled());
}

// ---- open and save the list -----------------------------------------------------------------

TEST_F(MacroCommandsTest, OpenListReplacesTheListAndSaveListExportsIt) {
    MakeList({"one", "two"}, 1);
    g_macroSet[0] = 1;
    dialogs_.QueueFileName(Path("list.dat"));
    commands_.OnMacroButton(AdvSaveList);
    ASSERT_EQ(dialogs_.FileRequests().size(), 1u);
    EXPECT_FALSE(dialogs_.FileRequests()[0].open);
    EXPECT_EQ(dialogs_.FileRequests()[0].flags, 6u);
    commands_.OnMacroButton(AdvOpenList);  // cancelled
    EXPECT_EQ(TableNames(), QStringList({"one", "two"}));
    dialogs_.QueueFileName(Path("list.dat"));
    commands_.OnMacroButton(AdvOpenList);
    EXPECT_EQ(TableNames(), QStringList({"two"})) << "the export leaves locked macros out";
    EXPECT_EQ(Names(), TableNames());
    EXPECT_EQ(dialogs_.FileRequests()[2].flags, 5u);
}

TEST_F(MacroCommandsTest, ListWithANegativeCountReadsAsEmptyAndOpeningWaitsForARecording) {
    MakeList({"one"});
    WriteText(Path("neg.dat"), "[Macros]\r\nmacroNum=-3\r\n0=065000\r\n");
    g_recording = 1;
    dialogs_.QueueFileName(Path("neg.dat"));
    commands_.OnMacroButton(AdvOpenList);
    EXPECT_TRUE(dialogs_.FileRequests().empty());
    EXPECT_EQ(g_macroCount, 1);
    g_recording = 0;
    commands_.OnMacroButton(AdvOpenList);
    EXPECT_EQ(g_macroCount, 0);
    EXPECT_TRUE(Names().isEmpty());
    EXPECT_EQ(StepLines(), 0);
    EXPECT_EQ(controls_.editMacroName()->text(), QString());
}

}  // namespace
