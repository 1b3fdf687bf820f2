// The vehicle object: placement from the sample jeep's model, the seat lines of a definition with
// their seat sections, entering and leaving as the player and as a soldier, the axes and the saved
// record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "core/files/byte_io.h"
#include "core/files/def_file.h"
#include "core/frame_view.h"
#include "support/files.h"
#include "tests/actors/vehicles/vehicle_test_support.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/objects/saved_object_state.h"

namespace {

using weapon_test::ApplyLine;

class VehicleObject : public vehicle_test::VehicleFixture {
protected:
    // A vehicle with the jeep's model but none of its other lines.
    Vehicle* Model()
    {
        Vehicle* vehicle = new Vehicle;
        vehicle->name.Assign("model");
        const std::string text = ReadFileBytes(actor_test::SampleFolder() + "/object/vehicles/jeep.def");
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            const std::string line = text.substr(start, end - start);
            if (line.rfind("anim ", 0) == 0) {
                EXPECT_TRUE(ApplyLine(*vehicle, line)) << line;
            }
            start = end + 1;
        }
        return vehicle;
    }
    static u8_t HullHidden(Vehicle* vehicle)
    {
        GraphNode* body = vehicle->FindChild("body");
        const s32_t hull = AnimMeshFindDummy(body->GetAnimMesh(), "hull");
        const MeshSettings& settings = body->GetMeshSettings()[hull];
        return settings.lodHidden[0] && settings.lodHidden[1] && settings.lodHidden[2];
    }
};

TEST_F(VehicleObject, IsPlacedFromItsModelOnTheFirstUpdate)
{
    Vehicle* jeep = Jeep({100.0f, 30.0f, 50.0f});
    EXPECT_EQ(jeep->GetTypeId(), OBJECT_TYPE_VEHICLE);
    EXPECT_TRUE(jeep->firstUpdatePending);
    jeep->Update();
    EXPECT_FALSE(jeep->firstUpdatePending);
    EXPECT_FLOAT_EQ(jeep->GetWheelbase(), 18.0f);
    EXPECT_FLOAT_EQ(jeep->track, 9.0f);
    // No land: the terrain lies at 0. The front (steered) wheels P0, P1 lie towards -z, P0 and P2 on +x.
    for (const D3DXVECTOR3& p : jeep->points)
        EXPECT_FLOAT_EQ(p.y, 0.0f);
    EXPECT_LT(jeep->points[0].z, jeep->points[2].z);
    EXPECT_GT(jeep->points[0].x, jeep->points[1].x);
    EXPECT_FLOAT_EQ(jeep->points[0].x, jeep->points[2].x);
    EXPECT_NEAR(jeep->GetNormalAxis().y, 1.0f, 1e-6f);
    EXPECT_NEAR(jeep->GetDirection().z, -1.0f, 1e-6f);
    EXPECT_FLOAT_EQ(jeep->GetPosition().y, 0.0f);
    EXPECT_NEAR(jeep->GetCentre().x, (jeep->points[0].x + jeep->points[1].x) * 0.5f, 1e-4f);
    ASSERT_NE(jeep->steeringWheelNode, nullptr);
    EXPECT_STREQ(jeep->steeringWheelNode->GetName(), "steer");
    // The seats of the sample's seat sections.
    ASSERT_EQ(jeep->seatCount, 2);
    EXPECT_EQ(jeep->seats[0].driver, 1);
    EXPECT_EQ(jeep->seats[1].driver, 0);
    EXPECT_STREQ(jeep->seats[0].actorAnim.Text(), "jeep_driver");
    EXPECT_FLOAT_EQ(jeep->seats[1].stepOut.x, -10.0f);
    delete jeep;
}

