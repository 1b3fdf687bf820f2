// Taking and dropping: pick-up items, weapons lying in the world and mounted, and dropping the weapon
// in hand, with the console lines the player reads.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/actor_motion.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/event_handlers.h"
#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/frame_view.h"
#include "gui/texts/gui_locale.h"
#include "map/meshes/map_object.h"
#include "map/terrain/map_state.h"
#include "support/engine_log.h"
#include "tests/actors/vehicles/vehicle_test_support.h"
#include "world/nodes/graph_node.h"

namespace {

class TakeDrop : public vehicle_test::VehicleFixture {
protected:
    void SetUp() override
    {
        VehicleFixture::SetUp();
        ConStartup();
    }
    void TearDown() override
    {
        ConShutdown();
        VehicleFixture::TearDown();
    }
    // The newest line of the console.
    static std::string LastLine(int console)
    {
        const std::vector<std::string> lines = engine_log::ConsoleLines(console);
        return lines.empty() ? std::string() : lines.back();
    }
    // A sample weapon lying in the world.
    Weapon* Lying(const char* weaponName)
    {
        Weapon* weapon = LoadSample(weaponName);
        DynObjectAdd(weapon);
        return weapon;
    }
    static bool Registered(DynamicObject* object)
    {
        DynamicObject** objects = nullptr;
        s32_t count = 0;
        DynObjectsGet(&objects, &count);
        for (s32_t i = 0; i < count; ++i)
            if (objects[i] == object)
                return true;
        return false;
    }
    // A pick-up item: a map object with its envelope.
    MapObject* Item(const char* itemName, bool disabled = false)
    {
        MapObject* item = new MapObject;
        DOEnvelope* envelope = new DOEnvelope(itemName);
        EnvelopeRegister(envelope);
        envelope->Attach(item);
        envelope->disabled = disabled;
        DynObjectAdd(item);
        return item;
    }
};

TEST_F(TakeDrop, PickUpItemsAreCarriedUntilTheEightEntriesAreFull)
{
    Actor* soldier = Soldier({0.0f, 0.0f, 0.0f});
    MapObject* medkit = Item("medkit");
    soldier->TakeItem(medkit);
    EXPECT_EQ(medkit->drawn, 0);
    EXPECT_FALSE(medkit->CastsShadow());
    EXPECT_EQ(soldier->carriedItems[0], medkit->envelope);
    EXPECT_EQ(medkit->envelope->disabled, 1);
    EXPECT_EQ(LastLine(4), "'medkit' added to inventory.\n");
    EXPECT_TRUE(soldier->HasItem("MEDKIT"));
    EXPECT_FALSE(soldier->HasItem("map"));

    // An item whose envelope is disabled is hidden but not carried.
    MapObject* spent = Item("spent", true);
    soldier->TakeItem(spent);
    EXPECT_EQ(spent->drawn, 0);
    EXPECT_EQ(soldier->carriedItems[1], nullptr);
    EXPECT_FALSE(soldier->HasItem("spent"));

    // With all eight entries in use the item stays where it is, whole.
    for (int i = 1; i < kActorCarriedItems; ++i)
        soldier->TakeItem(Item(("item" + std::to_string(i)).c_str()));
    ASSERT_NE(soldier->carriedItems[kActorCarriedItems - 1], nullptr);
    MapObject* extra = Item("extra");
    const std::string before = LastLine(4);
    soldier->TakeItem(extra);
    EXPECT_EQ(extra->drawn, 1);
    EXPECT_TRUE(extra->CastsShadow());
    EXPECT_EQ(extra->envelope->disabled, 0);
    EXPECT_FALSE(soldier->HasItem("extra"));
    EXPECT_EQ(LastLine(4), before);
    for (DOEnvelope*& entry : soldier->carriedItems)
        entry = nullptr;
}

TEST_F(TakeDrop, ASoldierTakesWeaponsIntoFreeSlotsAndSwapsOneOfAKindItCarries)
{
    Actor* soldier = Soldier({0.0f, 0.0f, 0.0f});
    ASSERT_EQ(soldier->weaponCount, 1);
    Weapon* rifle = soldier->weapons[0];
    ASSERT_NE(rifle, nullptr);
    Weapon* grenade = Lying("grenade");
    DOEnvelope* lying = new DOEnvelope("grenade");
    EnvelopeRegister(lying);
    lying->Attach(grenade);

    soldier->TakeItem(grenade);
    EXPECT_EQ(soldier->weapons[1], grenade);
    EXPECT_TRUE(soldier->weaponOwned[1]);
    EXPECT_EQ(soldier->weaponCount, 2);
    EXPECT_EQ(soldier->selectedSlot, 1);
    EXPECT_EQ(grenade->owner, soldier);
    EXPECT_EQ(grenade->envelope, nullptr);
    EXPECT_FALSE(Registered(grenade));
    EXPECT_NE(soldier->WeaponNode(grenade), nullptr);
    EXPECT_EQ(LastLine(4), "soldier: grenade taken\n");

    // A second rifle: the soldier takes the old one in hand, drops it and takes the new one.
    Weapon* second = Lying("rifle");
    second->name.Assign("rifle2");
    soldier->TakeItem(second);
    EXPECT_EQ(soldier->weapons[0], second);
    EXPECT_EQ(soldier->weaponCount, 2);
    EXPECT_TRUE(Registered(rifle));
    EXPECT_EQ(rifle->owner, nullptr);
    EXPECT_EQ(rifle->previousOwner, soldier);
    ASSERT_NE(rifle->envelope, nullptr);
    EXPECT_STREQ(rifle->envelope->name.Text(), "rifle");
    EXPECT_EQ(soldier->WeaponNode(rifle), nullptr);
    // The dropped rifle lies on its side half a unit above the soldier's feet, with its model back.
    EXPECT_FLOAT_EQ(rifle->GetPosition().y, 0.5f);
    EXPECT_FLOAT_EQ(rifle->GetRotation().x, 1.5707964f);
    EXPECT_GT(rifle->GetRootNode()->GetChildCount(), 0);
    // Taken and dropped again: it can be taken back.
    soldier->TakeItem(rifle);
    EXPECT_EQ(soldier->weapons[0], rifle);
    EXPECT_TRUE(Registered(second));
}

// The message's locale text (the sample's, or the key where none is given).
std::string Localized(const char* key)
{
    char* text = GuiFindLocaleText(key);
    std::string copy = text;
    delete[] text;
    return copy;
}

TEST_F(TakeDrop, ThePlayersTakingAndDroppingFollowTheirRules)
{
    Actor* player = Soldier({0.0f, 0.0f, 0.0f}, "player");
    g_frameView.player = player;
    Weapon* rifle = player->weapons[0];
    EXPECT_FALSE(player->IsDriver());

    // A kind already carried is refused with the message.
    Weapon* other = Lying("rifle");
    player->TakeItem(other);
    EXPECT_EQ(LastLine(4), Localized("messages._gm_havealready") + "\n");
    EXPECT_TRUE(Registered(other));
    EXPECT_EQ(player->weaponCount, 1);

    // The only weapon is kept without force, with two console texts.
    EXPECT_EQ(player->DropItem(0), nullptr);
    EXPECT_EQ(LastLine(4), "rifle " + Localized("messages._gm_only_weapon") + "\n");
    EXPECT_EQ(player->weapons[0], rifle);
    // While reloading, nothing drops unless forced; forced, the last weapon goes.
    player->reloading = true;
    EXPECT_EQ(player->DropItem(0), nullptr);
    EXPECT_EQ(player->DropItem(1), rifle);
    EXPECT_EQ(player->weaponCount, 0);
    EXPECT_EQ(player->DropItem(1), nullptr);
    player->reloading = false;
    // Without the handler the dropped weapon warns that it cannot be taken again.
    EXPECT_EQ(LastLine(0), ERROR_COLOUR "Warning: handler 'weapon_dynamic' not found, weapons will be untakable!\n");
    EXPECT_EQ(rifle->envelope->handler, nullptr);
}

TEST_F(TakeDrop, DroppingTable)
{
    EventHandler* handler = new EventHandler("weapon_dynamic");
    EventHandlerListAdd(handler);
    struct Case {
        const char* what;
        u32_t heldKind;
        u8_t force;
        bool dead;
        u8_t selected;     // the slot in hand before dropping
        bool noCarryNode;  // the actor's node of the weapon is gone
        bool drops;
        s32_t selectedAfter;
    };
    const Case cases[] = {
        {"a rifle in hand, another kind to select", 1, 0, false, 0, false, true, 1},
        {"a crew weapon stays without force", 0, 0, false, 0, false, false, 0},
        {"a crew weapon goes with force", 0, 1, false, 0, false, true, 1},
        {"a dead actor selects nothing next", 1, 0, true, 0, false, true, 1},
        {"slot 255 holds nothing: the first occupied slot drops", 1, 0, false, 255, false, true, 1},
        {"no carry node: dropped without a model node", 1, 0, false, 0, true, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Actor* soldier = Soldier({0.0f, 0.0f, 0.0f});
        Weapon* held = soldier->weapons[0];
        held->slotType = c.heldKind;
        soldier->TakeItem(Lying("grenade"));
        ASSERT_EQ(soldier->weaponCount, 2);
        soldier->selectedSlot = c.selected;
        soldier->isDead = c.dead;
        if (c.noCarryNode) {
            GraphNode* node = soldier->WeaponNode(held);
            ASSERT_NE(node, nullptr);
            node->GetParent()->RemoveChild(node);
            while (held->GetRootNode()->GetChildCount() > 0)
                held->GetRootNode()->RemoveChild(held->GetRootNode()->GetChild(0));
        }
        const s32_t modelNodes = held->GetRootNode()->GetChildCount();
        const s32_t handlerUsers = static_cast<s32_t>(handler->references);
        Weapon* dropped = soldier->DropItem(c.force);
        EXPECT_EQ(dropped, c.drops ? held : nullptr);
        EXPECT_EQ(soldier->selectedSlot, c.selectedAfter);
        if (c.drops) {
            EXPECT_EQ(soldier->weapons[0], nullptr);
            EXPECT_EQ(soldier->weaponCount, 1);
            EXPECT_TRUE(Registered(held));
            EXPECT_EQ(held->envelope->handler, handler);
            EXPECT_EQ(static_cast<s32_t>(handler->references), handlerUsers + 1);
            EXPECT_EQ(soldier->WeaponNode(held), nullptr);
            // A weapon without a model of its own takes the carry node's; without either it has none.
            EXPECT_EQ(held->GetRootNode()->GetChildCount(), modelNodes == 0 && !c.noCarryNode ? 1 : modelNodes);
        } else {
            EXPECT_EQ(soldier->weapons[0], held);
            EXPECT_TRUE(soldier->weaponOwned[0]);
        }
    }
}

// With the world full, a dropped weapon would lie nowhere and never be freed: the drop lets go of it
// and says so.
TEST_F(TakeDrop, AWeaponTheFullWorldRefusesIsLetGoOf)
{
    Actor* soldier = Soldier({0.0f, 0.0f, 0.0f});
    soldier->TakeItem(Lying("grenade"));
    ASSERT_EQ(soldier->weaponCount, 2);
    soldier->selectedSlot = 0;
    std::vector<GraphObj*> filler;
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    while (static_cast<u32_t>(count) < DYN_MAX_OBJECTS) {
        filler.push_back(new GraphObj);
        ASSERT_TRUE(DynObjectAdd(filler.back()));
        DynObjectsGet(&objects, &count);
    }
    const size_t log = actor_test::LogSize();
    EXPECT_EQ(soldier->DropItem(0), nullptr);
    EXPECT_EQ(soldier->weapons[0], nullptr);
    EXPECT_EQ(soldier->weaponCount, 1);
    EXPECT_NE(actor_test::LogFrom(log).find("has no place in the world, removed"), std::string::npos);
    for (GraphObj* object : filler) {
        DynObjectRemove(object);
        delete object;
    }
}

TEST_F(TakeDrop, AMountedWeaponIsOperatedByOneActorAtATime)
{
    Actor* gunner = Soldier({0.0f, 0.0f, 0.0f}, "gunner");
    Actor* other = Soldier({10.0f, 0.0f, 0.0f}, "other");
    Weapon* gun = Lying("rifle");
    GraphNode mount("mount");
    gun->mountNode = &mount;
    gunner->TakeItem(gun);
    EXPECT_TRUE(gunner->usesMountedWeapon);
    EXPECT_EQ(gunner->mountedWeapon, gun);
    EXPECT_EQ(gun->owner, gunner);
    EXPECT_EQ(gun->drawn, 0);
    EXPECT_FALSE(mount.GetLodRender(0));
    EXPECT_TRUE(Registered(gun));  // it stays placed in the world
    other->TakeItem(gun);
    EXPECT_FALSE(other->usesMountedWeapon);
    gun->mountNode = nullptr;
    gun->owner = nullptr;
    gunner->mountedWeapon = nullptr;
    gunner->usesMountedWeapon = false;
}

}  // namespace
