// The step editor's commands. User-interface thread only.
#include "macro/macro_editor.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "macro/macro_record.h"
#include "platform/decimal.h"
#include "platform/message_service.h"

namespace {

constexpr int TrackValueMin = 1;
constexpr int TrackValueMax = 30;
constexpr int DelayStepMs = 254;      // the longest delay one step carries
constexpr int DelayEditMaxMs = 2540;  // the longest delay an edit may ask for
constexpr int ParamEditMax = 0x7FFF;

// The steps the record really holds: a count above the arrays (only a damaged file can give
// one) is read as full.
int HeldSteps(const MacroRecord& r) {
    return std::min<int>(r.stepCount, MacroMaxSteps);
}

void CopyStep(MacroRecord& r, int to, int from) {
    r.stepType[to] = r.stepType[from];
    r.stepCode[to] = r.stepCode[from];
    r.stepParam[to] = r.stepParam[from];
    r.stepDelay[to] = r.stepDelay[from];
}

void ZeroStep(MacroRecord& r, int i) {
    r.stepType[i] = 0;
    r.stepCode[i] = 0;
    r.stepParam[i] = {0, 0};
    r.stepDelay[i] = 0;
}

// Removes step position of a record of count steps (count - 1 afterwards), zeroing the entry
// that falls out at the end. No counter is touched.
void RemoveStep(MacroRecord& r, int position, int count) {
    for (int i = position; i < count - 1; ++i) {
        CopyStep(r, i, i + 1);
    }
    ZeroStep(r, count - 1);
    r.stepCount = static_cast<std::uint16_t>(count - 1);
}

template <typename Counter>
void Lower(Counter& counter) {
    if (counter > 0) {
        --counter;
    }
}

// After the effect step k (LED or GPIO) is deleted: the later steps of that code move down one
// record each, so the records stay numbered 0, 1, ... in step order, and the record that falls
// free at the end is zeroed. last is the old last step.
void RenumberEffectSteps(MacroRecord& r, std::uint8_t code, std::uint8_t& counter,
                         std::span<MacroEffectRecord, MacroEffectRecords> records, int k,
                         int last) {
    Lower(counter);
    for (int j = k + 1; j <= last; ++j) {
        if (r.stepCode[j] != code) {
            continue;
        }
        const int x = r.stepParam[j].x;
        if (x == 0) {
            continue;  // already the first record: nothing below it to move into
        }
        r.stepParam[j].x = static_cast<std::uint16_t>(x - 1);
        if (x < MacroEffectRecords) {
            records[x - 1] = records[x];
        }
    }
    if (counter < MacroEffectRecords) {
        std::memset(&records[counter], 0, sizeof(MacroEffectRecord));
    }
}

bool CommandMacroValid() {
    return g_cmdMacro >= 0 && g_cmdMacro <= MaxCommandMacro;
}

StepCommandOutcome Redraw(int macro) {
    StepCommandOutcome outcome;
    outcome.redraw = true;
    outcome.redrawMacro = macro;
    return outcome;
}

StepCommandOutcome RunById(int commandId, int stepListLines, const QString& trackBoxText) {
    const StepInsertCommand* command = FindStepInsertCommand(commandId);
    return command ? RunStepInsertCommand(*command, stepListLines, trackBoxText)
                   : StepCommandOutcome{};
}

// A delay of 254 ms or more is carried by step k (254 ms) and q = v / 254 inserted delay steps
// after it: q - 1 of 254 ms and a last one of the rest. When the macro fills up, the split stops
// at the first refused insert, so no delay lands on a step it did not insert.
void SplitDelay(int m, int k, int v) {
    MacroRecord& r = g_macros[m];
    const int q = v / DelayStepMs;
    r.stepDelay[k] = DelayStepMs;
    for (int i = 1; i < q; ++i) {
        if (!InsertMacroStep(m, k + i, StepCodeDelay, StepTypeDelay)) {
            return;
        }
        r.stepDelay[k + i] = DelayStepMs;
    }
    if (InsertMacroStep(m, k + q, StepCodeDelay, StepTypeDelay)) {
        r.stepDelay[k + q] = static_cast<std::uint16_t>(v - DelayStepMs * q);
    }
}

void ApplyDelayText(int m, int k, const QString& lineText) {
    const qsizetype unit = lineText.indexOf(QStringLiteral("ms"));
    int v = platform::Wtoi(unit < 0 ? lineText : lineText.left(unit));
    if (v > DelayEditMaxMs) {
        platform::ShowMessage(
            QStringLiteral("数据越界(>%1),请“插入[延迟]”选项进行调整!").arg(DelayEditMaxMs));
        v = DelayEditMaxMs;
    } else if (v < DelayStepMs) {
        g_macros[m].stepDelay[k] = static_cast<std::uint16_t>(v);
        return;
    }
    SplitDelay(m, k, v);
}

// CString::Find semantics with a missing character counting as position 0.
qsizetype FindOrZero(const QString& text, QChar c, qsizetype from) {
    const qsizetype at = text.indexOf(c, from);
    return at < 0 ? 0 : at;
}

void ApplyXyText(MacroRecord& r, int k, const QString& lineText) {
    const qsizetype colon = FindOrZero(lineText, u':', 0);
    const qsizetype comma = FindOrZero(lineText, u',', colon + 1);
    const qsizetype xLength = comma - colon - 1;
    const QString xText = xLength > 0 ? lineText.mid(colon + 1, xLength) : QString();
    const qsizetype yColon = FindOrZero(lineText, u':', comma + 1);
    const QString yText = lineText.mid(yColon + 1);
    int x = platform::Wtoi(xText);
    int y = platform::Wtoi(yText);
    if (x > ParamEditMax) {
        platform::ShowMessage(QStringLiteral("[X]数值越界!"));
        x = ParamEditMax;
    }
    if (y > ParamEditMax) {
        platform::ShowMessage(QStringLiteral("[Y]数值超出!"));
        y = ParamEditMax;
    }
    r.stepParam[k] = {static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y)};
}

}  // namespace

