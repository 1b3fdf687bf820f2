// The console variables of missions and game flow. Those of the game's that the actors and the
// renderer read are declared in their readers' headers (and registered here, in the game's order).
#pragma once
#include "actors/actor_cvars.h"
#include "core/console_var.h"
#include "render/render_cvars.h"

// Mouse sensitivity setting (integer); GameUpdateMouseSensitivity turns it into the view factors.
extern ConsoleVar gi_mousesensitivity;

// The text of the current loading step (gs_maploadprogress) is declared in core/core_cvars.h.
// Saves allowed per mission (a mission's "max_saves" line sets it).
extern ConsoleVar gi_maxsaves;

// Commands.
extern ConsoleVar grx_toggle_camins;
extern ConsoleVar gx_joinserver;
extern ConsoleVar gx_fogtex;  // refills the map's fog texture after its settings changed
