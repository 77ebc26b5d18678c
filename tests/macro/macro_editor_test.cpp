#include "macro/macro_editor.h"

#include "macro_fixture.h"

namespace {

const QString TooLong = QStringLiteral("宏太长,越界!");

class StepEditorTest : public MacroTablesTest {
protected:
    MacroRecord& Macro(int i = 0) { return g_macros[i]; }

    // A macro of n key steps (usage 4 + i), each with a delay of 10 ms.
    void FillKeys(int n, int macro = 0) {
        for (int i = 0; i < n; ++i) {
            AddStep(g_macros[macro], static_cast<std::uint8_t>(4 + i % 20), StepTypePress, 0, 0,
                    10);
        }
    }

    // The right-click state on line `line` of macro `macro`.
    void Select(int line, int macro = 0) {
        g_cmdMacro = macro;
        g_stepListSel = g_stepListCurSel = line;
        g_cmdStep = line / 2;
        g_hitListCount = 2 * g_macros[macro].stepCount - 1;
    }

    static int Lines(const MacroRecord& r) { return r.stepCount == 0 ? 0 : 2 * r.stepCount - 1; }
};

// ---- inserts ---------------------------------------------------------------------------------

TEST_F(StepEditorTest, InsertAfterPutsStepBehindSelectionAndSelectsIt) {
    FillKeys(3);
    Select(2);  // step 1
    const StepCommandOutcome out = OnAddBackwardRightDown(Lines(Macro()), QString());
    ASSERT_EQ(Macro().stepCount, 4);
    EXPECT_EQ(Macro().stepCode[2], 0xF3);
    EXPECT_EQ(Macro().stepType[2], 1);
    EXPECT_EQ(Macro().stepDelay[2], 5);
    EXPECT_EQ(Macro().stepCode[3], 6);  // the former step 2 moved down
    EXPECT_EQ(Macro().stepDelay[3], 10);
    EXPECT_EQ(g_stepListSel, 4);
    EXPECT_TRUE(out.redraw);
    EXPECT_EQ(out.redrawMacro, 0);
    EXPECT_FALSE(out.trackBoxRewritten);
}

TEST_F(StepEditorTest, InsertBeforePutsStepAtSelectionAndSelectsMovedStep) {
    FillKeys(2);
    AddStep(Macro(), StepCodeXyMove, StepTypeXPlusYPlus, 7, 9);
    Select(4);  // the X/Y step
    OnAddForwardMidUp(Lines(Macro()), QString());
    ASSERT_EQ(Macro().stepCount, 4);
    EXPECT_EQ(Macro().stepCode[2], 0xF2);
    EXPECT_EQ(Macro().stepType[2], 2);
    // A button step keeps the values the shifted entry held.
    EXPECT_EQ(Macro().stepParam[2].x, 7);
    EXPECT_EQ(Macro().stepParam[2].y, 9);
    EXPECT_EQ(Macro().stepCode[3], 0xF6);
    EXPECT_EQ(g_stepListSel, 6);
    EXPECT_EQ(Macro().xyCount, 1);
}

TEST_F(StepEditorTest, InsertsIntoEmptyListGoToPositionZero) {
    g_cmdMacro = 0;
    g_stepListSel = -1;
    g_cmdStep = 0;  // no selection: -1 / 2
    OnAddBackwardLeftDown(0, QString());
    ASSERT_EQ(Macro().stepCount, 1);
    EXPECT_EQ(Macro().stepCode[0], 0xF1);
    EXPECT_EQ(g_stepListSel, 0);

    OnAddForwardLeftUp(1, QString());  // before step 0
    ASSERT_EQ(Macro().stepCount, 2);
    EXPECT_EQ(Macro().stepCode[0], 0xF1);
    EXPECT_EQ(Macro().stepType[0], 2);
    EXPECT_EQ(Macro().stepType[1], 1);
}

TEST_F(StepEditorTest, InsertDelayAddsDelayStep) {
    FillKeys(1);
    Select(0);
    OnInsertDelay(Lines(Macro()), QString());
    ASSERT_EQ(Macro().stepCount, 2);
    EXPECT_EQ(Macro().stepCode[1], 0);
    EXPECT_EQ(Macro().stepType[1], 0);
    EXPECT_EQ(Macro().stepDelay[1], 5);
}

TEST_F(StepEditorTest, MacroOf180StepsRefusesInsertAndKeepsSelection) {
    FillKeys(179);
    Select(4);
    OnAddBackwardLeftDown(Lines(Macro()), QString());
    EXPECT_EQ(Macro().stepCount, 180);
    EXPECT_TRUE(Messages().isEmpty());
    const MacroRecord before = Macro();
    const int sel = g_stepListSel;
    const StepCommandOutcome out = OnAddBackwardLeftDown(Lines(Macro()), QString());
    EXPECT_EQ(Messages(), QStringList{TooLong});
    EXPECT_EQ(std::memcmp(&before, &Macro(), sizeof before), 0);
    EXPECT_EQ(g_stepListSel, sel);
    EXPECT_TRUE(out.redraw);
}

TEST_F(StepEditorTest, XyInsertTakesTrackValueLimitedToOneToThirty) {
    struct Case {
        const char16_t* box;
        int value;
        const char16_t* shown;
    };
    const Case cases[] = {{u"45", 30, u"30"}, {u"0", 1, u"1"},      {u"-4", 1, u"1"},
                          {u"abc", 1, u"1"},  {u" 12x", 12, u"12"}, {u"30", 30, u"30"}};
    for (const Case& c : cases) {
        SetUp();
        g_cmdMacro = 0;
        const StepCommandOutcome out = OnInsertXMinusYPlus(0, QString::fromUtf16(c.box));
        ASSERT_EQ(Macro().stepCount, 1);
        EXPECT_EQ(Macro().stepCode[0], 0xF6);
        EXPECT_EQ(Macro().stepType[0], 4);
        EXPECT_EQ(Macro().stepParam[0].x, 0);
        EXPECT_EQ(Macro().stepParam[0].y, c.value) << QString::fromUtf16(c.box).toStdString();
        EXPECT_EQ(Macro().xyCount, 1);
        EXPECT_EQ(g_trackValue, c.value);
        EXPECT_TRUE(out.trackBoxRewritten);
        EXPECT_EQ(out.trackBoxText, QString::fromUtf16(c.shown));
        TearDown();
    }
}

TEST_F(StepEditorTest, FiftyFirstXyMoveIsRefusedAndCountersStayTrue) {
    for (int i = 0; i < 50; ++i) {
        AddStep(Macro(), StepCodeXyMove, StepTypeXPlusYPlus, 0, 2);
    }
    Select(98);
    const MacroRecord before = Macro();
    const int sel = g_stepListSel;
    OnInsertXPlusYPlus(Lines(Macro()), QStringLiteral("5"));
    EXPECT_EQ(Messages(), QStringList{QStringLiteral("宏内插入的XY数量出错,(>50)越界!")});
    EXPECT_EQ(std::memcmp(&before, &Macro(), sizeof before), 0);
    EXPECT_EQ(g_stepListSel, sel);
    // A button step still fits.
    OnAddBackwardLeftDown(Lines(Macro()), QString());
    EXPECT_EQ(Macro().stepCount, 51);
    EXPECT_EQ(Macro().xyCount, 50);
}

TEST_F(StepEditorTest, NothingHappensWhileRecordingOrWithoutSelectedMacro) {
    FillKeys(2);
    Select(2);
    g_hitListCount = 3;
    const MacroRecord before = Macro();
    g_recording = 1;
    EXPECT_FALSE(OnAddBackwardLeftDown(3, QString()).redraw);
    EXPECT_FALSE(OnInsertXPlusYPlus(3, QStringLiteral("4")).trackBoxRewritten);
    EXPECT_FALSE(OnDeleteItem().redraw);
    g_stepListSel = 1;
    EXPECT_FALSE(OnModifyDelay().startEdit);
    EXPECT_TRUE(OnStepListDblClk(1, 3).startEdit);  // the double-click does not look
    g_recording = 0;
    g_cmdMacro = -1;
    EXPECT_FALSE(OnAddForwardLeftDown(3, QString()).redraw);
    EXPECT_FALSE(OnDeleteItem().redraw);
    EXPECT_FALSE(OnModifyTrackValue().startEdit);
    EXPECT_FALSE(OnStepEditDone(1, -1, QStringLiteral("    300ms")).redraw);
    EXPECT_EQ(std::memcmp(&before, &Macro(), sizeof before), 0);
    EXPECT_TRUE(Messages().isEmpty());
}

// ---- delete ----------------------------------------------------------------------------------

TEST_F(StepEditorTest, DeleteMovesLaterStepsUpAndZeroesLastEntry) {
    FillKeys(2);
    AddStep(Macro(), StepCodeXyMove, StepTypeXMinusYMinus, 4, 5, 77);
    AddStep(Macro(), StepCodeWheel, StepTypeWheelUp, 2, 0, 9);
    Select(4);  // the X/Y step
    OnDeleteItem();
    ASSERT_EQ(Macro().stepCount, 3);
    EXPECT_EQ(Macro().xyCount, 0);
    EXPECT_EQ(Macro().wheelCount, 1);
    EXPECT_EQ(Macro().stepCode[2], 0xF7);
    EXPECT_EQ(Macro().stepDelay[2], 9);
    EXPECT_EQ(Macro().stepCode[3], 0);
    EXPECT_EQ(Macro().stepType[3], 0);
    EXPECT_EQ(Macro().stepParam[3].x, 0);
    EXPECT_EQ(Macro().stepDelay[3], 0);
    Select(4);
    OnDeleteItem();
    EXPECT_EQ(Macro().wheelCount, 0);
}

TEST_F(StepEditorTest, DeleteLowersDpiAndMediaCounters) {
    AddStep(Macro(), StepCodeDpi, StepTypeDpiSet, 2);
    AddStep(Macro(), StepCodeMedia, StepTypeMediaPress, 0xCD);
    Select(0);
    OnDeleteItem();
    EXPECT_EQ(Macro().dpiCount, 0);
    EXPECT_EQ(Macro().mediaCount, 1);
    Select(0);
    OnDeleteItem();
    EXPECT_EQ(Macro().mediaCount, 0);
    EXPECT_EQ(Macro().stepCount, 0);
}

TEST_F(StepEditorTest, DeleteSecondOfThreeLedStepsRenumbersRecords) {
    MacroRecord& r = Macro();
    for (int i = 0; i < 3; ++i) {
        AddStep(r, StepCodeLed, static_cast<std::uint8_t>(StepTypeLed0 + i),
                static_cast<std::uint16_t>(i));
        AddStep(r, 4, StepTypePress);
        r.led[i].field0 = 0x10u + i;
        r.led[i].data[55] = static_cast<std::uint8_t>(0xA0 + i);
    }
    Select(2 * 2);  // step 2: the second LED step
    OnDeleteItem();
    EXPECT_EQ(r.ledCount, 2);
    EXPECT_EQ(r.stepCount, 5);
    EXPECT_EQ(r.stepParam[0].x, 0);
    EXPECT_EQ(r.stepCode[3], 0xF9);
    EXPECT_EQ(r.stepParam[3].x, 1);
    EXPECT_EQ(r.led[0].field0, 0x10u);
    EXPECT_EQ(r.led[1].field0, 0x12u);
    EXPECT_EQ(r.led[1].data[55], 0xA2);
    const MacroEffectRecord zero{};
    EXPECT_EQ(std::memcmp(&r.led[2], &zero, sizeof zero), 0);
}

TEST_F(StepEditorTest, DeleteFirstGpioStepRenumbersAllLaterOnes) {
    MacroRecord& r = Macro();
    for (int i = 0; i < 3; ++i) {
        AddStep(r, StepCodeGpio, StepTypeGpio0, static_cast<std::uint16_t>(i));
        r.gpio[i].field1 = 100u + i;
    }
    Select(0);
    OnDeleteItem();
    EXPECT_EQ(r.gpioCount, 2);
    EXPECT_EQ(r.stepParam[0].x, 0);
    EXPECT_EQ(r.stepParam[1].x, 1);
    EXPECT_EQ(r.gpio[0].field1, 101u);
    EXPECT_EQ(r.gpio[1].field1, 102u);
    EXPECT_EQ(r.gpio[2].field1, 0u);
}

TEST_F(StepEditorTest, DeleteOfDamagedLedStepsStaysWithinRecords) {
    // Counters and record indexes as only a damaged file would hold them.
    MacroRecord& r = Macro();
    AddStep(r, StepCodeLed, StepTypeLed0, 0);
    AddStep(r, StepCodeLed, StepTypeLed0, 200);
    AddStep(r, StepCodeLed, StepTypeLed0, 0);
    r.ledCount = 0;
    r.led[4].field0 = 44;
    Select(0);
    OnDeleteItem();
    EXPECT_EQ(r.ledCount, 0);  // not wrapped to 255
    EXPECT_EQ(r.stepCount, 2);
    EXPECT_EQ(r.stepParam[0].x, 199);
    EXPECT_EQ(r.stepParam[1].x, 0);
    EXPECT_EQ(r.led[4].field0, 44u);
}

TEST_F(StepEditorTest, DeleteMovesSelectionTwoLinesUp) {
    const int cases[][2] = {{1, 0}, {2, 0}, {0, 0}, {3, 1}, {7, 5}};
    for (const auto& c : cases) {
        SetUp();
        FillKeys(6);
        Select(c[0]);
        const StepCommandOutcome out = OnDeleteItem();
        EXPECT_TRUE(out.redraw);
        EXPECT_EQ(g_stepListSel, c[1]) << "from line " << c[0];
        EXPECT_EQ(Macro().stepCount, 5);
        TearDown();
    }
}

TEST_F(StepEditorTest, DeleteInEmptyMacroOrBeyondItsStepsDoesNothing) {
    Select(0);
    EXPECT_FALSE(OnDeleteItem().redraw);
    EXPECT_EQ(Macro().stepCount, 0);
    FillKeys(2);
    AddStep(Macro(), StepCodeXyMove, StepTypeXPlusYPlus, 0, 1);
    g_cmdStep = 5;  // a stale selection
    const MacroRecord before = Macro();
    EXPECT_FALSE(OnDeleteItem().redraw);
    EXPECT_EQ(std::memcmp(&before, &Macro(), sizeof before), 0);
}

// ---- starting an in-place edit ----------------------------------------------------------------

TEST_F(StepEditorTest, EditStartsOnDelayLinesAndOnXyLines) {
    FillKeys(1);
    AddStep(Macro(), StepCodeXyMove, StepTypeXPlusYPlus, 0, 3);
    Select(1);
    EXPECT_TRUE(OnModifyDelay().startEdit);
    EXPECT_FALSE(OnModifyTrackValue().startEdit);
    Select(2);
    EXPECT_FALSE(OnModifyDelay().startEdit);
    EXPECT_TRUE(OnModifyTrackValue().startEdit);
    Select(0);  // a key step: code 4 is not above 0x80
    EXPECT_FALSE(OnModifyTrackValue().startEdit);
    Select(1);
    g_hitListCount = 0;
    EXPECT_FALSE(OnModifyDelay().startEdit);
    EXPECT_FALSE(OnStepListDblClk(2, 3).startEdit);
    EXPECT_FALSE(OnStepListDblClk(-1, 3).startEdit);
    EXPECT_FALSE(OnStepListDblClk(1, 0).startEdit);
}

// ---- applying an edited delay -----------------------------------------------------------------

struct DelaySplitCase {
    const char16_t* text;
    std::vector<int> delays;  // step 1 and the inserted delay steps
    bool message;
};

TEST_F(StepEditorTest, EditedDelaysSplitAt254Milliseconds) {
    const DelaySplitCase cases[] = {
        {u"    100ms", {100}, false},
        {u"    300ms", {254, 46}, false},
        {u"254", {254, 0}, false},
        {u"    508ms", {254, 254, 0}, false},
        {u"    3000ms", {254, 254, 254, 254, 254, 254, 254, 254, 254, 254, 0}, true},
        {u"    2540ms", {254, 254, 254, 254, 254, 254, 254, 254, 254, 254, 0}, false},
        {u"abc", {0}, false},
    };
    for (const DelaySplitCase& c : cases) {
        SetUp();
        FillKeys(3);
        const StepCommandOutcome out = OnStepEditDone(3, 0, QString::fromUtf16(c.text));
        const std::string label = QString::fromUtf16(c.text).toStdString();
        EXPECT_TRUE(out.redraw);
        ASSERT_EQ(Macro().stepCount, 3 + c.delays.size() - 1) << label;
        EXPECT_EQ(Macro().stepCode[1], 5);
        for (size_t i = 0; i < c.delays.size(); ++i) {
            EXPECT_EQ(Macro().stepDelay[1 + i], c.delays[i]) << label << " step " << 1 + i;
            if (i > 0) {
                EXPECT_EQ(Macro().stepCode[1 + i], 0);
                EXPECT_EQ(Macro().stepType[1 + i], 0);
            }
        }
        EXPECT_EQ(Macro().stepCode[1 + c.delays.size()], 6) << label;  // the former step 2
        const QStringList expected =
            c.message ? QStringList{QStringLiteral("数据越界(>2540),请“插入[延迟]”选项进行调整!")}
                      : QStringList{};
        EXPECT_EQ(Messages(), expected) << label;
        TearDown();
    }
}

TEST_F(StepEditorTest, SecondReportAfterSplitChangesNothing) {
    FillKeys(3);
    OnStepEditDone(3, 0, QStringLiteral("    300ms"));
    ASSERT_EQ(g_stepListSel, 5);  // the delay line of the inserted delay step
    const MacroRecord after = Macro();
    // The list was redrawn: line 5 now shows the 46 ms of the inserted step.
    OnStepEditDone(5, 0, QStringLiteral("    46ms"));
    EXPECT_EQ(std::memcmp(&after, &Macro(), sizeof after), 0);
}

TEST_F(StepEditorTest, SplitStopsAtTheStepLimit) {
    FillKeys(179);
    // 800 ms wants three inserted delay steps; only one fits.
    OnStepEditDone(1, 0, QStringLiteral("    800ms"));
    EXPECT_EQ(Macro().stepCount, 180);
    EXPECT_EQ(Macro().stepDelay[0], 254);
    EXPECT_EQ(Macro().stepCode[1], 0);
    EXPECT_EQ(Macro().stepDelay[1], 254);
    EXPECT_EQ(Macro().stepCode[2], 5);
    EXPECT_EQ(Macro().stepDelay[2], 10);
    EXPECT_EQ(Messages(), QStringList{TooLong});
}

TEST_F(StepEditorTest, EditedDelayOfSecondMacroUsesNameListSelection) {
    FillKeys(2, 1);
    OnStepEditDone(1, 1, QStringLiteral("    99ms"));
    EXPECT_EQ(g_macros[1].stepDelay[0], 99);
    EXPECT_EQ(g_cmdMacro, 1);
    EXPECT_EQ(g_cmdStep, 0);
    EXPECT_EQ(g_stepListCurSel, 1);
    // A selection above 11 is taken as 11.
    FillKeys(2, 11);
    const StepCommandOutcome out = OnStepEditDone(1, 12, QStringLiteral("    7ms"));
    EXPECT_EQ(out.redrawMacro, 11);
    EXPECT_EQ(g_macros[11].stepDelay[0], 7);
}

// ---- applying an edited X/Y line ---------------------------------------------------------------

TEST_F(StepEditorTest, EditedXyLineTakesBothValuesWithinLimits) {
    AddStep(Macro(), StepCodeXyMove, StepTypeXPlusYPlus, 0, 3);
    OnStepEditDone(0, 0, QStringLiteral("[X+]:40000,[Y+]:7"));
    EXPECT_EQ(Macro().stepParam[0].x, 32767);
    EXPECT_EQ(Macro().stepParam[0].y, 7);
    EXPECT_EQ(Messages(), QStringList{QStringLiteral("[X]数值越界!")});

    messages_.Clear();
    OnStepEditDone(0, 0, QStringLiteral("[X+]:12,[Y+]:99999"));
    EXPECT_EQ(Macro().stepParam[0].x, 12);
    EXPECT_EQ(Macro().stepParam[0].y, 32767);
    EXPECT_EQ(Messages(), QStringList{QStringLiteral("[Y]数值超出!")});

    messages_.Clear();
    OnStepEditDone(0, 0, QStringLiteral("[X-]:40000,[Y-]:40000"));
    EXPECT_EQ(Messages(),
              (QStringList{QStringLiteral("[X]数值越界!"), QStringLiteral("[Y]数值超出!")}));

    OnStepEditDone(0, 0, QStringLiteral("[X+]:-1,[Y+]:abc"));
    EXPECT_EQ(Macro().stepParam[0].x, 65535);  // the low 16 bits, no lower bound
    EXPECT_EQ(Macro().stepParam[0].y, 0);
    EXPECT_EQ(Macro().xyCount, 1);
    EXPECT_EQ(Macro().stepType[0], StepTypeXPlusYPlus);
}

TEST_F(StepEditorTest, OtherStepLinesIgnoreTheirText) {
    FillKeys(2);
    const MacroRecord before = Macro();
    const StepCommandOutcome out = OnStepEditDone(2, 0, QStringLiteral("[X+]:5,[Y+]:6"));
    EXPECT_TRUE(out.redraw);
    EXPECT_EQ(std::memcmp(&before, &Macro(), sizeof before), 0);
    EXPECT_EQ(g_cmdStep, 1);
}

// ---- record helpers ----------------------------------------------------------------------------

TEST_F(MacroTablesTest, ClearMacroKeepsOnlyTheMode) {
    MacroRecord& r = g_macros[3];
    SetMacroName(r, QStringLiteral("abc"));
    r.mode = 6;
    r.repeatCount = 9;
    AddStep(r, StepCodeLed, StepTypeLed0);
    r.led[4].data[3] = 1;
    r.gpio[0].field2 = 5;
    r.stepDelay[179] = 4;
    ClearMacro(g_macros, 3);
    MacroRecord expected{};
    expected.mode = 6;
    EXPECT_EQ(std::memcmp(&expected, &r, sizeof r), 0);
    ClearMacro(g_macros, 200);  // outside the table: ignored
}

TEST_F(MacroTablesTest, FindMacroByNameComparesExactly) {
    SetMacroName(g_macros[0], QStringLiteral("Fire"));
    SetMacroName(g_macros[1], QStringLiteral("fire"));
    SetMacroName(g_macros[2], QStringLiteral("连发"));
    EXPECT_EQ(FindMacroByName(g_macros, QStringLiteral("fire"), 3), 1);
    EXPECT_EQ(FindMacroByName(g_macros, QStringLiteral("连发"), 3), 2);
    EXPECT_EQ(FindMacroByName(g_macros, QStringLiteral("连发"), 2), 2);  // not among the first 2
    EXPECT_EQ(FindMacroByName(g_macros, QStringLiteral("Fir"), 3), 3);
    EXPECT_EQ(FindMacroByName(g_macros, QStringLiteral("x"), 40), 40);
}

TEST_F(MacroTablesTest, NameOfTenUnitsHasNoTerminator) {
    MacroRecord& r = g_macros[0];
    for (int i = 0; i < 10; ++i) {
        r.name[i] = static_cast<char16_t>(u'a' + i);
    }
    EXPECT_EQ(MacroName(r), QStringLiteral("abcdefghij"));
}

// One rule for every name: 10 code units fit whole, a longer text keeps its first 10, and
// nothing lands past the field (the mode byte after it stays).
TEST_F(MacroTablesTest, NamesKeepTenUnitsAtMost) {
    MacroRecord& r = g_macros[0];
    r.mode = 0x5A;
    EXPECT_EQ(SetMacroName(r, QStringLiteral("123456789")), 9);
    EXPECT_EQ(MacroName(r), QStringLiteral("123456789"));
    EXPECT_EQ(r.name[9], 0);
    EXPECT_EQ(SetMacroName(r, QStringLiteral("1234567890")), 10);
    EXPECT_EQ(MacroName(r), QStringLiteral("1234567890"));
    EXPECT_EQ(SetMacroName(r, QStringLiteral("1234567890A")), 10);
    EXPECT_EQ(MacroName(r), QStringLiteral("1234567890"));
    EXPECT_EQ(StoredMacroName(QStringLiteral("1234567890A")), QStringLiteral("1234567890"));
    EXPECT_EQ(r.mode, 0x5A);
    // A character outside the basic plane is not cut in half at the end of the field.
    const QString pair = QString::fromUtf8("123456789\xF0\x9F\x98\x80");
    ASSERT_EQ(pair.size(), 11);
    EXPECT_EQ(SetMacroName(r, pair), 9);
    EXPECT_EQ(r.name[9], 0);
}

}  // namespace
