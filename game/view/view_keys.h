// The per-frame key steps that switch the player's view modes and HUD displays, the death check that
// ends player control, the friendly soldiers' preview row of the satellite view and the satellite
// cursor. The HUD switches they set are the HUD input's (render/draw2d/hud_input.h): the map display is its
// layer3, night vision nightVision, the binocular binocularView, the objectives objectivesShown, and
// the object-use mode quickMode (shared with the object use), the navigation display (the compass and
// the marks of the world markers) worldMarkersShown; the satellite view and the binocular's
// step are the game record's (game/game_state.h).
#pragma once
#include "core/types.h"

// The binocular's three fields of view, degrees.
constexpr float kBinocularSteps[3] = {55.0f, 25.0f, 10.0f};
// The satellite view's zoom factors of the normal field of view.
constexpr float kSatelliteZoomFactors[3] = {0.5f, 0.3f, 0.1f};
// The friendly previews: a row from the screen's right edge, 55 pixels apart, 50 x 50, 5 from the top.
constexpr s32_t kFriendlyPreviewSpacing = 55;
constexpr s32_t kFriendlyPreviewSize = 50;
constexpr s32_t kFriendlyPreviewTop = 5;

// "map" released: the map display toggles.
void MapKeyUpdate();
// The satellite view toggles; the camera's near clip becomes rfsatcamnear while it is open, else 0.2;
// the mouse is free (the cursor not held at the window's centre) exactly while it is open.
void ToggleSatelliteView();
// "satcam" released (while gb_satcamenable is on and the running game mode, if any, allows it): opens
// or closes the satellite view with its cursor, night vision on while it is open.
void SatelliteKeyUpdate();
// "objectives" released (unless a game mode keeps running): the objectives display toggles; turned
// on, the script event "OnShowObjectives" fires.
void ObjectivesKeyUpdate();
// "navigation" released: the navigation display (the HUD's world markers) toggles; the mission start
// shows it.
void NavigationKeyUpdate();
// "nightvision" released on a map that allows it: night vision toggles, and the weapon is lowered
// while it is on.
void NightVisionKeyUpdate();
// "binocular" raises the binocular at 55 degrees or lowers it (the field of view back to normal);
// while it is up and the command menu is closed, "zoomin" and "zoomout" step through 55, 25, 10.
void BinocularUpdate();
// Once per game frame before the control: the player's death ends player control once, in third
// person, with the death message unless a game mode runs.
void PlayerDeathCheck();
// The satellite view's previews of the living friendly soldiers; stops when the preview slots run out.
void HudAddFriendlyPreviews();
// The satellite cursor's position, truncated to whole pixels.
void GameGetCursorPosition(int* x, int* y);
// The satellite view's field of view starts at the first zoom factor of the normal one.
void SatelliteInitFieldOfView();
