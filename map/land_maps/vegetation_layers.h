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

// The plant settings of the land's "veg0" to "veg31" lines: the map load fills the table at every
// load and keeps it.
constexpr int VEG_LAYER_PARAM_MAX_NUMBERS = 16;

enum VegLayerKind : u8_t {
    VEG_LAYER_CROSS = 0,  // "cross", also when no kind is given
    VEG_LAYER_FLAT = 1,   // "flat"
};

struct VegLayerParams {
    float a = 0.0f;  // value 1 x 0.5
    float b = 0.0f;  // value 2
    s32_t c = 0;     // value 3 x 255, truncated
    u8_t kind = VEG_LAYER_CROSS;
    u32_t count = 0;
    u16_t numbers[VEG_LAYER_PARAM_MAX_NUMBERS] = {};
};

VegLayerParams* MapGetVegLayerParams();

// The fixed table of the map's 32 vegetation layers, filled by the map load.
VegetationLayer* MapGetVegetationLayers();
// Frees every layer's density map and clears the entry (map unload). The held animated meshes
// belong to the animation cache and the texture to the texture manager.
void VegetationLayersFree();
