// The player's control on foot: once per frame it turns the held and released actions into the view
// basis, the eye height, the lean, the soldier's posture and shots, the horizontal move with its glide,
// the fall with its landing, the collision sweeps and the head bob.
//
// The soldier operations that have no counterpart of their own are kept here: the lean angle handed to
// the soldier, the diagonal flag (both move kinds held) and the body yaw and aim pitch of the third-person
// view go to Actor::SetHeading and Actor::SetPitch; the soldier's movement lock is its isMovable flag
// cleared.
#pragma once
#include "core/plugins/plugin_api.h"
#include "core/types.h"

// Eye heights above the feet.
constexpr float kPlayerEyeStand = 17.0f;
constexpr float kPlayerEyeCrouch = 12.0f;
constexpr float kPlayerEyeProne = 3.0f;
// Speeds, units per second.
constexpr float kFootWalkSpeed = 17.0f;
constexpr float kFootRunSpeed = 44.0f;
constexpr float kFootRunBackSpeed = 25.5f;
constexpr float kFootCrouchSpeed = 10.0f;
constexpr float kFootProneSpeed = 8.0f;
constexpr float kDiagonalFactor = 0.70710678f;
constexpr float kMomentumDecay = 2.8f;
constexpr float kCrouchKeyEyeSpeed = 27.0f;
constexpr float kPoseChangeEyeSpeed = 50.0f;
constexpr float kLeanRate = 5.0f;
constexpr float kLeanRollRate = 1.0471976f;
constexpr float kLeanRollLimit = 0.2617994f;
constexpr float kLeanPivot = 10.0f;
constexpr float kFootGravity = 9.81f;
constexpr float kParachuteDescentSpeed = 120.0f;
constexpr float kParachuteFallSpeed = 11.0f;
constexpr float kFatalFallSpeed = 12.0f;
constexpr float kStepReference = 4.0f;
constexpr float kGroundSearch = 1000.0f;
constexpr float kHeadBobDecay = 0.1f;
constexpr u32_t kDropDelayMs = 300;

// Momentum slots, one per move key.
enum FootDirection : s32_t { FOOT_FORWARD = 0, FOOT_BACKWARD = 1, FOOT_RIGHT = 2, FOOT_LEFT = 3 };

struct PlayerFootState {
    float viewRoll = 0.0f;
    float lean = 0.0f;      // -1 .. 1
    float leanRoll = 0.0f;  // radians, within +-15 degrees
    float eyeHeight = kPlayerEyeStand;
    float previousPosition[3] = {};
    float lastLocated[3] = {};
    IndoorPosition indoor = {};
    u8_t poseChangeRunning = 0;
    s32_t poseBefore = 0;  // 0 stand, 1 crouch, 2 prone
    u8_t rising = 0;
    u8_t running = 0;  // published: the run key or always-run
    u8_t jumping = 0;
    u8_t parachuteDescent = 0;
    float momentum[4] = {};
    float savedForward[3] = {};
    float savedSide[3] = {};
    float savedSpeed = 0.0f;
    float bobOffset = 0.0f;
    float bobPhase = 0.0f;
    u8_t moving = 0;
    u32_t lastDropTime = 0;
    // What the soldier was told: its lean angle (twice the lean roll), its lean value, the diagonal flag.
    float soldierLeanAngle = 0.0f;
    float soldierLean = 0.0f;
    u8_t diagonal = 0;
};

extern PlayerFootState g_playerFoot;

void PlayerFootStateReset();
// One frame of the control on foot; nothing while the player is dead or missing.
void PlayerControlUpdate();
