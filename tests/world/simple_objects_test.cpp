// The placed classes: entities, networked entities and equipment (never drawn, never damaged,
// linked where they stand), structures and trees (placed on the terrain, tested through their
// children, trees swaying), and map objects (settling once, animating).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/frame_view.h"
#include "core/random.h"
#include "game/game_state.h"
#include "map/meshes/map_object.h"
#include "map/terrain/terrain_height.h"
#include "platform/d3dx8_math.h"
#include "render/draw2d/hud_input.h"
#include "scene/scene_state.h"
#include "tests/world/objects/graph_obj_fixture.h"
#include "tests/world/node_tree.h"
#include "tests/world/trace_fixtures.h"
#include "world/objects/entity.h"
#include "world/nodes/graph_node.h"
#include "world/nodes/object_trace.h"
#include "world/objects/shadow_object.h"
#include "world/objects/structure.h"
#include "world/objects/tree.h"

using graph_test::GraphObjTest;

namespace {

class SimpleObjects : public GraphObjTest {
protected:
    void TearDown() override
    {
        g_frameView.frameTime = 0.001f;
        g_hudInput.flags.treesStill = 0;
        GraphObjTest::TearDown();
    }

    // A cube of side 2 as the object's one child.
    void GiveCube(GraphObj& object)
    {
        aff_test::AffFile aff;
        aff.strings = {"box"};
        aff.frames = {{{trace_test::CubeMesh(0)}}};
        AddChildNode(object.GetRootNode(), "box", WriteMesh("cube", aff));
    }

