// The game's side of the player's view: the setters and getters of the view angles and position,
// the player's sound view and the map name. The values live in the frame view (core/frame_view.h),
// where the subsystems below read them; the player control writes them through these functions.
#pragma once
#include "core/strings/engine_string.h"
#include "core/frame_view.h"
#include "core/types.h"

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

PlayerSoundView& GamePlayerSoundView();
// The footstep sets of the surface met by a trace from the point straight down over the distance
// (map, then indoor meshes): the hit object's material, or that of the hit map mesh's texture; null
// when nothing with a material is met. Also kept as surfaceBelowViewer.
SurfaceSounds* GameTraceSurfaceBelow(const float* from, float distance);

// The name of the map being played (the mission start sets it; message voices read it).
EngineString& GameCurrentMapName();
