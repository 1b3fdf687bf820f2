#include "map/octree/octree_split.h"

#include <cmath>
#include <cstdint>

#include "core/assert.h"
#include "map/octree/octree_geometry.h"
#include "platform/d3dx8_math.h"

namespace {

// A cut triangle leaves at most four corners on either side.
constexpr int kMaxPolygon = 4;

float Coordinate(const MapVertex& v, int axis)
{
    return axis == 0 ? v.position.x : axis == 1 ? v.position.y : v.position.z;
}

bool Finite(const MapVertex& v)
{
    return std::isfinite(v.position.x) && std::isfinite(v.position.y) && std::isfinite(v.position.z);
}

MapVertex Interpolate(const MapVertex& a, const MapVertex& b, float t)
{
    MapVertex m;
    m.position = {a.position.x + t * (b.position.x - a.position.x), a.position.y + t * (b.position.y - a.position.y),
                  a.position.z + t * (b.position.z - a.position.z)};
    m.u = a.u + t * (b.u - a.u);
    m.v = a.v + t * (b.v - a.v);
    D3DXVECTOR3 normal(a.normal.x + t * (b.normal.x - a.normal.x), a.normal.y + t * (b.normal.y - a.normal.y),
                       a.normal.z + t * (b.normal.z - a.normal.z));
    D3DXVec3Normalize(&normal, &normal);
    m.normal = {normal.x, normal.y, normal.z};
    return m;
}

// The triangle (a, b, c): c, then b, then a are added so that shared corners merge alike.
bool AddTriangle(OctreeGeometry* out, const MapVertex& a, const MapVertex& b, const MapVertex& c)
{
    const s32_t ic = out->AddVertex(c);
    const s32_t ib = out->AddVertex(b);
    const s32_t ia = out->AddVertex(a);
    if (ia < 0 || ib < 0 || ic < 0)
        return false;
    MapFace face;
    face.indices[0] = static_cast<u16_t>(ia);
    face.indices[1] = static_cast<u16_t>(ib);
    face.indices[2] = static_cast<u16_t>(ic);
    return out->AddFace(face);
}

// The fan (p0, pk, pk+1) of a convex polygon.
bool AddPolygon(OctreeGeometry* out, const MapVertex* p, int n)
{
    for (int k = 1; k + 1 < n; ++k) {
        if (!AddTriangle(out, p[0], p[k], p[k + 1]))
            return false;
    }
    return true;
}

bool CutFace(int axis, float value, const MapVertex* const corner[3], OctreeGeometry* lower, OctreeGeometry* upper)
{
    bool below[3];
    for (int i = 0; i < 3; ++i)
        below[i] = Coordinate(*corner[i], axis) < value;
    if (below[0] == below[1] && below[1] == below[2])
        return AddTriangle(below[0] ? lower : upper, *corner[0], *corner[1], *corner[2]);

    MapVertex low[kMaxPolygon], high[kMaxPolygon];
    int lowCount = 0, highCount = 0;
    for (int e = 0; e < 3; ++e) {
        const MapVertex& first = *corner[e];
        const MapVertex& second = *corner[(e + 1) % 3];
        if (below[e]) {
            ENGINE_ASSERT(lowCount < kMaxPolygon);
            low[lowCount++] = first;
        } else {
            ENGINE_ASSERT(highCount < kMaxPolygon);
            high[highCount++] = first;
        }
        if (below[e] == below[(e + 1) % 3])
            continue;
        const float a = Coordinate(first, axis), b = Coordinate(second, axis);
        const float t = (value - a) / (b - a);
        ENGINE_ASSERT((t >= 0) && (t <= 1));
        MapVertex cut = Interpolate(first, second, t);
        // On the plane exactly, whatever the rounding: the piece must lie in its side's box.
        (axis == 0 ? cut.position.x : axis == 1 ? cut.position.y : cut.position.z) = value;
        ENGINE_ASSERT(lowCount < kMaxPolygon && highCount < kMaxPolygon);
        low[lowCount++] = cut;
        high[highCount++] = cut;
    }
    return AddPolygon(lower, low, lowCount) && AddPolygon(upper, high, highCount);
}

bool Cut(int axis, float value, const OctreeGeometry& source, OctreeGeometry* lower, OctreeGeometry* upper)
{
    const std::uint64_t vertexRoom = 2ull * source.vertexCount, faceRoom = 2ull * source.faceCount;
    const u32_t vertices =
        static_cast<u32_t>(vertexRoom < OCTREE_MAX_SET_VERTICES ? vertexRoom : OCTREE_MAX_SET_VERTICES);
    const u32_t faces = static_cast<u32_t>(faceRoom < 0xFFFFFFFFull ? faceRoom : 0xFFFFFFFFull);
    if (!lower->Init(vertices, faces) || !upper->Init(vertices, faces))
        return false;
    for (u32_t f = 0; f < source.faceCount; ++f) {
        const MapFace& face = source.faces[f];
        const u32_t i0 = face.indices[0], i1 = face.indices[1], i2 = face.indices[2];
        if (i0 >= source.vertexCount || i1 >= source.vertexCount || i2 >= source.vertexCount)
            continue;
        const MapVertex* const corner[3] = {&source.vertices[i0], &source.vertices[i1], &source.vertices[i2]};
        if (!Finite(*corner[0]) || !Finite(*corner[1]) || !Finite(*corner[2]))
            continue;
        if (!CutFace(axis, value, corner, lower, upper))
            return false;
    }
    return lower->Shrink() && upper->Shrink();
}

}  // namespace

bool OctreeGeometrySplitAxis(int axis, float value, const OctreeGeometry& source, OctreeGeometry* lower,
                             OctreeGeometry* upper)
{
    const bool empty = !lower->vertices && !lower->faces && !upper->vertices && !upper->faces && lower != upper;
    if (!empty || axis < 0 || axis > 2)
        return false;
    if (Cut(axis, value, source, lower, upper))
        return true;
    lower->Reset(true);
    upper->Reset(true);
    return false;
}

bool OctreeGeometrySplitX(float value, const OctreeGeometry& source, OctreeGeometry* lower, OctreeGeometry* upper)
{
    return OctreeGeometrySplitAxis(0, value, source, lower, upper);
}

bool OctreeGeometrySplitY(float value, const OctreeGeometry& source, OctreeGeometry* lower, OctreeGeometry* upper)
{
    return OctreeGeometrySplitAxis(1, value, source, lower, upper);
}

bool OctreeGeometrySplitZ(float value, const OctreeGeometry& source, OctreeGeometry* lower, OctreeGeometry* upper)
{
    return OctreeGeometrySplitAxis(2, value, source, lower, upper);
}
