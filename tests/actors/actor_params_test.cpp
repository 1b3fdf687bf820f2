// An actor's definition lines: the keywords' edge cases on a soldier (with AI) and a body without
// AI, lines handed on to the last weapon, the two faults of weapon lines (no weapon yet, no free
// slot), the blood textures of "decal", and the sample soldier and scout built from their files.
#include <gtest/gtest.h>

#include <functional>

#include "actors/actor_cvars.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "core/console/console.h"
#include "game/mission_objects/object_factory.h"
#include "render/textures/texture_manager.h"
#include "tests/actors/weapons/weapon_test_support.h"
#include "tests/render/texture_test_support.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"

namespace {

using weapon_test::ApplyLine;
using weapon_test::LogCount;

class ActorParams : public weapon_test::WeaponFixture {
public:
    void SetUp() override
    {
        WeaponFixture::SetUp();
        Fresh();
    }
    void TearDown() override
    {
        Drop();
        WeaponFixture::TearDown();
    }
    // A new soldier with its AI and two body nodes with meshes: "gun" (barrel, stock) and "kit".
    void Fresh()
    {
        Drop();
        m_ai = new AIInterface();
        m_soldier = m_ai->body;
        m_soldier->name.Assign("sgt");
        ASSERT_TRUE(ApplyLine(*m_soldier, "anim gun root ..\\weapon\\rifle_fp_aim"));
        ASSERT_TRUE(ApplyLine(*m_soldier, "anim kit root ..\\weapon\\rifle"));
    }
    void Drop()
    {
        if (!m_soldier)
            return;
        m_soldier->DetachAI();
        delete m_soldier;
        m_soldier = nullptr;
        m_ai = nullptr;
    }
    const MeshSettings& Settings(const char* node, const char* mesh)
    {
        GraphNode* found = m_soldier->FindChild(node);
        return found->GetMeshSettings()[actor_test::Dummy(found->GetAnimMesh(), mesh)];
    }

