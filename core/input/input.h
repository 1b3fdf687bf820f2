// Keyboard and mouse input. Two roads feed one set of key and mouse-button states: the DirectInput
// devices (buffered records, read once per frame by InputUpdate) and the window messages (while the GUI
// has the input, or without DirectInput). One key-code space covers both: the keyboard scan codes 1..237
// and five mouse codes. The poll ends by rebuilding the action tables (core/input/actions.h).
#pragma once
#include <cstddef>

#include "core/input/actions.h"
#include "core/types.h"
#include "platform/win32.h"

class DebugOverlay;
class IDirectInput8A;
class IDirectInputDevice8A;
class InputMode;

// Mouse key codes (after the keyboard's 1..237); 0 is no key.
constexpr u8_t KEY_MOUSE0 = 240;  // left button
constexpr u8_t KEY_MOUSE1 = 241;  // right button
constexpr u8_t KEY_MOUSE2 = 242;  // middle button
constexpr u8_t KEY_MOUSE_WHEEL_UP = 243;
constexpr u8_t KEY_MOUSE_WHEEL_DOWN = 244;
constexpr u8_t KEY_ESCAPE = 0x01;

// Indices of the mouse states: three buttons, then the wheel (a fourth button reported by the device
// shows as wheel up).
constexpr int MOUSE_WHEEL_UP = 3;
constexpr int MOUSE_WHEEL_DOWN = 4;
constexpr int MOUSE_STATE_COUNT = 5;

constexpr u8_t INPUT_STATE_DOWN = 255;

// Receives the mouse movement (dx, dy) for the player's view; null for none.
using MouseMoveListener = void (*)(s32_t dx, s32_t dy);

// The input's one state record: the states both roads feed, the key map and action tables built from
// them, the heads of the input-mode and debug-overlay chains (core/input/input_modes.h) and the devices.
// InputShutdown starts it afresh.
struct InputState {
    constexpr InputState()
    {
        for (u8_t& action : keyMap)
            action = ACTION_UNBOUND;
    }

    // Per keyboard code: 255 while the key is down, 0 while it is up.
    u8_t keyStates[256] = {};
    // A press is kept until one poll has read it: a key pressed since the last poll, and a release of
    // such a key held back to the next poll, so that a tap shorter than a frame still counts once.
    bool keyPressUnread[256] = {};
    bool keyReleaseHeld[256] = {};
    // Buttons 0..2, wheel up, wheel down: 255 while active.
    u8_t mouseStates[MOUSE_STATE_COUNT] = {};
    // Set while a screen is open over the game: no device records are applied and the window messages
    // feed the key and button states.
    bool guiMode = false;

    // Key code (keyboard 1..237, mouse 240..244) to action; ACTION_UNBOUND for a key without one (every
    // key starts unbound, so that no key drives an action before bindings are read). Several keys may
    // share an action. The account code and the key-binding screen read and write it.
    u8_t keyMap[256];
    // Per action: 255 while down; 255 in the one update in which it went up; 1 when down in the last update.
    u8_t actionDown[256] = {};
    u8_t actionReleased[256] = {};
    u8_t actionPrevious[256] = {};

    InputMode* currentMode = nullptr;    // the first mode of the chain
    DebugOverlay* topOverlay = nullptr;  // the overlay drawn first

    IDirectInput8A* directInput = nullptr;
    IDirectInputDevice8A* keyboard = nullptr;
    IDirectInputDevice8A* mouse = nullptr;
    bool useDirectInput = false;
    HWND window = nullptr;
    MouseMoveListener mouseMoveListener = nullptr;
};

extern InputState g_input;

void InputSetMouseMoveListener(MouseMoveListener listener);

// Keeps the window; with useDirectInput creates and acquires the devices (a system without them leaves
// the window messages as the only road: the error is returned and no key bindings are loaded). Then loads
// "input.def". 0 on success.
int InputInit(HWND window, bool useDirectInput);
// Releases the devices and returns the input to its start state.
void InputShutdown();
// The per-frame poll: device records into the states, the action tables, the current input mode.
void InputUpdate();
// Called by the window procedure for every message; always returns 0.
LRESULT InputWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Moves the cursor to the centre of the game window unless it is already there.
void InputCenterCursor();
// The mouse moved while a screen was up does not turn the view once it closes: the motion the mouse
// device holds is dropped and the cursor goes back to the window's centre, from where the window
// messages measure the next move.
void InputForgetMouseMotion();
bool InputUsesDirectInput();

// The events both roads produce. Codes outside the tables are ignored.
void KeyDown(int code);
void KeyUp(int code);
void MouseButtonDown(int button);
void MouseButtonUp(int button);
// Sets wheel up for a positive delta, wheel down for a negative one.
void MouseWheel(int delta);
void MouseMove(s32_t dx, s32_t dy);
void ClearWheel();
// The key states have been read (by the action update): presses are no longer unread, and the
// releases held back for them take effect for the next read.
void KeyPressesRead();
// Every key up, with no press or release waiting for the next poll.
void ClearKeyStates();

// The key code of a key name ("DIK_W", "MOUSE0"; exact comparison), 0 when unknown.
u8_t KeyCodeFromName(const char* name);
// Copies the display text of a key code ("W", "MOUSE LEFT") into the buffer, cut to fit; an empty text
// for a code without one. Returns the buffer.
const char* KeyDisplayName(int code, char* buffer, std::size_t bufferSize);
