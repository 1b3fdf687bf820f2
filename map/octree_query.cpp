#include "map/octree_query.h"

#include "map/octree.h"
#include "map/world_tiles.h"
#include "platform/d3dx8_math.h"

bool BoxesOverlap(const float* a, const float* b)
{
    for (int axis = 0; axis < 3; ++axis) {
        if (!(a[axis + 3] > b[axis] && a[axis] <= b[axis + 3]))
            return false;
    }
    return true;
}

bool BoxInsidePlanes(const float* box, const D3DXPLANE* planes, u32_t planeCount)
{
    for (u32_t p = 0; p < planeCount; ++p) {
        bool inFront = false;
        for (int corner = 0; corner < 8 && !inFront; ++corner) {
            const D3DXVECTOR3 point((corner & 4) ? box[0] : box[3], (corner & 2) ? box[1] : box[4],
                                    (corner & 1) ? box[2] : box[5]);
            inFront = D3DXPlaneDotCoord(&planes[p], &point) >= 0.0f;
        }
        if (!inFront)
            return false;
    }
    return true;
}

int OctreeNodeQueryBox(OctreeNode* node, const float* box, s32_t tileX, s32_t tileZ, OctreeBoxCallback callback)
{
    const float nodeBox[6] = {node->boxMin.x, node->boxMin.y, node->boxMin.z,
                              node->boxMax.x, node->boxMax.y, node->boxMax.z};
    if (!BoxesOverlap(nodeBox, box))
        return 0;
    if (node->IsLeaf())
        return callback(node, tileX, tileZ);
    for (OctreeNode* child : node->children) {
        if (child)
            OctreeNodeQueryBox(child, box, tileX, tileZ, callback);
    }
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
            OctreeNodeQueryBox(root, shifted, ix, iz, callback);
        }
    }
    return 1;
}
