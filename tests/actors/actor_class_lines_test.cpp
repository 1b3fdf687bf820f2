// The lines of class scripts: "anim" with its files and "reverseframes", "triggerframe", "modify",
// "adjust", the death and drive lines, and the name tables they fill; with their damaged forms, which
// are skipped with a warning.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>

#include "actors/actor_class.h"
#include "actors/anim_name_tables.h"
#include "tests/actors/actor_test_support.h"
#include "tools/aff_make/aff_writer.h"
#include "world/animation/anim_mesh.h"

namespace {

using actor_test::LogFrom;
using actor_test::LogSize;

// The file a mesh was read from ("lines\a"); "-" for none.
std::string File(const AnimMesh* mesh)
{
    if (!mesh)
        return "-";
    std::string name = mesh->name.Text();
    name = name.substr(name.find("model\\") + 6);
    return name.substr(0, name.size() - 4);
}

std::string Files(const AnimEntry& entry)
{
    std::string text;
    for (int slot = 0; slot < entry.animationCount; ++slot)
        text += (slot ? " " : "") + File(entry.animations[slot]);
    return text;
}

std::string Legs(const std::string& stay, const std::string& crouch = "")
{
    return "<LEGS><g><Stay>" + stay + "</Stay><Crouch>" + crouch + "</Crouch></g></LEGS>";
}

std::string Torso(const std::string& stayAim, const std::string& extra = "")
{
    return "<TORSO><g><Stay><aim>" + stayAim + "</aim></Stay>" + extra + "</g></TORSO>";
}

std::string Death(const std::string& definition)
{
    return "<DEATHS><set><Stay><d>" + definition + "</d></Stay></set></DEATHS>";
}

// A class "lines" (loaded in full: no "default" is registered) whose animation files are the small
// meshes a to e of its folder.
class ClassLines : public actor_test::ClassFixture {
protected:
    void SetUp() override
    {
        ClassFixture::SetUp();
        std::filesystem::create_directories("component/model/lines");
        aff::AffFile mesh;
        mesh.strings = {"part"};
        mesh.frames = {{{aff::TriangleMesh(0, {0, 0, 0}, {1, 0, 0}, {0, 1, 0})}}};
        for (const char* name : {"a", "b", "c", "d", "e"})
            ASSERT_TRUE(aff::WriteAff(std::string("component/model/lines/") + name + ".aff", mesh));
    }

    const ActorClassInfo* Read(const std::string& script)
    {
        ActorClassInfosFree();
        const std::string name = "case" + std::to_string(++m_cases);
        EXPECT_TRUE(WriteFileBytes("script/" + name + ".scr", script));
        m_logStart = LogSize();
        const ActorClassInfo* info = Load(name.c_str(), "lines");
        EXPECT_NE(info, nullptr);
        return info;
    }
    // The warnings of the last read about lines (not those about missing sections).
    int LineWarnings() const
    {
        std::istringstream log(LogFrom(m_logStart));
        int count = 0;
        for (std::string line; std::getline(log, line);) {
            if (line.rfind("WARNING: Actor class 'lines': ", 0) == 0 &&
                line.find("has no section") == std::string::npos)
                ++count;
        }
        return count;
    }
    std::string Log() const { return LogFrom(m_logStart); }

