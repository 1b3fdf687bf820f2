// The game frame: what the main loop runs once per frame while a mission is up. The clock, the late
// messages, the simulation (unless a screen holds the game), the plug-ins' frame event, then the
// drawing of the player's view (or the satellite view), the overlays, the screenshot, the fade and
// the frame end, after which the envelopes see the frame.
#include "game/mission/code_signal.h"
#include "game/mission/game_frame.h"

#include <cstdio>

#include "actors/actor.h"
#include "actors/actor_cvars.h"
#include "actors/weapons/projectile.h"
#include "ai/soldier/ai_runtime.h"
#include "ai/envelopes/envelope_contacts.h"
#include "ai/envelopes/envelope_table.h"
#include "ai/envelopes/mission_cameras.h"
#include "ai/rules/time_events.h"
#include "core/input/actions.h"
#include "core/console/console.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "core/mission_timers.h"
#include "core/plugins/plugin_host.h"
#include "game/view/external_camera.h"
#include "game/player/cursor_pick.h"
#include "game/game_cvars.h"
#include "game/mission/game_flow.h"
#include "game/game_state.h"
#include "game/game_test_hooks.h"
#include "game/view/game_view.h"
#include "game/player/mounted_control.h"
#include "game/mission/objectives.h"
#include "game/player/player_control.h"
#include "game/player/player_foot_control.h"
#include "game/view/player_view.h"
#include "game/view/satellite_view.h"
#include "game/view/screenshot.h"
#include "game/player/vehicle_control.h"
#include "game/view/view_keys.h"
#include "gui/screens/gui.h"
#include "map/octree/octree.h"
#include "map/registry/world_registry.h"
#include "platform/win32.h"
#include "render/camera.h"
#include "render/draw2d/debug_primitives.h"
#include "render/device/frame.h"
#include "render/land/map_render_setup.h"
#include "render/device/pass_timing.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "render/draw2d/text_draw.h"
#include "scene/passes/frame_state.h"
#include "scene/plugin_bridges/indoor_link.h"
#include "scene/plugin_bridges/particle_host.h"
#include "scene/passes/scene_passes.h"
#include "scene/scene_state.h"
#include "scene/sky/sky_backdrop.h"
#include "scene/passes/visibility_pass.h"
#include "world/objects/dynamic_object.h"
#include "world/scene_view.h"

namespace {

constexpr u32_t kLateMessageDelayMs = 5000;
constexpr u32_t kCaptionDurationMs = 10000;
constexpr DWORD kLostFrameSleepMs = 100;
// The debug labels over the objects: grid-font cells and colour.
constexpr int kLabelCellWidth = 8;
constexpr int kLabelCellHeight = 12;
constexpr D3DCOLOR kLabelColour = 0xFFFFFF00u;
// The satellite camera looks down from this height.
constexpr float kSatelliteHeight = 5000.0f;
constexpr float kHalfPi = 1.5707964f;
constexpr float kPi = 3.1415927f;
// The third-person camera orbits a point this far above the player's feet, at this distance.
constexpr float kThirdPersonLift = 10.0f;
constexpr float kThirdPersonDistance = 30.0f;

// A screen open holds the player's input; a game mode that keeps running keeps the world going.
bool InputSuspended()
{
    return g_frameView.screenOpen;
}

bool KeepsRunning()
{
    return g_frameView.currentGameMod != nullptr && g_frameView.currentGameMod->ownScreens != 0;
}

}  // namespace

// Seconds since the mission start, held to 0.001..0.1 for the frame; the unclamped time is kept, so
// a long pause or a burst of quick frames does not carry into the next frame.
void GameAdvanceFrameClock()
{
    const float t = float(GetTickCount() - g_game.frameClock) * 0.001f;
    float frame = t - g_frameView.gameTime;
    if (frame < 0.001f)
        frame = 0.001f;
    if (frame > 0.1f)
        frame = 0.1f;
    g_frameView.frameTime = frame;
    g_frameView.gameTime = t;
}