TEST_F(VehicleObject, SeatLinesFollowTheirRules)
{
    // The script's word table keeps the first spelling of a word for every later one: "Driver" is
    // the only spelling of the word here.
    ASSERT_TRUE(WriteFileBytes("script/seats.scr",
                               "<plain> step_out 1 2 3; actor_anim sit; shadow 1; </plain>\n"
                               "<capital> Driver 1; </capital>\n"
                               "<own> mass 7; shadow 1; </own>\n"
                               "<nested> seat plain seats seat_d driver; </nested>\n"
                               "<recapacity> capacity 5; </recapacity>\n"));
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        std::vector<bool> results;
        s32_t seats;
    };
    const std::string plain = "seat plain seats seat_d driver";
    const Case cases[] = {
        {"a seat before the capacity", {plain}, {false}, 0},
        {"a third seat of two", {"capacity 2", plain, plain, plain}, {true, true, true, false}, 2},
        {"an unknown seat mesh", {"capacity 2", "seat plain seats nomesh driver"}, {true, false}, 0},
        {"an unknown attach node", {"capacity 2", "seat plain seats seat_d nonode"}, {true, false}, 0},
        {"a key with a capital stays a vehicle key",
         {"capacity 2", "seat capital seats seat_d driver"},
         {true, false},
         1},
        {"a missing section keeps the seat", {"capacity 2", "seat nosuch seats seat_d driver"}, {true, false}, 1},
        {"other keys are the vehicle's", {"capacity 2", "seat own seats seat_d driver"}, {true, true}, 1},
        {"no seat inside a seat", {"capacity 2", "seat nested seats seat_d driver"}, {true, false}, 1},
        {"no capacity inside a seat", {"capacity 2", "seat recapacity seats seat_d driver"}, {true, false}, 1},
        {"a part switch before any seat", {"capacity 2", "inhide body hull"}, {true, false}, 0},
        {"a part switch without animated node", {"capacity 2", plain, "inhide nonode hull"}, {true, true, false}, 1},
        {"capacity rebuilds the seats", {"capacity 2", plain, "capacity 3"}, {true, true, true}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Vehicle* vehicle = Model();
        std::vector<bool> results;
        for (const std::string& line : c.lines)
            results.push_back(ApplyLine(*vehicle, line));
        EXPECT_EQ(results, c.results);
        EXPECT_EQ(vehicle->seatCount, c.seats);
        if (std::string(c.what) == "a key with a capital stays a vehicle key") {
            EXPECT_EQ(vehicle->seats[0].driver, 0);
        }
        if (std::string(c.what) == "other keys are the vehicle's") {
            EXPECT_FLOAT_EQ(vehicle->GetMass(), 7.0f);
            EXPECT_EQ(vehicle->seats[0].hideShadow, 1);
        }
        if (std::string(c.what) == "no capacity inside a seat") {
            EXPECT_EQ(vehicle->capacity, 2);
        }
        delete vehicle;
    }

    // A plain seat takes its section; a part switch belongs to the last seat defined.
    Vehicle* vehicle = Model();
    for (const std::string& line : {std::string("capacity 2"), plain, plain, std::string("inhide body hull nomesh")})
        EXPECT_TRUE(ApplyLine(*vehicle, line)) << line;
    EXPECT_FLOAT_EQ(vehicle->seats[0].stepOut.z, 3.0f);
    EXPECT_STREQ(vehicle->seats[0].actorAnim.Text(), "sit");
    EXPECT_EQ(vehicle->seats[0].hideShadow, 1);
    EXPECT_EQ(vehicle->seats[0].attachNode, vehicle->FindChild("driver"));
    EXPECT_TRUE(vehicle->seats[0].partSwitches.empty());
    ASSERT_EQ(vehicle->seats[1].partSwitches.size(), 1u);
    const VehiclePartSwitch& partSwitch = *vehicle->seats[1].partSwitches[0];
    EXPECT_EQ(partSwitch.hide, 1);
    ASSERT_EQ(partSwitch.meshes.size(), 2u);
    EXPECT_GE(partSwitch.meshes[0], 0);
    EXPECT_EQ(partSwitch.meshes[1], -1);
    // Keywords are known without regard to case and take their value count.
    EXPECT_TRUE(ApplyLine(*vehicle, "MaxSpeed 12"));
    EXPECT_FALSE(ApplyLine(*vehicle, "maxspeed 12 13"));
    EXPECT_FALSE(ApplyLine(*vehicle, "nosuchkey 1"));
    EXPECT_TRUE(ApplyLine(*vehicle, "engineforce many"));
    EXPECT_FLOAT_EQ(vehicle->GetMaxSpeed(), 12.0f);
    EXPECT_FLOAT_EQ(vehicle->GetEngineForce(), 0.0f);
    delete vehicle;
}

