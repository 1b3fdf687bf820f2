// Clipping polygons with texture coordinates to the infinite prism over a triangle (the three
// planes through its edges that stand perpendicular to it); what remains comes back as a triangle
// fan. Decals, wire shadows and the overlays laid on the land are all cut to the faces they lie on
// by this one clipper.
//
// Every side plane has a unit normal and faces the triangle's opposite corner, whatever the
// triangle's winding, so faces of any size are cut alike. A clip triangle is degenerate (nothing is
// kept) when its corners are collinear relative to its size.
#pragma once

struct D3DXPLANE;
struct D3DXVECTOR2;
struct D3DXVECTOR3;
struct MapVertex;

// Within this distance of a plane (world units) a point counts as on it: it is kept, and an edge is
// split only when its ends lie further than this on opposite sides, so an edge that merely grazes
// the plane adds no near-duplicate point.
constexpr float CLIP_PLANE_TOLERANCE = 1e-5f;

// Sutherland-Hodgman against one plane: keeps what lies on or in front of it (a x + b y + c z + d
// >= -CLIP_PLANE_TOLERANCE). The output needs room for twice the count. Returns the vertices written.
int ClipPolygonToPlane(D3DXVECTOR3* outPositions, D3DXVECTOR2* outTexCoords, const D3DXPLANE* plane,
                       const D3DXVECTOR3* positions, const D3DXVECTOR2* texCoords, int count);

// Keeps the part of the polygon (count corners, convex) inside the triangle's prism and writes it as
// a fan of separate triangles (3 positions and 3 coordinate pairs each; room for count + 1
// triangles). Returns the triangles written; 0 for a degenerate triangle or when fewer than 3
// corners are left. A result of count + 3 corners or more is an internal error ("nCnt<nVcnt+3").
int ClipPolygonToTrianglePrism(D3DXVECTOR3* outPositions, D3DXVECTOR2* outTexCoords, const D3DXVECTOR3* triangle,
                               const D3DXVECTOR3* positions, const D3DXVECTOR2* texCoords, int count);
// The same for a quad (4 corners): at most 5 triangles.
int ClipQuadToTrianglePrism(D3DXVECTOR3* outPositions, D3DXVECTOR2* outTexCoords, const D3DXVECTOR3* triangle,
                            const D3DXVECTOR3* quadPositions, const D3DXVECTOR2* quadTexCoords);

// The most corners a triangle keeps: three planes add at most three corners to it.
constexpr int CLIP_TRIANGLE_MAX_VERTICES = 6;
constexpr int CLIP_TRIANGLE_MAX_TRIANGLES = CLIP_TRIANGLE_MAX_VERTICES - 2;

// The same for a triangle: at most CLIP_TRIANGLE_MAX_TRIANGLES triangles.
int ClipTriangleToTrianglePrism(D3DXVECTOR3* outPositions, D3DXVECTOR2* outTexCoords, const D3DXVECTOR3* triangle,
                                const D3DXVECTOR3* triPositions, const D3DXVECTOR2* triTexCoords);

// The overlay builder's variant: the triangle inTriangle (3 map vertices) cut to the prism over the
// map triangle, written as a polygon of map vertices (room for CLIP_TRIANGLE_MAX_VERTICES) with
// their texture coordinates interpolated and their normals those of the input's first corner.
// Returns its corners; 0 when nothing is left or the triangle is degenerate.
int ClipPositionsToTrianglePrism(MapVertex* out, const MapVertex* triangle, const MapVertex* inTriangle);
