// Accounts: creation and its refusals, log-in and log-out, removal, key bindings and settings.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "account_fixture.h"
#include "core/input/actions.h"
#include "game/mission/game_flow.h"
#include "game/commands/game_mod_registry.h"
#include "support/engine_log.h"

namespace {

struct CreateCase {
    const char* name;
    const char* password;
    const char* repeat;
    s32_t result;
    const char* message;  // "" when accepted
};

TEST_F(AccountTest, CreationRefusalsLeaveListAndDiskUnchanged)
{
    ASSERT_EQ(Create("bob"), 0);
    const std::string bobFile = FileOf("bob");
    ASSERT_FALSE(bobFile.empty());
    const CreateCase cases[] = {
        {"", "pw", "pw", 1, "_fnmsg_empty_acc_name"},
        {"ab", "pw", "pw", 1, "_fnmsg_too_short_acc_name"},
        {"amy", "pw", "px", 1, "_fnmsg_password_match_error"},
        {"Bob", "pw", "pw", 1, "_fnmsg_account_exists"},
        {"../x", "pw", "pw", 1, "_fnmsg_invalid_acc_name"},
        {"a\\b", "pw", "pw", 1, "_fnmsg_invalid_acc_name"},
        {"c:dd", "pw", "pw", 1, "_fnmsg_invalid_acc_name"},
        {"ann", "Secret", "sECRET", 0, ""},
        {"eve", "", "", 0, ""},
    };
    for (const CreateCase& c : cases) {
        SCOPED_TRACE(c.name);
        const s32_t before = AccountCount();
        g_gui.lastMessageKey.Assign("");
        EXPECT_EQ(Create(c.name, c.password, c.repeat), c.result);
        EXPECT_STREQ(g_gui.lastMessageKey.Text(), c.message);
        EXPECT_EQ(AccountCount(), before + (c.result == 0 ? 1 : 0));
        if (c.result == 0) {
            EXPECT_FALSE(FileOf(c.name).empty());
        }
    }
    EXPECT_EQ(FileOf("bob"), bobFile);
    EXPECT_FALSE(std::filesystem::exists(TempPath() + "/x.acc"));
}

TEST_F(AccountTest, LogInAppliesTheAccountAndLogOffWritesIt)
{
    ASSERT_EQ(Create("bob", "Pass"), 0);
    PlayerAccount* bob = AccountFindByName("BOB");
    ASSERT_NE(bob, nullptr);
    // Stored settings: an empty boolean toggles, a number is set.
    bob->optionValues[15].Assign("");    // rbshadows
    bob->optionValues[27].Assign("80");  // gi_mousesensitivity
    bob->leaderMessage.Assign("follow me");
    bob->gameModLists.push_back({EngineString("Skirmish"), {EngineString("one"), EngineString("two")}});
    GameMod* mod = BeginGameModRegistration();
    ASSERT_NE(mod, nullptr);
    std::snprintf(mod->name, sizeof mod->name, "skirmish");
    GameModAppendMap(mod, "kept");
    EndGameModRegistration();
    ConsoleVar* shadows = FindCVar("rbshadows");
    ConsoleVar* sensitivity = FindCVar("gi_mousesensitivity");
    ASSERT_NE(shadows, nullptr);
    const bool shadowsBefore = shadows->Bool();
    as_accname.SetString("");

    EXPECT_EQ(LogIn("nobody", "Pass"), 1);
    EXPECT_STREQ(g_gui.lastMessageKey.Text(), "_fnmsg_no_current_account");
    EXPECT_EQ(LogIn("bob", "wrong"), 1);
    EXPECT_STREQ(g_gui.lastMessageKey.Text(), "_fnmsg_invalid_password");

    PlatformTestLocalTimeSet(13, 5);
    const size_t logBefore = engine_log::LogSize();
    EXPECT_EQ(LogIn("bob", "pASS"), 0);
    EXPECT_NE(engine_log::LogText().find("'bob' logged in (13:5).\n", logBefore), std::string::npos);
    EXPECT_EQ(shadows->Bool(), !shadowsBefore);
    if (sensitivity) {
        EXPECT_EQ(sensitivity->Int(), 80);
    }
    EXPECT_STREQ(as_leadmsg.String(), "follow me");
    ASSERT_EQ(GameModMapCount(mod), 2u) << "the account's list replaces what the game mode held";
    EXPECT_STREQ(GameModMapAt(mod, 0), "one");
    EXPECT_STREQ(GameModMapAt(mod, 1), "two");
    EXPECT_EQ(GetCurrentAccount(), bob);

    as_leadmsg.SetString("hold here");
    const std::string before = FileOf("bob");
    EXPECT_EQ(ax_logoff.value.handler(nullptr), 0);
    EXPECT_STREQ(as_accname.String(), "");
    EXPECT_NE(FileOf("bob"), before) << "log-off writes the file";
    EXPECT_NE(FileOf("bob").find("hold here"), std::string::npos);
    shadows->SetBool(shadowsBefore);
    GameModRegistryFree();
}

TEST_F(AccountTest, EachAccountKeepsItsOwnGameModeMapsAcrossTurns)
{
    ASSERT_EQ(Create("bob"), 0);
    ASSERT_EQ(Create("alice"), 0);
    PlayerAccount* bob = AccountFindByName("bob");
    PlayerAccount* alice = AccountFindByName("alice");
    bob->gameModLists.push_back({EngineString("skirmish"), {EngineString("bobmap")}});
    alice->gameModLists.push_back({EngineString("skirmish"), {EngineString("alicemap")}});
    GameMod* mod = BeginGameModRegistration();
    ASSERT_NE(mod, nullptr);
    std::snprintf(mod->name, sizeof mod->name, "skirmish");
    EndGameModRegistration();
    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE(round);
        for (const char* name : {"bob", "alice"}) {
            ASSERT_EQ(LogIn(name, "pw"), 0);
            ASSERT_EQ(GameModMapCount(mod), 1u);
            EXPECT_EQ(std::string(GameModMapAt(mod, 0)), std::string(name) + "map");
            ASSERT_EQ(ax_logoff.value.handler(nullptr), 0);
        }
        ASSERT_EQ(alice->gameModLists.size(), 1u);
        ASSERT_EQ(alice->gameModLists[0].strings.size(), 1u);
        EXPECT_STREQ(alice->gameModLists[0].strings[0].Text(), "alicemap");
        EXPECT_EQ(FileOf("alice").find("bobmap"), std::string::npos);
        EXPECT_EQ(FileOf("bob").find("alicemap"), std::string::npos);
    }
    // Logged off, the game modes hold nobody's maps for the next account made or logged in.
    EXPECT_EQ(GameModMapCount(mod), 0u);
    GameModRegistryFree();
}

