#include "profile/config_check.h"

#include <climits>
#include <vector>

#include "platform/decimal.h"
#include "platform/ini.h"
#include "profile/config_keys.h"
#include "profile/profile_settings.h"

namespace {

constexpr int LeftClickCode = 1;

// A key's rule: read with buffer nSize, a decimal number from min to max; a button key holds a
// button function code.
struct KeyRule {
    QString key;
    int nSize;
    int min;
    int max;
    bool buttonCode = false;
};

// The keys of a profile section in the order a save writes them, with their ranges.
std::vector<KeyRule> ProfileKeyRules() {
    std::vector<KeyRule> rules;
    for (int k = 0; k < ButtonSlotCount; ++k) {
        rules.push_back({KKey(k), ShortValue, 0, 0, true});
    }
    rules.push_back({QStringLiteral("MODE_STATUS"), ShortValue, 0, 1});
    rules.push_back({QStringLiteral("DPI_LEVEL"), ShortValue, 0, DpiLevelCount - 1});
    rules.push_back({QStringLiteral("WHEEL_STATUS"), ShortValue, 0, 1});
    for (int j = 0; j < DpiLevelCount; ++j) {
        rules.push_back({DpiSetKey(j), DpiValue, 0, 11});
        // Read as "not 0": any number will do.
        rules.push_back({DpiSetEnKey(j), DpiValue, INT_MIN, INT_MAX});
        for (int c = 0; c < 3; ++c) {
            rules.push_back({DpiColorKey(j, c), DpiValue, 0, 15});
        }
    }
    rules.push_back({QStringLiteral("CYC_7COL_EN"), ShortValue, 0, (1 << CycleColorCount) - 1});
    rules.push_back({QStringLiteral("LED_TYPE"), ShortValue, 0, 3});
    rules.push_back({QStringLiteral("LED_CYC_TIME"), ShortValue, 0, 5});
    rules.push_back({QStringLiteral("DPI_SPEED"), ShortValue, 0, 9});
    rules.push_back({QStringLiteral("WHEEL_SPEED"), ShortValue, 0, 9});
    rules.push_back({QStringLiteral("USB_SPEED"), ShortValue, 0, 3});
    rules.push_back({QStringLiteral("FIRE_TIME"), ShortValue, 0, 300});
    return rules;
}

// An optional sign and at least one digit, nothing else: what "%d" writes.
bool IsDecimal(const QString& text) {
    qsizetype i = (text.startsWith(u'-') || text.startsWith(u'+')) ? 1 : 0;
    if (i == text.size()) {
        return false;
    }
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9') {
            return false;
        }
    }
    return true;
}

std::optional<ConfigFault> CheckKey(const QString& path, const QString& section,
                                    const KeyRule& rule) {
    const QString text =
        platform::GetPrivateProfileString(section, rule.key, QString(), rule.nSize, path);
    if (text.isEmpty()) {
        return ConfigFault{ConfigFault::Kind::NoKey, section, rule.key, {}, {}};
    }
    bool good = IsDecimal(text);
    if (good) {
        const int value = platform::Wtoi(text);
        good =
            rule.buttonCode ? IsButtonFunctionCode(value) : value >= rule.min && value <= rule.max;
    }
    if (good) {
        return std::nullopt;
    }
    // The whole value for the log, not only what the buffer holds.
    constexpr int WholeValue = 64;
    return ConfigFault{
        ConfigFault::Kind::BadValue,
        section,
        rule.key,
        platform::GetPrivateProfileString(section, rule.key, QString(), WholeValue, path),
        {}};
}

std::optional<ConfigFault> CheckFile(const QString& path) {
    switch (platform::ReadStateOf(path)) {
        case platform::FileReadState::Missing:
            return ConfigFault{ConfigFault::Kind::Missing, {}, {}, {}, {}};
        case platform::FileReadState::Unreadable:
            return ConfigFault{
                ConfigFault::Kind::Unreadable, {}, {}, {}, platform::UnreadableReason(path)};
        case platform::FileReadState::Empty:
            return ConfigFault{ConfigFault::Kind::Empty, {}, {}, {}, {}};
        case platform::FileReadState::Readable:
            break;
    }
    return std::nullopt;
}

std::optional<ConfigFault> CheckSection(const QString& path, const QString& section,
                                        const std::vector<KeyRule>& rules) {
    if (!platform::HasSection(section, path)) {
        return ConfigFault{ConfigFault::Kind::NoSection, section, {}, {}, {}};
    }
    for (const KeyRule& rule : rules) {
        if (std::optional<ConfigFault> fault = CheckKey(path, section, rule)) {
            return fault;
        }
    }
    return std::nullopt;
}

int ReadValue(const QString& path, const QString& section, const QString& key, int nSize) {
    return platform::Wtoi(platform::GetPrivateProfileString(section, key, QString(), nSize, path));
}

