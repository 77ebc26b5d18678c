// Recording a macro from the keyboard and the advanced page's right clicks, on a window with the
// macro editor's controls. Keys arrive as the toolkit delivers a grabbed keyboard's events: at
// the window's focus widget, with the X11 keycode and keysym.
#include "ui/shell/pre_translate.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>

#include "app/main_dialog.h"
#include "macro/keyboard_recording.h"
#include "macro/macro_fixture.h"
#include "macro/macro_record.h"
#include "macro/step_lines.h"
#include "platform/clock.h"
#include "platform/message_service.h"
#include "support/program_in_process.h"
#include "support/qt_app.h"
#include "ui/controls/editable_list_box.h"
#include "ui/controls/kve_menu.h"
#include "ui/controls/list_box.h"
#include "ui/controls/macro_controls.h"
#include "ui/controls/program_menus.h"
#include "ui/shell/window_message.h"
#include "ui/shell/window_state.h"

namespace {

using testing_support::ProcessEventsFor;

// An X11 key: the toolkit's key, keycode and keysym (US layout).
struct XKey {
    int qt;
    quint32 keycode;
    quint32 keysym;
};
// Keys a..z: keycodes of the letter rows.
XKey Letter(char c) {
    static const quint32 Codes[26] = {38, 56, 54, 40, 26, 41, 42, 43, 31, 44, 45, 46, 58,
                                      57, 32, 33, 24, 27, 39, 28, 30, 55, 25, 53, 29, 52};
    const int i = c - 'a';
    return {Qt::Key_A + i, Codes[i], static_cast<quint32>(c)};
}
const XKey KeyEsc{Qt::Key_Escape, 9, 0xFF1B};
const XKey KeyEnter{Qt::Key_Return, 36, 0xFF0D};
const XKey KeyF10{Qt::Key_F10, 76, 0xFFC7};
const XKey KeyShiftR{Qt::Key_Shift, 62, 0xFFE2};

const MacroControlRects Rects{QRect(10, 10, 40, 20),   QRect(60, 10, 40, 20),
                              QRect(110, 10, 40, 20),  QRect(160, 10, 80, 20),
                              QRect(10, 40, 100, 150), QRect(120, 40, 150, 150)};

// The main window's stand-in: a dialog (Esc would close it, Enter press its default button)
// that keeps the commands posted to it.
class Host : public QDialog {
public:
    std::vector<unsigned> commands;
    QPushButton* defaultButton = nullptr;
    int defaultPressed = 0;

