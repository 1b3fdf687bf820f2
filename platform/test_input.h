// Lets tests (and scripted runs) push input into the queue that PeekMessageA and the input devices read.
#pragma once
#include <cstdint>

// keyCode: the keyboard scan-code numbering (1..237, DIK_* values). Pushes a key-down or key-up event.
void PlatformInjectKey(int keyCode, bool down);
// Text input as typed characters (WM_CHAR).
void PlatformInjectText(const char* text);
// Mouse: relative motion, button 0..2 down/up, wheel steps.
void PlatformInjectMouseMotion(int dx, int dy);
void PlatformInjectMouseButton(int button, bool down);
void PlatformInjectMouseWheel(int steps);
// Asks the window to close (as the window manager's close button does).
void PlatformInjectCloseRequest();

// Marks on the SDL events pushed above, so that the message pump can tell them from hardware events:
// injected key events carry the key code in keysym.unused, injected mouse events this mouse id and
// positions relative to the cursor the pump tracks.
constexpr std::uint32_t kInjectedKeyTag = 0x5A100000u;
constexpr std::uint32_t kInjectedMouseId = 0x5A100001u;
