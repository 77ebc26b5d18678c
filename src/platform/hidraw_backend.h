// The HID services over Linux hidraw: interfaces from sysfs (hid_sysfs.h, which also defines
// the interface paths), devices through the hidraw node, hot-plug through the device
// manager's monitor. The backend owns the monitor and the handler; Enumerate/Open/
// SetHotplugHandler are called on the user-interface thread, the handler runs on the
// monitor's thread. Once SetHotplugHandler({}) or the destructor returns, no handler call is
// in progress (so the handler must not wait for the thread that stops it, and must not
// destroy the backend).
#pragma once

#include "platform/hid.h"

#include <QString>
#include <memory>
#include <mutex>

namespace platform {

class HidUdevMonitor;

class HidrawBackend final : public HidBackend {
public:
    explicit HidrawBackend(QString sysRoot = QStringLiteral("/sys"),
                           QString devRoot = QStringLiteral("/dev"));
    ~HidrawBackend() override;

    HidrawBackend(const HidrawBackend&) = delete;
    HidrawBackend& operator=(const HidrawBackend&) = delete;

    std::vector<HidInterfaceInfo> Enumerate() override;
    std::shared_ptr<HidDevice> Open(const QString& path) override;
    QString AccessDeniedNode(const QString& path) override;
    // May also be called from inside the handler: a new handler takes over from the next
    // event, an empty one ends the monitor after the current call.
    void SetHotplugHandler(HidHotplugHandler handler) override;

private:
    // On the monitor thread; false once no handler is left.
    bool Deliver(HidHotplugEvent event, const QString& path);

    const QString sysRoot_;
    const QString devRoot_;
    std::mutex handlerMutex_;
    HidHotplugHandler handler_;
    bool monitorEnding_ = false;  // the monitor thread saw no handler and is ending
    std::mutex monitorMutex_;     // held by the controlling thread while it starts or stops
    std::unique_ptr<HidUdevMonitor> monitor_;
};

}  // namespace platform
