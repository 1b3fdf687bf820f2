// What an object that bleeds when hit carries for the blood decal builders.
#pragma once
#include "core/types.h"

class IDirect3DTexture8;

struct BleedingInfo {
    IDirect3DTexture8** bloodTextures = nullptr;
    u32_t bloodTextureCount = 0;
    float minBloodSize = 0.0f;
    float maxBloodSize = 0.0f;
    float bloodSizeScale = 1.0f;
};
