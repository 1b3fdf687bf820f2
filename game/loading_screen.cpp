#include "game/loading_screen.h"

#include "core/editor_mode.h"

ConsoleVar gs_maploadprogress("gs_maploadprogress", CVAR_STRING, "");

void GameDrawLoadingMessage(const char* text)
{
    if (editor_mode)
        return;
    gs_maploadprogress.SetString(text);
}
