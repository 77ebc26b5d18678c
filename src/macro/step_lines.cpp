// Step and delay line texts.
#include "macro/step_lines.h"

#include "common/key_codes.h"

std::int32_t g_keyDownSteps = 0;
std::int32_t g_keyUpSteps = 0;

namespace {

QString Num(std::uint16_t value) {
    return QString::number(value);
}

QString XyText(const char16_t* format, std::uint16_t x, std::uint16_t y) {
    return QString::fromUtf16(format).arg(Num(x), Num(y));
}

}  // namespace

QString StepKeyName(std::uint8_t code) {
    return UsageToKeyName(code);
}

QString MediaStepErrorMessage() {
    return QStringLiteral(u"[Media]状态错误!");
}

QString DpiStepText(std::uint16_t x) {
    const char* dpi = "800";
    switch (x) {
        case 1:
            dpi = "200";
            break;
        case 2:
            dpi = "400";
            break;
        case 3:
            dpi = "600";
            break;
        case 5:
            dpi = "1000";
            break;
        case 6:
            dpi = "1200";
            break;
        case 7:
        case 8:
            dpi = "1600";
            break;
        case 9:
        case 10:
            dpi = "2000";
            break;
        case 11:
        case 12:
            dpi = "2400";
            break;
        case 13:
            dpi = "3200";
            break;
        case 14:
            dpi = "4000";
            break;
        case 15:
            dpi = "4800";
            break;
        default:
            break;
    }
    return QStringLiteral("[DPI]:") + QLatin1String(dpi) + QLatin1Char(' ');
}

QString DelayLineText(std::uint16_t delay) {
    return QStringLiteral("    ") + Num(delay) + "ms";
}

StepLine BuildStepLine(const MacroRecord& record, int s, KeyNameFunction keyName) {
    StepLine line;
    if (s < 0 || s >= MacroMaxSteps) {
        return line;
    }
    const std::uint8_t code = record.stepCode[s];
    const std::uint8_t type = record.stepType[s];
    const std::uint16_t x = record.stepParam[s].x;
    const std::uint16_t y = record.stepParam[s].y;
    switch (code) {
        case StepCodeXyMove:
            switch (type) {
                case StepTypeXMinusYMinus:
                    line.text = XyText(u"[X-]:%1,[Y-]:%2", x, y);
                    break;
                case StepTypeXMinusYPlus:
                    line.text = XyText(u"[X-]:%1,[Y+]:%2", x, y);
                    break;
                case StepTypeXPlusYMinus:
                    line.text = XyText(u"[X+]:%1,[Y-]:%2", x, y);
                    break;
                case StepTypeXPlusYPlus:
                    line.text = XyText(u"[X+]:%1,[Y+]:%2", x, y);
                    break;
                default:
                    line.text = QStringLiteral("[X]:eeror,[Y]:eeror");
                    break;
            }
            return line;
        case StepCodeWheel:
            if (type == StepTypeWheelUp) {
                line.text = QStringLiteral("[WHEEL+]:") + Num(x);
            } else if (type == StepTypeWheelDown) {
                line.text = QStringLiteral("[WHEEL-]:") + Num(x);
            } else {
                line.text = QStringLiteral("[WHEEL]:eeror");
            }
            return line;
        case StepCodeDpi:
            if (type == StepTypeDpiSet) {
                line.text = DpiStepText(x);
            } else if (type == StepTypeDpiRestore) {
                line.text = QStringLiteral(u"[DPI]:返回执行前的值");
            } else {
                line.text = QStringLiteral(u"[DPI]:状态Error");
            }
            return line;
        case StepCodeMedia:
            if (type == StepTypeMediaPress) {
                line.text = QStringLiteral(u"[Media↓]:") + QString::number(x, 16);
            } else if (type == StepTypeMediaRelease) {
                line.text = QStringLiteral(u"[Media↑]:") + QString::number(x, 16);
            } else {
                // Still a line of its own, so that line 2k stays step k for the step commands.
                line.text = QStringLiteral("[Media]:error");
                line.kind = StepLineKind::MediaError;
            }
            return line;
        case StepCodeLed:
            if (type >= StepTypeLed0 && type <= StepTypeLed0 + 2) {
                line.text =
                    QStringLiteral("[LED%1]:LED-%2 Data").arg(type - StepTypeLed0).arg(Num(x));
            } else {
                line.text = QStringLiteral("[LED0/1/2]:error");
            }
            return line;
        case StepCodeGpio:
            if (type >= StepTypeGpio0 && type <= StepTypeGpio0 + 2) {
                line.text = QStringLiteral("[GPIO%1]:Func%2").arg(type - StepTypeGpio0).arg(Num(x));
            } else {
                line.text = QStringLiteral("[GPIO0/1/2]:error");
            }
            return line;
        case StepCodeDelay:
            line.text = QStringLiteral("[Delay]");
            return line;
        default:
            break;
    }
    const QString name = keyName != nullptr ? keyName(code) : StepKeyName(code);
    if (type == StepTypePress) {
        line.text = QStringLiteral(u"[↓]") + name;
        line.kind = StepLineKind::KeyDown;
    } else if (type == StepTypeRelease) {
        line.text = QStringLiteral(u"[↑]") + name;
        line.kind = StepLineKind::KeyUp;
    } else {
        line.text = name;
    }
    return line;
}