TEST_F(VehicleObject, EnteringAndLeavingAsSoldierAndAsPlayer)
{
    Vehicle* jeep = Jeep({0.0f, 0.0f, 0.0f});
    DynObjectAdd(jeep);
    ASSERT_TRUE(ApplyLine(*jeep, "inhide body hull"));  // the passenger's seat hides the hull
    jeep->Update();
    Actor* soldier = Soldier({40.0f, 0.0f, 0.0f}, "rider");
    Actor* player = Soldier({-40.0f, 0.0f, 0.0f}, "player");
    g_frameView.player = player;
    GameSetYawPitch(1.0f, 0.5f);

    soldier->TakeItem(jeep);
    EXPECT_TRUE(soldier->inVehicle);
    EXPECT_EQ(soldier->vehicle, jeep);
    EXPECT_EQ(soldier->seat, &jeep->seats[0]);
    EXPECT_TRUE(soldier->IsDriver());
    EXPECT_EQ(jeep->seats[0].occupant, soldier);
    EXPECT_EQ(jeep->occupantCount, 1);
    EXPECT_EQ(HullHidden(jeep), 0);
    EXPECT_FLOAT_EQ(GameGetYaw(), 1.0f);  // only the player's view turns
    // The body hangs on the seat's mesh under the seats node.
    GraphNode* body = soldier->GetRootNode()->GetChild(0);
    EXPECT_EQ(body->GetParent(), jeep->FindChild("seats"));
    // The soldier rides at its seat, 12 below the seat node.
    jeep->Update();
    D3DXMATRIX seatWorld;
    jeep->seats[0].attachNode->UpdateTransform(&seatWorld);
    EXPECT_FLOAT_EQ(soldier->GetPosition().x, seatWorld._41);
    EXPECT_FLOAT_EQ(soldier->GetPosition().y, seatWorld._42 - 12.0f);

    player->TakeItem(jeep);  // the driver's seat is taken: the next free one
    EXPECT_EQ(player->seat, &jeep->seats[1]);
    EXPECT_FALSE(player->IsDriver());
    EXPECT_EQ(g_game.playerVehicle, jeep);
    EXPECT_EQ(jeep->occupantCount, 2);
    EXPECT_EQ(HullHidden(jeep), 1);
    EXPECT_FLOAT_EQ(GameGetYaw(), 0.0f);
    EXPECT_FLOAT_EQ(GameGetPitch(), 0.0f);
    const Vector3 playerAt = player->GetPosition();
    jeep->Update();
    EXPECT_FLOAT_EQ(player->GetPosition().x, playerAt.x);  // the player is placed by the player control

    // A third actor finds no seat and stays on foot.
    Actor* walker = Soldier({0.0f, 0.0f, 80.0f}, "walker");
    walker->TakeItem(jeep);
    EXPECT_FALSE(walker->inVehicle);
    EXPECT_EQ(walker->vehicle, nullptr);
    EXPECT_EQ(jeep->occupantCount, 2);
    // EnterSeat beyond the capacity keeps the count at the capacity.
    walker->seat = &jeep->seats[1];
    jeep->EnterSeat(walker);
    EXPECT_EQ(jeep->occupantCount, 2);
    EXPECT_EQ(jeep->seats[1].occupant, player);
    walker->seat = nullptr;

    player->LeaveVehicle();
    EXPECT_FALSE(player->inVehicle);
    EXPECT_EQ(jeep->seats[1].occupant, nullptr);
    EXPECT_EQ(HullHidden(jeep), 0);
    EXPECT_EQ(player->GetRootNode()->GetChild(0)->GetParent(), player->GetRootNode());

    // A soldier steps out at its seat's step-out point.
    jeep->seats[0].attachNode->UpdateTransform(&seatWorld);
    soldier->LeaveVehicle();
    EXPECT_FLOAT_EQ(soldier->GetPosition().x, seatWorld._41 + 10.0f);
    EXPECT_FLOAT_EQ(soldier->GetPosition().y, seatWorld._42 - 7.5f);
    EXPECT_EQ(jeep->occupantCount, 0);
    EXPECT_EQ(jeep->FindFreeSeat(), &jeep->seats[0]);

    // A moving vehicle or a barred player enters nothing.
    jeep->SetSpeed(1.5f);
    soldier->TakeItem(jeep);
    EXPECT_FALSE(soldier->inVehicle);
    jeep->SetSpeed(0.0f);
    g_game.vehicleBarred = true;
    player->TakeItem(jeep);
    EXPECT_FALSE(player->inVehicle);
}

