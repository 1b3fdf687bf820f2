// A surface material of the map's material table: what the decal builders read of it so far.
#pragma once
#include "core/types.h"

class IDirect3DTexture8;

// The decal settings of one section of a material ("HIT" or "EXPLOSION").
struct MaterialDecalSection {
    IDirect3DTexture8** decalTextures = nullptr;
    u8_t decalTextureCount = 0;
    float decalStretch = 1.0f;  // "decal_stretch"
    u8_t decalRandRot = 0;      // "decal_rand_rot" (read from the hit section)
    u8_t noDecal = 0;           // "no_decal" (read from the hit section)
};

class Material {
public:
    u8_t color = 0;  // "color": decals on this surface take the scene's lit or shadow tint
    MaterialDecalSection hit;
    MaterialDecalSection explosion;
};
