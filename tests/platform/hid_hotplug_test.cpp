#include "platform/hid_node_tracker.h"
#include "platform/hidraw_backend.h"

#include "fake_sysfs.h"
#include "hid_sample_descriptors.h"

#include <gtest/gtest.h>

namespace {

using platform::HidHotplugEvent;
using platform::HidNodeTracker;
using platform::HidPathEvent;

TEST(HidNodeTracker, AddAnnouncesEveryInterfaceOfTheNode) {
    FakeSysfs fake;
    HidNodeTracker tracker(fake.SysRoot(), fake.DevRoot());
    tracker.Prime();
    fake.AddNode(QStringLiteral("hidraw3"), 0x1A2B, 0x00C4, hid_samples::GamingMouse());
    const QString node = fake.DevRoot() + QStringLiteral("/hidraw3");
    EXPECT_EQ(tracker.OnNodeEvent(QStringLiteral("add"), QStringLiteral("hidraw3")),
              (std::vector<HidPathEvent>{{HidHotplugEvent::Arrival, node + QStringLiteral("#0")},
                                         {HidHotplugEvent::Arrival, node + QStringLiteral("#1")},
                                         {HidHotplugEvent::Arrival, node + QStringLiteral("#2")}}));
}

TEST(HidNodeTracker, RemovalNamesThePathsSeenWhenTheNodeCame) {
    FakeSysfs fake;
    fake.AddNode(QStringLiteral("hidraw0"), 0x046D, 0xC077, hid_samples::BootMouse);
    fake.AddNode(QStringLiteral("hidraw1"), 0x1A2B, 0x00C4,
                 hid_samples::Concat(
                     {hid_samples::VendorInputCollection, hid_samples::VendorFeatureCollection}));
    HidNodeTracker tracker(fake.SysRoot(), fake.DevRoot());
    tracker.Prime();
    // By the time the removal is announced, sysfs has forgotten the node.
    fake.RemoveNode(QStringLiteral("hidraw1"));
    const QString node = fake.DevRoot() + QStringLiteral("/hidraw1");
    EXPECT_EQ(tracker.OnNodeEvent(QStringLiteral("remove"), QStringLiteral("hidraw1")),
              (std::vector<HidPathEvent>{{HidHotplugEvent::Removal, node + QStringLiteral("#0")},
                                         {HidHotplugEvent::Removal, node + QStringLiteral("#1")}}));
    // Once only.
    EXPECT_TRUE(tracker.OnNodeEvent(QStringLiteral("remove"), QStringLiteral("hidraw1")).empty());
}

TEST(HidNodeTracker, ReplugOfTheSameNodeComesAndGoesAgain) {
    FakeSysfs fake;
    HidNodeTracker tracker(fake.SysRoot(), fake.DevRoot());
    tracker.Prime();
    fake.AddNode(QStringLiteral("hidraw5"), 0x1A2B, 0x00C4, hid_samples::BootMouse);
    EXPECT_EQ(tracker.OnNodeEvent(QStringLiteral("add"), QStringLiteral("hidraw5")).size(), 1u);
    fake.RemoveNode(QStringLiteral("hidraw5"));
    EXPECT_EQ(tracker.OnNodeEvent(QStringLiteral("remove"), QStringLiteral("hidraw5")).size(), 1u);
    fake.AddNode(QStringLiteral("hidraw5"), 0x1A2B, 0x00C4, hid_samples::GamingMouse());
    EXPECT_EQ(tracker.OnNodeEvent(QStringLiteral("add"), QStringLiteral("hidraw5")).size(), 3u);
    fake.RemoveNode(QStringLiteral("hidraw5"));
    EXPECT_EQ(tracker.OnNodeEvent(QStringLiteral("remove"), QStringLiteral("hidraw5")).size(), 3u);
}

TEST(HidNodeTracker, OtherActionsAndNamesAreIgnored) {
    FakeSysfs fake;
    fake.AddNode(QStringLiteral("hidraw0"), 0x046D, 0xC077, hid_samples::BootMouse);
    HidNodeTracker tracker(fake.SysRoot(), fake.DevRoot());
    tracker.Prime();
    EXPECT_TRUE(tracker.OnNodeEvent(QStringLiteral("change"), QStringLiteral("hidraw0")).empty());
    EXPECT_TRUE(tracker.OnNodeEvent(QStringLiteral("bind"), QStringLiteral("hidraw0")).empty());
    EXPECT_TRUE(tracker.OnNodeEvent(QStringLiteral("remove"), QStringLiteral("event4")).empty());
    // A node that vanished before it could be read brings nothing, and is not remembered.
    EXPECT_TRUE(tracker.OnNodeEvent(QStringLiteral("add"), QStringLiteral("hidraw8")).empty());
    EXPECT_TRUE(tracker.OnNodeEvent(QStringLiteral("remove"), QStringLiteral("hidraw8")).empty());
    // The primed node is still known after all that.
    EXPECT_EQ(tracker.OnNodeEvent(QStringLiteral("remove"), QStringLiteral("hidraw0")).size(), 1u);
}

// The device manager may or may not run where the tests do; either way starting and stopping
// delivery must neither fail nor hang, and a backend dropped while listening stops cleanly.
TEST(HidrawHotplug, StartsAndStopsWithOrWithoutADeviceManager) {
    FakeSysfs fake;
    fake.AddNode(QStringLiteral("hidraw0"), 0x1A2B, 0x00C4, hid_samples::GamingMouse());
    std::atomic<int> calls{0};
    {
        platform::HidrawBackend backend(fake.SysRoot(), fake.DevRoot());
        for (int round = 0; round < 3; ++round) {
            backend.SetHotplugHandler([&](HidHotplugEvent, const QString&) { ++calls; });
            backend.SetHotplugHandler([&](HidHotplugEvent, const QString&) { ++calls; });
            backend.SetHotplugHandler({});
        }
        backend.SetHotplugHandler({});
        backend.SetHotplugHandler([&](HidHotplugEvent, const QString&) { ++calls; });
    }
    // Nodes present at the start are not announced as arrivals.
    EXPECT_EQ(calls.load(), 0);
}

}  // namespace
