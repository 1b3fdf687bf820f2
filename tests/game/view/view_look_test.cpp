// The player's view and its collision routines: the mouse look (view, third-person orbit, the
// satellite view), the lean and stand probes and the collision sweep over a small world of box
// objects, and the view jolts of projectile hits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "actors/weapons/projectile.h"
#include "ai/envelopes/envelope.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "core/random.h"
#include "game/game_cvars.h"
#include "game/view/game_hits.h"
#include "game/game_state.h"
#include "game/view/mouse_look.h"
#include "game/player/player_control.h"
#include "game/player/player_control_state.h"
#include "game/view/player_view.h"
#include "game/player/room_tests.h"
#include "game/player/slide_move.h"
#include "platform/test_clock.h"
#include "render/camera.h"
#include "render/device/render_clock.h"
#include "scene/hud/screen_fade.h"
#include "support/keep_var.h"
#include "tests/map/map_world_fixture.h"
#include "world/nodes/sweep_contact.h"

namespace {

using map_world::TestObject;

// Puts back what the view routines write.
void ResetView()
{
    PlayerControlStateReset();
    GameSetYawPitch(0.0f, 0.0f);
    g_camera.thirdPersonYaw = g_camera.thirdPersonPitch = 0.0f;
    g_game.satelliteView = 0;
    g_game.ladderValue = 0;
    g_game.mouseLookFactorX = g_game.mouseLookFactorY = kDefaultMouseLookFactor;
    g_frameView.player = nullptr;
    std::memset(g_input.keyStates, 0, sizeof g_input.keyStates);
    GameSetPlayerClimbState(false, false);
}

// ---- the mouse look ----

class MouseLook : public ::testing::Test {
protected:
    void SetUp() override { ResetView(); }
    void TearDown() override { ResetView(); }
    KeepVar m_third{gbthirdperson};
    KeepVar m_invert{gb_invertmouse};
    static constexpr float kNoBox[6] = {};
    TestObject m_body{kNoBox};
};

TEST_F(MouseLook, PitchStopsAtExactly89Degrees)
{
    const struct {
        s32_t dy;
        bool inverted;
        float pitch;
    } cases[] = {
        {600, false, 1.553343f},                             // 1.8 radians asked
        {-600, false, -1.553343f}, {600, true, -1.553343f},  // inverted: the mouse down looks up
        {100, false, 0.3f},                                  // within the limit: the factor times the delta
        {100, true, -0.3f},
    };
    for (const auto& c : cases) {
        GameSetPitch(0.0f);
        gb_invertmouse.SetBool(c.inverted);
        MouseLookUpdate(0, c.dy);
        EXPECT_FLOAT_EQ(GameGetPitch(), c.pitch) << c.dy << (c.inverted ? " inverted" : "");
    }
    GameSetPitch(0.0f);
    gb_invertmouse.SetBool(false);
    MouseLookUpdate(0, 100000);
    EXPECT_EQ(GameGetPitch(), 1.553343f) << "held at the limit itself, not near it";
}

TEST_F(MouseLook, ZTurnsTheOrbitOnlyInThirdPersonWithAPlayer)
{
    g_input.keyStates[KEY_ORBIT] = INPUT_STATE_DOWN;
    g_frameView.player = &m_body;
    // First person: Z changes nothing, the view turns.
    gbthirdperson.SetBool(false);
    MouseLookUpdate(100, 50);
    EXPECT_FLOAT_EQ(GameGetYaw(), 0.3f);
    EXPECT_FLOAT_EQ(GameGetPitch(), 0.15f);
    EXPECT_EQ(g_camera.thirdPersonYaw, 0.0f);

    // Third person: the orbit turns and the view stays.
    gbthirdperson.SetBool(true);
    MouseLookUpdate(100, 50);
    EXPECT_FLOAT_EQ(g_camera.thirdPersonYaw, 0.3f);
    EXPECT_FLOAT_EQ(g_camera.thirdPersonPitch, 0.15f);
    EXPECT_FLOAT_EQ(GameGetYaw(), 0.3f);
    // The orbit stays within a turn.
    MouseLookUpdate(2000, 0);
    EXPECT_NEAR(g_camera.thirdPersonYaw, std::fmod(0.3f + 6.0f, 6.2831855f), 1e-5f);

    // Without a player nothing turns at all.
    g_frameView.player = nullptr;
    const float orbit = g_camera.thirdPersonYaw;
    MouseLookUpdate(100, 50);
    EXPECT_EQ(g_camera.thirdPersonYaw, orbit);
    EXPECT_FLOAT_EQ(GameGetYaw(), 0.3f);

    // Z let go in third person: the view turns again.
    g_frameView.player = &m_body;
    g_input.keyStates[KEY_ORBIT] = 0;
    MouseLookUpdate(100, 0);
    EXPECT_FLOAT_EQ(GameGetYaw(), 0.6f);
}

TEST_F(MouseLook, WithTheSatelliteViewOpenOnlyTheMovedFlagIsRaised)
{
    g_game.satelliteView = 1;
    g_frameView.player = &m_body;
    for (bool third : {false, true}) {
        gbthirdperson.SetBool(third);
        g_input.keyStates[KEY_ORBIT] = third ? INPUT_STATE_DOWN : 0;
        g_playerControl.mouseMoved = 0;
        MouseLookUpdate(100, 100);
        EXPECT_EQ(g_playerControl.mouseMoved, 1);
        EXPECT_EQ(GameGetYaw(), 0.0f);
        EXPECT_EQ(GameGetPitch(), 0.0f);
        EXPECT_EQ(g_camera.thirdPersonYaw, 0.0f);
    }
}

// ---- the small world: an octree of eight leaves and box objects in it ----

// A solid box: a ray meets it where it enters the box, a sphere touches it when its centre comes
// within the radius of the box, and is pushed out along the axis it came in least; optionally a ladder.
class Box : public TestObject, public SweepContactReporter {
public:
    explicit Box(const float* box, s32_t type = OBJECT_TYPE_STRUCTURE) : TestObject(box, type)
    {
        std::memcpy(m_bounds, box, sizeof m_bounds);
    }
    float TraceRay(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit) override
    {
        const float o[3] = {origin.x, origin.y, origin.z}, d[3] = {direction.x, direction.y, direction.z};
        float near = 0.0f, far = 1e30f;
        for (int a = 0; a < 3; ++a) {
            if (d[a] == 0.0f) {
                if (o[a] < m_bounds[a] || o[a] > m_bounds[a + 3])
                    return OBJTRACE_NO_HIT;
                continue;
            }
            float t0 = (m_bounds[a] - o[a]) / d[a], t1 = (m_bounds[a + 3] - o[a]) / d[a];
            if (t0 > t1)
                std::swap(t0, t1);
            near = std::max(near, t0);
            far = std::min(far, t1);
        }
        if (near > far)
            return OBJTRACE_NO_HIT;
        hit->objDistance = near;
        hit->objHitPoint = {o[0] + d[0] * near, o[1] + d[1] * near, o[2] + d[2] * near};
        return near;
    }
    bool SphereCollision(const Vector3& centre, float radius, Vector3* out) override
    {
        ++sphereTests;
        const float c[3] = {centre.x, centre.y, centre.z};
        float pushed[3] = {c[0], c[1], c[2]};
        float least = 1e30f;
        int axis = -1;
        for (int a = 0; a < 3; ++a) {
            if (c[a] < m_bounds[a] - radius || c[a] > m_bounds[a + 3] + radius)
                return false;
            const float toLow = c[a] - (m_bounds[a] - radius), toHigh = (m_bounds[a + 3] + radius) - c[a];
            if (std::min(toLow, toHigh) < least) {
                least = std::min(toLow, toHigh);
                axis = a;
                pushed[a] = toLow < toHigh ? m_bounds[a] - radius : m_bounds[a + 3] + radius;
            }
        }
        for (int a = 0; a < 3; ++a)
            if (a != axis)
                pushed[a] = c[a];
        *out = {pushed[0], pushed[1], pushed[2]};
        return true;
    }
    void ReportSweepContact(SweepContact* contact) const override
    {
        contact->ladder = ladder;
        contact->value = ladderValue;
    }

