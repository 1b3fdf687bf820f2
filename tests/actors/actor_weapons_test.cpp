// Weapons in hand with the clock pinned: choosing by kind, the refusals of both fire operations,
// the pacing of a held trigger, the fire origin by pose, reloads, a mounted weapon's aim, and the
// sample soldier's rifle node moving between hand and carry dummy and a sub-weapon's first model.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "actors/actor.h"
#include "actors/actor_motion.h"
#include "actors/vehicles/vehicle.h"
#include "ai/soldier/ai_interface.h"
#include "core/frame_view.h"
#include "core/sound/sound.h"
#include "core/sound/sound_sets.h"
#include "core/sound/sound_source.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "game/view/player_view.h"
#include "platform/audio.h"
#include "platform/test_clock.h"
#include "support/files.h"
#include "support/wave_bytes.h"
#include "tests/actors/weapons/weapon_test_support.h"
#include "world/nodes/graph_node.h"

namespace {

using weapon_test::ApplyLine;

constexpr u32_t kStart = 200000;

class ActorWeapons : public weapon_test::WeaponFixture {
protected:
    void SetUp() override
    {
        WeaponFixture::SetUp();
        PlatformTestClockStart(kStart);
        m_actor = new Actor;
        // Slot 0 a rifle (primary), slot 1 a pistol (secondary) the actor does not own, slot 2 a
        // grenade, and in slot 5, past the five that are taken in hand, a charge (explosive).
        const u32_t kinds[6] = {WEAPON_SLOT_PRIMARY,  WEAPON_SLOT_SECONDARY, WEAPON_SLOT_GRENADE, 0, 0,
                                WEAPON_SLOT_EXPLOSIVE};
        for (u32_t slot : {0u, 1u, 2u, 5u}) {
            Weapon* weapon = new Weapon;
            weapon->slotType = kinds[slot];
            weapon->SetOwner(m_actor);
            weapon->magazineCap = weapon->magazineCapFull = weapon->roundsInGun = 30;
            weapon->magazineCountFull = weapon->spareMagazines = 2;
            weapon->FillMagazines();
            m_actor->weapons[slot] = weapon;
            m_actor->weaponOwned[slot] = slot != 1;
        }
        m_actor->weaponCount = 4;
    }
    void TearDown() override
    {
        // The pistol is not the actor's to delete.
        delete m_actor->weapons[1];
        m_actor->weapons[1] = nullptr;
        delete m_actor;
        g_frameView.player = nullptr;
        PlatformTestClockStop();
        WeaponFixture::TearDown();
    }
    Weapon* Rifle() const { return m_actor->weapons[0]; }
    Actor* m_actor = nullptr;
};

TEST_F(ActorWeapons, SelectionByKind)
{
    struct Case {
        const char* name;
        u8_t heldSlot;
        bool firstUpdateDone;
        s32_t kind;
        bool taken;
        u8_t selectedAfter;
        u8_t previousAfter;
    };
    const Case cases[] = {
        {"a kind carried only beyond the hand slots", 0, true, WEAPON_SLOT_EXPLOSIVE, false, 0, 0},
        {"a slot not owned", 0, true, WEAPON_SLOT_SECONDARY, false, 0, 0},
        {"the kind in hand after the first update", 0, true, WEAPON_SLOT_PRIMARY, false, 0, 0},
        {"the kind in hand before it", 0, false, WEAPON_SLOT_PRIMARY, true, 0, 255},
        {"another kind", 0, true, WEAPON_SLOT_GRENADE, true, 2, 0},
        {"another kind before the first update", 0, false, WEAPON_SLOT_GRENADE, true, 2, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_actor->selectedSlot = c.heldSlot;
        m_actor->previousSlot = 7;
        m_actor->slotChangeRequest = false;
        m_actor->firstUpdateDone = c.firstUpdateDone;
        m_actor->shownSubWeapon = Rifle();
        EXPECT_EQ(m_actor->SelectWeaponKind(c.kind), c.taken);
        EXPECT_EQ(m_actor->selectedSlot, c.selectedAfter);
        EXPECT_EQ(m_actor->previousSlot, c.previousAfter);
        EXPECT_EQ(m_actor->pendingSlotKind, c.kind);
        EXPECT_TRUE(m_actor->slotChangeRequest);
        EXPECT_EQ(m_actor->shownSubWeapon, c.taken ? nullptr : Rifle());
    }
}

TEST_F(ActorWeapons, FireRefusesAnEmptyMagazineOrAReload)
{
    struct Case {
        const char* name;
        u16_t rounds;
        bool reloading;
        bool skipAmmo;
        bool fires;
        bool aimingAfter;
    };
    const Case cases[] = {
        {"rounds left", 5, false, false, true, true},
        {"empty", 0, false, false, false, false},
        {"empty, ammunition skipped", 0, false, true, false, true},
        {"reloading", 5, true, false, false, false},
        {"reloading, ammunition skipped", 5, true, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlatformTestClockAdvance(1000);
        Rifle()->roundsInGun = c.rounds;
        m_actor->reloading = c.reloading;
        m_actor->aiming = true;
        m_actor->shotFired = false;
        EXPECT_EQ(m_actor->Fire(true, c.skipAmmo), c.fires);
        EXPECT_EQ(m_actor->aiming, c.aimingAfter);
        EXPECT_EQ(m_actor->shotFired, c.fires);
    }
}

TEST_F(ActorWeapons, AHeldTriggerCountsAsPulledAgainAfter300Milliseconds)
{
    // With a trigger delay a new pull soon after a shot waits; a held trigger goes on firing.
    struct Case {
        u32_t mode;
        u32_t gap;
        bool secondFires;
    };
    for (const Case& c : {Case{kFireModeAuto, 10, true}, Case{kFireModeBurst, 10, true},
                          Case{kFireModeSingle, 10, false}, Case{kFireModeAuto, 300, true}}) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " gap " << c.gap);
        Weapon* rifle = Rifle();
        rifle->fireMode = c.mode;
        rifle->delay = 400.0f;
        rifle->burstState = 0;
        PlatformTestClockAdvance(1000);
        ASSERT_TRUE(m_actor->FireAt(0.0f, 0.0f, false, false));
        PlatformTestClockAdvance(c.gap);
        // 300 ms later the pull is new again and waits out the delay.
        EXPECT_EQ(m_actor->FireAt(0.0f, 0.0f, false, false), c.secondFires && c.gap < 300);
    }
}

TEST_F(ActorWeapons, FireAtLeavesFromTheEyeHeightOfThePose)
{
    Weapon* rifle = LoadSample("rifle");
    rifle->SetOwner(m_actor);
    rifle->roundsInGun = 30;
    rifle->fpmFirst = 0.0f;
    delete m_actor->weapons[0];
    m_actor->weapons[0] = rifle;
    m_actor->SetPosition({5.0f, 100.0f, 7.0f});
    struct Case {
        bool crouched;
        bool prone;
        bool mounted;
        float height;
    };
    for (const Case& c : {Case{false, false, false, 17.0f}, Case{true, false, false, 12.0f},
                          Case{false, true, false, 3.0f}, Case{true, false, true, 17.0f}}) {
        SCOPED_TRACE(c.height);
        m_actor->crouched = c.crouched;
        m_actor->prone = c.prone;
        m_actor->usesMountedWeapon = c.mounted;
        m_actor->mountedWeapon = c.mounted ? rifle : nullptr;
        PlatformTestClockAdvance(1000);
        const u32_t before = ProjectileTableCountByName("rifle_bullet");
        ASSERT_TRUE(m_actor->FireAt(0.3f, 0.1f, false, false));
        ASSERT_EQ(ProjectileTableCountByName("rifle_bullet"), before + 1);
        DynamicObject** objects = nullptr;
        s32_t count = 0;
        DynObjectsGet(&objects, &count);
        const Projectile* shot = static_cast<const Projectile*>(objects[count - 1]);
        EXPECT_FLOAT_EQ(shot->GetPosition().y, 100.0f + c.height);
        EXPECT_FLOAT_EQ(shot->GetPosition().x, 5.0f);
        const Vector3& d = shot->direction;
        EXPECT_NEAR(d.x * d.x + d.y * d.y + d.z * d.z, 1.0f, 1e-5f);
    }
    m_actor->usesMountedWeapon = false;
    m_actor->mountedWeapon = nullptr;
    m_actor->crouched = m_actor->prone = false;
    // A passenger shoots from his seat's node, the driver from his eye.
    GraphNode seatNode("seat");
    seatNode.SetPosition({40.0f, 60.0f, 80.0f});
    VehicleSeat seat;
    seat.attachNode = &seatNode;
    m_actor->inVehicle = true;
    m_actor->seat = &seat;
    for (const u8_t driver : {0, 1}) {
        SCOPED_TRACE(driver);
        seat.driver = driver;
        PlatformTestClockAdvance(1000);
        ASSERT_TRUE(m_actor->FireAt(0.3f, 0.1f, false, false));
        DynamicObject** objects = nullptr;
        s32_t count = 0;
        DynObjectsGet(&objects, &count);
        const Vector3 from = objects[count - 1]->GetPosition();
        EXPECT_FLOAT_EQ(from.x, driver ? 5.0f : 40.0f);
        EXPECT_FLOAT_EQ(from.y, driver ? 117.0f : 60.0f);
        EXPECT_FLOAT_EQ(from.z, driver ? 7.0f : 80.0f);
    }
    m_actor->inVehicle = false;
    m_actor->seat = nullptr;
    // Without a weapon node the third-person shot leaves from the eye as well.
    m_actor->crouched = m_actor->prone = false;
    m_actor->wasAiming = false;
    PlatformTestClockAdvance(1000);
    ASSERT_TRUE(m_actor->Fire(true, false));
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    EXPECT_FLOAT_EQ(objects[count - 1]->GetPosition().y, 117.0f);
}

// The last shot's direction.
Vector3 LastShotDirection()
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    return static_cast<const Projectile*>(objects[count - 1])->direction;
}

