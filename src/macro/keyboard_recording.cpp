// The recording state machine and the pre-translation's rules that need no window.
#include "macro/keyboard_recording.h"

#include "common/key_codes.h"
#include "macro/macro_record.h"
#include "macro/step_lines.h"
#include "platform/clock.h"

#include <algorithm>
#include <chrono>

std::int32_t g_recMacro = 0;
std::int32_t g_recStepCount = 0;
std::array<std::uint8_t, RecordMaxHeldKeys> g_recHeldKeys{};
std::int32_t g_recHeldCount = 0;
std::uint32_t g_recLastMsg = 0;
std::uint32_t g_recLastWParam = 0;
SystemTime g_lastTime{};
std::uint32_t g_lastMs = 0;
std::int32_t g_hitListScroll = 0;

namespace {

constexpr std::int64_t MillisecondsPerDay = 86'400'000;
constexpr int MaxElapsed = 65535;
constexpr std::uint16_t NewestStepDelay = 20;

SystemTime ToSystemTime(std::int64_t utcMs) {
    using namespace std::chrono;
    const sys_time<milliseconds> at{milliseconds{utcMs}};
    const sys_days day = floor<days>(at);
    const year_month_day date{day};
    const hh_mm_ss time{at - day};
    SystemTime t{};
    t.year = static_cast<std::uint16_t>(static_cast<int>(date.year()));
    t.month = static_cast<std::uint16_t>(static_cast<unsigned>(date.month()));
    t.dayOfWeek = static_cast<std::uint16_t>(weekday{day}.c_encoding());
    t.day = static_cast<std::uint16_t>(static_cast<unsigned>(date.day()));
    t.hour = static_cast<std::uint16_t>(time.hours().count());
    t.minute = static_cast<std::uint16_t>(time.minutes().count());
    t.second = static_cast<std::uint16_t>(time.seconds().count());
    t.milliseconds = static_cast<std::uint16_t>(time.subseconds().count());
    return t;
}

bool IsPress(std::uint32_t message) {
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
}

bool IsKeyMessage(std::uint32_t message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
           message == WM_SYSKEYUP;
}

void Remember(std::uint32_t message, std::uint32_t vk) {
    g_recLastMsg = message;
    g_recLastWParam = vk;
}

// Takes vk out of the held keys; false when it is not among them.
bool ReleaseHeldKey(std::uint8_t vk) {
    const int held = std::clamp(g_recHeldCount, 0, RecordMaxHeldKeys);
    for (int i = 0; i < held; ++i) {
        if (g_recHeldKeys[static_cast<std::size_t>(i)] == vk) {
            for (int j = i; j + 1 < held; ++j) {
                g_recHeldKeys[static_cast<std::size_t>(j)] =
                    g_recHeldKeys[static_cast<std::size_t>(j + 1)];
            }
            g_recHeldKeys[static_cast<std::size_t>(held - 1)] = 0;
            g_recHeldCount = held - 1;
            return true;
        }
    }
    return false;
}

}  // namespace

int ElapsedMilliseconds() {
    const std::int64_t utc = platform::UtcMilliseconds();
    g_lastTime = ToSystemTime(utc);
    const std::int64_t t =
        ((g_lastTime.hour * 60 + g_lastTime.minute) * 60 + g_lastTime.second) * std::int64_t{1000} +
        g_lastTime.milliseconds;
    std::int64_t d = t - static_cast<std::int64_t>(g_lastMs);
    g_lastMs = static_cast<std::uint32_t>(t);
    if (d < 0) {
        d += MillisecondsPerDay;  // midnight has passed
    }
    return static_cast<int>(std::min<std::int64_t>(d, MaxElapsed));
}

void StartRecording(int s, const QString& name) {
    if (s < 0 || s >= MaxUserMacros) {
        return;
    }
    g_recording = 1;
    g_recHeldKeys.fill(0);
    g_recHeldCount = 0;
    g_recMacro = s;
    g_keyDownSteps = 0;
    g_keyUpSteps = 0;
    g_recStepCount = 0;
    MacroRecord& r = g_macros[static_cast<std::size_t>(s)];
    r = g_macros[SpareMacroSlot];
    ClearMacro(g_macros, static_cast<std::uint8_t>(s));
    r.mode = 0;
    // The repeat box shows 1 (disabled) for a fresh recording; the mouse must play it that often.
    r.repeatCount = 1;
    SetMacroName(r, name);
    g_curMacro = s;
}

void StopRecording() {
    g_recording = 0;
    if (g_recMacro >= 0 && g_recMacro < MaxUserMacros) {
        g_macros[static_cast<std::size_t>(g_recMacro)].stepCount =
            static_cast<std::uint16_t>(g_recStepCount & 0xFFFF);
    }
}

RecordedKey RecordKeyMessage(std::uint32_t message, std::uint32_t vk,
                             const AddStepLineFunction& addStepLine) {
    if (!IsKeyMessage(message)) {
        return RecordedKey::Tail;
    }
    // A key held down repeats its press: only the first one counts.
    if (message == g_recLastMsg && vk == g_recLastWParam) {
        Remember(message, vk);
        return RecordedKey::Tail;
    }
    if (g_recStepCount >= RecordMaxSteps) {
        Remember(message, vk);
        return RecordedKey::Tail;
    }
    const bool press = IsPress(message);
    if (press && (g_keyDownSteps >= RecordMaxPresses || g_recHeldCount >= RecordMaxHeldKeys)) {
        return RecordedKey::Standard;
    }
    if (g_recMacro < 0 || g_recMacro >= MaxUserMacros) {
        return RecordedKey::Standard;
    }
    const std::uint8_t key = static_cast<std::uint8_t>(vk & 0xFF);
    // A release counts only for a key pressed during this recording (not one held since before
    // its start, nor a press that a limit refused).
    if (!press && !ReleaseHeldKey(key)) {
        return RecordedKey::Standard;
    }
    const int n = g_recStepCount;
    const auto k = static_cast<std::size_t>(n);
    MacroRecord& r = g_macros[static_cast<std::size_t>(g_recMacro)];
    r.stepCode[k] = VkToHidUsage(key);
    if (press) {
        r.stepType[k] = StepTypePress;
        g_recHeldKeys[static_cast<std::size_t>(g_recHeldCount)] = key;
        ++g_recHeldCount;
    } else {
        r.stepType[k] = StepTypeRelease;
    }
    const int d = ElapsedMilliseconds();
    if (n > 0) {
        r.stepDelay[k - 1] = static_cast<std::uint16_t>(d);
        r.stepDelay[k] = NewestStepDelay;
    }
    r.stepParam[k] = {0, 0};
    if (addStepLine) {
        addStepLine(g_recMacro, n);
    }
    ++g_recStepCount;
    Remember(message, vk);
    return RecordedKey::Tail;
}

bool TailConsumesKey(std::uint32_t message, std::uint32_t vk) {
    if (message == WM_KEYDOWN && (vk == VK_ESCAPE || vk == VK_RETURN)) {
        return true;
    }
    return IsKeyMessage(message) && vk == VK_F10;
}

void RefreshCommandState(int stepListSelection, int nameListSelection) {
    g_stepListSel = stepListSelection;
    g_stepListCurSel = stepListSelection;
    g_cmdMacro = std::min(nameListSelection, MaxCommandMacro);
    g_cmdStep = g_stepListCurSel / 2;
}

int ListRowAt(int scroll, int itemHeight, int listTop, int pointY) {
    if (itemHeight == 0) {
        return 0;
    }
    return (scroll * itemHeight - listTop + pointY) / itemHeight;
}
