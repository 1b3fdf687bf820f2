#include "game/loading_screen.h"

#include "core/winos.h"
#include "game/game_cvars.h"

ConsoleVar gs_maploadprogress("gs_maploadprogress", CVAR_STRING, "");

void GameDrawLoadingMessage(const char* text)
{
    if (g_program.editorMode)
        return;
    gs_maploadprogress.SetString(text);
}
