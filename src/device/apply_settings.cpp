#include "device/apply_settings.h"

#include <algorithm>
#include <array>
#include <mutex>

#include "common/key_codes.h"
#include "common/paths.h"
#include "device/applied_settings.h"
#include "device/macro_body.h"
#include "device/settings_image.h"
#include "macro/macro_bindings.h"
#include "macro/macro_file_reader.h"
#include "macro/macro_record.h"
#include "platform/clock.h"
#include "platform/decimal.h"
#include "platform/ini.h"
#include "platform/pointer.h"
#include "profile/config_store.h"
#include "profile/save_failures.h"

namespace {

std::mutex g_repaintMutex;
std::function<void()> g_repaint;

constexpr int KeyEntryTableStart = 0x080;

int UserMacroCount() {
    return std::clamp<int>(g_macroCount, 0, MaxUserMacros);
}

// The record that function f plays, or nullptr when f names none.
const MacroRecord* MacroOfFunction(int f) {
    if (f >= ConstMacroFunctionBase && f < UserMacroFunctionBase) {
        const int index = f - ConstMacroFunctionBase;
        return index < ConstMacroSlots ? &g_constMacros[index] : nullptr;
    }
    if (f >= UserMacroFunctionBase && f - UserMacroFunctionBase < UserMacroCount()) {
        return &g_macros[f - UserMacroFunctionBase];
    }
    return nullptr;
}

int KeyEntryAddress(int profile, int deviceButton) {
    return KeyEntryTableStart + (DeviceButtonCount * profile + deviceButton - 1) * 8;
}

// Whether the user's macro file is there but could not be read: config.ini's user macro codes
// then name its macros, whose bodies are unknown.
bool UserMacrosUnread() {
    return MacroListUnread(g_strMacroFile);
}

// Codes that name no existing user macro (keyboard keys among them) become "no function";
// then every slot of every profile gets its device code and its three flags. While the user's
// macro file cannot be read, its buttons are sent as "no function" but keep their codes, so
// that they play their macros again once it can be read.
void TranslateButtons() {
    for (int c = 0; c < ProfileCount; ++c) {
        std::array<int, ButtonSlotCount> sent{};
        for (int k = 0; k < ButtonSlotCount; ++k) {
            int f = KeyFunc[c][k];
            const bool userMacro =
                f >= UserMacroFunctionBase && f < UserMacroFunctionBase + MaxUserMacros;
            if (userMacro && UserMacrosUnread()) {
                f = 0;
            } else if (f >= UserMacroFunctionBase &&
                       f - UserMacroFunctionBase >= UserMacroCount()) {
                KeyFunc[c][k] = 0;
                f = 0;
            }
            sent[k] = f;
            const MacroRecord* macro = MacroOfFunction(f);
            const ButtonTranslation t = TranslateButtonFunction(f, macro ? macro->mode : 0);
            g_devKeyCodeUi[c][k] = t.code;
            g_btnIsHoldFunc[c][k] = t.hold ? 1 : 0;
            g_btnIsProfileFunc[c][k] = t.profile ? 1 : 0;
            g_btnIsDpiFunc[c][k] = t.dpi ? 1 : 0;
        }
        g_devKeyCodeDev[c].fill(0);
        g_devFuncDev[c].fill(0);
        for (int k = 0; k < ButtonSlotCount; ++k) {
            g_devKeyCodeDev[c][g_devButtonNo[k] - 1] = g_devKeyCodeUi[c][k];
            g_devFuncDev[c][g_devButtonNo[k] - 1] = static_cast<std::uint32_t>(sent[k]);
        }
    }
}

// A button of some profile plays a user macro: config.ini names it by its index in the list.
bool AnyUserMacroBound() {
    for (const auto& profile : KeyFunc) {
        for (int k = 0; k < ButtonSlotCount; ++k) {
            if (profile[k] >= UserMacroFunctionBase) {
                return true;
            }
        }
    }
    return false;
}

bool NeedsKeyEntry(std::uint8_t code) {
    return code == ButtonCodeMacro || code == ButtonCodeMacroMode2 || code == ButtonCodeMedia;
}

// Every button with a key entry, in (profile, device button) order: the order of the entries,
// of the body placement and of the bodies. macro is what a macro button plays, else nullptr.
template <typename Visit>
void ForEachKeyEntryButton(Visit visit) {
    for (int c = 0; c < ProfileCount; ++c) {
        for (int b = 1; b <= DeviceButtonCount; ++b) {
            const std::uint8_t code = g_devKeyCodeDev[c][b - 1];
            if (!NeedsKeyEntry(code)) {
                continue;
            }
            const int f = static_cast<int>(g_devFuncDev[c][b - 1]);
            visit(c, b, f, code == ButtonCodeMedia ? nullptr : MacroOfFunction(f));
        }
    }
}

// Places the bodies from 0x240 in (profile, device button) order, each in a slot of its size
// (at most 0x2000). A key entry holds 14 address bits, so a body that would not end below
// 0x4000 cannot be reached by the mouse: its button is sent as "no function" instead of
// pointing the mouse at a body that was never written.
// The record of which body lies where (the size per button, and which user macro each first
// button plays) describes this Apply alone: a button that gets no body now, or whose body is
// dropped, has none, so the recoil adjustment never rewrites memory that now holds another
// button's body.
void PlaceMacroBodies() {
    for (int c = 0; c < ProfileCount; ++c) {
        g_macroDevBodySize[c].fill(0);
    }
    g_mouseFirstButtonMacro.fill(NoUserMacro);
    std::uint32_t running = MacroBodyAreaStart;
    ForEachKeyEntryButton([&](int c, int b, int f, const MacroRecord* macro) {
        std::uint32_t size = 0;
        if (macro != nullptr) {
            size = MacroBodySize(*macro);
            const std::uint32_t slot = std::min<std::uint32_t>(size, MacroBodySlotLimit);
            if (running + slot > MacroBodyAreaEnd) {
                g_devKeyCodeDev[c][b - 1] = 0;
                for (int k = 0; k < ButtonSlotCount; ++k) {
                    if (g_devButtonNo[k] == b) {
                        g_devKeyCodeUi[c][k] = 0;
                    }
                }
                return;
            }
            if (f >= UserMacroFunctionBase) {
                g_macroDevSize[f - UserMacroFunctionBase] = size;
            }
        }
        if (b <= 12) {
            g_macroDevAddr[c][b - 1] = running;
            g_macroDevBodySize[c][b - 1] = std::min<std::uint32_t>(size, MacroBodySlotLimit);
        }
        if (b == 1 && macro != nullptr && f >= UserMacroFunctionBase) {
            g_mouseFirstButtonMacro[c] = f - UserMacroFunctionBase;
        }
        running += std::min<std::uint32_t>(size, MacroBodySlotLimit);
    });
}

std::uint8_t LedModeValue() {
    const std::uint8_t type = g_ledType.load();
    if (type == 2) {
        return 6;
    }
    if (type == 3) {
        return 7;
    }
    g_ledOnFlag = type != 0 ? 1 : 0;
    return g_ledCycTime.load();
}

std::uint8_t EnabledLevelMask() {
    std::uint8_t mask = 0;
    for (int j = 0; j < DpiLevelCount; ++j) {
        mask = static_cast<std::uint8_t>(mask | ((g_dpiSetEn[j] ? 1 : 0) << j));
    }
    return mask;
}

SettingsBlockInput GatherSettings(std::uint8_t ledMode) {
    SettingsBlockInput in;
    in.buttonCodes = g_devKeyCodeDev;
    in.wheelStatus = g_wheelStatus;
    in.dpiCode = g_dpiCode;
    in.dpiLevel = g_dpiLevel;
    in.dpiMask = EnabledLevelMask();
    in.fireTime = g_fireTime;
    in.ledByte = static_cast<std::uint8_t>(0x80 + (g_ledOnFlag << 4) + ledMode);
    in.cycleMask = g_cyc7ColEn;
    in.reportRate = static_cast<std::uint8_t>(g_usbSpeedCode);
    in.dpiColor = g_dpiColor;
    in.modeStatus = g_modeStatus;
    return in;
}

void AddKeyEntries(AppliedSettings& applied) {
    ForEachKeyEntryButton([&](int c, int b, int f, const MacroRecord* macro) {
        if (c == 0 && b == 1 && macro != nullptr && f >= UserMacroFunctionBase) {
            g_boundMacroSize = g_macroDevBodySize[0][0];
        }
        const std::uint8_t keyUsage = KeyIndexToUsage(static_cast<std::uint8_t>(f - 70));
        const std::uint32_t media = MediaIndexToConsumerUsage(static_cast<std::uint8_t>(f - 25));
        const std::array<std::uint8_t, 8> entry =
            macro != nullptr
                ? BuildKeyEntry(macro->stepCount, MacroKeyEntryFlags(macro->mode), keyUsage, media,
                                g_macroDevAddr[c][b - 1])
                : BuildKeyEntry(0, KeyEntryFlags{}, keyUsage, media, g_macroDevAddr[c][b - 1]);
        applied.keyEntries.push_back({KeyEntryAddress(c, b), {entry.begin(), entry.end()}});
    });
}

void AddMacroBodies(AppliedSettings& applied) {
    ForEachKeyEntryButton([&](int c, int b, int f, const MacroRecord* macro) {
        if (macro == nullptr) {
            return;
        }
        const std::uint32_t address = g_macroDevAddr[c][b - 1];
        if (c == 0 && b == 1) {
            g_boundMacroAddr = address;
        }
        MacroRecord copy = *macro;
        if (f < UserMacroFunctionBase) {
            copy.mode = 0;  // a built-in macro always plays its repeat count
        }
        // A body bigger than its 0x2000-byte slot is cut to the slot, so it never runs into the
        // next body; what is cut is only room for effect records.
        std::vector<std::uint8_t> body = EncodeMacroBody(copy, MacroBodySize(copy));
        body.resize(std::min<std::size_t>(body.size(), MacroBodySlotLimit));
        applied.bodies.push_back({static_cast<int>(address), std::move(body)});
    });
}

// What this Apply sends, from the tables translated and placed just before.
AppliedSettings BuildAppliedSettings(std::uint8_t ledMode) {
    AppliedSettings applied;
    applied.profileByte = ProfileByteOf(g_curConfigIdx.load());
    applied.blocks = BuildSettingsBlocks(GatherSettings(ledMode));
    AddKeyEntries(applied);
    AddMacroBodies(applied);
    applied.dpiLevel = static_cast<std::uint8_t>(g_dpiLevel);
    applied.dpiMask = EnabledLevelMask();
    applied.pointerSpeed = PointerSpeedOf(g_dpiSpeed);
    applied.wheelLines = static_cast<std::uint8_t>(g_wheelSpeed + 1);
    return applied;
}

}  // namespace

