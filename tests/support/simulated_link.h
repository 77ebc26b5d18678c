// A test's device link to a simulated mouse on virtual time: installs a VirtualClock and the
// simulated mouse (with the first built-in identifiers), fills g_devIds and opens the mouse
// with OpenDevice. On destruction it drops the handles, the notification registration, the
// backend and the clock again. One at a time, on the test's thread.
#pragma once

#include "platform/clock.h"
#include "platform/simulated_mouse.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

class SimulatedLink {
public:
    SimulatedLink();
    ~SimulatedLink();
    SimulatedLink(const SimulatedLink&) = delete;
    SimulatedLink& operator=(const SimulatedLink&) = delete;

    platform::SimulatedMouse& mouse() { return *mouse_; }
    platform::VirtualClock& clock() { return clock_; }
    bool connected() const { return connected_; }

    // The reports the mouse received or returned since the last call (or since opening), each
    // as "+<ms since the previous one> set|get|input <hex bytes>", e.g. "+4 set 07 18 09 ...".
    std::vector<std::string> TakeSentReports();

private:
    platform::VirtualClock clock_;
    std::unique_ptr<platform::SimulatedMouse> mouse_;
    bool connected_ = false;
    std::int64_t mark_ = 0;
};

// "07 18 03 00 01 00 5A 00".
std::string HexBytes(const std::vector<std::uint8_t>& bytes);

}  // namespace testing_support
