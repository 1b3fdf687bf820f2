#include "map/map_trace_leaf.h"

#include <emmintrin.h>
#include <xmmintrin.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <new>

#include "map/map_state.h"
#include "map/octree.h"
#include "map/triangle_probe.h"

// One leaf's prepared triangles. The key fields tell whether the leaf's geometry is still the one
// the data were made from.
struct alignas(16) TrianglePacket {
    float p0[3][4];  // the face's first vertex, per lane
    float e1[3][4];  // third vertex - first vertex
    float e2[3][4];  // second vertex - first vertex
    u32_t face[4];   // GRID_NO_FACE in unused lanes
};

struct PacketTreeNode {
    float boxMin[3], boxMax[3];
    u32_t first;  // inner node: its first child (the second follows); leaf: its first packet
    u32_t count;  // 0 for an inner node; packets of a leaf
};

// Four children side by side, tested against a ray with one set of vector instructions. A child
// is an inner node (count 0, child its node) or a run of packets (count packets from child); an
// unused slot has an empty box.
// Boxes are kept as 16-bit steps of the leaf's grid (rounded outwards), so that a node fills one
// cache line.
struct alignas(64) QuadNode {
    s16_t low[3][4];
    s16_t high[3][4];
    u16_t child[4];
    u8_t count[4];  // kEmptySlot for an unused slot
};
static_assert(sizeof(QuadNode) == 64);

struct MapTraceLeafData {
    const MapVertex* vertices = nullptr;
    const MapFace* faces = nullptr;
    u32_t vertexCount = 0;
    u32_t ownFaces = 0;
    u32_t epoch = 0;
    // The box of the traced faces' corners, for the traces' box probe. Made from the faces rather than
    // taken from the set's recorded bounds: a set filled directly (not through AddVertex) has none,
    // and the faces' box is never larger.
    Vector3 boundsMin, boundsMax;
    TrianglePacket* packets = nullptr;
    u32_t packetCount = 0;
    PacketTreeNode* nodes = nullptr;  // the binary tree, only while building
    u32_t nodeCount = 0;
    QuadNode* quads = nullptr;  // the tree the traces walk; node 0 is the root
    u32_t quadCount = 0;
    // Position = gridOrigin + step x gridScale on each axis.
    float gridOrigin[3] = {0.0f, 0.0f, 0.0f};
    float gridScale[3] = {1.0f, 1.0f, 1.0f};
};

namespace {

constexpr u32_t kNoFace = 0xFFFFFFFFu;
constexpr u8_t kEmptySlot = 0xFF;
// Leaves with more own faces than this are tested face by face (their tree would not fit 16-bit
// node numbers).
constexpr u32_t kMaxPreparedFaces = 60000;
constexpr u32_t kLanes = 4;
constexpr int kMaxTreeDepth = 64;

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

struct Ray {
    float origin[3];
    float direction[3];
    float inverse[3];
};

// The test of four faces at once, operation for operation the Moeller-Trumbore test of the D3DX
// probe, so that every lane gives the value the scalar test gives.
void TestPacket(const TrianglePacket& p, const Ray& ray, LeafTriangleHit* best, bool* found)
{
    const __m128 dx = _mm_set1_ps(ray.direction[0]), dy = _mm_set1_ps(ray.direction[1]),
                 dz = _mm_set1_ps(ray.direction[2]);
    const __m128 e1x = _mm_load_ps(p.e1[0]), e1y = _mm_load_ps(p.e1[1]), e1z = _mm_load_ps(p.e1[2]);
    const __m128 e2x = _mm_load_ps(p.e2[0]), e2y = _mm_load_ps(p.e2[1]), e2z = _mm_load_ps(p.e2[2]);
    const __m128 px = _mm_sub_ps(_mm_mul_ps(dy, e2z), _mm_mul_ps(dz, e2y));
    const __m128 py = _mm_sub_ps(_mm_mul_ps(dz, e2x), _mm_mul_ps(dx, e2z));
    const __m128 pz = _mm_sub_ps(_mm_mul_ps(dx, e2y), _mm_mul_ps(dy, e2x));
    const __m128 det = _mm_add_ps(_mm_add_ps(_mm_mul_ps(e1x, px), _mm_mul_ps(e1y, py)), _mm_mul_ps(e1z, pz));
    const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
    __m128 reject = _mm_cmplt_ps(_mm_and_ps(det, absMask), _mm_set1_ps(1e-12f));
    const __m128 inverse = _mm_div_ps(_mm_set1_ps(1.0f), det);
    const __m128 tx = _mm_sub_ps(_mm_set1_ps(ray.origin[0]), _mm_load_ps(p.p0[0]));
    const __m128 ty = _mm_sub_ps(_mm_set1_ps(ray.origin[1]), _mm_load_ps(p.p0[1]));
    const __m128 tz = _mm_sub_ps(_mm_set1_ps(ray.origin[2]), _mm_load_ps(p.p0[2]));
    const __m128 bu =
        _mm_mul_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(tx, px), _mm_mul_ps(ty, py)), _mm_mul_ps(tz, pz)), inverse);
    const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f);
    reject = _mm_or_ps(reject, _mm_or_ps(_mm_cmplt_ps(bu, zero), _mm_cmpgt_ps(bu, one)));
    if (_mm_movemask_ps(reject) == 0xF)
        return;
    const __m128 qx = _mm_sub_ps(_mm_mul_ps(ty, e1z), _mm_mul_ps(tz, e1y));
    const __m128 qy = _mm_sub_ps(_mm_mul_ps(tz, e1x), _mm_mul_ps(tx, e1z));
    const __m128 qz = _mm_sub_ps(_mm_mul_ps(tx, e1y), _mm_mul_ps(ty, e1x));
    const __m128 bv =
        _mm_mul_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(dx, qx), _mm_mul_ps(dy, qy)), _mm_mul_ps(dz, qz)), inverse);
    reject = _mm_or_ps(reject, _mm_or_ps(_mm_cmplt_ps(bv, zero), _mm_cmpgt_ps(_mm_add_ps(bu, bv), one)));
    const __m128 t =
        _mm_mul_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(e2x, qx), _mm_mul_ps(e2y, qy)), _mm_mul_ps(e2z, qz)), inverse);
    reject = _mm_or_ps(reject, _mm_cmplt_ps(t, zero));
    // The trace's own rule: 0 <= t <= 1 (a parameter that is not a number is never taken).
    const __m128 inRange = _mm_and_ps(_mm_cmpge_ps(t, zero), _mm_cmple_ps(t, one));
    const int mask = _mm_movemask_ps(_mm_andnot_ps(reject, inRange));
    if (!mask)
        return;
    alignas(16) float ts[4], us[4], vs[4];
    _mm_store_ps(ts, t);
    _mm_store_ps(us, bu);
    _mm_store_ps(vs, bv);
    for (u32_t lane = 0; lane < kLanes; ++lane) {
        if (!(mask & (1 << lane)) || p.face[lane] == kNoFace)
            continue;
        const float value = ts[lane];
        if (value < best->t || (*found && value == best->t && p.face[lane] < best->face)) {
            best->t = value;
            best->u = us[lane];
            best->v = vs[lane];
            best->face = p.face[lane];
            *found = true;
        }
    }
}

