// What a soldier sees, on flat land with a floating wall: the frustum it builds, the sight test of
// one target by frustum and sight lines, the registry walk with its kinds and capacity, and the
// team-list walk with its chance of overlooking soldiers in the fog.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/actor_cvars.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "core/frame_view.h"
#include "core/random.h"
#include "game/game_state.h"
#include "map/registry/actor_lists.h"
#include "map/map_cvars.h"
#include "map/trace/map_sight.h"
#include "map/octree/octree_query.h"
#include "map/trace/map_trace.h"
#include "map/terrain/map_state.h"
#include "map/registry/world_registry.h"
#include "render/draw2d/debug_primitives.h"
#include "support/keep_var.h"
#include "support/land_octree.h"
#include "support/temp_dir.h"
#include "world/nodes/object_trace.h"

namespace {

constexpr float kHalfWidth = 5.0f;
constexpr float kHeight = 18.0f;

// A soldier whose body is a box 10 x 18 x 10 standing on its position. A solid one answers ray traces
// on that box grown by 2 (the hit point kept inside the box), so that every sight line to one of
// its top corners meets the body itself first.
class BoxActor : public Actor {
public:
    explicit BoxActor(bool solid) : m_solid(solid) {}

    void GetGeometryBounds(float* box) override
    {
        const Vector3 p = GetPosition();
        box[0] = p.x - kHalfWidth;
        box[1] = p.y;
        box[2] = p.z - kHalfWidth;
        box[3] = p.x + kHalfWidth;
        box[4] = p.y + kHeight;
        box[5] = p.z + kHalfWidth;
    }
    float TraceRay(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit) override
    {
        if (!m_solid)
            return OBJTRACE_NO_HIT;
        float box[6];
        GetGeometryBounds(box);
        const float o[3] = {origin.x, origin.y, origin.z}, d[3] = {direction.x, direction.y, direction.z};
        float enter = 0.0f, leave = 1e30f;
        for (int axis = 0; axis < 3; ++axis) {
            const float low = box[axis] - 2.0f, high = box[axis + 3] + 2.0f;
            if (std::fabs(d[axis]) < 1e-12f) {
                if (o[axis] < low || o[axis] > high)
                    return OBJTRACE_NO_HIT;
                continue;
            }
            float a = (low - o[axis]) / d[axis], b = (high - o[axis]) / d[axis];
            if (a > b)
                std::swap(a, b);
            enter = std::max(enter, a);
            leave = std::min(leave, b);
        }
        if (enter > leave)
            return OBJTRACE_NO_HIT;
        float at[3];
        for (int axis = 0; axis < 3; ++axis)
            at[axis] = std::clamp(o[axis] + d[axis] * enter, box[axis], box[axis + 3]);
        hit->objHitPoint = {at[0], at[1], at[2]};
        hit->objDistance = enter;
        return enter;
    }

private:
    bool m_solid;
};

// Flat land 2000 wide at height 0 and a wall floating from 10 to 40 across x 50..150 at z -120..-110:
// a soldier at the origin looking down -z sees under it but not over it.
class Sight : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        m_seed = EngineRandState();
        EngineSRand(7);
        MapSightFactorsReset();
        MapAuthorPlan plan = land_test::FlatPlan();
        const float low[3] = {50.0f, 10.0f, -120.0f}, high[3] = {150.0f, 40.0f, -110.0f};
        plan.meshes.push_back(MapAuthorBox("col_wall", "", low, high));
        std::string error;
        ASSERT_TRUE(land_test::LoadLand(plan, "land.lff", error)) << error;
        m_self = Soldier({0.0f, 0.0f, 0.0f}, false, ACTOR_TEAM_ENEMY);
    }
    void TearDown() override
    {
        g_frameView.player = nullptr;
        for (BoxActor* body : m_bodies) {
            DynObjectRemove(body);
            AIInterface* interface = body->ai;
            delete body;
            delete interface;
        }
        ActorListsFree();
        land_test::UnloadLand();
        MapSightFactorsReset();
        EngineSRand(m_seed);
        EXPECT_EQ(g_ai.interfaceCount, 0u);
        TempDirTest::TearDown();
    }

    // A soldier of the team in the world at the point, its AI's body replaced by a box body.
    BoxActor* Soldier(const Vector3& at, bool solid, s32_t team)
    {
        AIInterface* interface = new AIInterface();
        delete interface->body;
        BoxActor* body = new BoxActor(solid);
        interface->body = body;
        interface->entity->actor = body;
        body->ai = interface;
        body->SetPosition(at);
        interface->entity->SetTeam(team);
        interface->entity->UpdateFrustum(true);
        DynObjectAdd(body);
        m_bodies.push_back(body);
        return body;
    }
    AIEntity* Eyes() const { return m_self->GetAIEntity(); }
    std::vector<DynamicObject*> Find(s32_t kind, s32_t capacity, bool acceptOutsideFrustum = false)
    {
        std::vector<DynamicObject*> out(static_cast<size_t>(std::max(capacity, 1)), nullptr);
        s32_t count = capacity;
        Eyes()->FindVisibleActors(kind, out.data(), &count, acceptOutsideFrustum);
        out.resize(static_cast<size_t>(count));
        return out;
    }
    // How often the team-list walk finds the soldier in that many queries.
    int TimesFound(const Actor* wanted, int queries)
    {
        int found = 0;
        for (int i = 0; i < queries; ++i) {
            for (DynamicObject* object : Find(VISIBLE_ENEMIES, 8, true))
                found += object == wanted;
        }
        return found;
    }

    BoxActor* m_self = nullptr;
    std::vector<BoxActor*> m_bodies;