    Host() {
        defaultButton = new QPushButton(this);
        defaultButton->setGeometry(300, 250, 40, 20);
        defaultButton->setDefault(true);
        QObject::connect(defaultButton, &QPushButton::clicked, [this] { ++defaultPressed; });
    }

protected:
    bool event(QEvent* e) override {
        if (e->type() == ui::WindowMessageEvent::EventType()) {
            auto* m = static_cast<ui::WindowMessageEvent*>(e);
            if (m->message() == ui::WM_COMMAND) {
                commands.push_back(static_cast<unsigned>(m->wParam()));
            }
            return true;
        }
        return QDialog::event(e);
    }
};

class FakeGrab final : public platform::KeyboardGrab {
public:
    bool Grab(std::uint32_t target) override {
        window = target;
        return held = true;
    }
    void Release() override { held = false; }
    bool Held() const override { return held; }
    bool held = false;
    std::uint32_t window = 0;
};

class RecordingTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::TestApplication();
        ResetMacroTables();
        g_lastMs = 0;
        g_page = PageAdvanced;
        previousMessages_ = platform::SetMessageService(&messages_);
        clock_.SetUtcMilliseconds(1'800'000'000'000);  // 2027-01-15 08:00:00 UTC
        previousClock_ = platform::SetClock(&clock_);
        ui::BuildProgramMenus(1);
        host_ = std::make_unique<Host>();
        host_->resize(400, 300);
        controls_.CreateMacroControls(host_.get(), Rects, QStringLiteral("35"));
        auto grab = std::make_unique<FakeGrab>();
        grab_ = grab.get();
        translator_ = std::make_unique<ui::PreTranslator>(
            host_.get(), [this] { return &controls_; }, std::move(grab));
        AddMacro(QStringLiteral("one"), 3);
        AddMacro(QStringLiteral("two"), 0);
        controls_.RefillMacroList();
        host_->show();
    }
    void TearDown() override {
        translator_.reset();
        controls_.DestroyMacroControls();
        host_.reset();
        ui::DestroyProgramMenus();
        platform::SetClock(previousClock_);
        platform::SetMessageService(previousMessages_);
        g_page = PageMain;
    }

    static void AddMacro(const QString& name, int keySteps) {
        MacroRecord& r = g_macros[static_cast<std::size_t>(g_macroCount++)];
        SetMacroName(r, name);
        for (int s = 0; s < keySteps; ++s) {
            r.stepCode[static_cast<std::size_t>(s)] = static_cast<std::uint8_t>(0x10 + s);
            r.stepType[static_cast<std::size_t>(s)] = 1;
            r.stepDelay[static_cast<std::size_t>(s)] = 10;
        }
        r.stepCount = static_cast<std::uint16_t>(keySteps);
    }

    void Send(QEvent::Type type, const XKey& key, bool autoRepeat = false) {
        QWidget* target = host_->focusWidget() != nullptr ? host_->focusWidget() : host_.get();
        QKeyEvent event(type, key.qt, Qt::NoModifier, key.keycode, key.keysym, 0, QString(),
                        autoRepeat);
        QApplication::sendEvent(target, &event);
    }
    void Press(const XKey& key, bool autoRepeat = false) {
        Send(QEvent::KeyPress, key, autoRepeat);
    }
    void Release(const XKey& key) { Send(QEvent::KeyRelease, key); }
    void Tap(const XKey& key) {
        Press(key);
        Release(key);
    }
    void Wait(int ms) { clock_.Advance(ms * 1000); }

    void SelectMacro(int i) {
        controls_.macroList()->SetCurSel(i);
        controls_.ShowSelectedMacro();
    }
    void StartRecording(int macro) {
        SelectMacro(macro);
        translator_->OnRecordButton();
        ASSERT_EQ(g_recording, 1);
    }
    QStringList StepLines() const {
        QStringList lines;
        for (int i = 0; i < controls_.stepList()->GetCount(); ++i) {
            lines << controls_.stepList()->GetText(i);
        }
        return lines;
    }
    const MacroRecord& Macro(int i) const { return g_macros[static_cast<std::size_t>(i)]; }

    // The popup menu the next right click opens: its items are noted, then the item with
    // chooseId is chosen (0: the menu is dismissed).
    void OnNextMenu(int chooseId) {
        menuItems_.clear();
        QTimer::singleShot(0, host_.get(), [this, chooseId] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr) {
                return;
            }
            for (QAction* action : menu->actions()) {
                menuItems_ << action->text().trimmed();
            }
            for (QAction* action : menu->actions()) {
                if (chooseId != 0 && GetMenuItemID(action) == chooseId) {
                    menu->setActiveAction(action);
                    QTest::keyClick(menu, Qt::Key_Return);
                    return;
                }
            }
            menu->close();
        });
    }
    void RightClick(QWidget* widget, const QPoint& pos) {
        QTest::mouseClick(widget, Qt::RightButton, Qt::NoModifier, pos);
        ProcessEventsFor(10);
    }
    QPoint StepLinePos(int line) const {
        return controls_.stepList()->visualItemRect(controls_.stepList()->item(line)).center();
    }

    platform::VirtualClock clock_;
    platform::Clock* previousClock_ = nullptr;
    platform::RecordingMessageService messages_;
    platform::MessageService* previousMessages_ = nullptr;
    std::unique_ptr<Host> host_;
    MacroControls controls_;
    FakeGrab* grab_ = nullptr;
    std::unique_ptr<ui::PreTranslator> translator_;
    QStringList menuItems_;
};

// ---- recording --------------------------------------------------------------------------------

std::vector<int> Steps(const MacroRecord& r, const std::uint8_t* field) {
    return std::vector<int>(field, field + r.stepCount);
}
std::vector<int> Codes(const MacroRecord& r) {
    return Steps(r, r.stepCode.data());
}

