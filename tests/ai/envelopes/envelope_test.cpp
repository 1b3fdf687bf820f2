// Envelopes: the classes' script registration, the base methods, the MSAL argument cell, the contact
// tests of the shapes, and the object envelope's methods on sample soldiers and on a crate.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actors/ai_entity.h"
#include "map/meshes/map_object.h"
#include "ai/envelopes/envelope.h"
#include "ai/msal/msal_cell.h"
#include "ai/rules/rule_compiler.h"
#include "ai/rules/rules.h"
#include "ai/envelopes/shape_envelopes.h"
#include "ai/envelopes/zone_envelope.h"
#include "core/console/console.h"
#include "ai/soldier/ai_actions_fixture.h"
#include "gui/screens/gui.h"
#include "support/engine_log.h"
#include "support/temp_dir.h"

namespace {

std::string LastLine(int console)
{
    const std::vector<std::string> lines = engine_log::ConsoleLines(console);
    return lines.empty() ? std::string() : lines.back();
}

std::vector<std::string> MethodNames(const char* className)
{
    std::vector<std::string> names;
    const ScriptClass* scriptClass = ScriptClassRegistry::FindClass(className);
    for (s32_t i = 0; scriptClass && i < scriptClass->methods.Count(); ++i)
        names.push_back(scriptClass->methods.At(i)->name);
    return names;
}

// Counts the completions of a mission-script command.
s32_t g_completions = 0;
void CountCompletion(MSALRunner*)
{
    ++g_completions;
}

// An envelope that records the events fired on it.
class RecordingEnvelope : public DOEnvelope {
public:
    explicit RecordingEnvelope(const char* envelopeName) : DOEnvelope(envelopeName) {}
    void FireEvent(ScriptObject* sender, s32_t eventIndex) override { fired.push_back({sender, eventIndex}); }
    std::vector<std::pair<ScriptObject*, s32_t>> fired;
};

class Envelopes : public AIActions {
protected:
    void SetUp() override
    {
        AIActions::SetUp();
        ConStartup();
        g_completions = 0;
        m_record.function = CountCompletion;
        m_record.runner = reinterpret_cast<MSALRunner*>(&m_record);  // any runner: only counted
        g_gui.subtitleSpeaker.Assign("");
        g_gui.subtitleKey.Assign("");
    }
    void TearDown() override
    {
        for (DOEnvelope* envelope : m_envelopes) {
            if (envelope->object)
                envelope->object->envelope = nullptr;
            delete envelope;
        }
        m_envelopes.clear();
        g_gui.subtitleSpeaker.Assign("");
        g_gui.subtitleKey.Assign("");
        ConShutdown();
        AIActions::TearDown();
    }
    // An envelope bound to the object, its mission-script command waiting for completion.
    DOEnvelope* Bind(DynamicObject* object, const char* envelopeName)
    {
        DOEnvelope* envelope = new DOEnvelope(envelopeName);
        envelope->Attach(object);
        envelope->msalCompletion = &m_record;
        envelope->msalNotifyPending = 1;
        m_envelopes.push_back(envelope);
        return envelope;
    }
    MapObject* Crate(const Vector3& at)
    {
        MapObject* crate = new MapObject;
        crate->name.Assign("crate");
        crate->SetPosition(at);
        m_crates.emplace_back(crate);
        return crate;
    }
    std::string Subtitle() const { return std::string(g_gui.subtitleSpeaker.Text()) + "|" + g_gui.subtitleKey.Text(); }

