// The game's view settings that the camera reads: the field of view (the third-person switch is
// gbthirdperson, the zoomed view g_game.zoomView). The player control writes them; until it exists
// they are plain stored values.
#pragma once

// The current field of view in radians (pi / 2 at start).
float GameGetFieldOfView();
void GameSetFieldOfView(float radians);
