#include "map/trace/map_sight.h"

#include "map/map_cvars.h"
#include "map/terrain/map_state.h"

float MapSightRangeFactor()
{
    return g_map.sightRangeFactor;
}

float MapSightLightFactor()
{
    return g_map.sightLightFactor;
}

void MapSightFactorsCompute()
{
    g_map.sightRangeFactor = (mfrange.Float() - mffogstart.Float()) * 0.0025f;
    const float* ambient = mcmapambient.Colour();
    g_map.sightLightFactor = 2.0f * (ambient[0] + ambient[1] + ambient[2]) * 0.33333334f;
}

void MapSightFactorsReset()
{
    g_map.sightRangeFactor = 1.0f;
    g_map.sightLightFactor = 1.0f;
}
