// Hot-plug of hidraw nodes through the device manager's netlink events. Building the monitor
// subscribes at once (before the caller enumerates, so no node slips between the two) and
// starts one thread that turns node events into interface arrivals and removals and hands
// each to the sink. Without a device manager (no udevd) nothing arrives and nothing fails.
// Destroying the monitor stops and joins its thread; it must not be destroyed from the sink.
#pragma once

#include "platform/hid_node_tracker.h"

#include <QString>
#include <atomic>
#include <functional>
#include <thread>

struct udev;
struct udev_monitor;

namespace platform {

class HidUdevMonitor {
public:
    // Returns false to end listening (the thread then ends by itself).
    using Sink = std::function<bool(HidHotplugEvent, const QString& path)>;

    HidUdevMonitor(QString sysRoot, QString devRoot, Sink sink);
    ~HidUdevMonitor();

    HidUdevMonitor(const HidUdevMonitor&) = delete;
    HidUdevMonitor& operator=(const HidUdevMonitor&) = delete;

    // The thread is waiting for events (false without a device manager, or once it ended).
    bool Running() const { return running_.load(); }

private:
    void Run();

    HidNodeTracker tracker_;
    Sink sink_;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    int stopFd_ = -1;
    std::atomic<bool> running_{false};
    std::thread thread_;
};

}  // namespace platform
