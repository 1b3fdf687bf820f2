// The external camera: while its flag is on, the game frame is drawn from the mission's camera high
// above the player instead of the player's own view. Mission scripts switch it on and off.
#pragma once
#include "ai/script_functions.h"

// Set and clear the flag. They take a script function's argument holder so that rule scripts can
// call them as global functions; the holder is not read.
void SwitchToExternalCamera(ScriptArgWord* args = nullptr);
void SwitchFromExternalCamera(ScriptArgWord* args = nullptr);
// True while the external camera is on.
bool ExternalCameraActive();