namespace {

void ShowLateMessages()
{
    const u32_t now = GetTickCount();
    if (g_gui.captionDue && now - g_gui.captionStamp > kLateMessageDelayMs) {
        GuiShowCaption(kCaptionDurationMs);
        g_gui.captionDue = 0;
    }
    if (g_gui.recordDue && now - g_gui.recordStamp > kLateMessageDelayMs) {
        GuiShowRecord(g_gui.recordDuration);
        g_gui.recordDue = 0;
    }
}

// Exactly one of the controls: the satellite view's, else the mounted weapon's, else the vehicle's,
// else the one on foot.
void RunPlayerControl()
{
    const Actor* player = PlayerActor();
    if (g_game.satelliteView)
        SatelliteViewUpdate();
    else if (player && player->usesMountedWeapon && player->mountedWeapon)
        MountedWeaponControlUpdate();
    else if (player && g_game.playerVehicle)
        VehicleControlUpdate();
    else
        PlayerControlUpdate();
}

// gbdebuginfo: each dynamic object in front of the camera carries its position and name, in the
// grid font, at the point where it stands on the screen.
void DrawDebugLabels()
{
    if (!gbdebuginfo.Bool())
        return;
    SetGridTextStates();
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = 0; i < count; ++i) {
        const Vector3 at = objects[i]->GetPosition();
        const float world[3] = {at.x, at.y, at.z};
        float screen[3];
        if (!GameProjectToScreen(screen, world) || screen[2] < 0.0f || screen[2] > 1.0f)
            continue;
        char label[192];
        std::snprintf(label, sizeof label, "%7.3f %7.3f %7.3f %s", at.x, at.y, at.z, objects[i]->name.Text());
        DrawGridText(static_cast<int>(screen[0]), static_cast<int>(screen[1]), kLabelCellWidth, kLabelCellHeight, label,
                     kLabelColour);
    }
}

void Simulate(bool suspended)
{
    // The projectiles retired in the previous frame are deleted before anything moves.
    ProjectileTableDestroyAll();
    ProjectileTableClear();
    if (gbai.Bool())
        AIFrame();
    MissionCameraUpdateAll();
    // Every object's update, then the world's lowest and highest points.
    DynObjectsUpdate();
    ParticlesFrame();
    PlayerDeathCheck();
    GameCodeFrame();
    if (!suspended)
        RunPlayerControl();
    EnvelopeUpdateContacts();
    if (TimeEventList* events = TimeEventList::Instance())
        events->Update(GetTickCount() - g_game.frameClock);
    TimersTick(g_frameView.frameTime);
}

void SetupCamera()
{
    if (gbthirdperson.Bool()) {
        const float* feet = GameGetPlayerPos();
        RenderSetupCameraFov90(feet[0], feet[1] + kThirdPersonLift, feet[2], 0.0f, 0.0f, 0.0f, kThirdPersonDistance,
                               g_camera.thirdPersonYaw, g_camera.thirdPersonPitch);
    } else {
        RenderSetupCamera(0.0f, 0.0f, 0.0f, GameGetYaw(), GameGetPitch(), g_frameView.roll, GameGetFieldOfView(), 1);
    }
}

// The camera's indoor position follows the viewer (unless the culling camera is frozen), and the
// player's actor takes it over.
bool TrackIndoors(const float* eye)
{
    if (!rbict.Bool()) {
        IndoorCameraLocate(eye);
        if (Actor* player = PlayerActor()) {
            const IndoorPosition* indoor = IndoorCameraPosition();
            player->indoorObject = reinterpret_cast<void*>(indoor->object);
            player->indoorCell = s32_t(indoor->cell);
        }
    }
    return IndoorCameraPosition()->object != 0;
}

void DrawPlayerView()
{
    const float* eye = GameGetViewPos();
    ScenePassRun(SCENE_PASS_SECONDARY_VIEWS);
    SetupCamera();
    RenderSetBatching(true);
    const bool indoors = TrackIndoors(eye);
    RenderSaveCamera();
    RenderTimingBegin(TIMED_PASS_SKY);
    SkyBackdropDraw();
    RenderTimingEnd(TIMED_PASS_SKY);
    if (!OctreeGetRoot())
        return;
    const float yaw = GameGetYaw(), pitch = GameGetPitch(), roll = g_frameView.roll;
    if (indoors) {
        IndoorFrameDraw(eye, yaw, pitch, GameGetFieldOfView());
        return;
    }
    g_sceneView.indoorPassRunning = false;
    StencilMarkBegin();
    RenderVisibilityPass(eye[0], eye[1], eye[2], yaw, pitch, roll, GameGetFieldOfView());
    StencilEnable();
    RenderScenePasses();
}

// The open console page 0 to 3 as a panel; otherwise, while the player has the input, the message
// lines of console 4.
}  // namespace

void GameDrawConsoleOrMessages(bool suspended)
{
    const int page = ConCurrentPage();
    const bool panel = page >= 0 && page < CON_MESSAGE_CONSOLE;
    if (panel || (!suspended && gbgameconsole.Bool()))
        ConDraw();
}

void GameFrameMessagesReset()
{
    g_gui.captionStamp = 0;
    g_gui.captionDue = 1;
    g_gui.recordStamp = 0;
    g_gui.recordDue = 0;
}

void GameFrameStampCaption()
{
    g_gui.captionStamp = GetTickCount();
}

