// A graphic object's destruction: energy down to 0, the swap with its replacement in the registry
// and the destroy queue, the envelope's event, and the damage round it with the AI event.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "ai/soldier/ai_events.h"
#include "ai/envelopes/envelope.h"
#include "map/registry/world_registry.h"
#include "tests/world/objects/graph_obj_fixture.h"
#include "world/objects/graph_obj.h"

using graph_test::GraphObjTest;

namespace {

class RecordingEnvelope : public DOEnvelope {
public:
    void FireEvent(ScriptObject* sender, s32_t eventIndex) override
    {
        events.push_back(eventIndex);
        senders.push_back(sender);
    }
    std::vector<s32_t> events;
    std::vector<ScriptObject*> senders;
};

// A replacement that notes, when it is placed, where the two objects stand.
class WatchedReplacement : public GraphObj {
public:
    explicit WatchedReplacement(DynamicObject* watchedOriginal) : original(watchedOriginal)
    {
        typeId = OBJECT_TYPE_STRUCTURE;
    }
    void SetPosition(const Vector3& position) override
    {
        notes.push_back(std::string("position:") + State());
        GraphObj::SetPosition(position);
    }
    void SetRotation(const Vector3& angles) override
    {
        notes.push_back(std::string("rotation:") + State());
        GraphObj::SetRotation(angles);
    }
    // Original in the world (w) or queued (q), replacement in the world or queued.
    std::string State() const
    {
        std::string state;
        state += DynObjectFindIndex("original") >= 0 ? "w" : "-";
        state += DestroyQueueFind("original") ? "q" : "-";
        state += DynObjectFindIndex("replacement") >= 0 ? "W" : "-";
        state += DestroyQueueFind("replacement") ? "Q" : "-";
        return state;
    }
    DynamicObject* original;
    std::vector<std::string> notes;
};

// An object of a given type that notes the damage it takes.
class Target : public GraphObj {
public:
    explicit Target(s32_t type) { typeId = type; }
    void ApplyDamage(int kind, float, float amount) override
    {
        taken.push_back(amount);
        kinds.push_back(kind);
    }
    std::vector<float> taken;
    std::vector<int> kinds;
};

class Soldier : public Actor {
public:
    explicit Soldier(Vector3 at) : place(at) {}
    Vector3 GetPosition() const override { return place; }
    void ApplyDamage(int, float, float amount) override { taken.push_back(amount); }
    Vector3 place;
    std::vector<float> taken;
};

bool InWorld(const DynamicObject* object)
{
    DynamicObject** table = nullptr;
    s32_t count = 0;
    DynObjectsGet(&table, &count);
    for (s32_t i = 0; i < count; ++i) {
        if (table[i] == object)
            return true;
    }
    return false;
}

using GraphObjDamage = GraphObjTest;

TEST_F(GraphObjDamage, ExactlyTheRemainingEnergyDestroysOnce)
{
    RecordingEnvelope envelope;
    GraphObj object;
    object.envelope = &envelope;
    object.energy = 50.0f;
    object.ApplyDamage(1, 0.0f, 20.0f);
    EXPECT_EQ(object.energy, 30.0f);
    EXPECT_TRUE(envelope.events.empty());
    object.ApplyDamage(1, 0.0f, 30.0f);
    EXPECT_EQ(object.energy, 0.0f);
    ASSERT_EQ(envelope.events, (std::vector<s32_t>{ENVELOPE_EVENT_ON_DESTROY}));
    EXPECT_EQ(envelope.senders[0], nullptr);
    // Destroyed: later damage changes nothing.
    object.ApplyDamage(1, 0.0f, 10.0f);
    EXPECT_EQ(object.energy, 0.0f);
    EXPECT_EQ(envelope.events.size(), 1u);
}

TEST_F(GraphObjDamage, TheReplacementTakesTheObjectsPlaceInTheWorld)
{
    GraphObj original;
    original.name.Assign("original");
    original.SetPosition({1, 2, 3});
    original.SetRotation({0, 0.5f, 0});
    WatchedReplacement replacement(&original);
    replacement.name.Assign("replacement");
    original.destroyedReplacement = &replacement;
    replacement.replacedOriginal = &original;
    Register(&original);
    DestroyQueueAdd(&replacement);

    original.ApplyDamage(1, 0.0f, 5000.0f);
    // Taken out of the world first; placed while the replacement still waits in the queue; then the
    // original is queued and the replacement enters the world.
    EXPECT_EQ(replacement.notes, (std::vector<std::string>{"position:---Q", "rotation:---Q"}));
    EXPECT_EQ(replacement.State(), "-qW-");
    EXPECT_EQ(replacement.GetPosition().z, 3.0f);
    EXPECT_EQ(replacement.GetRotation().y, 0.5f);
    EXPECT_EQ(DestroyQueueCount(), 1u);
    // Both objects live on this stack: nothing may keep them once the test ends.
    DynObjectRemove(&replacement);
    DestroyQueueRemove(&original);
}

TEST_F(GraphObjDamage, TheBlastDamagesWhatStandsRoundIt)
{
    GraphObj bomb;
    bomb.SetPosition({100, 0, 0});
    bomb.damageAmount = 40.0f;
    struct Case {
        const char* what;
        float radius;
        std::vector<float> soldier;    // damage taken by the soldier 6 units away
        std::vector<float> structure;  // and by the structure 3 units away
        u32_t aiEvents;
    };
    const Case cases[] = {
        {"within the radius", 12.0f, {40.0f * 0.75f}, {40.0f * (1 - 9.0f / 144)}, 1},
        {"a negative radius", -12.0f, {40.0f * 0.75f}, {40.0f * (1 - 9.0f / 144)}, 1},
        {"the soldier at the radius", 6.0f, {0.0f}, {40.0f * 0.75f}, 1},
        {"out of reach", 5.0f, {}, {40.0f * (1 - 9.0f / 25)}, 1},
        {"no radius", 0.0f, {}, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Soldier soldier({100, 6, 0});
        Target structure(OBJECT_TYPE_STRUCTURE);
        structure.SetPosition({100, 0, 3});
        Register(&soldier);
        Register(&structure);
        bomb.energy = 1.0f;
        bomb.damageRadius = c.radius;
        AIEventsClear();
        bomb.ApplyDamage(1, 0.0f, 1.0f);
        EXPECT_EQ(soldier.taken, c.soldier);
        EXPECT_EQ(structure.taken, c.structure);
        EXPECT_EQ(g_aiEvents.raised, c.aiEvents);
        if (c.aiEvents) {
            EXPECT_EQ(g_aiEvents.last.kind, AI_EVENT_EXPLOSION);
            EXPECT_EQ(g_aiEvents.last.radius, 150.0f);
            EXPECT_EQ(g_aiEvents.last.position.x, 100.0f);
            EXPECT_EQ(g_aiEvents.last.source, nullptr);
        }
        DynObjectRemove(&soldier);
        DynObjectRemove(&structure);
    }
}

TEST_F(GraphObjDamage, WhoTakesBlastDamageAndHowMuch)
{
    GraphObj bomb;
    bomb.damageRadius = 10.0f;
    bomb.damageAmount = 10.0f;
    struct Case {
        const char* what;
        bool dead, prone, crouched;
        float amount;
    };
    const Case soldiers[] = {
        {"standing", false, false, false, 10.0f},
        {"prone", false, true, false, 5.0f},
        {"prone and crouching", false, true, true, 10.0f},
        {"dead", true, false, false, -1.0f},
    };
    for (const Case& c : soldiers) {
        SCOPED_TRACE(c.what);
        Soldier soldier({0, 0, 0});
        soldier.isDead = c.dead;
        soldier.prone = c.prone;
        soldier.crouched = c.crouched;
        Register(&soldier);
        bomb.energy = 1.0f;
        bomb.ApplyDamage(1, 0.0f, 1.0f);
        EXPECT_EQ(soldier.taken, c.amount < 0 ? std::vector<float>{} : std::vector<float>{c.amount});
        DynObjectRemove(&soldier);
    }
    // Structures, vehicles, map objects and trees take damage (kind 1); other classes none.
    const s32_t types[] = {OBJECT_TYPE_STRUCTURE, OBJECT_TYPE_VEHICLE, OBJECT_TYPE_MAP_OBJECT, OBJECT_TYPE_TREE,
                           OBJECT_TYPE_GRAPHIC,   OBJECT_TYPE_WEAPON,  OBJECT_TYPE_ENTITY,     OBJECT_TYPE_EQUIPMENT};
    std::vector<std::unique_ptr<Target>> targets;
    for (s32_t type : types) {
        targets.push_back(std::make_unique<Target>(type));
        Register(targets.back().get());
    }
    bomb.energy = 1.0f;
    bomb.ApplyDamage(1, 0.0f, 1.0f);
    for (size_t i = 0; i < targets.size(); ++i) {
        SCOPED_TRACE(types[i]);
        const bool damaged = i < 4;
        EXPECT_EQ(targets[i]->taken.size(), damaged ? 1u : 0u);
        if (damaged) {
            EXPECT_EQ(targets[i]->kinds[0], 1);
        }
    }
    for (auto& target : targets)
        DynObjectRemove(target.get());
}

TEST_F(GraphObjDamage, ADestructionItCausesDoesNotChangeWhoTheBlastReaches)
{
    // The bomb's blast destroys the first crate; the crate's replacement, entering the world
    // during the blast, is not hit by it, and the second crate still is.
    GraphObj bomb;
    bomb.damageRadius = 10.0f;
    bomb.damageAmount = 100.0f;
    Target crate(OBJECT_TYPE_STRUCTURE);
    GraphObj first;
    first.typeId = OBJECT_TYPE_STRUCTURE;
    first.energy = 1.0f;
    Target wreck(OBJECT_TYPE_STRUCTURE);
    first.destroyedReplacement = &wreck;
    Register(&first);
    Register(&crate);
    DestroyQueueAdd(&wreck);
    bomb.energy = 1.0f;
    bomb.ApplyDamage(1, 0.0f, 1.0f);
    EXPECT_EQ(first.energy, -99.0f);
    EXPECT_EQ(crate.taken.size(), 1u);
    EXPECT_TRUE(wreck.taken.empty());
    EXPECT_TRUE(InWorld(&wreck));
    EXPECT_FALSE(InWorld(&first));
    // Every object here lives on this stack: nothing may keep them once the test ends.
    DynObjectRemove(&crate);
    DynObjectRemove(&wreck);
    DestroyQueueRemove(&first);
}

}  // namespace
