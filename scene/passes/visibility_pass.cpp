#include "scene/passes/visibility_pass.h"

#include <algorithm>

#include "core/console/console.h"
#include "core/frame_view.h"
#include "render/land/map_chunks.h"
#include "map/terrain/map_state.h"
#include "map/octree/octree_query.h"
#include "map/octree/object_grid.h"
#include "map/land_maps/occluders.h"
#include "map/land_maps/fog_textures.h"
#include "map/octree/octree.h"
#include "map/registry/world_registry.h"
#include "map/terrain/world_tiles.h"
#include "render/camera.h"
#include "render/device/pass_timing.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/land/visible_nodes.h"
#include "scene/scene_state.h"
#include "scene/passes/static_map_pass.h"
#include "scene/draw_records/stream_emit.h"
#include "world/animation/clustered_mesh.h"
#include "world/objects/graph_obj.h"

namespace {

// The occluder data of one pass: none while resolution is 0.
struct PassOccluders {
    u32_t resolution = 0;
    u16_t** lists = nullptr;
    OctreeNode* const* leaves = nullptr;
    u32_t leafCount = 0;
    u32_t cellX = 0, cellZ = 0;
};

// The part of an occluder list entry that numbers a leaf.
constexpr u16_t kOccluderLeafNumberMask = 0x0FFF;

// The occluder cell of a position inside the base tile. A position on the tile's far border (or
// rounded onto it) would give resolution itself: it is held to the last cell.
u32_t OccluderCell(float local, float size, u32_t resolution)
{
    const float scaled = (local + size * 0.5f) / size * float(resolution);
    if (!(scaled > 0.0f))
        return 0;
    const u32_t cell = scaled >= float(resolution) ? resolution : static_cast<u32_t>(scaled);
    return std::min(cell, resolution - 1);
}

// Sets or clears the full-visibility bit of the leaves in the cell's list for the relative tile.
// Numbers past the leaf table (the lists come from a cache file) are skipped.
void MarkOccluderLeaves(const PassOccluders& occluders, int tileX, int tileZ, bool set)
{
    const u32_t entry = (occluders.cellZ * occluders.resolution + occluders.cellX) * OCCLUDER_TILE_LISTS +
                        static_cast<u32_t>((tileZ + 2) * 5 + (tileX + 2));
    const u16_t* list = occluders.lists[entry];
    if (!list)
        return;
    for (; *list != OCCLUDER_LIST_END; ++list) {
        const u32_t number = *list & kOccluderLeafNumberMask;
        if (number >= occluders.leafCount || !occluders.leaves[number])
            continue;
        if (set)
            occluders.leaves[number]->flags |= OCTREE_NODE_FULL_VISIBILITY;
        else
            occluders.leaves[number]->flags &= ~OCTREE_NODE_FULL_VISIBILITY;
    }
}

void SetWorldTranslation(float x, float z)
{
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, x, 0.0f, z);
    if (g_render.device)
        g_render.device->SetTransform(D3DTS_WORLD, &world);
}

// The tile drawn next: its cell coordinates and the cell word the collectors tag objects with.
void SelectTileCell(s32_t tileX, s32_t tileZ)
{
    g_visible.cell[0] = static_cast<s8_t>(tileX);
    g_visible.cell[1] = static_cast<s8_t>(tileZ);
    g_visible.cellWord = (static_cast<u32_t>(tileZ) << 16) | (static_cast<u32_t>(tileX) & 0xFFFFu);
}

// The static map drawn at the tile offset by the renderer the texture unit count allows.
void DrawStaticMapTile(float dx, float dz)
{
    SetWorldTranslation(-dx, -dz);
    const s32_t units = rbtexunits.Int();
    if (units >= 8)
        RenderStaticMapManyStage();
    else if (units == 2)
        RenderStaticMapTwoStage();
}

}  // namespace

void VisibilityCameraAtWrapped(const float* wrapped, float angleX, float angleY, float angleZ, float fov,
                               bool thirdPerson)
{
    RenderSetupCamera(wrapped[0], wrapped[1], wrapped[2], angleX, angleY, angleZ, fov, 0);
    if (g_camera.cameraObject && !thirdPerson) {
        CameraBuildViewMatrix(&g_camera.view, &g_camera.world, wrapped[0], wrapped[1], wrapped[2], g_camera.yaw,
                              g_camera.pitch, g_camera.roll);
        if (g_render.device)
            g_render.device->SetTransform(D3DTS_VIEW, &g_camera.view);
        CameraExtractAxes();
    }
}

