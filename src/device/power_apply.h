// What a power notification does to the mouse: what the last Apply wrote is written again,
// before the machine sleeps and after it woke up, with the recoil adjustments made since and on
// the profile the mouse last reported (it may have switched by itself since the Apply). An edit
// not yet applied is neither sent nor saved: a power event saves nothing. Across a sleep the
// mouse may have been reset or even come back as a new device node, so after a wake-up it is
// searched for and opened afresh first: the image goes to the mouse that is there now, not to a
// handle of the one that went to sleep. User-interface thread only, like ApplySettings.
#pragma once

#include <cstdint>

// WM_POWERBROADCAST events, as the window receives them.
inline constexpr std::uintptr_t PBT_APMSUSPEND = 0x0004;
inline constexpr std::uintptr_t PBT_APMRESUMESUSPEND = 0x0007;
inline constexpr std::uintptr_t PBT_APMRESUMEAUTOMATIC = 0x0012;

// For every event, whatever it is: the last applied settings again (nothing before the first
// Apply); a resume event first opens the mouse again (OpenDevice). A mouse that is not found is
// written to as ever: silently, to nobody.
void ApplySettingsOnPowerEvent(std::uintptr_t event);
