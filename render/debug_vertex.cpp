// The timed debug lines are not drawn yet, so a marked point shows nothing.
#include "render/debug_vertex.h"

void DebugVertex(const Vector3*, u32_t, u32_t) {}
