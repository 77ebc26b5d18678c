#include "common/key_codes.h"

#include <array>

namespace {

struct VkUsage {
    std::uint8_t vk;
    std::uint8_t usage;
};

// Virtual keys outside the letter, digit and function-key ranges.
constexpr VkUsage VkUsageTable[] = {
    {0x08, 0x2A},  // VK_BACK
    {0x09, 0x2B},  // VK_TAB
    {0x0C, 0x9C},  // VK_CLEAR
    {0x0D, 0x28},  // VK_RETURN
    {0x13, 0x48},  // VK_PAUSE
    {0x14, 0x39},  // VK_CAPITAL
    {0x1B, 0x29},  // VK_ESCAPE
    {0x20, 0x2C},  // VK_SPACE
    {0x21, 0x4B},  // VK_PRIOR
    {0x22, 0x4E},  // VK_NEXT
    {0x23, 0x4D},  // VK_END
    {0x24, 0x4A},  // VK_HOME
    {0x25, 0x50},  // VK_LEFT
    {0x26, 0x52},  // VK_UP
    {0x27, 0x4F},  // VK_RIGHT
    {0x28, 0x51},  // VK_DOWN
    {0x29, 0x77},  // VK_SELECT
    {0x2B, 0x74},  // VK_EXECUTE
    {0x2C, 0x46},  // VK_SNAPSHOT
    {0x2D, 0x49},  // VK_INSERT
    {0x2E, 0x4C},  // VK_DELETE
    {0x2F, 0x75},  // VK_HELP
    {0x30, 0x27},  // '0'
    {0x5B, 0xE3},  // VK_LWIN
    {0x5C, 0xE7},  // VK_RWIN
    {0x5D, 0x65},  // VK_APPS
    {0x60, 0x62},  // VK_NUMPAD0
    {0x61, 0x59},  // VK_NUMPAD1
    {0x62, 0x5A},  // VK_NUMPAD2
    {0x63, 0x5B},  // VK_NUMPAD3
    {0x64, 0x5C},  // VK_NUMPAD4
    {0x65, 0x5D},  // VK_NUMPAD5
    {0x66, 0x5E},  // VK_NUMPAD6
    {0x67, 0x5F},  // VK_NUMPAD7
    {0x68, 0x60},  // VK_NUMPAD8
    {0x69, 0x61},  // VK_NUMPAD9
    {0x6A, 0x55},  // VK_MULTIPLY
    {0x6B, 0x57},  // VK_ADD
    {0x6C, 0x9F},  // VK_SEPARATOR
    {0x6D, 0x56},  // VK_SUBTRACT
    {0x6E, 0x63},  // VK_DECIMAL
    {0x6F, 0x54},  // VK_DIVIDE
    {0x90, 0x53},  // VK_NUMLOCK
    {0x91, 0x47},  // VK_SCROLL
    {0xA0, 0xE1},  // VK_LSHIFT
    {0xA1, 0xE5},  // VK_RSHIFT
    {0xA2, 0xE0},  // VK_LCONTROL
    {0xA3, 0xE4},  // VK_RCONTROL
    {0xA4, 0xE2},  // VK_LMENU
    {0xA5, 0xE6},  // VK_RMENU
    {0xBA, 0x33},  // VK_OEM_1
    {0xBB, 0x2E},  // VK_OEM_PLUS
    {0xBC, 0x36},  // VK_OEM_COMMA
    {0xBD, 0x2D},  // VK_OEM_MINUS
    {0xBE, 0x37},  // VK_OEM_PERIOD
    {0xBF, 0x38},  // VK_OEM_2
    {0xC0, 0x35},  // VK_OEM_3
    {0xDB, 0x2F},  // VK_OEM_4
    {0xDC, 0x31},  // VK_OEM_5
    {0xDD, 0x30},  // VK_OEM_6
    {0xDE, 0x34},  // VK_OEM_7
    {0xF0, 0xF1},  // mouse left
    {0xF1, 0xF3},  // mouse right
    {0xF2, 0xF2},  // mouse middle
};

struct UsageName {
    std::uint8_t usage;
    const char* name;
};

// Names of the usages 39..243 that have one; F-keys and numpad digits are NumberedNames.
constexpr UsageName UsageNameTable[] = {
    {0x27, "0"},         {0x28, "RETURN"},   {0x29, "ESCAPE"},   {0x2A, "BACKSPACE"},
    {0x2B, "TAB"},       {0x2C, "SPACE"},    {0x2D, "-"},        {0x2E, "+"},
    {0x2F, "[{"},        {0x30, "]}"},       {0x31, "\\|"},      {0x33, ";:"},
    {0x34, " ' "},       {0x35, "`~"},       {0x36, ","},        {0x37, "."},
    {0x38, "/?"},        {0x39, "CAPITAL"},  {0x46, "SNAPSHOT"}, {0x47, "SCROLL"},
    {0x48, "PAUSE"},     {0x49, "INSERT"},   {0x4A, "HOME"},     {0x4B, "PRIOR"},
    {0x4C, "DELETE"},    {0x4D, "END"},      {0x4E, "NEXT"},     {0x4F, "RIGHT"},
    {0x50, "LEFT"},      {0x51, "DOWN"},     {0x52, "UP"},       {0x53, "NUMLOCK"},
    {0x54, "DIVIDE"},    {0x55, "MULTIPLY"}, {0x56, "SUBTRACT"}, {0x57, "ADD"},
    {0x62, "NUMPAD0"},   {0x63, "DECIMAL"},  {0x65, "APPS"},     {0x74, "EXECUTE"},
    {0x75, "HELP"},      {0x76, "MENU"},     {0x77, "SELECT"},   {0x9C, "CLEAR"},
    {0x9F, "SEPARATOR"}, {0xE0, "LCONTROL"}, {0xE1, "LSHIFT"},   {0xE2, "LMENU"},
    {0xE3, "LWIN"},      {0xE4, "RCONTROL"}, {0xE5, "RSHIFT"},   {0xE6, "RMENU"},
    {0xE7, "RWIN"},      {0xF1, "L-KEY"},    {0xF2, "M-KEY"},    {0xF3, "R-KEY"},
};

struct NumberedName {
    std::uint8_t first;
    std::uint8_t last;
    const char* prefix;
    int firstNumber;
};

constexpr NumberedName NumberedNames[] = {
    {0x3A, 0x45, "F", 1},       // F1..F12
    {0x59, 0x61, "NUMPAD", 1},  // NUMPAD1..NUMPAD9
    {0x68, 0x73, "F", 13},      // F13..F24
};

constexpr const char* UnknownKeyName = "Unkown";

// The key picker in keyboard order.
constexpr std::uint8_t KeyPickerVk[] = {
    0x1B,                                                        // 0 VK_ESCAPE
    0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79,  // 1..10 F1..F10
    0x7A, 0x7B,                                                  // 11, 12 F11, F12
    0x2D,                                                        // 13 VK_INSERT
    0xC0,                                                        // 14 VK_OEM_3
    '1',  '2',  '3',  '4',  '5',  '6',  '7',  '8',  '9',         // 15..23
    '0',                                                         // 24
    0xBD, 0xBB, 0x08, 0x2E,  // 25..28 VK_OEM_MINUS, VK_OEM_PLUS, VK_BACK, VK_DELETE
    0x09,                    // 29 VK_TAB
    'Q',  'W',  'E',  'R',  'T',  'Y',  'U',  'I',  'O',  'P',  // 30..39
    0xDB, 0xDD, 0xDC,                                           // 40..42 VK_OEM_4, _6, _5
    0x14,                                                       // 43 VK_CAPITAL
    'A',  'S',  'D',  'F',  'G',  'H',  'J',  'K',  'L',        // 44..52
    0xBA, 0xDE, 0x0D,                         // 53..55 VK_OEM_1, VK_OEM_7, VK_RETURN
    0xA0,                                     // 56 VK_LSHIFT
    'Z',  'X',  'C',  'V',  'B',  'N',  'M',  // 57..63
    0xBC, 0xBE, 0xBF, 0xA1,  // 64..67 VK_OEM_COMMA, VK_OEM_PERIOD, VK_OEM_2, VK_RSHIFT
    0xA2, 0xA4, 0x5B, 0x20,  // 68..71 VK_LCONTROL, VK_LMENU, VK_LWIN, VK_SPACE
    0x5C, 0xA5, 0xA3,        // 72..74 VK_RWIN, VK_RMENU, VK_RCONTROL
    0x25, 0x26, 0x27, 0x28,  // 75..78 VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN
};
static_assert(std::size(KeyPickerVk) == 79);

constexpr std::uint32_t MediaConsumerUsage[] = {
    0x0223,  // 0 AC Home
    0x0183,  // 1 AL Consumer Control Configuration (media player)
    0x018A,  // 2 AL Email Reader
    0x00E9,  // 3 Volume Increment
    0x00EA,  // 4 Volume Decrement
    0x00B6,  // 5 Scan Previous Track
    0x00B5,  // 6 Scan Next Track
    0x00E2,  // 7 Mute
    0x00CD,  // 8 Play/Pause
    0x0192,  // 9 AL Calculator
    0x00B7,  // 10 Stop
};

// The two directions of VkUsageTable as 256-entry maps (identity where the table is silent).
struct VkUsageMaps {
    std::array<std::uint8_t, 256> toUsage{};
    std::array<std::uint8_t, 256> toVk{};
};

constexpr VkUsageMaps BuildMaps() {
    VkUsageMaps maps;
    for (int i = 0; i < 256; ++i) {
        maps.toUsage[i] = static_cast<std::uint8_t>(i);
        maps.toVk[i] = static_cast<std::uint8_t>(i);
    }
    for (const VkUsage& pair : VkUsageTable) {
        maps.toUsage[pair.vk] = pair.usage;
        maps.toVk[pair.usage] = pair.vk;
    }
    return maps;
}

constexpr VkUsageMaps Maps = BuildMaps();

// A usage that two virtual keys shared would break the round trip of the macro files.
constexpr bool UsagesAreDistinct() {
    for (const VkUsage& a : VkUsageTable) {
        int count = 0;
        for (const VkUsage& b : VkUsageTable) {
            count += a.usage == b.usage ? 1 : 0;
        }
        if (count != 1) {
            return false;
        }
    }
    return true;
}
static_assert(std::size(VkUsageTable) == 64 && UsagesAreDistinct());

}  // namespace

