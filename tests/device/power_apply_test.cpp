// A sleep or a wake-up writes the mouse again with what the last Apply wrote; after a wake-up the
// image goes to the mouse that is there now, even when it came back as another device node.
#include <gtest/gtest.h>

#include "common/paths.h"
#include "device/apply_settings.h"
#include "device/device_threads.h"
#include "device/discovery.h"
#include "device/power_apply.h"
#include "device/recoil.h"
#include "device/settings_image.h"
#include "macro/macro_record.h"
#include "profile/profile_settings.h"
#include "support/apply_fixture.h"
#include "support/fake_hid_backend.h"
#include "support/program_run.h"
#include "support/simulated_link.h"

namespace {

using testing_support::ApplyFixture;
using testing_support::FakeHidBackend;
using testing_support::HexBytes;
using testing_support::MakeInterface;
using testing_support::ProgramFolder;

class PowerApply : public ApplyFixture {
protected:
    // The reports of one run, without their timing ("+4 set 07 ..." -> "set 07 ...").
    std::vector<std::string> Reports() {
        std::vector<std::string> reports;
        for (const std::string& line : link_->TakeSentReports()) {
            reports.push_back(line.substr(line.find(' ') + 1));
        }
        return reports;
    }
    void TearDown() override {
        UnregisterDeviceNotification();
        platform::SetHidBackend(nullptr);
        ApplyFixture::TearDown();
    }

    FakeHidBackend backend_;
};

TEST_F(PowerApply, AfterAWakeUpTheImageReachesTheMouseOnItsNewNode) {
    Reports();
    ApplySettings();
    const std::vector<std::string> image = Reports();

    // The mouse went away during the sleep and came back under other paths.
    link_->mouse().Unplug();
    const DevId id = BuiltInDevIds[0];
    FakeHidBackend& backend = backend_;
    backend.interfaces = {
        MakeInterface(QStringLiteral("/dev/hidraw7:0"), static_cast<std::uint16_t>(id.vendorId),
                      static_cast<std::uint16_t>(id.productId), 0xFF00, 1),
        MakeInterface(QStringLiteral("/dev/hidraw7:1"), static_cast<std::uint16_t>(id.vendorId),
                      static_cast<std::uint16_t>(id.productId), 0xFF01, 1)};
    platform::SetHidBackend(&backend);

    ApplySettingsOnPowerEvent(PBT_APMRESUMEAUTOMATIC);

    EXPECT_EQ(g_deviceConnected.load(), 1);
    EXPECT_EQ(g_strDevicePath, QStringLiteral("/dev/hidraw7:1"));
    ASSERT_EQ(backend.devices.size(), 2u);
    std::vector<std::string> sent;
    for (const auto& report : backend.devices[1]->SentReports()) {
        sent.push_back("set " + HexBytes(report));
    }
    std::vector<std::string> imageSent;
    for (const std::string& report : image) {
        if (report.rfind("set ", 0) == 0) {
            imageSent.push_back(report);
        }
    }
    EXPECT_EQ(sent, imageSent) << "the whole image, on the node that is there now";
}

// Edits not applied stay in the window: the mouse gets what it was last given, with the recoil
// adjustment it got since, and neither config.ini nor the macro file is written.
TEST_F(PowerApply, APowerEventSendsWhatWasAppliedAndSavesNothing) {
    SetUserMacros({RecoilMacro({5, 9})});
    KeyFunc[0][0] = 50;
    g_dpiSpeed = 3;
    ApplySettings();
    AdjustRecoil(1);
    const MacroRecord adjusted = g_macros[0];
    const QByteArray config = ProgramFolder::ReadFile(g_strConfigIni);
    const QByteArray macros = ProgramFolder::ReadFile(g_strMacroFile);
    const std::uint32_t level = g_dpiLevel;
    Reports();

    g_dpiLevel = level + 1;
    KeyFunc[0][1] = 23;
    g_macros[0].stepParam[0].y = 20;
    g_dpiSpeed = 7;
    for (std::uintptr_t event : {PBT_APMSUSPEND, PBT_APMRESUMEAUTOMATIC}) {
        pointer_.speedSet = -1;
        ApplySettingsOnPowerEvent(event);
        const std::vector<std::string> sent = Reports();
        const int speed = pointer_.speedSet;
        EXPECT_EQ(ProgramFolder::ReadFile(g_strConfigIni), config) << event;
        EXPECT_EQ(ProgramFolder::ReadFile(g_strMacroFile), macros) << event;

        // The same as an Apply made right after the adjustment, with nothing edited.
        const MacroRecord edited = g_macros[0];
        g_dpiLevel = level;
        KeyFunc[0][1] = 2;
        g_macros[0] = adjusted;
        g_dpiSpeed = 3;
        ApplySettings();
        EXPECT_EQ(sent, Reports()) << event;
        EXPECT_EQ(speed, pointer_.speedSet) << event;
        g_dpiLevel = level + 1;
        KeyFunc[0][1] = 23;
        g_macros[0] = edited;
        g_dpiSpeed = 7;
    }
}

// The mouse switched itself to profile 3 since the Apply, and the window followed it: a sleep and
// a wake-up leave the mouse there, and the recoil then adjusts the macro it plays there.
TEST_F(PowerApply, APowerEventKeepsTheProfileTheMouseSwitchedToItself) {
    SetUserMacros({RecoilMacro({5, 9}), RecoilMacro({7, 7})});
    KeyFunc[0][0] = 50;
    KeyFunc[2][0] = 51;
    ApplySettings();
    link_->mouse().SetCurrentProfile(2);
    testing_support::QueuedExecutor queue;
    const std::uint8_t event[] = {0x06, 0x03, 0x00};
    HandleInputReport(event, 3, queue.Executor());
    queue.RunAll();
    ASSERT_EQ(g_curConfig, 3);

    for (std::uintptr_t power : {PBT_APMSUSPEND, PBT_APMRESUMEAUTOMATIC}) {
        ApplySettingsOnPowerEvent(power);
        EXPECT_EQ(link_->mouse().MemoryByte(0x001), 0x42) << power;
        EXPECT_EQ(link_->mouse().CurrentProfile(), 2) << power;
    }
    AdjustRecoil(1);
    EXPECT_EQ(g_macros[0].stepParam[1].y, 9);
    EXPECT_EQ(g_macros[1].stepParam[1].y, 8);
    EXPECT_EQ(Memory(static_cast<int>(g_macroDevAddr[2][0]) + 6, 2),
              (std::vector<std::uint8_t>{0x08, 0x00}));
}

}  // namespace
