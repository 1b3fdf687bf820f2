#include "map/vegetation_layers.h"

#include "map/map_grid.h"

namespace {

VegetationLayer g_vegetationLayers[MAP_VEGETATION_LAYER_COUNT];

}  // namespace

VegetationLayer* MapGetVegetationLayers()
{
    return g_vegetationLayers;
}

void VegetationLayersFree()
{
    for (VegetationLayer& layer : g_vegetationLayers) {
        MapGridFree(layer.density);
        layer.density = nullptr;
    }
}
