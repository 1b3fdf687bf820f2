// The console variables of the actors.
#pragma once
#include "core/console_var.h"

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