TEST_F(RecordingTest, AThenBRecordsFourStepsEachWaitingForTheNextKeyTheLast20Ms) {
    Wait(5000);  // the first key measures from an earlier call: not stored
    StartRecording(0);
    EXPECT_TRUE(grab_->Held());
    EXPECT_EQ(grab_->window, static_cast<std::uint32_t>(host_->winId()));
    EXPECT_TRUE(StepLines().isEmpty());
    EXPECT_EQ(controls_.editRepeat()->text(), QStringLiteral("1"));
    EXPECT_FALSE(controls_.editRepeat()->isEnabled());
    EXPECT_EQ(host_->focusWidget(), controls_.stepList());

    Press(Letter('a'));
    Wait(100);
    Release(Letter('a'));
    Wait(250);
    Press(Letter('b'));
    Wait(40);
    Release(Letter('b'));
    EXPECT_EQ(StepLines(),
              (QStringList{"[↓]A", "    100ms", "[↑]A", "    250ms", "[↓]B", "    40ms", "[↑]B"}));
    EXPECT_EQ(controls_.stepList()->GetCurSel(), 6) << "the newest line is selected";

    translator_->OnRecordButton();
    EXPECT_EQ(g_recording, 0);
    EXPECT_FALSE(grab_->Held());
    const MacroRecord& r = Macro(0);
    EXPECT_EQ(MacroName(r), QStringLiteral("one"));
    EXPECT_EQ(r.repeatCount, 1) << "plays as often as the repeat box shows";
    EXPECT_EQ(Codes(r), (std::vector<int>{4, 4, 5, 5}));
    EXPECT_EQ(Steps(r, r.stepType.data()), (std::vector<int>{1, 2, 1, 2}));
    EXPECT_EQ((std::vector<int>{r.stepDelay[0], r.stepDelay[1], r.stepDelay[2], r.stepDelay[3]}),
              (std::vector<int>{100, 250, 40, 20}));
    EXPECT_EQ(r.stepCode[4], 0) << "nothing past the last step";

    // A locked selection neither starts nor stops a recording.
    g_macroSet[1] = 1;
    SelectMacro(1);
    translator_->OnRecordButton();
    EXPECT_EQ(g_recording, 0);
}

TEST_F(RecordingTest, AHeldKeyIsRecordedOnceAndModifiersKeepTheirSide) {
    StartRecording(1);
    Press(KeyShiftR);
    Press(Letter('a'));
    for (int i = 0; i < 5; ++i) {
        // The toolkit reports a held key's repeats as release and press pairs.
        Send(QEvent::KeyRelease, Letter('a'), true);
        Press(Letter('a'), true);
    }
    Release(Letter('a'));
    Release(KeyShiftR);
    translator_->OnRecordButton();
    EXPECT_EQ(Codes(Macro(1)), (std::vector<int>{0xE5, 4, 4, 0xE5})) << "right shift, not left";
}

TEST_F(RecordingTest, EscAndEnterAreRecordedAndNeitherActsOnTheWindow) {
    StartRecording(0);
    Tap(KeyEsc);
    Tap(KeyEnter);
    translator_->OnRecordButton();
    EXPECT_TRUE(host_->isVisible());
    EXPECT_EQ(host_->defaultPressed, 0);
    EXPECT_EQ(Codes(Macro(0)), (std::vector<int>{0x29, 0x29, 0x28, 0x28}));

    // Outside a recording Esc, Enter and F10 do nothing either; other keys reach the widgets,
    // 'y' (whose character code is F10's key code) among them.
    Tap(KeyEsc);
    Tap(KeyEnter);
    EXPECT_TRUE(host_->isVisible());
    EXPECT_EQ(host_->defaultPressed, 0);
    QKeyEvent f10(QEvent::KeyPress, KeyF10.qt, Qt::NoModifier, KeyF10.keycode, KeyF10.keysym, 0);
    EXPECT_TRUE(translator_->PreTranslateMessage(controls_.stepList(), &f10));
    controls_.editMacroName()->setFocus();
    controls_.editMacroName()->clear();
    QTest::keyClicks(controls_.editMacroName(), QStringLiteral("yz"));
    EXPECT_EQ(controls_.editMacroName()->text(), QStringLiteral("yz"));
}

