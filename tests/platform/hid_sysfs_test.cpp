#include "platform/hid_sysfs.h"
#include "platform/hidraw_backend.h"

#include "fake_sysfs.h"
#include "hid_sample_descriptors.h"

#include <gtest/gtest.h>
#include <QFile>

namespace {

using platform::HidInterfaceInfo;
using platform::HidrawBackend;

QStringList PathsOf(const std::vector<HidInterfaceInfo>& interfaces) {
    QStringList paths;
    for (const HidInterfaceInfo& info : interfaces) {
        paths << info.path;
    }
    return paths;
}

TEST(HidSysfsEnumerate, EveryCollectionOfANodeIsAnInterface) {
    FakeSysfs fake;
    fake.AddNode(QStringLiteral("hidraw0"), 0x1A2B, 0x00C4, hid_samples::GamingMouse(),
                 QStringLiteral("0102"));
    HidrawBackend backend(fake.SysRoot(), fake.DevRoot());
    const auto interfaces = backend.Enumerate();
    const QString node = fake.DevRoot() + QStringLiteral("/hidraw0");
    ASSERT_EQ(PathsOf(interfaces),
              (QStringList{node + QStringLiteral("#0"), node + QStringLiteral("#1"),
                           node + QStringLiteral("#2")}));
    for (const HidInterfaceInfo& info : interfaces) {
        EXPECT_EQ(info.attributes.vendorId, 0x1A2B);
        EXPECT_EQ(info.attributes.productId, 0x00C4);
        EXPECT_EQ(info.attributes.versionNumber, 0x0102);
    }
    EXPECT_EQ(interfaces[0].caps.usagePage, 0x01);
    EXPECT_EQ(interfaces[0].caps.usage, 0x02);
    EXPECT_EQ(interfaces[1].caps.usagePage, 0xFF00);
    EXPECT_EQ(interfaces[1].caps.usage, 1);
    EXPECT_EQ(interfaces[1].caps.inputReportByteLength, 5);
    EXPECT_EQ(interfaces[1].caps.featureReportByteLength, 0);
    EXPECT_EQ(interfaces[2].caps.usagePage, 0xFF01);
    EXPECT_EQ(interfaces[2].caps.usage, 1);
    EXPECT_EQ(interfaces[2].caps.inputReportByteLength, 0);
    EXPECT_EQ(interfaces[2].caps.outputReportByteLength, 0);
    EXPECT_EQ(interfaces[2].caps.featureReportByteLength, 8);
}

TEST(HidSysfsEnumerate, NodesComeInNumericOrder) {
    FakeSysfs fake;
    // The vendor collections on two nodes, the feature one on the lower number.
    fake.AddNode(QStringLiteral("hidraw10"), 0x1A2B, 0x00C4,
                 hid_samples::Concat({hid_samples::VendorInputCollection}));
    fake.AddNode(QStringLiteral("hidraw2"), 0x1A2B, 0x00C4,
                 hid_samples::Concat({hid_samples::VendorFeatureCollection}));
    fake.AddNode(QStringLiteral("hidraw9"), 0x046D, 0xC077, hid_samples::BootMouse);
    HidrawBackend backend(fake.SysRoot(), fake.DevRoot());
    const auto interfaces = backend.Enumerate();
    const QString dev = fake.DevRoot();
    ASSERT_EQ(PathsOf(interfaces),
              (QStringList{dev + QStringLiteral("/hidraw2#0"), dev + QStringLiteral("/hidraw9#0"),
                           dev + QStringLiteral("/hidraw10#0")}));
    EXPECT_EQ(interfaces[0].caps.usagePage, 0xFF01);
    EXPECT_EQ(interfaces[1].attributes.vendorId, 0x046D);
    EXPECT_EQ(interfaces[1].attributes.productId, 0xC077);
    EXPECT_EQ(interfaces[1].attributes.versionNumber, 0);
    EXPECT_EQ(interfaces[2].caps.usagePage, 0xFF00);
    // The same machine lists the same way twice.
    EXPECT_EQ(PathsOf(backend.Enumerate()), PathsOf(interfaces));
}

TEST(HidSysfsEnumerate, UnreadableOrForeignEntriesAreLeftOut) {
    FakeSysfs fake;
    fake.AddNode(QStringLiteral("hidraw0"), 0x1111, 0x2222, hid_samples::BootMouse);
    fake.AddNode(QStringLiteral("hidraw1"), 0x3333, 0x4444, hid_samples::BootMouse);
    QFile::remove(QFileInfo(fake.SysRoot() + QStringLiteral("/class/hidraw/hidraw1/device"))
                      .canonicalFilePath() +
                  QStringLiteral("/report_descriptor"));
    QDir().mkpath(fake.SysRoot() + QStringLiteral("/class/hidraw/hidrawx"));
    QDir().mkpath(fake.SysRoot() + QStringLiteral("/class/hidraw/mouse0"));
    // A uevent without HID_ID still lists the node, with no identity.
    fake.AddNode(QStringLiteral("hidraw2"), 0x5555, 0x6666, hid_samples::BootMouse);
    FakeSysfs::Write(QFileInfo(fake.SysRoot() + QStringLiteral("/class/hidraw/hidraw2/device"))
                             .canonicalFilePath() +
                         QStringLiteral("/uevent"),
                     "HID_NAME=x\nHID_ID=garbage\n");
    HidrawBackend backend(fake.SysRoot(), fake.DevRoot());
    const auto interfaces = backend.Enumerate();
    ASSERT_EQ(interfaces.size(), 2u);
    EXPECT_TRUE(interfaces[0].path.endsWith(QStringLiteral("/hidraw0#0")));
    EXPECT_EQ(interfaces[0].attributes.vendorId, 0x1111);
    EXPECT_TRUE(interfaces[1].path.endsWith(QStringLiteral("/hidraw2#0")));
    EXPECT_EQ(interfaces[1].attributes.vendorId, 0);
    EXPECT_EQ(interfaces[1].attributes.productId, 0);
}

TEST(HidSysfsEnumerate, NoHidrawClassMeansNoInterfaces) {
    QTemporaryDir empty;
    HidrawBackend backend(empty.path(), empty.path());
    EXPECT_TRUE(backend.Enumerate().empty());
}

TEST(HidInterfacePath, NamesNodeAndCollection) {
    EXPECT_EQ(platform::HidInterfacePath(QStringLiteral("/dev/hidraw3"), 1),
              QStringLiteral("/dev/hidraw3#1"));
    const auto address = platform::ParseHidInterfacePath(QStringLiteral("/dev/hidraw3#12"));
    ASSERT_TRUE(address);
    EXPECT_EQ(address->devNode, QStringLiteral("/dev/hidraw3"));
    EXPECT_EQ(address->collection, 12u);
    for (const char* bad :
         {"/dev/hidraw3", "/dev/hidraw3#", "#1", "/dev/hidraw3#-1", "/dev/hidraw3#1a",
          "/dev/hidraw3#01", "/dev/hidraw3# 1", "/dev/hidraw3#99999999999999999999"}) {
        EXPECT_FALSE(platform::ParseHidInterfacePath(QString::fromLatin1(bad))) << bad;
    }
}

TEST(HidrawOpen, RefusesWhatIsNotAHidrawInterface) {
    FakeSysfs fake;
    fake.AddNode(QStringLiteral("hidraw0"), 0x1A2B, 0x00C4, hid_samples::GamingMouse());
    HidrawBackend backend(fake.SysRoot(), fake.DevRoot());
    const QString node = fake.DevRoot() + QStringLiteral("/hidraw0");
    // The fake node is a plain file, not a device.
    EXPECT_EQ(backend.Open(node + QStringLiteral("#1")), nullptr);
    EXPECT_EQ(backend.Open(node), nullptr);
    EXPECT_EQ(backend.Open(fake.DevRoot() + QStringLiteral("/hidraw7#0")), nullptr);
    EXPECT_EQ(backend.Open(QStringLiteral("/dev/null#0")), nullptr);
    EXPECT_EQ(backend.Open(QString()), nullptr);
}

// A character device that answers no hidraw request: the interface is then described from
// sysfs, and every report fails.
TEST(HidrawOpen, DeviceThatRefusesRequestsIsDescribedFromSysfsAndFails) {
    FakeSysfs fake;
    fake.AddNode(QStringLiteral("hidraw4"), 0x1A2B, 0x00C4, hid_samples::GamingMouse());
    const QString node = fake.DevRoot() + QStringLiteral("/hidraw4");
    QFile::remove(node);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), node));
    HidrawBackend backend(fake.SysRoot(), fake.DevRoot());

    EXPECT_EQ(backend.Open(node + QStringLiteral("#3")), nullptr);  // no fourth collection
    const auto feature = backend.Open(node + QStringLiteral("#2"));
    ASSERT_NE(feature, nullptr);
    EXPECT_EQ(feature->Caps().usagePage, 0xFF01);
    EXPECT_EQ(feature->Caps().featureReportByteLength, 8);
    EXPECT_EQ(feature->Attributes().vendorId, 0x1A2B);
    EXPECT_EQ(feature->Attributes().productId, 0x00C4);
    std::uint8_t report[8] = {0x07, 0x18, 0x03, 0x00, 0x01, 0x00, 0x05, 0x00};
    EXPECT_FALSE(feature->SetFeature(report, sizeof report));
    EXPECT_FALSE(feature->GetFeature(report, sizeof report));
    // End of file on the node: the device is gone.
    std::uint8_t input[8] = {};
    EXPECT_EQ(feature->ReadInput(input, sizeof input, 0), -1);
}

}  // namespace