// A shot goes where its view looks: a camera turned by yaw and pitch looks along
// (sin yaw cos pitch, -sin pitch, cos yaw cos pitch), a positive pitch looking down. A body faces half
// a turn round from its heading, so a soldier aiming through his own heading and pitch (the third-person
// shot, or the aimed shot at heading plus a half turn) hits the point he turned and aimed to.
TEST_F(ActorWeapons, ShotsGoWhereTheViewLooks)
{
    Weapon* rifle = LoadSample("rifle");
    rifle->SetOwner(m_actor);
    rifle->roundsInGun = 30;
    rifle->fpmFirst = 0.0f;
    delete m_actor->weapons[0];
    m_actor->weapons[0] = rifle;
    m_actor->SetPosition({5.0f, 100.0f, 7.0f});
    const float pi = 3.1415927f;
    struct Case {
        float yaw, pitch;
    };
    for (const Case c : {Case{0.0f, 0.0f}, Case{0.0f, 0.6f}, Case{0.0f, -0.6f}, Case{pi / 2, 0.0f}, Case{-pi / 2, 0.3f},
                         Case{pi, 0.6f}, Case{2.5f, -0.4f}, Case{-1.0f, 1.2f}}) {
        SCOPED_TRACE(::testing::Message() << "yaw " << c.yaw << " pitch " << c.pitch);
        PlatformTestClockAdvance(1000);
        ASSERT_TRUE(m_actor->FireAt(c.yaw, c.pitch, false, false));
        const Vector3 d = LastShotDirection();
        EXPECT_NEAR(d.x, std::sin(c.yaw) * std::cos(c.pitch), 1e-4f);
        EXPECT_NEAR(d.y, -std::sin(c.pitch), 1e-4f);
        EXPECT_NEAR(d.z, std::cos(c.yaw) * std::cos(c.pitch), 1e-4f);
    }
    // A soldier at the eye turns and aims at a point, then fires both ways.
    const Vector3 eye = {5.0f, 117.0f, 7.0f};
    for (const Vector3 target : {Vector3{5.0f, 117.0f, 107.0f}, Vector3{105.0f, 67.0f, 7.0f},
                                 Vector3{-95.0f, 150.0f, -93.0f}, Vector3{35.0f, 90.0f, -200.0f}}) {
        SCOPED_TRACE(::testing::Message() << target.x << " " << target.y << " " << target.z);
        m_actor->SetHeading(std::atan2(target.x - eye.x, target.z - eye.z) + pi);
        m_actor->AimAtPoint(target);
        const Vector3 to = {target.x - eye.x, target.y - eye.y, target.z - eye.z};
        const float length = std::sqrt(to.x * to.x + to.y * to.y + to.z * to.z);
        for (const bool aimed : {false, true}) {
            SCOPED_TRACE(aimed ? "aimed" : "third person");
            PlatformTestClockAdvance(1000);
            m_actor->wasAiming = false;
            ASSERT_TRUE(aimed ? m_actor->FireAt(m_actor->heading + pi, m_actor->pitch, false, false)
                              : m_actor->Fire(true, false));
            const Vector3 d = LastShotDirection();
            EXPECT_NEAR(d.x, to.x / length, 1e-4f);
            EXPECT_NEAR(d.y, to.y / length, 1e-4f);
            EXPECT_NEAR(d.z, to.z / length, 1e-4f);
        }
    }
}

