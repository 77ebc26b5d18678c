#include "device/discovery.h"

#include "support/fake_hid_backend.h"
#include "support/simulated_link.h"

#include <gtest/gtest.h>

#include <QString>
#include <vector>

namespace {

using platform::HidHotplugEvent;
using testing_support::FakeHidBackend;
using testing_support::MakeInterface;

constexpr std::uint16_t Vid = 0x1209;
constexpr std::uint16_t Pid = 0x0003;  // one of the built-in pairs, not the first

QString Path(int n) {
    return QStringLiteral("/dev/hidraw%1").arg(n);
}

class Discovery : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetHidBackend(&backend);
        FillDevIds();
        SetDeviceRemovedHandler([this] { ++removals; });
    }
    void TearDown() override {
        UnregisterDeviceNotification();
        SetDeviceNotificationTarget({});
        SetDeviceRemovedHandler({});
        g_hDevInput.Store(nullptr);
        g_hDevFeature.Store(nullptr);
        g_deviceConnected = 0;
        g_strDevicePath.clear();
        platform::SetHidBackend(nullptr);
    }
    void AddOther(int count) {
        for (int i = 0; i < count; ++i) {
            backend.interfaces.push_back(MakeInterface(Path(100 + i), 0x1234, 0x5678, 0x0001, 2));
        }
    }
    void AddMouseInput(const QString& path) {
        backend.interfaces.push_back(MakeInterface(path, Vid, Pid, 0xFF00, 1));
    }
    void AddMouseFeature(const QString& path) {
        backend.interfaces.push_back(MakeInterface(path, Vid, Pid, 0xFF01, 1));
    }

    FakeHidBackend backend;
    int removals = 0;
};

// --- The search -------------------------------------------------------------------------------

TEST_F(Discovery, TwoCollectionsOfOneNodeAreFoundAndTheLastPathKept) {
    AddOther(2);
    AddMouseInput(Path(3) + "#col01");
    AddMouseFeature(Path(3) + "#col02");
    AddOther(1);
    EXPECT_EQ(OpenDevice(), 1);
    EXPECT_EQ(g_deviceConnected, 1);
    EXPECT_EQ(g_strDevicePath, Path(3) + "#col02");
    ASSERT_NE(g_hDevInput.Load(), nullptr);
    ASSERT_NE(g_hDevFeature.Load(), nullptr);
    EXPECT_EQ(g_hDevInput.Load()->Caps().usagePage, 0xFF00);
    EXPECT_EQ(g_hDevFeature.Load()->Caps().usagePage, 0xFF01);
    EXPECT_EQ(g_capsInput.Load().inputReportByteLength, 8);
    EXPECT_EQ(g_capsFeature.Load().featureReportByteLength, 8);
    // The search stopped at the mouse's second collection.
    EXPECT_EQ(backend.openedPaths, (QStringList{Path(3) + "#col01", Path(3) + "#col02"}));
}

TEST_F(Discovery, CollectionsOnTwoNodesInEitherOrder) {
    AddMouseFeature(Path(7));
    AddOther(3);
    AddMouseInput(Path(4));
    EXPECT_EQ(OpenDevice(), 1);
    EXPECT_EQ(g_strDevicePath, Path(4));
    EXPECT_EQ(g_hDevFeature.Load()->Caps().usagePage, 0xFF01);
    EXPECT_EQ(g_hDevInput.Load()->Caps().usagePage, 0xFF00);
}

TEST_F(Discovery, AVendorCollectionOfAnotherUsageIsSkipped) {
    backend.interfaces.push_back(MakeInterface(Path(1), Vid, Pid, 0xFF00, 2));
    backend.interfaces.push_back(MakeInterface(Path(2), Vid, Pid, 0xFF01, 3));
    AddMouseFeature(Path(3));
    EXPECT_EQ(OpenDevice(), 0);
    EXPECT_EQ(backend.openedPaths, QStringList{Path(3)});

    AddMouseInput(Path(4));
    EXPECT_EQ(OpenDevice(), 1);
    EXPECT_EQ(g_hDevInput.Load()->Caps().usage, 1);
}

