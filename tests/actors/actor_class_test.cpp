// Actor classes loaded from the sample data: the soldier class "default" and the class "scout" derived
// from it; the class table; the copy of a class.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "actors/actor_class.h"
#include "actors/anim_name_tables.h"
#include "tests/actors/actor_test_support.h"
#include "world/animation/anim_mesh.h"

namespace {

using actor_test::ClassFixture;
using actor_test::LogFrom;
using actor_test::LogSize;

// The file a mesh was read from, from its model folder on ("default\legs_idle"); "-" for none.
std::string File(const AnimMesh* mesh)
{
    if (!mesh)
        return "-";
    std::string name = mesh->name.Text();
    const size_t model = name.find("model\\");
    if (model != std::string::npos)
        name = name.substr(model + 6);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".aff") == 0)
        name.resize(name.size() - 4);
    return name;
}

// The files of an entry's slots up to its count, joined by blanks.
std::string Files(const AnimEntry& entry)
{
    std::string text;
    for (int slot = 0; slot < entry.animationCount; ++slot)
        text += (slot ? " " : "") + File(entry.animations[slot]);
    return text;
}

u8_t LegsCell(const ActorClassInfo& info, int group, LegsAnimId id, int pose)
{
    return info.legsNames[static_cast<size_t>(group) * LEGS_TABLE_ROW + id * ACTOR_POSES + pose];
}

u8_t TorsoCell(const ActorClassInfo& info, int group, TorsoAnimId id, int pose)
{
    return info.torsoNames[static_cast<size_t>(group) * TORSO_TABLE_ROW + id * ACTOR_POSES + pose];
}

