#include "game/player/player_foot_control.h"

#include <cmath>
#include <cstring>

#include "actors/actor.h"
#include "actors/actor_cvars.h"
#include "actors/ai_entity.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "game/mission_objects/camera_pose_settings.h"
#include "game/player/command_keys.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "game/player/game_water.h"
#include "game/player/mounted_control.h"
#include "game/player/player_state.h"
#include "game/player/object_use.h"
#include "game/player/player_control.h"
#include "game/player/player_control_state.h"
#include "game/view/player_view.h"
#include "game/player/player_weapon.h"
#include "game/player/room_tests.h"
#include "game/view/screen_grab.h"
#include "game/player/slide_move.h"
#include "game/view/view_keys.h"
#include "game/view/view_roll.h"
#include "map/trace/map_trace.h"
#include "map/terrain/terrain_height.h"
#include "platform/d3dx8_math.h"
#include "platform/win32.h"
#include "render/camera.h"
#include "render/draw2d/hud_input.h"
#include "scene/plugin_bridges/indoor_link.h"
#include "world/wires/wires.h"

PlayerFootState g_playerFoot;

void PlayerFootStateReset()
{
    g_playerFoot = PlayerFootState();
}

namespace {

constexpr float kTwoPi = 6.2831853f;
constexpr float kPi = 3.14159265f;

bool Held(u8_t action)
{
    return g_input.actionDown[action] == INPUT_STATE_DOWN;
}

bool Released(u8_t action)
{
    return g_input.actionReleased[action] == INPUT_STATE_DOWN;
}

// Moves value toward target by at most step.
float Approach(float value, float target, float step)
{
    if (value < target)
        return value + step > target ? target : value + step;
    return value - step < target ? target : value - step;
}

struct ViewBasis {
    Vector3 forward, right, up;
};

Vector3 TransformDirection(const D3DXMATRIX& world, float x, float y, float z)
{
    const D3DXVECTOR3 in{x, y, z};
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &in, &world);
    return {out.x, out.y, out.z};
}

ViewBasis BuildViewBasis(float pitch)
{
    D3DXMATRIX view, world;
    CameraBuildViewMatrix(&view, &world, 0.0f, 0.0f, 0.0f, GameGetYaw(), pitch, 0.0f);
    return {TransformDirection(world, 0.0f, 0.0f, 1.0f), TransformDirection(world, 1.0f, 0.0f, 0.0f),
            TransformDirection(world, 0.0f, 1.0f, 0.0f)};
}

void AddScaled(float* point, const Vector3& direction, float scale)
{
    point[0] += direction.x * scale;
    point[1] += direction.y * scale;
    point[2] += direction.z * scale;
}

void AddScaled(float* point, const float* direction, float scale)
{
    for (int i = 0; i < 3; ++i)
        point[i] += direction[i] * scale;
}

void Store(float* to, const Vector3& from)
{
    to[0] = from.x;
    to[1] = from.y;
    to[2] = from.z;
}

void PlaceSoldier(Actor* soldier, const float* eye, float eyeHeight)
{
    soldier->SetPosition(Vector3{eye[0], eye[1] - eyeHeight, eye[2]});
}

// One direction's move with its glide: held moves by the full speed and restarts the momentum; let go,
// the saved direction carries on at the momentum's share of the saved speed until it runs out.
void MoveWithMomentum(float* position, FootDirection slot, bool held, const Vector3& direction, float sign, float speed,
                      float dt, float* savedDirection)
{
    PlayerFootState& foot = g_playerFoot;
    if (held) {
        AddScaled(position, direction, sign * speed * dt);
        Store(savedDirection, direction);
        foot.savedSpeed = speed;
        foot.momentum[slot] = 1.0f - kMomentumDecay * dt;
    } else if (foot.momentum[slot] > 0.0f) {
        AddScaled(position, savedDirection, sign * foot.momentum[slot] * foot.savedSpeed * dt);
        foot.momentum[slot] -= kMomentumDecay * dt;
    }
}

