// The mission load: a mission name becomes a running mission in one fixed order, with the loading
// screen drawn between the steps. A test may stand in for the whole load (game/game_test_hooks.h).
#include <cstdio>
#include <string>

#include "actors/actor.h"
#include "actors/actor_class.h"
#include "actors/ai_entity.h"
#include "actors/obstacle_tree.h"
#include "ai/squads/ai_groups.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_runtime.h"
#include "ai/squads/defend_points.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_files.h"
#include "ai/envelopes/envelope_table.h"
#include "ai/envelopes/handler_compiler.h"
#include "ai/envelopes/mission_cameras.h"
#include "ai/msal/msal_reader.h"
#include "ai/squads/patrol_path.h"
#include "ai/rules/script_events.h"
#include "ai/envelopes/shape_envelopes.h"
#include "ai/rules/time_events.h"
#include "ai/envelopes/zone_envelope.h"
#include "core/console/console.h"
#include "core/core_cvars.h"
#include "core/files/def_file.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "core/log.h"
#include "core/mission_timers.h"
#include "core/plugins/plugin_api.h"
#include "core/plugins/plugin_host.h"
#include "core/random.h"
#include "core/sound/sound.h"
#include "core/strings/text_case.h"
#include "core/winos.h"
#include "game/mission/objectives.h"
#include "game/accounts/restart_info.h"
#include "game/mission/code_signal.h"
#include "game/accounts/account_cvars.h"
#include "game/mission_objects/camera_pose_settings.h"
#include "game/accounts/campaign_chronology.h"
#include "game/accounts/current_account.h"
#include "game/game_cvars.h"
#include "game/player/command_menu.h"
#include "game/mission/game_flow.h"
#include "game/mission/game_frame.h"
#include "game/game_state.h"
#include "game/game_test_hooks.h"
#include "game/mission/loading_screen.h"
#include "game/mission/mission_steps.h"
#include "game/mission/mission_weapons.h"
#include "game/view/mouse_look.h"
#include "game/mission_objects/object_list.h"
#include "game/accounts/player_account.h"
#include "game/mission_objects/player_assembly.h"
#include "game/mission_objects/weapon_placements.h"
#include "game/player/player_control.h"
#include "game/player/player_control_state.h"
#include "game/player/player_foot_control.h"
#include "game/player/player_state.h"
#include "game/view/player_view.h"
#include "game/view/satellite_view.h"
#include "game/view/view_keys.h"
#include "gui/screens/gui.h"
#include "gui/screens/game_screen_lists.h"
#include "gui/screens/screen_manager.h"
#include "map/terrain/map_load.h"
#include "map/materials/material_table.h"
#include "map/terrain/terrain_height.h"
#include "map/registry/world_registry.h"
#include "render/draw2d/hud_input.h"
#include "render/render_cvars.h"
#include "render/textures/texture_manager.h"
#include "render/textures/texture_preload.h"
#include "scene/meshes/gpu_anim_buffers.h"
#include "scene/plugin_bridges/indoor_link.h"
#include "scene/plugin_bridges/particle_host.h"
#include "scene/sky/rain.h"
#include "scene/passes/scene_passes.h"
#include "world/animation/anim_cache.h"
#include "world/animation/clustered_mesh.h"
#include "world/objects/dynamic_object.h"
#include "world/wires/wires.h"

