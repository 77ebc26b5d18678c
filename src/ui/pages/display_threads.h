// The two threads that change only what the window shows. LedPreviewThd animates the colour
// page's preview swatch while that page is shown: in the colour-cycle lighting type it
// alternates between the off look and the next cycle colour that is on, at the speed of the
// cycle time. MainBlinkThd repaints the main page every 500 ms while the settings are not
// applied. Neither draws: each sets its display state (atomics of window_state.h) and asks the
// window for a repaint through the function it is given, which must queue the repaint to the
// user-interface thread. Both end at once when asked to stop, even in the middle of a pause.
//
// Threads: each runs on its own thread; the starters and Stop run on the user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <stop_token>
#include <thread>

#include "device/ui_executor.h"

namespace ui {

using RepaintRequest = std::function<void()>;

// The pause between two preview steps: (6 - cycle time) * 300 ms for cycle times 0..5. A larger
// value (a hand-edited config.ini) runs at the fastest speed, 300 ms.
int LedPreviewPeriodMs(std::uint8_t cycleTime);

// Pauses for milliseconds on the clock in force; returns false (at once) when stop is
// requested. On a test's virtual clock the pause lasts until the test moves the time.
bool DisplayWait(std::stop_token stop, int milliseconds);

// A repaint request for a display thread: it queues repaint to the user-interface thread
// through toUi, but never while its last request is still queued. A window too busy to paint
// (or a pause cut short) then costs one waiting event, never a queue that grows without end.
RepaintRequest OneRepaintAtATime(const UiExecutor& toUi, std::function<void()> repaint);

// The thread procedures. Each clears its running flag as it ends.
void LedPreviewThd(std::stop_token stop, RepaintRequest repaint);
void MainBlinkThd(std::stop_token stop, RepaintRequest repaint);

// Owns the two threads of the window. A start does nothing while the thread's running flag is
// set; otherwise it sets the flag and starts the thread. Stop (and destruction) ends both and
// waits for them.
class DisplayThreads {
public:
    DisplayThreads() = default;
    DisplayThreads(const DisplayThreads&) = delete;
    DisplayThreads& operator=(const DisplayThreads&) = delete;
    ~DisplayThreads() { Stop(); }

    void StartLedPreview(RepaintRequest repaint);
    void StartBlink(RepaintRequest repaint);
    void Stop();

private:
    std::jthread ledPreview_;
    std::jthread blink_;
};

// OnPickLedColor's work: the colour dialog (opened on black) for DPI level button - 41
// (main rectangles 41..46); on OK the level's stored 4-bit channels and its shown colour.
// Nothing is saved or sent. A button outside 41..46 changes nothing.
void PickLedColor(int button);

}  // namespace ui
