// What the game frame offers others besides the frame itself: the satellite view's overhead drawing and the
// editor's look-at view. The frame itself is GameUpdateFrame (game/mission/game_flow.h).
#pragma once

// Forgets the frame's late messages (mission start): the caption stamp and the record stamp go to 0,
// the map-name caption becomes due and no record is.
void GameFrameMessagesReset();
// The main loop's start: the map-name caption shows 5 s from now.
void GameFrameStampCaption();
// The frame's view while the satellite view is on: straight down from high above its centre.
void GameDrawSatelliteView();
// A camera at the eye looking at the target, with the visibility pass from the eye.
void GameSetupLookAtView(float eyeX, float eyeY, float eyeZ, float targetX, float targetY, float targetZ, float fov);
// The frame clock: seconds since the mission start, the frame time held to 0.001..0.1 (the unclamped
// time is kept for the next frame).
void GameAdvanceFrameClock();
// The open console page's panel (pages 0 to 3), else the message lines when no screen holds the input
// and the game console is on.
void GameDrawConsoleOrMessages(bool suspended);
