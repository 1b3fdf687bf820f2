// Effect templates (".pst": a named group of emitters, each a definition with a delay and an
// offset) and particle sets (".set": a named list of links placing templates at the effect's
// position or on mesh nodes), and the running instances made from sets.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/plugins/plugin_api.h"
#include "plugins/ptk/owned_ptr_list.h"

namespace ptk {

class EmitterDef;

constexpr std::int32_t kTemplateEntryCapacity = 32;
constexpr std::int32_t kSetLinkCapacity = 32;

struct EmitterEntry {
    EmitterDef* def;
    float offset[3];
    std::int32_t delay;
};

class ParticleSystem {
public:
    // "name" N "type" "emit_exec" "{" entries "}".
    bool Read(const char* text, const char* scriptName);

    std::string name;
    std::string path;
    OwnedPtrList<EmitterEntry> entries{kTemplateEntryCapacity};
};

// One particle: what the emitter step moves and what is handed to the host each frame.
struct Particle {
    std::int32_t kind;
    std::int32_t age;
    std::int32_t lifetime;
    float angle;
    float speed;
    float speedOffset;
    float dir[3];
    float pos[3];
    float rgb[3];
    float alpha;
    float size;
    std::int32_t frame;
    float cell;
    union {
        ParticleInfo info;
        ParticleMeshInfo mesh;
    };
};

struct RunningEmitter {
    EmitterDef* def = nullptr;
    std::vector<Particle> particles;
    float pos[3] = {};
    float baseDir[3] = {};
    float prevPos[3] = {};
    float offset[3] = {};
    std::int32_t state = 0;  // 0 waiting, 1 running, 2 finished
    std::uint32_t lastEmission = 0;
    std::uint32_t startTick = 0;
    bool hasRotation = false;
    float rotation[16] = {};
    std::int32_t spawnCount = 0;
    std::int32_t delay = 0;
};

struct EmitterGroup {
    std::vector<RunningEmitter> emitters;
};

struct Link {
    ~Link() { delete group; }

    std::string node;  // pinned links
    bool pinned = false;
    bool followsWeapon = false;
    float pos[3] = {};
    float matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    float lastPlacement[3] = {};
    std::int32_t delay = 0;
    ParticleSystem* system = nullptr;  // in a loaded set
    EmitterGroup* group = nullptr;     // in a running instance
    std::int32_t pin = -1;
};

class ParticleSet {
public:
    // "name" N "{" links "}"; the links read so far stay when it fails.
    bool Read(const char* text, const char* scriptName);

    std::string name;
    OwnedPtrList<Link> links{kSetLinkCapacity};
};

struct RunningInstance {
    OwnedPtrList<Link> links{kSetLinkCapacity};
    void* object = nullptr;
};

extern OwnedPtrList<ParticleSystem>* g_systems;
extern OwnedPtrList<ParticleSet>* g_sets;
void SystemsCreate();
void SystemsDelete();
void SetsCreate();
void SetsDelete();

// "object\gfx\<name>.pst" from the registry, else read and registered; null on failure.
ParticleSystem* LoadParticleSystem(const char* path);
// The first set of the registry with exactly this name.
ParticleSet* FindParticleSet(const char* name);
// A new instance: per link a new emitter group with one running emitter per template entry.
RunningInstance* InstantiateSet(const ParticleSet& set);
// The rotation of a spawned effect along (dx, dy, dz): (0, 1, 0) turned by it points along the
// direction.
void SpawnRotation(float dx, float dy, float dz, float out[16]);

}  // namespace ptk
