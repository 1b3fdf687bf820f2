#include "game/accounts/player_account.h"

#include <cstring>

#include "core/input/actions.h"
#include "core/input/input.h"
#include "core/strings/text_case.h"
#include "game/accounts/campaign_chronology.h"

const char* const kAccountOptionNames[ACCOUNT_OPTION_COUNT] = {
    "gs_servername",       "gs_curmod",          "gs_srv_maxplayers",
    "gs_srv_respawn",      "gs_srv_timelimit",   "gs_srv_scorelimit",
    "gb_srv_friendlyfire", "gb_srv_warningfire", "gb_srv_friendlytags",
    "gb_srv_chooseteam",   "gs_curactormodel",   "rbshowbodys",
    "gbalwaysrun",         "gb_invertmouse",     "gs_graphmode",
    "rbshadows",           "rbvegetation",       "rbshowdecals",
    "rbremovedecals",      "rbparticles",        "rbfp",
    "rbdrawblood",         "as_spmod",           "as_tqmod",
    "si_mastervolume",     "si_effectvolume",    "si_envvolume",
    "gi_mousesensitivity", "si_musicvolume",
};

const char* const kAccountDefaultPicture = "component\\gui\\player_picture\\default.dds";

namespace {

bool ListHolds(const std::vector<EngineString>& list, const char* text)
{
    for (const EngineString& entry : list) {
        if (CompareNoCase(entry.Text(), text) == 0)
            return true;
    }
    return false;
}

s32_t ModeIndex()
{
    const s32_t mode = SinglePlayerMode();
    return mode >= 0 && mode < ACCOUNT_MODE_SLOTS ? mode : 0;
}

}  // namespace

PlayerAccount::PlayerAccount()
{
    picture.Assign(kAccountDefaultPicture);
    SetDefaultOptions();
}

bool PlayerAccount::CheckPassword(const char* text) const
{
    return CompareNoCase(password.Text(), text ? text : "") == 0;
}

AccountModeProgress& PlayerAccount::CurrentMode()
{
    return modes[ModeIndex()];
}

void PlayerAccount::AddCompletedMission(const char* missionName)
{
    if (missionName && !ListHolds(CurrentMode().completedMissions, missionName))
        CurrentMode().completedMissions.emplace_back(missionName);
}

void PlayerAccount::AddCompletedCampaign(const char* campaignName)
{
    if (campaignName && !ListHolds(CurrentMode().completedCampaigns, campaignName))
        CurrentMode().completedCampaigns.emplace_back(campaignName);
}

MissionSavegames& PlayerAccount::GetMissionSavegames(const char* missionName)
{
    for (MissionSavegames& entry : CurrentMode().savegames) {
        if (CompareNoCase(entry.mission.Text(), missionName ? missionName : "") == 0)
            return entry;
    }
    CurrentMode().savegames.emplace_back();
    CurrentMode().savegames.back().mission.Assign(missionName);
    return CurrentMode().savegames.back();
}

void PlayerAccount::SetDefaultKeys()
{
    std::memset(keyBindings, 0, sizeof keyBindings);
    // Action names and key names, in action order; codered to codeblue5 stay unbound.
    const struct {
        const char* action;
        const char* key;
    } defaults[] = {
        {"move_forward", "DIK_W"},
        {"move_backward", "DIK_S"},
        {"strafe_left", "DIK_A"},
        {"strafe_right", "DIK_D"},
        {"crouch", "DIK_L"},
        {"jump", "DIK_SPACE"},
        {"run", "DIK_LSHIFT"},
        {"mode_up", "DIK_Z"},
        {"mode_down", "DIK_X"},
        {"reload", "DIK_R"},
        {"set_csw", "DIK_1"},
        {"set_primary", "DIK_3"},
        {"set_secondary", "DIK_2"},
        {"set_grenade", "DIK_4"},
        {"set_explosive", "DIK_5"},
        {"always_run", "DIK_CAPITAL"},
        {"fire", "MOUSE0"},
        {"zoom", "MOUSE1"},
        {"map", "DIK_M"},
        {"cycle_mode", "DIK_F"},
        {"lean_left", "DIK_Q"},
        {"lean_right", "DIK_E"},
        {"accept_cmd_g0_0", "DIK_NUMPAD1"},
        {"accept_cmd_g0_1", "DIK_NUMPAD2"},
        {"accept_cmd_g0_2", "DIK_NUMPAD3"},
        {"accept_cmd_g1_0", "DIK_NUMPAD4"},
        {"accept_cmd_g1_1", "DIK_NUMPAD5"},
        {"accept_cmd_g1_2", "DIK_NUMPAD6"},
        {"accept_cmd_g2_0", "DIK_NUMPAD7"},
        {"accept_cmd_g2_1", "DIK_NUMPAD8"},
        {"accept_cmd_g2_2", "DIK_NUMPAD9"},
        {"accept_cmd_g3_0", "DIK_NUMPAD0"},
        {"accept_cmd_g3_1", "DIK_NUMPADCOMMA"},
        {"accept_cmd_g3_2", "DIK_NUMPADENTER"},
        {"drop_weapon", "DIK_G"},
        {"cmd_menu_sel", "DIK_C"},
        {"screenshot", "DIK_F12"},
        {"quicksave", "DIK_F6"},
        {"quickload", "DIK_F9"},
        {"binocular", "DIK_B"},
        {"objectives", "DIK_TAB"},
        {"satcam", "DIK_V"},
        {"quickmode", "DIK_LCONTROL"},
        {"zoomin", "MOUSE_WHEEL_DOWN"},
        {"zoomout", "MOUSE_WHEEL_UP"},
        {"nightvision", "DIK_N"},
        {"cmd_menu_sel2", "MOUSE2"},
        {"navigation", "DIK_H"},
    };
    for (const auto& binding : defaults) {
        const u8_t action = ActionFromName(binding.action);
        if (action < ACCOUNT_BINDING_COUNT)
            keyBindings[action] = KeyCodeFromName(binding.key);
    }
}

void PlayerAccount::SetDefaultOptions()
{
    const char* starts[ACCOUNT_OPTION_COUNT] = {};
    for (s32_t i : {11, 12, 15, 16, 17, 19, 20, 21})
        starts[i] = "true";
    for (s32_t i : {24, 25, 26, 28})
        starts[i] = "65";
    starts[27] = "50";
    for (s32_t i = 0; i < ACCOUNT_OPTION_COUNT; ++i) {
        optionNames[i].Assign(kAccountOptionNames[i]);
        optionValues[i].Assign(starts[i] ? starts[i] : "");
    }
}

void PlayerAccount::ApplyKeyBindings(u8_t* keyActionTable) const
{
    std::memset(keyActionTable, ACTION_UNBOUND, 256);
    for (s32_t action = 0; action < ACCOUNT_BINDING_COUNT; ++action) {
        const u8_t key = keyBindings[action];
        // Key bytes come from files: only key codes the input knows index the table.
        if (key >= 1 && key <= 244)
            keyActionTable[key] = static_cast<u8_t>(action);
    }
}

bool AccountNameIsSafe(const char* name)
{
    if (!name)
        return false;
    if (std::strchr(name, '\\') || std::strchr(name, '/') || std::strchr(name, ':') || std::strstr(name, ".."))
        return false;
    // "." names the folder itself.
    if (std::strcmp(name, ".") == 0)
        return false;
    std::size_t length = 0;
    for (; name[length] != '\0'; ++length) {
        const auto c = static_cast<unsigned char>(name[length]);
        if (c < 0x20 || c == 0x7F)
            return false;
    }
    return length <= ACCOUNT_NAME_MAX;
}
