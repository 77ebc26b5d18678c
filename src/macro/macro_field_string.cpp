// Field string encoding and decoding.
#include "macro/macro_field_string.h"

#include <algorithm>
#include <cstring>

#include "common/key_codes.h"
#include "platform/decimal.h"

namespace {

constexpr int NameFields = MacroNameLength * 2;  // 0..19
constexpr int ModeField = 20;
constexpr int FirstStepField = 35;
constexpr int StepFields = 8;
constexpr int EffectBytes = static_cast<int>(sizeof(MacroEffectRecord));

class FieldWriter {
public:
    explicit FieldWriter(int fieldCount) { text_.reserve(fieldCount * MacroFieldChars); }
    // Each field is formatted on its own and appended, so the string is not copied per field.
    void Byte(int value) { text_ += AppendNumber3(QString(), value); }
    void Word(std::uint16_t value) {
        Byte(value % 256);
        Byte(value / 256);
    }
    QString Take() { return std::move(text_); }

private:
    QString text_;
};

void PutEffectBytes(const MacroEffectRecord& record, std::uint8_t* out) {
    auto put32 = [&out](std::uint32_t v) {
        for (int b = 0; b < 4; ++b) {
            *out++ = static_cast<std::uint8_t>(v >> (8 * b));
        }
    };
    put32(record.field0);
    put32(record.field1);
    put32(record.field2);
    std::memcpy(out, record.data.data(), record.data.size());
}

void SetEffectByte(MacroEffectRecord& record, int index, std::uint8_t value) {
    auto set32 = [&](std::uint32_t& field, int byte) {
        field = (field & ~(0xFFu << (8 * byte))) | (std::uint32_t{value} << (8 * byte));
    };
    if (index < 4) {
        set32(record.field0, index);
    } else if (index < 8) {
        set32(record.field1, index - 4);
    } else if (index < 12) {
        set32(record.field2, index - 8);
    } else {
        record.data[index - 12] = value;
    }
}

// The low field of a 16-bit value takes the whole of v, the high field adds v * 256.
void SetLow(std::uint16_t& target, int v) {
    target = static_cast<std::uint16_t>(v);
}
void SetHigh(std::uint16_t& target, int v) {
    target = static_cast<std::uint16_t>(target + static_cast<unsigned>(v) * 256u);
}

}  // namespace

QString AppendNumber3(const QString& text, int value) {
    QString field;
    if (value < 10) {
        field = QStringLiteral("00") + platform::FormatInt(value);
    } else if (value < 100) {
        field = QStringLiteral("0") + platform::FormatInt(value);
    } else {
        field = platform::FormatInt(value);
    }
    return text + field;
}

QString MacroFieldString(const MacroRecord& record, int fieldCount) {
    FieldWriter out(fieldCount);
    for (char16_t unit : record.name) {
        out.Byte(unit & 0xFF);
        out.Byte(unit >> 8);
    }
    out.Byte(record.mode);
    out.Word(record.repeatCount);
    out.Word(record.stepCount);
    out.Word(record.xyCount);
    out.Word(record.wheelCount);
    out.Word(record.dpiCount);
    out.Word(record.mediaCount);
    out.Byte(record.ledCount);
    out.Byte(record.gpioCount);
    for (int k = 0; k < MacroMaxSteps; ++k) {
        out.Byte(record.stepType[k]);
        out.Byte(UsageToVirtualKey(record.stepCode[k]));
        out.Word(record.stepParam[k].x);
        out.Word(record.stepParam[k].y);
        out.Word(record.stepDelay[k]);
    }
    if (fieldCount > MacroFieldCountNoLed) {
        for (const MacroEffectRecord& led : record.led) {
            std::uint8_t bytes[EffectBytes];
            PutEffectBytes(led, bytes);
            for (std::uint8_t b : bytes) {
                out.Byte(b);
            }
        }
    }
    return out.Take();
}

void DecodeMacroFieldString(const QString& value, MacroRecord& record) {
    const qsizetype length = value.size();
    for (int j = 0; j < MacroFieldCount; ++j) {
        const qsizetype start = qsizetype{j} * MacroFieldChars;
        int v = 0;
        if (start < length) {
            char16_t field[MacroFieldChars + 1] = {};
            const qsizetype n = std::min<qsizetype>(MacroFieldChars, length - start);
            std::memcpy(field, value.utf16() + start, sizeof(char16_t) * n);
            v = platform::Wtoi(field);
        }
        const auto byte = static_cast<std::uint8_t>(v);
        if (j < NameFields) {
            const int c = j / 2;
            const char16_t unit = record.name[c];
            record.name[c] = (j % 2 == 0) ? static_cast<char16_t>((unit & 0xFF00) | byte)
                                          : static_cast<char16_t>((unit & 0x00FF) | (byte << 8));
        } else if (j == ModeField) {
            record.mode = byte;
        } else if (j < 33) {
            std::uint16_t* counters[] = {&record.repeatCount, &record.stepCount,
                                         &record.xyCount,     &record.wheelCount,
                                         &record.dpiCount,    &record.mediaCount};
            std::uint16_t& target = *counters[(j - 21) / 2];
            (j - 21) % 2 == 0 ? SetLow(target, v) : SetHigh(target, v);
        } else if (j == 33) {
            record.ledCount = byte;
        } else if (j == 34) {
            record.gpioCount = byte;
        } else if (j < MacroFieldCountNoLed) {
            const int k = (j - FirstStepField) / StepFields;
            switch ((j - FirstStepField) % StepFields) {
                case 0:
                    record.stepType[k] = byte;
                    break;
                case 1:
                    record.stepCode[k] = VkToHidUsage(byte);
                    break;
                case 2:
                    SetLow(record.stepParam[k].x, v);
                    break;
                case 3:
                    SetHigh(record.stepParam[k].x, v);
                    break;
                case 4:
                    SetLow(record.stepParam[k].y, v);
                    break;
                case 5:
                    SetHigh(record.stepParam[k].y, v);
                    break;
                case 6:
                    SetLow(record.stepDelay[k], v);
                    break;
                default:
                    SetHigh(record.stepDelay[k], v);
                    break;
            }
        } else {
            const int offset = j - MacroFieldCountNoLed;
            SetEffectByte(record.led[offset / EffectBytes], offset % EffectBytes, byte);
        }
    }
    if (record.stepCount > MacroMaxSteps) {
        record.stepCount = MacroMaxSteps;
    }
}
