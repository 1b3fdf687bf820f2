// Keyboard and mouse input and the action tables rebuilt every frame.
#pragma once
#include "core/types.h"
#include "platform/win32.h"

constexpr u8_t ACTION_OBJECTIVES = 46;
constexpr u8_t ACTION_ESCAPE = 254;
constexpr u8_t ACTION_UNBOUND = 255;

// Per action: 255 while down / in the frame it was released; previous: 1 when down last update.
extern u8_t g_actionDown[256];
extern u8_t g_actionReleased[256];
extern u8_t g_actionPrevious[256];
// Set while a screen is open over the game: the window messages feed the key states.
extern bool g_inputGuiMode;

int InputInit(HWND window, bool useDirectInput);
void InputShutdown();
void InputUpdate();
// Called by the window procedure for every message; always returns 0.
LRESULT InputWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
