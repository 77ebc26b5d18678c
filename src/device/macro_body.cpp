#include "device/macro_body.h"

#include <algorithm>

#include "device/transport.h"

namespace {

// The most bytes one step encodes to.
constexpr int MaxStepBytes = 6;
// The highest vertical step a recoil adjustment raises to.
constexpr std::uint16_t MaxRecoilY = 30;

std::uint32_t RoundUpTo8(std::uint32_t value) {
    return (value + 7u) & ~7u;
}

int StepsOf(const MacroRecord& record) {
    return std::min<int>(record.stepCount, MacroMaxSteps);
}

// The delay byte: half the milliseconds, kept within 1..127.
std::uint8_t DelayByte(std::uint16_t delayMs) {
    return static_cast<std::uint8_t>(std::clamp(delayMs >> 1, 1, 127));
}

void Put16(std::uint8_t* out, std::uint32_t value) {
    out[0] = static_cast<std::uint8_t>(value & 0xFF);
    out[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

std::uint32_t Negated(std::uint16_t value) {
    return (0x10000u - value) & 0xFFFFu;
}

// One step into out (room for MaxStepBytes); returns how many bytes it takes.
int EncodeStep(std::uint8_t type, std::uint8_t code, std::uint16_t x, std::uint16_t y,
               std::uint16_t delayMs, std::uint8_t* out) {
    const std::uint8_t d = DelayByte(delayMs);
    switch (code) {
        case StepCodeXyMove:
            out[0] = d;
            out[1] = code;
            if (type < 3 || type > 6) {
                return 2;
            }
            // Types 3..6 carry the signs: X- Y-, X- Y+, X+ Y-, X+ Y+.
            Put16(out + 2, type <= 4 ? Negated(x) : x);
            Put16(out + 4, (type == 3 || type == 5) ? Negated(y) : y);
            return 6;
        case StepCodeWheel:
            out[0] = d;
            out[1] = code;
            if (type == 7 || type == 8) {
                out[2] = static_cast<std::uint8_t>(type == 7 ? (x & 0xFF) : ((0x100 - x) & 0xFF));
                out[3] = 0;
                return 4;
            }
            return 2;
        case StepCodeDpi:
            out[0] = type == 9 ? static_cast<std::uint8_t>(d | 0x80) : type == 10 ? d : 0;
            out[1] = code;
            out[2] = static_cast<std::uint8_t>(x & 0xFF);
            out[3] = 0;
            return 4;
        case StepCodeDelay:
            out[0] = d;
            out[1] = 0;
            return 2;
        default:
            // Keys, mouse buttons, LED, media and GPIO: press and release only.
            if (type == 1 || type == 2) {
                out[0] = type == 1 ? static_cast<std::uint8_t>(d | 0x80) : d;
                out[1] = code;
                return 2;
            }
            return 0;
    }
}

std::uint32_t EncodedLength(const MacroRecord& record) {
    std::uint32_t length = 2;
    std::uint8_t scratch[MaxStepBytes];
    for (int i = 0; i < StepsOf(record); ++i) {
        length += static_cast<std::uint32_t>(
            EncodeStep(record.stepType[i], record.stepCode[i], record.stepParam[i].x,
                       record.stepParam[i].y, record.stepDelay[i], scratch));
    }
    return length;
}

std::uint32_t CountedSize(const MacroRecord& record) {
    const std::uint32_t counted =
        2u * (std::uint32_t{record.stepCount} + 2u * record.xyCount + record.wheelCount +
              record.dpiCount + record.mediaCount + record.ledCount + record.gpioCount) +
        2u;
    std::uint32_t size = RoundUpTo8(counted);
    const int leds = std::min<int>(record.ledCount, MacroEffectRecords);
    const int gpios = std::min<int>(record.gpioCount, MacroEffectRecords);
    for (int i = 0; i < leds; ++i) {
        size += RoundUpTo8(4u * (record.led[i].field0 & 0xFFu) + 4u);
    }
    for (int i = 0; i < gpios; ++i) {
        size += RoundUpTo8(4u * (record.gpio[i].field0 & 0xFFu) + 4u);
    }
    return size;
}

std::vector<std::uint8_t> Encode(const MacroRecord& record, std::size_t size) {
    std::vector<std::uint8_t> body(size, 0);
    const std::uint8_t m3 = record.mode & 3;
    if (size >= 2) {
        Put16(body.data(), (m3 == 1 || m3 == 2) ? 1u : record.repeatCount);
    }
    std::size_t at = 2;
    std::uint8_t step[MaxStepBytes];
    for (int i = 0; i < StepsOf(record); ++i) {
        const int length = EncodeStep(record.stepType[i], record.stepCode[i], record.stepParam[i].x,
                                      record.stepParam[i].y, record.stepDelay[i], step);
        if (at + static_cast<std::size_t>(length) > size) {
            break;  // the body is full: the remaining steps cannot be played from it
        }
        std::copy(step, step + length, body.begin() + static_cast<std::ptrdiff_t>(at));
        at += static_cast<std::size_t>(length);
    }
    return body;
}

}  // namespace

std::uint32_t MacroBodySize(const MacroRecord& record) {
    return std::max(CountedSize(record), RoundUpTo8(EncodedLength(record)));
}

std::vector<std::uint8_t> EncodeMacroBody(const MacroRecord& record, std::size_t size) {
    return Encode(record, size);
}

void MoveRecoilSteps(MacroRecord& record, bool raise) {
    for (int i = 0; i < StepsOf(record); ++i) {
        if (record.stepCode[i] != StepCodeXyMove) {
            continue;
        }
        std::uint16_t& y = record.stepParam[i].y;
        if (raise && y < MaxRecoilY) {
            ++y;
        } else if (!raise && y > 0) {
            --y;
        }
    }
}

KeyEntryFlags MacroKeyEntryFlags(std::uint8_t mode) {
    const std::uint8_t m3 = mode & 3;
    KeyEntryFlags flags;
    flags.mode2 = m3 == 2;
    flags.mode1 = m3 == 1;
    flags.bit2 = (m3 == 0 || m3 == 3) && (mode & 0x04) != 0;
    flags.bit3 = (m3 == 1 || m3 == 2) && (mode & 0x08) != 0;
    return flags;
}

std::array<std::uint8_t, 8> BuildKeyEntry(std::uint16_t stepCount, const KeyEntryFlags& flags,
                                          std::uint8_t keyUsage, std::uint32_t mediaUsage,
                                          std::uint32_t bodyAddress) {
    return {
        0x02,
        static_cast<std::uint8_t>((stepCount & 0x7F) | (flags.mode2 ? 0x80 : 0)),
        keyUsage,
        static_cast<std::uint8_t>(mediaUsage & 0xFF),
        static_cast<std::uint8_t>((mediaUsage >> 8) & 0xFF),
        static_cast<std::uint8_t>(bodyAddress & 0xFF),
        static_cast<std::uint8_t>(((bodyAddress >> 8) & 0x3F) | (flags.bit2 ? 0x40 : 0) |
                                  (flags.mode1 ? 0x80 : 0)),
        static_cast<std::uint8_t>(((stepCount >> 7) & 0x3F) | (flags.bit3 ? 0x40 : 0)),
    };
}

bool WriteMacroBody(int address, const std::vector<std::uint8_t>& body,
                    const std::function<bool()>& goOn) {
    for (std::size_t run = 0; run + 8 <= body.size(); run += 8) {
        if (goOn && !goOn()) {
            return false;
        }
        WriteDeviceMemory(address + static_cast<int>(run), body.data() + run, 8);
    }
    return true;
}
