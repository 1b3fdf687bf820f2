// No land is loaded yet, so a vertical trace hits nothing.
#include "map/terrain_height.h"

float MapTerrainHeight(float, float, bool* hit, Vector3* normal)
{
    if (hit)
        *hit = false;
    if (normal)
        *normal = {0.0f, 1.0f, 0.0f};
    return 0.0f;
}
