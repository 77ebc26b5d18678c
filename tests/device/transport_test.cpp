#include "device/transport.h"

#include "device/discovery.h"
#include "support/fake_hid_backend.h"
#include "support/simulated_link.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

using testing_support::HexBytes;
using testing_support::SimulatedLink;
using Lines = std::vector<std::string>;

// --- Write runs: the exact reports and pauses -------------------------------------------------

TEST(WriteDeviceMemory, OneByteRunIsDataThenCommitAfter4msThenEndAfter2ms) {
    SimulatedLink link;
    ASSERT_TRUE(link.connected());
    const std::uint8_t data[] = {0x42};
    EXPECT_TRUE(WriteDeviceMemory(0x001, data, 1));
    EXPECT_EQ(link.TakeSentReports(), (Lines{
                                          "+0 set 07 18 03 00 01 00 42 00",
                                          "+4 set 07 18 09 00 01 00 00 00",
                                          "+2 set 07 18 00 00 01 00 00 00",
                                      }));
    EXPECT_EQ(link.mouse().MemoryByte(0x001), 0x42);
}

TEST(WriteDeviceMemory, EightByteRunCarriesStartAddressAndCountInEveryReport) {
    SimulatedLink link;
    const std::uint8_t data[] = {0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x76, 0x87};
    EXPECT_TRUE(WriteDeviceMemory(0x240, data, 8));
    EXPECT_EQ(link.TakeSentReports(), (Lines{
                                          "+0 set 07 18 03 00 40 02 10 07",
                                          "+0 set 07 18 03 01 40 02 21 07",
                                          "+0 set 07 18 03 02 40 02 32 07",
                                          "+0 set 07 18 03 03 40 02 43 07",
                                          "+0 set 07 18 03 04 40 02 54 07",
                                          "+0 set 07 18 03 05 40 02 65 07",
                                          "+0 set 07 18 03 06 40 02 76 07",
                                          "+0 set 07 18 03 07 40 02 87 07",
                                          "+4 set 07 18 09 00 40 02 00 07",
                                          "+2 set 07 18 00 00 40 02 00 00",
                                      }));
    EXPECT_EQ(link.mouse().Memory(0x240, 8),
              (std::vector<std::uint8_t>{0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x76, 0x87}));
    EXPECT_EQ(link.mouse().MemoryByte(0x23F), 0);
    EXPECT_EQ(link.mouse().MemoryByte(0x248), 0);
}

TEST(WriteDeviceMemory, EmptyRunStillSendsCommitWithCountFFAndEnd) {
    SimulatedLink link;
    link.mouse().SetMemoryByte(0x300, 0x99);
    EXPECT_TRUE(WriteDeviceMemory(0x300, nullptr, 0));
    EXPECT_EQ(link.TakeSentReports(), (Lines{
                                          "+4 set 07 18 09 00 00 03 00 FF",
                                          "+2 set 07 18 00 00 00 03 00 00",
                                      }));
    EXPECT_EQ(link.mouse().MemoryByte(0x300), 0x99);
}

