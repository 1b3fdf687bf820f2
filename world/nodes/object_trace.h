// The object part of a trace record: what a world object's ray trace reads of the request and
// writes of its nearest hit. The map trace copies the block whole between records.
#pragma once
#include "core/types.h"

class GraphNode;
class Material;

// Option bits of objOptions.
constexpr u32_t OBJTRACE_NORMAL = 0x01;          // compute objNormal
constexpr u32_t OBJTRACE_ALPHA = 0x02;           // texels of an alpha map below objAlphaThreshold let the ray through
constexpr u32_t OBJTRACE_MATERIAL = 0x04;        // fill objMaterial and objTextureName
constexpr u32_t OBJTRACE_WITHIN_SEGMENT = 0x08;  // object hits count only within the segment (map trace)
constexpr u32_t OBJTRACE_SKIP_NOCLIP = 0x10;     // skip meshes set "noclip"
constexpr u32_t OBJTRACE_MARKED = 0x20;          // meshes marked 0x80 are traced whatever else they say
constexpr u32_t OBJTRACE_ALPHA_EXEMPT = 0x40;    // with OBJTRACE_ALPHA: ground-clip meshes ignore the alpha map

// A trace that hits nothing reports this distance.
constexpr float OBJTRACE_NO_HIT = 1e31f;

struct ObjectTraceBlock {
    Vector3 objOrigin;       // the world ray origin given to the trace
    Vector3 objDirection;    // the world ray direction (a unit vector)
    Vector3 objTriangle[3];  // on a hit: the triangle's corners in world space, in face order
    Vector3 objHitPoint;     // on a hit: objOrigin + objDistance x objDirection
    Vector3 objNormal;       // on a hit with OBJTRACE_NORMAL: unit normal in world space
    float objDistance;       // ray parameter of the nearest hit; OBJTRACE_NO_HIT for none
    GraphNode* objHitNode;   // the node whose mesh was hit (the traced node when nothing was)
    Material* objMaterial;   // on a hit with OBJTRACE_MATERIAL
    char objTextureName[128];
    u8_t objAlphaThreshold;  // request
    u32_t objOptions;        // request
    float objTexCoord[2];    // on a hit: (s, t) wrapped into [0, 1)
    u32_t objMeshIndex;      // on a hit: the mesh in the frame's mesh list
    u32_t objFaceIndex;      // on a hit: the face in that mesh
};
