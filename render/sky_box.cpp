#include "render/sky_box.h"

#include <cmath>
#include <cstring>

namespace {

constexpr int kQuadVertices = 4;
// Edges closer to parallel with the plane than this give no crossing.
constexpr float kParallelLimit = 1e-5f;

// Corner masks of the six faces.
constexpr u32_t kFaceCorners[kSkyBoxFaces][kQuadVertices] = {
    {5, 7, 3, 1}, {6, 4, 0, 2}, {5, 4, 6, 7}, {3, 2, 0, 1}, {7, 6, 2, 3}, {4, 5, 1, 0},
};
constexpr float kFaceTexCoords[kQuadVertices][2] = {{1.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 1.0f}, {1.0f, 1.0f}};

float PlaneDistance(const float* plane, const float* vertex)
{
    return plane[0] * vertex[0] + plane[1] * vertex[1] + plane[2] * vertex[2] + plane[3];
}

}  // namespace

void CubeCornerEmit(float** stream, u32_t cornerMask)
{
    float* out = *stream;
    out[0] = (cornerMask & 1) ? kSkyBoxHalfEdge : -kSkyBoxHalfEdge;
    out[1] = (cornerMask & 4) ? kSkyBoxHalfEdge : -kSkyBoxHalfEdge;
    out[2] = (cornerMask & 2) ? kSkyBoxHalfEdge : -kSkyBoxHalfEdge;
    *stream = out + 3;
}

void SkyBoxFaceQuad(int face, float* quad)
{
    for (int corner = 0; corner < kQuadVertices; ++corner) {
        float* vertex = quad + corner * kSkyVertexFloats;
        float* stream = vertex;
        CubeCornerEmit(&stream, kFaceCorners[face][corner]);
        vertex[3] = kFaceTexCoords[corner][0];
        vertex[4] = kFaceTexCoords[corner][1];
    }
}

int ClipPolygonByPlane(const float* plane, const float* quad, float* out)
{
    int written = 0;
    for (int i = 0; i < kQuadVertices; ++i) {
        const float* from = quad + i * kSkyVertexFloats;
        const float* to = quad + ((i + 1) % kQuadVertices) * kSkyVertexFloats;
        const bool fromInside = PlaneDistance(plane, from) >= 0.0f;
        const bool toInside = PlaneDistance(plane, to) >= 0.0f;
        if (fromInside) {
            std::memcpy(out + written * kSkyVertexFloats, from, sizeof(float) * kSkyVertexFloats);
            ++written;
        }
        if (fromInside == toInside)
            continue;
        const float denominator =
            plane[0] * (to[0] - from[0]) + plane[1] * (to[1] - from[1]) + plane[2] * (to[2] - from[2]);
        if (std::fabs(denominator) <= kParallelLimit)
            continue;
        const float t = (-(plane[0] * from[0] + plane[1] * from[1] + plane[2] * from[2]) - plane[3]) / denominator;
        if (t < 0.0f || t > 1.0f)
            continue;
        float* crossing = out + written * kSkyVertexFloats;
        for (int c = 0; c < kSkyVertexFloats; ++c)
            crossing[c] = from[c] + t * (to[c] - from[c]);
        ++written;
    }
    return written;
}
