#include "map/map_cvars.h"

ConsoleVar mfrange("mfrange", CVAR_FLOAT, "1500.0");
ConsoleVar mffogstart("mffogstart", CVAR_FLOAT, "1000.0");
ConsoleVar mffogpow("mffogpow", CVAR_FLOAT, "2.0");
ConsoleVar mcfogcolor("mcfogcolor", CVAR_COLOUR, "(128.0, 128.0, 128.0, 255.0)");
ConsoleVar mflayerlod0("mflayerlod0", CVAR_FLOAT, "100.0");
ConsoleVar mvsundir("mvsundir", CVAR_VECTOR, "(1.0, 0.5, 0.0)");
ConsoleVar mcmapambient("mcmapambient", CVAR_COLOUR, "(128.0, 128.0, 128.0, 255.0)");
ConsoleVar mcmapdiffuse("mcmapdiffuse", CVAR_COLOUR, "(128.0, 128.0, 128.0, 255.0)");
ConsoleVar mfwaterfog("mfwaterfog", CVAR_FLOAT, "800.0");
ConsoleVar rflodx("rflodx", CVAR_FLOAT, "1.0");
ConsoleVar rfloda("rfloda", CVAR_FLOAT, "0.0");
