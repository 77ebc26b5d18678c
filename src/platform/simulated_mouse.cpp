#include "platform/simulated_mouse.h"

#include "platform/clock.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>

namespace platform {

const QString SimulatedMouse::InputPath = QStringLiteral("simulated-mouse/col01");
const QString SimulatedMouse::FeaturePath = QStringLiteral("simulated-mouse/col02");

namespace {

constexpr std::uint8_t FeatureReportId = 0x07;
constexpr std::uint16_t InputUsagePage = 0xFF00;
constexpr std::uint16_t FeatureUsagePage = 0xFF01;

// Feature report 7, bytes 1 and 2.
constexpr std::uint8_t GroupMemory = 0x18;
constexpr std::uint8_t GroupHold = 0x11;
constexpr std::uint8_t GroupDpiState = 0x49;
constexpr std::uint8_t MemEnd = 0x00;
constexpr std::uint8_t MemWrite = 0x03;
constexpr std::uint8_t MemRead = 0x05;
constexpr std::uint8_t MemCommit = 0x09;
constexpr std::uint8_t MemApplyImage = 0x10;
constexpr std::uint8_t HoldPress = 0x02;

constexpr int ProfileByteAddress = 0x001;

}  // namespace

struct SimulatedMouse::Core {
    explicit Core(HidAttributes attributes)
        : identity(attributes), startMicroseconds(NowMicroseconds()) {
        memory.fill(0);
        staged.fill(-1);
    }

    ~Core() {
        if (traceFile != nullptr) {
            std::fclose(traceFile);
        }
    }

    bool Usable(std::uint64_t openedGeneration) const {
        return plugged && openedGeneration == generation;
    }

    // Caller holds mutex.
    void Record(SimulatedReport::Direction direction, const std::uint8_t* bytes,
                std::size_t length) {
        SimulatedReport report;
        report.timeMicroseconds = NowMicroseconds();
        report.direction = direction;
        report.bytes.assign(bytes, bytes + length);
        if (traceFile != nullptr) {
            const std::string line = FormatSimulatedReport(report, startMicroseconds) + "\n";
            std::fputs(line.c_str(), traceFile);
            std::fflush(traceFile);
        }
        trace.push_back(std::move(report));
    }

    // Caller holds mutex. The mouse's reaction to one feature report (8 bytes, id checked).
    void Take(const std::array<std::uint8_t, 8>& r) {
        const int runAddress = r[4] + 256 * r[5];
        if (r[1] == GroupMemory) {
            switch (r[2]) {
                case MemWrite:
                    // Also the announcement of a read (data 0): the end without a commit drops it.
                    staged[r[3]] = r[6];
                    break;
                case MemCommit:
                    for (int i = 0; i <= r[7]; ++i) {
                        const int address = runAddress + i;
                        if (staged[i] >= 0 && address < MemorySize) {
                            memory[address] = static_cast<std::uint8_t>(staged[i]);
                        }
                    }
                    staged.fill(-1);
                    break;
                case MemEnd:
                    staged.fill(-1);
                    break;
                case MemRead: {
                    const int address = runAddress + r[3];
                    pendingRead = address < MemorySize ? memory[address] : 0;
                    break;
                }
                case MemApplyImage:
                    currentProfile = (memory[ProfileByteAddress] >> 5) & 3;
                    ++applyCount;
                    break;
                default:
                    break;
            }
        } else if (r[1] == GroupDpiState) {
            dpiLevel = r[2];
            dpiMask = r[4];
        } else if (r[1] == GroupHold) {
            holdPressed = r[2] == HoldPress;
        }
    }

    // Caller holds mutex. Byte 1: the byte of a read command that waits for it; byte 6: the
    // current profile index in bits 2..3.
    std::array<std::uint8_t, 8> Reply() {
        std::array<std::uint8_t, 8> reply{};
        reply[0] = FeatureReportId;
        if (pendingRead) {
            reply[1] = *pendingRead;
            pendingRead.reset();
        }
        reply[6] = static_cast<std::uint8_t>((currentProfile & 3) << 2);
        return reply;
    }

    const HidAttributes identity;
    const std::int64_t startMicroseconds;

