// Feeds arbitrary text to the field-string decoder, as a hostile macro file would, and checks
// that the decoded record stays within its arrays and survives a write and a second read.
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "macro/macro_field_string.h"
#include "macro/macro_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The reader hands the decoder at most this many characters of a key's value.
    const QString value =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))
            .left(MacroFieldReadBuffer - 1);
    MacroRecord record;
    std::memset(&record, 0xA5, sizeof record);
    const MacroRecord before = record;
    DecodeMacroFieldString(value, record);
    if (record.stepCount > MacroMaxSteps) {
        std::abort();
    }
    if (std::memcmp(&record.gpio, &before.gpio, sizeof record.gpio) != 0) {
        std::abort();  // GPIO records are never stored, so never read
    }
    const QString written = MacroFieldString(record);
    if (written.size() != MacroFieldCount * MacroFieldChars) {
        std::abort();
    }
    MacroRecord again = record;
    DecodeMacroFieldString(written, again);
    // Key codes pass the file-code conversion once; from then on a record is stable.
    if (MacroFieldString(again) != written) {
        std::abort();
    }
    return 0;
}