private:
    u32_t m_seed = 1;
};

TEST_F(Sight, TheFrustumSpansNearToSightRangeAroundTheHeading)
{
    AIEntity* eyes = Eyes();
    const float range = eyes->sightRange;
    auto inside = [eyes](const Vector3& p) {
        const float box[6] = {p.x - 0.01f, p.y - 0.01f, p.z - 0.01f, p.x + 0.01f, p.y + 0.01f, p.z + 0.01f};
        return BoxInsidePlanes(box, eyes->frustumPlanes, 6);
    };
    // The eye stands 17 above the body; heading 0 looks down -z.
    EXPECT_TRUE(inside({0.0f, 17.0f, -1.0f}));
    EXPECT_FALSE(inside({0.0f, 17.0f, -0.1f}));  // before the near plane
    // The far plane comes back from the single-precision projection within a few units.
    EXPECT_TRUE(inside({0.0f, 17.0f, -(range - 50.0f)}));
    EXPECT_FALSE(inside({0.0f, 17.0f, -(range + 50.0f)}));
    EXPECT_FALSE(inside({0.0f, 17.0f, 10.0f}));
    // Sideways the view opens by the aspect 1.33, up and down by 1.
    EXPECT_TRUE(inside({125.0f, 17.0f, -100.0f}));
    EXPECT_FALSE(inside({140.0f, 17.0f, -100.0f}));
    EXPECT_TRUE(inside({0.0f, 17.0f + 95.0f, -100.0f}));
    EXPECT_FALSE(inside({0.0f, 17.0f + 105.0f, -100.0f}));
    for (const D3DXPLANE& plane : eyes->frustumPlanes)
        EXPECT_NEAR(plane.a * plane.a + plane.b * plane.b + plane.c * plane.c, 1.0f, 1e-5f);

    // Turned half round and moved, the frustum follows at the next query.
    m_self->heading = 3.1415927f;
    m_self->SetPosition({0.0f, 0.0f, 50.0f});
    EXPECT_FALSE(inside({0.0f, 17.0f, 100.0f}));
    eyes->UpdateFrustum(false);
    EXPECT_TRUE(inside({0.0f, 17.0f, 100.0f}));
    EXPECT_FALSE(inside({0.0f, 17.0f, 0.0f}));
    EXPECT_EQ(eyes->viewPosition.z, 50.0f);
}

