// "mission.env" and "mission.zns": the envelopes, markers and parents a file makes, the player's and
// the Tesk team's envelopes, the console lines for what a file names but the mission lacks, the
// zones' object lists, and the lines that are short of values or beyond a table's capacity.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actors/actor.h"
#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope_files.h"
#include "ai/envelopes/envelope_markers.h"
#include "ai/envelopes/shape_envelopes.h"
#include "ai/envelopes/zone_envelope.h"
#include "core/strings/colour_codes.h"
#include "core/console/console_var.h"
#include "core/frame_view.h"
#include "envelope_fixture.h"

namespace {

const char kEnv[] =
    "# the yard\n"
    "create dobj Crate crate01 root hCrate\n"
    "create dobj Ghost nothing_here root\n"
    "create aabox Gate Yard -10 0 -10 10 20 10 hGate\n"
    "create virtual Yard ROOT\n"
    "create code Alarm hAlarm\n"
    "create point Flag yard 40 7 60 25 hFlag\n"
    "create zone Pen Gate 1 4 0 0 9 100 0 9 100 100 9 0 100 9 hPen\n"
    "create virtual Orphan nowhere\n"
    "create virtual Extra root hExtra spare\n"
    "create camera Cam cam01 root hCam\n"
    "create tank T root\n"
    "oz north 10 20 ff0000ff\n"
    "OZ south 1.5 -2 zz\n"
    "remark whatever 1 2 3\n";

// One line per table slot: slot, kind, name, parent ("-" for none), handler name, display name.
std::string Dump()
{
    std::string text;
    for (u32_t slot = 0; slot < ENVELOPE_TABLE_SLOTS; ++slot) {
        const Envelope* e = g_ai.envelopes[slot];
        if (!e)
            continue;
        text += std::to_string(slot) + " " + std::to_string(e->kind) + " " + e->name.Text() + " " +
                (e->parent ? e->parent->name.Text() : "-") + " [" + e->handlerName.Text() + "] [" +
                e->displayName.Text() + "]\n";
    }
    return text;
}

std::vector<std::string> Children(const Envelope* envelope)
{
    std::vector<std::string> names;
    for (u32_t i = 0; i < envelope->childCount; ++i)
        names.push_back(envelope->children[i]->name.Text());
    return names;
}

using Names = std::vector<std::string>;
using Floats = std::vector<float>;

Floats Xyz(const Vector3& v)
{
    return {v.x, v.y, v.z};
}

class EnvelopeFiles : public EnvelopeMission {
protected:
    void SetUp() override
    {
        EnvelopeMission::SetUp();
        m_playerName = FindCVar("as_playername");
        ASSERT_NE(m_playerName, nullptr);
        m_savedPlayerName = m_playerName->String();
    }
    void TearDown() override
    {
        m_playerName->SetString(m_savedPlayerName.c_str());
        EnvelopeMission::TearDown();
    }
    ConsoleVar* m_playerName = nullptr;
    std::string m_savedPlayerName;
};

TEST_F(EnvelopeFiles, TheFileMakesEnvelopesInFileOrderWithParentsHandlersAndMessages)
{
    MapObject* crate = Object("CRATE01");
    Actor* player = Body("ivo", 0.0f);
    g_frameView.player = player;
    WriteMissionFile("mission.env", kEnv);
    ASSERT_TRUE(EnvelopeLoadMission(kFolder));

    EXPECT_EQ(Dump(),
              "0 0 Crate - [hCrate] [CRATE01]\n"
              "1 2 Gate Yard [hGate] []\n"
              "2 6 Yard - [] []\n"
              "3 7 Alarm - [hAlarm] []\n"
              "4 8 Flag Yard [hFlag] []\n"
              "5 3 Pen Gate [hPen] []\n"
              "6 6 Orphan - [] []\n"
              "7 6 Extra - [] []\n"
              "8 9 Cam - [hCam] []\n");
    EXPECT_EQ(Children(g_ai.envelopes[2]), (Names{"Gate", "Flag"}));
    EXPECT_EQ(Children(g_ai.envelopes[1]), (Names{"Pen"}));
    EXPECT_EQ(Console(), (Names{ERROR_COLOUR "Could not find object 'nothing_here' for envelope 'Ghost'!\n",
                                // The camera line has no line end: the next message runs on.
                                ERROR_COLOUR "Could not find camera 'cam01' for envelope 'Cam'" ERROR_COLOUR
                                             "Invalid parent '' for envelope 'Alarm'!\n",
                                ERROR_COLOUR "Invalid parent 'nowhere' for envelope 'Orphan'!\n"}));

    // The object and its envelope know each other.
    auto* bound = static_cast<DOEnvelope*>(g_ai.envelopes[0]);
    EXPECT_EQ(bound->object, crate);
    EXPECT_EQ(crate->envelope, bound);
    // The shapes carry the values of their lines; a point stands on the ground (no land: height 0).
    const auto* gate = static_cast<const AABoxEnvenlope*>(g_ai.envelopes[1]);
    EXPECT_EQ(Xyz(gate->minimum), (Floats{-10, 0, -10}));
    EXPECT_EQ(Xyz(gate->maximum), (Floats{10, 20, 10}));
    const auto* flag = static_cast<const PointEnvelope*>(g_ai.envelopes[4]);
    EXPECT_EQ(Xyz(flag->GetPosition()), (Floats{40, 0, 60}));
    EXPECT_EQ(flag->radius, 25.0f);
    const auto* pen = static_cast<const ZoneEnvelope*>(g_ai.envelopes[5]);
    EXPECT_TRUE(pen->GetInsideFlag());
    EXPECT_TRUE(pen->ContainsPoint(ZONE_OUTLINE_INNER, 50, 50));
    EXPECT_FALSE(pen->ContainsPoint(ZONE_OUTLINE_INNER, 50, 150));

    // The player's envelope stays out of the table.
    ASSERT_NE(player->envelope, nullptr);
    EXPECT_EQ(player->envelope->name.Text(), std::string("Player"));
    EXPECT_EQ(player->envelope->object, player);
    EXPECT_EQ(g_ai.playerEnvelope, player->envelope);
    EXPECT_EQ(EnvelopeFind("player"), nullptr);

    // Mission end: the objects still in the world forget their envelopes, which are all gone.
    EnvelopeDestroyAll();
    EXPECT_EQ(Dump(), "");
    EXPECT_EQ(crate->envelope, nullptr);
    EXPECT_EQ(player->envelope, nullptr);
    EXPECT_EQ(g_ai.playerEnvelope, nullptr);
}

TEST_F(EnvelopeFiles, MarkersEndWithTheDefaultRecordOfThePlayersName)
{
    m_playerName->SetString("Ivo");
    WriteMissionFile("mission.env", kEnv);
    ASSERT_TRUE(EnvelopeLoadMission(kFolder));
    ASSERT_EQ(EnvelopeMarkerCount(), 3u);
    struct Expected {
        const char* name;
        float x, z;
        u32_t word;
    };
    const Expected expected[] = {{"north", 10, 20, 0xFF0000FFu}, {"south", 1.5f, -2, 0}, {"Ivo", 0, 0, 0xFF80FF80u}};
    for (u32_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const EnvelopeMarker* marker = EnvelopeMarkerGet(i);
        EXPECT_EQ(marker->name.Text(), std::string(expected[i].name));
        EXPECT_EQ(marker->x, expected[i].x);
        EXPECT_EQ(marker->z, expected[i].z);
        EXPECT_EQ(marker->word, expected[i].word);
    }
    EXPECT_EQ(EnvelopeMarkerFind("IVO"), EnvelopeMarkerGet(2));
    EXPECT_EQ(EnvelopeMarkerFind("nort"), nullptr);
    EnvelopeDestroyAll();
    EXPECT_EQ(EnvelopeMarkerCount(), 0u);
    EXPECT_EQ(Dump(), "");
}

TEST_F(EnvelopeFiles, AMissingFileLeavesEverythingAsItWas)
{
    g_frameView.player = Body("ivo", 0.0f);
    auto* before = new VirtualEnvelope("Before");
    ASSERT_EQ(EnvelopeRegister(before), 0);
    EXPECT_FALSE(EnvelopeLoadMission(kFolder));
    EXPECT_EQ(Dump(), "0 6 Before - [] []\n");
    EXPECT_EQ(EnvelopeMarkerCount(), 0u);
    EXPECT_EQ(g_ai.playerEnvelope, nullptr);
    EXPECT_EQ(ZoneLoadMission(kFolder), 0);
}

TEST_F(EnvelopeFiles, TheTeskActorGetsItsEnvelopeWhenTheTeamIsEnabled)
{
    AIInterface* tesk = new AIInterface(true);
    m_bodies.push_back(tesk->body);
    DynObjectAdd(tesk->body);
    WriteMissionFile("mission.env", "create virtual Yard root\n");
    ASSERT_TRUE(EnvelopeLoadMission(kFolder));
    EXPECT_EQ(tesk->body->envelope, nullptr);
    EnvelopeDestroyAll();
    gbteskenable.SetBool(true);
    ASSERT_TRUE(EnvelopeLoadMission(kFolder));
    ASSERT_NE(tesk->body->envelope, nullptr);
    EXPECT_EQ(tesk->body->envelope->name.Text(), std::string("Tesk"));
    EXPECT_EQ(tesk->body->envelope->handlerName.Text(), std::string("hDravnikSniper"));
    EXPECT_EQ(tesk->body->envelope->object, tesk->body);
    // No player: no player's envelope.
    EXPECT_EQ(g_ai.playerEnvelope, nullptr);
}

// The faults of the text: values read by position from lines that do not carry them, a zone whose
// vertex count runs past its values or that is no polygon. Each line is reported and skipped.
TEST_F(EnvelopeFiles, LinesShortOfTheirValuesAreReportedAndSkipped)
{
    Object("crate01");
    const char* lines[] = {
        "create",
        "create dobj",
        "create dobj Short crate01",
        "create aabox Box root 1 2 3 4 5",
        "create virtual V",
        "create code",
        "create point P root 1 2 3",
        "create zone Z root 0",
        "create zone Z root 0 3 0 0 0 10 0 0 10 10",
        "create zone Z root 0 2 0 0 0 10 0 0",
        "create zone Z root 0 -5",
        "create zone Z root 0 99999999999 1 2 3",
        "create zone Z root 0 zz 1 2 3 4 5 6 7 8 9",
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        ConClear(0);
        WriteMissionFile("mission.env", std::string(line) + "\n");
        ASSERT_TRUE(EnvelopeLoadMission(kFolder));
        EXPECT_EQ(Dump(), "");
        const Names printed = Console();
        if (std::string(line) == "create") {
            EXPECT_TRUE(printed.empty());
        } else {
            ASSERT_EQ(printed.size(), 1u);
            EXPECT_EQ(printed[0].rfind(ERROR_COLOUR, 0), 0u) << printed[0];
        }
        EnvelopeDestroyAll();
    }
}

TEST_F(EnvelopeFiles, EnvelopesAndMarkersBeyondTheirTablesAreReportedAndSkipped)
{
    // The table holds 2048 envelopes, those registered before the file included: room for one more.
    for (u32_t slot = 0; slot + 1 < ENVELOPE_TABLE_SLOTS; ++slot)
        ASSERT_GE(EnvelopeRegister(new Envelope()), 0);
    std::string text = "create virtual Last root\ncreate virtual Beyond root\n";
    // Sixteen markers with the default record: fifteen "oz" lines fit.
    for (int i = 0; i < 17; ++i)
        text += "oz m" + std::to_string(i) + " 1 2 ff\n";
    WriteMissionFile("mission.env", text);
    ASSERT_TRUE(EnvelopeLoadMission(kFolder));
    ASSERT_NE(EnvelopeFind("Last"), nullptr);
    EXPECT_EQ(EnvelopeFind("Beyond"), nullptr);
    ASSERT_EQ(EnvelopeMarkerCount(), ENVELOPE_MARKER_SLOTS);
    EXPECT_EQ(EnvelopeMarkerGet(14)->name.Text(), std::string("m14"));
    EXPECT_EQ(EnvelopeMarkerGet(15)->word, ENVELOPE_DEFAULT_MARKER_WORD);
    const Names printed = Console();
    ASSERT_EQ(printed.size(), 3u);
    for (const std::string& line : printed)
        EXPECT_EQ(line.rfind(ERROR_COLOUR, 0), 0u) << line;
}

TEST_F(EnvelopeFiles, ZoneListsTakeTheObjectsThatFollowTheirLineUpToTheirCapacity)
{
    Object("early");
    MapObject* guard1 = Object("guard1");
    MapObject* guard2 = Object("guard2");
    Object("guard3");
    WriteMissionFile("mission.env", "create virtual Pen root\ncreate virtual Yard root\ncreate virtual Far root\n");
    ASSERT_TRUE(EnvelopeLoadMission(kFolder));
    WriteMissionFile("mission.zns",
                     "obj early\n"
                     "zone pen 2\n"
                     "obj guard1\n"
                     "obj nobody\n"
                     "obj GUARD2\n"
                     "obj guard3\n"
                     "zone Missing 3\n"
                     "obj guard3\n"
                     "zone Far 99999999999\n"
                     "obj guard3\n"
                     "zone Yard x\n"
                     "obj guard3\n");
    EXPECT_EQ(ZoneLoadMission(kFolder), 1);
    const EnvelopeObjectList* pen = EnvelopeFind("Pen")->GetObjectList();
    ASSERT_NE(pen, nullptr);
    ASSERT_EQ(pen->Count(), 2u);
    EXPECT_EQ(pen->At(0), guard1);
    EXPECT_EQ(pen->At(1), guard2);
    EXPECT_EQ(pen->current, 1u);
    // A zone the mission lacks, and one whose capacity no list can have, take nothing.
    EXPECT_EQ(EnvelopeFind("Far")->GetObjectList(), nullptr);
    const EnvelopeObjectList* yard = EnvelopeFind("Yard")->GetObjectList();
    ASSERT_NE(yard, nullptr);
    EXPECT_EQ(yard->Capacity(), 0u);
    EXPECT_EQ(yard->Count(), 0u);
    EXPECT_EQ(Console().size(), 2u);

    WriteMissionFile("mission.zns", "# nothing\n");
    EXPECT_EQ(ZoneLoadMission(kFolder), 0);
}

}  // namespace