void RenderVisibilityPass(float x, float y, float z, float angleX, float angleY, float angleZ, float fov)
{
    RenderTimingBegin(TIMED_PASS_VISIBILITY);
    if (g_scene.mainView)
        g_scene.mainViewCamera = {{x, y, z}, {angleX, angleY, angleZ}, fov};

    const float size = MapGetWorldSize();
    OctreeNode* root = OctreeGetRoot();
    PassOccluders occluders;
    if (MapIsNearGround(Vector3{x, y, z})) {
        MapGetOccluderGrid(&occluders.resolution, &occluders.lists);
        occluders.leaves = OccludersGetLeaves(&occluders.leafCount);
        if (!occluders.lists || !(size > 0.0f))
            occluders.resolution = 0;
    }

    // The third-person camera is set up at the player's own position, then wrapped while the tiles
    // are drawn.
    const bool thirdPerson = gbthirdperson.Bool();
    if (thirdPerson)
        RenderSetCameraWrap(0);
    RenderSetupCamera(x, y, z, angleX, angleY, angleZ, fov, 1);
    if (thirdPerson)
        RenderSetCameraWrap(1);

    g_visible.visibilityEye = D3DXVECTOR3(x, y, z);
    std::copy(g_camera.frustumPlanes, g_camera.frustumPlanes + 6, g_visible.visibilityFrustum);

    const float position[3] = {x, y, z};
    float wrapped[3];
    s32_t tile[2];
    MapPosToCell(position, size, wrapped, tile);

    VisibilityCameraAtWrapped(wrapped, angleX, angleY, angleZ, fov, thirdPerson);

    if (occluders.resolution) {
        occluders.cellX = OccluderCell(wrapped[0], size, occluders.resolution);
        occluders.cellZ = OccluderCell(wrapped[2], size, occluders.resolution);
    }

    ++g_map.octreeVisitMark;
    g_visible.objectCount = 0;
    g_visible.objectTests = 0;
    g_visible.waterTotal = 0;
    g_visible.nearestWater = 1e30f;

    ClusteredObjUpdateVisibility(g_visible.visibilityFrustum, 6);
    const float* viewer = g_frameView.viewPos;
    ClusteredObjSelectLods(Vector3{viewer[0], viewer[1], viewer[2]}, g_frameView.fieldOfView,
                           g_visible.visibilityFrustum, 6, g_map.octreeVisitMark);

    for (int oz = -VISIBILITY_TILE_REACH; oz <= VISIBILITY_TILE_REACH; ++oz) {
        for (int ox = -VISIBILITY_TILE_REACH; ox <= VISIBILITY_TILE_REACH; ++ox) {
            const float dx = float(ox) * size, dz = float(oz) * size;
            SelectTileCell(tile[0] - ox, tile[1] - oz);

            if (occluders.resolution)
                MarkOccluderLeaves(occluders, -ox, -oz, true);

            g_camera.eye = D3DXVECTOR3(wrapped[0] + dx, wrapped[1], wrapped[2] + dz);
            FrustumBuildBox();
            FrustumBuildPlanes(g_camera.frustumPlanes, &g_camera.eye);

            // A tile whose frustum misses the map lists nothing, so that no leaf of an earlier tile is
            // drawn again at this tile's place.
            g_visible.nodeCount = 0;
            if (root && root->TestPlanes(g_camera.frustumPlanes, 6) != 0) {
                OctreeCullFrustum(g_camera.frustumPlanes, 6,
                                  occluders.resolution ? ViewNodeVisibleChecked : ViewNodeVisible);
            }

            DrawStaticMapTile(dx, dz);

            if (occluders.resolution)
                MarkOccluderLeaves(occluders, -ox, -oz, false);
        }
    }

    ConPrint(1, "\rtests_per_frame: %d\n", static_cast<int>(g_visible.objectTests));
    D3DXMATRIX identity;
    MatrixSetIdentity(&identity);
    if (g_render.device)
        g_render.device->SetTransform(D3DTS_WORLD, &identity);

    // The camera back at the unwrapped position; third-person wrapping stays off.
    if (thirdPerson)
        RenderSetCameraWrap(0);
    g_camera.eye = D3DXVECTOR3(x, y, z);
    RenderSetupCamera(x, y, z, angleX, angleY, angleZ, fov, 0);
    RenderTimingEnd(TIMED_PASS_VISIBILITY);
}

const float* RenderGetVisibilityEye()
{
    return &g_visible.visibilityEye.x;
}

void RenderPrepareVisibleObjects()
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = 0; i < count; ++i) {
        const s32_t type = objects[i]->GetTypeId();
        if (type == OBJECT_TYPE_ROOT || type == OBJECT_TYPE_GRAPHIC)
            continue;
        if (GraphObj* graphic = dynamic_cast<GraphObj*>(objects[i]))
            graphic->StampNodeTimes();
    }
    for (u32_t i = 0; i < g_visible.objectCount; ++i) {
        const ObjectGridEntry* entry = g_visible.objects[i];
        if (entry && entry->kind == 3 && entry->owner)
            if (GraphObj* graphic = dynamic_cast<GraphObj*>(static_cast<DynamicObject*>(entry->owner)))
                graphic->UpdateViewDistance();
    }
}

