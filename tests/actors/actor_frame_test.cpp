// The actor's frame on a small land: falling and landing, steps, jumps, stance requests and the held
// crouch, breath under water, footsteps, corpses, patrol paths and routes. Time is stepped with a
// fixed frame time, tick and seed.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "core/frame_view.h"
#include "tests/actors/actor_motion_support.h"
#include "actors/actor_class.h"
#include "actors/actor_cvars.h"
#include "actors/anim_name_tables.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "ai/envelopes/envelope.h"
#include "ai/soldier/path_follower.h"
#include "ai/squads/patrol_path.h"
#include "core/sound/sound.h"
#include "core/sound/sound_source.h"
#include "game/game_cvars.h"
#include "game/view/player_view.h"
#include "gui/screens/gui.h"
#include "map/materials/material.h"
#include "map/octree/object_grid.h"
#include "map/octree/octree.h"
#include "map/registry/world_registry.h"
#include "support/subtitle_layer.h"
#include "map/land_maps/water_square.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/object_trace.h"

namespace {

using motion_test::MotionGuard;

constexpr float kDt = 0.02f;
constexpr DWORD kStartTick = 100000;

// Flat ground at height 0 for x in -400..-100 (with water over x -400..-300, surface 50), a plateau
// at height 3 for x in 100..400, nothing in between.
class FixtureLand : public ::testing::Test {
protected:
    void SetUp() override
    {
        OctreeNode* root = OctreeCreateRoot({-500, -500, -500}, {500, 500, 500});
        std::vector<std::array<Vector3, 3>> triangles;
        auto quad = [&](float x0, float x1, float y) {
            triangles.push_back({Vector3{x0, y, -400}, Vector3{x0, y, 400}, Vector3{x1, y, 400}});
            triangles.push_back({Vector3{x0, y, -400}, Vector3{x1, y, 400}, Vector3{x1, y, -400}});
        };
        quad(-400, -100, 0);
        quad(100, 400, 3);
        OctreeGeometry& g = root->geometry;
        g.vertexCount = g.vertexCapacity = static_cast<u32_t>(triangles.size() * 3);
        g.faceCount = g.faceCapacity = static_cast<u32_t>(triangles.size());
        g.vertices = new MapVertex[g.vertexCount];
        g.faces = new MapFace[g.faceCount];
        for (size_t t = 0; t < triangles.size(); ++t) {
            for (int corner = 0; corner < 3; ++corner) {
                g.vertices[t * 3 + corner] = MapVertex{triangles[t][corner], 0.0f, 0.0f, {0, 1, 0}};
                g.faces[t].indices[corner] = static_cast<u16_t>(t * 3 + corner);
            }
        }
        m_water = {-400.0f, -400.0f, -300.0f, 400.0f, 50.0f};
        root->waterSquares = new WaterSquare*[1];
        root->waterSquares[0] = &m_water;
        root->waterSquareCount = 1;
        float* view = GameGetViewPos();
        for (int i = 0; i < 3; ++i)
            m_savedView[i] = view[i];
    }
    void TearDown() override
    {
        OctreeDestroy();
        float* view = GameGetViewPos();
        for (int i = 0; i < 3; ++i)
            view[i] = m_savedView[i];
    }
    static void SetView(const Vector3& p)
    {
        float* view = GameGetViewPos();
        view[0] = p.x;
        view[1] = p.y;
        view[2] = p.z;
    }
    void Frame(Actor* actor)
    {
        actor->Update();
        PlatformTestClockAdvance(static_cast<DWORD>(kDt * 1000.0f));
    }

