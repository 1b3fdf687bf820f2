// Pieces the decal builders share: the work buffer of cut triangles, the square's frame, and the
// walks over the objects, nodes and map leaves that can take decals.
#pragma once
#include <vector>

#include "core/types.h"
#include "platform/d3dx8_math.h"

struct AnimFrameMesh;
struct AnimMaterial;
class AnimMesh;
class Decal;
class DynamicObject;
class GraphNode;
class GraphObj;
class IDirect3DTexture8;
struct OctreeNode;

namespace decal_work {

constexpr float kPushOut = 0.001f;
constexpr float kSqrt2 = 1.41421356f;

// Triangles gathered for one decal, with the mesh and material of each when asked for.
class DecalTriangles {
public:
    DecalTriangles(u32_t capacity, bool perTriangle);
    void Reset() { count = 0; }
    // Clips the square to the face and appends the pieces, each vertex moved by push.
    void AddClipped(const D3DXVECTOR3* face, const D3DXVECTOR3* square, const D3DXVECTOR3& push, AnimFrameMesh* mesh,
                    AnimMaterial* material);

    std::vector<float> positions;  // 9 per triangle
    std::vector<float> texCoords;  // 6 per triangle
    std::vector<AnimFrameMesh*> meshes;
    std::vector<AnimMaterial*> materials;
    u32_t count = 0;
    u32_t capacity;
    bool perTriangle;
};

// What every decal of one event shares; the walks make each decal from it.
struct DecalEvent {
    s32_t kind = 0;       // DecalKind
    Vector3 centre = {};  // where the event happened, in world space
    float spacingRadius = 0.0f;
    u8_t lightTint = 1;
    u8_t facesLight = 1;
    u32_t lifetime = 0;
    IDirect3DTexture8* const* textures = nullptr;  // each decal takes one of them
    u32_t textureCount = 0;
    bool spacingTest = false;  // whether the owner drops a decal too near one it holds
};

// One of the textures chosen by the engine's generator; none (and no number drawn) for an empty list.
IDirect3DTexture8* PickDecalTexture(IDirect3DTexture8* const* textures, u32_t count);
// A new decal of the work buffer's triangles with one of the event's textures (kind, centre,
// spacing and tint from the event), handed to its owner: the node, in the node's space with the
// per-triangle arrays, or the world renderer's list, in world space, for the static map geometry.
void AddNodeDecal(const DecalTriangles& work, const DecalEvent& event, GraphNode& node);
void AddWorldDecal(const DecalTriangles& work, const DecalEvent& event);

// The square's frame on a surface with the normal: U = reference x N, V = N x U, normalised, with
// the reference +z, or +y when the normal lies nearly along z.
void SurfaceFrame(const D3DXVECTOR3& normal, D3DXVECTOR3* u, D3DXVECTOR3* v);
// Turns both directions by the angle about the axis.
void RotateFrame(const D3DXVECTOR3& axis, float angle, D3DXVECTOR3* u, D3DXVECTOR3* v);
// The corners c0..c3 = centre + half(-U - V), (U - V), (U + V), (-U + V).
void SquareCorners(const D3DXVECTOR3& centre, const D3DXVECTOR3& u, const D3DXVECTOR3& v, float half,
                   D3DXVECTOR3* corners);

// Random size of a decal: r / 32767 of the way from the minimum to the maximum.
float RandomBetween(float minimum, float maximum);
float RandomAngle();
// 2000 to 7000 ms.
u32_t RandomLifetime();

// Each registry object that takes decals: collidable, named, a graphic object, with bounds
// overlapping the box (closed intervals); actors and one object may be left out.
void CollectDecalObjects(const float* worldBox, bool skipActors, const DynamicObject* skip,
                         std::vector<GraphObj*>& out);
// The nodes of the tree that hold a mesh, in the builders' order (a stack: pop, handle, push the
// children in index order).
void CollectMeshNodes(GraphNode* root, std::vector<GraphNode*>& out);
// Whether frame-0 mesh m of the node takes decals: detail level 0 or -1, shown at level 0, flags
// with bit value 2, and its box overlapping the box in node space.
bool MeshTakesDecals(const GraphNode& node, const AnimMesh& mesh, u32_t m, const D3DXVECTOR3& boxMin,
                     const D3DXVECTOR3& boxMax);
// The node's world matrix and its inverse; false when it has none.
bool NodeSpace(GraphNode& node, D3DXMATRIX* world, D3DXMATRIX* inverse);

// Octree leaves under a world box with their tiles.
struct CollectedLeaf {
    OctreeNode* leaf;
    u32_t tiles;  // (x & 0xFFFF) | (z << 16)
};
int DecalCollectOctreeLeaf(OctreeNode* leaf, s32_t tileX, s32_t tileZ);
// Runs the octree query and returns the leaves it reported (the list is reused by the next query).
const std::vector<CollectedLeaf>& CollectOctreeLeaves(const float* worldBox);
u32_t LeafFaceCount(const CollectedLeaf& entry);
// A leaf face in world space: false when its indices do not address the leaf's vertices.
bool LeafFace(const CollectedLeaf& entry, u32_t face, D3DXVECTOR3* out);

}  // namespace decal_work