    mutable std::mutex mutex;
    std::condition_variable inputArrived;  // also signalled on unplug
    bool plugged = true;
    std::uint64_t generation = 0;  // advances on every unplug
    HidHotplugHandler hotplugHandler;

    std::array<std::uint8_t, MemorySize> memory;
    std::array<int, 256> staged;  // by index; -1 = nothing staged
    std::optional<std::uint8_t> pendingRead;
    int currentProfile = 0;
    int dpiLevel = 0;
    std::uint8_t dpiMask = 0;
    bool holdPressed = false;
    int applyCount = 0;

    std::deque<std::vector<std::uint8_t>> inputQueue;
    std::vector<SimulatedReport> trace;
    std::FILE* traceFile = nullptr;
};

class SimulatedMouse::Device final : public HidDevice {
public:
    Device(std::shared_ptr<Core> core, bool feature, std::uint64_t generation)
        : core_(std::move(core)), feature_(feature), generation_(generation) {}

    bool SetFeature(const std::uint8_t* report, std::size_t length) override {
        if (report == nullptr || length == 0 || report[0] != FeatureReportId) {
            return false;
        }
        std::lock_guard<std::mutex> lock(core_->mutex);
        if (!feature_ || !core_->Usable(generation_)) {
            return false;
        }
        std::array<std::uint8_t, 8> r{};
        std::copy(report, report + std::min(length, r.size()), r.begin());
        core_->Record(SimulatedReport::Direction::Set, report, length);
        core_->Take(r);
        return true;
    }

    bool GetFeature(std::uint8_t* report, std::size_t length) override {
        if (report == nullptr || length == 0 || report[0] != FeatureReportId) {
            return false;
        }
        std::lock_guard<std::mutex> lock(core_->mutex);
        if (!feature_ || !core_->Usable(generation_)) {
            return false;
        }
        const std::array<std::uint8_t, 8> reply = core_->Reply();
        std::fill(report, report + length, std::uint8_t{0});
        std::copy(reply.begin(), reply.begin() + std::min(length, reply.size()), report);
        core_->Record(SimulatedReport::Direction::Get, report, length);
        return true;
    }

    int ReadInput(std::uint8_t* buffer, std::size_t length, int timeoutMs) override {
        std::unique_lock<std::mutex> lock(core_->mutex);
        auto ready = [this] {
            return !core_->Usable(generation_) || (!feature_ && !core_->inputQueue.empty());
        };
        if (timeoutMs < 0) {
            core_->inputArrived.wait(lock, ready);
        } else if (!core_->inputArrived.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                                 ready)) {
            return 0;
        }
        if (!core_->Usable(generation_)) {
            return -1;
        }
        std::vector<std::uint8_t> report = std::move(core_->inputQueue.front());
        core_->inputQueue.pop_front();
        const std::size_t n = std::min(length, report.size());
        if (n > 0) {
            std::copy(report.begin(), report.begin() + n, buffer);
        }
        core_->Record(SimulatedReport::Direction::Input, report.data(), report.size());
        return static_cast<int>(n);
    }

    HidAttributes Attributes() const override { return core_->identity; }

    HidCaps Caps() const override { return CapsOf(feature_); }

    static HidCaps CapsOf(bool feature) {
        HidCaps caps;
        caps.usage = 1;
        if (feature) {
            caps.usagePage = FeatureUsagePage;
            caps.featureReportByteLength = FeatureReportLength;
        } else {
            caps.usagePage = InputUsagePage;
            caps.inputReportByteLength = InputReportLength;
        }
        return caps;
    }

private:
    std::shared_ptr<Core> core_;
    const bool feature_;
    const std::uint64_t generation_;
};

SimulatedMouse::SimulatedMouse(HidAttributes identity) : core_(std::make_shared<Core>(identity)) {}

SimulatedMouse::~SimulatedMouse() = default;

std::vector<HidInterfaceInfo> SimulatedMouse::Enumerate() {
    std::lock_guard<std::mutex> lock(core_->mutex);
    if (!core_->plugged) {
        return {};
    }
    return {HidInterfaceInfo{InputPath, core_->identity, Device::CapsOf(false)},
            HidInterfaceInfo{FeaturePath, core_->identity, Device::CapsOf(true)}};
}

