// Damaged "netmodes.def" files through the mission search of game modes: named damages and
// fixed-seed mutation rounds, on disk and in an archive. No crash, no read past a value, and a
// mission is collected only when one of its lines still names the mode as its first value.
#include <gtest/gtest.h>

#include <string>

#include "core/core_cvars.h"
#include "core/files/def_file.h"
#include "core/random.h"
#include "core/files/vfs.h"
#include "game/game_cvars.h"
#include "game/commands/game_mod_commands.h"
#include "game/commands/game_mod_registry.h"
#include "support/archive_builder.h"
#include "support/files.h"
#include "support/keep_var.h"
#include "support/text_mutation.h"
#include "support/vfs_fixture.h"

namespace {

const char kNetModes[] =
    "mode skirmish\n"
    "; a comment line\n"
    "mode   Patrol   extra values 12\n"
    "other\n";

class NetModesRobustness : public VfsTest {
protected:
    void SetUp() override
    {
        VfsTest::SetUp();
        gs_curmod.SetString("Patrol");
    }
    void TearDown() override
    {
        DefFileFreeAll();
        VfsTest::TearDown();
    }
    // Runs the search over one mission whose file holds the text; whether it was collected.
    static bool Collected(const std::string& text)
    {
        DefFileFreeAll();
        EXPECT_TRUE(WriteFileBytes("mission/m_damaged/netmodes.def", text));
        const s32_t found = GameModCollectMissions();
        EXPECT_LE(found, 1);
        // The parser's own reading of the same bytes decides whether the mode is named.
        DefFile* parsed = DefFileParse("netmodes.def", text.data(), static_cast<u32_t>(text.size()));
        const bool named = NetModesNameMode(parsed, "Patrol");
        DefFileRelease(parsed);
        EXPECT_EQ(found == 1, named) << "the search and the file agree";
        return found == 1;
    }
    KeepVar m_mode{gs_curmod};
};

TEST_F(NetModesRobustness, NamedDamagesNeitherCrashNorCollectAMissionTheFileNoLongerNames)
{
    EXPECT_TRUE(Collected(kNetModes));
    std::vector<test_support::TextDamage> damages = test_support::CommonTextDamages();
    damages.push_back({"values only on the key", [](const std::string&) { return std::string("Patrol\nPatrol\n"); }});
    damages.push_back({"a value longer than any line buffer",
                       [](const std::string&) { return "mode " + std::string(5000, 'P') + "\n"; }});
    damages.push_back({"no line end", [](const std::string&) { return std::string("mode patrol"); }});
    for (const test_support::TextDamage& damage : damages) {
        SCOPED_TRACE(damage.what);
        Collected(damage.make(kNetModes));
    }
}

TEST_F(NetModesRobustness, FixedSeedMutationsOnDiskAndInAnArchive)
{
    EngineSRand(6216);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        Collected(test_support::MutateText(kNetModes));
    }
    // The same through the archive search, one archive a round.
    std::filesystem::remove_all("mission");
    EngineSRand(6217);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        VFSShutdown();
        DefFileFreeAll();
        ASSERT_TRUE(
            WriteTestArchive("main.bfs", {{"mission\\m_packed\\netmodes.def", test_support::MutateText(kNetModes)}}));
        ASSERT_TRUE(VFSInit());
        const s32_t found = GameModCollectMissions();
        EXPECT_LE(found, 1);
    }
}

}  // namespace
