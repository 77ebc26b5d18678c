// The mouse's own codes for the program's settings: button codes with the per-button flag
// tables the device threads read, DPI codes, the LED, mode and report-rate bytes, and the
// settings blocks 0x008..0x07F of the device memory map. Pure translation; the settings writer
// fills the tables on the user-interface thread, the device threads read the flag tables.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "profile/profile_settings.h"

// Device buttons 1..14 of each profile; only 1..6 and 8 have a button slot.
inline constexpr int DeviceButtonCount = 14;

// Device button number of button slot 0..6 (K0..K6); buttons 7 and 9..14 have no slot.
inline constexpr std::array<std::uint8_t, ButtonSlotCount> g_devButtonNo = {1, 2, 3, 4, 5, 6, 8};

// Device DPI code of each DPI step 0..11.
inline constexpr std::array<std::uint8_t, 12> DpiCodeTable = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06,
                                                              0x07, 0x09, 0x0B, 0x0D, 0x0E, 0x0F};

// Device button codes that need a key entry.
inline constexpr std::uint8_t ButtonCodeMacro = 0x0D;
inline constexpr std::uint8_t ButtonCodeMacroMode2 = 0x0E;
inline constexpr std::uint8_t ButtonCodeMedia = 0x0F;

struct ButtonTranslation {
    std::uint8_t code = 0;
    bool dpi = false;      // the mouse switches DPI on it and reports the new level
    bool profile = false;  // the mouse switches profile on it
    bool hold = false;     // the host relays the hold function
};

// DeviceButtonCode of function f. macroMode is the mode byte of the macro f names (only read
// for 40 and above). Codes outside the table (a hand-edited file) give "no function".
ButtonTranslation TranslateButtonFunction(int f, std::uint8_t macroMode);

// DpiCodeTable of a DPI step; a step beyond the table (a hand-edited file) takes the highest.
std::uint8_t DpiCodeOf(std::uint8_t dpiStep);
// USB_SPEED 0..3 as the mouse's report-rate code.
std::uint8_t ReportRateCode(std::uint8_t usbSpeed);
// The byte at 0x043 from MODE_STATUS.
std::uint8_t ModeByte(std::uint32_t modeStatus);
// The pointer speed (Windows scale) of DPI_SPEED.
int PointerSpeedOf(std::uint8_t dpiSpeed);

// What the settings blocks are made of, gathered from the profile state by the writer.
struct SettingsBlockInput {
    std::array<std::array<std::uint8_t, DeviceButtonCount>, ProfileCount> buttonCodes{};
    std::uint32_t wheelStatus = 0;
    std::array<std::uint8_t, 6> dpiCode{};
    std::uint32_t dpiLevel = 0;
    std::uint8_t dpiMask = 0;
    std::uint32_t fireTime = 0;
    std::uint8_t ledByte = 0;
    std::uint8_t cycleMask = 0;
    std::uint8_t reportRate = 0;
    std::array<std::array<std::uint32_t, 3>, 6> dpiColor{};
    std::uint32_t modeStatus = 0;
};

// Bytes 0x000..0x07F of the image (the first eight are not written by the writer).
std::array<std::uint8_t, 0x80> BuildSettingsBlocks(const SettingsBlockInput& in);

// Tables the writer leaves for the other parts of the program. The flag tables are read by the
// device threads while an Apply may rewrite them, hence atomic.
extern std::array<std::array<std::uint8_t, DeviceButtonCount>, ProfileCount> g_devKeyCodeUi;
extern std::array<std::array<std::uint8_t, DeviceButtonCount>, ProfileCount> g_devKeyCodeDev;
extern std::array<std::array<std::uint32_t, DeviceButtonCount>, ProfileCount> g_devFuncDev;
extern std::atomic<std::uint32_t> g_btnIsDpiFunc[ProfileCount][ButtonSlotCount];
extern std::atomic<std::uint32_t> g_btnIsProfileFunc[ProfileCount][ButtonSlotCount];
extern std::atomic<std::uint32_t> g_btnIsHoldFunc[ProfileCount][ButtonSlotCount];
extern std::array<std::uint8_t, 6> g_dpiCode;
extern std::uint32_t g_usbSpeedCode;
extern std::uint8_t g_ledOnFlag;
extern std::atomic<std::uint8_t> g_settingsApplied;

// Body placement left by the last Apply: address per (profile, device button), the size of the
// body that Apply wrote there (0 when it wrote none for that button), and the recoil body of
// profile 1's first button. Which user macro each first button plays is in macro_bindings.h.
extern std::array<std::array<std::uint32_t, 12>, ProfileCount> g_macroDevAddr;
extern std::array<std::array<std::uint32_t, 12>, ProfileCount> g_macroDevBodySize;
extern std::array<std::uint32_t, 12> g_macroDevSize;
extern std::uint32_t g_boundMacroSize;
extern std::uint32_t g_boundMacroAddr;
// The profile row the mouse works with as far as the program knows: the one the last Apply
// sent, or the one the mouse reported switching to since. The window's current profile may be
// another (a profile chosen in the window reaches the mouse at the next Apply). UI thread.
extern int g_mouseProfileIdx;
