// Where a node's fractional frame falls in its mesh's stored frames: the record to start from, the
// record to blend towards and how far. The last stored frame is reached only as a target.
#pragma once
#include "core/types.h"

class AnimMesh;

struct AnimFramePosition {
    u32_t index;     // the record of the frame
    u32_t next;      // the record it blends towards
    float fraction;  // 0 at index, towards 1 at next
};

// With n stored frames, whole frames run through 0 .. n - 2 and wrap; negative frames wrap the same
// way backwards. A mesh with one frame (or none, or a frame that is not a finite number) gives
// index 0 and fraction 0.
AnimFramePosition AnimFrameAt(const AnimMesh* mesh, float frame);
