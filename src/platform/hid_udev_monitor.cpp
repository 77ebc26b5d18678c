// Entered by the thread that builds and destroys the monitor, and by the monitor's own thread.
#include "platform/hid_udev_monitor.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <cerrno>
#include <cstdint>

namespace platform {

HidUdevMonitor::HidUdevMonitor(QString sysRoot, QString devRoot, Sink sink)
    : tracker_(std::move(sysRoot), std::move(devRoot)), sink_(std::move(sink)) {
    udev_ = udev_new();
    if (udev_ == nullptr) {
        return;
    }
    // "udev": events after the rules ran, so the node already has its permissions.
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (monitor_ == nullptr ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
        return;
    }
    stopFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopFd_ < 0) {
        return;
    }
    tracker_.Prime();
    running_ = true;
    thread_ = std::thread(&HidUdevMonitor::Run, this);
}

HidUdevMonitor::~HidUdevMonitor() {
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        // An eventfd write of 8 bytes cannot be short; it only fails if the counter is full.
        [[maybe_unused]] const ssize_t written = ::write(stopFd_, &one, sizeof one);
        thread_.join();
    }
    if (stopFd_ >= 0) {
        ::close(stopFd_);
    }
    if (monitor_ != nullptr) {
        udev_monitor_unref(monitor_);
    }
    if (udev_ != nullptr) {
        udev_unref(udev_);
    }
}

void HidUdevMonitor::Run() {
    const int monitorFd = udev_monitor_get_fd(monitor_);
    bool listening = true;
    while (listening) {
        pollfd fds[2] = {{monitorFd, POLLIN, 0}, {stopFd_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (fds[1].revents != 0 || (fds[0].revents & POLLNVAL) != 0) {
            break;
        }
        if ((fds[0].revents & (POLLIN | POLLERR)) == 0) {
            continue;
        }
        // Also drains a pending socket error (a lost burst of events) when nothing is there.
        udev_device* device = udev_monitor_receive_device(monitor_);
        if (device == nullptr) {
            continue;
        }
        const char* action = udev_device_get_action(device);
        const char* sysName = udev_device_get_sysname(device);
        const auto events =
            (action != nullptr && sysName != nullptr)
                ? tracker_.OnNodeEvent(QString::fromUtf8(action), QString::fromUtf8(sysName))
                : std::vector<HidPathEvent>{};
        udev_device_unref(device);
        for (const HidPathEvent& event : events) {
            if (!sink_(event.first, event.second)) {
                listening = false;
                break;
            }
        }
    }
    running_ = false;
}

}  // namespace platform
