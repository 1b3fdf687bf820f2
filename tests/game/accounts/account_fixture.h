// Account tests: a fresh working folder with its "accounts" folder, the account variables empty, the
// live key table and the test hooks put back after each test.
#pragma once
#include <cstring>
#include <string>

#include "core/console/console_var.h"
#include "core/input/input.h"
#include "core/files/script_file.h"
#include "core/video/video.h"
#include "game/accounts/account_cvars.h"
#include "game/accounts/account_file.h"
#include "game/accounts/accounts.h"
#include "game/accounts/campaign_chronology.h"
#include "game/accounts/current_account.h"
#include "game/game_state.h"
#include "game/accounts/player_account.h"
#include "gui/screens/gui.h"
#include "gui/gui_cvars.h"
#include "platform/test_clock.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/keep_var.h"
#include "support/vfs_fixture.h"

class AccountTest : public VfsTest {
protected:
    void SetUp() override
    {
        engine_log::StartFolder();  // the log's folder, before the test's own folder is entered
        VfsTest::SetUp();
        std::memcpy(savedKeys, g_input.keyMap, sizeof savedKeys);
        savedLookFactors[0] = g_game.mouseLookFactorX;
        savedLookFactors[1] = g_game.mouseLookFactorY;
        CreateScriptCache();
        ClearVariables();
    }
    void TearDown() override
    {
        AccountsShutdown();
        CampaignChronologyFree();
        SetSinglePlayerMode(0);
        DestroyScriptCache();
        ClearVariables();
        PlatformTestLocalTimeClear();
        VideoSetFullscreenHook(nullptr);
        std::memcpy(g_input.keyMap, savedKeys, sizeof savedKeys);
        g_game.mouseLookFactorX = savedLookFactors[0];
        g_game.mouseLookFactorY = savedLookFactors[1];
        g_gui.lastMessageKey.Assign("");
        g_gui.messageCount = 0;
        g_game.campaignCompleted = false;
        g_game.accounts.currentMission.Clear();
        g_game.accounts.finalMission = false;
        VfsTest::TearDown();
    }
    // Every account string back to empty ("as_spmod" and "as_tqmod" to their starts).
    static void ClearVariables()
    {
        for (ConsoleVar* cvar = CVarListHead(); cvar; cvar = cvar->next) {
            if (cvar->type == CVAR_STRING && std::strncmp(cvar->name.Text(), "as_", 3) == 0)
                cvar->SetString("");
        }
        as_spmod.SetString("ZEZOD");
        if (ConsoleVar* quality = FindCVar("as_tqmod"))
            quality->SetString("HIGH");
    }
    // Runs ax_addacc with the typed name and passwords; its result.
    static s32_t Create(const char* name, const char* password = "pw", const char* repeat = nullptr)
    {
        as_curaccount.SetString(name);
        as_accpassword.SetString(password);
        as_curpassword.SetString(repeat ? repeat : password);
        return ax_addacc.value.handler(nullptr);
    }
    static s32_t LogIn(const char* name, const char* password)
    {
        as_accname.SetString(name);
        as_curpassword.SetString(password);
        return ax_acceptacc.value.handler(nullptr);
    }
    static s32_t AccountCount()
    {
        PlayerAccount* const* accounts = nullptr;
        s32_t count = 0;
        AccountsGetList(&accounts, &count);
        return count;
    }
    std::string FileOf(const char* name) const { return ReadFileBytes(TempPath() + "/accounts/" + name + ".acc"); }

    u8_t savedKeys[256] = {};
    // Log-in applies an account's stored settings (the mouse sensitivity and the view factors it gives
    // among them): the numbers and switches go back after each test.
    KeepAllVars keptSettings;
    float savedLookFactors[2] = {};
};
