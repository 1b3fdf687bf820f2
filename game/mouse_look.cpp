#include "game/mouse_look.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "game/player_control_state.h"

namespace {
constexpr float kSensitivityScale = 0.0002f;
}  // namespace

void GameUpdateMouseSensitivity()
{
    float factor = static_cast<float>(gi_mousesensitivity.Int()) * kSensitivityScale;
    if (factor == 0.0f)
        factor = kDefaultMouseLookFactor;
    g_game.mouseLookFactorX = factor;
    g_game.mouseLookFactorY = factor;
    g_playerControl.baseLookFactor = factor;
}
