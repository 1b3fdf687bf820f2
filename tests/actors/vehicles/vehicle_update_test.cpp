// The vehicle's update on flat land: running soldiers over (but not its own passengers), being
// pushed back by a structure, the engine sounds, and the shadow refresh of a parked vehicle.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "actors/actor.h"
#include "core/frame_view.h"
#include "core/sound/sound.h"
#include "core/sound/sound_system.h"
#include "platform/test_clock.h"
#include "support/land_octree.h"
#include "support/wave_bytes.h"
#include "tools/aff_make/aff_description.h"
#include "tools/aff_make/aff_writer.h"
#include "core/console/console.h"
#include "world/animation/anim_cache.h"
#include "world/wires/wires.h"
#include "tests/actors/vehicles/vehicle_test_support.h"
#include "world/nodes/graph_node.h"
#include "world/objects/shadow_object.h"
#include "world/objects/structure.h"

namespace {

using weapon_test::ApplyLine;

class VehicleUpdate : public vehicle_test::FlatLandFixture {
protected:
    // A registered, placed jeep with the soldier at the wheel.
    Vehicle* DrivenJeep(const Vector3& at, Actor* driver)
    {
        Vehicle* jeep = Jeep(at);
        DynObjectAdd(jeep);
        jeep->Update();
        driver->TakeItem(jeep);
        EXPECT_EQ(driver->vehicle, jeep);
        return jeep;
    }
    // Frames at a steady speed: the drive key held without the speed changing by it.
    static void Cruise(Vehicle* jeep, int frames)
    {
        for (int i = 0; i < frames; ++i) {
            jeep->driveState = VEHICLE_DRIVE_FORWARD;
            jeep->Update();
        }
    }
};

TEST_F(VehicleUpdate, ASoldierInThePathIsRunOverButThePassengersRideSafely)
{
    Actor* driver = Soldier({300.0f, 0.0f, 300.0f}, "driver");
    Actor* passenger = Soldier({320.0f, 0.0f, 300.0f}, "passenger");
    Actor* standing = Soldier({300.0f, 0.0f, 230.0f}, "standing");
    Vehicle* jeep = DrivenJeep({300.0f, 0.0f, 300.0f}, driver);
    passenger->TakeItem(jeep);
    ASSERT_EQ(passenger->seat, &jeep->seats[1]);
    jeep->SetSpeed(jeep->GetMaxSpeed());
    float lowest = jeep->GetSpeed();
    for (int i = 0; i < 40 && !standing->isDead; ++i) {
        Cruise(jeep, 1);
        lowest = std::min(lowest, jeep->GetSpeed());
    }
    ASSERT_TRUE(standing->isDead);
    EXPECT_FLOAT_EQ(standing->GetHealth(), 100.0f - 1000.0f);
    EXPECT_EQ(standing->deathSet, 1);
    EXPECT_EQ(lowest, jeep->GetMaxSpeed());  // running over does not slow the vehicle
    Cruise(jeep, 20);
    EXPECT_FALSE(driver->isDead);
    EXPECT_FALSE(passenger->isDead);
    EXPECT_FLOAT_EQ(passenger->GetHealth(), 100.0f);
    // The passengers ride with the vehicle, far from where they got in.
    EXPECT_LT(passenger->GetPosition().z, 200.0f);
}

TEST_F(VehicleUpdate, AStructurePushesTheVehicleBackAndCutsItsSpeedAboveHalfTheMaximum)
{
    // The jeep turned a quarter round drives along x, towards a wall standing on the ground across
    // its way (mesh spheres are pushed out sideways, along the mesh's x).
    Actor* driver = Soldier({500.0f, 0.0f, 500.0f}, "driver");
    Vehicle* jeep = Jeep({500.0f, 0.0f, 500.0f});
    jeep->SetRotation({0.0f, 1.5707964f, 0.0f});
    DynObjectAdd(jeep);
    jeep->Update();
    driver->TakeItem(jeep);
    const Vector3 way = jeep->GetDirection();
    ASSERT_NEAR(std::fabs(way.x), 1.0f, 1e-5f);
    aff::AffFile mesh;
    std::string error;
    ASSERT_TRUE(aff::ParseAffDescription("frames 1\nbox wall 4 20 60 none 0 5 0\n", &mesh, &error)) << error;
    ASSERT_TRUE(WriteFileBytes("component/structure/wall.aff", aff::AffImage(mesh)));
    Structure* wall = new Structure;
    wall->name.Assign("wall");
    ASSERT_TRUE(ApplyLine(*wall, "anim wall root wall"));
    const float wallX = 500.0f + way.x * 60.0f;
    wall->SetPosition({wallX, 0.0f, 500.0f});
    DynObjectAdd(wall);

    jeep->SetSpeed(jeep->GetMaxSpeed());
    std::vector<float> speeds;
    for (int i = 0; i < 60; ++i) {
        Cruise(jeep, 1);
        if (speeds.empty() || speeds.back() != jeep->GetSpeed())
            speeds.push_back(jeep->GetSpeed());
    }
    // Each contact above half the maximum takes a quarter; below it the speed stays.
    const float max = jeep->GetMaxSpeed();
    const std::vector<float> expected = {max, max * 0.75f, max * 0.75f * 0.75f, max * 0.75f * 0.75f * 0.75f};
    EXPECT_EQ(speeds, expected);
    // The vehicle does not get through: held against the wall frame after frame, its front (12
    // before the centre) goes no further into the wall's near face (2 before the wall's middle)
    // than one frame's step (the vehicle's box is the one it was drawn with, before the step).
    float nearest = 1e30f;
    for (int i = 0; i < 30; ++i) {
        Cruise(jeep, 1);
        nearest = std::min(nearest, (wallX - jeep->GetCentre().x) * way.x);
    }
    const float step = jeep->GetSpeed() * 10.0f * vehicle_test::kFrameTime;
    EXPECT_GT(nearest, 2.0f + 12.0f - step);
    EXPECT_LT(nearest, 2.0f + (18.0f + 15.0f) * 0.5f);
}

TEST_F(VehicleUpdate, AWireAcrossTheWayHoldsTheVehicleBack)
{
    ConStartup();
    // A thin wire 5 above the ground along x, strung between two poles, across the jeep's way.
    ConObjGroup* wire = ConObjCreateGroup("fence", "CROSS", "", 0.0f, 0.0f, 1.0f, 1);
    ASSERT_NE(wire, nullptr);
    const float wireZ = 300.0f;
    const char* ends[2][2] = {{"pole_a", "-0"}, {"pole_b", "+0"}};
    const float endX[2] = {200.0f, 400.0f};
    for (int i = 0; i < 2; ++i) {
        aff::AffFile file;
        file.strings = {"post"};
        file.frames = {{{aff::TriangleMesh(0, {0, 0, 0}, {0.1f, 0, 0}, {0, 0.1f, 0})}}};
        file.dummies = std::vector<aff::DummyBox>{{ends[i][1], {}, {}, {endX[i], 5.0f, wireZ}}};
        const std::string meshPath = std::string(ends[i][0]) + ".aff";
        ASSERT_TRUE(WriteFileBytes(meshPath, aff::AffImage(file)));
        GraphObj* pole = new GraphObj;
        pole->name.Assign(ends[i][0]);
        DynObjectAdd(pole);
        GraphNode* post = new GraphNode("post");
        post->SetParent(pole->GetRootNode());
        pole->GetRootNode()->AddChild(post);
        post->SetAnimMesh(AnimCacheAcquire(meshPath.c_str(), false));
        ASSERT_EQ(ConObjGroupAppendObject(wire, pole), 1);
    }
    Actor* driver = Soldier({300.0f, 0.0f, 400.0f}, "driver");
    Vehicle* jeep = DrivenJeep({300.0f, 0.0f, 400.0f}, driver);
    jeep->SetSpeed(5.0f);
    float nearest = 1e30f;
    float last = jeep->GetCentre().z - wireZ;
    int pushes = 0;
    for (int i = 0; i < 150; ++i) {
        Cruise(jeep, 1);
        const float reach = jeep->GetCentre().z - wireZ;
        nearest = std::min(nearest, reach);
        if (reach > last)
            ++pushes;
        last = reach;
    }
    // Whenever the vehicle's box (the one it was drawn with, a step behind) meets the wire, the
    // centre is pushed back (sideways from the wire, by the sphere's reach); the front (12 before
    // the centre) gets no further than two steps past the wire.
    EXPECT_GT(pushes, 5);
    const float step = jeep->GetSpeed() * 10.0f * vehicle_test::kFrameTime;
    EXPECT_GT(nearest, 12.0f - 2.0f * step);
    EXPECT_EQ(jeep->GetSpeed(), 5.0f);  // a wire does not cut the speed
    ConObjFreeAll();
    ConShutdown();
}

TEST_F(VehicleUpdate, AParkedVehicleRefreshesItsShadowsOnlyWhileItsBodyIsTurned)
{
    Vehicle* jeep = Jeep({700.0f, 0.0f, 700.0f});
    jeep->Update();
    ShadowObject* shadow = new ShadowObject(jeep);
    jeep->shadowCompanion = shadow;
    shadow->needsRebuild = 0;
    jeep->Update();
    EXPECT_EQ(shadow->needsRebuild, 0);
    // A pitched body settles slowly: every frame meanwhile refreshes the shadows.
    Vector3 angles = jeep->bodyNode->GetRotation();
    angles.z = 0.1f;
    jeep->bodyNode->SetRotation(angles);
    for (int i = 0; i < 5; ++i) {
        shadow->needsRebuild = 0;
        jeep->Update();
        EXPECT_EQ(shadow->needsRebuild, 1) << i;
        EXPECT_EQ(jeep->GetSpeed(), 0.0f);
    }
    jeep->shadowCompanion = nullptr;
    delete shadow;
    delete jeep;
}

TEST_F(VehicleUpdate, EngineSoundsFollowSpeedAndDriveState)
{
    setenv("ALSOFT_DRIVERS", "null", 0);
    const std::string wave = ShortWaveBytes();
    const char* names[] = {"idle", "turn", "accelerate", "decelerate", "turn_on"};
    for (const char* sound : names)
        ASSERT_TRUE(WriteFileBytes(std::string("sound/") + sound + ".wav", wave));
    ASSERT_TRUE(SoundInit(nullptr));
    {
        Actor* driver = Soldier({900.0f, 0.0f, 900.0f}, "driver");
        g_frameView.player = driver;
        Vehicle* jeep = Jeep({900.0f, 0.0f, 900.0f});
        DynObjectAdd(jeep);
        SoundSetTable* table = new SoundSetTable("jeep");
        const s32_t properties[] = {SOUND_IDLE, SOUND_TURN, SOUND_ACCELERATE, SOUND_DECELERATE, SOUND_TURN_ON};
        for (int i = 0; i < 5; ++i) {
            SoundSet* set = new SoundSet;
            set->Add(SoundLoad(jeep->sound, names[i], SOUND_MODE_OBJECT), 0);
            table->sets[properties[i]] = set;
        }
        jeep->sound->SetSoundTable(table);
        const auto playing = [table](s32_t property) { return table->Get(property, 0, 0)->playing; };
        float* viewer = GameGetViewPos();
        viewer[0] = 900.0f;
        viewer[1] = 10.0f;
        viewer[2] = 900.0f;
        jeep->Update();

        driver->TakeItem(jeep);
        ASSERT_TRUE(driver->IsDriver());
        EXPECT_EQ(jeep->soundStartTime, GetTickCount());
        // No idle before 1001 ms have passed since the driver got in.
        PlatformTestClockAdvance(1000);
        jeep->Update();
        EXPECT_FALSE(playing(SOUND_IDLE));
        PlatformTestClockAdvance(1);
        jeep->Update();
        EXPECT_TRUE(playing(SOUND_IDLE));
        // Accelerating, at exactly the top speed, and rolling on.
        jeep->SetSpeed(5.0f);
        jeep->ControlForward();
        jeep->Update();
        EXPECT_TRUE(playing(SOUND_ACCELERATE));
        EXPECT_FALSE(playing(SOUND_IDLE));
        jeep->SetSpeed(jeep->GetMaxSpeed());
        jeep->driveState = VEHICLE_DRIVE_FORWARD;
        jeep->Update();
        EXPECT_TRUE(playing(SOUND_TURN));
        EXPECT_FALSE(playing(SOUND_ACCELERATE));
        jeep->SetSpeed(8.0f);
        jeep->Update();
        EXPECT_TRUE(playing(SOUND_DECELERATE));
        EXPECT_FALSE(playing(SOUND_TURN));
        // Leaving stops the engine.
        driver->LeaveVehicle();
        for (s32_t property : {SOUND_IDLE, SOUND_TURN, SOUND_ACCELERATE, SOUND_DECELERATE})
            EXPECT_FALSE(playing(property)) << property;
        DynObjectRemove(jeep);
        delete jeep;
        viewer[0] = viewer[1] = viewer[2] = 0.0f;
    }
    SoundShutdown();
}

}  // namespace
