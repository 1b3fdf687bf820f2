// The walk over the world's animated meshes: every registered graphic object's tree, depth first,
// children in order, only the nodes that show a mesh; objects without a tree are passed over.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "map/registry/world_registry.h"
#include "scene/meshes/animated_mesh_walk.h"
#include "tests/scene/anim_mesh_fixture.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

namespace {

struct Visit {
    DynamicObject* object;
    GraphNode* node;
    AnimMesh* mesh;
    bool operator==(const Visit&) const = default;
};

void Record(DynamicObject* object, GraphNode* node, AnimMesh* mesh, void* user)
{
    static_cast<std::vector<Visit>*>(user)->push_back({object, node, mesh});
}

class NoTree : public DynamicObject {};

TEST(AnimatedMeshWalk, VisitsEveryShownMeshDepthFirst)
{
    std::vector<std::unique_ptr<AnimMesh>> meshes;
    for (int i = 0; i < 3; ++i)
        meshes.push_back(scene_test::ReadAff(scene_test::OneFrame({scene_test::SizedMesh(3, 1)})));
    auto mesh = [&](int i) { return meshes[i].get(); };

    // first: body (mesh 0) with a hand (mesh 1); an empty node "bag" with a strap (mesh 2).
    GraphObj first;
    GraphNode* body = GraphObjAddMeshNode(first.GetRootNode(), "body", mesh(0), "", nullptr, nullptr);
    GraphNode* hand = GraphObjAddMeshNode(body, "hand", mesh(1), "", nullptr, nullptr);
    GraphNode* bag = GraphObjAddMeshNode(first.GetRootNode(), "bag", nullptr, "", nullptr, nullptr);
    GraphNode* strap = GraphObjAddMeshNode(bag, "strap", mesh(2), "", nullptr, nullptr);
    // second: one node showing mesh 0 again; bare: a tree without meshes; crate: no tree at all.
    GraphObj second, bare;
    GraphNode* lone = GraphObjAddMeshNode(second.GetRootNode(), "lone", mesh(0), "", nullptr, nullptr);
    NoTree crate;
    for (DynamicObject* object : {static_cast<DynamicObject*>(&first), static_cast<DynamicObject*>(&bare),
                                  static_cast<DynamicObject*>(&crate), static_cast<DynamicObject*>(&second)})
        ASSERT_TRUE(DynObjectAdd(object));

    std::vector<Visit> visits;
    EXPECT_EQ(DynObjectsWalkAnimatedMeshes(Record, &visits), 4);
    const std::vector<Visit> expected = {
        {&first, body, mesh(0)}, {&first, hand, mesh(1)}, {&first, strap, mesh(2)}, {&second, lone, mesh(0)}};
    EXPECT_EQ(visits, expected);
    // Without a visitor the walk only counts.
    EXPECT_EQ(DynObjectsWalkAnimatedMeshes(nullptr, nullptr), 4);

    for (DynamicObject* object : {static_cast<DynamicObject*>(&first), static_cast<DynamicObject*>(&bare),
                                  static_cast<DynamicObject*>(&crate), static_cast<DynamicObject*>(&second)})
        DynObjectRemove(object);
    EXPECT_EQ(DynObjectsWalkAnimatedMeshes(nullptr, nullptr), 0);
}

}  // namespace
