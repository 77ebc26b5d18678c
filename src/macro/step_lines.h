// The texts of the step list: one line per step and, from the second step on, a delay line
// before each step with the wait of the step before it (line 2k is step k, line 2k + 1 the
// delay after it). Also the two line counters that the recording limit rests on. Pure text
// building; the window fills the list. User-interface thread only.
#pragma once

#include "macro/macro_record.h"

#include <QString>
#include <cstdint>

// Key-press and key-release lines added to the step list since it was last filled (a
// mouse-button step counts as a key).
extern std::int32_t g_keyDownSteps;
extern std::int32_t g_keyUpSteps;

// Names a key step's code (a HID keyboard usage or a mouse button 0xF1..0xF3).
using KeyNameFunction = QString (*)(std::uint8_t code);
// The program's names: UsageToKeyName of the key-code tables.
QString StepKeyName(std::uint8_t code);

enum class StepLineKind {
    Other,
    KeyDown,     // counts in g_keyDownSteps
    KeyUp,       // counts in g_keyUpSteps
    MediaError,  // a media step of an unknown type: the line shows an error and a message is due
};

struct StepLine {
    QString text;
    StepLineKind kind = StepLineKind::Other;
};

// The message shown for a media step of an unknown type.
QString MediaStepErrorMessage();

// The step line of step s of record (s within 0..179; the caller keeps it below stepCount).
StepLine BuildStepLine(const MacroRecord& record, int s, KeyNameFunction keyName = StepKeyName);
// "    %dms".
QString DelayLineText(std::uint16_t delay);
// The text of a DPI step that sets DPI code x.
QString DpiStepText(std::uint16_t x);
