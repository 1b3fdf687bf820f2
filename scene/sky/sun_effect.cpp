#include "scene/sky/sun_effect.h"

#include <cmath>

#include "render/device/device_hooks.h"

namespace {
SunEffect* g_sunEffect = nullptr;
Vector3 g_sunDirection = {0.0f, 1.0f, 0.0f};
u32_t g_sunEffectValue = 0;
}  // namespace

SunEffect* RenderGetSunEffect()
{
    return g_sunEffect;
}

void RenderSetSunEffect(SunEffect* effect)
{
    if (effect != g_sunEffect)
        RenderFreeSunEffect();
    g_sunEffect = effect;
    // The render shutdown frees the record held.
    if (effect)
        RenderRegisterDeviceHooks(
            {RENDER_HOOK_SUN_EFFECT, nullptr, nullptr, [](bool) { RenderFreeSunEffect(); }, nullptr});
}

void RenderFreeSunEffect()
{
    if (g_sunEffect) {
        delete[] g_sunEffect->elements;
        delete g_sunEffect;
    }
    g_sunEffect = nullptr;
    RenderUnregisterDeviceHooks(RENDER_HOOK_SUN_EFFECT);
}

void RenderSetSunDirection(const Vector3& direction, u32_t effectValue)
{
    g_sunEffectValue = effectValue;
    const float length = std::sqrt(direction.x * direction.x + direction.y * direction.y + direction.z * direction.z);
    g_sunDirection =
        length > 0.0f ? Vector3{direction.x / length, direction.y / length, direction.z / length} : Vector3{};
}

Vector3 RenderGetSunDirection()
{
    return g_sunDirection;
}

u32_t RenderGetSunEffectValue()
{
    return g_sunEffectValue;
}
