// The mission leave: what the mission load made is freed in a fixed order, the AI layer last.
#include <string>

#include "actors/actor_class.h"
#include "actors/obstacle_tree.h"
#include "actors/weapons/projectile.h"
#include "ai/squads/ai_groups.h"
#include "ai/soldier/ai_runtime.h"
#include "ai/squads/defend_points.h"
#include "ai/envelopes/envelope_table.h"
#include "ai/envelopes/mission_cameras.h"
#include "ai/msal/msal_reader.h"
#include "ai/squads/patrol_path.h"
#include "ai/rules/script_events.h"
#include "ai/rules/time_events.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "core/log.h"
#include "core/sound/sound.h"
#include "core/sound/sound_system.h"
#include "game/view/camera_link.h"
#include "game/player/command_menu.h"
#include "game/mission/objectives.h"
#include "game/accounts/restart_info.h"
#include "game/view/external_camera.h"
#include "game/game_cvars.h"
#include "game/mission/game_flow.h"
#include "game/game_state.h"
#include "game/mission/mission_steps.h"
#include "game/view/mouse_look.h"
#include "game/mission_objects/object_factory.h"
#include "game/mission_objects/object_list.h"
#include "game/mission_objects/player_assembly.h"
#include "game/player/player_state.h"
#include "game/view/player_view.h"
#include "game/view/view_keys.h"
#include "gui/screens/screen_manager.h"
#include "map/terrain/map_load.h"
#include "scene/views/first_person_view.h"
#include "map/materials/material_table.h"
#include "render/land/map_render_setup.h"
#include "scene/views/first_person_view.h"
#include "render/textures/texture_reports.h"
#include "scene/plugin_bridges/indoor_link.h"
#include "scene/plugin_bridges/particle_host.h"
#include "scene/sky/rain.h"
#include "world/animation/anim_cache.h"
#include "world/animation/clustered_mesh.h"
#include "world/wires/wires.h"

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
