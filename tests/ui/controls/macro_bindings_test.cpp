// Deleting (or importing) a macro on the advanced page leaves every button of every profile on
// the macro it played: on the main page, in the mouse after an Apply, in config.ini with the
// macro file whenever either is written, and after a restart.
#include "macro/macro_bindings.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QWidget>

#include "common/paths.h"
#include "device/apply_settings.h"
#include "device/device_threads.h"
#include "device/macro_body.h"
#include "device/settings_image.h"
#include "macro/macro_commands.h"
#include "macro/macro_field_string.h"
#include "macro/macro_file_reader.h"
#include "macro/macro_file_writer.h"
#include "macro/macro_fixture.h"
#include "platform/dialog_service.h"
#include "platform/file_replace.h"
#include "platform/ini.h"
#include "platform/message_service.h"
#include "profile/config_check.h"
#include "profile/config_store.h"
#include "profile/profile_switch.h"
#include "support/apply_fixture.h"
#include "support/program_run.h"
#include "support/qt_app.h"
#include "ui/controls/editable_list_box.h"
#include "ui/controls/list_box.h"
#include "ui/controls/macro_controls.h"
#include "ui/controls/macro_controls_view.h"
#include "ui/shell/language_switch.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Row = std::array<std::int32_t, ButtonSlotCount>;
using testing_support::ProgramFolder;

QString KeyName(std::uint8_t code) {
    return QStringLiteral("K%1").arg(code);
}

const MacroControlRects Rects = {QRect(0, 0, 40, 20),   QRect(50, 0, 40, 20),
                                 QRect(100, 0, 40, 20), QRect(0, 30, 90, 20),
                                 QRect(0, 60, 90, 90),  QRect(100, 60, 90, 90)};

class MacroBindings : public testing_support::ApplyFixture {
protected:
    void SetUp() override {
        ApplyFixture::SetUp();
        previousDialogs_ = platform::SetDialogService(&dialogs_);
        // Where the controls lie does not matter here.
        controls_.CreateMacroControls(&page_, Rects, QStringLiteral("35"));
    }
    void TearDown() override {
        controls_.DestroyMacroControls();
        platform::SetDialogService(previousDialogs_);
        ApplyFixture::TearDown();
    }

    static MacroRecord Named(MacroRecord r, const char* name) {
        SetMacroName(r, QString::fromLatin1(name));
        return r;
    }
    // The list as start-up finds it: in the user's file, shown on the page; the buttons as
    // config.ini and the mouse have them after an Apply.
    void Start(std::initializer_list<MacroRecord> macros) {
        SetUserMacros(macros);
        OnWriteMacroList(g_strMacroFile, 1);
        controls_.RefillMacroList();
        ApplySettings();
        link_->TakeSentReports();
    }
    void Delete(int line) {
        controls_.macroList()->SetCurSel(line);
        commands_.OnMacroButton(AdvDeleteMacro);
    }
    // A new run: both files read again.
    static void Restart() {
        ResetMacroBindings();
        KeyFunc = {};
        OnReadMacroList(g_strMacroFile);
        ReadInitSection(g_strConfigIni);
        OnReadConfig(g_strConfigIni, g_curConfig, false);
    }
    // What the main page shows on a slot: a user macro's name, else the function code.
    static QString Shown(int row, int slot) {
        const int f = KeyFunc[row][slot];
        return f >= UserMacroFunctionBase && f - UserMacroFunctionBase < g_macroCount
                   ? MacroName(g_macros[f - UserMacroFunctionBase])
                   : QString::number(f);
    }
    static QStringList ShownRow(int row) {
        QStringList shown;
        for (int k = 0; k < ButtonSlotCount; ++k) {
            shown << Shown(row, k);
        }
        return shown;
    }
    QStringList KRow(int row) {
        QStringList keys;
        for (int k = 0; k < ButtonSlotCount; ++k) {
            keys << ConfigValue(QStringLiteral("Config%1").arg(row + 1),
                                QStringLiteral("K%1").arg(k));
        }
        return keys;
    }
    static QStringList ListInFile() {
        QStringList names;
        const int n = ReadMacroFileNumber(QStringLiteral("Macros"), QStringLiteral("macroNum"),
                                          g_strMacroFile);
        for (int i = 0; i < n; ++i) {
            MacroRecord r{};
            DecodeMacroFieldString(
                platform::GetPrivateProfileString(QStringLiteral("Macros"), QString::number(i),
                                                  QString(), MacroFieldReadBuffer, g_strMacroFile),
                r);
            names << MacroName(r);
        }
        return names;
    }
    static Bytes Encoded(const MacroRecord& r) { return EncodeMacroBody(r, MacroBodySize(r)); }
    // The body the mouse plays on a slot, as its key entry points to it, of the given length.
    Bytes MouseBody(int profile, int slot, std::size_t length) {
        const Bytes entry = Memory(0x80 + (14 * profile + g_devButtonNo[slot] - 1) * 8, 8);
        return Memory(entry[5] | ((entry[6] & 0x3F) << 8), static_cast<int>(length));
    }
    void ExpectMousePlays(int profile, int slot, const MacroRecord& macro) {
        EXPECT_EQ(MouseBody(profile, slot, Encoded(macro).size()), Encoded(macro))
            << "profile " << profile + 1 << " slot " << slot;
    }

