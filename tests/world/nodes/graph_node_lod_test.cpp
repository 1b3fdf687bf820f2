// A node's levels of detail and zones: the distance-ordered table and its lookup, the mesh sets of
// a level from name lists, the per-step mesh lists, and the zones the node belongs to.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/world/graph_fixtures.h"
#include "tests/world/objects/graph_obj_fixture.h"
#include "tests/world/node_tree.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/nodes/mesh_zones.h"

using graph_test::GraphObjTest;
using graph_test::QuadsAff;

namespace {

std::vector<u32_t> Meshes(const LodLevel& level)
{
    return std::vector<u32_t>(level.meshes, level.meshes + level.count);
}

std::vector<u32_t> Sorted(std::vector<u32_t> values)
{
    std::sort(values.begin(), values.end());
    return values;
}

class GraphNodeLevels : public GraphObjTest {
protected:
    void SetUp() override
    {
        GraphObjTest::SetUp();
        // Meshes 0-4: body, gun, gun_2 (level 2), wheel_1 (level 1), pin (no geometry flag).
        aff_test::AffFile aff = QuadsAff({"body", "gun", "gun_2", "wheel_1", "pin"});
        mesh = WriteMesh("tank", aff);
        ASSERT_NE(mesh, nullptr);
        mesh->frames[0].meshes[4].flags = 1;
        node = AddChildNode(&root, "tank", mesh);
    }

    GraphNode root{"root"};
    GraphNode* node = nullptr;
    AnimMesh* mesh = nullptr;
};

TEST_F(GraphNodeLevels, LevelsStaySortedAndTheLastNotBeyondTheDistanceApplies)
{
    for (float distance : {500.0f, 100.0f, 300.0f})
        ASSERT_EQ(node->AddLodLevel(distance, "all", nullptr), 1u);
    ASSERT_EQ(node->lodSwitchCount, 3u);
    EXPECT_EQ(node->lodSwitches[0].distance, 100.0f);
    EXPECT_EQ(node->lodSwitches[1].distance, 300.0f);
    EXPECT_EQ(node->lodSwitches[2].distance, 500.0f);
    EXPECT_EQ(node->FindLodLevel(99.9f), nullptr);
    EXPECT_EQ(node->FindLodLevel(299.0f), &node->lodSwitches[0]);
    EXPECT_EQ(node->FindLodLevel(300.0f), &node->lodSwitches[1]);
    EXPECT_EQ(node->FindLodLevel(1e6f), &node->lodSwitches[2]);
    EXPECT_EQ(node->GetLastLodLevel(), &node->lodSwitches[2]);

    // An equal distance: the later level comes first, the lookup answers the earlier one.
    ASSERT_EQ(node->AddLodLevel(300.0f, "all", "body"), 1u);
    EXPECT_EQ(node->lodSwitches[1].count, 1u);
    EXPECT_EQ(node->lodSwitches[2].count, 0u);
    EXPECT_EQ(node->FindLodLevel(300.0f), &node->lodSwitches[2]);

    GraphNode bare("bare");
    EXPECT_EQ(bare.AddLodLevel(10.0f, "all", nullptr), 0u);
    EXPECT_EQ(bare.GetLastLodLevel(), nullptr);
}

TEST_F(GraphNodeLevels, NameListsShapeALevelsMeshSet)
{
    struct Case {
        const char* list;
        const char* extra;
        std::vector<u32_t> meshes;
    };
    // Level 2 holds body, gun, gun_2 (pin has no geometry flag, wheel_1 is of level 1).
    const Case cases[] = {
        {"all", "body gun", {0, 1}},     {"nothing", nullptr, {0, 1, 2}},
        {"gun", nullptr, {0, 2}},                                         // the first mesh named so or so with "_2"
        {"GUN_2 body", nullptr, {1}},    {"body body", nullptr, {1, 2}},  // named twice, removed once
        {"gun unknown", "body", {0, 2}},                                  // already there: added once
        {"all", "wheel_1 pin", {3, 4}},                                   // the extra list adds any mesh of that name
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.list) + " / " + (c.extra ? c.extra : "-"));
        GraphNode* fresh = AddChildNode(&root, "fresh", mesh);
        ASSERT_EQ(fresh->AddLodLevel(50.0f, c.list, c.extra), 1u);
        EXPECT_EQ(Sorted(Meshes(fresh->lodSwitches[0])), c.meshes);
        root.RemoveChild(fresh);
    }
}

