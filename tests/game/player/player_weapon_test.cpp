// The player's weapon handling over scripted frames of 100 ms with a real sample soldier's rifle:
// the fire modes with the trigger lock and the burst, what the first-person view is shown, the
// recoil in whole degrees and its recovery, the sub-weapon keys, the view roll, and the empty hand.
#include "tests/game/player/player_weapon_fixture.h"

#include "actors/weapons/projectile.h"
#include "map/registry/world_registry.h"

#include <cmath>
#include <vector>

namespace {

using player_weapon_test::ClearActions;
using player_weapon_test::kFrameMs;
using player_weapon_test::PlayerWeaponFrames;
using player_weapon_test::SeedGiving;

constexpr float kDegree = 3.14159265f / 180.0f;

TEST_F(PlayerWeaponFrames, SemiWithATriggerLockShootsOnceAndLetsGoWhenTheLockHasRunOut)
{
    m_rifle->fireMode = kFireModeSingle;
    m_rifle->fireWait = 250;
    // Fire held for five frames: the first pulls, the gate holds the trigger while the lock counts
    // 250 ms down in whole frames, then the trigger-released call sends the round.
    struct Expected {
        bool fireAfterGate;
        bool fired;
        s32_t counter;
        s32_t armed;
        int roundsLeft;
    };
    const Expected frames[] = {
        {true, true, 150, 1, 0},
        {false, false, 50, 1, 0},
        {false, false, -50, 1, 0},
        {true, true, -50, 0, 1},  // the lock has run out: released, the round leaves
    };
    for (size_t i = 0; i < std::size(frames); ++i) {
        SCOPED_TRACE(i);
        Frame({ACTION_FIRE});
        const Expected& e = frames[i];
        EXPECT_EQ(m_fireAfterGate, e.fireAfterGate);
        EXPECT_EQ(g_playerControl.firedThisFrame != 0, e.fired);
        EXPECT_EQ(g_firstPersonControl.firedThisFrame, e.fired);
        EXPECT_EQ(g_playerControl.triggerLockCounter, e.counter);
        EXPECT_EQ(g_firstPersonControl.semiShotCounter, e.counter);
        EXPECT_EQ(g_playerControl.triggerLockArmed, e.armed);
        EXPECT_EQ(m_roundsLeft, e.roundsLeft);
    }
    // Let go: nothing more leaves.
    for (int i = 0; i < 3; ++i) {
        Frame({});
        EXPECT_EQ(m_roundsLeft, 0);
        EXPECT_FALSE(g_firstPersonControl.firedThisFrame);
    }
    EXPECT_EQ(m_rifle->roundsInGun, 29);

    // The gate also holds the trigger until the refire interval has passed since the last round:
    // 400 ms after it with an interval of 500 ms, then at 500 ms the trigger is pulled again.
    m_rifle->delay = 500.0f;
    Frame({ACTION_FIRE});
    EXPECT_FALSE(m_fireAfterGate);
    EXPECT_EQ(g_playerControl.triggerLockArmed, 0);
    Frame({ACTION_FIRE});
    EXPECT_TRUE(m_fireAfterGate);
    EXPECT_EQ(g_playerControl.triggerLockArmed, 1);
    EXPECT_EQ(g_playerControl.triggerLockCounter, 150);
}

TEST_F(PlayerWeaponFrames, ABurstRunsOnAfterTheTriggerAndEndsOnTheEmptyMagazine)
{
    m_rifle->fireMode = kFireModeBurst;
    m_rifle->burstCount = 3;
    m_rifle->roundsInGun = 2;
    // One frame of fire starts the burst; it goes on with the trigger let go.
    struct Expected {
        bool fired;
        bool running;
        s16_t startRounds;
        int roundsLeft;
    };
    const Expected frames[] = {{true, true, 2, 1}, {true, true, 2, 1}, {false, false, 0, 0}, {false, false, 0, 0}};
    for (size_t i = 0; i < std::size(frames); ++i) {
        SCOPED_TRACE(i);
        if (i == 0)
            Frame({ACTION_FIRE});
        else
            Frame({});
        const Expected& e = frames[i];
        EXPECT_EQ(g_firstPersonControl.firedThisFrame, e.fired);
        EXPECT_EQ(g_firstPersonControl.burstRunning, e.running);
        EXPECT_EQ(g_firstPersonControl.burstStartRounds, e.startRounds);
        EXPECT_EQ(m_roundsLeft, e.roundsLeft);
    }

    // A full magazine: a burst is its length, and a trigger held on starts the next one.
    m_rifle->roundsInGun = 30;
    std::vector<int> left;
    for (int i = 0; i < 5; ++i) {
        Frame({ACTION_FIRE});
        left.push_back(m_roundsLeft);
    }
    EXPECT_EQ(left, (std::vector<int>{1, 1, 1, 0, 1}));
    EXPECT_EQ(g_firstPersonControl.burstStartRounds, 27);
}

TEST_F(PlayerWeaponFrames, AutoFiresEveryFrameWhileRoundsLast)
{
    m_rifle->fireMode = kFireModeAuto;
    m_rifle->roundsInGun = 3;
    std::vector<int> left;
    std::vector<bool> shown;
    for (int i = 0; i < 5; ++i) {
        Frame({ACTION_FIRE});
        left.push_back(m_roundsLeft);
        shown.push_back(g_firstPersonControl.firedThisFrame);
    }
    EXPECT_EQ(left, (std::vector<int>{1, 1, 1, 0, 0}));
    EXPECT_EQ(shown, (std::vector<bool>{true, true, true, false, false}));

    // Nothing fires with the binocular up, the weapon lowered for object use, on a ladder, or while
    // the first-person view is busy with a reload or a switch.
    m_rifle->roundsInGun = 30;
    const std::pair<const char*, void (*)(bool)> holds[] = {
        {"binocular", [](bool on) { g_hudInput.flags.binocularView = on; }},
        {"object use", [](bool on) { g_hudInput.flags.quickMode = on; }},
        {"ladder", [](bool on) { GameSetPlayerClimbState(on, false); }},
        {"reload animation", [](bool on) { g_firstPersonView.reloading = on; }},
        {"weapon switch", [](bool on) { g_firstPersonView.switching = on; }},
    };
    for (const auto& [name, set] : holds) {
        SCOPED_TRACE(name);
        set(true);
        Frame({ACTION_FIRE});
        EXPECT_EQ(m_roundsLeft, 0);
        set(false);
        Frame({ACTION_FIRE});
        EXPECT_EQ(m_roundsLeft, 1);
    }
    // A shot animation that has not finished holds single shots, not automatic fire.
    g_firstPersonView.shotDonePending = true;
    Frame({ACTION_FIRE});
    EXPECT_EQ(m_roundsLeft, 1);
    m_rifle->fireMode = kFireModeSingle;
    Frame({ACTION_FIRE});
    EXPECT_EQ(m_roundsLeft, 0);
}

// The direction of the newest projectile in the world.
Vector3 NewestShot()
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = count - 1; i >= 0; --i) {
        if (objects[i]->GetTypeId() == OBJECT_TYPE_PROJECTILE)
            return static_cast<Projectile*>(objects[i])->direction;
    }
    ADD_FAILURE() << "no projectile";
    return {};
}