TEST_F(AccountTest, RemovalNeedsThePassword)
{
    ASSERT_EQ(Create("bob", "pw"), 0);
    const std::string file = FileOf("bob");
    as_accname.SetString("bob");
    as_curpassword.SetString("nope");
    EXPECT_EQ(ax_removeacc.value.handler(nullptr), 1);
    EXPECT_EQ(AccountCount(), 1);
    EXPECT_EQ(FileOf("bob"), file);
    as_accname.SetString("bob");
    as_curpassword.SetString("PW");
    EXPECT_EQ(ax_removeacc.value.handler(nullptr), 0);
    EXPECT_EQ(AccountCount(), 0);
    EXPECT_TRUE(FileOf("bob").empty());
}

TEST_F(AccountTest, UpdatesWithoutAnAccountChangeNothing)
{
    as_curaccount.SetString("someone");
    as_curpassword.SetString("pw");
    EXPECT_EQ(ax_logoff.value.handler(nullptr), 1);
    EXPECT_EQ(ax_updateacc.value.handler(nullptr), -1);
    EXPECT_EQ(ax_updateaccname.value.handler(nullptr), -1);
    EXPECT_STREQ(g_gui.lastMessageKey.Text(), "_fnmsg_no_current_account");
    EXPECT_STREQ(as_playername.String(), "");
    EXPECT_EQ(ax_determinenextmission.value.handler(nullptr), 0);
    EXPECT_EQ(ax_determinequickmissions.value.handler(nullptr), 0);
}

