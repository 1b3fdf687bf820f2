// The game's one state record: the player, the frame clock, the flow flags of the outer loops, the
// mouse look and view switches, the HUD flags and the command menu. Until the player control and the
// game frame exist most of these are plain stored values that the HUD, camera and loops read.
#pragma once
#include "core/engine_string.h"
#include "core/types.h"
#include "game/command_menu.h"
#include "game/hud_flags.h"

class Actor;
struct GameMod;

// Radians of view turn per unit of mouse movement while the sensitivity setting is 0.
constexpr float kDefaultMouseLookFactor = 0.003f;

struct GameState {
    // The player's actor, null outside a mission. Plug-ins read it through the host data entry "player".
    Actor* player = nullptr;
    // Seconds since the previous game frame, clamped to 0.001..0.1 at the start of each game frame.
    // Plug-ins read it through the host data entry "framedtime".
    float frameTime = 0.001f;
    u32_t frameClock = 0;  // tick count of the previous game frame

    // Flow.
    GameMod* currentGameMod = nullptr;  // null while no game mod runs
    bool missionFailed = false;
    bool cursorMode = false;
    bool multiplayerPending = false;  // set by gx_joinserver
    bool campaignCompleted = false;   // set by AccountDetermineNextMission at the chronology's end
    EngineString pendingSaveGame;
    EngineString accountName;  // the account that AccountLogIn logs in

    // Mouse look: while freeMouse is set the mouse does not steer the view and the cursor is not held
    // at the window's centre; the factors are radians of view turn per unit of mouse movement.
    bool freeMouse = false;
    float mouseLookFactorX = kDefaultMouseLookFactor;
    float mouseLookFactorY = kDefaultMouseLookFactor;
    // Set while the view is zoomed (sight, binocular): fog then does not cull the map geometry.
    bool zoomView = false;

    GameHudFlags hud = {};
    CommandMenuState commandMenu = {};
};

extern GameState g_game;