TEST_F(Discovery, NoInterfaceAtAllFindsNothing) {
    EXPECT_EQ(OpenDevice(), 0);
    EXPECT_EQ(g_deviceConnected, 0);
    EXPECT_EQ(g_hDevInput.Load(), nullptr);
    EXPECT_TRUE(backend.openedPaths.isEmpty());
    EXPECT_FALSE(backend.HasHandler());  // nothing matched, nothing registered
}

TEST_F(Discovery, OnlyTheFirstHundredInterfacesAreSearched) {
    AddOther(98);
    AddMouseInput(Path(1));    // index 98
    AddMouseFeature(Path(2));  // index 99
    EXPECT_EQ(OpenDevice(), 1);

    backend.interfaces.clear();
    backend.openedPaths.clear();
    AddOther(99);
    AddMouseInput(Path(1));    // index 99: examined
    AddMouseFeature(Path(2));  // index 100: beyond the search
    EXPECT_EQ(OpenDevice(), 0);
    EXPECT_EQ(backend.openedPaths, QStringList{Path(1)});
}

TEST_F(Discovery, AnExhaustedSearchIsNotConnectedEvenIfTheLastInterfaceMatched) {
    AddOther(5);
    AddMouseInput(Path(1));  // the feature collection never shows up
    EXPECT_EQ(OpenDevice(), 0);
    EXPECT_EQ(g_deviceConnected, 0);
    EXPECT_EQ(g_strDevicePath, Path(1));
}

TEST_F(Discovery, ACollectionThatCannotBeOpenedDoesNotCountAsOpen) {
    AddMouseInput(Path(1));
    backend.interfaces.push_back(MakeInterface(Path(2), Vid, Pid, 0xFF01, 1));
    backend.interfaces.back().opens = false;
    EXPECT_EQ(OpenDevice(), 0);
    EXPECT_EQ(g_hDevFeature.Load(), nullptr);
}

TEST_F(Discovery, TheEmptySeventhPairMatchesNoDeviceWithZeroIdentifiers) {
    backend.interfaces.push_back(MakeInterface(Path(1), 0, 0, 0xFF00, 1));
    backend.interfaces.push_back(MakeInterface(Path(2), 0, 0, 0xFF01, 1));
    EXPECT_EQ(OpenDevice(), 0);
    EXPECT_TRUE(backend.openedPaths.isEmpty());
}

// --- Arrival and removal ----------------------------------------------------------------------

TEST_F(Discovery, ArrivalWhileConnectedIsIgnored) {
    AddMouseInput(Path(1));
    AddMouseFeature(Path(2));
    ASSERT_EQ(OpenDevice(), 1);
    const int before = backend.enumerations;
    DeviceBroadcastHeader ours{DBT_DEVTYP_DEVICEINTERFACE, Path(2)};
    EXPECT_EQ(OnDeviceChange(DBT_DEVICEARRIVAL, &ours), 1);
    EXPECT_EQ(OnDeviceChange(DBT_DEVICEARRIVAL, &ours), 1);
    EXPECT_EQ(backend.enumerations, before);
    EXPECT_EQ(g_deviceConnected, 1);
}

TEST_F(Discovery, RemovalOfAnotherDeviceIsIgnoredAndOursEndsTheWindow) {
    AddMouseInput(Path(1));
    AddMouseFeature(Path(2));
    ASSERT_EQ(OpenDevice(), 1);
    DeviceBroadcastHeader other{DBT_DEVTYP_DEVICEINTERFACE, Path(9)};
    OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, &other);
    DeviceBroadcastHeader otherType{3, Path(2)};
    OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, &otherType);
    OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, nullptr);
    DeviceBroadcastHeader ours{DBT_DEVTYP_DEVICEINTERFACE, Path(2)};
    OnDeviceChange(0x0007, &ours);  // neither arrival nor removal
    EXPECT_EQ(removals, 0);
    EXPECT_EQ(g_deviceConnected, 1);

    DeviceBroadcastHeader oursUpper{DBT_DEVTYP_DEVICEINTERFACE, Path(2).toUpper()};
    EXPECT_EQ(OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, &oursUpper), 1);
    EXPECT_EQ(removals, 1);
    EXPECT_EQ(g_deviceConnected, 0);
}

