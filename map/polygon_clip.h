// Clipping polygons with texture coordinates to the infinite prism over a triangle (the three
// planes through its edges that stand perpendicular to it); what remains comes back as a
// triangle fan. Decals are cut to the faces they lie on this way.
#pragma once

struct D3DXPLANE;
struct D3DXVECTOR2;
struct D3DXVECTOR3;

// Sutherland-Hodgman against one plane: a point is kept when a x + b y + c z + d >= -0.00001 (on
// the plane, within that distance, or in front), and an edge is split only when its ends lie
// further than that on opposite sides, so one that merely grazes the plane adds no point. Returns
// the vertices written.
int ClipPolygonToPlane(D3DXVECTOR3* outPositions, D3DXVECTOR2* outTexCoords, const D3DXPLANE* plane,
                       const D3DXVECTOR3* positions, const D3DXVECTOR2* texCoords, int count);
// Keeps the part of the quad (4 corners) inside the triangle's prism and writes it as a fan of at
// most 5 triangles (3 positions and 3 coordinate pairs each). The side planes have unit normals, so
// faces of any size are cut alike. Returns the triangles written; 0 when the triangle's corners are
// collinear (relative to its size) or when nothing is left.
int ClipQuadToTrianglePrism(D3DXVECTOR3* outPositions, D3DXVECTOR2* outTexCoords, const D3DXVECTOR3* triangle,
                            const D3DXVECTOR3* quadPositions, const D3DXVECTOR2* quadTexCoords);