TEST_F(Sight, TheDebugDrawingShowsTheSidesOfSoldiersButNotOfThePlayer)
{
    KeepVar keep(gbdebugai);
    const u32_t before = g_debugPrimitives.faces.count;
    auto added = [before] { return g_debugPrimitives.faces.count - before; };
    Eyes()->UpdateFrustum(true);
    EXPECT_EQ(added(), 0u);
    gbdebugai.SetBool(true);
    Eyes()->UpdateFrustum(true);
    EXPECT_EQ(added(), 4u);
    g_frameView.player = m_self;
    Eyes()->UpdateFrustum(true);
    EXPECT_EQ(added(), 4u);
    DebugListsReset();
}

TEST_F(Sight, CanSeeByFrustumAndTopCorners)
{
    struct Case {
        const char* name;
        Vector3 at;
        bool solid;
        bool skipFrustum;
        bool seen;
    };
    const Case cases[] = {
        {"ahead in the open", {-100.0f, 0.0f, -200.0f}, false, false, true},
        {"behind", {0.0f, 0.0f, 200.0f}, false, false, false},
        {"behind, frustum skipped", {0.0f, 0.0f, 200.0f}, false, true, true},
        {"far to the side", {300.0f, 0.0f, -50.0f}, false, false, false},
        {"far to the side, frustum skipped", {300.0f, 0.0f, -50.0f}, false, true, true},
        {"top corners behind the wall, feet under it", {100.0f, 0.0f, -200.0f}, false, false, false},
        {"a sight line meeting the target itself", {-100.0f, 0.0f, -200.0f}, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BoxActor* target = Soldier(c.at, c.solid, ACTOR_TEAM_FRIEND);
        EXPECT_EQ(Eyes()->CanSee(target, c.skipFrustum), c.seen);
        DynObjectRemove(target);
    }
    // The feet under the wall are in plain view: only the top corners count.
    const float feet[3] = {100.0f, 2.0f, -200.0f}, eye[3] = {0.0f, 16.0f, 0.0f};
    MapTraceInfo info;
    info.flags = 0;
    info.ignoreObject = nullptr;
    info.objOptions = 0;
    EXPECT_FALSE(MapTrace(eye, feet, &info));
}

// The blocker and the target stand in different quadrants of the land, so in different leaves: the
// map trace reports the first leaf's object hit.
TEST_F(Sight, ASoldierInTheWayHidesTheTarget)
{
    m_self->SetPosition({100.0f, 0.0f, 400.0f});
    BoxActor* target = Soldier({-200.0f, 0.0f, -800.0f}, true, ACTOR_TEAM_FRIEND);
    EXPECT_TRUE(Eyes()->CanSee(target, false));
    Soldier({50.0f, 0.0f, 200.0f}, true, ACTOR_TEAM_FRIEND);
    EXPECT_FALSE(Eyes()->CanSee(target, false));
}

TEST_F(Sight, TheRegistryWalkCollectsByKindUpToOneBelowCapacity)
{
    KeepVar keep(gbvo);
    gbvo.SetBool(true);
    std::vector<BoxActor*> friends;
    for (int i = 0; i < 10; ++i)
        friends.push_back(Soldier({-120.0f + 20.0f * float(i), 0.0f, -300.0f}, false, ACTOR_TEAM_FRIEND));
    BoxActor* mate = Soldier({-100.0f, 0.0f, -150.0f}, false, ACTOR_TEAM_ENEMY);
    Soldier({0.0f, 0.0f, 150.0f}, false, ACTOR_TEAM_FRIEND);  // behind
    Soldier({-60.0f, 0.0f, -150.0f}, false, ACTOR_TEAM_NEUTRAL);

    EXPECT_TRUE(Find(VISIBLE_ANY_ACTOR, 1).empty());
    EXPECT_TRUE(Find(VISIBLE_ANY_ACTOR, 0).empty());
    EXPECT_EQ(Find(VISIBLE_ANY_ACTOR, 8).size(), 7u);
    EXPECT_EQ(Find(VISIBLE_ANY_ACTOR, 64).size(), 12u);
    EXPECT_EQ(Find(VISIBLE_ANY_ACTOR, 64, true).size(), 13u);
    // This soldier is an enemy: the friends are its enemies, its mate its friend, the neutral neither.
    EXPECT_EQ(Find(VISIBLE_ENEMIES, 64).size(), 10u);
    EXPECT_EQ(Find(VISIBLE_FRIENDS, 64), std::vector<DynamicObject*>{mate});
    // A dead friend is neither enemy nor friend, and a corpse for kind 4 once.
    friends[3]->GetAIEntity()->health = 0.0f;
    EXPECT_EQ(Find(VISIBLE_ENEMIES, 64).size(), 9u);
    EXPECT_EQ(Find(VISIBLE_CORPSES, 64), std::vector<DynamicObject*>{friends[3]});
    EXPECT_TRUE(friends[3]->sensedFlag);
    EXPECT_TRUE(Find(VISIBLE_CORPSES, 64).empty());
    EXPECT_EQ(Find(VISIBLE_ANY_ACTOR, 64).size(), 12u);
    EXPECT_TRUE(Find(VISIBLE_STRUCTURES, 64).empty());
}

TEST_F(Sight, TheTeamWalkOverlooksSoldiersInTheFog)
{
    KeepVar keepVo(gbvo), keepRange(mfrange), keepFog(mffogstart);
    gbvo.SetBool(false);
    // The player is a friend; this enemy soldier looks for enemies among the friends' list.
    BoxActor* player = Soldier({0.0f, 0.0f, 1000.0f}, false, ACTOR_TEAM_FRIEND);
    g_frameView.player = player;
    BoxActor* near = Soldier({0.0f, 0.0f, -40.0f}, false, ACTOR_TEAM_FRIEND);
    BoxActor* middle = Soldier({40.0f, 0.0f, -150.0f}, false, ACTOR_TEAM_FRIEND);
    BoxActor* far = Soldier({-40.0f, 0.0f, -300.0f}, false, ACTOR_TEAM_FRIEND);

    struct Case {
        const char* name;
        const char* range;
        const char* fogStart;
        float light;
        int found[3][2];  // near, middle, far: at least, at most
    };
    // In metres (a tenth of a unit): near 4.4, middle about 15.6, far about 30.5; 400 queries each.
    const Case cases[] = {
        // Fog from 10 to 20: middle at t 0.56 is noticed with (1 - t)^2, about 0.19.
        {"fog band", "20.0", "10.0", 1.0f, {{400, 400}, {40, 120}, {0, 0}}},
        // Half the light halves every chance.
        {"fog band, dim", "20.0", "10.0", 0.5f, {{160, 240}, {15, 65}, {0, 0}}},
        // No band: within the range always, beyond it never.
        {"range at the fog start", "20.0", "20.0", 1.0f, {{400, 400}, {400, 400}, {0, 0}}},
        {"range at the fog start, middle beyond", "10.0", "10.0", 1.0f, {{400, 400}, {0, 0}, {0, 0}}},
        // A range before the fog start is a range without a band, not a band turned inside out.
        {"range before the fog start", "10.0", "20.0", 1.0f, {{400, 400}, {0, 0}, {0, 0}}},
    };
    const Actor* const targets[3] = {near, middle, far};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mfrange.SetFromText(c.range);
        mffogstart.SetFromText(c.fogStart);
        g_map.sightLightFactor = c.light;
        for (int i = 0; i < 3; ++i) {
            const int found = TimesFound(targets[i], 400);
            EXPECT_GE(found, c.found[i][0]) << "target " << i;
            EXPECT_LE(found, c.found[i][1]) << "target " << i;
        }
    }
    MapSightFactorsReset();
    // The soldier's own side is on the other list; it never finds itself among its friends.
    for (DynamicObject* object : Find(VISIBLE_FRIENDS, 8, true))
        EXPECT_NE(object, m_self);
    EXPECT_TRUE(Find(VISIBLE_FRIENDS, 8, true).empty());
}

}  // namespace
