// The console variables of the engine core: the program's switches and the sound system's switch,
// volumes and mute commands.
#pragma once
#include "core/console/console_var.h"

// The program.
extern ConsoleVar gbconsoles;  // the console pages open with F1 (or the key left of 1) to F5
extern ConsoleVar dsmap;       // the map a mission start loads
extern ConsoleVar gbsf;        // registered and settable; nothing reads it

// Sound.
extern ConsoleVar gbsound;  // the main loop runs the sound update
extern ConsoleVar si_mastervolume;
extern ConsoleVar si_effectvolume;
extern ConsoleVar si_envvolume;
extern ConsoleVar si_musicvolume;
extern ConsoleVar sb_mastermuted;
extern ConsoleVar sb_effectmuted;
extern ConsoleVar sb_envmuted;
extern ConsoleVar sb_musicmuted;
extern ConsoleVar sb_forcelocalesnd;
extern ConsoleVar gb_showsounds;
extern ConsoleVar sx_updatevolume;
extern ConsoleVar sx_mutemaster;
extern ConsoleVar sx_muteeffect;
extern ConsoleVar sx_muteenv;
extern ConsoleVar sx_mutemusic;

// The text of the current loading step, drawn on the loading screen (core/loading_line.h sets it;
// registered with the game's variables).
extern ConsoleVar gs_maploadprogress;
