#include "map/octree/octree_query.h"

#include <cmath>

#include "core/assert.h"
#include "map/octree/octree.h"
#include "map/terrain/world_tiles.h"
#include "platform/d3dx8_math.h"

bool BoxesOverlap(const float* a, const float* b)
{
    for (int axis = 0; axis < 3; ++axis) {
        if (!(a[axis + 3] > b[axis] && a[axis] <= b[axis + 3]))
            return false;
    }
    return true;
}

bool BoxInFrontOfPlane(const float* box, const D3DXPLANE& plane)
{
    for (int corner = 0; corner < 8; ++corner) {
        const D3DXVECTOR3 point((corner & 4) ? box[0] : box[3], (corner & 2) ? box[1] : box[4],
                                (corner & 1) ? box[2] : box[5]);
        if (D3DXPlaneDotCoord(&plane, &point) >= 0.0f)
            return true;
    }
    return false;
}

bool BoxInsidePlanes(const float* box, const D3DXPLANE* planes, u32_t planeCount)
{
    for (u32_t p = 0; p < planeCount; ++p) {
        if (!BoxInFrontOfPlane(box, planes[p]))
            return false;
    }
    return true;
}

bool OctreeNode::OverlapsBox(const float* box) const
{
    const float nodeBox[6] = {boxMin.x, boxMin.y, boxMin.z, boxMax.x, boxMax.y, boxMax.z};
    return BoxesOverlap(box, nodeBox);
}

int OctreeNode::QueryBox(const float* box, s32_t tileX, s32_t tileZ, OctreeBoxCallback callback)
{
    const float nodeBox[6] = {boxMin.x, boxMin.y, boxMin.z, boxMax.x, boxMax.y, boxMax.z};
    if (!BoxesOverlap(nodeBox, box))
        return 0;
    if (IsLeaf())
        return callback(this, tileX, tileZ);
    for (OctreeNode* child : children)
        child->QueryBox(box, tileX, tileZ, callback);
    return 1;
}

int OctreeQueryBox(const float* box, OctreeBoxCallback callback)
{
    OctreeNode* root = OctreeGetRoot();
    if (!root)
        return 0;
    const float size = MapGetWorldSize();
    float local[3];
    s32_t first[2], last[2];
    MapPosToCell(box, size, local, first);
    MapPosToCell(box + 3, size, local, last);
    for (s32_t iz = first[1]; iz <= last[1]; ++iz) {
        for (s32_t ix = first[0]; ix <= last[0]; ++ix) {
            const float dx = static_cast<float>(ix) * size, dz = static_cast<float>(iz) * size;
            const float shifted[6] = {box[0] - dx, box[1], box[2] - dz, box[3] - dx, box[4], box[5] - dz};
            root->QueryBox(shifted, ix, iz, callback);
        }
    }
    return 1;
}

namespace {

// Moves the coordinate into [low, high] by whole widths: the count is what stepping one width at a
// time would take (a coordinate on an edge stays there), worked out at once. False when it does not
// fit a tile index.
bool WrapInto(float coordinate, float low, float high, float& wrapped, s32_t& tile)
{
    const double width = static_cast<double>(high) - low;
    double steps = 0.0;
    if (coordinate < low)
        steps = -std::ceil((static_cast<double>(low) - coordinate) / width);
    else if (coordinate > high)
        steps = std::ceil((static_cast<double>(coordinate) - high) / width);
    if (!(width > 0.0) && steps != 0.0)
        return false;
    if (!(std::fabs(steps) < 2147483647.0))
        return false;
    double moved = static_cast<double>(coordinate) - steps * width;
    // Rounding must not leave the point just outside the box it was moved into.
    moved = moved < low ? low : moved > high ? high : moved;
    wrapped = static_cast<float>(moved);
    tile = static_cast<s32_t>(steps);
    return true;
}

}  // namespace

OctreeNode* OctreeFindLeaf(const float* point, s32_t* tileOut)
{
    tileOut[0] = tileOut[1] = 0;
    OctreeNode* node = OctreeGetRoot();
    if (!node || !std::isfinite(point[0]) || !std::isfinite(point[1]) || !std::isfinite(point[2]))
        return nullptr;
    if (point[1] < node->boxMin.y || point[1] > node->boxMax.y)
        return nullptr;
    Vector3 p = {point[0], point[1], point[2]};
    s32_t tile[2] = {0, 0};
    if (!node->IsPointInside(p) && (!WrapInto(point[0], node->boxMin.x, node->boxMax.x, p.x, tile[0]) ||
                                    !WrapInto(point[2], node->boxMin.z, node->boxMax.z, p.z, tile[1])))
        return nullptr;
    tileOut[0] = tile[0];
    tileOut[1] = tile[1];
    while (!node->IsLeaf()) {
        const Vector3 c = {(node->boxMin.x + node->boxMax.x) / 2, (node->boxMin.y + node->boxMax.y) / 2,
                           (node->boxMin.z + node->boxMax.z) / 2};
        node = node->children[(p.x >= c.x ? OCTREE_CHILD_X : 0) | (p.y >= c.y ? OCTREE_CHILD_Y : 0) |
                              (p.z >= c.z ? OCTREE_CHILD_Z : 0)];
        ENGINE_ASSERT(node->IsPointInside(p));
    }
    return node;
}