TEST_F(RecordingTest, The56thPressIsRefusedAndAfter110StepsEveryKeyIs) {
    StartRecording(0);
    const std::string_view held = "cdefghij";  // eight keys held, so a ninth could be
    for (char c : held) {
        Press(Letter(c));
    }
    for (int i = 0; i < 47; ++i) {
        Tap(Letter(i % 2 == 0 ? 'a' : 'b'));
    }
    ASSERT_EQ(g_keyDownSteps, 55);
    ASSERT_EQ(StepLines().size(), 2 * 102 - 1);
    Tap(Letter('z'));  // press 56, and its release finds no press
    EXPECT_EQ(StepLines().size(), 2 * 102 - 1);
    for (char c : held) {
        Release(Letter(c));
    }
    EXPECT_EQ(StepLines().size(), 2 * 110 - 1);
    Tap(Letter('j'));  // past 110 steps
    EXPECT_EQ(StepLines().size(), 2 * 110 - 1);
    translator_->OnRecordButton();
    EXPECT_EQ(Macro(0).stepCount, 110);
    EXPECT_EQ(Macro(0).stepCode[109], 0x0D) << "the last held key's release (J)";
    EXPECT_EQ(Macro(0).stepCode[110], 0);
}

TEST_F(RecordingTest, ATenthHeldKeyAndAKeyHeldBeforeTheStartGiveNoSteps) {
    controls_.editMacroName()->setFocus();
    Press(Letter('z'));
    StartRecording(0);
    const std::string_view keys = "abcdefghij";
    for (char c : keys) {
        Press(Letter(c));
    }
    EXPECT_EQ(g_recHeldCount, 9);
    for (char c : keys) {
        Release(Letter(c));
    }
    Release(Letter('z'));
    translator_->OnRecordButton();
    const MacroRecord& r = Macro(0);
    ASSERT_EQ(r.stepCount, 18);
    EXPECT_EQ(g_recHeldCount, 0);
    const std::vector<int> codes = Codes(r);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x0D), 0) << "J is in no step";
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x1D), 0) << "nor Z";
}

// ---- right clicks on the advanced page --------------------------------------------------------

TEST_F(RecordingTest, RightClickOnAStepOpensTheStepMenuAndTheCommandActsOnTheNewState) {
    SelectMacro(0);  // three steps: five lines
    OnNextMenu(32838);
    RightClick(controls_.stepList()->viewport(), StepLinePos(2));
    EXPECT_EQ(menuItems_,
              (QStringList{QStringLiteral("Add Forward"), QStringLiteral("Add Backward"),
                           QStringLiteral("Modify Delay"), QStringLiteral("Delete Item")}));
    EXPECT_EQ(host_->commands, std::vector<unsigned>{32838});
    EXPECT_EQ(controls_.stepList()->GetCurSel(), 2);
    EXPECT_EQ(g_stepListSel, 2);
    EXPECT_EQ(g_cmdStep, 1);
    EXPECT_EQ(g_cmdMacro, 0);

    // Below the last line: no menu, and the selection goes with the missing line.
    OnNextMenu(0);
    const QRect last = controls_.stepList()->visualItemRect(controls_.stepList()->item(4));
    RightClick(controls_.stepList()->viewport(), QPoint(last.center().x(), last.bottom() + 30));
    EXPECT_TRUE(menuItems_.isEmpty());
    EXPECT_EQ(controls_.stepList()->GetCurSel(), -1);
    EXPECT_EQ(g_cmdStep, 0);

    // Elsewhere on the page at the height of line 1: no menu, but line 1 is selected.
    const QPoint line1 = controls_.stepList()->viewport()->mapTo(host_.get(), StepLinePos(1));
    RightClick(host_.get(), QPoint(300, line1.y()));
    EXPECT_TRUE(menuItems_.isEmpty());
    EXPECT_EQ(controls_.stepList()->GetCurSel(), 1);
    EXPECT_EQ(g_cmdStep, 0);
    EXPECT_EQ(g_stepListSel, 1);
    EXPECT_EQ(host_->commands.size(), 1u);
}

TEST_F(RecordingTest, RightClickOnAnEmptyStepListOpensTheMenuALockedMacrosDoesNot) {
    SelectMacro(1);
    OnNextMenu(0);
    RightClick(controls_.stepList()->viewport(), QPoint(20, 20));
    EXPECT_EQ(menuItems_.size(), 4);

    g_macroSet[1] = 1;
    g_cmdStep = 77;
    OnNextMenu(0);
    RightClick(controls_.stepList()->viewport(), QPoint(20, 20));
    EXPECT_TRUE(menuItems_.isEmpty());
    EXPECT_EQ(g_cmdStep, 77) << "the command state stays as it was";
}