void GameDrawSatelliteView()
{
    Actor* player = PlayerActor();
    // The satellite's picture of the enveloped objects is refreshed at most every 1500 ms; the scan
    // shows them as that picture holds them, and their live poses come back after the drawing.
    EnvelopesStorePose();
    RenderSetBatching(false);
    const bool scan = gb_satcamscan.Bool();
    if (scan)
        EnvelopesApplyStoredPose();
    if (player) {
        player->SetDrawn(true);
        player->SetCastsShadow(true);
        player->SetHeading(GameGetYaw() - kPi);
        player->SetPitch(GameGetPitch());
    }
    // The near and far planes close round the world's height range as seen from above.
    const float nearPlane = g_camera.nearPlane;
    const float range = mfrange.Float();
    g_camera.nearPlane = kSatelliteHeight - DynObjectsHighestPoint() - 10.0f;
    mfrange.SetFloat(kSatelliteHeight - DynObjectsLowestPoint() + 10.0f);
    g_scene.mainView = 0;
    const float x = g_satelliteView.centreX, z = g_satelliteView.centreZ;
    const float fov = g_game.satelliteFieldOfView;
    RenderSetupCamera(x, kSatelliteHeight, z, 0.0f, kHalfPi, 0.0f, fov, 1);
    SkyBackdropDraw();
    if (OctreeGetRoot()) {
        StencilMarkBegin();
        RenderVisibilityPass(x, kSatelliteHeight, z, 0.0f, kHalfPi, 0.0f, fov);
        StencilEnable();
        g_scene.mainView = 1;
        RenderScenePassesExternal();
    }
    g_scene.mainView = 1;
    if (player) {
        player->SetDrawn(false);
        player->SetCastsShadow(false);
    }
    if (scan)
        EnvelopesRestorePose();
    g_camera.nearPlane = nearPlane;
    mfrange.SetFloat(range);
}

void GameSetupLookAtView(float eyeX, float eyeY, float eyeZ, float targetX, float targetY, float targetZ, float fov)
{
    float yaw = 0.0f, pitch = 0.0f;
    RenderSetupLookAtCamera(eyeX, eyeY, eyeZ, targetX, targetY, targetZ, fov, 0.0f, &yaw, &pitch, 1);
    RenderVisibilityPass(eyeX, eyeY, eyeZ, yaw, pitch, 0.0f, fov);
}

void GameUpdateFrame(bool present)
{
    const GameTestHooks& hooks = GameGetTestHooks();
    if (hooks.frame)
        hooks.frame(present);
    // A test that stands in for the mission start has loaded no map to draw.
    if (hooks.missionStart)
        return;
    // A mission script's external camera replaces the whole frame: no simulation, no HUD.
    if (ExternalCameraActive()) {
        ExternalCameraFrame();
        return;
    }
    GamePrepareShadowsIfOn();
    GameAdvanceFrameClock();
    ShowLateMessages();
    // A clear colour with a non-zero alpha leaves the back buffer to the sky box; without sky faces
    // the frame is cleared to white instead.
    const bool skyFaces = g_mapRender.envMaps[0] != nullptr;
    RenderSetClearColor(rbwireframe.Bool() ? 0x00000000u : skyFaces ? 0xFFFFFFFFu : 0x00FFFFFFu);
    const bool suspended = InputSuspended();
    const bool simulating = !suspended || KeepsRunning();
    if (simulating)
        Simulate(suspended);
    g_pluginHost.Broadcast(HookFrame, 0);
    if (hooks.simulated)
        hooks.simulated();
    // A script that switched the external camera on during this simulation has the shot begin now:
    // the player's view with its HUD would otherwise flash up for one frame before it.
    if (ExternalCameraActive()) {
        ExternalCameraDraw();
        return;
    }
    if (RenderBeginFrame() != 0) {
        Sleep(kLostFrameSleepMs);
        return;
    }
    if (g_game.satelliteView)
        GameDrawSatelliteView();
    else
        DrawPlayerView();
    ScenePassRun(SCENE_PASS_OBJECT_PREVIEWS);
    RenderTimingBegin(TIMED_PASS_OVERLAYS);
    DebugLinesDraw();
    DebugFacesDraw();
    DrawDebugLabels();
    GameDrawConsoleOrMessages(suspended);
    RenderTimingEnd(TIMED_PASS_OVERLAYS);
    const bool screenshot = g_input.actionReleased[ACTION_SCREENSHOT] != 0;
    if (screenshot && rbwindowed.Bool())
        GameTakeScreenshot();
    ScenePassRun(SCENE_PASS_SCREEN_FADE);
    RenderEndFrame(present);
    if (screenshot && !rbwindowed.Bool())
        GameTakeScreenshot();
    // The envelopes see only drawn frames.
    if (simulating)
        EnvelopeFireFrameEvents();
    ++g_game.frameCounter;
}
