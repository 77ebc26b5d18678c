// How a macro record becomes the body the mouse plays by itself: its size, its byte encoding,
// the mode flags of its key entry, and the 8-byte runs that write it. Used by the settings
// writer for every macro button and by the recoil adjustment for one body.
// Pure functions, callable from any thread; the body write goes through the transport.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "macro/macro_record.h"

// The body area starts here; key entries hold 14 address bits, so every body ends by 0x4000.
inline constexpr int MacroBodyAreaStart = 0x240;
inline constexpr int MacroBodyAreaEnd = 0x4000;
// A body takes at most this much of the body area.
inline constexpr int MacroBodySlotLimit = 0x2000;

// The size the mouse is told a body takes: counted from the record's per-kind counters, plus
// room for its effect records, a multiple of 8. A record whose counters fall short of its steps
// (only a hand-made macro file holds one) gets the size its steps really need instead, so the
// encoded steps never run past the body.
std::uint32_t MacroBodySize(const MacroRecord& record);

// Header and steps into a body of `size` bytes (zero-filled first). Never writes past `size`.
std::vector<std::uint8_t> EncodeMacroBody(const MacroRecord& record, std::size_t size);

// One recoil adjustment of a record: the y of every X/Y step moves one towards 30 (raise) or
// 0 (lower); a y already at (or beyond) that bound stays.
void MoveRecoilSteps(MacroRecord& record, bool raise);

// The four mode flags as they stand in a key entry.
struct KeyEntryFlags {
    bool mode2 = false;  // byte 1 bit 7
    bool mode1 = false;  // byte 6 bit 7
    bool bit2 = false;   // byte 6 bit 6
    bool bit3 = false;   // byte 7 bit 6
};
KeyEntryFlags MacroKeyEntryFlags(std::uint8_t mode);

// The 8-byte key entry of a button: 02, step count and flags, keyboard usage, media usage and
// body address.
std::array<std::uint8_t, 8> BuildKeyEntry(std::uint16_t stepCount, const KeyEntryFlags& flags,
                                          std::uint8_t keyUsage, std::uint32_t mediaUsage,
                                          std::uint32_t bodyAddress);

// Writes the body in size / 8 runs of 8 bytes at address, address + 8, ... Before each run it
// asks goOn (when given), and stops when that says no; false when it stopped so.
bool WriteMacroBody(int address, const std::vector<std::uint8_t>& body,
                    const std::function<bool()>& goOn = {});
