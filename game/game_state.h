// The game's one state record: the vehicle the player sits in, the flow flags of the outer loops,
// and the mouse look. The player control, the game frame and the
// outer loops write these fields and read them back.
#pragma once
#include <vector>

#include "core/strings/engine_string.h"
#include "core/types.h"
#include "game/accounts/account_state.h"
#include "game/mission_objects/weapon_placements.h"

class DynamicObject;
class Vehicle;
struct GameMod;

// Radians of view turn per unit of mouse movement while the sensitivity setting is 0.
constexpr float kDefaultMouseLookFactor = 0.003f;

struct GameState {
    // The vehicle the player sits in (null on foot), and the flag that bars the player from vehicles.
    Vehicle* playerVehicle = nullptr;
    bool vehicleBarred = false;
    // Set while the restart information is being saved (weapons taken then are kept quiet).
    bool savingRestart = false;
    // The game clock itself (frame time, game time) and the player's actor are in the frame view
    // (core/frame_view.h), where the subsystems below read them.
    u32_t frameClock = 0;    // tick count of the mission start (the game clock's zero)
    u32_t frameCounter = 0;  // drawn game frames

    // Flow.
    // The running game mod is in the frame view (core/frame_view.h), where the AI step reads it.
    bool missionFailed = false;
    bool missionLoaded = false;       // from the mission start until the mission is left
    bool multiplayerPending = false;  // set by gx_joinserver
    bool campaignCompleted = false;   // set by AccountDetermineNextMission at the chronology's end
    bool quickMission = false;        // the running mission was started as a quick mission
    // Accounts, campaign progress and the chronology's lists.
    AccountState accounts;

    // Mouse look: the factors are radians of view turn per unit of mouse movement (the switch that
    // frees the mouse is the frame view's freeMouse).
    float mouseLookFactorX = kDefaultMouseLookFactor;
    float mouseLookFactorY = kDefaultMouseLookFactor;
    // The view switches (zoomed view, view mode, cursor mode) are in the frame view, the HUD flags and
    // the command menu in the HUD's input record (render/draw2d/hud_input.h).

    // The view modes the view keys switch (game/view/view_keys.h). The HUD switches among them are the HUD
    // input's: the map display is its layer3, night vision nightVision, the binocular binocularView,
    // the objectives objectivesShown and the object-use mode quickMode.
    u8_t satelliteView = 0;                   // the satellite view with its mouse cursor is open
    u8_t savedNightVision = 0;                // night vision before the satellite view opened
    s32_t binocularStep = 0;                  // 0 .. 2: the binocular's 55, 25 or 10 degrees
    float satelliteFieldOfView = 0.7853982f;  // radians: the first zoom factor 0.5 of pi / 2 at start
    float cursorX = 0.0f, cursorY = 0.0f;     // the satellite view's cursor, client pixels
    u32_t satelliteScans = 0;                 // scans of the world objects the satellite key started
    // The value a ladder gave with its contact in the player's sweep (the flag is GameIsPlayerOnLadder).
    u32_t ladderValue = 0;

    // The name of the object definition being applied is the frame view's applyingDefinition.
    // Weapon placements that definitions could not complete, in order (game/mission_objects/weapon_placements.h).
    std::vector<WeaponPlacement> weaponPlacements;
};

extern GameState g_game;

// The vehicle the player sits in: set when the player takes a seat (null when none was free); a vehicle
// that goes away is forgotten (the player is then on foot).
void GameSetPlayerVehicle(Vehicle* vehicle);
void GameForgetPlayerVehicle(const Vehicle* vehicle);
