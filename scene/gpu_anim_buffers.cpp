#include "scene/gpu_anim_buffers.h"

namespace {
AnimMesh* g_queue[GPU_ANIM_MAX_QUEUED];
s32_t g_queued = 0;
}  // namespace

void GpuAnimRequest(AnimMesh* mesh)
{
    if (!mesh || g_queued >= GPU_ANIM_MAX_QUEUED)
        return;
    for (s32_t i = 0; i < g_queued; ++i) {
        if (g_queue[i] == mesh)
            return;
    }
    g_queue[g_queued++] = mesh;
}

s32_t GpuAnimQueuedCount()
{
    return g_queued;
}

AnimMesh* GpuAnimQueuedAt(s32_t index)
{
    return index >= 0 && index < g_queued ? g_queue[index] : nullptr;
}

void GpuAnimQueueClear()
{
    g_queued = 0;
}