TEST_F(PlayerWeaponFrames, TheThirdPersonViewShootsAlongTheBodyNotTheAim)
{
    // The body faces heading 0; the first-person shot leaves along the aim (yaw 0: +z), the
    // third-person shot along the body's own direction, which the actor's shot takes the other way.
    m_rifle->fireMode = kFireModeAuto;
    Frame({ACTION_FIRE});
    ASSERT_EQ(m_roundsLeft, 1);
    EXPECT_GT(NewestShot().z, 0.99f);
    gbthirdperson.SetBool(true);
    Frame({ACTION_FIRE});
    ASSERT_EQ(m_roundsLeft, 1);
    EXPECT_LT(NewestShot().z, -0.99f);
    // A burst goes on in the third person the same way.
    m_rifle->fireMode = kFireModeBurst;
    m_rifle->burstCount = 2;
    Frame({ACTION_FIRE});
    Frame({});
    EXPECT_EQ(m_roundsLeft, 1);
    EXPECT_LT(NewestShot().z, -0.99f);
    Frame({});
    EXPECT_EQ(m_roundsLeft, 0);
}

TEST_F(PlayerWeaponFrames, TheYawKickIsAWholeNumberOfDegreesHalvedWhenZoomed)
{
    m_rifle->fireMode = kFireModeSingle;
    m_rifle->zoom = 20.0f;
    // Standing: pitch kick 2 degrees, yaw kick 1 .. 3 degrees.
    m_rifle->recoil[0][0] = 2.0f;
    m_rifle->recoil[0][1] = 1.0f;
    m_rifle->recoil[0][2] = 3.0f;
    struct Case {
        int draw;
        bool zoomed;
        float yawDegrees;
        float pitchDegrees;
    };
    const Case cases[] = {
        {0, false, 1.0f, -2.0f},     {16383, false, 1.0f, -2.0f}, {16384, false, 2.0f, -2.0f},
        {32766, false, 2.0f, -2.0f}, {32767, false, 3.0f, -2.0f}, {0, true, 0.5f, -1.0f},
        {16384, true, 1.0f, -1.0f},  {32767, true, 1.5f, -1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.draw << (c.zoomed ? " zoomed" : ""));
        GameSetYawPitch(0.0f, 0.0f);
        ClearActions();
        if (c.zoomed)
            g_input.actionDown[ACTION_ZOOM] = INPUT_STATE_DOWN;
        g_playerControl.firedThisFrame = 1;
        EngineSRand(SeedGiving(c.draw));
        PlayerRecoilStep();
        EXPECT_NEAR(GameGetYaw(), c.yawDegrees * kDegree, 1e-6f);
        EXPECT_NEAR(GameGetPitch(), c.pitchDegrees * kDegree, 1e-6f);
        EXPECT_EQ(g_playerControl.pitchRecoveryDone, 0);
        EXPECT_EQ(g_playerControl.pitchBeforeRecoil, 0.0f);
    }
    // The generator really gives the draws asked for.
    EngineSRand(SeedGiving(32767));
    EXPECT_EQ(EngineRand(), 32767);
}

