// What the particle test plug-in shares with its tests: the test sets the names and particles it
// should use, the plug-in writes what the host answered and counts the events it received.
#pragma once
#include <cstdint>
#include "core/plugins/plugin_api.h"

constexpr int kParticlePluginTextures = 3;
constexpr int kParticlePluginPins = 3;
constexpr int kParticlePluginInfos = 8;
constexpr int kParticlePluginNameSize = 64;

struct ParticlePluginState {
    // Set by the test before the map-load event (empty names are not registered).
    char textureNames[kParticlePluginTextures][kParticlePluginNameSize];
    char animName[kParticlePluginNameSize];
    char pinNames[kParticlePluginPins][kParticlePluginNameSize];  // weapon pins
    std::uint32_t throwOn;                                        // the plug-in throws on this event code (0: never)
    // Added with AddParticleInfo on every frame event: the first infoCount records. Kind 7 records
    // are ParticleMeshInfo laid over the same bytes.
    std::int32_t infoCount;
    ParticleInfo infos[kParticlePluginInfos];

    // Written by the plug-in.
    std::int32_t textureIndex[kParticlePluginTextures];
    std::int32_t animIndex;
    std::int32_t pinIndex[kParticlePluginPins];
    std::int32_t events[8];  // per event of group 6, by its low bits
    char lastSpawnName[kParticlePluginNameSize];
    float lastSpawn[6];
    char lastEffectName[kParticlePluginNameSize];
    PluginWord lastEffectObject;
};

// The plug-in's export that hands the state out.
using ParticlePluginStateFn = ParticlePluginState* (*)();
