#include "render/draw2d/debug_vertex.h"

#include "render/draw2d/debug_primitives.h"

void DebugVertex(const Vector3* point, u32_t colour, u32_t durationMs)
{
    if (!point)
        return;
    const Vector3 copy = *point;
    DebugCrossAdd(&copy, colour, durationMs);
}