TEST_F(VehicleObject, TheEnvelopesCurrentSeatRecordChoosesTheSeat)
{
    Vehicle* jeep = Jeep({0.0f, 0.0f, 0.0f});
    DynObjectAdd(jeep);
    DOEnvelope* place = new DOEnvelope("jeep");
    EnvelopeRegister(place);
    place->Attach(jeep);
    place->seatRecords.resize(3);
    place->seatRecords[0].seatNumber = 1;
    place->seatRecords[1].seatNumber = 0;
    place->seatRecords[2].seatNumber = 7;
    Actor* soldier = Soldier({40.0f, 0.0f, 0.0f});
    place->currentSeatRecord = 0;
    soldier->TakeItem(jeep);
    EXPECT_EQ(soldier->seat, &jeep->seats[1]);
    soldier->LeaveVehicle();
    place->currentSeatRecord = 2;  // seat 7 does not exist: the first seat
    soldier->TakeItem(jeep);
    EXPECT_EQ(soldier->seat, &jeep->seats[0]);
    soldier->LeaveVehicle();
}

TEST_F(VehicleObject, AxesComeFromTheContactPointsAndFillTheOrientationColumns)
{
    Vehicle vehicle;
    vehicle.points[0] = {0.0f, 2.0f, 0.0f};
    vehicle.points[1] = {-4.0f, 2.0f, 0.0f};
    vehicle.points[2] = {0.0f, 0.0f, 10.0f};
    vehicle.points[3] = {-4.0f, 0.0f, 10.0f};
    vehicle.ComputeAxes();
    vehicle.BuildOrientation();
    const Vector3 lateral = vehicle.GetLateralAxis();
    const Vector3 normal = vehicle.GetNormalAxis();
    const Vector3 length = vehicle.GetLengthAxis();
    EXPECT_FLOAT_EQ(lateral.x, -1.0f);
    const float s = 1.0f / std::sqrt(104.0f);
    EXPECT_NEAR(normal.y, 10.0f * s, 1e-6f);
    EXPECT_NEAR(normal.z, 2.0f * s, 1e-6f);
    EXPECT_NEAR(length.y, -2.0f * s, 1e-6f);
    EXPECT_NEAR(length.z, 10.0f * s, 1e-6f);
    const D3DXMATRIX& m = *vehicle.orientation;
    const float columns[3][3] = {
        {-lateral.x, -lateral.y, -lateral.z}, {normal.x, normal.y, normal.z}, {length.x, length.y, length.z}};
    for (int c = 0; c < 3; ++c) {
        for (int r = 0; r < 3; ++r)
            EXPECT_FLOAT_EQ(m.m[r][c], columns[c][r]) << r << "," << c;
        EXPECT_FLOAT_EQ(m.m[3][c], 0.0f);
        EXPECT_FLOAT_EQ(m.m[c][3], 0.0f);
    }
    EXPECT_FLOAT_EQ(m.m[3][3], 1.0f);
    vehicle.SetDirection(3.0f, 0.0f, 4.0f);
    EXPECT_FLOAT_EQ(vehicle.GetDirection().x, 0.6f);
}

void PutFloat(std::vector<u8_t>* bytes, float value)
{
    u32_t bits = 0;
    std::memcpy(&bits, &value, 4);
    u8_t out[4];
    StoreU32(out, bits);
    bytes->insert(bytes->end(), out, out + 4);
}

