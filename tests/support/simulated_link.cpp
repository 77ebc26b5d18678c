#include "support/simulated_link.h"

#include "device/discovery.h"

#include <cstdio>

namespace testing_support {

SimulatedLink::SimulatedLink() {
    platform::SetClock(&clock_);
    mouse_ = std::make_unique<platform::SimulatedMouse>(BuiltInMouseAttributes());
    platform::SetHidBackend(mouse_.get());
    FillDevIds();
    connected_ = OpenDevice() == 1;
    mark_ = clock_.NowMicroseconds();
}

SimulatedLink::~SimulatedLink() {
    UnregisterDeviceNotification();
    SetDeviceNotificationTarget({});
    SetDeviceRemovedHandler({});
    g_hDevInput.Store(nullptr);
    g_hDevFeature.Store(nullptr);
    g_capsInput.Store({});
    g_capsFeature.Store({});
    g_deviceConnected = 0;
    g_strDevicePath.clear();
    platform::SetHidBackend(nullptr);
    platform::SetClock(nullptr);
}

std::vector<std::string> SimulatedLink::TakeSentReports() {
    std::vector<std::string> lines;
    for (const platform::SimulatedReport& report : mouse_->Trace()) {
        const std::int64_t delta = report.timeMicroseconds - mark_;
        mark_ = report.timeMicroseconds;
        const char* direction = "set";
        if (report.direction == platform::SimulatedReport::Direction::Get) {
            direction = "get";
        } else if (report.direction == platform::SimulatedReport::Direction::Input) {
            direction = "input";
        }
        char head[32];
        std::snprintf(head, sizeof head, "+%lld %s ", static_cast<long long>(delta / 1000),
                      direction);
        lines.push_back(head + HexBytes(report.bytes));
    }
    mouse_->ClearTrace();
    return lines;
}

std::string HexBytes(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (std::uint8_t byte : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%s%02X", text.empty() ? "" : " ", byte);
        text += hex;
    }
    return text;
}

}  // namespace testing_support
