#include "map/map_cvars.h"

ConsoleVar mfrange("mfrange", CVAR_FLOAT, "1500.0");
ConsoleVar mffogstart("mffogstart", CVAR_FLOAT, "1000.0");
ConsoleVar mflayerlod0("mflayerlod0", CVAR_FLOAT, "100.0");
