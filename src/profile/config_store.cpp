#include "profile/config_store.h"

#include "platform/decimal.h"
#include "platform/ini.h"
#include "platform/ini_document.h"
#include "platform/message_service.h"
#include "profile/button_code_translation.h"
#include "profile/config_keys.h"
#include "profile/profile_settings.h"
#include "profile/save_failures.h"

#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace {

const QString InitSection = InitSectionName();

// The reads of the file at g_standInPath come from g_standIn (set at start-up).
QString g_standInPath;
std::unique_ptr<const platform::ini::Document> g_standIn;

// Where one operation's reads come from: the file, or the stand-in for a file start-up left
// alone.
struct Source {
    QString path;
    const platform::ini::Document* standIn = nullptr;
};

Source SourceOf(const QString& path) {
    if (g_standIn && path == g_standInPath) {
        return {path, g_standIn.get()};
    }
    return {path, nullptr};
}

int ReadInt(const QString& section, const QString& key, int nSize, const Source& source) {
    if (source.standIn != nullptr) {
        const std::optional<QString> value = source.standIn->Find(section, key);
        return platform::Wtoi(value ? value->left(nSize - 1) : QString());
    }
    return platform::Wtoi(
        platform::GetPrivateProfileString(section, key, QString(), nSize, source.path));
}

std::uint8_t LowByte(int value) {
    return static_cast<std::uint8_t>(value);
}

bool WriteInt(const QString& section, const QString& key, long long value, const QString& path) {
    const platform::ProfileWrite write{section, key, platform::FormatInt(value)};
    return SaveIniWrites(std::span(&write, 1), path);
}

// The 32-bit settings go out as "%d" of their bits, so a value that came from a negative
// number in the file is written back as that same number.
long long Signed(std::uint32_t value) {
    return static_cast<std::int32_t>(value);
}

}  // namespace

void ReadInitSection(QString path) {
    const Source source = SourceOf(path);
    int curConfig = ReadInt(InitSection, QStringLiteral("CurConfig"), ShortValue, source);
    if (curConfig > ProfileCount) {
        platform::ShowMessage(QStringLiteral("CurConfig error!"));
    }
    // A profile number outside 1..4 (also a missing or empty key, which reads as 0) would
    // index past the four rows of every per-profile table; profile 1 is the safe choice.
    if (curConfig < 1 || curConfig > ProfileCount) {
        curConfig = 1;
    }
    g_curConfig = curConfig;
    g_curConfigIdx = curConfig - 1;

    g_langSel = LowByte(ReadInt(InitSection, QStringLiteral("LANG_SEL"), ShortValue, source));
    // Kept in the file for the program's other editions; nothing here uses them (the mouse
    // is recognised by the built-in identifier table).
    ReadInt(InitSection, QStringLiteral("CUSTOM_EN"), ShortValue, source);
    ReadInt(InitSection, QStringLiteral("PID"), IdValue, source);
    ReadInt(InitSection, QStringLiteral("VID"), IdValue, source);
    ReadInt(InitSection, QStringLiteral("PID2"), IdValue, source);
    ReadInt(InitSection, QStringLiteral("VID2"), IdValue, source);
    ReadInt(InitSection, QStringLiteral("SEN_ANG"), ShortValue, source);
}

namespace {

void LoadConfig(const Source& source, int n, bool fromReset) {
    const QString prefix = fromReset ? QStringLiteral("CfgReset") : QStringLiteral("Config");
    g_strCfgSection = Numbered(prefix, n);
    const QString section = g_strCfgSection;

    for (int r = 0; r < ProfileCount; ++r) {
        if (r == 0 && fromReset) {
            for (int k = 0; k < ButtonSlotCount; ++k) {
                KeyFunc[0][k] = g_defaultKeyFunc[k];
            }
            continue;
        }
        const QString rowSection = Numbered(prefix, r + 1);
        for (int k = 0; k < ButtonSlotCount; ++k) {
            KeyFunc[r][k] = ReadInt(rowSection, KKey(k), ShortValue, source);
        }
    }
    CurrentButtonCodeTranslation().takeFromFile(source.path);

    g_modeStatus = ReadInt(section, QStringLiteral("MODE_STATUS"), ShortValue, source);
    g_wheelStatus = ReadInt(section, QStringLiteral("WHEEL_STATUS"), ShortValue, source);
    g_dpiLevel = ReadInt(section, QStringLiteral("DPI_LEVEL"), ShortValue, source);

    for (int j = 0; j < DpiLevelCount; ++j) {
        g_dpiSet[j] = LowByte(ReadInt(section, DpiSetKey(j), DpiValue, source));
        g_dpiSetEn[j] = ReadInt(section, DpiSetEnKey(j), DpiValue, source) != 0;
        for (int c = 0; c < 3; ++c) {
            g_dpiColor[j][c] = ReadInt(section, DpiColorKey(j, c), DpiValue, source);
        }
        g_dpiColorRef[j] = DpiDisplayColor(g_dpiColor[j][0], g_dpiColor[j][1], g_dpiColor[j][2]);
    }

    g_ledType = LowByte(ReadInt(section, QStringLiteral("LED_TYPE"), ShortValue, source));
    g_ledCycTime = LowByte(ReadInt(section, QStringLiteral("LED_CYC_TIME"), ShortValue, source));
    g_cyc7ColEn = LowByte(ReadInt(section, QStringLiteral("CYC_7COL_EN"), ShortValue, source));
    for (int b = 0; b < CycleColorCount; ++b) {
        g_cycColorOn[b] = (g_cyc7ColEn >> b) & 1u;
    }
    g_dpiSpeed = LowByte(ReadInt(section, QStringLiteral("DPI_SPEED"), ShortValue, source));
    g_wheelSpeed = LowByte(ReadInt(section, QStringLiteral("WHEEL_SPEED"), ShortValue, source));
    g_usbSpeed = LowByte(ReadInt(section, QStringLiteral("USB_SPEED"), ShortValue, source));
    g_fireTime = ReadInt(section, QStringLiteral("FIRE_TIME"), ShortValue, source);
}

}  // namespace

