#include "platform/hid_report_route.h"
#include "platform/hidraw_device.h"

#include "hid_sample_descriptors.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>
#include <atomic>
#include <thread>

namespace {

using hid_samples::Bytes;
using platform::HidReportRoute;
using platform::ShapeInputReport;

HidReportRoute RouteOf(const Bytes& descriptor, std::size_t collection) {
    const auto info = platform::ParseReportDescriptor(descriptor.data(), descriptor.size());
    return HidReportRoute{info.collections.at(collection), info.usesReportIds};
}

std::optional<Bytes> Shape(const HidReportRoute& route, const Bytes& raw, std::size_t room) {
    Bytes out(room, 0xEE);
    const auto length = ShapeInputReport(route, raw.data(), raw.size(), out.data(), out.size());
    if (!length) {
        return std::nullopt;
    }
    out.resize(*length);
    return out;
}

TEST(HidInputRoute, EachCollectionKeepsOnlyItsOwnReports) {
    const Bytes mouse = hid_samples::GamingMouse();
    const HidReportRoute pointer = RouteOf(mouse, 0);
    const HidReportRoute vendorInput = RouteOf(mouse, 1);
    const HidReportRoute vendorFeature = RouteOf(mouse, 2);
    const Bytes motion = {0x01, 0x00, 0x05, 0x00, 0xFB, 0xFF, 0x00};
    const Bytes event = {0x06, 0x02, 0x01, 0x00, 0x00};

    EXPECT_EQ(Shape(pointer, motion, 64), motion);
    EXPECT_FALSE(Shape(pointer, event, 64));
    EXPECT_EQ(Shape(vendorInput, event, 5), event);
    EXPECT_FALSE(Shape(vendorInput, motion, 64));
    EXPECT_FALSE(Shape(vendorFeature, event, 64));
    EXPECT_FALSE(Shape(vendorInput, Bytes{}, 64));
}

TEST(HidInputRoute, ReportsArriveInWindowsLayout) {
    const HidReportRoute vendorInput = RouteOf(hid_samples::GamingMouse(), 1);
    // A device that sends a short report: zeros up to the collection's length.
    EXPECT_EQ(Shape(vendorInput, Bytes{0x06, 0x03}, 64), (Bytes{0x06, 0x03, 0x00, 0x00, 0x00}));
    // A buffer shorter than the report takes its start.
    EXPECT_EQ(Shape(vendorInput, Bytes{0x06, 0x03, 0x04, 0x05, 0x06}, 3),
              (Bytes{0x06, 0x03, 0x04}));
    // Without report ids the kernel leaves the id out; Windows puts a 0 in front.
    const HidReportRoute boot = RouteOf(hid_samples::BootMouse, 0);
    EXPECT_EQ(Shape(boot, Bytes{0x01, 0x7F, 0x80}, 4), (Bytes{0x00, 0x01, 0x7F, 0x80}));
    EXPECT_EQ(Shape(boot, Bytes{0x01, 0x7F, 0x80}, 2), (Bytes{0x00, 0x01}));
    EXPECT_EQ(Shape(boot, Bytes{0x01}, 8), (Bytes{0x00, 0x01, 0x00, 0x00}));
}

TEST(HidFeatureRoute, FeatureIdsBelongToTheirCollection) {
    const Bytes mouse = hid_samples::GamingMouse();
    EXPECT_TRUE(platform::FeatureReportBelongs(RouteOf(mouse, 2), 0x07));
    EXPECT_FALSE(platform::FeatureReportBelongs(RouteOf(mouse, 2), 0x06));
    EXPECT_FALSE(platform::FeatureReportBelongs(RouteOf(mouse, 2), 0x00));
    EXPECT_FALSE(platform::FeatureReportBelongs(RouteOf(mouse, 1), 0x07));
    const Bytes unnumbered = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,
                              0x75, 0x08, 0x95, 0x07, 0xB1, 0x02, 0xC0};
    EXPECT_TRUE(platform::FeatureReportBelongs(RouteOf(unnumbered, 0), 0x00));
    EXPECT_FALSE(platform::FeatureReportBelongs(RouteOf(unnumbered, 0), 0x07));
}

