#include "platform/simulated_mouse.h"

#include "platform/clock.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

using platform::SimulatedMouse;
using platform::SimulatedReport;
using Bytes = std::vector<std::uint8_t>;

platform::HidAttributes Identity() {
    platform::HidAttributes identity;
    identity.vendorId = 0x1209;
    identity.productId = 0x0001;
    return identity;
}

class SimulatedMouseTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetClock(&clock);
        mouse = std::make_unique<SimulatedMouse>(Identity());
        input = mouse->Open(SimulatedMouse::InputPath);
        feature = mouse->Open(SimulatedMouse::FeaturePath);
        ASSERT_NE(input, nullptr);
        ASSERT_NE(feature, nullptr);
    }
    void TearDown() override { platform::SetClock(nullptr); }

    bool Set(Bytes report) { return feature->SetFeature(report.data(), report.size()); }
    Bytes Get() {
        Bytes report(8, 0);
        report[0] = 0x07;
        EXPECT_TRUE(feature->GetFeature(report.data(), report.size()));
        return report;
    }

    platform::VirtualClock clock;
    std::unique_ptr<SimulatedMouse> mouse;
    std::shared_ptr<platform::HidDevice> input;
    std::shared_ptr<platform::HidDevice> feature;
};

// --- What it presents -------------------------------------------------------------------------

TEST_F(SimulatedMouseTest, PresentsTwoVendorCollectionsWithTheGivenIdentity) {
    const auto interfaces = mouse->Enumerate();
    ASSERT_EQ(interfaces.size(), 2u);
    EXPECT_EQ(interfaces[0].caps.usagePage, 0xFF00);
    EXPECT_EQ(interfaces[0].caps.usage, 1);
    EXPECT_EQ(interfaces[0].caps.inputReportByteLength, 8);
    EXPECT_EQ(interfaces[1].caps.usagePage, 0xFF01);
    EXPECT_EQ(interfaces[1].caps.usage, 1);
    EXPECT_EQ(interfaces[1].caps.featureReportByteLength, 8);
    EXPECT_NE(interfaces[0].path, interfaces[1].path);
    for (const auto& info : interfaces) {
        EXPECT_EQ(info.attributes.vendorId, 0x1209);
        EXPECT_EQ(info.attributes.productId, 0x0001);
    }
    EXPECT_EQ(mouse->Open(QStringLiteral("/dev/hidraw0")), nullptr);
}

TEST_F(SimulatedMouseTest, FeatureReportsGoOnlyToTheFeatureCollectionWithId7) {
    Bytes report{0x07, 0x11, 0x02, 0, 0, 0, 0, 0};
    EXPECT_FALSE(input->SetFeature(report.data(), report.size()));
    EXPECT_FALSE(input->GetFeature(report.data(), report.size()));
    Bytes wrongId{0x06, 0x11, 0x02, 0, 0, 0, 0, 0};
    EXPECT_FALSE(feature->SetFeature(wrongId.data(), wrongId.size()));
    EXPECT_FALSE(mouse->HoldPressed());
    EXPECT_TRUE(mouse->Trace().empty());
}

// --- Memory protocol --------------------------------------------------------------------------

TEST_F(SimulatedMouseTest, WriteRunIsStagedByIndexAndTakenAtTheCommit) {
    // Out of order: the index, not the arrival order, places the byte.
    Set({0x07, 0x18, 0x03, 0x02, 0x00, 0x01, 0xC2, 0x02});
    Set({0x07, 0x18, 0x03, 0x00, 0x00, 0x01, 0xC0, 0x02});
    Set({0x07, 0x18, 0x03, 0x01, 0x00, 0x01, 0xC1, 0x02});
    EXPECT_EQ(mouse->Memory(0x100, 3), (Bytes{0, 0, 0}));
    Set({0x07, 0x18, 0x09, 0x00, 0x00, 0x01, 0x00, 0x02});
    EXPECT_EQ(mouse->Memory(0x100, 3), (Bytes{0xC0, 0xC1, 0xC2}));
    Set({0x07, 0x18, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00});
    EXPECT_EQ(mouse->Memory(0x100, 4), (Bytes{0xC0, 0xC1, 0xC2, 0x00}));
}