TEST_F(ActorWeapons, TheFireWaitOfThePlayer)
{
    g_frameView.player = m_actor;
    Rifle()->fireWait = 100;
    PlatformTestClockAdvance(1000);
    // Refused by the weapon, yet the player's held trigger and unforced aimed shot report a shot.
    m_actor->wasAiming = true;
    EXPECT_TRUE(m_actor->Fire(true, false));
    EXPECT_TRUE(m_actor->FireAt(0.0f, 0.0f, false, false));
    EXPECT_EQ(Rifle()->roundsInGun, 30);
    EXPECT_TRUE(m_actor->FireAt(0.0f, 0.0f, false, true));
    EXPECT_EQ(Rifle()->roundsInGun, 29);
}

TEST_F(ActorWeapons, Reloads)
{
    struct Case {
        const char* name;
        bool player;
        bool thirdPerson;
        u16_t rounds;
        u16_t spares;
        bool reloadingAfter;
        u16_t roundsAfter;
    };
    const Case cases[] = {
        {"a soldier", false, false, 3, 2, true, 31},
        {"a full magazine", false, false, 30, 2, false, 30},
        {"no magazine left", false, false, 3, 0, false, 3},
        {"the player in first person waits for the animation", true, false, 3, 2, true, 3},
        {"the player in third person", true, true, 3, 2, true, 31},
    };
    KeepVar third(gbthirdperson);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_frameView.player = c.player ? m_actor : nullptr;
        gbthirdperson.SetInt(c.thirdPerson ? 1 : 0);
        Weapon* rifle = Rifle();
        rifle->magazineCountFull = 2;
        rifle->FillMagazines();
        rifle->SetMagazineRounds(0, c.rounds);
        rifle->roundsInGun = c.rounds;
        rifle->spareMagazines = c.spares;
        m_actor->reloading = false;
        m_actor->StartReload();
        EXPECT_EQ(m_actor->reloading, c.reloadingAfter);
        EXPECT_EQ(rifle->roundsInGun, c.roundsAfter);
        // A second request while reloading changes nothing.
        m_actor->StartReload();
        EXPECT_EQ(rifle->roundsInGun, c.roundsAfter);
    }
    g_frameView.player = m_actor;
    gbthirdperson.SetInt(0);
    Rifle()->roundsInGun = 0;
    EXPECT_TRUE(m_actor->ReloadWeapon());
    EXPECT_GT(Rifle()->roundsInGun, 0);
}

