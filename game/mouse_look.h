// The game's side of the mouse: the sensitivity of the player's view and the free-mouse flag.
#pragma once
#include "core/console_var.h"

// Mouse sensitivity setting (integer); GameUpdateMouseSensitivity turns it into the view factors.
extern ConsoleVar gi_mousesensitivity;

// While set the mouse does not steer the view and the cursor is not held at the window's centre.
extern bool g_gameFreeMouse;

// Radians of view turn per unit of mouse movement, horizontal and vertical.
extern float g_mouseLookFactorX;
extern float g_mouseLookFactorY;

// Both factors become gi_mousesensitivity x 0.0002, or 0.003 when that is 0.
void GameUpdateMouseSensitivity();