    MSALCompletionRecord m_record;
    std::vector<DOEnvelope*> m_envelopes;
    std::vector<std::unique_ptr<MapObject>> m_crates;
};

TEST_F(Envelopes, EachClassRegistersItsMethodsAndPublishesItsName)
{
    Actor* body = SampleSoldier({0, 0, 0})->body;
    DOEnvelope* alpha = Bind(body, "Alpha");
    const std::vector<std::string> methods = MethodNames("DOEnvelope");
    ASSERT_GE(methods.size(), 42u);
    const std::vector<std::string> head(methods.begin(), methods.begin() + 5);
    EXPECT_EQ(head, (std::vector<std::string>{"SetVisible", "Show", "Hide", "IsDestroyed", "LockTarget"}));
    EXPECT_EQ(methods[27], "MSALSetPos");
    EXPECT_EQ(methods[41], "Destroy");
    const ScriptClass* doClass = ScriptClassRegistry::FindClass("DOEnvelope");
    for (const char* name : {"IsDestroyed", "IsPlayer", "IsVisible", "HasItem"})
        EXPECT_EQ(doClass->methods.Find(name)->returnType, 2) << name;
    EXPECT_EQ(doClass->methods.Find("ReportHealth")->returnType, 1);
    ScriptValue* published = ScriptGlobalObjects()->Find("Alpha");
    ASSERT_NE(published, nullptr);
    EXPECT_EQ(published->data, static_cast<ScriptObject*>(alpha));

    PointEnvelope point("Spot", {1, 2, 3});
    EXPECT_EQ(point.kind, ENVELOPE_KIND_POINT);
    EXPECT_EQ(point.radius, 10.0f);
    EXPECT_EQ(MethodNames("PointEnvelope"),
              (std::vector<std::string>{"SetVisible", "Show", "Hide", "IsPlayer", "Enable", "Disable"}));
    EXPECT_EQ(ScriptGlobalObjects()->Find("Spot")->data, static_cast<ScriptObject*>(&point));
    {
        VirtualEnvelope virtualOne("Ghost");
        CodeEnvelope code("CodeRed");
        EXPECT_EQ(virtualOne.kind, ENVELOPE_KIND_VIRTUAL);
        EXPECT_EQ(code.kind, ENVELOPE_KIND_CODE);
        EXPECT_EQ(MethodNames("VirtualEnvelope"), (std::vector<std::string>{"IsDestroyed"}));
        EXPECT_EQ(MethodNames("CodeEnvelope"), (std::vector<std::string>{"IsDestroyed"}));
        ASSERT_NE(ScriptGlobalObjects()->Find("Ghost"), nullptr);
    }
    // A deleted envelope leaves its name without an object behind, never a dangling one.
    EXPECT_EQ(ScriptGlobalObjects()->Find("Ghost")->data, nullptr);

    AABoxEnvenlope box("Box", {0, 0, 0}, {1, 1, 1});
    EXPECT_EQ(box.kind, ENVELOPE_KIND_BOX);
    EXPECT_EQ(box.scriptClass, nullptr);
    EXPECT_EQ(ScriptGlobalObjects()->Find("Box"), nullptr);
    const float triangle[6] = {0, 0, 10, 0, 0, 10};
    ZoneEnvelope* named = CreateZoneEnvelope("Sector", triangle, 3, 0);
    EXPECT_EQ(MethodNames("ZoneEnvelope"), (std::vector<std::string>{"AllActorsDead"}));
    EXPECT_EQ(ScriptClassRegistry::FindClass("ZoneEnvelope")->methods.Find("AllActorsDead")->returnType, 2);
    EXPECT_NE(ScriptGlobalObjects()->Find("Sector"), nullptr);
    delete named;
}

TEST_F(Envelopes, TheBaseMethodsSetAndReportTheStateBytes)
{
    VirtualEnvelope envelope("Plain");
    EXPECT_EQ(envelope.destroyed + envelope.disabled + envelope.visible, 0);
    EXPECT_EQ(envelope.msalNotifyPending, 1);
    EXPECT_EQ(envelope.currentSeatRecord, -1);
    envelope.Show(nullptr);
    envelope.IsVisible(nullptr);
    EXPECT_EQ(g_scriptResult.asBool, 1);
    envelope.Hide(nullptr);
    envelope.IsVisible(nullptr);
    EXPECT_EQ(g_scriptResult.asBool, 0);
    envelope.Destroy(nullptr);
    EXPECT_EQ(envelope.destroyed, 1);
    envelope.Slot87(nullptr);
    EXPECT_EQ(g_scriptResult.asBool, 1) << "slot 87 reports the disabled byte";
    envelope.Enable(nullptr);
    envelope.Slot87(nullptr);
    EXPECT_EQ(g_scriptResult.asBool, 0);
    envelope.IsDestroyed(nullptr);
    EXPECT_EQ(g_scriptResult.asBool, 1);
    g_scriptResult.asBool = 1;
    envelope.IsPlayer(nullptr);
    EXPECT_EQ(g_scriptResult.asBool, 0);
}

TEST(MSALCellTest, AFloatOrAnEnvelopeInOneWord)
{
    VirtualEnvelope* envelope = new VirtualEnvelope(nullptr);
    struct Case {
        MSALCell cell;
        bool isFloat;
        float asFloat;
        s32_t asInt;
        Envelope* asEnvelope;
    };
    const Case cases[] = {
        {MSALCell::FromFloat(2.0f), true, 2.0f, 2, nullptr},
        {MSALCell::FromFloat(-3.75f), true, -3.75f, -3, nullptr},
        {MSALCell::FromFloat(0.0f), true, 0.0f, 0, nullptr},
        {MSALCell::FromEnvelope(envelope), false, 0.0f, 0, envelope},
        {MSALCell::FromEnvelope(nullptr), false, 0.0f, 0, nullptr},  // a name that found no envelope
    };
    for (const Case& c : cases) {
        const MSALCell cell = MSALCell::FromWord(c.cell.Word());  // through an argument array
        EXPECT_EQ(cell.IsFloat(), c.isFloat);
        EXPECT_EQ(cell.AsFloat(), c.asFloat);
        EXPECT_EQ(cell.AsInt(), c.asInt);
        EXPECT_EQ(cell.AsEnvelope(), c.asEnvelope);
    }
    ScriptArgWord args[2] = {MSALCell::FromFloat(8.0f).Word(), MSALCell::FromEnvelope(envelope).Word()};
    EXPECT_EQ(MSALArg(args, 0).AsInt(), 8);
    EXPECT_EQ(MSALArg(args, 1).AsEnvelope(), envelope);
    EXPECT_EQ(MSALArg(nullptr, 0).AsEnvelope(), nullptr);
    delete envelope;
}

TEST_F(Envelopes, ContactsOfPointsBoxesAndObjects)
{
    Actor* body = SampleSoldier({0, 0, 0})->body;
    DOEnvelope* alpha = Bind(body, "Alpha");
    PointEnvelope near("Near", {6, 0, 8});  // 10 away: not inside
    PointEnvelope inside("Inside", {6, 0, 7.9f});
    EXPECT_EQ(near.Overlaps(alpha), 0);
    EXPECT_EQ(inside.Overlaps(alpha), ENVELOPE_HIT);
    EXPECT_EQ(near.GetPosition().z, 8.0f);

    AABoxEnvenlope left("L", {0, 0, 0}, {10, 10, 10});
    AABoxEnvenlope touching("T", {10, 0, 0}, {20, 10, 10});
    AABoxEnvenlope apart("A", {10.5f, 0, 0}, {20, 10, 10});
    EXPECT_EQ(left.OverlapsBox(&touching), ENVELOPE_HIT) << "boxes sharing a face overlap";
    EXPECT_EQ(touching.OverlapsBox(&left), ENVELOPE_HIT);
    EXPECT_EQ(left.OverlapsBox(&apart), 0);
    float bounds[6];
    body->GetGeometryBounds(bounds);
    AABoxEnvenlope around("Around", {bounds[0] - 1, bounds[1], bounds[2] - 1},
                          {bounds[3] + 1, bounds[4], bounds[5] + 1});
    AABoxEnvenlope far("Far", {500, 0, 500}, {600, 10, 600});
    EXPECT_EQ(around.Overlaps(alpha), ENVELOPE_HIT);
    EXPECT_EQ(alpha->OverlapsBox(&around), ENVELOPE_HIT) << "the object envelope asks the box";
    EXPECT_EQ(far.Overlaps(alpha), 0);
    DOEnvelope* unbound = Bind(nullptr, "Nobody");
    EXPECT_EQ(around.Overlaps(unbound), 0);
    EXPECT_EQ(inside.Overlaps(unbound), 0);
}

TEST_F(Envelopes, IsDestroyedReadsTheActorTheObjectOrNothing)
{
    Actor* body = SampleSoldier({0, 0, 0})->body;
    DOEnvelope* soldier = Bind(body, "Alpha");
    DOEnvelope* crate = Bind(Crate({20, 0, 0}), "Crate");
    DOEnvelope* unbound = Bind(nullptr, "Nobody");
    unbound->destroyed = 1;
    g_scriptResult.asBool = 7;
    unbound->IsDestroyed(nullptr);
    EXPECT_EQ(g_scriptResult.asBool, 7) << "no object: the cell is left alone";
    EXPECT_FALSE(unbound->IsDestroyedState());
    crate->destroyed = 1;
    crate->IsDestroyed(nullptr);
    EXPECT_EQ(g_scriptResult.asBool, 1);
    EXPECT_TRUE(crate->IsDestroyedState());
    soldier->destroyed = 1;
    soldier->IsDestroyed(nullptr);
    EXPECT_EQ(g_scriptResult.asBool, 0) << "an actor's envelope follows its dead flag";
    body->isDead = true;
    soldier->IsDestroyed(nullptr);
    EXPECT_EQ(g_scriptResult.asBool, 1);
    EXPECT_TRUE(soldier->IsDestroyedState());
    body->isDead = false;
}

TEST_F(Envelopes, ReportsAreSpokenByTheDisplayNameOrTheObjectsName)
{
    AIInterface* ai = SampleSoldier({0, 0, 0}, "sgt_kowal");
    DOEnvelope* alpha = Bind(ai->body, "Alpha");
    alpha->SetDisplayName("");
    EXPECT_STREQ(alpha->displayName.Text(), "sgt_kowal");
    ai->entity->health = 250.0f;
    alpha->ReportHealth(nullptr);
    EXPECT_EQ(Subtitle(), "sgt_kowal|messages._gm_health100");
    EXPECT_EQ(g_gui.subtitleSlot.duration, 1500u);
    EXPECT_EQ(g_gui.subtitleSlot.shown, 1);
    ai->entity->health = 42.9f;
    alpha->SetDisplayName("Kowal");
    alpha->ReportHealth(nullptr);
    EXPECT_EQ(Subtitle(), "Kowal|messages._gm_health42");
    alpha->ReportPosition(nullptr);
    EXPECT_EQ(Subtitle(), "Kowal|messages._gm_position");
    alpha->ReportStatus(nullptr);
    EXPECT_EQ(Subtitle(), "Kowal|messages._gm_status_noready");
}

TEST_F(Envelopes, ActorOnlyMethodsOnACrateDoNothingAndNeverComplete)
{
    MapObject* crateObject = Crate({20, 0, 0});
    DOEnvelope* crate = Bind(crateObject, "Crate");
    RecordingEnvelope* target = new RecordingEnvelope("Target");
    m_envelopes.push_back(target);
    const float triangle[6] = {0, 0, 10, 0, 0, 10};
    ZoneEnvelope* zone = CreateZoneEnvelope("Sector", triangle, 3, 0);
    ScriptArgWord targetArgs[2] = {MSALCell::FromEnvelope(target).Word(), MSALCell::FromFloat(8.0f).Word()};
    ScriptArgWord zoneArgs[1] = {MSALCell::FromEnvelope(zone).Word()};
    ScriptArgWord poseArgs[1] = {MSALCell::FromFloat(2.0f).Word()};
    crate->MSALUse(targetArgs);
    crate->MSALTake(targetArgs);
    crate->MSALFireObjectEvent(targetArgs);
    crate->MSALEliminate(zoneArgs);
    crate->MSALSetPoseMode(poseArgs);
    crate->MSALSetMovementMode(poseArgs);
    crate->MSALMoveTo(targetArgs);
    crate->Hold(nullptr);
    crate->SetBehavRecon(nullptr);
    crate->ReportHealth(nullptr);
    crate->FollowPlayer(nullptr);
    EXPECT_EQ(g_completions, 0);
    EXPECT_TRUE(target->fired.empty());
    EXPECT_EQ(crate->targetZone, nullptr);
    EXPECT_EQ(Subtitle(), "|");
    EXPECT_EQ(crateObject->GetPosition().x, 20.0f);
    delete zone;
}

TEST_F(Envelopes, MSALMethodsOfASoldierActAndComplete)
{
    AIInterface* ai = SampleSoldier({0, 0, 0}, "sgt_kowal");
    Actor* body = ai->body;
    DOEnvelope* alpha = Bind(body, "Alpha");
    RecordingEnvelope* door = new RecordingEnvelope("Door");
    door->Attach(Crate({30, 0, 0}));
    m_envelopes.push_back(door);

    // A pose raised from MSAL: the float cells arrive as integers.
    auto setPose = [&](float wanted) {
        ScriptArgWord args[1] = {MSALCell::FromFloat(wanted).Word()};
        alpha->MSALSetPoseMode(args);
        body->poseChanging = false;  // the change's animation has run
    };
    setPose(2.0f);
    EXPECT_EQ(body->GetActorPose(), ACTOR_POSE_CROUCH);
    setPose(0.0f);
    EXPECT_EQ(body->GetActorPose(), ACTOR_POSE_STAND);
    EXPECT_EQ(g_completions, 2);
    ScriptArgWord modeArgs[1] = {MSALCell::FromFloat(3.0f).Word()};
    alpha->MSALSetMovementMode(modeArgs);
    EXPECT_EQ(ai->movementMode, 3);
    EXPECT_EQ(g_completions, 3);

    ScriptArgWord eventArgs[2] = {MSALCell::FromEnvelope(door).Word(), MSALCell::FromFloat(8.0f).Word()};
    alpha->MSALFireObjectEvent(eventArgs);
    ASSERT_EQ(door->fired.size(), 1u);
    EXPECT_EQ(door->fired[0], (std::pair<ScriptObject*, s32_t>{alpha, ENVELOPE_EVENT_ON_INTERACT}));
    EXPECT_EQ(g_completions, 4);

    alpha->MSALUse(eventArgs);
    EXPECT_EQ(door->fired.size(), 2u);
    EXPECT_EQ(LastLine(0), "'sgt_kowal': object used!\n");
    EXPECT_EQ(g_completions, 5);

    // Without a pending notification nothing completes.
    alpha->msalNotifyPending = 0;
    alpha->MSALFireObjectEvent(eventArgs);
    EXPECT_EQ(g_completions, 5);
    alpha->msalNotifyPending = 1;

    // A zone whose actors are all dead is cleared at once; one with a living actor stays the target.
    const float square[8] = {-50, -50, 50, -50, 50, 50, -50, 50};
    ZoneEnvelope* zone = CreateZoneEnvelope("Sector", square, 4, 0);
    ScriptArgWord zoneArgs[1] = {MSALCell::FromEnvelope(zone).Word()};
    alpha->MSALEliminate(zoneArgs);
    EXPECT_EQ(alpha->targetZone, nullptr);
    EXPECT_EQ(g_completions, 6);
    EXPECT_EQ(Subtitle(), "sgt_kowal|messages._gm_sector_clear");
    Actor* enemy = SampleSoldier({10, 0, 10}, "enemy")->body;
    zone->CreateObjectList(4)->Add(enemy);
    alpha->MSALEliminate(zoneArgs);
    EXPECT_EQ(alpha->targetZone, zone);
    EXPECT_EQ(g_completions, 6);
    alpha->targetZone = nullptr;
    delete zone;

    alpha->SetDisplayName("Kowal");
    DOEnvelope* kit = Bind(Crate({2, 0, 0}), "Medkit");
    ScriptArgWord takeArgs[1] = {MSALCell::FromEnvelope(kit).Word()};
    alpha->MSALTake(takeArgs);
    EXPECT_EQ(LastLine(0), "'Kowal': object taken!\n");
    EXPECT_EQ(g_completions, 7);
}

TEST_F(Envelopes, BehaviourMethodsRunTheRulesOfTheirProfileAlone)
{
    AIInterface* ai = SampleSoldier({0, 0, 0});
    DOEnvelope* alpha = Bind(ai->body, "Alpha");
    RuleSet* set = ai->ruleSet;
    SetCurrentRuleSet(set);
    SetCompileMemberTable(&set->variables);
    SetCompileRuleList(&set->rules);
    SetCompileEventList(&set->events);
    ASSERT_TRUE(CompileRuleScript("rule scout{ }\nrule assault{ }\nrule patrol{ }\nrule follow_player{ }\n"));
    SetCompileMemberTable(nullptr);
    SetCompileRuleList(nullptr);
    SetCompileEventList(nullptr);
    SetCurrentRuleSet(nullptr);
    TempDir folder;
    folder.Write("script/Dravnik_recon.txt", "scout\n");
    folder.Write("script/Dravnik_agressive.txt", "assault patrol\n");
    folder.Write("script/Dravnik_rulez.txt", "patrol\n");
    auto enabled = [&] {
        std::string names;
        for (const char* name : {"scout", "assault", "patrol", "follow_player"})
            if (set->rules.Find(name)->enabled)
                names += std::string(names.empty() ? "" : " ") + name;
        return names;
    };
    struct Case {
        void (DOEnvelope::*method)(ScriptArgWord*);
        s32_t mode;
        const char* rules;
    };
    const Case cases[] = {
        {&DOEnvelope::SetBehavRecon, 2, "scout"},
        {&DOEnvelope::SetBehavAggres, 3, "assault patrol"},
        {&DOEnvelope::SetBehavNormal, 0, "patrol"},
    };
    for (const Case& c : cases) {
        (alpha->*c.method)(nullptr);
        EXPECT_EQ(ai->behaviourMode, c.mode);
        EXPECT_EQ(enabled(), c.rules);
    }
    alpha->FollowPlayer(nullptr);
    EXPECT_EQ(enabled(), "patrol follow_player");
    EXPECT_EQ(Subtitle(), "soldier|messages._gm_follow_player");
}

TEST_F(Envelopes, PoseRequestsFollowThePoseLockBytes)
{
    Actor* body = SampleSoldier({0, 0, 0})->body;
    DOEnvelope* alpha = Bind(body, "Alpha");
    struct Case {
        bool crouched, prone;
        void (DOEnvelope::*method)(ScriptArgWord*);
        s32_t expected;  // -1: left as it was
    };
    const Case cases[] = {
        {false, false, &DOEnvelope::SetStandMode, -1}, {true, false, &DOEnvelope::SetStandMode, 0},
        {false, true, &DOEnvelope::SetStandMode, 0},   {false, false, &DOEnvelope::SetCrouchMode, 1},
        {true, false, &DOEnvelope::SetCrouchMode, -1}, {false, false, &DOEnvelope::SetProneMode, 2},
        {false, true, &DOEnvelope::SetProneMode, -1},  {true, true, &DOEnvelope::SetProneMode, 2},
    };
    for (const Case& c : cases) {
        body->crouched = c.crouched;
        body->prone = c.prone;
        body->targetPose = -1;
        (alpha->*c.method)(nullptr);
        EXPECT_EQ(body->targetPose, c.expected) << c.crouched << c.prone;
    }
    body->crouched = body->prone = false;
}

}  // namespace