    AIInterface* m_ai = nullptr;
    Actor* m_soldier = nullptr;
};

TEST_F(ActorParams, KeywordEdgeCases)
{
    Actor plain;  // a body without AI
    struct Case {
        const char* what;
        bool withAi;
        std::vector<std::string> lines;
        std::vector<bool> results;
        std::function<void(ActorParams&, Actor&)> check;
    };
    const Case cases[] = {
        {"pos puts the node and the home",
         true,
         {"pos root 1 2 3"},
         {true},
         [](ActorParams& t, Actor& a) {
             EXPECT_EQ(a.GetRootNode()->GetPosition().z, 30.0f);
             EXPECT_EQ(t.m_ai->homePosition.y, 20.0f);
         }},
        {"pos of a missing node", true, {"pos nowhere 1 2 3"}, {false}, [](ActorParams&, Actor&) {}},
        {"rot of the root turns heading and pitch only",
         true,
         {"rot root 7 1.5 0.25"},
         {true},
         [](ActorParams&, Actor& a) {
             EXPECT_FLOAT_EQ(a.GetHeading(), 1.5f);
             EXPECT_FLOAT_EQ(a.GetPitch(), 0.25f);
             EXPECT_EQ(a.GetRootNode()->GetRotation().x, 0.0f);
         }},
        {"rot of a node",
         true,
         {"rot gun 0.5 0 0"},
         {true},
         [](ActorParams&, Actor& a) { EXPECT_EQ(a.FindChild("gun")->GetRotation().x, 0.5f); }},
        {"color of all meshes",
         true,
         {"color gun all 1 0.5 0 1"},
         {true},
         [](ActorParams&, Actor& a) { EXPECT_EQ(a.FindChild("gun")->GetMeshColors()[1], 0xFFFF8000u); }},
        {"color components beyond the range",
         true,
         {"color gun barrel 1.5 -0.2 0.5 1"},
         {true},
         [](ActorParams& t, Actor& a) {
             GraphNode* gun = a.FindChild("gun");
             EXPECT_EQ(gun->GetMeshColors()[actor_test::Dummy(gun->GetAnimMesh(), "barrel")], 0xFFFF0080u);
             (void)t;
         }},
        {"anim with 2 and with 8 values",
         true,
         {"anim a root", "anim a root : x1 ..\\weapon\\rifle : x1 extra"},
         {false, false},
         [](ActorParams&, Actor&) {}},
        {"anim on a parent dummy with no child dummy",
         true,
         {"anim sight kit : x2 ..\\weapon\\rifle_fp_aim",
          "anim open kit ..\\weapon\\rifle_fp_aim :", "anim bare kit :"},
         {true, true, false},
         [](ActorParams&, Actor& a) {
             GraphNode* sight = a.FindChild("sight");
             ASSERT_NE(sight, nullptr);
             s32_t parentDummy = 0, ownDummy = 0;
             sight->GetAttachPoint(&parentDummy, &ownDummy);
             EXPECT_EQ(parentDummy, actor_test::Dummy(a.FindChild("kit")->GetAnimMesh(), "x2"));
             EXPECT_EQ(ownDummy, -1);
             // A line whose last value is the ":" after the file: no dummy on either side.
             ASSERT_NE(a.FindChild("open"), nullptr);
             a.FindChild("open")->GetAttachPoint(&parentDummy, &ownDummy);
             EXPECT_EQ(parentDummy, -1);
             EXPECT_EQ(ownDummy, -1);
         }},
        {"lod with 5 values keeps the codes",
         true,
         {"lod gun barrel 1 0 1"},
         {true},
         [](ActorParams& t, Actor&) {
             const MeshSettings& s = t.Settings("gun", "barrel");
             EXPECT_EQ(s.lodHidden[0], 1);
             EXPECT_EQ(s.lodHidden[1], 0);
             EXPECT_EQ(s.lodHidden[2], 1);
         }},
        {"lod with 8 values: 3, 0, 12",
         true,
         {"lod gun barrel 1 0 1 3 0 12"},
         {true},
         [](ActorParams& t, Actor&) {
             const MeshSettings& s = t.Settings("gun", "barrel");
             EXPECT_EQ(s.lodMode[0], 0x12u);
             EXPECT_EQ(s.lodMode[1], 3u);
             EXPECT_EQ(s.lodMode[2], 3u);
         }},
        {"an actor's 8 is a code of its own",
         true,
         {"lod gun stock 0 0 0 8 8 8"},
         {true},
         [](ActorParams& t, Actor&) { EXPECT_EQ(t.Settings("gun", "stock").lodMode[0], 0x42u); }},
        {"lod with 4 and with 9 values",
         true,
         {"lod gun barrel 1 0", "lod gun barrel 1 0 1 3 3 3 3"},
         {false, false},
         [](ActorParams&, Actor&) {}},
        {"aiparam on the soldier's entity",
         true,
         {"aiparam health 55"},
         {true},
         [](ActorParams&, Actor& a) { EXPECT_EQ(a.GetAIEntity()->health, 55.0f); }},
        {"aiscript and aiparam without AI",
         false,
         {"aiscript patrol", "aiparam health 5", "aiscript"},
         {false, false, false},
         [](ActorParams&, Actor&) {}},
        {"aiscript and aiparam without values",
         true,
         {"aiscript", "aiparam"},
         {false, false},
         [](ActorParams&, Actor&) {}},
        {"guiimage is taken and changes nothing", true, {"guiimage face"}, {true}, [](ActorParams&, Actor&) {}},
        {"oxygen 7.9",
         true,
         {"oxygen 7.9"},
         {true},
         [](ActorParams&, Actor& a) {
             EXPECT_FLOAT_EQ(a.oxygen, 7.9f);
             EXPECT_FLOAT_EQ(a.oxygenMax, 7.9f);
             EXPECT_EQ(mi_oxygen.Int(), 7);
         }},
        {"svlength of a node and with one value",
         true,
         {"svlength gun 2", "svlength gun"},
         {true, false},
         [](ActorParams&, Actor& a) { EXPECT_EQ(a.FindChild("gun")->GetShadowLength(), 20.0f); }},
        {"class and wrong counts",
         true,
         {"class scout", "class a b", "scale gun"},
         {true, false, false},
         [](ActorParams&, Actor& a) { EXPECT_STREQ(a.defName.Text(), "scout"); }},
        {"a line before any weapon",
         true,
         {"magazinecap 30"},
         {false},
         [](ActorParams&, Actor& a) { EXPECT_EQ(a.paramWeapon, nullptr); }},
        {"lines after a weapon go to it",
         true,
         {"weapon rifle", "MagazineCap 30", "nonsense 1"},
         {true, true, false},
         [](ActorParams&, Actor& a) {
             ASSERT_EQ(a.weaponCount, 1);
             EXPECT_EQ(a.weapons[0], a.paramWeapon);
             EXPECT_TRUE(a.weaponOwned[0]);
             EXPECT_EQ(a.paramWeapon->owner, &a);
             EXPECT_EQ(a.paramWeapon->magazineCap, 30);
         }},
        {"a ninth weapon finds no slot",
         true,
         {"weapon w1", "weapon w2", "weapon w3", "weapon w4", "weapon w5", "weapon w6", "weapon w7", "weapon w8",
          "weapon w9", "zoom 3"},
         {true, true, true, true, true, true, true, true, false, true},
         [](ActorParams&, Actor& a) {
             EXPECT_EQ(a.weaponCount, kActorWeaponSlots);
             EXPECT_STREQ(a.weapons[7]->name.Text(), "w8");
             EXPECT_EQ(a.paramWeapon, a.weapons[7]);
             EXPECT_EQ(a.weapons[7]->zoom, 3.0f);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        Actor& actor = c.withAi ? *m_soldier : plain;
        for (size_t i = 0; i < c.lines.size(); ++i)
            EXPECT_EQ(ApplyLine(actor, c.lines[i]), c.results[i]) << c.lines[i];
        c.check(*this, actor);
    }
}

TEST_F(ActorParams, UnknownLinesWarnWithTheirPlace)
{
    const size_t log = actor_test::LogSize();
    EXPECT_FALSE(ApplyLine(*m_soldier, "colour red"));
    EXPECT_EQ(LogCount(log, "WARNING: Unknow Actor param colour [actor:"), 1);
    EXPECT_EQ(LogCount(log, "WARNING: Unknow Weapon param"), 0);
}

// After a "weapon" line the weapon's own keywords configure it without a warning; a keyword neither
// knows warns twice, once for each.
TEST_F(ActorParams, WeaponLinesAfterAWeaponWarnOnlyWhenNeitherKnowsThem)
{
    struct Case {
        const char* line;
        bool taken;
        int actorWarnings, weaponWarnings;
    } const cases[] = {
        {"magazinecap 30", true, 0, 0},
        {"type primary", true, 0, 0},
        {"bullet rifle_bullet", true, 0, 0},
        {"colour red", false, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Fresh();
        ASSERT_TRUE(ApplyLine(*m_soldier, "weapon rifle"));
        const size_t log = actor_test::LogSize();
        EXPECT_EQ(ApplyLine(*m_soldier, c.line), c.taken);
        EXPECT_EQ(LogCount(log, "WARNING: Unknow Actor param"), c.actorWarnings);
        EXPECT_EQ(LogCount(log, "WARNING: Unknow Weapon param"), c.weaponWarnings);
    }
}

TEST_F(ActorParams, AiScriptPicksOneAtRandomAndSaysWhich)
{
    ConStartup();
    EngineSRand(5);
    const int expected = EngineRand() % 3;
    EngineSRand(5);
    EXPECT_TRUE(ApplyLine(*m_soldier, "aiscript guard patrol sniper"));
    const char* const scripts[] = {"guard", "patrol", "sniper"};
    EXPECT_STREQ(m_ai->scriptFile.Text(), scripts[expected]);
    const std::string line = std::string("sgt: Associated with ai script '") + scripts[expected] + "'\n";
    EXPECT_STREQ(ConLines(0)[ConLineCapacity(0) - 1], line.c_str());
    EXPECT_TRUE(ApplyLine(*m_soldier, "aiscript single"));
    EXPECT_STREQ(m_ai->scriptFile.Text(), "single");
    ConShutdown();
}

// The blood: the plain texture and its numbered copies under component\extras.
class ActorDecal : public texture_test::TextureTest {
protected:
    void TearDown() override
    {
        TexturesReleaseAll();
        texture_test::TextureTest::TearDown();
    }
};

TEST_F(ActorDecal, BloodTexturesAreThePlainOneAndItsNumberedCopies)
{
    struct Case {
        std::vector<std::string> files;
        s32_t count;
    };
    const Case cases[] = {
        {{"blood", "blood_1", "blood_3"}, 3},
        {{"gore_0", "gore_1", "gore_2", "gore_3", "gore_4"}, 5},
    };
    for (const Case& c : cases) {
        const std::string base = c.files[0].substr(0, c.files[0].find('_'));
        SCOPED_TRACE(base);
        for (const std::string& file : c.files)
            ASSERT_TRUE(texture_test::WriteTga("component/extras/" + file + ".tga", 4, 4, 0xFF800000u));
        Actor actor;
        EXPECT_TRUE(ApplyLine(actor, "decal 0.2 0.6 1.5 " + base));
        EXPECT_EQ(actor.decalTextureCount, c.count);
        const BleedingInfo* blood = actor.GetBleedingInfo();
        ASSERT_NE(blood, nullptr);
        EXPECT_EQ(blood->bloodTextureCount, static_cast<u32_t>(c.count));
        EXPECT_FLOAT_EQ(blood->minBloodSize, 0.2f);
        EXPECT_FLOAT_EQ(blood->maxBloodSize, 0.6f);
        EXPECT_FLOAT_EQ(blood->bloodSizeScale, 1.5f);
        for (s32_t i = 0; i < c.count; ++i)
            EXPECT_NE(blood->bloodTextures[i], nullptr);
    }
}

class SampleSoldiers : public weapon_test::WeaponFixture {};

TEST_F(SampleSoldiers, SoldierBuildsItsBodyOnItsDummiesAndHoldsItsRifle)
{
    AIInterface* ai = new AIInterface();
    Actor* soldier = ai->body;
    const std::vector<bool> results = ApplyDefFile("object\\actors\\soldier.def", soldier);
    ASSERT_FALSE(results.empty());
    for (size_t i = 0; i < results.size(); ++i)
        EXPECT_TRUE(results[i]) << "line " << i + 1;
    ASSERT_NE(soldier->classInfo, nullptr);
    GraphNode* legs = soldier->FindChild("legs");
    GraphNode* torso = soldier->FindChild("torso");
    GraphNode* head = soldier->FindChild("head");
    ASSERT_NE(legs, nullptr);
    ASSERT_NE(torso, nullptr);
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(legs->GetParent(), soldier->GetRootNode());
    EXPECT_EQ(torso->GetParent(), legs);
    EXPECT_EQ(head->GetParent(), torso);
    s32_t parentDummy = -1, ownDummy = -1;
    torso->GetAttachPoint(&parentDummy, &ownDummy);
    EXPECT_EQ(parentDummy, actor_test::Dummy(legs->GetAnimMesh(), "xa"));
    EXPECT_EQ(ownDummy, actor_test::Dummy(torso->GetAnimMesh(), "xa1"));
    EXPECT_GE(parentDummy, 0);
    head->GetAttachPoint(&parentDummy, &ownDummy);
    EXPECT_EQ(parentDummy, actor_test::Dummy(torso->GetAnimMesh(), "xb"));
    EXPECT_EQ(ownDummy, actor_test::Dummy(head->GetAnimMesh(), "xb1"));
    EXPECT_GE(ownDummy, 0);
    EXPECT_STREQ(legs->sourceDefName.Text(), "object\\actors\\soldier.def");

    // The rifle in slot 0, configured by the lines after its "weapon" line, its model on the torso.
    ASSERT_EQ(soldier->weaponCount, 1);
    Weapon* rifle = soldier->weapons[0];
    EXPECT_TRUE(soldier->weaponOwned[0]);
    EXPECT_STREQ(rifle->name.Text(), "rifle");
    EXPECT_EQ(rifle->owner, soldier);
    EXPECT_EQ(rifle->slotType, WEAPON_SLOT_PRIMARY);
    EXPECT_EQ(rifle->fireModeCount, 2u);
    EXPECT_EQ(rifle->magazineCap, 30);
    EXPECT_EQ(rifle->fpmFirst, 600.0f);
    EXPECT_EQ(rifle->fpmSecond, 900.0f);
    ASSERT_NE(rifle->bulletTemplate, nullptr);
    EXPECT_TRUE(rifle->carryDummy.IsEmpty());
    GraphNode* model = soldier->FindChild("rifle");
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->GetParent(), torso);
    model->GetAttachPoint(&parentDummy, &ownDummy);
    EXPECT_EQ(parentDummy, actor_test::Dummy(torso->GetAnimMesh(), "xhand_r"));
    // The hand holds the rifle's grip, "x2"; its muzzle "x1" points forward, ahead of the grip.
    EXPECT_EQ(ownDummy, actor_test::Dummy(model->GetAnimMesh(), "x2"));

    EXPECT_EQ(soldier->GetAIEntity()->health, 100.0f);
    EXPECT_EQ(soldier->oxygenMax, 12.0f);
    EXPECT_FLOAT_EQ(soldier->decalSize[1], 0.6f);
    soldier->DetachAI();
    delete soldier;
}

TEST_F(SampleSoldiers, ScoutCarriesRifleAndGrenade)
{
    // The scout's class starts from "default", registered by the mission's first soldier.
    ASSERT_NE(Load("soldier", "default"), nullptr);
    Actor* scout = static_cast<Actor*>(CreateDynamicObjectByClass("actor"));
    ASSERT_NE(scout, nullptr);
    ASSERT_NE(scout->ai, nullptr);
    const std::vector<bool> results = ApplyDefFile("object\\actors\\scout.def", scout);
    for (size_t i = 0; i < results.size(); ++i)
        EXPECT_TRUE(results[i]) << "line " << i + 1;
    ASSERT_EQ(scout->weaponCount, 2);
    EXPECT_EQ(scout->weapons[0]->magazineCap, 20);
    EXPECT_EQ(scout->weapons[1]->slotType, WEAPON_SLOT_GRENADE);
    EXPECT_TRUE(scout->weapons[1]->bulletTemplate->IsTimedExplosive());
    EXPECT_STREQ(scout->classInfo->name.Text(), "scout");
    EXPECT_NE(scout->FindChild("head"), nullptr);
    scout->DetachAI();
    delete scout;

    // A full AI table makes no soldier.
    const u32_t interfaces = g_ai.interfaceCount;
    g_ai.interfaceCount = MAX_AI_INTERFACES;
    EXPECT_EQ(CreateDynamicObjectByClass("actor"), nullptr);
    g_ai.interfaceCount = interfaces;

    DynamicObject* weapon = CreateDynamicObjectByClass("WEAPON");
    ASSERT_NE(weapon, nullptr);
    EXPECT_EQ(weapon->GetTypeId(), OBJECT_TYPE_WEAPON);
    EXPECT_STREQ(weapon->GetObjectFolder(), "object\\weapons\\");
    delete weapon;
}

}  // namespace
