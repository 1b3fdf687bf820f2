// Damaged class scripts: every fault the class loader guards against, and a fixed-seed mutation loop
// over the sample class scripts. Whatever the script, the class keeps within its tables: every
// name-table cell addresses an entry of its group or is 255, and every count matches what it counts.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "actors/actor_class.h"
#include "actors/anim_name_tables.h"
#include "core/random.h"
#include "tests/actors/actor_test_support.h"

namespace {

using actor_test::LogFrom;
using actor_test::LogSize;

::testing::AssertionResult CellsWithin(const std::vector<u8_t>& cells, size_t row, const std::vector<AnimGroup>& groups,
                                       const char* table)
{
    for (size_t i = 0; i < cells.size(); ++i) {
        const size_t group = i / row;
        if (group >= groups.size())
            return ::testing::AssertionFailure() << table << " cell " << i << " has no group";
        if (cells[i] != ANIM_CELL_NONE && cells[i] >= groups[group].entries.size())
            return ::testing::AssertionFailure() << table << " cell " << i << " = " << int(cells[i]) << " past "
                                                 << groups[group].entries.size() << " entries";
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult EntriesWithin(const std::vector<AnimGroup>& groups)
{
    for (const AnimGroup& group : groups) {
        for (const AnimEntry& entry : group.entries) {
            if (entry.animationCount > MAX_ANIM_ALIASES)
                return ::testing::AssertionFailure() << "animation count " << entry.animationCount;
            for (int slot = 0; slot < entry.animationCount; ++slot) {
                if (!entry.animations[slot])
                    return ::testing::AssertionFailure() << "an empty slot below the count";
            }
            for (const AnimAdjustBlock& block : entry.adjustments) {
                if (block.headCount > ANIM_ADJUST_MAX || block.torsoCount > ANIM_ADJUST_MAX)
                    return ::testing::AssertionFailure() << "an adjustment list past 31";
            }
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult Consistent(const ActorClassInfo& c)
{
    const size_t legs = c.legsGroupCount;
    const size_t torso = c.torsoGroupCount;
    if (c.legsGroups.size() != legs || c.legsGroupNames.size() != legs || c.legsNames.size() != legs * LEGS_TABLE_ROW)
        return ::testing::AssertionFailure() << "legs counts disagree";
    if (c.torsoGroups.size() != torso || c.interphaseGroups.size() != torso || c.phaseGroups.size() != torso ||
        c.torsoGroupNames.size() != torso || c.torsoNames.size() != torso * TORSO_TABLE_ROW ||
        c.transitions.size() != torso * TORSO_TRANSITION_IDS || c.phases.size() != torso * TORSO_MOVE_PHASE_IDS)
        return ::testing::AssertionFailure() << "torso counts disagree";
    for (const AnimGroup& group : c.legsGroups) {
        if (group.entryCount != group.entries.size() || group.entries.size() > ACTOR_CLASS_MAX_ENTRIES)
            return ::testing::AssertionFailure() << "a legs group's count disagrees";
    }
    for (auto check : {CellsWithin(c.legsNames, LEGS_TABLE_ROW, c.legsGroups, "legs"),
                       CellsWithin(c.torsoNames, TORSO_TABLE_ROW, c.torsoGroups, "torso"),
                       CellsWithin(c.transitions, TORSO_TRANSITION_IDS, c.interphaseGroups, "transition"),
                       CellsWithin(c.phases, TORSO_MOVE_PHASE_IDS, c.phaseGroups, "phase"), EntriesWithin(c.legsGroups),
                       EntriesWithin(c.torsoGroups), EntriesWithin(c.interphaseGroups), EntriesWithin(c.phaseGroups)}) {
        if (!check)
            return check;
    }
    if (c.headGroup.entries.size() != 1)
        return ::testing::AssertionFailure() << "H_M0 group without its entry";
    if (c.deathGroups.size() != c.deathGroupCount || c.driveGroups.size() != c.driveGroupCount)
        return ::testing::AssertionFailure() << "death or drive group counts disagree";
    for (const DeathGroup& group : c.deathGroups) {
        if (group.anims.size() != group.count)
            return ::testing::AssertionFailure() << "a death group's count disagrees";
        for (const DeathAnim& death : group.anims) {
            if (death.pose >= ACTOR_POSES || death.excludeCount != death.excludeNames.size())
                return ::testing::AssertionFailure() << "a death record is out of its ranges";
        }
    }
    for (const DriveGroup& group : c.driveGroups) {
        if (group.anims.size() != group.count || group.count != c.driveGroupCount)
            return ::testing::AssertionFailure() << "a drive group's count disagrees";
    }
    return ::testing::AssertionSuccess();
}

class ActorClassRobustness : public actor_test::ClassFixture {
protected:
    ActorClassInfo* Read(const std::string& script, const char* className)
    {
        const std::string name = "damaged" + std::to_string(++m_scripts);
        EXPECT_TRUE(WriteFileBytes("script/" + name + ".scr", script));
        return Load(name.c_str(), className);
    }
    ActorClassInfo* LoadDefault()
    {
        ActorClassInfo* info = Load("soldier", "default");
        EXPECT_NE(info, nullptr);
        return info;
    }

    int m_scripts = 0;
};

std::string Repeat(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

TEST_F(ActorClassRobustness, EveryFaultOfAClassScriptIsReportedAndIgnored)
{
    struct Case {
        const char* what;
        bool derived;  // loaded over "default"
        std::string script;
        const char* warning;  // a text the log must hold
        std::function<void(const ActorClassInfo&)> check;
    };
    const Case cases[] = {
        {"a legs pose section Interphases or Phases", false,
         "<LEGS><g><Interphases>anim idle 25 legs_idle;</Interphases><Phases>anim jump 25 legs_jump;</Phases>"
         "<Stay>anim idle 25 legs_idle;</Stay></g></LEGS>",
         "legs group 'g' cannot hold a section 'Interphases', ignored",
         [](const ActorClassInfo& c) {
             EXPECT_EQ(c.legsGroups[0].entries.size(), 1u);
             EXPECT_EQ(c.legsNames[LEGS_IDLE * ACTOR_POSES], 0);
             EXPECT_EQ(c.legsNames[LEGS_JUMP * ACTOR_POSES], ANIM_CELL_NONE);
         }},
        {"pose sections of unknown names", false,
         "<LEGS><g><Walk>anim idle 25 legs_idle;</Walk><Stay>anim jump 25 legs_jump;</Stay></g></LEGS>"
         "<TORSO><g><Kneel><aim>anim aim 25 torso_aim;</aim></Kneel></g></TORSO>"
         "<DEATHS><d><Lying><x>anim legs 25 legs_idle;</x></Lying><Phases><y></y></Phases></d></DEATHS>",
         "section 'Walk' of 'g' is no pose section, ignored",
         [](const ActorClassInfo& c) {
             EXPECT_EQ(c.legsGroups[0].entries.size(), 1u);
             EXPECT_EQ(c.legsNames[LEGS_JUMP * ACTOR_POSES], 0);
             EXPECT_TRUE(c.torsoGroups[0].entries.empty());
             EXPECT_EQ(c.deathGroups[0].count, 0);
         }},
        {"a torso animation section with two anim lines", false,
         "<TORSO><g><Stay><aim>anim aim 25 torso_aim; triggerframe 0 4; anim aim 25 torso_pose; triggerframe 0 9;"
         "</aim><pose>anim pose 25 torso_pose;</pose></Stay></g></TORSO>",
         "torso section 'aim' of group 'g' holds a second anim line, ignored",
         [](const ActorClassInfo& c) {
             ASSERT_EQ(c.torsoGroups[0].entries.size(), 2u);
             EXPECT_EQ(c.torsoGroups[0].entries[0].triggerFrames[0], 4);
             EXPECT_EQ(c.torsoNames[TORSO_POSE * ACTOR_POSES], 1);
         }},
        {"a script without LEGS", false,
         "<TORSO><g><Stay><aim>anim aim 25 torso_aim;</aim></Stay></g></TORSO><DEATHS></DEATHS>",
         "has no section 'LEGS'",
         [](const ActorClassInfo& c) {
             EXPECT_EQ(c.legsGroupCount, 0);
             EXPECT_EQ(c.torsoGroupCount, 1);
         }},
        {"a script without TORSO", false, "<LEGS><g><Stay>anim idle 25 legs_idle;</Stay></g></LEGS><DEATHS></DEATHS>",
         "has no section 'TORSO'", [](const ActorClassInfo& c) { EXPECT_EQ(c.torsoGroupCount, 0); }},
        {"a script without DEATHS", false, "<LEGS><g><Stay>anim idle 25 legs_idle;</Stay></g></LEGS><TORSO></TORSO>",
         "has no section 'DEATHS'", [](const ActorClassInfo& c) { EXPECT_EQ(c.deathGroupCount, 0); }},
        {"an empty script", false, "", "has no section 'LEGS'",
         [](const ActorClassInfo& c) { EXPECT_EQ(c.headGroup.entries[0].animationCount, 1); }},
        {"more groups than default", true,
         Repeat("<LEGS>", 1) + Repeat("<g><Stay>anim idle 25 legs_run;</Stay></g>", 4) + "</LEGS><TORSO>" +
             Repeat("<g><Stay><aim>anim aim 25 torso_pose;</aim></Stay></g>", 3) + "</TORSO>",
         "legs group 'g' has no place in the groups of \"default\", ignored",
         [](const ActorClassInfo& c) {
             EXPECT_EQ(c.legsGroupCount, 2);
             EXPECT_EQ(c.legsGroups[1].entries.size(), 0u);
             EXPECT_EQ(c.torsoGroupCount, 1);
         }},
        {"more anim lines than default", true,
         "<LEGS><rifle><Stay>" + Repeat("anim idle 25 legs_run;", 30) + "</Stay></rifle></LEGS>",
         "no entry left in group 'rifle' for anim 'idle', line ignored",
         [](const ActorClassInfo& c) {
             EXPECT_EQ(c.legsGroups[0].entries.size(), 23u);
             EXPECT_EQ(c.legsNames[LEGS_IDLE * ACTOR_POSES], 22);
         }},
        {"a derived class without sections keeps default's deaths", true, "<OTHER></OTHER>", "",
         [](const ActorClassInfo& c) {
             EXPECT_EQ(c.deathGroupCount, 2);
             EXPECT_EQ(c.legsGroupCount, 2);
         }},
        {"more adjustments on a default entry than a list holds", true,
         "<LEGS><rifle><Stay>anim idle 25 legs_idle; anim moveforward 25 legs_walk;" +
             Repeat("adjust torso 0 1 1 1 x 0;", 40) + "</Stay></rifle></LEGS>",
         "torso adjustment list of slot 0 already holds 31, line ignored",
         [](const ActorClassInfo& c) { EXPECT_EQ(c.legsGroups[0].entries[1].adjustments[0].torsoCount, 31); }},
        {"more than 255 anim lines in a group", false,
         "<LEGS><g><Stay>" + Repeat("anim idle 25 legs_idle;", 300) + "</Stay></g></LEGS>",
         "only the first 255 are kept",
         [](const ActorClassInfo& c) {
             EXPECT_EQ(c.legsGroups[0].entries.size(), 255u);
             EXPECT_EQ(c.legsNames[LEGS_IDLE * ACTOR_POSES], 254);
         }},
        {"more than 255 legs groups", false, "<LEGS>" + Repeat("<g><Stay></Stay></g>", 300) + "</LEGS>",
         "only the first 255 are read", [](const ActorClassInfo& c) { EXPECT_EQ(c.legsGroupCount, 255); }},
        {"every fault of a line", false,
         "<LEGS><g><Stay>adjust torso 0 1 1 1 early 0; anim idle 25 legs_idle legs_walk legs_run legs_jump legs_fall "
         "legs_idle2; adjust torso 7 1 1 1 x 0; adjust head -1 1 1 1 x 0; adjust torso 0 1;" +
             Repeat("adjust head 1 1 1 1 " + std::string(80, 'h') + " 3;", 33) +
             "</Stay></g></LEGS><TORSO><g><Stay><aim>anim aim 25 torso_aim; triggerframe 9 1; modify torso 5 1 1 1;"
             "triggerframe 1;</aim></Stay></g></TORSO>",
         "anim 'idle' names more than 4 files",
         [](const ActorClassInfo& c) {
             const AnimEntry& idle = c.legsGroups[0].entries[0];
             EXPECT_EQ(idle.animationCount, 4);
             EXPECT_EQ(idle.adjustments[0].torsoCount, 0);
             EXPECT_EQ(idle.adjustments[1].headCount, 31);
             EXPECT_EQ(std::string(idle.adjustments[1].headNames[30]), std::string(63, 'h'));
             for (const AnimModify& modify : c.torsoGroups[0].entries[0].modifications)
                 EXPECT_EQ(modify.a, 0.0f);
         }},
        {"damaged words everywhere", false,
         "<LEGS><g><Stay>anim; anim idle x y z w v u t; adjust; adjust head x y z w v u t; triggerframe;</Stay></g>"
         "</LEGS><TORSO><g><Stay><aim>modify; modify head -7 1 1 1; anim aim nan torso_aim reverseframes "
         "reverseframes;</aim></Stay><Phases>anim t_m2_moveleft inf torso_pose;</Phases></g></TORSO>"
         "<DEATHS><d><Prone><x>anim; exclude; sound; minangle nope; anim legs 1e99 legs_idle;</x></Prone></d></DEATHS>"
         "<DRIVE><seat>anim; anim torso 5;</seat></DRIVE>",
         "line ignored",
         [](const ActorClassInfo& c) {
             EXPECT_EQ(c.torsoGroups[0].entries[0].speed, 0.0f);
             EXPECT_EQ(c.phaseGroups[0].entries[0].speed, 0.0f);
             EXPECT_EQ(c.deathGroups[0].anims[0].legsSpeed, 0.0f);
             EXPECT_EQ(c.deathGroups[0].anims[0].pose, 2);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ActorClassInfosFree();
        if (c.derived) {
            ASSERT_NE(LoadDefault(), nullptr);
        }
        const size_t before = LogSize();
        ActorClassInfo* info = Read(c.script, c.derived ? "derived" : "default");
        ASSERT_NE(info, nullptr);
        EXPECT_TRUE(Consistent(*info));
        c.check(*info);
        EXPECT_NE(LogFrom(before).find(c.warning), std::string::npos) << LogFrom(before);
    }
}

TEST_F(ActorClassRobustness, ASeventeenthClassIsRefused)
{
    ASSERT_NE(LoadDefault(), nullptr);
    for (int i = 1; i < 16; ++i)
        ASSERT_NE(
            Read("<LEGS><rifle><Stay>anim idle 25 legs_idle;</Stay></rifle></LEGS>", ("c" + std::to_string(i)).c_str()),
            nullptr);
    const size_t before = LogSize();
    EXPECT_EQ(Read("<LEGS></LEGS>", "c16"), nullptr);
    EXPECT_NE(LogFrom(before).find("WARNING: Actor class 'c16' not loaded"), std::string::npos);
    ASSERT_EQ(ActorClassCount(), 16u);
    for (u32_t slot = 0; slot < ActorClassCount(); ++slot)
        EXPECT_TRUE(Consistent(*ActorClassAt(slot))) << slot;
}

TEST_F(ActorClassRobustness, ManyDriveSectionsMakeASquareOfRecords)
{
    ActorClassInfo* info = Read("<DRIVE>" + Repeat("<s>anim legs 1 drive_legs;</s>", 40) + "</DRIVE>", "default");
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(Consistent(*info));
    EXPECT_EQ(info->driveGroupCount, 40);
}

// Replaces, inserts or deletes bytes at random places, or cuts the text short.
std::string Mutate(const std::string& text)
{
    static const char kAlphabet[] = "<>/;  \n\tabcdeSTAYCrouchProneInterphasesanimadjustmodify0123456789-.";
    std::string out = text;
    const int edits = 1 + EngineRand() % 8;
    for (int i = 0; i < edits && !out.empty(); ++i) {
        const size_t at = static_cast<size_t>(EngineRand()) % out.size();
        const char c = kAlphabet[EngineRand() % (sizeof kAlphabet - 1)];
        switch (EngineRand() % 5) {
            case 0:
                out[at] = c;
                break;
            case 1:
                out.insert(at, 1, c);
                break;
            case 2:
                out.erase(at, 1 + static_cast<size_t>(EngineRand() % 16));
                break;
            case 3: {
                // A piece of the text again, elsewhere: sections and lines multiply.
                const size_t from = static_cast<size_t>(EngineRand()) % out.size();
                out.insert(at, out.substr(from, static_cast<size_t>(EngineRand() % 200)));
                break;
            }
            default:
                out.resize(at);
                break;
        }
    }
    return out;
}

TEST_F(ActorClassRobustness, MutatedSampleScriptsLoadWithinTheirTables)
{
    const std::string soldier = ReadFileBytes(actor_test::SampleFolder() + "/script/soldier.scr");
    const std::string scout = ReadFileBytes(actor_test::SampleFolder() + "/script/scout.scr");
    ASSERT_FALSE(soldier.empty());
    ASSERT_FALSE(scout.empty());
    EngineSRand(20240611);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ActorClassInfosFree();
        // A damaged "default", then a damaged derived class over it (over the sample's "default" when
        // the damaged one is refused).
        ActorClassInfo* base = Read(Mutate(soldier), "default");
        if (!base)
            base = LoadDefault();
        ASSERT_NE(base, nullptr);
        ASSERT_TRUE(Consistent(*base));
        ActorClassInfo* derived = Read(Mutate(round % 2 ? scout : soldier), "derived");
        ASSERT_NE(derived, nullptr);
        ASSERT_TRUE(Consistent(*derived));
    }
}

}  // namespace
