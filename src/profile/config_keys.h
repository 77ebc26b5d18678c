// The names of the sections and keys of config.ini and the profile files, and the read buffer
// sizes the store reads them with, shared by the store (config_store.h) and the file check
// (config_check.h) so that the check looks at each value as the store will read it.
// Constants only; any thread.
#pragma once

#include <QString>

#include "platform/decimal.h"

// Read buffer sizes (characters including the terminator): a value longer than size - 1
// characters is cut, as it always has been.
inline constexpr int ShortValue = 5;
inline constexpr int IdValue = 6;
inline constexpr int DpiValue = 10;

inline QString InitSectionName() {
    return QStringLiteral("Init");
}

inline QString Numbered(const QString& prefix, int n) {
    return prefix + platform::FormatInt(n);
}

// [Config<n>], the section of profile n.
inline QString ConfigSectionName(int n) {
    return Numbered(QStringLiteral("Config"), n);
}

inline QString KKey(int slot) {
    return Numbered(QStringLiteral("K"), slot);
}

inline QString DpiSetKey(int j) {
    return Numbered(QStringLiteral("DPI_SET"), j);
}

inline QString DpiSetEnKey(int j) {
    return Numbered(QStringLiteral("DPI_SET_EN"), j);
}

// channel 0, 1, 2: DPI<j>_R, _G, _B.
inline QString DpiColorKey(int j, int channel) {
    static const char* const Suffix[3] = {"_R", "_G", "_B"};
    return Numbered(QStringLiteral("DPI"), j) + QLatin1String(Suffix[channel]);
}