TEST_F(Discovery, ArrivalAfterRemovalReopensWithoutTheDeadHandles) {
    AddMouseInput(Path(1));
    AddMouseFeature(Path(2));
    ASSERT_EQ(OpenDevice(), 1);
    const auto oldFeature = g_hDevFeature.Load();
    DeviceBroadcastHeader ours{DBT_DEVTYP_DEVICEINTERFACE, Path(2)};
    OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, &ours);

    // Back with its feature collection not yet there: not connected, the old handle not used.
    backend.interfaces = {MakeInterface(Path(1), Vid, Pid, 0xFF00, 1),
                          MakeInterface(Path(2), Vid, Pid, 0x0001, 1)};
    OnDeviceChange(DBT_DEVICEARRIVAL, &ours);
    EXPECT_EQ(g_deviceConnected, 0);
    EXPECT_EQ(g_hDevFeature.Load(), nullptr);

    backend.interfaces = {MakeInterface(Path(1), Vid, Pid, 0xFF00, 1),
                          MakeInterface(Path(2), Vid, Pid, 0xFF01, 1)};
    OnDeviceChange(DBT_DEVICEARRIVAL, &ours);
    EXPECT_EQ(g_deviceConnected, 1);
    ASSERT_NE(g_hDevFeature.Load(), nullptr);
    EXPECT_NE(g_hDevFeature.Load(), oldFeature);
}

TEST_F(Discovery, NotificationsReachTheTargetAsDeviceChangeEventsFromOneRegistration) {
    AddMouseInput(Path(1));
    AddMouseFeature(Path(2));
    ASSERT_EQ(OpenDevice(), 1);
    ASSERT_EQ(OpenDevice(), 1);
    EXPECT_EQ(backend.handlerInstalls, 1);

    std::vector<std::pair<std::uintptr_t, QString>> received;
    SetDeviceNotificationTarget([&](std::uintptr_t event, const DeviceBroadcastHeader& header) {
        EXPECT_EQ(header.deviceType, DBT_DEVTYP_DEVICEINTERFACE);
        received.emplace_back(event, header.name);
        OnDeviceChange(event, &header);
    });
    backend.Fire(HidHotplugEvent::Arrival, Path(5));
    backend.Fire(HidHotplugEvent::Removal, Path(1));
    EXPECT_EQ(removals, 0);
    backend.Fire(HidHotplugEvent::Removal, Path(2));
    EXPECT_EQ(removals, 1);
    EXPECT_EQ(received, (std::vector<std::pair<std::uintptr_t, QString>>{
                            {DBT_DEVICEARRIVAL, Path(5)},
                            {DBT_DEVICEREMOVECOMPLETE, Path(1)},
                            {DBT_DEVICEREMOVECOMPLETE, Path(2)},
                        }));
    UnregisterDeviceNotification();
    EXPECT_FALSE(backend.HasHandler());
}

// --- With the simulated mouse -----------------------------------------------------------------

TEST(DiscoverySimulated, FindsTheSimulatedMouseAndFollowsItsUnplugAndReplug) {
    testing_support::SimulatedLink link;
    ASSERT_TRUE(link.connected());
    EXPECT_EQ(g_strDevicePath, platform::SimulatedMouse::FeaturePath);
    int removals = 0;
    SetDeviceRemovedHandler([&] { ++removals; });
    SetDeviceNotificationTarget([](std::uintptr_t event, const DeviceBroadcastHeader& header) {
        OnDeviceChange(event, &header);
    });
    const auto input = g_hDevInput.Load();
    link.mouse().Unplug();
    EXPECT_EQ(removals, 1);
    EXPECT_EQ(g_deviceConnected, 0);
    std::uint8_t buffer[8];
    EXPECT_EQ(input->ReadInput(buffer, sizeof buffer, 0), -1);

    link.mouse().Replug();
    EXPECT_EQ(g_deviceConnected, 1);
    link.mouse().InjectInput({0x06, 0xF1, 0x00});
    EXPECT_EQ(g_hDevInput.Load()->ReadInput(buffer, sizeof buffer, 0), 3);
    EXPECT_EQ(input->ReadInput(buffer, sizeof buffer, 0), -1);  // the old handle stays dead
}

}  // namespace
