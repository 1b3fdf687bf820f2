// The mission leave: what the mission load made is freed in a fixed order, the AI layer last.
#include <string>

#include "actors/actor_class.h"
#include "actors/obstacle_tree.h"
#include "actors/projectile.h"
#include "ai/ai_groups.h"
#include "ai/ai_runtime.h"
#include "ai/defend_points.h"
#include "ai/envelope_table.h"
#include "ai/mission_cameras.h"
#include "ai/msal_reader.h"
#include "ai/patrol_path.h"
#include "ai/script_events.h"
#include "ai/time_events.h"
#include "core/frame_view.h"
#include "core/input.h"
#include "core/log.h"
#include "core/sound.h"
#include "core/sound_system.h"
#include "game/camera_link.h"
#include "game/command_menu.h"
#include "game/objectives.h"
#include "game/restart_info.h"
#include "game/external_camera.h"
#include "game/game_cvars.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/mission_steps.h"
#include "game/mouse_look.h"
#include "game/object_factory.h"
#include "game/object_list.h"
#include "game/player_assembly.h"
#include "game/player_state.h"
#include "game/player_view.h"
#include "game/view_keys.h"
#include "gui/screen_manager.h"
#include "map/map_load.h"
#include "scene/first_person_view.h"
#include "map/material_table.h"
#include "render/map_render_setup.h"
#include "scene/first_person_view.h"
#include "render/texture_reports.h"
#include "scene/indoor_link.h"
#include "scene/particle_host.h"
#include "scene/rain.h"
#include "world/anim_cache.h"
#include "world/clustered_mesh.h"
#include "world/wires.h"

void GameLeaveMission()
{
    const char* name = GameCurrentMapName().Text();
    MissionStep(MISSION_LEAVE, 1);
    Log("Leaving mission '%s'...", name);

    MissionStep(MISSION_LEAVE, 2);
    TexturesWriteUsageList((std::string("mission\\") + name).c_str());

    // The projectiles retired in the last frame are still in the world registry: they go through the
    // table now, before the map's unload deletes what is left in the registry.
    MissionStep(MISSION_LEAVE, 3);
    GameResetViewAngles();
    ProjectileTableDestroyAll();
    ProjectileTableClear();
    ClearMessageSounds();
    if (g_input.mouseMoveListener == MouseLookUpdate)
        InputSetMouseMoveListener(nullptr);

    // The wires point at objects that the map's unload deletes: they go first. The unload removes
    // and deletes every object of the registry (the object list's, the player, the Tesk team's actor,
    // the shadow companions).
    MissionStep(MISSION_LEAVE, 4);
    // The camera may follow a node of an object that the unload deletes (the mission script's
    // LinkCamera): the view is given back before the node goes.
    GameUnlinkCamera();
    ConObjFreeAll();
    MaterialsFree();
    // The player's footstep surfaces point into the material table just freed: the next mission's
    // first sound update must trace again, not play from the old table.
    SoundResetPlayer();
    g_frameView.sound.forcedSurface = nullptr;
    g_frameView.sound.surfaceForced = false;
    g_frameView.sound.waterSurface = nullptr;
    g_frameView.sound.surfaceBelowViewer = nullptr;
    RenderReleaseMapResources();
    MapUnload();
    // The first-person view remembers the player's last weapons, deleted with the map just now.
    FirstPersonViewResetFrameState();
    GameForgetTeskActor();
    GameForgetMissionShadows();
    RainShutdown();
    AnimCacheFreeAll();
    IndoorMissionUnloaded();
    ParticlesMapUnloaded();
    ActorClassInfosFree();
    GameObjectListReset();
    // After the objects that point at them (weapons, seats).
    GuiFreeGameScreens();
    ObjectivesReset();
    ClusteredObjFreeAll();

    MissionStep(MISSION_LEAVE, 5);
    g_frameView.player = nullptr;
    gs_load_slot_request.SetString("");
    RestartInfoFree();
    // The first-person view remembers the weapon it switched from: that weapon is gone with the
    // mission.
    FirstPersonViewResetFrameState();

    MissionStep(MISSION_LEAVE, 6);
    if (g_game.satelliteView)
        ToggleSatelliteView();
    gb_satcamenable.SetBool(true);
    // A plug-in's permission to make soldiers under a game mode holds for its mission only.
    ForceActorCreation(false);

    // The campaign's offered-mission lists stay: the menus choose the next mission from them.
    MissionStep(MISSION_LEAVE, 7);

    // The envelopes left in the table (the obstacle zones, those of objects that outlived nothing)
    // belong to the mission, as do the player's envelope and the map markers; an object that owned
    // its envelope took it away when it was deleted.
    MissionStep(MISSION_LEAVE, 8);
    MissionCameraDestroyAll();
    SwitchFromExternalCamera();
    MSALUnloadMission();
    TimeEventList::Destroy();
    ScriptDestroyEventList();
    FreeObstacleTree();
    AIClearDefendPoints();
    AIClearPatrolPaths();
    EnvelopeDestroyAll();
    InteractFree();
    AIClearGroups();
    ScriptDestroyRegistries();
    AIShutdown();

    MissionStep(MISSION_LEAVE, 9);
    g_game.missionLoaded = false;
    Log("done\n");
    Log("\n");
}
