// Particle effects as the world objects raise them: one-shot effects sent to the particle plug-ins,
// and the table of named effects that an object can attach to its nodes.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"
#include "world/objects/graph_obj.h"

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
// or null. No operation adds an entry to the table, so the answer is null.
ParticleEffect* ParticleEffectFind(s32_t kind, const char* name);

// A world object that starts one particle effect at its place on its first update (class
// "particle"). The effect then lives in the plug-in: destroying the object does not stop it.
class ParticleEffectObject : public GraphObj {
public:
    ParticleEffectObject();

    // The first update asks for the effect; later ones do nothing. With "rbparticles" off no
    // request is sent, but the object still counts as spawned.
    void Update() override { SpawnOnce(); }
    // "pos" x y z (tenths of world units), "rot" (accepted, not kept) and "set" name, compared
    // exactly and each with its number of values; anything else answers false and changes nothing.
    bool SetParam(const char* key, const EngineString* values, int count) override;

    void SpawnOnce();
    bool Spawned() const { return spawned != 0; }
    const EngineString& EffectName() const { return effectName; }

private:
    s32_t spawned = 0;
    EngineString effectName;
    float scale = 1.0f;
    Vector3 spawnDirection = {0.0f, 1.0f, 0.0f};
};
