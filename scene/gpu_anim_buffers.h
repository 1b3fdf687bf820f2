// The GPU animation buffers: animated meshes queued at load time are uploaded into static vertex
// and index buffers by the renderer.
#pragma once
#include "core/types.h"

class AnimMesh;

constexpr s32_t GPU_ANIM_MAX_QUEUED = 512;

// Queues a mesh for upload; null, a mesh already queued and a full queue are ignored.
void GpuAnimRequest(AnimMesh* mesh);
s32_t GpuAnimQueuedCount();
AnimMesh* GpuAnimQueuedAt(s32_t index);
// Forgets every queued mesh (their owner is about to destroy them).
void GpuAnimQueueClear();
