#include "game/view/mouse_look.h"

#include <cmath>

#include "core/frame_view.h"
#include "core/input/input.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "game/player/player_control_state.h"
#include "game/view/player_view.h"
#include "render/camera.h"

namespace {
constexpr float kSensitivityScale = 0.0002f;
constexpr float kTurn = 6.2831855f;
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

s32_t GameUpdateMouseCommand(const char*)
{
    GameUpdateMouseSensitivity();
    return 0;
}

void MouseLookUpdate(s32_t dx, s32_t dy)
{
    g_playerControl.mouseMoved = 1;
    if (g_game.satelliteView)
        return;
    const float turnX = static_cast<float>(dx) * g_game.mouseLookFactorX;
    const float turnY = static_cast<float>(dy) * g_game.mouseLookFactorY;
    if (g_input.keyStates[KEY_ORBIT] && gbthirdperson.Bool()) {
        if (!g_frameView.player)
            return;
        g_camera.thirdPersonYaw = std::fmod(g_camera.thirdPersonYaw + turnX, kTurn);
        g_camera.thirdPersonPitch = std::fmod(g_camera.thirdPersonPitch + turnY, kTurn);
        return;
    }
    GameSetYaw(std::fmod(GameGetYaw() + turnX, kTurn));
    float pitch = gb_invertmouse.Bool() ? GameGetPitch() - turnY : GameGetPitch() + turnY;
    pitch = std::fmod(pitch, kTurn);
    GameSetPitch(std::fmax(-kPitchLimit, std::fmin(kPitchLimit, pitch)));
}
