// Mission start and exit: the material table and the land of the mission's definition, and their
// release. A test may stand in for the mission start (game/game_test_hooks.h).
#include "game/game_flow.h"

#include <string>

#include "game/game_mod_registry.h"
#include "game/game_test_hooks.h"
#include "core/console.h"
#include "core/def_file.h"
#include "core/input.h"
#include "core/plugin_host.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "game/loading_screen.h"
#include "game/mission_frame.h"
#include "map/map_load.h"
#include "map/material_table.h"
#include "render/map_render_setup.h"
#include "render/texture_preload.h"
#include "platform/win32.h"
#include "scene/decal_list.h"
#include "scene/decal_pass.h"
#include "scene/indoor_link.h"
#include "scene/particle_host.h"
#include "scene/rain.h"
#include "scene/stencil_shadows.h"
#include "scene/vegetation.h"
#include "world/wires.h"

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
    if (g_testHooks.missionStart) {
        g_testHooks.missionStart(mapName);
        return g_testHooks.initMissionResult;
    }
    MaterialsLoad();
    const std::string folder = std::string("mission\\") + (mapName ? mapName : "");
    DefFile* definition = DefFileLoad((folder + "\\mission.def").c_str());
    const DefEntry* land = definition ? DefFileFindEntry(definition->first, "land") : nullptr;
    if (!land)
        return -1;
    GameDrawLoadingMessage("Loading land...");
    if (MapLoad(EngineString(land->Value(0)), EngineString(folder.c_str())) < 0)
        return -1;
    MaterialsLoadTextureProperties();
    // Until the mission definition names its environment, a mission's sky is the environment of
    // its own name.
    MissionEnvironmentLoad(mapName, mapName);
    ParticlesMapLoaded();
    IndoorMissionLoaded();
    RainInit();
    // The wires hang between objects the map placed; their shadows are built with the objects'.
    ConObjLoad(folder.c_str());
    ShadowsPrepare();
    // The water's animation frames (with the compass) stay loaded for the whole mission.
    CompassAndWaterTexturesLoad();
    GameMissionFrameStart();
    return 0;
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
    // A test that stands in for the mission start has loaded no map to draw.
    if (!g_testHooks.missionStart)
        GameMissionFrame(present);
}
void GameExitToGui(const char*)
{
    GameMissionFrameEnd();
    RainShutdown();
    IndoorMissionUnloaded();
    ParticlesMapUnloaded();
    // What the world renderer keeps of the mission: the map's decals, the vegetation set-up, and the
    // wires and the decal passes' cell object, which point at objects the unload deletes.
    DecalListClear();
    VegetationShutdown();
    DecalPassesSetCellObject(nullptr);
    ConObjFreeAll();
    MaterialsFree();
    RenderReleaseMapResources();
    MapUnload();
}
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
