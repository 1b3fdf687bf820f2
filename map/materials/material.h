// A surface material of the map's material table: how bullets and grenades react to the surface,
// which sounds, decals and effects a hit, an explosion, a grenade or a footstep on it makes, and
// which textures (and which rectangles of them) belong to it.
#pragma once
#include "core/strings/engine_string.h"
#include "core/sound/sound_sets.h"
#include "core/types.h"

class IDirect3DTexture8;
class Material;

// Texts of the record hold at most 127 characters and a terminating zero.
constexpr u32_t MATERIAL_TEXT_SIZE = 128;
constexpr u32_t MATERIAL_MAX_REGIONS = 1024;
constexpr u8_t MATERIAL_MAX_DECAL_TEXTURES = 5;
constexpr u32_t MATERIAL_STEP_SETS = 4;
constexpr u32_t MATERIAL_NAME_TRIPLE = 3;

// A rectangle of an assigned texture, in texture coordinates, that is of another material.
struct MaterialRegion {
    s32_t textureIndex;  // into the owner's assigned textures; -1 before the first "assign"
    Material* owner;
    Material* sub;  // what a hit strictly inside the rectangle is of
    float umin, vmin, umax, vmax;
};

// The decal textures of a section ("HIT", "EXPLOSION" or "GRENADE"), held by the texture manager.
struct MaterialDecalSection {
    IDirect3DTexture8* decalTextures[MATERIAL_MAX_DECAL_TEXTURES] = {};
    u8_t decalTextureCount = 0;
    float decalStretch = 1.0f;  // "decal_stretch"
};

// Bullet hits.
struct MaterialHitSettings : MaterialDecalSection {
    SoundSet sounds;
    s32_t soundInterval = 0;  // ms: a sound of the set plays at most once per interval
    float decalSize[2] = {};  // "decal_size"
    u8_t decalRandRot = 0;    // "decal_rand_rot" (1 once the section is read)
    u8_t noRicochet = 0;      // "no_bullet_ric"
    u8_t noDecal = 0;         // "no_decal"
    char effect[MATERIAL_TEXT_SIZE] = {};
};

// Explosions.
struct MaterialExplosionSettings : MaterialDecalSection {
    char firstName[MATERIAL_TEXT_SIZE] = {};
    char secondName[MATERIAL_TEXT_SIZE] = {};
};

// Grenade hits.
struct MaterialGrenadeSettings : MaterialDecalSection {
    SoundSet sounds;
    s32_t soundInterval = 0;
    char effect[MATERIAL_TEXT_SIZE] = {};  // the name of the decal line
    u8_t noDecal = 0;                      // "no_decal"
    u8_t noParticle = 0;                   // "no_particle"
};

// One of the footstep sound sets.
struct MaterialStepSounds {
    SoundSet sounds;
    s32_t interval = 0;
};

class Material {
public:
    // The surface sound view points at the STEP sets.
    Material();
    // Frees the assigned-texture names.
    ~Material();
    Material(const Material&) = delete;
    Material& operator=(const Material&) = delete;

    char name[MATERIAL_TEXT_SIZE] = {};        // compared without regard to case
    EngineString* assignedTextures = nullptr;  // texture names the "detect" script gives the material
    u32_t assignedTextureCount = 0;
    u32_t assignedTextureCapacity = 0;
    MaterialRegion regions[MATERIAL_MAX_REGIONS];
    u32_t regionCount = 0;
    float density = 0.5f;             // "density"
    s32_t resistance = -1;            // "resistance"
    float velocityResistance = 0.3f;  // "vel_resist"
    u8_t color = 0;                   // "color": decals on this surface take the scene's lit or shadow tint
    MaterialHitSettings hit;
    MaterialExplosionSettings explosion;
    MaterialGrenadeSettings grenade;
    char crash[MATERIAL_NAME_TRIPLE][MATERIAL_TEXT_SIZE] = {};
    MaterialStepSounds step[MATERIAL_STEP_SETS];
    // The footstep sets as the sound layer reads them: its set k is STEP line k (k = 1..3).
    SurfaceSounds surface;
    char friction[MATERIAL_NAME_TRIPLE][MATERIAL_TEXT_SIZE] = {};
};