TEST_F(RecordingTest, RightClickOnANameShowsThatMacroAndTheImportExportMenu) {
    SelectMacro(1);
    OnNextMenu(32861);
    CListBoxWidget& names = *controls_.macroList();
    RightClick(names.viewport(), names.visualItemRect(names.item(0)).center());
    EXPECT_EQ(menuItems_, (QStringList{QStringLiteral("导入宏"), QStringLiteral("导出宏")}));
    EXPECT_EQ(names.GetCurSel(), 0);
    EXPECT_EQ(g_curMacro, 0);
    EXPECT_EQ(StepLines().size(), 5) << "macro 0 is shown";
    EXPECT_EQ(host_->commands, std::vector<unsigned>{32861});
}

TEST_F(RecordingTest, RightClicksNeverSelectALineOnTheirOwn) {
    SelectMacro(0);
    int changes = 0;
    QObject::connect(controls_.macroList(), &CListBoxWidget::SelChange, [&] { ++changes; });
    CListBoxWidget& names = *controls_.macroList();
    g_page = PageMain;  // no right-click branch: only the lists themselves act
    RightClick(names.viewport(), names.visualItemRect(names.item(1)).center());
    QTest::mouseDClick(names.viewport(), Qt::RightButton, Qt::NoModifier,
                       names.visualItemRect(names.item(1)).center());
    EXPECT_EQ(names.GetCurSel(), 0);
    EXPECT_EQ(changes, 0);

    g_page = PageAdvanced;
    controls_.stepList()->SetCurSel(0);
    StartRecording(0);
    Tap(Letter('a'));
    OnNextMenu(0);
    RightClick(controls_.stepList()->viewport(), StepLinePos(0));
    EXPECT_TRUE(menuItems_.isEmpty()) << "no menu while recording";
    EXPECT_EQ(controls_.stepList()->GetCurSel(), 2);
}

// ---- the same through the program's window ------------------------------------------------------

TEST(RecordingWindow, TheWindowRecordsOnButton4AndHandsTheNameMenusCommandToItsHandler) {
    testing_support::TestApplication();
    testing_support::ProgramInProcess program;
    ASSERT_TRUE(program.folder.ok());
    CKVE_ZelboDlg dlg;
    dlg.OnInitDialog();
    ASSERT_FALSE(dlg.IsEnding());
    MacroControls& controls = *dlg.macroControls();
    controls.CreateMacroControls(&dlg, Rects, QStringLiteral("0"));
    controls.RefillMacroList();
    g_page = PageAdvanced;
    dlg.show();
    ASSERT_GE(g_macroCount, 2);
    controls.macroList()->SetCurSel(1);
    controls.ShowSelectedMacro();

    dlg.OnMacroButton(4);  // the record button
    ASSERT_EQ(g_recording, 1);
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, KeyEsc.qt, Qt::NoModifier, KeyEsc.keycode, KeyEsc.keysym, 0);
        QApplication::sendEvent(dlg.focusWidget(), &event);
    }
    dlg.OnMacroButton(4);
    EXPECT_EQ(g_recording, 0);
    EXPECT_EQ(Codes(g_macros[1]), (std::vector<int>{0x29, 0x29}));

    // The export chosen from the name list's menu reaches the window's export command.
    const QString exported = program.folder.Path(QStringLiteral("exported.dat"));
    program.dialogs.QueueFileName(exported);
    QTimer::singleShot(0, &dlg, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        menu->setActiveAction(menu->actions().at(1));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    CListBoxWidget& names = *controls.macroList();
    QTest::mouseClick(names.viewport(), Qt::RightButton, Qt::NoModifier,
                      names.visualItemRect(names.item(1)).center());
    ProcessEventsFor(20);
    EXPECT_TRUE(QFile::exists(exported));

    // A window minimised or hidden during a recording ends it.
    dlg.OnMacroButton(4);
    ASSERT_EQ(g_recording, 1);
    ui::SendWindowMessage(&dlg, ui::WM_SYSCOMMAND, 0xF020);  // SC_MINIMIZE
    EXPECT_EQ(g_recording, 0);
    dlg.OnTrayShow();
    dlg.OnMacroButton(4);
    ASSERT_EQ(g_recording, 1);
    dlg.OnClose();
    EXPECT_EQ(g_recording, 0);

    // So does reading another macro list: the keys must not go on into the slot it fills.
    dlg.OnTrayShow();
    dlg.OnMacroButton(4);
    ASSERT_EQ(g_recording, 1);
    dlg.OnLangEnglish();
    EXPECT_EQ(g_recording, 0);
    controls.DestroyMacroControls();
    g_page = PageMain;
}

}  // namespace
