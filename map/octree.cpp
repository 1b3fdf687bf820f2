#include "map/octree.h"

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

// Objects are linked to nodes by the object grid of the map; until it exists no node holds any.
void OctreeNode::CollectDrawable(const D3DXPLANE*, ObjectGridEntry**, u32_t*, u32_t, const s8_t*) {}

void OctreeNode::CollectInPlanes(const D3DXPLANE*, u32_t, ObjectGridEntry**, u32_t*, u32_t, const s8_t*) {}

OctreeNode* OctreeGetRoot()
{
    return g_octreeRoot;
}

namespace {

void DestroyNode(OctreeNode* node)
{
    for (OctreeNode* child : node->children) {
        if (child)
            DestroyNode(child);
    }
    delete[] node->geometry.vertices;
    delete[] node->geometry.faces;
    for (u32_t i = 0; i < node->attachedCount; ++i) {
        if (OctreeGeometry* piece = node->attached[i]) {
            delete[] piece->vertices;
            delete[] piece->faces;
            delete piece;
        }
    }
    delete[] node->attached;
    delete node;
}

}  // namespace

OctreeNode* OctreeCreateRoot(const Vector3& boxMin, const Vector3& boxMax)
{
    OctreeDestroy();
    const float dx = boxMax.x - boxMin.x, dy = boxMax.y - boxMin.y, dz = boxMax.z - boxMin.z;
    const float half = 0.5f * (dx > dy ? (dx > dz ? dx : dz) : (dy > dz ? dy : dz));
    const Vector3 centre = {(boxMin.x + boxMax.x) * 0.5f, (boxMin.y + boxMax.y) * 0.5f, (boxMin.z + boxMax.z) * 0.5f};
    g_octreeRoot = new OctreeNode();
    g_octreeRoot->boxMin = {centre.x - half, centre.y - half, centre.z - half};
    g_octreeRoot->boxMax = {centre.x + half, centre.y + half, centre.z + half};
    return g_octreeRoot;
}

void OctreeDestroy()
{
    if (g_octreeRoot)
        DestroyNode(g_octreeRoot);
    g_octreeRoot = nullptr;
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
