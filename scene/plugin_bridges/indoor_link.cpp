// Indoor links: the host side of the messages that tie a world object to its indoor mesh.
#include "scene/plugin_bridges/indoor_link.h"

#include <algorithm>
#include <cmath>

#include "core/plugins/plugin_host.h"
#include "map/terrain/map_state.h"
#include "map/trace/map_trace.h"
#include "map/octree/object_grid.h"
#include "map/octree/octree.h"
#include "map/octree/octree_query.h"
#include "map/registry/world_registry.h"
#include "map/terrain/world_tiles.h"
#include "render/device/state_cache.h"
#include "render/land/visible_nodes.h"
#include "render/land/map_chunks.h"
#include "scene/passes/decal_pass.h"
#include "scene/plugin_bridges/indoor_objects.h"
#include "scene/meshes/object_draw.h"
#include "scene/passes/scene_passes.h"
#include "scene/scene_state.h"
#include "scene/passes/visibility_pass.h"
#include "render/camera.h"
#include "world/objects/graph_obj.h"
#include "world/scene_view.h"

namespace {
u32_t g_liveLinks = 0;
}  // namespace

IndoorLink* IndoorLinkCreate(DynamicObject* owner)
{
    ++g_liveLinks;
    IndoorLink* link = new IndoorLink{};
    link->owner = reinterpret_cast<PluginWord>(owner);
    link->growStep = 1;
    return link;
}

u32_t IndoorLinkCount()
{
    return g_liveLinks;
}

PluginWord IndoorMeshAttach(const char* name, IndoorLink* link)
{
    IndoorMeshAttachEvent event = {name ? name : "", link};
    g_pluginHost.Broadcast(HookIndoorMeshAttach, reinterpret_cast<std::uintptr_t>(&event));
    return link ? link->handle : 0;
}

void IndoorLinkUpdate(IndoorLink* link)
{
    g_pluginHost.Broadcast(HookIndoorLinkUpdate, reinterpret_cast<std::uintptr_t>(link));
}

void IndoorLinkRelease(IndoorLink* link)
{
    if (!link)
        return;
    --g_liveLinks;
    g_pluginHost.Broadcast(HookIndoorLinkRelease, link->handle);
    for (u32_t i = 0; i < link->count; ++i)
        delete[] reinterpret_cast<u8_t*>(link->items[i]);
    delete[] link->items;
    delete link;
}

namespace {
IndoorPosition g_cameraIndoor = {0, 0};
float g_lastCameraEye[3] = {0.0f, 0.0f, 0.0f};
bool g_cameraLooked = false;  // a look was made since the mission start

std::uintptr_t Word(const void* pointer)
{
    return reinterpret_cast<std::uintptr_t>(pointer);
}

}  // namespace

bool IndoorSegmentMeetsBox(const float* from, const float* to, const Vector3& boxMin, const Vector3& boxMax)
{
    const float low[3] = {boxMin.x, boxMin.y, boxMin.z}, high[3] = {boxMax.x, boxMax.y, boxMax.z};
    float enter = 0.0f, leave = 1.0f;
    for (int axis = 0; axis < 3; ++axis) {
        const float d = to[axis] - from[axis];
        if (d == 0.0f) {
            if (!(from[axis] >= low[axis] && from[axis] <= high[axis]))
                return false;
            continue;
        }
        float t0 = (low[axis] - from[axis]) / d, t1 = (high[axis] - from[axis]) / d;
        if (t0 > t1)
            std::swap(t0, t1);
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
        if (!(enter <= leave))
            return false;
    }
    return true;
}

namespace {

// Offers the structures with an indoor mesh linked in the point's leaf; true once one answers.
bool OfferStructuresAt(const float* point, const float* from, const float* to, IndoorPosition* position)
{
    s32_t tile[2] = {0, 0};
    const OctreeNode* leaf = OctreeFindLeaf(point, tile);
    if (!leaf)
        return false;
    // The leaf's entries lie in the base tile: the segment is moved there with the point.
    const float size = MapGetWorldSize();
    const float shiftX = float(tile[0]) * size, shiftZ = float(tile[1]) * size;
    const float a[3] = {from[0] - shiftX, from[1], from[2] - shiftZ};
    const float b[3] = {to[0] - shiftX, to[1], to[2] - shiftZ};
    u32_t it = 0;
    for (ObjectGridEntry* entry = ObjectGridFirst(leaf, &it); entry; entry = ObjectGridNext(&it)) {
        if (entry->kind != 3 || !entry->owner)
            continue;
        auto* structure = dynamic_cast<GraphObj*>(static_cast<DynamicObject*>(entry->owner));
        if (!structure || !structure->indoorLink || !IndoorSegmentMeetsBox(a, b, entry->boxMin, entry->boxMax))
            continue;
        IndoorLocateStartQuery query = {Word(structure), from, to, 0};
        g_pluginHost.Broadcast(HookIndoorLocateStart, Word(&query));
        if (query.cell) {
            *position = {Word(structure), query.cell};
            return true;
        }
    }
    return false;
}
}  // namespace

