// The player's control in the sample jeep on flat land: the seat carries the view, getting out below
// the leaving speed at the seat's step-out point, the drive keys, the driver's view swinging back after
// free look, and a passenger's shots.
#include <gtest/gtest.h>

#include <initializer_list>

#include "actors/actor.h"
#include "actors/vehicles/vehicle.h"
#include "actors/weapons/weapon.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "game/game_state.h"
#include "game/player/player_control.h"
#include "game/view/player_view.h"
#include "game/player/player_foot_control.h"
#include "game/player/vehicle_control.h"
#include "render/camera.h"
#include "render/draw2d/hud_input.h"
#include "tests/actors/vehicles/vehicle_test_support.h"
#include "tests/game/player/player_weapon_fixture.h"

namespace {

using player_weapon_test::ClearActions;
using player_weapon_test::ResetPlayerSteps;

constexpr Vector3 kJeepAt = {40.0f, 0.0f, -30.0f};

class VehicleControl : public vehicle_test::FlatLandFixture {
protected:
    void SetUp() override
    {
        FlatLandFixture::SetUp();
        ResetPlayerSteps();
        g_frameView.frameTime = vehicle_test::kFrameTime;
        g_vehicleControl = VehicleControlState();
        m_jeep = Jeep(kJeepAt);
        DynObjectAdd(m_jeep);
        m_jeep->Update();
    }
    void TearDown() override
    {
        g_camera.cameraObject = nullptr;
        ResetPlayerSteps();
        g_vehicleControl = VehicleControlState();
        FlatLandFixture::TearDown();
    }

    // The player takes the first free seat: the driver's, or with a driver seated, the passenger's.
    Actor* SeatPlayer(bool asPassenger)
    {
        if (asPassenger) {
            Actor* driver = Soldier({kJeepAt.x + 5.0f, 0.0f, kJeepAt.z}, "driver");
            driver->TakeItem(m_jeep);
        }
        Actor* player = Soldier({kJeepAt.x + 10.0f, 0.0f, kJeepAt.z}, "player");
        g_frameView.player = player;
        player->TakeItem(m_jeep);
        EXPECT_EQ(g_game.playerVehicle, m_jeep);
        EXPECT_EQ(player->IsDriver(), !asPassenger);
        return player;
    }

    void Frame(std::initializer_list<u8_t> held, std::initializer_list<u8_t> released = {})
    {
        PlatformTestClockAdvance(20);
        ClearActions();
        for (u8_t action : held)
            g_input.actionDown[action] = INPUT_STATE_DOWN;
        for (u8_t action : released)
            g_input.actionReleased[action] = INPUT_STATE_DOWN;
        VehicleControlUpdate();
    }

