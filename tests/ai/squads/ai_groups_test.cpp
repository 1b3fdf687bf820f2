// "mission.aig": the groups with their members in file order, names matched without regard to case,
// the player's place, the radio flag, the death announcements and their texts, and the lines the
// file format does not allow (an "add" before a group, a 65th group).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ai/squads/ai_groups.h"
#include "core/strings/colour_codes.h"
#include "ai/envelopes/envelope_fixture.h"
#include "gui/screens/gui.h"
#include "support/subtitle_layer.h"

namespace {

using Names = std::vector<std::string>;

Names MembersOf(const AIGroup* group)
{
    Names names;
    for (u32_t i = 0; i < group->memberCount; ++i)
        names.push_back(group->members[i]->body->name.Text());
    return names;
}

class AIGroups : public EnvelopeMission {
protected:
    // Radio subtitles show only with their layer loaded.
    const SubtitleLayerScope m_subtitleLayer;

    void SetUp() override
    {
        EnvelopeMission::SetUp();
        ClearSubtitle();
        m_subtitles = g_gui.subtitleCount;
    }
    void TearDown() override
    {
        ClearSubtitle();
        EnvelopeMission::TearDown();
    }
    static void ClearSubtitle()
    {
        g_gui.subtitleSlot = {};
        g_gui.subtitleSpeaker.Assign("");
        g_gui.subtitleKey.Assign("");
    }
    u32_t Subtitles() const { return g_gui.subtitleCount - m_subtitles; }
    u32_t m_subtitles = 0;
};

TEST_F(AIGroups, TheFileGathersSoldiersAndThePlayerIntoGroups)
{
    Actor* ivo = Body("Ivo", 0.0f);
    Actor* dan = Body("dan", 5.0f);
    Actor* twin = Body("TWIN", 6.0f);
    Actor* twinToo = Body("twin", 7.0f);
    Actor* player = Body("me", 9.0f);
    g_frameView.player = player;
    WriteMissionFile("mission.aig",
                     "add Ivo\n"
                     "group Alpha 1\n"
                     "ADD ivo\n"
                     "add PLAYER\n"
                     "add nobody\n"
                     "Group sigma\n"
                     "add Twin\n"
                     "add Dan\n"
                     "group zenith x\n"
                     "group zero 0\n"
                     "add dan\n"
                     "note whatever\n");
    AILoadGroups(kFolder);

    AIGroup* alpha = AIFindGroup("ALPHA");
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(MembersOf(alpha), (Names{"Ivo", "me"}));
    EXPECT_EQ(alpha->radioReports, 1);
    AIGroup* sigma = AIFindGroup("Sigma");
    ASSERT_NE(sigma, nullptr);
    // Every actor of the name joins, whatever its case.
    EXPECT_EQ(MembersOf(sigma), (Names{"TWIN", "twin", "dan"}));
    // A missing or non-numeric flag, and 0, report nothing.
    EXPECT_EQ(sigma->radioReports, 0);
    ASSERT_NE(AIFindGroup("zenith"), nullptr);
    EXPECT_EQ(AIFindGroup("zenith")->radioReports, 0);
    EXPECT_EQ(AIFindGroup("zenith")->memberCount, 0u);
    EXPECT_EQ(AIFindGroup("alph"), nullptr);
    EXPECT_EQ(AIFindGroup(nullptr), nullptr);
    // The last group that names a soldier is its group.
    EXPECT_EQ(ivo->ai->group, alpha);
    EXPECT_EQ(player->ai->group, alpha);
    EXPECT_EQ(dan->ai->group, AIFindGroup("zero"));
    EXPECT_EQ(twin->ai->group, sigma);
    EXPECT_EQ(twinToo->ai->group, sigma);
    EXPECT_EQ(alpha->IndexOf(player->ai), 1);
    EXPECT_EQ(alpha->IndexOf(dan->ai), -1);
    // The "add" before any group is refused with a warning, not read into a null group.
    EXPECT_EQ(Console(), (Names{ERROR_COLOUR "'mission\\yard\\mission.aig': 'add Ivo' outside a group ignored!\n"}));

    AIClearGroups();
    EXPECT_EQ(AIFindGroup("alpha"), nullptr);
    EXPECT_EQ(ivo->ai->group, nullptr);
}

TEST_F(AIGroups, DeathsOfAReportingGroupAreAnnouncedByPlaceOrAsTheWholeTeam)
{
    Actor* a = Body("a", 0.0f);
    Actor* b = Body("b", 1.0f);
    Actor* c = Body("c", 2.0f);
    Actor* q = Body("q", 3.0f);
    WriteMissionFile("mission.aig", "group Red 1\nadd a\nadd b\nadd c\ngroup Quiet 0\nadd q\n");
    AILoadGroups(kFolder);
    AIGroup* red = AIFindGroup("red");
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(red->CountAlive(), 3);

    // The member at index 1 dies with two alive: its place plus 1, no speaker, 1.5 s.
    b->isDead = true;
    b->ai->ReportDeath();
    EXPECT_EQ(Subtitles(), 1u);
    EXPECT_STREQ(g_gui.subtitleKey.Text(), "messages._gm_Red2_down");
    EXPECT_STREQ(g_gui.subtitleSpeaker.Text(), "");
    EXPECT_EQ(g_gui.subtitleSlot.duration, 1500u);
    a->isDead = true;
    a->ai->ReportDeath();
    EXPECT_STREQ(g_gui.subtitleKey.Text(), "messages._gm_Red1_down");
    // The last one: the whole team.
    c->isDead = true;
    c->ai->ReportDeath();
    EXPECT_EQ(Subtitles(), 3u);
    EXPECT_STREQ(g_gui.subtitleKey.Text(), "messages._gm_Redteam_down");
    EXPECT_EQ(red->CountAlive(), 0);

    // Flag 0 is silent.
    q->isDead = true;
    q->ai->ReportDeath();
    EXPECT_EQ(Subtitles(), 3u);
}

TEST_F(AIGroups, ALongGroupNameGivesTheWholeKey)
{
    const std::string name(200, 'n');
    Actor* a = Body("a", 0.0f);
    Actor* b = Body("b", 1.0f);
    WriteMissionFile("mission.aig", "group " + name + " 1\nadd a\nadd b\n");
    AILoadGroups(kFolder);
    const struct {
        Actor* dying;
        const char* ending;
    } deaths[] = {{a, "1_down"}, {b, "team_down"}};
    for (const auto& death : deaths) {
        death.dying->isDead = true;
        death.dying->ai->ReportDeath();
        EXPECT_EQ(std::string(g_gui.subtitleKey.Text()), "messages._gm_" + name + death.ending);
    }
}

TEST_F(AIGroups, ADeadSoldierLetsGoOfItsTarget)
{
    Actor* hunter = Body("hunter", 0.0f);
    Actor* prey = Body("prey", 10.0f);
    hunter->ai->LockOnInterface(prey->ai);
    ASSERT_EQ(prey->ai->lockerCount, 1u);
    hunter->isDead = true;
    hunter->ai->ReportDeath();
    EXPECT_EQ(prey->ai->lockerCount, 0u);
    EXPECT_EQ(Subtitles(), 0u) << "no group, no radio";
}

TEST_F(AIGroups, TheTableHoldsSixtyFourGroupsOfSixteen)
{
    std::string text;
    for (int i = 0; i < 17; ++i)
        Body(("s" + std::to_string(i)).c_str(), static_cast<float>(i));
    for (int i = 0; i < 65; ++i) {
        text += "group g" + std::to_string(i) + " 1\n";
        if (i == 0)
            for (int s = 0; s < 17; ++s)
                text += "add s" + std::to_string(s) + "\n";
    }
    WriteMissionFile("mission.aig", text);
    AILoadGroups(kFolder);
    EXPECT_NE(AIFindGroup("g63"), nullptr);
    EXPECT_EQ(AIFindGroup("g64"), nullptr);
    EXPECT_EQ(Console(), (Names{ERROR_COLOUR "'mission\\yard\\mission.aig': too many groups, 'g64' ignored!\n"}));
    AIGroup* first = AIFindGroup("g0");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->memberCount, 16u);
    // The 17th soldier stays out, and its death names no place in the group.
    AIInterface* left = nullptr;
    for (u32_t i = 0; i < g_ai.interfaceCount; ++i)
        if (std::string(g_ai.interfaces[i]->body->name.Text()) == "s16")
            left = g_ai.interfaces[i];
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left->group, nullptr);
    left->ReportDeath();
    EXPECT_EQ(Subtitles(), 0u);
}

class AIGroupsRobustness : public AIGroups {};

TEST_F(AIGroupsRobustness, DamagedLinesAreSkippedWithoutHarm)
{
    Body("Ivo", 0.0f);
    const char* const kFiles[] = {
        "group\n",
        "add\n",
        "group \"\" \"\"\nadd \"\"\n",
        "\"\n",
        "group A 99999999999999999999\nadd ivo\n",
        "group A -1 7 8\nadd ivo ivo ivo\n",
        "add player\n",
        "group B\nadd player\n",
    };
    for (const char* lines : kFiles) {
        WriteMissionFile("mission.aig", lines);
        AILoadGroups(kFolder);
        for (u32_t i = 0; i < g_ai.groupCount; ++i)
            EXPECT_LE(g_ai.groups[i]->memberCount, 16u) << lines;
        AIClearGroups();
    }
}

}  // namespace
