#include "map/meshes/polygon_clip.h"

#include <algorithm>
#include <vector>

#include "core/assert.h"
#include "map/meshes/map_face.h"
#include "platform/d3dx8_math.h"

namespace {

// A clip triangle is degenerate when twice its area is below this share of its longest side squared.
constexpr float kCollinearShare = 1e-6f;
// Corners the stack buffers of the prism clip hold; larger polygons use the heap.
constexpr int kStackCorners = 16;
// Work corners of the quad and triangle variants.
constexpr int kFixedWorkCorners = 10;

// Sutherland-Hodgman that writes at most capacity corners and returns the number it would write.
int ClipBounded(D3DXVECTOR3* outPositions, D3DXVECTOR2* outTexCoords, int capacity, const D3DXPLANE& plane,
                const D3DXVECTOR3* positions, const D3DXVECTOR2* texCoords, int count)
{
    if (count <= 0)
        return 0;
    int written = 0;
    D3DXVECTOR3 previous = positions[count - 1];
    D3DXVECTOR2 previousUv = texCoords[count - 1];
    float previousDistance = D3DXPlaneDotCoord(&plane, &previous);
    for (int i = 0; i < count; ++i) {
        const D3DXVECTOR3& p = positions[i];
        const D3DXVECTOR2& uv = texCoords[i];
        const float distance = D3DXPlaneDotCoord(&plane, &p);
        if ((previousDistance < -CLIP_PLANE_TOLERANCE && distance > CLIP_PLANE_TOLERANCE) ||
            (previousDistance > CLIP_PLANE_TOLERANCE && distance < -CLIP_PLANE_TOLERANCE)) {
            if (written < capacity) {
                const float t = distance / (distance - previousDistance);
                outPositions[written] = p + (previous - p) * t;
                outTexCoords[written] = D3DXVECTOR2(uv.x + (previousUv.x - uv.x) * t, uv.y + (previousUv.y - uv.y) * t);
            }
            ++written;
        }
        if (distance >= -CLIP_PLANE_TOLERANCE) {
            if (written < capacity) {
                outPositions[written] = p;
                outTexCoords[written] = uv;
            }
            ++written;
        }
        previous = p;
        previousUv = uv;
        previousDistance = distance;
    }
    return written;
}

// The three side planes of the triangle's prism, each through an edge, with a unit normal facing
// the opposite corner. False for a triangle whose corners are collinear relative to its size.
bool PrismPlanes(const D3DXVECTOR3* triangle, D3DXPLANE* planes)
{
    const D3DXVECTOR3 side0 = triangle[1] - triangle[0];
    const D3DXVECTOR3 side1 = triangle[0] - triangle[2];
    const D3DXVECTOR3 side2 = triangle[2] - triangle[1];
    D3DXVECTOR3 normal;
    D3DXVec3Cross(&normal, &side0, &side1);
    const float longestSquared =
        std::max({D3DXVec3LengthSq(&side0), D3DXVec3LengthSq(&side1), D3DXVec3LengthSq(&side2)});
    if (!(D3DXVec3Length(&normal) > kCollinearShare * longestSquared))
        return false;
    const int edges[3][3] = {{2, 0, 1}, {0, 1, 2}, {1, 2, 0}};  // edge start, end, opposite corner
    for (int e = 0; e < 3; ++e) {
        const D3DXVECTOR3& a = triangle[edges[e][0]];
        const D3DXVECTOR3 along = triangle[edges[e][1]] - a;
        D3DXVECTOR3 inward;
        D3DXVec3Cross(&inward, &normal, &along);
        const D3DXVECTOR3 towardCorner = triangle[edges[e][2]] - a;
        if (D3DXVec3Dot(&inward, &towardCorner) < 0.0f)
            inward = -inward;
        D3DXVec3Normalize(&inward, &inward);
        D3DXPlaneFromPointNormal(&planes[e], &a, &inward);
    }
    return true;
}

// Clips the corners in buffer 0 (count of them) by the three planes, ping-ponging between the two
// buffers of capacity corners each; returns the corners left and the buffer that holds them. A
// result that would not fit fails the assertion with the text.
int ClipToPrism(const D3DXPLANE* planes, D3DXVECTOR3* const positions[2], D3DXVECTOR2* const coords[2], int count,
                int capacity, const char* limitText, int* current)
{
    *current = 0;
    for (int p = 0; p < 3 && count > 0; ++p) {
        const int next = 1 - *current;
        count = ClipBounded(positions[next], coords[next], capacity, planes[p], positions[*current], coords[*current],
                            count);
        ENGINE_ASSERT_TEXT(count <= capacity, limitText);
        *current = next;
    }
    return count;
}

// The polygon left in the buffer as a fan of separate triangles; their number.
int WriteFan(D3DXVECTOR3* outPositions, D3DXVECTOR2* outTexCoords, const D3DXVECTOR3* positions,
             const D3DXVECTOR2* coords, int count)
{
    if (count < 3)
        return 0;
    for (int k = 0; k < count - 2; ++k) {
        const int corners[3] = {0, k + 1, k + 2};
        for (int c = 0; c < 3; ++c) {
            outPositions[k * 3 + c] = positions[corners[c]];
            outTexCoords[k * 3 + c] = coords[corners[c]];
        }
    }
    return count - 2;
}

// The fan variants: the input copied into the first of two work buffers of capacity corners, cut,
// and written as a fan when fewer than limit corners remain.
int ClipFan(D3DXVECTOR3* outPositions, D3DXVECTOR2* outTexCoords, const D3DXVECTOR3* triangle,
            const D3DXVECTOR3* inPositions, const D3DXVECTOR2* inCoords, int count, int capacity, int limit,
            const char* limitText)
{
    D3DXPLANE planes[3];
    if (count < 3 || !PrismPlanes(triangle, planes))
        return 0;
    D3DXVECTOR3 stackPositions[2][kStackCorners];
    D3DXVECTOR2 stackCoords[2][kStackCorners];
    std::vector<D3DXVECTOR3> heapPositions;
    std::vector<D3DXVECTOR2> heapCoords;
    D3DXVECTOR3* positions[2] = {stackPositions[0], stackPositions[1]};
    D3DXVECTOR2* coords[2] = {stackCoords[0], stackCoords[1]};
    if (capacity > kStackCorners) {
        heapPositions.resize(static_cast<size_t>(capacity) * 2);
        heapCoords.resize(static_cast<size_t>(capacity) * 2);
        positions[0] = heapPositions.data();
        positions[1] = heapPositions.data() + capacity;
        coords[0] = heapCoords.data();
        coords[1] = heapCoords.data() + capacity;
    }
    std::copy_n(inPositions, count, positions[0]);
    std::copy_n(inCoords, count, coords[0]);
    int current = 0;
    count = ClipToPrism(planes, positions, coords, count, capacity, limitText, &current);
    if (count < 3)
        return 0;
    ENGINE_ASSERT_TEXT(count < limit, limitText);
    return WriteFan(outPositions, outTexCoords, positions[current], coords[current], count);
}

}  // namespace

