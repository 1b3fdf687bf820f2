#include "map/octree/octree.h"

#include <algorithm>
#include <new>

#include "core/frame_view.h"
#include "map/terrain/map_state.h"
#include "map/trace/map_trace_leaf.h"
#include "map/octree/object_grid.h"
#include "platform/d3dx8_math.h"

namespace {

// Set by the map loader once it builds the tree.
OctreeNode* g_octreeRoot = nullptr;

void HandOnLeaves(OctreeNode* node, OctreeNodeCallback callback)
{
    if (node->IsLeaf()) {
        callback(node);
        return;
    }
    for (OctreeNode* child : node->children) {
        if (child)
            HandOnLeaves(child, callback);
    }
}

}  // namespace

int OctreeNode::TestPlanes(const D3DXPLANE* planes, u32_t planeCount) const
{
    int result = 1;
    for (u32_t p = 0; p < planeCount; ++p) {
        const D3DXPLANE& plane = planes[p];
        int inFront = 0;
        for (int corner = 0; corner < 8; ++corner) {
            const float x = (corner & 4) ? boxMin.x : boxMax.x;
            const float y = (corner & 2) ? boxMin.y : boxMax.y;
            const float z = (corner & 1) ? boxMin.z : boxMax.z;
            if (plane.a * x + plane.b * y + plane.c * z + plane.d >= 0.0f)
                ++inFront;
        }
        if (inFront == 0)
            return 0;
        if (inFront < 8)
            result = 2;
    }
    return result;
}

OctreeNode* OctreeGetRoot()
{
    return g_octreeRoot;
}

bool OctreeNode::CreateChildren()
{
    ++g_map.treeEpoch;
    if (!IsLeaf())
        return false;
    OctreeNode* made[8] = {};
    for (OctreeNode*& child : made) {
        child = new (std::nothrow) OctreeNode();
        if (!child) {
            for (OctreeNode* m : made)
                delete m;
            return false;
        }
    }
    const Vector3 c = {(boxMin.x + boxMax.x) / 2, (boxMin.y + boxMax.y) / 2, (boxMin.z + boxMax.z) / 2};
    const u32_t depth = std::min(Depth() + 1, OCTREE_NODE_DEPTH_MASK);
    for (int i = 0; i < 8; ++i) {
        OctreeNode* child = made[i];
        child->parent = this;
        child->flags = depth;
        child->boxMin = {(i & OCTREE_CHILD_X) ? c.x : boxMin.x, (i & OCTREE_CHILD_Y) ? c.y : boxMin.y,
                         (i & OCTREE_CHILD_Z) ? c.z : boxMin.z};
        child->boxMax = {(i & OCTREE_CHILD_X) ? boxMax.x : c.x, (i & OCTREE_CHILD_Y) ? boxMax.y : c.y,
                         (i & OCTREE_CHILD_Z) ? boxMax.z : c.z};
        children[i] = child;
    }
    return true;
}

bool OctreeNode::AddSecondarySet(OctreeGeometry* set)
{
    OctreeGeometry** grown = new (std::nothrow) OctreeGeometry*[secondarySetCount + 1];
    if (!grown)
        return false;
    std::copy_n(secondarySets, secondarySetCount, grown);
    grown[secondarySetCount++] = set;
    delete[] secondarySets;
    secondarySets = grown;
    return true;
}

void OctreeNode::Destroy()
{
    ++g_map.treeEpoch;
    for (OctreeNode*& child : children) {
        OctreeNodeDelete(child);
        child = nullptr;
    }
    for (u32_t i = 0; i < secondarySetCount; ++i)
        OctreeGeometryDelete(secondarySets[i]);
    delete[] secondarySets;
    secondarySets = nullptr;
    secondarySetCount = 0;
    delete[] waterSquares;
    waterSquares = nullptr;
    waterSquareCount = 0;
    geometry.Reset(true);
    MapTraceLeafDataFree(traceData);
    traceData = nullptr;
    delete[] packedEntries;
    packedEntries = nullptr;
    packedCount = packedCapacity = 0;
}

void OctreeNodeDelete(OctreeNode* node)
{
    if (!node)
        return;
    node->Destroy();
    delete node;
}

OctreeNode* OctreeCreateRoot(const Vector3& boxMin, const Vector3& boxMax)
{
    OctreeDestroy();
    GridLinkPoolReset();
    ++g_map.treeEpoch;
    const float dx = boxMax.x - boxMin.x, dy = boxMax.y - boxMin.y, dz = boxMax.z - boxMin.z;
    const float size = std::max(dx, std::max(dy, dz));
    const float half = size / 2;
    const Vector3 centre = {(boxMin.x + boxMax.x) / 2, (boxMin.y + boxMax.y) / 2, (boxMin.z + boxMax.z) / 2};
    g_octreeRoot = new OctreeNode();
    g_octreeRoot->boxMin = {centre.x - half, centre.y - half, centre.z - half};
    g_octreeRoot->boxMax = {centre.x + half, centre.y + half, centre.z + half};
    g_frameView.worldSize = size;
    return g_octreeRoot;
}

float OctreeGetWorldSize()
{
    return g_octreeRoot ? g_frameView.worldSize : 0.0f;
}

void OctreeDestroy()
{
    GridLinkPoolFree();
    MapTraceTreeFree();
    ++g_map.treeEpoch;
    OctreeNodeDelete(g_octreeRoot);
    g_octreeRoot = nullptr;
    g_frameView.worldSize = 0.0f;
}

void OctreeNodeCullFrustum(OctreeNode* node, const D3DXPLANE* planes, u32_t planeCount, OctreeNodeCallback callback)
{
    if (!node)
        return;
    const int side = node->TestPlanes(planes, planeCount);
    if (side == 0)
        return;
    if (side == 1 || node->IsLeaf()) {
        HandOnLeaves(node, callback);
        return;
    }
    for (OctreeNode* child : node->children) {
        if (child)
            OctreeNodeCullFrustum(child, planes, planeCount, callback);
    }
}

void OctreeCullFrustum(const D3DXPLANE* planes, u32_t planeCount, OctreeNodeCallback callback)
{
    OctreeNodeCullFrustum(g_octreeRoot, planes, planeCount, callback);
}
