#include "platform/sdl/keyboard_codes.h"

#include <SDL_scancode.h>

#include <array>

#include "platform/win32.h"

namespace {

struct KeyPair {
    SDL_Scancode scancode;
    std::uint8_t keyCode;
};

// Where two SDL scancodes give the same key code, the first one listed is the one that key
// injection uses.
constexpr KeyPair kKeyPairs[] = {
    {SDL_SCANCODE_ESCAPE, 0x01},
    {SDL_SCANCODE_1, 0x02},
    {SDL_SCANCODE_2, 0x03},
    {SDL_SCANCODE_3, 0x04},
    {SDL_SCANCODE_4, 0x05},
    {SDL_SCANCODE_5, 0x06},
    {SDL_SCANCODE_6, 0x07},
    {SDL_SCANCODE_7, 0x08},
    {SDL_SCANCODE_8, 0x09},
    {SDL_SCANCODE_9, 0x0A},
    {SDL_SCANCODE_0, 0x0B},
    {SDL_SCANCODE_MINUS, 0x0C},
    {SDL_SCANCODE_EQUALS, 0x0D},
    {SDL_SCANCODE_BACKSPACE, 0x0E},
    {SDL_SCANCODE_TAB, 0x0F},
    {SDL_SCANCODE_Q, 0x10},
    {SDL_SCANCODE_W, 0x11},
    {SDL_SCANCODE_E, 0x12},
    {SDL_SCANCODE_R, 0x13},
    {SDL_SCANCODE_T, 0x14},
    {SDL_SCANCODE_Y, 0x15},
    {SDL_SCANCODE_U, 0x16},
    {SDL_SCANCODE_I, 0x17},
    {SDL_SCANCODE_O, 0x18},
    {SDL_SCANCODE_P, 0x19},
    {SDL_SCANCODE_LEFTBRACKET, 0x1A},
    {SDL_SCANCODE_RIGHTBRACKET, 0x1B},
    {SDL_SCANCODE_RETURN, 0x1C},
    {SDL_SCANCODE_LCTRL, 0x1D},
    {SDL_SCANCODE_A, 0x1E},
    {SDL_SCANCODE_S, 0x1F},
    {SDL_SCANCODE_D, 0x20},
    {SDL_SCANCODE_F, 0x21},
    {SDL_SCANCODE_G, 0x22},
    {SDL_SCANCODE_H, 0x23},
    {SDL_SCANCODE_J, 0x24},
    {SDL_SCANCODE_K, 0x25},
    {SDL_SCANCODE_L, 0x26},
    {SDL_SCANCODE_SEMICOLON, 0x27},
    {SDL_SCANCODE_APOSTROPHE, 0x28},
    {SDL_SCANCODE_GRAVE, 0x29},
    {SDL_SCANCODE_LSHIFT, 0x2A},
    {SDL_SCANCODE_BACKSLASH, 0x2B},
    {SDL_SCANCODE_NONUSHASH, 0x2B},  // the ISO key beside Return sits where backslash does
    {SDL_SCANCODE_Z, 0x2C},
    {SDL_SCANCODE_X, 0x2D},
    {SDL_SCANCODE_C, 0x2E},
    {SDL_SCANCODE_V, 0x2F},
    {SDL_SCANCODE_B, 0x30},
    {SDL_SCANCODE_N, 0x31},
    {SDL_SCANCODE_M, 0x32},
    {SDL_SCANCODE_COMMA, 0x33},
    {SDL_SCANCODE_PERIOD, 0x34},
    {SDL_SCANCODE_SLASH, 0x35},
    {SDL_SCANCODE_RSHIFT, 0x36},
    {SDL_SCANCODE_KP_MULTIPLY, 0x37},
    {SDL_SCANCODE_LALT, 0x38},
    {SDL_SCANCODE_SPACE, 0x39},
    {SDL_SCANCODE_CAPSLOCK, 0x3A},
    {SDL_SCANCODE_F1, 0x3B},
    {SDL_SCANCODE_F2, 0x3C},
    {SDL_SCANCODE_F3, 0x3D},
    {SDL_SCANCODE_F4, 0x3E},
    {SDL_SCANCODE_F5, 0x3F},
    {SDL_SCANCODE_F6, 0x40},
    {SDL_SCANCODE_F7, 0x41},
    {SDL_SCANCODE_F8, 0x42},
    {SDL_SCANCODE_F9, 0x43},
    {SDL_SCANCODE_F10, 0x44},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x45},
    {SDL_SCANCODE_SCROLLLOCK, 0x46},
    {SDL_SCANCODE_KP_7, 0x47},
    {SDL_SCANCODE_KP_8, 0x48},
    {SDL_SCANCODE_KP_9, 0x49},
    {SDL_SCANCODE_KP_MINUS, 0x4A},
    {SDL_SCANCODE_KP_4, 0x4B},
    {SDL_SCANCODE_KP_5, 0x4C},
    {SDL_SCANCODE_KP_6, 0x4D},
    {SDL_SCANCODE_KP_PLUS, 0x4E},
    {SDL_SCANCODE_KP_1, 0x4F},
    {SDL_SCANCODE_KP_2, 0x50},
    {SDL_SCANCODE_KP_3, 0x51},
    {SDL_SCANCODE_KP_0, 0x52},
    {SDL_SCANCODE_KP_PERIOD, 0x53},
    {SDL_SCANCODE_NONUSBACKSLASH, 0x56},  // the extra ISO key left of Z
    {SDL_SCANCODE_F11, 0x57},
    {SDL_SCANCODE_F12, 0x58},
    {SDL_SCANCODE_F13, 0x64},
    {SDL_SCANCODE_F14, 0x65},
    {SDL_SCANCODE_F15, 0x66},
    {SDL_SCANCODE_INTERNATIONAL2, 0x70},  // kana
    {SDL_SCANCODE_INTERNATIONAL1, 0x73},  // the key left of right Shift on Brazilian and Japanese layouts
    {SDL_SCANCODE_INTERNATIONAL4, 0x79},  // convert
    {SDL_SCANCODE_INTERNATIONAL5, 0x7B},  // no convert
    {SDL_SCANCODE_INTERNATIONAL3, 0x7D},  // yen
    {SDL_SCANCODE_KP_EQUALS, 0x8D},
    {SDL_SCANCODE_AUDIOPREV, 0x90},
    {SDL_SCANCODE_STOP, 0x95},
    {SDL_SCANCODE_AUDIONEXT, 0x99},
    {SDL_SCANCODE_KP_ENTER, 0x9C},
    {SDL_SCANCODE_RCTRL, 0x9D},
    {SDL_SCANCODE_MUTE, 0xA0},
    {SDL_SCANCODE_AUDIOMUTE, 0xA0},
    {SDL_SCANCODE_CALCULATOR, 0xA1},
    {SDL_SCANCODE_AUDIOPLAY, 0xA2},
    {SDL_SCANCODE_AUDIOSTOP, 0xA4},
    {SDL_SCANCODE_VOLUMEDOWN, 0xAE},
    {SDL_SCANCODE_VOLUMEUP, 0xB0},
    {SDL_SCANCODE_AC_HOME, 0xB2},
    {SDL_SCANCODE_KP_COMMA, 0xB3},
    {SDL_SCANCODE_KP_DIVIDE, 0xB5},
    {SDL_SCANCODE_PRINTSCREEN, 0xB7},
    {SDL_SCANCODE_SYSREQ, 0xB7},
    {SDL_SCANCODE_RALT, 0xB8},
    {SDL_SCANCODE_PAUSE, 0xC5},
    {SDL_SCANCODE_HOME, 0xC7},
    {SDL_SCANCODE_UP, 0xC8},
    {SDL_SCANCODE_PAGEUP, 0xC9},
    {SDL_SCANCODE_LEFT, 0xCB},
    {SDL_SCANCODE_RIGHT, 0xCD},
    {SDL_SCANCODE_END, 0xCF},
    {SDL_SCANCODE_DOWN, 0xD0},
    {SDL_SCANCODE_PAGEDOWN, 0xD1},
    {SDL_SCANCODE_INSERT, 0xD2},
    {SDL_SCANCODE_DELETE, 0xD3},
    {SDL_SCANCODE_LGUI, 0xDB},
    {SDL_SCANCODE_RGUI, 0xDC},
    {SDL_SCANCODE_APPLICATION, 0xDD},
    {SDL_SCANCODE_POWER, 0xDE},
    {SDL_SCANCODE_SLEEP, 0xDF},
    {SDL_SCANCODE_AC_SEARCH, 0xE5},
    {SDL_SCANCODE_AC_BOOKMARKS, 0xE6},
    {SDL_SCANCODE_AC_REFRESH, 0xE7},
    {SDL_SCANCODE_AC_STOP, 0xE8},
    {SDL_SCANCODE_AC_FORWARD, 0xE9},
    {SDL_SCANCODE_AC_BACK, 0xEA},
    {SDL_SCANCODE_COMPUTER, 0xEB},
    {SDL_SCANCODE_MAIL, 0xEC},
    {SDL_SCANCODE_MEDIASELECT, 0xED},
};

