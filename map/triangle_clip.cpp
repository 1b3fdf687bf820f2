#include "map/triangle_clip.h"

#include "platform/d3dx8_math.h"

namespace {

// One plane adds at most one corner to a convex polygon.
constexpr int kWorkVertices = CLIP_TRIANGLE_MAX_VERTICES;

// Sutherland-Hodgman against one plane of unit normal: keeps what lies at or in front of it.
// Distances are in world units, so small triangles are cut as exactly as large ones.
int ClipToPlane(D3DXVECTOR3* outPositions, D3DXVECTOR2* outTexCoords, const D3DXPLANE& plane,
                const D3DXVECTOR3* positions, const D3DXVECTOR2* texCoords, int count)
{
    int written = 0;
    int previous = count - 1;
    float previousDistance = D3DXPlaneDotCoord(&plane, &positions[previous]);
    for (int i = 0; i < count; ++i) {
        const float distance = D3DXPlaneDotCoord(&plane, &positions[i]);
        if ((distance < 0.0f) != (previousDistance < 0.0f) && written < kWorkVertices) {
            const float t = previousDistance / (previousDistance - distance);
            const D3DXVECTOR3& a = positions[previous];
            const D3DXVECTOR2& ua = texCoords[previous];
            outPositions[written] = a + (positions[i] - a) * t;
            outTexCoords[written] = D3DXVECTOR2(ua.x + (texCoords[i].x - ua.x) * t, ua.y + (texCoords[i].y - ua.y) * t);
            ++written;
        }
        if (distance >= 0.0f && written < kWorkVertices) {
            outPositions[written] = positions[i];
            outTexCoords[written] = texCoords[i];
            ++written;
        }
        previous = i;
        previousDistance = distance;
    }
    return written;
}

}  // namespace

int ClipTriangleToBox(D3DXVECTOR3* outPositions, D3DXVECTOR2* outTexCoords, const D3DXVECTOR3* mapTriangle,
                      const D3DXVECTOR3* positions, const D3DXVECTOR2* texCoords)
{
    const D3DXVECTOR3 side0 = mapTriangle[1] - mapTriangle[0];
    const D3DXVECTOR3 side1 = mapTriangle[2] - mapTriangle[0];
    D3DXVECTOR3 normal;
    D3DXVec3Cross(&normal, &side0, &side1);
    if (D3DXVec3LengthSq(&normal) < 1e-20f)
        return 0;

    D3DXVECTOR3 work[2][kWorkVertices];
    D3DXVECTOR2 workUv[2][kWorkVertices];
    for (int i = 0; i < 3; ++i) {
        work[0][i] = positions[i];
        workUv[0][i] = texCoords[i];
    }
    int count = 3;
    int current = 0;
    for (int edge = 0; edge < 3; ++edge) {
        const D3DXVECTOR3& a = mapTriangle[edge];
        const D3DXVECTOR3 along = mapTriangle[(edge + 1) % 3] - a;
        D3DXVECTOR3 inward;
        D3DXVec3Cross(&inward, &normal, &along);
        // Keep the half that holds the opposite corner, whatever the winding.
        const D3DXVECTOR3 towardCorner = mapTriangle[(edge + 2) % 3] - a;
        if (D3DXVec3Dot(&inward, &towardCorner) < 0.0f)
            inward = -inward;
        D3DXVec3Normalize(&inward, &inward);
        D3DXPLANE plane;
        D3DXPlaneFromPointNormal(&plane, &a, &inward);
        count = ClipToPlane(work[1 - current], workUv[1 - current], plane, work[current], workUv[current], count);
        current = 1 - current;
        if (count < 3)
            return 0;
    }
    for (int k = 0; k < count - 2; ++k) {
        const int corners[3] = {0, k + 1, k + 2};
        for (int c = 0; c < 3; ++c) {
            outPositions[k * 3 + c] = work[current][corners[c]];
            outTexCoords[k * 3 + c] = workUv[current][corners[c]];
        }
    }
    return count - 2;
}