    Vehicle* m_jeep = nullptr;
};

TEST_F(VehicleControl, TheSeatCarriesTheViewAndTheSoldierRidesAboveIt)
{
    Actor* player = SeatPlayer(false);
    Frame({});
    VehicleSeat* seat = player->seat;
    ASSERT_NE(seat, nullptr);
    EXPECT_EQ(g_camera.cameraObject, seat->attachNode);
    const float* at = GameGetPlayerPos();
    EXPECT_FLOAT_EQ(GameGetViewPos()[0], at[0]);
    EXPECT_FLOAT_EQ(GameGetViewPos()[2], at[2]);
    // Kept as the seat placement has it: above the node, where the mounted weapon puts it below.
    EXPECT_FLOAT_EQ(player->GetPosition().y, at[1] + 17.0f);
    EXPECT_NEAR(at[0], kJeepAt.x, 15.0f);
    EXPECT_NEAR(at[2], kJeepAt.z, 15.0f);
    // "navigation" released toggles the HUD's world markers from the seat as on foot.
    const u8_t shown = g_hudInput.flags.worldMarkersShown;
    Frame({}, {ACTION_NAVIGATION});
    EXPECT_EQ(g_hudInput.flags.worldMarkersShown, shown ? 0 : 1);
    Frame({}, {ACTION_NAVIGATION});
    EXPECT_EQ(g_hudInput.flags.worldMarkersShown, shown);
}

TEST_F(VehicleControl, DropWeaponLeavesOnlyBelowTheLeavingSpeed)
{
    struct Case {
        float speed;
        bool leaves;
    };
    for (const Case& c : {Case{3.0f, false}, Case{2.99f, true}}) {
        SCOPED_TRACE(c.speed);
        Actor* player = SeatPlayer(false);
        const Vector3 stepOut = player->seat->stepOut;
        const Vector3 jeepAt = m_jeep->GetPosition();
        m_jeep->SetSpeed(c.speed);
        Frame({}, {ACTION_DROP_WEAPON});
        EXPECT_EQ(g_game.playerVehicle == nullptr, c.leaves);
        EXPECT_EQ(player->inVehicle, !c.leaves);
        if (c.leaves) {
            EXPECT_EQ(player->seat, nullptr);
            EXPECT_EQ(player->vehicle, nullptr);
            EXPECT_EQ(g_camera.cameraObject, nullptr);
            EXPECT_EQ(m_jeep->seats[0].occupant, nullptr);
            // The jeep stands unturned on flat land: its frame is only moved to where it stands.
            const float* at = GameGetPlayerPos();
            EXPECT_NEAR(at[0], jeepAt.x + stepOut.x, 1e-3f);
            EXPECT_NEAR(at[1], jeepAt.y + stepOut.y, 1e-3f);
            EXPECT_NEAR(at[2], jeepAt.z + stepOut.z, 1e-3f);
        } else {
            m_jeep->SetSpeed(0.0f);
            Frame({}, {ACTION_DROP_WEAPON});
            ASSERT_EQ(g_game.playerVehicle, nullptr);
        }
    }
}

TEST_F(VehicleControl, DriveKeysWorkTheVehicleAndOpposedKeysGiveNoInput)
{
    SeatPlayer(false);
    m_jeep->driveState = VEHICLE_DRIVE_IDLE;
    const float steer = m_jeep->GetSteerAngle();
    Frame({ACTION_MOVE_FORWARD, ACTION_MOVE_BACKWARD, ACTION_STRAFE_LEFT, ACTION_STRAFE_RIGHT});
    EXPECT_EQ(m_jeep->driveState, VEHICLE_DRIVE_IDLE);
    EXPECT_EQ(m_jeep->GetSteerAngle(), steer);
    EXPECT_EQ(m_jeep->steeringFree, 0);

    Frame({ACTION_MOVE_FORWARD, ACTION_STRAFE_LEFT});
    EXPECT_EQ(m_jeep->driveState & VEHICLE_DRIVE_FORWARD, VEHICLE_DRIVE_FORWARD);
    EXPECT_NE(m_jeep->GetSteerAngle(), steer);
    EXPECT_EQ(m_jeep->steeringFree, 0);

    Frame({ACTION_STRAFE_LEFT});
    EXPECT_EQ(m_jeep->steeringFree, 1);
    m_jeep->gearChangeArmed = 0;
    Frame({}, {ACTION_MOVE_FORWARD});
    EXPECT_EQ(m_jeep->gearChangeArmed, 1);
}

TEST_F(VehicleControl, ReleasingFreeLookSwingsTheViewBackAtHalfARadianASecond)
{
    SeatPlayer(false);
    GameSetYaw(0.3f);
    Frame({ACTION_ZOOM});
    EXPECT_FLOAT_EQ(GameGetYaw(), 0.3f);
    EXPECT_EQ(m_jeep->lookCentring, 0);
    Frame({});
    EXPECT_EQ(m_jeep->lookCentring, 1);
    EXPECT_NEAR(GameGetYaw(), 0.3f - 0.5f * 0.02f, 1e-6f);
    // It stops at straight ahead (within the step's rest below 1e-6) without passing it.
    for (int i = 0; i < 40; ++i) {
        Frame({});
        ASSERT_GE(GameGetYaw(), 0.0f) << i;
    }
    EXPECT_LE(GameGetYaw(), 1e-6f);

    // A seat with a fixed view keeps the view where it is.
    m_jeep->fixedView = 1;
    GameSetYaw(-0.2f);
    Frame({});
    EXPECT_FLOAT_EQ(GameGetYaw(), -0.2f);
    EXPECT_EQ(m_jeep->lookCentring, 0);
}

TEST_F(VehicleControl, APassengerShootsAndTheDriverDoesNot)
{
    for (bool passenger : {true, false}) {
        SCOPED_TRACE(passenger);
        Actor* player = SeatPlayer(passenger);
        Weapon* rifle = player->WeaponInHand();
        ASSERT_NE(rifle, nullptr);
        rifle->fpmFirst = rifle->fpmSecond = 1200.0f;
        const u16_t before = PlayerFiringUnit(rifle)->roundsInGun;
        Frame({ACTION_FIRE});
        EXPECT_EQ(PlayerFiringUnit(rifle)->roundsInGun < before, passenger);
        m_jeep->SetSpeed(0.0f);
        Frame({}, {ACTION_DROP_WEAPON});
        ASSERT_EQ(g_game.playerVehicle, nullptr);
        for (s32_t i = 0; i < m_jeep->seatCount; ++i) {
            if (Actor* other = m_jeep->seats[i].occupant)
                m_jeep->LeaveSeat(other);
        }
    }
}

}  // namespace