// The floor below the player: the nearer of the traced floor (indoor mesh, else the map 1000 below the
// probe) and the terrain. Returns the floor's height.
float FindFloor(const float* player, float eyeHeight, s32_t pose)
{
    PlayerFootState& foot = g_playerFoot;
    const float terrain = MapTerrainHeight(player[0], player[2], nullptr, nullptr);
    const float probe[3] = {player[0],
                            pose == ACTOR_POSE_PRONE ? player[1] - kPlayerRadius * 1.1f : player[1] - eyeHeight * 0.5f,
                            player[2]};
    const float dx = probe[0] - foot.lastLocated[0], dy = probe[1] - foot.lastLocated[1],
                dz = probe[2] - foot.lastLocated[2];
    if (dx * dx + dy * dy + dz * dz > 0.0001f) {
        IndoorLocatePoint(foot.lastLocated, probe, &foot.indoor);
        std::memcpy(foot.lastLocated, probe, sizeof probe);
    }
    const float below[3] = {probe[0], probe[1] - kGroundSearch, probe[2]};
    MapTraceInfo hit;
    hit.flags = 0;
    hit.ignoreObject = g_frameView.player;
    hit.objOptions = 0;
    bool found = false;
    if (foot.indoor.object)
        found = IndoorTraceSegment(&foot.indoor, probe, below, &hit) != 0;
    if (!found)
        found = MapTrace(probe, below, &hit);
    float floor = terrain;
    if (found && hit.hitPoint.y > floor)
        floor = hit.hitPoint.y;
    return floor;
}

// The move from the previous position to the player swept at one height above the feet and pushed out
// of the connection objects; horizontalOnly keeps the height.
void SweepAtHeight(Actor* soldier, float* player, float eyeHeight, float heightAboveFeet, bool horizontalOnly)
{
    const float below = eyeHeight - heightAboveFeet;
    const float* previous = g_playerFoot.previousPosition;
    float end[3] = {player[0], player[1] - below, player[2]};
    const float move[3] = {player[0] - previous[0], horizontalOnly ? 0.0f : player[1] - previous[1],
                           player[2] - previous[2]};
    const float length = std::sqrt(move[0] * move[0] + move[1] * move[1] + move[2] * move[2]);
    if (horizontalOnly)
        end[1] = previous[1] - below;
    SlideMove(end, move, length);
    Vector3 point{end[0], end[1], end[2]};
    ConObjCollideObject(soldier, &point, kPlayerRadius);
    player[0] = point.x;
    player[2] = point.z;
    if (!horizontalOnly)
        player[1] = point.y + below;
}

void CollisionSweeps(Actor* soldier, float* player, float eyeHeight, s32_t pose)
{
    if (pose == ACTOR_POSE_PRONE) {
        SweepAtHeight(soldier, player, eyeHeight, kStepReference, false);
        return;
    }
    const float keepY = player[1];
    SweepAtHeight(soldier, player, eyeHeight, kStepReference, false);
    const float lowY = player[1];
    player[1] = keepY;
    SweepAtHeight(soldier, player, eyeHeight, kStepReference + (eyeHeight - kStepReference) / 4.0f, true);
    player[1] = lowY;
}

// Gravity, the floor, water, the fall and its landing, and the collision (the frame's step 20).
void FallAndCollide(Actor* soldier, float* player, s32_t pose, bool underWater, float waterSurface)
{
    PlayerFootState& foot = g_playerFoot;
    const float t = g_frameView.frameTime;
    const float eye = foot.eyeHeight;
    bool falling = false;
    if (gbghost.Bool()) {
        std::memcpy(foot.previousPosition, player, sizeof foot.previousPosition);
        GameSetPlayerClimbState(GameIsPlayerOnLadder() != 0, false);
        return;
    }
    if (GameIsPlayerOnLadder()) {
        const float terrain = MapTerrainHeight(player[0], player[2], nullptr, nullptr);
        CollisionSweeps(soldier, player, eye, pose);
        if (player[1] < terrain + eye)
            player[1] = terrain + eye;
        std::memcpy(foot.previousPosition, player, sizeof foot.previousPosition);
        GameSetPlayerClimbState(GameIsPlayerOnLadder() != 0, false);
        return;
    }
    if (foot.jumping)
        player[1] += (kFootGravity * 2.5f + 12.0f) * t;
    const float floor = FindFloor(player, eye, pose);
    const float gap = player[1] - floor - eye;  // how far the feet hang above the floor
    const float standing = floor + eye;
    bool inAir = false;
    if (underWater) {
        if (player[1] > waterSurface + 1.0f)
            player[1] = waterSurface + 1.0f;
        if (player[1] < standing)
            player[1] = standing;
        soldier->fallSpeed = 0.0f;
        foot.jumping = 0;
        inAir = true;  // no landing in water
    } else if (gap > 0.001f) {
        falling = true;
        const float step = foot.parachuteDescent ? kParachuteDescentSpeed * t
                                                 : (kFootGravity * t * 0.5f + soldier->fallSpeed) * t * 10.0f;
        if (step < gap) {
            player[1] -= step;
            soldier->fallSpeed = foot.parachuteDescent ? kParachuteFallSpeed : soldier->fallSpeed + kFootGravity * t;
            inAir = true;
        }
    }
    if (!inAir) {
        if (!foot.parachuteDescent && soldier->fallSpeed > kFatalFallSpeed && !gb_godmode.Bool() && !soldier->isDead) {
            if (AIEntity* entity = soldier->GetAIEntity())
                entity->health = 0.0f;
            soldier->die(1, 0.0f);
        }
        soldier->fallSpeed = 0.0f;
        player[1] = standing;
        foot.jumping = 0;
        foot.parachuteDescent = 0;
    }
    GameSetPlayerClimbState(GameIsPlayerOnLadder() != 0, falling);
    CollisionSweeps(soldier, player, eye, pose);
    std::memcpy(foot.previousPosition, player, sizeof foot.previousPosition);
}

}  // namespace