struct VirtualKeyPair {
    std::uint8_t keyCode;
    std::uint8_t virtualKey;
};

// Letters, digits and F1-F15 follow their ranges and are handled in code below.
constexpr VirtualKeyPair kVirtualKeys[] = {
    {0x01, VK_ESCAPE},      {0x0C, VK_OEM_MINUS},   {0x0D, VK_OEM_PLUS},    {0x0E, VK_BACK},
    {0x0F, VK_TAB},         {0x1A, VK_OEM_4},       {0x1B, VK_OEM_6},       {0x1C, VK_RETURN},
    {0x1D, VK_CONTROL},     {0x27, VK_OEM_1},       {0x28, VK_OEM_7},       {0x29, VK_OEM_3},
    {0x2A, VK_SHIFT},       {0x2B, VK_OEM_5},       {0x33, VK_OEM_COMMA},   {0x34, VK_OEM_PERIOD},
    {0x35, VK_OEM_2},       {0x36, VK_SHIFT},       {0x37, VK_MULTIPLY},    {0x38, VK_MENU},
    {0x39, VK_SPACE},       {0x3A, VK_CAPITAL},     {0x45, VK_NUMLOCK},     {0x46, VK_SCROLL},
    {0x47, VK_NUMPAD0 + 7}, {0x48, VK_NUMPAD0 + 8}, {0x49, VK_NUMPAD0 + 9}, {0x4A, VK_SUBTRACT},
    {0x4B, VK_NUMPAD0 + 4}, {0x4C, VK_NUMPAD0 + 5}, {0x4D, VK_NUMPAD0 + 6}, {0x4E, VK_ADD},
    {0x4F, VK_NUMPAD0 + 1}, {0x50, VK_NUMPAD0 + 2}, {0x51, VK_NUMPAD0 + 3}, {0x52, VK_NUMPAD0},
    {0x53, VK_DECIMAL},     {0x56, VK_OEM_102},     {0x70, 0x15},  // kana
    {0x73, 0xC1},                                                  // ABNT C1
    {0x79, 0x1C},                                                  // convert
    {0x7B, 0x1D},                                                  // no convert
    {0x7E, 0xC2},                                                  // ABNT C2
    {0x8D, 0x92},                                                  // numpad equals
    {0x90, 0xB1},                                                  // previous track
    {0x99, 0xB0},                                                  // next track
    {0x9C, VK_RETURN},      {0x9D, VK_CONTROL},     {0xA0, 0xAD},  // mute
    {0xA2, 0xB3},                                                  // play/pause
    {0xA4, 0xB2},                                                  // media stop
    {0xAE, 0xAE},                                                  // volume down
    {0xB0, 0xAF},                                                  // volume up
    {0xB2, 0xAC},                                                  // browser home
    {0xB5, VK_DIVIDE},      {0xB7, VK_SNAPSHOT},    {0xB8, VK_MENU},        {0xC5, VK_PAUSE},
    {0xC7, VK_HOME},        {0xC8, VK_UP},          {0xC9, VK_PRIOR},       {0xCB, VK_LEFT},
    {0xCD, VK_RIGHT},       {0xCF, VK_END},         {0xD0, VK_DOWN},        {0xD1, VK_NEXT},
    {0xD2, VK_INSERT},      {0xD3, VK_DELETE},      {0xDB, VK_LWIN},        {0xDC, VK_RWIN},
    {0xDD, VK_APPS},        {0xDF, 0x5F},  // sleep
    {0xE5, 0xAA},           {0xE6, 0xAB},           {0xE7, 0xA8},           {0xE8, 0xA9},
    {0xE9, 0xA7},           {0xEA, 0xA6},  // browser keys
    {0xEC, 0xB4},                          // mail
    {0xED, 0xB5},                          // media select
};

