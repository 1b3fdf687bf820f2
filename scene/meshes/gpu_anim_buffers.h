// The GPU animation buffers: animated meshes of objects that ask for them are queued while objects
// load and copied, at mission start and whenever the device makes its resources again, into shared
// static vertex and index buffers. Every mesh of every frame records its buffer slots and where its
// data begins; the mesh renderers draw such meshes from those buffers instead of the dynamic ones.
// The camera accessors the mesh renderers read live here too.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

class AnimMesh;

constexpr s32_t GPU_ANIM_MAX_QUEUED = 512;
constexpr s32_t MAX_GPU_ANIM_BUFFERS = 320;
// The staging blocks of one upload: one buffer's worth of vertices and of indices.
constexpr u32_t GPU_ANIM_VERTEX_STAGING_BYTES = 2097152;
constexpr u32_t GPU_ANIM_INDEX_STAGING_BYTES = 131072;
// Position, normal, one texture coordinate pair: 32 bytes.
constexpr DWORD GPU_ANIM_FVF = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
constexpr u32_t GPU_ANIM_VERTEX_BYTES = 32;

// Queues a mesh for upload; null, a mesh already queued and a full queue are ignored.
void GpuAnimRequest(AnimMesh* mesh);
s32_t GpuAnimQueuedCount();
AnimMesh* GpuAnimQueuedAt(s32_t index);

// Builds the buffers from the whole queue (releasing those of an earlier upload first) and prints
// the upload's size on console 0. A mesh too large for one buffer, and the meshes of a buffer that
// could not be made, keep no slots (they draw through the dynamic buffers); each such event logs
// one line. While the queue is not empty the buffers are let go of before every device reset and
// mode change and built again, in the same layout, afterwards.
void GpuAnimUpload();
// Leaving a mission: releases the buffers and empties the queue (its meshes are about to go).
void GpuAnimRelease();
// The device road: releases the buffers only; every queued mesh loses its slots, the queue stays.
void GpuAnimReleaseBuffers();

// The buffer in a slot; null for an empty slot or ANIM_GPU_SLOT_NONE.
IDirect3DVertexBuffer8* GpuAnimVertexBuffer(u8_t slot);
IDirect3DIndexBuffer8* GpuAnimIndexBuffer(u8_t slot);
s32_t GpuAnimVertexBufferCount();
s32_t GpuAnimIndexBufferCount();

// Tests: a buffer creation that fails on purpose. The call is made with the kind (false vertices,
// true indices) and the slot; returning false makes that creation fail. Null: none.
using GpuAnimCreateFault = bool (*)(bool indices, s32_t slot);
void GpuAnimSetCreateFault(GpuAnimCreateFault fault);

// The render camera's position.
void RenderGetCameraPosition(Vector3* out);
