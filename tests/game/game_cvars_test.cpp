// The game's console variables and commands as the program starts with them: the 80 records lie
// together in the list, newest first, each with its type and default; and the commands whose work is
// still to come answer without changing anything.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/console/console.h"
#include "core/console/console_var.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "support/keep_var.h"

namespace {

struct GameSetting {
    const char* name;
    ConsoleVarType type;
    const char* value;  // the default: a number, "true"/"false", a text; null for a command
};

// In the order the program defines them.
// clang-format off
const GameSetting kGameSettings[] = {
    {"gs_load_slot_request", CVAR_STRING, ""}, {"gs_maploadprogress", CVAR_STRING, ""},
    {"gi_maploadprogress", CVAR_INT, "0"}, {"gs_briefing", CVAR_STRING, ""}, {"gs_intelligence", CVAR_STRING, ""},
    {"gs_global_info", CVAR_STRING, ""}, {"gs_objectives", CVAR_STRING, ""}, {"gs_loadimage", CVAR_STRING, ""},
    {"gs_photos", CVAR_STRING, ""}, {"gs_photo_desc_src", CVAR_STRING, ""}, {"gs_photo_descs", CVAR_STRING, ""},
    {"gs_default_primary", CVAR_STRING, ""}, {"gs_default_secondary", CVAR_STRING, ""}, {"gs_map", CVAR_STRING, ""},
    {"gs_mapinfo", CVAR_STRING, ""}, {"gs_briefinglandmap", CVAR_STRING, ""}, {"gv_startpos", CVAR_VECTOR, "0"},
    {"gx_fillmissioninfo", CVAR_COMMAND, nullptr}, {"gx_fillquickmissioninfo", CVAR_COMMAND, nullptr},
    {"gs_graphmode", CVAR_STRING, "800 600 32b"}, {"gx_applygraphsettings", CVAR_COMMAND, nullptr},
    {"gx_updateweaponinfo", CVAR_COMMAND, nullptr}, {"gs_primaryweaponinfo", CVAR_STRING, ""},
    {"gs_secondaryweaponinfo", CVAR_STRING, ""}, {"gs_explosiveinfo", CVAR_STRING, ""},
    {"gs_curprimaryweapon", CVAR_STRING, "vss"}, {"gs_cursecondaryweapon", CVAR_STRING, "steckin"},
    {"gs_curexplosiveweapon", CVAR_STRING, ""}, {"gs_curexpdevicesweapon", CVAR_STRING, ""},
    {"gs_grenadeweapon", CVAR_STRING, "rgd5"}, {"gs_curactormodel", CVAR_STRING, "netplayer"},
    {"gs_plgname", CVAR_STRING, ""}, {"gs_plgdesc", CVAR_STRING, ""}, {"gs_plgauthor", CVAR_STRING, ""},
    {"gs_plgcompany", CVAR_STRING, ""}, {"gs_plgver", CVAR_STRING, ""}, {"gs_plgstate", CVAR_STRING, ""},
    {"gs_plgloadstate", CVAR_STRING, ""}, {"gx_fillplginfo", CVAR_COMMAND, nullptr},
    {"gx_plgstoprun", CVAR_COMMAND, nullptr}, {"gx_plgunloadreload", CVAR_COMMAND, nullptr},
    {"gx_createserver", CVAR_COMMAND, nullptr}, {"gx_joinserver", CVAR_COMMAND, nullptr},
    {"gs_servername", CVAR_STRING, ""}, {"gs_joinservername", CVAR_STRING, ""}, {"gs_serverpass", CVAR_STRING, ""},
    {"gs_sq1pass", CVAR_STRING, ""}, {"gs_sq2pass", CVAR_STRING, ""}, {"gs_serverip", CVAR_STRING, ""},
    {"gs_serverport", CVAR_STRING, "17000"}, {"gs_serverinfo", CVAR_STRING, ""}, {"gb_godmode", CVAR_BOOL, "false"},
    {"gs_records", CVAR_STRING, ""}, {"gs_response", CVAR_STRING, ""}, {"gb_pradropstart", CVAR_BOOL, "false"},
    {"gi_maxsaves", CVAR_INT, "3"}, {"gbgameconsole", CVAR_BOOL, "true"}, {"gb_satcamscan", CVAR_BOOL, "false"},
    {"gb_satcamenable", CVAR_BOOL, "true"}, {"gbdebuginfo", CVAR_BOOL, "false"},
    {"gx_changeactor", CVAR_COMMAND, nullptr}, {"gx_actorsetyaw", CVAR_COMMAND, nullptr},
    {"cmd", CVAR_COMMAND, nullptr}, {"gbai", CVAR_BOOL, "true"}, {"gbshake", CVAR_BOOL, "true"},
    {"gx_killall", CVAR_COMMAND, nullptr}, {"gx_fullscreen", CVAR_COMMAND, nullptr},
    {"gx_mapimage", CVAR_COMMAND, nullptr}, {"gx_fogtex", CVAR_COMMAND, nullptr},
    {"gx_updatemouse", CVAR_COMMAND, nullptr}, {"gi_mousesensitivity", CVAR_INT, "50"},
    {"gxmap", CVAR_COMMAND, nullptr}, {"gb_invertmouse", CVAR_BOOL, "false"}, {"gbthirdperson", CVAR_BOOL, "false"},
    {"gbtop", CVAR_BOOL, "false"}, {"gbghost", CVAR_BOOL, "false"}, {"gbalwaysrun", CVAR_BOOL, "true"},
    {"gbwalk", CVAR_BOOL, "true"}, {"gfcollipar", CVAR_FLOAT, "0.92"}, {"gbfastmove", CVAR_BOOL, "false"},
};
// clang-format on
constexpr size_t kGameSettingCount = sizeof kGameSettings / sizeof kGameSettings[0];

bool HoldsDefault(const ConsoleVar& var, const GameSetting& s)
{
    switch (s.type) {
        case CVAR_INT:
            return var.Int() == std::atoi(s.value);
        case CVAR_BOOL:
            return var.Bool() == (std::strcmp(s.value, "true") == 0);
        case CVAR_FLOAT:
            return var.Float() == std::strtof(s.value, nullptr);
        case CVAR_STRING:
            return std::strcmp(var.String() ? var.String() : "", s.value) == 0;
        case CVAR_VECTOR:
            return var.Vector().x == 0.0f && var.Vector().y == 0.0f && var.Vector().z == 0.0f;
        case CVAR_COMMAND:
            return var.value.handler != nullptr;
        default:
            return false;
    }
}

// The game's records from the last defined, following the list: each where the table puts it, linked
// both ways (nothing registered later sits between two of them). Lines of what differs; empty when none.
std::string ListMismatches(bool withDefaults)
{
    std::string out;
    const ConsoleVar* var = CVarListFind(kGameSettings[kGameSettingCount - 1].name);
    for (size_t i = kGameSettingCount; i-- > 0; var = var->next) {
        const GameSetting& s = kGameSettings[i];
        if (!var)
            return out + "the list ends before " + s.name + "\n";
        if (std::strcmp(var->name.Text(), s.name) != 0)
            return out + var->name.Text() + " stands where " + s.name + " belongs\n";
        if (i + 1 < kGameSettingCount && var->prev && std::strcmp(var->prev->name.Text(), kGameSettings[i + 1].name))
            out += std::string(s.name) + " is not linked back to " + kGameSettings[i + 1].name + "\n";
        if (var->type != s.type)
            out += std::string(s.name) + " has type " + std::to_string(var->type) + "\n";
        else if (withDefaults && !HoldsDefault(*var, s))
            out += std::string(s.name) + " holds " + var->ValueToText() + "\n";
    }
    return out;
}

TEST(GameSettings, TheEightyLieTogetherNewestFirstWithTheirTypes)
{
    ASSERT_EQ(kGameSettingCount, 80u);
    EXPECT_EQ(ListMismatches(false), "");
}

// The defaults as the program starts, in a fresh run of this program: the tests before may have run
// a mission whose "config.def" set some of them.
TEST(GameSettings, EachStartsWithItsDefault)
{
    EXPECT_EXIT(
        {
            const std::string mismatches = ListMismatches(true);
            std::fputs(mismatches.c_str(), stderr);
            std::exit(mismatches.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(GameSettings, WalkSetFromAnEmptyTextToggles)
{
    KeepVar kept(gbwalk);
    ASSERT_TRUE(gbwalk.Bool());
    gbwalk.SetFromText("");
    EXPECT_FALSE(gbwalk.Bool());
    ConExec("gbwalk", true);
    EXPECT_TRUE(gbwalk.Bool());
}

// Typed at the console, the weapon-list command has no list to read. (The briefing, graphics-settings,
// plug-in, server and developer commands have their own tests: mission_commands_test.cpp,
// plugin_commands_test.cpp, game_modes_test.cpp, developer_commands_test.cpp.)
TEST(GameSettings, TheWeaponListCommandWithoutAListAnswersMinusOneAndChangesNothing)
{
    KeepAllVars kept;
    const std::string primary = gs_curprimaryweapon.String(), mode = gs_graphmode.String();
    EXPECT_EQ(gx_updateweaponinfo.value.handler("list"), -1);
    EXPECT_EQ(gx_updateweaponinfo.value.handler(nullptr), -1);
    EXPECT_EQ(gs_curprimaryweapon.String(), primary);
    EXPECT_EQ(gs_graphmode.String(), mode);
}

TEST(GameSettings, UpdateMouseTurnsTheSensitivityIntoTheLookFactors)
{
    KeepVar kept(gi_mousesensitivity);
    const float x = g_game.mouseLookFactorX, y = g_game.mouseLookFactorY;
    const struct {
        s32_t sensitivity;
        float factor;
    } cases[] = {{50, 50 * 0.0002f}, {1, 0.0002f}, {0, 0.003f}};
    for (const auto& c : cases) {
        gi_mousesensitivity.SetInt(c.sensitivity);
        EXPECT_EQ(gx_updatemouse.value.handler(nullptr), 0);
        EXPECT_FLOAT_EQ(g_game.mouseLookFactorX, c.factor) << c.sensitivity;
        EXPECT_FLOAT_EQ(g_game.mouseLookFactorY, c.factor) << c.sensitivity;
    }
    g_game.mouseLookFactorX = x;
    g_game.mouseLookFactorY = y;
}

}  // namespace
