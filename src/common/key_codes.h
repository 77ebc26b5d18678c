// Conversions between the codes the program uses for keys: Windows virtual-key codes (what
// recording sees and macro files store), HID keyboard usages (what macro steps hold and the mouse
// receives, with 0xF1..0xF3 standing for the left, middle and right mouse buttons), the key
// picker's index and the multimedia index of button functions. Pure functions over constant
// tables; no state, any thread. Every input has a defined result.
#pragma once

#include <QString>
#include <cstdint>

// Letters, digits and F1..F24 by arithmetic, the rest by table; a code in no table comes back
// unchanged (so do the generic VK_SHIFT, VK_CONTROL and VK_MENU).
std::uint8_t VkToHidUsage(std::uint8_t vk);

// The inverse of VkToHidUsage for every code it converts; other usages come back unchanged.
std::uint8_t UsageToVirtualKey(std::uint8_t usage);

// The step list's name of a usage: "A".."Z", "1".."9", a name from the table, else "Unkown".
QString UsageToKeyName(int usage);

// Key picker index 0..78 (keyboard order) -> HID usage; 0xFF for any other index.
std::uint8_t KeyIndexToUsage(std::uint8_t index);

// Multimedia index 0..10 -> consumer-page usage; 0 for any other index.
std::uint32_t MediaIndexToConsumerUsage(std::uint8_t index);
