// The land lightmap: one square A8R8G8B8 texture laid over the whole map from above. Each texel
// holds the light of the land below it: the ambient colour darkened by how much of the surrounding
// hemisphere the land itself blocks, plus the sun colour where the sun reaches it. It is cached as
// "lmap.dds" in the mission folder (MapBuildLightmap, map/terrain/map_caches.h).
#pragma once
#include "core/types.h"

// Scales the weights so that they sum to 1 (each times 1 / sum).
void NormalizeWeights(float* weights, u32_t count);

// One pass of a square kernel of side kernelSide (odd) over an n x n buffer of texels with
// `components` floats each, row by row; neighbours past an edge are taken from the opposite edge,
// as the world repeats. The kernel is normalised first. source and target must not overlap.
void LightmapFilterWrapped(const float* source, float* target, u32_t n, u32_t components, const float* kernel,
                           u32_t kernelSide);

// Releases the lightmap texture (map unload).
void MapReleaseLightmap();