void IndoorMissionLoaded()
{
    g_cameraIndoor = {0, 0};
    g_cameraLooked = false;
    g_pluginHost.Broadcast(HookIndoorMissionLoaded, 0);
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = 0; i < count; ++i) {
        if (!objects[i] || objects[i]->GetTypeId() != OBJECT_TYPE_STRUCTURE)
            continue;
        if (GraphObj* graphic = dynamic_cast<GraphObj*>(objects[i]))
            graphic->AttachIndoor();
    }
}

void IndoorMissionUnloaded()
{
    g_pluginHost.Broadcast(HookIndoorMissionUnloaded, 0);
    IndoorObjectsFree();
    g_cameraIndoor = {0, 0};
    g_cameraLooked = false;
}

bool IndoorLocatePoint(const float* from, const float* to, IndoorPosition* position)
{
    if (!from || !to || !position)
        return false;
    if (!position->object) {
        position->cell = 0;
        return OfferStructuresAt(to, from, to, position) || OfferStructuresAt(from, from, to, position);
    }
    IndoorLocateWalkQuery query = {*position, from, to, *position};
    g_pluginHost.Broadcast(HookIndoorLocateWalk, Word(&query));
    *position = query.answer;
    if (!position->object)
        position->cell = 0;
    return position->object != 0;
}

IndoorPosition* IndoorCameraPosition()
{
    return &g_cameraIndoor;
}

void IndoorRender()
{
    ++g_map.octreeVisitMark;
    // Objects are collected against the camera of this view, not the frustum of the last view.
    g_visible.visibilityEye = g_camera.eye;
    std::copy(g_camera.frustumPlanes, g_camera.frustumPlanes + 6, g_visible.visibilityFrustum);
    g_visible.nodeCount = 0;
    g_visible.objectCount = 0;
    g_visible.objectTests = 0;
    g_visible.waterTotal = 0;
    g_visible.nearestWater = 1e30f;
    RenderResetVisibleObjects();
    RenderSetPassSelector(PASS_SELECTOR_SHADOWED);
    RenderSetState(D3DRS_STENCILREF, 0);
    RenderSetState(D3DRS_ZENABLE, 1);
    RenderSetState(D3DRS_ZWRITEENABLE, 1);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    RenderSetState(D3DRS_FILLMODE, D3DFILL_SOLID);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_CW);
    RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
    RenderSetWrapAndMaterialSources();
    g_pluginHost.Broadcast(HookIndoorRender, Word(&g_cameraIndoor));
}

s32_t IndoorTraceSegment(IndoorPosition* position, const float* from, const float* to, MapTraceInfo* hit)
{
    if (!position || !position->object || !from || !to || !hit)
        return 0;
    // The plug-in fills a record of the plug-in interface: only a reported hit reaches the caller's.
    IndoorTraceHit found = {};
    IndoorTraceRequest request = {position, from, to, &found, 0};
    g_pluginHost.Broadcast(HookIndoorTraceSegment, Word(&request));
    if (!found.hit)
        return 0;
    hit->fraction = found.fraction;
    hit->hitPoint = {found.point[0], found.point[1], found.point[2]};
    hit->normal = {found.normal[0], found.normal[1], found.normal[2]};
    hit->hitObject = reinterpret_cast<DynamicObject*>(position->object);
    return 1;
}

PluginWord IndoorQueryNearPoint(const float* point, float radius)
{
    if (!g_cameraIndoor.object || !point)
        return 0;
    IndoorNearPointQuery query = {g_cameraIndoor.object, g_cameraIndoor.cell, point, radius, 0};
    g_pluginHost.Broadcast(HookIndoorQueryNearPoint, Word(&query));
    return query.result;
}

bool IndoorCameraLocate(const float* eye)
{
    if (!eye)
        return false;
    const bool moved =
        !g_cameraLooked || eye[0] != g_lastCameraEye[0] || eye[1] != g_lastCameraEye[1] || eye[2] != g_lastCameraEye[2];
    if (moved) {
        const float* from = g_cameraLooked ? g_lastCameraEye : eye;
        const float start[3] = {from[0], from[1], from[2]};
        IndoorLocatePoint(start, eye, &g_cameraIndoor);
        g_lastCameraEye[0] = eye[0];
        g_lastCameraEye[1] = eye[1];
        g_lastCameraEye[2] = eye[2];
        g_cameraLooked = true;
    }
    return g_cameraIndoor.object != 0;
}

void IndoorFrameDraw(const float* eye, float yaw, float pitch, float fov)
{
    g_sceneView.indoorPassRunning = true;
    RenderSetupCamera(eye[0], eye[1], eye[2], yaw, pitch, 0.0f, fov, 1);
    RenderSetState(D3DRS_ZWRITEENABLE, 1);
    RenderSetState(D3DRS_ZENABLE, 1);
    IndoorRender();
    RenderMapGeometryPass(eye[0], eye[1], eye[2], yaw, pitch, 0.0f, fov);
    // The cell's object draws its decals in the map decal step, not among the objects.
    DecalPassesSetCellObject(dynamic_cast<GraphObj*>(reinterpret_cast<DynamicObject*>(g_cameraIndoor.object)));
    RenderScenePassesIndoor();
}
