// "mission.ptl", "mission.pta" and "mission.dfp": the patrol paths with their modes and the points
// their envelopes give, the soldiers' assigned paths, the defend points and their lookups, and the
// console lines for envelopes that are missing or not points.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "ai/squads/commanders.h"
#include "ai/squads/defend_points.h"
#include "ai/envelopes/envelope_files.h"
#include "ai/squads/patrol_path.h"
#include "core/strings/colour_codes.h"
#include "ai/envelopes/envelope_fixture.h"

namespace {

using Names = std::vector<std::string>;
using Points = std::vector<std::pair<float, float>>;

// Three points, a box that is no point, all under the root.
const char kEnv[] =
    "create point P1 root 10 5 20 4\n"
    "create point P2 root 30 5 40 4\n"
    "create point P3 root -5 5 -6 4\n"
    "create aabox Box root 0 0 0 1 1 1\n";

Points PointsOf(const PatrolPath* path)
{
    Points points;
    for (u32_t i = 0; i < path->pointCount; ++i)
        points.emplace_back(path->points[2 * i], path->points[2 * i + 1]);
    return points;
}

Names EnvelopesOf(const PatrolPath* path)
{
    Names names;
    for (u32_t i = 0; i < path->pointCount; ++i)
        names.push_back(path->envelopes[i]->name.Text());
    return names;
}

class PatrolFiles : public EnvelopeMission {
protected:
    void SetUp() override
    {
        EnvelopeMission::SetUp();
        WriteMissionFile("mission.env", kEnv);
        ASSERT_TRUE(EnvelopeLoadMission(kFolder));
        ConClear(0);
    }
};

TEST_F(PatrolFiles, PathsKeepTheirModesAndOnlyThePointsFound)
{
    WriteMissionFile("mission.ptl",
                     "point P3\n"
                     "flag PINGPONG\n"
                     "path North\n"
                     "flag LOOP\n"
                     "point P1\n"
                     "point Nowhere\n"
                     "point Box\n"
                     "point P2\n"
                     "PATH south\n"
                     "Point P3\n"
                     "FLAG pingpong\n"
                     "path Empty\n"
                     "flag zigzag\n"
                     "remark P1\n");
    AILoadPatrolPaths(kFolder);

    PatrolPath* north = AIFindPatrolPath("NORTH");
    ASSERT_NE(north, nullptr);
    // "LOOP" before the points sets the mode; two of four points are found and the slots they leave
    // are not filled from the next path.
    EXPECT_EQ(north->mode, PATROL_MODE_LOOP);
    EXPECT_EQ(PointsOf(north), (Points{{10, 20}, {30, 40}}));
    EXPECT_EQ(EnvelopesOf(north), (Names{"P1", "P2"}));
    PatrolPath* south = AIFindPatrolPath("South");
    ASSERT_NE(south, nullptr);
    EXPECT_EQ(south->mode, PATROL_MODE_PINGPONG);
    EXPECT_EQ(PointsOf(south), (Points{{-5, -6}}));
    // A path without points is kept; an unknown flag leaves the mode alone.
    PatrolPath* empty = AIFindPatrolPath("empty");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->mode, PATROL_MODE_NONE);
    EXPECT_EQ(empty->pointCount, 0u);
    EXPECT_EQ(AIFindPatrolPath("Nort"), nullptr);
    EXPECT_EQ(AIFindPatrolPath(nullptr), nullptr);
    EXPECT_EQ(Console(), (Names{ERROR_COLOUR "'mission\\yard\\mission.ptl': no such envelope (Nowhere)!\n",
                                ERROR_COLOUR "Envelope 'Box': POINT type expected!\n"}));

    // Reading again starts from an empty table.
    WriteMissionFile("mission.ptl", "path West\npoint P2\n");
    AILoadPatrolPaths(kFolder);
    EXPECT_EQ(AIFindPatrolPath("North"), nullptr);
    ASSERT_NE(AIFindPatrolPath("west"), nullptr);
    EXPECT_EQ(PointsOf(AIFindPatrolPath("west")), (Points{{30, 40}}));
}

