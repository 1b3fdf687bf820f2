// Worlds for the object grid, registry and trace tests: an octree over a cube of side 1000 centred on
// the origin, split to a chosen depth, and graphic objects whose box, trace answer and update the
// test sets.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "map/registry/actor_lists.h"
#include "map/terrain/map_caches.h"
#include "map/terrain/map_state.h"
#include "map/octree/object_grid.h"
#include "map/octree/octree.h"
#include "map/registry/world_registry.h"
#include "world/objects/graph_obj.h"
#include "world/nodes/object_trace.h"

namespace map_world {

constexpr float kSide = 1000.0f;
constexpr float kHalf = kSide / 2;

// Splits every leaf until the depth: depth 1 gives 8 leaves of side 500, depth 2 64 of side 250.
inline void SplitTo(OctreeNode* node, u32_t depth)
{
    if (node->Depth() >= depth)
        return;
    node->CreateChildren();
    for (OctreeNode* child : node->children)
        SplitTo(child, depth);
}

inline OctreeNode* MakeWorld(u32_t depth)
{
    OctreeNode* root = OctreeCreateRoot({-kHalf, -kHalf, -kHalf}, {kHalf, kHalf, kHalf});
    SplitTo(root, depth);
    return root;
}

inline void CollectLeaves(OctreeNode* node, std::vector<OctreeNode*>& leaves)
{
    if (node->IsLeaf()) {
        leaves.push_back(node);
        return;
    }
    for (OctreeNode* child : node->children)
        CollectLeaves(child, leaves);
}

// Every leaf of the loaded octree.
inline std::vector<OctreeNode*> AllLeaves()
{
    std::vector<OctreeNode*> leaves;
    if (OctreeGetRoot())
        CollectLeaves(OctreeGetRoot(), leaves);
    return leaves;
}

// The leaves an entry is linked to, in the order of its own link list.
inline std::vector<OctreeNode*> LinkedLeaves(const ObjectGridEntry* entry)
{
    std::vector<OctreeNode*> leaves;
    for (u32_t link = entry->firstLink; link != GRID_LINK_NONE; link = g_map.gridLinks[link].entryNext)
        leaves.push_back(g_map.gridLinks[link].node);
    return leaves;
}

inline std::vector<ObjectGridEntry*> EntriesOf(const OctreeNode* leaf)
{
    std::vector<ObjectGridEntry*> entries;
    u32_t it;
    for (ObjectGridEntry* e = ObjectGridFirst(leaf, &it); e; e = ObjectGridNext(&it))
        entries.push_back(e);
    return entries;
}

// A graphic object with a box of the test's choosing, a trace that answers a set distance at a set
// point, and an update the test can watch.
class TestObject : public GraphObj {
public:
    explicit TestObject(const float* box, s32_t type = OBJECT_TYPE_STRUCTURE)
    {
        SetBox(box);
        typeId = type;
    }

    void SetBox(const float* box)
    {
        for (int i = 0; i < 6; ++i)
            m_box[i] = box[i];
    }
    void GetGeometryBounds(float* box) override
    {
        for (int i = 0; i < 6; ++i)
            box[i] = m_box[i];
    }
    float TraceRay(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit) override
    {
        ++traces;
        if (traceDistance >= OBJTRACE_NO_HIT)
            return OBJTRACE_NO_HIT;
        hit->objDistance = traceDistance;
        hit->objHitPoint = {origin.x + direction.x * traceDistance, origin.y + direction.y * traceDistance,
                            origin.z + direction.z * traceDistance};
        return traceDistance;
    }
    void Update() override
    {
        ++updates;
        if (onUpdate)
            onUpdate(this);
    }
    bool IsCollidable() const override { return collidable; }

    bool collidable = true;
    float traceDistance = OBJTRACE_NO_HIT;
    int traces = 0;
    int updates = 0;
    std::function<void(TestObject*)> onUpdate;

private:
    float m_box[6] = {};
};

// Every test starts with an empty registry and no octree, and leaves none behind.
class WorldTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        while (g_map.objectCount)
            DynObjectRemove(g_map.objects[0]);
        DestroyQueueClear();
        ActorListsFree();
        m_objects.clear();
        OctreeDestroy();
        MapSetBox({1e30f, 1e30f, 1e30f}, {-1e30f, -1e30f, -1e30f});
    }

    TestObject* Make(std::initializer_list<float> box, s32_t type = OBJECT_TYPE_STRUCTURE)
    {
        std::vector<float> values(box);
        m_objects.push_back(std::make_unique<TestObject>(values.data(), type));
        return m_objects.back().get();
    }

    std::vector<std::unique_ptr<TestObject>> m_objects;
};

}  // namespace map_world
