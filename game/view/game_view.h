// The game's view settings that the camera reads: the field of view (the third-person switch is
// gbthirdperson, the zoomed view g_frameView.zoomView). The player control writes them into the frame view
// (core/frame_view.h), where the readers below find them.
#pragma once

// The current field of view in radians (pi / 2 at start).
float GameGetFieldOfView();
void GameSetFieldOfView(float radians);