TEST_F(PatrolFiles, ASixtyFifthPathIsRefusedWithAnErrorLine)
{
    std::string text;
    for (int i = 0; i < 65; ++i)
        text += "path p" + std::to_string(i) + "\npoint P1\n";
    WriteMissionFile("mission.ptl", text);
    AILoadPatrolPaths(kFolder);
    EXPECT_NE(AIFindPatrolPath("p63"), nullptr);
    EXPECT_EQ(AIFindPatrolPath("p64"), nullptr);
    EXPECT_EQ(Console(), (Names{ERROR_COLOUR "'mission\\yard\\mission.ptl': too many patrol paths, 'p64' ignored!\n"}));
}

TEST_F(PatrolFiles, AssignmentsGiveTheNamedSoldierItsPath)
{
    Actor* ivo = Body("Ivo", 0.0f);
    Actor* dan = Body("dan", 5.0f);
    WriteMissionFile("mission.ptl", "path North\npoint P1\npoint P2\n");
    WriteMissionFile("mission.pta",
                     "IVO north\n"
                     "dan nosuch\n"
                     "ghost north\n");
    AILoadPatrolPaths(kFolder);
    AILoadPatrolAssignments(kFolder);
    EXPECT_EQ(ivo->GetAIEntity()->currentPatrolPath, AIFindPatrolPath("North"));
    EXPECT_EQ(ivo->GetAIEntity()->assignedPatrolPath, AIFindPatrolPath("North"));
    EXPECT_EQ(dan->GetAIEntity()->assignedPatrolPath, nullptr);
}

TEST_F(PatrolFiles, DefendPointsStandAtTheirPointEnvelopes)
{
    // No points yet: "random" finds none.
    EXPECT_EQ(AIRandomDefendPoint(), nullptr);
    WriteMissionFile("mission.dfp",
                     "point Gate P1\n"
                     "POINT hill p2\n"
                     "point lost Nowhere\n"
                     "point crate Box\n"
                     "spot other P3\n");
    AILoadDefendPoints(kFolder);
    DefendPoint* gate = AIFindDefendPoint("GATE");
    ASSERT_NE(gate, nullptr);
    EXPECT_EQ(gate->x, 10.0f);
    EXPECT_EQ(gate->z, 20.0f);
    EXPECT_EQ(gate->objectPosition.x, 10.0f);
    EXPECT_EQ(gate->objectPosition.z, 20.0f);
    EXPECT_EQ(gate->envelope->name.Text(), std::string("P1"));
    ASSERT_NE(AIFindDefendPoint("Hill"), nullptr);
    EXPECT_EQ(AIFindDefendPoint("Hill")->x, 30.0f);
    for (const char* dropped : {"lost", "crate", "other"})
        EXPECT_EQ(AIFindDefendPoint(dropped), nullptr) << dropped;
    EXPECT_EQ(Console(), (Names{ERROR_COLOUR "'mission\\yard\\mission.dfp': no such envelope (Nowhere)!\n",
                                ERROR_COLOUR "Envelope 'Box': POINT type expected!\n"}));

    // "random" picks among the loaded points, each of them in time.
    std::set<std::string> picked;
    for (int i = 0; i < 40; ++i) {
        DefendPoint* point = AIRandomDefendPoint();
        ASSERT_NE(point, nullptr);
        picked.insert(point->name.Text());
    }
    EXPECT_EQ(picked, (std::set<std::string>{"Gate", "hill"}));

    AIClearDefendPoints();
    EXPECT_EQ(AIFindDefendPoint("Gate"), nullptr);
    EXPECT_EQ(AIRandomDefendPoint(), nullptr);
}