void OnReadConfig(QString path, int n, bool fromReset) {
    LoadConfig(SourceOf(path), n, fromReset);
}

void OnReadConfigText(const QByteArray& content, int n, bool fromReset) {
    const platform::ini::Document document = platform::ini::Document::Parse(content);
    LoadConfig(Source{QString(), &document}, n, fromReset);
}

bool SaveAllConfigs(QString path, int /*n*/) {
    // One transaction of 188 writes: the file is replaced once instead of once per value.
    std::vector<platform::ProfileWrite> writes;
    writes.reserve(ProfileCount * (ButtonSlotCount + 3 + 5 * DpiLevelCount + 7));
    const auto add = [&](const QString& section, const QString& key, long long value) {
        writes.push_back({section, key, platform::FormatInt(value)});
    };
    for (int r = 0; r < ProfileCount; ++r) {
        g_strCfgSection = Numbered(QStringLiteral("Config"), r + 1);
        const QString section = g_strCfgSection;

        for (int k = 0; k < ButtonSlotCount; ++k) {
            add(section, KKey(k), CurrentButtonCodeTranslation().forFile(path, KeyFunc[r][k]));
        }
        add(section, QStringLiteral("MODE_STATUS"), Signed(g_modeStatus));
        add(section, QStringLiteral("DPI_LEVEL"), Signed(g_dpiLevel));
        add(section, QStringLiteral("WHEEL_STATUS"), Signed(g_wheelStatus));
        for (int j = 0; j < DpiLevelCount; ++j) {
            add(section, DpiSetKey(j), g_dpiSet[j]);
            add(section, DpiSetEnKey(j), g_dpiSetEn[j] ? 1 : 0);
            for (int c = 0; c < 3; ++c) {
                add(section, DpiColorKey(j, c), Signed(g_dpiColor[j][c]));
            }
        }
        // The colours as the colour page shows them: a switch or an export after an edit there
        // must not bring back the mask of the last Apply.
        add(section, QStringLiteral("CYC_7COL_EN"), CycleColorMask());
        add(section, QStringLiteral("LED_TYPE"), g_ledType.load());
        add(section, QStringLiteral("LED_CYC_TIME"), g_ledCycTime.load());
        add(section, QStringLiteral("DPI_SPEED"), g_dpiSpeed);
        add(section, QStringLiteral("WHEEL_SPEED"), g_wheelSpeed);
        add(section, QStringLiteral("USB_SPEED"), g_usbSpeed);
        add(section, QStringLiteral("FIRE_TIME"), Signed(g_fireTime));
    }
    return SaveIniWrites(writes, path);
}

bool SaveDpiLevel(QString path, int n) {
    g_strCfgSection = Numbered(QStringLiteral("Config"), n);
    return WriteInt(g_strCfgSection, QStringLiteral("DPI_LEVEL"), Signed(g_dpiLevel), path);
}

bool SaveCurConfig(QString path, int n) {
    return WriteInt(InitSection, QStringLiteral("CurConfig"), n, path);
}

bool SaveLangSel(QString path, std::uint8_t language) {
    return WriteInt(InitSection, QStringLiteral("LANG_SEL"), language, path);
}

void SetConfigStandIn(const QString& path, const QByteArray& content) {
    g_standInPath = path;
    g_standIn = path.isEmpty() ? nullptr
                               : std::make_unique<const platform::ini::Document>(
                                     platform::ini::Document::Parse(content));
}
