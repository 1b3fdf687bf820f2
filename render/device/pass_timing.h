// The timing hook of the frame: while it is on, the passes mark the GPU time they take (begin and
// end time stamps on the device), and a collect sums each pass's time since the last collect. Off,
// the marks cost nothing. The benchmark and the statistics overlay read it.
#pragma once
#include "core/types.h"

enum RenderTimedPass : u32_t {
    TIMED_PASS_VISIBILITY = 0,  // the whole visibility pass with the static map of all tiles
    TIMED_PASS_MAP_DEPTH,       // the static map's depth pass (with the far leaves' single texture)
    TIMED_PASS_MAP_LAYERS,      // the land layers
    TIMED_PASS_MAP_LIGHTMAP,    // the lightmap (and the roads drawn with it)
    TIMED_PASS_MAP_FOG,         // the distance and under-water fog
    TIMED_PASS_SKY,             // the sky backdrop
    TIMED_PASS_OBJECTS,         // the visible-object passes (with the clustered meshes)
    TIMED_PASS_CLUSTERS,        // the clustered meshes
    TIMED_PASS_RECORDS,         // the replays of the translucent draw records
    TIMED_PASS_OVERLAYS,        // the HUD layers, the statistics overlay, debug lines and the console
    TIMED_PASS_VEGETATION,      // grass blades and mesh plants
    TIMED_PASS_DECALS,          // the decal update and the map and object decal passes
    TIMED_PASS_SHADOWS,         // the shadow volumes and the darkening
    TIMED_PASS_WIRES,           // the shader-set passes and the wires
    TIMED_PASS_SPRITES,         // the batched sprites
    RENDER_TIMED_PASS_COUNT
};

// Switches the hook on or off; either way the spans marked so far are dropped.
void RenderTimingEnable(bool on);
bool RenderTimingEnabled();
void RenderTimingBegin(RenderTimedPass pass);
void RenderTimingEnd(RenderTimedPass pass);
// Waits for the GPU and writes each pass's milliseconds since the last collect (or enable) into
// out[RENDER_TIMED_PASS_COUNT]; the spans are dropped. Spans past the device's time-stamp slots in
// one collect period are not counted.
void RenderTimingCollect(double* out);

// The finished way, for a software rasteriser, whose time stamps fall where it runs its deferred
// drawing rather than where the drawing was asked for: while it is on (with the hook on), every begin
// and end waits for the GPU, each pass's time is the wall time between them (a nested pass's time is
// inside its outer pass's, as with time stamps), and the samples that pass the depth and stencil
// tests are counted for the innermost open pass (a nested pass's samples are not its outer pass's).
// Off by default; the waits make the frame slower and only the split is meaningful.
void RenderTimingSetFinished(bool on);
bool RenderTimingFinished();
// Each pass's counts since the last collect (zeros unless finished), RENDER_TIMED_PASS_COUNT entries
// each: the samples it wrote, the fragments its programs ran for (0 where the driver does not count
// them) and the faces it drew (the frame's face count), all for the innermost open pass.
struct RenderPassCounts {
    double* samples;
    double* shaded;
    double* faces;
};
// RenderTimingCollect drops the counts: collect these first.
void RenderTimingCollectCounts(const RenderPassCounts& out);
