#include "render/land/visible_nodes.h"

#include <algorithm>
#include <cmath>

#include "core/frame_view.h"
#include "core/vector_d3dx.h"
#include "core/world_repeat.h"
#include "map/terrain/map_state.h"
#include "map/octree/octree.h"
#include "render/camera.h"
#include "render/render_cvars.h"

VisibleSet g_visible;

namespace {

// The fog and level-of-detail flags that the static-geometry pass reads.
void FlagGeometryDistance(OctreeNode* node)
{
    const D3DXVECTOR3& eye = g_camera.eye;
    const OctreeGeometry& geometry = node->geometry;
    const D3DXVECTOR3 boxMin = ToD3DX(geometry.boundsMin), boxMax = ToD3DX(geometry.boundsMax);
    const D3DXVECTOR3 centre = (boxMin + boxMax) * 0.5f;
    const D3DXVECTOR3 toCentre = eye - centre;
    const float distance = D3DXVec3Length(&toCentre) - geometry.boundsRadius;
    const float sizeX = boxMax.x - boxMin.x, sizeZ = boxMax.z - boxMin.z;
    const float horizontal =
        std::sqrt(toCentre.x * toCentre.x + toCentre.z * toCentre.z) + 0.5f * std::sqrt(sizeX * sizeX + sizeZ * sizeZ);
    if (rbfog.Bool() && !g_frameView.zoomView && horizontal > mffogstart.Float() * 10.0f)
        node->flags |= OCTREE_NODE_BEYOND_FOG;
    if (distance > 0.0f && std::tan(g_camera.fov / 2.0f) * distance > mflayerlod0.Float() * 10.0f)
        node->flags |= OCTREE_NODE_FAR_DETAIL;
}

void CollectObjects(OctreeNode* node)
{
    node->CollectDrawable(g_visible.visibilityFrustum, g_visible.objects, &g_visible.objectCount, kMaxVisibleObjects,
                          g_visible.cell);
}

// Water of the node: the total grows, and the nearest distance (to the node's box, roughly) falls.
void CountWater(const OctreeNode* node)
{
    if (!node->waterSquareCount)
        return;
    g_visible.waterTotal += node->waterSquareCount;
    const D3DXVECTOR3 boxMin = ToD3DX(node->boxMin), boxMax = ToD3DX(node->boxMax);
    const D3DXVECTOR3 toCentre = g_camera.eye - (boxMin + boxMax) * 0.5f;
    const D3DXVECTOR3 diagonal = boxMax - boxMin;
    const float distance = std::max(0.0f, D3DXVec3Length(&toCentre) - 0.5f * D3DXVec3Length(&diagonal));
    g_visible.nearestWater = std::min(g_visible.nearestWater, distance);
}

void CollectInExtraPlanes(OctreeNode* node)
{
    node->CollectInPlanes(g_visible.extraPlanes, g_visible.extraPlaneCount, g_visible.objects, &g_visible.objectCount,
                          kMaxVisibleObjects, g_visible.cell);
}

}  // namespace

void ViewNodeVisible(OctreeNode* node)
{
    if (g_visible.nodeCount >= kMaxVisibleNodes)
        return;
    node->flags &= ~(OCTREE_NODE_BEYOND_FOG | OCTREE_NODE_FAR_DETAIL);
    if (node->geometry.vertexCount)
        FlagGeometryDistance(node);
    g_visible.nodes[g_visible.nodeCount++] = node;
    CollectObjects(node);
    CountWater(node);
}

void ViewNodeVisibleChecked(OctreeNode* node)
{
    if (node->flags & OCTREE_NODE_FULL_VISIBILITY)
        ViewNodeVisible(node);
    else
        CollectObjects(node);
}

u32_t ViewNodeAppend(OctreeNode* node)
{
    if (g_visible.nodeCount < kMaxVisibleNodes)
        g_visible.nodes[g_visible.nodeCount++] = node;
    return g_visible.nodeCount;
}

void ViewNodeVisibleStamped(OctreeNode* node, u32_t mask)
{
    if (node->queryStamp != g_map.octreeVisitMark) {
        node->planeMask = 0;
        ViewNodeVisible(node);
        node->queryStamp = g_map.octreeVisitMark;
    }
    node->planeMask |= mask;
    CollectInExtraPlanes(node);
}

void ViewNodeVisibleCheckedStamped(OctreeNode* node, u32_t mask)
{
    if (node->queryStamp != g_map.octreeVisitMark) {
        node->planeMask = 0;
        ViewNodeVisibleChecked(node);
        node->queryStamp = g_map.octreeVisitMark;
    }
    node->planeMask |= mask;
    CollectInExtraPlanes(node);
}

void ViewGetVisibleNodes(OctreeNode*** outList, u32_t* outCount)
{
    if (outList)
        *outList = g_visible.nodes;
    if (outCount)
        *outCount = g_visible.nodeCount;
}

void EditorCollectVisibleNodes(const float* position, const s32_t* tileIndex, OctreeNode*** outList, u32_t* outCount)
{
    const float size = g_frameView.worldSize;
    // Tile numbers outside 0..4 are held to the nearest of them; no numbers mean the middle tile.
    const s32_t offsetX = tileIndex ? std::clamp(tileIndex[0], 0, 4) - 2 : 0;
    const s32_t offsetZ = tileIndex ? std::clamp(tileIndex[1], 0, 4) - 2 : 0;
    const D3DXVECTOR3 eye(position[0] + float(offsetX) * size, position[1], position[2] + float(offsetZ) * size);
    D3DXPLANE planes[6];
    FrustumBuildPlanes(planes, &eye);
    float local[3];
    s32_t cell[2];
    MapPosToCell(&eye.x, size, local, cell);
    g_visible.cell[0] = static_cast<s8_t>(cell[0]);
    g_visible.cell[1] = static_cast<s8_t>(cell[1]);
    g_visible.cellWord = (static_cast<u32_t>(cell[1]) << 16) | (static_cast<u32_t>(cell[0]) & 0xFFFFu);
    // Objects are taken against the camera at its own position.
    std::copy(g_camera.frustumPlanes, g_camera.frustumPlanes + 6, g_visible.visibilityFrustum);
    OctreeCullFrustum(planes, 6, ViewNodeVisible);
    ViewGetVisibleNodes(outList, outCount);
}