    MotionGuard m_guard{kDt, kStartTick, 7};
    WaterSquare m_water{};
    float m_savedView[3] = {};
};

TEST_F(FixtureLand, FallingStepsAndLandings)
{
    struct Case {
        const char* name;
        Vector3 start;
        bool dies;
        float groundY;
        int maxFrames;
    };
    const Case cases[] = {
        {"a 100-unit drop kills on landing", {-200, 100, 0}, true, 0.0f, 400},
        {"a 2-unit ledge does not", {-200, 2, 0}, false, 0.0f, 100},
        {"a 3-unit step lifts at once", {200, 0, 0}, false, 3.0f, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AIInterface* ai = new AIInterface();
        Actor* actor = ai->body;
        motion_test::AddBodyNodes(actor);
        actor->SetPosition(c.start);
        int frames = 0;
        while (!actor->onGround && frames < c.maxFrames) {
            Frame(actor);
            ++frames;
        }
        EXPECT_TRUE(actor->onGround);
        EXPECT_FLOAT_EQ(actor->GetPosition().y, c.groundY);
        EXPECT_EQ(actor->isDead, c.dies);
        EXPECT_EQ(ai->entity->health, c.dies ? 0.0f : 100.0f);
        delete actor;
        delete ai;
    }
}

TEST_F(FixtureLand, StandingAndRunningJumps)
{
    Actor actor;
    motion_test::AddBodyNodes(&actor);
    actor.SetPosition({-200, 0, 0});
    actor.onGround = true;
    actor.movementMode = ACTOR_MOVE_IDLE;  // no move this frame
    actor.Jump();
    float highest = 0.0f;
    int frames = 0;
    while ((actor.jumping || !actor.onGround) && frames < 200) {
        Frame(&actor);
        highest = std::max(highest, actor.GetPosition().y);
        EXPECT_FLOAT_EQ(actor.GetPosition().x, -200.0f);
        EXPECT_FLOAT_EQ(actor.GetPosition().z, 0.0f);
        ++frames;
        // The jump ends on the first frame more than 500 ms after it began (frame 27 at 20 ms).
        if (frames == 26) {
            EXPECT_TRUE(actor.jumping);
        } else if (frames == 27) {
            EXPECT_FALSE(actor.jumping);
        }
    }
    EXPECT_GT(highest, 1.0f);
    EXPECT_TRUE(actor.onGround);
    EXPECT_FLOAT_EQ(actor.GetPosition().y, 0.0f);
    EXPECT_FALSE(actor.isDead);

    Actor runner;
    motion_test::AddBodyNodes(&runner);
    g_frameView.player = &runner;
    runner.SetPosition({-200, 0, 0});
    runner.onGround = true;
    runner.Jump();
    runner.RunForward();
    Vector3 before = runner.GetPosition();
    for (int i = 0; i < 5; ++i) {
        Frame(&runner);
        const Vector3 after = runner.GetPosition();
        EXPECT_NEAR(std::hypot(after.x - before.x, after.z - before.z), 10.0f * 44.0f * kDt, 1e-3f);
        before = after;
    }
}

TEST_F(FixtureLand, TheLandingFollowsTheJump)
{
    // A class whose only animation is the landing ("fall", pose 0): 10 frames at 12.5 per second.
    AnimMesh fall;
    fall.frames_c = 10;
    fall.frameRate = 12.5f;
    ActorClassInfo info;
    info.legsNames.assign(LEGS_TABLE_ROW, ANIM_CELL_NONE);
    info.legsNames[LEGS_FALL * ACTOR_POSES] = 0;
    info.legsGroups.resize(1);
    info.legsGroups[0].entries.resize(1);
    info.legsGroups[0].entries[0].animations[0] = &fall;
    info.legsGroups[0].entries[0].animationCount = 1;
    Actor actor;  // without body nodes: nothing to draw the meshes on
    actor.classInfo = &info;
    g_frameView.player = &actor;
    actor.movementMode = ACTOR_MOVE_IDLE;
    actor.Jump();
    int frames = 0;
    while (actor.jumping && frames < 100) {
        Frame(&actor);
        ++frames;
    }
    EXPECT_TRUE(actor.landing);
    int landingFrames = 0;
    while (actor.landing && landingFrames < 100) {
        Frame(&actor);
        ++landingFrames;
    }
    // 9 frames of animation at 0.25 a step: 36 steps, the first of them the one that ended the jump.
    EXPECT_EQ(landingFrames, 35);
    EXPECT_EQ(actor.landFrame, 0.0f);
    actor.classInfo = nullptr;
    fall.frames_c = 0;
}

TEST_F(FixtureLand, StanceRequestAndHeldCrouch)
{
    Actor actor;
    motion_test::AddBodyNodes(&actor);
    actor.SetPosition({-200, 0, 0});
    actor.targetPose = 2;
    Frame(&actor);
    EXPECT_EQ(actor.pose, ACTOR_POSE_CROUCH);
    Frame(&actor);
    EXPECT_EQ(actor.pose, ACTOR_POSE_PRONE);
    EXPECT_EQ(actor.targetPose, 2);
    Frame(&actor);
    EXPECT_EQ(actor.targetPose, -1);

    Actor crouching;
    motion_test::AddBodyNodes(&crouching);
    crouching.Crouch(true);
    EXPECT_EQ(crouching.pose, ACTOR_POSE_CROUCH);
    Frame(&crouching);
    EXPECT_EQ(crouching.pose, ACTOR_POSE_STAND);
    EXPECT_FALSE(crouching.crouched || crouching.momentaryCrouch);
    EXPECT_EQ(crouching.movementMode, ACTOR_MOVE_IDLE);
    EXPECT_EQ(crouching.currentSpeed, 0.0f);
}

TEST_F(FixtureLand, Breath)
{
    const Vector3 wet = {-350, 0, 0};
    const Vector3 dry = {-200, 0, 0};
    const int fourSeconds = static_cast<int>(std::lround(4.0f / kDt));

    // Drowns after 4 s under water.
    AIInterface* ai = new AIInterface();
    Actor* soldier = ai->body;
    soldier->SetPosition(wet);
    soldier->oxygen = soldier->oxygenMax = 20.0f;
    for (int i = 0; i < fourSeconds - 2; ++i)
        Frame(soldier);
    EXPECT_FALSE(soldier->isDead);
    for (int i = 0; i < 4; ++i)
        Frame(soldier);
    EXPECT_TRUE(soldier->isDead);
    EXPECT_EQ(ai->entity->health, 0.0f);
    // Dead, it keeps draining and does not die again.
    soldier->deathSet = 5;
    soldier->oxygen = 0.15f;
    Frame(soldier);
    Frame(soldier);
    EXPECT_EQ(soldier->oxygen, 0.0f);
    EXPECT_EQ(soldier->deathSet, 5);

    // Refills to 20 in 2 s and stops there.
    Actor breather;
    breather.SetPosition(dry);
    breather.oxygenMax = 20.0f;
    for (int i = 0; i < fourSeconds / 2 + 2; ++i)
        Frame(&breather);
    EXPECT_EQ(breather.oxygen, 20.0f);
    EXPECT_EQ(mi_oxygen.Int(), 20);

    // noCollision: no change; oxygenMax 0: drowns in its first frame under water.
    Actor ghost;
    ghost.SetPosition(wet);
    ghost.noCollision = true;
    ghost.oxygen = ghost.oxygenMax = 20.0f;
    Frame(&ghost);
    EXPECT_EQ(ghost.oxygen, 20.0f);
    Actor gasping;
    gasping.SetPosition(wet);
    Frame(&gasping);
    EXPECT_TRUE(gasping.isDead);

    // The player in god mode never loses oxygen under water.
    const bool god = gb_godmode.Bool();
    gb_godmode.SetBool(true);
    Actor player;
    g_frameView.player = &player;
    SetView(wet);
    player.oxygenMax = 20.0f;
    player.oxygen = 10.0f;
    Frame(&player);
    EXPECT_GT(player.oxygen, 10.0f);
    gb_godmode.SetBool(false);
    const float before = player.oxygen;
    Frame(&player);
    EXPECT_LT(player.oxygen, before);
    gb_godmode.SetBool(god);

    delete soldier;
    delete ai;
}

// A crate whose top, at y 1, is a face of the material it is given.
class Crate : public DynamicObject {
public:
    explicit Crate(Material* faceMaterial) : material(faceMaterial)
    {
        typeId = OBJECT_TYPE_STRUCTURE;
        SetGridEntry(ObjectGridEntryCreate(OBJECT_GRID_OBJECT, this));
    }
    bool IsCollidable() const override { return true; }
    void GetGeometryBounds(float* box) override
    {
        const float b[6] = {-210, -1, -10, -190, 1, 10};
        for (int i = 0; i < 6; ++i)
            box[i] = b[i];
    }
    float TraceRay(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit) override
    {
        if (!(direction.y < 0.0f))
            return OBJTRACE_NO_HIT;
        const float t = (1.0f - origin.y) / direction.y;
        hit->objDistance = t;
        hit->objHitPoint = {origin.x + t * direction.x, 1.0f, origin.z + t * direction.z};
        hit->objMaterial = (hit->objOptions & OBJTRACE_MATERIAL) ? material : nullptr;
        return t;
    }
    Material* material;
};

// A soldier running on a crate takes its steps from the crate's material, which the ground trace
// finds under his feet; none when out of earshot or riding.
TEST_F(FixtureLand, FootstepsByDistanceVehicleAndInterval)
{
    setenv("ALSOFT_DRIVERS", "null", 0);
    ASSERT_TRUE(SoundInit(nullptr));
    {
        Material material;
        material.step[1].interval = 400;
        Crate crate(&material);
        ASSERT_TRUE(DynObjectAdd(&crate));
        Actor soldier;
        ASSERT_TRUE(soldier.sound->CreateAudioPath());
        soldier.SetPosition({-200, 1, 0});
        soldier.shownMode = ACTOR_MOVE_RUN;
        SetView({-200, 0, 251});
        soldier.UpdateSounds();
        EXPECT_EQ(soldier.runStepTick, 0u);
        SetView({-200, 0, 249});
        soldier.inVehicle = true;
        soldier.UpdateSounds();
        EXPECT_EQ(soldier.runStepTick, 0u);
        soldier.inVehicle = false;
        std::vector<u32_t> steps;
        for (int i = 0; i < 40; ++i) {
            soldier.UpdateSounds();
            if (steps.empty() || steps.back() != soldier.runStepTick)
                steps.push_back(soldier.runStepTick);
            PlatformTestClockAdvance(50);
        }
        EXPECT_EQ(soldier.groundMaterial, &material);
        ASSERT_GE(steps.size(), 3u);
        for (size_t i = 1; i < steps.size(); ++i)
            EXPECT_GT(steps[i] - steps[i - 1], 400u);
        DynObjectRemove(&crate);
        soldier.sound->Release();
    }
    SoundShutdown();
}

TEST_F(FixtureLand, ACorpseStopsCollidingAndIsStatic)
{
    Actor actor;
    motion_test::AddBodyNodes(&actor);
    actor.SetPosition({-200, 0, 0});
    actor.die(1, 0.0f);
    Frame(&actor);
    EXPECT_TRUE(actor.isCorpse);
    EXPECT_TRUE(actor.IsStatic());
    EXPECT_FALSE(actor.IsCollidable());
    EXPECT_TRUE(actor.deathDone);
    EXPECT_EQ(actor.shownMode, ACTOR_MOVE_IDLE);
}

// A body that pushes a sphere 6 units along +x out of itself.
class PushingBody : public DynamicObject {
public:
    PushingBody()
    {
        typeId = OBJECT_TYPE_ACTOR;
        SetGridEntry(ObjectGridEntryCreate(OBJECT_GRID_OBJECT, this));
    }
    // Beside the actor's start, not on it: a body at the very same point makes the actor step aside first.
    Vector3 GetPosition() const override { return {2, 0, 0}; }
    bool IsCollidable() const override { return collidable; }
    void GetGeometryBounds(float* box) override
    {
        const float b[6] = {-5, 0, -5, 5, 20, 5};
        for (int i = 0; i < 6; ++i)
            box[i] = b[i];
    }
    bool SphereCollision(const Vector3& centre, float radius, Vector3* out) override
    {
        lastRadius = radius;
        lastCentreY = centre.y;
        *out = {centre.x + 6.0f, centre.y, centre.z};
        return true;
    }
    bool collidable = true;
    float lastRadius = 0.0f;
    float lastCentreY = 0.0f;
};

// The push-out asks the object grid for the cells under its box: the bodies linked there push, and
// without a map there are no cells and nothing pushes.
TEST(ActorPushOut, OverlappingBodiesPushTheActorOut)
{
    MotionGuard guard(0.02f, 1000, 1);
    PushingBody other;
    ASSERT_TRUE(DynObjectAdd(&other));
    {
        Actor actor;
        actor.shownMode = ACTOR_MOVE_WALK;
        g_frameView.player = nullptr;
        ActorCollide(&actor);
        EXPECT_FLOAT_EQ(actor.GetPosition().x, 0.0f) << "no map, no cells";
    }
    DynObjectRemove(&other);
    OctreeCreateRoot({-500, -500, -500}, {500, 500, 500});
    ASSERT_TRUE(DynObjectAdd(&other));
    struct Case {
        const char* name;
        bool player, idle, corpse, collidable, far;
        float x;
    };
    const Case cases[] = {
        {"pushed", false, false, false, true, false, 6.0f},
        {"the player is not", true, false, false, true, false, 0.0f},
        {"an idle actor is not", false, true, false, true, false, 0.0f},
        {"a corpse is not", false, false, true, true, false, 0.0f},
        {"nor by what does not collide", false, false, false, false, false, 0.0f},
        {"nor by a body beyond the query box", false, false, false, true, true, 40.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Actor actor;
        actor.SetPosition({c.far ? 40.0f : 0.0f, 0, 0});
        actor.shownMode = c.idle ? ACTOR_MOVE_IDLE : ACTOR_MOVE_WALK;
        actor.deathDone = c.corpse;
        g_frameView.player = c.player ? &actor : nullptr;
        other.collidable = c.collidable;
        ActorCollide(&actor);
        EXPECT_FLOAT_EQ(actor.GetPosition().x, c.x);
        EXPECT_FLOAT_EQ(actor.GetPosition().y, 0.0f);
    }
    // The sphere of radius 4.5 is tested 13 units above the feet.
    EXPECT_EQ(other.lastRadius, 4.5f);
    EXPECT_EQ(other.lastCentreY, 13.0f);
    DynObjectRemove(&other);
    OctreeDestroy();
}

// Puts the soldier on its current patrol point before every step, so that each step advances.
std::vector<u32_t> PatrolVisits(s32_t mode, int steps)
{
    float points[8] = {-200, 0, -200, 50, -150, 50, -150, 0};
    PatrolPath path;
    path.points = points;
    path.pointCount = 4;
    path.mode = mode;
    AIInterface* ai = new AIInterface();
    Actor* soldier = ai->body;
    motion_test::AddBodyNodes(soldier);
    ai->entity->patrolAllowed = 1;
    ai->entity->currentPatrolPath = &path;
    soldier->SetPosition({-200, 0, 0});
    std::vector<u32_t> visits;
    for (int i = 0; i < steps; ++i) {
        const u32_t index = soldier->follower->patrolIndex;
        soldier->SetPosition({points[2 * index], 0, points[2 * index + 1]});
        soldier->follower->patrolWaiting = 0;
        ActorSteer(soldier);
        visits.push_back(soldier->follower->patrolIndex);
    }
    ai->entity->currentPatrolPath = nullptr;
    path.points = nullptr;
    delete soldier;
    delete ai;
    return visits;
}

TEST_F(FixtureLand, PatrolOrders)
{
    EXPECT_EQ(PatrolVisits(PATROL_MODE_PINGPONG, 8), (std::vector<u32_t>{0, 1, 2, 3, 2, 1, 0, 1}));
    EXPECT_EQ(PatrolVisits(PATROL_MODE_LOOP, 6), (std::vector<u32_t>{0, 1, 2, 3, 0, 1}));
}

TEST_F(FixtureLand, PatrolPausesAboutOnePointInFour)
{
    float points[4] = {-200, 0, -200, 1};
    PatrolPath path;
    path.points = points;
    path.pointCount = 2;
    path.mode = PATROL_MODE_LOOP;
    AIInterface* ai = new AIInterface();
    Actor* soldier = ai->body;
    motion_test::AddBodyNodes(soldier);
    ai->entity->patrolAllowed = 1;
    ai->entity->currentPatrolPath = &path;
    soldier->SetPosition({-200, 0, 0});
    ActorSteer(soldier);
    int pauses = 0;
    const int advances = 400;
    for (int i = 0; i < advances; ++i) {
        soldier->follower->patrolWaiting = 0;
        ActorSteer(soldier);
        if (soldier->follower->patrolWaiting) {
            ++pauses;
            EXPECT_GE(soldier->follower->patrolWaitTime, 2500u);
            EXPECT_LE(soldier->follower->patrolWaitTime, 10000u);
        }
    }
    EXPECT_GT(pauses, advances / 4 - 30);
    EXPECT_LT(pauses, advances / 4 + 30);
    // A pause ends once its time has passed.
    soldier->follower->patrolWaiting = 1;
    soldier->follower->patrolWaitStart = GetTickCount();
    soldier->follower->patrolWaitTime = 2500;
    PlatformTestClockAdvance(2501);
    ActorSteer(soldier);
    EXPECT_EQ(soldier->follower->patrolWaiting, 0);
    ai->entity->currentPatrolPath = nullptr;
    path.points = nullptr;
    delete soldier;
    delete ai;
}

TEST_F(FixtureLand, ARouteIsFollowedToItsEndAndReportedOnce)
{
    // Said by the soldier's envelope when it has one, else by the soldier's object.
    const SubtitleLayerScope subtitles;
    for (const char* envelopeName : {static_cast<const char*>(nullptr), "Alpha"}) {
        AIInterface* ai = new AIInterface();
        Actor* soldier = ai->body;
        motion_test::AddBodyNodes(soldier);
        DOEnvelope envelope(envelopeName);
        if (envelopeName) {
            envelope.Attach(soldier);
            soldier->envelope = &envelope;
        }
        ai->movementMode = 0;
        ai->moveToObjectPending = 1;
        soldier->name.Assign("walker");
        soldier->SetPosition({-200, 0, 0});
        soldier->MoveTo({-200, 0, -50});
        const u32_t shownBefore = g_gui.subtitleSlot.start;
        g_gui.subtitleSlot = {};
        g_gui.subtitleKey.Assign("");
        int frames = 0;
        while (soldier->follower->moving && frames < 200) {
            ActorSteer(soldier);
            PlatformTestClockAdvance(20);
            ++frames;
        }
        EXPECT_FALSE(soldier->follower->moving);
        EXPECT_NEAR(soldier->GetPosition().z, -50.0f, 1.0f);
        EXPECT_NEAR(soldier->GetPosition().x, -200.0f, 1e-3f);
        EXPECT_EQ(ai->moveToObjectPending, 0);
        EXPECT_EQ(g_gui.subtitleSlot.duration, 1500u);
        EXPECT_STREQ(g_gui.subtitleKey.Text(), "messages._gm_move_end");
        EXPECT_STREQ(g_gui.subtitleSpeaker.Text(), envelopeName ? envelopeName : "walker");
        g_gui.subtitleSlot.start = shownBefore;
        soldier->envelope = nullptr;
        delete soldier;
        delete ai;
    }
}

}  // namespace