    QApplication& app_ = testing_support::TestApplication();
    platform::ScriptedDialogService dialogs_;
    platform::DialogService* previousDialogs_ = nullptr;
    QWidget page_;
    MacroControls controls_{KeyName};
    ui::MacroControlsView view_{&controls_, &page_};
    MacroCommands commands_{view_};
    testing_support::QueuedExecutor queue_;
};

// The list A, B, Recoil, Other (a renamed copy of Recoil); button 1 plays Recoil. A is deleted
// and not saved; then the mouse asks for more recoil.
TEST_F(MacroBindings, ARecoilEventAfterADeleteAdjustsTheMacroTheButtonPlays) {
    const MacroRecord recoil = Named(RecoilMacro({3, 3, 4, 4, 5}), "Recoil");
    KeyFunc[0][0] = 52;
    Start({Named(KeyMacro(2), "A"), Named(KeyMacro(4), "B"), recoil,
           Named(RecoilMacro({3, 3, 4, 4, 5}), "Other")});
    const std::uint32_t body = g_macroDevAddr[0][0];
    Delete(0);
    EXPECT_EQ(Shown(0, 0), "Recoil");

    const std::uint8_t event[] = {0x06, 0x01, 0x00};
    HandleInputReport(event, 3, queue_.Executor());
    queue_.RunAll();

    MacroRecord raised = Named(RecoilMacro({4, 4, 5, 5, 6}), "Recoil");
    EXPECT_EQ(MacroName(g_macros[1]), "Recoil");
    EXPECT_EQ(g_macros[1].stepParam[4].y, 6);
    EXPECT_EQ(g_macros[2].stepParam[4].y, 5) << "Other is left alone";
    // The body in the mouse is Recoil's, raised, in the place Apply gave it, written in runs of
    // 8 bytes with their commit and end reports.
    const Bytes raisedBody = Encoded(raised);
    EXPECT_EQ(Memory(static_cast<int>(body), static_cast<int>(raisedBody.size())), raisedBody);
    const std::vector<std::string> sent = link_->TakeSentReports();
    ASSERT_EQ(sent.size(), raisedBody.size() / 8 * 10);
    EXPECT_EQ(sent.front().substr(sent.front().find(' ') + 1), "set 07 18 03 00 40 02 01 07");
    // The list is saved with the delete, and config.ini follows it.
    EXPECT_EQ(ListInFile(), QStringList({"B", "Recoil", "Other"}));
    EXPECT_EQ(KRow(0)[0], "51");

    Restart();
    EXPECT_EQ(Shown(0, 0), "Recoil");
    EXPECT_EQ(g_macros[1].stepParam[4].y, 6);
    ApplySettings();
    ExpectMousePlays(0, 0, raised);
}

