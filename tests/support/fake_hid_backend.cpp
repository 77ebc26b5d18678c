#include "support/fake_hid_backend.h"

#include <algorithm>

namespace testing_support {

FakeInterface MakeInterface(const QString& path, std::uint16_t vendorId, std::uint16_t productId,
                            std::uint16_t usagePage, std::uint16_t usage) {
    FakeInterface fake;
    fake.info.path = path;
    fake.info.attributes.vendorId = vendorId;
    fake.info.attributes.productId = productId;
    fake.info.caps.usagePage = usagePage;
    fake.info.caps.usage = usage;
    fake.info.caps.inputReportByteLength = usagePage == 0xFF00 ? 8 : 0;
    fake.info.caps.featureReportByteLength = usagePage == 0xFF01 ? 8 : 0;
    return fake;
}

bool FakeHidDevice::SetFeature(const std::uint8_t* report, std::size_t length) {
    std::lock_guard<std::mutex> lock(mutex_);
    sent_.emplace_back(report, report + length);
    return true;
}

bool FakeHidDevice::GetFeature(std::uint8_t* report, std::size_t length) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::fill(report, report + length, std::uint8_t{0});
    std::copy(reply_.begin(), reply_.begin() + std::min(length, reply_.size()), report);
    return true;
}

int FakeHidDevice::ReadInput(std::uint8_t*, std::size_t, int) {
    return -1;
}

std::vector<std::vector<std::uint8_t>> FakeHidDevice::SentReports() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return sent_;
}

void FakeHidDevice::SetReply(std::vector<std::uint8_t> reply) {
    std::lock_guard<std::mutex> lock(mutex_);
    reply_ = std::move(reply);
}

std::vector<platform::HidInterfaceInfo> FakeHidBackend::Enumerate() {
    ++enumerations;
    std::vector<platform::HidInterfaceInfo> infos;
    for (const FakeInterface& fake : interfaces) {
        infos.push_back(fake.info);
    }
    return infos;
}

QString FakeHidBackend::AccessDeniedNode(const QString& path) {
    for (const FakeInterface& fake : interfaces) {
        if (fake.info.path == path && fake.accessDenied) {
            return path.section(QLatin1Char('#'), 0, 0);
        }
    }
    return {};
}

std::shared_ptr<platform::HidDevice> FakeHidBackend::Open(const QString& path) {
    for (const FakeInterface& fake : interfaces) {
        if (fake.info.path == path) {
            openedPaths.push_back(path);
            if (!fake.opens) {
                return nullptr;
            }
            auto device = std::make_shared<FakeHidDevice>(fake.info);
            devices.push_back(device);
            return device;
        }
    }
    return nullptr;
}

void FakeHidBackend::SetHotplugHandler(platform::HidHotplugHandler handler) {
    if (handler) {
        ++handlerInstalls;
    }
    handler_ = std::move(handler);
}

void FakeHidBackend::Fire(platform::HidHotplugEvent event, const QString& path) {
    if (handler_) {
        handler_(event, path);
    }
}

}  // namespace testing_support
