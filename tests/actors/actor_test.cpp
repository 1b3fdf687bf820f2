// The actor object: its start state, what its destruction deletes and leaves, its links to its AI and
// to the relation lists, its inventory lists, its blood, its pose section names and its console
// variables.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "actors/actor.h"
#include "actors/actor_cvars.h"
#include "actors/ai_entity.h"
#include "actors/weapons/weapon.h"
#include "ai/soldier/ai_interface.h"
#include "ai/envelopes/envelope.h"
#include "ai/soldier/ai_state.h"
#include "core/random.h"
#include "game/game_cvars.h"
#include "map/registry/actor_lists.h"
#include "map/registry/actor_side_lists.h"
#include "map/terrain/map_state.h"

namespace {

// Counts its own destructions.
class CountingWeapon : public Weapon {
public:
    explicit CountingWeapon(int* deaths) : m_deaths(deaths) {}
    ~CountingWeapon() override { ++*m_deaths; }

private:
    int* m_deaths;
};

// Restores the generator state after the test.
class SeedGuard {
public:
    SeedGuard() : m_state(EngineRandState()) {}
    ~SeedGuard() { EngineSRand(m_state); }

private:
    u32_t m_state;
};

// The seed whose first draw is 32767: the state after one step must have 0x7FFF in bits 16-30.
u32_t SeedForLastDraw()
{
    constexpr u32_t kMultiplier = 214013u;
    constexpr u32_t kIncrement = 2531011u;
    u32_t inverse = kMultiplier;  // Newton's iteration for the inverse of an odd number modulo 2^32
    for (int i = 0; i < 5; ++i)
        inverse *= 2u - kMultiplier * inverse;
    return (0x7FFF0000u - kIncrement) * inverse;
}

TEST(Actor, AFreshActorIsAMovableCollidableActorAtItsStartValues)
{
    SeedGuard guard;
    Actor actor;
    EXPECT_EQ(actor.typeId, OBJECT_TYPE_ACTOR);
    EXPECT_TRUE(actor.IsMovable());
    EXPECT_TRUE(actor.IsCollidable());
    EXPECT_FALSE(actor.IsStatic());
    EXPECT_STREQ(actor.GetComponentFolder(), "component\\model\\");
    EXPECT_STREQ(actor.GetObjectFolder(), "object\\actors\\");
    EXPECT_NE(actor.follower, nullptr);
    EXPECT_EQ(actor.ai, nullptr);
    EXPECT_EQ(actor.GetAIEntity(), nullptr);
    // The step point lies ahead of the root's start angle of 0.
    EXPECT_FLOAT_EQ(actor.stepPoint.x, 10.0f);
    EXPECT_FLOAT_EQ(actor.stepPoint.z, 11.0f);
    EXPECT_EQ(actor.targetPose, -1);
    EXPECT_EQ(actor.previousSlot, 255);
    EXPECT_EQ(actor.weaponCueA, 255);
    EXPECT_EQ(actor.weaponCueB, 255);
    EXPECT_TRUE(actor.wasAiming);
    EXPECT_TRUE(actor.bloodPending);
    EXPECT_TRUE(actor.boundsDirty);
    EXPECT_EQ(actor.walkSpeed, 17.0f);
    EXPECT_EQ(actor.cautiousSpeed, 10.0f);
    EXPECT_EQ(actor.runSpeed, 44.0f);
    EXPECT_EQ(actor.runBackSpeed, 25.5f);
    EXPECT_EQ(actor.turnInPlaceTime, 250.0f);
    EXPECT_EQ(actor.jumpDuration, 500.0f);
    EXPECT_EQ(actor.idleInterval, 10000.0f);
    EXPECT_EQ(actor.raiseInterval, 2000.0f);
    EXPECT_EQ(actor.viewDistance, 1e8f);
    EXPECT_EQ(actor.viewDistanceSq, 1e8f);
    EXPECT_EQ(actor.GetActorPose(), ACTOR_POSE_STAND);
    // A dying actor's death set and angle change nothing yet; the operations keep the actor as it is.
    EXPECT_EQ(actor.SetBodyAngle(0.5f), 0.5f);
    EXPECT_EQ(actor.bodyAngle, 0.5f);
    EXPECT_EQ(actor.SetMovementMode(ACTOR_MOVE_RUN), ACTOR_MOVE_WALK);
}

TEST(Actor, TheGroundCheckStartsWithinTheFirstSecondForEverySeed)
{
    SeedGuard guard;
    // One draw per actor: the actor's tick is the draw scaled to 0..999.
    for (u32_t seed = 0; seed < 3000; ++seed) {
        EngineSRand(seed);
        const int draw = EngineRand();
        EngineSRand(seed);
        Actor actor;
        ASSERT_LE(actor.groundCheckTick, 999u) << "seed " << seed;
        ASSERT_EQ(actor.groundCheckTick, static_cast<u32_t>(draw * 3.0518509e-5f * 1000.0f)) << "seed " << seed;
    }
    // The last draw, 32767, scales to 1000 in single precision.
    EngineSRand(SeedForLastDraw());
    ASSERT_EQ(EngineRand(), 32767);
    EngineSRand(SeedForLastDraw());
    Actor last;
    EXPECT_EQ(last.groundCheckTick, 999u);
}

TEST(Actor, DestructionDeletesExactlyTheOwnedWeapons)
{
    int deaths = 0;
    CountingWeapon* owned0 = new CountingWeapon(&deaths);
    CountingWeapon* owned5 = new CountingWeapon(&deaths);
    auto lent = std::make_unique<CountingWeapon>(&deaths);
    auto mounted = std::make_unique<CountingWeapon>(&deaths);
    auto vehicle = std::make_unique<Vehicle>();
    VehicleSeat seat;
    auto item = std::make_unique<DOEnvelope>();
    auto itemObject = std::make_unique<GraphObj>();
    item->object = itemObject.get();
    {
        Actor actor;
        actor.weapons[0] = owned0;
        actor.weaponOwned[0] = true;
        actor.weapons[5] = owned5;
        actor.weaponOwned[5] = true;
        actor.weapons[2] = lent.get();  // not marked owned
        actor.weaponOwned[7] = true;    // marked, but empty
        actor.mountedWeapon = mounted.get();
        actor.usesMountedWeapon = true;
        actor.inVehicle = true;
        actor.vehicle = vehicle.get();
        actor.seat = &seat;
        actor.ActorAddCarriedItem(item.get());
    }
    EXPECT_EQ(deaths, 2);
    // What the actor only referenced is still whole.
    lent->name.Assign("still here");
    mounted->name.Assign("still here");
    vehicle->name.Assign("still here");
    item->Disable(nullptr);
    itemObject->name.Assign("still here");
    lent.reset();
    mounted.reset();
    EXPECT_EQ(deaths, 4);
}

TEST(Actor, CarriedItemsPackFromTheFrontAndGoBackToTheWorld)
{
    Actor actor;
    DOEnvelope items[kActorCarriedItems + 1];
    for (DOEnvelope& item : items)
        actor.ActorAddCarriedItem(&item);
    for (int i = 0; i < kActorCarriedItems; ++i)
        EXPECT_EQ(actor.carriedItems[i], &items[i]) << i;
    actor.carriedItems[3] = nullptr;
    DOEnvelope late;
    actor.ActorAddCarriedItem(&late);
    EXPECT_EQ(actor.carriedItems[3], &late);

    // A taken item is hidden, casts no shadow and its envelope is disabled; releasing the inventory
    // gives it back. An envelope without an object is only forgotten.
    GraphObj object;
    object.SetDrawn(false);
    object.SetCastsShadow(false);
    late.object = &object;
    late.Disable(nullptr);
    items[0].Disable(nullptr);
    actor.ReleaseInventory();
    for (DOEnvelope* entry : actor.carriedItems)
        EXPECT_EQ(entry, nullptr);
    EXPECT_EQ(object.drawn, 1);
    EXPECT_TRUE(object.CastsShadow());
    EXPECT_EQ(late.disabled, 0);
    EXPECT_EQ(items[0].disabled, 1);
}

TEST(Actor, BleedsWithTheDecalTexturesOfItsGraphicObject)
{
    Actor actor;
    EXPECT_EQ(actor.GetBleedingInfo(), nullptr) << "no decal texture: no blood";
    int first = 0, second = 0;
    actor.decalTextures[0] = reinterpret_cast<IDirect3DTexture8*>(&first);
    actor.decalTextures[1] = reinterpret_cast<IDirect3DTexture8*>(&second);
    actor.decalTextureCount = 2;
    actor.decalSize[0] = 4.0f;
    actor.decalSize[1] = 9.0f;
    actor.decalSize[2] = 1.5f;
    const BleedingInfo* info = actor.GetBleedingInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->bloodTextureCount, 2u);
    EXPECT_EQ(info->bloodTextures[0], actor.decalTextures[0]);
    EXPECT_EQ(info->bloodTextures[1], actor.decalTextures[1]);
    EXPECT_EQ(info->minBloodSize, 4.0f);
    EXPECT_EQ(info->maxBloodSize, 9.0f);
    EXPECT_EQ(info->bloodSizeScale, 1.5f);
}

