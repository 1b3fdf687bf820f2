#include "game/mouse_look.h"

ConsoleVar gi_mousesensitivity("gi_mousesensitivity", CVAR_INT, "50");

bool g_gameFreeMouse = false;

namespace {
constexpr float kSensitivityScale = 0.0002f;
constexpr float kDefaultLookFactor = 0.003f;
}  // namespace

float g_mouseLookFactorX = kDefaultLookFactor;
float g_mouseLookFactorY = kDefaultLookFactor;

void GameUpdateMouseSensitivity()
{
    float factor = static_cast<float>(gi_mousesensitivity.Int()) * kSensitivityScale;
    if (factor == 0.0f)
        factor = kDefaultLookFactor;
    g_mouseLookFactorX = factor;
    g_mouseLookFactorY = factor;
}
