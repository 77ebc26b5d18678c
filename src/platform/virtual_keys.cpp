// The key tables: keysyms of the keys that mean the same on every layout, the main block's
// printable keys by their place (as the hook names them), and the toolkit's key codes.
#include "platform/virtual_keys.h"

#define XK_MISCELLANY
#define XK_LATIN1
#define XK_XKB_KEYS
#include <X11/keysymdef.h>

#include <QtCore/qnamespace.h>

namespace platform {
namespace {

struct KeyPair {
    std::uint32_t from;
    std::uint8_t vk;
};

// Keys whose keysym names them whatever the layout and the modifiers.
constexpr KeyPair KeysymTable[] = {
    {XK_BackSpace, 0x08},
    {XK_Tab, 0x09},
    {XK_ISO_Left_Tab, 0x09},
    {XK_Clear, 0x0C},
    {XK_Return, 0x0D},
    {XK_Pause, 0x13},
    {XK_Break, 0x13},
    {XK_Caps_Lock, 0x14},
    {XK_Escape, 0x1B},
    {XK_space, 0x20},
    {XK_Prior, 0x21},
    {XK_Next, 0x22},
    {XK_End, 0x23},
    {XK_Home, 0x24},
    {XK_Left, 0x25},
    {XK_Up, 0x26},
    {XK_Right, 0x27},
    {XK_Down, 0x28},
    {XK_Select, 0x29},
    {XK_Execute, 0x2B},
    {XK_Print, 0x2C},
    {XK_Sys_Req, 0x2C},
    {XK_Insert, 0x2D},
    {XK_Delete, 0x2E},
    {XK_Help, 0x2F},
    {XK_Super_L, 0x5B},
    {XK_Super_R, 0x5C},
    {XK_Menu, 0x5D},
    {XK_Num_Lock, 0x90},
    {XK_Scroll_Lock, 0x91},
    {XK_Shift_L, 0xA0},
    {XK_Shift_R, 0xA1},
    {XK_Control_L, 0xA2},
    {XK_Control_R, 0xA3},
    {XK_Alt_L, 0xA4},
    {XK_Alt_R, 0xA5},
    {XK_Meta_L, 0xA4},
    {XK_Meta_R, 0xA5},
    {XK_ISO_Level3_Shift, 0xA5},
    // The keypad, by what it gives in the NumLock state of the moment.
    {XK_KP_Enter, 0x0D},
    {XK_KP_Home, 0x24},
    {XK_KP_Left, 0x25},
    {XK_KP_Up, 0x26},
    {XK_KP_Right, 0x27},
    {XK_KP_Down, 0x28},
    {XK_KP_Prior, 0x21},
    {XK_KP_Next, 0x22},
    {XK_KP_End, 0x23},
    {XK_KP_Begin, 0x0C},
    {XK_KP_Insert, 0x2D},
    {XK_KP_Delete, 0x2E},
    {XK_KP_Multiply, 0x6A},
    {XK_KP_Add, 0x6B},
    {XK_KP_Separator, 0x6C},
    {XK_KP_Subtract, 0x6D},
    {XK_KP_Decimal, 0x6E},
    {XK_KP_Divide, 0x6F},
};

// The printable keys of the main block by keycode (evdev code + 8), as the hook names them on
// the layout they were made for: the digit row is '1'..'0' with or without Shift, and the letter
// keys of a layout without Latin letters are the letters of their place.
constexpr KeyPair KeycodeTable[] = {
    {10, '1'},  {11, '2'},  {12, '3'},  {13, '4'},  {14, '5'},  {15, '6'},  {16, '7'},  {17, '8'},
    {18, '9'},  {19, '0'},  {20, 0xBD}, {21, 0xBB}, {34, 0xDB}, {35, 0xDD}, {47, 0xBA}, {48, 0xDE},
    {49, 0xC0}, {51, 0xDC}, {59, 0xBC}, {60, 0xBE}, {61, 0xBF}, {94, 0xE2}, {24, 'Q'},  {25, 'W'},
    {26, 'E'},  {27, 'R'},  {28, 'T'},  {29, 'Y'},  {30, 'U'},  {31, 'I'},  {32, 'O'},  {33, 'P'},
    {38, 'A'},  {39, 'S'},  {40, 'D'},  {41, 'F'},  {42, 'G'},  {43, 'H'},  {44, 'J'},  {45, 'K'},
    {46, 'L'},  {52, 'Z'},  {53, 'X'},  {54, 'C'},  {55, 'V'},  {56, 'B'},  {57, 'N'},  {58, 'M'},
};

// Printable symbols when the keycode is not known: the key that gives them on a US layout.
constexpr KeyPair SymbolTable[] = {
    {XK_exclam, '1'},        {XK_at, '2'},          {XK_numbersign, '3'},   {XK_dollar, '4'},
    {XK_percent, '5'},       {XK_asciicircum, '6'}, {XK_ampersand, '7'},    {XK_asterisk, '8'},
    {XK_parenleft, '9'},     {XK_parenright, '0'},  {XK_minus, 0xBD},       {XK_underscore, 0xBD},
    {XK_equal, 0xBB},        {XK_plus, 0xBB},       {XK_bracketleft, 0xDB}, {XK_braceleft, 0xDB},
    {XK_bracketright, 0xDD}, {XK_braceright, 0xDD}, {XK_semicolon, 0xBA},   {XK_colon, 0xBA},
    {XK_apostrophe, 0xDE},   {XK_quotedbl, 0xDE},   {XK_grave, 0xC0},       {XK_asciitilde, 0xC0},
    {XK_backslash, 0xDC},    {XK_bar, 0xDC},        {XK_comma, 0xBC},       {XK_less, 0xBC},
    {XK_period, 0xBE},       {XK_greater, 0xBE},    {XK_slash, 0xBF},       {XK_question, 0xBF},
};

// The toolkit's key codes (their meaning without the keypad).
constexpr KeyPair QtKeyTable[] = {
    {Qt::Key_Backspace, 0x08},  {Qt::Key_Tab, 0x09},
    {Qt::Key_Backtab, 0x09},    {Qt::Key_Clear, 0x0C},
    {Qt::Key_Return, 0x0D},     {Qt::Key_Enter, 0x0D},
    {Qt::Key_Pause, 0x13},      {Qt::Key_CapsLock, 0x14},
    {Qt::Key_Escape, 0x1B},     {Qt::Key_Space, 0x20},
    {Qt::Key_PageUp, 0x21},     {Qt::Key_PageDown, 0x22},
    {Qt::Key_End, 0x23},        {Qt::Key_Home, 0x24},
    {Qt::Key_Left, 0x25},       {Qt::Key_Up, 0x26},
    {Qt::Key_Right, 0x27},      {Qt::Key_Down, 0x28},
    {Qt::Key_Select, 0x29},     {Qt::Key_Execute, 0x2B},
    {Qt::Key_Print, 0x2C},      {Qt::Key_SysReq, 0x2C},
    {Qt::Key_Insert, 0x2D},     {Qt::Key_Delete, 0x2E},
    {Qt::Key_Help, 0x2F},       {Qt::Key_Meta, 0x5B},
    {Qt::Key_Super_L, 0x5B},    {Qt::Key_Super_R, 0x5C},
    {Qt::Key_Menu, 0x5D},       {Qt::Key_NumLock, 0x90},
    {Qt::Key_ScrollLock, 0x91}, {Qt::Key_Shift, 0xA0},
    {Qt::Key_Control, 0xA2},    {Qt::Key_Alt, 0xA4},
    {Qt::Key_AltGr, 0xA5},      {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},          {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},      {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},  {Qt::Key_Minus, 0xBD},
    {Qt::Key_Underscore, 0xBD}, {Qt::Key_Equal, 0xBB},
    {Qt::Key_Plus, 0xBB},       {Qt::Key_BracketLeft, 0xDB},
    {Qt::Key_BraceLeft, 0xDB},  {Qt::Key_BracketRight, 0xDD},
    {Qt::Key_BraceRight, 0xDD}, {Qt::Key_Semicolon, 0xBA},
    {Qt::Key_Colon, 0xBA},      {Qt::Key_Apostrophe, 0xDE},
    {Qt::Key_QuoteDbl, 0xDE},   {Qt::Key_QuoteLeft, 0xC0},
    {Qt::Key_AsciiTilde, 0xC0}, {Qt::Key_Backslash, 0xDC},
    {Qt::Key_Bar, 0xDC},        {Qt::Key_Comma, 0xBC},
    {Qt::Key_Less, 0xBC},       {Qt::Key_Period, 0xBE},
    {Qt::Key_Greater, 0xBE},    {Qt::Key_Slash, 0xBF},
    {Qt::Key_Question, 0xBF},
};

// Keypad keys by the toolkit's code.
constexpr KeyPair QtKeypadTable[] = {
    {Qt::Key_Asterisk, 0x6A}, {Qt::Key_Plus, 0x6B},   {Qt::Key_Comma, 0x6C},
    {Qt::Key_Minus, 0x6D},    {Qt::Key_Period, 0x6E}, {Qt::Key_Slash, 0x6F},
};

template <std::size_t N>
std::uint8_t Find(const KeyPair (&table)[N], std::uint32_t from) {
    for (const KeyPair& pair : table) {
        if (pair.from == from) {
            return pair.vk;
        }
    }
    return 0;
}

}  // namespace

std::uint8_t VirtualKeyFromX11(std::uint32_t keycode, std::uint32_t keysym) {
    if ((keysym >= XK_a && keysym <= XK_z)) {
        return static_cast<std::uint8_t>('A' + (keysym - XK_a));
    }
    if (keysym >= XK_A && keysym <= XK_Z) {
        return static_cast<std::uint8_t>('A' + (keysym - XK_A));
    }
    if (keysym >= XK_0 && keysym <= XK_9) {
        return static_cast<std::uint8_t>(keysym);
    }
    if (keysym >= XK_F1 && keysym <= XK_F24) {
        return static_cast<std::uint8_t>(0x70 + (keysym - XK_F1));
    }
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) {
        return static_cast<std::uint8_t>(0x60 + (keysym - XK_KP_0));
    }
    if (const std::uint8_t vk = Find(KeysymTable, keysym)) {
        return vk;
    }
    if (const std::uint8_t vk = Find(KeycodeTable, keycode)) {
        return vk;
    }
    return Find(SymbolTable, keysym);
}

std::uint8_t VirtualKeyFromQtKey(int qtKey, bool keypad) {
    const auto key = static_cast<std::uint32_t>(qtKey);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return static_cast<std::uint8_t>(keypad ? 0x60 + (key - Qt::Key_0) : key);
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return static_cast<std::uint8_t>(key);
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return static_cast<std::uint8_t>(0x70 + (key - Qt::Key_F1));
    }
    if (keypad) {
        if (const std::uint8_t vk = Find(QtKeypadTable, key)) {
            return vk;
        }
    }
    return Find(QtKeyTable, key);
}

}  // namespace platform
