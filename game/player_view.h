// The player's view as other subsystems read it: view angles, and the game state the player's own
// sounds depend on. The player control writes these values; until it exists they are plain stored
// values that the setters change.
#pragma once
#include "core/engine_string.h"
#include "core/types.h"

class DynamicObject;
struct SurfaceSounds;

// The viewer position shared by sound, world rendering and the object model.
float* GameGetViewPos();
float GameGetPlayerModeModifier();
void GameSetPlayerModeModifier(float modifier);

// View angles in radians (yaw about the vertical axis, pitch about the side axis).
float GameGetYaw();
float GameGetPitch();
void GameSetYaw(float yaw);
void GameSetPitch(float pitch);
void GameSetYawPitch(float yaw, float pitch);

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

PlayerSoundView& GamePlayerSoundView();
// The footstep sets of the surface met by a trace from the point straight down over the distance
// (map, then indoor meshes): the hit object's material, or that of the hit map mesh's texture; null
// when nothing with a material is met. Also kept as surfaceBelowViewer.
SurfaceSounds* GameTraceSurfaceBelow(const float* from, float distance);

// The name of the map being played (the mission start sets it; message voices read it).
EngineString& GameCurrentMapName();
