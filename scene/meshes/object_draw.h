// What the graphic-object drawing reads of the world renderer and hands to it: the camera of the
// view, the default level-of-detail switch distances, the pass selector, the animated flag, the
// three mesh-draw paths and the tinted-mesh drawing of decals. Every draw call is also recorded as
// it is handed over (g_scene.drawLog, the first SCENE_DRAW_LOG_SIZE of each kind since the last
// SceneDrawLogClear), so that what an object asks to draw can be seen.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"
#include "scene/meshes/gpu_anim_buffers.h"
#include "scene/meshes/mesh_draw.h"

class AnimMesh;
class Decal;
struct AnimFrameMesh;
class GraphNode;
struct LodLevel;
struct MeshSettings;

constexpr s32_t SCENE_DRAW_LOG_SIZE = 64;
// Pass selector bits: which material colour terms the mesh renderers use.
constexpr u32_t PASS_SELECTOR_ALL_TERMS = 15;

enum MeshDrawPath : s32_t {
    MESH_DRAW_LOOP_FRAME = 0,         // one frame of a distance-switched mesh list
    MESH_DRAW_ANIMATED = 1,           // the general path, with the per-mesh colours
    MESH_DRAW_ANIMATED_LOD_LIST = 2,  // the path over a node's prebuilt level-of-detail mesh list
};

// The values an object hands a mesh-draw path for one node.
struct MeshDrawArgs {
    s32_t typeId = 0;
    const D3DMATRIX* world = nullptr;
    AnimMesh* mesh = nullptr;
    AnimMesh* blendSource = nullptr;  // the mesh cross-faded from, or null
    float frame = 0.0f;
    float blendSourceFrame = 0.0f;
    float blendWeight = 0.0f;
    IDirect3DTexture8* const* textures = nullptr;
    const u32_t* colours = nullptr;  // the general path's per-mesh colours
    u8_t fadeAlpha = 0;
    Decal* const* decals = nullptr;
    u32_t decalCount = 0;
    const MeshSettings* lodRecords = nullptr;
    const LodLevel* meshList = nullptr;  // the loop-frame and list paths
    u8_t step = 0;
};

// One recorded mesh draw: the path, its arguments with a copy of the matrix, and the renderer
// state it was made under.
struct MeshDrawCall {
    MeshDrawPath path = MESH_DRAW_LOOP_FRAME;
    MeshDrawArgs args;
    D3DMATRIX world = {};
    GraphNode* node = nullptr;  // the node being drawn (g_sceneView.drawingNode)
    u32_t passSelector = 0;
    u8_t animated = 0;
};

struct SceneDrawLog {
    MeshDrawCall meshDraws[SCENE_DRAW_LOG_SIZE];
    s32_t meshDrawCount = 0;  // calls made, also past the recorded ones
    const Decal* tintedMeshes[SCENE_DRAW_LOG_SIZE] = {};
    s32_t tintedMeshCount = 0;
};

// The default table of three level-of-detail switch distances (0, 120, 250 at start).
const float* RenderGetLodDistances();
// The pass selector the object and mesh renderers read (all bits set at start).
void RenderSetPassSelector(u32_t value);
u32_t RenderGetPassSelector();
// The mesh renderers' switches. Each mission's device-buffer preparation puts them back to their
// start values (not animated, fog on, batching on); after that they change only through these.
// The current object's animated flag, marked in each draw record it queues.
void RenderSetAnimatedFlag(bool animated);
// Whether meshes may take their fog pass.
void RenderSetObjectFog(bool enabled);
// Whether distance-faded objects and the HUD's map items are batched.
void RenderSetBatching(bool enabled);

// The three mesh-draw paths are MeshDrawLoopFrame, MeshDrawAnimated and MeshDrawAnimatedLodList
// (scene/meshes/mesh_draw.h); each adds the call to the draw log.
// Adds a mesh-draw call to the draw log.
void SceneDrawLogAdd(MeshDrawPath path, const MeshDrawArgs& args);
// Draws a decal in a single colour from its world transform (scene/passes/decal_pass.h); the call is
// added to the draw log.
void RenderDrawTintedMesh(const Decal* record, const AnimFrameMesh* faceMesh);

// Forgets the recorded draw calls.
void SceneDrawLogClear();
