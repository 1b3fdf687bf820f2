#include "scene/mesh_render_flags.h"

MeshRenderFlags g_meshRenderFlags = {0, 1, 1};

void RenderSetAnimatedFlag(bool animated)
{
    g_meshRenderFlags.animated = animated ? 1 : 0;
}

void RenderSetObjectFog(bool enabled)
{
    g_meshRenderFlags.objectFog = enabled ? 1 : 0;
}

void RenderSetBatching(bool enabled)
{
    g_meshRenderFlags.batching = enabled ? 1 : 0;
}