// Buttons bound to an earlier, a later and the deleted macro, in four profiles. The deleted
// macro's buttons get their factory function (0 where that is a user macro itself), and left
// click where the profile had none left.
TEST_F(MacroBindings, ADeleteKeepsEveryButtonOnItsMacroThroughSaveRestartAndApply) {
    ASSERT_TRUE(platform::WritePrivateProfileString(
        QStringLiteral("CfgReset2"), QStringLiteral("K3"), QStringLiteral("53"), g_strConfigIni));
    const MacroRecord m0 = Named(KeyMacro(2), "M0");
    const MacroRecord m2 = Named(KeyMacro(6), "M2");
    const MacroRecord m3 = Named(KeyMacro(8), "M3");
    KeyFunc[0] = {1, 50, 51, 53, 5, 17, 16};  // earlier, deleted, later
    KeyFunc[1] = {1, 2, 3, 51, 5, 17, 16};    // factory of K3 is a user macro: 0
    KeyFunc[2] = {51, 50, 3, 4, 52, 17, 16};  // factory of K0 is left click
    KeyFunc[3] = {52, 2, 51, 4, 5, 17, 16};   // no left click left: the deleted one's slot
    Start({m0, Named(KeyMacro(4), "M1"), m2, m3});
    const QStringList configBefore[] = {KRow(0), KRow(1), KRow(2), KRow(3)};
    const QByteArray fileBefore = ProgramFolder::ReadFile(g_strMacroFile);

    Delete(1);
    const QStringList shown[] = {{"1", "M0", "3", "M3", "5", "17", "16"},
                                 {"1", "2", "3", "0", "5", "17", "16"},
                                 {"1", "M0", "3", "4", "M2", "17", "16"},
                                 {"M2", "2", "1", "4", "5", "17", "16"}};
    for (int r = 0; r < ProfileCount; ++r) {
        EXPECT_EQ(ShownRow(r), shown[r]) << "profile " << r + 1;
        EXPECT_EQ(KRow(r), configBefore[r]) << "the delete waits in the window";
    }
    EXPECT_EQ(ProgramFolder::ReadFile(g_strMacroFile), fileBefore);

    // A profile chosen in the window saves config.ini: it names the macros by their places in
    // the file, which still holds M1.
    SwitchProfile(2);
    EXPECT_EQ(KRow(0), QStringList({"1", "50", "3", "53", "5", "17", "16"}));
    EXPECT_EQ(KRow(1), QStringList({"1", "2", "3", "0", "5", "17", "16"}));
    EXPECT_EQ(KRow(2), QStringList({"1", "50", "3", "4", "52", "17", "16"}));
    EXPECT_EQ(KRow(3), QStringList({"52", "2", "1", "4", "5", "17", "16"}));
    for (int r = 0; r < ProfileCount; ++r) {
        EXPECT_EQ(ShownRow(r), shown[r]) << "reloaded: profile " << r + 1;
    }

    // Set saves the list, and config.ini follows in the same step.
    view_.SetRepeatBoxText(QStringLiteral("1"));
    commands_.OnMacroButton(AdvApplyRepeat);
    EXPECT_EQ(ListInFile(), QStringList({"M0", "M2", "M3"}));
    EXPECT_EQ(KRow(0), QStringList({"1", "50", "3", "52", "5", "17", "16"}));
    EXPECT_EQ(KRow(2), QStringList({"1", "50", "3", "4", "51", "17", "16"}));
    EXPECT_EQ(KRow(3), QStringList({"51", "2", "1", "4", "5", "17", "16"}));

    Restart();
    for (int r = 0; r < ProfileCount; ++r) {
        EXPECT_EQ(ShownRow(r), shown[r]) << "after a restart: profile " << r + 1;
    }
    ApplySettings();
    ExpectMousePlays(0, 1, m0);
    ExpectMousePlays(0, 3, m3);
    ExpectMousePlays(2, 1, m0);
    ExpectMousePlays(2, 4, m2);
    ExpectMousePlays(3, 0, m2);
}

