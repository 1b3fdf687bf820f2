#include "platform/sdl/keyboard_codes.h"

#include <SDL_keyboard.h>
#include <gtest/gtest.h>

#include "platform/win32.h"

namespace {

TEST(KeyboardCodesTest, KnownKeysHaveTheirScanCodesAndVirtualKeys)
{
    struct Case {
        SDL_Scancode scancode;
        int keyCode;
        int virtualKey;
    };
    const Case cases[] = {
        {SDL_SCANCODE_ESCAPE, 0x01, VK_ESCAPE},
        {SDL_SCANCODE_1, 0x02, '1'},
        {SDL_SCANCODE_0, 0x0B, '0'},
        {SDL_SCANCODE_Q, 0x10, 'Q'},
        {SDL_SCANCODE_A, 0x1E, 'A'},
        {SDL_SCANCODE_M, 0x32, 'M'},
        {SDL_SCANCODE_GRAVE, 0x29, VK_OEM_3},
        {SDL_SCANCODE_RETURN, 0x1C, VK_RETURN},
        {SDL_SCANCODE_F1, 0x3B, VK_F1},
        {SDL_SCANCODE_F10, 0x44, VK_F10},
        {SDL_SCANCODE_F11, 0x57, VK_F11},
        {SDL_SCANCODE_F15, 0x66, 0x7E},
        {SDL_SCANCODE_KP_7, 0x47, VK_NUMPAD0 + 7},
        {SDL_SCANCODE_KP_PERIOD, 0x53, VK_DECIMAL},
        {SDL_SCANCODE_KP_ENTER, 0x9C, VK_RETURN},
        {SDL_SCANCODE_RCTRL, 0x9D, VK_CONTROL},
        {SDL_SCANCODE_KP_DIVIDE, 0xB5, VK_DIVIDE},
        {SDL_SCANCODE_PRINTSCREEN, 0xB7, VK_SNAPSHOT},
        {SDL_SCANCODE_RALT, 0xB8, VK_MENU},
        {SDL_SCANCODE_PAUSE, 0xC5, VK_PAUSE},
        {SDL_SCANCODE_HOME, 0xC7, VK_HOME},
        {SDL_SCANCODE_UP, 0xC8, VK_UP},
        {SDL_SCANCODE_PAGEUP, 0xC9, VK_PRIOR},
        {SDL_SCANCODE_LEFT, 0xCB, VK_LEFT},
        {SDL_SCANCODE_RIGHT, 0xCD, VK_RIGHT},
        {SDL_SCANCODE_END, 0xCF, VK_END},
        {SDL_SCANCODE_DOWN, 0xD0, VK_DOWN},
        {SDL_SCANCODE_PAGEDOWN, 0xD1, VK_NEXT},
        {SDL_SCANCODE_INSERT, 0xD2, VK_INSERT},
        {SDL_SCANCODE_DELETE, 0xD3, VK_DELETE},
        {SDL_SCANCODE_LGUI, 0xDB, VK_LWIN},
        {SDL_SCANCODE_RGUI, 0xDC, VK_RWIN},
        {SDL_SCANCODE_APPLICATION, 0xDD, VK_APPS},
        {SDL_SCANCODE_NONUSBACKSLASH, 0x56, VK_OEM_102},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeyCodeFromSdlScancode(c.scancode), c.keyCode) << SDL_GetScancodeName(c.scancode);
        EXPECT_EQ(SdlScancodeFromKeyCode(c.keyCode), c.scancode) << c.keyCode;
        EXPECT_EQ(VirtualKeyFromKeyCode(c.keyCode), c.virtualKey) << c.keyCode;
    }
}

TEST(KeyboardCodesTest, EveryInjectableKeyComesBackAsItself)
{
    for (int keyCode = 0; keyCode < 256; ++keyCode) {
        const int scancode = SdlScancodeFromKeyCode(keyCode);
        if (scancode != SDL_SCANCODE_UNKNOWN) {
            EXPECT_EQ(KeyCodeFromSdlScancode(scancode), keyCode) << keyCode;
        }
    }
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        EXPECT_LE(KeyCodeFromSdlScancode(scancode), 237) << scancode;
    }
}

TEST(KeyboardCodesTest, OutOfRangeValuesGiveNothing)
{
    for (int value : {-1, 256, 100000}) {
        EXPECT_EQ(SdlScancodeFromKeyCode(value), SDL_SCANCODE_UNKNOWN);
        EXPECT_EQ(VirtualKeyFromKeyCode(value), 0);
    }
    EXPECT_EQ(KeyCodeFromSdlScancode(-5), 0);
    EXPECT_EQ(KeyCodeFromSdlScancode(SDL_NUM_SCANCODES), 0);
}

}  // namespace