std::shared_ptr<HidDevice> SimulatedMouse::Open(const QString& path) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    if (!core_->plugged || (path != InputPath && path != FeaturePath)) {
        return nullptr;
    }
    return std::make_shared<Device>(core_, path == FeaturePath, core_->generation);
}

void SimulatedMouse::SetHotplugHandler(HidHotplugHandler handler) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->hotplugHandler = std::move(handler);
}

void SimulatedMouse::InjectInput(std::vector<std::uint8_t> report) {
    {
        std::lock_guard<std::mutex> lock(core_->mutex);
        if (!core_->plugged) {
            return;
        }
        core_->inputQueue.push_back(std::move(report));
    }
    core_->inputArrived.notify_all();
}

void SimulatedMouse::Unplug() {
    HidHotplugHandler handler;
    {
        std::lock_guard<std::mutex> lock(core_->mutex);
        if (!core_->plugged) {
            return;
        }
        core_->plugged = false;
        ++core_->generation;
        core_->inputQueue.clear();
        core_->staged.fill(-1);
        core_->pendingRead.reset();
        handler = core_->hotplugHandler;
    }
    core_->inputArrived.notify_all();
    if (handler) {
        handler(HidHotplugEvent::Removal, InputPath);
        handler(HidHotplugEvent::Removal, FeaturePath);
    }
}

void SimulatedMouse::Replug() {
    HidHotplugHandler handler;
    {
        std::lock_guard<std::mutex> lock(core_->mutex);
        if (core_->plugged) {
            return;
        }
        core_->plugged = true;
        handler = core_->hotplugHandler;
    }
    if (handler) {
        handler(HidHotplugEvent::Arrival, InputPath);
        handler(HidHotplugEvent::Arrival, FeaturePath);
    }
}

bool SimulatedMouse::IsPlugged() const {
    std::lock_guard<std::mutex> lock(core_->mutex);
    return core_->plugged;
}

std::vector<SimulatedReport> SimulatedMouse::Trace() const {
    std::lock_guard<std::mutex> lock(core_->mutex);
    return core_->trace;
}

void SimulatedMouse::ClearTrace() {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->trace.clear();
}

bool SimulatedMouse::SetTraceFile(const QString& path) {
    std::FILE* file = std::fopen(path.toLocal8Bit().constData(), "w");
    std::lock_guard<std::mutex> lock(core_->mutex);
    if (core_->traceFile != nullptr) {
        std::fclose(core_->traceFile);
    }
    core_->traceFile = file;
    return file != nullptr;
}

std::int64_t SimulatedMouse::StartMicroseconds() const {
    return core_->startMicroseconds;
}

std::uint8_t SimulatedMouse::MemoryByte(int address) const {
    std::lock_guard<std::mutex> lock(core_->mutex);
    return address >= 0 && address < MemorySize ? core_->memory[address] : 0;
}

std::vector<std::uint8_t> SimulatedMouse::Memory(int address, int n) const {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < n; ++i) {
        bytes.push_back(MemoryByte(address + i));
    }
    return bytes;
}

void SimulatedMouse::SetMemoryByte(int address, std::uint8_t value) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    if (address >= 0 && address < MemorySize) {
        core_->memory[address] = value;
    }
}

int SimulatedMouse::CurrentProfile() const {
    std::lock_guard<std::mutex> lock(core_->mutex);
    return core_->currentProfile;
}

void SimulatedMouse::SetCurrentProfile(int index) {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->currentProfile = index & 3;
}

int SimulatedMouse::DpiLevel() const {
    std::lock_guard<std::mutex> lock(core_->mutex);
    return core_->dpiLevel;
}

std::uint8_t SimulatedMouse::DpiEnabledMask() const {
    std::lock_guard<std::mutex> lock(core_->mutex);
    return core_->dpiMask;
}

bool SimulatedMouse::HoldPressed() const {
    std::lock_guard<std::mutex> lock(core_->mutex);
    return core_->holdPressed;
}

int SimulatedMouse::ApplyCount() const {
    std::lock_guard<std::mutex> lock(core_->mutex);
    return core_->applyCount;
}

}  // namespace platform
