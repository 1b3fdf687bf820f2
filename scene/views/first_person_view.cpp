#include "actors/anim_entry.h"
#include "scene/views/first_person_view.h"

#include <algorithm>
#include <cmath>

#include "actors/actor.h"
#include "actors/weapons/weapon.h"
#include "core/input/actions.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "core/random.h"
#include "core/sound/sound.h"
#include "map/map_cvars.h"
#include "map/trace/map_trace.h"
#include "platform/win32.h"
#include "render/camera.h"
#include "render/fpw_transform.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "scene/passes/frame_state.h"
#include "scene/meshes/mesh_draw.h"
#include "scene/meshes/object_draw.h"
#include "scene/render_services.h"
#include "scene/passes/scene_passes.h"
#include "scene/scene_state.h"
#include "world/animation/anim_mesh.h"

FirstPersonControl g_firstPersonControl;
FirstPersonViewState g_firstPersonView;

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kDegree = kPi / 180.0f;
constexpr float kTiltRate = 2.61799f;   // 150 degrees a second
constexpr float kTiltMax = 0.872665f;   // 50 degrees
constexpr float kFovScale = 0.63662f;   // 2 / pi
constexpr u32_t kSunTraceFlags = 0x12;  // tiled, with objects
constexpr u32_t kSunTraceObjectOptions = 10;
constexpr u8_t kSunTraceAlpha = 0xA0;

bool Down(u32_t action)
{
    return g_input.actionDown[action] == 0xFF;
}

bool AnyMovement()
{
    return Down(ACTION_MOVE_FORWARD) || Down(ACTION_MOVE_BACKWARD) || Down(ACTION_STRAFE_LEFT) ||
           Down(ACTION_STRAFE_RIGHT);
}

// A sway value divided by a divisor the definition may have left at 0: no offset then, rather than
// an infinite or undefined weapon matrix.
float Divide(float value, float divisor)
{
    return divisor != 0.0f ? value / divisor : 0.0f;
}

float TowardZero(float value, float step)
{
    if (value > 0.0f)
        return std::max(0.0f, value - step);
    return std::min(0.0f, value + step);
}

bool FromPrevious(u32_t slot)
{
    return slot == FP_SLOT_SWITCH_FROM || slot == FP_SLOT_SWITCH_FROM_EMPTY || slot == FP_SLOT_SWITCH_TO_SUB ||
           slot == FP_SLOT_SWITCH_TO_SUB_EMPTY;
}

bool RandomVariantSlot(u32_t slot)
{
    return slot == FP_SLOT_AIM || slot == FP_SLOT_SHOT_DONE || slot == FP_SLOT_SHOT_DONE_EMPTY;
}

u32_t SoundIndex(u32_t slot)
{
    if (slot == FP_SLOT_AIM || slot == FP_SLOT_AIM_EMPTY)
        return 1;
    if (slot == FP_SLOT_SHOT)
        return 0;
    if (slot <= FP_SLOT_SWITCH_FROM)
        return slot + 1;
    return slot;
}

u32_t ChooseSlot(FirstPersonViewState& s, const Actor& player, bool fire, bool pEmpty)
{
    const FirstPersonControl& c = g_firstPersonControl;
    u32_t slot = FP_SLOT_AIM;
    if (s.switching) {
        if (s.switchTo) {
            if (!s.subWeaponSwitch)
                slot = s.heldEmpty && !s.drawnEmpty ? FP_SLOT_SWITCH_TO_EMPTY : FP_SLOT_SWITCH_TO;
            else
                slot = pEmpty && !s.drawnEmpty ? FP_SLOT_SWITCH_TO_SUB_EMPTY : FP_SLOT_SWITCH_TO_SUB;
        } else {
            slot = pEmpty && !s.drawnEmpty ? FP_SLOT_SWITCH_FROM_EMPTY : FP_SLOT_SWITCH_FROM;
        }
        s.shotDonePending = false;
    } else if (!player.reloading && !s.reloading) {
        if (fire)
            slot = FP_SLOT_SHOT;
        else if (s.shotDonePending)
            slot = s.heldEmpty ? FP_SLOT_SHOT_DONE_EMPTY : FP_SLOT_SHOT_DONE;
        else
            slot = s.heldEmpty && !s.drawnEmpty ? FP_SLOT_AIM_EMPTY : FP_SLOT_AIM;
    } else {
        if (c.reloadFromEmpty)
            slot = s.drawnEmpty ? FP_SLOT_RELOAD_HOLSTER : FP_SLOT_RELOAD_EMPTY;
        else
            slot = s.drawnEmpty ? FP_SLOT_RELOAD_HOLSTER : FP_SLOT_RELOAD;
        s.reloading = true;
    }
    return slot;
}

