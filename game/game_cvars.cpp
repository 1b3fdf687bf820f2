#include "game/game_cvars.h"

ConsoleVar gbthirdperson("gbthirdperson", CVAR_BOOL, "false");
ConsoleVar gbteskenable("gbteskenable", CVAR_BOOL, "false");
ConsoleVar gi_mousesensitivity("gi_mousesensitivity", CVAR_INT, "50");
