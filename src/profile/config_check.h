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
    };
    Kind kind = Kind::Missing;
    QString section;
    QString key;
    QString value;   // BadValue: the text as it stands in the file
    QString reason;  // Unreadable: why

    // "Config3 K0", "Config3", or empty when the file as a whole is at fault.
    QString Where() const;
    // For the log: "[Config3] K0=500 is out of range", "[Init] is missing", "it is empty".
    QString Describe() const;
};

// config.ini as start-up needs it: [Init] with CurConfig 1..4, and [Config1]..[Config4] with
// every key a save writes. Nothing is asked of the other keys of [Init] (LANG_SEL: any value
// other than 1 means Chinese) or of other sections.
std::optional<ConfigFault> CheckConfigIni(const QString& path);

// A profile file to import: [Config1]..[Config4] with every key the export writes.
std::optional<ConfigFault> CheckProfileFile(const QString& path);

// Whether code is a button function code: 0..35, 40..61, 70..148 (36..39 and 62..69 have no
// meaning). User-macro codes 50..61 count whether or not that macro exists (a missing one
// becomes "no function" at the next Apply).
bool IsButtonFunctionCode(int code);
