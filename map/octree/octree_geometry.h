// The triangle sets the octree holds: a node's own land triangles and the map-mesh pieces (the
// secondary sets) hung on it.
#pragma once
#include "core/types.h"
#include "map/meshes/map_face.h"

class IDirect3DTexture8;
class OctreeVertexMerge;

// A material stamp that every view counts as its own: the piece is drawn whatever view saw it.
constexpr u32_t OCTREE_ALWAYS_VISIBLE = 0x7FFF7FFF;

// The vertices a set can be given through AddVertex: faces index them with 16 bits.
constexpr u32_t OCTREE_MAX_SET_VERTICES = 0xFFFF;

// What a map-mesh piece takes from the mesh it was cut from, copied unchanged into every piece the
// splits make of it: the texture that identifies the mesh, and how the material passes draw it.
struct OctreeMaterialDraw {
    IDirect3DTexture8* texture = nullptr;
    u32_t filter = 0;  // minification and magnification filter
    u32_t mipFilter = 0;
    float maxAnisotropy = 0.0f;
    u32_t visibleStamp = 0;  // the packed view tile that last saw the piece, or OCTREE_ALWAYS_VISIBLE
};

// A triangle set; it owns both arrays (allocated with new[]) and frees them in Reset(true). A plain
// record: copies are shallow.
struct OctreeGeometry {
    MapVertex* vertices = nullptr;
    u32_t vertexCapacity = 0;
    u32_t vertexCount = 0;
    MapFace* faces = nullptr;
    u32_t faceCapacity = 0;
    u32_t faceCount = 0;
    // The set's first faces that map traces test: on a leaf, its own faces, which the land layer
    // copies follow. 0: every face is its own.
    u32_t traceFaceCount = 0;

    // Where the static map buffers hold the set: its first index and its first vertex.
    u32_t firstIndex = 0;
    u32_t baseVertex = 0;

    OctreeMaterialDraw material;  // map-mesh pieces only
    // Map-mesh pieces: 0 cuts the set on x and z only (an overlay, projected later onto the leaf's
    // own faces), non-zero on y as well.
    u32_t splitVertical = 0;

    // Box of the vertices added with AddVertex, and half its diagonal.
    Vector3 boundsMin = {1e30f, 1e30f, 1e30f};
    Vector3 boundsMax = {-1e30f, -1e30f, -1e30f};
    float boundsRadius = 0.0f;

    // The lookup that merges vertices while the set is being filled (from Init to Shrink).
    OctreeVertexMerge* merge = nullptr;

    // The faces that traces test; the layer copies after them are left out.
    u32_t OwnFaceCount() const { return traceFaceCount && traceFaceCount < faceCount ? traceFaceCount : faceCount; }

    // Gives an empty set room for the vertices (at most OCTREE_MAX_SET_VERTICES) and faces, with no
    // vertex yet and empty bounds. False when the set is not empty or the room cannot be made.
    bool Init(u32_t maxVertices, u32_t maxFaces);
    // The index of the first vertex whose position, texture coordinates and normal each lie within
    // a squared distance of 1e-6 of v; else v is appended (growing the array) and grows the bounds.
    // -1 when the set already holds OCTREE_MAX_SET_VERTICES vertices or the array cannot grow.
    s32_t AddVertex(const MapVertex& v);
    // Appends the face unless two of its indices are equal (then true, nothing added); the array
    // doubles when full (128 faces at first). Logs the face it adds, outside an OctreeFaceLogPause.
    // False when it cannot grow.
    bool AddFace(const MapFace& face);
    // Both arrays to exactly their counts (an empty one is freed); ends the vertex merging.
    bool Shrink();
    // Forgets both arrays (freeing them when asked), their capacities and counts; the rest stays.
    void Reset(bool freeArrays);

    // Room for count more faces without another allocation; false when it cannot be made.
    bool ReserveFaces(u32_t count);
    // Appends a copy of the face, growing the array.
    bool AppendFace(const MapFace& face);
};

// The engine log traces the faces that building the tree adds. Making a tree read back from its
// cache ready (the map-mesh pieces handed down and laid onto the land) builds nothing: while such a
// scope lives on this thread, AddFace adds its faces without the log line. Scopes nest.
class OctreeFaceLogPause {
public:
    OctreeFaceLogPause();
    ~OctreeFaceLogPause();
    OctreeFaceLogPause(const OctreeFaceLogPause&) = delete;
    OctreeFaceLogPause& operator=(const OctreeFaceLogPause&) = delete;
};

// Counts the changes made to any set through the operations above (g_map.geometryEpoch); data
// derived from a set (the map trace's prepared triangles) is made again once it differs. Code that
// fills the arrays of a set directly calls this too (or Reset first).
void OctreeGeometryChanged();

// A new empty set that carries what every piece of the source carries (material, splitVertical).
OctreeGeometry* OctreeGeometryNewPiece(const OctreeGeometry& source);
// Frees the set's arrays and the set.
void OctreeGeometryDelete(OctreeGeometry* set);
