#include "scene/scene_cvars.h"

#include "scene/render_services.h"

ConsoleVar rbshownormals("rbshownormals", CVAR_BOOL, "false");
ConsoleVar rbshowpins("rbshowpins", CVAR_BOOL, "false");
ConsoleVar rbshowdummies("rbshowdummies", CVAR_BOOL, "false");
ConsoleVar rbshowzones("rbshowzones", CVAR_BOOL, "false");
ConsoleVar rblm("rblm", CVAR_BOOL, "false");
ConsoleVar rbupdateshadows("rbupdateshadows", CVAR_BOOL, "true");
ConsoleVar rxprintmaterials("rxprintmaterials", RenderPrintMaterials);
