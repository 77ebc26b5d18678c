// The macro editor's handlers as the window receives them: menu commands, the step list's
// double click and the in-place editor's end reports, on a window started on a program folder.
#include "app/main_dialog.h"

#include <gtest/gtest.h>

#include <QTest>
#include <array>
#include <cstring>

#include "macro/macro_record.h"
#include "support/program_in_process.h"
#include "support/qt_app.h"
#include "ui/controls/editable_list_box.h"
#include "ui/controls/macro_controls.h"
#include "ui/shell/window_message.h"

namespace {

constexpr unsigned WM_COMMAND = 0x0111;

class MacroWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(program_.folder.ok());
        dlg_ = std::make_unique<CKVE_ZelboDlg>();
        dlg_->OnInitDialog();
        ASSERT_FALSE(dlg_->IsEnding());
        // The advanced page's controls over the window, as entering the page makes them.
        controls().CreateMacroControls(dlg_.get(), Rects, QStringLiteral("0"));
        std::memset(g_macros.data(), 0, sizeof(g_macros));
        g_macroSet.fill(0);
        g_recording = 0;
        dlg_->show();
        dlg_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg_.get()));
        program_.messages.Clear();
    }

    MacroControls& controls() { return *dlg_->macroControls(); }
    CEditableListBox& steps() { return *controls().stepList(); }
    QStringList StepLines() {
        QStringList lines;
        for (int i = 0; i < steps().GetCount(); ++i) {
            lines << steps().GetText(i);
        }
        return lines;
    }
    // One macro of a key press and release, 5 ms apart, shown and selected.
    void ShowKeyMacro() {
        SetMacroName(g_macros[0], QStringLiteral("keys"));
        g_macros[0].stepCount = 2;
        g_macros[0].stepCode = {4, 4};
        g_macros[0].stepType = {1, 2};
        g_macros[0].stepDelay = {5, 20};
        g_macroCount = 1;
        g_curMacro = 0;
        controls().RefillMacroList();
    }
    // The command state a right click on line leaves behind.
    static void RightClickedOn(int line) {
        g_cmdMacro = 0;
        g_stepListSel = g_stepListCurSel = line;
        g_cmdStep = line / 2;
        g_hitListCount = 3;
    }
    void Command(unsigned id) { ui::SendWindowMessage(dlg_.get(), WM_COMMAND, id, 0); }
    void EditSelectedLineTo(const QString& text) {
        ASSERT_TRUE(steps().editBox().isVisible());
        steps().editBox().setText(text);
        QTest::keyClick(&steps().editBox(), Qt::Key_Return);
    }

    const MacroControlRects Rects{QRect(10, 10, 40, 20),   QRect(60, 10, 40, 20),
                                  QRect(110, 10, 40, 20),  QRect(160, 10, 80, 20),
                                  QRect(10, 40, 100, 150), QRect(120, 40, 200, 300)};
    QApplication& app_ = testing_support::TestApplication();
    testing_support::ProgramInProcess program_;
    std::unique_ptr<CKVE_ZelboDlg> dlg_;
};

TEST_F(MacroWindowTest, StepMenuCommandsOfBothLanguagesEditAndRedraw) {
    ShowKeyMacro();
    RightClickedOn(0);
    Command(32809);  // Chinese: left button down after the step
    RightClickedOn(2);
    Command(32836);  // English: middle button up after the step
    ASSERT_EQ(g_macros[0].stepCount, 4);
    EXPECT_EQ((std::array<int, 3>{g_macros[0].stepCode[1], g_macros[0].stepCode[2],
                                  g_macros[0].stepType[2]}),
              (std::array<int, 3>{0xF1, 0xF2, 2}));
    EXPECT_EQ(StepLines().size(), 7);
    EXPECT_EQ(steps().GetCurSel(), 4) << "the redraw selects the new step";
    RightClickedOn(2);
    Command(32838);  // English: delete
    EXPECT_EQ(g_macros[0].stepCount, 3);
    EXPECT_EQ(StepLines().size(), 5);
    // The Chinese menu's own import and export items do nothing.
    EXPECT_FALSE(dlg_->OnCommand(32857));
    EXPECT_FALSE(dlg_->OnCommand(32859));
    EXPECT_EQ(g_macros[0].stepCount, 3);
}

