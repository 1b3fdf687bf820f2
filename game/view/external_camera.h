// The external camera: while its flag is on, the game frame is drawn from a fixed camera high above
// the map's origin instead of the player's own view. Mission scripts switch it on and off.
#pragma once
#include "ai/script/script_functions.h"

// Set and clear the flag. They take a script function's argument holder so that rule scripts can
// call them as global functions; the holder is not read.
void SwitchToExternalCamera(ScriptArgWord* args = nullptr);
void SwitchFromExternalCamera(ScriptArgWord* args = nullptr);
// True while the external camera is on.
bool ExternalCameraActive();
// Where the external camera stands: (0, 500, 0), looking along yaw -1.
const float* ExternalCameraPosition();
// The whole game frame while the external camera is on: the clock (clamped, the unclamped time kept),
// the mission cameras, the landscape and the visible objects from the camera, the console or the
// message lines, the fade and the frame end. No simulation, no AI, no plug-in frame event, no HUD.
void ExternalCameraFrame();
// The external camera's picture alone (no clock, no mission cameras): also the picture of the game
// frame whose simulation switched the camera on, so that the shot's first frame shows no HUD.
void ExternalCameraDraw();
