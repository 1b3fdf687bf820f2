// The land's map meshes: named static scenery pieces of the ".lff" file, each with its collision
// mesh and texture, linked into the object grid for the map traces.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"

class CollisionMesh;
class IDirect3DTexture8;
struct ObjectGridEntry;

// Bits of MapMesh::flags.
constexpr u32_t MAP_MESH_LAND = 0x01;       // the name begins "land_"
constexpr u32_t MAP_MESH_COLLISION = 0x02;  // the name begins "col_"

struct MapMesh {
    EngineString name;
    u32_t flags = 0;
    CollisionMesh* collision = nullptr;    // owned
    EngineString textureName;              // as the file gives it; empty when absent
    IDirect3DTexture8* texture = nullptr;  // not owned; null without a name or when missing
    ObjectGridEntry* gridEntry = nullptr;  // owned; set by MapMeshesLinkToGrid
};
