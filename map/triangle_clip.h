// Cutting a triangle with texture coordinates to a map triangle: what lies inside the box (the
// prism) that the three planes through the map triangle's edges, standing perpendicular to it,
// enclose comes back as a triangle fan. Wire shadows are cut to the ground triangles this way.
#pragma once

struct D3DXVECTOR2;
struct D3DXVECTOR3;

// The most triangles one cut can give: three planes add at most three corners to a triangle.
constexpr int CLIP_TRIANGLE_MAX_VERTICES = 6;
constexpr int CLIP_TRIANGLE_MAX_TRIANGLES = CLIP_TRIANGLE_MAX_VERTICES - 2;

// Writes the fan as separate triangles (3 positions and 3 coordinate pairs each; room for
// CLIP_TRIANGLE_MAX_TRIANGLES) and returns their number; 0 for a degenerate map triangle or when
// nothing is left.
int ClipTriangleToBox(D3DXVECTOR3* outPositions, D3DXVECTOR2* outTexCoords, const D3DXVECTOR3* mapTriangle,
                      const D3DXVECTOR3* positions, const D3DXVECTOR2* texCoords);
