#include "map/lightmap_cvars.h"

ConsoleVar migisamples("migisamples", CVAR_INT, "100");
ConsoleVar mfgiradius("mfgiradius", CVAR_FLOAT, "120.0");
ConsoleVar milmapsize("milmapsize", CVAR_INT, "256");
ConsoleVar mihmapsize("mihmapsize", CVAR_INT, "512");
ConsoleVar mishadowsmooth("mishadowsmooth", CVAR_INT, "0");
ConsoleVar dblm("dblm", CVAR_BOOL, "0");
ConsoleVar dbhm("dbhm", CVAR_BOOL, "0");
