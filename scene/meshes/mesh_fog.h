// The object fog of the mesh renderers: whether a mesh lies in the fog, how strongly, and the
// texture transform of the per-vertex fog pass. Every mesh, plant and vegetation renderer decides
// through these, so that the fog band is the same everywhere.
#pragma once
#include "core/types.h"
#include "platform/d3dx8_math.h"

struct AnimVertexData;

// The fog alpha of a distance: 0 up to the fog start, then min(255, 255 x t^power) with t the
// share of the way from the start to the range. A range not beyond the start leaves no band: full
// fog from the start on. Distances, start and range in the same units. Never more than 255, and a
// power that gives no number counts as full fog.
u8_t FogAlphaAt(float distance, float start, float range, float power);

struct MeshFog {
    bool applies = false;    // beyond the fog start, "rbfog" on and the alternative view off
    bool perVertex = false;  // the radius is above "rfobjrad" and the range above 0: the fog texture's pass
    float distance = 0.0f;   // from the camera to the far side of the mesh's sphere
    float radius = 0.0f;
    D3DCOLOR colour = 0;       // "mcfogcolor" with the distance alpha
    D3DCOLOR plainColour = 0;  // "mcfogcolor" with its own alpha
};

// The fog of a mesh whose vertex block is placed by the world matrix, seen from the camera of the
// view being drawn ("mffogstart", "mfrange" and "mffogpow" in tenths of world units). A null block
// gives no fog.
MeshFog MeshFogDecide(const AnimVertexData* vertices, const D3DXMATRIX& world);

// The texture transform of the per-vertex fog pass from the view matrix: camera-space positions
// become (u, v) = 0.5 + (dx, dz) / (20 x range) for the world-aligned offset (dx, dz) from the
// camera. False (and the identity) when the range is not above 0.
bool FogVertexTransform(const D3DXMATRIX& view, float range, D3DXMATRIX* out);
