// Key codes of the keyboard scan-code numbering (1..237: set-1 scan codes, 0x80 added for the
// extended keys) from SDL scancodes and back, and the Win32 virtual-key code of each key.
#pragma once
#include <cstdint>

// 0 when the SDL scancode has no key code.
std::uint8_t KeyCodeFromSdlScancode(int scancode);
// SDL_SCANCODE_UNKNOWN (0) when the key code has no SDL scancode.
int SdlScancodeFromKeyCode(int keyCode);
// The virtual-key code a key message carries in wParam; 0 when the key has none.
std::uint8_t VirtualKeyFromKeyCode(int keyCode);