struct KeyTables {
    std::array<std::uint8_t, SDL_NUM_SCANCODES> keyCodeOfScancode{};
    std::array<std::uint16_t, 256> scancodeOfKeyCode{};
    std::array<std::uint8_t, 256> virtualKeyOfKeyCode{};
};

constexpr KeyTables BuildKeyTables()
{
    KeyTables tables;
    for (const KeyPair& pair : kKeyPairs) {
        if (tables.keyCodeOfScancode[pair.scancode] == 0) {
            tables.keyCodeOfScancode[pair.scancode] = pair.keyCode;
        }
        if (tables.scancodeOfKeyCode[pair.keyCode] == 0) {
            tables.scancodeOfKeyCode[pair.keyCode] = static_cast<std::uint16_t>(pair.scancode);
        }
    }
    // The letter rows in scan-code order, the digit row and the function keys.
    constexpr char kLetters[] = "QWERTYUIOPASDFGHJKLZXCVBNM";
    constexpr std::uint8_t kLetterRows[][2] = {{0x10, 10}, {0x1E, 9}, {0x2C, 7}};
    int letter = 0;
    for (const auto& row : kLetterRows) {
        for (int i = 0; i < row[1]; ++i) {
            tables.virtualKeyOfKeyCode[row[0] + i] = static_cast<std::uint8_t>(kLetters[letter++]);
        }
    }
    for (int i = 0; i < 9; ++i) {
        tables.virtualKeyOfKeyCode[0x02 + i] = static_cast<std::uint8_t>('1' + i);
    }
    tables.virtualKeyOfKeyCode[0x0B] = '0';
    for (int i = 0; i < 10; ++i) {
        tables.virtualKeyOfKeyCode[0x3B + i] = static_cast<std::uint8_t>(VK_F1 + i);
    }
    tables.virtualKeyOfKeyCode[0x57] = VK_F11;
    tables.virtualKeyOfKeyCode[0x58] = VK_F12;
    for (int i = 0; i < 3; ++i) {
        tables.virtualKeyOfKeyCode[0x64 + i] = static_cast<std::uint8_t>(VK_F12 + 1 + i);
    }
    for (const VirtualKeyPair& pair : kVirtualKeys) {
        tables.virtualKeyOfKeyCode[pair.keyCode] = pair.virtualKey;
    }
    return tables;
}

constexpr KeyTables kTables = BuildKeyTables();

}  // namespace

std::uint8_t KeyCodeFromSdlScancode(int scancode)
{
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) {
        return 0;
    }
    return kTables.keyCodeOfScancode[static_cast<std::size_t>(scancode)];
}

int SdlScancodeFromKeyCode(int keyCode)
{
    if (keyCode < 0 || keyCode > 255) {
        return SDL_SCANCODE_UNKNOWN;
    }
    return kTables.scancodeOfKeyCode[static_cast<std::size_t>(keyCode)];
}

std::uint8_t VirtualKeyFromKeyCode(int keyCode)
{
    if (keyCode < 0 || keyCode > 255) {
        return 0;
    }
    return kTables.virtualKeyOfKeyCode[static_cast<std::size_t>(keyCode)];
}
