// The step editor of the advanced page: inserting button, X/Y-move and delay steps, deleting a
// step, and applying an in-place edit of a delay or X/Y line. The window owns the list boxes and
// edit boxes; it hands these functions what it reads from them (the step list's line count, its
// selection and a line's text, the name list's selection, the track box's text) and carries out
// what they return (redraw the step list, rewrite the track box, open the in-place editor).
// State: the macro tables and the command state of macro_record.h. User-interface thread only.
#pragma once

#include <QString>
#include <cstdint>

// What a step command asks of the window once it has run.
struct StepCommandOutcome {
    // Refill the step list with macro redrawMacro (ShowMacroSteps).
    bool redraw = false;
    int redrawMacro = -1;
    // Set the track edit box to trackBoxText and invalidate the window.
    bool trackBoxRewritten = false;
    QString trackBoxText;
    // Send the step list WM_CHAR 1: edit its selected line in place.
    bool startEdit = false;
};

// The track edit box as the window hands it over: its text in, its new text out.
struct TrackBox {
    QString text;
    bool rewritten = false;
};

// InsertMacroStep: inserts one step of code and type at position of g_macros[macro], with a
// delay of 5 ms, and moves g_stepListSel two lines down. An X/Y move takes the track box's value
// limited to 1..30 (and writes it back into track). Returns false when nothing was inserted: the
// macro is full ("宏太长,越界!"), it already holds 50 X/Y moves (the message, and the step is
// taken out again so that xyCount stays equal to its steps) or macro is no user slot.
bool InsertMacroStep(int macro, int position, std::uint8_t code, std::uint8_t type,
                     TrackBox* track = nullptr);

// Where an insert command puts its step relative to the selected step g_cmdStep.
enum class StepInsertPlace { Before, After };

// One context-menu insert command of the step list.
struct StepInsertCommand {
    const char* handler;  // the handler's name, for the window's command map
    int idChinese;        // command id in the Chinese menu
    int idEnglish;        // command id in the English menu, 0 when the menu lacks it
    StepInsertPlace place;
    std::uint8_t code;
    std::uint8_t type;
};

inline constexpr StepInsertCommand StepInsertCommands[] = {
    {"OnAddForwardLeftDown", 32802, 32819, StepInsertPlace::Before, 0xF1, 1},
    {"OnAddForwardLeftUp", 32803, 32820, StepInsertPlace::Before, 0xF1, 2},
    {"OnAddForwardRightDown", 32804, 32821, StepInsertPlace::Before, 0xF3, 1},
    {"OnAddForwardRightUp", 32805, 32822, StepInsertPlace::Before, 0xF3, 2},
    {"OnAddForwardMidDown", 32806, 32823, StepInsertPlace::Before, 0xF2, 1},
    {"OnAddForwardMidUp", 32807, 32824, StepInsertPlace::Before, 0xF2, 2},
    {"OnAddBackwardLeftDown", 32809, 32829, StepInsertPlace::After, 0xF1, 1},
    {"OnAddBackwardLeftUp", 32810, 32830, StepInsertPlace::After, 0xF1, 2},
    {"OnAddBackwardRightDown", 32811, 32832, StepInsertPlace::After, 0xF3, 1},
    {"OnAddBackwardRightUp", 32812, 32833, StepInsertPlace::After, 0xF3, 2},
    {"OnAddBackwardMidDown", 32813, 32835, StepInsertPlace::After, 0xF2, 1},
    {"OnAddBackwardMidUp", 32814, 32836, StepInsertPlace::After, 0xF2, 2},
    {"OnInsertXMinusYPlus", 32852, 0, StepInsertPlace::After, 0xF6, 4},
    {"OnInsertXMinusYMinus", 32853, 0, StepInsertPlace::After, 0xF6, 3},
    {"OnInsertXPlusYPlus", 32854, 0, StepInsertPlace::After, 0xF6, 6},
    {"OnInsertXPlusYMinus", 32855, 0, StepInsertPlace::After, 0xF6, 5},
    {"OnInsertDelay", 32851, 0, StepInsertPlace::After, 0x00, 0},
};

