// The first-person weapon view: the held weapon drawn in front of the camera after the world. Each
// call runs the weapon's first-person animation state machine (aim, shot, reload, switching, their
// "empty" forms), moves the weapon with walk bob, sway, turn lag and tilt, lights it with the sun,
// draws it with a depth range that keeps it in front of the world, raises the weapon's sound
// requests, starts the weapon's reload when the reload animation ends, and sets the main camera up
// again.
#pragma once
#include "core/sound/sound.h"
#include "core/types.h"
#include "platform/d3dx8_math.h"

class AnimMesh;
class Weapon;

// The first-person animation slots (the weapon's section order).
enum FirstPersonSlot : u32_t {
    FP_SLOT_AIM = 0,
    FP_SLOT_SHOT = 1,
    FP_SLOT_RELOAD = 2,
    FP_SLOT_SHOT_DONE = 3,
    FP_SLOT_SWITCH_TO = 4,
    FP_SLOT_SWITCH_FROM = 5,
    FP_SLOT_AIM_EMPTY = 6,
    FP_SLOT_RELOAD_EMPTY = 7,
    FP_SLOT_SHOT_DONE_EMPTY = 8,
    FP_SLOT_SWITCH_TO_EMPTY = 9,
    FP_SLOT_SWITCH_FROM_EMPTY = 10,
    FP_SLOT_SWITCH_TO_SUB = 11,
    FP_SLOT_SWITCH_TO_SUB_EMPTY = 12,
    FP_SLOT_RELOAD_HOLSTER = 13,
};
// Standing still this long may bring an idle variant of the aim animation.
constexpr u32_t FP_IDLE_MS = 15500;
// The sun is traced at most this often.
constexpr u32_t FP_SUN_TRACE_MS = 200;

// What the player control keeps for the view (it writes them each frame).
struct FirstPersonControl {
    bool firedThisFrame = false;
    bool burstRunning = false;
    s16_t burstStartRounds = 0;  // the magazine's rounds when the burst began
    s32_t semiShotCounter = 0;
    bool reloadFromEmpty = false;
    bool tilt = false;
    bool nightVision = false;
    bool heldObjectCamera = false;  // the player's camera object is linked
    float walkTime = 0.0f;          // seconds
};
extern FirstPersonControl g_firstPersonControl;

// The view's state between frames. FirstPersonViewResetFrameState clears the fields marked *.
struct FirstPersonViewState {
    float animTime = 0.0f;                 // frames
    AnimMesh* currentAnimation = nullptr;  // the animation drawn last
    AnimMesh* lastChosen = nullptr;        // *
    u32_t variant = 0;                     // *
    u32_t idleTick = 0;                    // *
    float swayPhase = 0.0f;                // *
    float turnLag = 0.0f;                  // * radians
    bool switching = false;                // *
    bool switchTo = false;                 // *
    bool switchFrom = false;               // *
    Weapon* previousWeapon = nullptr;      // *
    bool subWeaponSwitch = false;
    bool drawnEmpty = false;
    bool shotShown = false;         // *
    bool shotDonePending = false;   // *
    bool shotDoneFinished = false;  // *
    bool fireHeldLast = false;      // *
    bool reloading = false;         // *
    bool heldEmpty = false;         // *
    bool heldEmptyCopy = false;     // *
    u32_t lastSoundSlot = 0;
    u32_t lastSoundVariant = 0;
    D3DXVECTOR3 walkBob = {0.0f, 0.0f, 0.0f};
    float tilt = 0.0f;  // radians
    bool sunHidden = false;
    u32_t lastSunTrace = 0;
    D3DXMATRIX model;  // the weapon's model matrix
    D3DXMATRIX world;  // the weapon in the world (FPWGetTransform)
    D3DXVECTOR3 cameraPosition = {0.0f, 0.0f, 0.0f};
    D3DXMATRIX transformProduct;  // world x view x projection after the draw
    // The slot of the last call (tests and the HUD), and whether it drew.
    u32_t slot = 0;
    bool drew = false;
    // What the animations ask of the player's weapon, done by the player's update
    // (FirstPersonWeaponUpdate) and cleared there: the reload whose animation ended, and the sound
    // requests of the slots shown (the aim's variant only when the plain aim asked).
    bool reloadEnded = false;                // *
    SoundPlayerRequests soundRequests = {};  // *
    bool aimIndexSet = false;                // *
};
extern FirstPersonViewState g_firstPersonView;

void RenderFirstPersonView();
// Clears the fields marked * (RenderResetFrameState).
void FirstPersonViewResetFrameState();
