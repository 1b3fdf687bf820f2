// The console variables and commands of missions and game flow, defined together in
// game/game_cvars.cpp. Those that the actors, the renderer or the core read are declared in their
// readers' headers (actors/actor_cvars.h, render/render_cvars.h, core/core_cvars.h); the rest that code
// of the game reads are declared here. Variables that only screens, scripts and plug-ins use go by name.
#pragma once
#include "actors/actor_cvars.h"
#include "core/console/console_var.h"
#include "render/render_cvars.h"

// Mission loading and start.
extern ConsoleVar gs_load_slot_request;  // a savegame slot to load in place of the opening cutscene
extern ConsoleVar gi_maploadprogress;    // loading progress in percent
extern ConsoleVar gv_startpos;           // start position ("-p x y z")
extern ConsoleVar gs_records;
extern ConsoleVar gs_response;
extern ConsoleVar gb_pradropstart;  // the player starts by parachute
extern ConsoleVar gi_maxsaves;      // saves allowed per mission (a mission's "max_saves" line sets it)

// The player's equipment when the player is assembled.
extern ConsoleVar gs_curprimaryweapon;
extern ConsoleVar gs_cursecondaryweapon;
extern ConsoleVar gs_curexplosiveweapon;
extern ConsoleVar gs_curexpdevicesweapon;
extern ConsoleVar gs_grenadeweapon;
extern ConsoleVar gs_curactormodel;

// The display mode chosen on the options screen ("width height depth").
extern ConsoleVar gs_graphmode;
// The plug-in list screen.
extern ConsoleVar gs_plgname;
// Game modes: the selected or running mode ("classic" for none) and the selected map, which the map
// commands need.
extern ConsoleVar gs_curmod;
extern ConsoleVar gs_curmodmap;
// The chat message gx_printmsg sends.
extern ConsoleVar gs_printmsg;

// View, HUD and movement.
extern ConsoleVar gbgameconsole;        // the frame draws the message lines when no console is shown
extern ConsoleVar gb_satcamscan;        // the satellite view's scan overlay
extern ConsoleVar gb_satcamenable;      // the satellite-view key opens the satellite view
extern ConsoleVar gi_mousesensitivity;  // GameUpdateMouseSensitivity turns it into the view factors
extern ConsoleVar gb_invertmouse;       // inverts the vertical mouse look
extern ConsoleVar gbtop;
extern ConsoleVar gbghost;     // free movement: no gravity, no collision, no jumping
extern ConsoleVar gbwalk;      // walking stays level whatever the view pitch
extern ConsoleVar gfcollipar;  // the player's sweep steps at most this times the player radius
extern ConsoleVar gbfastmove;  // player speed boost

// Commands.
extern ConsoleVar grx_toggle_camins;
extern ConsoleVar gx_joinserver;
extern ConsoleVar gx_fogtex;  // refills the map's fog texture after its settings changed
extern ConsoleVar gx_updatemouse;
extern ConsoleVar gx_updateweaponinfo;
extern ConsoleVar gxmap;
extern ConsoleVar cmd;