    int m_cases = 0;
    size_t m_logStart = 0;
};

struct LineCase {
    const char* what;
    std::string script;
    int warnings;  // line warnings expected
    std::function<void(const ActorClassInfo&, const std::string& log)> check;
};

const AnimEntry& LegsEntry(const ActorClassInfo& c, size_t index)
{
    return c.legsGroups.at(0).entries.at(index);
}

const AnimEntry& TorsoAim(const ActorClassInfo& c)
{
    return c.torsoGroups.at(0).entries.at(0);
}

u8_t Cell(const ActorClassInfo& c, LegsAnimId id, int pose)
{
    return c.legsNames[id * ACTOR_POSES + pose];
}

TEST_F(ClassLines, EachLineFillsItsEntryAndDamagedLinesAreSkipped)
{
    const std::string longName(70, 'n');
    std::string adjust32;
    for (int i = 0; i < 32; ++i)
        adjust32 += "adjust torso 0 " + std::to_string(i) + " 0 0 t" + std::to_string(i) + " 0;";
    const LineCase cases[] = {
        {"two files, then reverseframes", Legs("anim idle 25 a b reverseframes;"), 0,
         [](const ActorClassInfo& c, const std::string&) {
             const AnimEntry& e = LegsEntry(c, 0);
             EXPECT_EQ(Files(e), "lines\\a lines\\b");
             EXPECT_EQ(e.animationCount, 2);
             EXPECT_EQ(e.reverse, 1);
             EXPECT_EQ(e.speed, 25.0f);
             EXPECT_EQ(e.animations[2], nullptr);
         }},
        {"four files fill the four slots", Legs("anim idle 25 a b c d;"), 0,
         [](const ActorClassInfo& c, const std::string&) {
             EXPECT_EQ(Files(LegsEntry(c, 0)), "lines\\a lines\\b lines\\c lines\\d");
         }},
        {"a fifth file is skipped", Legs("anim idle 25 a b c d e;"), 1,
         [](const ActorClassInfo& c, const std::string& log) {
             EXPECT_EQ(Files(LegsEntry(c, 0)), "lines\\a lines\\b lines\\c lines\\d");
             EXPECT_NE(log.find("anim 'idle' names more than 4 files, 'e' ignored"), std::string::npos);
         }},
        {"reverseframes before the files leaves no empty slot", Legs("anim idle 25 reverseframes a;"), 0,
         [](const ActorClassInfo& c, const std::string&) {
             EXPECT_EQ(Files(LegsEntry(c, 0)), "lines\\a");
             EXPECT_EQ(LegsEntry(c, 0).reverse, 1);
         }},
        {"a file that does not load takes no slot", Legs("anim idle 25 a missing b;"), 0,
         [](const ActorClassInfo& c, const std::string& log) {
             EXPECT_EQ(Files(LegsEntry(c, 0)), "lines\\a lines\\b");
             EXPECT_NE(log.find("WARNING: Anim ..\\model\\lines\\missing not found"), std::string::npos);
         }},
        {"a speed that is not a number is 0", Legs("anim idle fast a;"), 0,
         [](const ActorClassInfo& c, const std::string&) { EXPECT_EQ(LegsEntry(c, 0).speed, 0.0f); }},
        {"modify head", Torso("anim aim 25 a; modify head 1 0.5 0 0;"), 0,
         [](const ActorClassInfo& c, const std::string&) {
             const AnimModify& m = TorsoAim(c).modifications[1];
             EXPECT_EQ(m.channel, ANIM_CHANNEL_HEAD);
             EXPECT_EQ(m.a, 0.5f);
             EXPECT_EQ(m.b, 0.0f);
             EXPECT_EQ(TorsoAim(c).modifications[0].channel, ANIM_CHANNEL_LEGS);
         }},
        {"modify with another channel keeps the code and sets the values",
         Torso("anim aim 25 a; modify torso 2 0 0 0; modify arm 2 1 2 3;"), 0,
         [](const ActorClassInfo& c, const std::string&) {
             const AnimModify& m = TorsoAim(c).modifications[2];
             EXPECT_EQ(m.channel, ANIM_CHANNEL_TORSO);
             EXPECT_EQ(m.a, 1.0f);
             EXPECT_EQ(m.b, 2.0f);
             EXPECT_EQ(m.c, 3.0f);
         }},
        {"triggerframe keeps 16 bits", Torso("anim aim 25 a; triggerframe 4 70000;"), 0,
         [](const ActorClassInfo& c, const std::string&) { EXPECT_EQ(TorsoAim(c).triggerFrames[4], 70000 & 0xFFFF); }},
        {"slot words outside 0 to 4",
         Torso("anim aim 25 a; triggerframe 5 10; modify head -1 1 1 1;") +
             Legs("anim idle 25 a; adjust torso 9 0 0 0 n 0;"),
         3,
         [](const ActorClassInfo& c, const std::string& log) {
             for (int slot = 0; slot < ANIM_TRIGGER_SLOTS; ++slot) {
                 EXPECT_EQ(TorsoAim(c).triggerFrames[slot], 0);
                 EXPECT_EQ(TorsoAim(c).modifications[slot].a, 0.0f);
                 EXPECT_EQ(LegsEntry(c, 0).adjustments[slot].torsoCount, 0);
             }
             EXPECT_NE(log.find("slot 5 of 'triggerframe' line is not 0 to 4, line ignored"), std::string::npos);
         }},
        {"adjust appends to the channel's list of its slot", Legs("anim idle 25 a; adjust head 2 1 2 3 helmet 257;"), 0,
         [](const ActorClassInfo& c, const std::string&) {
             const AnimAdjustBlock& block = LegsEntry(c, 0).adjustments[2];
             ASSERT_EQ(block.headCount, 1);
             EXPECT_EQ(block.torsoCount, 0);
             EXPECT_EQ(block.headOffsets[0].x, 1.0f);
             EXPECT_EQ(block.headOffsets[0].y, 2.0f);
             EXPECT_EQ(block.headOffsets[0].z, 3.0f);
             EXPECT_STREQ(block.headNames[0], "helmet");
             EXPECT_EQ(block.headCodes[0], 1) << "the low 8 bits of the code";
         }},
        {"adjust of another channel appends nothing", Legs("anim idle 25 a; adjust arm 0 1 1 1 x 0;"), 0,
         [](const ActorClassInfo& c, const std::string&) {
             EXPECT_EQ(LegsEntry(c, 0).adjustments[0].headCount, 0);
             EXPECT_EQ(LegsEntry(c, 0).adjustments[0].torsoCount, 0);
         }},
        {"a 32nd adjustment is skipped", Legs("anim idle 25 a;" + adjust32), 1,
         [](const ActorClassInfo& c, const std::string&) {
             const AnimAdjustBlock& block = LegsEntry(c, 0).adjustments[0];
             ASSERT_EQ(block.torsoCount, 31);
             EXPECT_STREQ(block.torsoNames[30], "t30");
             EXPECT_EQ(block.torsoOffsets[30].x, 30.0f);
             EXPECT_STREQ(block.torsoNames[31], "");
         }},
        {"an adjustment name of 70 characters keeps 63",
         Legs("anim idle 25 a; adjust torso 0 0 0 0 " + longName + " 0;"), 0,
         [](const ActorClassInfo& c, const std::string&) {
             EXPECT_EQ(std::string(LegsEntry(c, 0).adjustments[0].torsoNames[0]), std::string(63, 'n'));
         }},
        {"a line before any anim line of its group", Legs("adjust torso 0 1 1 1 x 0; anim idle 25 a;"), 1,
         [](const ActorClassInfo& c, const std::string& log) {
             EXPECT_EQ(LegsEntry(c, 0).adjustments[0].torsoCount, 0);
             EXPECT_NE(log.find("'adjust' line follows no anim line of its group, line ignored"), std::string::npos);
         }},
        {"a line refers to the group's last anim line, across pose sections",
         Legs("anim idle 25 a;", "adjust torso 0 1 1 1 x 0; anim idle 25 b;"), 0,
         [](const ActorClassInfo& c, const std::string&) {
             EXPECT_EQ(LegsEntry(c, 0).adjustments[0].torsoCount, 1);
             EXPECT_EQ(LegsEntry(c, 1).adjustments[0].torsoCount, 0);
         }},
        {"a torso line before its section's anim line",
         Torso("anim aim 25 a;", "<Crouch><aim>triggerframe 0 5; anim aim 25 b;</aim></Crouch>"), 1,
         [](const ActorClassInfo& c, const std::string&) {
             EXPECT_EQ(TorsoAim(c).triggerFrames[0], 0) << "it belongs to no other section's animation";
             EXPECT_EQ(Files(c.torsoGroups[0].entries[1]), "lines\\b");
         }},
        {"lines with too few words",
         Legs("anim idle; anim; adjust torso 0 1;") + Torso("anim aim 25 a; modify head 1;"), 4,
         [](const ActorClassInfo& c, const std::string& log) {
             EXPECT_EQ(c.legsGroups[0].entries.size(), 2u) << "each anim line has its entry";
             EXPECT_EQ(LegsEntry(c, 0).animationCount, 0);
             EXPECT_EQ(Cell(c, LEGS_IDLE, 0), ANIM_CELL_NONE);
             EXPECT_EQ(TorsoAim(c).modifications[1].channel, ANIM_CHANNEL_LEGS);
             EXPECT_NE(log.find("'anim' line has 2 words, 3 needed; line ignored"), std::string::npos);
         }},
        {"names in capitals", Legs("anim IDLE 25 a; anim MoveForward 25 b;"), 0,
         [](const ActorClassInfo& c, const std::string&) {
             EXPECT_EQ(Cell(c, LEGS_IDLE, 0), 0);
             EXPECT_EQ(Cell(c, LEGS_MOVE_FORWARD, 0), 1);
         }},
        {"a name outside the legs names makes an entry and no cell", Legs("anim dance 25 a; anim idle 25 b;"), 0,
         [](const ActorClassInfo& c, const std::string&) {
             EXPECT_EQ(Files(LegsEntry(c, 0)), "lines\\a");
             EXPECT_EQ(Cell(c, LEGS_IDLE, 0), 1);
             for (int cell = 0; cell < LEGS_TABLE_ROW; ++cell) {
                 if (cell != LEGS_IDLE * ACTOR_POSES) {
                     EXPECT_EQ(c.legsNames[cell], ANIM_CELL_NONE) << cell;
                 }
             }
         }},
        {"two idle lines in Crouch: the second wins", Legs("", "anim idle 25 a; anim idle 25 b;"), 0,
         [](const ActorClassInfo& c, const std::string&) {
             EXPECT_EQ(Cell(c, LEGS_IDLE, 1), 1);
             EXPECT_EQ(Cell(c, LEGS_IDLE, 0), ANIM_CELL_NONE);
         }},
        {"legs transition names go to the legs table",
         Legs("anim stay2crouch 25 a;") + Torso("anim aim 25 a;", "<Interphases>anim stay2crouch 25 b;</Interphases>"),
         0,
         [](const ActorClassInfo& c, const std::string&) {
             EXPECT_EQ(Cell(c, LEGS_STAY_TO_CROUCH, 0), 0);
             EXPECT_EQ(c.transitions[TRANSITION_STAY_TO_CROUCH], 0);
             EXPECT_EQ(Files(c.interphaseGroups[0].entries[0]), "lines\\b");
             for (int id = 0; id < TORSO_MOVE_PHASE_IDS; ++id)
                 EXPECT_EQ(c.phases[id], ANIM_CELL_NONE) << "no Phases section";
         }},
        {"death channels and angles",
         Death("anim legs 10 a; anim torso 11 b; anim head 12 c; anim arm 1 d; minangle 45; maxangle 135.5;"), 0,
         [](const ActorClassInfo& c, const std::string&) {
             const DeathAnim& d = c.deathGroups.at(0).anims.at(0);
             EXPECT_EQ(File(d.legs), "lines\\a");
             EXPECT_EQ(File(d.torso), "lines\\b");
             EXPECT_EQ(File(d.head), "lines\\c");
             EXPECT_EQ(d.legsSpeed, 10.0f);
             EXPECT_EQ(d.torsoSpeed, 11.0f);
             EXPECT_EQ(d.headSpeed, 12.0f);
             EXPECT_EQ(d.minAngle, 45.0f);
             EXPECT_EQ(d.maxAngle, 135.5f);
             EXPECT_EQ(d.sound, nullptr);
         }},
        {"a second exclude line replaces the first; a bare one changes nothing",
         Death("exclude rifle pistol; exclude knife; exclude;"), 0,
         [](const ActorClassInfo& c, const std::string&) {
             const DeathAnim& d = c.deathGroups.at(0).anims.at(0);
             ASSERT_EQ(d.excludeCount, 1u);
             ASSERT_EQ(d.excludeNames.size(), 1u);
             EXPECT_STREQ(d.excludeNames[0].Text(), "knife");
         }},
        {"a death definition without lines", Death(""), 0,
         [](const ActorClassInfo& c, const std::string&) {
             const DeathAnim& d = c.deathGroups.at(0).anims.at(0);
             EXPECT_EQ(d.legs, nullptr);
             EXPECT_EQ(d.torso, nullptr);
             EXPECT_EQ(d.head, nullptr);
             EXPECT_EQ(d.minAngle, 0.0f);
             EXPECT_EQ(d.maxAngle, 0.0f);
             EXPECT_EQ(d.excludeCount, 0u);
         }},
        {"short death lines", Death("anim legs 10; minangle;"), 2,
         [](const ActorClassInfo& c, const std::string&) { EXPECT_EQ(c.deathGroups.at(0).anims.at(0).legs, nullptr); }},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.what);
        const ActorClassInfo* info = Read(c.script);
        ASSERT_NE(info, nullptr);
        c.check(*info, Log());
        EXPECT_EQ(LineWarnings(), c.warnings) << Log();
    }
}