TEST_F(PlayerWeaponFrames, ThePitchRecoversUntilItIsBackOrTheMouseMoves)
{
    m_rifle->fireMode = kFireModeAuto;
    m_rifle->recoil[0][0] = 0.5f;  // degrees: 0.00873 rad, 0.31 s of recovery
    const float kick = 0.5f * kDegree;
    const float step = kPitchRecoveryRate * (kFrameMs / 1000.0f);
    Frame({ACTION_FIRE});
    EXPECT_NEAR(GameGetPitch(), -kick, 1e-6f);
    // Back by the rate each frame until it reaches where it was; there it stays.
    Frame({});
    EXPECT_NEAR(GameGetPitch(), -kick + step, 1e-6f);
    for (int i = 0; i < 6; ++i)
        Frame({});
    const float settled = GameGetPitch();
    EXPECT_GE(settled, 0.0f);
    EXPECT_LT(settled, step);
    EXPECT_EQ(g_playerControl.pitchRecoveryDone, 1);
    Frame({});
    EXPECT_EQ(GameGetPitch(), settled);

    // A mouse movement ends the recovery for good: the pitch stays where the kick left it.
    GameSetYawPitch(0.0f, 0.0f);
    Frame({ACTION_FIRE});
    g_playerControl.mouseMoved = 1;
    Frame({});
    for (int i = 0; i < 5; ++i)
        Frame({});
    EXPECT_NEAR(GameGetPitch(), -kick, 1e-6f);
}

