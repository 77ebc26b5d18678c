#include "ui/controls/macro_controls.h"

#include "platform/message_service.h"
#include "ui/controls/editable_list_box.h"
#include "ui/controls/list_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <memory>

namespace {

void EnsureApp() {
    if (QApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "tests_ui";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
}

QString FakeKeyName(std::uint8_t code) {
    return QStringLiteral("K%1").arg(code);
}

const MacroControlRects Rects{QRect(10, 10, 40, 20),   QRect(60, 10, 40, 20),
                              QRect(110, 10, 40, 20),  QRect(160, 10, 80, 20),
                              QRect(10, 40, 100, 150), QRect(120, 40, 150, 150)};

void AddStep(MacroRecord& r, std::uint8_t code, std::uint8_t type, std::uint16_t delay,
             std::uint16_t x = 0, std::uint16_t y = 0) {
    const int s = r.stepCount++;
    r.stepCode[s] = code;
    r.stepType[s] = type;
    r.stepDelay[s] = delay;
    r.stepParam[s] = {x, y};
}

class MacroControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApp();
        g_macros.fill(MacroRecord{});
        g_macroSet.fill(0);
        g_macroCount = 0;
        g_curMacro = 0;
        g_recording = 0;
        g_stepListSel = 0;
        g_keyDownSteps = 0;
        g_keyUpSteps = 0;
        previous = platform::SetMessageService(&messages);
        page = std::make_unique<QWidget>();
        page->resize(300, 200);
        controls.CreateMacroControls(page.get(), Rects, "35");
    }
    void TearDown() override {
        controls.DestroyMacroControls();
        page.reset();
        platform::SetMessageService(previous);
    }

    QStringList StepLines() const {
        QStringList lines;
        for (int i = 0; i < controls.stepList()->GetCount(); ++i) {
            lines << controls.stepList()->GetText(i);
        }
        return lines;
    }
    QStringList NameLines() const {
        QStringList lines;
        for (int i = 0; i < controls.macroList()->GetCount(); ++i) {
            lines << controls.macroList()->GetText(i);
        }
        return lines;
    }
    void AddMacro(const QString& name) {
        SetMacroName(g_macros[g_macroCount], name);
        AddStep(g_macros[g_macroCount], 4, 1, 10);
        ++g_macroCount;
    }

    platform::RecordingMessageService messages;
    platform::MessageService* previous = nullptr;
    std::unique_ptr<QWidget> page;
    MacroControls controls{FakeKeyName};
};

// ---- the controls ---------------------------------------------------------------------------

TEST_F(MacroControlsTest, SixControlsWithTheirIdsRectanglesAndOrder) {
    QList<QWidget*> children = page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(children.size(), 6);
    const QList<QWidget*> expected = {controls.editRepeat(),   controls.editTrack(),
                                      controls.editFireTime(), controls.editMacroName(),
                                      controls.macroList(),    controls.stepList()};
    EXPECT_EQ(children, expected);
    EXPECT_EQ(ControlId(controls.editRepeat()), 10004);
    EXPECT_EQ(ControlId(controls.editTrack()), 10005);
    EXPECT_EQ(ControlId(controls.editFireTime()), 10005);
    EXPECT_EQ(ControlId(controls.editMacroName()), 10000);
    EXPECT_EQ(ControlId(controls.macroList()), 10001);
    EXPECT_EQ(ControlId(controls.stepList()), 10002);
    EXPECT_EQ(controls.editRepeat()->geometry(), Rects.editRepeat);
    EXPECT_EQ(controls.editTrack()->geometry(), Rects.editTrack);
    EXPECT_EQ(controls.editFireTime()->geometry(), Rects.editFireTime);
    EXPECT_EQ(controls.editMacroName()->geometry(), Rects.editMacroName);
    EXPECT_EQ(controls.macroList()->geometry(), Rects.macroList);
    EXPECT_EQ(controls.stepList()->geometry(), Rects.stepList);
    EXPECT_EQ(controls.editFireTime()->text(), QString("35"));
    EXPECT_EQ(controls.editRepeat()->text(), QString());
    EXPECT_EQ(controls.editRepeat()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(controls.macroList()->listStyle() & (LBS_NOTIFY | LBS_SORT), LBS_NOTIFY);
    EXPECT_EQ(controls.stepList()->listStyle() & (LBS_NOTIFY | LBS_SORT), LBS_NOTIFY);
}

// ---- the step list --------------------------------------------------------------------------

TEST_F(MacroControlsTest, ThreeStepsShowFiveLinesWithoutTheLastDelay) {
    MacroRecord& r = g_macros[0];
    AddStep(r, 4, 1, 15);
    AddStep(r, 0xF6, 6, 254, 0, 12);
    AddStep(r, 4, 2, 999);
    r.repeatCount = 7;
    controls.ShowMacroSteps(0);
    EXPECT_EQ(StepLines(), QStringList({QString::fromUtf8("[↓]K4"), "    15ms", "[X+]:0,[Y+]:12",
                                        "    254ms", QString::fromUtf8("[↑]K4")}));
    EXPECT_EQ(g_keyDownSteps, 1);
    EXPECT_EQ(g_keyUpSteps, 1);
    EXPECT_EQ(controls.editRepeat()->text(), QString("7"));
    EXPECT_TRUE(controls.editRepeat()->isEnabled());
    EXPECT_EQ(controls.stepList()->GetCurSel(), 0);
}

TEST_F(MacroControlsTest, EveryStepKindKeepsLineTwoKForStepK) {
    MacroRecord& r = g_macros[1];
    AddStep(r, 0xF7, 7, 1, 2);
    AddStep(r, 0xFA, 0x0D, 2, 0xCD);  // a media step of a type no file should hold
    AddStep(r, 0xF8, 9, 3, 8);
    AddStep(r, 0xF9, 0x0E, 4, 0);
    AddStep(r, 0xFB, 0x10, 5, 1);
    AddStep(r, 0, 0, 6);
    controls.ShowMacroSteps(1);
    const QStringList lines = StepLines();
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines[0], QString("[WHEEL+]:2"));
    EXPECT_EQ(lines[2], QString("[Media]:error"));
    EXPECT_EQ(lines[3], QString("    2ms"));
    EXPECT_EQ(lines[4], QString("[DPI]:1600 "));
    EXPECT_EQ(lines[6], QString("[LED1]:LED-0 Data"));
    EXPECT_EQ(lines[8], QString("[GPIO0]:Func1"));
    EXPECT_EQ(lines[9], QString("    5ms"));
    EXPECT_EQ(lines[10], QString("[Delay]"));
    EXPECT_EQ(messages.Messages(), QStringList({QString::fromUtf8("[Media]状态错误!")}));
    EXPECT_EQ(g_keyDownSteps, 0);
}

