// Mission loading does not exist yet: every mission start fails, and the program halts as it does
// after a map that cannot be loaded, unless a test has the start succeed (game/game_test_hooks.h).
#include "game/game_flow.h"
#include "game/game_mod_registry.h"
#include "game/game_test_hooks.h"
#include "core/console.h"
#include "core/input.h"
#include "core/plugin_host.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "platform/win32.h"

namespace {
bool g_cameraInsetToggle = false;
GameTestHooks g_testHooks;

s32_t ToggleCameraInset(const char*)
{
    g_cameraInsetToggle = !g_cameraInsetToggle;
    return 0;
}

s32_t PlayOpeningCutscene(const char*)
{
    return 0;
}

s32_t JoinServer(const char*)
{
    g_game.multiplayerPending = true;
    return 0;
}
}  // namespace

ConsoleVar grx_toggle_camins("grx_toggle_camins", ToggleCameraInset);
ConsoleVar ax_getcutscene_begin("ax_getcutscene_begin", PlayOpeningCutscene);
ConsoleVar gx_joinserver("gx_joinserver", JoinServer);

void GameSetTestHooks(const GameTestHooks& hooks)
{
    g_testHooks = hooks;
}

int GameInitMission(const char* mapName)
{
    if (g_testHooks.missionStart)
        g_testHooks.missionStart(mapName);
    return g_testHooks.initMissionResult;
}

int GameHaltAfterLoadError()
{
    ConSetCurrent(0);
    MSG message = {};
    for (;;) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
            if (message.message == WM_KEYDOWN || message.message == WM_LBUTTONDOWN)
                return 0;
        }
        InputUpdate();
        Sleep(10);
    }
}

s32_t GameLoadGameCommand(const char*)
{
    return 0;
}
void GameUpdateFrame(bool present)
{
    if (g_testHooks.frame)
        g_testHooks.frame(present);
}
void GameExitToGui(const char*) {}
void GameModEnd()
{
    g_game.currentGameMod = nullptr;
}

void GameModsInit()
{
    g_pluginHost.Broadcast(HookGameModRegister, 0);
}

void GameModsFree()
{
    g_game.currentGameMod = nullptr;
    GameModRegistryFree();
}
void GameClearFrameInput() {}
s32_t RegisterDefObject()
{
    return 0;
}
void CampaignChronologyFree() {}
