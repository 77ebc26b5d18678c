// The profile store's data model: the button-function table KeyFunc of the four profiles and
// ProfileSettings, the current profile's other settings, held as separate globals as the rest
// of the program names them. config_store.h loads and saves them from config.ini.
//
// Owner and threads: everything here is user-interface thread state. The pages edit it, the
// settings writer reads it, and the device threads hand their DPI and profile follow-ups to
// the user-interface thread instead of touching it. The few values that other threads read
// on their own are atomics:
//   g_curConfigIdx              - MacroSendThd indexes the hold-function table with it;
//   g_ledType, g_ledCycTime,
//   g_cycColorOn                - the lighting preview thread follows them.
// Only the user-interface thread writes them.
#pragma once

#include <QString>
#include <array>
#include <atomic>
#include <cstdint>

// Four profiles, [Config1]..[Config4]; row p - 1 of KeyFunc and of every per-profile table.
inline constexpr int ProfileCount = 4;
// Columns of KeyFunc; only the first ButtonSlotCount carry a button (keys K0..K6).
inline constexpr int KeyFuncColumns = 12;
inline constexpr int ButtonSlotCount = 7;
// DPI levels 0..5 (keys DPI_SET<j>, DPI_SET_EN<j>, DPI<j>_R/_G/_B).
inline constexpr int DpiLevelCount = 6;
// Colours of the LED cycle, bits 0..6 of CYC_7COL_EN.
inline constexpr int CycleColorCount = 7;

// COLORREF: 0x00BBGGRR, red in the low byte.
using COLORREF = std::uint32_t;

// Button function code per profile row and button slot (the value of K<slot>).
extern std::array<std::array<std::int32_t, KeyFuncColumns>, ProfileCount> KeyFunc;

// The factory button row of profile 1 (slots 0..6), used by the factory restore.
inline constexpr std::array<std::int32_t, ButtonSlotCount> g_defaultKeyFunc = {1, 2,  3, 4,
                                                                               5, 17, 16};

// Current profile: number 1..4 and its row 0..3 (always g_curConfig - 1).
extern std::int32_t g_curConfig;
extern std::atomic<std::int32_t> g_curConfigIdx;

// UI language from [Init] LANG_SEL: 1 English, any other value Chinese.
extern std::uint8_t g_langSel;

// ProfileSettings: the values of the current profile's section, by config.ini key.
extern std::uint32_t g_modeStatus;                        // MODE_STATUS, 0/1
extern std::uint32_t g_dpiLevel;                          // DPI_LEVEL, 0..5
extern std::uint32_t g_wheelStatus;                       // WHEEL_STATUS, 0/1
extern std::array<std::uint8_t, DpiLevelCount> g_dpiSet;  // DPI_SET<j>, step index 0..11
extern std::array<bool, DpiLevelCount> g_dpiSetEn;        // DPI_SET_EN<j>
// DPI<j>_R, _G, _B: inverted 4-bit channel levels, 0 = full channel, 15 = darkest.
extern std::array<std::array<std::uint32_t, 3>, DpiLevelCount> g_dpiColor;
// Display colour of each level, derived from g_dpiColor (and set by the colour dialog).
extern std::array<COLORREF, DpiLevelCount> g_dpiColorRef;
extern std::uint8_t g_cyc7ColEn;  // CYC_7COL_EN as last read or rebuilt by Apply
// The colour page's flags of the seven cycle colours (0/1); Apply rebuilds the mask from them.
extern std::array<std::atomic<std::uint32_t>, CycleColorCount> g_cycColorOn;
// The mask of the cycle colours that the colour page shows switched on (bit b = colour b): what
// Apply sends and what every save writes as CYC_7COL_EN.
std::uint8_t CycleColorMask();
extern std::atomic<std::uint8_t> g_ledType;     // LED_TYPE, 0..3
extern std::atomic<std::uint8_t> g_ledCycTime;  // LED_CYC_TIME, 0..5
extern std::uint8_t g_dpiSpeed;                 // DPI_SPEED, pointer speed step 0..9
extern std::uint8_t g_wheelSpeed;               // WHEEL_SPEED, scroll step 0..9
extern std::uint8_t g_usbSpeed;                 // USB_SPEED, report-rate choice 0..3
extern std::uint32_t g_fireTime;                // FIRE_TIME, 0..300; 50 until read

// The section the last load or save addressed ("Config<n>" or "CfgReset<n>").
extern QString g_strCfgSection;

// The colour shown for a level stored as inverted 4-bit channels: 255 - 16v per channel,
// kept to a byte whatever a file holds.
COLORREF DpiDisplayColor(std::uint32_t r, std::uint32_t g, std::uint32_t b);