TEST_F(MacroWindowTest, DoubleClickedDelayIsSplitAndTheSecondEndReportChangesNothing) {
    ShowKeyMacro();
    const QRect delayLine = steps().visualItemRect(steps().item(1));
    QTest::mouseDClick(steps().viewport(), Qt::LeftButton, Qt::NoModifier, delayLine.center());
    EXPECT_TRUE(steps().hasFocus() || steps().editBox().hasFocus());
    EditSelectedLineTo(QStringLiteral("    508ms"));
    // 254 ms on the step, then two delay steps of 254 and 0 ms before the release. A second
    // application of the edited text would have split it again.
    const MacroRecord& r = g_macros[0];
    ASSERT_EQ(r.stepCount, 4);
    EXPECT_EQ((std::array<int, 8>{r.stepCode[0], r.stepDelay[0], r.stepCode[1], r.stepDelay[1],
                                  r.stepCode[2], r.stepDelay[2], r.stepCode[3], r.stepDelay[3]}),
              (std::array<int, 8>{4, 254, 0, 254, 0, 0, 4, 20}));
    EXPECT_EQ(StepLines().mid(1, 5),
              QStringList({"    254ms", "[Delay]", "    254ms", "[Delay]", "    0ms"}));
    EXPECT_FALSE(steps().editBox().isVisible());
    EXPECT_TRUE(program_.messages.Messages().isEmpty());
}

// A macro long enough to scroll: the redraw after the edit re-lays the list while the edit box
// is still going. The edit must end once and the split message show once.
TEST_F(MacroWindowTest, EditingADelayOfALongMacroEndsOnceAndSplitsWithinTheLimit) {
    ShowKeyMacro();
    MacroRecord& r = g_macros[0];
    r.stepCount = 30;
    for (int k = 0; k < 30; ++k) {
        r.stepCode[k] = static_cast<std::uint8_t>(4 + k / 2);
        r.stepType[k] = static_cast<std::uint8_t>(1 + k % 2);
        r.stepDelay[k] = 5;
    }
    controls().ShowMacroSteps(0);
    steps().scrollToTop();
    const QRect delayLine = steps().visualItemRect(steps().item(1));
    QTest::mouseDClick(steps().viewport(), Qt::LeftButton, Qt::NoModifier, delayLine.center());
    EditSelectedLineTo(QStringLiteral("100"));
    EXPECT_EQ(r.stepDelay[0], 100);
    EXPECT_EQ(r.stepCount, 30);
    EXPECT_EQ(StepLines().size(), 59);

    r.stepCount = 179;  // room for one more step: the split of 508 ms needs two
    controls().ShowMacroSteps(0);
    steps().scrollToTop();
    QTest::mouseDClick(steps().viewport(), Qt::LeftButton, Qt::NoModifier, delayLine.center());
    EditSelectedLineTo(QStringLiteral("508"));
    EXPECT_EQ(r.stepCount, 180);
    EXPECT_EQ((std::array<int, 3>{r.stepDelay[0], r.stepCode[1], r.stepDelay[1]}),
              (std::array<int, 3>{254, 0, 254}));
    EXPECT_EQ(program_.messages.Messages(), QStringList({QStringLiteral("宏太长,越界!")}));
    EXPECT_FALSE(steps().editBox().isVisible());
}

TEST_F(MacroWindowTest, TrackValueEditTakesXAndYOnceWithinLimits) {
    ShowKeyMacro();
    g_macros[0].stepCode[1] = 0xF6;
    g_macros[0].stepType[1] = 6;
    g_macros[0].stepParam[1] = {0, 3};
    g_macros[0].xyCount = 1;
    g_stepListSel = 2;
    controls().ShowMacroSteps(0);
    ASSERT_EQ(steps().GetText(2), QStringLiteral("[X+]:0,[Y+]:3"));
    RightClickedOn(2);
    Command(32856);  // modify the track value
    EditSelectedLineTo(QStringLiteral("[X+]:40000,[Y+]:7"));
    EXPECT_EQ(g_macros[0].stepParam[1].x, 32767);
    EXPECT_EQ(g_macros[0].stepParam[1].y, 7);
    EXPECT_EQ(steps().GetText(2), QStringLiteral("[X+]:32767,[Y+]:7"));
    EXPECT_EQ(program_.messages.Messages(), QStringList({QStringLiteral("[X]数值越界!")}));
}

}  // namespace
