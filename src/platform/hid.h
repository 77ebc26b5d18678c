// The HID services the device link needs, as Windows presented them: one interface per
// top-level collection, each with its path, vendor/product attributes and capabilities
// (report byte lengths include the report id byte). Two backends stand behind it: hidraw
// (the real mouse) and the simulated mouse. The backend in force is chosen once at start-up.
// Enumerate/Open run on the user-interface thread; an open device may be used from any thread
// (feature reports from several threads are serialised by the transport above this layer).
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace platform {

struct HidAttributes {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t versionNumber = 0;
};

// HIDP_CAPS, the fields the program reads.
struct HidCaps {
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    std::uint16_t inputReportByteLength = 0;
    std::uint16_t outputReportByteLength = 0;
    std::uint16_t featureReportByteLength = 0;
};

// One top-level collection of a HID device, as Windows lists it.
struct HidInterfaceInfo {
    QString path;  // identifies node and collection; two collections of one node differ
    HidAttributes attributes;
    HidCaps caps;
};

// An open interface. Results are reported; the design's callers may ignore them.
class HidDevice {
public:
    virtual ~HidDevice() = default;
    // HidD_SetFeature: report[0] is the report id; length as the caps give it.
    virtual bool SetFeature(const std::uint8_t* report, std::size_t length) = 0;
    // HidD_GetFeature: report[0] holds the id on entry; on success the device's report.
    virtual bool GetFeature(std::uint8_t* report, std::size_t length) = 0;
    // Waits up to timeoutMs (negative: for ever) for one input report of this collection.
    // Returns its length, 0 on time-out, -1 when the device is gone or the handle closed.
    virtual int ReadInput(std::uint8_t* buffer, std::size_t length, int timeoutMs) = 0;
    virtual HidAttributes Attributes() const = 0;
    virtual HidCaps Caps() const = 0;
};

enum class HidHotplugEvent { Arrival, Removal };
// Called on a thread of the backend, once per interface path of a node that came or went.
using HidHotplugHandler = std::function<void(HidHotplugEvent, const QString& path)>;

class HidBackend {
public:
    virtual ~HidBackend() = default;
    // Every HID interface present, in a stable order.
    virtual std::vector<HidInterfaceInfo> Enumerate() = 0;
    // nullptr when the path cannot be opened.
    virtual std::shared_ptr<HidDevice> Open(const QString& path) = 0;
    // The device node behind an interface that exists but that this user may not open (the
    // access rule is missing), for the user to be told; empty when it opens or fails otherwise.
    virtual QString AccessDeniedNode(const QString& /*path*/) { return {}; }
    // Starts (or, with an empty handler, stops) delivery of arrivals and removals. Where the
    // system offers no notifications nothing arrives and nothing fails.
    virtual void SetHotplugHandler(HidHotplugHandler handler) = 0;
};

// The backend in force (hidraw unless start-up or a test installed another).
HidBackend& CurrentHidBackend();
// Installs a backend; nullptr restores hidraw. Returns the one that was in force.
HidBackend* SetHidBackend(HidBackend* backend);

}  // namespace platform
