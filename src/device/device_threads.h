// The two threads that follow the mouse's own events (input report 6). KeyMonitorThd is the
// only reader of input reports: button events raise the flags below, profile and recoil events
// are handed to the user-interface thread (recoil events that come while an adjustment waits
// there, or while its body is being written, join one adjustment). MacroSendThd polls the flags
// every 2 ms: it relays the hold function straight to the mouse and hands DPI and profile
// follow-ups to the user-interface thread. The profile queries these events call for are made on
// the device threads themselves. So the profile and macro tables keep one writer, the window
// never waits on the wire for the mouse's events, and every shared flag is atomic.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <stop_token>
#include <thread>

#include "device/ui_executor.h"

// InputReport6: id 6, the event, its argument.
inline constexpr std::uint8_t InputReportId = 6;
inline constexpr std::uint8_t EvtRecoilUp = 0x01;
inline constexpr std::uint8_t EvtRecoilDown = 0x02;
inline constexpr std::uint8_t EvtProfileChanged = 0x03;
inline constexpr std::uint8_t EvtButtonBase = 0xF0;  // 0xF0 + device button 1..15
inline constexpr std::uint8_t ButtonReleased = 0x80;

// The hold relay's state as one value, read once per pass, so that the relay never tests one
// button's pending press against another button's event: bits 0..7 the event byte of the press
// that last set g_btnEventPending (g_lastBtnEvent), HoldPressPending while a press waits for the
// relay (g_btnPressPending), HoldReleasePending while a release waits (g_btnReleasePending).
extern std::atomic<std::uint32_t> g_btnHoldState;
inline constexpr std::uint32_t HoldPressPending = 0x100;
inline constexpr std::uint32_t HoldReleasePending = 0x200;
// The press that waits for the DPI/profile handling, with its argument, as one value so the two
// never part: 0 when none, else PendingFlag | event << 8 | argument.
extern std::atomic<std::uint32_t> g_btnEventPending;
inline constexpr std::uint32_t PendingFlag = 0x10000;
// Last recoil direction: 1 up, 0 down.
extern std::atomic<std::uint32_t> g_recoilDir;

// What KeyMonitorThd does with one report read (exposed so the decision can be tested alone).
void HandleInputReport(const std::uint8_t* report, int length, const UiExecutor& ui);
// One pass of MacroSendThd without its pause.
void MacroSendPass(const UiExecutor& ui);

void KeyMonitorThd(std::stop_token stop, UiExecutor ui);

// Forgets what waits to be handed to the user-interface thread (a fresh start of the threads;
// work an earlier window never ran must not hold up the next one).
void ResetDeviceHandOver();
void MacroSendThd(std::stop_token stop, UiExecutor ui);

// Owns both threads; Stop (or destruction) signals them and waits for them to end.
class DeviceEventThreads {
public:
    DeviceEventThreads() = default;
    DeviceEventThreads(const DeviceEventThreads&) = delete;
    DeviceEventThreads& operator=(const DeviceEventThreads&) = delete;
    ~DeviceEventThreads() { Stop(); }

    void StartKeyMonitor(UiExecutor ui);
    void StartMacroSend(UiExecutor ui);
    void Stop();

private:
    std::jthread keyMonitor_;
    std::jthread macroSend_;
};