namespace {

// The viewer stands this far above the ground at the start position.
constexpr float kStartEyeHeight = 17.0f;
// The satellite view's range without a "ZONERANGE" envelope.
constexpr float kDefaultSatelliteRange = 5000.0f;

bool IsTutorialMap()
{
    return CompareNoCase(GameCurrentMapName().Text(), "tutorial") == 0;
}

void SetViewerAndPlayer(float x, float y, float z)
{
    float* viewer = GameGetViewPos();
    viewer[0] = x;
    viewer[1] = y;
    viewer[2] = z;
    GameSetPlayerPos(viewer);
}

// The satellite view's centre stays inside this rectangle: the "ZONERANGE" envelope's (a box's x and
// z extent or a zone's bounds), else the default square round the origin.
void SetSatelliteRange()
{
    float minX = -kDefaultSatelliteRange, minZ = -kDefaultSatelliteRange;
    float maxX = kDefaultSatelliteRange, maxZ = kDefaultSatelliteRange;
    Envelope* range = EnvelopeFind("ZONERANGE");
    if (auto* zone = dynamic_cast<ZoneEnvelope*>(range); zone && zone->vertexCount > 0) {
        minX = zone->minX;
        minZ = zone->minZ;
        maxX = zone->maxX;
        maxZ = zone->maxZ;
    } else if (auto* box = dynamic_cast<AABoxEnvenlope*>(range)) {
        minX = box->minimum.x;
        minZ = box->minimum.z;
        maxX = box->maximum.x;
        maxZ = box->maximum.z;
    }
    g_satelliteView.minX = minX;
    g_satelliteView.minZ = minZ;
    g_satelliteView.maxX = maxX;
    g_satelliteView.maxZ = maxZ;
}

// The loading screen with its briefing, and the in-game screens' text layers filled from their forms
// (the record and response forms after the variables they read).
GuiScreen* PrepareScreens()
{
    GuiSetItemForm("LOADSCREEN", "LOADBRIEFING");
    // A game mode that keeps running under its screens loads behind its own loading screen.
    const GameMod* mode = g_frameView.currentGameMod;
    GuiScreen* screen = GuiFindScreen(mode && mode->ownScreens ? mode->loadScreen : "LOADSCREEN");
    // Entered once, as the GUI enters a screen it starts with: its controls take up what they show.
    if (screen)
        screen->Activate(screen);
    MissionStep(MISSION_LOAD, 5);
    GameDrawLoadingProgress("Loading materials...", screen, 0);
    MissionStep(MISSION_LOAD, 6);
    // Before the mission's objects: weapons and seats keep pointers to these screens.
    GuiLoadGameScreens();
    GuiSetItemForm("layer11", "missionmsg");
    EngineSRand(GetTickCount());
    char text[32];
    // The record and response forms may show the message the variables name: set before each fill.
    std::snprintf(text, sizeof text, "records_%d", EngineRand() % 6 + 1);
    gs_records.SetString(text);
    GuiSetItemForm("layer12", "accomplishmsg");
    std::snprintf(text, sizeof text, "response_%d", EngineRand() % 6 + 1);
    gs_response.SetString(text);
    GuiSetItemForm("layer13", "response");
    return screen;
}

}  // namespace

void GameRemoveFriendlySoldiers()
{
    EnvelopeForgetRemovedObjects();
    if (SinglePlayerMode() != 0 || IsTutorialMap())
        return;
    const Actor* player = dynamic_cast<const Actor*>(g_frameView.player);
    const AIEntity* playerEntity = player ? player->GetAIEntity() : nullptr;
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = count - 1; i >= 0; --i) {
        DynamicObject* object = DynObjectGet(i);
        if (!object || object == g_frameView.player || object->GetTypeId() != OBJECT_TYPE_ACTOR)
            continue;
        const auto* soldier = dynamic_cast<const Actor*>(object);
        const AIEntity* entity = soldier ? soldier->GetAIEntity() : nullptr;
        if (entity && entity->IsFriendOf(playerEntity)) {
            EnvelopeNoteObjectRemovedByStart(object->name.Text());
            GameDeleteWorldObject(object);
        }
    }
}

