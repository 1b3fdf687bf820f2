#include "map/trace/map_trace_leaf.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <new>

#include "map/terrain/map_state.h"
#include "map/trace/map_trace_leaf_kernels.h"
#include "map/trace/map_trace_leaf_layout.h"
#include "map/octree/octree.h"
#include "map/trace/triangle_probe.h"

struct PacketTreeNode {
    float boxMin[3], boxMax[3];
    u32_t first;  // inner node: its first child (the second follows); leaf: its first packet
    u32_t count;  // 0 for an inner node; packets of a leaf
};

namespace {

constexpr u32_t kNoFace = kTraceNoFace;
constexpr u8_t kEmptySlot = kTraceEmptySlot;
// Leaves with more own faces than this are tested face by face (their tree would not fit 16-bit
// node numbers).
constexpr u32_t kMaxPreparedFaces = 60000;
constexpr u32_t kLanes = kTraceLanes;
constexpr int kMaxTreeDepth = kTraceMaxTreeDepth;

struct BuildTriangle {
    Vector3 a, b, c;  // first, second, third vertex
    Vector3 centre;
    u32_t face;
};

struct Builder {
    BuildTriangle* triangles;
    MapTraceLeafData* data;
};

void Grow(float* low, float* high, const Vector3& p)
{
    low[0] = std::min(low[0], p.x);
    low[1] = std::min(low[1], p.y);
    low[2] = std::min(low[2], p.z);
    high[0] = std::max(high[0], p.x);
    high[1] = std::max(high[1], p.y);
    high[2] = std::max(high[2], p.z);
}

// A box a little larger than its triangles, so that rounding in the hit test or the slab test
// cannot lose a hit that lies on a face of the box.
void Pad(float* low, float* high)
{
    for (int axis = 0; axis < 3; ++axis) {
        const float size = std::max(std::fabs(low[axis]), std::fabs(high[axis])) + (high[axis] - low[axis]);
        const float pad = size * 1e-4f + 1e-3f;
        low[axis] -= pad;
        high[axis] += pad;
    }
}

void FillPacket(TrianglePacket& packet, const BuildTriangle* triangles, u32_t count)
{
    for (u32_t lane = 0; lane < kLanes; ++lane) {
        if (lane >= count) {
            for (int axis = 0; axis < 3; ++axis)
                packet.p0[axis][lane] = packet.e1[axis][lane] = packet.e2[axis][lane] = 0.0f;
            packet.face[lane] = kNoFace;
            continue;
        }
        const BuildTriangle& t = triangles[lane];
        const float a[3] = {t.a.x, t.a.y, t.a.z}, b[3] = {t.b.x, t.b.y, t.b.z}, c[3] = {t.c.x, t.c.y, t.c.z};
        for (int axis = 0; axis < 3; ++axis) {
            packet.p0[axis][lane] = a[axis];
            packet.e1[axis][lane] = c[axis] - a[axis];
            packet.e2[axis][lane] = b[axis] - a[axis];
        }
        packet.face[lane] = t.face;
    }
}

// Median split on the longest axis of the centres until a node holds one packet's worth.
void BuildNode(Builder& b, u32_t nodeIndex, u32_t first, u32_t count, int depth)
{
    PacketTreeNode& node = b.data->nodes[nodeIndex];
    float low[3] = {1e30f, 1e30f, 1e30f}, high[3] = {-1e30f, -1e30f, -1e30f};
    float centreLow[3] = {1e30f, 1e30f, 1e30f}, centreHigh[3] = {-1e30f, -1e30f, -1e30f};
    for (u32_t i = first; i < first + count; ++i) {
        Grow(low, high, b.triangles[i].a);
        Grow(low, high, b.triangles[i].b);
        Grow(low, high, b.triangles[i].c);
        Grow(centreLow, centreHigh, b.triangles[i].centre);
    }
    Pad(low, high);
    std::copy_n(low, 3, node.boxMin);
    std::copy_n(high, 3, node.boxMax);
    if (count <= kLanes || depth >= kMaxTreeDepth - 2) {
        node.first = b.data->packetCount;
        node.count = (count + kLanes - 1) / kLanes;
        for (u32_t i = 0; i < count; i += kLanes)
            FillPacket(b.data->packets[b.data->packetCount++], b.triangles + first + i, std::min(kLanes, count - i));
        return;
    }
    int axis = 0;
    for (int a = 1; a < 3; ++a) {
        if (centreHigh[a] - centreLow[a] > centreHigh[axis] - centreLow[axis])
            axis = a;
    }
    // Halves on a multiple of the packet width, so that packets stay full.
    u32_t half = (count / 2 + kLanes - 1) / kLanes * kLanes;
    if (half >= count)
        half = count - kLanes;
    auto key = [axis](const BuildTriangle& t) { return axis == 0 ? t.centre.x : axis == 1 ? t.centre.y : t.centre.z; };
    std::nth_element(b.triangles + first, b.triangles + first + half, b.triangles + first + count,
                     [&](const BuildTriangle& l, const BuildTriangle& r) { return key(l) < key(r); });
    const u32_t children = b.data->nodeCount;
    b.data->nodeCount += 2;
    node.first = children;
    node.count = 0;
    BuildNode(b, children, first, half, depth + 1);
    BuildNode(b, children + 1, first + half, count - half, depth + 1);
}

// The binary node's descendants two levels down (fewer where leaves come first), each taking one
// slot of a four-wide node; inner descendants get four-wide nodes of their own.
u32_t Collapse(MapTraceLeafData* data, u32_t binaryIndex)
{
    const u32_t index = data->quadCount++;
    u32_t slots[4];
    int used = 0;
    const PacketTreeNode& top = data->nodes[binaryIndex];
    if (top.count) {
        slots[used++] = binaryIndex;
    } else {
        slots[used++] = top.first;
        slots[used++] = top.first + 1;
        // Open the inner slots while there is room.
        for (int i = 0; i < used && used < 4;) {
            const PacketTreeNode& n = data->nodes[slots[i]];
            if (n.count) {
                ++i;
                continue;
            }
            slots[i] = n.first;
            slots[used++] = n.first + 1;
        }
    }
    for (int k = 0; k < 4; ++k) {
        QuadNode& quad = data->quads[index];
        if (k >= used) {
            for (int axis = 0; axis < 3; ++axis) {
                quad.low[axis][k] = 32767;
                quad.high[axis][k] = -32768;
            }
            quad.child[k] = 0;
            quad.count[k] = kEmptySlot;
            continue;
        }
        const PacketTreeNode& n = data->nodes[slots[k]];
        for (int axis = 0; axis < 3; ++axis) {
            const float scale = data->gridScale[axis];
            const float low = std::floor((n.boxMin[axis] - data->gridOrigin[axis]) / scale) - 1.0f;
            const float high = std::ceil((n.boxMax[axis] - data->gridOrigin[axis]) / scale) + 1.0f;
            quad.low[axis][k] = static_cast<s16_t>(std::clamp(low, -32768.0f, 32767.0f));
            quad.high[axis][k] = static_cast<s16_t>(std::clamp(high, -32768.0f, 32767.0f));
        }
        quad.count[k] = static_cast<u8_t>(n.count);
        quad.child[k] = static_cast<u16_t>(n.count ? n.first : 0);
        if (!n.count) {
            const u32_t made = Collapse(data, slots[k]);
            data->quads[index].child[k] = static_cast<u16_t>(made);
        }
    }
    return index;
}

bool Finite(const Vector3& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// The header, the four-wide nodes and the packets in one block, in that order, so that a leaf's
// data lie together in memory.
constexpr size_t kHeaderBytes = (sizeof(MapTraceLeafData) + 63) / 64 * 64;

MapTraceLeafData* Prepare(const OctreeGeometry& geometry, u32_t ownFaces)
{
    MapTraceLeafData scratch;
    scratch.vertices = geometry.vertices;
    scratch.faces = geometry.faces;
    scratch.vertexCount = geometry.vertexCount;
    scratch.ownFaces = ownFaces;
    scratch.epoch = g_map.geometryEpoch;
    scratch.boundsMin = {1e30f, 1e30f, 1e30f};
    scratch.boundsMax = {-1e30f, -1e30f, -1e30f};
    BuildTriangle* triangles = new (std::nothrow) BuildTriangle[ownFaces ? ownFaces : 1];
    if (!triangles)
        return nullptr;
    u32_t count = 0;
    for (u32_t f = 0; f < ownFaces; ++f) {
        const MapFace& face = geometry.faces[f];
        const u16_t i0 = face.indices[0], i1 = face.indices[1], i2 = face.indices[2];
        if (i0 >= geometry.vertexCount || i1 >= geometry.vertexCount || i2 >= geometry.vertexCount)
            continue;
        BuildTriangle& t = triangles[count];
        t.a = geometry.vertices[i0].position;
        t.b = geometry.vertices[i1].position;
        t.c = geometry.vertices[i2].position;
        // A face with a coordinate that is not finite is never hit by the plain test either.
        if (!Finite(t.a) || !Finite(t.b) || !Finite(t.c))
            continue;
        t.centre = {(t.a.x + t.b.x + t.c.x) / 3, (t.a.y + t.b.y + t.c.y) / 3, (t.a.z + t.b.z + t.c.z) / 3};
        t.face = f;
        for (const Vector3* p : {&t.a, &t.b, &t.c}) {
            scratch.boundsMin = {std::min(scratch.boundsMin.x, p->x), std::min(scratch.boundsMin.y, p->y),
                                 std::min(scratch.boundsMin.z, p->z)};
            scratch.boundsMax = {std::max(scratch.boundsMax.x, p->x), std::max(scratch.boundsMax.y, p->y),
                                 std::max(scratch.boundsMax.z, p->z)};
        }
        ++count;
    }
    bool built = true;
    if (count && count <= kMaxPreparedFaces) {
        const u32_t maxPackets = count;  // one packet per triangle at worst
        scratch.packets = new (std::nothrow) TrianglePacket[maxPackets];
        scratch.nodes = new (std::nothrow) PacketTreeNode[2 * maxPackets + 1];
        built = scratch.packets && scratch.nodes;
        if (built) {
            Builder builder{triangles, &scratch};
            scratch.nodeCount = 1;
            BuildNode(builder, 0, 0, count, 0);
            // The grid spans the root's (padded) box in 2 x 30000 steps, leaving room for the
            // outward rounding.
            for (int axis = 0; axis < 3; ++axis) {
                const float low = scratch.nodes[0].boxMin[axis], high = scratch.nodes[0].boxMax[axis];
                scratch.gridOrigin[axis] = (low + high) / 2;
                scratch.gridScale[axis] = std::max((high - low) / 60000.0f, 1e-30f);
            }
            scratch.quads = new (std::nothrow) QuadNode[scratch.nodeCount];
            built = scratch.quads != nullptr;
            if (built)
                Collapse(&scratch, 0);
        }
    }
    delete[] triangles;
    MapTraceLeafData* data = nullptr;
    const size_t total =
        kHeaderBytes + scratch.quadCount * sizeof(QuadNode) + scratch.packetCount * sizeof(TrianglePacket);
    void* block = built ? ::operator new(total, std::align_val_t(64), std::nothrow) : nullptr;
    if (block) {
        data = new (block) MapTraceLeafData;
        data->vertices = scratch.vertices;
        data->faces = scratch.faces;
        data->vertexCount = scratch.vertexCount;
        data->ownFaces = scratch.ownFaces;
        data->epoch = scratch.epoch;
        data->boundsMin = scratch.boundsMin;
        data->boundsMax = scratch.boundsMax;
        std::copy_n(scratch.gridOrigin, 3, data->gridOrigin);
        std::copy_n(scratch.gridScale, 3, data->gridScale);
        data->quads = reinterpret_cast<QuadNode*>(static_cast<char*>(block) + kHeaderBytes);
        data->quadCount = scratch.quadCount;
        data->packets = reinterpret_cast<TrianglePacket*>(data->quads + scratch.quadCount);
        data->packetCount = scratch.packetCount;
        std::copy_n(scratch.quads, scratch.quadCount, data->quads);
        std::copy_n(scratch.packets, scratch.packetCount, data->packets);
    }
    delete[] scratch.packets;
    delete[] scratch.nodes;
    delete[] scratch.quads;
    return data;
}

// The plain test of a leaf too large for its tree: every own face in index order.
bool TestFaceByFace(const MapTraceLeafData* data, const Vector3& start, const Vector3& direction, LeafTriangleHit* hit)
{
    bool found = false;
    for (u32_t f = 0; f < data->ownFaces; ++f) {
        const MapFace& face = data->faces[f];
        const u16_t a = face.indices[0], b = face.indices[1], c = face.indices[2];
        if (a >= data->vertexCount || b >= data->vertexCount || c >= data->vertexCount)
            continue;
        float u, v, t;
        if (!ProbeTriangle(data->vertices[a].position, data->vertices[c].position, data->vertices[b].position, start,
                           direction, &u, &v, &t))
            continue;
        if (t >= 0.0f && t <= 1.0f && t < hit->t) {
            *hit = {t, u, v, f};
            found = true;
        }
    }
    return found;
}

}  // namespace

void MapTraceLeafDataFree(MapTraceLeafData* data)
{
    if (!data)
        return;
    data->~MapTraceLeafData();
    ::operator delete(data, std::align_val_t(64));
}

MapTraceLeafData* MapTraceLeafPrepared(OctreeNode* leaf)
{
    const OctreeGeometry& geometry = leaf->geometry;
    const u32_t ownFaces = geometry.OwnFaceCount();
    MapTraceLeafData* data = leaf->traceData;
    // The header and the tree's root node lie together: all of it is asked of memory at once.
    if (data) {
        for (size_t line = 0; line < kHeaderBytes + sizeof(QuadNode); line += 64)
            __builtin_prefetch(reinterpret_cast<const char*>(data) + line);
    }
    if (data && data->epoch == g_map.geometryEpoch && data->ownFaces == ownFaces &&
        data->vertices == geometry.vertices && data->faces == geometry.faces)
        return data;
    MapTraceLeafDataFree(data);
    leaf->traceData = Prepare(geometry, ownFaces);
    return leaf->traceData;
}

void MapTraceLeafBounds(const MapTraceLeafData* data, Vector3* boundsMin, Vector3* boundsMax)
{
    *boundsMin = data->boundsMin;
    *boundsMax = data->boundsMax;
}

bool MapTraceLeafTriangles(OctreeNode* leaf, const Vector3& start, const Vector3& direction, LeafTriangleHit* hit)
{
    MapTraceLeafData* data = MapTraceLeafPrepared(leaf);
    return data && MapTraceLeafDataTriangles(data, start, direction, hit);
}

bool MapTraceLeafDataTriangles(const MapTraceLeafData* data, const Vector3& start, const Vector3& direction,
                               LeafTriangleHit* hit)
{
    if (!data->quadCount)
        return data->ownFaces > kMaxPreparedFaces && TestFaceByFace(data, start, direction, hit);
    return MapTraceSimdLeafWalk()(data, start, direction, hit);
}