std::uint8_t VkToHidUsage(std::uint8_t vk) {
    if (vk >= 0x41 && vk <= 0x5A) {
        return vk - 0x3D;
    }
    if (vk >= 0x31 && vk <= 0x39) {
        return vk - 0x13;
    }
    if (vk >= 0x70 && vk <= 0x7B) {
        return vk - 0x36;
    }
    if (vk >= 0x7C && vk <= 0x87) {
        return vk - 0x14;
    }
    if (vk < 0x08 || vk > 0xF2) {
        return vk;
    }
    return Maps.toUsage[vk];
}

std::uint8_t UsageToVirtualKey(std::uint8_t usage) {
    if (usage >= 0x04 && usage <= 0x1D) {
        return usage + 0x3D;
    }
    if (usage >= 0x1E && usage <= 0x26) {
        return usage + 0x13;
    }
    if (usage >= 0x3A && usage <= 0x45) {
        return usage + 0x36;
    }
    if (usage >= 0x68 && usage <= 0x73) {
        return usage + 0x14;
    }
    if (usage < 0x27 || usage > 0xF3) {
        return usage;
    }
    return Maps.toVk[usage];
}

QString UsageToKeyName(int usage) {
    if (usage >= 4 && usage < 30) {
        return QString(QChar(usage + 61));
    }
    if (usage >= 30 && usage < 39) {
        return QString::number(usage - 29);
    }
    if (usage >= 39 && usage < 244) {
        for (const UsageName& entry : UsageNameTable) {
            if (entry.usage == usage) {
                return QString::fromLatin1(entry.name);
            }
        }
        for (const NumberedName& range : NumberedNames) {
            if (usage >= range.first && usage <= range.last) {
                return QString::fromLatin1(range.prefix) +
                       QString::number(range.firstNumber + usage - range.first);
            }
        }
    }
    return QString::fromLatin1(UnknownKeyName);
}

std::uint8_t KeyIndexToUsage(std::uint8_t index) {
    return VkToHidUsage(index < std::size(KeyPickerVk) ? KeyPickerVk[index] : 0xFF);
}

std::uint32_t MediaIndexToConsumerUsage(std::uint8_t index) {
    return index < std::size(MediaConsumerUsage) ? MediaConsumerUsage[index] : 0;
}
