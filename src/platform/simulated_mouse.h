// The simulated mouse: a HID backend that presents the mouse's two vendor collections (input
// report 6 on usage page 0xFF00, feature report 7 on 0xFF01) as two interfaces, keeps a 16 KiB
// device memory and answers feature report 7 as the mouse does: write runs staged by index and
// taken into memory at the commit, reads, the profile query, the DPI state, the apply-image and
// hold commands. Input reports are injected by a test (or through a FIFO, see
// InstallHidBackendFromEnvironment) or made by the mouse's own buttons, which act on the settings
// image as the mouse does, and are delivered to a blocking ReadInput. Every report it
// receives or returns is kept with its time (the clock in force, so virtual time in tests) and,
// when asked, written to a text file. It can be unplugged and plugged back.
// Thread-safe: one thread reads input while others send feature reports, inject or unplug; the
// hot-plug handler is called on the thread that unplugs or replugs, with no lock held.
#pragma once

#include "platform/hid.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct SimulatedReport {
    enum class Direction {
        Set,    // a feature report the host sent (SetFeature)
        Get,    // a feature report the mouse returned (GetFeature)
        Input,  // an input report handed to the reader
    };
    std::int64_t timeMicroseconds = 0;  // NowMicroseconds() when it passed
    Direction direction = Direction::Set;
    std::vector<std::uint8_t> bytes;
};

// One line of the trace file, without the newline: the time in milliseconds since the mouse was
// created (three decimals), "set", "get" or "input", and the report's bytes as upper-case hex
// pairs separated by blanks, e.g. "12.000 set 07 18 09 00 01 00 00 00".
std::string FormatSimulatedReport(const SimulatedReport& report, std::int64_t startMicroseconds);

// A line of hex byte pairs separated by blanks ("06 F1 00"), as injected from outside. Nothing
// for an empty line, a token that is not one or two hex digits, or more than 64 bytes.
std::optional<std::vector<std::uint8_t>> ParseHexReport(std::string_view line);

class SimulatedMouse;

// One line injected from outside: "unplug", "replug", a named use of the mouse's buttons
// ("press <b>", "release <b>", "click <b>" for both, "dpi" for a click of DpiButton(),
// "profile <n>" for the mouse's own switch to profile n = 1..4), or hex bytes of an input
// report. False, with nothing done, for anything else.
bool HandleSimulatedMouseLine(SimulatedMouse& mouse, std::string_view line);

class SimulatedMouse final : public HidBackend {
public:
    static constexpr int MemorySize = 16 * 1024;
    static constexpr std::size_t InputReportLength = 8;
    static constexpr std::size_t FeatureReportLength = 8;
    static constexpr int LastButton = 15;  // device buttons 1..15 (events 0xF1..0xFF)
    // The interface paths, in the order Enumerate lists them.
    static const QString InputPath;
    static const QString FeaturePath;

    explicit SimulatedMouse(HidAttributes identity);
    ~SimulatedMouse() override;
    SimulatedMouse(const SimulatedMouse&) = delete;
    SimulatedMouse& operator=(const SimulatedMouse&) = delete;

    std::vector<HidInterfaceInfo> Enumerate() override;
    std::shared_ptr<HidDevice> Open(const QString& path) override;
    void SetHotplugHandler(HidHotplugHandler handler) override;

    // Queues an input report for the reader (dropped while unplugged).
    void InjectInput(std::vector<std::uint8_t> report);

    // What the mouse does itself when its own buttons are used, each reported as the mouse
    // reports it. A press of device button b (1..15) acts on the code the last settings image
    // gave b in the mouse's current profile: a DPI function (6 loop, 11 up, 12 down) moves the
    // DPI level among the enabled ones (the loop wraps, up and down stop at the ends) and is
    // reported as 06 F0+b <new level>; a profile function (22 next, 23..26 profile 1..4, 28
    // previous) switches the profile and is reported as 06 F0+b 00, like any other button. A
    // release is 06 F0+b 80. Nothing while unplugged or for another b.
    void PressButton(int button);
    void ReleaseButton(int button);
    // The first device button that has a DPI function in the current profile, 0 for none.
    int DpiButton() const;
    // The mouse switched to profile index (0..3) by itself and reports it: 06 03 00.
    void SwitchProfileAndReport(int index);
    // Removal: every open handle fails from now on, blocked reads return -1, the queue is
    // emptied, the handler hears a removal per interface. Replug: the interfaces come back
    // (handles opened before stay dead), the handler hears an arrival per interface.
    void Unplug();
    void Replug();
    bool IsPlugged() const;

    std::vector<SimulatedReport> Trace() const;
    void ClearTrace();
    // Also writes every report from now on to the file (replaced), one line each, flushed at
    // once. False when it cannot be opened.
    bool SetTraceFile(const QString& path);
    std::int64_t StartMicroseconds() const;

    // The device memory (addresses outside it read as 0 and are not written).
    std::uint8_t MemoryByte(int address) const;
    std::vector<std::uint8_t> Memory(int address, int n) const;
    void SetMemoryByte(int address, std::uint8_t value);

    // What the mouse took from the commands it was sent.
    int CurrentProfile() const;  // index 0..3, from the profile byte at the apply-image command
    void SetCurrentProfile(int index);  // the mouse switched profile by itself
    int DpiLevel() const;
    std::uint8_t DpiEnabledMask() const;
    bool HoldPressed() const;
    int ApplyCount() const;  // apply-image commands taken

private:
    struct Core;
    class Device;
    std::shared_ptr<Core> core_;
};

// Start-up's choice of HID backend: with ZELBO_SIMULATED_MOUSE=1 it installs a simulated mouse
// presenting identity (created once, kept for the life of the process) and returns it;
// ZELBO_SIM_TRACE=<file> makes it write its trace there; ZELBO_SIM_INJECT=<path> reads lines
// from that FIFO (created when absent), each taken by HandleSimulatedMouseLine.
// Without ZELBO_SIMULATED_MOUSE=1 it leaves the real backend in force and returns nullptr.
SimulatedMouse* InstallHidBackendFromEnvironment(const HidAttributes& identity);

}  // namespace platform
