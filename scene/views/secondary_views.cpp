#include "scene/views/secondary_views.h"

#include "actors/actor.h"
#include "core/frame_view.h"
#include "game/player/game_water.h"
#include "map/land_maps/water_layers.h"
#include "platform/d3dx8_math.h"
#include "render/camera.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "render/land/visible_nodes.h"
#include "scene/meshes/connection_draw.h"
#include "scene/draw_records/draw_record_replay.h"
#include "scene/draw_records/draw_records.h"
#include "scene/meshes/object_draw.h"
#include "scene/passes/object_pass.h"
#include "scene/plugin_bridges/particles_draw.h"
#include "scene/passes/scene_passes.h"
#include "scene/scene_state.h"
#include "scene/sky/sky_backdrop.h"
#include "scene/passes/visibility_pass.h"

SecondaryViewsState g_secondaryViews;

namespace {

constexpr float kPi = 3.14159265358979f;
// The eye above the body's feet in each stance.
constexpr float kEyeStanding = 17.0f;
constexpr float kEyeCrouching = 12.0f;
constexpr float kEyeProne = 3.0f;

IDirect3DSurface8* WaterViewSurface()
{
    IDirect3DSurface8* surface = nullptr;
    if (g_render.secondaryViewTarget && FAILED(g_render.secondaryViewTarget->GetSurfaceLevel(0, &surface)))
        surface = nullptr;
    return surface;
}

// The backdrop stands round the camera: like the main frame, it is drawn from a camera at the origin
// with the view's angles, whatever the view's eye (the visibility pass then sets the camera there).
// Drawn from the eye, a viewer away from the origin, or the mirrored eye below the water, would see
// the sky box and the sky objects from outside or from beneath.
void BackdropFrom(float yaw, float pitch, float roll, float fov)
{
    RenderSetupCamera(0.0f, 0.0f, 0.0f, yaw, pitch, roll, fov, 1);
    SkyBackdropDraw();
}

// The secondary view's visibility pass: it must not become the main view's camera.
void SecondaryVisibilityPass(const float* eye, float yaw, float pitch, float roll, float fov)
{
    g_scene.mainView = 0;
    RenderVisibilityPass(eye[0], eye[1], eye[2], yaw, pitch, roll, fov);
    g_scene.mainView = 1;
}

// The object pass of a secondary view: queued records are not made (the object passes draw
// directly), the full pass selector, the first mesh pass.
void SecondaryObjectPass()
{
    DrawRecordSetRecordingOff(true);
    RenderSetPassSelector(PASS_SELECTOR_FULL);
    RenderMeshPassIndex = 0;
    RenderObjectPass();
    DrawRecordSetRecordingOff(false);
}

void UnderWaterView()
{
    IDirect3DSurface8* surface = WaterViewSurface();
    if (!surface)
        return;
    const float yaw = g_frameView.yaw, pitch = g_frameView.pitch, roll = g_frameView.roll,
                fov = g_frameView.fieldOfView;
    const float* eye = g_frameView.viewPos;
    RenderViewUnderWater = 0;
    RenderTargetBegin(surface);
    BackdropFrom(yaw, pitch, roll, fov);
    SecondaryVisibilityPass(eye, yaw, pitch, roll, fov);
    SecondaryObjectPass();
    RenderConnectionObjects();
    ParticlesDraw();
    DrawRecordsReplay();
    DrawRecordsClear();
    RenderTargetEnd();
    surface->Release();
    RenderViewUnderWater = 1;
    ++g_secondaryViews.underWaterViews;
}

// The player's body as the reflection shows it, and what it was before.
struct BodyPose {
    DynamicObject* body = nullptr;
    bool drawn = false;
    Vector3 position = {};
};

}  // namespace

void RenderTargetBegin(IDirect3DSurface8* surface)
{
    IDirect3DDevice8* device = g_render.device;
    SecondaryViewsState& s = g_secondaryViews;
    D3DSURFACE_DESC desc = {};
    // A second begin before the end would lose the kept target for good: it is refused.
    if (RenderToTextureActive || !device || !surface || FAILED(surface->GetDesc(&desc)))
        return;
    device->GetRenderTarget(&s.savedTarget);
    device->GetDepthStencilSurface(&s.savedDepth);
    device->SetRenderTarget(surface, g_render.targetDepthStencil);
    s.savedScreenWidth = g_render.screenWidth;
    s.savedScreenHeight = g_render.screenHeight;
    s.savedViewWidth = g_camera.viewWidth;
    s.savedViewHeight = g_camera.viewHeight;
    g_render.screenWidth = static_cast<int>(desc.Width);
    g_render.screenHeight = static_cast<int>(desc.Height);
    CameraSetViewSize(desc.Width, desc.Height);
    const D3DVIEWPORT8 viewport = {0, 0, desc.Width, desc.Height, 0.0f, 1.0f};
    device->SetViewport(&viewport);
    device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    RenderToTextureActive = 1;
}

