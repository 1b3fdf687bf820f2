// Key names of the binding files and the display texts shown to the player.
#include <cstring>

#include "core/input/input.h"
#include "platform/direct_input.h"

namespace {

struct KeyName {
    const char* name;
    u8_t code;
};

// A packed table reads better than one name a line.
// clang-format off
#define KEY_NAME(constant) {#constant, constant}

// Compared in this order; the first exact match gives the code.
constexpr KeyName kKeyNames[] = {
    KEY_NAME(DIK_ESCAPE), KEY_NAME(DIK_1), KEY_NAME(DIK_2), KEY_NAME(DIK_3), KEY_NAME(DIK_4),
    KEY_NAME(DIK_5), KEY_NAME(DIK_6), KEY_NAME(DIK_7), KEY_NAME(DIK_8), KEY_NAME(DIK_9), KEY_NAME(DIK_0),
    KEY_NAME(DIK_MINUS), KEY_NAME(DIK_EQUALS), KEY_NAME(DIK_BACK), KEY_NAME(DIK_TAB),
    KEY_NAME(DIK_Q), KEY_NAME(DIK_W), KEY_NAME(DIK_E), KEY_NAME(DIK_R), KEY_NAME(DIK_T), KEY_NAME(DIK_Y),
    KEY_NAME(DIK_U), KEY_NAME(DIK_I), KEY_NAME(DIK_O), KEY_NAME(DIK_P),
    KEY_NAME(DIK_LBRACKET), KEY_NAME(DIK_RBRACKET), KEY_NAME(DIK_RETURN), KEY_NAME(DIK_LCONTROL),
    KEY_NAME(DIK_A), KEY_NAME(DIK_S), KEY_NAME(DIK_D), KEY_NAME(DIK_F), KEY_NAME(DIK_G), KEY_NAME(DIK_H),
    KEY_NAME(DIK_J), KEY_NAME(DIK_K), KEY_NAME(DIK_L),
    KEY_NAME(DIK_SEMICOLON), KEY_NAME(DIK_APOSTROPHE), KEY_NAME(DIK_GRAVE), KEY_NAME(DIK_LSHIFT),
    KEY_NAME(DIK_BACKSLASH),
    KEY_NAME(DIK_Z), KEY_NAME(DIK_X), KEY_NAME(DIK_C), KEY_NAME(DIK_V), KEY_NAME(DIK_B), KEY_NAME(DIK_N),
    KEY_NAME(DIK_M), KEY_NAME(DIK_COMMA), KEY_NAME(DIK_PERIOD), KEY_NAME(DIK_SLASH), KEY_NAME(DIK_RSHIFT),
    KEY_NAME(DIK_MULTIPLY), KEY_NAME(DIK_LMENU), KEY_NAME(DIK_SPACE), KEY_NAME(DIK_CAPITAL),
    KEY_NAME(DIK_F1), KEY_NAME(DIK_F2), KEY_NAME(DIK_F3), KEY_NAME(DIK_F4), KEY_NAME(DIK_F5),
    KEY_NAME(DIK_F6), KEY_NAME(DIK_F7), KEY_NAME(DIK_F8), KEY_NAME(DIK_F9), KEY_NAME(DIK_F10),
    KEY_NAME(DIK_NUMLOCK), KEY_NAME(DIK_SCROLL),
    KEY_NAME(DIK_NUMPAD7), KEY_NAME(DIK_NUMPAD8), KEY_NAME(DIK_NUMPAD9), KEY_NAME(DIK_SUBTRACT),
    KEY_NAME(DIK_NUMPAD4), KEY_NAME(DIK_NUMPAD5), KEY_NAME(DIK_NUMPAD6), KEY_NAME(DIK_ADD),
    KEY_NAME(DIK_NUMPAD1), KEY_NAME(DIK_NUMPAD2), KEY_NAME(DIK_NUMPAD3), KEY_NAME(DIK_NUMPAD0),
    KEY_NAME(DIK_DECIMAL), KEY_NAME(DIK_OEM_102), KEY_NAME(DIK_F11), KEY_NAME(DIK_F12),
    KEY_NAME(DIK_F13), KEY_NAME(DIK_F14), KEY_NAME(DIK_F15),
    KEY_NAME(DIK_KANA), KEY_NAME(DIK_ABNT_C1), KEY_NAME(DIK_CONVERT), KEY_NAME(DIK_NOCONVERT),
    KEY_NAME(DIK_YEN), KEY_NAME(DIK_ABNT_C2), KEY_NAME(DIK_NUMPADEQUALS), KEY_NAME(DIK_PREVTRACK),
    KEY_NAME(DIK_AT), KEY_NAME(DIK_COLON), KEY_NAME(DIK_UNDERLINE), KEY_NAME(DIK_KANJI), KEY_NAME(DIK_STOP),
    KEY_NAME(DIK_AX), KEY_NAME(DIK_UNLABELED), KEY_NAME(DIK_NEXTTRACK), KEY_NAME(DIK_NUMPADENTER),
    KEY_NAME(DIK_RCONTROL), KEY_NAME(DIK_MUTE), KEY_NAME(DIK_CALCULATOR), KEY_NAME(DIK_PLAYPAUSE),
    KEY_NAME(DIK_MEDIASTOP), KEY_NAME(DIK_VOLUMEDOWN), KEY_NAME(DIK_VOLUMEUP), KEY_NAME(DIK_WEBHOME),
    KEY_NAME(DIK_NUMPADCOMMA), KEY_NAME(DIK_DIVIDE), KEY_NAME(DIK_SYSRQ), KEY_NAME(DIK_RMENU),
    KEY_NAME(DIK_PAUSE), KEY_NAME(DIK_HOME), KEY_NAME(DIK_UP), KEY_NAME(DIK_PRIOR), KEY_NAME(DIK_LEFT),
    KEY_NAME(DIK_RIGHT), KEY_NAME(DIK_END), KEY_NAME(DIK_DOWN), KEY_NAME(DIK_NEXT), KEY_NAME(DIK_INSERT),
    KEY_NAME(DIK_DELETE), KEY_NAME(DIK_LWIN), KEY_NAME(DIK_RWIN), KEY_NAME(DIK_APPS), KEY_NAME(DIK_POWER),
    KEY_NAME(DIK_SLEEP), KEY_NAME(DIK_WAKE), KEY_NAME(DIK_WEBSEARCH), KEY_NAME(DIK_WEBFAVORITES),
    KEY_NAME(DIK_WEBREFRESH), KEY_NAME(DIK_WEBSTOP), KEY_NAME(DIK_WEBFORWARD), KEY_NAME(DIK_WEBBACK),
    KEY_NAME(DIK_MYCOMPUTER), KEY_NAME(DIK_MAIL), KEY_NAME(DIK_MEDIASELECT),
    {"MOUSE0", KEY_MOUSE0}, {"MOUSE1", KEY_MOUSE1}, {"MOUSE2", KEY_MOUSE2},
    {"MOUSE_WHEEL_UP", KEY_MOUSE_WHEEL_UP}, {"MOUSE_WHEEL_DOWN", KEY_MOUSE_WHEEL_DOWN},
};
// clang-format on

#undef KEY_NAME

static_assert(sizeof kKeyNames / sizeof kKeyNames[0] == 144 + 5, "the key names and the mouse names");

struct DisplayRun {
    u8_t firstCode;
    const char* texts[13];
};

// Consecutive codes from the first one on; codes not listed have no display text.
constexpr DisplayRun kDisplayRuns[] = {
    {0x01, {"ESCAPE", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "-", "="}},
    {0x0E, {"BACKSPACE", "TAB", "Q", "W", "E", "R", "T", "Y", "U", "I", "O", "P", "["}},
    {0x1B, {"]", "RETURN", "LEFT CONTROL", "A", "S", "D", "F", "G", "H", "J", "K", "L", ";"}},
    {0x28, {"'", "`", "LEFT SHIFT", "\\", "Z", "X", "C", "V", "B", "N", "M", ",", "."}},
    {0x35, {"/", "RIGHT SHIFT", "*", "LEFT ALT", "SPACE", "CAPS LOCK", "F1", "F2", "F3", "F4", "F5", "F6", "F7"}},
    {0x42, {"F8", "F9", "F10", "NUM LOCK", "SCROLL LOCK"}},
    {0x47,
     {"NUMPAD 7", "NUMPAD 8", "NUMPAD 9", "NUMPAD -", "NUMPAD 4", "NUMPAD 5", "NUMPAD 6", "NUMPAD +", "NUMPAD 1",
      "NUMPAD 2", "NUMPAD 3", "NUMPAD 0", "NUMPAD ."}},
    {0x56, {"OEM 102", "F11", "F12"}},
    {0x64, {"F13", "F14", "F15"}},
    {0x8D, {"NUMPAD ="}},
    {0x9C, {"NUMPAD ENTER", "RIGHT CONTROL"}},
    {0xB3, {"NUMPAD COMMA"}},
    {0xB5, {"NUMPAD /"}},
    {0xB7, {"SYSRQ", "RIGHT ALT"}},
    {0xC5, {"PAUSE"}},
    {0xC7, {"HOME", "UP", "PAGE UP"}},
    {0xCB, {"LEFT"}},
    {0xCD, {"RIGHT"}},
    {0xCF, {"END", "DOWN", "PAGE DOWN", "INSERT", "DELETE"}},
    {0xDB, {"LEFT WIN KEY", "RIGHT WIN KEY", "APPS MENU KEY"}},
    {0xF0, {"MOUSE LEFT", "MOUSE RIGHT", "MOUSE MIDDLE", "MOUSE WHEEL UP", "MOUSE WHEEL DOWN"}},
};

struct DisplayTable {
    const char* texts[256] = {};
};

constexpr DisplayTable BuildDisplayTable()
{
    DisplayTable table;
    for (const DisplayRun& run : kDisplayRuns) {
        for (int i = 0; i < 13 && run.texts[i] != nullptr; ++i)
            table.texts[run.firstCode + i] = run.texts[i];
    }
    return table;
}

constexpr DisplayTable kDisplayTable = BuildDisplayTable();

}  // namespace

u8_t KeyCodeFromName(const char* name)
{
    if (!name)
        return 0;
    for (const KeyName& key : kKeyNames) {
        if (std::strcmp(key.name, name) == 0)
            return key.code;
    }
    return 0;
}

const char* KeyDisplayName(int code, char* buffer, std::size_t bufferSize)
{
    if (!buffer || bufferSize == 0)
        return buffer;
    const char* text = code >= 0 && code < 256 ? kDisplayTable.texts[code] : nullptr;
    if (!text)
        text = "";
    std::size_t length = std::strlen(text);
    if (length >= bufferSize)
        length = bufferSize - 1;
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return buffer;
}
