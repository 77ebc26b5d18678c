// The macro data model: one macro record with its parallel step arrays and effect records, the
// step kinds and their limits, and the process-wide macro tables that the editor, the macro
// files, the step list and the settings writer share. This module owns the tables; they are
// changed on the user-interface thread only (the recoil adjustment is handed to it as well).
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <span>

// ---- limits ----------------------------------------------------------------------------------
inline constexpr int MacroNameLength = 10;      // UTF-16 code units in a name field
inline constexpr int MacroMaxSteps = 180;       // steps of one macro
inline constexpr int MacroMaxXySteps = 50;      // X/Y-move steps of one macro
inline constexpr int MacroMaxKindSteps = 5;     // wheel, DPI, media, LED and GPIO steps each
inline constexpr int MacroEffectRecords = 5;    // LED records and GPIO records of one macro
inline constexpr int MacroEffectDataSize = 56;  // data bytes of one effect record
inline constexpr int UserMacroSlots = 13;       // g_macros: 12 usable slots and an empty spare
inline constexpr int MaxUserMacros = 12;        // user macros in the list
inline constexpr int SpareMacroSlot = 12;       // the spare slot that recording copies
inline constexpr int ConstMacroSlots = 12;      // g_constMacros
inline constexpr int MacroExportSlots = 13;     // g_macroExport
inline constexpr int MaxCommandMacro = 11;      // g_cmdMacro is the name-list selection, at most 11
inline constexpr int UserMacroFunctionBase = 50;   // button function 50 + i plays g_macros[i]
inline constexpr int ConstMacroFunctionBase = 40;  // button function 40 + i plays g_constMacros[i]

// ---- step codes (stepCode decides the kind) -------------------------------------------------
inline constexpr std::uint8_t StepCodeDelay = 0x00;
inline constexpr std::uint8_t StepCodeLeftButton = 0xF1;
inline constexpr std::uint8_t StepCodeMiddleButton = 0xF2;
inline constexpr std::uint8_t StepCodeRightButton = 0xF3;
inline constexpr std::uint8_t StepCodeXyMove = 0xF6;
inline constexpr std::uint8_t StepCodeWheel = 0xF7;
inline constexpr std::uint8_t StepCodeDpi = 0xF8;
inline constexpr std::uint8_t StepCodeLed = 0xF9;
inline constexpr std::uint8_t StepCodeMedia = 0xFA;
inline constexpr std::uint8_t StepCodeGpio = 0xFB;
// Any other code is a key step: a HID keyboard usage.

// ---- step types (stepType decides the variant) ----------------------------------------------
inline constexpr std::uint8_t StepTypeDelay = 0;  // a delay step inserted by the editor
inline constexpr std::uint8_t StepTypePress = 1;  // key and mouse-button steps
inline constexpr std::uint8_t StepTypeRelease = 2;
inline constexpr std::uint8_t StepTypeXMinusYMinus = 3;
inline constexpr std::uint8_t StepTypeXMinusYPlus = 4;
inline constexpr std::uint8_t StepTypeXPlusYMinus = 5;
inline constexpr std::uint8_t StepTypeXPlusYPlus = 6;
inline constexpr std::uint8_t StepTypeWheelUp = 7;
inline constexpr std::uint8_t StepTypeWheelDown = 8;
inline constexpr std::uint8_t StepTypeDpiSet = 9;       // set the DPI code x
inline constexpr std::uint8_t StepTypeDpiRestore = 10;  // back to the DPI before the macro
inline constexpr std::uint8_t StepTypeMediaRelease = 0x0B;
inline constexpr std::uint8_t StepTypeMediaPress = 0x0C;
inline constexpr std::uint8_t StepTypeLed0 = 0x0D;   // 0x0D..0x0F: LED0..LED2
inline constexpr std::uint8_t StepTypeGpio0 = 0x10;  // 0x10..0x12: GPIO0..GPIO2

// Playback mode: bits 0..1 of MacroRecord::mode; bits 2 and 3 are flags from macro files.
inline constexpr std::uint8_t MacroModeMask = 0x03;

// The 68-byte lighting or GPIO record of a macro. The editor only moves and clears it; its
// content comes from macro files and the device encoder reads it (byte 0 is its item count).
struct MacroEffectRecord {
    std::uint32_t field0;
    std::uint32_t field1;
    std::uint32_t field2;
    std::array<std::uint8_t, MacroEffectDataSize> data;
};
static_assert(sizeof(MacroEffectRecord) == 68);