// A factory section that would not pass as a profile gives way to the shipped one: its code
// saved over the button would make start-up refuse the whole file.
TEST_F(MacroBindings, ADeletedMacrosButtonNeverTakesAFactoryCodeStartUpWouldRefuse) {
    ASSERT_TRUE(platform::WritePrivateProfileString(
        QStringLiteral("CfgReset3"), QStringLiteral("K2"), QStringLiteral("37"), g_strConfigIni));
    KeyFunc[2] = {1, 2, 50, 4, 5, 17, 16};
    Start({Named(KeyMacro(2), "M0"), Named(KeyMacro(4), "M1")});
    Delete(0);
    EXPECT_EQ(KeyFunc[2][2], 3) << "the shipped [CfgReset3] K2";
    view_.SetRepeatBoxText(QStringLiteral("1"));
    commands_.OnMacroButton(AdvApplyRepeat);
    EXPECT_EQ(KRow(2), QStringList({"1", "2", "3", "4", "5", "17", "16"}));
}

TEST_F(MacroBindings, ADeleteNotSavedIsGoneAfterARestartAndSoAreItsBindings) {
    KeyFunc[0][1] = 50;
    KeyFunc[0][2] = 52;
    Start({Named(KeyMacro(2), "A"), Named(KeyMacro(4), "B"), Named(KeyMacro(6), "C")});
    Delete(0);
    EXPECT_EQ(ShownRow(0)[1], "2");
    EXPECT_EQ(ShownRow(0)[2], "C");
    Restart();
    EXPECT_EQ(ShownRow(0), QStringList({"1", "A", "C", "4", "5", "17", "16"}));
}

TEST_F(MacroBindings, AnApplyAfterADeleteSavesTheListAndConfigIniAlike) {
    KeyFunc[1][2] = 52;
    Start({Named(KeyMacro(2), "A"), Named(KeyMacro(4), "B"), Named(KeyMacro(6), "C")});
    Delete(0);
    ApplySettings();
    EXPECT_EQ(ListInFile(), QStringList({"B", "C"}));
    EXPECT_EQ(KRow(1)[2], "51");
    ExpectMousePlays(1, 2, g_macros[1]);
    Restart();
    EXPECT_EQ(Shown(1, 2), "C");
}

// Set after a delete writes the list and config.ini's K keys together: neither file when one
// cannot be written, and a kill between the two renames is finished by the next start.
TEST_F(MacroBindings, TheListAndConfigIniAreSavedTogetherOrNotAtAll) {
    platform::RecordingMessageService messages;
    platform::MessageService* previous = platform::SetMessageService(&messages);
    KeyFunc[0][1] = 51;
    KeyFunc[0][2] = 52;
    Start({Named(KeyMacro(2), "A"), Named(KeyMacro(4), "B"), Named(KeyMacro(6), "C")});
    const QByteArray config = ProgramFolder::ReadFile(g_strConfigIni);
    const QByteArray macros = ProgramFolder::ReadFile(g_strMacroFile);
    const auto set = [this] {
        Delete(0);
        view_.SetRepeatBoxText(QStringLiteral("1"));
        commands_.OnMacroButton(AdvApplyRepeat);
    };

    ASSERT_TRUE(QFile::setPermissions(g_strConfigIni, QFile::ReadOwner));
    set();
    EXPECT_EQ(ProgramFolder::ReadFile(g_strConfigIni), config);
    EXPECT_EQ(ProgramFolder::ReadFile(g_strMacroFile), macros);
    EXPECT_EQ(messages.Messages(),
              QStringList{QStringLiteral("Cannot save config.ini, Macro_EN.dat!")});
    platform::SetMessageService(previous);
    Restart();
    EXPECT_EQ(ShownRow(0), QStringList({"1", "B", "C", "4", "5", "17", "16"}));

    ASSERT_TRUE(QFile::setPermissions(g_strConfigIni, QFile::ReadOwner | QFile::WriteOwner));
    controls_.RefillMacroList();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::SetBetweenRenamesForTests([] { ::_exit(0); });
        set();
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "killed between the renames";
    EXPECT_EQ(ListInFile(), QStringList({"B", "C"}));
    EXPECT_EQ(ProgramFolder::ReadFile(g_strConfigIni), config) << "not renamed yet";
    EXPECT_EQ(platform::FinishInterruptedReplace(g_strConfigIni), 1);
    Restart();
    EXPECT_EQ(ShownRow(0), QStringList({"1", "B", "C", "4", "5", "17", "16"}));
    EXPECT_EQ(KRow(0)[1], "50");
    EXPECT_TRUE(QDir(QFileInfo(g_strConfigIni).absolutePath())
                    .entryList({QStringLiteral("*zelbo*")}, QDir::AllEntries | QDir::Hidden)
                    .isEmpty());
}