bool InsertMacroStep(int macro, int position, std::uint8_t code, std::uint8_t type,
                     TrackBox* track) {
    if (macro < 0 || macro >= UserMacroSlots) {
        return false;
    }
    MacroRecord& r = g_macros[macro];
    if (r.stepCount + 1 > MacroMaxSteps) {
        platform::ShowMessage(QStringLiteral("宏太长,越界!"));
        return false;
    }
    const int count = r.stepCount + 1;
    // A position past the end appends; before the start, the step goes first.
    position = std::clamp(position, 0, count - 1);
    r.stepCount = static_cast<std::uint16_t>(count);
    for (int i = count - 1; i > position; --i) {
        CopyStep(r, i, i - 1);
    }
    r.stepCode[position] = code;
    r.stepType[position] = type;
    r.stepDelay[position] = 5;
    if (code == StepCodeXyMove) {
        const int value = std::clamp(platform::Wtoi(track ? track->text : QString()), TrackValueMin,
                                     TrackValueMax);
        g_trackValue = value;
        if (track) {
            track->text = platform::FormatInt(value);
            track->rewritten = true;
        }
        r.stepParam[position] = {0, static_cast<std::uint16_t>(value)};
        if (r.xyCount + 1 > MacroMaxXySteps) {
            platform::ShowMessage(
                QStringLiteral("宏内插入的XY数量出错,(>%1)越界!").arg(MacroMaxXySteps));
            // The move cannot be counted, so it must not stay: the device image is sized
            // from the counters.
            RemoveStep(r, position, count);
            return false;
        }
        ++r.xyCount;
    }
    g_stepListSel += 2;
    return true;
}

const StepInsertCommand* FindStepInsertCommand(int commandId) {
    for (const StepInsertCommand& command : StepInsertCommands) {
        if (command.idChinese == commandId ||
            (command.idEnglish != 0 && command.idEnglish == commandId)) {
            return &command;
        }
    }
    return nullptr;
}

StepCommandOutcome RunStepInsertCommand(const StepInsertCommand& command, int stepListLines,
                                        const QString& trackBoxText) {
    if (g_recording || !CommandMacroValid()) {
        return {};
    }
    TrackBox track{trackBoxText};
    if (command.place == StepInsertPlace::Before) {
        InsertMacroStep(g_cmdMacro, g_cmdStep, command.code, command.type, &track);
    } else if (stepListLines == 0) {
        InsertMacroStep(g_cmdMacro, 0, command.code, command.type, &track);
        g_stepListSel = 0;
    } else {
        InsertMacroStep(g_cmdMacro, g_cmdStep + 1, command.code, command.type, &track);
    }
    StepCommandOutcome outcome = Redraw(g_cmdMacro);
    outcome.trackBoxRewritten = track.rewritten;
    outcome.trackBoxText = track.text;
    return outcome;
}

#define ZELBO_INSERT_HANDLER(name, id)                                        \
    StepCommandOutcome name(int stepListLines, const QString& trackBoxText) { \
        return RunById(id, stepListLines, trackBoxText);                      \
    }