TEST(Actor, PoseSectionNamesAreFoundWithoutRegardToCase)
{
    const struct {
        const char* name;
        s32_t index;
    } cases[] = {
        {"Stay", 0},   {"crouch", 1}, {"CROUCH", 1}, {"prone", 2}, {"interphases", 3},
        {"Phases", 4}, {"Walk", -1},  {"Stay2", -1}, {"", -1},     {nullptr, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ActorPoseSectionIndex(c.name), c.index) << (c.name ? c.name : "null");
    EXPECT_EQ(ActorPoseSectionNames[5], nullptr);
}

TEST(Actor, ConsoleVariablesAreListedInOrderWithTheirDefaults)
{
    ConsoleVar* oxygen = CVarListFind("mi_oxygen");
    ConsoleVar* decrease = CVarListFind("mf_oxygendecrease");
    ConsoleVar* increase = CVarListFind("mf_oxygenincrease");
    ConsoleVar* bodies = CVarListFind("rbshowbodys");
    ASSERT_EQ(oxygen, &mi_oxygen);
    ASSERT_EQ(decrease, &mf_oxygendecrease);
    ASSERT_EQ(increase, &mf_oxygenincrease);
    ASSERT_EQ(bodies, &rbshowbodys);
    // The list runs from the newest registration to the oldest.
    EXPECT_EQ(bodies->next, increase);
    EXPECT_EQ(increase->next, decrease);
    EXPECT_EQ(decrease->next, oxygen);
    EXPECT_EQ(oxygen->type, CVAR_INT);
    EXPECT_EQ(oxygen->Int(), 0);
    EXPECT_EQ(decrease->type, CVAR_FLOAT);
    EXPECT_EQ(decrease->Float(), 5.0f);
    EXPECT_EQ(increase->type, CVAR_FLOAT);
    EXPECT_EQ(increase->Float(), 10.0f);
    EXPECT_EQ(bodies->type, CVAR_BOOL);
    EXPECT_TRUE(bodies->Bool());

    // The game's variables that the actors read.
    const struct {
        const char* name;
        bool value;
    } game[] = {
        {"gb_godmode", false}, {"gbai", true}, {"gbshake", true}, {"gbalwaysrun", true}, {"gbdebuginfo", false}};
    for (const auto& g : game) {
        ConsoleVar* cvar = CVarListFind(g.name);
        ASSERT_NE(cvar, nullptr) << g.name;
        EXPECT_EQ(cvar->type, CVAR_BOOL) << g.name;
        EXPECT_EQ(cvar->Bool(), g.value) << g.name;
    }
}

// ---- the links between an actor, its AI and the relation lists ----

class ActorLinks : public ::testing::Test {
protected:
    void TearDown() override
    {
        ActorListsFree();
        EngineSRand(m_seed);
        EXPECT_EQ(g_ai.interfaceCount, 0u) << "an interface was left in the AI table";
    }
    u32_t m_seed = EngineRandState();
};

TEST_F(ActorLinks, TheInterfaceMakesItsBodyAndEntityAndLinksThem)
{
    AIInterface* interface = new AIInterface();
    Actor* body = interface->body;
    ASSERT_NE(body, nullptr);
    ASSERT_NE(interface->entity, nullptr);
    EXPECT_EQ(body->ai, interface);
    EXPECT_EQ(body->GetAIEntity(), interface->entity);
    EXPECT_EQ(interface->entity->actor, body);
    ASSERT_EQ(g_ai.interfaceCount, 1u);
    EXPECT_EQ(g_ai.interfaces[0], interface);
    EXPECT_EQ(interface->dormant, 0) << "a soldier of team 0 is never dormant";
    EXPECT_EQ(interface->movementMode, 1);
    EXPECT_LT(interface->dormancyJitter, 500);
    delete interface;
    delete body;
}

TEST_F(ActorLinks, FreeingTheListsDeletesNoActor)
{
    AIInterface* friendly = new AIInterface();
    AIInterface* enemy = new AIInterface();
    enemy->entity->team = ACTOR_TEAM_ENEMY;
    ActorSideListAdd(friendly->body);
    ActorSideListAdd(enemy->body);
    ASSERT_EQ(g_map.FriendActorList.Count(), 1);
    ASSERT_EQ(g_map.EnemyActorList.Count(), 1);
    ActorListsFree();
    for (PtrRefArray<Actor>* list : {&g_map.FriendActorList, &g_map.NeutralActorList, &g_map.EnemyActorList}) {
        EXPECT_EQ(list->Count(), 0);
        EXPECT_EQ(list->Capacity(), 0);
        EXPECT_EQ(list->Cursor(), -1);
    }
    // Both bodies are still whole and can be listed again.
    friendly->body->name.Assign("friend");
    enemy->body->name.Assign("enemy");
    ActorSideListAdd(enemy->body);
    EXPECT_EQ(g_map.EnemyActorList.Get(0), enemy->body);
    for (AIInterface* interface : {friendly, enemy}) {
        Actor* body = interface->body;
        delete body;
        delete interface;
    }
    EXPECT_EQ(g_map.EnemyActorList.Count(), 0) << "a deleted body leaves its list";
}

TEST_F(ActorLinks, DeletingTheInterfaceFirstLeavesTheBodyWithoutAI)
{
    AIInterface* interface = new AIInterface();
    Actor* body = interface->body;
    ActorSideListAdd(body);
    delete interface;
    EXPECT_EQ(body->ai, nullptr);
    EXPECT_EQ(body->GetAIEntity(), nullptr);
    EXPECT_EQ(g_ai.interfaceCount, 0u);
    // Without AI the body leaves every list it is in.
    ActorSideListRemove(body);
    EXPECT_EQ(g_map.FriendActorList.Count(), 0);
    delete body;
}

TEST_F(ActorLinks, DeletingTheBodyFirstLeavesTheInterfaceWithoutBody)
{
    AIInterface* interface = new AIInterface();
    Actor* body = interface->body;
    ActorSideListAdd(body);
    delete body;
    EXPECT_EQ(interface->body, nullptr);
    EXPECT_EQ(interface->entity->actor, nullptr);
    EXPECT_EQ(g_map.FriendActorList.Count(), 0);
    // The entity goes on without its body.
    const EngineString value("80");
    EXPECT_TRUE(interface->entity->SetParam("health", &value, 1));
    EXPECT_EQ(interface->entity->health, 80.0f);
    const EngineString enemy("ENEMY");
    EXPECT_TRUE(interface->entity->SetParam("player_rel", &enemy, 1));
    interface->entity->UpdateFrustum(true);
    delete interface;
}

TEST_F(ActorLinks, DetachingTheAIDeletesTheInterface)
{
    AIInterface* first = new AIInterface();
    AIInterface* second = new AIInterface();
    Actor* body = first->body;
    body->DetachAI();
    EXPECT_EQ(body->ai, nullptr);
    ASSERT_EQ(g_ai.interfaceCount, 1u);
    EXPECT_EQ(g_ai.interfaces[0], second);
    body->DetachAI();  // nothing left to detach
    Actor* secondBody = second->body;
    delete body;
    delete secondBody;
    delete second;
}

}  // namespace