// ---- The indoor road ---------------------------------------------------------------------------

IndoorClipTile g_indoorClipTile;

namespace {
u32_t g_indoorTileMask = 0;

void IndoorLeafFull(OctreeNode* node)
{
    ViewNodeVisibleStamped(node, g_indoorTileMask);
}

void IndoorLeafChecked(OctreeNode* node)
{
    ViewNodeVisibleCheckedStamped(node, g_indoorTileMask);
}

PassOccluders IndoorOccluders()
{
    PassOccluders occluders;
    const IndoorClipTile& tile = g_indoorClipTile;
    if (!tile.occluderResolution || !tile.occluderLists)
        return occluders;
    occluders.resolution = tile.occluderResolution;
    occluders.lists = tile.occluderLists;
    occluders.leaves = tile.occluderLeaves;
    occluders.leafCount = tile.occluderLeafCount;
    occluders.cellX = std::min(tile.occluderCellX, tile.occluderResolution - 1);
    occluders.cellZ = std::min(tile.occluderCellZ, tile.occluderResolution - 1);
    return occluders;
}
}  // namespace

u32_t IndoorOccluderCell(float local, float size, u32_t resolution)
{
    return resolution ? OccluderCell(local, size, resolution) : 0;
}

void RenderIndoorClipVisibility(const D3DXPLANE* planes, u32_t planeCount)
{
    if (!planes || planeCount == 0)
        return;
    const PassOccluders occluders = IndoorOccluders();
    const int relX = std::clamp(g_indoorClipTile.relativeX, -2, 2),
              relZ = std::clamp(g_indoorClipTile.relativeZ, -2, 2);
    if (occluders.resolution)
        MarkOccluderLeaves(occluders, relX, relZ, true);
    ClusteredObjUpdateVisibility(planes, planeCount);
    OctreeNode* root = OctreeGetRoot();
    if (root && root->TestPlanes(planes, planeCount) != 0) {
        g_indoorTileMask = 1u << (g_indoorClipTile.tileIndex & 31);
        g_visible.extraPlanes = planes;
        g_visible.extraPlaneCount = planeCount;
        OctreeCullFrustum(planes, planeCount, occluders.resolution ? IndoorLeafChecked : IndoorLeafFull);
        g_visible.extraPlanes = nullptr;
        g_visible.extraPlaneCount = 0;
    }
    if (occluders.resolution)
        MarkOccluderLeaves(occluders, relX, relZ, false);
    // The collectors count the objects they could not list too: the list holds no more than its room.
    g_visible.objectCount = std::min(g_visible.objectCount, kMaxVisibleObjects);
}

void RenderMapGeometryPass(float x, float y, float z, float angleX, float angleY, float angleZ, float fov)
{
    const float size = MapGetWorldSize();
    const float position[3] = {x, y, z};
    float wrapped[3];
    s32_t tile[2];
    MapPosToCell(position, size, wrapped, tile);
    g_visible.nearestWater = 1e30f;
    g_visible.objectTests = 0;
    g_visible.waterTotal = 0;
    VisibilityCameraAtWrapped(wrapped, angleX, angleY, angleZ, fov, gbthirdperson.Bool());
    for (int oz = -VISIBILITY_TILE_REACH; oz <= VISIBILITY_TILE_REACH; ++oz) {
        for (int ox = -VISIBILITY_TILE_REACH; ox <= VISIBILITY_TILE_REACH; ++ox) {
            const float dx = float(ox) * size, dz = float(oz) * size;
            SelectTileCell(tile[0] - ox, tile[1] - oz);
            const u32_t tileIndex = static_cast<u32_t>((oz + VISIBILITY_TILE_REACH) * 5 + (ox + VISIBILITY_TILE_REACH));
            MapChunksSetVisibilityFilter(true, tileIndex);
            DrawStaticMapTile(dx, dz);
        }
    }
    MapChunksSetVisibilityFilter(false, 0);
    D3DXMATRIX identity;
    MatrixSetIdentity(&identity);
    if (g_render.device)
        g_render.device->SetTransform(D3DTS_WORLD, &identity);
    ConPrint(1, "\rtests_per_frame: %d\n", static_cast<int>(g_visible.objectTests));
    RenderSetupCamera(wrapped[0], wrapped[1], wrapped[2], angleX, angleY, angleZ, fov, 0);
}