// A commander's command point is a point envelope without a name: neither a line without an
// envelope name nor an empty one may make a defend point of it.
TEST_F(PatrolFiles, ShortLinesAndEmptyEnvelopeNamesMakeNoDefendPoint)
{
    ASSERT_NE(CreateGroupOnSide(0), nullptr);
    WriteMissionFile("mission.dfp", "point Gate\npoint Yard \"\"\npoint Hill P2\n");
    AILoadDefendPoints(kFolder);
    for (const char* dropped : {"Gate", "Yard"})
        EXPECT_EQ(AIFindDefendPoint(dropped), nullptr) << dropped;
    EXPECT_NE(AIFindDefendPoint("Hill"), nullptr);
    EXPECT_EQ(g_ai.defendPointCount, 1u);
    EXPECT_EQ(Console(), (Names{ERROR_COLOUR "'mission\\yard\\mission.dfp': no such envelope ()!\n"}));
}

TEST_F(PatrolFiles, MissingFilesGiveNoPathsAndNoPoints)
{
    Actor* ivo = Body("Ivo", 0.0f);
    AILoadPatrolPaths(kFolder);
    AILoadPatrolAssignments(kFolder);
    AILoadDefendPoints(kFolder);
    EXPECT_EQ(g_ai.patrolPathCount, 0u);
    EXPECT_EQ(g_ai.defendPointCount, 0u);
    EXPECT_EQ(ivo->GetAIEntity()->currentPatrolPath, nullptr);
    EXPECT_TRUE(Console().empty());
}

TEST_F(PatrolFiles, AHundredAndTwentyNinthDefendPointIsRefusedWithAnErrorLine)
{
    // The mission goes on with the first 128, as with the other tables' extras.
    std::string text;
    for (int i = 0; i < 130; ++i)
        text += "point d" + std::to_string(i) + " P1\n";
    WriteMissionFile("mission.dfp", text);
    AILoadDefendPoints(kFolder);
    EXPECT_EQ(g_ai.defendPointCount, MAX_AI_DEFEND_POINTS);
    EXPECT_NE(AIFindDefendPoint("d127"), nullptr);
    for (const char* refused : {"d128", "d129"})
        EXPECT_EQ(AIFindDefendPoint(refused), nullptr) << refused;
    EXPECT_EQ(Console(),
              (Names{ERROR_COLOUR "'mission\\yard\\mission.dfp': too many defend points, 'd128' ignored!\n",
                     ERROR_COLOUR "'mission\\yard\\mission.dfp': too many defend points, 'd129' ignored!\n"}));
}

class PatrolFilesRobustness : public PatrolFiles {};

TEST_F(PatrolFilesRobustness, DamagedLinesAreSkippedWithoutHarm)
{
    Body("Ivo", 0.0f);
    const char* const kLines[] = {
        "path\n",
        "point\n",
        "flag\n",
        "path\npoint\npoint\n",
        "path A\npoint\npoint P1\nflag\n",
        "point P1\npoint P2\n",
        "path A\npath A\npoint P1\n",
        "\"\n",
        "path \"\" \"\"\npoint \"\"\n",
        "ivo\n",
        "ivo \"\"\n",
        "point Gate\n",
        "point\n",
        "point \"\" P1\n",
    };
    for (const char* lines : kLines) {
        for (const char* file : {"mission.ptl", "mission.pta", "mission.dfp"})
            WriteMissionFile(file, lines);
        AILoadPatrolPaths(kFolder);
        AILoadPatrolAssignments(kFolder);
        AILoadDefendPoints(kFolder);
        for (u32_t i = 0; i < g_ai.patrolPathCount; ++i) {
            const PatrolPath* path = g_ai.patrolPaths[i];
            for (u32_t p = 0; p < path->pointCount; ++p)
                EXPECT_NE(path->envelopes[p], nullptr) << lines;
        }
        AIClearDefendPoints();
        AIClearPatrolPaths();
    }
}

}  // namespace
