// Soldiers' sight on the sample land with the outpost's objects, against the plain rule: a soldier
// sees a target when the target's box is inside the frustum and one of the box's four top corners,
// in order, is reached by a whole-world MapTrace (tiled, objects alpha-tested within the segment,
// the soldier itself ignored) that hits nothing or hits the target first. Thousands of fixed-seed
// placements around the outpost, some with a third soldier standing inside the target's box, must
// give the plain rule's answer for CanSee and for the registry walk of FindVisibleActors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/actor_class.h"
#include "actors/actor_cvars.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_runtime.h"
#include "ai/soldier/ai_state.h"
#include "core/console/console.h"
#include "core/files/def_file.h"
#include "core/frame_view.h"
#include "core/random.h"
#include "core/files/script_file.h"
#include "core/files/vfs.h"
#include "game/game_state.h"
#include "game/mission_objects/object_list.h"
#include "map/registry/actor_lists.h"
#include "map/trace/map_sight.h"
#include "map/trace/map_trace.h"
#include "map/octree/octree_query.h"
#include "map/terrain/terrain_height.h"
#include "map/registry/world_registry.h"
#include "support/def_apply.h"
#include "support/keep_var.h"
#include "support/land_octree.h"
#include "support/temp_dir.h"
#include "tools/bfs_pack/bfs_pack.h"
#include "world/animation/anim_cache.h"

namespace {

constexpr int kSoldiers = 24;
constexpr int kPlacements = 3000;
// The outpost stands round this point of the land; soldiers are placed this far round it.
constexpr float kOutpostX = 0.0f, kOutpostZ = 110.0f, kSpread = 260.0f;

float Uniform(float low, float high)
{
    return low + (high - low) * static_cast<float>(EngineRand()) / 32767.0f;
}

// The plain sight line: clear when the whole-world trace hits nothing, or hits the target first.
bool PlainLineClear(const Vector3& eye, const float* point, Actor* self, DynamicObject* target)
{
    MapTraceInfo info;
    std::memset(static_cast<void*>(&info), 0, sizeof(info));
    info.flags = TRACE_TILED | TRACE_OBJECTS;
    info.objOptions = OBJTRACE_ALPHA | OBJTRACE_WITHIN_SEGMENT;
    info.objAlphaThreshold = 0xA0;
    info.ignoreObject = self;
    const float start[3] = {eye.x, eye.y, eye.z};
    if (!MapTrace(start, point, &info))
        return true;
    return (info.resultKind & TRACE_RESULT_OBJECT_BIT) && info.hitObject == target;
}

// What the line from the eye to the first top corner meets: 0 nothing, 1 the target, 2 something else.
int FirstCornerOutcome(const Vector3& eye, const float* box, Actor* self, DynamicObject* target)
{
    MapTraceInfo info;
    std::memset(static_cast<void*>(&info), 0, sizeof(info));
    info.flags = TRACE_TILED | TRACE_OBJECTS;
    info.objOptions = OBJTRACE_ALPHA | OBJTRACE_WITHIN_SEGMENT;
    info.objAlphaThreshold = 0xA0;
    info.ignoreObject = self;
    const float start[3] = {eye.x, eye.y, eye.z}, corner[3] = {box[3], box[4], box[2]};
    if (!MapTrace(start, corner, &info))
        return 0;
    return (info.resultKind & TRACE_RESULT_OBJECT_BIT) && info.hitObject == target ? 1 : 2;
}

bool PlainSees(AIEntity* eyes, const Vector3& eye, DynamicObject* target, bool skipFrustum)
{
    float box[6];
    target->GetGeometryBounds(box);
    if (!skipFrustum) {
        eyes->UpdateFrustum(false);
        if (!BoxInsidePlanes(box, eyes->frustumPlanes, 6))
            return false;
    }
    const float corners[4][3] = {
        {box[3], box[4], box[2]}, {box[0], box[4], box[2]}, {box[3], box[4], box[5]}, {box[0], box[4], box[5]}};
    for (const float* corner : corners) {
        if (PlainLineClear(eye, corner, eyes->actor, target))
            return true;
    }
    return false;
}

class SightOracle : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        m_seed = EngineRandState();
        std::string error;
        const std::filesystem::path sample =
            std::filesystem::path(ZINTAR_TEST_DATA_DIR) / ".." / ".." / "data" / "sample";
        ASSERT_TRUE(BfsPackFolder(sample.string(), "main.bfs", error)) << error;
        ConStartup();
        ASSERT_TRUE(VFSInit());
        CreateScriptCache();
        MapSightFactorsReset();
        const std::string land = (sample / "component" / "land" / "hills.lff").string();
        ASSERT_EQ(MapMeshesLoadFromFile(land.c_str(), "component\\land\\"), 0);
        MapGeometryApplyTransformValues(false, nullptr, false, 0.0f);
        land_test::BuildLandOctree();
        DefFile* mission = DefFileLoad("mission\\map_01\\mission.def");
        ASSERT_NE(mission, nullptr);
        GameLoadObjectList(mission, nullptr, 0, nullptr);
        EngineSRand(4811);
        for (int i = 0; i < kSoldiers; ++i) {
            AIInterface* interface = new AIInterface();
            ApplyDefFile("object\\actors\\soldier.def", interface->body);
            interface->entity->SetTeam(i % 2 ? ACTOR_TEAM_ENEMY : ACTOR_TEAM_FRIEND);
            DynObjectAdd(interface->body);
            m_soldiers.push_back(interface);
        }
    }
    void TearDown() override
    {
        g_frameView.player = nullptr;
        DynObjectsDeleteAll();
        AIShutdown();
        GameObjectListReset();
        ActorListsFree();
        land_test::UnloadLand();
        // The soldiers' class and its animations go with them: a later test reads a class of that name
        // afresh.
        ActorClassInfosFree();
        AnimCacheFreeAll();
        DefFileFreeAll();
        DestroyScriptCache();
        ConShutdown();
        VFSShutdown();
        MapSightFactorsReset();
        EngineSRand(m_seed);
        TempDirTest::TearDown();
    }

    // Every soldier somewhere round the outpost, turned and posed at random; the chosen target
    // sometimes has another soldier standing inside its box.
    void Scatter(Actor* target)
    {
        for (AIInterface* soldier : m_soldiers) {
            Actor* body = soldier->body;
            const float x = kOutpostX + Uniform(-kSpread, kSpread), z = kOutpostZ + Uniform(-kSpread, kSpread);
            body->SetPosition({x, MapTerrainHeight(x, z, nullptr, nullptr) + Uniform(-1.0f, 6.0f), z});
            body->heading = Uniform(0.0f, 6.2831853f);
            body->pitch = Uniform(-0.3f, 0.3f);
            body->pose = static_cast<s32_t>(EngineRand() % 3);
            body->crouched = body->pose == ACTOR_POSE_CROUCH;
            body->prone = body->pose == ACTOR_POSE_PRONE;
            DynObjectUpdateGrid(body);
        }
        if (EngineRand() % 4 == 0) {
            Actor* blocker = m_soldiers[(EngineRand() % (m_soldiers.size() - 2)) + 2]->body;
            if (blocker != target) {
                const Vector3 at = target->GetPosition();
                blocker->SetPosition(
                    {at.x + Uniform(-3.0f, 3.0f), at.y + Uniform(0.0f, 4.0f), at.z + Uniform(-3.0f, 3.0f)});
                DynObjectUpdateGrid(blocker);
            }
        }
    }

    std::vector<AIInterface*> m_soldiers;