// The values of one step: X/Y magnitudes, wheel amount, DPI code, media code or effect index.
struct MacroStepParam {
    std::uint16_t x;
    std::uint16_t y;
};

// One macro. A step is entry i of the four step arrays; entries at or beyond stepCount are not
// part of the macro (the editor keeps them zero). Invariant: each counter equals the number of
// steps of its kind, and the LED (GPIO) steps in step order carry the record indexes 0, 1, ...
struct MacroRecord {
    std::array<char16_t, MacroNameLength> name;  // zero-terminated when shorter than 10 units
    std::uint8_t mode;
    std::uint16_t repeatCount;
    std::uint16_t stepCount;
    std::uint16_t xyCount;
    std::uint16_t wheelCount;
    std::uint16_t dpiCount;
    std::uint16_t mediaCount;
    std::uint8_t ledCount;
    std::uint8_t gpioCount;
    std::array<std::uint8_t, MacroMaxSteps> stepType;
    std::array<std::uint8_t, MacroMaxSteps> stepCode;
    std::array<MacroStepParam, MacroMaxSteps> stepParam;
    std::array<std::uint16_t, MacroMaxSteps> stepDelay;
    std::array<MacroEffectRecord, MacroEffectRecords> led;
    std::array<MacroEffectRecord, MacroEffectRecords> gpio;
};

// The name as "%s" formats it: the code units up to the first zero unit, at most 10.
QString MacroName(const MacroRecord& record);
// The one rule for names: the name a text becomes when stored. A name field holds 10 code
// units, with a terminating zero only when the name is shorter, so a longer text keeps its
// first 10 units (9 where the 10th would split a surrogate pair).
QString StoredMacroName(const QString& text);
// Stores StoredMacroName(text) into the name field and zeroes the rest of the field. Returns the
// number of units stored. Nothing is written past the field.
int SetMacroName(MacroRecord& record, const QString& text);

// ---- the macro tables (zero at start) -------------------------------------------------------
extern std::array<MacroRecord, UserMacroSlots> g_macros;         // user macros 0..11, spare 12
extern std::int16_t g_macroCount;                                // 0..12
extern std::array<std::uint32_t, UserMacroSlots> g_macroSet;     // lock flag per user macro
extern MacroRecord g_macroBuf;                                   // import/export buffer
extern std::uint32_t g_importMacroSet;                           // lock flag of g_macroBuf
extern std::array<MacroRecord, ConstMacroSlots> g_constMacros;   // built-in macros
extern std::int16_t g_constMacroCount;                           // macroNum of constMacro.dat
extern std::array<MacroRecord, MacroExportSlots> g_macroExport;  // scratch of the list export
extern std::int32_t g_curMacro;                                  // selection of the name list
extern std::uint8_t g_recording;                                 // a keyboard recording runs

// ---- command state of the step editor -------------------------------------------------------
extern std::int32_t g_cmdMacro;         // macro the step commands act on; -1 when none selected
extern std::int32_t g_cmdStep;          // g_stepListCurSel / 2
extern std::int32_t g_stepListCurSel;   // the step list's selection as read for a command
extern std::int32_t g_stepListSel;      // the line selected again after the list is redrawn
extern std::int32_t g_hitListCount;     // lines of the list under the last right-click
extern std::int32_t g_trackValue;       // X/Y magnitude 1..30 from the track edit box
extern std::int32_t g_trackInsertMode;  // the track mode is on (its button is drawn lit)

// A macro is locked when its flag is nonzero; an index outside the list counts as unlocked.
bool IsMacroLocked(int index);

// ClearMacro: empties record index of table (name, repeat count, counters, the four step
// arrays and all ten effect records); mode keeps its value. An index outside table is ignored.
void ClearMacro(std::span<MacroRecord> table, std::uint8_t index);

// RecountSteps: sets each counter of record to the number of its steps of that kind (among the
// first stepCount steps, at most 180). A macro file's counters are not to be trusted: a counter
// above its steps would refuse every later insert and mis-size the body sent to the mouse.
void RecountSteps(MacroRecord& record);

// FindMacroByName: the index of the first of the first n records whose name ("%s") equals name
// exactly, else n. n is limited to the table's size.
int FindMacroByName(std::span<const MacroRecord> table, const QString& name, int n);
