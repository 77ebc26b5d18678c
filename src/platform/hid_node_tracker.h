// Turns the hidraw node events of the hot-plug monitor into arrivals and removals of
// interface paths. A node's sysfs entry is gone by the time its removal is announced, so the
// paths of every node seen are remembered here. Used by the monitor thread only (and by the
// thread that builds the monitor, before that thread starts).
#pragma once

#include "platform/hid.h"

#include <QString>
#include <map>
#include <utility>
#include <vector>

namespace platform {

using HidPathEvent = std::pair<HidHotplugEvent, QString>;

class HidNodeTracker {
public:
    HidNodeTracker(QString sysRoot, QString devRoot);

    // Remembers the nodes present now, without announcing them.
    void Prime();
    // action as the device manager names it: "add" and "remove" count, others are ignored.
    std::vector<HidPathEvent> OnNodeEvent(const QString& action, const QString& sysName);

private:
    QString sysRoot_;
    QString devRoot_;
    std::map<QString, std::vector<QString>> pathsByNode_;
};

}  // namespace platform
