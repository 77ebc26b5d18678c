// A HID backend whose interfaces a test lays out by hand (paths, identifiers, collections,
// whether an open succeeds), for discovery cases the simulated mouse cannot show. Its devices
// record the feature reports they are sent and answer GetFeature with a fixed reply.
// Used on the test's thread; Fire delivers a hot-plug event on the caller's thread.
#pragma once

#include "platform/hid.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <mutex>
#include <vector>

namespace testing_support {

struct FakeInterface {
    platform::HidInterfaceInfo info;
    bool opens = true;
    bool accessDenied = false;  // the open fails for want of permission
};

FakeInterface MakeInterface(const QString& path, std::uint16_t vendorId, std::uint16_t productId,
                            std::uint16_t usagePage, std::uint16_t usage);

class FakeHidDevice final : public platform::HidDevice {
public:
    explicit FakeHidDevice(platform::HidInterfaceInfo info) : info_(std::move(info)) {}

    bool SetFeature(const std::uint8_t* report, std::size_t length) override;
    bool GetFeature(std::uint8_t* report, std::size_t length) override;
    int ReadInput(std::uint8_t* buffer, std::size_t length, int timeoutMs) override;
    platform::HidAttributes Attributes() const override { return info_.attributes; }
    platform::HidCaps Caps() const override { return info_.caps; }

    std::vector<std::vector<std::uint8_t>> SentReports() const;
    void SetReply(std::vector<std::uint8_t> reply);

private:
    platform::HidInterfaceInfo info_;
    mutable std::mutex mutex_;
    std::vector<std::vector<std::uint8_t>> sent_;
    std::vector<std::uint8_t> reply_;
};

class FakeHidBackend final : public platform::HidBackend {
public:
    std::vector<platform::HidInterfaceInfo> Enumerate() override;
    std::shared_ptr<platform::HidDevice> Open(const QString& path) override;
    // The part of a refused interface's path before '#', as the node.
    QString AccessDeniedNode(const QString& path) override;
    void SetHotplugHandler(platform::HidHotplugHandler handler) override;

    std::vector<FakeInterface> interfaces;
    QStringList openedPaths;
    int enumerations = 0;
    int handlerInstalls = 0;  // non-empty handlers installed
    std::vector<std::shared_ptr<FakeHidDevice>> devices;

    bool HasHandler() const { return static_cast<bool>(handler_); }
    void Fire(platform::HidHotplugEvent event, const QString& path);

private:
    platform::HidHotplugHandler handler_;
};

}  // namespace testing_support
