#include "ui/skin/skin_layout_file.h"

#include "platform/decimal.h"
#include "platform/ini.h"
#include "platform/message_service.h"

#include <algorithm>
#include <limits>

namespace ui {
namespace {

constexpr int ReadBufferSize = SkinValueMaxLength + 1;
constexpr int MaxCommas = SkinFieldCount - 1;

std::int32_t ClampToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

bool ButtonPos::Contains(std::int64_t px, std::int64_t py) const {
    // Widened so that x + w of values near the 32-bit limits cannot wrap into a false hit.
    return x <= px && px < std::int64_t{x} + w && y <= py && py < std::int64_t{y} + h;
}

RECT ToRect(const ButtonPos& pos) {
    return RECT{pos.x, pos.y, ClampToInt32(std::int64_t{pos.x} + pos.w),
                ClampToInt32(std::int64_t{pos.y} + pos.h)};
}

void SplitSkinFieldValue(const QString& value, SkinFields& fields) {
    if (!value.contains(u',')) {
        fields[0] = value;
        for (int i = 1; i < SkinFieldCount; ++i) {
            fields[i].clear();
        }
        return;
    }
    const qsizetype length = value.size();
    qsizetype prev = -1;
    for (int i = 0; i < MaxCommas; ++i) {
        const qsizetype start = prev + 1;
        const qsizetype pos = start >= length ? -1 : value.indexOf(u',', start);
        fields[i] = pos < 0 ? QString() : value.mid(start, pos - start);
        if (i == MaxCommas - 1) {
            fields[MaxCommas] = pos < 0 ? value : value.mid(pos + 1);
        }
        prev = pos;
    }
}

bool CheckSkinLayoutFile(SkinWindowHooks& hooks, const QString& file) {
    if (platform::FileExists(file)) {
        return true;
    }
    platform::ShowMessage(SkinFileMissingText);
    hooks.AddTrayIcon();
    hooks.ShowMinimized();
    hooks.HideWindow();
    return false;
}

void ReadIniFields(const QString& file, const QString& section, int key, SkinFields& fields) {
    const QString keyText = platform::FormatInt(key);
    const QString value =
        platform::GetPrivateProfileString(section, keyText, QString(), ReadBufferSize, file);
    if (value.count(u',') > MaxCommas) {
        platform::ShowMessage(SkinValueErrorText);
    }
    SplitSkinFieldValue(value, fields);
}

int SkinFieldInt(const SkinFields& fields, int i) {
    if (i < 0 || i >= SkinFieldCount) {
        return 0;
    }
    return platform::Wtoi(fields[i]);
}

ButtonPos SkinFieldRect(const SkinFields& fields) {
    return ButtonPos{SkinFieldInt(fields, 1), SkinFieldInt(fields, 2), SkinFieldInt(fields, 3),
                     SkinFieldInt(fields, 4)};
}

}  // namespace ui
