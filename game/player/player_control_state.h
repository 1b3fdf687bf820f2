// What the player control keeps between frames, as far as its weapon, view-roll, object-use and
// command-key steps use it. The view angles, the field of view and the look factors are the frame
// view's and the game record's (game/view/player_view.h, game/view/game_view.h, game/game_state.h); the HUD
// switches are the HUD's input (render/draw2d/hud_input.h): the binocular is binocularView, the object-use
// mode quickMode, the command menu's open flag commandMenuOpen.
#pragma once
#include "core/frame_view.h"
#include "core/types.h"

class Envelope;

// A screen shake set by the game's shake commands: it rocks the view roll until its time is up.
struct ScreenShake {
    u32_t startTick = 0;     // 0: none runs
    u32_t duration = 0;      // milliseconds
    float amplitude = 0.0f;  // degrees
};

struct PlayerControlState {
    // The roll before lean is added (radians); ViewRollUpdate decays and shakes it.
    float baseRoll = 0.0f;

    // Weapon handling. The fired flag, the burst, the trigger lock and the reload flag are shown to
    // the first-person view through g_firstPersonControl (scene/views/first_person_view.h) as well.
    u8_t firedThisFrame = 0;
    u8_t autoShotResult = 0;  // this frame's shot of an automatic weapon left
    u8_t burstRunning = 0;
    s32_t burstStartRounds = 0;
    s32_t triggerLockArmed = 0;
    s32_t triggerLockCounter = 0;  // milliseconds
    u8_t pitchRecoveryDone = 1;
    float yawBeforeRecoil = 0.0f;  // the view before the last kick: what the pitch recovers to
    float pitchBeforeRecoil = 0.0f;
    u8_t mouseMoved = 0;  // the mouse turned the view this frame (set by the mouse look)
    u32_t lastWeaponKeyTime = 0;
    float lastAppliedFieldOfView = kNormalFieldOfView;
    float baseLookFactor = 0.003f;  // radians per unit of mouse movement at the normal field of view
    ScreenShake shake;

    // Object use. The object in use is shared with the command menu.
    Envelope* objectInUse = nullptr;
    u8_t usePending = 0;           // an actor was picked and waits for an order
    u8_t handlerEventRunning = 0;  // set while an object's "OnInteract" runs
    s32_t pendingTargetMode = -1;  // the command menu's target selection asked for by the picked actor
};

extern PlayerControlState g_playerControl;

// Back to the start values (mission start, tests).
void PlayerControlStateReset();
