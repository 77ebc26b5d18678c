// Recording a user macro from the keyboard: between a start and a stop every key press and
// release the window is handed becomes a key step of the macro, with the time to the next key as
// its delay. Also the rule that keeps Esc, Enter and F10 from acting on the window. This module
// owns the recording's state below; g_recording and the macro tables are macro_record.h's, the
// line counters step_lines.h's. User-interface thread only.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <functional>

// Key messages as the keyboard reports them (the Windows message numbers the state keeps).
inline constexpr std::uint32_t WM_KEYDOWN = 0x0100;
inline constexpr std::uint32_t WM_KEYUP = 0x0101;
inline constexpr std::uint32_t WM_SYSKEYDOWN = 0x0104;
inline constexpr std::uint32_t WM_SYSKEYUP = 0x0105;

inline constexpr std::uint8_t VK_RETURN = 0x0D;
inline constexpr std::uint8_t VK_ESCAPE = 0x1B;
inline constexpr std::uint8_t VK_F10 = 0x79;

// Limits of one recording: steps (not the 180 of a macro), key-press lines, keys held at once.
inline constexpr int RecordMaxSteps = 110;
inline constexpr int RecordMaxPresses = 55;
inline constexpr int RecordMaxHeldKeys = 9;

// The calendar time as the system reports it (UTC), field by field.
struct SystemTime {
    std::uint16_t year;
    std::uint16_t month;      // 1..12
    std::uint16_t dayOfWeek;  // 0 Sunday
    std::uint16_t day;
    std::uint16_t hour;
    std::uint16_t minute;
    std::uint16_t second;
    std::uint16_t milliseconds;
};

extern std::int32_t g_recMacro;      // index of the macro being recorded
extern std::int32_t g_recStepCount;  // steps recorded so far, at most 110
extern std::array<std::uint8_t, RecordMaxHeldKeys> g_recHeldKeys;  // held keys, in press order
extern std::int32_t g_recHeldCount;    // entries in use in g_recHeldKeys
extern std::uint32_t g_recLastMsg;     // the last key message taken ...
extern std::uint32_t g_recLastWParam;  // ... and its key code (the auto-repeat filter)
extern SystemTime g_lastTime;          // the time read by the last ElapsedMilliseconds call
extern std::uint32_t g_lastMs;         // that time as milliseconds since midnight
extern std::int32_t g_hitListScroll;   // scroll position read by the last right-click hit test

// Milliseconds since the previous call, 0..65535, from the calendar clock of the clock in force;
// a call after midnight UTC still gives the true difference.
int ElapsedMilliseconds();

// Empties macro s for a recording: it keeps name (the name list's line) and has mode 0, repeat
// count 1 (what the repeat box shows) and no steps. Sets the recording state (g_recording,
// g_recMacro, g_curMacro, the held keys and both line counters). s must be a user slot 0..11.
void StartRecording(int s, const QString& name);
// Ends the recording: the macro's step count becomes the steps recorded. Nothing is saved.
void StopRecording();

// What the window does with a key message after the recording has seen it.
enum class RecordedKey {
    Tail,      // go on to the tail of the pre-translation (Esc, Enter, F10)
    Standard,  // hand it to the standard pre-translation (a refused press, an unmatched release)
};

// Appends the line(s) of step `step` of g_macros[macro] to the step list and counts a press in
// g_keyDownSteps (the step list's AddMacroStepLine).
using AddStepLineFunction = std::function<void(int macro, int step)>;

// The recording branch for one key message (message one of the four key messages, vk its
// virtual-key code): filters a held key's repeats, keeps the limits (110 steps, 55 presses,
// 9 held keys: a press while 9 are held is refused like a press beyond 55), takes a release only
// of a key pressed during the recording, and stores the step with the delay of the one before.
RecordedKey RecordKeyMessage(std::uint32_t message, std::uint32_t vk,
                             const AddStepLineFunction& addStepLine);

// The tail of the pre-translation: true when the key message is consumed without acting (a press
// of Esc or Enter, any key message of F10).
bool TailConsumesKey(std::uint32_t message, std::uint32_t vk);

// The command state after a right click over the advanced page: the lists' selections
// (-1 for none) become g_stepListSel, g_stepListCurSel, g_cmdMacro (at most 11) and g_cmdStep.
void RefreshCommandState(int stepListSelection, int nameListSelection);

// The line of a list under a point: rows of itemHeight pixels from the list's top, scrolled by
// scroll lines; 0 when the height is 0. Integer division, as the list computes it.
int ListRowAt(int scroll, int itemHeight, int listTop, int pointY);
