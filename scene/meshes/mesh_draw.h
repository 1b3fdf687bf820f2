// The graphic-object mesh renderers: one frame of a node's distance-switched mesh list
// (MeshDrawLoopFrame over MeshDrawFrameMesh), the interpolating renderer between two frames or
// across a cross-fade (MeshDrawAnimated), and the small routines every mesh renderer shares: the
// under-water fog stage, normal unpacking, face access and the indexed draw of one mesh.
// Translucent meshes are not drawn at once: they become mesh draw records (kind 0), replayed back
// to front after the opaque world.
#pragma once
#include "core/types.h"
#include "platform/d3dx8_math.h"

class AnimMesh;
class Decal;
struct AnimFrameMesh;
struct MeshDrawArgs;
struct MeshSettings;

// Bits of a mesh's level-of-detail flags word (MeshSettings::lodMode).
constexpr u32_t MESH_LOD_DRAWN = 0x02;
constexpr u32_t MESH_LOD_ALPHA_TEST = 0x10;
constexpr u32_t MESH_LOD_NO_MIP = 0x20;
constexpr u32_t MESH_LOD_TRANSLUCENT = 0x40;
// Alpha-tested meshes keep the pixels whose alpha is at least this.
constexpr u32_t MESH_ALPHA_REF = 160;
// The stencil value a land-layer mesh writes, the static map's.
constexpr u32_t MESH_LAND_LAYER_STENCIL = 8;

// What a mesh renderer did: nothing, drew, or leaves a translucent mesh for the caller to queue.
constexpr s32_t MESH_DRAWN_NOTHING = 0;
constexpr s32_t MESH_DRAWN = 1;
constexpr s32_t MESH_TO_QUEUE = 2;

// The level-of-detail verdict on one mesh.
enum class MeshVerdict { Skip, Draw, Queue };
struct MeshLodVerdict {
    MeshVerdict verdict = MeshVerdict::Skip;
    bool alphaTest = false;
    bool noMip = false;
    bool lightingOff = false;  // the record does not keep lighting on for this mesh
    bool landLayer = false;
};
// step -1 leaves the step out (and the record with it: the one-frame path); otherwise a mesh whose
// own step is neither the step nor -1 is skipped, so 255 keeps only meshes of every step. A record
// (may be null) hides the mesh when its flags lack MESH_LOD_DRAWN, or when hide is asked and its
// hide byte is set; a step beyond the record's three reads only a one-setting record.
MeshLodVerdict MeshLodFilter(const AnimFrameMesh& mesh, const MeshSettings* record, s32_t step, bool hide);

// The two frames an interpolated mesh is drawn between.
struct MeshFramePair {
    const AnimMesh* first = nullptr;  // the animation of frame 1: the blend source while blending
    u32_t frame1 = 0;
    u32_t frame2 = 0;  // always of the current animation
    float t = 0.0f;    // weight of frame 2; frame 1 weighs 1 - t
    u32_t meshCount = 0;
    bool blending = false;
};
// The pair for a frame of the animation, or of a cross-fade from the blend source (non-null) at
// its frame with that weight. Frames wrap by frame count - 1, so the last frame is reached only as
// the second of a pair; a one-frame animation pairs frame 0 with itself. False for an animation
// without frames (nothing is drawn).
bool MeshFramePairOf(const AnimMesh* anim, const AnimMesh* source, float frame, float sourceFrame, float weight,
                     MeshFramePair* out);

// One frame of a node's mesh list. 0 for an empty list or an animation without frames, else 1.
s32_t MeshDrawLoopFrame(const MeshDrawArgs& args);
// One mesh of one frame: MESH_DRAWN_NOTHING, MESH_DRAWN (also for an attachment pin), or
// MESH_TO_QUEUE for a translucent mesh. step -1: no step filter.
s32_t MeshDrawFrameMesh(AnimMesh* anim, u32_t frame, u32_t mesh, IDirect3DTexture8* texture, const MeshSettings* record,
                        const D3DXMATRIX& world, s32_t step, bool hideWhenAsked);
// Every mesh of a node between two frames, or across a cross-fade.
void MeshDrawAnimated(const MeshDrawArgs& args);
// The second interpolating renderer: the meshes of the node's ready-made list for the step (the
// meshList argument), without pins, step or hide tests, each finished in one pass
// (MeshDrawFinishPass), whatever "rbsp" holds.
void MeshDrawAnimatedLodList(const MeshDrawArgs& args);
// One mesh of one frame without interpolation, as the indoor plug-in asks for it: lit, textured from
// the table by the material's texture index, then the reflection pass when the texture has both
// reflection textures, else the back faces lit by light 1 when the material is two-sided. A mesh
// without geometry, a missing frame or mesh, or a null mesh draws nothing.
void MeshDrawIndoor(AnimMesh* anim, u32_t meshIndex, u32_t frameIndex, IDirect3DTexture8* const* textures);
// MeshDrawAnimated with its arguments one by one, as the editor library calls it; the type id and the
// colours are not read.
void MeshDrawAnimatedHost(s32_t typeId, D3DMATRIX world, AnimMesh* mesh, AnimMesh* blendSource, float frame,
                          float blendSourceFrame, float blendWeight, IDirect3DTexture8* const* textures,
                          const u32_t* colours, u8_t fadeAlpha, Decal* const* decals, u32_t decalCount,
                          const MeshSettings* lodRecords, u8_t step);

// The under-water fog on a texture stage: the water fog texture addressed by the world offset
// from the camera, blended over the colour by its alpha. Any stage; End undoes it.
void UnderwaterFogStageBegin(u32_t stage);
void UnderwaterFogStageEnd(u32_t stage);
// Three signed bytes to floats, each / 127.
void UnpackNormal(const s8_t* packed, float* out);
// The three vertex numbers of face i.
void FaceGetIndices(const u16_t* faces, u32_t i, u16_t* out);
// Draws the current mesh as an indexed triangle list: from its GPU animation buffers when it is
// drawn from them, else from the locked streaming block (advancing it when asked).
void MeshDrawIndexed(const AnimFrameMesh* mesh, bool advance);
