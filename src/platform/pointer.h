// The desktop's pointer speed and wheel scroll lines, which the program sets from the profile
// on every Apply. Windows has one system setting for each; on Linux the X server offers pointer
// acceleration and nothing offers wheel lines, so a get call fails where the desktop has no such
// setting and the caller then skips the set, as it would on a Windows get failure.
// User-interface thread only.
#pragma once

namespace platform {

class PointerSettings {
public:
    virtual ~PointerSettings() = default;
    // Windows scale: speed 1..20 (10 is the neutral speed).
    virtual bool GetMouseSpeed(int& speed) = 0;
    virtual bool SetMouseSpeed(int speed) = 0;
    virtual bool GetWheelScrollLines(int& lines) = 0;
    virtual bool SetWheelScrollLines(int lines) = 0;
};

// The settings in force: the X server's pointer control where a display is reachable.
PointerSettings& CurrentPointerSettings();
// Installs another implementation (tests); nullptr restores the desktop's.
PointerSettings* SetPointerSettings(PointerSettings* settings);

}  // namespace platform