// What the window keeps true of every profile, whose values are each in range: a left click
// (the only way to click in the window and on the desktop), an enabled DPI level, and a current
// level that is enabled (the mouse is sent a mask with it).
std::optional<ConfigFault> CheckProfileUsable(const QString& path, const QString& section) {
    const auto unusable = [&section](const QString& key, const QString& reason) {
        return ConfigFault{ConfigFault::Kind::Unusable, section, key, {}, reason};
    };
    bool leftClick = false;
    for (int k = 0; k < ButtonSlotCount; ++k) {
        leftClick = leftClick || ReadValue(path, section, KKey(k), ShortValue) == LeftClickCode;
    }
    if (!leftClick) {
        return unusable(QStringLiteral("K0..K6"), QStringLiteral("hold no left click"));
    }
    bool anyEnabled = false;
    for (int j = 0; j < DpiLevelCount; ++j) {
        anyEnabled = anyEnabled || ReadValue(path, section, DpiSetEnKey(j), DpiValue) != 0;
    }
    if (!anyEnabled) {
        return unusable(QStringLiteral("DPI_SET_EN0..5"), QStringLiteral("enable no DPI level"));
    }
    const int level = ReadValue(path, section, QStringLiteral("DPI_LEVEL"), ShortValue);
    if (ReadValue(path, section, DpiSetEnKey(level), DpiValue) == 0) {
        return unusable(QStringLiteral("DPI_LEVEL"), QStringLiteral("names level ") +
                                                         platform::FormatInt(level) +
                                                         QStringLiteral(", which is not enabled"));
    }
    return std::nullopt;
}

// Sections prefix + first..4, each with every profile key in range and usable.
std::optional<ConfigFault> CheckProfileSections(const QString& path, const QString& prefix,
                                                int first) {
    const std::vector<KeyRule> rules = ProfileKeyRules();
    for (int n = first; n <= ProfileCount; ++n) {
        const QString section = Numbered(prefix, n);
        std::optional<ConfigFault> fault = CheckSection(path, section, rules);
        if (!fault) {
            fault = CheckProfileUsable(path, section);
        }
        if (fault) {
            return fault;
        }
    }
    return std::nullopt;
}

std::optional<ConfigFault> CheckProfileSections(const QString& path) {
    return CheckProfileSections(path, QStringLiteral("Config"), 1);
}

}  // namespace

QString ConfigFault::Where() const {
    if (section.isEmpty()) {
        return QString();
    }
    return key.isEmpty() ? section : section + QLatin1Char(' ') + key;
}

QString ConfigFault::Describe() const {
    switch (kind) {
        case Kind::Missing:
            return QStringLiteral("it is missing");
        case Kind::Unreadable:
            return QStringLiteral("it cannot be read (") + reason + QLatin1Char(')');
        case Kind::Empty:
            return QStringLiteral("it is empty");
        case Kind::NoSection:
            return QLatin1Char('[') + section + QStringLiteral("] is missing");
        case Kind::NoKey:
            return QLatin1Char('[') + section + QStringLiteral("] ") + key +
                   QStringLiteral(" is missing or empty");
        case Kind::Unusable:
            return QLatin1Char('[') + section + QStringLiteral("] ") + key + QLatin1Char(' ') +
                   reason;
        case Kind::BadValue:
            return QLatin1Char('[') + section + QStringLiteral("] ") + key + QLatin1Char('=') +
                   value +
                   (IsDecimal(value) ? QStringLiteral(" is out of range")
                                     : QStringLiteral(" is not a number"));
    }
    return QString();
}

std::optional<ConfigFault> CheckConfigIni(const QString& path) {
    if (std::optional<ConfigFault> fault = CheckFile(path)) {
        return fault;
    }
    // No key of [Init] is needed: a CurConfig outside 1..4 selects profile 1 (and is told
    // above 4), which is no reason to set the user's settings aside.
    if (!platform::HasSection(InitSectionName(), path)) {
        return ConfigFault{ConfigFault::Kind::NoSection, InitSectionName(), {}, {}, {}};
    }
    return CheckProfileSections(path);
}

std::optional<ConfigFault> CheckProfileFile(const QString& path) {
    if (std::optional<ConfigFault> fault = CheckFile(path)) {
        return fault;
    }
    return CheckProfileSections(path);
}

std::optional<ConfigFault> CheckFactorySections(const QString& path) {
    if (std::optional<ConfigFault> fault = CheckFile(path)) {
        return fault;
    }
    // [CfgReset1] is never read: profile 1's factory buttons are built in.
    return CheckProfileSections(path, QStringLiteral("CfgReset"), 2);
}

bool IsButtonFunctionCode(int code) {
    // 0 no function, 1..11 the mouse's own functions, 12..24 DPI, profile and hold functions,
    // 25..35 media keys, 40..49 built-in and 50..61 user macros, 70..148 keyboard keys (which
    // the next Apply turns into "no function", as it does a missing user macro).
    const auto in = [code](int first, int last) { return code >= first && code <= last; };
    return in(0, 35) || in(40, 61) || in(70, 148);
}
