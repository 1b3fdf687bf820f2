#include "ai/ai_cvars.h"

ConsoleVar rbrules("rbrules", CVAR_BOOL, "1");
