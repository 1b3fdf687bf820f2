#include "map/land_maps/water_layers.h"

#include <new>

#include "map/terrain/map_grid.h"

namespace {

WaterLayer g_waterLayers[MAP_WATER_LAYER_COUNT];

}  // namespace

WaterLayer* MapGetWaterLayers()
{
    return g_waterLayers;
}

void WaterLayerBuildSquares(WaterLayer& layer, float worldSize)
{
    delete[] layer.squares;
    layer.squares = nullptr;
    layer.squareCount = 0;
    const MapGrid* mask = layer.mask;
    if (!mask || !mask->data || mask->size == 0)
        return;
    const u32_t n = mask->size;
    u32_t count = 0;
    for (u32_t i = 0; i < n * n; ++i)
        count += mask->data[i] > WATER_MASK_THRESHOLD ? 1 : 0;
    if (count == 0)
        return;
    WaterSquare* squares = new (std::nothrow) WaterSquare[count];
    if (!squares)
        return;
    const float cell = worldSize / static_cast<float>(n);
    const float half = worldSize / 2;
    u32_t made = 0;
    for (u32_t x = 0; x < n; ++x) {
        for (u32_t y = 0; y < n; ++y) {
            if (mask->data[(n - 1 - y) * n + x] <= WATER_MASK_THRESHOLD)
                continue;
            squares[made++] = {static_cast<float>(x) * cell - half, static_cast<float>(y) * cell - half,
                               static_cast<float>(x + 1) * cell - half, static_cast<float>(y + 1) * cell - half,
                               layer.height};
        }
    }
    layer.squares = squares;
    layer.squareCount = made;
}

void WaterLayersFree()
{
    for (WaterLayer& layer : g_waterLayers) {
        MapGridFree(layer.mask);
        delete[] layer.squares;
        layer = WaterLayer{};
    }
}