    int sphereTests = 0;
    u8_t ladder = 0;
    u32_t ladderValue = 0;

private:
    float m_bounds[6];
};

class SmallWorld : public map_world::WorldTest {
protected:
    void SetUp() override
    {
        ResetView();
        map_world::MakeWorld(1);
    }
    void TearDown() override
    {
        for (auto& envelope : m_envelopes)
            envelope->destroyed = 0;
        map_world::WorldTest::TearDown();
        m_boxes.clear();
        float* view = GameGetViewPos();
        view[0] = 10.0f, view[1] = 10.0f, view[2] = -40.0f;
        ResetView();
    }
    Box* Place(std::initializer_list<float> box, s32_t type = OBJECT_TYPE_STRUCTURE)
    {
        std::vector<float> values(box);
        m_boxes.push_back(std::make_unique<Box>(values.data(), type));
        EXPECT_TRUE(DynObjectAdd(m_boxes.back().get()));
        return m_boxes.back().get();
    }
    std::vector<std::unique_ptr<Box>> m_boxes;
    std::vector<std::unique_ptr<DOEnvelope>> m_envelopes;
    KeepVar m_collision{gfcollipar};
};

TEST_F(SmallWorld, AWallAt14UnitsRefusesALeanAndOneAt16AllowsIt)
{
    const float from[3] = {100.0f, 100.0f, 100.0f};
    const struct {
        float wallAt;
        bool room;
    } cases[] = {{14.0f, false}, {16.0f, true}};
    for (const auto& c : cases) {
        Box* wall = Place({100.0f + c.wallAt, 80.0f, 80.0f, 100.0f + c.wallAt + 4.0f, 120.0f, 120.0f});
        EXPECT_EQ(LeanRoomTest(1.0f, 0.0f, 0.0f, from), c.room) << c.wallAt;
        // Not along the lean: no matter.
        EXPECT_TRUE(LeanRoomTest(-1.0f, 0.0f, 0.0f, from)) << c.wallAt;
        DynObjectRemove(wall);
    }
    // The player's own body is no wall.
    Box* body = Place({110.0f, 80.0f, 80.0f, 114.0f, 120.0f, 120.0f});
    g_frameView.player = body;
    EXPECT_TRUE(LeanRoomTest(1.0f, 0.0f, 0.0f, from));
    g_frameView.player = nullptr;
    EXPECT_FALSE(LeanRoomTest(1.0f, 0.0f, 0.0f, from));
}

TEST_F(SmallWorld, ACeilingAt6UnitsRefusesStanding)
{
    float* view = GameGetViewPos();
    view[0] = 100.0f, view[1] = 100.0f, view[2] = 100.0f;
    EXPECT_TRUE(StandRoomTest());
    Box* ceiling = Place({80.0f, 106.0f, 80.0f, 120.0f, 108.0f, 120.0f});
    EXPECT_FALSE(StandRoomTest());
    DynObjectRemove(ceiling);
    Place({80.0f, 108.0f, 80.0f, 120.0f, 110.0f, 120.0f});
    EXPECT_TRUE(StandRoomTest()) << "8 units above is beyond the 7 the stand probe looks";
}

// An object round the whole path that is asked at every step and touches nowhere: its count of
// questions is the count of steps.
class StepCounter : public TestObject {
public:
    using TestObject::TestObject;
    bool SphereCollision(const Vector3&, float, Vector3*) override
    {
        ++calls;
        return false;
    }
    int calls = 0;
};

TEST_F(SmallWorld, TheSweepTakesTruncatedLengthOverItsStepPlusOneSteps)
{
    const float all[6] = {-400.0f, -400.0f, -400.0f, 400.0f, 400.0f, 400.0f};
    StepCounter counter(all);
    ASSERT_TRUE(DynObjectAdd(&counter));
    // With gfcollipar 0.92 a step is at most 4.14 units.
    const struct {
        float length;
        int steps;
    } cases[] = {{0.0f, 1}, {4.0f, 1}, {8.3f, 3}, {12.5f, 4}};
    for (const auto& c : cases) {
        EXPECT_EQ(SlideMoveStepCount(c.length), c.steps) << c.length;
        counter.calls = 0;
        float position[3] = {100.0f + c.length, 100.0f, 100.0f};
        const float move[3] = {c.length, 0.0f, 0.0f};
        SlideMove(position, move, c.length);
        EXPECT_EQ(counter.calls, c.steps) << c.length;
        EXPECT_FLOAT_EQ(position[0], 100.0f + c.length) << "no contact: the sweep ends where the move does";
    }
    // A larger collision parameter takes longer steps.
    gfcollipar.SetFloat(2.0f);
    EXPECT_EQ(SlideMoveStepCount(8.3f), 1);
    DynObjectRemove(&counter);

    // Lengths and settings whose quotient is no count (a float beyond an int does not convert): one step
    // for what is not a length or a step, and at most 1001 steps however long the move.
    const struct {
        float collision, length;
        int steps;
    } odd[] = {{0.92f, std::nanf(""), 1}, {0.92f, -5.0f, 1},    {0.0f, 10.0f, 1},
               {-1.0f, 10.0f, 1},         {0.92f, 1e30f, 1001}, {0.92f, INFINITY, 1001}};
    for (const auto& c : odd) {
        gfcollipar.SetFloat(c.collision);
        EXPECT_EQ(SlideMoveStepCount(c.length), c.steps) << c.collision << " " << c.length;
    }
}

TEST_F(SmallWorld, TheSweepStopsAtTheFirstStepWithAContactPushedOut)
{
    // 12 units in 3 steps of 4 from x = 88: the sphere at 92 is clear of the wall at 100, at 96 it
    // touches (within 4.5) and is pushed back to 95.5; the step to 100 is never taken.
    Box* wall = Place({100.0f, 80.0f, 80.0f, 110.0f, 120.0f, 120.0f});
    float position[3] = {100.0f, 100.0f, 100.0f};
    const float move[3] = {12.0f, 0.0f, 0.0f};
    SlideMove(position, move, 12.0f);
    EXPECT_FLOAT_EQ(position[0], 95.5f);
    EXPECT_FLOAT_EQ(position[1], 100.0f);
    EXPECT_EQ(wall->sphereTests, 2);
}

TEST_F(SmallWorld, SkippedObjectsNeverStopTheSweep)
{
    // Each case a wall right on the path that would stop the sweep at its first step.
    DOEnvelope wreck;
    wreck.destroyed = 1;
    const struct {
        const char* what;
        s32_t type;
        bool collidable;
        DOEnvelope* envelope;
        bool player;
    } cases[] = {
        {"kind 0", OBJECT_TYPE_ROOT, true, nullptr, false},
        {"kind 1", OBJECT_TYPE_GRAPHIC, true, nullptr, false},
        {"destroyed envelope", OBJECT_TYPE_STRUCTURE, true, &wreck, false},
        {"not collidable", OBJECT_TYPE_STRUCTURE, false, nullptr, false},
        {"the player", OBJECT_TYPE_ACTOR, true, nullptr, true},
    };
    for (const auto& c : cases) {
        Box* wall = Place({90.0f, 80.0f, 80.0f, 94.0f, 120.0f, 120.0f}, c.type);
        wall->collidable = c.collidable;
        wall->envelope = c.envelope;
        if (c.envelope)
            c.envelope->object = wall;  // an envelope counts its object destroyed only while bound
        g_frameView.player = c.player ? wall : nullptr;
        float position[3] = {100.0f, 100.0f, 100.0f};
        const float move[3] = {12.0f, 0.0f, 0.0f};
        SlideMove(position, move, 12.0f);
        EXPECT_FLOAT_EQ(position[0], 100.0f) << c.what;
        EXPECT_EQ(wall->sphereTests, 0) << c.what;
        if (c.envelope)
            c.envelope->object = nullptr;
        wall->envelope = nullptr;
        DynObjectRemove(wall);
    }
    g_frameView.player = nullptr;
    // The same wall counted: it stops the sweep.
    Place({90.0f, 80.0f, 80.0f, 94.0f, 120.0f, 120.0f});
    float position[3] = {100.0f, 100.0f, 100.0f};
    const float move[3] = {12.0f, 0.0f, 0.0f};
    SlideMove(position, move, 12.0f);
    EXPECT_LT(position[0], 100.0f);
}

TEST_F(SmallWorld, ALadderPutsThePlayerOnItWithItsValue)
{
    Box* ladder = Place({100.0f, 80.0f, 80.0f, 102.0f, 120.0f, 120.0f});
    ladder->ladder = 1;
    ladder->ladderValue = 0x1234;
    float position[3] = {98.0f, 100.0f, 100.0f};
    const float move[3] = {4.0f, 0.0f, 0.0f};
    SlideMove(position, move, 4.0f);
    EXPECT_EQ(GameIsPlayerOnLadder(), 1);
    EXPECT_EQ(g_game.ladderValue, 0x1234u);

    // A sweep that meets no ladder takes the player off it.
    float away[3] = {-100.0f, 100.0f, 100.0f};
    SlideMove(away, move, 4.0f);
    EXPECT_EQ(GameIsPlayerOnLadder(), 0);
    // A wall that is no ladder stops the sweep and leaves the flag down.
    ladder->ladder = 0;
    float again[3] = {98.0f, 100.0f, 100.0f};
    SlideMove(again, move, 4.0f);
    EXPECT_LT(again[0], 98.0f);
    EXPECT_EQ(GameIsPlayerOnLadder(), 0);
}

// ---- the jolts of hits ----

class HitJolts : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetView();
        GameHitsClear();
        ScreenFadeReset();
        PlatformTestClockStart(500000);
        m_seed = EngineRandState();
        EngineSRand(7);
    }
    void TearDown() override
    {
        EngineSRand(m_seed);
        PlatformTestClockStop();
        ScreenFadeReset();
        GameHitsClear();
        ResetView();
    }
    u32_t m_seed = 0;
};

