// The object drawing's view of the world renderer. Until the mesh renderers exist the three mesh
// paths and the tinted-mesh drawing record what they are handed.
#include "scene/object_draw.h"

#include "render/camera.h"
#include "scene/scene_state.h"
#include "world/graph_node.h"

namespace {

void RecordMeshDraw(MeshDrawPath path, const MeshDrawArgs& args)
{
    SceneDrawLog& log = g_scene.drawLog;
    if (log.meshDrawCount < SCENE_DRAW_LOG_SIZE) {
        MeshDrawCall& call = log.meshDraws[log.meshDrawCount];
        call.path = path;
        call.args = args;
        call.world = args.world ? *args.world : D3DMATRIX{};
        call.args.world = &call.world;
        call.node = g_scene.drawingNode;
        call.passSelector = g_scene.materialComponentMask;
        call.animated = g_scene.animatedFlag;
    }
    ++log.meshDrawCount;
}

}  // namespace

void RenderGetCameraPosition(Vector3* out)
{
    *out = {g_camera.position.x, g_camera.position.y, g_camera.position.z};
}

const float* RenderGetLodDistances()
{
    return g_scene.lodDistances;
}

void RenderSetPassSelector(u32_t value)
{
    g_scene.materialComponentMask = value;
}

u32_t RenderGetPassSelector()
{
    return g_scene.materialComponentMask;
}

void RenderSetAnimatedFlag(bool animated)
{
    g_scene.animatedFlag = animated ? 1 : 0;
}

void RenderSetObjectFog(bool enabled)
{
    g_scene.objectFog = enabled ? 1 : 0;
}

void RenderSetBatching(bool enabled)
{
    g_scene.batching = enabled ? 1 : 0;
}

s32_t MeshDrawLoopFrame(const MeshDrawArgs& args)
{
    if (!args.meshList || args.meshList->count == 0)
        return 0;
    RecordMeshDraw(MESH_DRAW_LOOP_FRAME, args);
    return 1;
}

void MeshDrawAnimated(const MeshDrawArgs& args)
{
    RecordMeshDraw(MESH_DRAW_ANIMATED, args);
}

void MeshDrawAnimatedNoSlerp(const MeshDrawArgs& args)
{
    if (!args.mesh)
        return;
    RecordMeshDraw(MESH_DRAW_ANIMATED_NO_SLERP, args);
}

void RenderDrawTintedMesh(const Decal* record, const u32_t*)
{
    SceneDrawLog& log = g_scene.drawLog;
    if (log.tintedMeshCount < SCENE_DRAW_LOG_SIZE)
        log.tintedMeshes[log.tintedMeshCount] = record;
    ++log.tintedMeshCount;
}

void SceneDrawLogClear()
{
    g_scene.drawLog.meshDrawCount = 0;
    g_scene.drawLog.tintedMeshCount = 0;
}
