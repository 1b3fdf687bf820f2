// The object drawing's view of the world renderer: the switches of the mesh renderers and the draw
// log of what objects hand to the mesh paths. The draw log keeps every mesh and tinted-mesh call of a
// frame, which the tests read.
#include "scene/meshes/object_draw.h"

#include "render/camera.h"
#include "scene/scene_state.h"
#include "world/nodes/graph_node.h"
#include "world/scene_view.h"

void SceneDrawLogAdd(MeshDrawPath path, const MeshDrawArgs& args)
{
    SceneDrawLog& log = g_scene.drawLog;
    if (log.meshDrawCount < SCENE_DRAW_LOG_SIZE) {
        MeshDrawCall& call = log.meshDraws[log.meshDrawCount];
        call.path = path;
        call.args = args;
        call.world = args.world ? *args.world : D3DMATRIX{};
        call.args.world = &call.world;
        call.node = g_sceneView.drawingNode;
        call.passSelector = g_scene.materialComponentMask;
        call.animated = g_scene.animatedFlag;
    }
    ++log.meshDrawCount;
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

void SceneDrawLogClear()
{
    g_scene.drawLog.meshDrawCount = 0;
    g_scene.drawLog.tintedMeshCount = 0;
}
