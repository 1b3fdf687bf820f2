// The zone envelopes of the mission drawn as debug lines lying on the terrain: the polygon of each
// zone, and its convex hull where the polygon is not convex. The statistics overlay draws them while
// "rbshowzones" is on; the scene editor draws them through its interface record.
#pragma once
#include "core/types.h"

// The polygon's colour, and the hull's where it differs from the polygon.
constexpr u32_t ZONE_DRAW_POLYGON_COLOUR = 0xFFFF8000u;
constexpr u32_t ZONE_DRAW_HULL_COLOUR = 0xFF00C0FFu;
// How far above the terrain the lines lie, so the ground does not hide them.
constexpr float ZONE_DRAW_LIFT = 0.5f;
// The lines live for one draw of the debug lines: the caller adds them again every frame.
constexpr u32_t ZONE_DRAW_DURATION_MS = 1;

// Adds a debug line for every edge of every zone envelope of the envelope table, each end at the
// terrain height of its corner plus the lift.
void RenderDrawZones();