void SetRepaintHook(std::function<void()> repaint) {
    std::lock_guard lock(g_repaintMutex);
    g_repaint = std::move(repaint);
}

void RequestRepaint() {
    std::function<void()> repaint;
    {
        std::lock_guard lock(g_repaintMutex);
        repaint = g_repaint;
    }
    if (repaint) {
        repaint();
    }
}

void ApplySettings() {
    // Its saves that fail are told once, at its end.
    const SaveAction action;
    g_settingsApplied = 1;
    SaveCurConfig(g_strConfigIni, g_curConfig);
    SaveAllConfigs(g_strConfigIni, 6);

    TranslateButtons();
    // The mouse gets the user macros and config.ini names them by index: the list they index
    // must be the one in the user's file, or a restart would lose them or bind others.
    // While the file cannot be read there is no list to save: it holds the macros they name.
    if (AnyUserMacroBound() && !UserMacrosUnread()) {
        SaveUserMacroList();
    }
    for (int i = 0; i < DpiLevelCount; ++i) {
        g_dpiCode[i] = DpiCodeOf(g_dpiSet[i]);
    }
    const std::uint8_t ledMode = LedModeValue();
    g_cyc7ColEn = CycleColorMask();
    g_usbSpeedCode = ReportRateCode(g_usbSpeed);
    PlaceMacroBodies();
    g_mouseProfileIdx = g_curConfigIdx.load() & 3;
    g_lastApplied = BuildAppliedSettings(ledMode);
    WriteSettingsImage(*g_lastApplied);

    RequestRepaint();
    SetDesktopPointer(*g_lastApplied);
    RequestRepaint();
    SaveAllConfigs(g_strConfigIni, g_curConfig);
}
