#include "platform/decimal.h"

#include <climits>

namespace platform {
namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

int Convert(const char16_t* text, qsizetype length) {
    qsizetype i = 0;
    while (i < length && IsBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < length && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulate as a negative number so INT_MIN is reachable without overflow.
    long long value = 0;
    for (; i < length && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 - (text[i] - u'0');
        if (value < static_cast<long long>(INT_MIN) - 1) {
            value = static_cast<long long>(INT_MIN) - 1;  // keep it bounded; saturates below
        }
    }
    if (negative) {
        return value < INT_MIN ? INT_MIN : static_cast<int>(value);
    }
    return -value > INT_MAX ? INT_MAX : static_cast<int>(-value);
}

}  // namespace

int Wtoi(const QString& text) {
    return Convert(reinterpret_cast<const char16_t*>(text.utf16()), text.size());
}

int Wtoi(const char16_t* text) {
    if (text == nullptr) {
        return 0;
    }
    qsizetype length = 0;
    while (text[length] != u'\0') {
        ++length;
    }
    return Convert(text, length);
}

QString FormatInt(long long value) {
    return QString::number(value);
}

}  // namespace platform