int ClipPolygonToPlane(D3DXVECTOR3* outPositions, D3DXVECTOR2* outTexCoords, const D3DXPLANE* plane,
                       const D3DXVECTOR3* positions, const D3DXVECTOR2* texCoords, int count)
{
    return ClipBounded(outPositions, outTexCoords, count * 2, *plane, positions, texCoords, count);
}

int ClipPolygonToTrianglePrism(D3DXVECTOR3* outPositions, D3DXVECTOR2* outTexCoords, const D3DXVECTOR3* triangle,
                               const D3DXVECTOR3* positions, const D3DXVECTOR2* texCoords, int count)
{
    return ClipFan(outPositions, outTexCoords, triangle, positions, texCoords, count, count + 3, count + 3,
                   "nCnt<nVcnt+3");
}

int ClipQuadToTrianglePrism(D3DXVECTOR3* outPositions, D3DXVECTOR2* outTexCoords, const D3DXVECTOR3* triangle,
                            const D3DXVECTOR3* quadPositions, const D3DXVECTOR2* quadTexCoords)
{
    return ClipFan(outPositions, outTexCoords, triangle, quadPositions, quadTexCoords, 4, kFixedWorkCorners, 8,
                   "nCnt<8");
}

int ClipTriangleToTrianglePrism(D3DXVECTOR3* outPositions, D3DXVECTOR2* outTexCoords, const D3DXVECTOR3* triangle,
                                const D3DXVECTOR3* triPositions, const D3DXVECTOR2* triTexCoords)
{
    return ClipFan(outPositions, outTexCoords, triangle, triPositions, triTexCoords, 3, kFixedWorkCorners, 7, "nCnt<7");
}

int ClipPositionsToTrianglePrism(MapVertex* out, const MapVertex* triangle, const MapVertex* inTriangle)
{
    D3DXVECTOR3 corners[3];
    for (int c = 0; c < 3; ++c)
        corners[c] = D3DXVECTOR3(triangle[c].position.x, triangle[c].position.y, triangle[c].position.z);
    D3DXPLANE planes[3];
    if (!PrismPlanes(corners, planes))
        return 0;
    constexpr int kCapacity = CLIP_TRIANGLE_MAX_VERTICES + 1;
    D3DXVECTOR3 positionBuffers[2][kCapacity];
    D3DXVECTOR2 coordBuffers[2][kCapacity];
    for (int c = 0; c < 3; ++c) {
        const Vector3& p = inTriangle[c].position;
        positionBuffers[0][c] = D3DXVECTOR3(p.x, p.y, p.z);
        coordBuffers[0][c] = D3DXVECTOR2(inTriangle[c].u, inTriangle[c].v);
    }
    D3DXVECTOR3* const positions[2] = {positionBuffers[0], positionBuffers[1]};
    D3DXVECTOR2* const coords[2] = {coordBuffers[0], coordBuffers[1]};
    int current = 0;
    const int count = ClipToPrism(planes, positions, coords, 3, kCapacity, "nCnt<7", &current);
    if (count < 3)
        return 0;
    for (int i = 0; i < count; ++i) {
        const D3DXVECTOR3& p = positions[current][i];
        out[i].position = {p.x, p.y, p.z};
        out[i].u = coords[current][i].x;
        out[i].v = coords[current][i].y;
        out[i].normal = inTriangle[0].normal;
    }
    return count;
}
