// Finds the hidraw nodes through sysfs (class/hidraw/<node>/device/{uevent,report_descriptor},
// readable without permission to open the node) and names their interfaces. Every top-level
// collection of a node is one interface, with the path "<device node>#<n>": n is the
// collection's position (0, 1, ...) in the node's report descriptor, e.g. "/dev/hidraw3#1".
// A removal names the node only; its interfaces are the paths that start with the node and '#'.
// The roots are parameters so that tests lay out a tree of their own. Stateless; any thread.
#pragma once

#include "platform/hid.h"
#include "platform/hid_descriptor.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

struct HidrawNode {
    QString sysName;  // "hidraw3"
    QString devNode;  // "<dev root>/hidraw3"
    HidAttributes attributes;
    HidDescriptorInfo descriptor;
};

struct HidInterfaceAddress {
    QString devNode;
    std::size_t collection = 0;
};

QString HidInterfacePath(const QString& devNode, std::size_t collection);
// Nothing when the path is not of the form above.
std::optional<HidInterfaceAddress> ParseHidInterfacePath(const QString& path);

// "hidraw" followed by its number; -1 for any other name.
int HidrawNumber(const QString& sysName);

// Every node under <sysRoot>/class/hidraw whose report descriptor can be read, by number.
std::vector<HidrawNode> ListHidrawNodes(const QString& sysRoot, const QString& devRoot);
std::optional<HidrawNode> ReadHidrawNode(const QString& sysRoot, const QString& devRoot,
                                         const QString& sysName);

// The pieces of a node's sysfs entry, for the device once it is open.
std::optional<std::vector<std::uint8_t>> ReadSysfsReportDescriptor(const QString& sysRoot,
                                                                   const QString& sysName);
// Vendor and product from the uevent's HID_ID, the version from the USB device's bcdDevice
// where there is one; zeros for what is missing.
HidAttributes ReadSysfsAttributes(const QString& sysRoot, const QString& sysName);

HidCaps CapsOfCollection(const HidTopLevelCollection& collection);
// One interface per top-level collection, in descriptor order.
std::vector<HidInterfaceInfo> InterfacesOfNode(const HidrawNode& node);

}  // namespace platform
