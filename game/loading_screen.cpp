#include "game/loading_screen.h"

#include "core/loading_line.h"

void GameDrawLoadingMessage(const char* text)
{
    LoadingLineShow(text);
}