// Opening another list or switching the language drops what the window held: the buttons name
// again what config.ini names, as before the delete.
TEST_F(MacroBindings, ADroppedDeleteTakesItsBindingsBackWithIt) {
    ASSERT_TRUE(platform::WritePrivateProfileString(QStringLiteral("Macros"),
                                                    QStringLiteral("macroNum"), QStringLiteral("0"),
                                                    dir_.filePath("other.dat")));
    for (int way = 0; way < 2; ++way) {
        KeyFunc[0] = {1, 50, 51, 52, 5, 17, 16};
        Start({Named(KeyMacro(2), "A"), Named(KeyMacro(4), "B"), Named(KeyMacro(6), "C")});
        Delete(1);
        ASSERT_EQ(KeyFunc[0][2], 3);
        ASSERT_EQ(KeyFunc[0][3], 51);
        if (way == 0) {
            dialogs_.QueueFileName(dir_.filePath("other.dat"));
            commands_.OnMacroButton(AdvOpenList);
        } else {
            ui::SwitchLanguage(0, {});
            g_strMacroFile = dir_.filePath(QStringLiteral("Macro_EN.dat"));
        }
        EXPECT_EQ((Row{KeyFunc[0][0], KeyFunc[0][1], KeyFunc[0][2], KeyFunc[0][3], KeyFunc[0][4],
                       KeyFunc[0][5], KeyFunc[0][6]}),
                  (Row{1, 50, 51, 52, 5, 17, 16}))
            << way;
        ResetMacroBindings();
    }
}

// M2 on P1 K0, P2 K3 and P4 K2, profiles 2 and 4 without another left click: the delete gives
// those two left click. A list that cannot be opened changes nothing; a language switch and back
// drops the delete, and all three buttons play M2 again, also in what the Apply saves.
TEST_F(MacroBindings, ADroppedDeleteGivesBackEveryButtonItChangedLeftClickIncluded) {
    const MacroRecord m2 = Named(KeyMacro(6), "M2");
    KeyFunc[0] = {52, 2, 3, 4, 5, 17, 16};
    KeyFunc[1] = {2, 2, 3, 52, 5, 17, 16};
    KeyFunc[3] = {2, 2, 52, 4, 5, 17, 16};
    Start({Named(KeyMacro(2), "M0"), Named(KeyMacro(4), "M1"), m2, Named(KeyMacro(8), "M3"),
           Named(KeyMacro(10), "M4")});
    Delete(2);
    const QStringList afterDelete[] = {{"1", "2", "3", "4", "5", "17", "16"},
                                       {"2", "2", "3", "1", "5", "17", "16"},
                                       {"2", "2", "1", "4", "5", "17", "16"}};
    const auto expectRows = [&](const QStringList(&rows)[3]) {
        EXPECT_EQ(ShownRow(0), rows[0]);
        EXPECT_EQ(ShownRow(1), rows[1]);
        EXPECT_EQ(ShownRow(3), rows[2]);
    };
    expectRows(afterDelete);

    const QString folder = dir_.filePath(QStringLiteral("folder.dat"));
    ASSERT_TRUE(QDir().mkdir(folder));
    dialogs_.QueueFileName(folder);
    commands_.OnMacroButton(AdvOpenList);
    expectRows(afterDelete);
    EXPECT_EQ(g_macroCount, 4);

    ui::SwitchLanguage(0, {});
    ui::SwitchLanguage(1, {});
    expectRows({{"M2", "2", "3", "4", "5", "17", "16"},
                {"2", "2", "3", "M2", "5", "17", "16"},
                {"2", "2", "M2", "4", "5", "17", "16"}});
    ApplySettings();
    ExpectMousePlays(0, 0, m2);
    ExpectMousePlays(1, 3, m2);
    ExpectMousePlays(3, 2, m2);
    EXPECT_EQ(KRow(1)[3], "52");
    EXPECT_EQ(KRow(3)[2], "52");
}

