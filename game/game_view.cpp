#include "game/game_view.h"

namespace {
constexpr float kNormalFieldOfView = 1.5707964f;  // pi / 2
float g_fieldOfView = kNormalFieldOfView;
}  // namespace

float GameGetFieldOfView()
{
    return g_fieldOfView;
}

void GameSetFieldOfView(float radians)
{
    g_fieldOfView = radians;
}
