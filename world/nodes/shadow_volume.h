// Shadow volumes: the source's meshes extruded away from the sun (the faces towards it, the faces
// pushed away, and sides along the silhouette) for the stencil shadow passes. Rebuilt from the
// source's geometry enumeration whenever the source marked it stale.
#pragma once
#include "core/types.h"
#include "world/objects/shadow_object.h"

constexpr u32_t SHADOW_VOLUME_MAX_PIECES = 32;
// One mesh's limits: fewer triangles than MAX_FC, and twice its vertices fewer than MAX_VC.
constexpr u32_t SHADOW_MAX_FACES = 16384;
constexpr u32_t SHADOW_MAX_VERTICES = 16384;
// The geometry work buffer the rebuilds share.
constexpr u32_t SHADOW_WORK_BUFFER_SIZE = 0x80000;

// The extruded volume of one mesh. Capacities only grow.
struct ShadowVolumePiece {
    float* vertices = nullptr;  // owned; 3 floats each
    u32_t vertexCount = 0;
    u32_t vertexCapacity = 0;
    u16_t* indices = nullptr;  // owned; 3 per triangle
    u32_t triangleCount = 0;
    u32_t triangleCapacity = 0;
    u32_t capCount = 0;   // the first triangles are the caps: one per triangle of the mesh
    u32_t meshIndex = 0;  // the mesh's place in its frame's mesh list
};

class ShadowVolume : public ShadowObject {
public:
    explicit ShadowVolume(DynamicObject* sourceObject);
    ~ShadowVolume() override;

    // The built box; the estimate until the first rebuild and while the volume is stale.
    void GetGeometryBounds(float* box) override;
    // The volume of each mesh the source enumerates, for its first 32 meshes.
    void Rebuild() override;

    ShadowVolumePiece subMeshes[SHADOW_VOLUME_MAX_PIECES];
    u32_t subMeshCount = 0;
    u32_t subMeshTags[SHADOW_VOLUME_MAX_PIECES] = {};  // each piece's mode word from the enumeration
};

// Extrudes one mesh away from the sun. A triangle is lit when the sun lies strictly in front of it.
// Vertex vc + i is vertex i moved away from the sun by the mesh's own length when it has one, else
// by the default length for a source that moves; for a static source the move stops 5 units beyond
// the map surface it meets (a quarter of the default length when it meets none). Triangles: each
// lit one as it is, each unlit one on the moved vertices, then two sides for every edge of a lit
// triangle whose neighbour is unlit (an edge without a neighbour, 0xFFFF, adds none). The four
// in-out arguments then describe scratch arrays valid until the next build. False, with the
// arguments unchanged, for a mesh beyond the limits or with an index past its vertices.
bool ShadowVolumeBuild(const float** vertices, u32_t* vertexCount, const u16_t** triangles, u32_t* triangleCount,
                       const u16_t* neighbours, float defaultLength, float ownLength, bool isStatic);

// Frees the scratch and work buffers the builds share (they are made again when needed).
void ShadowBuildFree();
