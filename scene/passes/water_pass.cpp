#include "scene/passes/water_pass.h"

#include <algorithm>

#include "core/frame_view.h"
#include "map/octree/octree.h"
#include "map/land_maps/water_square.h"
#include "map/terrain/world_tiles.h"
#include "render/camera.h"
#include "render/device/dynamic_buffers.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/shaders.h"
#include "render/land/visible_nodes.h"
#include "scene/scene_state.h"
#include "scene/draw_records/stream_emit.h"
#include "scene/passes/visibility_pass.h"

namespace {

// The water pass only lists the leaves in view: their objects, fog and detail flags are the
// visibility pass's, and the occluder marks play no part in a listing, so no occluder cell is
// looked up at all.
void ListLeaf(OctreeNode* node)
{
    ViewNodeAppend(node);
}

void SetWorld(const D3DXMATRIX& world)
{
    if (g_render.device)
        g_render.device->SetTransform(D3DTS_WORLD, &world);
}

void EmitSquares(u32_t& node, u32_t& square, u32_t count)
{
    for (u32_t written = 0; written < count; ++node, square = 0) {
        const OctreeNode* leaf = g_visible.nodes[node];
        const u32_t squares = leaf->waterSquares ? leaf->waterSquareCount : 0;
        for (; square < squares && written < count; ++square, ++written) {
            const WaterSquare* w = leaf->waterSquares[square];
            const u16_t first = static_cast<u16_t>(written * 4);
            EmitPosition(w->minX, w->height, w->minZ);
            EmitPosition(w->maxX, w->height, w->minZ);
            EmitPosition(w->minX, w->height, w->maxZ);
            EmitPosition(w->maxX, w->height, w->maxZ);
            EmitTriangle(first + 2, first + 1, first);
            EmitTriangle(first + 1, first + 2, first + 3);
        }
        if (square < squares)
            return;  // the lock is full: the rest of this leaf goes into the next one
    }
}

}  // namespace

int WaterShaderSlot()
{
    return g_render.device && rbfog.Bool() && !g_frameView.cursorMode ? 1 : 0;
}

bool WaterShadersUsable(int slot)
{
    return g_render.shaders && g_shaderSet.vertex[slot] != 0;
}

void RenderWaterSurfaces()
{
    u32_t total = 0;
    for (u32_t i = 0; i < g_visible.nodeCount; ++i) {
        const OctreeNode* leaf = g_visible.nodes[i];
        if (leaf->waterSquares)
            total += leaf->waterSquareCount;
    }
    if (total == 0 || !g_render.device)
        return;

    // Without the slot's vertex shader the shader stream would be read by whatever format is set.
    const int slot = WaterShaderSlot();
    const bool shaders = WaterShadersUsable(slot);
    if (shaders) {
        ShaderBindWater(slot);
        StaticBufferBind(&g_dynBuffers.shaderVertices);
    } else {
        StaticBufferBind(&g_dynBuffers.posVertices);
    }
    DynIndexBufferSelect(&g_dynBuffers.largeIndices);

    u32_t node = 0, square = 0;
    while (total > 0) {
        // Skip leaves without squares so that EmitSquares starts on one that has some.
        while (node < g_visible.nodeCount &&
               (!g_visible.nodes[node]->waterSquares || square >= g_visible.nodes[node]->waterSquareCount)) {
            ++node;
            square = 0;
        }
        const u32_t count = std::min(total, WATER_SQUARES_PER_DRAW);
        DynBuffersLock(count * 4, count * 6);
        EmitSquares(node, square, count);
        DynBuffersUnlock();
        DynBuffersDrawIndexed(D3DPT_TRIANGLELIST, count * 4, count * 6, true);
        total -= count;
    }

    if (shaders)
        ShaderUnbindPixel();
    StaticBufferBind(nullptr);
    DynIndexBufferSelect(nullptr);
}

void RenderWaterPass()
{
    const ViewCamera& view = g_scene.mainViewCamera;
    const float x = view.position[0], y = view.position[1], z = view.position[2];
    const float size = MapGetWorldSize();
    OctreeNode* root = OctreeGetRoot();

    const bool thirdPerson = gbthirdperson.Bool();
    if (thirdPerson)
        RenderSetCameraWrap(0);
    RenderSetupCamera(x, y, z, view.angles[0], view.angles[1], view.angles[2], view.fov, 1);
    if (thirdPerson)
        RenderSetCameraWrap(1);

    const float position[3] = {x, y, z};
    float wrapped[3];
    s32_t tile[2];
    MapPosToCell(position, size, wrapped, tile);
    VisibilityCameraAtWrapped(wrapped, view.angles[0], view.angles[1], view.angles[2], view.fov, thirdPerson);

    for (int oz = -2; oz <= 2; ++oz) {
        for (int ox = -2; ox <= 2; ++ox) {
            const float dx = float(ox) * size, dz = float(oz) * size;
            const s32_t tileX = tile[0] - ox, tileZ = tile[1] - oz;
            g_visible.cell[0] = static_cast<s8_t>(tileX);
            g_visible.cell[1] = static_cast<s8_t>(tileZ);
            g_visible.cellWord = (static_cast<u32_t>(tileZ) << 16) | (static_cast<u32_t>(tileX) & 0xFFFFu);
            g_camera.eye = D3DXVECTOR3(wrapped[0] + dx, wrapped[1], wrapped[2] + dz);
            FrustumBuildBox();
            FrustumBuildPlanes(g_camera.frustumPlanes, &g_camera.eye);
            g_visible.nodeCount = 0;
            if (root && root->TestPlanes(g_camera.frustumPlanes, 6) != 0)
                OctreeCullFrustum(g_camera.frustumPlanes, 6, ListLeaf);
            D3DXMATRIX world;
            D3DXMatrixTranslation(&world, -dx, 0.0f, -dz);
            SetWorld(world);
            RenderWaterSurfaces();
        }
    }

    D3DXMATRIX identity;
    MatrixSetIdentity(&identity);
    SetWorld(identity);
    if (thirdPerson)
        RenderSetCameraWrap(0);
    g_camera.eye = D3DXVECTOR3(x, y, z);
    RenderSetupCamera(x, y, z, view.angles[0], view.angles[1], view.angles[2], view.fov, 0);
}
