#include "ui/pages/display_threads.h"

#include <atomic>
#include <memory>

#include "device/settings_image.h"
#include "platform/clock.h"
#include "platform/dialog_service.h"
#include "profile/profile_settings.h"
#include "ui/shell/window_state.h"
#include "ui/skin/skin_rects.h"

namespace ui {

namespace {

constexpr int PreviewStepMs = 300;
constexpr int BlinkSteps = 6;
constexpr int BlinkPeriodMs = 500;
constexpr int ColorCycleType = 1;

// The next cycle colour that is on after slot from, wrapping from 6 to 0 and ending on from
// itself when it is the only one; -1 when none is on.
int NextColorOn(int from) {
    int c = from;
    for (int step = 0; step < CycleColorCount; ++step) {
        c = (c + 1) % CycleColorCount;
        if (g_cycColorOn[static_cast<std::size_t>(c)].load() != 0) {
            return c;
        }
    }
    return -1;
}

void Repaint(const RepaintRequest& repaint) {
    if (repaint) {
        repaint();
    }
}

// A stored channel level of a shown channel: (255 - channel) / 16, 0..15.
std::uint32_t ChannelLevel(std::uint32_t colour, int shift) {
    return (255 - ((colour >> shift) & 0xFF)) / 16;
}

}  // namespace

int LedPreviewPeriodMs(std::uint8_t cycleTime) {
    const int time = cycleTime <= MaxCycleTime ? cycleTime : MaxCycleTime;
    return (MaxCycleTime + 1 - time) * PreviewStepMs;
}

bool DisplayWait(std::stop_token stop, int milliseconds) {
    return !stop.stop_requested() &&
           platform::CurrentClock().SleepUnlessStopped(stop, milliseconds);
}

RepaintRequest OneRepaintAtATime(const UiExecutor& toUi, std::function<void()> repaint) {
    auto pending = std::make_shared<std::atomic<bool>>(false);
    return [toUi, repaint = std::move(repaint), pending] {
        if (pending->exchange(true)) {
            return;  // the repaint still waiting will show this state too
        }
        toUi([repaint, pending] {
            // Cleared first: a change made while this one paints asks for the next.
            pending->store(false);
            repaint();
        });
    };
}

void LedPreviewThd(std::stop_token stop, RepaintRequest repaint) {
    g_ledPreviewColor = 0;
    if (g_page.load() == PageColor) {
        for (;;) {
            if (g_ledType.load() == ColorCycleType && g_ledPreviewGray.load() != 0) {
                // With no colour on the swatch keeps its off look.
                const int next = NextColorOn(g_ledPreviewColor.load());
                if (next >= 0) {
                    g_ledPreviewGray = 0;
                    g_ledPreviewColor = next;
                }
            } else {
                g_ledPreviewGray = 1;
            }
            Repaint(repaint);
            if (!DisplayWait(stop, LedPreviewPeriodMs(g_ledCycTime.load())) ||
                g_page.load() != PageColor) {
                break;
            }
        }
    }
    g_ledPreviewRunning = 0;
}

void MainBlinkThd(std::stop_token stop, RepaintRequest repaint) {
    bool stopped = false;
    while (!stopped && g_page.load() == PageMain && g_settingsApplied.load() == 0) {
        for (int i = 0; i < BlinkSteps && !stopped; ++i) {
            Repaint(repaint);
            stopped = !DisplayWait(stop, BlinkPeriodMs);
        }
    }
    g_blinkRunning = 0;
}

void DisplayThreads::StartLedPreview(RepaintRequest repaint) {
    std::uint8_t idle = 0;
    if (!g_ledPreviewRunning.compare_exchange_strong(idle, 1)) {
        return;  // the running thread goes on and picks up the page change itself
    }
    // An earlier thread that ended is joined before its place is taken.
    ledPreview_ = std::jthread(LedPreviewThd, std::move(repaint));
}

void DisplayThreads::StartBlink(RepaintRequest repaint) {
    std::uint8_t idle = 0;
    if (!g_blinkRunning.compare_exchange_strong(idle, 1)) {
        return;
    }
    blink_ = std::jthread(MainBlinkThd, std::move(repaint));
}

void DisplayThreads::Stop() {
    ledPreview_.request_stop();
    blink_.request_stop();
    if (ledPreview_.joinable()) {
        ledPreview_.join();
    }
    if (blink_.joinable()) {
        blink_.join();
    }
}

void PickLedColor(int button) {
    const std::optional<std::uint32_t> chosen = platform::ShowColorDialog(0);
    const int level = button - MainDpiColorFirst;
    if (!chosen || level < 0 || level >= DpiLevelCount) {
        return;
    }
    auto& stored = g_dpiColor[static_cast<std::size_t>(level)];
    stored = {ChannelLevel(*chosen, 0), ChannelLevel(*chosen, 8), ChannelLevel(*chosen, 16)};
    g_dpiColorRef[static_cast<std::size_t>(level)] =
        DpiDisplayColor(stored[0], stored[1], stored[2]);
}

}  // namespace ui
