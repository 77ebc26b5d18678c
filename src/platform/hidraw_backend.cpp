#include "platform/hidraw_backend.h"

#include "platform/hid_sysfs.h"
#include "platform/hid_udev_monitor.h"
#include "platform/hidraw_device.h"

namespace platform {
namespace {

// The backend whose handler this thread is running, if any.
thread_local const HidrawBackend* t_deliveringBackend = nullptr;

}  // namespace

HidrawBackend::HidrawBackend(QString sysRoot, QString devRoot)
    : sysRoot_(std::move(sysRoot)), devRoot_(std::move(devRoot)) {}

HidrawBackend::~HidrawBackend() {
    std::lock_guard<std::mutex> lock(monitorMutex_);
    monitor_.reset();
}

std::vector<HidInterfaceInfo> HidrawBackend::Enumerate() {
    std::vector<HidInterfaceInfo> interfaces;
    for (const HidrawNode& node : ListHidrawNodes(sysRoot_, devRoot_)) {
        for (HidInterfaceInfo& info : InterfacesOfNode(node)) {
            interfaces.push_back(std::move(info));
        }
    }
    return interfaces;
}

std::shared_ptr<HidDevice> HidrawBackend::Open(const QString& path) {
    return OpenHidrawInterface(sysRoot_, path);
}

QString HidrawBackend::AccessDeniedNode(const QString& path) {
    const auto address = ParseHidInterfacePath(path);
    if (!address || !HidrawNodeAccessDenied(address->devNode)) {
        return {};
    }
    return address->devNode;
}

void HidrawBackend::SetHotplugHandler(HidHotplugHandler handler) {
    const bool stop = !handler;
    {
        std::lock_guard<std::mutex> lock(handlerMutex_);
        handler_ = std::move(handler);
    }
    if (t_deliveringBackend == this) {
        // Inside our own handler: the monitor thread cannot join itself. Deliver sees the
        // empty handler when the call returns and ends the thread; the next start or the
        // destructor joins it.
        return;
    }
    std::lock_guard<std::mutex> lock(monitorMutex_);
    if (stop) {
        monitor_.reset();
        std::lock_guard<std::mutex> handlerLock(handlerMutex_);
        monitorEnding_ = false;
        return;
    }
    bool ending = false;
    {
        std::lock_guard<std::mutex> handlerLock(handlerMutex_);
        ending = monitorEnding_;
        monitorEnding_ = false;
    }
    if (monitor_ && (ending || !monitor_->Running())) {
        monitor_.reset();  // ended by an empty handler, or it never had a device manager
    }
    if (!monitor_) {
        monitor_ = std::make_unique<HidUdevMonitor>(
            sysRoot_, devRoot_,
            [this](HidHotplugEvent event, const QString& path) { return Deliver(event, path); });
    }
}

bool HidrawBackend::Deliver(HidHotplugEvent event, const QString& path) {
    HidHotplugHandler handler;
    {
        std::lock_guard<std::mutex> lock(handlerMutex_);
        handler = handler_;
    }
    if (handler) {
        t_deliveringBackend = this;
        handler(event, path);
        t_deliveringBackend = nullptr;
    }
    std::lock_guard<std::mutex> lock(handlerMutex_);
    if (!handler_) {
        monitorEnding_ = true;  // the thread ends: the next start must build a new one
        return false;
    }
    return true;
}

}  // namespace platform
