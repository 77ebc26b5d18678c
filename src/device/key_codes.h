// Conversions between Windows virtual-key codes (what macro files store) and HID keyboard
// usages (what macro steps hold). Pure functions; any thread.
#pragma once

#include <cstdint>

std::uint8_t VkToHidUsage(std::uint8_t vk);
std::uint8_t UsageToVirtualKey(std::uint8_t usage);