ZELBO_INSERT_HANDLER(OnAddForwardLeftDown, 32802)
ZELBO_INSERT_HANDLER(OnAddForwardLeftUp, 32803)
ZELBO_INSERT_HANDLER(OnAddForwardRightDown, 32804)
ZELBO_INSERT_HANDLER(OnAddForwardRightUp, 32805)
ZELBO_INSERT_HANDLER(OnAddForwardMidDown, 32806)
ZELBO_INSERT_HANDLER(OnAddForwardMidUp, 32807)
ZELBO_INSERT_HANDLER(OnAddBackwardLeftDown, 32809)
ZELBO_INSERT_HANDLER(OnAddBackwardLeftUp, 32810)
ZELBO_INSERT_HANDLER(OnAddBackwardRightDown, 32811)
ZELBO_INSERT_HANDLER(OnAddBackwardRightUp, 32812)
ZELBO_INSERT_HANDLER(OnAddBackwardMidDown, 32813)
ZELBO_INSERT_HANDLER(OnAddBackwardMidUp, 32814)
ZELBO_INSERT_HANDLER(OnInsertXMinusYPlus, 32852)
ZELBO_INSERT_HANDLER(OnInsertXMinusYMinus, 32853)
ZELBO_INSERT_HANDLER(OnInsertXPlusYPlus, 32854)
ZELBO_INSERT_HANDLER(OnInsertXPlusYMinus, 32855)
ZELBO_INSERT_HANDLER(OnInsertDelay, 32851)
#undef ZELBO_INSERT_HANDLER

StepCommandOutcome OnDeleteItem() {
    if (g_recording || !CommandMacroValid()) {
        return {};
    }
    MacroRecord& r = g_macros[g_cmdMacro];
    const int k = g_cmdStep;
    const int count = HeldSteps(r);
    if (count == 0) {
        r.stepCount = 0;
        return {};
    }
    // A stale selection beyond the steps names no step: deleting another one in its place
    // would leave that step's counter behind.
    if (k < 0 || k >= count) {
        return {};
    }
    const int n = count - 1;
    switch (r.stepCode[k]) {
        case StepCodeXyMove:
            Lower(r.xyCount);
            break;
        case StepCodeWheel:
            Lower(r.wheelCount);
            break;
        case StepCodeDpi:
            Lower(r.dpiCount);
            break;
        case StepCodeMedia:
            Lower(r.mediaCount);
            break;
        case StepCodeLed:
            RenumberEffectSteps(r, StepCodeLed, r.ledCount, r.led, k, n);
            break;
        case StepCodeGpio:
            RenumberEffectSteps(r, StepCodeGpio, r.gpioCount, r.gpio, k, n);
            break;
        default:
            break;
    }
    RemoveStep(r, k, count);
    g_stepListSel = g_stepListSel < 3 ? 0 : g_stepListSel - 2;
    return Redraw(g_cmdMacro);
}

StepCommandOutcome OnStepListDblClk(int stepListSelection, int stepListLines) {
    StepCommandOutcome outcome;
    outcome.startEdit = stepListSelection >= 0 && stepListSelection % 2 == 1 && stepListLines >= 1;
    return outcome;
}

StepCommandOutcome OnModifyDelay() {
    StepCommandOutcome outcome;
    outcome.startEdit =
        !g_recording && g_hitListCount != 0 && g_stepListSel >= 0 && g_stepListSel % 2 == 1;
    return outcome;
}

StepCommandOutcome OnModifyTrackValue() {
    StepCommandOutcome outcome;
    if (g_recording || !CommandMacroValid() || g_hitListCount == 0 || g_stepListSel < 0 ||
        g_stepListSel % 2 != 0 || g_stepListSel / 2 >= MacroMaxSteps) {
        return outcome;
    }
    outcome.startEdit = g_macros[g_cmdMacro].stepCode[g_stepListSel / 2] > 0x80;
    return outcome;
}

StepCommandOutcome OnStepEditDone(int stepListSelection, int nameListSelection,
                                  const QString& lineText) {
    g_stepListSel = g_stepListCurSel = stepListSelection;
    g_cmdMacro = std::min(nameListSelection, MaxCommandMacro);
    g_cmdStep = g_stepListCurSel / 2;
    if (!CommandMacroValid()) {
        return {};
    }
    const int m = g_cmdMacro;
    const int k = g_cmdStep;
    MacroRecord& r = g_macros[m];
    // Only a line of an existing step takes a value; the redraw discards any other text.
    if (stepListSelection >= 0 && k < HeldSteps(r)) {
        if (stepListSelection % 2 == 1) {
            ApplyDelayText(m, k, lineText);
        } else if (r.stepCode[k] == StepCodeXyMove) {
            ApplyXyText(r, k, lineText);
        }
    }
    return Redraw(m);
}
