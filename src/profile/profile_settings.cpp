#include "profile/profile_settings.h"

std::array<std::array<std::int32_t, KeyFuncColumns>, ProfileCount> KeyFunc{};

std::int32_t g_curConfig = 0;
std::atomic<std::int32_t> g_curConfigIdx{0};

std::uint8_t g_langSel = 0;

std::uint32_t g_modeStatus = 0;
std::uint32_t g_dpiLevel = 0;
std::uint32_t g_wheelStatus = 0;
std::array<std::uint8_t, DpiLevelCount> g_dpiSet{};
std::array<bool, DpiLevelCount> g_dpiSetEn{};
std::array<std::array<std::uint32_t, 3>, DpiLevelCount> g_dpiColor{};
std::array<COLORREF, DpiLevelCount> g_dpiColorRef{};
std::uint8_t g_cyc7ColEn = 0;
std::array<std::atomic<std::uint32_t>, CycleColorCount> g_cycColorOn{};
std::atomic<std::uint8_t> g_ledType{0};
std::atomic<std::uint8_t> g_ledCycTime{0};
std::uint8_t g_dpiSpeed = 0;
std::uint8_t g_wheelSpeed = 0;
std::uint8_t g_usbSpeed = 0;
std::uint32_t g_fireTime = 50;

QString g_strCfgSection;

namespace {

std::uint32_t Channel(std::uint32_t level) {
    return (255u - ((level << 4) & 0xFFu)) & 0xFFu;
}

}  // namespace

COLORREF DpiDisplayColor(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return Channel(r) | (Channel(g) << 8) | (Channel(b) << 16);
}

std::uint8_t CycleColorMask() {
    std::uint8_t mask = 0;
    for (int b = 0; b < CycleColorCount; ++b) {
        if (g_cycColorOn[static_cast<std::size_t>(b)].load() != 0) {
            mask = static_cast<std::uint8_t>(mask | (1u << b));
        }
    }
    return mask;
}
