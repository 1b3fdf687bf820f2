// The satellite view's control: the mouse cursor pans and zooms the top-down map camera. The order
// panel, the markers, the selection of soldiers and dragging come in later steps.
#pragma once
#include "core/types.h"

struct SatelliteViewState {
    float centreX = 0.0f, centreZ = 0.0f;                      // where the camera looks down
    float minX = 0.0f, minZ = 0.0f, maxX = 0.0f, maxZ = 0.0f;  // the rectangle the centre stays in
    s32_t zoomLevel = 0;                                       // 0 .. 2, an index of kSatelliteZoomFactors
    float panSpeed = 0.0f;                                     // units per second, fixed at the first call
    u8_t panSpeedSet = 0;
    u8_t dragging = 0;
};
extern SatelliteViewState g_satelliteView;

// One frame of the satellite view's control: the pan speed at the first call, the cursor from the
// game window, leaving, zoom and panning, then the objectives key.
void SatelliteViewUpdate();
// The steps on their own, for a cursor already read and a client area of width x height pixels.
void SatelliteZoomStep();
void SatellitePanStep(s32_t width, s32_t height);
