// Shared set-up of the macro tests: empty macro tables and command state, and a recorder for
// the messages the user would see.
#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <cstring>
#include <ostream>

#include "macro/macro_record.h"
#include "platform/message_service.h"
#include "support/qstring_print.h"

// Empty macro tables and command state, as a fresh program has them before reading a file.
inline void ResetMacroTables() {
    std::memset(g_macros.data(), 0, sizeof(g_macros));
    std::memset(g_constMacros.data(), 0, sizeof(g_constMacros));
    std::memset(g_macroExport.data(), 0, sizeof(g_macroExport));
    std::memset(&g_macroBuf, 0, sizeof(g_macroBuf));
    g_macroSet.fill(0);
    g_macroCount = 0;
    g_constMacroCount = 0;
    g_importMacroSet = 0;
    g_curMacro = 0;
    g_recording = 0;
    g_cmdMacro = 0;
    g_cmdStep = 0;
    g_stepListCurSel = 0;
    g_stepListSel = 0;
    g_hitListCount = 0;
    g_trackValue = 0;
}

class MacroTablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetMacroTables();
        messages_.Clear();
        previous_ = platform::SetMessageService(&messages_);
    }
    void TearDown() override { platform::SetMessageService(previous_); }

    QStringList Messages() const { return messages_.Messages(); }

    // Appends a step to a record, keeping its counters as the editor and the files do.
    static void AddStep(MacroRecord& r, std::uint8_t code, std::uint8_t type, std::uint16_t x = 0,
                        std::uint16_t y = 0, std::uint16_t delay = 5) {
        const int k = r.stepCount++;
        r.stepCode[k] = code;
        r.stepType[k] = type;
        r.stepParam[k] = {x, y};
        r.stepDelay[k] = delay;
        switch (code) {
            case StepCodeXyMove:
                ++r.xyCount;
                break;
            case StepCodeWheel:
                ++r.wheelCount;
                break;
            case StepCodeDpi:
                ++r.dpiCount;
                break;
            case StepCodeMedia:
                ++r.mediaCount;
                break;
            case StepCodeLed:
                ++r.ledCount;
                break;
            case StepCodeGpio:
                ++r.gpioCount;
                break;
            default:
                break;
        }
    }

    platform::RecordingMessageService messages_;
    platform::MessageService* previous_ = nullptr;
};
