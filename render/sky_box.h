// Geometry of the sky box: a cube of edge 100 centred on the camera, its faces clipped by a plane
// where a view needs it (water reflection). Sky-box vertices are five floats: x, y, z, u, v.
#pragma once
#include "core/types.h"

constexpr int kSkyVertexFloats = 5;
constexpr float kSkyBoxHalfEdge = 50.0f;

// Writes one corner of the cube and advances the write pointer by three floats: x = +50 when bit 0
// of the mask is set (else -50), y by bit 2, z by bit 1.
void CubeCornerEmit(float** stream, u32_t cornerMask);

// The faces in the order of their textures (+x, -x, +y, -y, +z, -z, as the environment maps).
constexpr int kSkyBoxFaces = 6;

// Writes the quad of a face (four vertices of five floats): the corners of its mask table with the
// texture coordinates (1, 0), (0, 0), (0, 1), (1, 1) in this order; v = 0 along the top of a side face.
void SkyBoxFaceQuad(int face, float* quad);

// Keeps the part of the quad (four vertices of five floats) where a x + b y + c z + d >= 0 and
// writes it to out (room for eight vertices); the number of vertices written.
int ClipPolygonByPlane(const float* plane, const float* quad, float* out);
