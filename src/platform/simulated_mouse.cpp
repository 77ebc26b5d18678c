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

// Input report 6: a button event is 0xF0 + the device button, its argument 0x80 on release.
constexpr std::uint8_t InputReportId = 0x06;
constexpr std::uint8_t EvtProfileChanged = 0x03;
constexpr std::uint8_t EvtButtonBase = 0xF0;
constexpr std::uint8_t ButtonReleased = 0x80;

// The button codes of the settings image that the mouse acts on itself.
constexpr std::uint8_t CodeDpiLoop = 6;
constexpr std::uint8_t CodeDpiUp = 11;
constexpr std::uint8_t CodeDpiDown = 12;
constexpr std::uint8_t CodeProfileNext = 22;
constexpr std::uint8_t CodeProfile1 = 23;
constexpr std::uint8_t CodeProfile4 = 26;
constexpr std::uint8_t CodeProfilePrevious = 28;
constexpr int DpiLevelCount = 6;
constexpr int ProfileCount = 4;

// Where the settings image keeps each profile's button codes, device button 1 first, and how
// many buttons it has there.
struct ButtonCodeRow {
    int address;
    int buttons;
};
constexpr std::array<ButtonCodeRow, ProfileCount> ButtonCodeRows{
    {{0x008, 9}, {0x044, 12}, {0x050, 12}, {0x060, 12}}};

bool IsDpiCode(std::uint8_t code) {
    return code == CodeDpiLoop || code == CodeDpiUp || code == CodeDpiDown;
}

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

    // Caller holds mutex. The code of device button (1..15) in profile index.
    std::uint8_t ButtonCode(int profile, int button) const {
        const ButtonCodeRow row = ButtonCodeRows[profile & 3];
        return button >= 1 && button <= row.buttons ? memory[row.address + button - 1] : 0;
    }

    // Caller holds mutex. The next enabled level from dpiLevel in direction step (+1, -1); the
    // level stays where no enabled level lies that way.
    int NextDpiLevel(int step, bool wrap) const {
        for (int i = 1; i <= DpiLevelCount; ++i) {
            int level = dpiLevel + step * i;
            if (wrap) {
                level = (level % DpiLevelCount + DpiLevelCount) % DpiLevelCount;
            } else if (level < 0 || level >= DpiLevelCount) {
                break;
            }
            if ((dpiMask >> level) & 1) {
                return level;
            }
        }
        return dpiLevel;
    }

    // Caller holds mutex. What the mouse does on the press of a button with code; the argument
    // of its press report.
    std::uint8_t ActOnPress(std::uint8_t code) {
        if (IsDpiCode(code)) {
            dpiLevel = code == CodeDpiLoop ? NextDpiLevel(1, true)
                                           : NextDpiLevel(code == CodeDpiUp ? 1 : -1, false);
            return static_cast<std::uint8_t>(dpiLevel);
        }
        if (code == CodeProfileNext) {
            currentProfile = (currentProfile + 1) % ProfileCount;
        } else if (code == CodeProfilePrevious) {
            currentProfile = (currentProfile + ProfileCount - 1) % ProfileCount;
        } else if (code >= CodeProfile1 && code <= CodeProfile4) {
            currentProfile = code - CodeProfile1;
        }
        return 0;
    }

    // Caller holds mutex; the caller notifies inputArrived.
    void QueueInput(std::uint8_t event, std::uint8_t argument) {
        std::vector<std::uint8_t> report(InputReportLength, 0);
        report[0] = InputReportId;
        report[1] = event;
        report[2] = argument;
        inputQueue.push_back(std::move(report));
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

void SimulatedMouse::PressButton(int button) {
    {
        std::lock_guard<std::mutex> lock(core_->mutex);
        if (!core_->plugged || button < 1 || button > LastButton) {
            return;
        }
        const std::uint8_t argument =
            core_->ActOnPress(core_->ButtonCode(core_->currentProfile, button));
        core_->QueueInput(static_cast<std::uint8_t>(EvtButtonBase + button), argument);
    }
    core_->inputArrived.notify_all();
}

void SimulatedMouse::ReleaseButton(int button) {
    {
        std::lock_guard<std::mutex> lock(core_->mutex);
        if (!core_->plugged || button < 1 || button > LastButton) {
            return;
        }
        core_->QueueInput(static_cast<std::uint8_t>(EvtButtonBase + button), ButtonReleased);
    }
    core_->inputArrived.notify_all();
}

int SimulatedMouse::DpiButton() const {
    std::lock_guard<std::mutex> lock(core_->mutex);
    for (int button = 1; button <= LastButton; ++button) {
        if (IsDpiCode(core_->ButtonCode(core_->currentProfile, button))) {
            return button;
        }
    }
    return 0;
}

void SimulatedMouse::SwitchProfileAndReport(int index) {
    {
        std::lock_guard<std::mutex> lock(core_->mutex);
        if (!core_->plugged) {
            return;
        }
        core_->currentProfile = index & 3;
        core_->QueueInput(EvtProfileChanged, 0);
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
