#include "gui/gui_cvars.h"

ConsoleVar language("language", CVAR_STRING, "eng");
ConsoleVar prev_lang("prev_lang", CVAR_STRING, "eng");
ConsoleVar gballmissions("gballmissions", CVAR_BOOL, "false");
ConsoleVar gb_showgui("gb_showgui", CVAR_BOOL, "true");