// The reload sounds where the soldier stands, on his own source: a soldier to the right of the
// viewer (who looks along +z) is heard on the right.
TEST_F(ActorWeapons, TheReloadSoundsFromTheSoldiersOwnSource)
{
    ASSERT_TRUE(WriteFileBytes("sound/reload.wav", ShortWaveBytes()));
    AudioChooseDevice(AudioDeviceChoice::Loopback);
    ASSERT_TRUE(SoundInit(nullptr));
    float* viewer = GameGetViewPos();
    viewer[0] = viewer[1] = viewer[2] = 0.0f;
    m_actor->SetPosition({10.0f, 0.0f, 0.0f});
    ASSERT_TRUE(m_actor->sound->CreateAudioPath());
    m_actor->sound->SetPosition(10.0f, 0.0f, 0.0f, SOUND_APPLY_NOW);
    Weapon* rifle = Rifle();
    SoundSetTable* table = new SoundSetTable("rifle");
    SoundSet* reload = new SoundSet;
    reload->Add(SoundLoad(rifle->sound, "reload", SOUND_MODE_OBJECT), 0);
    table->sets[SOUND_RELOAD] = reload;
    rifle->sound->SetSoundTable(table);
    rifle->SetMagazineRounds(0, 3);
    rifle->roundsInGun = 3;
    m_actor->selectedSlot = 0;
    m_actor->StartReload();
    ASSERT_TRUE(m_actor->reloading);
    std::vector<float> frames(2 * 2048);
    ASSERT_TRUE(AudioRenderLoopback(frames.data(), 2048));
    double left = 0.0, right = 0.0;
    for (size_t f = 0; f < 2048; ++f) {
        left += double(frames[2 * f]) * frames[2 * f];
        right += double(frames[2 * f + 1]) * frames[2 * f + 1];
    }
    EXPECT_GT(right, 0.0);
    EXPECT_GT(right, 4.0 * left);
    SoundShutdown();
    AudioChooseDevice(AudioDeviceChoice::System);
}