TEST_F(GraphNodeLevels, MeshSelectionFollowsFlagsLevelModesAndHiding)
{
    MeshSettings* settings = node->GetMeshSettings();
    u32_t count = 0;
    auto collect = [&](s32_t level) {
        u32_t* selected = node->CollectLodMeshes(&count, level, 2, 2);
        std::vector<u32_t> result(selected, selected + count);
        delete[] selected;
        return result;
    };
    EXPECT_EQ(collect(-1), (std::vector<u32_t>{0, 1, 2, 3}));
    EXPECT_EQ(collect(1), (std::vector<u32_t>{0, 1, 3}));
    settings[1].lodHidden[1] = 1;  // gun hidden at level 1
    settings[3].lodMode[0] = 1;    // wheel_1 (one level) drawn but not traced
    EXPECT_EQ(collect(1), (std::vector<u32_t>{0}));
    EXPECT_EQ(collect(-1), (std::vector<u32_t>{0, 1, 2, 3}));

    // The drawing steps: step s lists level s - 1.
    node->BuildLodMeshLists();
    EXPECT_EQ(node->lodListsBuilt, 1);
    EXPECT_EQ(Meshes(node->lodMeshLists[0]), (std::vector<u32_t>{0, 1, 2, 3}));
    EXPECT_EQ(Meshes(node->lodMeshLists[2]), (std::vector<u32_t>{0}));
    EXPECT_EQ(Meshes(node->lodMeshLists[3]), (std::vector<u32_t>{0, 1, 2}));
}

TEST_F(GraphNodeLevels, ZonesComeFromTheMeshesZoneTree)
{
    AnimMesh* carrier = WriteMesh("carrier", graph_test::CarrierAff({0}));
    GraphNode* room = AddChildNode(&root, "room", carrier);
    AnimZone** all = AnimMeshCollectZones(carrier);
    ASSERT_NE(all, nullptr);
    ASSERT_NE(all[0], nullptr);
    EXPECT_STREQ(all[0]->name, "room");
    ASSERT_NE(all[1], nullptr);
    EXPECT_STREQ(all[1]->name, "cross_door");
    EXPECT_EQ(all[2], nullptr);
    AnimZone* roomZone = all[0];
    AnimZone* door = all[1];
    EXPECT_EQ(MeshZoneFind(all, "CROSS_DOOR"), door);
    EXPECT_EQ(MeshZoneFind(all, "hall"), nullptr);
    delete[] all;

    EXPECT_TRUE(room->HasZone(door));  // no list: every zone
    ASSERT_EQ(room->SetZones("Room"), 1u);
    EXPECT_TRUE(room->HasZone(roomZone));
    EXPECT_FALSE(room->HasZone(door));
    ASSERT_EQ(room->SetZones("hall"), 1u);  // no such zone: in none
    EXPECT_FALSE(room->HasZone(roomZone));
    ASSERT_EQ(room->SetZones("all"), 1u);
    EXPECT_EQ(room->zones, nullptr);
    EXPECT_TRUE(room->HasZone(door));

    // A mesh without zones, or no mesh, leaves the list as it was.
    ASSERT_EQ(node->SetZones("room"), 0u);
    EXPECT_EQ(node->zones, nullptr);
    ASSERT_EQ(room->SetZones("room cross_door"), 1u);
    GraphNode bare("bare");
    EXPECT_EQ(bare.SetZones("room"), 0u);
    EXPECT_TRUE(room->HasZone(door));
}

}  // namespace