// Ids of the other step-list commands.
inline constexpr int CmdModifyTrackValue = 32856;
inline constexpr int CmdModifyDelayChinese = 32780;
inline constexpr int CmdModifyDelayEnglish = 32837;
inline constexpr int CmdDeleteItemChinese = 32781;
inline constexpr int CmdDeleteItemEnglish = 32838;

// The insert command of that menu id, nullptr for another id.
const StepInsertCommand* FindStepInsertCommand(int commandId);

// Runs an insert command on g_cmdMacro at g_cmdStep. stepListLines is the step list's line
// count; trackBoxText the track edit box's text. Nothing happens while recording or with no
// macro selected (g_cmdMacro -1).
StepCommandOutcome RunStepInsertCommand(const StepInsertCommand& command, int stepListLines,
                                        const QString& trackBoxText);

// The insert handlers by name (the track insert of the macro list calls three of them).
StepCommandOutcome OnAddForwardLeftDown(int stepListLines, const QString& trackBoxText);
StepCommandOutcome OnAddForwardLeftUp(int stepListLines, const QString& trackBoxText);
StepCommandOutcome OnAddForwardRightDown(int stepListLines, const QString& trackBoxText);
StepCommandOutcome OnAddForwardRightUp(int stepListLines, const QString& trackBoxText);
StepCommandOutcome OnAddForwardMidDown(int stepListLines, const QString& trackBoxText);
StepCommandOutcome OnAddForwardMidUp(int stepListLines, const QString& trackBoxText);
StepCommandOutcome OnAddBackwardLeftDown(int stepListLines, const QString& trackBoxText);
StepCommandOutcome OnAddBackwardLeftUp(int stepListLines, const QString& trackBoxText);
StepCommandOutcome OnAddBackwardRightDown(int stepListLines, const QString& trackBoxText);
StepCommandOutcome OnAddBackwardRightUp(int stepListLines, const QString& trackBoxText);
StepCommandOutcome OnAddBackwardMidDown(int stepListLines, const QString& trackBoxText);
StepCommandOutcome OnAddBackwardMidUp(int stepListLines, const QString& trackBoxText);
StepCommandOutcome OnInsertXMinusYPlus(int stepListLines, const QString& trackBoxText);
StepCommandOutcome OnInsertXMinusYMinus(int stepListLines, const QString& trackBoxText);
StepCommandOutcome OnInsertXPlusYPlus(int stepListLines, const QString& trackBoxText);
StepCommandOutcome OnInsertXPlusYMinus(int stepListLines, const QString& trackBoxText);
StepCommandOutcome OnInsertDelay(int stepListLines, const QString& trackBoxText);

// OnDeleteItem: deletes step g_cmdStep of g_cmdMacro, lowering its kind's counter and
// renumbering the later LED (GPIO) steps and their records.
StepCommandOutcome OnDeleteItem();

// The starters of an in-place edit (startEdit set when the line may be edited).
// OnStepListDblClk gets the step list's selection (-1 for none) and line count.
StepCommandOutcome OnStepListDblClk(int stepListSelection, int stepListLines);
StepCommandOutcome OnModifyDelay();
StepCommandOutcome OnModifyTrackValue();

// OnStepEditDone: the in-place editor ended (a commit or a cancel). stepListSelection and
// nameListSelection are the lists' selections (-1 for none), lineText the text the selected
// step-list line now holds. A delay line takes its value (split into 254 ms delay steps from
// 254 ms on, at most 2540 ms); an X/Y line takes its X and Y (at most 32767).
StepCommandOutcome OnStepEditDone(int stepListSelection, int nameListSelection,
                                  const QString& lineText);
