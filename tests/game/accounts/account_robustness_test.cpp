// Damaged account files and chronology scripts: each file loads or is skipped; nothing reads past
// its bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "account_fixture.h"
#include "core/random.h"
#include "support/text_mutation.h"

namespace {

class AccountRobustness : public AccountTest {
protected:
    // A full account's file.
    std::string FullFile()
    {
        EXPECT_EQ(Create("full"), 0);
        PlayerAccount* account = AccountFindByName("full");
        account->AddCompletedCampaign("first");
        account->AddCompletedMission("map_01");
        account->gameModLists.push_back({EngineString("dm"), {EngineString("x")}});
        Savegame savegame;
        SavedObjectState crate;
        crate.name.Assign("crate");
        crate.kind = 4;
        crate.kindArea[34] = 2;
        crate.kindArea[36] = 1;
        crate.kindArea[38] = 2;
        SavedObjectState guard;
        guard.name.Assign("guard");
        guard.kind = 11;
        savegame.records = {crate, guard};
        account->GetMissionSavegames("map_01").AddSavegame(savegame);
        EXPECT_TRUE(AccountSave(*account));
        const std::string bytes = FileOf("full");
        AccountsShutdown();
        return bytes;
    }
    // Loads a folder holding the damaged file beside a good one: the good one always loads.
    void LoadBeside(const std::string& damaged)
    {
        WriteFileBytes(TempPath() + "/accounts/damaged.acc", damaged);
        AccountsInit();
        EXPECT_NE(AccountFindByName("good"), nullptr);
        AccountsShutdown();
    }
};

TEST_F(AccountRobustness, DamagedAccountFiles)
{
    const std::string full = FullFile();
    ASSERT_EQ(Create("good"), 0);
    AccountsShutdown();
    for (size_t n = 0; n < full.size(); ++n)
        LoadBeside(full.substr(0, n));

    // A record whose texts or counts overrun their fields.
    PlayerAccount account;
    account.name.Assign("over");
    std::vector<u8_t> record;
    AccountWriteRecord(account, record);
    struct Damage {
        const char* what;
        size_t at;
        u32_t value;
    } damages[] = {
        {"a name of 128 bytes", 0, 128},
        {"a count past the end", 4 + 4 + 4 + 4 + 4 + 4, 0x7FFFFFFFu},
        {"mode count 4", 4 + 4 + 4 + 4 + 4, 4},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        std::vector<u8_t> bad = record;
        bad[damage.at] = static_cast<u8_t>(damage.value);
        bad[damage.at + 1] = static_cast<u8_t>(damage.value >> 8);
        bad[damage.at + 2] = static_cast<u8_t>(damage.value >> 16);
        bad[damage.at + 3] = static_cast<u8_t>(damage.value >> 24);
        PlayerAccount read;
        EXPECT_FALSE(AccountReadRecord(read, bad.data(), static_cast<u32_t>(bad.size())));
    }
    // Kind 4 and kind 11 texts longer than their fields.
    for (u32_t kind : {4u, 11u}) {
        PlayerAccount holder;
        holder.name.Assign("k");
        Savegame savegame;
        SavedObjectState object;
        object.kind = kind;
        savegame.records.push_back(object);
        holder.GetMissionSavegames("m").AddSavegame(savegame);
        std::vector<u8_t> bytes;
        AccountWriteRecord(holder, bytes);
        // The first zero-counted text of the object is its count 1: make it 17 (kind 4) or 33 (kind 11).
        const u8_t pattern[4] = {1, 0, 0, 0};
        auto at = std::search(bytes.begin() + 300, bytes.end(), pattern, pattern + 4);
        ASSERT_NE(at, bytes.end());
        *at = static_cast<u8_t>(kind == 4 ? 17 : 33);
        PlayerAccount read;
        EXPECT_FALSE(AccountReadRecord(read, bytes.data(), static_cast<u32_t>(bytes.size()))) << kind;
    }

    const u32_t seed = EngineRandState();
    EngineSRand(1709);
    for (int round = 0; round < 300; ++round) {
        std::string bytes = full;
        const int edits = 1 + EngineRand() % 8;
        for (int e = 0; e < edits; ++e)
            bytes[static_cast<size_t>(EngineRand()) % bytes.size()] = static_cast<char>(EngineRand() & 0xFF);
        LoadBeside(bytes);
    }
    EngineSRand(seed);
}

TEST_F(AccountRobustness, DamagedChronologyScripts)
{
    const std::string text =
        "<first> name one; <MISSION> load map_01; need map_00 map_02; last; final; cut_begin v; </MISSION> </first>"
        "<second> need first; <MISSION> load map_02; </MISSION> </second>";
    ASSERT_EQ(Create("bob"), 0);
    VideoSetFullscreenHook([](const char*) {});
    for (const test_support::TextDamage& damage : test_support::CommonTextDamages()) {
        SCOPED_TRACE(damage.what);
        WriteFileBytes(TempPath() + "/script/chronolist_0.scr", damage.make(text));
        DestroyScriptCache();
        CreateScriptCache();
        GetCurrentAccount()->AddCompletedMission("map_00");
        ax_determinenextmission.value.handler(nullptr);
        ax_setmissionname.value.handler(nullptr);
        ax_getcutscene_begin.value.handler(nullptr);
        EXPECT_LE(g_game.accounts.missionFiles.size(), 15u);
    }
}

}  // namespace
