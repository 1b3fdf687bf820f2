// The sun as the landscape and the lens flare draw it: the sun effect record with its flare
// elements, and the sun direction the renderer keeps normalised.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

struct SunFlareElement {
    IDirect3DTexture8* texture;  // not owned (the texture manager's)
    u8_t enabled;
    u8_t intensityScaled;  // the size follows how straight the camera looks at the sun
    float size;
    u32_t sourceBlend;       // D3DBLEND
    u32_t destinationBlend;  // D3DBLEND
    float sizeFactor;
    float alphaFactor;
    u8_t noAlphaFactor;  // drawn with the texture's colour alone
};

// The record owns its element array (new[]).
struct SunEffect {
    SunFlareElement* elements;
    u32_t elementCount;
};

// The record held, or null.
SunEffect* RenderGetSunEffect();
// Holds the record (freeing the one held before); the render shutdown frees it.
void RenderSetSunEffect(SunEffect* effect);
// Frees the record and its elements (mission exit and shutdown).
void RenderFreeSunEffect();

// The direction towards the sun, kept normalised (a zero vector stays zero), and the value the
// mission's effect reader gave for the sun's effect.
void RenderSetSunDirection(const Vector3& direction, u32_t effectValue = 0);
Vector3 RenderGetSunDirection();
u32_t RenderGetSunEffectValue();