TEST_F(PlayerWeaponFrames, TheSlotKeyOfTheWeaponInHandStepsItsSubWeaponsEvery300Milliseconds)
{
    for (int i = 0; i < 2; ++i) {
        Weapon* sub = new Weapon;
        sub->slotType = WEAPON_SLOT_PRIMARY;
        ASSERT_TRUE(m_rifle->AddSubWeapon(sub));
    }
    // "set_primary" held for a second of 100 ms frames: a step at once, then one each 300 ms.
    std::vector<int> steps;
    Weapon* current = m_rifle->currentWeapon;
    for (int i = 0; i < 10; ++i) {
        Frame({ACTION_SET_PRIMARY});
        steps.push_back(m_rifle->currentWeapon != current ? 1 : 0);
        current = m_rifle->currentWeapon;
    }
    EXPECT_EQ(steps, (std::vector<int>{1, 0, 0, 1, 0, 0, 1, 0, 0, 1}));

    // A running burst, a counting trigger lock, the binocular or the open command menu hold the keys.
    const std::pair<const char*, void (*)(bool)> holds[] = {
        {"burst", [](bool on) { g_playerControl.burstRunning = on; }},
        {"trigger lock", [](bool on) { g_playerControl.triggerLockCounter = on ? 100 : 0; }},
        {"binocular", [](bool on) { g_hudInput.flags.binocularView = on; }},
        {"command menu", [](bool on) { g_hudInput.flags.commandMenuOpen = on; }},
    };
    for (const auto& [name, set] : holds) {
        SCOPED_TRACE(name);
        for (int i = 0; i < 3; ++i)
            Frame({});
        set(true);
        current = m_rifle->currentWeapon;
        g_input.actionDown[ACTION_SET_PRIMARY] = INPUT_STATE_DOWN;
        PlayerWeaponKeysUpdate();
        EXPECT_EQ(m_rifle->currentWeapon, current);
        set(false);
        PlayerWeaponKeysUpdate();
        EXPECT_NE(m_rifle->currentWeapon, current);
    }
}

TEST_F(PlayerWeaponFrames, TheViewRollDecaysAndAShotTwitchesItUnlessItsProjectileSaysNot)
{
    ASSERT_NE(m_rifle->bulletTemplate, nullptr);
    // One degree a second back toward level.
    g_playerControl.baseRoll = 0.01f;
    ViewRollUpdate();
    EXPECT_NEAR(g_playerControl.baseRoll, 0.01f - 0.1f * kDegree, 1e-7f);
    g_playerControl.baseRoll = -0.001f;
    ViewRollUpdate();
    EXPECT_EQ(g_playerControl.baseRoll, 0.0f);

    // A shot: the roll becomes rand() x 7.457079e-7 - 0.012217305, up to 0.7 degrees either way.
    const std::pair<int, float> draws[] = {{0, -0.012217305f}, {32767, 0.012217305f}, {16384, 0.0f}};
    for (const auto& [draw, roll] : draws) {
        g_playerControl.firedThisFrame = 1;
        EngineSRand(SeedGiving(draw));
        ViewRollUpdate();
        EXPECT_NEAR(g_playerControl.baseRoll, roll, 1e-6f) << draw;
    }
    // A projectile without the shot shake leaves it alone.
    m_rifle->bulletTemplate->noShotShake = 1;
    g_playerControl.baseRoll = 0.0f;
    ViewRollUpdate();
    EXPECT_EQ(g_playerControl.baseRoll, 0.0f);

    // A screen shake rocks it within its amplitude until its time is up, whatever the shots.
    m_rifle->bulletTemplate->noShotShake = 0;
    ViewRollStartShake(250, 2.0f);
    for (int i = 0; i < 2; ++i) {
        PlatformTestClockAdvance(kFrameMs);
        EngineSRand(SeedGiving(32767));
        ViewRollUpdate();
        EXPECT_NEAR(g_playerControl.baseRoll, 2.0f * kDegree, 1e-6f);
    }
    PlatformTestClockAdvance(kFrameMs);
    g_playerControl.firedThisFrame = 0;
    ViewRollUpdate();
    EXPECT_EQ(g_playerControl.shake.startTick, 0u);
    EXPECT_NEAR(g_playerControl.baseRoll, 2.0f * kDegree - 0.1f * kDegree, 1e-6f);
}

