// Damaged "mission.env" and "mission.zns" files: every truncation, the named damages and fixed-seed
// mutation rounds go through both readers with the table, the markers and the zones' lists cleared
// after each; no crash, no read past a line's values, and the tables stay within their capacity.
#include <gtest/gtest.h>

#include <string>

#include "ai/soldier/ai_state.h"
#include "ai/envelopes/envelope_files.h"
#include "ai/envelopes/envelope_markers.h"
#include "core/random.h"
#include "envelope_fixture.h"
#include "support/text_mutation.h"

namespace {

const char kEnv[] =
    "create dobj Crate crate01 root hCrate\n"
    "create aabox Gate Yard -10 0 -10 10 20 10 hGate\n"
    "create virtual Yard root\n"
    "create code Alarm hAlarm\n"
    "create point Flag Yard 40 7 60 25 hFlag\n"
    "create zone Pen Gate 1 4 0 0 9 100 0 9 100 100 9 0 100 9 hPen\n"
    "create zone Hook root 0 5 0 0 0 50 0 0 50 50 0 25 10 0 0 50 0\n"
    "create camera Cam cam01 root\n"
    "oz north 10 20 ff0000ff\n"
    "oz \"south gate\" 1.5 -2 80ff\n";

const char kZones[] =
    "obj crate01\n"
    "zone Pen 2\n"
    "obj guard1\n"
    "obj guard2\n"
    "obj guard1\n"
    "zone Hook 1\n"
    "obj crate01\n";

class EnvelopeFilesRobustness : public EnvelopeMission {
protected:
    void SetUp() override
    {
        EnvelopeMission::SetUp();
        Object("crate01");
        Object("guard1");
        Object("guard2");
    }
    // Reads the pair of files, checks the tables' bounds, and clears what they made.
    void ReadPair(const std::string& env, const std::string& zones)
    {
        WriteMissionFile("mission.env", env);
        WriteMissionFile("mission.zns", zones);
        EXPECT_TRUE(EnvelopeLoadMission(kFolder));
        ZoneLoadMission(kFolder);
        EXPECT_LE(EnvelopeMarkerCount(), ENVELOPE_MARKER_SLOTS);
        for (const Envelope* envelope : g_ai.envelopes) {
            const EnvelopeObjectList* list = envelope ? envelope->GetObjectList() : nullptr;
            if (list) {
                EXPECT_LE(list->Count(), list->Capacity());
            }
        }
        EnvelopeDestroyAll();
        ConClear(0);
    }
};

TEST_F(EnvelopeFilesRobustness, EveryTruncationAndNamedDamageReads)
{
    const std::string env = kEnv, zones = kZones;
    for (size_t length = 0; length <= env.size(); ++length)
        ReadPair(env.substr(0, length), zones.substr(0, length % (zones.size() + 1)));
    for (const test_support::TextDamage& damage : test_support::CommonTextDamages()) {
        SCOPED_TRACE(damage.what);
        ReadPair(damage.make(env), damage.make(zones));
    }
}

TEST_F(EnvelopeFilesRobustness, MutatedFilesRead)
{
    const u32_t seed = EngineRandState();
    EngineSRand(5301);
    for (int round = 0; round < 400; ++round)
        ReadPair(test_support::MutateText(kEnv), test_support::MutateText(kZones));
    EngineSRand(seed);
}

}  // namespace