void SetUpLight(const D3DXMATRIX& mainView)
{
    IDirect3DDevice8* device = g_render.device;
    if (!device)
        return;
    D3DLIGHT8 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Range = 1e10f;
    light.Specular = {1.0f, 1.0f, 1.0f, 1.0f};
    const float* diffuse = mcmapdiffuse.Colour();
    if (g_firstPersonControl.nightVision) {
        const float grey = (diffuse[0] + diffuse[1] + diffuse[2]) / 3.0f * rf_nvmul.Float();
        light.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
        light.Diffuse = {grey, grey, grey, 1.0f};
    } else {
        const float* ambient = mcmapambient.Colour();
        light.Ambient = {ambient[0], ambient[1], ambient[2], ambient[3]};
        light.Diffuse = {diffuse[0], diffuse[1], diffuse[2], diffuse[3]};
    }
    const Vector3 sun = mvsundir.Vector();
    D3DXVECTOR3 d(-sun.x, -sun.y, -sun.z), direction;
    D3DXVec3Normalize(&d, &d);
    const D3DXVECTOR3 back(-d.x, -d.y, -d.z);
    D3DXVec3TransformNormal(&direction, &back, &mainView);
    D3DXVec3Normalize(&direction, &direction);
    light.Direction = {direction.x, -direction.y, direction.z};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->LightEnable(1, FALSE);
    g_render.worldLightingSetUp = false;
}

void TraceSun(Actor* player, const float* viewer)
{
    FirstPersonViewState& s = g_firstPersonView;
    const u32_t now = GetTickCount();
    if (now - s.lastSunTrace <= FP_SUN_TRACE_MS)
        return;
    s.lastSunTrace = now;
    const Vector3 sun = mvsundir.Vector();
    const float end[3] = {viewer[0] + sun.x * 1000.0f, viewer[1] + sun.y * 1000.0f, viewer[2] + sun.z * 1000.0f};
    MapTraceInfo info;
    info.flags = kSunTraceFlags;
    info.objOptions = kSunTraceObjectOptions;
    info.objAlphaThreshold = kSunTraceAlpha;
    info.objMaterial = nullptr;
    info.ignoreObject = player;
    info.hitObject = nullptr;
    info.hitMapMesh = nullptr;
    info.resultKind = TRACE_RESULT_NONE;
    s.sunHidden = MapTrace(viewer, end, &info);
}

}  // namespace

void FirstPersonViewResetFrameState()
{
    FirstPersonViewState& s = g_firstPersonView;
    s.lastChosen = nullptr;
    s.variant = 0;
    s.idleTick = 0;
    s.swayPhase = 0.0f;
    s.turnLag = 0.0f;
    s.switching = s.switchTo = s.switchFrom = false;
    s.previousWeapon = nullptr;
    s.shotShown = s.shotDonePending = s.shotDoneFinished = s.fireHeldLast = false;
    s.reloading = s.heldEmpty = s.heldEmptyCopy = false;
    s.reloadEnded = false;
    s.soundRequests = {};
    s.aimIndexSet = false;
}

