#include "map/map_trace.h"

#include <cmath>

#include "map/octree.h"

namespace {

Vector3 Sub(const Vector3& a, const Vector3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vector3 Cross(const Vector3& a, const Vector3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Dot(const Vector3& a, const Vector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

struct Segment {
    Vector3 start, delta;
    Vector3 low, high;  // its bounding box
};

// The fraction along the segment where it crosses the triangle, or a negative number.
float HitTriangle(const Segment& s, const Vector3& a, const Vector3& b, const Vector3& c)
{
    const Vector3 edge1 = Sub(b, a), edge2 = Sub(c, a);
    const Vector3 p = Cross(s.delta, edge2);
    const float determinant = Dot(edge1, p);
    if (std::fabs(determinant) < 1e-12f)
        return -1.0f;
    const float inverse = 1.0f / determinant;
    const Vector3 t = Sub(s.start, a);
    const float u = Dot(t, p) * inverse;
    if (u < 0.0f || u > 1.0f)
        return -1.0f;
    const Vector3 q = Cross(t, edge1);
    const float v = Dot(s.delta, q) * inverse;
    if (v < 0.0f || u + v > 1.0f)
        return -1.0f;
    const float fraction = Dot(edge2, q) * inverse;
    return fraction >= 0.0f && fraction <= 1.0f ? fraction : -1.0f;
}

bool BoxesOverlap(const Vector3& lowA, const Vector3& highA, const Vector3& lowB, const Vector3& highB)
{
    return lowA.x <= highB.x && highA.x >= lowB.x && lowA.y <= highB.y && highA.y >= lowB.y && lowA.z <= highB.z &&
           highA.z >= lowB.z;
}

void TraceNode(const OctreeNode* node, const Segment& s, float* best, Vector3* normal)
{
    if (!BoxesOverlap(node->boxMin, node->boxMax, s.low, s.high))
        return;
    const OctreeGeometry& g = node->geometry;
    for (u32_t f = 0; f < g.faceCount && g.faces && g.vertices; ++f) {
        const MapFace& face = g.faces[f];
        const u16_t index[3] = {face.indices[0], face.indices[1], face.indices[2]};
        if (index[0] >= g.vertexCount || index[1] >= g.vertexCount || index[2] >= g.vertexCount)
            continue;
        const Vector3& a = g.vertices[index[0]].position;
        const Vector3& b = g.vertices[index[1]].position;
        const Vector3& c = g.vertices[index[2]].position;
        const float fraction = HitTriangle(s, a, b, c);
        if (fraction >= 0.0f && fraction < *best) {
            *best = fraction;
            *normal = Cross(Sub(b, a), Sub(c, a));
        }
    }
    for (const OctreeNode* child : node->children) {
        if (child)
            TraceNode(child, s, best, normal);
    }
}

}  // namespace

MapTraceInfo::MapTraceInfo() : flags(0), ignore(nullptr), fraction(1.0f), point{}, normal{} {}

int MapTrace(const float* start, const float* end, MapTraceInfo* hit)
{
    const OctreeNode* root = OctreeGetRoot();
    if (!root || !start || !end)
        return 0;
    Segment s;
    s.start = {start[0], start[1], start[2]};
    s.delta = {end[0] - start[0], end[1] - start[1], end[2] - start[2]};
    s.low = {std::fmin(start[0], end[0]), std::fmin(start[1], end[1]), std::fmin(start[2], end[2])};
    s.high = {std::fmax(start[0], end[0]), std::fmax(start[1], end[1]), std::fmax(start[2], end[2])};
    float best = 2.0f;
    Vector3 normal = {};
    TraceNode(root, s, &best, &normal);
    if (best > 1.0f)
        return 0;
    if (hit) {
        hit->fraction = best;
        hit->point = {s.start.x + s.delta.x * best, s.start.y + s.delta.y * best, s.start.z + s.delta.z * best};
        const float length = std::sqrt(Dot(normal, normal));
        hit->normal = length > 0.0f ? Vector3{normal.x / length, normal.y / length, normal.z / length} : normal;
        if (Dot(hit->normal, s.delta) > 0.0f)
            hit->normal = {-hit->normal.x, -hit->normal.y, -hit->normal.z};
    }
    return 1;
}

int WorldTraceIndoor(const float*, const float*, MapTraceInfo*)
{
    return 0;
}
