// The game's view settings that the camera reads: the third-person switch, the field of view and
// the zoomed view. The player control writes them; until it exists they are plain stored values.
#pragma once
#include "core/console_var.h"

// Third-person view: the camera orbits the player instead of looking from the eye.
extern ConsoleVar gbthirdperson;

// Set while the view is zoomed (sight, binocular): fog then does not cull the map geometry.
extern bool g_gameZoomView;

// The current field of view in radians (pi / 2 at start).
float GameGetFieldOfView();
void GameSetFieldOfView(float radians);
