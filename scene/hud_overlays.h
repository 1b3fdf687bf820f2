// The world renderer's overlays that the HUD asks for: world markers, the inset camera view in a
// pixel rectangle, and the mission-timer list. Their drawing lands with the world renderer; until
// then each request is counted (and the inset rectangle kept) so that the HUD's choices show.
#pragma once
#include "core/types.h"

void HudDrawWorldMarkers();
// Renders the inset camera and draws it in the rectangle (pixels).
void HudDrawTeskCam(s32_t x, s32_t y, s32_t width, s32_t height);
// The "- ITF -" list of the running mission timers.
void HudDrawItfList();

struct HudOverlayRequests {
    u32_t worldMarkers;
    u32_t insetViews;
    s32_t insetRect[4];  // x, y, width, height of the last inset view
    u32_t itfLists;
};
const HudOverlayRequests& HudOverlayRequestsSoFar();
void HudOverlayRequestsClear();