TEST_F(AccountTest, KeyBindingsAndTheLiveTable)
{
    PlayerAccount account;
    account.SetDefaultKeys();
    const u8_t w = KeyCodeFromName("DIK_W");
    EXPECT_EQ(account.keyBindings[ActionFromName("move_forward")], w);
    EXPECT_EQ(account.keyBindings[ActionFromName("codered")], 0);
    EXPECT_EQ(account.keyBindings[ActionFromName("set_primary")], KeyCodeFromName("DIK_3"));
    EXPECT_EQ(account.keyBindings[ActionFromName("zoomin")], KeyCodeFromName("MOUSE_WHEEL_DOWN"));

    PlayerAccount single;
    single.keyBindings[0] = w;
    u8_t table[256];
    single.ApplyKeyBindings(table);
    for (int key = 0; key < 256; ++key)
        EXPECT_EQ(table[key], key == w ? 0 : ACTION_UNBOUND) << key;

    single.keyBindings[7] = w;    // a shared key: the higher action owns it
    single.keyBindings[8] = 250;  // no such key code: ignored
    single.ApplyKeyBindings(table);
    EXPECT_EQ(table[w], 7);
    EXPECT_EQ(table[250], ACTION_UNBOUND);

    // Reading accounts leaves the live bindings alone.
    g_input.keyMap[w] = 3;
    ASSERT_EQ(Create("bob"), 0);
    g_input.keyMap[w] = 3;
    AccountsShutdown();
    AccountsInit();
    EXPECT_EQ(AccountCount(), 1);
    EXPECT_EQ(g_input.keyMap[w], 3);
    AccountsInit();
    EXPECT_EQ(AccountCount(), 1) << "a file of a name already listed is not listed twice";
}

TEST_F(AccountTest, AStoredSettingWithoutItsVariableSurvivesASave)
{
    ASSERT_EQ(Create("bob"), 0);
    PlayerAccount* bob = AccountFindByName("bob");
    bob->optionNames[0].Assign("gs_no_such_variable");
    bob->optionValues[0].Assign("kept");
    ASSERT_TRUE(AccountSave(*bob));
    AccountsShutdown();
    AccountsInit();
    bob = AccountFindByName("bob");
    ASSERT_NE(bob, nullptr);
    EXPECT_STREQ(bob->optionNames[0].Text(), "gs_no_such_variable");
    EXPECT_STREQ(bob->optionValues[0].Text(), "kept");
}

