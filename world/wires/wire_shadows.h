// Static shadows of the wires: built once per mission by projecting each span's
// wire shapes along the sun onto the map triangles below them and cutting them to those triangles.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"

class IDirect3DTexture8;
struct OctreeNode;

// Per-span limits of the build: caster vertices, touched octree leaves, output vertices.
constexpr u32_t WIRE_SHADOW_MAX_CASTER_VERTICES = 1500 * 3;
constexpr u32_t WIRE_SHADOW_MAX_LEAVES = 32;
constexpr u32_t WIRE_SHADOW_MAX_OUTPUT_VERTICES = 21500 * 3;
// Caster vertices are projected along this length of the sun direction.
constexpr float WIRE_SHADOW_PROJECTION_LENGTH = 200000.0f;

// A textured triangle list on the map geometry under one span.
struct WireShadowMesh {
    WireShadowMesh() = default;
    ~WireShadowMesh();
    WireShadowMesh(const WireShadowMesh&) = delete;
    WireShadowMesh& operator=(const WireShadowMesh&) = delete;

    EngineString name;                     // "con_obj_shadow"
    IDirect3DTexture8* texture = nullptr;  // the group's
    Vector3* positions = nullptr;          // vertexCount, three per triangle
    float* texCoords = nullptr;            // two per vertex
    u32_t vertexCount = 0;
    Vector3 boxMin;
    Vector3 boxMax;
    WireShadowMesh* next = nullptr;  // the next record of the point set's list
};

// Frees a list of shadow meshes.
void WireFreeShadowMeshes(WireShadowMesh* list);

// Octree query callback of the build: adds a leaf that holds geometry to the touched-leaf list,
// once per leaf and tile. 0 always.
int ConObjCollectLeaf(OctreeNode* leaf, s32_t tileX, s32_t tileZ);
