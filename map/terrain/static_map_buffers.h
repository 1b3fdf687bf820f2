// Building the static map buffers (StaticMapBuffers in the render context, their vertex format in
// render/device/static_buffers.h) from the map's octree: once per mission, and again by the device hooks
// after every device reset or display-mode change.
#pragma once
#include "render/device/static_buffers.h"

// Releases any earlier buffers, then builds the leaf pair (and the attached pair when the pieces
// have vertices and faces) from the current octree and writes each leaf's and piece's first index
// and base vertex. False, with an error line and no buffers, when one cannot be made or filled;
// true also when there is nothing to build. A tree too deep for the walks' stack fails the assertion
// OCTREE_WALK_DEPTH_CHECK. From the first build on, the buffers are released with the device's
// resources and built again from the octree of the moment on a new device.
bool RenderBuildStaticBuffers();