// While the user's macro file is there but cannot be read, the buttons bound to its macros are
// sent as "no function" (their bodies are unknown), and config.ini keeps their codes, so that
// they play their macros again once the file can be read.
TEST_F(MacroBindings, AMacroFileThatCannotBeReadCostsNoButtonItsBinding) {
    const MacroRecord m1 = Named(KeyMacro(4), "M1");
    KeyFunc[0] = {1, 51, 3, 4, 5, 17, 16};
    KeyFunc[2][0] = 50;
    Start({Named(KeyMacro(2), "M0"), m1});
    const QStringList before[] = {KRow(0), KRow(2)};
    const QString kept = dir_.filePath(QStringLiteral("kept.dat"));
    ASSERT_TRUE(QFile::rename(g_strMacroFile, kept));
    ASSERT_TRUE(QDir().mkdir(g_strMacroFile));

    Restart();
    ApplySettings();
    EXPECT_EQ(KRow(0), before[0]);
    EXPECT_EQ(KRow(2), before[1]);
    EXPECT_EQ(Memory(0x009, 1), Bytes{0});
    EXPECT_EQ(g_devKeyCodeUi[2][0], 0);
    EXPECT_TRUE(QFileInfo(g_strMacroFile).isDir()) << "no list save over it";

    ASSERT_TRUE(QDir().rmdir(g_strMacroFile));
    ASSERT_TRUE(QFile::rename(kept, g_strMacroFile));
    Restart();
    ApplySettings();
    ExpectMousePlays(0, 1, m1);
    EXPECT_EQ(Shown(2, 0), "M0");
}

TEST_F(MacroBindings, AnImportKeepsTheButtonsOfTheMacrosAfterIt) {
    KeyFunc[0][1] = 51;
    Start({Named(KeyMacro(2), "A"), Named(KeyMacro(4), "B")});
    MacroRecord imported = Named(KeyMacro(6), "New");
    const QString path = dir_.filePath("in.dat");
    platform::WritePrivateProfileString("Macros", "macroNum", "1", path);
    platform::WritePrivateProfileString("Macros", "0", MacroFieldString(imported), path);
    controls_.macroList()->SetCurSel(0);
    dialogs_.QueueFileName(path);
    commands_.OnImportMacro();
    ASSERT_EQ(MacroName(g_macros[1]), "New");
    EXPECT_EQ(Shown(0, 1), "B");
    SwitchProfile(1);  // config.ini names B by its place in the file until the list is saved
    EXPECT_EQ(KRow(0)[1], "51");
    EXPECT_EQ(Shown(0, 1), "B");
    ApplySettings();
    EXPECT_EQ(ListInFile(), QStringList({"A", "New", "B"}));
    EXPECT_EQ(KRow(0)[1], "52");
}

// A full list with one macro deleted and a new one bound in its stead: config.ini, saved before
// the list, must still hold only codes that a start-up takes.
TEST_F(MacroBindings, ANewMacroNotYetInTheFileNeverGivesConfigIniACodeItRefuses) {
    for (int i = 0; i < MaxUserMacros; ++i) {
        g_macros[i] = KeyMacro(2 + i);
    }
    g_macroCount = MaxUserMacros;
    OnWriteMacroList(g_strMacroFile, 1);
    controls_.RefillMacroList();
    Delete(5);
    view_.SetNameBoxText(QStringLiteral("New"));
    commands_.OnMacroButton(AdvNewMacro);
    ASSERT_EQ(g_macroCount, MaxUserMacros);
    KeyFunc[0][3] = UserMacroFunctionBase + MaxUserMacros - 1;
    SwitchProfile(2);
    const std::optional<ConfigFault> fault = CheckConfigIni(g_strConfigIni);
    EXPECT_FALSE(fault.has_value()) << (fault ? fault->Describe() : QString()).toStdString();
}

}  // namespace
