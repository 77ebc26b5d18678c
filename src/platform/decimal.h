// Text to number and number to text, as the program has always converted them: the C runtime's
// _wtoi for every value read from a file or an edit box, and "%d" for every value written.
#pragma once

#include <QString>

namespace platform {

// Leading blanks (space, \t \n \v \f \r) are skipped, then an optional sign, then the digits up
// to the first other character; no digits give 0. Out-of-range values saturate at INT_MIN /
// INT_MAX, as the runtime does, instead of overflowing.
int Wtoi(const QString& text);
int Wtoi(const char16_t* text);

// "%d".
QString FormatInt(long long value);

}  // namespace platform
