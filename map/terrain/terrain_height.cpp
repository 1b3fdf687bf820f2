#include "map/terrain/terrain_height.h"

#include "map/trace/map_trace.h"
#include "map/octree/octree.h"

float MapTerrainHeight(float x, float z, bool* hit, Vector3* normal)
{
    const OctreeNode* root = OctreeGetRoot();
    if (!root)
        return 0.0f;
    MapTraceInfo info;
    info.flags = TRACE_TILED | (normal ? TRACE_NORMAL : 0u) | (hit ? TRACE_FACESETS : 0u);
    const float top = root->boxMax.y, bottom = root->boxMin.y;
    const float start[3] = {x, top, z}, end[3] = {x, bottom, z};
    if (!MapTrace(start, end, &info)) {
        // A column exactly on an edge between faces can slip through both: a second try beside it.
        const float nearStart[3] = {x + 0.0134f, top, z + 0.0134f}, nearEnd[3] = {x + 0.0134f, bottom, z + 0.0134f};
        if (!MapTrace(nearStart, nearEnd, &info))
            return 0.0f;
    }
    if (hit)
        *hit = info.hitFaceSet != nullptr;
    if (normal)
        *normal = info.normal;
    return info.hitPoint.y;
}