TEST_F(HitJolts, AReachOf0GivesNoNearHitJolt)
{
    Projectile shell;
    const float values[4] = {0.0f, 3.0f, 10.0f, 10.0f};
    std::memcpy(shell.screenShake, values, sizeof values);
    GameShakeViewNearHit(&shell, 0.0f);
    EXPECT_EQ(GameGetYaw(), 0.0f);
    EXPECT_EQ(GameGetPitch(), 0.0f);
    EXPECT_EQ(g_playerControl.shake.startTick, 0u);
}

TEST_F(HitJolts, ANearHitShakesLessWithDistance)
{
    Projectile shell;
    const float values[4] = {2.0f, 3.0f, 10.0f, 20.0f};  // reach 2: k = 400
    std::memcpy(shell.screenShake, values, sizeof values);
    EngineSRand(7);
    const float r1 = static_cast<float>(EngineRand()) / 32767.0f, r2 = static_cast<float>(EngineRand()) / 32767.0f;
    EngineSRand(7);
    GameShakeViewNearHit(&shell, 100.0f);  // a quarter of the way out: three quarters of each value
    EXPECT_EQ(g_playerControl.shake.duration, 200u);
    EXPECT_FLOAT_EQ(g_playerControl.shake.amplitude, 2.25f);
    EXPECT_NEAR(GameGetYaw(), r1 * 7.5f * 3.14159265f / 180.0f, 1e-6f);
    EXPECT_NEAR(GameGetPitch(), r2 * 15.0f * 3.14159265f / 180.0f, 1e-6f);
}

