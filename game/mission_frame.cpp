#include "game/mission_frame.h"

#include <cmath>

#include "actors/projectile.h"
#include "ai/ai_runtime.h"
#include "ai/envelope_contacts.h"
#include "ai/envelope_table.h"
#include "core/actions.h"
#include "core/console.h"
#include "core/frame_view.h"
#include "core/input.h"
#include "core/winos.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "game/game_view.h"
#include "game/mouse_look.h"
#include "game/player_view.h"
#include "game/screenshot.h"
#include "map/map_caches.h"
#include "map/octree.h"
#include "map/terrain_height.h"
#include "map/world_registry.h"
#include "platform/win32.h"
#include "render/debug_primitives.h"
#include "render/frame.h"
#include "render/map_render_setup.h"
#include "render/render_context.h"
#include "render/pass_timing.h"
#include "render/render_cvars.h"
#include "scene/frame_state.h"
#include "scene/indoor_link.h"
#include "scene/particle_host.h"
#include "scene/object_draw.h"
#include "scene/scene_passes.h"
#include "scene/scene_state.h"
#include "scene/sky_backdrop.h"
#include "scene/visibility_pass.h"

namespace {

constexpr float kWalkSpeed = 60.0f;  // world units a second
constexpr float kRunFactor = 4.0f;
constexpr float kStartHeight = 30.0f;  // above the ground when no "-p" is given
constexpr float kLowestEye = 2.0f;     // the viewer never sinks closer to the ground than this

float g_heightAboveGround = kStartHeight;

float GroundBelow(float x, float z)
{
    return MapTerrainHeight(x, z, nullptr, nullptr);
}

// The move actions carry the viewer along its heading at a fixed height above the ground.
void MoveViewer(float seconds)
{
    float forward = 0.0f, side = 0.0f;
    if (g_input.actionDown[ACTION_MOVE_FORWARD])
        forward += 1.0f;
    if (g_input.actionDown[ACTION_MOVE_BACKWARD])
        forward -= 1.0f;
    if (g_input.actionDown[ACTION_STRAFE_RIGHT])
        side += 1.0f;
    if (g_input.actionDown[ACTION_STRAFE_LEFT])
        side -= 1.0f;
    if (g_input.actionDown[ACTION_JUMP])
        g_heightAboveGround += kWalkSpeed * seconds;
    if (g_input.actionDown[ACTION_CROUCH])
        g_heightAboveGround = std::fmax(kLowestEye, g_heightAboveGround - kWalkSpeed * seconds);
    float* position = GameGetViewPos();
    const float step = kWalkSpeed * seconds * (g_input.actionDown[ACTION_RUN] ? kRunFactor : 1.0f);
    const float yaw = GameGetYaw();
    // The view looks along (sin yaw, 0, cos yaw) with its right hand at (cos yaw, 0, -sin yaw).
    position[0] += step * (forward * std::sin(yaw) + side * std::cos(yaw));
    position[2] += step * (forward * std::cos(yaw) - side * std::sin(yaw));
    if (forward != 0.0f || side != 0.0f || g_input.actionDown[ACTION_JUMP] || g_input.actionDown[ACTION_CROUCH])
        position[1] = GroundBelow(position[0], position[2]) + g_heightAboveGround;
}

// The game clock: the frame's seconds, held to 0.001..0.1; the unclamped time is kept so that the
// clamp never accumulates.
void AdvanceClock()
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

// The drawing of the outdoor road: the views drawn into textures, the camera, batching on, the
// camera saved, the sky, the stencil mark of the static map round the visibility pass, then the
// outdoor pass list; a camera in an indoor cell takes the indoor road instead.
void DrawWorld()
{
    const float* eye = GameGetViewPos();
    ScenePassRun(SCENE_PASS_SECONDARY_VIEWS);
    RenderSetupCamera(0.0f, 0.0f, 0.0f, GameGetYaw(), GameGetPitch(), 0.0f, GameGetFieldOfView(), 1);
    RenderSetBatching(true);
    const bool indoors = IndoorCameraLocate(eye);
    RenderSaveCamera();
    RenderTimingBegin(TIMED_PASS_SKY);
    SkyBackdropDraw();
    RenderTimingEnd(TIMED_PASS_SKY);
    if (!OctreeGetRoot())
        return;
    // A camera in an indoor cell: the indoor plug-in draws the cell, then the indoor pass list.
    if (indoors) {
        IndoorFrameDraw(eye, GameGetYaw(), GameGetPitch(), GameGetFieldOfView());
        return;
    }
    g_scene.indoorPassRunning = false;
    StencilMarkBegin();
    RenderVisibilityPass(eye[0], eye[1], eye[2], GameGetYaw(), GameGetPitch(), 0.0f, GameGetFieldOfView());
    StencilEnable();
    RenderScenePasses();
}

}  // namespace

