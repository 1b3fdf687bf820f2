// Particle effects as the world objects raise them: one-shot effects sent to the particle plug-ins,
// and the table of named effects that an object can attach to its nodes.
#pragma once
#include "core/engine_string.h"
#include "core/types.h"

class GraphNode;

constexpr s32_t PARTICLE_EFFECT_SLOTS = 1024;

// An entry of the effect table.
class ParticleEffect {
public:
    virtual ~ParticleEffect() = default;
    virtual void Update() {}
    // Binds the effect to a graphic node.
    virtual void Attach(GraphNode* /*node*/, s32_t /*flag*/) {}

    s32_t kind = 0;
    EngineString name;
};

// When "rbparticles" is on, asks the particle plug-ins for the named effect at the position,
// pointing along the direction.
void ParticleSpawnEffect(const char* name, const Vector3& position, const Vector3& direction);
// The first effect of the table (g_scene.particleEffects) with this kind and exactly this name,
// or null. No operation fills the table yet.
ParticleEffect* ParticleEffectFind(s32_t kind, const char* name);
