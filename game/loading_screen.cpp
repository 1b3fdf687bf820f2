#include "game/loading_screen.h"

#include "core/core_cvars.h"
#include "core/loading_line.h"

ConsoleVar gs_maploadprogress("gs_maploadprogress", CVAR_STRING, "");

void GameDrawLoadingMessage(const char* text)
{
    LoadingLineShow(text);
}
