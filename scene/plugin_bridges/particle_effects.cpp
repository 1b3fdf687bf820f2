// One-shot particle effects for the particle plug-ins, and the lookup of named effects.
#include "scene/plugin_bridges/particle_effects.h"

#include <cstdio>
#include <cstring>

#include "core/strings/finite_number.h"
#include "core/plugins/plugin_host.h"
#include "render/render_cvars.h"
#include "scene/scene_state.h"

void ParticleSpawnEffect(const char* name, const Vector3& position, const Vector3& direction)
{
    if (!rbparticles.Bool())
        return;
    // The plug-in reads the six floats through the request's pointers during the call.
    float values[6] = {position.x, position.y, position.z, direction.x, direction.y, direction.z};
    ParticleSpawnRequest request = {name ? name : "", &values[0], &values[1], &values[2],
                                    &values[3],       &values[4], &values[5]};
    g_pluginHost.Broadcast(HookParticlesSpawn, reinterpret_cast<std::uintptr_t>(&request));
}

ParticleEffect* ParticleEffectFind(s32_t kind, const char* name)
{
    const char* wanted = name ? name : "";
    const u32_t length = static_cast<u32_t>(std::strlen(wanted));
    for (s32_t slot = 0; slot < PARTICLE_EFFECT_SLOTS; ++slot) {
        ParticleEffect* effect = g_scene.particleEffects[slot];
        if (effect && effect->kind == kind && effect->name.Length() == length &&
            std::memcmp(effect->name.Text(), wanted, length) == 0)
            return effect;
    }
    return nullptr;
}

namespace {
constexpr float kUnitsPerParamUnit = 10.0f;

float ReadFloat(const EngineString& text)
{
    return FiniteFloatOrZero(text.Text());
}
}  // namespace

ParticleEffectObject::ParticleEffectObject() = default;

bool ParticleEffectObject::SetParam(const char* key, const EngineString* values, int count)
{
    if (!key || (count > 0 && !values))
        return false;
    if (std::strcmp(key, "pos") == 0 && count == 3) {
        SetPosition({ReadFloat(values[0]) * kUnitsPerParamUnit, ReadFloat(values[1]) * kUnitsPerParamUnit,
                     ReadFloat(values[2]) * kUnitsPerParamUnit});
        return true;
    }
    if (std::strcmp(key, "rot") == 0 && count == 3)
        return true;
    if (std::strcmp(key, "set") == 0 && count == 1) {
        effectName.Assign(values[0].Text());
        return true;
    }
    return false;
}

void ParticleEffectObject::SpawnOnce()
{
    if (spawned)
        return;
    ParticleSpawnEffect(effectName.Text(), GetPosition(), spawnDirection);
    spawned = 1;
}
