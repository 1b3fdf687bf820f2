#include "game/hud_flags.h"

GameHudFlags g_gameHud = {};

ConsoleVar gbteskenable("gbteskenable", CVAR_BOOL, "false");
