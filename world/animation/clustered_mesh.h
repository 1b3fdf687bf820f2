// Clustered static meshes: the groups of static objects that "mission.ctr" names are merged at
// mission start into one mesh per texture (mesh clusters), and those into one mesh per group over
// a texture atlas (the group's level-of-detail cluster). Seen from far away a group is drawn as
// that one mesh with a single draw call and its objects are marked as handled for the pass.
#pragma once
#include <vector>

#include "core/strings/engine_string.h"
#include "core/strings/grow_array.h"
#include "core/strings/ptr_array.h"
#include "core/types.h"
#include "platform/d3d8.h"

struct AnimMaterial;
class DynamicObject;
struct D3DXPLANE;

constexpr float CLUSTER_DEFAULT_SWITCH_DISTANCE = 2000.0f;
// Atlas of the level-of-detail cluster: each source contributes its level-3 image.
constexpr int CLUSTER_ATLAS_SIZE = 512;
constexpr int CLUSTER_ATLAS_LEVEL = 3;
// Vertices and faces of one cluster stay below this.
constexpr u32_t CLUSTER_INDEX_LIMIT = 65536;

// The clusters the frame's lists hold at most.
constexpr u32_t CLUSTER_MAX_LOD_CLUSTERS = 128;
constexpr u32_t CLUSTER_MAX_MESH_CLUSTERS = 512;
// A cluster batch drawn with alpha blending.
constexpr u8_t CLUSTER_BATCH_ALPHA = 0x10;

// The faces and vertices one merged object mesh added to a cluster, and the world tile its object
// stands in (z in the high 16 bits, x in the low, as the visibility pass numbers tiles): a batch
// draws only the ranges of the tile being drawn.
struct ClusterMeshRange {
    u32_t firstVertex = 0;
    u32_t vertexCount = 0;
    u32_t firstFace = 0;
    u32_t faceCount = 0;
    u32_t tileWord = 0;
};

// Merged geometry in world space: a mesh cluster (one texture) or a group's level-of-detail
// cluster (the atlas). Each is one batch: its geometry, texture and material, with device buffers.
struct MeshCluster {
    ~MeshCluster();
    void ReleaseBuffers();
    // Whether vertices and faces can be added without reaching the limit.
    bool CanTake(u32_t addedVertices, u32_t addedFaces) const
    {
        return vertexCount + addedVertices < CLUSTER_INDEX_LIMIT && faceCount + addedFaces < CLUSTER_INDEX_LIMIT;
    }

    std::vector<float> positions;  // 3 per vertex
    std::vector<float> normals;    // 3 per vertex
    std::vector<u16_t> faces;      // 3 per triangle
    std::vector<float> texCoords;  // 2 per vertex
    u16_t vertexCount = 0;
    u16_t faceCount = 0;
    IDirect3DTexture8* texture = nullptr;  // the key of a mesh cluster; the atlas of a group's
    AnimMaterial* material = nullptr;
    IDirect3DVertexBuffer8* vertexBuffer = nullptr;
    IDirect3DIndexBuffer8* indexBuffer = nullptr;

    std::vector<ClusterMeshRange> ranges;  // in face order
    // Frame marks: visible is set by ClusteredObjDrawVisible for the view; tileMark holds the tile
    // word of the last tile whose level-of-detail cluster drew this cluster's group.
    u32_t visible = 0;
    u32_t tileMark = 0;
    u8_t hidden = 0;      // the batch is not drawn on its own
    u8_t batchFlags = 0;  // CLUSTER_BATCH_ALPHA
    // A level-of-detail cluster's mesh clusters (those of its group); empty for a mesh cluster.
    MeshCluster* const* list = nullptr;
    u32_t listCount = 0;
};

struct ClusterGroup {
    ClusterGroup() = default;
    ~ClusterGroup();
    ClusterGroup(const ClusterGroup&) = delete;
    ClusterGroup& operator=(const ClusterGroup&) = delete;

    EngineString name;
    MeshCluster* lodCluster = nullptr;
    // Owned; records of one texture stand next to each other.
    GrowArray<MeshCluster*> meshClusters;
    // Not owned: the world registry keeps the objects.
    GrowArray<DynamicObject*> objects;
    Vector3 boxMin;
    Vector3 boxMax;
    u32_t visible = 0;  // set by the last ClusteredObjSelectLods: the group stands in for its objects
    u32_t inView = 0;   // set by the last ClusteredObjUpdateVisibility: the group's box is in the view
    Vector3 centre;
    float radius = 0.0f;
    float switchDistance = CLUSTER_DEFAULT_SWITCH_DISTANCE;
};

// Builds every group of the mission folder's "mission.ctr"; false when the file cannot be read or
// holds no entry.
bool ClusteredObjLoad(const char* missionFolder);
// Frees every group with its clusters and buffers; the objects are untouched.
void ClusteredObjFreeAll();
// Per view: marks each group whose box has a corner in front of every plane (a box crossing a plane
// counts as in view).
void ClusteredObjUpdateVisibility(const D3DXPLANE* planes, u32_t planeCount);
// Per view: a group stands in for its objects when the viewer is outside its sphere, far enough
// that tan(fov / 2) x distance passes its switch distance, and its box is inside the planes; its
// objects then carry the visit mark so that the object pass skips them.
void ClusteredObjSelectLods(const Vector3& viewPosition, float fieldOfView, const D3DXPLANE* planes, u32_t planeCount,
                            u32_t visitMark);
// Marks the clusters of the view for the batch draw: the level-of-detail cluster of every group
// chosen by the last selection (when it has its buffers), and that group's mesh clusters.
void ClusteredObjDrawVisible();
// The level-of-detail clusters (at most 128) and the mesh clusters (at most 512) of every group, in
// group order; what lies past the limits is left out (with a warning at load).
MeshCluster* const* ClusteredObjGetLodClusters(u32_t* count);
MeshCluster* const* ClusteredObjGetMeshClusters(u32_t* count);
// Writes the mark into the tile mark of every cluster of the list.
void ClusterListMarkAll(MeshCluster* const* list, u32_t count, u32_t mark);
// The tile word of a world position (z tile in the high 16 bits, x tile in the low).
u32_t ClusterTileWordOf(const Vector3& position);

// The groups (null before the first load and after ClusteredObjFreeAll).
PtrArray<ClusterGroup>* ClusteredObjGroups();

// Device resets and mode changes: the buffers go with the device's default-pool resources and are
// made again from the kept geometry. The load registers both with the render device; freeing the
// groups unregisters them.
void ClusteredObjReleaseDeviceBuffers();
void ClusteredObjCreateDeviceBuffers();
// After a display-mode change, once the textures are reloaded: each group's atlas, which has no
// file to be reloaded from, is built again from its sources into the handle the group keeps.
void ClusteredObjRebuildAtlases();
