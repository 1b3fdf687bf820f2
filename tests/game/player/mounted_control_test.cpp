// The player at a fixture mounted weapon (the sample rifle hung from a mount node): the first frame
// links the camera and turns the view round, the aim stays within the weapon's limits, "fire" with
// "quickmode" lets go of it and gives back its rotation, and plain "fire" shoots from it; the game
// frame runs this control while the player uses the mount, the satellite view's above it.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "actors/actor.h"
#include "actors/weapons/weapon.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "game/mission/game_flow.h"
#include "game/game_state.h"
#include "game/player/mounted_control.h"
#include "game/view/satellite_view.h"
#include "game/view/player_view.h"
#include "render/camera.h"
#include "tests/game/player/player_weapon_fixture.h"
#include "world/nodes/graph_node.h"

namespace {

using player_weapon_test::ClearActions;

constexpr float kPi = 3.14159265f;

class MountedControl : public player_weapon_test::PlayerWeaponFrames {
protected:
    void SetUp() override
    {
        PlayerWeaponFrames::SetUp();
        g_mountedControl = MountedControlState();
        m_gun = LoadSample("rifle");
        m_gun->mountNode = &m_mount;
        m_mount.SetPosition({100.0f, 20.0f, -50.0f});
        m_gun->aimLimits[0] = 2.5f;
        m_gun->aimLimits[1] = 3.5f;
        m_gun->aimLimits[2] = -0.2f;
        m_gun->aimLimits[3] = 0.3f;
        m_gun->mountRotation = {0.0f, 1.25f, 0.0f};
        m_gun->fpmFirst = m_gun->fpmSecond = 1200.0f;
        m_gun->fireWait = 0;  // no trigger lock to wait out
        m_soldier->TakeItem(m_gun);
        ASSERT_EQ(m_soldier->WeaponInHand(), m_gun);
    }
    void TearDown() override
    {
        g_camera.cameraObject = nullptr;
        m_soldier->mountedWeapon = nullptr;
        m_soldier->usesMountedWeapon = false;
        m_gun->mountNode = nullptr;
        m_gun->owner = nullptr;
        delete m_gun;
        g_mountedControl = MountedControlState();
        PlayerWeaponFrames::TearDown();
    }
    void Step(std::initializer_list<u8_t> held)
    {
        PlatformTestClockAdvance(player_weapon_test::kFrameMs);
        ClearActions();
        for (u8_t action : held)
            g_input.actionDown[action] = INPUT_STATE_DOWN;
        MountedWeaponControlUpdate();
    }

