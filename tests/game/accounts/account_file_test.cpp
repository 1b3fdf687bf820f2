// Account files: the bytes of a new account against an independent writer, round trips, merging,
// the limits of texts and counts, and writes that never lose the old file.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include "account_fixture.h"
#include "core/files/uff_file.h"
#include "platform/file_system.h"

namespace {

// Little-endian bytes written the plain way, apart from the engine's writers.
struct Bytes {
    std::string data;
    void U8(unsigned v) { data += static_cast<char>(v & 0xFF); }
    void U32(unsigned v)
    {
        for (int i = 0; i < 4; ++i)
            U8(v >> (8 * i));
    }
    void Text(const std::string& t)
    {
        U32(static_cast<unsigned>(t.size()));
        data += t;
    }
};

// The whole file of an account whose record is `record`: header, data, then the directory of the
// empty "account" entry and its child, both at offset 8.
std::string AccountFileBytes(const std::string& name, const std::string& record)
{
    Bytes file;
    file.data = "UFF 1.0\n" + record;
    const unsigned directory = static_cast<unsigned>(file.data.size());
    file.U32(2);  // names
    file.U32(2);  // entries
    // Entry 0 "account": no sibling, child 1, no parent, offset 8, size 0, name 0.
    file.U8(0xFF), file.U8(1), file.U8(0xFF), file.U32(8), file.U32(0), file.U8(0);
    // Entry 1: no sibling, no child, parent 0, offset 8, the record's size, name 1.
    file.U8(0xFF), file.U8(0xFF), file.U8(0), file.U32(8), file.U32(static_cast<unsigned>(record.size())), file.U8(1);
    file.U32(static_cast<unsigned>(std::string("account").size() + 1 + name.size() + 1));
    file.data += std::string("account") + '\0' + name + '\0';
    file.U32(directory);
    return file.data;
}

TEST_F(AccountTest, ANewAccountsFileMatchesTheFormat)
{
    ASSERT_EQ(Create("bob", "pw"), 0);
    PlayerAccount* bob = AccountFindByName("bob");
    Bytes record;
    for (const char* text : {"bob", "bob", "pw", language.String()})
        record.Text(text);
    record.U32(3);
    for (int i = 0; i < 6; ++i)
        record.U32(0);
    for (int a = 0; a < 255; ++a)
        record.U8(bob->keyBindings[a]);
    for (int i = 0; i < 11; ++i)
        record.Text("");
    record.Text("component\\gui\\player_picture\\default.dds");
    record.U32(0);
    for (int i = 0; i < 3; ++i)
        record.U8(0);
    for (int i = 0; i < ACCOUNT_OPTION_COUNT; ++i) {
        record.Text(kAccountOptionNames[i]);
        const ConsoleVar* cvar = FindCVar(kAccountOptionNames[i]);
        record.Text(cvar ? cvar->ValueToText() : bob->optionValues[i].Text());
    }
    EXPECT_EQ(FileOf("bob"), AccountFileBytes("bob", record.data));
    EXPECT_EQ(bob->keyBindings[0], KeyCodeFromName("DIK_W"));
}

SavedObjectState Object(const char* name, u32_t kind)
{
    SavedObjectState object;
    object.name.Assign(name);
    object.kind = kind;
    object.position.x = 1.5f;
    object.rotation.z = -2.0f;
    u8_t* area = object.kindArea;
    if (kind == 2) {
        area[0] = 7;
        area[4] = 9;
    } else if (kind == 4) {
        std::strcpy(reinterpret_cast<char*>(area), "fifteen chars..");
        std::strcpy(reinterpret_cast<char*>(area + 16), "b");
        area[32] = 1;
        area[33] = 2;
    } else if (kind == 11) {
        area[0] = 7;
        std::strcpy(reinterpret_cast<char*>(area + 28), "a text of thirty-one characters");
        area[60] = 9;
        const float y = 4.0f;
        std::memcpy(area + 20, &y, 4);
    }
    return object;
}

TEST_F(AccountTest, AFullAccountRoundTrips)
{
    PlayerAccount account;
    account.name.Assign("full");
    account.password.Assign("pw");
    account.SetDefaultKeys();
    account.gameModLists.push_back({EngineString("deathmatch"), {EngineString("a"), EngineString("b")}});
    for (s32_t mode = 0; mode < 3; ++mode) {
        SetSinglePlayerMode(mode);
        account.AddCompletedCampaign(("campaign" + std::to_string(mode)).c_str());
        account.AddCompletedMission("map_01");
        account.AddCompletedMission("MAP_01");
        Savegame savegame;
        savegame.viewPitch = 0.25f + static_cast<float>(mode);
        savegame.records = {Object("jeep", 2), Object("crate", 4), Object("guard", 11), Object("tree", 7)};
        u8_t* crate = savegame.records[1].kindArea;
        crate[34] = 3;
        for (u8_t b : {36, 38, 40, 41})
            crate[b] = b == 36 ? 1 : (b == 38 ? 2 : 0xFF);
        crate[42] = 0xFF;
        account.GetMissionSavegames("map_01").AddSavegame(savegame);
        savegame.records[1] = Object("crate", 4);
        account.GetMissionSavegames("Map_01").AddSavegame(savegame);
    }
    SetSinglePlayerMode(0);
    std::vector<u8_t> bytes;
    AccountWriteRecord(account, bytes);

    PlayerAccount read;
    ASSERT_TRUE(AccountReadRecord(read, bytes.data(), static_cast<u32_t>(bytes.size())));
    std::vector<u8_t> again;
    AccountWriteRecord(read, again);
    EXPECT_EQ(again, bytes);
    EXPECT_EQ(SinglePlayerMode(), 0) << "the mode is put back";
    ASSERT_EQ(read.modes[2].savegames.size(), 1u) << "two entries of one mission are one";
    const Savegame& second = read.modes[2].savegames[0].savegames[1];
    EXPECT_EQ(second.viewPitch, 2.25f);
    ASSERT_EQ(second.records.size(), 4u);
    EXPECT_EQ(second.records[1].kindArea[34], 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(second.records[2].kindArea + 28), "a text of thirty-one characters");
    EXPECT_EQ(second.valid, 1);
    EXPECT_FALSE(second.areasWhole) << "the file keeps a part of the actors' areas";
    EXPECT_EQ(read.modes[1].completedMissions.size(), 1u);
    EXPECT_STREQ(read.gameModLists[0].strings[1].Text(), "b");
}

TEST_F(AccountTest, LimitsOfTextsCountsAndModes)
{
    PlayerAccount account;
    account.name.Assign("limits");
    account.leaderMessage.Assign(std::string(200, 'x').c_str());
    for (int i = 0; i < 300; ++i)
        account.GetMissionSavegames(("m" + std::to_string(i)).c_str());
    std::vector<u8_t> bytes;
    AccountWriteRecord(account, bytes);
    PlayerAccount read;
    ASSERT_TRUE(AccountReadRecord(read, bytes.data(), static_cast<u32_t>(bytes.size())));
    EXPECT_EQ(read.leaderMessage.Length(), 127u) << "a text is cut to what can be read back";
    EXPECT_EQ(read.modes[0].savegames.size(), 255u) << "the one-byte count never wraps";

    // A mode count of 2 fills modes 0 and 1 and leaves mode 2 empty.
    Bytes two;
    for (const char* text : {"two", "", "", ""})
        two.Text(text);
    two.U32(2);
    for (int mode = 0; mode < 2; ++mode) {
        two.U32(0);
        two.U32(1);
        two.Text("done");
    }
    for (int a = 0; a < 255; ++a)
        two.U8(0);
    for (int i = 0; i < 12; ++i)
        two.Text("");
    two.U32(0);
    two.U8(0), two.U8(0);
    for (int i = 0; i < 2 * ACCOUNT_OPTION_COUNT; ++i)
        two.Text("");
    PlayerAccount fromTwo;
    ASSERT_TRUE(AccountReadRecord(fromTwo, reinterpret_cast<const u8_t*>(two.data.data()),
                                  static_cast<u32_t>(two.data.size())));
    EXPECT_EQ(fromTwo.modes[0].completedMissions.size(), 1u);
    EXPECT_EQ(fromTwo.modes[1].completedMissions.size(), 1u);
    EXPECT_TRUE(fromTwo.modes[2].completedMissions.empty());
}

TEST_F(AccountTest, AFailedWriteLeavesThePreviousFile)
{
    ASSERT_EQ(Create("bob"), 0);
    const std::string before = FileOf("bob");
    PlayerAccount* bob = AccountFindByName("bob");
    bob->leaderMessage.Assign(std::string(100, 'm').c_str());
    for (int i = 0; i < 200; ++i)
        bob->GetMissionSavegames(("mission" + std::to_string(i)).c_str());
    // Files may grow to a few hundred bytes: the new file fails half-way.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 600;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = AccountSave(*bob);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(FileOf("bob"), before);
    EXPECT_FALSE(std::filesystem::exists(TempPath() + "/accounts/bob.acc" + ATOMIC_WRITE_SUFFIX));
}

}  // namespace