TEST_F(VehicleObject, TheSavedRecordIsWrittenFieldByField)
{
    Vehicle* jeep = Jeep({0.0f, 0.0f, 0.0f});
    Actor rider;
    rider.name.Assign("rider");
    jeep->seats[1].occupant = &rider;  // seat 0 free: no names are written
    jeep->occupantCount = 1;
    jeep->speed = 3.5f;
    jeep->steerAngle = -0.25f;
    for (int i = 0; i < 4; ++i)
        jeep->points[i] = {static_cast<float>(i), 1.5f, -static_cast<float>(i)};
    jeep->direction = {0.0f, 0.0f, -1.0f};
    jeep->forwardGear = 0;
    SavedObjectState state;
    std::memset(state.kindArea, 0xAB, sizeof state.kindArea);
    jeep->SaveState(&state);
    std::vector<u8_t> expected;
    PutFloat(&expected, 3.5f);
    PutFloat(&expected, -0.25f);
    for (int i = 0; i < 4; ++i) {
        PutFloat(&expected, static_cast<float>(i));
        PutFloat(&expected, 1.5f);
        PutFloat(&expected, -static_cast<float>(i));
    }
    PutFloat(&expected, 0.0f);
    PutFloat(&expected, 0.0f);
    PutFloat(&expected, -1.0f);
    expected.resize(VEHICLE_STATE_OCCUPANTS, 0);
    expected.insert(expected.end(), {1, 0, 0, 0, 0});
    expected.resize(SAVED_OBJECT_KIND_AREA_SIZE, 0);
    EXPECT_EQ(std::vector<u8_t>(state.kindArea, state.kindArea + SAVED_OBJECT_KIND_AREA_SIZE), expected);

    // Loading takes motion and points back and settles them on the ground (at 0 without land).
    Vehicle* other = Jeep({0.0f, 0.0f, 0.0f}, "other");
    other->wheelbase = 18.0f;
    other->track = 9.0f;
    other->LoadState(&state);
    EXPECT_FLOAT_EQ(other->GetSpeed(), 3.5f);
    EXPECT_FLOAT_EQ(other->GetSteerAngle(), -0.25f);
    EXPECT_FALSE(other->IsForwardGear());
    EXPECT_FLOAT_EQ(other->GetDirection().z, -1.0f);
    EXPECT_FLOAT_EQ(other->points[2].y, 0.0f);
    EXPECT_EQ(other->occupantCount, 0);
    jeep->seats[1].occupant = nullptr;
    delete other;
    delete jeep;
}

TEST_F(VehicleObject, OccupantNamesAreBoundedToSixteenFieldsOfFifteenCharacters)
{
    Vehicle* vehicle = Model();
    ASSERT_TRUE(ApplyLine(*vehicle, "capacity 20"));
    std::vector<Actor> riders(20);
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(ApplyLine(*vehicle, "seat nosection seats seat_d driver") || vehicle->seatCount == i + 1);
        riders[static_cast<size_t>(i)].name.Assign(i == 1 ? "a_name_much_longer_than_sixteen" : "rider");
        vehicle->seats[i].occupant = &riders[static_cast<size_t>(i)];
    }
    vehicle->occupantCount = 20;
    SavedObjectState state;
    std::memset(state.kindArea, 0xAB, sizeof state.kindArea);
    vehicle->SaveState(&state);
    const u8_t* names = state.kindArea + VEHICLE_STATE_NAMES;
    EXPECT_STREQ(reinterpret_cast<const char*>(names), "rider");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(names + 16), 16), std::string("a_name_much_lon\0", 16));
    EXPECT_STREQ(reinterpret_cast<const char*>(names + 15 * 16), "rider");
    EXPECT_EQ(LoadU32(state.kindArea + VEHICLE_STATE_OCCUPANTS), 20u);
    EXPECT_EQ(state.kindArea[VEHICLE_STATE_GEAR], 1);
    for (int i = 0; i < 20; ++i)
        vehicle->seats[i].occupant = nullptr;
    delete vehicle;
}

}  // namespace

namespace {

class VehicleLifetime : public vehicle_test::VehicleFixture {};

TEST_F(VehicleLifetime, DeletingEitherSideLeavesNoLinkBehind)
{
    // A vehicle deleted under its passenger leaves him on foot, his body under his own root.
    Vehicle* jeep = Jeep({0.0f, 0.0f, 0.0f});
    jeep->Update();
    Actor* soldier = Soldier({20.0f, 0.0f, 0.0f});
    g_frameView.player = soldier;
    soldier->TakeItem(jeep);
    ASSERT_TRUE(soldier->inVehicle);
    ASSERT_EQ(g_game.playerVehicle, jeep);
    delete jeep;
    EXPECT_EQ(g_game.playerVehicle, nullptr);
    g_frameView.player = nullptr;
    EXPECT_FALSE(soldier->inVehicle);
    EXPECT_EQ(soldier->vehicle, nullptr);
    EXPECT_EQ(soldier->seat, nullptr);
    EXPECT_EQ(soldier->GetRootNode()->GetChild(0)->GetParent(), soldier->GetRootNode());

    // A passenger deleted in his seat frees it.
    jeep = Jeep({0.0f, 0.0f, 0.0f});
    jeep->Update();
    soldier->TakeItem(jeep);
    ASSERT_EQ(jeep->occupantCount, 1);
    DynObjectRemove(soldier);
    soldier->DetachAI();
    delete soldier;
    EXPECT_EQ(jeep->occupantCount, 0);
    EXPECT_EQ(jeep->seats[0].occupant, nullptr);
    jeep->Update();
    delete jeep;
}

}  // namespace
