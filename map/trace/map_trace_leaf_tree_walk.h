// The walk over a leaf's four-wide box tree (map_trace_leaf_layout.h), written once for every
// instruction set: each kernel file instantiates it with its own box and packet tests and is
// compiled for its own processor features. Every kernel gives each lane the value of the scalar
// Moeller-Trumbore test of the D3DX probe, operation for operation (no fused multiply-add), and
// the walk takes nodes in the same order whatever the kernel, so the answers are identical.
//
// A kernel provides:
//   struct Slabs;                                        the ray's slab factors, made once per leaf
//   static Slabs MakeSlabs(const float* stepFactor, const float* offset);
//   static int NodeSlabs(const QuadNode&, const Slabs&, float limit, float* entries);
//       the mask of slots whose box the ray meets within [0, limit], entries their entry parameters
//   static void TestPackets(const TrianglePacket* const* packets, u32_t count, const TraceLeafRay&,
//                           LeafTriangleHit* best, bool* found);
// Only for inclusion by the kernel files, each inside a namespace of its own.
#pragma once
#include "map/trace/map_trace_leaf.h"
#include "map/trace/map_trace_leaf_layout.h"

struct TraceLeafRay {
    float origin[3];
    float direction[3];
};

// Each kernel file gets copies of its own, compiled for its instruction set: no copy made for a wider
// set may be the one that code for a narrower set calls.
namespace {

// The best hit so far, taken lane by lane: nearer, or as near with a lower face.
inline void TraceLeafTakeLane(float t, float u, float v, u32_t face, LeafTriangleHit* best, bool* found)
{
    if (face == kTraceNoFace)
        return;
    if (t < best->t || (*found && t == best->t && face < best->face)) {
        best->t = t;
        best->u = u;
        best->v = v;
        best->face = face;
        *found = true;
    }
}

template <class Kernel>
bool TraceLeafTreeWalk(const MapTraceLeafData* data, const Vector3& start, const Vector3& direction,
                       LeafTriangleHit* hit)
{
    TraceLeafRay ray;
    const float origin[3] = {start.x, start.y, start.z}, dir[3] = {direction.x, direction.y, direction.z};
    // Slab parameters straight from the grid steps: t = step x stepFactor + offset.
    float stepFactor[3], offset[3];
    for (int axis = 0; axis < 3; ++axis) {
        ray.origin[axis] = origin[axis];
        ray.direction[axis] = dir[axis];
        // A direction of 0 on an axis: a huge finite factor keeps the slab products ordered (and
        // never 0 x infinity) while the origin's place inside or outside the slab decides.
        float inverse = dir[axis] != 0.0f ? 1.0f / dir[axis] : 1e30f;
        if (!(__builtin_fabsf(inverse) <= 1e30f))
            inverse = __builtin_copysignf(1e30f, dir[axis]);
        stepFactor[axis] = data->gridScale[axis] * inverse;
        offset[axis] = (data->gridOrigin[axis] - origin[axis]) * inverse;
    }
    const typename Kernel::Slabs slabs = Kernel::MakeSlabs(stepFactor, offset);
    bool found = false;
    // Nodes waiting with the parameter at which the ray enters them: a node entered beyond the
    // best hit found since it was pushed is dropped.
    struct Pending {
        u32_t node;
        float entry;
    };
    Pending stack[kTraceMaxTreeDepth * 4];
    int top = 0;
    stack[top++] = {0, 0.0f};
    // The packets of one node's slots, tested together once the node's slots are sorted out.
    constexpr u32_t kBatch = 16;
    const TrianglePacket* batch[kBatch];
    while (top > 0) {
        const Pending pending = stack[--top];
        const float limit = hit->t < 1.0f ? hit->t : 1.0f;
        if (pending.entry > limit)
            continue;
        const QuadNode& node = data->quads[pending.node];
        alignas(16) float entries[4];
        const int mask = Kernel::NodeSlabs(node, slabs, limit, entries);
        if (!mask)
            continue;
        // Every child the ray meets is asked of memory before the first is worked on.
        for (int k = 0; k < 4; ++k) {
            if (!(mask & (1 << k)) || node.count[k] == kTraceEmptySlot)
                continue;
            if (node.count[k]) {
                const char* packet = reinterpret_cast<const char*>(&data->packets[node.child[k]]);
                for (u32_t bytes = 0; bytes < node.count[k] * sizeof(TrianglePacket); bytes += 64)
                    __builtin_prefetch(packet + bytes);
            } else {
                __builtin_prefetch(&data->quads[node.child[k]]);
            }
        }
        // Packets at once; inner children pushed farthest first, so the nearest comes next.
        Pending inner[4];
        int innerCount = 0;
        u32_t batched = 0;
        for (int k = 0; k < 4; ++k) {
            if (!(mask & (1 << k)) || node.count[k] == kTraceEmptySlot)
                continue;
            if (!node.count[k]) {
                inner[innerCount++] = {node.child[k], entries[k]};
                continue;
            }
            for (u32_t i = 0; i < node.count[k]; ++i) {
                if (batched == kBatch) {
                    Kernel::TestPackets(batch, batched, ray, hit, &found);
                    batched = 0;
                }
                batch[batched++] = &data->packets[node.child[k] + i];
            }
        }
        if (batched)
            Kernel::TestPackets(batch, batched, ray, hit, &found);
        for (int i = 1; i < innerCount; ++i) {
            for (int j = i; j > 0 && inner[j].entry > inner[j - 1].entry; --j) {
                const Pending swap = inner[j];
                inner[j] = inner[j - 1];
                inner[j - 1] = swap;
            }
        }
        for (int i = 0; i < innerCount; ++i)
            stack[top++] = inner[i];
    }
    return found;
}

}  // namespace