    GraphNode m_mount{"mount"};
    Weapon* m_gun = nullptr;
};

TEST_F(MountedControl, TheFirstFrameLinksTheCameraAndTurnsTheViewOnce)
{
    GameSetYawPitch(0.1f, 0.0f);
    Step({});
    EXPECT_EQ(g_camera.cameraObject, &m_mount);
    EXPECT_FLOAT_EQ(GameGetYaw(), 0.1f + kPi);
    EXPECT_FALSE(m_mount.GetLodRender(0));
    Step({});
    EXPECT_FLOAT_EQ(GameGetYaw(), 0.1f + kPi);
    // The view is the muzzle; the soldier stands 17 below it.
    const Vector3 muzzle = m_gun->GetMuzzlePosition();
    EXPECT_FLOAT_EQ(GameGetViewPos()[1], muzzle.y);
    EXPECT_FLOAT_EQ(m_soldier->GetPosition().y, muzzle.y - 17.0f);
}

TEST_F(MountedControl, TheAimStaysWithinTheWeaponsLimits)
{
    struct Case {
        float yaw, pitch, wantYaw, wantPitch;
    };
    // The first frame adds pi to the yaw: the cases give the yaw before it.
    for (const Case& c :
         {Case{-1.0f, -1.0f, 2.5f, -0.2f}, Case{1.0f, 1.0f, 3.5f, 0.3f}, Case{3.0f - kPi, 0.1f, 3.0f, 0.1f}}) {
        g_mountedControl = MountedControlState();
        GameSetYawPitch(c.yaw, c.pitch);
        Step({});
        EXPECT_FLOAT_EQ(GameGetYaw(), c.wantYaw) << c.yaw;
        EXPECT_FLOAT_EQ(GameGetPitch(), c.wantPitch) << c.pitch;
    }
}

TEST_F(MountedControl, FireWithQuickmodeLetsGoAndGivesBackTheRotation)
{
    Step({});
    m_gun->SetRotation({0.0f, 0.2f, 0.0f});
    const u16_t before = PlayerFiringUnit(m_gun)->roundsInGun;
    Step({ACTION_FIRE, ACTION_QUICKMODE});
    EXPECT_EQ(PlayerFiringUnit(m_gun)->roundsInGun, before);  // it left rather than shot
    EXPECT_FALSE(m_soldier->usesMountedWeapon);
    EXPECT_EQ(m_soldier->mountedWeapon, nullptr);
    EXPECT_EQ(m_soldier->lastMountedWeapon, m_gun);
    EXPECT_EQ(m_gun->owner, nullptr);
    EXPECT_EQ(g_camera.cameraObject, nullptr);
    EXPECT_TRUE(m_mount.GetLodRender(0));
    EXPECT_FLOAT_EQ(m_gun->GetRotation().y, 1.25f);
    // The next frame has nothing to do here.
    Step({ACTION_FIRE});
    EXPECT_EQ(PlayerFiringUnit(m_gun)->roundsInGun, before);
}

TEST_F(MountedControl, FireShootsFromTheMountAndQuickmodeAloneDoesNot)
{
    Step({});
    const u16_t before = PlayerFiringUnit(m_gun)->roundsInGun;
    Step({ACTION_QUICKMODE});
    EXPECT_EQ(PlayerFiringUnit(m_gun)->roundsInGun, before);
    EXPECT_TRUE(m_soldier->usesMountedWeapon);
    // The rifle's trigger delay holds the first shot back a frame or two.
    for (int i = 0; i < 5; ++i)
        Step({ACTION_FIRE});
    EXPECT_LT(PlayerFiringUnit(m_gun)->roundsInGun, before);
}

// The game frame (here without a device, so that it draws nothing) runs exactly one control: the
// satellite view's while it is open (it fixes its pan speed; the viewer stays), else the mount's
// while the player uses it (the view goes to the muzzle), else the one on foot (the view goes to the
// soldier).
TEST_F(MountedControl, TheGameFrameRunsExactlyOneControl)
{
    struct Case {
        const char* name;
        bool satellite;
        bool mounted;
        bool satelliteRan;
        bool mountRan;
    };
    const Case cases[] = {{"satellite view at the mount", true, true, true, false},
                          {"at the mount", false, true, false, true},
                          {"on foot", false, false, false, false}};
    const Vector3 feet = m_soldier->GetPosition();
    const Vector3 muzzle = m_gun->GetMuzzlePosition();
    ASSERT_GT(std::fabs(muzzle.x - feet.x), 1.0f);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_mountedControl = MountedControlState();
        g_satelliteView = SatelliteViewState();
        g_game.satelliteView = c.satellite ? 1 : 0;
        m_soldier->usesMountedWeapon = c.mounted;
        float* viewer = GameGetViewPos();
        viewer[0] = viewer[2] = 12345.0f;
        PlatformTestClockAdvance(player_weapon_test::kFrameMs);
        ClearActions();
        GameUpdateFrame(false);
        EXPECT_EQ(g_satelliteView.panSpeedSet, c.satelliteRan ? 1 : 0);
        EXPECT_EQ(g_mountedControl.firstFrameDone, c.mountRan ? 1 : 0);
        const float wantX = c.satellite ? 12345.0f : c.mounted ? muzzle.x : feet.x;
        EXPECT_NEAR(viewer[0], wantX, 0.5f);
    }
    g_game.satelliteView = 0;
    g_satelliteView = SatelliteViewState();
    g_frameView.gameTime = 0.0f;
    m_soldier->usesMountedWeapon = true;
}

}  // namespace
