// The console variables of missions and game flow.
#pragma once
#include "core/console_var.h"

// Third-person view: the camera orbits the player instead of looking from the eye.
extern ConsoleVar gbthirdperson;
// The inset camera view ("LAYER4" and the view drawn in its rectangle).
extern ConsoleVar gbteskenable;
// Mouse sensitivity setting (integer); GameUpdateMouseSensitivity turns it into the view factors.
extern ConsoleVar gi_mousesensitivity;

// The text of the current loading step, drawn on the loading screen.
extern ConsoleVar gs_maploadprogress;
// Saves allowed per mission (a mission's "max_saves" line sets it).
extern ConsoleVar gi_maxsaves;

// Commands.
extern ConsoleVar grx_toggle_camins;
extern ConsoleVar gx_joinserver;
extern ConsoleVar gx_fogtex;  // refills the map's fog texture after its settings changed

// Read by the actors and the AI.
extern ConsoleVar gb_godmode;   // the player takes no damage and does not drown
extern ConsoleVar gbai;         // the AI runs (true by default)
extern ConsoleVar gbshake;      // hits shake the player's view
extern ConsoleVar gbalwaysrun;  // the player runs unless the walk key is held
extern ConsoleVar gbdebuginfo;  // debug texts over the soldiers