// A sequenced-packet socket hands over one message per read, as a hidraw node hands over one
// report: the test writes the node's side, the device reads the other.
class HidrawDeviceOnSocket : public ::testing::Test {
protected:
    void Open(std::size_t collection, const Bytes& descriptor = hid_samples::GamingMouse()) {
        int fds[2] = {-1, -1};
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds), 0);
        kernelSide_ = fds[1];
        device_ = platform::MakeHidrawDevice(fds[0], RouteOf(descriptor, collection),
                                             platform::HidAttributes{0x1A2B, 0x00C4, 0x0100});
    }
    void TearDown() override { CloseKernelSide(); }

    void Send(const Bytes& report) {
        ASSERT_EQ(::write(kernelSide_, report.data(), report.size()),
                  static_cast<ssize_t>(report.size()));
    }
    void CloseKernelSide() {
        if (kernelSide_ >= 0) {
            ::close(kernelSide_);
            kernelSide_ = -1;
        }
    }
    Bytes Read(int timeoutMs, int* result) {
        Bytes buffer(16, 0xEE);
        *result = device_->ReadInput(buffer.data(), buffer.size(), timeoutMs);
        buffer.resize(*result > 0 ? static_cast<std::size_t>(*result) : 0);
        return buffer;
    }

    int kernelSide_ = -1;
    std::shared_ptr<platform::HidDevice> device_;
};

TEST_F(HidrawDeviceOnSocket, ReadSkipsOtherCollectionsReports) {
    Open(1);
    Send({0x01, 0x01, 0x02, 0x00, 0x03, 0x00, 0x00});
    Send({0x06, 0x02, 0x01, 0x00, 0x00});
    Send({0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    Send({0x06, 0x05, 0x00, 0x00, 0x00});
    int result = 0;
    EXPECT_EQ(Read(0, &result), (Bytes{0x06, 0x02, 0x01, 0x00, 0x00}));
    EXPECT_EQ(result, 5);
    EXPECT_EQ(Read(0, &result), (Bytes{0x06, 0x05, 0x00, 0x00, 0x00}));
    // Only foreign reports, or nothing at all: a time-out.
    Send({0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    Read(0, &result);
    EXPECT_EQ(result, 0);
    Read(5, &result);
    EXPECT_EQ(result, 0);
}

TEST_F(HidrawDeviceOnSocket, UnpluggedNodeEndsTheRead) {
    Open(1);
    Send({0x06, 0x09, 0x00, 0x00, 0x00});
    CloseKernelSide();
    int result = 0;
    // What was queued before the unplug is still delivered.
    EXPECT_EQ(Read(-1, &result), (Bytes{0x06, 0x09, 0x00, 0x00, 0x00}));
    Read(-1, &result);
    EXPECT_EQ(result, -1);
    Read(0, &result);
    EXPECT_EQ(result, -1);
}

TEST_F(HidrawDeviceOnSocket, ReportsTheCollectionsCapsAndTheNodesAttributes) {
    Open(2);
    EXPECT_EQ(device_->Caps().usagePage, 0xFF01);
    EXPECT_EQ(device_->Caps().usage, 1);
    EXPECT_EQ(device_->Caps().featureReportByteLength, 8);
    EXPECT_EQ(device_->Attributes().vendorId, 0x1A2B);
    EXPECT_EQ(device_->Attributes().versionNumber, 0x0100);
    std::uint8_t tooLong[20000] = {0x07};
    EXPECT_FALSE(device_->SetFeature(tooLong, sizeof tooLong));
    EXPECT_FALSE(device_->SetFeature(nullptr, 8));
    std::uint8_t buffer[1] = {};
    EXPECT_EQ(device_->ReadInput(buffer, 0, 0), -1);
}

// The event thread blocks in a read while another thread sends feature reports.
TEST_F(HidrawDeviceOnSocket, ReadOnOneThreadWhileFeaturesGoOutOnAnother) {
    Open(1);
    std::atomic<int> result{-2};
    std::thread reader([&] {
        std::uint8_t buffer[5] = {};
        result = device_->ReadInput(buffer, sizeof buffer, -1);
    });
    std::uint8_t report[8] = {0x07, 0x11, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00};
    for (int i = 0; i < 200; ++i) {
        device_->SetFeature(report, sizeof report);
        device_->GetFeature(report, sizeof report);
        EXPECT_EQ(device_->Caps().inputReportByteLength, 5);
    }
    Send({0x06, 0x01, 0x00, 0x00, 0x00});
    reader.join();
    EXPECT_EQ(result.load(), 5);
}

TEST_F(HidrawDeviceOnSocket, NodeWithoutReportIdsGetsAZeroInFront) {
    Open(0, hid_samples::BootMouse);
    Send({0x01, 0x02, 0x03});
    int result = 0;
    EXPECT_EQ(Read(0, &result), (Bytes{0x00, 0x01, 0x02, 0x03}));
}

}  // namespace