void RenderFirstPersonView()
{
    FirstPersonViewState& s = g_firstPersonView;
    const FirstPersonControl& c = g_firstPersonControl;
    IDirect3DDevice8* device = g_render.device;

    // 1. States; the main view as the device holds it.
    RenderSetState(D3DRS_ZWRITEENABLE, 1);
    RenderSetState(D3DRS_ZENABLE, 1);
    RenderSetState(D3DRS_LIGHTING, 1);
    RenderSetState(D3DRS_SPECULARENABLE, 1);
    RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
    RenderSetAnimatedFlag(true);
    D3DXMATRIX mainView = g_camera.view;
    if (device)
        device->GetTransform(D3DTS_VIEW, &mainView);
    const float cameraYaw = g_camera.yaw, cameraPitch = g_camera.pitch, cameraRoll = g_camera.roll;
    const float cameraFov = g_camera.fov;
    s.drew = false;
    Actor* player = PlayerActor();
    Weapon* held = player ? player->WeaponInHand() : nullptr;
    Weapon* w = held ? held->currentWeapon : nullptr;
    if (!w)
        return;
    const u32_t mode = w->currentWeapon ? w->currentWeapon->fireMode : w->fireMode;
    const float frameTime = g_frameView.frameTime;
    const u32_t now = GetTickCount();
    const bool fireDown = Down(ACTION_FIRE);
    const bool moving = AnyMovement();

    // 2. Fire.
    bool fire = fireDown;
    if (s.fireHeldLast && mode == kFireModeSingle && fire)
        fire = false;
    if (!c.firedThisFrame)
        fire = false;
    if (s.reloading)
        fire = false;
    if ((mode == kFireModeAuto || mode == kFireModeBurst) && c.firedThisFrame)
        fire = true;
    if (c.burstRunning)
        fire = true;
    if (mode == kFireModeSingle && fire && !s.shotDonePending && !s.shotShown)
        s.shotDonePending = true;

    // 3. Switch detection.
    Weapon* p = s.previousWeapon;
    if (p && !s.subWeaponSwitch)
        s.subWeaponSwitch = p->IsSwitchPending();
    if (!s.switching && w != p) {
        s.switching = true;
        s.switchFrom = p && !s.subWeaponSwitch;
        s.switchTo = !s.switchFrom;
    }

    // 4. Shot done, empty magazines, bursts, single shots.
    if (!s.shotDonePending && !fire && s.shotShown)
        s.shotDonePending = true;
    s.heldEmpty = s.heldEmptyCopy = w->roundsInGun == 0;
    const bool pEmpty = p && p->roundsInGun == 0;
    if (mode == kFireModeBurst && c.burstStartRounds != 0 &&
        s32_t(c.burstStartRounds) - s32_t(w->roundsInGun) < s32_t(w->burstCount))
        s.shotDonePending = false;
    if (fire && mode == kFireModeSingle && (w->semiShotValue == 0 || c.semiShotCounter <= 0)) {
        fire = false;
        s.shotDonePending = true;
        s.animTime = 0.0f;
    }

    // 5. The slot, and the weapon its animations come from.
    const u32_t slot = ChooseSlot(s, *player, fire, pEmpty);
    s.slot = slot;
    Weapon* source = FromPrevious(slot) ? p : w;
    const AnimEntry* entry = source && source->fpAnims ? &source->fpAnims[slot] : nullptr;
    const u32_t count = entry ? std::min<u32_t>(entry->animationCount, MAX_ANIM_ALIASES) : 0;

    // 6. The variant. A slot without variants, or a variant without an animation, draws nothing and
    // its time stands still (there is no frame count to run against).
    u32_t variant = 0;
    AnimMesh* animation = nullptr;
    if (count > 0) {
        if (s.shotDonePending && c.firedThisFrame)
            s.variant = static_cast<u32_t>(EngineRand()) % count;
        variant = RandomVariantSlot(slot) ? s.variant % count : 0;
        AnimMesh* chosen = entry->animations[variant];
        if (chosen != s.lastChosen) {
            if (s.shotDonePending && mode == kFireModeSingle) {
                if (c.firedThisFrame)
                    s.animTime = 0.0f;
            } else {
                s.animTime = 0.0f;
                if (!moving && now - s.idleTick >= FP_IDLE_MS) {
                    s.idleTick = now;
                    s.variant = static_cast<u32_t>(EngineRand()) % count;
                }
            }
            variant = RandomVariantSlot(slot) ? s.variant % count : 0;
            s.lastChosen = entry->animations[variant];
        }
        animation = entry->animations[variant];
    }

    // 7. Sway.
    Vector3 position = source ? source->fpPosition : w->fpPosition;
    position.x += std::sin(s.swayPhase) * 0.01f;
    position.z += std::sin(s.swayPhase) * 0.01f;
    s.swayPhase += std::fmod(frameTime, 1.0f);

    // 8. Stance and walk bob.
    u32_t stance = player->crouched ? 1 : player->prone ? 2 : 0;
    if (player->alwaysRun || Down(ACTION_RUN))
        stance = 3;
    const WeaponStanceSway& sway = w->stanceSway[stance];
    if (moving) {
        const float t = c.walkTime;
        s.walkBob = D3DXVECTOR3(std::sin(t * sway.walkX[0]) * Divide(-1.0f, sway.walkX[1]),
                                std::fabs(Divide(std::sin(t * sway.walkY[0]), sway.walkY[1])),
                                Divide(std::sin(t * sway.walkZ[0]), sway.walkY[1]));
        s.turnLag = std::sin(t * sway.rotX[0]) * Divide(-1.0f, sway.rotX[1]);
    } else {
        const float step = frameTime * 0.1f;
        s.walkBob =
            D3DXVECTOR3(TowardZero(s.walkBob.x, step), TowardZero(s.walkBob.y, step), TowardZero(s.walkBob.z, step));
    }

    // 9. Turn lag.
    const float lagStep = frameTime * sway.yaw[0] * kDegree;
    if (cameraYaw > g_frameCarry.previousYaw)
        s.turnLag = std::min(s.turnLag + lagStep, sway.yaw[1] * kDegree);
    else if (cameraYaw < g_frameCarry.previousYaw)
        s.turnLag = std::max(s.turnLag - lagStep, -sway.yaw[2] * kDegree);
    else
        s.turnLag = TowardZero(s.turnLag, lagStep);
    g_frameCarry.previousYaw = cameraYaw;
    position.x += s.walkBob.x;
    position.y += s.walkBob.y;
    position.z += s.walkBob.z;

    // 10. The weapon's camera.
    if (w->fpCameraObject || c.heldObjectCamera)
        RenderSetCameraObject(nullptr);
    RenderSetupCamera(position.x, position.y, position.z, kPi, 0.0f, 0.0f, w->fpFov * cameraFov * kFovScale, 1);
    s.cameraPosition = D3DXVECTOR3(position.x, position.y, position.z);
    if (w->fpCameraObject)
        RenderSetCameraObject(w->fpCameraObject);

    // 11. Tilt.
    s.tilt =
        c.tilt ? std::min(s.tilt + frameTime * kTiltRate, kTiltMax) : std::max(s.tilt - frameTime * kTiltRate, 0.0f);

    // 12. The weapon's matrices.
    D3DXMATRIX rz, rx, ry, scale, move, turn, place;
    D3DXMatrixRotationZ(&rz, s.tilt);
    D3DXMatrixRotationX(&rx, s.turnLag);
    D3DXMatrixRotationY(&ry, -kPi * 0.5f);
    D3DXMatrixScaling(&scale, w->fpScale.x, w->fpScale.y, w->fpScale.z);
    s.model = rz * rx * ry * scale;
    const float* viewer = g_frameView.viewPos;
    D3DXMatrixTranslation(&move, -position.x, -position.y, -position.z);
    D3DXMatrixRotationYawPitchRoll(&turn, g_frameView.yaw + kPi, -g_frameView.pitch, 0.0f);
    D3DXMatrixTranslation(&place, viewer[0], viewer[1], viewer[2]);
    s.world = s.model * move * turn * place;

    // 13. The sun's light; 14. the sun test.
    SetUpLight(mainView);
    RenderSetPassSelector(PASS_SELECTOR_FULL);
    TraceSun(player, viewer);
    if (s.sunHidden)
        RenderSetPassSelector(13);

    // 15. In front of everything drawn so far.
    RenderSetFullViewport(true);

    // 16. The frame; a one-frame animation played backwards starts at frame 0, not before it.
    const float frames = animation ? float(animation->frames_c) : 0.0f;
    float frame = s.animTime;
    if (entry && entry->reverse)
        frame = std::max(0.0f, (frames - 2.0f) - s.animTime);

    // 17. The draw.
    const bool hidden = (Down(ACTION_ZOOM) && w->scopeValue != 0) || g_frameView.screenOpen || !rbfp.Bool();
    if (animation) {
        s.currentAnimation = animation;
        g_scene.firstPersonMesh = animation;
        if (!hidden) {
            u32_t starts[MAX_WEAPON_FP_ANIMS] = {};
            IDirect3DTexture8** table = source->GetFirstPersonAnims(starts, 0);
            const u32_t start = starts[slot];
            IDirect3DTexture8* const* textures = table && start < source->fpTextureCount ? table + start : nullptr;
            const bool noLod = source->fpNoLod[slot];
            MeshDrawAnimatedHost(w->GetTypeId(), s.model, animation, nullptr, frame, 0.0f, 0.0f, textures, nullptr, 0,
                                 nullptr, 0, nullptr, noLod ? 255 : 0);
            FPWSetTransform(&s.world.m[0][0], animation);
            s.drew = true;
        }
    }

    // 18. The product of the transforms the weapon was drawn with.
    if (device) {
        D3DXMATRIX world, view, projection;
        device->GetTransform(D3DTS_WORLD, &world);
        device->GetTransform(D3DTS_VIEW, &view);
        device->GetTransform(D3DTS_PROJECTION, &projection);
        s.transformProduct = world * view * projection;
    }

    if (animation) {
        // 19. Phase ends.
        const bool ended = !(frames - 2.0f > s.animTime);
        if (ended) {
            if (s.switching && s.switchTo && (slot == FP_SLOT_SWITCH_TO || slot == FP_SLOT_SWITCH_TO_EMPTY)) {
                s.switching = s.switchTo = false;
                s.previousWeapon = w;
            } else if (s.switching && s.switchTo &&
                       (slot == FP_SLOT_SWITCH_TO_SUB || slot == FP_SLOT_SWITCH_TO_SUB_EMPTY)) {
                if (p)
                    p->ClearSwitchPending();
                s.switching = s.switchTo = false;
                s.previousWeapon = w;
                s.subWeaponSwitch = false;
            } else if (slot == FP_SLOT_SWITCH_FROM || slot == FP_SLOT_SWITCH_FROM_EMPTY) {
                s.switchFrom = false;
                s.switchTo = true;
                s.drawnEmpty = w->roundsInGun == 0;
            } else if ((slot == FP_SLOT_SHOT_DONE || slot == FP_SLOT_SHOT_DONE_EMPTY) && s.shotDonePending) {
                s.shotDonePending = s.shotShown = false;
                s.shotDoneFinished = true;
            } else if (slot == FP_SLOT_RELOAD || slot == FP_SLOT_RELOAD_EMPTY || slot == FP_SLOT_RELOAD_HOLSTER) {
                if (slot == FP_SLOT_RELOAD_HOLSTER)
                    s.drawnEmpty = false;
                s.reloading = false;
                s.reloadEnded = true;
            }
        }

        // 20. Time.
        const float speed = entry->slotSpeed[variant];
        s.animTime += frameTime * speed;
        const bool atEnd = !(frames - 2.0f > s.animTime);
        if (!FromPrevious(slot)) {
            if (moving) {
                if (!s.shotDonePending) {
                    s.variant = 0;
                    s.idleTick = now;
                }
            } else if (atEnd) {
                if (!fire)
                    s.animTime = std::max(0.0f, frames - 2.0f);
                if (slot != FP_SLOT_AIM)
                    s.idleTick = now;
                if (now - s.idleTick >= FP_IDLE_MS) {
                    s.idleTick = now;
                    s.variant = EngineRand() * 20 / ENGINE_RAND_MAX < 10 ? static_cast<u32_t>(EngineRand()) % count : 0;
                } else {
                    s.variant = 0;
                }
                if (s.shotDonePending && mode == kFireModeAuto)
                    s.shotDonePending = false;
            }
        } else if (atEnd) {
            s.animTime = std::max(0.0f, frames - 2.0f);
            s.idleTick = now;
        }
    }

    // 21. What the next frame compares with.
    if (!s.shotDoneFinished)
        s.shotShown = fire;
    s.shotDoneFinished = false;
    s.fireHeldLast = fireDown;

    // 22. Sound requests, for the player's update to post.
    if (slot != s.lastSoundSlot || (slot == FP_SLOT_AIM && variant != s.lastSoundVariant)) {
        if (const u32_t index = SoundIndex(slot)) {
            s.soundRequests.request[index] = 1;
            if (slot == FP_SLOT_AIM) {
                s.soundRequests.aimIndex = static_cast<s32_t>(variant);
                s.aimIndexSet = true;
            }
        }
    }
    s.lastSoundSlot = slot;
    s.lastSoundVariant = variant;

    // 23. The main camera again.
    RenderSetupCamera(viewer[0], viewer[1], viewer[2], cameraYaw, cameraPitch, cameraRoll, cameraFov, 1);
    RenderSetState(D3DRS_ZWRITEENABLE, 1);
    RenderSetState(D3DRS_ZENABLE, 1);
    RenderSetFullViewport(false);
}
