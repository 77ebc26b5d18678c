#include "device/settings_image.h"

std::array<std::array<std::uint8_t, DeviceButtonCount>, ProfileCount> g_devKeyCodeUi{};
std::array<std::array<std::uint8_t, DeviceButtonCount>, ProfileCount> g_devKeyCodeDev{};
std::array<std::array<std::uint32_t, DeviceButtonCount>, ProfileCount> g_devFuncDev{};
std::atomic<std::uint32_t> g_btnIsDpiFunc[ProfileCount][ButtonSlotCount]{};
std::atomic<std::uint32_t> g_btnIsProfileFunc[ProfileCount][ButtonSlotCount]{};
std::atomic<std::uint32_t> g_btnIsHoldFunc[ProfileCount][ButtonSlotCount]{};
std::array<std::uint8_t, 6> g_dpiCode{};
std::uint32_t g_usbSpeedCode = 1;
std::uint8_t g_ledOnFlag = 0;
std::atomic<std::uint8_t> g_settingsApplied{1};
std::array<std::array<std::uint32_t, 12>, ProfileCount> g_macroDevAddr{};
std::array<std::array<std::uint32_t, 12>, ProfileCount> g_macroDevBodySize{};
std::array<std::uint32_t, 12> g_macroDevSize{};
std::uint32_t g_boundMacroSize = 0;
std::uint32_t g_boundMacroAddr = 0;
int g_mouseProfileIdx = 0;

namespace {

std::uint8_t MacroCode(std::uint8_t macroMode) {
    return macroMode == 2 ? ButtonCodeMacroMode2 : ButtonCodeMacro;
}

}  // namespace

ButtonTranslation TranslateButtonFunction(int f, std::uint8_t macroMode) {
    ButtonTranslation t;
    if (f >= 0 && f <= 11) {
        t.code = static_cast<std::uint8_t>(f);
    } else if (f >= 12 && f <= 17) {
        t.code = static_cast<std::uint8_t>(f - 5);
    } else if ((f >= 18 && f <= 22) || f == 24) {
        t.code = static_cast<std::uint8_t>(f + 4);
        t.profile = true;
    } else if (f == 23) {
        t.hold = true;
    } else if (f >= 25 && f <= 39) {
        t.code = ButtonCodeMedia;
    } else if (f >= 40) {
        t.code = MacroCode(macroMode);
    }
    t.dpi = t.code == 6 || t.code == 11 || t.code == 12;
    return t;
}

std::uint8_t DpiCodeOf(std::uint8_t dpiStep) {
    return DpiCodeTable[dpiStep < DpiCodeTable.size() ? dpiStep : DpiCodeTable.size() - 1];
}

std::uint8_t ReportRateCode(std::uint8_t usbSpeed) {
    switch (usbSpeed) {
        case 0:
            return 7;
        case 1:
            return 3;
        case 2:
            return 1;
        case 3:
            return 0;
        default:
            return 1;
    }
}

std::uint8_t ModeByte(std::uint32_t modeStatus) {
    const std::uint32_t high = (modeStatus + 14) % 16;
    const std::uint32_t low = modeStatus == 0 ? 0xE : 0x3;
    return static_cast<std::uint8_t>((high << 4) | low);
}

int PointerSpeedOf(std::uint8_t dpiSpeed) {
    if (dpiSpeed == 0) {
        return 1;
    }
    return dpiSpeed <= 8 ? dpiSpeed * 2 : 18;
}

std::array<std::uint8_t, 0x80> BuildSettingsBlocks(const SettingsBlockInput& in) {
    std::array<std::uint8_t, 0x80> m{};
    // Profile 1 has room for device buttons 1..9, the others for 1..12.
    for (int b = 0; b < 9; ++b) {
        m[0x008 + b] = in.buttonCodes[0][b];
    }
    m[0x013] = 0x3F;
    m[0x014] = static_cast<std::uint8_t>(in.wheelStatus);
    m[0x015] = static_cast<std::uint8_t>((in.dpiCode[0] << 4) | (in.dpiCode[1] & 0x0F));
    m[0x016] = static_cast<std::uint8_t>((in.dpiCode[2] << 4) | (in.dpiCode[3] & 0x0F));
    m[0x017] = static_cast<std::uint8_t>((in.dpiCode[4] << 4) | (in.dpiCode[5] & 0x0F));
    m[0x018] = static_cast<std::uint8_t>(in.dpiLevel);
    m[0x019] = in.dpiMask;
    m[0x01A] = static_cast<std::uint8_t>(in.fireTime % 256);
    m[0x01B] = static_cast<std::uint8_t>((in.fireTime >> 8) & 7);
    m[0x01C] = in.ledByte;
    m[0x01D] = in.cycleMask;
    m[0x01E] = in.reportRate;
    for (int level = 0; level < 6; ++level) {
        for (int channel = 0; channel < 3; ++channel) {
            m[0x020 + level * 3 + channel] =
                static_cast<std::uint8_t>(in.dpiColor[level][channel] & 0xFF);
        }
    }
    m[0x043] = ModeByte(in.modeStatus);
    constexpr int ProfileButtonsAt[ProfileCount] = {0, 0x044, 0x050, 0x060};
    for (int c = 1; c < ProfileCount; ++c) {
        for (int b = 0; b < 12; ++b) {
            m[ProfileButtonsAt[c] + b] = in.buttonCodes[c][b];
        }
    }
    return m;
}
