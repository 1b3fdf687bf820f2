// The console variables of the actors.
#pragma once
#include "core/console/console_var.h"

// The oxygen of the actor whose oxygen changed last, truncated toward zero.
extern ConsoleVar mi_oxygen;
// Oxygen lost per second under water, and regained per second above it.
extern ConsoleVar mf_oxygendecrease;
extern ConsoleVar mf_oxygenincrease;
// Lying corpses are drawn only while it is on.
extern ConsoleVar rbshowbodys;
// Debug drawing of projectile flight steps and hits.
extern ConsoleVar rbprojectile;
// Every impact of a projectile that is not a timed explosive ends it.
extern ConsoleVar rbpenetrate;
// Soldiers look for enemies and friends through the whole registry instead of the team lists.
extern ConsoleVar gbvo;
// The AI debug drawing (here the view frusta of the soldiers other than the player).
extern ConsoleVar gbdebugai;

// The game's switches that the actors and the AI read (registered with the game's variables).
extern ConsoleVar gb_godmode;   // the player takes no damage and does not drown
extern ConsoleVar gbai;         // the AI runs (true by default)
extern ConsoleVar gbshake;      // hits shake the player's view
extern ConsoleVar gbalwaysrun;  // the player runs unless the walk key is held
extern ConsoleVar gbdebuginfo;  // debug texts over the soldiers
