// A whole Apply of the shipped config.ini with twelve full macros bound, checked byte for byte
// against an image computed here from the file's text and the macros, on its own terms.
#include <gtest/gtest.h>

#include <QFile>
#include <QMap>
#include <QTextStream>

#include "common/paths.h"
#include "device/apply_settings.h"
#include "profile/profile_settings.h"
#include "support/apply_fixture.h"

namespace {

using testing_support::ApplyFixture;
using Bytes = std::vector<std::uint8_t>;

// section -> key -> value, read plainly from the file.
QMap<QString, QMap<QString, int>> ParseIni(const QString& path) {
    QMap<QString, QMap<QString, int>> ini;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QString section;
    for (const QString& raw : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            section = line.mid(1, line.indexOf(QLatin1Char(']')) - 1);
        } else if (line.contains(QLatin1Char('='))) {
            ini[section][line.section(QLatin1Char('='), 0, 0)] =
                line.section(QLatin1Char('='), 1).toInt();
        }
    }
    return ini;
}

// Macro m: 180 steps; the first 50 are X/Y moves of every sign, then key presses and releases,
// every fifth of them a pure delay. Modes cycle 0, 1, 2.
MacroRecord FullMacro(int m) {
    MacroRecord r{};
    r.mode = static_cast<std::uint8_t>(m % 3);
    r.repeatCount = static_cast<std::uint16_t>(m + 2);
    for (int i = 0; i < 180; ++i) {
        r.stepDelay[i] = static_cast<std::uint16_t>((i * 37 + m * 11) % 400);
        if (i < 50) {
            r.stepCode[i] = StepCodeXyMove;
            r.stepType[i] = static_cast<std::uint8_t>(3 + i % 4);
            r.stepParam[i] = {static_cast<std::uint16_t>(i % 30 + 1),
                              static_cast<std::uint16_t>((i + m) % 30 + 1)};
            ++r.xyCount;
        } else if (i % 5 == 0) {
            r.stepCode[i] = StepCodeDelay;
        } else {
            r.stepCode[i] = static_cast<std::uint8_t>(0x04 + (i + m) % 26);
            r.stepType[i] = static_cast<std::uint8_t>(1 + i % 2);
        }
    }
    r.stepCount = 180;
    return r;
}

std::uint8_t DeviceCode(int f, const std::vector<MacroRecord>& macros) {
    if (f <= 11)
        return static_cast<std::uint8_t>(f);
    if (f <= 17)
        return static_cast<std::uint8_t>(f - 5);
    if (f == 23)
        return 0;
    if (f <= 24)
        return static_cast<std::uint8_t>(f + 4);
    if (f <= 39)
        return 0x0F;
    return macros[f - 50].mode == 2 ? 0x0E : 0x0D;
}

void Put(Bytes& image, int at, std::initializer_list<int> bytes) {
    for (int b : bytes)
        image[at++] = static_cast<std::uint8_t>(b);
}

Bytes ExpectedBody(const MacroRecord& r) {
    Bytes body;
    const int header = (r.mode == 1 || r.mode == 2) ? 1 : r.repeatCount;
    body.push_back(static_cast<std::uint8_t>(header));
    body.push_back(static_cast<std::uint8_t>(header >> 8));
    for (int i = 0; i < r.stepCount; ++i) {
        int d = r.stepDelay[i] / 2;
        d = d < 1 ? 1 : d > 127 ? 127 : d;
        const int x = r.stepParam[i].x;
        const int y = r.stepParam[i].y;
        if (r.stepCode[i] == StepCodeXyMove) {
            const int sx = (r.stepType[i] == 3 || r.stepType[i] == 4) ? -x : x;
            const int sy = (r.stepType[i] == 3 || r.stepType[i] == 5) ? -y : y;
            for (int v : {d, 0xF6, sx & 0xFF, (sx >> 8) & 0xFF, sy & 0xFF, (sy >> 8) & 0xFF}) {
                body.push_back(static_cast<std::uint8_t>(v));
            }
        } else if (r.stepCode[i] == StepCodeDelay) {
            body.push_back(static_cast<std::uint8_t>(d));
            body.push_back(0);
        } else {
            body.push_back(static_cast<std::uint8_t>(r.stepType[i] == 1 ? (d | 0x80) : d));
            body.push_back(r.stepCode[i]);
        }
    }
    const int size = ((2 * (r.stepCount + 2 * r.xyCount) + 2) + 7) / 8 * 8;
    body.resize(size, 0);
    return body;
}

class ApplyFullImageTest : public ApplyFixture {};

