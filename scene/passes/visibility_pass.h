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

// The device camera at a position wrapped into the base tile, with the view's angles (no viewport
// set); a camera object, unless the view is third-person, gives the view its axes there.
void VisibilityCameraAtWrapped(const float* wrapped, float angleX, float angleY, float angleZ, float fov,
                               bool thirdPerson);

// ---- The indoor road ---------------------------------------------------------------------------
struct D3DXPLANE;
struct OctreeNode;

// What the indoor clip callback selects before each RenderIndoorClipVisibility: the tile number
// (0 to 24: (oz + 2) x 5 + (ox + 2)), the relative tile of the occluder lists and the occluder data
// of the camera (resolution 0: none).
struct IndoorClipTile {
    u32_t tileIndex = 12;
    s32_t relativeX = 0;
    s32_t relativeZ = 0;
    u32_t occluderResolution = 0;
    u16_t** occluderLists = nullptr;
    OctreeNode* const* occluderLeaves = nullptr;
    u32_t occluderLeafCount = 0;
    u32_t occluderCellX = 0;
    u32_t occluderCellZ = 0;
};
extern IndoorClipTile g_indoorClipTile;

// The occluder cell of a position inside the base tile (0 to resolution - 1).
u32_t IndoorOccluderCell(float local, float size, u32_t resolution);
// The static map of the 25 tiles after the indoor plug-in has drawn: each tile draws the leaves
// that the clip callback marked for its tile number. Same arguments as RenderVisibilityPass.
void RenderMapGeometryPass(float x, float y, float z, float angleX, float angleY, float angleZ, float fov);
// Collects the leaves and objects inside the planes for the tile g_indoorClipTile names (the
// clip callback sets the tile, its eye and the occluder cell first).
void RenderIndoorClipVisibility(const D3DXPLANE* planes, u32_t planeCount);