::testing::AssertionResult SameEntry(const AnimEntry& a, const AnimEntry& b)
{
    if (a.animationCount != b.animationCount || a.reverse != b.reverse || a.speed != b.speed)
        return ::testing::AssertionFailure() << "count, reverse flag or speed differ";
    for (int slot = 0; slot < MAX_ANIM_ALIASES; ++slot) {
        if (a.animations[slot] != b.animations[slot])
            return ::testing::AssertionFailure() << "animation " << slot << " differs";
    }
    for (int slot = 0; slot < ANIM_TRIGGER_SLOTS; ++slot) {
        const AnimModify& ma = a.modifications[slot];
        const AnimModify& mb = b.modifications[slot];
        if (a.triggerFrames[slot] != b.triggerFrames[slot] || ma.channel != mb.channel || ma.a != mb.a ||
            ma.b != mb.b || ma.c != mb.c)
            return ::testing::AssertionFailure() << "trigger slot " << slot << " differs";
        if (std::memcmp(&a.adjustments[slot], &b.adjustments[slot], sizeof(AnimAdjustBlock)) != 0)
            return ::testing::AssertionFailure() << "adjustments of slot " << slot << " differ";
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SameGroups(const std::vector<AnimGroup>& a, const std::vector<AnimGroup>& b)
{
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << a.size() << " groups against " << b.size();
    for (size_t g = 0; g < a.size(); ++g) {
        if (a[g].entryCount != b[g].entryCount || a[g].entries.size() != b[g].entries.size())
            return ::testing::AssertionFailure() << "group " << g << " has other counts";
        for (size_t e = 0; e < a[g].entries.size(); ++e) {
            ::testing::AssertionResult same = SameEntry(a[g].entries[e], b[g].entries[e]);
            if (!same)
                return same << " (group " << g << ", entry " << e << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

// Everything but the name.
::testing::AssertionResult SameClass(const ActorClassInfo& a, const ActorClassInfo& b)
{
    if (a.legsNames != b.legsNames || a.torsoNames != b.torsoNames || a.transitions != b.transitions ||
        a.phases != b.phases)
        return ::testing::AssertionFailure() << "name tables differ";
    if (a.legsGroupCount != b.legsGroupCount || a.torsoGroupCount != b.torsoGroupCount ||
        a.deathGroupCount != b.deathGroupCount || a.driveGroupCount != b.driveGroupCount)
        return ::testing::AssertionFailure() << "group counts differ";
    for (const auto& [ga, gb] : {std::pair{&a.legsGroups, &b.legsGroups},
                                 {&a.torsoGroups, &b.torsoGroups},
                                 {&a.interphaseGroups, &b.interphaseGroups},
                                 {&a.phaseGroups, &b.phaseGroups}}) {
        ::testing::AssertionResult same = SameGroups(*ga, *gb);
        if (!same)
            return same;
    }
    if (!SameGroups({a.headGroup}, {b.headGroup}))
        return ::testing::AssertionFailure() << "H_M0 differs";
    if (a.deathGroups.size() != b.deathGroups.size() || a.driveGroups.size() != b.driveGroups.size())
        return ::testing::AssertionFailure() << "death or drive groups differ";
    for (size_t g = 0; g < a.deathGroups.size(); ++g) {
        const DeathGroup& da = a.deathGroups[g];
        const DeathGroup& db = b.deathGroups[g];
        if (da.count != db.count || da.anims.size() != db.anims.size())
            return ::testing::AssertionFailure() << "death group " << g << " differs";
        for (size_t r = 0; r < da.anims.size(); ++r) {
            const DeathAnim& x = da.anims[r];
            const DeathAnim& y = db.anims[r];
            if (x.pose != y.pose || x.legs != y.legs || x.torso != y.torso || x.head != y.head ||
                x.minAngle != y.minAngle || x.maxAngle != y.maxAngle || x.excludeCount != y.excludeCount)
                return ::testing::AssertionFailure() << "death " << g << "." << r << " differs";
        }
    }
    for (size_t g = 0; g < a.driveGroups.size(); ++g) {
        for (size_t r = 0; r < a.driveGroups[g].anims.size(); ++r) {
            const DriveAnim& x = a.driveGroups[g].anims[r];
            const DriveAnim& y = b.driveGroups[g].anims[r];
            if (std::strcmp(x.name.Text(), y.name.Text()) != 0 || x.legs != y.legs || x.torso != y.torso)
                return ::testing::AssertionFailure() << "drive " << g << "." << r << " differs";
        }
    }
    for (size_t g = 0; g < a.legsGroupNames.size(); ++g) {
        if (std::strcmp(a.legsGroupNames[g].Text(), b.legsGroupNames[g].Text()) != 0)
            return ::testing::AssertionFailure() << "legs group name " << g << " differs";
    }
    for (size_t g = 0; g < a.torsoGroupNames.size(); ++g) {
        if (std::strcmp(a.torsoGroupNames[g].Text(), b.torsoGroupNames[g].Text()) != 0)
            return ::testing::AssertionFailure() << "torso group name " << g << " differs";
    }
    return ::testing::AssertionSuccess();
}

using SampleClasses = ClassFixture;

TEST_F(SampleClasses, TheDefaultSoldierLoadsItsTablesGroupsAndEntries)
{
    ActorClassInfo* info = Load("soldier", "default");
    ASSERT_NE(info, nullptr);
    const ActorClassInfo& c = *info;
    struct Case {
        const char* what;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"groups and their names",
         [&] {
             ASSERT_EQ(c.legsGroupCount, 2);
             ASSERT_EQ(c.torsoGroupCount, 1);
             EXPECT_STREQ(c.legsGroupNames[0].Text(), "rifle");
             EXPECT_STREQ(c.legsGroupNames[1].Text(), "unarmed");
             EXPECT_STREQ(c.torsoGroupNames[0].Text(), "rifle");
             EXPECT_EQ(c.legsNames.size(), 102u);
             EXPECT_EQ(c.torsoNames.size(), 12u);
             EXPECT_EQ(c.transitions.size(), 4u);
             EXPECT_EQ(c.phases.size(), 4u);
         }},
        {"entry counts",
         [&] {
             EXPECT_EQ(c.legsGroups[0].entryCount, 23);
             EXPECT_EQ(c.legsGroups[0].entries.size(), 23u);
             EXPECT_EQ(c.torsoGroups[0].entryCount, 0) << "torso entries are reached through the tables";
             EXPECT_EQ(c.torsoGroups[0].entries.size(), 8u);
             EXPECT_EQ(c.interphaseGroups[0].entries.size(), 5u) << "one per line";
             EXPECT_EQ(c.phaseGroups[0].entries.size(), 2u);
             EXPECT_EQ(c.headGroup.entryCount, 1);
             EXPECT_EQ(Files(c.headGroup.entries[0]), "default\\H_M0");
         }},
        {"a legs group without anim lines",
         [&] {
             EXPECT_EQ(c.legsGroups[1].entryCount, 0);
             EXPECT_TRUE(c.legsGroups[1].entries.empty());
             for (int cell = 0; cell < LEGS_TABLE_ROW; ++cell)
                 EXPECT_EQ(c.legsNames[LEGS_TABLE_ROW + cell], ANIM_CELL_NONE) << cell;
         }},
        {"the last idle line of a pose wins",
         [&] {
             EXPECT_EQ(LegsCell(c, 0, LEGS_IDLE, 0), 12);
             EXPECT_EQ(Files(c.legsGroups[0].entries[12]), "default\\legs_idle default\\legs_idle2");
             EXPECT_EQ(c.legsGroups[0].entries[12].speed, 20.0f);
             EXPECT_EQ(LegsCell(c, 0, LEGS_IDLE, 1), 13);
             EXPECT_EQ(LegsCell(c, 0, LEGS_IDLE, 2), 19);
         }},
        {"cells of the legs table",
         [&] {
             EXPECT_EQ(LegsCell(c, 0, LEGS_MOVE_FORWARD, 0), 1);
             EXPECT_EQ(LegsCell(c, 0, LEGS_MOVE_FORWARD, 2), 20);
             EXPECT_EQ(LegsCell(c, 0, LEGS_JUMP, 0), 9);
             EXPECT_EQ(LegsCell(c, 0, LEGS_PATROL_FORWARD, 0), 7);
             EXPECT_EQ(LegsCell(c, 0, LEGS_CROUCH_TO_STAY, 1), 17);
             EXPECT_EQ(LegsCell(c, 0, LEGS_PRONE_TO_CROUCH, 2), 22);
             EXPECT_TRUE(c.legsGroups[0].entries[2].reverse);
             EXPECT_EQ(Files(c.legsGroups[0].entries[2]), "default\\legs_walk");
         }},
        {"unset cells and ids 7 and 8 are 255",
         [&] {
             EXPECT_EQ(LegsCell(c, 0, LEGS_FAST_FORWARD, 1), ANIM_CELL_NONE);
             EXPECT_EQ(LegsCell(c, 0, LEGS_JUMP, 2), ANIM_CELL_NONE);
             for (int id : {7, 8})
                 for (int pose = 0; pose < ACTOR_POSES; ++pose)
                     EXPECT_EQ(LegsCell(c, 0, static_cast<LegsAnimId>(id), pose), ANIM_CELL_NONE) << id;
             EXPECT_EQ(TorsoCell(c, 0, TORSO_SHOT, 1), ANIM_CELL_NONE);
             EXPECT_EQ(c.phases[2], ANIM_CELL_NONE);
             EXPECT_EQ(c.phases[3], ANIM_CELL_NONE);
         }},
        {"an adjust line belongs to the anim line before it",
         [&] {
             const AnimAdjustBlock& block = c.legsGroups[0].entries[1].adjustments[0];
             ASSERT_EQ(block.torsoCount, 1);
             EXPECT_EQ(block.headCount, 0);
             EXPECT_EQ(block.torsoOffsets[0].y, 0.5f);
             EXPECT_STREQ(block.torsoNames[0], "rifle");
             EXPECT_EQ(block.torsoCodes[0], 0);
             EXPECT_EQ(block.torsoCodes[1], ANIM_ADJUST_NO_KEY);
         }},
        {"torso sections, interphases and phases",
         [&] {
             EXPECT_EQ(TorsoCell(c, 0, TORSO_AIM, 0), 0);
             EXPECT_EQ(TorsoCell(c, 0, TORSO_AIM, 1), 4);
             EXPECT_EQ(TorsoCell(c, 0, TORSO_POSE, 2), 7);
             EXPECT_EQ(TorsoCell(c, 0, TORSO_RELOAD, 0), 2);
             const AnimEntry& shot = c.torsoGroups[0].entries[1];
             EXPECT_EQ(shot.triggerFrames[0], 2);
             const AnimEntry& reload = c.torsoGroups[0].entries[2];
             EXPECT_EQ(reload.triggerFrames[1], 10);
             EXPECT_EQ(reload.modifications[1].channel, ANIM_CHANNEL_TORSO);
             EXPECT_EQ(reload.modifications[1].b, 0.2f);
             EXPECT_EQ(Files(c.torsoGroups[0].entries[6]), "default\\torso_prone");
             for (int id = 0; id < TORSO_TRANSITION_IDS; ++id)
                 EXPECT_EQ(c.transitions[id], id);
             EXPECT_EQ(c.interphaseGroups[0].entries[0].triggerFrames[0], 3);
             EXPECT_TRUE(c.interphaseGroups[0].entries[3].reverse);
             EXPECT_EQ(c.phases[0], 0);
             EXPECT_EQ(c.phases[1], 1);
         }},
        {"death sets",
         [&] {
             ASSERT_EQ(c.deathGroupCount, 2);
             ASSERT_EQ(c.deathGroups[0].count, 4);
             EXPECT_EQ(c.deathGroups[1].count, 3);
             const DeathAnim& back = c.deathGroups[0].anims[1];
             EXPECT_EQ(back.pose, 0);
             EXPECT_EQ(File(back.legs), "default\\death_stay_legs");
             EXPECT_EQ(File(back.torso), "default\\death_stay_torso");
             EXPECT_EQ(File(back.head), "default\\H_M0");
             EXPECT_EQ(back.legsSpeed, 20.0f);
             EXPECT_EQ(back.minAngle, 180.0f);
             EXPECT_EQ(back.maxAngle, 360.0f);
             EXPECT_EQ(c.deathGroups[0].anims[2].pose, 1);
             EXPECT_EQ(c.deathGroups[0].anims[3].pose, 2);
             EXPECT_EQ(c.deathGroups[1].anims[2].pose, 2);
         }},
        {"the seated animations",
         [&] {
             ASSERT_EQ(c.driveGroupCount, 1);
             ASSERT_EQ(c.driveGroups[0].count, 1);
             const DriveAnim& drive = c.driveGroups[0].anims[0];
             EXPECT_STREQ(drive.name.Text(), "jeep_driver");
             EXPECT_EQ(File(drive.legs), "default\\drive_legs");
             EXPECT_EQ(File(drive.torso), "default\\drive_torso");
             EXPECT_EQ(drive.legsSpeed, 25.0f);
         }},
    };
    for (const Case& check : cases) {
        SCOPED_TRACE(check.what);
        check.check();
    }
}

TEST_F(SampleClasses, ScoutKeepsWhatItDoesNotMentionAndReplacesWhatItDoes)
{
    ActorClassInfo* base = Load("soldier", "default");
    ActorClassInfo* scout = Load("scout", "scout");
    ASSERT_NE(base, nullptr);
    ASSERT_NE(scout, nullptr);
    ASSERT_NE(scout, base);
    EXPECT_STREQ(scout->name.Text(), "scout");
    // Replaced: the first legs entry and the first torso entry, with the cell of the line.
    EXPECT_EQ(Files(scout->legsGroups[0].entries[0]), "scout\\legs_idle");
    EXPECT_EQ(scout->legsGroups[0].entries[0].speed, 20.0f);
    EXPECT_EQ(LegsCell(*scout, 0, LEGS_IDLE, 0), 0);
    EXPECT_EQ(Files(scout->torsoGroups[0].entries[0]), "scout\\torso_aim");
    // Kept: every other entry, cell, group, death, seat and the head.
    for (size_t e = 1; e < base->legsGroups[0].entries.size(); ++e)
        EXPECT_TRUE(SameEntry(scout->legsGroups[0].entries[e], base->legsGroups[0].entries[e])) << e;
    for (size_t e = 1; e < base->torsoGroups[0].entries.size(); ++e)
        EXPECT_TRUE(SameEntry(scout->torsoGroups[0].entries[e], base->torsoGroups[0].entries[e])) << e;
    for (int cell = 0; cell < 2 * LEGS_TABLE_ROW; ++cell) {
        if (cell != LEGS_IDLE * ACTOR_POSES) {
            EXPECT_EQ(scout->legsNames[cell], base->legsNames[cell]) << cell;
        }
    }
    EXPECT_EQ(scout->torsoNames, base->torsoNames);
    EXPECT_TRUE(SameGroups(scout->interphaseGroups, base->interphaseGroups));
    EXPECT_TRUE(SameGroups({scout->headGroup}, {base->headGroup}));
    ASSERT_EQ(scout->deathGroupCount, base->deathGroupCount);
    EXPECT_EQ(scout->deathGroups[0].anims[1].head, base->deathGroups[0].anims[1].head);
    EXPECT_STREQ(scout->driveGroups[0].anims[0].name.Text(), "jeep_driver");
    // "default" itself is as it was loaded.
    EXPECT_EQ(Files(base->legsGroups[0].entries[0]), "default\\legs_idle");
    EXPECT_EQ(LegsCell(*base, 0, LEGS_IDLE, 0), 12);
}

TEST_F(SampleClasses, ADerivedClassWithoutScriptEqualsDefault)
{
    ActorClassInfo* base = Load("soldier", "default");
    ASSERT_NE(base, nullptr);
    const size_t before = LogSize();
    ActorClassInfo* sniper = Load("sniper", "sniper");
    ASSERT_NE(sniper, nullptr);
    EXPECT_NE(LogFrom(before).find("WARNING: Couldn't load script 'script\\sniper.scr'"), std::string::npos)
        << LogFrom(before);
    EXPECT_STREQ(sniper->name.Text(), "sniper");
    EXPECT_TRUE(SameClass(*sniper, *base));
}

TEST_F(SampleClasses, TheFirstLoadOfAClassNameWins)
{
    ActorClassInfo* base = Load("soldier", "default");
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(Load("scout", "DEFAULT"), base) << "the script name is not compared";
    ActorClassInfo* scout = Load("scout", "scout");
    EXPECT_EQ(Load("soldier", "Scout"), scout);
    EXPECT_EQ(ActorClassCount(), 2u);
    EXPECT_EQ(ActorClassFind("SCOUT"), scout);
    EXPECT_EQ(ActorClassFind("scou"), nullptr);
    EXPECT_EQ(ActorClassFind("scouts"), nullptr);
}

TEST_F(SampleClasses, WithoutDefaultAClassLoadsInFullAndAMissingScriptGivesNone)
{
    EXPECT_EQ(Load("nosuchscript", "default"), nullptr);
    EXPECT_EQ(ActorClassCount(), 0u);
    // "scout" loaded first stands on its own: only what its script names.
    ActorClassInfo* scout = Load("scout", "scout");
    ASSERT_NE(scout, nullptr);
    EXPECT_EQ(scout->legsGroups[0].entryCount, 1);
    EXPECT_EQ(scout->deathGroupCount, 0);
    EXPECT_EQ(scout->driveGroupCount, 0);
    EXPECT_EQ(scout->headGroup.entries[0].animationCount, 0) << "no head file in its folder";
}

TEST_F(SampleClasses, SixteenClassesAreFoundByNameAndASeventeenthIsRefused)
{
    ASSERT_NE(Load("soldier", "default"), nullptr);
    std::vector<std::string> names = {"default"};
    for (int i = 1; i < 16; ++i) {
        names.push_back("class" + std::to_string(i));
        ASSERT_NE(Load("scout", names.back().c_str()), nullptr) << names.back();
    }
    ASSERT_EQ(ActorClassCount(), 16u);
    for (u32_t slot = 0; slot < 16; ++slot)
        EXPECT_EQ(ActorClassFind(names[slot].c_str()), ActorClassAt(slot)) << names[slot];
    const size_t before = LogSize();
    EXPECT_EQ(Load("scout", "class16"), nullptr);
    EXPECT_EQ(ActorClassCount(), 16u);
    EXPECT_EQ(LogFrom(before), "WARNING: Actor class 'class16' not loaded: the table holds 16 classes\n");
    // Forgetting the table frees nothing: the records are still the caller's to free.
    ActorClassInfo* kept[16];
    for (u32_t slot = 0; slot < 16; ++slot)
        kept[slot] = ActorClassAt(slot);
    ActorClassInfosReset();
    EXPECT_EQ(ActorClassCount(), 0u);
    EXPECT_EQ(ActorClassFind("default"), nullptr);
    for (ActorClassInfo* info : kept) {
        EXPECT_FALSE(info->name.IsEmpty());
        delete info;
    }
}

TEST_F(SampleClasses, ChangingACopyOrFreeingEitherSideLeavesTheOtherIntact)
{
    ActorClassInfo* base = Load("soldier", "default");
    ASSERT_NE(base, nullptr);
    ActorClassInfo copy;
    ActorClassInfoCopy(base, &copy);
    ASSERT_TRUE(SameClass(copy, *base));

    copy.legsGroups[0].entries[0].speed = 99.0f;
    copy.legsGroups[0].entries[1].adjustments[0].torsoCount = 0;
    copy.legsNames[0] = 7;
    copy.deathGroups[0].anims[0].excludeNames.emplace_back("pistol");
    copy.legsGroupNames[0].Assign("changed");
    copy.driveGroups[0].anims[0].name.Assign("changed");
    EXPECT_EQ(base->legsGroups[0].entries[0].speed, 25.0f);
    EXPECT_EQ(base->legsGroups[0].entries[1].adjustments[0].torsoCount, 1);
    EXPECT_EQ(base->legsNames[0], 12);
    EXPECT_TRUE(base->deathGroups[0].anims[0].excludeNames.empty());
    EXPECT_STREQ(base->legsGroupNames[0].Text(), "rifle");
    EXPECT_STREQ(base->driveGroups[0].anims[0].name.Text(), "jeep_driver");

    {
        ActorClassInfo second;
        ActorClassInfoCopy(base, &second);
    }  // freeing a copy leaves the source whole
    EXPECT_STREQ(base->torsoGroupNames[0].Text(), "rifle");
    ActorClassInfosFree();  // and freeing the source leaves the copy whole
    EXPECT_STREQ(copy.torsoGroupNames[0].Text(), "rifle");
    EXPECT_EQ(copy.legsGroups[0].entries[12].animationCount, 2);
    EXPECT_EQ(copy.deathGroups[0].anims[0].excludeNames.size(), 1u);
}

TEST_F(SampleClasses, EveryDriveSectionNamesARecordOfEveryDriveGroup)
{
    ASSERT_TRUE(WriteFileBytes("script/drive3.scr",
                               "<DRIVE>\n"
                               "  <jeep> anim legs 25 drive_legs; anim torso 20 drive_torso; </jeep>\n"
                               "  <truck> anim torso 10 torso_pose; </truck>\n"
                               "  <boat> anim head 5 H_M0; anim legs 5 legs_idle; </boat>\n"
                               "</DRIVE>\n"));
    ActorClassInfo* info = Load("drive3", "default");
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(info->driveGroupCount, 3);
    ASSERT_EQ(info->driveGroups.size(), 3u);
    for (const DriveGroup& group : info->driveGroups) {
        ASSERT_EQ(group.count, 3);
        ASSERT_EQ(group.anims.size(), 3u);
        EXPECT_STREQ(group.anims[0].name.Text(), "jeep");
        EXPECT_EQ(File(group.anims[0].legs), "default\\drive_legs");
        EXPECT_EQ(group.anims[0].torsoSpeed, 20.0f);
        EXPECT_STREQ(group.anims[1].name.Text(), "truck");
        EXPECT_EQ(group.anims[1].legs, nullptr);
        EXPECT_EQ(File(group.anims[1].torso), "default\\torso_pose");
        EXPECT_STREQ(group.anims[2].name.Text(), "boat");
        EXPECT_EQ(File(group.anims[2].legs), "default\\legs_idle") << "a head channel is no drive channel";
        EXPECT_EQ(group.anims[2].torso, nullptr);
    }
    // Without LEGS, TORSO and DEATHS the class has no such groups.
    EXPECT_EQ(info->legsGroupCount, 0);
    EXPECT_EQ(info->torsoGroupCount, 0);
    EXPECT_EQ(info->deathGroupCount, 0);
}

}  // namespace
