// What the mesh renderers share between their files: the state of the mesh being drawn and the
// steps every renderer takes around one node and one mesh. Only the mesh renderers include this.
#pragma once
#include "core/types.h"
#include "platform/d3dx8_math.h"

class AnimMesh;
struct AnimFrameMesh;
struct AnimMaterial;
struct AnimVertexData;
struct MeshDrawArgs;
struct MeshSettings;

namespace mesh_draw_detail {

// The state of the mesh being drawn, shared by the passes of one mesh.
struct CurrentMesh {
    const AnimFrameMesh* record = nullptr;  // frame 1's record
    const AnimMaterial* material = nullptr;
    u32_t vertexCount = 0;
    u32_t faceCount = 0;
    bool gpu = false;        // drawn from the GPU animation buffers
    bool alphaTest = false;  // alpha-tested at MESH_ALPHA_REF
    bool lighting = true;    // mirrors the last D3DRS_LIGHTING these renderers set
};
extern CurrentMesh g_mesh;

// Where one mesh's data comes from: frame 1 and frame 2 (possibly of two animations) and the
// weight t of frame 2. A single frame is the pair of a frame with itself.
struct MeshSource {
    const AnimMesh* anim1 = nullptr;
    u32_t frame1 = 0;
    const AnimMesh* anim2 = nullptr;
    u32_t frame2 = 0;
    u32_t index = 0;
    float t = 0.0f;
};

// How a mesh's passes end: the one-frame path's passes (fog after the last), the interpolating
// renderer's multi-pass ending (fog after every pass) or the single-pass ending.
enum class Ending { FrameMesh, MultiPass, SinglePass };

// A node's texture and level-of-detail record of a mesh: the node holds them for the meshes of
// frame 0 only, so a later frame's further meshes have none.
IDirect3DTexture8* NodeTexture(const MeshDrawArgs& args, u32_t index);
const MeshSettings* NodeRecord(const MeshDrawArgs& args, u32_t index);

void SetLighting(bool on);
// The mesh material with the colour terms of the pass selector (a clear bit gives black); in night
// vision ambient and diffuse are the night-vision colours; power 4 x 2^(10 x glossiness).
void SetMeshMaterial(const AnimMaterial* m);
// The states every node begins with (blending off, lighting and specular on, its world matrix)
// and ends with (alpha test and specular off). SetNodeStates is the beginning without the matrix.
void SetNodeStates();
void BeginNode(const D3DXMATRIX& world);
void EndNode();
// Lighting and mip filtering back after a mesh whose record changed them.
void RestoreAfterMesh(const MeshSettings* record, bool noMip);
// The three axis lines of an attachment pin while "rbshowpins" is on.
void DrawPins(const MeshSource& src, const D3DXMATRIX& world);
// Queues a translucent mesh as a mesh draw record; false while recording is off.
bool QueueMesh(const MeshDrawArgs& args, const D3DXMATRIX& world, u32_t index, const AnimVertexData* centreBlock,
               const AnimMaterial* material);
// Draws one mesh that passed its filter: material, stage 0, geometry and the ending; land-layer
// meshes take the land-layer passes instead.
void DrawMesh(const MeshSource& src, IDirect3DTexture8* texture, bool landLayer, const D3DXMATRIX& world, bool allowGpu,
              Ending ending);

}  // namespace mesh_draw_detail
