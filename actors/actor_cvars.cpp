#include "actors/actor_cvars.h"

// Registered in this order.
ConsoleVar mi_oxygen("mi_oxygen", CVAR_INT, "0");
ConsoleVar mf_oxygendecrease("mf_oxygendecrease", CVAR_FLOAT, "5.0");
ConsoleVar mf_oxygenincrease("mf_oxygenincrease", CVAR_FLOAT, "10.0");
ConsoleVar rbshowbodys("rbshowbodys", CVAR_BOOL, "true");
ConsoleVar rbprojectile("rbprojectile", CVAR_BOOL, "false");
ConsoleVar rbpenetrate("rbpenetrate", CVAR_BOOL, "false");
ConsoleVar gbvo("gbvo", CVAR_BOOL, "false");
ConsoleVar gbdebugai("gbdebugai", CVAR_BOOL, "false");
