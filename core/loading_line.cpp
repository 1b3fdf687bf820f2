#include "core/loading_line.h"

#include "core/core_cvars.h"
#include "core/winos.h"

void LoadingLineShow(const char* text)
{
    if (g_program.editorMode)
        return;
    gs_maploadprogress.SetString(text);
}
