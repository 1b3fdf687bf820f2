#include "map/octree/octree_vertex_merge.h"

#include <cmath>
#include <memory>
#include <new>

namespace {

constexpr u32_t kNone = 0xFFFFFFFFu;
// Cells of 1/32 unit: a vertex within 1e-3 of another lies in the same cell or the next one on
// each axis. The probe reaches 1% further than the match distance, beyond what the rounding of the
// float comparison can let through.
constexpr double kCellsPerUnit = 32.0;
constexpr double kProbe = 1.01e-3;
constexpr u32_t kMinSlots = 64;

// Monotone in the coordinate: a vertex within reach of another never falls outside the probed
// cells, even where far coordinates are clamped into the outermost cell.
s32_t CellOf(double coordinate)
{
    const double cell = std::floor(coordinate * kCellsPerUnit);
    if (cell < -2147483648.0)
        return INT32_MIN;
    if (cell > 2147483647.0)
        return INT32_MAX;
    return static_cast<s32_t>(cell);
}

bool Finite(const Vector3& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

u32_t Hash(s32_t x, s32_t y, s32_t z)
{
    u32_t h = static_cast<u32_t>(x) * 0x9E3779B1u;
    h ^= static_cast<u32_t>(y) * 0x85EBCA77u + (h << 6) + (h >> 2);
    h ^= static_cast<u32_t>(z) * 0xC2B2AE3Du + (h << 6) + (h >> 2);
    return h ^ (h >> 15);
}

u32_t SlotsFor(u32_t vertices)
{
    u32_t slots = kMinSlots;
    while (slots < 2ull * vertices && slots < (1u << 30))
        slots *= 2;
    return slots;
}

// Owned by the pool, so that what it holds at exit is freed with it (a leak checker saw them lost).
std::vector<std::unique_ptr<OctreeVertexMerge>> g_pool;

}  // namespace

OctreeVertexMerge* OctreeVertexMerge::Acquire(u32_t expectedVertices)
{
    OctreeVertexMerge* merge = nullptr;
    if (!g_pool.empty()) {
        merge = g_pool.back().release();
        g_pool.pop_back();
    } else {
        merge = new (std::nothrow) OctreeVertexMerge();
    }
    if (merge && !merge->Prepare(expectedVertices)) {
        delete merge;
        merge = nullptr;
    }
    return merge;
}

void OctreeVertexMerge::Release(OctreeVertexMerge* merge)
{
    if (!merge)
        return;
    for (const std::unique_ptr<OctreeVertexMerge>& pooled : g_pool) {
        if (pooled.get() == merge)
            return;
    }
    if (g_pool.size() >= 8) {
        delete merge;
        return;
    }
    g_pool.emplace_back(merge);
}

bool OctreeVertexMerge::Prepare(u32_t expectedVertices)
{
    m_next.clear();
    m_used = 0;
    const u32_t wanted = SlotsFor(expectedVertices);
    // A table far larger than needed is cut down: it would only scatter the probes.
    if (m_slots.size() < wanted || m_slots.size() > 8ull * wanted) {
        m_slots.assign(wanted, Slot{0, 0, 0, kNone, 0});
        m_stamp = 1;
        return true;
    }
    if (++m_stamp == 0) {  // the stamp wrapped: clear for real
        for (Slot& slot : m_slots)
            slot.stamp = 0;
        m_stamp = 1;
    }
    return true;
}

const OctreeVertexMerge::Slot* OctreeVertexMerge::FindSlot(s32_t x, s32_t y, s32_t z) const
{
    const u32_t mask = static_cast<u32_t>(m_slots.size()) - 1;
    for (u32_t i = Hash(x, y, z) & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (slot.stamp != m_stamp)
            return nullptr;
        if (slot.x == x && slot.y == y && slot.z == z)
            return &slot;
    }
}

OctreeVertexMerge::Slot* OctreeVertexMerge::FindOrAddSlot(s32_t x, s32_t y, s32_t z)
{
    if (2ull * (m_used + 1) > m_slots.size() && !Grow())
        return nullptr;
    const u32_t mask = static_cast<u32_t>(m_slots.size()) - 1;
    for (u32_t i = Hash(x, y, z) & mask;; i = (i + 1) & mask) {
        Slot& slot = m_slots[i];
        if (slot.stamp != m_stamp) {
            slot = Slot{x, y, z, kNone, m_stamp};
            ++m_used;
            return &slot;
        }
        if (slot.x == x && slot.y == y && slot.z == z)
            return &slot;
    }
}

bool OctreeVertexMerge::Grow()
{
    if (m_slots.size() >= (1u << 30))
        return false;
    std::vector<Slot> old(m_slots.size() * 2, Slot{0, 0, 0, kNone, 0});
    old.swap(m_slots);
    const u32_t previousStamp = m_stamp;
    m_stamp = 1;
    const u32_t mask = static_cast<u32_t>(m_slots.size()) - 1;
    for (const Slot& slot : old) {
        if (slot.stamp != previousStamp)
            continue;
        u32_t i = Hash(slot.x, slot.y, slot.z) & mask;
        while (m_slots[i].stamp == m_stamp)
            i = (i + 1) & mask;
        m_slots[i] = Slot{slot.x, slot.y, slot.z, slot.head, m_stamp};
    }
    return true;
}

s32_t OctreeVertexMerge::Find(const MapVertex* vertices, const MapVertex& v) const
{
    // A coordinate that is not finite matches nothing: its distances are not finite either.
    if (!Finite(v.position))
        return -1;
    const double x = v.position.x, y = v.position.y, z = v.position.z;
    const s32_t x0 = CellOf(x - kProbe), x1 = CellOf(x + kProbe);
    const s32_t y0 = CellOf(y - kProbe), y1 = CellOf(y + kProbe);
    const s32_t z0 = CellOf(z - kProbe), z1 = CellOf(z + kProbe);
    u32_t best = kNone;
    for (s32_t cx = x0;; ++cx) {
        for (s32_t cy = y0;; ++cy) {
            for (s32_t cz = z0;; ++cz) {
                if (const Slot* slot = FindSlot(cx, cy, cz)) {
                    for (u32_t i = slot->head; i != kNone; i = m_next[i]) {
                        if (i < best && OctreeVerticesMatch(vertices[i], v))
                            best = i;
                    }
                }
                if (cz == z1)
                    break;
            }
            if (cy == y1)
                break;
        }
        if (cx == x1)
            break;
    }
    return best == kNone ? -1 : static_cast<s32_t>(best);
}

bool OctreeVertexMerge::Insert(const MapVertex* vertices, u32_t index)
{
    if (index != m_next.size())
        return false;
    m_next.push_back(kNone);
    const Vector3& p = vertices[index].position;
    if (!Finite(p))
        return true;
    Slot* slot = FindOrAddSlot(CellOf(p.x), CellOf(p.y), CellOf(p.z));
    if (!slot)
        return false;
    m_next[index] = slot->head;
    slot->head = index;
    return true;
}
