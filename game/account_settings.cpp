#include "game/account_settings.h"

ConsoleVar as_tqmod("as_tqmod", CVAR_STRING, "HIGH");
