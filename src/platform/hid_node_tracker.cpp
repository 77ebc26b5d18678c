#include "platform/hid_node_tracker.h"

#include "platform/hid_sysfs.h"

namespace platform {
namespace {

std::vector<QString> PathsOf(const HidrawNode& node) {
    std::vector<QString> paths;
    for (std::size_t i = 0; i < node.descriptor.collections.size(); ++i) {
        paths.push_back(HidInterfacePath(node.devNode, i));
    }
    return paths;
}

}  // namespace

HidNodeTracker::HidNodeTracker(QString sysRoot, QString devRoot)
    : sysRoot_(std::move(sysRoot)), devRoot_(std::move(devRoot)) {}

void HidNodeTracker::Prime() {
    for (const HidrawNode& node : ListHidrawNodes(sysRoot_, devRoot_)) {
        pathsByNode_[node.sysName] = PathsOf(node);
    }
}

std::vector<HidPathEvent> HidNodeTracker::OnNodeEvent(const QString& action,
                                                      const QString& sysName) {
    std::vector<HidPathEvent> events;
    if (HidrawNumber(sysName) < 0) {
        return events;
    }
    if (action == QLatin1String("add")) {
        const auto node = ReadHidrawNode(sysRoot_, devRoot_, sysName);
        if (!node) {
            // Gone again already, or not a HID device we can read: nothing to offer.
            pathsByNode_.erase(sysName);
            return events;
        }
        std::vector<QString> paths = PathsOf(*node);
        for (const QString& path : paths) {
            events.emplace_back(HidHotplugEvent::Arrival, path);
        }
        pathsByNode_[sysName] = std::move(paths);
    } else if (action == QLatin1String("remove")) {
        const auto known = pathsByNode_.find(sysName);
        if (known == pathsByNode_.end()) {
            return events;
        }
        for (const QString& path : known->second) {
            events.emplace_back(HidHotplugEvent::Removal, path);
        }
        pathsByNode_.erase(known);
    }
    return events;
}

}  // namespace platform
