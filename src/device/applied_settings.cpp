#include "device/applied_settings.h"

#include "device/body_writer.h"
#include "device/macro_body.h"
#include "device/settings_image.h"
#include "device/transport.h"
#include "platform/clock.h"
#include "platform/pointer.h"

std::optional<AppliedSettings> g_lastApplied;

namespace {

// Settings blocks written whole after the profile byte, in address order; the one-byte read
// at 0x011 goes between the second and the third.
constexpr int SettingsBlockAddresses[] = {0x008, 0x010, 0x018, 0x020, 0x028, 0x030, 0x038, 0x040,
                                          0x048, 0x050, 0x058, 0x060, 0x068, 0x070, 0x078};

}  // namespace

std::uint8_t ProfileByteOf(int profileIdx) {
    return static_cast<std::uint8_t>(((profileIdx & 3) << 5) + 2);
}

void WriteSettingsImage(const AppliedSettings& applied) {
    // The whole image holds every body the worker might still be writing, as it is now.
    AbandonMacroBodyWrites();
    // Each run is its own transaction: a hold relay of a device thread may go between two runs,
    // never inside one, and is not kept waiting for the whole image.
    WriteDeviceMemory(0x001, &applied.profileByte, 1);
    for (int address : SettingsBlockAddresses) {
        WriteDeviceMemory(address, applied.blocks.data() + address, 8);
        if (address == 0x010) {
            std::uint8_t discarded = 0;
            ReadDeviceMemory(0x011, &discarded, 1);
        }
    }
    for (const AppliedSettings::Run& entry : applied.keyEntries) {
        WriteDeviceMemory(entry.address, entry.bytes.data(), static_cast<int>(entry.bytes.size()));
    }
    for (const AppliedSettings::Run& body : applied.bodies) {
        WriteMacroBody(body.address, body.bytes);
    }
    SendDpiState(applied.dpiLevel, applied.dpiMask);
    platform::SleepPrecise(2);
    SendApplyImage();
    platform::SleepPrecise(2);
    SendMemEnd();
}

void SetDesktopPointer(const AppliedSettings& applied) {
    platform::PointerSettings& pointer = platform::CurrentPointerSettings();
    int current = 20;
    if (pointer.GetMouseSpeed(current)) {
        pointer.SetMouseSpeed(applied.pointerSpeed);
    }
    int lines = 0;
    if (pointer.GetWheelScrollLines(lines)) {
        pointer.SetWheelScrollLines(applied.wheelLines);
    }
}

void KeepRewrittenBody(int address, const std::vector<std::uint8_t>& body) {
    if (!g_lastApplied) {
        return;
    }
    for (AppliedSettings::Run& kept : g_lastApplied->bodies) {
        if (kept.address == address && kept.bytes.size() == body.size()) {
            kept.bytes = body;
        }
    }
}

void RewriteLastAppliedSettings() {
    if (!g_lastApplied) {
        return;
    }
    // The profile the mouse works with: it may have switched by itself since the Apply (a profile
    // button), and the window and the recoil adjustment followed it there.
    g_lastApplied->profileByte = ProfileByteOf(g_mouseProfileIdx);
    WriteSettingsImage(*g_lastApplied);
    SetDesktopPointer(*g_lastApplied);
}
