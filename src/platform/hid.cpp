#include "platform/hid.h"

#include <atomic>

namespace platform {
namespace {

// Until the hidraw backend is in place the machine shows no HID interface at all.
class NoHidBackend final : public HidBackend {
public:
    std::vector<HidInterfaceInfo> Enumerate() override { return {}; }
    std::shared_ptr<HidDevice> Open(const QString&) override { return nullptr; }
    void SetHotplugHandler(HidHotplugHandler) override {}
};

NoHidBackend g_noHidBackend;
std::atomic<HidBackend*> g_hidBackend{nullptr};

HidBackend& DefaultHidBackend() { return g_noHidBackend; }

}  // namespace

HidBackend& CurrentHidBackend() {
    HidBackend* backend = g_hidBackend.load();
    return backend ? *backend : DefaultHidBackend();
}

HidBackend* SetHidBackend(HidBackend* backend) { return g_hidBackend.exchange(backend); }

}  // namespace platform
