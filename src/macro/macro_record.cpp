// The macro tables and the record helpers. User-interface thread only.
#include "macro/macro_record.h"

#include <algorithm>
#include <cstring>

std::array<MacroRecord, UserMacroSlots> g_macros{};
std::int16_t g_macroCount = 0;
std::array<std::uint32_t, UserMacroSlots> g_macroSet{};
MacroRecord g_macroBuf{};
std::uint32_t g_importMacroSet = 0;
std::array<MacroRecord, ConstMacroSlots> g_constMacros{};
std::int16_t g_constMacroCount = 0;
std::array<MacroRecord, MacroExportSlots> g_macroExport{};
std::int32_t g_curMacro = 0;
std::uint8_t g_recording = 0;

std::int32_t g_cmdMacro = 0;
std::int32_t g_cmdStep = 0;
std::int32_t g_stepListCurSel = 0;
std::int32_t g_stepListSel = 0;
std::int32_t g_hitListCount = 0;
std::int32_t g_trackValue = 0;
std::int32_t g_trackInsertMode = 0;

QString MacroName(const MacroRecord& record) {
    int length = 0;
    while (length < MacroNameLength && record.name[length] != 0) {
        ++length;
    }
    return QString(reinterpret_cast<const QChar*>(record.name.data()), length);
}

QString StoredMacroName(const QString& text) {
    qsizetype length = std::min<qsizetype>(text.size(), MacroNameLength);
    if (length < text.size() && text.at(length - 1).isHighSurrogate()) {
        --length;
    }
    return text.left(length);
}

int SetMacroName(MacroRecord& record, const QString& text) {
    const QString name = StoredMacroName(text);
    record.name.fill(0);
    for (qsizetype i = 0; i < name.size(); ++i) {
        record.name[static_cast<std::size_t>(i)] = name.at(i).unicode();
    }
    return static_cast<int>(name.size());
}

bool IsMacroLocked(int index) {
    return index >= 0 && index < UserMacroSlots && g_macroSet[index] != 0;
}

void ClearMacro(std::span<MacroRecord> table, std::uint8_t index) {
    if (index >= table.size()) {
        return;
    }
    MacroRecord& r = table[index];
    const std::uint8_t mode = r.mode;
    std::memset(&r, 0, sizeof r);
    r.mode = mode;
}

void RecountSteps(MacroRecord& record) {
    const auto count = [&record](std::uint8_t code) {
        const auto steps = std::span(record.stepCode)
                               .first(std::min<std::size_t>(record.stepCount, MacroMaxSteps));
        return static_cast<int>(std::count(steps.begin(), steps.end(), code));
    };
    record.xyCount = static_cast<std::uint16_t>(count(StepCodeXyMove));
    record.wheelCount = static_cast<std::uint16_t>(count(StepCodeWheel));
    record.dpiCount = static_cast<std::uint16_t>(count(StepCodeDpi));
    record.mediaCount = static_cast<std::uint16_t>(count(StepCodeMedia));
    record.ledCount = static_cast<std::uint8_t>(count(StepCodeLed));
    record.gpioCount = static_cast<std::uint8_t>(count(StepCodeGpio));
}

int FindMacroByName(std::span<const MacroRecord> table, const QString& name, int n) {
    const int limit = std::min<int>(n, static_cast<int>(table.size()));
    for (int i = 0; i < limit; ++i) {
        if (MacroName(table[i]) == name) {
            return i;
        }
    }
    return n;
}
