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
