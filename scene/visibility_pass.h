// The visibility pass of a view: over the 5 x 5 world tiles round the camera (the map repeats on x
// and z), which octree leaves and which placed objects can be seen, drawing the static map of each
// tile as it goes. It leaves the visible-leaf list of the last tile and the visible-object list of
// the whole pass (g_visible) for the passes that follow within the view.
#pragma once
#include "core/types.h"
#include "render/camera.h"

constexpr int VISIBILITY_TILE_REACH = 2;  // tiles -2..2 round the camera's on each axis

// Position, angles (x, y, z) and field of view of the view. Leaves the device camera set up at the
// given position. While g_scene.mainView is set, the arguments become g_scene.mainViewCamera.
void RenderVisibilityPass(float x, float y, float z, float angleX, float angleY, float angleZ, float fov);
// RenderGetVisibilityEye (render/camera.h) answers the camera position given to the last pass,
// before any wrapping.
// After the visibility pass: every dynamic object of a class other than the root and plain graphic
// objects stamps its nodes with the time, then each graphic object of the visible-object list
// takes its view distance.
void RenderPrepareVisibleObjects();
