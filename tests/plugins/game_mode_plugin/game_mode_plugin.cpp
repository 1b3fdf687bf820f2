// A game-mode plug-in for the game's tests: it registers two modes with their teams when the host
// asks, fills the server and player lists, keeps what the multiplayer events carry, adds a
// "respawn" command and names a map during a join when a test tells it to.
#include <cstdio>
#include <cstring>
#include "tests/plugins/game_mode_plugin/game_mode_plugin_state.h"

namespace {
GameModePluginState g_state = {};
HostBeginGameModRegistrationFn g_begin = nullptr;
HostGetNewGameModTeamFn g_newTeam = nullptr;
HostEndGameModRegistrationFn g_end = nullptr;
HostAddCVarFnFn g_addCommand = nullptr;

void Copy(char* target, const char* text)
{
    std::snprintf(target, kGameModePluginTextSize, "%s", text ? text : "");
}

std::int32_t Respawn(const char*)
{
    ++g_state.respawns;
    return 0;
}

GameMod* RegisterMode(const char* name, std::uint8_t networked, std::uint8_t aiSoldiers, int teams)
{
    GameMod* mod = g_begin();
    if (!mod)
        return nullptr;
    std::snprintf(mod->name, sizeof mod->name, "%s", name);
    mod->vehicleFlag = 1;
    mod->aiSoldiers = aiSoldiers;
    mod->chatFlag = networked;
    mod->satelliteView = 0;
    mod->ownScreens = networked;
    std::snprintf(mod->scoreScreen, sizeof mod->scoreScreen, "%s", "MODSCORE");
    std::snprintf(mod->escapeScreen, sizeof mod->escapeScreen, "%s", "MODESC");
    std::snprintf(mod->teamScreen, sizeof mod->teamScreen, "%s", "MODTEAMS");
    std::snprintf(mod->loadScreen, sizeof mod->loadScreen, "%s", "MODLOAD");
    for (int i = 0; i < teams; ++i) {
        if (void* team = g_newTeam(mod))
            std::memset(team, 'a' + i, kGameModTeamSize);
    }
    g_end();
    return mod;
}

void RegisterModes()
{
    ++g_state.registrations;
    if (!g_begin || !g_newTeam || !g_end)
        return;
    if (g_state.registerOutOfOrder) {
        g_end();
        if (g_newTeam(nullptr))
            ++g_state.outOfOrderResults;
        GameMod* open = g_begin();
        if (g_begin())
            ++g_state.outOfOrderResults;
        if (open)
            g_end();
    }
    g_state.modes[0] = RegisterMode("Skirmish", 1, 0, 2);
    g_state.modes[1] = RegisterMode("Patrol", 0, 1, 3);
}

void FillList(PluginWord parameter, const char* first, const char* second)
{
    ++g_state.listFills;
    PluginListFill* list = reinterpret_cast<PluginListFill*>(parameter);
    if (!list)
        return;
    list->Clear();
    list->AddString(first);
    list->AddColumnText(0, "1/10");
    list->AddString(second);
    list->AddColumnText(1, "4/10");
}
}  // namespace

PLUGIN_EXPORT GameModePluginState* GameModePluginGetState()
{
    return &g_state;
}

PLUGIN_EXPORT std::int32_t InitCommunication(HostCallbackBlock* block)
{
    if (!block || !block->getFunction)
        return 0;
    g_begin = reinterpret_cast<HostBeginGameModRegistrationFn>(block->getFunction("BeginGameModRegistration"));
    g_newTeam = reinterpret_cast<HostGetNewGameModTeamFn>(block->getFunction("GetNewGameModTeam"));
    g_end = reinterpret_cast<HostEndGameModRegistrationFn>(block->getFunction("EndGameModRegistration"));
    g_addCommand = reinterpret_cast<HostAddCVarFnFn>(block->getFunction("AddCVarFn"));
    if (g_addCommand)
        g_addCommand("respawn", Respawn);
    return 0;
}

PLUGIN_EXPORT PluginVersion GetVer()
{
    return MakePluginVersion(0, 1);
}

PLUGIN_EXPORT const char* const* GetInfo()
{
    static const char* const info[kPluginInfoCount] = {"Game mode test plugin", "Two modes for the tests",
                                                       "zintar tests", "zintar"};
    return info;
}

PLUGIN_EXPORT std::int32_t HookProc(std::uint32_t code, PluginWord parameter)
{
    switch (code) {
        case HookGameModsInit:
            RegisterModes();
            break;
        case HookServerListFill:
            FillList(parameter, "north server", "south server");
            break;
        case HookPlayerListFill:
            FillList(parameter, "ann", "bo");
            break;
        case HookServerCreate:
            ++g_state.serverCreates;
            break;
        case HookServerJoin:
            ++g_state.serverJoins;
            if (g_state.joinMap[0] != '\0' && g_state.setMap)
                g_state.setMap(g_state.joinMap);
            break;
        case HookPlayerInfo:
            ++g_state.playerInfos;
            break;
        case HookScreenShown:
            ++g_state.screensShown;
            g_state.lastScreen = parameter;
            break;
        case HookMessageLine:
            ++g_state.chats;
            Copy(g_state.lastChat, reinterpret_cast<const char*>(parameter));
            break;
        case HookServerInfo:
            ++g_state.serverInfos;
            g_state.lastInfoScreen = parameter;
            break;
        default:
            break;
    }
    return 0;
}
