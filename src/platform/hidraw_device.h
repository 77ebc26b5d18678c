// One open interface (top-level collection) on a hidraw node. Each interface has its own
// file descriptor, so its own input queue in the kernel, and keeps only its collection's
// reports. Feature reports and reads may run on different threads at the same time; reads
// from two threads take turns.
#pragma once

#include "platform/hid.h"
#include "platform/hid_report_route.h"

#include <QString>
#include <memory>

namespace platform {

// Opens the interface named by `path` (see hid_sysfs.h); the sysfs root supplies what the
// node itself cannot tell. nullptr when the path is malformed, the node cannot be opened or
// is no character device, or its descriptor has no such collection.
std::shared_ptr<HidDevice> OpenHidrawInterface(const QString& sysRoot, const QString& path);

// True when the node exists but every way of opening it is refused for lack of permission.
bool HidrawNodeAccessDenied(const QString& devNode);

// Wraps an open descriptor of a node (owned from here on: closed with the device). Any
// descriptor that delivers one report per read() will do, which is how tests stand in for
// the kernel.
std::shared_ptr<HidDevice> MakeHidrawDevice(int fd, HidReportRoute route, HidAttributes attributes);

}  // namespace platform