TEST_F(ActorWeapons, AMountedWeaponTurnsAndPitchesWithinItsLimits)
{
    Weapon* mounted = new Weapon;
    GraphNode* node = new GraphNode("gun");
    node->SetParent(mounted->GetRootNode());
    mounted->GetRootNode()->AddChild(node);
    mounted->fireNode[0] = mounted->fireNode[1] = node;
    mounted->aimLimits[0] = -0.5f;
    mounted->aimLimits[1] = 0.5f;
    mounted->aimLimits[2] = -0.2f;
    mounted->aimLimits[3] = 0.3f;
    m_actor->mountedWeapon = mounted;
    m_actor->heading = 2.0f;
    node->SetRotation({0.9f, 0.0f, 0.0f});
    m_actor->TurnMountedWeapon(1.25f);
    EXPECT_FLOAT_EQ(node->GetRotation().x, 0.5f);
    EXPECT_FLOAT_EQ(node->GetRotation().y, 1.25f);
    // The pitch node takes the pitch, not the heading.
    for (float pitch : {0.1f, 0.8f, -0.7f}) {
        m_actor->PitchMountedWeapon(pitch);
        EXPECT_FLOAT_EQ(node->GetRotation().z, std::fmin(std::fmax(pitch, -0.2f), 0.3f));
    }
    m_actor->mountedWeapon = nullptr;
    delete mounted;
}

}  // namespace

namespace {

// The sample soldier as its definition builds him, with the sample rifle's meshes: the node of the
// weapon in hand moves between the hand and a carry dummy, and a sub-weapon shown for the first time
// gets its model.
class SampleSoldierWeapons : public weapon_test::WeaponFixture {
protected:
    void SetUp() override
    {
        WeaponFixture::SetUp();
        PlatformTestClockStart(kStart);
        m_ai = new AIInterface();
        m_soldier = m_ai->body;
        ApplyDefFile("object\\actors\\soldier.def", m_soldier);
        ASSERT_NE(m_soldier->classInfo, nullptr);
        m_rifle = m_soldier->weapons[0];
        ASSERT_NE(m_rifle, nullptr);
        m_node = m_soldier->WeaponNode(m_rifle);
        ASSERT_NE(m_node, nullptr);
    }
    void TearDown() override
    {
        if (m_soldier) {
            m_soldier->DetachAI();
            delete m_soldier;
        }
        PlatformTestClockStop();
        WeaponFixture::TearDown();
    }
    // Where the node hangs: its parent and its two dummies.
    void ExpectHung(GraphNode* parent, const char* parentDummy, const char* ownDummy)
    {
        EXPECT_EQ(m_node->GetParent(), parent);
        s32_t a = -2, b = -2;
        m_node->GetAttachPoint(&a, &b);
        EXPECT_EQ(a, actor_test::Dummy(parent->GetAnimMesh(), parentDummy));
        EXPECT_EQ(b, actor_test::Dummy(m_node->GetAnimMesh(), ownDummy));
        EXPECT_GE(a, 0);
        EXPECT_GE(b, 0);
    }

