#include "render/debug_cvars.h"

ConsoleVar rbviewporttest("rbviewporttest", CVAR_BOOL, "false");
ConsoleVar rbdrawfps("rbdrawfps", CVAR_BOOL, "false");
ConsoleVar rbdrawtimes("rbdrawtimes", CVAR_BOOL, "false");
ConsoleVar rbict("rbict", CVAR_BOOL, "false");
ConsoleVar rbwireframe("rbwireframe", CVAR_BOOL, "false");
ConsoleVar rbtraceraytest("rbtraceraytest", CVAR_BOOL, "false");
ConsoleVar rbdrawaxis("rbdrawaxis", CVAR_BOOL, "false");
ConsoleVar rbdrawstats("rbdrawstats", CVAR_BOOL, "false");
ConsoleVar rbparticles("rbparticles", CVAR_BOOL, "true");
