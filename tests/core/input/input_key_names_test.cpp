// Key names of the binding files, display texts, and the keyboard table behind them: every named key
// can be pressed and arrives under its own code.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/input/input.h"
#include "tests/core/input/input_fixture.h"
#include "platform/test_input.h"

namespace {

struct NamedKey {
    const char* name;
    int code;
};

// In the order the names are compared.
// A packed table reads better than one name a line.
// clang-format off
const NamedKey kNamedKeys[] = {
    {"DIK_ESCAPE", 1}, {"DIK_1", 2}, {"DIK_2", 3}, {"DIK_3", 4}, {"DIK_4", 5}, {"DIK_5", 6}, {"DIK_6", 7},
    {"DIK_7", 8}, {"DIK_8", 9}, {"DIK_9", 10}, {"DIK_0", 11}, {"DIK_MINUS", 12}, {"DIK_EQUALS", 13},
    {"DIK_BACK", 14}, {"DIK_TAB", 15}, {"DIK_Q", 16}, {"DIK_W", 17}, {"DIK_E", 18}, {"DIK_R", 19},
    {"DIK_T", 20}, {"DIK_Y", 21}, {"DIK_U", 22}, {"DIK_I", 23}, {"DIK_O", 24}, {"DIK_P", 25},
    {"DIK_LBRACKET", 26}, {"DIK_RBRACKET", 27}, {"DIK_RETURN", 28}, {"DIK_LCONTROL", 29}, {"DIK_A", 30},
    {"DIK_S", 31}, {"DIK_D", 32}, {"DIK_F", 33}, {"DIK_G", 34}, {"DIK_H", 35}, {"DIK_J", 36}, {"DIK_K", 37},
    {"DIK_L", 38}, {"DIK_SEMICOLON", 39}, {"DIK_APOSTROPHE", 40}, {"DIK_GRAVE", 41}, {"DIK_LSHIFT", 42},
    {"DIK_BACKSLASH", 43}, {"DIK_Z", 44}, {"DIK_X", 45}, {"DIK_C", 46}, {"DIK_V", 47}, {"DIK_B", 48},
    {"DIK_N", 49}, {"DIK_M", 50}, {"DIK_COMMA", 51}, {"DIK_PERIOD", 52}, {"DIK_SLASH", 53},
    {"DIK_RSHIFT", 54}, {"DIK_MULTIPLY", 55}, {"DIK_LMENU", 56}, {"DIK_SPACE", 57}, {"DIK_CAPITAL", 58},
    {"DIK_F1", 59}, {"DIK_F2", 60}, {"DIK_F3", 61}, {"DIK_F4", 62}, {"DIK_F5", 63}, {"DIK_F6", 64},
    {"DIK_F7", 65}, {"DIK_F8", 66}, {"DIK_F9", 67}, {"DIK_F10", 68}, {"DIK_NUMLOCK", 69}, {"DIK_SCROLL", 70},
    {"DIK_NUMPAD7", 71}, {"DIK_NUMPAD8", 72}, {"DIK_NUMPAD9", 73}, {"DIK_SUBTRACT", 74}, {"DIK_NUMPAD4", 75},
    {"DIK_NUMPAD5", 76}, {"DIK_NUMPAD6", 77}, {"DIK_ADD", 78}, {"DIK_NUMPAD1", 79}, {"DIK_NUMPAD2", 80},
    {"DIK_NUMPAD3", 81}, {"DIK_NUMPAD0", 82}, {"DIK_DECIMAL", 83}, {"DIK_OEM_102", 86}, {"DIK_F11", 87},
    {"DIK_F12", 88}, {"DIK_F13", 100}, {"DIK_F14", 101}, {"DIK_F15", 102}, {"DIK_KANA", 112},
    {"DIK_ABNT_C1", 115}, {"DIK_CONVERT", 121}, {"DIK_NOCONVERT", 123}, {"DIK_YEN", 125},
    {"DIK_ABNT_C2", 126}, {"DIK_NUMPADEQUALS", 141}, {"DIK_PREVTRACK", 144}, {"DIK_AT", 145},
    {"DIK_COLON", 146}, {"DIK_UNDERLINE", 147}, {"DIK_KANJI", 148}, {"DIK_STOP", 149}, {"DIK_AX", 150},
    {"DIK_UNLABELED", 151}, {"DIK_NEXTTRACK", 153}, {"DIK_NUMPADENTER", 156}, {"DIK_RCONTROL", 157},
    {"DIK_MUTE", 160}, {"DIK_CALCULATOR", 161}, {"DIK_PLAYPAUSE", 162}, {"DIK_MEDIASTOP", 164},
    {"DIK_VOLUMEDOWN", 174}, {"DIK_VOLUMEUP", 176}, {"DIK_WEBHOME", 178}, {"DIK_NUMPADCOMMA", 179},
    {"DIK_DIVIDE", 181}, {"DIK_SYSRQ", 183}, {"DIK_RMENU", 184}, {"DIK_PAUSE", 197}, {"DIK_HOME", 199},
    {"DIK_UP", 200}, {"DIK_PRIOR", 201}, {"DIK_LEFT", 203}, {"DIK_RIGHT", 205}, {"DIK_END", 207},
    {"DIK_DOWN", 208}, {"DIK_NEXT", 209}, {"DIK_INSERT", 210}, {"DIK_DELETE", 211}, {"DIK_LWIN", 219},
    {"DIK_RWIN", 220}, {"DIK_APPS", 221}, {"DIK_POWER", 222}, {"DIK_SLEEP", 223}, {"DIK_WAKE", 227},
    {"DIK_WEBSEARCH", 229}, {"DIK_WEBFAVORITES", 230}, {"DIK_WEBREFRESH", 231}, {"DIK_WEBSTOP", 232},
    {"DIK_WEBFORWARD", 233}, {"DIK_WEBBACK", 234}, {"DIK_MYCOMPUTER", 235}, {"DIK_MAIL", 236},
    {"DIK_MEDIASELECT", 237}, {"MOUSE0", 240}, {"MOUSE1", 241}, {"MOUSE2", 242}, {"MOUSE_WHEEL_UP", 243},
    {"MOUSE_WHEEL_DOWN", 244},
};
// clang-format on

// Keys of keyboards that the platform does not tell apart (Japanese AX and NEC keyboards, the Brazilian
// keypad separator that shares the keypad comma, the wake key): only injection reaches them.
const std::set<std::string> kWithoutPhysicalKey = {"DIK_ABNT_C2", "DIK_AT", "DIK_COLON",     "DIK_UNDERLINE",
                                                   "DIK_KANJI",   "DIK_AX", "DIK_UNLABELED", "DIK_WAKE"};

std::string Display(int code, std::size_t bufferSize = 32)
{
    std::vector<char> buffer(bufferSize + 1, '#');
    KeyDisplayName(code, buffer.data(), bufferSize);
    return buffer.data();
}

TEST(KeyNames, EveryNameGivesItsCodeAndNothingElseMatches)
{
    ASSERT_EQ(std::size(kNamedKeys), 149u);
    std::set<int> codes;
    for (const NamedKey& key : kNamedKeys) {
        EXPECT_EQ(KeyCodeFromName(key.name), key.code) << key.name;
        EXPECT_TRUE(codes.insert(key.code).second) << key.name;
    }
    for (const char* unknown : {"DIK_w", "dik_W", "DIK_W ", " DIK_W", "W", "", "MOUSE3", "MOUSE", "DIK_"})
        EXPECT_EQ(KeyCodeFromName(unknown), 0) << unknown;
    EXPECT_EQ(KeyCodeFromName(nullptr), 0);
}

TEST(KeyNames, DisplayTextsCoverTheirCodesAndNoOthers)
{
    struct Run {
        int first;
        const char* texts;  // '|' between the texts of consecutive codes
    };
    const Run runs[] = {
        {1, "ESCAPE|1|2|3|4|5|6|7|8|9|0"},
        {12, "-|=|BACKSPACE|TAB"},
        {16, "Q|W|E|R|T|Y|U|I|O|P"},
        {26, "[|]|RETURN|LEFT CONTROL"},
        {30, "A|S|D|F|G|H|J|K|L"},
        {39, ";|'|`|LEFT SHIFT|\\"},
        {44, "Z|X|C|V|B|N|M|,|.|/"},
        {54, "RIGHT SHIFT|*|LEFT ALT|SPACE|CAPS LOCK"},
        {59, "F1|F2|F3|F4|F5|F6|F7|F8|F9|F10"},
        {69, "NUM LOCK|SCROLL LOCK"},
        {71,
         "NUMPAD 7|NUMPAD 8|NUMPAD 9|NUMPAD -|NUMPAD 4|NUMPAD 5|NUMPAD 6|NUMPAD +|NUMPAD 1|NUMPAD 2|"
         "NUMPAD 3|NUMPAD 0|NUMPAD ."},
        {86, "OEM 102|F11|F12"},
        {100, "F13|F14|F15"},
        {141, "NUMPAD ="},
        {156, "NUMPAD ENTER|RIGHT CONTROL"},
        {179, "NUMPAD COMMA"},
        {181, "NUMPAD /"},
        {183, "SYSRQ|RIGHT ALT"},
        {197, "PAUSE"},
        {199, "HOME|UP|PAGE UP"},
        {203, "LEFT"},
        {205, "RIGHT"},
        {207, "END|DOWN|PAGE DOWN|INSERT|DELETE"},
        {219, "LEFT WIN KEY|RIGHT WIN KEY|APPS MENU KEY"},
        {240, "MOUSE LEFT|MOUSE RIGHT|MOUSE MIDDLE|MOUSE WHEEL UP|MOUSE WHEEL DOWN"},
    };
    std::vector<std::string> expected(256);
    for (const Run& run : runs) {
        std::istringstream texts(run.texts);
        int code = run.first;
        for (std::string text; std::getline(texts, text, '|');)
            expected[code++] = text;
    }
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(Display(code), expected[code]) << code;
    EXPECT_EQ(Display(157), "RIGHT CONTROL");
    EXPECT_EQ(Display(-1), "");
    EXPECT_EQ(Display(256), "");
    // A small buffer gets as much as fits, always terminated.
    EXPECT_EQ(Display(157, 6), "RIGHT");
    EXPECT_EQ(Display(157, 1), "");
}

TEST(KeyNames, EveryNamedKeyComesFromAPhysicalKeyOrIsListedAsUnreachable)
{
    std::set<int> namedCodes;
    for (const NamedKey& key : kNamedKeys) {
        namedCodes.insert(key.code);
        if (key.code >= KEY_MOUSE0)
            continue;
        const bool listed = kWithoutPhysicalKey.count(key.name) != 0;
        EXPECT_EQ(PlatformKeyHasPhysicalKey(key.code), !listed) << key.name;
    }
    // Whatever key a keyboard reports can be bound by name.
    for (int code = 0; code < KEY_MOUSE0; ++code) {
        if (PlatformKeyHasPhysicalKey(code)) {
            EXPECT_EQ(namedCodes.count(code), 1u) << code;
        }
    }
}

class NamedKeysTest : public InputWindowTest {
protected:
    void SetUp() override
    {
        InputWindowTest::SetUp();
        ASSERT_EQ(InputInit(m_window, true), 0);
    }
};

// Pressed through SDL, each named key arrives under its own code, read by the devices and, while a screen
// is open, from the key messages.
TEST_F(NamedKeysTest, EveryNamedKeyArrivesUnderItsCode)
{
    for (bool guiMode : {false, true}) {
        g_input.guiMode = guiMode;
        for (const NamedKey& key : kNamedKeys) {
            SCOPED_TRACE(std::string(key.name) + (guiMode ? " from messages" : " from the devices"));
            const bool mouse = key.code >= KEY_MOUSE0;
            const int button = key.code - KEY_MOUSE0;
            if (!mouse) {
                PlatformInjectKey(key.code, true);
            } else if (button < MOUSE_WHEEL_UP) {
                PlatformInjectMouseButton(button, true);
            } else {
                PlatformInjectMouseWheel(button == MOUSE_WHEEL_UP ? 1 : -1);
            }
            Frame();
            EXPECT_EQ(mouse ? g_input.mouseStates[button] : g_input.keyStates[key.code], 255);
            if (!mouse) {
                PlatformInjectKey(key.code, false);
            } else if (button < MOUSE_WHEEL_UP) {
                PlatformInjectMouseButton(button, false);
            } else if (guiMode) {
                PostMessageA(m_window, WM_NULL, 0, 0);  // while a screen is open the next message ends a wheel turn
            }
            Frame();
            EXPECT_EQ(mouse ? g_input.mouseStates[button] : g_input.keyStates[key.code], 0);
        }
    }
}

}  // namespace
