// The control on foot frame by frame: the sample soldier with his rifle is the player, standing on the
// flat ground of an empty world (terrain height 0), the clock pinned, every frame a fixed time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "actors/actor_motion.h"
#include "game/mission_objects/camera_pose_settings.h"
#include "game/mission/game_flow.h"
#include "game/player/mounted_control.h"
#include "game/player/player_control_state.h"
#include "game/player/player_foot_control.h"
#include "game/player/player_state.h"
#include "game/player/slide_move.h"
#include "map/terrain/map_state.h"
#include "map/octree/octree.h"
#include "map/land_maps/water_square.h"
#include "map/registry/world_registry.h"
#include "render/draw2d/hud_input.h"
#include "scene/scene_cvars.h"
#include "support/keep_var.h"
#include "tests/game/player/player_weapon_fixture.h"
#include "tests/map/map_world_fixture.h"

namespace {

using player_weapon_test::ClearActions;

class PlayerFootFrames : public player_weapon_test::PlayerWeaponFrames {
protected:
    void SetUp() override
    {
        PlayerWeaponFrames::SetUp();
        PlayerFootStateReset();
        m_modeModifier = GameGetPlayerModeModifier();
        // No head bob unless a test asks for one: the sway settings are whatever the last mission load read.
        std::memcpy(m_poseSettings, g_cameraPoseSettings, sizeof m_poseSettings);
        for (CameraPoseSettings& settings : g_cameraPoseSettings)
            settings = CameraPoseSettings();
        gbalwaysrun.SetBool(true);
        gbwalk.SetBool(true);
        gbghost.SetBool(false);
        gbfastmove.SetBool(false);
        gb_godmode.SetBool(false);
        gbthirdperson.SetBool(false);
        m_soldier->ApplyAlwaysRunSetting();
        Place(0.0f, kPlayerEyeStand, 0.0f);
        g_frameView.frameTime = 0.02f;
    }
    void TearDown() override
    {
        PlayerFootStateReset();
        GameSetPlayerModeModifier(m_modeModifier);
        std::memcpy(g_cameraPoseSettings, m_poseSettings, sizeof m_poseSettings);
        GamePlayerSoundView().playerDead = false;
        PlayerWeaponFrames::TearDown();
    }

    static void Place(float x, float y, float z)
    {
        const float at[3] = {x, y, z};
        GameSetPlayerPos(at);
        for (int i = 0; i < 3; ++i)
            g_playerFoot.previousPosition[i] = at[i];
    }

    // One frame of the control with these actions held (and released), then the soldier's step.
    void Step(std::initializer_list<u8_t> held, std::initializer_list<u8_t> released = {})
    {
        PlatformTestClockAdvance(static_cast<u32_t>(g_frameView.frameTime * 1000.0f));
        ClearActions();
        for (u8_t action : held)
            g_input.actionDown[action] = INPUT_STATE_DOWN;
        for (u8_t action : released)
            g_input.actionReleased[action] = INPUT_STATE_DOWN;
        PlayerControlUpdate();
        // The soldier's own step follows the control in the frame (it ends a held crouch's step).
        ActorAnimationStep(m_soldier);
    }

    // The horizontal move of one frame.
    Vector3 Moved(std::initializer_list<u8_t> held)
    {
        const float* p = GameGetPlayerPos();
        const Vector3 before{p[0], p[1], p[2]};
        Step(held);
        return {p[0] - before.x, p[1] - before.y, p[2] - before.z};
    }

