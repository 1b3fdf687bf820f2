// The AI of a mission: its start-up and end, the rule scripts' compile, the per-frame AI step with
// the dormancy rule, and the restart of every soldier's rules.
#pragma once
#include "core/types.h"

// Starts every mission-script list.
void MSALStartAll();
// Opens the AI log, empties the AI table and makes the script tables, the class registry, the
// function table and the object-method list.
void AIStartup();
// Compiles every soldier's rule script, then starts each rule at a random part of its period.
void AILoadScripts();
// The frame's AI step: the dormancy rule, then one rule pass of every awake soldier in play.
// Nothing while a game mode runs whose AI flag is clear.
void AIFrame();
// The dormancy rule alone, at the tick given.
void AIDormancyStep(u32_t now);
// Sets the AI clock to now and restarts every AI interface's rule set with its profile.
void AIRestartAll();
// Leaving a mission: deletes every AI interface of the table (their bodies belong to the world), the
// script tables and registries, and closes the AI log.
void AIShutdown();
