// Switches of the mesh renderers that the object draw and the frame set before meshes are drawn.
// The device-buffer preparation of each mission puts them back to their start values; after that
// they change only through the setters.
#pragma once
#include "core/types.h"

struct MeshRenderFlags {
    u8_t animated;   // the current object is animated: marked in each draw record it queues
    u8_t objectFog;  // meshes may take their fog pass
    u8_t batching;   // distance-faded objects and the HUD's map items are batched
};

extern MeshRenderFlags g_meshRenderFlags;

void RenderSetAnimatedFlag(bool animated);
void RenderSetObjectFog(bool enabled);
void RenderSetBatching(bool enabled);
