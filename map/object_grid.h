// The object grid: which world things overlap each leaf of the octree. Each linked thing owns one
// entry; collection passes stamp it so that a thing linked to several leaves is reported once.
#pragma once
#include "core/types.h"

struct ObjectGridEntry {
    Vector3 boxMin;  // the box it was last linked with
    Vector3 boxMax;
    s8_t tileRect[4];  // min tile x, min tile z, max tile x, max tile z of that box
    u32_t traceStamp;
    // The value of the octree visit mark (g_map.octreeVisitMark) at which a pass last reported (or
    // dropped) the entry: an entry stamped with the current value counts as handled in that pass.
    u32_t visitStamp;
    u32_t kind;   // 0 map mesh, 3 graphic world object, 4 shadow companion
    void* owner;  // the map mesh record or the DynamicObject
    u32_t firstLink;
};
