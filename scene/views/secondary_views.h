// The views drawn into textures before the main view: the render-target switch (shared with the
// inset camera view) and the water's secondary view, from under water a plain view, from above a
// view mirrored in the water plane, drawn into level 0 of the water view texture.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

// The nearest water a secondary view is drawn for.
constexpr float SECONDARY_VIEW_WATER_REACH = 5000.0f;

// Makes the surface (with the shared depth surface) the target: keeps the device's target and depth
// surface and the screen and view sizes, takes the surface's size for them, clears the depth and
// sets RenderToTextureActive. Calls pair with RenderTargetEnd and do not nest.
void RenderTargetBegin(IDirect3DSurface8* surface);
// Puts back what RenderTargetBegin kept and clears RenderToTextureActive.
void RenderTargetEnd();

// Clears RenderViewUnderWater; with rbwater, stores GameIsViewUnderWater in it and draws the
// under-water view when it is set, else the reflection view.
void RenderSecondaryViews();
// The reflection view alone; the external camera's list draws it late with a fixed downward view.
void RenderReflectionView(bool externalCamera);
// The external camera list's call.
void RenderReflectionViewExternal();

// True when the last visibility pass saw water within reach and the map has a water layer: a
// secondary view is then drawn.
bool SecondaryViewWanted();
// The height of the first water layer that covers land; false when the map has none.
bool SecondaryViewWaterHeight(float* height);

// What the views keep between calls. SecondaryViewsReset starts it afresh (tests).
struct SecondaryViewsState {
    IDirect3DSurface8* savedTarget = nullptr;
    IDirect3DSurface8* savedDepth = nullptr;
    int savedScreenWidth = 0, savedScreenHeight = 0;
    u32_t savedViewWidth = 0, savedViewHeight = 0;
    // The first reflection view of the run draws without its clip plane; it only records that one ran.
    bool reflectionRan = false;
    // Views drawn (tests and statistics): under water, reflection.
    u32_t underWaterViews = 0, reflectionViews = 0;
};
extern SecondaryViewsState g_secondaryViews;
void SecondaryViewsReset();