TEST_F(ApplyFullImageTest, ShippedConfigWithTwelveFullMacros) {
    std::vector<MacroRecord> macros;
    for (int m = 0; m < 12; ++m) {
        macros.push_back(FullMacro(m));
        g_macros[m] = macros.back();
    }
    g_macroCount = 12;
    // Profile 1 and 2 bind six macros each on slots 1..6; slot 0 keeps the left click.
    for (int k = 1; k < 7; ++k) {
        KeyFunc[0][k] = 50 + (k - 1);
        KeyFunc[1][k] = 56 + (k - 1);
    }
    const auto ini = ParseIni(g_strConfigIni);
    const auto& cfg = ini[QStringLiteral("Config1")];
    int keyFunc[4][7];
    for (int c = 0; c < 4; ++c) {
        for (int k = 0; k < 7; ++k) {
            keyFunc[c][k] =
                c < 2 && k > 0
                    ? KeyFunc[c][k]
                    : ini[QStringLiteral("Config%1").arg(c + 1)][QStringLiteral("K%1").arg(k)];
        }
    }

    Bytes expected(0x4000, 0);
    const int deviceButton[7] = {1, 2, 3, 4, 5, 6, 8};
    const int dpiCode[12] = {1, 2, 3, 4, 5, 6, 7, 9, 11, 13, 14, 15};
    expected[0x001] = 0x02;
    const int rowAt[4] = {0x008, 0x044, 0x050, 0x060};
    for (int c = 0; c < 4; ++c) {
        for (int k = 0; k < 7; ++k) {
            expected[rowAt[c] + deviceButton[k] - 1] = DeviceCode(keyFunc[c][k], macros);
        }
    }
    auto v = [&](const char* key) { return cfg[QString::fromLatin1(key)]; };
    auto dpi = [&](int j) { return dpiCode[cfg[QStringLiteral("DPI_SET%1").arg(j)]]; };
    int mask = 0;
    for (int j = 0; j < 6; ++j) {
        mask |= (cfg[QStringLiteral("DPI_SET_EN%1").arg(j)] != 0) << j;
    }
    const int ledType = v("LED_TYPE");
    const int ledValue = ledType == 2 ? 6 : ledType == 3 ? 7 : v("LED_CYC_TIME");
    const int rates[4] = {7, 3, 1, 0};
    Put(expected, 0x013,
        {0x3F, v("WHEEL_STATUS"), dpi(0) << 4 | dpi(1), dpi(2) << 4 | dpi(3), dpi(4) << 4 | dpi(5),
         v("DPI_LEVEL"), mask, v("FIRE_TIME") & 0xFF, (v("FIRE_TIME") >> 8) & 7,
         0x80 + ((ledType != 0) << 4) + ledValue, v("CYC_7COL_EN"),
         v("USB_SPEED") < 4 ? rates[v("USB_SPEED")] : 1});
    for (int j = 0; j < 6; ++j) {
        for (int ch = 0; ch < 3; ++ch) {
            expected[0x020 + 3 * j + ch] = static_cast<std::uint8_t>(
                cfg[QStringLiteral("DPI%1_%2").arg(j).arg(QLatin1Char("RGB"[ch]))]);
        }
    }
    expected[0x043] = v("MODE_STATUS") == 0 ? 0xEE : 0xF3;

    int address = 0x240;
    for (int c = 0; c < 4; ++c) {
        for (int b = 1; b <= 14; ++b) {
            int f = -1;
            for (int k = 0; k < 7; ++k) {
                if (deviceButton[k] == b)
                    f = keyFunc[c][k];
            }
            if (f < 25 || f == 23)
                continue;
            const int entry = 0x80 + (14 * c + b - 1) * 8;
            if (f < 40) {  // the shipped file binds no media key, but keep the rule whole
                const int usage[11] = {0x223, 0x183, 0x18A, 0xE9,  0xEA, 0xB6,
                                       0xB5,  0xE2,  0xCD,  0x192, 0xB7};
                const int u = f - 25 < 11 ? usage[f - 25] : 0;
                Put(expected, entry,
                    {2, 0, 0xFF, u & 0xFF, u >> 8, address & 0xFF, address >> 8, 0});
                continue;
            }
            const MacroRecord& r = macros[f - 50];
            Put(expected, entry,
                {2, (r.stepCount & 0x7F) | (r.mode == 2 ? 0x80 : 0), 0xFF, 0, 0, address & 0xFF,
                 ((address >> 8) & 0x3F) | (r.mode == 1 ? 0x80 : 0), (r.stepCount >> 7) & 0x3F});
            const Bytes body = ExpectedBody(r);
            std::copy(body.begin(), body.end(), expected.begin() + address);
            address += static_cast<int>(body.size());
        }
    }
    ASSERT_LT(address, 0x4000);

    ApplySettings();
    const Bytes actual = Memory(0, 0x4000);
    for (int a = 1; a < address; ++a) {
        if (a >= 0x002 && a < 0x008)
            continue;  // never written
        ASSERT_EQ(actual[a], expected[a]) << "address 0x" << std::hex << a;
    }
    EXPECT_EQ(link_->mouse().ApplyCount(), 1);
}

}  // namespace
