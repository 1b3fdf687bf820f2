// The 20 global functions that rule scripts call by name: console output, random numbers, the
// mission's outcome and objectives, the mission screen's lines, the player's state and the camera.
#pragma once
#include "ai/script/script_functions.h"

// Longest text a script's ConPrint puts on a console line (the newline follows it).
constexpr s32_t SCRIPT_PRINT_TEXT_LIMIT = 510;

// Appends the 20 functions to the global function table in their fixed order.
void RegisterGlobalScriptFunctions();

void ScriptConPrint(ScriptArgWord* args);
void ScriptRandBool(ScriptArgWord* args);
void ScriptRandInt(ScriptArgWord* args);
void ScriptRandFloat(ScriptArgWord* args);
void ScriptAllEnemiesDead(ScriptArgWord* args);