    float m_modeModifier = 0.0f;
    CameraPoseSettings m_poseSettings[CAMERA_POSE_MODE_COUNT];
    KeepVar m_alwaysRun{gbalwaysrun};
    KeepVar m_walk{gbwalk};
    KeepVar m_ghost{gbghost};
    KeepVar m_fastMove{gbfastmove};
    KeepVar m_godMode{gb_godmode};
};

// With yaw 0 the view looks along +z and its right side is +x.
TEST_F(PlayerFootFrames, SpeedsFollowRunKeyAlwaysRunAndDirection)
{
    struct Case {
        const char* what;
        bool alwaysRun;
        std::initializer_list<u8_t> held;
        float dx, dz;  // units per second
    } cases[] = {
        {"always-run forward runs", true, {ACTION_MOVE_FORWARD}, 0.0f, kFootRunSpeed},
        {"run key with always-run walks", true, {ACTION_MOVE_FORWARD, ACTION_RUN}, 0.0f, kFootWalkSpeed},
        {"run key without always-run runs", false, {ACTION_MOVE_FORWARD, ACTION_RUN}, 0.0f, kFootRunSpeed},
        {"walking without either", false, {ACTION_MOVE_FORWARD}, 0.0f, kFootWalkSpeed},
        {"running backward", true, {ACTION_MOVE_BACKWARD}, 0.0f, -kFootRunBackSpeed},
        {"strafing right", true, {ACTION_STRAFE_RIGHT}, kFootRunSpeed, 0.0f},
        {"zoom cancels running", true, {ACTION_MOVE_FORWARD, ACTION_ZOOM}, 0.0f, kFootWalkSpeed},
        {"diagonal",
         true,
         {ACTION_MOVE_FORWARD, ACTION_STRAFE_RIGHT},
         kFootRunSpeed * 0.70710678f,
         kFootRunSpeed * 0.70710678f},
        {"forward and backward cancel", true, {ACTION_MOVE_FORWARD, ACTION_MOVE_BACKWARD}, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PlayerFootStateReset();
        Place(0.0f, kPlayerEyeStand, 0.0f);
        gbalwaysrun.SetBool(c.alwaysRun);
        m_soldier->ApplyAlwaysRunSetting();
        const Vector3 move = Moved(c.held);
        EXPECT_NEAR(move.x, c.dx * 0.02f, 1e-4f);
        EXPECT_NEAR(move.y, 0.0f, 1e-4f);
        EXPECT_NEAR(move.z, c.dz * 0.02f, 1e-4f);
    }
    EXPECT_TRUE(PlayerZoomPossible(m_soldier));
}

TEST_F(PlayerFootFrames, ForwardAndBackwardTogetherMakeNoLocomotionCall)
{
    Step({ACTION_MOVE_FORWARD, ACTION_MOVE_BACKWARD});
    EXPECT_EQ(g_playerFoot.moving, 0);
    Step({ACTION_MOVE_FORWARD});
    EXPECT_EQ(g_playerFoot.moving, 1);
}

TEST_F(PlayerFootFrames, GlideAfterReleaseStartsAt0944AndEndsAfter17Frames)
{
    Moved({ACTION_MOVE_FORWARD});
    EXPECT_NEAR(g_playerFoot.momentum[FOOT_FORWARD], 0.944f, 1e-5f);
    const Vector3 first = Moved({});
    EXPECT_NEAR(first.z, 0.944f * kFootRunSpeed * 0.02f, 1e-4f);
    int glideFrames = 1;
    for (int i = 0; i < 30; ++i)
        if (Moved({}).z > 0.0f)
            ++glideFrames;
    EXPECT_EQ(glideFrames, 17);
}

TEST_F(PlayerFootFrames, LeanWithRoomReachesFullLeanIn02sAndFullRollIn025s)
{
    for (int i = 0; i < 9; ++i)
        Step({ACTION_LEAN_RIGHT});
    EXPECT_LT(g_playerFoot.lean, 1.0f);
    Step({ACTION_LEAN_RIGHT});
    EXPECT_NEAR(g_playerFoot.lean, 1.0f, 1e-5f);
    Step({ACTION_LEAN_RIGHT});
    EXPECT_EQ(g_playerFoot.lean, 1.0f);
    EXPECT_GT(g_playerFoot.leanRoll, -kLeanRollLimit);  // 11 frames: 0.22 s of 0.25
    Step({ACTION_LEAN_RIGHT});
    Step({ACTION_LEAN_RIGHT});
    EXPECT_EQ(g_playerFoot.leanRoll, -kLeanRollLimit);
    EXPECT_FLOAT_EQ(GameGetLean(), 1.0f);
    EXPECT_FLOAT_EQ(g_playerFoot.soldierLeanAngle, -2.0f * kLeanRollLimit);
    // Let go, both come back to upright.
    for (int i = 0; i < 20; ++i)
        Step({});
    EXPECT_EQ(g_playerFoot.lean, 0.0f);
    EXPECT_EQ(g_playerFoot.leanRoll, 0.0f);
}

TEST_F(PlayerFootFrames, TheViewRollIsTheDecayingTiltPlusTheLeanRoll)
{
    constexpr float kDecay = 0.02f * 3.14159265f / 180.0f;  // one degree a second
    GameSetViewTilt(0.1f);
    Step({});
    EXPECT_FLOAT_EQ(GameGetRoll(), 0.1f);
    EXPECT_NEAR(GameGetViewTilt(), 0.1f - kDecay, 1e-6f);
    // 20 frames of lean: the full lean roll on top of the tilt of that frame.
    for (int i = 0; i < 20; ++i)
        Step({ACTION_LEAN_RIGHT});
    EXPECT_NEAR(GameGetRoll(), 0.1f - 20.0f * kDecay - kLeanRollLimit, 1e-5f);
    GameSetViewTilt(0.0f);
}

TEST_F(PlayerFootFrames, AFrameOnFootLetsTheNextMountLinkItsCameraAgain)
{
    g_mountedControl.firstFrameDone = 1;
    Step({});
    EXPECT_EQ(g_mountedControl.firstFrameDone, 0);
}

TEST_F(PlayerFootFrames, HoldToCrouchLowersTheEyeAt27PerSecond)
{
    Step({ACTION_CROUCH});
    EXPECT_NEAR(g_playerFoot.eyeHeight, kPlayerEyeStand - 27.0f * 0.02f, 1e-4f);
    for (int i = 0; i < 20; ++i)
        Step({ACTION_CROUCH});
    EXPECT_EQ(g_playerFoot.eyeHeight, kPlayerEyeCrouch);
    EXPECT_FLOAT_EQ(GameGetPlayerModeModifier(), kPlayerEyeCrouch);
    // Held crouch moves at the crouch speed even with always-run.
    const Vector3 move = Moved({ACTION_CROUCH, ACTION_MOVE_FORWARD});
    EXPECT_NEAR(move.z, kFootCrouchSpeed * 0.02f, 1e-4f);
}

TEST_F(PlayerFootFrames, PoseKeysMoveTheEyeAt50PerSecondAndEndTheChangeAtTheTarget)
{
    Step({ACTION_MODE_DOWN});
    ASSERT_TRUE(m_soldier->crouched);
    EXPECT_EQ(g_playerFoot.poseChangeRunning, 1);
    EXPECT_NEAR(g_playerFoot.eyeHeight, kPlayerEyeStand - 50.0f * 0.02f, 1e-4f);
    for (int i = 0; i < 4; ++i)
        Step({});
    EXPECT_NEAR(g_playerFoot.eyeHeight, kPlayerEyeCrouch, 1e-4f);
    Step({});
    EXPECT_EQ(g_playerFoot.eyeHeight, kPlayerEyeCrouch);
    EXPECT_EQ(g_playerFoot.poseChangeRunning, 0);
    EXPECT_FLOAT_EQ(GameGetPlayerModeModifier(), kPlayerEyeCrouch);
}

TEST_F(PlayerFootFrames, HeadBobFollowsThePoseSettingWhileMovingAndFadesWhenStill)
{
    g_cameraPoseSettings[CAMERA_POSE_WALK].floatSway[0] = 10.0f;
    g_cameraPoseSettings[CAMERA_POSE_WALK].floatSway[1] = 4.0f;
    Step({ACTION_MOVE_FORWARD});
    EXPECT_EQ(g_playerFoot.bobOffset, 0.0f);  // phase 0
    Step({ACTION_MOVE_FORWARD});
    EXPECT_NEAR(g_playerFoot.bobOffset, std::sin(0.02f * 10.0f) / 4.0f, 1e-5f);
    const float bob = g_playerFoot.bobOffset;
    Step({});
    EXPECT_NEAR(g_playerFoot.bobOffset, bob - 0.1f * 0.02f, 1e-6f);
}

// A screen that opens, or the satellite view, takes the keys away: the glide, the lean and the head
// bob they left running stop there, and the next frame without keys stands still and upright.
TEST_F(PlayerFootFrames, ClearingTheFrameInputStopsTheGlideTheLeanAndTheBob)
{
    g_cameraPoseSettings[CAMERA_POSE_WALK].floatSway[0] = 10.0f;
    g_cameraPoseSettings[CAMERA_POSE_WALK].floatSway[1] = 4.0f;
    for (int i = 0; i < 5; ++i)
        Step({ACTION_MOVE_FORWARD, ACTION_STRAFE_RIGHT, ACTION_LEAN_RIGHT});
    ASSERT_GT(g_playerFoot.momentum[FOOT_FORWARD], 0.0f);
    ASSERT_GT(g_playerFoot.lean, 0.0f);
    ASSERT_NE(g_playerFoot.bobOffset, 0.0f);

    GameClearFrameInput();
    for (float momentum : g_playerFoot.momentum)
        EXPECT_EQ(momentum, 0.0f);
    EXPECT_EQ(g_playerFoot.lean, 0.0f);
    EXPECT_EQ(g_playerFoot.leanRoll, 0.0f);
    EXPECT_EQ(g_playerFoot.bobOffset, 0.0f);
    const Vector3 glide = Moved({});
    EXPECT_EQ(glide.x, 0.0f);
    EXPECT_EQ(glide.z, 0.0f);
    EXPECT_EQ(GameGetLean(), 0.0f);
}

// "navigation" released shows or hides the HUD's world markers (the compass and the envelope marks).
TEST_F(PlayerFootFrames, TheNavigationKeyTogglesTheWorldMarkers)
{
    const u8_t kept = g_hudInput.flags.worldMarkersShown;
    g_hudInput.flags.worldMarkersShown = 1;
    Step({}, {ACTION_NAVIGATION});
    EXPECT_EQ(g_hudInput.flags.worldMarkersShown, 0);
    Step({});
    EXPECT_EQ(g_hudInput.flags.worldMarkersShown, 0);
    Step({}, {ACTION_NAVIGATION});
    EXPECT_EQ(g_hudInput.flags.worldMarkersShown, 1);
    g_hudInput.flags.worldMarkersShown = kept;
}

TEST_F(PlayerFootFrames, TheSoldierIsHiddenInFirstPersonAndFacesTheViewInThirdPerson)
{
    Place(5.0f, kPlayerEyeStand, 7.0f);
    Step({});
    EXPECT_EQ(m_soldier->drawn, 0);
    EXPECT_FALSE(m_soldier->castsShadow);
    const Vector3 feet = m_soldier->GetPosition();
    EXPECT_NEAR(feet.x, 5.0f, 1e-4f);
    EXPECT_NEAR(feet.y, 0.0f, 1e-4f);
    EXPECT_NEAR(feet.z, 7.0f, 1e-4f);

    gbthirdperson.SetBool(true);
    GameSetYawPitch(0.5f, 0.2f);
    Step({});
    EXPECT_EQ(m_soldier->drawn, 1);
    EXPECT_TRUE(m_soldier->castsShadow);
    EXPECT_NEAR(std::remainder(m_soldier->GetHeading() - (0.5f - 3.14159265f), 6.2831853f), 0.0f, 1e-4f);
}

TEST_F(PlayerFootFrames, DropsComeAtMost300MillisecondsApart)
{
    g_frameView.frameTime = 0.1f;  // 100 ms a frame
    Step({ACTION_DROP_WEAPON});
    const u32_t first = g_playerFoot.lastDropTime;
    EXPECT_NE(first, 0u);
    Step({ACTION_DROP_WEAPON});
    Step({ACTION_DROP_WEAPON});
    EXPECT_EQ(g_playerFoot.lastDropTime, first);
    Step({ACTION_DROP_WEAPON});
    EXPECT_EQ(g_playerFoot.lastDropTime, first + 300);
}

TEST_F(PlayerFootFrames, LandingKillsAboveFallSpeed12UnlessGodModeOrParachute)
{
    struct Case {
        const char* what;
        float fallSpeed;
        bool godMode, parachute, dies;
    } cases[] = {
        {"12.0 survives", 12.0f, false, false, false},
        {"12.01 kills", 12.01f, false, false, true},
        {"god mode survives", 12.01f, true, false, false},
        {"parachute survives", 12.01f, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_soldier->Revive();
        m_soldier->isDead = false;
        PlayerFootStateReset();
        Place(0.0f, kPlayerEyeStand, 0.0f);
        gb_godmode.SetBool(c.godMode);
        g_playerFoot.parachuteDescent = c.parachute ? 1 : 0;
        m_soldier->fallSpeed = c.fallSpeed;
        Step({});
        EXPECT_EQ(m_soldier->isDead, c.dies);
        EXPECT_EQ(m_soldier->fallSpeed, 0.0f);
        EXPECT_EQ(g_playerFoot.parachuteDescent, 0);
        EXPECT_FLOAT_EQ(GameGetPlayerPos()[1], kPlayerEyeStand);
    }
}

TEST_F(PlayerFootFrames, AFallFromHighUpIsFatalAndGhostNeverFalls)
{
    gbghost.SetBool(true);
    Place(0.0f, 200.0f, 0.0f);
    for (int i = 0; i < 10; ++i)
        Step({});
    EXPECT_FLOAT_EQ(GameGetPlayerPos()[1], 200.0f);
    EXPECT_EQ(GameIsPlayerFalling(), 0);

    gbghost.SetBool(false);
    Step({});
    EXPECT_EQ(GameIsPlayerFalling(), 1);
    EXPECT_LT(GameGetPlayerPos()[1], 200.0f);
    for (int i = 0; i < 500 && GameIsPlayerFalling(); ++i)
        Step({});
    EXPECT_EQ(GameIsPlayerFalling(), 0);
    EXPECT_FLOAT_EQ(GameGetPlayerPos()[1], kPlayerEyeStand);
    EXPECT_TRUE(m_soldier->isDead);
}

TEST_F(PlayerFootFrames, ParachuteComesDownAt120PerSecondWithFallSpeed11)
{
    Place(0.0f, 100.0f, 0.0f);
    g_playerFoot.parachuteDescent = 1;
    Step({});
    EXPECT_NEAR(GameGetPlayerPos()[1], 100.0f - 120.0f * 0.02f, 1e-3f);
    EXPECT_EQ(m_soldier->fallSpeed, kParachuteFallSpeed);
    for (int i = 0; i < 100 && GameIsPlayerFalling(); ++i)
        Step({});
    EXPECT_FALSE(m_soldier->isDead);
    EXPECT_EQ(g_playerFoot.parachuteDescent, 0);
}

TEST_F(PlayerFootFrames, AnEmptyHandRunsEveryStep)
{
    m_soldier->selectedSlot = kActorWeaponSlots;
    ASSERT_EQ(m_soldier->WeaponInHand(), nullptr);
    EXPECT_FALSE(PlayerZoomPossible(m_soldier));
    // Zoom cannot cancel running without a weapon.
    const Vector3 move = Moved({ACTION_MOVE_FORWARD, ACTION_ZOOM, ACTION_FIRE, ACTION_RELOAD, ACTION_SET_PRIMARY});
    EXPECT_NEAR(move.z, kFootRunSpeed * 0.02f, 1e-4f);
    EXPECT_EQ(g_playerControl.firedThisFrame, 0);
    Step({ACTION_LEAN_LEFT, ACTION_JUMP, ACTION_DROP_WEAPON});
    EXPECT_FLOAT_EQ(GameGetPlayerModeModifier(), kPlayerEyeStand);
}

TEST_F(PlayerFootFrames, DeadPlayerIsNotControlled)
{
    GamePlayerSoundView().playerDead = true;
    const Vector3 move = Moved({ACTION_MOVE_FORWARD});
    GamePlayerSoundView().playerDead = false;
    EXPECT_EQ(move.z, 0.0f);
}

}  // namespace

namespace {

// The same player in a world of one octree with objects the probes meet (the land stays at height 0).
class PlayerFootInWorld : public PlayerFootFrames {
protected:
    void SetUp() override
    {
        PlayerFootFrames::SetUp();
        map_world::MakeWorld(1);
    }
    void TearDown() override
    {
        for (auto& object : m_objects)
            DynObjectRemove(object.get());
        m_objects.clear();
        OctreeDestroy();
        MapSetBox({1e30f, 1e30f, 1e30f}, {-1e30f, -1e30f, -1e30f});
        PlayerFootFrames::TearDown();
    }
    // An object whose box lies at the given place and which any probe crossing it meets at distance.
    void AddObstacle(std::initializer_list<float> box, float distance)
    {
        std::vector<float> values(box);
        m_objects.push_back(std::make_unique<map_world::TestObject>(values.data()));
        m_objects.back()->traceDistance = distance;
        ASSERT_TRUE(DynObjectAdd(m_objects.back().get()));
    }
    std::vector<std::unique_ptr<map_world::TestObject>> m_objects;
};

// A wall across x between two planes that pushes a sphere back to its near side.
class Wall : public map_world::TestObject {
public:
    explicit Wall(const float* box) : TestObject(box), m_minX(box[0]), m_maxX(box[3]) {}
    bool SphereCollision(const Vector3& centre, float radius, Vector3* out) override
    {
        if (centre.x + radius <= m_minX || centre.x - radius >= m_maxX)
            return false;
        *out = {m_minX - radius, centre.y, centre.z};
        return true;
    }

private:
    float m_minX, m_maxX;
};

// The objects' shadows are refreshed when the field of view changes, not every frame on foot.
TEST_F(PlayerFootInWorld, ShadowsAreRefreshedOnlyWhenTheFieldOfViewChanges)
{
    struct Counting : map_world::TestObject {
        using TestObject::TestObject;
        void InvalidateShadows() override { ++invalidations; }
        int invalidations = 0;
    };
    const float box[6] = {50.0f, 0.0f, 50.0f, 52.0f, 2.0f, 52.0f};
    Counting counting(box);
    ASSERT_TRUE(DynObjectAdd(&counting));
    KeepVar update(rbupdateshadows);
    rbupdateshadows.SetBool(true);
    g_playerControl.lastAppliedFieldOfView = GameGetFieldOfView();
    for (int i = 0; i < 5; ++i)
        Step({});
    EXPECT_EQ(counting.invalidations, 0);
    g_playerControl.lastAppliedFieldOfView = 0.5f;
    Step({});
    Step({});
    EXPECT_EQ(counting.invalidations, 1);
    DynObjectRemove(&counting);
}

TEST_F(PlayerFootInWorld, ALeanIntoAWallCloserThan15DoesNothing)
{
    AddObstacle({8.0f, 0.0f, -10.0f, 12.0f, 40.0f, 10.0f}, 10.0f);
    for (int i = 0; i < 5; ++i)
        Step({ACTION_LEAN_RIGHT});
    EXPECT_EQ(g_playerFoot.lean, 0.0f);
    EXPECT_EQ(g_playerFoot.leanRoll, 0.0f);
    EXPECT_FLOAT_EQ(GameGetViewPos()[0], 0.0f);
}

TEST_F(PlayerFootInWorld, UnderACeilingCloserThan7TheEyeStaysCrouched)
{
    for (int i = 0; i < 15; ++i)
        Step({ACTION_CROUCH});
    ASSERT_EQ(g_playerFoot.eyeHeight, kPlayerEyeCrouch);
    AddObstacle({-10.0f, 14.0f, -10.0f, 10.0f, 16.0f, 10.0f}, 5.0f);
    Step({}, {ACTION_CROUCH});
    for (int i = 0; i < 15; ++i)
        Step({});
    EXPECT_EQ(g_playerFoot.eyeHeight, kPlayerEyeCrouch);
    // The ceiling gone, the eye climbs back at 27 per second.
    m_objects.back()->traceDistance = OBJTRACE_NO_HIT;
    Step({});
    EXPECT_NEAR(g_playerFoot.eyeHeight, kPlayerEyeCrouch + 27.0f * 0.02f, 1e-4f);
    for (int i = 0; i < 15; ++i)
        Step({});
    EXPECT_EQ(g_playerFoot.eyeHeight, kPlayerEyeStand);
}

TEST_F(PlayerFootInWorld, GhostPassesWallsThatStopTheWalker)
{
    const float box[6] = {20.0f, 0.0f, -40.0f, 24.0f, 60.0f, 40.0f};
    m_objects.push_back(std::make_unique<Wall>(box));
    ASSERT_TRUE(DynObjectAdd(m_objects.back().get()));
    GameSetYawPitch(1.5707964f, 0.0f);  // facing +x
    for (bool ghost : {false, true}) {
        SCOPED_TRACE(ghost ? "ghost" : "walking");
        PlayerFootStateReset();
        Place(0.0f, kPlayerEyeStand, 0.0f);
        gbghost.SetBool(ghost);
        for (int i = 0; i < 60; ++i)
            Step({ACTION_MOVE_FORWARD});
        if (ghost)
            EXPECT_GT(GameGetPlayerPos()[0], 40.0f);
        else
            EXPECT_LE(GameGetPlayerPos()[0], 20.0f - kPlayerRadius + 1e-3f);
    }
}

}  // namespace

namespace {

// The player standing in a pool 30 deep over flat land: the whole world is one leaf with one square.
class PlayerFootInWater : public PlayerFootFrames {
protected:
    void SetUp() override
    {
        PlayerFootFrames::SetUp();
        OctreeNode* root = OctreeCreateRoot({-500.0f, -500.0f, -500.0f}, {500.0f, 500.0f, 500.0f});
        root->waterSquares = new WaterSquare*[1];
        root->waterSquares[0] = &m_pool;
        root->waterSquareCount = 1;
        gbwalk.SetBool(true);
    }
    void TearDown() override
    {
        OctreeDestroy();
        MapSetBox({1e30f, 1e30f, 1e30f}, {-1e30f, -1e30f, -1e30f});
        PlayerFootFrames::TearDown();
    }
    WaterSquare m_pool{-400.0f, -400.0f, 400.0f, 400.0f, 30.0f};
};

TEST_F(PlayerFootInWater, SwimmingAlongTheViewNeverRisesMoreThan1AboveTheSurface)
{
    float highest = 0.0f;
    for (float pitch : {-1.0f, 1.0f}) {
        PlayerFootStateReset();
        Place(0.0f, kPlayerEyeStand, 0.0f);
        GameSetYawPitch(0.0f, pitch);
        for (int i = 0; i < 100; ++i) {
            Step({ACTION_MOVE_FORWARD});
            const float y = GameGetPlayerPos()[1];
            EXPECT_LE(y, 31.0f + 1e-4f);
            EXPECT_GE(y, kPlayerEyeStand - 1e-4f);
            highest = std::max(highest, y);
        }
        EXPECT_EQ(GameIsPlayerFalling(), 0);
    }
    // Looking up, the swimmer does come up to the limit.
    EXPECT_FLOAT_EQ(highest, 31.0f);
}

}  // namespace