// Four signed 16-bit steps as floats.
__m128 Widen(const s16_t* steps)
{
    const __m128i packed = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(steps));
    return _mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpacklo_epi16(packed, packed), 16));
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
    Ray ray;
    const float origin[3] = {start.x, start.y, start.z}, dir[3] = {direction.x, direction.y, direction.z};
    // Slab parameters straight from the grid steps: t = step x stepFactor + offset.
    __m128 stepFactor[3], offset[3];
    for (int axis = 0; axis < 3; ++axis) {
        ray.origin[axis] = origin[axis];
        ray.direction[axis] = dir[axis];
        // A direction of 0 on an axis: a huge finite factor keeps the slab products ordered (and
        // never 0 x infinity) while the origin's place inside or outside the slab decides.
        float inverse = dir[axis] != 0.0f ? 1.0f / dir[axis] : 1e30f;
        if (!(std::fabs(inverse) <= 1e30f))
            inverse = std::copysign(1e30f, dir[axis]);
        ray.inverse[axis] = inverse;
        stepFactor[axis] = _mm_set1_ps(data->gridScale[axis] * inverse);
        offset[axis] = _mm_set1_ps((data->gridOrigin[axis] - origin[axis]) * inverse);
    }
    bool found = false;
    // Nodes waiting with the parameter at which the ray enters them: a node entered beyond the
    // best hit found since it was pushed is dropped.
    struct Pending {
        u32_t node;
        float entry;
    };
    Pending stack[kMaxTreeDepth * 4];
    int top = 0;
    stack[top++] = {0, 0.0f};
    while (top > 0) {
        const Pending pending = stack[--top];
        const float limit = std::min(1.0f, hit->t);
        if (pending.entry > limit)
            continue;
        const QuadNode& node = data->quads[pending.node];
        __m128 near = _mm_setzero_ps(), far = _mm_set1_ps(limit);
        for (int axis = 0; axis < 3; ++axis) {
            const __m128 low = Widen(node.low[axis]), high = Widen(node.high[axis]);
            const __m128 t0 = _mm_add_ps(_mm_mul_ps(low, stepFactor[axis]), offset[axis]);
            const __m128 t1 = _mm_add_ps(_mm_mul_ps(high, stepFactor[axis]), offset[axis]);
            near = _mm_max_ps(near, _mm_min_ps(t0, t1));
            far = _mm_min_ps(far, _mm_max_ps(t0, t1));
        }
        int mask = _mm_movemask_ps(_mm_cmple_ps(near, far));
        if (!mask)
            continue;
        alignas(16) float entries[4];
        _mm_store_ps(entries, near);
        // Packets at once; inner children pushed farthest first, so the nearest comes next.
        // Every child the ray meets is asked of memory before the first is worked on.
        for (int k = 0; k < 4; ++k) {
            if (!(mask & (1 << k)) || node.count[k] == kEmptySlot)
                continue;
            if (node.count[k]) {
                const char* packet = reinterpret_cast<const char*>(&data->packets[node.child[k]]);
                for (u32_t bytes = 0; bytes < node.count[k] * sizeof(TrianglePacket); bytes += 64)
                    __builtin_prefetch(packet + bytes);
            } else {
                __builtin_prefetch(&data->quads[node.child[k]]);
            }
        }
        Pending inner[4];
        int innerCount = 0;
        for (int k = 0; k < 4; ++k) {
            if (!(mask & (1 << k)) || node.count[k] == kEmptySlot)
                continue;
            if (node.count[k]) {
                for (u32_t i = 0; i < node.count[k]; ++i)
                    TestPacket(data->packets[node.child[k] + i], ray, hit, &found);
            } else {
                inner[innerCount++] = {node.child[k], entries[k]};
            }
        }
        for (int i = 1; i < innerCount; ++i) {
            for (int j = i; j > 0 && inner[j].entry > inner[j - 1].entry; --j)
                std::swap(inner[j], inner[j - 1]);
        }
        for (int i = 0; i < innerCount; ++i)
            stack[top++] = inner[i];
    }
    return found;
}
