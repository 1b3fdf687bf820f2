// The scene's lighting as the world passes set it up each frame.
#pragma once
#include "core/types.h"

// The direction towards the scene's light: a decal whose surface normal points along it
// (positive dot product) faces the light.
extern Vector3 g_sceneLightDirection;

// Bit values of the material component mask: which parts of a mesh material are applied.
constexpr u32_t MATERIAL_AMBIENT = 1;
constexpr u32_t MATERIAL_DIFFUSE = 2;
constexpr u32_t MATERIAL_SPECULAR = 4;
constexpr u32_t MATERIAL_EMISSIVE = 8;

// The parts of mesh materials applied when a merged mesh's material is set; all by default.
extern u32_t g_materialComponentMask;
// Night vision: the ambient and diffuse parts take the night-vision colours.
extern bool g_nightVision;
