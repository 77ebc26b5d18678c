#include "device/discovery.h"

#include <algorithm>
#include <cstddef>
#include <vector>

DevId g_devIds[7] = {};
std::atomic<std::uint8_t> g_deviceConnected{0};
QString g_strDevicePath;
LinkValue<std::shared_ptr<platform::HidDevice>> g_hDevInput;
LinkValue<std::shared_ptr<platform::HidDevice>> g_hDevFeature;
LinkValue<platform::HidCaps> g_capsInput;
LinkValue<platform::HidCaps> g_capsFeature;
platform::HidCaps g_capsProbe;

namespace {

// The search examines at most this many interface indexes, found or not.
constexpr std::size_t MaxSearchTries = 100;
constexpr std::uint16_t InputUsagePage = 0xFF00;
constexpr std::uint16_t FeatureUsagePage = 0xFF01;
constexpr std::uint16_t VendorUsage = 1;

std::function<void()> g_deviceRemovedHandler;  // UI thread

std::mutex g_notificationMutex;
DeviceNotificationTarget g_notificationTarget;        // guarded by g_notificationMutex
platform::HidBackend* g_registeredBackend = nullptr;  // UI thread

bool MatchesDevIds(const platform::HidAttributes& attributes) {
    for (const DevId& id : g_devIds) {
        // An unused pair is {0, 0}; it must not claim a device that reports zero identifiers.
        if (id.vendorId == 0 && id.productId == 0) {
            continue;
        }
        if (id.vendorId == attributes.vendorId && id.productId == attributes.productId) {
            return true;
        }
    }
    return false;
}

// Runs on a thread of the backend.
void ForwardNotification(platform::HidHotplugEvent event, const QString& path) {
    DeviceNotificationTarget target;
    {
        std::lock_guard<std::mutex> lock(g_notificationMutex);
        target = g_notificationTarget;
    }
    if (!target) {
        return;
    }
    DeviceBroadcastHeader header;
    header.deviceType = DBT_DEVTYP_DEVICEINTERFACE;
    header.name = path;
    target(
        event == platform::HidHotplugEvent::Arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE,
        header);
}

// One registration is enough: registering again for every matching interface would deliver
// every notification once per registration.
void RegisterDeviceNotification(platform::HidBackend& backend) {
    if (g_registeredBackend == &backend) {
        return;
    }
    UnregisterDeviceNotification();
    backend.SetHotplugHandler(&ForwardNotification);
    g_registeredBackend = &backend;
}

}  // namespace

void FillDevIds() {
    std::copy(std::begin(BuiltInDevIds), std::end(BuiltInDevIds), g_devIds);
    g_devIds[6] = DevId{0, 0};
}

platform::HidAttributes BuiltInMouseAttributes() {
    platform::HidAttributes attributes;
    attributes.vendorId = static_cast<std::uint16_t>(BuiltInDevIds[0].vendorId);
    attributes.productId = static_cast<std::uint16_t>(BuiltInDevIds[0].productId);
    return attributes;
}

std::uint8_t OpenDevice() {
    platform::HidBackend& backend = platform::CurrentHidBackend();
    const std::vector<platform::HidInterfaceInfo> interfaces = backend.Enumerate();

    // Handles left from a mouse that went away are dead; if they still counted as open, a
    // reopened mouse would be taken as found with the old handle of its other collection.
    g_hDevInput.Store(nullptr);
    g_hDevFeature.Store(nullptr);
    bool inputOpen = false;
    bool featureOpen = false;

    const std::size_t tries = std::min(interfaces.size(), MaxSearchTries);
    for (std::size_t k = 0; k < tries; ++k) {
        const platform::HidInterfaceInfo& info = interfaces[k];
        if (!MatchesDevIds(info.attributes)) {
            continue;
        }
        g_strDevicePath = info.path;
        RegisterDeviceNotification(backend);

        g_capsProbe = info.caps;
        if (g_capsProbe.usagePage == InputUsagePage) {
            if (g_capsProbe.usage == VendorUsage) {
                g_capsInput.Store(g_capsProbe);
                std::shared_ptr<platform::HidDevice> device = backend.Open(info.path);
                inputOpen = device != nullptr;
                g_hDevInput.Store(std::move(device));
            }
        } else if (g_capsProbe.usagePage == FeatureUsagePage && g_capsProbe.usage == VendorUsage) {
            g_capsFeature.Store(g_capsProbe);
            std::shared_ptr<platform::HidDevice> device = backend.Open(info.path);
            featureOpen = device != nullptr;
            g_hDevFeature.Store(std::move(device));
        }
        if (inputOpen && featureOpen) {
            break;
        }
    }
    // Connected means both collections are open, however the search ended.
    g_deviceConnected = (inputOpen && featureOpen) ? 1 : 0;
    return g_deviceConnected;
}

bool IsOurDevice(const DeviceBroadcastHeader* header) {
    if (header == nullptr || header->deviceType != DBT_DEVTYP_DEVICEINTERFACE) {
        return false;
    }
    return header->name.compare(g_strDevicePath, Qt::CaseInsensitive) == 0;
}

std::intptr_t OnDeviceChange(std::uintptr_t event, const DeviceBroadcastHeader* header) {
    if (event == DBT_DEVICEARRIVAL) {
        if (IsOurDevice(header) && g_deviceConnected == 0) {
            g_deviceConnected = OpenDevice();
        }
    } else if (event == DBT_DEVICEREMOVECOMPLETE) {
        if (IsOurDevice(header)) {
            g_deviceConnected = 0;
            if (g_deviceRemovedHandler) {
                g_deviceRemovedHandler();
            }
        }
    }
    return 1;
}

void SetDeviceRemovedHandler(std::function<void()> handler) {
    g_deviceRemovedHandler = std::move(handler);
}

void SetDeviceNotificationTarget(DeviceNotificationTarget target) {
    std::lock_guard<std::mutex> lock(g_notificationMutex);
    g_notificationTarget = std::move(target);
}

void UnregisterDeviceNotification() {
    if (g_registeredBackend != nullptr) {
        g_registeredBackend->SetHotplugHandler({});
        g_registeredBackend = nullptr;
    }
}

QStringList AccessDeniedMouseNodes() {
    platform::HidBackend& backend = platform::CurrentHidBackend();
    QStringList nodes;
    const std::vector<platform::HidInterfaceInfo> interfaces = backend.Enumerate();
    const std::size_t tries = std::min(interfaces.size(), MaxSearchTries);
    for (std::size_t k = 0; k < tries; ++k) {
        if (!MatchesDevIds(interfaces[k].attributes)) {
            continue;
        }
        const QString node = backend.AccessDeniedNode(interfaces[k].path);
        if (!node.isEmpty() && !nodes.contains(node)) {
            nodes.append(node);
        }
    }
    return nodes;
}
