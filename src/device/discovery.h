// Finding the mouse among the HID interfaces, opening its two vendor collections (input report 6
// on usage page 0xFF00, feature report 7 on 0xFF01) and following its arrival and removal.
// OpenDevice, OnDeviceChange and the identifier table run on the user-interface thread. The open
// collections and their capabilities are read by the device threads and the transport while an
// arrival may replace them: they sit behind a lock (LinkValue), and a reader takes a copy of the
// shared pointer, which keeps that device alive for as long as it uses it.
#pragma once

#include "device/device_ids.h"
#include "platform/hid.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

// A value one thread may replace while others read it.
template <typename T>
class LinkValue {
public:
    T Load() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return value_;
    }
    void Store(T value) {
        std::lock_guard<std::mutex> lock(mutex_);
        value_ = std::move(value);
    }

private:
    mutable std::mutex mutex_;
    T value_{};
};

// The accepted pairs; start-up copies BuiltInDevIds into pairs 0..5 (FillDevIds), pair 6 stays
// {0, 0}. An all-zero pair matches no device.
extern DevId g_devIds[7];
// Result of the last search, cleared on removal. Read by any thread.
extern std::atomic<std::uint8_t> g_deviceConnected;
// The interface path that matched last; recognises this mouse in notifications. UI thread.
extern QString g_strDevicePath;
// The input collection (read by KeyMonitorThd) and the feature collection (the transport);
// nullptr until opened or when the open failed.
extern LinkValue<std::shared_ptr<platform::HidDevice>> g_hDevInput;
extern LinkValue<std::shared_ptr<platform::HidDevice>> g_hDevFeature;
// Their capabilities: inputReportByteLength is the read length of the event thread,
// featureReportByteLength the report length of the transport.
extern LinkValue<platform::HidCaps> g_capsInput;
extern LinkValue<platform::HidCaps> g_capsFeature;
// The capabilities of the interface being examined. UI thread.
extern platform::HidCaps g_capsProbe;

// Copies the built-in table into g_devIds[0..5] and clears pair 6.
void FillDevIds();
// The identity the simulated mouse presents: the first built-in pair.
platform::HidAttributes BuiltInMouseAttributes();

// Searches the enumerated interfaces (at most 100 tries) for the mouse's two collections and
// opens them. Returns 1 (and sets g_deviceConnected) only when both are open.
std::uint8_t OpenDevice();

// After a search that found no usable mouse: the device nodes of accepted interfaces that are
// there but may not be opened by this user (no access rule installed), each named once.
QStringList AccessDeniedMouseNodes();

// Windows' device-change codes as the window receives them.
inline constexpr std::uintptr_t DBT_DEVICEARRIVAL = 0x8000;
inline constexpr std::uintptr_t DBT_DEVICEREMOVECOMPLETE = 0x8004;
inline constexpr std::uint32_t DBT_DEVTYP_DEVICEINTERFACE = 5;

// DEV_BROADCAST_HDR with the interface name of a device-interface broadcast.
struct DeviceBroadcastHeader {
    std::uint32_t deviceType = DBT_DEVTYP_DEVICEINTERFACE;  // dbch_devicetype
    QString name;                                           // dbcc_name
};

// True for a device-interface broadcast whose name equals g_strDevicePath, ignoring case.
bool IsOurDevice(const DeviceBroadcastHeader* header);

// The WM_DEVICECHANGE handler: an arrival of our path while not connected reopens; the removal
// of our path clears g_deviceConnected and calls the removal handler. Returns 1.
std::intptr_t OnDeviceChange(std::uintptr_t event, const DeviceBroadcastHeader* header);

// The window's part of a removal: remove the notification-area icon and end the dialog.
// UI thread; empty by default.
void SetDeviceRemovedHandler(std::function<void()> handler);

// Where notifications go once OpenDevice has registered for them. They come on a thread of the
// HID backend: the window installs a target that hands them to its own thread, which calls
// OnDeviceChange. Without a target they are dropped. Any thread.
using DeviceNotificationTarget =
    std::function<void(std::uintptr_t event, const DeviceBroadcastHeader& header)>;
void SetDeviceNotificationTarget(DeviceNotificationTarget target);
// Drops the registration made by OpenDevice (tests, and exit when the window goes first).
void UnregisterDeviceNotification();
