#include "game/view/game_view.h"

#include "core/frame_view.h"

float GameGetFieldOfView()
{
    return g_frameView.fieldOfView;
}

void GameSetFieldOfView(float radians)
{
    g_frameView.fieldOfView = radians;
}