TEST_F(SimulatedMouseTest, EndWithoutCommitDropsTheStagedBytes) {
    mouse->SetMemoryByte(0x011, 0x77);
    Set({0x07, 0x18, 0x03, 0x00, 0x11, 0x00, 0x00, 0x00});
    Set({0x07, 0x18, 0x00, 0x00, 0x11, 0x00, 0x00, 0x00});
    // A commit after the end finds nothing to take.
    Set({0x07, 0x18, 0x09, 0x00, 0x11, 0x00, 0x00, 0x00});
    EXPECT_EQ(mouse->MemoryByte(0x011), 0x77);
}

TEST_F(SimulatedMouseTest, ReadCommandPutsTheByteIntoByte1OfTheNextGetFeature) {
    mouse->SetMemoryByte(0x242, 0xE4);
    Set({0x07, 0x18, 0x05, 0x02, 0x40, 0x02, 0x00, 0x03});
    EXPECT_EQ(Get(), (Bytes{0x07, 0xE4, 0, 0, 0, 0, 0, 0}));
    // Only once: a query without a read before it carries no byte.
    EXPECT_EQ(Get(), (Bytes{0x07, 0x00, 0, 0, 0, 0, 0, 0}));
}

// --- Input reports and unplugging -------------------------------------------------------------

TEST_F(SimulatedMouseTest, InjectedReportsReachABlockedReaderInOrderAndCutToItsBuffer) {
    Bytes first(8, 0);
    Bytes second(2, 0);
    int firstLength = 0;
    int secondLength = 0;
    std::thread reader([&] {
        firstLength = input->ReadInput(first.data(), first.size(), -1);
        secondLength = input->ReadInput(second.data(), second.size(), -1);
    });
    mouse->InjectInput({0x06, 0xF1, 0x00});
    mouse->InjectInput({0x06, 0x03, 0x00, 0x00});
    reader.join();
    EXPECT_EQ(firstLength, 3);
    EXPECT_EQ(first, (Bytes{0x06, 0xF1, 0x00, 0, 0, 0, 0, 0}));
    EXPECT_EQ(secondLength, 2);
    EXPECT_EQ(second, (Bytes{0x06, 0x03}));
}

TEST_F(SimulatedMouseTest, ReadTimesOutWithZeroAndTheFeatureCollectionHasNoInput) {
    Bytes buffer(8, 0);
    EXPECT_EQ(input->ReadInput(buffer.data(), buffer.size(), 0), 0);
    mouse->InjectInput({0x06, 0xF2, 0x03});
    EXPECT_EQ(feature->ReadInput(buffer.data(), buffer.size(), 0), 0);
    EXPECT_EQ(input->ReadInput(buffer.data(), buffer.size(), 0), 3);
}

TEST_F(SimulatedMouseTest, UnplugWakesTheReaderAndKillsEveryHandleForGood) {
    std::vector<std::pair<platform::HidHotplugEvent, QString>> events;
    mouse->SetHotplugHandler([&](platform::HidHotplugEvent event, const QString& path) {
        events.emplace_back(event, path);
    });
    int result = 0;
    std::thread reader([&] {
        Bytes buffer(8, 0);
        result = input->ReadInput(buffer.data(), buffer.size(), -1);
    });
    mouse->Unplug();
    reader.join();
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(mouse->Enumerate().empty());
    EXPECT_EQ(mouse->Open(SimulatedMouse::FeaturePath), nullptr);
    EXPECT_FALSE(Set({0x07, 0x11, 0x02, 0, 0, 0, 0, 0}));
    mouse->InjectInput({0x06, 0xF1, 0x00});  // nobody there to send it

    mouse->Replug();
    EXPECT_EQ(mouse->Enumerate().size(), 2u);
    Bytes buffer(8, 0);
    EXPECT_EQ(input->ReadInput(buffer.data(), buffer.size(), 0), -1);
    EXPECT_FALSE(Set({0x07, 0x11, 0x02, 0, 0, 0, 0, 0}));
    auto reopened = mouse->Open(SimulatedMouse::InputPath);
    EXPECT_EQ(reopened->ReadInput(buffer.data(), buffer.size(), 0), 0);  // the queue was emptied

    using platform::HidHotplugEvent;
    EXPECT_EQ(events, (std::vector<std::pair<HidHotplugEvent, QString>>{
                          {HidHotplugEvent::Removal, SimulatedMouse::InputPath},
                          {HidHotplugEvent::Removal, SimulatedMouse::FeaturePath},
                          {HidHotplugEvent::Arrival, SimulatedMouse::InputPath},
                          {HidHotplugEvent::Arrival, SimulatedMouse::FeaturePath},
                      }));
}

