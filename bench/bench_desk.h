// The simulated mouse on a desk for the benchmarks: real sleeps, a copy of the shipped
// config.ini in a temporary folder, the mouse opened and the current profile loaded; and the
// sum of the pauses the mouse's protocol mandates for what it received (6 ms per write run,
// 8 ms for the one-byte read, 4 ms before the closing commands).
#pragma once

#include <QFile>
#include <QTemporaryDir>

#include "common/paths.h"
#include "device/discovery.h"
#include "platform/pointer.h"
#include "platform/simulated_mouse.h"
#include "profile/config_store.h"
#include "profile/profile_settings.h"

namespace bench {

class NoPointer final : public platform::PointerSettings {
public:
    bool GetMouseSpeed(int&) override { return false; }
    bool SetMouseSpeed(int) override { return false; }
    bool GetWheelScrollLines(int&) override { return false; }
    bool SetWheelScrollLines(int) override { return false; }
};

inline const QString ShippedConfigIni =
    QStringLiteral(ZELBO_SOURCE_DIR "/data/program/skins/INI_CFG/config.ini");

// config.ini as shipped, at path (replacing what is there).
inline void CopyShippedConfig(const QString& path) {
    QFile::remove(path);
    QFile::copy(ShippedConfigIni, path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

struct Desk {
    Desk() {
        g_strConfigIni = dir.filePath(QStringLiteral("config.ini"));
        g_strMacroFile = dir.filePath(QStringLiteral("Macro_EN.dat"));
        CopyShippedConfig(g_strConfigIni);
        platform::SetHidBackend(&mouse);
        platform::SetPointerSettings(&pointer);
        FillDevIds();
        OpenDevice();
        ReadInitSection(g_strConfigIni);
        OnReadConfig(g_strConfigIni, g_curConfig, false);
    }
    ~Desk() {
        g_hDevInput.Store(nullptr);
        g_hDevFeature.Store(nullptr);
        UnregisterDeviceNotification();
        platform::SetHidBackend(nullptr);
        platform::SetPointerSettings(nullptr);
    }
    QTemporaryDir dir;
    platform::SimulatedMouse mouse{BuiltInMouseAttributes()};
    NoPointer pointer;
};

inline double MandatedPauseMs(const platform::SimulatedMouse& mouse) {
    int commits = 0;
    for (const platform::SimulatedReport& r : mouse.Trace()) {
        if (r.direction == platform::SimulatedReport::Direction::Set && r.bytes.size() >= 3 &&
            r.bytes[1] == 0x18 && r.bytes[2] == 0x09) {
            ++commits;
        }
    }
    return commits * 6.0 + 8.0 + 4.0;
}

}  // namespace bench
