// The per-frame contact pass and the table-wide envelope operations: which envelopes touch, in what
// order their OnCollision events fire, and which never take part; the OnInit reset, the OnFrame
// events and the lookup by name. The envelopes record their events in place of running handlers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/weapons/weapon.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope_contacts.h"
#include "ai/envelopes/shape_envelopes.h"
#include "ai/envelopes/zone_envelope.h"
#include "core/frame_view.h"
#include "envelope_fixture.h"

namespace {

// One fired event: "receiver<-sender:index" (sender "-" for none).
std::vector<std::string> g_fired;

std::string NameOf(const ScriptObject* object)
{
    return object ? static_cast<const Envelope*>(object)->name.Text() : "-";
}

template <class Base>
class Recording : public Base {
public:
    using Base::Base;
    void FireEvent(ScriptObject* sender, s32_t index) override
    {
        g_fired.push_back(std::string(this->name.Text()) + "<-" + NameOf(sender) + ":" + std::to_string(index));
    }
};
using RecordingObject = Recording<DOEnvelope>;
using RecordingBox = Recording<AABoxEnvenlope>;
using RecordingPoint = Recording<PointEnvelope>;
using RecordingVirtual = Recording<VirtualEnvelope>;
using RecordingCode = Recording<CodeEnvelope>;

using Events = std::vector<std::string>;

class EnvelopeContacts : public EnvelopeMission {
protected:
    void SetUp() override
    {
        EnvelopeMission::SetUp();
        g_fired.clear();
    }
    void TearDown() override
    {
        g_fired.clear();
        EnvelopeMission::TearDown();
    }
    template <class T>
    T* Add(T* envelope)
    {
        EXPECT_GE(EnvelopeRegister(envelope), 0);
        return envelope;
    }
    // An object's geometry bounds: x0..x1 and -1..1 on the other axes.
    static void Bounds(GraphObj* object, float x0, float x1)
    {
        object->boundsMin = {x0, -1, -1};
        object->boundsMax = {x1, 1, 1};
        object->boundsValid = 1;
    }
    // A standing soldier's body at (x, 0, 0) (its bounds: x - 5 to x + 5, 0 to 20, -5 to 5) with a
    // recording envelope of that name, kept out of the table as the player's is.
    RecordingObject* Mover(const char* name, float x)
    {
        Actor* body = Body(name, x);
        auto* envelope = new RecordingObject(name);
        envelope->Attach(body);
        body->envelope = envelope;
        m_movers.push_back(envelope);
        return envelope;
    }
    void TearDownMovers()
    {
        for (RecordingObject* mover : m_movers) {
            if (mover->object)
                mover->object->envelope = nullptr;
            delete mover;
        }
        m_movers.clear();
    }
    std::vector<RecordingObject*> m_movers;
};

// A mover whose three tests claim a contact with anything, recording which test was asked: only the
// kind of the other envelope decides whether and how it is tested.
class Toucher : public RecordingObject {
public:
    using RecordingObject::RecordingObject;
    s32_t Overlaps(Envelope* other) override { return Touch("Overlaps", other); }
    s32_t OverlapsBox(Envelope* other) override { return Touch("OverlapsBox", other); }
    s32_t TestAgainstPoint(Envelope* other) override { return Touch("TestAgainstPoint", other); }

private:
    static s32_t Touch(const char* test, Envelope* other)
    {
        g_fired.push_back(std::string(test) + " " + other->name.Text());
        return ENVELOPE_HIT;
    }
};

// An envelope of any kind, recording its events.
Envelope* OfKind(const char* name, s32_t kind)
{
    auto* envelope = new Recording<Envelope>();
    envelope->name.Assign(name);
    envelope->kind = kind;
    return envelope;
}

TEST_F(EnvelopeContacts, ObjectsBoxesAndPointsAreTestedByTheirOwnTestsAndNoOtherKindTouches)
{
    Actor* body = Body("ivo", 0.0f);
    auto* player = new Toucher("Player");
    player->Attach(body);
    body->envelope = player;
    g_frameView.player = body;
    const std::pair<const char*, s32_t> kinds[] = {{"Camera", ENVELOPE_KIND_CAMERA}, {"Point", ENVELOPE_KIND_POINT},
                                                   {"Zone", ENVELOPE_KIND_ZONE},     {"Code", ENVELOPE_KIND_CODE},
                                                   {"Box", ENVELOPE_KIND_BOX},       {"Virtual", ENVELOPE_KIND_VIRTUAL},
                                                   {"Object", ENVELOPE_KIND_OBJECT}, {"Kind1", 1}};
    for (const auto& [name, kind] : kinds)
        Add(OfKind(name, kind));
    // The mover itself would be in the table too: it is not tested against itself.
    Add(player);
    for (int frame = 0; frame < 2; ++frame) {
        SCOPED_TRACE(frame);
        g_fired.clear();
        EnvelopeUpdateContacts();
        EXPECT_EQ(g_fired, (Events{"TestAgainstPoint Point", "Player<-Point:0", "Point<-Player:0", "OverlapsBox Box",
                                   "Player<-Box:0", "Box<-Player:0", "Overlaps Object", "Player<-Object:0",
                                   "Object<-Player:0"}));
    }
    body->envelope = nullptr;
}

// The player at the origin inside one box, touching the face of another and beside a third.
TEST_F(EnvelopeContacts, AnActorInTwoBoxesFiresTwoPairsInSlotOrderEveryFrame)
{
    RecordingObject* player = Mover("Player", 0.0f);
    g_frameView.player = player->object;
    Add(new RecordingBox("Beside", {5.5f, 0, -5}, {10, 10, 5}));
    Add(new RecordingBox("Inner", {-1, 1, -1}, {1, 2, 1}));
    // A box whose face lies on the actor's touches it.
    Add(new RecordingBox("Outer", {5, 0, -5}, {20, 20, 5}));
    for (int frame = 0; frame < 2; ++frame) {
        SCOPED_TRACE(frame);
        g_fired.clear();
        EnvelopeUpdateContacts();
        EXPECT_EQ(g_fired, (Events{"Player<-Inner:0", "Inner<-Player:0", "Player<-Outer:0", "Outer<-Player:0"}));
    }
    TearDownMovers();
}

TEST_F(EnvelopeContacts, DisabledOrDestroyedEnvelopesTakeNoPart)
{
    RecordingObject* player = Mover("Player", 0.0f);
    g_frameView.player = player->object;
    RecordingBox* off = Add(new RecordingBox("Off", {-5, -5, -5}, {5, 5, 5}));
    RecordingBox* broken = Add(new RecordingBox("Broken", {-5, -5, -5}, {5, 5, 5}));
    Add(new RecordingBox("Live", {-5, -5, -5}, {5, 5, 5}));
    off->disabled = 1;
    broken->destroyed = 1;
    EnvelopeUpdateContacts();
    EXPECT_EQ(g_fired, (Events{"Player<-Live:0", "Live<-Player:0"}));
    struct Case {
        const char* what;
        void (*change)(RecordingObject*);
    };
    const Case cases[] = {
        {"moving envelope disabled", [](RecordingObject* e) { e->disabled = 1; }},
        {"moving envelope destroyed: its actor dead",
         [](RecordingObject* e) { static_cast<Actor*>(e->object)->isDead = 1; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        player->disabled = 0;
        static_cast<Actor*>(player->object)->isDead = 0;
        c.change(player);
        g_fired.clear();
        EnvelopeUpdateContacts();
        EXPECT_TRUE(g_fired.empty());
    }
    TearDownMovers();
}

// The player first, then every other actor of the actor table; an actor touches points, boxes and
// the objects of other envelopes, and the player is not tested a second time as an actor.
TEST_F(EnvelopeContacts, ThePlayerThenEveryActorTouchesPointsBoxesAndObjects)
{
    RecordingObject* sentry = Mover("Sentry", 200.0f);
    RecordingObject* player = Mover("Player", 0.0f);
    g_frameView.player = player->object;
    Add(new RecordingPoint("Flag", Vector3{203, 0, 0}, 5.0f));
    Add(new RecordingPoint("FarFlag", Vector3{0, 0, 30}, 5.0f));
    Add(new RecordingBox("Gate", {-1, -1, -1}, {1, 1, 1}));
    // A crate bound to an object over the sentry's place is an object envelope.
    MapObject* crate = Object("crate", {200, 0, 0});
    Bounds(crate, 195, 205);
    auto* crateEnvelope = Add(new RecordingObject("Crate"));
    crateEnvelope->Attach(crate);
    crate->envelope = crateEnvelope;
    EnvelopeUpdateContacts();
    EXPECT_EQ(g_fired, (Events{"Player<-Gate:0", "Gate<-Player:0", "Sentry<-Flag:0", "Flag<-Sentry:0",
                               "Sentry<-Crate:0", "Crate<-Sentry:0"}));
    (void)sentry;
    TearDownMovers();
}

TEST_F(EnvelopeContacts, ResetFiresOnInitAndClearsTheDestroyedState)
{
    RecordingBox* a = Add(new RecordingBox("A", {}, {}));
    RecordingVirtual* b = Add(new RecordingVirtual("B"));
    a->destroyed = 1;
    b->destroyed = 1;
    b->disabled = 1;
    EnvelopeResetAll();
    EXPECT_EQ(g_fired, (Events{"A<--:2", "B<--:2"}));
    EXPECT_EQ(a->destroyed, 0);
    EXPECT_EQ(b->destroyed, 0);
    EXPECT_EQ(b->disabled, 1);
}

TEST_F(EnvelopeContacts, FrameEventsSkipDisabledAndDestroyedEnvelopes)
{
    Add(new RecordingVirtual("On"));
    Add(new RecordingVirtual("Off"))->disabled = 1;
    Add(new RecordingVirtual("Broken"))->destroyed = 1;
    // An actor's envelope counts as destroyed while the actor is dead.
    Actor* dead = Body("dead", 50.0f);
    dead->isDead = 1;
    auto* fallen = Add(new RecordingObject("Fallen"));
    fallen->Attach(dead);
    dead->envelope = fallen;
    Add(new RecordingCode("Last"));
    EnvelopeFireFrameEvents();
    EXPECT_EQ(g_fired, (Events{"On<--:10", "Last<--:10"}));
    dead->envelope = nullptr;
}

TEST_F(EnvelopeContacts, FindComparesTheLengthThenTheNameWithoutCase)
{
    Add(new RecordingVirtual("Gate"));
    Envelope* second = Add(new RecordingVirtual("GATE"));
    Envelope* longer = Add(new RecordingVirtual("Gate2"));
    EXPECT_EQ(EnvelopeFind("gate"), g_ai.envelopes[0]);
    EXPECT_EQ(EnvelopeFind("gate2"), longer);
    EXPECT_EQ(EnvelopeFind("Gat"), nullptr);
    EXPECT_EQ(EnvelopeFind(""), nullptr);
    EXPECT_EQ(EnvelopeFind(nullptr), nullptr);
    Envelope* first = g_ai.envelopes[0];
    EnvelopeUnregister(first);
    delete first;
    EXPECT_EQ(EnvelopeFind("gate"), second);
}

// A soldier whose "OnCollision" takes away the object on the other side: the weapon it touches is
// taken in hand (which ends the weapon's envelope), or deleted with its envelope. The other side
// hears nothing after that, and the pass goes on.
class Remover : public Toucher {
public:
    using Toucher::Toucher;
    void FireEvent(ScriptObject* sender, s32_t index) override
    {
        Toucher::FireEvent(sender, index);
        if (static_cast<Envelope*>(sender)->kind != ENVELOPE_KIND_OBJECT)
            return;
        auto* weapon = static_cast<Weapon*>(static_cast<DOEnvelope*>(sender)->object);
        if (take) {
            BoundActor()->TakeItem(weapon);
        } else {
            DynObjectRemove(weapon);
            delete weapon;
        }
    }
    bool take = true;
};

TEST_F(EnvelopeContacts, AHandlerTakingAwayTheOtherSideEndsThatSidesPart)
{
    for (const bool take : {true, false}) {
        SCOPED_TRACE(take ? "taken" : "deleted");
        g_fired.clear();
        Actor* body = Body(take ? "taker" : "breaker", 0.0f);
        auto* soldier = new Remover("Soldier");
        soldier->take = take;
        soldier->Attach(body);
        body->envelope = soldier;
        g_frameView.player = body;
        auto* rifle = new Weapon();
        rifle->SetNameText("rifle");
        ASSERT_TRUE(DynObjectAdd(rifle));
        auto* lying = new RecordingObject("Rifle");
        lying->Attach(rifle);
        rifle->ownsEnvelope = true;
        Add(lying);
        Add(new RecordingBox("Box", {-5, -5, -5}, {5, 5, 5}));
        EnvelopeUpdateContacts();
        EXPECT_EQ(g_fired, (Events{"Overlaps Rifle", "Soldier<-Rifle:0", "OverlapsBox Box", "Soldier<-Box:0",
                                   "Box<-Soldier:0"}));
        for (const Envelope* envelope : g_ai.envelopes)
            EXPECT_NE(envelope, lying);
        if (take) {
            EXPECT_EQ(rifle->owner, body);
            EXPECT_EQ(rifle->envelope, nullptr);
        }
        g_frameView.player = nullptr;
        body->envelope = nullptr;
        delete soldier;
        EnvelopeTableDeleteAll();
    }
}

}  // namespace
