#include "game/game_mod_registry.h"
#include "core/core_cvars.h"
#include "core/grow_array.h"
#include "core/plugin_host.h"
#include "core/winos.h"
#include "game/accounts.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "gui/gui.h"

namespace {
struct TeamEntry {
    const GameMod* mod;
    GameModTeam* team;
};

GrowArray<GameMod*> g_gameMods{1};
GrowArray<TeamEntry> g_teams{1};
GameMod* g_openRegistration = nullptr;

void ShowModScreen(const EngineString GameMod::*screenName, bool announce)
{
    g_gui.screenRequested = true;
    GuiScreen* screen = g_game.currentGameMod ? GuiFindScreen((g_game.currentGameMod->*screenName).Text()) : nullptr;
    g_gui.currentScreen = screen;
    if (announce)
        g_pluginHost.Broadcast(HookScreenShown, reinterpret_cast<std::uintptr_t>(screen));
}
}  // namespace

GameMod* BeginGameModRegistration()
{
    if (g_openRegistration)
        return nullptr;
    g_openRegistration = new GameMod;
    return g_openRegistration;
}

void EndGameModRegistration()
{
    if (!g_openRegistration)
        return;
    g_gameMods.Append(g_openRegistration);
    g_openRegistration = nullptr;
}

GameModTeam* GetNewGameModTeam(GameMod* mod)
{
    if (!mod)
        return nullptr;
    GameModTeam* team = new GameModTeam;
    g_teams.Append({mod, team});
    return team;
}

s32_t GameModRegistryCount()
{
    return g_gameMods.count;
}

GameMod* GameModRegistryAt(s32_t index)
{
    return index >= 0 && index < g_gameMods.count ? g_gameMods[index] : nullptr;
}

s32_t GameModTeamCount(const GameMod* mod)
{
    s32_t count = 0;
    for (s32_t i = 0; i < g_teams.count; ++i)
        count += g_teams[i].mod == mod ? 1 : 0;
    return count;
}

void GameModRegistryFree()
{
    for (s32_t i = 0; i < g_teams.count; ++i)
        delete g_teams[i].team;
    g_teams.Free();
    for (s32_t i = 0; i < g_gameMods.count; ++i)
        delete g_gameMods[i];
    g_gameMods.Free();
    delete g_openRegistration;
    g_openRegistration = nullptr;
}

void GameInvokeScoreTable()
{
    ShowModScreen(&GameMod::scoreScreen, true);
}

void GameInvokeTeamTable()
{
    ShowModScreen(&GameMod::teamScreen, false);
}

void GameLoadNextGameModMap(const char* mapName)
{
    if (mapName)
        dsmap.SetString(mapName);
    g_program.loopState = LOOP_LOAD_MAP;
    GameFillMissionInfo(nullptr);
}
