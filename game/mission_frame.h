// The frame of a running mission as far as its passes exist: the game clock, the world objects'
// update, a free viewer that a person can look round with (the mouse turns the view, the move
// actions carry the viewer over the terrain), and the drawing: frame begin, the outdoor road of the
// world (views into textures, camera, sky backdrop, stencil mark, visibility pass with the static
// map, the outdoor pass list), object previews, debug lines, console, screenshot, fade, frame end.
#pragma once

// Puts the viewer at the start position ("-p" x y z, else above the map's centre) and takes the
// mouse movement for the view. Called once a mission has loaded.
void GameMissionFrameStart();
// Gives the mouse back (leaving the mission).
void GameMissionFrameEnd();
// One frame; present is false for the single frame drawn before the mission script starts.
void GameMissionFrame(bool present);
// The viewer's field of view in radians.
float GameGetFov();
