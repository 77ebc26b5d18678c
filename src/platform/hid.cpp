#include "platform/hid.h"

#include "platform/hidraw_backend.h"

#include <atomic>

namespace platform {
namespace {

std::atomic<HidBackend*> g_hidBackend{nullptr};

// Built on first use, so a program or test that installs another backend never touches
// sysfs or the device manager.
HidBackend& DefaultHidBackend() {
    static HidrawBackend backend;
    return backend;
}

}  // namespace

HidBackend& CurrentHidBackend() {
    HidBackend* backend = g_hidBackend.load();
    return backend ? *backend : DefaultHidBackend();
}

HidBackend* SetHidBackend(HidBackend* backend) {
    return g_hidBackend.exchange(backend);
}

}  // namespace platform
