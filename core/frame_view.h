// What every subsystem reads of the frame being played: the game clock, the viewer, the player's
// object, the screen flags, the player's sound view and the game flow's switches. The main loop, the
// mission frame and the game's view setters above write it; everything below reads it here rather
// than reaching up into the game or the front end for the values.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"

class DynamicObject;
struct GameMod;
struct SurfaceSounds;

// What the player's own sounds (footsteps, weapon handling) read of the game each frame.
struct PlayerSoundView {
    bool playerDead = false;
    bool surfaceForced = false;  // while set, forcedSurface replaces the trace
    SurfaceSounds* forcedSurface = nullptr;
    DynamicObject* currentVehicle = nullptr;  // null while on foot
    bool viewUnderWater = false;
    SurfaceSounds* waterSurface = nullptr;        // the water material of the loaded map, if any
    SurfaceSounds* surfaceBelowViewer = nullptr;  // what a trace 20 units down from the viewer hits
    s32_t motionState = 0;                        // 0-5: 0, 2, 3, 4 walking kinds; 1, 5 the other group
    u8_t movementFlags[2] = {0, 0};
    DynamicObject* currentWeapon = nullptr;    // the weapon in the current slot
    DynamicObject* holsteredWeapon = nullptr;  // the weapon being put away
};

constexpr float kNormalFieldOfView = 1.5707964f;  // pi / 2

struct FrameView {
    // The game clock. Seconds since the previous game frame, clamped to 0.001..0.1 at the start of
    // each game frame (plug-ins read it through the host data entry "framedtime"), and seconds from
    // the mission start to the previous game frame, unclamped.
    float frameTime = 0.001f;
    float gameTime = 0.0f;
    // The AI clock: the tick count at the start of the frame's AI step. Soldiers' turns are stamped by it.
    u32_t aiTime = 0;

    // The viewer: position shared by sound, world rendering and the object model; view angles in
    // radians (yaw about the vertical axis, pitch about the side axis, roll); the field of view.
    float viewPos[3] = {0.0f, 0.0f, 0.0f};
    float yaw = 0.0f;
    float pitch = 0.0f;
    float roll = 0.0f;  // radians, about the view direction
    float fieldOfView = kNormalFieldOfView;
    // Set while the view is zoomed (sight, binocular): fog then does not cull the map geometry.
    bool zoomView = false;
    // The alternative view mode (cleared at mission start): far billboards are not drawn fogged.
    u8_t viewModeToggle = 0;
    // Set while the cursor mode is on: the fogged passes draw unfogged.
    bool cursorMode = false;

    // The player's object (the player's actor), null outside a mission. Plug-ins read it through the
    // host data entry "player".
    DynamicObject* player = nullptr;

    // The screen flags: a front-end screen is open (cleared when it closes); the front end draws an
    // in-game screen (the HUD then draws nothing and the water stands still).
    bool screenOpen = false;
    bool inGameDisplay = false;

    PlayerSoundView sound;
    // The name of the map being played (the mission start sets it; message voices read it).
    EngineString mapName;
    // The side of the square world the map repeats with (core/world_repeat.h): the largest extent of
    // the map box the octree was built on, 0 while no map is loaded. The octree sets it.
    float worldSize = 0.0f;

    // The game flow the game sets and the subsystems below read. The running game mod (a plug-in's
    // record), null while none runs: its flags stop the soldiers' AI step and keep the sky drawn
    // behind its own screens.
    GameMod* currentGameMod = nullptr;
    // While set the mouse does not steer the view and the cursor is not held at the window's centre.
    bool freeMouse = false;
    // The name of the object definition being applied (GameApplyTemplateToObject), null between
    // definitions; nodes made by its lines take it as their source definition.
    const char* applyingDefinition = nullptr;
};

extern FrameView g_frameView;
