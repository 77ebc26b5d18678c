// The mouse's feature report 7: the 8-byte DeviceReport, its command table and the senders
// that put it on the feature collection, including the three memory operations. The UI thread
// and both device threads send through here. Every transaction (a write run, a read, a single
// command) holds the transport lock for its whole length, so the reports of two threads never
// interleave inside a run and no thread overwrites another's buffer; the reports themselves are
// those of the table below. Each sender says whether every report was accepted by the device;
// the callers may ignore it.
#pragma once

#include <cstdint>
#include <mutex>

#include "device/transport_lock.h"

// HID feature report 7, host to device and back.
struct DeviceReport {
    std::uint8_t reportId;     // always FeatureReportId
    std::uint8_t group;        // 0x18 device memory, 0x11 hold button, 0x49 DPI state
    std::uint8_t command;      // within the group
    std::uint8_t index;        // position of the byte within its run, low 8 bits
    std::uint8_t addressLow;   // run start address modulo 256
    std::uint8_t addressHigh;  // run start address / 256
    std::uint8_t data;         // the byte written; 0 in every other command
    std::uint8_t count;        // run length less one, low 8 bits
};
static_assert(sizeof(DeviceReport) == 8);

inline constexpr std::uint8_t FeatureReportId = 0x07;

struct DeviceCommand {
    std::uint8_t group;
    std::uint8_t command;
};

// The command table: bytes 1 and 2 of each report.
//   CmdMemWrite     07 18 03 i lo hi d  c   one per byte of a write run (data 0 when it
//                                           announces a read)
//   CmdMemCommit    07 18 09 00 lo hi 00 c  after a write run
//   CmdMemEnd       07 18 00 00 lo hi 00 00 closes a write run or a read announcement;
//                   07 18 00 00 00 00 00 00 (plain) after a read and after the settings image
//   CmdMemRead      07 18 05 i lo hi 00 c   one per byte read; GetFeature returns it in byte 1
//   CmdApplyImage   07 18 10 00 00 00 00 00 the mouse takes the written image
//   CmdDpiState     07 49 L  L+0x40 M 00 00 00  current DPI level L, enabled-level mask M
//   CmdHoldButton   07 11 02 00 00 00 00 00 press, 07 11 00 00 00 00 00 00 release
//   CmdGetProfile   byte 0 = 07, GetFeature without SetFeature; byte 6 bits 2..3 = profile
inline constexpr DeviceCommand CmdMemWrite{0x18, 0x03};
inline constexpr DeviceCommand CmdMemCommit{0x18, 0x09};
inline constexpr DeviceCommand CmdMemEnd{0x18, 0x00};
inline constexpr DeviceCommand CmdMemRead{0x18, 0x05};
inline constexpr DeviceCommand CmdApplyImage{0x18, 0x10};
inline constexpr DeviceCommand CmdDpiState{0x49, 0x00};  // the command byte carries the level
inline constexpr DeviceCommand CmdHoldButtonPress{0x11, 0x02};
inline constexpr DeviceCommand CmdHoldButtonRelease{0x11, 0x00};

// The fixed pauses that stand in for acknowledgements, in milliseconds.
inline constexpr int CommitPauseMs = 4;  // after the data reports of a write run
inline constexpr int StepPauseMs = 2;    // before an end report, between read steps

// The one report buffer. Touched only while the transport lock is held; after a GetFeature it
// holds what the device returned.
extern DeviceReport g_featureReport;

// Held by every transaction below. A caller may hold it around several of them to send them
// as one (the lock is recursive).
std::unique_lock<TransportMutex> LockTransport();

// Writes n bytes of device memory at address: n data reports back to back, 4 ms, the commit,
// 2 ms, the addressed end. n <= 0 sends no data report (the commit and the end still go).
bool WriteDeviceMemory(int address, const std::uint8_t data[], int n);
// Reads n bytes into out: the read announcement, then per byte the read report, 2 ms and a
// GetFeature whose byte 1 is the byte; 2 ms and the plain end. A byte whose GetFeature failed
// is byte 1 of the request just sent.
bool ReadDeviceMemory(int address, std::uint8_t out[], int n);
// The announcement of a read: per byte a data-0 write report and 2 ms, then 2 ms and the
// addressed end. No commit.
bool PrepareDeviceRead(int address, int n);

// 07 49 L L+0x40 M 00 00 00.
bool SendDpiState(std::uint8_t level, std::uint8_t enabledMask);
// 07 18 10 00 00 00 00 00.
bool SendApplyImage();
// The plain end, 07 18 00 00 00 00 00 00.
bool SendMemEnd();
// 07 11 02 ... when pressed, 07 11 00 ... when released.
bool SendHoldButton(bool pressed);
// The profile query: reply receives the buffer as the GetFeature left it (on failure what it
// held, with byte 0 = 07). The mouse's current profile index is (reply.data >> 2) & 3.
bool SendGetProfile(DeviceReport& reply);
