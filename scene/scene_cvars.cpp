#include "scene/scene_cvars.h"

#include "scene/render_services.h"

ConsoleVar rbshownormals("rbshownormals", CVAR_BOOL, "false");
ConsoleVar rbshowpins("rbshowpins", CVAR_BOOL, "false");
ConsoleVar rbshowdummies("rbshowdummies", CVAR_BOOL, "false");
ConsoleVar rbshowzones("rbshowzones", CVAR_BOOL, "false");
ConsoleVar rblm("rblm", CVAR_BOOL, "false");
ConsoleVar rbupdateshadows("rbupdateshadows", CVAR_BOOL, "true");
ConsoleVar rxprintmaterials("rxprintmaterials", RenderPrintMaterials);
ConsoleVar rbshadows("rbshadows", CVAR_BOOL, "false");
ConsoleVar rfmaxshadowsdist("rfmaxshadowsdist", CVAR_FLOAT, "500.0");
ConsoleVar rfaltshadowsdist("rfaltshadowsdist", CVAR_FLOAT, "250.0");
ConsoleVar rbconobjs("rbconobjs", CVAR_BOOL, "true");
