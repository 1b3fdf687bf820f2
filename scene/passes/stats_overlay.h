// The statistics overlay drawn last by the outdoor and external pass lists: with "rbdrawfps" the
// frame rate, with "rbdrawtimes" the milliseconds of each timed pass (the device timing hook is on
// while it is set), with "rbdrawstats" the frame's counts and triangle rate.
#pragma once
#include <cstddef>

#include "core/types.h"

struct RenderFrameStats;

// "%dV %dI %dF %dL t=%6g %4.2gMTri/s": vertices, indices, faces and lines of the frame, its
// milliseconds and its millions of triangles a second (0 for a frame of no time). Returns the
// length written (cut to size).
int StatsOverlayFormatLine(char* out, size_t size, const RenderFrameStats& stats, double milliseconds);
// The name of a timed pass as the overlay lists it.
const char* StatsOverlayPassName(u32_t pass);

void RenderStatsOverlay();