// --- The trace --------------------------------------------------------------------------------

TEST_F(SimulatedMouseTest, TraceKeepsEveryReportWithItsVirtualTime) {
    Set({0x07, 0x11, 0x02, 0, 0, 0, 0, 0});
    clock.Sleep(2);
    Get();
    clock.Advance(500);
    mouse->InjectInput({0x06, 0xF1, 0x80});
    Bytes buffer(8, 0);
    input->ReadInput(buffer.data(), buffer.size(), 0);
    const auto trace = mouse->Trace();
    ASSERT_EQ(trace.size(), 3u);
    EXPECT_EQ(trace[0].direction, SimulatedReport::Direction::Set);
    EXPECT_EQ(trace[0].timeMicroseconds, 0);
    EXPECT_EQ(trace[1].direction, SimulatedReport::Direction::Get);
    EXPECT_EQ(trace[1].timeMicroseconds, 2000);
    EXPECT_EQ(trace[1].bytes, (Bytes{0x07, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(trace[2].direction, SimulatedReport::Direction::Input);
    EXPECT_EQ(trace[2].timeMicroseconds, 2500);
    EXPECT_EQ(trace[2].bytes, (Bytes{0x06, 0xF1, 0x80}));
    mouse->ClearTrace();
    EXPECT_TRUE(mouse->Trace().empty());
}

TEST_F(SimulatedMouseTest, TraceFileHasOneLinePerReport) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.txt"));
    clock.Advance(1500);  // before the file: times still count from the mouse's creation
    ASSERT_TRUE(mouse->SetTraceFile(path));
    Set({0x07, 0x18, 0x03, 0x00, 0x01, 0x00, 0x5A, 0x00});
    clock.Sleep(4);
    Set({0x07, 0x18, 0x09, 0x00, 0x01, 0x00, 0x00, 0x00});
    clock.Advance(250);
    mouse->SetCurrentProfile(3);
    Get();
    mouse->InjectInput({0x06, 0x03});
    Bytes buffer(8, 0);
    input->ReadInput(buffer.data(), buffer.size(), 0);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLatin1(file.readAll()),
              QStringLiteral("1.500 set 07 18 03 00 01 00 5A 00\n"
                             "5.500 set 07 18 09 00 01 00 00 00\n"
                             "5.750 get 07 00 00 00 00 00 0C 00\n"
                             "5.750 input 06 03\n"));
    EXPECT_FALSE(mouse->SetTraceFile(dir.filePath(QStringLiteral("no/such/dir/trace.txt"))));
}

// --- The mouse's own buttons ------------------------------------------------------------------

class OwnButtonsTest : public SimulatedMouseTest {
protected:
    // The reports waiting for the reader, in order (3 bytes each).
    std::vector<Bytes> Reports() {
        std::vector<Bytes> reports;
        Bytes buffer(8, 0);
        while (input->ReadInput(buffer.data(), buffer.size(), 0) > 0) {
            reports.push_back(Bytes(buffer.begin(), buffer.begin() + 3));
        }
        return reports;
    }
};

TEST_F(OwnButtonsTest, DpiButtonsMoveAmongTheEnabledLevelsAndReportTheNewOne) {
    mouse->SetMemoryByte(0x008, 6);       // profile 1, button 1: DPI loop
    mouse->SetMemoryByte(0x008 + 5, 12);  // button 6: DPI down
    mouse->SetMemoryByte(0x008 + 7, 11);  // button 8: DPI up
    // Level 2 of the enabled levels 0, 2, 3 and 5, as Apply's DPI state command sets it.
    Set({0x07, 0x49, 0x02, 0x42, 0x2D, 0, 0, 0});
    EXPECT_EQ(mouse->DpiButton(), 1);
    for (int i = 0; i < 3; ++i) {
        mouse->PressButton(8);
    }
    mouse->ReleaseButton(8);
    mouse->PressButton(6);
    mouse->PressButton(1);
    mouse->PressButton(1);
    EXPECT_EQ(Reports(), (std::vector<Bytes>{{0x06, 0xF8, 3},
                                             {0x06, 0xF8, 5},
                                             {0x06, 0xF8, 5},  // up stops at the top
                                             {0x06, 0xF8, 0x80},
                                             {0x06, 0xF6, 3},
                                             {0x06, 0xF1, 5},
                                             {0x06, 0xF1, 0}}));  // the loop wraps
    EXPECT_EQ(mouse->DpiLevel(), 0);
}

TEST_F(OwnButtonsTest, ProfileButtonsSwitchTheMouseWhichThenAnswersTheQueryWithIt) {
    mouse->SetMemoryByte(0x008 + 4, 24);  // profile 1, button 5: profile 2
    mouse->SetMemoryByte(0x044 + 4, 22);  // profile 2, button 5: next profile
    mouse->SetMemoryByte(0x050 + 4, 28);  // profile 3, button 5: previous profile
    mouse->SetMemoryByte(0x050 + 1, 2);   // profile 3, button 2: right click
    mouse->PressButton(5);
    EXPECT_EQ(mouse->CurrentProfile(), 1);
    EXPECT_EQ(Get()[6], 0x04);
    mouse->PressButton(5);
    EXPECT_EQ(mouse->CurrentProfile(), 2);
    mouse->PressButton(2);
    EXPECT_EQ(mouse->CurrentProfile(), 2);
    EXPECT_EQ(mouse->DpiButton(), 0);
    mouse->PressButton(5);
    EXPECT_EQ(mouse->CurrentProfile(), 1);
    EXPECT_EQ(Reports(), (std::vector<Bytes>{
                             {0x06, 0xF5, 0}, {0x06, 0xF5, 0}, {0x06, 0xF2, 0}, {0x06, 0xF5, 0}}));

    mouse->SwitchProfileAndReport(3);
    EXPECT_EQ(Get()[6], 0x0C);
    EXPECT_EQ(Reports(), (std::vector<Bytes>{{0x06, 0x03, 0}}));
    mouse->Unplug();
    mouse->PressButton(5);
    mouse->SwitchProfileAndReport(0);
    EXPECT_EQ(mouse->CurrentProfile(), 3);
}

TEST_F(OwnButtonsTest, NamedLinesUseTheButtonsAndAnythingElseDoesNothing) {
    mouse->SetMemoryByte(0x008 + 7, 11);
    Set({0x07, 0x49, 0x00, 0x40, 0x03, 0, 0, 0});
    for (const char* line : {"click 2", " press 3 ", "release 3", "dpi", "profile 4", "06 F1 00"}) {
        EXPECT_TRUE(platform::HandleSimulatedMouseLine(*mouse, line)) << line;
    }
    EXPECT_EQ(mouse->CurrentProfile(), 3);
    EXPECT_EQ(Reports(), (std::vector<Bytes>{{0x06, 0xF2, 0},
                                             {0x06, 0xF2, 0x80},
                                             {0x06, 0xF3, 0},
                                             {0x06, 0xF3, 0x80},
                                             {0x06, 0xF8, 1},
                                             {0x06, 0xF8, 0x80},
                                             {0x06, 0x03, 0},
                                             {0x06, 0xF1, 0}}));
    for (const char* line : {"press 0", "press 16", "press", "press x", "pressed 2", "profile 0",
                             "profile 5", "dpi 2"}) {
        EXPECT_FALSE(platform::HandleSimulatedMouseLine(*mouse, line)) << line;
    }
    EXPECT_TRUE(Reports().empty());
    EXPECT_EQ(mouse->CurrentProfile(), 3);
}

// --- Injected lines ---------------------------------------------------------------------------

TEST(ParseHexReport, AcceptsBlankSeparatedPairsOfEitherCase) {
    EXPECT_EQ(platform::ParseHexReport("06 F1 00"), (Bytes{0x06, 0xF1, 0x00}));
    EXPECT_EQ(platform::ParseHexReport("  6\tf2  3 \r"), (Bytes{0x06, 0xF2, 0x03}));
}

TEST(ParseHexReport, RejectsAnythingElse) {
    EXPECT_FALSE(platform::ParseHexReport(""));
    EXPECT_FALSE(platform::ParseHexReport("   "));
    EXPECT_FALSE(platform::ParseHexReport("06 F1G"));
    EXPECT_FALSE(platform::ParseHexReport("06F100"));
    EXPECT_FALSE(platform::ParseHexReport("0x06"));
    std::string tooLong;
    for (int i = 0; i < 65; ++i) {
        tooLong += "00 ";
    }
    EXPECT_FALSE(platform::ParseHexReport(tooLong));
    EXPECT_TRUE(platform::ParseHexReport(tooLong.substr(3)));
}

// The one test that installs the mouse from the environment (it is created once per process).
TEST(SimulatedMouseEnvironment, InstallsTheMouseWithTraceAndFifo) {
    platform::SetHidBackend(nullptr);
    platform::HidBackend* const real = &platform::CurrentHidBackend();
    ::unsetenv("ZELBO_SIMULATED_MOUSE");
    EXPECT_EQ(platform::InstallHidBackendFromEnvironment(Identity()), nullptr);
    ::setenv("ZELBO_SIMULATED_MOUSE", "0", 1);
    EXPECT_EQ(platform::InstallHidBackendFromEnvironment(Identity()), nullptr);
    EXPECT_EQ(&platform::CurrentHidBackend(), real);

    QTemporaryDir dir;
    const QByteArray trace = dir.filePath(QStringLiteral("trace.txt")).toLocal8Bit();
    const QByteArray fifo = dir.filePath(QStringLiteral("inject")).toLocal8Bit();
    ::setenv("ZELBO_SIMULATED_MOUSE", "1", 1);
    ::setenv("ZELBO_SIM_TRACE", trace.constData(), 1);
    ::setenv("ZELBO_SIM_INJECT", fifo.constData(), 1);
    SimulatedMouse* mouse = platform::InstallHidBackendFromEnvironment(Identity());
    ASSERT_NE(mouse, nullptr);
    EXPECT_EQ(&platform::CurrentHidBackend(), mouse);
    ::unsetenv("ZELBO_SIMULATED_MOUSE");
    ::unsetenv("ZELBO_SIM_TRACE");
    ::unsetenv("ZELBO_SIM_INJECT");

    auto input = mouse->Open(SimulatedMouse::InputPath);
    ASSERT_NE(input, nullptr);
    // The reader thread creates the FIFO; open it for writing once it is there.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int fd = -1;
    while (fd < 0 && std::chrono::steady_clock::now() < deadline) {
        fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            std::this_thread::yield();
        }
    }
    ASSERT_GE(fd, 0);
    const char lines[] = "not hex\n06 F1 00\n";
    ASSERT_EQ(::write(fd, lines, sizeof lines - 1), static_cast<ssize_t>(sizeof lines - 1));
    Bytes buffer(8, 0);
    EXPECT_EQ(input->ReadInput(buffer.data(), buffer.size(), 10000), 3);
    EXPECT_EQ(buffer, (Bytes{0x06, 0xF1, 0x00, 0, 0, 0, 0, 0}));

    const char unplug[] = "unplug\n";
    ASSERT_EQ(::write(fd, unplug, sizeof unplug - 1), static_cast<ssize_t>(sizeof unplug - 1));
    EXPECT_EQ(input->ReadInput(buffer.data(), buffer.size(), 10000), -1);
    const char replug[] = "replug\n";
    ASSERT_EQ(::write(fd, replug, sizeof replug - 1), static_cast<ssize_t>(sizeof replug - 1));
    ::close(fd);
    while (!mouse->IsPlugged() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    EXPECT_TRUE(mouse->IsPlugged());

    QFile file(QString::fromLocal8Bit(trace));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromLatin1(file.readAll()).endsWith(QStringLiteral(" input 06 F1 00\n")));
    platform::SetHidBackend(nullptr);
}

}  // namespace
