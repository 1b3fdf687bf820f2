#include "map/land_maps/vegetation_layers.h"

#include "map/terrain/map_grid.h"

namespace {

VegetationLayer g_vegetationLayers[MAP_VEGETATION_LAYER_COUNT];
VegLayerParams g_vegLayerParams[MAP_VEGETATION_LAYER_COUNT];

// The density maps go with the program too.
struct FreeAtExit {
    ~FreeAtExit() { VegetationLayersFree(); }
} g_freeAtExit;

}  // namespace

VegLayerParams* MapGetVegLayerParams()
{
    return g_vegLayerParams;
}

VegetationLayer* MapGetVegetationLayers()
{
    return g_vegetationLayers;
}

void VegetationLayersFree()
{
    for (VegetationLayer& layer : g_vegetationLayers) {
        MapGridFree(layer.density);
        layer = VegetationLayer{};
    }
}
