#include "scene/plugin_bridges/indoor_bridge.h"

#include <cmath>
#include <cstring>
#include <string>

#include "map/land_maps/fog_textures.h"
#include "map/terrain/map_state.h"
#include "map/land_maps/occluders.h"
#include "map/terrain/world_tiles.h"
#include "platform/d3dx8_math.h"
#include "render/camera.h"
#include "render/land/map_chunks.h"
#include "render/device/render_context.h"
#include "render/textures/texture_manager.h"
#include "render/land/visible_nodes.h"
#include "scene/meshes/mesh_draw.h"
#include "scene/scene_state.h"
#include "scene/passes/visibility_pass.h"
#include "world/animation/anim_cache.h"
#include "world/animation/anim_mesh.h"
#include "world/objects/dynamic_object.h"
#include "world/nodes/mesh_collision.h"
#include "world/nodes/mesh_trace.h"

void* RegisterAffMesh(const char* name)
{
    if (!name || !name[0])
        return nullptr;
    return AnimCacheAcquire(name, false);
}

void* RegisterTexture(const char* name)
{
    if (!name || !name[0])
        return nullptr;
    return TextureFindOrLoad(name);
}

void IndoorClipCallback()
{
    const IndoorClipData& clip = g_scene.indoorClip;
    if (clip.planeCount <= 0)
        return;
    const u32_t count = static_cast<u32_t>(std::min<s32_t>(clip.planeCount, kIndoorClipMaxPlanes));
    const float size = MapGetWorldSize();
    // The planes are given round the camera; the tiles are drawn round its wrapped position.
    const D3DXVECTOR3 eye = g_camera.eye;
    const float position[3] = {eye.x, eye.y, eye.z};
    float wrapped[3];
    s32_t tile[2];
    MapPosToCell(position, size, wrapped, tile);
    IndoorClipTile& state = g_indoorClipTile;
    state = {};
    if (MapIsNearGround(Vector3{eye.x, eye.y, eye.z}) && size > 0.0f) {
        MapGetOccluderGrid(&state.occluderResolution, &state.occluderLists);
        state.occluderLeaves = OccludersGetLeaves(&state.occluderLeafCount);
        if (!state.occluderLists)
            state.occluderResolution = 0;
        if (state.occluderResolution) {
            state.occluderCellX = IndoorOccluderCell(wrapped[0], size, state.occluderResolution);
            state.occluderCellZ = IndoorOccluderCell(wrapped[2], size, state.occluderResolution);
        }
    }
    D3DXPLANE planes[kIndoorClipMaxPlanes];
    for (int oz = -VISIBILITY_TILE_REACH; oz <= VISIBILITY_TILE_REACH; ++oz) {
        for (int ox = -VISIBILITY_TILE_REACH; ox <= VISIBILITY_TILE_REACH; ++ox) {
            const float dx = float(ox) * size, dz = float(oz) * size;
            // A point q of the base tile is drawn at q - (dx, dz), and the camera's frame lies
            // (eye - wrapped) away from the wrapped frame.
            const float shiftX = eye.x - wrapped[0] - dx, shiftZ = eye.z - wrapped[2] - dz;
            for (u32_t p = 0; p < count; ++p) {
                const float* in = clip.planes[p];
                planes[p] = D3DXPLANE(in[0], in[1], in[2], in[3] + in[0] * shiftX + in[2] * shiftZ);
            }
            const s32_t tileX = tile[0] - ox, tileZ = tile[1] - oz;
            g_visible.cell[0] = static_cast<s8_t>(tileX);
            g_visible.cell[1] = static_cast<s8_t>(tileZ);
            g_visible.cellWord = (static_cast<u32_t>(tileZ) << 16) | (static_cast<u32_t>(tileX) & 0xFFFFu);
            g_camera.eye = D3DXVECTOR3(wrapped[0] + dx, wrapped[1], wrapped[2] + dz);
            state.tileIndex = static_cast<u32_t>((oz + VISIBILITY_TILE_REACH) * 5 + (ox + VISIBILITY_TILE_REACH));
            state.relativeX = -ox;
            state.relativeZ = -oz;
            RenderIndoorClipVisibility(planes, count);
        }
    }
    g_camera.eye = eye;
}

void IndoorRenderMeshCallback(void* mesh, s32_t meshIndex, s32_t frame, const float* world, void* const* textures)
{
    if (!mesh || meshIndex < 0 || frame < 0 || !g_render.device)
        return;
    D3DXMATRIX matrix;
    if (world)
        std::memcpy(&matrix.m[0][0], world, sizeof(float) * 16);
    else
        D3DXMatrixIdentity(&matrix);
    g_render.device->SetTransform(D3DTS_WORLD, &matrix);
    MeshDrawIndoor(static_cast<AnimMesh*>(mesh), static_cast<u32_t>(meshIndex), static_cast<u32_t>(frame),
                   reinterpret_cast<IDirect3DTexture8* const*>(textures));
}

void IndoorRenderDefCallback(void* object)
{
    RenderAddVisibleObject(static_cast<DynamicObject*>(object));
}

s32_t IndoorMeshSphereCollision(void* mesh, s32_t meshIndex, float* centre, float radius)
{
    if (!mesh || meshIndex < 0 || !centre)
        return 0;
    const AnimMesh* anim = static_cast<const AnimMesh*>(mesh);
    if (anim->frames_c == 0 || static_cast<u32_t>(meshIndex) >= anim->frames[0].meshes_c)
        return 0;
    Vector3 at = {centre[0], centre[1], centre[2]};
    const bool touched = MeshSphereCollision(anim, static_cast<u32_t>(meshIndex), 0, false, &at, radius);
    centre[0] = at.x;
    centre[1] = at.y;
    centre[2] = at.z;
    return touched ? 1 : 0;
}

s32_t IndoorMeshTrace(void* mesh, s32_t meshIndex, const float* from, const float* to, IndoorTraceHit* hit)
{
    if (!mesh || meshIndex < 0 || !from || !to || !hit)
        return 0;
    const AnimMesh* anim = static_cast<const AnimMesh*>(mesh);
    if (anim->frames_c == 0 || static_cast<u32_t>(meshIndex) >= anim->frames[0].meshes_c)
        return 0;
    const Vector3 origin = {from[0], from[1], from[2]};
    const Vector3 direction = {to[0] - from[0], to[1] - from[1], to[2] - from[2]};
    float best = 1.0f;
    float barycentric[2];
    if (MeshTraceRay(anim, static_cast<u32_t>(meshIndex), 0, origin, direction, &best, barycentric) < 0)
        return 0;
    hit->hit = 1;
    hit->fraction = best;
    for (int i = 0; i < 3; ++i)
        hit->point[i] = from[i] + (to[i] - from[i]) * best;
    return 1;
}