    // Companions whose staleness the update is seen to set.
    struct Companions {
        explicit Companions(DynamicObject& source) : bounds(&source), volume(&source)
        {
            source.shadowCompanion = &bounds;
            source.shadowVolume = &volume;
            bounds.needsRebuild = volume.needsRebuild = 0;
        }
        bool Invalidated() const { return bounds.needsRebuild && volume.needsRebuild; }
        ShadowObject bounds;
        ShadowObject volume;
    };
};

TEST_F(SimpleObjects, NetworkedEntitiesTakeTheTypeParameter)
{
    struct Case {
        const char* keyword;
        std::vector<EngineString> values;
        bool taken;
        s32_t respawn;
    };
    const Case cases[] = {
        {"type", {EngineString("respawn point")}, true, 1},
        {"TYPE", {EngineString("Respawn POINT")}, true, 1},
        {"type", {EngineString("flag")}, true, 0},
        {"type", {EngineString("respawn point"), EngineString("x")}, false, 0},
        {"type", {}, false, 0},
        {"colour", {EngineString("red")}, false, 0},
    };
    for (const Case& c : cases) {
        EntityNet entity;
        EXPECT_EQ(entity.SetParam(c.keyword, c.values.data(), static_cast<int>(c.values.size())), c.taken)
            << c.keyword << " " << c.values.size();
        EXPECT_EQ(entity.IsRespawnPoint(), c.respawn) << c.keyword;
    }
    // The graphic object's own parameters still come first.
    EntityNet entity;
    EXPECT_TRUE(graph_test::ApplyLine(entity, "fly 1"));
    EXPECT_EQ(entity.fly, 1);
    EXPECT_EQ(Entity().IsRespawnPoint(), 0);
}

TEST_F(SimpleObjects, EntitiesAndEquipmentAreNeverDrawnOrDamagedAndSitWhereTheyStand)
{
    Entity entity;
    GiveCube(entity);
    entity.SetPosition({3, 4, 5});
    entity.UpdateViewDistance();
    entity.Render();
    entity.ApplyDamage(0, 0.0f, 5000.0f);
    EXPECT_EQ(g_scene.drawLog.meshDrawCount, 0);
    EXPECT_EQ(entity.energy, 1000.0f);
    EXPECT_EQ(entity.GetTypeId(), OBJECT_TYPE_ENTITY);
    EXPECT_STREQ(entity.GetObjectFolder(), "object\\map_obj\\");
    float box[6] = {9, 9, 9, 9, 9, 9};
    entity.GetGeometryBounds(box);
    const float atEntity[6] = {3, 4, 5, 3, 4, 5};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(box[i], atEntity[i]) << i;

    Equipment equipment;
    equipment.ApplyDamage(0, 0.0f, 5000.0f);
    equipment.Render();
    EXPECT_EQ(equipment.energy, 1000.0f);
    EXPECT_EQ(equipment.GetTypeId(), OBJECT_TYPE_EQUIPMENT);
    float origin[6] = {9, 9, 9, 9, 9, 9};
    equipment.GetGeometryBounds(origin);
    for (float value : origin)
        EXPECT_EQ(value, 0.0f);
}

TEST_F(SimpleObjects, StructuresLandUnlessTheyFlyAndTreesAlwaysLand)
{
    const float ground = MapTerrainHeight(7, -3, nullptr, nullptr);
    Structure standing;
    Structure flying;
    flying.fly = 1;
    Tree tree;
    tree.fly = 1;
    MapObject settled;
    for (GraphObj* object : {static_cast<GraphObj*>(&standing), static_cast<GraphObj*>(&flying),
                             static_cast<GraphObj*>(&tree), static_cast<GraphObj*>(&settled)}) {
        object->SetPosition({7, 100, -3});
        object->Update();
    }
    EXPECT_EQ(standing.GetPosition().y, ground);
    EXPECT_EQ(flying.GetPosition().y, 100.0f);
    EXPECT_EQ(tree.GetPosition().y, ground);
    EXPECT_EQ(settled.GetPosition().y, ground);
    EXPECT_EQ(standing.needsPlacing, 0);
    EXPECT_EQ(tree.needsPlacing, 0);
    // Placed once: a later move stays where it is put.
    standing.SetPosition({7, 50, -3});
    settled.SetPosition({7, 50, -3});
    standing.Update();
    settled.Update();
    EXPECT_EQ(standing.GetPosition().y, 50.0f);
    EXPECT_EQ(settled.GetPosition().y, 50.0f);
}

TEST_F(SimpleObjects, WithoutChildrenNothingIsHitOrTouched)
{
    Structure structure;
    Tree tree;
    MapObject object;
    for (GraphObj* o :
         {static_cast<GraphObj*>(&structure), static_cast<GraphObj*>(&tree), static_cast<GraphObj*>(&object)}) {
        ObjectTraceBlock hit = {};
        hit.objDistance = OBJTRACE_NO_HIT;
        EXPECT_EQ(o->TraceRay({0, 0, -10}, {0, 0, 1}, &hit), OBJTRACE_NO_HIT);
        Vector3 out;
        EXPECT_FALSE(o->SphereCollision({0, 0, 0}, 5.0f, &out));
        EXPECT_FALSE(o->FootprintCollision({0, 0, 0}, 5.0f, &out));
        EXPECT_TRUE(o->IsCollidable());
        EXPECT_TRUE(o->UsesGpuAnimBuffers());
    }
}

TEST_F(SimpleObjects, ChildrenAnswerRaysAndSpheres)
{
    Structure structure;
    structure.fly = 1;
    GiveCube(structure);
    structure.SetPosition({0, 0, 5});
    structure.Update();
    ObjectTraceBlock hit = {};
    hit.objDistance = OBJTRACE_NO_HIT;
    EXPECT_NEAR(structure.TraceRay({0, 0, 0}, {0, 0, 1}, &hit), 4.0f, 1e-4f);
    Vector3 pushed;
    EXPECT_TRUE(structure.SphereCollision({0, 0, 3.5f}, 1.0f, &pushed));
    EXPECT_FALSE(structure.SphereCollision({0, 0, -3.0f}, 1.0f, &pushed));
}

TEST_F(SimpleObjects, TreesSwayOnlyNearAndNoMoreThanTheirAngle)
{
    Tree tree;
    GiveCube(tree);
    tree.SetPosition({10, 0, 20});
    Companions companions(tree);
    g_frameView.frameTime = 0.1f;
    tree.Update();
    EXPECT_TRUE(companions.Invalidated());
    EXPECT_NEAR(tree.swayAxis.z, 1.0f, 1e-5f);  // across a wind along x

    // The angle of the root's rotation over its placed matrix.
    auto swayAngle = [&] {
        D3DXMATRIX world;
        tree.GetRootNode()->UpdateTransform(&world);
        const float trace = world(0, 0) + world(1, 1) + world(2, 2);
        return std::acos(std::fmin(1.0f, (trace - 1.0f) * 0.5f));
    };
    float largest = 0.0f;
    for (int frame = 0; frame < 400; ++frame) {
        tree.Update();
        largest = std::fmax(largest, swayAngle());
        EXPECT_LE(swayAngle(), TREE_SWAY_ANGLE + 1e-4f) << frame;
    }
    EXPECT_GT(largest, TREE_SWAY_ANGLE * 0.9f);

    // With no frame time the phase stands still.
    g_frameView.frameTime = 0.0f;
    tree.Update();
    const float phase = tree.swayPhase;
    const float angle = swayAngle();
    tree.Update();
    EXPECT_EQ(tree.swayPhase, phase);
    EXPECT_NEAR(swayAngle(), angle, 1e-6f);

    // Beyond level 0: no sway and no shadow refresh.
    g_frameView.frameTime = 0.1f;
    tree.lodLevel = 1;
    companions.bounds.needsRebuild = companions.volume.needsRebuild = 0;
    tree.Update();
    EXPECT_EQ(tree.swayPhase, phase);
    EXPECT_FALSE(companions.bounds.needsRebuild);
    EXPECT_FALSE(companions.volume.needsRebuild);

    // The HUD's switch stops the sway but not the refresh.
    tree.lodLevel = 0;
    g_hudInput.flags.treesStill = 1;
    tree.Update();
    EXPECT_EQ(tree.swayPhase, phase);
    EXPECT_TRUE(companions.Invalidated());
    tree.shadowCompanion = tree.shadowVolume = nullptr;
}

TEST_F(SimpleObjects, AnimationStartsAtARandomFrameAndRunsAtItsSpeed)
{
    for (float speed : {0.0f, 3.0f}) {
        MapObject object;
        GiveCube(object);
        ASSERT_TRUE(graph_test::ApplyLine(object, "animate " + std::to_string(speed)));
        EngineSRand(77);
        const float start = static_cast<float>(EngineRand());
        EngineSRand(77);
        g_frameView.frameTime = 0.05f;
        object.Update();
        GraphNode* first = object.GetRootNode()->GetChild(0);
        EXPECT_FLOAT_EQ(first->GetFrame(), start + 0.05f * speed);
        object.Update();
        EXPECT_FLOAT_EQ(first->GetFrame(), start + 0.1f * speed);
    }
    // A structure does the same.
    Structure structure;
    GiveCube(structure);
    ASSERT_TRUE(graph_test::ApplyLine(structure, "animate 0"));
    EngineSRand(5);
    const float start = static_cast<float>(EngineRand());
    EngineSRand(5);
    structure.Update();
    EXPECT_EQ(structure.GetRootNode()->GetChild(0)->GetFrame(), start);
}

TEST_F(SimpleObjects, MapObjectsRefreshShadowsOnlyWhenAskedOrAnimating)
{
    MapObject object;
    Companions companions(object);
    object.Update();
    EXPECT_FALSE(companions.bounds.needsRebuild);
    object.lodChanged = 1;
    object.Update();
    EXPECT_TRUE(companions.Invalidated());
    EXPECT_EQ(object.lodChanged, 0);
    object.shadowCompanion = object.shadowVolume = nullptr;
}

}  // namespace

namespace {

TEST_F(SimpleObjects, DestroyOnAMapObjectMakesAMapObjectReplacement)
{
    std::filesystem::create_directories("object/map_obj");
    std::ofstream("object/map_obj/rubble.def") << "fly 1\n";
    MapObject object;
    object.name.Assign("hut");
    ASSERT_TRUE(graph_test::ApplyLine(object, "destroy rubble"));
    auto* replacement = dynamic_cast<MapObject*>(object.destroyedReplacement);
    ASSERT_NE(replacement, nullptr);
    EXPECT_EQ(replacement->GetTypeId(), OBJECT_TYPE_MAP_OBJECT);
    EXPECT_EQ(replacement->fly, 1);  // configured from "object\map_obj\rubble.def"
    EXPECT_STREQ(replacement->name.Text(), "hutrubble");
}

}  // namespace
