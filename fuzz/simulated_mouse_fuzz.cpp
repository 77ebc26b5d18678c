// Arbitrary feature reports and injected lines against the simulated mouse: whatever a host or
// a FIFO writer sends, the mouse stays inside its memory and its buffers.
#include "platform/clock.h"
#include "platform/simulated_mouse.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static platform::VirtualClock clock;
    platform::SetClock(&clock);
    platform::SimulatedMouse mouse(platform::HidAttributes{});
    auto feature = mouse.Open(platform::SimulatedMouse::FeaturePath);
    auto input = mouse.Open(platform::SimulatedMouse::InputPath);

    // The first half as a line of hex (the FIFO's input), the whole as 9-byte records:
    // one selector byte, then an 8-byte report.
    (void)platform::ParseHexReport(std::string_view(reinterpret_cast<const char*>(data), size / 2));
    for (std::size_t at = 0; at + 9 <= size; at += 9) {
        std::uint8_t report[8];
        for (int i = 0; i < 8; ++i) {
            report[i] = data[at + 1 + i];
        }
        const std::size_t length = 1 + data[at] % 8;
        switch (data[at] >> 6) {
            case 0:
            case 1:
                feature->SetFeature(report, length);
                break;
            case 2:
                feature->GetFeature(report, length);
                break;
            default: {
                mouse.InjectInput(std::vector<std::uint8_t>(report, report + length));
                std::uint8_t buffer[4];
                input->ReadInput(buffer, sizeof buffer, 0);
                break;
            }
        }
    }
    (void)mouse.Memory(0, platform::SimulatedMouse::MemorySize);
    platform::SetClock(nullptr);
    return 0;
}
