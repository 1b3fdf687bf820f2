#include "game/game_cvars.h"

ConsoleVar gbthirdperson("gbthirdperson", CVAR_BOOL, "false");
ConsoleVar gbteskenable("gbteskenable", CVAR_BOOL, "false");
ConsoleVar gi_mousesensitivity("gi_mousesensitivity", CVAR_INT, "50");
ConsoleVar gb_godmode("gb_godmode", CVAR_BOOL, "false");
ConsoleVar gbai("gbai", CVAR_BOOL, "true");
ConsoleVar gbshake("gbshake", CVAR_BOOL, "false");
ConsoleVar gbalwaysrun("gbalwaysrun", CVAR_BOOL, "false");
ConsoleVar gbdebuginfo("gbdebuginfo", CVAR_BOOL, "false");
ConsoleVar gi_maxsaves("gi_maxsaves", CVAR_INT, "3");
