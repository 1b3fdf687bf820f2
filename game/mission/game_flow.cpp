// Mission start and exit: the material table, the land of the mission's definition and the objects
// its list places, and their release. A test may stand in for the mission start (game/game_test_hooks.h).
#include "game/mission/game_flow.h"

#include <cstring>
#include <string>

#include "actors/actor_class.h"
#include "actors/obstacle_tree.h"
#include "actors/weapons/projectile.h"
#include "ai/squads/ai_groups.h"
#include "ai/soldier/ai_runtime.h"
#include "ai/squads/defend_points.h"
#include "ai/envelopes/envelope_files.h"
#include "ai/envelopes/envelope_table.h"
#include "ai/envelopes/handler_compiler.h"
#include "ai/envelopes/mission_cameras.h"
#include "ai/squads/patrol_path.h"
#include "core/frame_view.h"
#include "game/mission_objects/camera_pose_settings.h"
#include "game/view/external_camera.h"
#include "game/commands/game_mod_registry.h"
#include "game/game_test_hooks.h"
#include "core/console/console.h"
#include "core/files/def_file.h"
#include "core/input/input.h"
#include "core/log.h"
#include "core/plugins/plugin_host.h"
#include "core/winos.h"
#include "core/sound/sound.h"
#include "game/commands/game_commands.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "game/mission/loading_screen.h"
#include "game/accounts/savegame.h"
#include "game/mission/mission_weapons.h"
#include "game/mission_objects/object_factory.h"
#include "game/mission_objects/object_list.h"
#include "game/player/player_state.h"
#include "map/terrain/map_load.h"
#include "map/materials/material_table.h"
#include "render/land/map_render_setup.h"
#include "render/textures/texture_preload.h"
#include "platform/win32.h"
#include "scene/passes/decal_list.h"
#include "scene/passes/decal_pass.h"
#include "scene/plugin_bridges/indoor_link.h"
#include "scene/plugin_bridges/particle_host.h"
#include "scene/sky/rain.h"
#include "scene/scene_cvars.h"
#include "scene/passes/stencil_shadows.h"
#include "scene/sky/sun_effect.h"
#include "scene/vegetation/vegetation.h"
#include "world/animation/clustered_mesh.h"
#include "world/wires/wires.h"

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

void GameSetTestHooks(const GameTestHooks& hooks)
{
    g_testHooks = hooks;
}

const GameTestHooks& GameGetTestHooks()
{
    return g_testHooks;
}

void MissionStep(MissionRoad road, int step)
{
    if (g_testHooks.missionStep)
        g_testHooks.missionStep(road, step);
}

void GamePrepareShadowsIfOn()
{
    if (!g_shadowsPrepared && rbshadows.Bool())
        PrepareShadows();
}

void GameForgetMissionShadows()
{
    g_shadowsPrepared = false;
}

namespace {

bool AnyKeyOrButtonDown()
{
    for (u8_t state : g_input.keyStates) {
        if (state)
            return true;
    }
    for (u8_t state : g_input.mouseStates) {
        if (state)
            return true;
    }
    return false;
}

void ForgetKeysAndButtons()
{
    ClearKeyStates();
    std::memset(g_input.mouseStates, 0, sizeof g_input.mouseStates);
    std::memset(g_input.actionDown, 0, sizeof g_input.actionDown);
    std::memset(g_input.actionReleased, 0, sizeof g_input.actionReleased);
    std::memset(g_input.actionPrevious, 0, sizeof g_input.actionPrevious);
}

}  // namespace

int GameHaltAfterLoadError(bool* closeRequested)
{
    ConSetCurrent(0);
    // Both lines in the error colour (the bytes 0x0E 0x02).
    ConPrint(0, "\n\n\x0E\x02 *** FATAL ERROR : Program halted ***\n");
    ConPrint(0, "\x0E\x02<press ESC to exit>\n");
    // A key still down from before the halt (the click that started the mission) does not end it:
    // only a key or button pressed while it shows.
    ForgetKeysAndButtons();
    bool closed = false;
    MSG message = {};
    for (;;) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            // The window's close (the window procedure turns it into the quit message).
            if (message.message == WM_CLOSE || message.message == WM_QUIT)
                closed = true;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        InputUpdate();
        if (closed || g_program.ending || AnyKeyOrButtonDown())
            break;
        GameDrawLoadingScreenAndConsole();
        // Nothing else runs: the pause keeps the wait from spinning.
        Sleep(10);
    }
    // The close's quit message comes once nothing else waits: taken here, it cannot end a later run.
    if (closed && message.message == WM_CLOSE) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) && message.message != WM_QUIT) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    ForgetKeysAndButtons();
    if (closeRequested)
        *closeRequested = closed || g_program.ending;
    return -1;
}

s32_t GameLoadGameCommand(const char* arguments)
{
    return SavegameLoadCommand(arguments);
}

void GameModsInit()
{
    g_frameView.currentGameMod = nullptr;
    g_pluginHost.Broadcast(HookGameModRegister, 0);
}

void GameModsFree()
{
    g_frameView.currentGameMod = nullptr;
    GameModRegistryFree();
}
s32_t RegisterDefObject()
{
    return 0;
}