TEST_F(MacroControlsTest, RepeatBoxFollowsThePlaybackMode) {
    AddStep(g_macros[0], 4, 1, 5);
    g_macros[0].repeatCount = 300;
    g_macros[0].mode = 0x06;  // mode 2 with a file flag
    controls.ShowMacroSteps(0);
    EXPECT_EQ(controls.editRepeat()->text(), QString("1"));
    EXPECT_FALSE(controls.editRepeat()->isEnabled());
    g_macros[0].mode = 0x04;  // mode 0 with the flag
    controls.ShowMacroSteps(0);
    EXPECT_EQ(controls.editRepeat()->text(), QString("300"));
    EXPECT_TRUE(controls.editRepeat()->isEnabled());
}

TEST_F(MacroControlsTest, EmptyMacroEmptiesTheListAndLeavesTheRepeatBox) {
    AddStep(g_macros[0], 4, 1, 5);
    AddStep(g_macros[0], 4, 2, 5);
    g_macros[0].mode = 1;
    controls.ShowMacroSteps(0);
    g_keyDownSteps = 9;
    controls.ShowMacroSteps(2);
    EXPECT_TRUE(StepLines().isEmpty());
    EXPECT_EQ(controls.editRepeat()->text(), QString("1"));
    EXPECT_FALSE(controls.editRepeat()->isEnabled());
    EXPECT_EQ(g_keyDownSteps, 0);
}

TEST_F(MacroControlsTest, RefillSelectsTheRememberedLineOrNothingBeyondTheList) {
    for (int i = 0; i < 3; ++i) {
        AddStep(g_macros[0], 4, 1, 5);
    }
    g_stepListSel = 3;
    controls.ShowMacroSteps(0);
    EXPECT_EQ(controls.stepList()->GetCurSel(), 3);
    g_stepListSel = 5;
    controls.ShowMacroSteps(0);
    EXPECT_EQ(controls.stepList()->GetCurSel(), -1);
}

TEST_F(MacroControlsTest, WhileRecordingEachAddedStepSelectsTheNewestLine) {
    MacroRecord& r = g_macros[0];
    AddStep(r, 4, 1, 20);
    g_recording = 1;
    g_stepListSel = 0;
    controls.AddMacroStepLine(g_macros, 0, 0);
    AddStep(r, 4, 2, 20);
    controls.AddMacroStepLine(g_macros, 0, 1);
    EXPECT_EQ(StepLines().size(), 3);
    EXPECT_EQ(controls.stepList()->GetCurSel(), 2);
    EXPECT_EQ(g_keyDownSteps, 1);
    EXPECT_EQ(g_keyUpSteps, 1);
}