TEST_F(HitJolts, APlayerHitFlashesRedFor500Milliseconds)
{
    Projectile bullet;
    const float values[4] = {1.0f, 4.0f, 0.0f, 0.0f};
    std::memcpy(bullet.screenShake, values, sizeof values);
    GameSetPitch(1.5f);
    GamePlayerHitShake(&bullet);
    EXPECT_EQ(ScreenFadeColour(), 0x00800000u);
    const u32_t now = RenderTicks();
    EXPECT_GT(ScreenFadeAlphaAt(now), 250u);
    EXPECT_GT(ScreenFadeAlphaAt(now + 490), 0u);
    EXPECT_EQ(ScreenFadeAlphaAt(now + 500), 0u);
    EXPECT_EQ(g_playerControl.shake.duration, 1u);
    EXPECT_FLOAT_EQ(g_playerControl.shake.amplitude, 4.0f);
    EXPECT_EQ(g_gameHits.notices, 0u) << "no game mode runs: nobody hears of it";
    // A jolt of up to 90 degrees up never lifts the pitch past straight up.
    bullet.screenShake[3] = 90.0f;
    EngineSRand(3);
    GamePlayerHitShake(&bullet);
    EXPECT_LE(GameGetPitch(), 1.5707964f);
}

}  // namespace
