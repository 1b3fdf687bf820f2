// Mission start and exit: the material table, the land of the mission's definition and the objects
// its list places, and their release. A test may stand in for the mission start (game/game_test_hooks.h).
#include "game/game_flow.h"

#include <string>

#include "actors/actor_class.h"
#include "actors/obstacle_tree.h"
#include "actors/projectile.h"
#include "ai/ai_groups.h"
#include "ai/ai_runtime.h"
#include "ai/defend_points.h"
#include "ai/envelope_files.h"
#include "ai/envelope_table.h"
#include "ai/handler_compiler.h"
#include "ai/mission_cameras.h"
#include "ai/patrol_path.h"
#include "game/camera_pose_settings.h"
#include "game/external_camera.h"
#include "game/game_mod_registry.h"
#include "game/game_test_hooks.h"
#include "core/console.h"
#include "core/def_file.h"
#include "core/input.h"
#include "core/log.h"
#include "core/plugin_host.h"
#include "core/sound.h"
#include "game/game_commands.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "game/loading_screen.h"
#include "game/mission_frame.h"
#include "game/mission_weapons.h"
#include "game/object_factory.h"
#include "game/object_list.h"
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
#include "scene/scene_cvars.h"
#include "scene/stencil_shadows.h"
#include "scene/sun_effect.h"
#include "scene/vegetation.h"
#include "world/clustered_mesh.h"
#include "world/wires.h"

namespace {
bool g_cameraInsetToggle = false;
GameTestHooks g_testHooks;
// Whether this mission's objects have their shadow companions.
bool g_shadowsPrepared = false;

void PrepareShadows()
{
    ShadowsPrepare();
    g_shadowsPrepared = true;
}

s32_t ToggleCameraInset(const char*)
{
    g_cameraInsetToggle = !g_cameraInsetToggle;
    return 0;
}

}  // namespace

ConsoleVar grx_toggle_camins("grx_toggle_camins", ToggleCameraInset);

s32_t GameJoinServer(const char*)
{
    g_game.multiplayerPending = true;
    return 0;
}

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
    const std::string definitionName = folder + "\\mission.def";
    DefFile* definition = DefFileLoad(definitionName.c_str());
    const DefEntry* land = definition ? DefFileFindEntry(definition->first, "land") : nullptr;
    // The reason a mission cannot start goes to the log: the screen shows none.
    if (!land) {
        if (!definition)
            Log("ERROR : Cannot read '%s'\n", definitionName.c_str());
        else
            Log("ERROR : '%s' names no land (no \"land\" line)\n", definitionName.c_str());
        DefFileRelease(definition);
        return -1;
    }
    GameDrawLoadingMessage("Loading land...");
    if (MapLoad(EngineString(land->Value(0)), EngineString(folder.c_str())) < 0) {
        DefFileRelease(definition);
        return -1;
    }
    MaterialsLoadTextureProperties();
    ParticlesMapLoaded();
    IndoorMissionLoaded();
    RainInit();
    // The AI's tables first: the soldiers of the object list register with them, and the mission's
    // script functions go into a table emptied here.
    GameDrawLoadingMessage("Loading ai...");
    AIStartup();
    // The soldier classes are read anew by the soldiers of this mission; the last mission freed its own.
    ActorClassInfosReset();
    // The mission's objects, sounds, sun and sky, as its definition lists them.
    GameDrawLoadingMessage("Loading objects...");
    GameLoadObjectList(definition, nullptr, 0, nullptr);
    DefFileRelease(definition);
    AILoadScripts();
    // The wires hang between objects placed before; their shadows are built with the objects'.
    ConObjLoad(folder.c_str());
    // The mission's camera comes first: the "camera" envelopes link to it as they are read.
    MissionCameraCreateDefault();
    // The envelopes and the zones' object lists of the mission, the handlers of "mission.hnd" bound
    // to them, then every envelope's OnInit.
    EnvelopeLoadMission(folder.c_str());
    ZoneLoadMission(folder.c_str());
    HandlerCompileMission(folder.c_str());
    EnvelopeResetAll();
    // The soldiers and the player exist: their groups, then their routines at the point envelopes
    // made above.
    GameDrawLoadingMessage("Loading ai groups...");
    AILoadGroups(folder.c_str());
    AILoadPatrolPaths(folder.c_str());
    AILoadPatrolAssignments(folder.c_str());
    AILoadDefendPoints(folder.c_str());
    // The routes of the soldiers go round the zones of the objects and envelopes placed above.
    BuildObstacleTree();
    // Shadow companions cost a volume per object: they are built when shadows are on, or later, by
    // the first frame that finds them switched on.
    g_shadowsPrepared = false;
    if (rbshadows.Bool()) {
        GameDrawLoadingMessage("Preparing shadows...");
        PrepareShadows();
    }
    ClusteredObjLoad(folder.c_str());
    CameraPoseSettingsLoad();
    // The water's animation frames (with the compass) stay loaded for the whole mission.
    CompassAndWaterTexturesLoad();
    // Every weapon starts the mission with full magazines.
    GameFillWeaponMagazines();
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
const GameTestHooks& GameGetTestHooks()
{
    return g_testHooks;
}

void GamePrepareShadowsIfOn()
{
    if (!g_shadowsPrepared && rbshadows.Bool())
        PrepareShadows();
}
void GameExitToGui(const char*)
{
    GameMissionFrameEnd();
    // The projectiles retired in the last frame are still in the world registry: they go through the
    // table now, before the map's unload deletes what is left in the registry.
    ProjectileTableDestroyAll();
    ProjectileTableClear();
    RainShutdown();
    IndoorMissionUnloaded();
    ParticlesMapUnloaded();
    // What the world renderer keeps of the mission: the map's decals, the vegetation set-up, and the
    // wires and the decal passes' cell object, which point at objects the unload deletes.
    DecalListClear();
    VegetationShutdown();
    DecalPassesSetCellObject(nullptr);
    ConObjFreeAll();
    RenderFreeSunEffect();
    // The spatial sounds and the world objects' sources go before the objects that own them.
    SoundFreeMission();
    MaterialsFree();
    RenderReleaseMapResources();
    // The map's unload removes and deletes every object of the registry, those of the object list
    // and the shadow companions among them; the soldiers' AI goes after their bodies.
    MapUnload();
    FreeObstacleTree();
    // The envelopes left in the table (the obstacle zones, those of objects that outlived nothing)
    // belong to the mission, as do the player's envelope and the map markers; an object that owned its
    // envelope took it away when it was deleted.
    EnvelopeDestroyAll();
    MissionCameraDestroyAll();
    SwitchFromExternalCamera();
    AIShutdown();
    // The classes go after the soldiers that read them.
    ActorClassInfosFree();
    GameObjectListReset();
    ClusteredObjFreeAll();
    g_shadowsPrepared = false;
    // A plug-in's permission to make soldiers under a game mode holds for its mission only.
    ForceActorCreation(false);
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
s32_t RegisterDefObject()
{
    return 0;
}
