// The map's water layers: each a mask over the world and a water height. The water squares built
// from a mask are filed in the octree leaves that hold their centres.
#pragma once
#include "core/types.h"
#include "map/land_maps/water_square.h"

class Material;
struct MapGrid;

constexpr int MAP_WATER_LAYER_COUNT = 32;
// A mask byte above this puts water over its cell.
constexpr u8_t WATER_MASK_THRESHOLD = 50;

struct WaterLayer {
    MapGrid* mask = nullptr;         // owned; null for a layer the land does not use
    s32_t value = 0;                 // the layer line's whole number
    float height = 0.0f;             // the water surface
    WaterSquare* squares = nullptr;  // owned, squareCount of them
    u32_t squareCount = 0;
    Material* material = nullptr;  // the material table's record; not owned
};

// The fixed table of the map's 32 water layers, filled by the map load.
WaterLayer* MapGetWaterLayers();

// The layer's squares from its mask (earlier ones freed): for column x and row y of an n x n mask
// whose byte at row n - 1 - y, column x is above the threshold, the square
// [x c, (x + 1) c] x [y c, (y + 1) c] moved by -W / 2 on both axes, c = W / n, W the world size.
void WaterLayerBuildSquares(WaterLayer& layer, float worldSize);
// Frees every layer's mask and squares and clears the entry (map unload).
void WaterLayersFree();
