#include "map/polygon_clip.h"

#include <algorithm>

#include "core/assert.h"
#include "platform/d3dx8_math.h"

namespace {

// Within this distance of the plane (in the plane's units: world units for a unit normal) a point
// counts as on it: it is kept, and an edge is split only when its ends lie further than this on
// opposite sides, so grazing edges add no near-duplicate points.
constexpr float kGrazeDistance = 1e-5f;
// A clip triangle is degenerate when twice its area is below this share of its longest side squared.
constexpr float kCollinearShare = 1e-6f;
constexpr int kQuadWorkVertices = 10;

}  // namespace

int ClipPolygonToPlane(D3DXVECTOR3* outPositions, D3DXVECTOR2* outTexCoords, const D3DXPLANE* plane,
                       const D3DXVECTOR3* positions, const D3DXVECTOR2* texCoords, int count)
{
    if (count <= 0)
        return 0;
    int written = 0;
    D3DXVECTOR3 previous = positions[count - 1];
    D3DXVECTOR2 previousUv = texCoords[count - 1];
    float previousDistance = D3DXPlaneDotCoord(plane, &previous);
    for (int i = 0; i < count; ++i) {
        const D3DXVECTOR3& p = positions[i];
        const D3DXVECTOR2& uv = texCoords[i];
        const float distance = D3DXPlaneDotCoord(plane, &p);
        if ((previousDistance < -kGrazeDistance && distance > kGrazeDistance) ||
            (previousDistance > kGrazeDistance && distance < -kGrazeDistance)) {
            const float t = distance / (distance - previousDistance);
            outPositions[written] = p + (previous - p) * t;
            outTexCoords[written] = D3DXVECTOR2(uv.x + (previousUv.x - uv.x) * t, uv.y + (previousUv.y - uv.y) * t);
            ++written;
        }
        if (distance >= -kGrazeDistance) {
            outPositions[written] = p;
            outTexCoords[written] = uv;
            ++written;
        }
        previous = p;
        previousUv = uv;
        previousDistance = distance;
    }
    return written;
}

int ClipQuadToTrianglePrism(D3DXVECTOR3* outPositions, D3DXVECTOR2* outTexCoords, const D3DXVECTOR3* triangle,
                            const D3DXVECTOR3* quadPositions, const D3DXVECTOR2* quadTexCoords)
{
    const D3DXVECTOR3 side0 = triangle[1] - triangle[0];
    const D3DXVECTOR3 side1 = triangle[0] - triangle[2];
    D3DXVECTOR3 normal;
    D3DXVec3Cross(&normal, &side0, &side1);
    const D3DXVECTOR3 side2 = triangle[2] - triangle[1];
    const float longestSquared =
        std::max({D3DXVec3LengthSq(&side0), D3DXVec3LengthSq(&side1), D3DXVec3LengthSq(&side2)});
    if (!(D3DXVec3Length(&normal) > kCollinearShare * longestSquared))
        return 0;

    D3DXVECTOR3 positions[2][kQuadWorkVertices];
    D3DXVECTOR2 coords[2][kQuadWorkVertices];
    for (int i = 0; i < 4; ++i) {
        positions[0][i] = quadPositions[i];
        coords[0][i] = quadTexCoords[i];
    }
    int count = 4;
    int current = 0;
    const int edges[3][3] = {{2, 0, 1}, {0, 1, 2}, {1, 2, 0}};  // edge start, end, opposite corner
    for (const auto& edge : edges) {
        const D3DXVECTOR3& a = triangle[edge[0]];
        const D3DXVECTOR3 along = triangle[edge[1]] - a;
        D3DXVECTOR3 inward;
        D3DXVec3Cross(&inward, &normal, &along);
        // Each side plane keeps the half that holds the opposite corner, whatever the winding.
        const D3DXVECTOR3 towardCorner = triangle[edge[2]] - a;
        if (D3DXVec3Dot(&inward, &towardCorner) < 0.0f)
            inward = -inward;
        // A unit normal: distances in world units, so small faces are cut as exactly as large ones.
        D3DXVec3Normalize(&inward, &inward);
        D3DXPLANE plane;
        D3DXPlaneFromPointNormal(&plane, &a, &inward);
        count = ClipPolygonToPlane(positions[1 - current], coords[1 - current], &plane, positions[current],
                                   coords[current], count);
        current = 1 - current;
        if (count == 0)
            return 0;
    }
    if (count < 3)
        return 0;
    ENGINE_ASSERT_TEXT(count < 8, "nCnt<8");
    for (int k = 0; k < count - 2; ++k) {
        const int corners[3] = {0, k + 1, k + 2};
        for (int c = 0; c < 3; ++c) {
            outPositions[k * 3 + c] = positions[current][corners[c]];
            outTexCoords[k * 3 + c] = coords[current][corners[c]];
        }
    }
    return count - 2;
}