TEST_F(MacroControlsTest, PressesCountWhileThePageIsAway) {
    // A recording goes on when the page is left; its press limit must still see the presses.
    AddStep(g_macros[0], 4, 1, 20);
    controls.DestroyMacroControls();
    g_recording = 1;
    controls.AddMacroStepLine(g_macros, 0, 0);
    EXPECT_EQ(g_keyDownSteps, 1);
}

// ---- the name list --------------------------------------------------------------------------

TEST_F(MacroControlsTest, RefillClampsTheSelectionToTheListAndShowsThatMacro) {
    AddMacro("one");
    AddMacro("two");
    AddMacro("three");
    AddStep(g_macros[2], 0xF7, 7, 5, 9);
    g_curMacro = 7;
    controls.RefillMacroList();
    EXPECT_EQ(NameLines(), QStringList({"one", "two", "three"}));
    EXPECT_EQ(g_curMacro, 2);
    EXPECT_EQ(controls.macroList()->GetCurSel(), 2);
    EXPECT_EQ(controls.editMacroName()->text(), QString("three"));
    EXPECT_EQ(StepLines().back(), QString("[WHEEL+]:9"));
}

TEST_F(MacroControlsTest, RefillWithNoSelectionLeftSelectsNothing) {
    AddMacro("one");
    AddMacro("two");
    g_curMacro = -1;
    controls.RefillMacroList();
    EXPECT_EQ(NameLines(), QStringList({"one", "two"}));
    EXPECT_EQ(g_curMacro, -1);
    EXPECT_EQ(controls.macroList()->GetCurSel(), -1);
    EXPECT_EQ(controls.editMacroName()->text(), QString());
    EXPECT_TRUE(StepLines().isEmpty());
}

TEST_F(MacroControlsTest, NegativeCountTakesTheEmptyListBranch) {
    AddMacro("one");
    controls.RefillMacroList();
    g_macroCount = -1;
    g_curMacro = 0;
    controls.RefillMacroList();
    EXPECT_TRUE(NameLines().isEmpty());
    EXPECT_TRUE(StepLines().isEmpty());
    EXPECT_EQ(controls.editMacroName()->text(), QString());
    EXPECT_EQ(g_curMacro, 0);
}

TEST_F(MacroControlsTest, RefillOfAnEmptyTableClearsEverythingAndKeepsTheIndex) {
    AddMacro("one");
    controls.RefillMacroList();
    g_macroCount = 0;
    g_curMacro = 4;
    controls.RefillMacroList();
    EXPECT_TRUE(NameLines().isEmpty());
    EXPECT_TRUE(StepLines().isEmpty());
    EXPECT_EQ(controls.editMacroName()->text(), QString());
    EXPECT_EQ(g_curMacro, 4);
}

TEST_F(MacroControlsTest, LockedMacroShowsItsNameAndNoSteps) {
    AddMacro("open");
    AddMacro("locked");
    g_macroSet[1] = 1;
    controls.RefillMacroList();
    ASSERT_FALSE(StepLines().isEmpty());
    controls.macroList()->SetCurSel(1);
    controls.OnMacroListSelChange();
    EXPECT_EQ(g_curMacro, 1);
    EXPECT_EQ(controls.editMacroName()->text(), QString("locked"));
    EXPECT_TRUE(StepLines().isEmpty());
}

TEST_F(MacroControlsTest, ClickingANameShowsThatMacro) {
    AddMacro("one");
    AddMacro("two");
    AddStep(g_macros[1], 0xF8, 10, 5);
    controls.RefillMacroList();
    page->show();
    const QRect line = controls.macroList()->visualItemRect(controls.macroList()->item(1));
    QTest::mouseClick(controls.macroList()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      line.center());
    EXPECT_EQ(g_curMacro, 1);
    EXPECT_EQ(controls.editMacroName()->text(), QString("two"));
    EXPECT_EQ(StepLines().back(), QString::fromUtf8("[DPI]:返回执行前的值"));
}

TEST_F(MacroControlsTest, NoSelectionInTheNameListShowsNoSteps) {
    AddMacro("one");
    controls.RefillMacroList();
    controls.macroList()->SetCurSel(-1);
    controls.ShowSelectedMacro();
    EXPECT_EQ(g_curMacro, -1);
    EXPECT_EQ(controls.editMacroName()->text(), QString());
    EXPECT_TRUE(StepLines().isEmpty());
}

TEST_F(MacroControlsTest, DamagedCountsShowNoMoreThanTheTablesHold) {
    g_macros[0].stepCount = 400;
    controls.ShowMacroSteps(0);
    EXPECT_EQ(StepLines().size(), 2 * 180 - 1);
    g_macroCount = 40;
    controls.RefillMacroList();
    EXPECT_EQ(NameLines().size(), 12);
    controls.ShowMacroSteps(13);
    controls.ShowMacroSteps(-1);
    EXPECT_TRUE(StepLines().isEmpty());
}

}  // namespace
