// The map's vegetation layers ("sveg0" to "sveg31" of the land): a density map over the world and
// how its plants are drawn, as billboards or as animated meshes.
#pragma once
#include "core/types.h"

class IDirect3DTexture8;
class AnimMesh;
struct MapGrid;

constexpr int MAP_VEGETATION_LAYER_COUNT = 32;
constexpr int VEGETATION_LAYER_MAX_BYTES = 16;
constexpr int VEGETATION_LAYER_MAX_MESHES = 8;

enum VegetationLayerKind : s32_t {
    VEGETATION_BILLBOARD = 0,  // "bb"
    VEGETATION_ANIMATED = 1,   // "anim"
};

struct VegetationLayer {
    MapGrid* density = nullptr;  // owned; null when the layer has none
    float value3 = 0.0f;
    s32_t kind = VEGETATION_BILLBOARD;
    IDirect3DTexture8* texture = nullptr;  // not owned
    float value4 = 0.0f;
    float value5 = 0.0f;
    // Billboards.
    float billboard[2] = {};
    u8_t bytes[VEGETATION_LAYER_MAX_BYTES] = {};
    u32_t byteCount = 0;
    // Animated meshes (held by the animation cache).
    float animated = 0.0f;
    AnimMesh* meshes[VEGETATION_LAYER_MAX_MESHES] = {};
    u32_t meshCount = 0;
};

// The fixed table of the map's 32 vegetation layers, filled by the map load.
VegetationLayer* MapGetVegetationLayers();
// Frees every layer's density map and clears the entry (map unload).
void VegetationLayersFree();