float GameGetFov()
{
    return GameGetFieldOfView();
}

void GameMissionFrameStart()
{
    float* position = GameGetViewPos();
    const Vector3 start = g_program.startOptions.startPosition;
    if (start.x != 0.0f || start.y != 0.0f || start.z != 0.0f) {
        position[0] = start.x;
        position[1] = start.y;
        position[2] = start.z;
        g_heightAboveGround = std::fmax(kLowestEye, start.y - GroundBelow(start.x, start.z));
    } else {
        Vector3 low, high;
        MapGetBox(&low, &high);
        const bool hasBox = low.x <= high.x && low.z <= high.z;
        position[0] = hasBox ? (low.x + high.x) * 0.5f : 0.0f;
        position[2] = hasBox ? (low.z + high.z) * 0.5f : 0.0f;
        g_heightAboveGround = kStartHeight;
        position[1] = GroundBelow(position[0], position[2]) + kStartHeight;
    }
    g_frameView.gameTime = 0.0f;
    InputSetMouseMoveListener(MouseLookUpdate);
}

void GameMissionFrameEnd()
{
    if (g_input.mouseMoveListener == MouseLookUpdate)
        InputSetMouseMoveListener(nullptr);
}

void GameMissionFrame(bool present)
{
    AdvanceClock();
    // White with a non-zero alpha leaves the back buffer to the sky box; without sky faces the frame
    // is cleared to white instead.
    const bool skyFaces = g_mapRender.envMaps[0] != nullptr;
    RenderSetClearColor(rbwireframe.Bool() ? 0x00000000u : skyFaces ? 0xFFFFFFFFu : 0x00FFFFFFu);
    if (!g_frameView.screenOpen) {
        // The projectiles retired in the previous frame are deleted before anything moves.
        ProjectileTableDestroyAll();
        ProjectileTableClear();
        DynObjectsUpdate();
        if (gbai.Bool())
            AIFrame();
        ParticlesFrame();
        MoveViewer(g_frameView.frameTime);
        EnvelopeUpdateContacts();
    }
    if (RenderBeginFrame() != 0) {
        Sleep(100);
        return;
    }
    DrawWorld();
    ScenePassRun(SCENE_PASS_OBJECT_PREVIEWS);
    RenderTimingBegin(TIMED_PASS_OVERLAYS);
    DebugLinesDraw();
    DebugFacesDraw();
    ConDraw();
    RenderTimingEnd(TIMED_PASS_OVERLAYS);
    const bool screenshot = g_input.actionReleased[ACTION_SCREENSHOT] != 0;
    if (screenshot && rbwindowed.Bool())
        GameTakeScreenshot();
    ScenePassRun(SCENE_PASS_SCREEN_FADE);
    RenderEndFrame(present);
    if (screenshot && !rbwindowed.Bool())
        GameTakeScreenshot();
    // The envelopes' OnFrame events follow a drawn frame; a failed frame start returned above.
    if (!g_frameView.screenOpen)
        EnvelopeFireFrameEvents();
    ++g_game.frameCounter;
}