TEST(WriteDeviceMemory, ConsecutiveRunsLandAtTheirOwnAddresses) {
    SimulatedLink link;
    const std::uint8_t first[] = {1, 2, 3, 4, 5, 6, 7, 8};
    const std::uint8_t second[] = {0xA1, 0xA2, 0xA3};
    WriteDeviceMemory(0x008, first, 8);
    WriteDeviceMemory(0x3FFE, second, 3);  // runs past the end of the memory
    EXPECT_EQ(link.mouse().Memory(0x008, 8), (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(link.mouse().Memory(0x3FFE, 2), (std::vector<std::uint8_t>{0xA1, 0xA2}));
    EXPECT_EQ(link.clock().NowMicroseconds(), 12000);
}

// --- Reads ------------------------------------------------------------------------------------

TEST(ReadDeviceMemory, OneByteAt0x11IsAnnouncedThenReadThenEnded) {
    SimulatedLink link;
    link.mouse().SetMemoryByte(0x011, 0x5C);
    std::uint8_t out[1] = {0};
    EXPECT_TRUE(ReadDeviceMemory(0x011, out, 1));
    EXPECT_EQ(out[0], 0x5C);
    EXPECT_EQ(link.TakeSentReports(), (Lines{
                                          "+0 set 07 18 03 00 11 00 00 00",
                                          "+4 set 07 18 00 00 11 00 00 00",
                                          "+0 set 07 18 05 00 11 00 00 00",
                                          "+2 get 07 5C 00 00 00 00 00 00",
                                          "+2 set 07 18 00 00 00 00 00 00",
                                      }));
    // The announcement wrote nothing: the byte is still there.
    EXPECT_EQ(link.mouse().MemoryByte(0x011), 0x5C);
}

TEST(ReadDeviceMemory, SeveralBytesPause4nPlus4Milliseconds) {
    SimulatedLink link;
    link.mouse().SetMemoryByte(0x120, 0xAA);
    link.mouse().SetMemoryByte(0x121, 0xBB);
    link.mouse().SetMemoryByte(0x122, 0xCC);
    std::uint8_t out[3] = {};
    ReadDeviceMemory(0x120, out, 3);
    EXPECT_EQ(out[0], 0xAA);
    EXPECT_EQ(out[1], 0xBB);
    EXPECT_EQ(out[2], 0xCC);
    EXPECT_EQ(link.clock().NowMicroseconds(), 16000);
}

TEST(ReadDeviceMemory, WithoutADeviceKeepsThePausesAndStoresByteOneOfTheRequest) {
    platform::VirtualClock clock;
    platform::SetClock(&clock);
    g_hDevFeature.Store(nullptr);
    std::uint8_t out[1] = {0};
    EXPECT_FALSE(ReadDeviceMemory(0x011, out, 1));
    EXPECT_EQ(out[0], 0x18);
    EXPECT_EQ(clock.NowMicroseconds(), 8000);
    const std::uint8_t data[] = {1};
    EXPECT_FALSE(WriteDeviceMemory(0x001, data, 1));
    EXPECT_EQ(clock.NowMicroseconds(), 14000);
    platform::SetClock(nullptr);
}

TEST(PrepareDeviceRead, SendsDataZeroReportsEach2msApartAndNoCommit) {
    SimulatedLink link;
    EXPECT_TRUE(PrepareDeviceRead(0x040, 2));
    EXPECT_EQ(link.TakeSentReports(), (Lines{
                                          "+0 set 07 18 03 00 40 00 00 01",
                                          "+2 set 07 18 03 01 40 00 00 01",
                                          "+4 set 07 18 00 00 40 00 00 00",
                                      }));
}

// --- Single commands --------------------------------------------------------------------------

TEST(SingleCommands, SendTheirTabledBytesAndTheMouseFollows) {
    SimulatedLink link;
    EXPECT_TRUE(SendDpiState(3, 0x2F));
    EXPECT_TRUE(SendApplyImage());
    EXPECT_TRUE(SendMemEnd());
    EXPECT_TRUE(SendHoldButton(true));
    EXPECT_TRUE(link.mouse().HoldPressed());
    EXPECT_TRUE(SendHoldButton(false));
    EXPECT_FALSE(link.mouse().HoldPressed());
    EXPECT_EQ(link.TakeSentReports(), (Lines{
                                          "+0 set 07 49 03 43 2F 00 00 00",
                                          "+0 set 07 18 10 00 00 00 00 00",
                                          "+0 set 07 18 00 00 00 00 00 00",
                                          "+0 set 07 11 02 00 00 00 00 00",
                                          "+0 set 07 11 00 00 00 00 00 00",
                                      }));
    EXPECT_EQ(link.mouse().DpiLevel(), 3);
    EXPECT_EQ(link.mouse().DpiEnabledMask(), 0x2F);
    EXPECT_EQ(link.mouse().ApplyCount(), 1);
}

TEST(SingleCommands, ProfileQueryIsAGetFeatureAlone) {
    SimulatedLink link;
    link.mouse().SetCurrentProfile(2);
    DeviceReport reply{};
    EXPECT_TRUE(SendGetProfile(reply));
    EXPECT_EQ(reply.reportId, 0x07);
    EXPECT_EQ(reply.data, 0x08);
    EXPECT_EQ(link.TakeSentReports(), (Lines{"+0 get 07 00 00 00 00 00 08 00"}));
}

TEST(SingleCommands, AppliedImageSwitchesTheMouseToTheWrittenProfile) {
    SimulatedLink link;
    const std::uint8_t profileByte[] = {0x62};
    WriteDeviceMemory(0x001, profileByte, 1);
    EXPECT_EQ(link.mouse().CurrentProfile(), 0);  // not before the image is applied
    SendApplyImage();
    EXPECT_EQ(link.mouse().CurrentProfile(), 3);
    DeviceReport reply{};
    SendGetProfile(reply);
    EXPECT_EQ((reply.data >> 2) & 3, 3);
}

// --- Report length as the device gives it ----------------------------------------------------

TEST(ReportLength, LongerFeatureReportsArePaddedWithZerosAndShorterOnesCut) {
    platform::VirtualClock clock;
    platform::SetClock(&clock);
    testing_support::FakeHidBackend backend;
    auto device = std::make_shared<testing_support::FakeHidDevice>(platform::HidInterfaceInfo{});
    device->SetReply({0x07, 0x77, 1, 2, 3, 4, 5, 6, 9, 9, 9, 9});
    g_hDevFeature.Store(device);
    platform::HidCaps caps;
    caps.featureReportByteLength = 12;
    g_capsFeature.Store(caps);

    SendHoldButton(true);
    std::uint8_t out[1] = {};
    ReadDeviceMemory(0x011, out, 1);
    EXPECT_EQ(out[0], 0x77);

    caps.featureReportByteLength = 4;
    g_capsFeature.Store(caps);
    SendApplyImage();

    const auto sent = device->SentReports();
    ASSERT_EQ(sent.size(), 6u);
    EXPECT_EQ(HexBytes(sent[0]), "07 11 02 00 00 00 00 00 00 00 00 00");
    // Rebuilt over what came back: nothing of the 12-byte reply leaks into the next report.
    EXPECT_EQ(HexBytes(sent[4]), "07 18 00 00 00 00 00 00 00 00 00 00");
    EXPECT_EQ(HexBytes(sent[5]), "07 18 10 00");

    g_hDevFeature.Store(nullptr);
    g_capsFeature.Store({});
    platform::SetClock(nullptr);
}

// --- Transactions of several threads ---------------------------------------------------------

// Walks the trace and fails when a report of another transaction appears inside a write run
// or a read (from its first report up to its end report).
void ExpectWholeTransactions(const std::vector<platform::SimulatedReport>& trace) {
    enum class In { Nothing, Write, ReadAnnouncement, Read };
    In in = In::Nothing;
    for (std::size_t i = 0; i < trace.size(); ++i) {
        const std::vector<std::uint8_t>& r = trace[i].bytes;
        const bool get = trace[i].direction == platform::SimulatedReport::Direction::Get;
        const bool memory = !get && r[1] == 0x18;
        const std::uint8_t command = r[2];
        switch (in) {
            case In::Nothing:
                if (memory && command == 0x03) {
                    in = r[6] == 0 && r[4] == 0x11 ? In::ReadAnnouncement : In::Write;
                } else {
                    ASSERT_TRUE(get || r[1] == 0x11) << "stray report at " << i;
                }
                break;
            case In::Write:
                ASSERT_TRUE(memory) << "report inside a write run at " << i;
                if (command == 0x00) {
                    in = In::Nothing;
                }
                break;
            case In::ReadAnnouncement:
                ASSERT_TRUE(memory) << "report inside a read at " << i;
                if (command == 0x00) {
                    in = In::Read;
                }
                break;
            case In::Read:
                ASSERT_TRUE(get || memory) << "report inside a read at " << i;
                if (!get && command == 0x00) {
                    in = In::Nothing;
                }
                break;
        }
    }
    EXPECT_EQ(in, In::Nothing);
}

TEST(Transactions, ReportsOfTwoThreadsNeverInterleaveInsideARun) {
    SimulatedLink link;
    std::atomic<bool> go{false};
    std::thread holder([&] {
        while (!go) {
        }
        for (int i = 0; i < 1000; ++i) {
            SendHoldButton(i % 2 == 0);
            DeviceReport reply{};
            SendGetProfile(reply);
        }
    });
    go = true;
    std::uint8_t block[8] = {0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55};
    for (int i = 0; i < 300; ++i) {
        block[0] = static_cast<std::uint8_t>(i);
        WriteDeviceMemory(0x080 + 8 * (i % 8), block, 8);
        std::uint8_t out[1] = {};
        ReadDeviceMemory(0x011, out, 1);
    }
    holder.join();

    const auto trace = link.mouse().Trace();
    EXPECT_EQ(trace.size(), 300u * 10 + 300u * 5 + 1000u * 2);
    ExpectWholeTransactions(trace);
    // Every run reached memory intact: the last run at 0x098 was number 299.
    EXPECT_EQ(link.mouse().Memory(0x080 + 8 * 3, 8),
              (std::vector<std::uint8_t>{0x2B, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}));
}

TEST(Transactions, AHeldLockMakesSeveralCommandsOne) {
    SimulatedLink link;
    std::atomic<bool> started{false};
    std::thread other;
    {
        auto lock = LockTransport();
        other = std::thread([&] {
            started = true;
            SendHoldButton(true);
        });
        while (!started) {
        }
        SendDpiState(1, 0x3F);
        SendApplyImage();
        SendMemEnd();
    }
    other.join();
    EXPECT_EQ(link.TakeSentReports(), (Lines{
                                          "+0 set 07 49 01 41 3F 00 00 00",
                                          "+0 set 07 18 10 00 00 00 00 00",
                                          "+0 set 07 18 00 00 00 00 00 00",
                                          "+0 set 07 11 02 00 00 00 00 00",
                                      }));
}

}  // namespace
