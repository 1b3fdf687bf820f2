// The octree's per-pass visit mark.
#pragma once
#include "core/types.h"

// Bumped by each pass that walks the octree; an object whose octree link carries the current mark
// counts as already handled in this pass. Plug-ins read it through the host data entry of the same name.
extern u32_t octree_object_checked;