private:
    u32_t m_seed = 1;
    // The soldier's definition sets the oxygen of every actor.
    KeepVar m_oxygen{mi_oxygen};
};

TEST_F(SightOracle, CanSeeAndTheRegistryWalkGiveThePlainRulesAnswers)
{
    KeepVar walk(gbvo);
    gbvo.SetBool(true);
    g_frameView.player = m_soldiers[0]->body;
    // What the placements cover: the first corner's line clear, stopped by the target, stopped by
    // something else; and targets seen and not seen.
    int outcomes[3] = {}, seen[2] = {};
    for (int n = 0; n < kPlacements; ++n) {
        AIInterface* viewer = m_soldiers[1];
        Actor* target = m_soldiers[2 + static_cast<size_t>(n) % (m_soldiers.size() - 2)]->body;
        Scatter(target);
        AIEntity* eyes = viewer->entity;
        Vector3 aim;
        viewer->body->GetAimPoint(&aim, ACTOR_AIM_EYE);
        float box[6];
        target->GetGeometryBounds(box);
        ++outcomes[FirstCornerOutcome(aim, box, viewer->body, target)];
        for (bool skipFrustum : {true, false}) {
            const bool expected = PlainSees(eyes, aim, target, skipFrustum);
            seen[expected ? 1 : 0] += skipFrustum;
            ASSERT_EQ(eyes->CanSee(target, skipFrustum), expected)
                << "placement " << n << " skipFrustum " << skipFrustum;
        }
        // The registry walk from the frustum's eye: every living actor of the registry that is neither
        // neutral nor a friend (the outpost's own guard too).
        Vector3 eye = viewer->body->GetPosition();
        eye.y += AI_ENTITY_EYE_HEIGHT;
        std::vector<DynamicObject*> expected;
        DynamicObject** objects = nullptr;
        s32_t objectCount = 0;
        DynObjectsGet(&objects, &objectCount);
        for (s32_t i = 0; i < objectCount; ++i) {
            if (objects[i]->typeId != OBJECT_TYPE_ACTOR || objects[i] == viewer->body)
                continue;
            const AIEntity* other = static_cast<Actor*>(objects[i])->GetAIEntity();
            if (!other || other->IsNeutral() || other->IsFriendOf(eyes) || !(other->health > 0.0f))
                continue;
            if (PlainSees(eyes, eye, objects[i], false))
                expected.push_back(objects[i]);
        }
        DynamicObject* found[64];
        s32_t count = 64;
        eyes->FindVisibleActors(VISIBLE_ENEMIES, found, &count, false);
        std::vector<DynamicObject*> got(found, found + count);
        std::sort(got.begin(), got.end());
        std::sort(expected.begin(), expected.end());
        ASSERT_EQ(got, expected) << "placement " << n;
    }
    for (int outcome : outcomes)
        EXPECT_GT(outcome, 0) << "a kind of sight line the placements never make";
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
}

}  // namespace
