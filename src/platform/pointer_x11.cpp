// Pointer speed through the X server's pointer control. The Windows speed scale 1..20 becomes an
// acceleration of speed/10 applied from the first pixel of motion, so 10 leaves motion as it is.
// Wheel scroll lines have no X setting: both calls fail and the caller skips them.
#include <X11/Xlib.h>

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "platform/pointer.h"

namespace platform {
namespace {

class X11PointerSettings final : public PointerSettings {
public:
    ~X11PointerSettings() override {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }

    bool GetMouseSpeed(int& speed) override {
        std::lock_guard lock(mutex_);
        Display* display = Connect();
        if (display == nullptr) {
            return false;
        }
        int numerator = 0;
        int denominator = 0;
        int threshold = 0;
        XGetPointerControl(display, &numerator, &denominator, &threshold);
        speed = denominator > 0 ? (numerator * 10 + denominator / 2) / denominator : 10;
        return true;
    }

    bool SetMouseSpeed(int speed) override {
        std::lock_guard lock(mutex_);
        Display* display = Connect();
        if (display == nullptr || speed < 1 || speed > 20) {
            return false;
        }
        XChangePointerControl(display, True, True, speed, 10, 1);
        XFlush(display);
        return true;
    }

    bool GetWheelScrollLines(int&) override { return false; }
    bool SetWheelScrollLines(int) override { return false; }

private:
    Display* Connect() {
        if (display_ == nullptr && !triedConnect_) {
            triedConnect_ = true;
            const char* name = std::getenv("DISPLAY");
            if (name != nullptr && *name != '\0') {
                display_ = XOpenDisplay(name);
            }
        }
        return display_;
    }

    std::mutex mutex_;
    Display* display_ = nullptr;
    bool triedConnect_ = false;
};

X11PointerSettings g_x11PointerSettings;
std::atomic<PointerSettings*> g_pointerSettings{nullptr};

}  // namespace

PointerSettings& CurrentPointerSettings() {
    PointerSettings* settings = g_pointerSettings.load();
    return settings ? *settings : g_x11PointerSettings;
}

PointerSettings* SetPointerSettings(PointerSettings* settings) {
    return g_pointerSettings.exchange(settings);
}

}  // namespace platform