void PlayerControlUpdate()
{
    PlayerFootState& foot = g_playerFoot;
    // 1. Nothing while the player is dead or there is no player's soldier.
    Actor* soldier = dynamic_cast<Actor*>(g_frameView.player);
    if (GamePlayerSoundView().playerDead || !soldier)
        return;
    const float frameTime = g_frameView.frameTime;

    // 2. Water and zoom.
    u32_t surfaceBits = 0;
    const bool underWater = GameIsViewUnderWater(&surfaceBits);
    float waterSurface = 0.0f;
    std::memcpy(&waterSurface, &surfaceBits, sizeof waterSurface);
    const bool zoomPossible = PlayerZoomPossible(soldier);

    // 3. The view basis: level while walking on the ground with gbwalk on.
    const bool onLadder = GameIsPlayerOnLadder() != 0;
    const float basisPitch = (gbwalk.Bool() && !onLadder && !underWater) ? 0.0f : GameGetPitch();
    const ViewBasis basis = BuildViewBasis(basisPitch);

    // 4. The horizontal step's time.
    const float dt = frameTime > 0.5f ? 0.5f : frameTime;

    // 5.
    float* viewer = GameGetViewPos();
    std::memcpy(viewer, GameGetPlayerPos(), 3 * sizeof(float));
    foot.viewRoll = g_playerControl.baseRoll;
    g_playerControl.firedThisFrame = 0;

    // 6. Running.
    const bool runKey = Held(ACTION_RUN);
    foot.running = (runKey || soldier->alwaysRun) ? 1 : 0;
    bool running = runKey != soldier->alwaysRun;
    s32_t pose = soldier->GetActorPose();
    if (Held(ACTION_ZOOM) && zoomPossible) {
        g_input.actionDown[ACTION_RUN] = 0;
        running = false;
    }

    // 7. Speed.
    const bool fast = gbfastmove.Bool();
    float speed;
    if (pose == ACTOR_POSE_STAND) {
        speed = running ? (Held(ACTION_MOVE_BACKWARD) ? kFootRunBackSpeed : kFootRunSpeed) : kFootWalkSpeed;
        if (fast)
            speed *= 20.0f;
    } else if (pose == ACTOR_POSE_CROUCH) {
        speed = fast ? 100.0f : kFootCrouchSpeed;
    } else {
        speed = fast ? 80.0f : kFootProneSpeed;
    }

    // 8.
    if (Released(ACTION_CROUCH) && pose == ACTOR_POSE_STAND)
        foot.rising = 1;

    // 9. Hold-to-crouch and rising.
    if (!foot.poseChangeRunning && pose != ACTOR_POSE_PRONE) {
        if (Held(ACTION_CROUCH)) {
            soldier->Crouch(true);
            foot.eyeHeight = Approach(foot.eyeHeight, kPlayerEyeCrouch, kCrouchKeyEyeSpeed * frameTime);
            pose = ACTOR_POSE_CROUCH;
            running = false;
            speed = kFootCrouchSpeed;
        } else if (StandRoomTest()) {
            if (foot.rising) {
                foot.eyeHeight += kCrouchKeyEyeSpeed * frameTime;
                if (foot.eyeHeight > kPlayerEyeStand) {
                    foot.rising = 0;
                    foot.eyeHeight = kPlayerEyeStand;
                }
            } else if (pose == ACTOR_POSE_STAND) {
                foot.eyeHeight = kPlayerEyeStand;
            } else if (pose == ACTOR_POSE_CROUCH) {
                foot.eyeHeight = kPlayerEyeCrouch;
                running = false;
            }
        }
    }

    // 10. The key steps.
    MapKeyUpdate();
    NightVisionKeyUpdate();
    ObjectUseUpdate();
    SatelliteKeyUpdate();
    BinocularUpdate();
    GameSetPlayerPos(viewer);
    g_playerControl.baseRoll = foot.viewRoll;

    // 11. Lean, not while prone nor while the screen grab flies the view.
    if (pose != ACTOR_POSE_PRONE && !ScreenGrabRunning()) {
        const float leanStep = kLeanRate * frameTime, rollStep = kLeanRollRate * frameTime;
        const Vector3& right = basis.right;
        if (Held(ACTION_LEAN_RIGHT) && LeanRoomTest(right.x, right.y, right.z, viewer)) {
            foot.lean = Approach(foot.lean, 1.0f, leanStep);
            foot.leanRoll = Approach(foot.leanRoll, -kLeanRollLimit, rollStep);
        } else if (Held(ACTION_LEAN_LEFT) && LeanRoomTest(-right.x, -right.y, -right.z, viewer)) {
            foot.lean = Approach(foot.lean, -1.0f, leanStep);
            foot.leanRoll = Approach(foot.leanRoll, kLeanRollLimit, rollStep);
        } else {
            foot.lean = Approach(foot.lean, 0.0f, leanStep);
            foot.leanRoll = Approach(foot.leanRoll, 0.0f, rollStep);
        }
        if (foot.lean != 0.0f) {
            AddScaled(viewer, right, kLeanPivot * std::sin(foot.lean));
            AddScaled(viewer, basis.up, kLeanPivot * std::cos(foot.lean));
            viewer[1] -= kLeanPivot;
            foot.viewRoll += foot.leanRoll;
            foot.soldierLean = foot.lean;
        }
    }
    GameSetLean(foot.lean);
    GameSetRoll(foot.viewRoll);

    // 12. The soldier at the eye for the shots.
    foot.soldierLeanAngle = 2.0f * foot.leanRoll;
    const Vector3 savedSoldier = soldier->GetPosition();
    PlaceSoldier(soldier, viewer, foot.eyeHeight);

    // 13. Busy hands let go of zoom and fire.
    if (PlayerWeaponViewBusy() || PlayerWeaponSwitchRunning()) {
        g_input.actionDown[ACTION_ZOOM] = 0;
        g_input.actionDown[ACTION_FIRE] = 0;
    }

    // 14. Fire, then the soldier back.
    PlayerTriggerGate();
    PlayerFireStep(GameGetYaw(), GameGetPitch());
    soldier->SetPosition(savedSoldier);

    // 15.
    PlayerZoomStep();
    PlayerReloadStep();
    PlayerWeaponKeysUpdate();

    // 16. Posture and locomotion.
    const bool forwardKey = Held(ACTION_MOVE_FORWARD), backwardKey = Held(ACTION_MOVE_BACKWARD);
    const bool rightKey = Held(ACTION_STRAFE_RIGHT), leftKey = Held(ACTION_STRAFE_LEFT);
    if (soldier->isMovable) {
        if (!foot.poseChangeRunning) {
            if (Held(ACTION_MODE_DOWN)) {
                foot.poseBefore = soldier->GetActorPose();
                foot.poseChangeRunning = soldier->PoseDown() ? 1 : 0;
            } else if (Held(ACTION_MODE_UP) && StandRoomTest()) {
                foot.poseBefore = soldier->GetActorPose();
                foot.poseChangeRunning = soldier->PoseUp() ? 1 : 0;
            }
        }
        foot.diagonal = ((forwardKey || backwardKey) && (rightKey || leftKey)) ? 1 : 0;
        soldier->ApplyAlwaysRunSetting();
        foot.moving = 0;
        if (forwardKey != backwardKey) {
            if (forwardKey)
                running ? soldier->RunForward() : soldier->MoveForward();
            else
                running ? soldier->RunBackward() : soldier->MoveBackward();
            foot.moving = 1;
        }
        if (rightKey != leftKey) {
            if (rightKey)
                running ? soldier->RunStrafeRight() : soldier->StrafeRight();
            else
                running ? soldier->RunStrafeLeft() : soldier->StrafeLeft();
            foot.moving = 1;
        }
        if (Held(ACTION_JUMP) && !foot.jumping && !underWater && !gbghost.Bool() && !onLadder &&
            soldier->GetActorPose() == ACTOR_POSE_STAND) {
            soldier->Jump();
            foot.jumping = 1;
        }
        const u32_t now = GetTickCount();
        if (!g_frameView.currentGameMod && Held(ACTION_DROP_WEAPON) && !PlayerWeaponSwitchRunning() &&
            !g_hudInput.flags.binocularView && now - foot.lastDropTime >= kDropDelayMs) {
            soldier->DropItem(0);
            foot.lastDropTime = now;
        }
    }

    // 17. The game-mode keys.
    const bool tutorial = GameMissionIsTutorialType();
    if (tutorial)
        CodedMessageKeysUpdate();
    QuickKeysUpdate();
    if (tutorial)
        CommandMenuKeysUpdate();

    // 18. The horizontal move with momentum.
    if ((forwardKey || backwardKey) && (rightKey || leftKey))
        speed *= kDiagonalFactor;
    float player[3];
    std::memcpy(player, GameGetPlayerPos(), sizeof player);
    MoveWithMomentum(player, FOOT_FORWARD, forwardKey, basis.forward, 1.0f, speed, dt, foot.savedForward);
    MoveWithMomentum(player, FOOT_BACKWARD, backwardKey, basis.forward, -1.0f, speed, dt, foot.savedForward);
    MoveWithMomentum(player, FOOT_RIGHT, rightKey, basis.right, 1.0f, speed, dt, foot.savedSide);
    MoveWithMomentum(player, FOOT_LEFT, leftKey, basis.right, -1.0f, speed, dt, foot.savedSide);

    // 19. The eye follows a pose change.
    if (foot.poseChangeRunning) {
        const s32_t now = soldier->GetActorPose();
        const float target =
            now == ACTOR_POSE_STAND ? kPlayerEyeStand : (now == ACTOR_POSE_CROUCH ? kPlayerEyeCrouch : kPlayerEyeProne);
        foot.eyeHeight = Approach(foot.eyeHeight, target, kPoseChangeEyeSpeed * frameTime);
        if (foot.eyeHeight == target)
            foot.poseChangeRunning = 0;
    }
    pose = soldier->GetActorPose();

    // 20. Falling and collision.
    FallAndCollide(soldier, player, pose, underWater, waterSurface);

    // 21. The soldier under the eye, hidden in the first-person view.
    PlaceSoldier(soldier, player, foot.eyeHeight);
    soldier->SetDrawn(false);
    soldier->SetCastsShadow(false);

    // 22. Head bob.
    if (!forwardKey && !backwardKey && !rightKey && !leftKey) {
        foot.bobOffset = Approach(foot.bobOffset, 0.0f, kHeadBobDecay * frameTime);
    } else {
        const CameraPoseSettings& settings =
            g_cameraPoseSettings[pose == ACTOR_POSE_CROUCH
                                     ? CAMERA_POSE_CROUCH
                                     : (pose == ACTOR_POSE_PRONE ? CAMERA_POSE_PRONE : CAMERA_POSE_WALK)];
        const float a = settings.floatSway[0], b = settings.floatSway[1];
        // A record without a divisor gives no bob rather than an infinite one.
        foot.bobOffset = b != 0.0f ? std::sin(foot.bobPhase * a) / b : 0.0f;
        foot.bobPhase = std::fmod(foot.bobPhase + frameTime, kTwoPi);
    }
    player[1] += foot.bobOffset;
    GameSetPlayerPos(player);

    // 23. The angles before firing, then the kick or its recovery.
    GameSaveAnglesBeforeFiring(GameGetYaw(), GameGetPitch());
    PlayerRecoilStep();

    // 24.
    g_playerControl.mouseMoved = 0;
    if (!ScreenGrabRunning())
        ViewRollUpdate();

    // 25. Third person.
    if (gbthirdperson.Bool()) {
        soldier->SetDrawn(true);
        soldier->SetCastsShadow(true);
        soldier->SetHeading(GameGetYaw() - kPi);
        soldier->SetPitch(GameGetPitch());
        PlaceSoldier(soldier, player, foot.eyeHeight);
    }

    // 26.
    ObjectivesKeyUpdate();
    NavigationKeyUpdate();

    // 27. The next mount links its camera and turns the view again.
    g_mountedControl.firstFrameDone = 0;
    GameSetPlayerModeModifier(foot.eyeHeight);
}