    AIInterface* m_ai = nullptr;
    Actor* m_soldier = nullptr;
    Weapon* m_rifle = nullptr;
    GraphNode* m_node = nullptr;
};

TEST_F(SampleSoldierWeapons, TheRifleMovesBetweenTheHandAndItsCarryDummy)
{
    GraphNode* torso = ActorTorsoNode(m_soldier);
    GraphNode* body = ActorBodyNode(m_soldier);
    ASSERT_EQ(m_soldier->selectedSlot, 0);
    // The definition hangs the rifle by its grip "x2" in the hand.
    ExpectHung(torso, "xhand_r", "x2");
    // No key names a carry dummy: holstering leaves the rifle where it is.
    m_soldier->HolsterWeaponInHand();
    ExpectHung(torso, "xhand_r", "x2");
    // A carry dummy of the torso, then one only the legs carry.
    struct Case {
        const char* dummy;
        GraphNode* carrier;
    };
    for (const Case& c : {Case{"xb", torso}, Case{"xa", body}}) {
        SCOPED_TRACE(c.dummy);
        m_rifle->carryDummy.Assign(c.dummy);
        m_soldier->HolsterWeaponInHand();
        ExpectHung(c.carrier, c.dummy, "x2");
        // Taken in hand again: by "x2" at "xhand_r", and a previous slot's weapon goes to its dummy.
        m_soldier->previousSlot = 255;
        m_soldier->SwapWeaponNodes(WEAPON_SLOT_PRIMARY);
        ExpectHung(torso, "xhand_r", "x2");
        EXPECT_EQ(torso->GetChildCount() + body->GetChildCount(), 3);  // head, torso, rifle
        m_soldier->previousSlot = 0;
        m_soldier->SwapWeaponNodes(WEAPON_SLOT_PRIMARY);
        ExpectHung(torso, "xhand_r", "x2");
    }
}

TEST_F(SampleSoldierWeapons, ASubWeaponShownTheFirstTimeGetsItsModel)
{
    Weapon* rifle = LoadSample("rifle");
    GraphNode* gun = rifle->FindChild("gun");
    ASSERT_NE(gun, nullptr);
    ASSERT_EQ(gun->FrameZeroMeshCount(), 4u);
    Weapon* launcher = new Weapon;
    launcher->name.Assign("grenade");
    ASSERT_TRUE(rifle->AddSubWeapon(launcher));
    ASSERT_EQ(launcher->GetRootNode()->GetChildCount(), 0);

    m_soldier->ShowSubWeapon(launcher, rifle);
    EXPECT_EQ(m_soldier->shownSubWeapon, launcher);
    ASSERT_EQ(launcher->GetRootNode()->GetChildCount(), 1);
    GraphNode* model = launcher->GetRootNode()->GetChild(0);
    EXPECT_STREQ(model->GetName(), "grenade");
    ASSERT_NE(model->GetAnimMesh(), nullptr);
    // The sample grenade's body and dummy take the settings of the rifle's first two meshes.
    const u32_t meshes = model->FrameZeroMeshCount();
    ASSERT_EQ(meshes, 2u);
    for (u32_t i = 0; i < meshes; ++i) {
        SCOPED_TRACE(i);
        const MeshSettings& made = model->GetMeshSettings()[i];
        const MeshSettings& from = gun->GetMeshSettings()[i];
        EXPECT_EQ(made.lodTagged, from.lodTagged);
        for (u32_t step = 0; step < GRAPH_NODE_LOD_STEPS; ++step) {
            EXPECT_EQ(made.lodMode[step], from.lodMode[step]);
            EXPECT_EQ(made.lodHidden[step], from.lodHidden[step]);
        }
    }
    // The rifle in hand hangs by its "x2" again.
    ExpectHung(ActorTorsoNode(m_soldier), "xhand_r", "x2");

    // Its model now has fewer meshes than the rifle's: showing it again changes nothing.
    m_soldier->shownSubWeapon = nullptr;
    m_soldier->ShowSubWeapon(launcher, rifle);
    EXPECT_EQ(m_soldier->shownSubWeapon, nullptr);
    EXPECT_EQ(launcher->GetRootNode()->GetChildCount(), 1);
    delete rifle;
}

}  // namespace
