// The in-game HUD: a stack of GUI screens with fixed names ("LAYER0" ... "LAYER13", "BINOCULAR",
// "ITF", the weapon's and the vehicle's own screens ...) drawn full-screen over the finished 3D frame
// in a fixed order. Which layers appear depends on the game's flags, the player's actor and weapon,
// and the four timed message slots. A layer whose screen does not exist is skipped; the
// compositor keeps no state beyond clearing a message slot whose time is up.
#pragma once

// Once per frame at the end of the normal world passes.
void HudDrawLayers();
// The reduced set at the end of the external-camera frame.
void HudDrawLayersExternal();