void RenderTargetEnd()
{
    SecondaryViewsState& s = g_secondaryViews;
    if (!RenderToTextureActive)
        return;
    if (IDirect3DDevice8* device = g_render.device)
        device->SetRenderTarget(s.savedTarget, s.savedDepth);
    if (s.savedTarget)
        s.savedTarget->Release();
    if (s.savedDepth)
        s.savedDepth->Release();
    s.savedTarget = nullptr;
    s.savedDepth = nullptr;
    g_render.screenWidth = s.savedScreenWidth;
    g_render.screenHeight = s.savedScreenHeight;
    CameraSetViewSize(s.savedViewWidth, s.savedViewHeight);
    RenderToTextureActive = 0;
}

bool SecondaryViewWaterHeight(float* height)
{
    const WaterLayer* layers = MapGetWaterLayers();
    for (int i = 0; layers && i < MAP_WATER_LAYER_COUNT; ++i) {
        if (layers[i].mask) {
            *height = layers[i].height;
            return true;
        }
    }
    return false;
}

bool SecondaryViewWanted()
{
    float height = 0.0f;
    return g_visible.waterTotal > 0 && g_visible.nearestWater <= SECONDARY_VIEW_WATER_REACH &&
           SecondaryViewWaterHeight(&height);
}

void RenderReflectionView(bool externalCamera)
{
    float waterHeight = 0.0f;
    if (!SecondaryViewWanted() || !SecondaryViewWaterHeight(&waterHeight))
        return;
    IDirect3DSurface8* surface = WaterViewSurface();
    if (!surface)
        return;
    IDirect3DDevice8* device = g_render.device;
    const float yaw = g_frameView.yaw, pitch = g_frameView.pitch, roll = g_frameView.roll,
                fov = g_frameView.fieldOfView;
    const float* viewer = g_frameView.viewPos;
    float eye[3] = {viewer[0], viewer[1], viewer[2]};
    // A viewer at or below the water sees no mirror and sets no plane: a plane kept from an earlier
    // view would cut this one at a stale height, so clipping needs a plane set now.
    const bool mirrored = eye[1] > waterHeight;
    if (mirrored) {
        eye[1] = 2.0f * waterHeight - eye[1];
        const D3DXVECTOR3 point(0.0f, waterHeight, 0.0f), up(0.0f, 1.0f, 0.0f);
        D3DXPLANE plane;
        D3DXPlaneFromPointNormal(&plane, &point, &up);
        if (device)
            device->SetClipPlane(0, &plane.a);
    }

    // Without a player actor there is no body to pose, move or restore.
    BodyPose pose;
    pose.body = g_frameView.player;
    if (pose.body)
        pose.position = pose.body->GetPosition();

    RenderTargetBegin(surface);
    if (externalCamera)
        BackdropFrom(yaw, kPi * 0.5f, 0.0f, fov);
    else
        BackdropFrom(yaw, -pitch, -roll, fov);
    if (!externalCamera) {
        if (g_secondaryViews.reflectionRan && mirrored)
            RenderSetState(D3DRS_CLIPPLANEENABLE, D3DCLIPPLANE0);
        g_secondaryViews.reflectionRan = true;
        SecondaryVisibilityPass(eye, yaw, -pitch, -roll, fov);

        if (pose.body) {
            pose.drawn = pose.body->SetDrawn(true);
            if (!g_frameView.sound.playerDead) {
                Actor* actor = PlayerActor();
                actor->SetHeading(yaw - kPi);
                actor->SetPitch(pitch);
                const float lift = actor->crouched ? kEyeCrouching : actor->prone ? kEyeProne : kEyeStanding;
                pose.body->SetPosition(Vector3{viewer[0], viewer[1] - lift, viewer[2]});
            }
        }
        SecondaryObjectPass();
        if (pose.body)
            pose.body->SetDrawn(pose.drawn);
        RenderConnectionObjects();
        ++g_secondaryViews.reflectionViews;
    }

    RenderSetState(D3DRS_CLIPPLANEENABLE, 0);
    RenderTargetEnd();
    surface->Release();
    if (pose.body)
        pose.body->SetPosition(pose.position);
    RenderSetupCamera(viewer[0], viewer[1], viewer[2], yaw, pitch, roll, fov, 1);
}

void RenderReflectionViewExternal()
{
    RenderReflectionView(true);
}

void RenderSecondaryViews()
{
    RenderViewUnderWater = 0;
    if (!rbwater.Bool())
        return;
    u32_t surface = 0;
    const bool under = GameIsViewUnderWater(&surface);
    RenderViewUnderWater = under ? 1 : 0;
    if (under) {
        if (SecondaryViewWanted())
            UnderWaterView();
    } else {
        RenderReflectionView(false);
    }
}

void SecondaryViewsReset()
{
    if (RenderToTextureActive)
        RenderTargetEnd();
    g_secondaryViews = SecondaryViewsState();
}
