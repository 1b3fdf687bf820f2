// Lets tests (and scripted runs) push input into the queue that PeekMessageA and the input devices read,
// and look at what the window layer keeps.
#pragma once
#include <cstdint>

#include "platform/win32.h"

// keyCode: the keyboard scan-code numbering (1..237, DIK_* values). Pushes a key-down or key-up event.
void PlatformInjectKey(int keyCode, bool down);
// Text input as typed characters (WM_CHAR).
void PlatformInjectText(const char* text);
// Mouse: relative motion, button 0..2 down/up, wheel steps.
void PlatformInjectMouseMotion(int dx, int dy);
// Mouse: the pointer moves to client pixel (x, y), held inside the window.
void PlatformInjectMouseMoveTo(int x, int y);
void PlatformInjectMouseButton(int button, bool down);
void PlatformInjectMouseWheel(int steps);
// Asks the window to close (as the window manager's close button does).
void PlatformInjectCloseRequest();
// The window gains or loses the input focus (as when the user switches windows).
void PlatformInjectFocus(HWND window, bool gained);

// Whether a key of some keyboard produces this key code (1..237). Keys that the backend cannot tell
// apart from others produce none: only injection reaches them.
bool PlatformKeyHasPhysicalKey(int keyCode);
// The text in the window's title bar; empty for no window.
const char* PlatformWindowTitle(HWND window);

// Marks on the SDL events pushed above, so that the message pump can tell them from hardware events:
// injected key events carry the key code in keysym.unused, injected mouse events this mouse id and
// positions relative to the cursor the pump tracks.
constexpr std::uint32_t kInjectedKeyTag = 0x5A100000u;
constexpr std::uint32_t kInjectedMouseId = 0x5A100001u;
// An injected motion to an absolute client position carries this mouse id and the position.
constexpr std::uint32_t kInjectedMouseMoveToId = 0x5A100002u;

// True while ClipCursor confines the cursor to part of the window, with that part in client
// coordinates (as SDL holds it for the window, also where the driver cannot confine for real).
bool PlatformCursorClip(HWND window, RECT* clientRect);