TEST_F(ClassLines, AFreshEntryAndAFreshAdjustBlockAreEmpty)
{
    AnimEntry entry;
    EXPECT_EQ(entry.animationCount, 0);
    EXPECT_EQ(entry.reverse, 0);
    EXPECT_EQ(entry.speed, 0.0f);
    for (int slot = 0; slot < MAX_ANIM_ALIASES; ++slot) {
        EXPECT_EQ(entry.animations[slot], nullptr);
        EXPECT_EQ(entry.slotSpeed[slot], 0.0f);
    }
    for (int slot = 0; slot < ANIM_TRIGGER_SLOTS; ++slot) {
        EXPECT_EQ(entry.triggerFrames[slot], 0);
        EXPECT_EQ(entry.modifications[slot].channel, ANIM_CHANNEL_LEGS);
        const AnimAdjustBlock& block = entry.adjustments[slot];
        EXPECT_EQ(block.headCount, 0);
        EXPECT_EQ(block.torsoCount, 0);
        for (int k = 0; k < ANIM_ADJUST_SLOTS; ++k) {
            EXPECT_EQ(block.headCodes[k], ANIM_ADJUST_NO_KEY);
            EXPECT_EQ(block.torsoCodes[k], ANIM_ADJUST_NO_KEY);
            EXPECT_EQ(block.headOffsets[k].x, 0.0f);
        }
    }
}

}  // namespace