TEST_F(PlayerWeaponFrames, ZoomAndReloadReachTheWeaponInHand)
{
    m_rifle->zoom = 20.0f;
    Frame({ACTION_ZOOM});
    EXPECT_NEAR(GameGetFieldOfView(), 20.0f * kDegree, 1e-6f);
    EXPECT_TRUE(g_frameView.zoomView);
    EXPECT_EQ(g_hudInput.flags.sightView, 1);
    // The look factor follows the field of view of the frame before.
    EXPECT_NEAR(g_game.mouseLookFactorX, kDefaultMouseLookFactor, 1e-7f);
    Frame({ACTION_ZOOM});
    EXPECT_NEAR(g_game.mouseLookFactorY, 20.0f * kDegree * kDefaultMouseLookFactor * 2.0f / 3.14159265f, 1e-7f);
    Frame({});
    EXPECT_EQ(GameGetFieldOfView(), kNormalFieldOfView);
    EXPECT_FALSE(g_frameView.zoomView);
    // A weapon that does not zoom keeps the normal view.
    m_rifle->button2Off = true;
    Frame({ACTION_ZOOM});
    EXPECT_EQ(GameGetFieldOfView(), kNormalFieldOfView);

    // Reload from an empty magazine is shown to the first-person view as such.
    m_rifle->roundsInGun = 0;
    Frame({ACTION_RELOAD});
    EXPECT_TRUE(m_soldier->reloading);
    EXPECT_TRUE(g_firstPersonControl.reloadFromEmpty);
}

TEST_F(PlayerWeaponFrames, TheEmptyHandDoesNothing)
{
    // A burst and a trigger lock running when the hand empties.
    g_playerControl.burstRunning = 1;
    g_playerControl.burstStartRounds = 30;
    g_playerControl.triggerLockArmed = 1;
    g_playerControl.triggerLockCounter = 200;
    GameSetFieldOfView(0.3f);
    m_soldier->selectedSlot = 3;
    ASSERT_EQ(m_soldier->WeaponInHand(), nullptr);
    const u16_t rounds = m_rifle->roundsInGun;
    const u32_t mode = m_rifle->fireMode;
    Frame({ACTION_FIRE, ACTION_ZOOM, ACTION_RELOAD, ACTION_CYCLE_MODE});
    EXPECT_EQ(m_rifle->roundsInGun, rounds);
    EXPECT_EQ(m_rifle->fireMode, mode);
    EXPECT_FALSE(m_soldier->reloading);
    EXPECT_EQ(GameGetFieldOfView(), kNormalFieldOfView);
    EXPECT_FALSE(g_firstPersonControl.firedThisFrame);
    EXPECT_FALSE(g_firstPersonControl.burstRunning);
    EXPECT_EQ(g_playerControl.triggerLockArmed, 0);
    EXPECT_EQ(g_playerControl.triggerLockCounter, 0);
    EXPECT_EQ(GameGetYaw(), 0.0f);
    EXPECT_EQ(GameGetPitch(), 0.0f);
    // A slot key takes the slot's weapon back into the empty hand.
    Frame({ACTION_SET_PRIMARY});
    EXPECT_EQ(m_soldier->WeaponInHand(), m_rifle);
    // Without a player nothing runs at all.
    g_frameView.player = nullptr;
    Frame({ACTION_FIRE, ACTION_SET_PRIMARY});
    EXPECT_EQ(m_rifle->roundsInGun, rounds);
}

}  // namespace
