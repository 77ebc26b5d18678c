// Everything an Apply sends, as it sent it: the settings image for the mouse (profile byte,
// settings blocks, key entries, macro bodies and the closing DPI state) and the desktop's pointer
// speed and wheel lines. The settings writer builds it from the program's state and writes it;
// the last one is kept, so that a sleep or a wake-up writes the mouse again with what it was
// last given (and the recoil adjustments it got since), never an edit that was not applied, and
// saves nothing. User-interface thread only; the writes go through the transport.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

struct AppliedSettings {
    struct Run {
        int address = 0;
        std::vector<std::uint8_t> bytes;
    };
    std::uint8_t profileByte = 0;
    std::array<std::uint8_t, 0x80> blocks{};  // 0x008..0x07F are written
    std::vector<Run> keyEntries;              // one 8-byte run each
    std::vector<Run> bodies;                  // written in runs of 8
    std::uint8_t dpiLevel = 0;
    std::uint8_t dpiMask = 0;
    int pointerSpeed = 0;         // the desktop's pointer speed (Windows scale)
    std::uint8_t wheelLines = 0;  // the desktop's wheel scroll lines
};

// The profile byte that selects profile row profileIdx (0..3).
std::uint8_t ProfileByteOf(int profileIdx);

// The mouse's part, report for report as the settings writer has always sent it: the profile
// byte, the settings blocks with the one-byte read after 0x010, the key entries, the bodies,
// then the DPI state, the apply-image and the plain end command 2 ms apart.
void WriteSettingsImage(const AppliedSettings& applied);
// The desktop's part: each is set only where the desktop offers the setting.
void SetDesktopPointer(const AppliedSettings& applied);

// What the last Apply sent; nothing before the first.
extern std::optional<AppliedSettings> g_lastApplied;

// A recoil adjustment rewrote the body at address: the kept image gets it too.
void KeepRewrittenBody(int address, const std::vector<std::uint8_t>& body);

// Writes the mouse (and sets the desktop's pointer) with what the last Apply sent, as changed
// by the recoil since, on the profile the mouse last reported; nothing when there was no Apply.
// Nothing is saved.
void RewriteLastAppliedSettings();
