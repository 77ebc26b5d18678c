// The field string of a macro in a macro file: one three-digit decimal field per byte of the
// record (name, mode, counters, 180 steps with their file codes, the five LED records), written
// by the macro file writers and decoded by the readers. Pure functions of their arguments; the
// writers call them on whatever thread they run.
#pragma once

#include <QString>

#include "macro/macro_record.h"

inline constexpr int MacroFieldCount = 1815;       // a complete field string
inline constexpr int MacroFieldCountNoLed = 1475;  // the list export: no LED records
inline constexpr int MacroFieldChars = 3;
inline constexpr int MacroFieldReadBuffer = 19395;  // characters of the reader's buffer

// AppendNumber3: text followed by value as one field ("00%d" below 10, "0%d" below 100, else
// "%d").
QString AppendNumber3(const QString& text, int value);

// The first fieldCount fields of record (MacroFieldCount or MacroFieldCountNoLed). Step codes
// are stored as their file codes (virtual-key codes); the GPIO records are never stored.
QString MacroFieldString(const MacroRecord& record, int fieldCount = MacroFieldCount);

// Overwrites every field of record but the GPIO records from value: a field the value does not
// reach reads 0, characters after the last field are ignored. A step count above 180 (only a
// damaged file holds one) is kept at 180, so that no reader of the record indexes past its
// steps.
void DecodeMacroFieldString(const QString& value, MacroRecord& record);
