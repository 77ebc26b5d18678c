// Whether config.ini or a profile file can be used as it stands: it can be read, it holds every
// section and key the program needs, and each value is a decimal number in the range the program
// and the mouse know (a button code is a button function code). A file that fails is never
// loaded: start-up puts the shipped config.ini in its place (startup_config.h), an import is
// refused. Each value is looked at as the store reads it (the same buffer size), so what passes
// here is what the store then loads. Window-free; it only reads the file.
#pragma once

#include <QString>
#include <optional>

struct ConfigFault {
    enum class Kind {
        Missing,     // no file
        Unreadable,  // not a regular file, no permission, too large
        Empty,       // no byte at all
        NoSection,
        NoKey,     // missing, or without a value
        BadValue,  // not a decimal number, or out of range
        Unusable,  // values in range that the window never makes together (reason says which)
    };
    Kind kind = Kind::Missing;
    QString section;
    QString key;
    QString value;   // BadValue: the text as it stands in the file
    QString reason;  // Unreadable, Unusable: why

    // "Config3 K0", "Config3", or empty when the file as a whole is at fault.
    QString Where() const;
    // For the log: "[Config3] K0=500 is out of range", "[Init] is missing", "it is empty".
    QString Describe() const;
};

// Besides its ranges, a profile section must be one the window could have made: a left click
// on one of K0..K6, at least one DPI level enabled, and DPI_LEVEL naming an enabled one.

// config.ini as start-up needs it: [Init], and [Config1]..[Config4] with every key a save
// writes. Nothing is asked of the keys of [Init] (a CurConfig outside 1..4 selects profile 1,
// LANG_SEL other than 1 means Chinese) or of other sections: the factory sections are checked
// when they are used (CheckFactorySections).
std::optional<ConfigFault> CheckConfigIni(const QString& path);

// A profile file to import: [Config1]..[Config4] with every key the export writes.
std::optional<ConfigFault> CheckProfileFile(const QString& path);

// The factory settings of a file, [CfgReset2]..[CfgReset4], by the rules of a profile section.
std::optional<ConfigFault> CheckFactorySections(const QString& path);

// Whether code is a button function code: 0..35, 40..61, 70..148 (36..39 and 62..69 have no
// meaning). User-macro codes 50..61 count whether or not that macro exists (a missing one
// becomes "no function" at the next Apply).
bool IsButtonFunctionCode(int code);