int GameInitMission(const char* mapName)
{
    const GameTestHooks& hooks = GameGetTestHooks();
    if (hooks.missionStart) {
        hooks.missionStart(mapName);
        g_game.missionLoaded = hooks.initMissionResult >= 0;
        return hooks.initMissionResult;
    }
    const char* name = mapName ? mapName : "";
    MissionStep(MISSION_LOAD, 1);
    Log("\nInitializing mission '%s'...", name);
    GameCurrentMapName().Assign(name);
    g_game.missionLoaded = true;

    MissionStep(MISSION_LOAD, 2);
    const Vector3 start = gv_startpos.Vector();
    SetViewerAndPlayer(start.x * 10.0f, start.y * 10.0f + kStartEyeHeight, start.z * 10.0f);
    for (int axis = 0; axis < 3; ++axis)
        g_playerFoot.previousPosition[axis] = GameGetViewPos()[axis];
    InputSetMouseMoveListener(MouseLookUpdate);

    MissionStep(MISSION_LOAD, 3);
    g_game.frameClock = GetTickCount();
    g_frameView.gameTime = 0.0f;
    g_frameView.frameTime = 0.05f;
    g_textures.totalBytes = 0;

    MissionStep(MISSION_LOAD, 4);
    GuiScreen* screen = PrepareScreens();

    MissionStep(MISSION_LOAD, 7);
    MaterialsLoad();
    AnimCacheReset();

    MissionStep(MISSION_LOAD, 8);
    GameDrawLoadingProgress("Loading land...", screen, 5);
    const std::string folder = std::string("mission\\") + name + "\\";
    const std::string definitionName = folder + "mission.def";
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
    // The loaders below take the folder without its closing separator.
    const std::string missionFolder = folder.substr(0, folder.size() - 1);
    if (MapLoad(EngineString(land->Value(0)), EngineString(missionFolder.c_str())) < 0) {
        DefFileRelease(definition);
        return -1;
    }

    MissionStep(MISSION_LOAD, 9);
    RainInit();

    MissionStep(MISSION_LOAD, 10);
    GameDrawLoadingProgress("Loading ai...", screen, 35);
    AIStartup();
    ActorClassInfosReset();

    MissionStep(MISSION_LOAD, 11);
    GameDrawLoadingProgress("Loading objects...", screen, 45);
    GameLoadObjectList(definition, nullptr, 0, nullptr);
    DefFileRelease(definition);
    AILoadScripts();

    MissionStep(MISSION_LOAD, 12);
    GameDrawLoadingProgress("Creating player...", screen, 85);
    GameAssemblePlayer();
    GameRemoveFriendlySoldiers();
    GameCreateTeskActor();
    ConPrint(0, "Textures: %d kB\n", static_cast<int>(g_textures.totalBytes / 1000));
    MaterialsLoadTextureProperties();

    MissionStep(MISSION_LOAD, 13);
    GameDrawLoadingProgress("Loading connected objects...", screen, 87);
    ConObjLoad(missionFolder.c_str());

    // The soldiers and the player exist: their groups; the mission's camera before the envelopes,
    // whose "camera" lines link to it; the handlers bound to the envelopes, then every envelope's
    // OnInit; the soldiers' routines at the point envelopes made above; the obstacle tree round the
    // zones of the objects and envelopes.
    MissionStep(MISSION_LOAD, 14);
    GameDrawLoadingProgress("Loading ai groups...", screen, 92);
    AILoadGroups(missionFolder.c_str());
    MissionCameraCreateDefault();
    EnvelopeLoadMission(missionFolder.c_str());
    ZoneLoadMission(missionFolder.c_str());
    InteractInit();
    ScriptCreateEventList();
    const std::string events = folder + "events.txt";
    if (!ScriptLoadEventFile(events.c_str()))
        ConPrint(0,
                 "\x0E\x02"
                 "Error loading events '%s'!\n",
                 events.c_str());
    HandlerCompileMission(missionFolder.c_str());
    EnvelopeResetAll();
    AILoadPatrolPaths(missionFolder.c_str());
    AILoadPatrolAssignments(missionFolder.c_str());
    AILoadDefendPoints(missionFolder.c_str());
    BuildObstacleTree();
    GameReplacePlacedWeapons();
    ParticlesMapLoaded();
    IndoorMissionLoaded();

    MissionStep(MISSION_LOAD, 15);
    GameDrawLoadingProgress("Loading events...", screen, 95);
    TimeEventList::Create();
    const std::string timeline = folder + "timeline.txt";
    if (!TimeEventList::Load(timeline.c_str()))
        ConPrint(0,
                 "\x0E\x02"
                 "Error loading timeline '%s'!\n",
                 timeline.c_str());
    MSALLoadMission(missionFolder.c_str());
    ClearTimers();

    // Shadow companions cost a volume per object: they are built now when shadows are on, or later,
    // by the first frame that finds them switched on.
    MissionStep(MISSION_LOAD, 16);
    GameForgetMissionShadows();
    if (rbshadows.Bool()) {
        GameDrawLoadingProgress("Preparing shadows...", screen, 100);
        GamePrepareShadowsIfOn();
    }

    // The queued animations go to the GPU before the clustered meshes take their buffers.
    MissionStep(MISSION_LOAD, 17);
    GpuAnimUpload();
    ClusteredObjLoad(missionFolder.c_str());
    CameraPoseSettingsLoad();
    LoadMessageSounds();
    GameCodeReset();

    MissionStep(MISSION_LOAD, 18);
    const float x = start.x * 10.0f, z = start.z * 10.0f;
    SetViewerAndPlayer(x, MapTerrainHeight(x, z, nullptr, nullptr) + kStartEyeHeight, z);
    g_satelliteView.centreX = x;
    g_satelliteView.centreZ = z;
    g_playerFoot.parachuteDescent = gb_pradropstart.Bool() ? 1 : 0;
    g_frameView.sound.playerDead = false;
    gbthirdperson.SetBool(false);
    // The revive lets a body cast its shadow again; the player's own body casts none, as its
    // assembly set: the viewer stands inside it, and its shadow volume would cover the view.
    if (Actor* player = dynamic_cast<Actor*>(g_frameView.player)) {
        player->Revive();
        player->SetCastsShadow(false);
    }

    MissionStep(MISSION_LOAD, 19);
    if (g_game.satelliteView)
        ToggleSatelliteView();
    g_playerControl.firedThisFrame = 0;
    g_playerControl.autoShotResult = 0;
    g_playerControl.usePending = 0;
    g_hudInput.flags.worldMarkersShown = 1;

    // Without a current account (a "-m" start that names none that exists) there is no record to
    // reset.
    MissionStep(MISSION_LOAD, 20);
    if (!g_frameView.currentGameMod) {
        if (PlayerAccount* account = GetCurrentAccount()) {
            // The savegames stay (they are loaded from the menus); the next save without index drops
            // those this run has not made.
            MissionSavegames& record = account->GetMissionSavegames(name);
            account->CurrentMode().savegameMark = 0;
            record.maxSavegames = gi_maxsaves.Int();
        }
    }

    MissionStep(MISSION_LOAD, 21);
    GuiFillMarkerList();
    MissionStep(MISSION_LOAD, 22);
    SetSatelliteRange();

    // What a restart puts back: the mission as loaded.
    MissionStep(MISSION_LOAD, 23);
    RestartInfoFree();
    g_game.savingRestart = true;
    RestartInfoSave();
    g_game.savingRestart = false;
    ConClear(4);

    MissionStep(MISSION_LOAD, 24);
    GameFrameMessagesReset();
    g_scenePassGame.missionKind = SinglePlayerMode();
    g_scenePassGame.tutorialMap = IsTutorialMap();

    MissionStep(MISSION_LOAD, 25);
    if (SinglePlayerMode() == 1 || IsTutorialMap())
        CursorTexturesLoad();
    // The water's animation frames (with the compass) stay loaded for the whole mission.
    CompassAndWaterTexturesLoad();
    TexturesApplyQualitySetting();
    SoundUpdate();
    SoundApplyVolumes();
    GameUpdateMouseSensitivity();
    // Every weapon starts the mission with full magazines (the restart information refills its own).
    GameFillWeaponMagazines();
    EnvelopesPoseStoreReset();

    MissionStep(MISSION_LOAD, 26);
    g_pluginHost.Broadcast(HookMissionStarted, 0);

    MissionStep(MISSION_LOAD, 27);
    if (!g_frameView.currentGameMod && !g_program.startOptions.directStart) {
        GameDrawLoadingProgress("Press any key to continue...", screen, 100);
        GameWaitForAnyKey(screen);
    } else {
        GameDrawLoadingProgress("Entering map...", screen, 100);
    }

    MissionStep(MISSION_LOAD, 28);
    Log("done\n");
    return 0;
}
