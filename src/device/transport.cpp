#include "device/transport.h"

#include "device/discovery.h"
#include "platform/clock.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

DeviceReport g_featureReport{};

namespace {

TransportMutex g_transportMutex;

// The collection and its report length, fixed for one transaction so that an arrival replacing
// them cannot change the device in the middle of a run.
struct FeatureLink {
    std::shared_ptr<platform::HidDevice> device;
    std::size_t length = 0;
};

FeatureLink CurrentFeatureLink() {
    return FeatureLink{g_hDevFeature.Load(), g_capsFeature.Load().featureReportByteLength};
}

// The device may report a length other than 8: the report goes out as the first bytes of a
// buffer of that length (zeros after it), so neither side reads or writes past the report.
// Guarded by the transport lock; grows once and is then reused.
std::vector<std::uint8_t> g_wireBuffer;

std::uint8_t* WireBuffer(std::size_t length) {
    if (g_wireBuffer.size() < length) {
        g_wireBuffer.resize(length);
    }
    return g_wireBuffer.data();
}

bool SendReport(const FeatureLink& link) {
    if (!link.device || link.length == 0) {
        return false;
    }
    std::uint8_t* wire = WireBuffer(link.length);
    std::fill(wire, wire + link.length, std::uint8_t{0});
    std::memcpy(wire, &g_featureReport, std::min(link.length, sizeof(DeviceReport)));
    return link.device->SetFeature(wire, link.length);
}

bool ReceiveReport(const FeatureLink& link) {
    if (!link.device || link.length == 0) {
        return false;
    }
    std::uint8_t* wire = WireBuffer(link.length);
    std::fill(wire, wire + link.length, std::uint8_t{0});
    std::memcpy(wire, &g_featureReport, std::min(link.length, sizeof(DeviceReport)));
    if (!link.device->GetFeature(wire, link.length)) {
        return false;
    }
    std::memcpy(&g_featureReport, wire, std::min(link.length, sizeof(DeviceReport)));
    return true;
}

void Fill(DeviceCommand command, std::uint8_t index, std::uint8_t lo, std::uint8_t hi,
          std::uint8_t data, std::uint8_t count) {
    g_featureReport =
        DeviceReport{FeatureReportId, command.group, command.command, index, lo, hi, data, count};
}

std::uint8_t Low(int address) {
    return static_cast<std::uint8_t>(address % 256);
}
std::uint8_t High(int address) {
    return static_cast<std::uint8_t>(address / 256);
}
std::uint8_t Byte(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

bool SendSingle(const DeviceReport& report) {
    auto lock = LockTransport();
    const FeatureLink link = CurrentFeatureLink();
    g_featureReport = report;
    return SendReport(link);
}

DeviceReport Plain(DeviceCommand command) {
    return DeviceReport{FeatureReportId, command.group, command.command, 0, 0, 0, 0, 0};
}

bool PrepareDeviceReadOn(const FeatureLink& link, int address, int n) {
    const std::uint8_t lo = Low(address);
    const std::uint8_t hi = High(address);
    bool ok = true;
    for (int i = 0; i < n; ++i) {
        Fill(CmdMemWrite, Byte(i), lo, hi, 0, Byte(n - 1));
        ok = SendReport(link) && ok;
        platform::SleepPrecise(StepPauseMs);
    }
    platform::SleepPrecise(StepPauseMs);
    Fill(CmdMemEnd, 0, lo, hi, 0, 0);
    return SendReport(link) && ok;
}

}  // namespace

std::unique_lock<TransportMutex> LockTransport() {
    return std::unique_lock<TransportMutex>(g_transportMutex);
}

bool WriteDeviceMemory(int address, const std::uint8_t data[], int n) {
    auto lock = LockTransport();
    const FeatureLink link = CurrentFeatureLink();
    const std::uint8_t lo = Low(address);
    const std::uint8_t hi = High(address);
    bool ok = true;
    for (int i = 0; i < n; ++i) {
        Fill(CmdMemWrite, Byte(i), lo, hi, data[i], Byte(n - 1));
        ok = SendReport(link) && ok;
    }
    platform::SleepPrecise(CommitPauseMs);
    Fill(CmdMemCommit, 0, lo, hi, 0, Byte(n - 1));
    ok = SendReport(link) && ok;
    platform::SleepPrecise(StepPauseMs);
    Fill(CmdMemEnd, 0, lo, hi, 0, 0);
    return SendReport(link) && ok;
}

bool PrepareDeviceRead(int address, int n) {
    auto lock = LockTransport();
    return PrepareDeviceReadOn(CurrentFeatureLink(), address, n);
}

bool ReadDeviceMemory(int address, std::uint8_t out[], int n) {
    auto lock = LockTransport();
    // The announcement and the reads go to the same device: the mouse keeps the announced run.
    const FeatureLink link = CurrentFeatureLink();
    bool ok = PrepareDeviceReadOn(link, address, n);
    const std::uint8_t lo = Low(address);
    const std::uint8_t hi = High(address);
    for (int i = 0; i < n; ++i) {
        Fill(CmdMemRead, Byte(i), lo, hi, 0, Byte(n - 1));
        ok = SendReport(link) && ok;
        platform::SleepPrecise(StepPauseMs);
        ok = ReceiveReport(link) && ok;
        out[i] = g_featureReport.group;  // byte 1 of what came back
    }
    platform::SleepPrecise(StepPauseMs);
    Fill(CmdMemEnd, 0, 0, 0, 0, 0);
    return SendReport(link) && ok;
}

bool SendDpiState(std::uint8_t level, std::uint8_t enabledMask) {
    return SendSingle(DeviceReport{FeatureReportId, CmdDpiState.group, level,
                                   static_cast<std::uint8_t>(level + 0x40), enabledMask, 0, 0, 0});
}

bool SendApplyImage() {
    return SendSingle(Plain(CmdApplyImage));
}

bool SendMemEnd() {
    return SendSingle(Plain(CmdMemEnd));
}

bool SendHoldButton(bool pressed) {
    return SendSingle(Plain(pressed ? CmdHoldButtonPress : CmdHoldButtonRelease));
}

bool SendGetProfile(DeviceReport& reply) {
    auto lock = LockTransport();
    const FeatureLink link = CurrentFeatureLink();
    g_featureReport.reportId = FeatureReportId;
    const bool ok = ReceiveReport(link);
    reply = g_featureReport;
    return ok;
}