TEST_F(AccountTest, TheFortyEightVariablesWithTheirTypesAndStarts)
{
    struct Entry {
        std::string name;
        s32_t type;
        const char* start;  // null for commands
    };
    std::vector<Entry> entries = {
        {"as_curaccount", CVAR_STRING, ""},    {"as_accname", CVAR_STRING, ""},
        {"as_playername", CVAR_STRING, ""},    {"as_accpassword", CVAR_STRING, ""},
        {"as_curpassword", CVAR_STRING, ""},   {"as_curcampaign", CVAR_STRING, ""},
        {"as_curcampaign_l", CVAR_STRING, ""}, {"as_campaignscreen", CVAR_STRING, ""},
        {"as_missionname", CVAR_STRING, ""},   {"as_spmod", CVAR_STRING, "ZEZOD"},
        {"as_curmission", CVAR_STRING, ""},    {"as_missionname_l", CVAR_STRING, ""},
        {"as_hovermission", CVAR_STRING, ""},  {"as_tqmod", CVAR_STRING, "HIGH"},
        {"as_bulletsfired", CVAR_INT, "0"},    {"as_bulletshit", CVAR_INT, "0"},
        {"as_enemieskilled", CVAR_INT, "0"},   {"as_friendskilled", CVAR_INT, "0"},
        {"as_leadmsg", CVAR_STRING, ""},       {"as_playerimage", CVAR_STRING, ""},
        {"as_curimage", CVAR_STRING, ""},      {"as_firstplayerimage", CVAR_STRING, ""},
    };
    for (const char* prefix : {"as_globalmsg", "as_teammsg"})
        for (int i = 1; i <= 5; ++i)
            entries.push_back({std::string(prefix) + std::to_string(i), CVAR_STRING, ""});
    for (const char* command :
         {"ax_addacc", "ax_removeacc", "ax_updateacc", "ax_updateaccname", "ax_updateaccpicture", "ax_refresh",
          "ax_acceptacc", "ax_logoff", "ax_determinenextmission", "ax_getcutscene_begin", "ax_getcutscene_acc",
          "ax_getcutscene_fail", "ax_determinequickmissions", "ax_setmissionname", "ax_resetsingleplayer",
          "ax_setspmod"})
        entries.push_back({command, CVAR_COMMAND, nullptr});
    for (const Entry& entry : entries) {
        SCOPED_TRACE(entry.name);
        const ConsoleVar* cvar = FindCVar(entry.name.c_str());
        ASSERT_NE(cvar, nullptr);
        EXPECT_EQ(cvar->type, entry.type);
        if (entry.type == CVAR_STRING) {
            EXPECT_STREQ(cvar->String(), entry.start);
        } else if (entry.type == CVAR_INT) {
            EXPECT_EQ(cvar->Int(), 0);
        }
    }
}

// The folder "accounts" is the user's too. Start-up removes only what an account write left behind;
// a file start-up refused is renamed out of the way before a new account takes its name; removing
// an account removes the file it was read from, whatever that file is called.
TEST_F(AccountTest, TheAccountsFolderKeepsWhatIsNotTheProgramsToTake)
{
    const std::string folder = TempPath() + "/accounts/";
    ASSERT_EQ(Create("dave", "pw"), 0);
    AccountsShutdown();
    std::filesystem::rename(folder + "dave.acc", folder + "dave_old.acc");
    const std::string damaged = "UFF 1.0\nnot an account";
    const struct {
        const char* name;
        std::string bytes;
        bool stays;
    } files[] = {
        {"notes.TMP", "mine", true},
        {"list.tmp", "mine too", true},
        {"bob.acc.tmp", "half a write", false},
        {"carl.acc", damaged, true},
    };
    for (const auto& file : files)
        WriteFileBytes(folder + file.name, file.bytes);
    AccountsInit();
    for (const auto& file : files)
        EXPECT_EQ(std::filesystem::exists(folder + file.name), file.stays) << file.name;
    EXPECT_EQ(AccountFindByName("carl"), nullptr);
    ASSERT_NE(AccountFindByName("dave"), nullptr);

    // A new "carl" keeps the refused file aside under a name the log gives.
    const size_t logStart = engine_log::LogSize();
    ASSERT_EQ(Create("carl"), 0);
    EXPECT_EQ(ReadFileBytes(folder + "carl.acc.kept"), damaged);
    EXPECT_NE(FileOf("carl"), damaged);
    EXPECT_NE(
        engine_log::LogFrom(logStart).find("Account file 'accounts\\carl.acc' kept as 'accounts\\carl.acc.kept'\n"),
        std::string::npos);

    // "dave" lives in "dave_old.acc": removed with it, he does not come back.
    as_accname.SetString("dave");
    as_curpassword.SetString("pw");
    ASSERT_EQ(ax_removeacc.value.handler(nullptr), 0);
    EXPECT_FALSE(std::filesystem::exists(folder + "dave_old.acc"));
    AccountsShutdown();
    AccountsInit();
    EXPECT_EQ(AccountFindByName("dave"), nullptr);
    EXPECT_NE(AccountFindByName("carl"), nullptr);
}

}  // namespace
