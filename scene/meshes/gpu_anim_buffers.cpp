#include "scene/meshes/gpu_anim_buffers.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "core/assert.h"
#include "core/console/console.h"
#include "core/log.h"
#include "render/camera.h"
#include "render/device/device_hooks.h"
#include "render/device/render_context.h"
#include "world/animation/anim_mesh.h"

namespace {

AnimMesh* g_queue[GPU_ANIM_MAX_QUEUED];
s32_t g_queued = 0;
IDirect3DVertexBuffer8* g_vertexBuffers[MAX_GPU_ANIM_BUFFERS] = {};
IDirect3DIndexBuffer8* g_indexBuffers[MAX_GPU_ANIM_BUFFERS] = {};
s32_t g_vertexBufferCount = 0;
s32_t g_indexBufferCount = 0;
GpuAnimCreateFault g_createFault = nullptr;

constexpr u32_t kIndexBytes = 2;
// A mesh records its buffers in one byte each, and 255 means "not on the GPU": buffers beyond
// slot 254 cannot be named, however many the table holds.
constexpr s32_t kSlotLimit = ANIM_GPU_SLOT_NONE;
// Whether this upload has said that the slots ran out.
bool g_slotsFullReported = false;
constexpr float kNormalScale = 1.0f / 127.0f;

// Calls f on every mesh of every frame of every queued animation.
template <typename F>
void ForEachQueuedMesh(F&& f)
{
    for (s32_t q = 0; q < g_queued; ++q) {
        AnimMesh* anim = g_queue[q];
        for (u32_t frame = 0; frame < anim->frames_c; ++frame) {
            for (u32_t m = 0; m < anim->frames[frame].meshes_c; ++m)
                f(*anim, frame, m, anim->frames[frame].meshes[m]);
        }
    }
}

void ClearSlots(AnimFrameMesh& mesh)
{
    mesh.gpuVertexSlot = ANIM_GPU_SLOT_NONE;
    mesh.gpuIndexSlot = ANIM_GPU_SLOT_NONE;
    mesh.gpuFirstVertex = 0;
    mesh.gpuFirstIndex = 0;
}

// A mesh that takes its vertices, texture coordinates and faces from one other mesh shares that
// mesh's place in the buffers instead of being staged again.
bool SharesPlace(const AnimFrameMesh& mesh)
{
    return mesh.vertexRef != ANIM_REF_OWN && mesh.vertexRef == mesh.faceRef && mesh.vertexRef == mesh.texCoordRef;
}

const AnimFrameMesh* SharedOwner(const AnimMesh& anim, const AnimFrameMesh& mesh)
{
    const u32_t frame = static_cast<u32_t>(mesh.vertexRef) >> 16;
    const u32_t index = static_cast<u32_t>(mesh.vertexRef) & 0xFFFF;
    if (frame >= anim.frames_c || index >= anim.frames[frame].meshes_c)
        return nullptr;
    return &anim.frames[frame].meshes[index];
}

void ReleaseAll()
{
    for (s32_t i = 0; i < MAX_GPU_ANIM_BUFFERS; ++i) {
        if (g_vertexBuffers[i])
            g_vertexBuffers[i]->Release();
        if (g_indexBuffers[i])
            g_indexBuffers[i]->Release();
        g_vertexBuffers[i] = nullptr;
        g_indexBuffers[i] = nullptr;
    }
    g_vertexBufferCount = 0;
    g_indexBufferCount = 0;
    ForEachQueuedMesh([](AnimMesh&, u32_t, u32_t, AnimFrameMesh& mesh) { ClearSlots(mesh); });
}

// One upload's staging: the bytes of the buffer being filled and the meshes placed in it, so that
// a buffer that cannot be made takes its meshes back to the dynamic path.
struct Staging {
    std::vector<u8_t> vertices;
    std::vector<u8_t> indices;
    u32_t vertexBytes = 0;
    u32_t indexBytes = 0;
    std::vector<AnimFrameMesh*> vertexMeshes;
    std::vector<AnimFrameMesh*> indexMeshes;
};

bool CreateFails(bool indices, s32_t slot)
{
    return g_createFault && !g_createFault(indices, slot);
}

void DropMeshes(std::vector<AnimFrameMesh*>& meshes)
{
    for (AnimFrameMesh* mesh : meshes)
        ClearSlots(*mesh);
}

void FlushVertices(Staging& staging)
{
    if (staging.vertexBytes == 0)
        return;
    ENGINE_ASSERT(g_vertexBufferCount < MAX_GPU_ANIM_BUFFERS);
    IDirect3DDevice8* device = g_render.device;
    const s32_t slot = g_vertexBufferCount++;
    const DWORD usage =
        g_render.vertexProcessing == 2 ? D3DUSAGE_WRITEONLY : D3DUSAGE_WRITEONLY | D3DUSAGE_SOFTWAREPROCESSING;
    IDirect3DVertexBuffer8* buffer = nullptr;
    HRESULT result = D3DERR_INVALIDCALL;
    if (device && !CreateFails(false, slot))
        result = device->CreateVertexBuffer(staging.vertexBytes, usage, GPU_ANIM_FVF, D3DPOOL_DEFAULT, &buffer);
    g_render.RenderLastResult = result;
    BYTE* data = nullptr;
    if (SUCCEEDED(result) && buffer && SUCCEEDED(buffer->Lock(0, staging.vertexBytes, &data, D3DLOCK_NOSYSLOCK))) {
        std::memcpy(data, staging.vertices.data(), staging.vertexBytes);
        buffer->Unlock();
        g_vertexBuffers[slot] = buffer;
    } else {
        if (buffer)
            buffer->Release();
        Log("ERROR : GPU animation buffers: vertex buffer %d (%u bytes) could not be made; its meshes draw "
            "through the dynamic buffers\n",
            slot, staging.vertexBytes);
        DropMeshes(staging.vertexMeshes);
    }
    staging.vertexBytes = 0;
    staging.vertexMeshes.clear();
}

void FlushIndices(Staging& staging)
{
    if (staging.indexBytes == 0)
        return;
    ENGINE_ASSERT(g_indexBufferCount < MAX_GPU_ANIM_BUFFERS);
    IDirect3DDevice8* device = g_render.device;
    const s32_t slot = g_indexBufferCount++;
    const DWORD usage =
        g_render.vertexProcessing == 2 ? D3DUSAGE_WRITEONLY : D3DUSAGE_WRITEONLY | D3DUSAGE_SOFTWAREPROCESSING;
    IDirect3DIndexBuffer8* buffer = nullptr;
    HRESULT result = D3DERR_INVALIDCALL;
    if (device && !CreateFails(true, slot))
        result = device->CreateIndexBuffer(staging.indexBytes, usage, D3DFMT_INDEX16, D3DPOOL_SYSTEMMEM, &buffer);
    g_render.RenderLastResult = result;
    BYTE* data = nullptr;
    if (SUCCEEDED(result) && buffer && SUCCEEDED(buffer->Lock(0, staging.indexBytes, &data, D3DLOCK_NOSYSLOCK))) {
        std::memcpy(data, staging.indices.data(), staging.indexBytes);
        buffer->Unlock();
        g_indexBuffers[slot] = buffer;
    } else {
        if (buffer)
            buffer->Release();
        Log("ERROR : GPU animation buffers: index buffer %d (%u bytes) could not be made; its meshes draw "
            "through the dynamic buffers\n",
            slot, staging.indexBytes);
        DropMeshes(staging.indexMeshes);
    }
    staging.indexBytes = 0;
    staging.indexMeshes.clear();
}

void StageMesh(Staging& staging, const AnimMesh& anim, u32_t frame, u32_t index, AnimFrameMesh& mesh,
               u32_t& vertexTotal, u32_t& indexTotal)
{
    const AnimVertexData* vertices = anim.GetMeshVertices(frame, index);
    const AnimTexCoords* uvs = anim.GetMeshTexCoords(frame, index);
    const AnimFaces* faces = anim.GetMeshFaces(frame, index);
    const u32_t vertexCount = mesh.vertexCount;
    const u32_t indexCount = mesh.faceCount * 3;
    const std::uint64_t vertexNeed = static_cast<std::uint64_t>(vertexCount) * GPU_ANIM_VERTEX_BYTES;
    const std::uint64_t indexNeed = static_cast<std::uint64_t>(indexCount) * kIndexBytes;
    const bool blocksHold = (vertexCount == 0 || (vertices && vertices->count >= vertexCount)) &&
                            (indexCount == 0 || (faces && faces->count >= mesh.faceCount));
    if (vertexNeed > GPU_ANIM_VERTEX_STAGING_BYTES || indexNeed > GPU_ANIM_INDEX_STAGING_BYTES || !blocksHold) {
        ClearSlots(mesh);
        Log("WARNING: GPU animation buffers: mesh %u of frame %u of '%s' (%u vertices, %u faces) does not fit one "
            "buffer; drawn through the dynamic buffers\n",
            index, frame, anim.name.Text(), vertexCount, mesh.faceCount);
        return;
    }
    const bool newVertexBuffer = staging.vertexBytes + vertexNeed > GPU_ANIM_VERTEX_STAGING_BYTES;
    const bool newIndexBuffer = staging.indexBytes + indexNeed > GPU_ANIM_INDEX_STAGING_BYTES;
    if ((newVertexBuffer && g_vertexBufferCount + 1 >= kSlotLimit) ||
        (newIndexBuffer && g_indexBufferCount + 1 >= kSlotLimit)) {
        ClearSlots(mesh);
        if (!g_slotsFullReported) {
            Log("WARNING: GPU animation buffers: all %d buffer slots are taken; mesh %u of frame %u of '%s' and "
                "the meshes after it that need another buffer draw through the dynamic buffers\n",
                kSlotLimit, index, frame, anim.name.Text());
            g_slotsFullReported = true;
        }
        return;
    }
    vertexTotal += vertexCount;
    indexTotal += indexCount;
    if (newVertexBuffer)
        FlushVertices(staging);
    if (newIndexBuffer)
        FlushIndices(staging);
    mesh.gpuVertexSlot = static_cast<u8_t>(g_vertexBufferCount);
    mesh.gpuIndexSlot = static_cast<u8_t>(g_indexBufferCount);
    mesh.gpuFirstVertex = static_cast<u16_t>(staging.vertexBytes / GPU_ANIM_VERTEX_BYTES);
    mesh.gpuFirstIndex = static_cast<u16_t>(staging.indexBytes / kIndexBytes);
    float* out = reinterpret_cast<float*>(staging.vertices.data() + staging.vertexBytes);
    for (u32_t v = 0; v < vertexCount; ++v, out += 8) {
        const float* p = vertices->positions + static_cast<std::size_t>(v) * 3;
        const s8_t* n = vertices->normals + static_cast<std::size_t>(v) * 3;
        out[0] = p[0];
        out[1] = p[1];
        out[2] = p[2];
        out[3] = n[0] * kNormalScale;
        out[4] = n[1] * kNormalScale;
        out[5] = n[2] * kNormalScale;
        const bool hasUv = uvs && uvs->uv && v < uvs->count;
        out[6] = hasUv ? uvs->uv[v * 2] : 0.0f;
        out[7] = hasUv ? uvs->uv[v * 2 + 1] : 0.0f;
    }
    if (indexCount)
        std::memcpy(staging.indices.data() + staging.indexBytes, faces->indices, indexCount * kIndexBytes);
    staging.vertexBytes += static_cast<u32_t>(vertexNeed);
    staging.indexBytes += static_cast<u32_t>(indexNeed);
    staging.vertexMeshes.push_back(&mesh);
    staging.indexMeshes.push_back(&mesh);
}

void RegisterHooks()
{
    if (RenderDeviceHooksRegistered(RENDER_HOOK_GPU_ANIM))
        return;
    RenderRegisterDeviceHooks({RENDER_HOOK_GPU_ANIM, GpuAnimReleaseBuffers, GpuAnimUpload,
                               [](bool) {
                                   GpuAnimReleaseBuffers();
                                   RenderUnregisterDeviceHooks(RENDER_HOOK_GPU_ANIM);
                               },
                               nullptr});
}

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

void GpuAnimUpload()
{
    ReleaseAll();
    RegisterHooks();
    g_slotsFullReported = false;
    Staging staging;
    staging.vertices.resize(GPU_ANIM_VERTEX_STAGING_BYTES);
    staging.indices.resize(GPU_ANIM_INDEX_STAGING_BYTES);
    u32_t vertexTotal = 0;
    u32_t indexTotal = 0;
    ForEachQueuedMesh([&](AnimMesh& anim, u32_t frame, u32_t index, AnimFrameMesh& mesh) {
        if (!SharesPlace(mesh))
            StageMesh(staging, anim, frame, index, mesh, vertexTotal, indexTotal);
    });
    FlushVertices(staging);
    FlushIndices(staging);
    // Shared places are taken over once every buffer is made, so that a mesh never keeps the slot
    // of a buffer that failed or of a mesh that was left out.
    ForEachQueuedMesh([](AnimMesh& anim, u32_t, u32_t, AnimFrameMesh& mesh) {
        if (!SharesPlace(mesh))
            return;
        const AnimFrameMesh* owner = SharedOwner(anim, mesh);
        if (!owner || owner == &mesh || SharesPlace(*owner)) {
            ClearSlots(mesh);
            return;
        }
        mesh.gpuVertexSlot = owner->gpuVertexSlot;
        mesh.gpuIndexSlot = owner->gpuIndexSlot;
        mesh.gpuFirstVertex = owner->gpuFirstVertex;
        mesh.gpuFirstIndex = owner->gpuFirstIndex;
    });
    ConPrint(0, "Gpu load request: %d kB\n    %d vertices = %d kB\n    %d indices = %d kB\n",
             static_cast<int>((GPU_ANIM_VERTEX_BYTES * vertexTotal + kIndexBytes * indexTotal) / 1024),
             static_cast<int>(vertexTotal), static_cast<int>(GPU_ANIM_VERTEX_BYTES * vertexTotal / 1024),
             static_cast<int>(indexTotal), static_cast<int>(kIndexBytes * indexTotal / 1024));
}

void GpuAnimReleaseBuffers()
{
    ReleaseAll();
}

void GpuAnimRelease()
{
    ReleaseAll();
    g_queued = 0;
    RenderUnregisterDeviceHooks(RENDER_HOOK_GPU_ANIM);
}

IDirect3DVertexBuffer8* GpuAnimVertexBuffer(u8_t slot)
{
    return slot < MAX_GPU_ANIM_BUFFERS ? g_vertexBuffers[slot] : nullptr;
}

IDirect3DIndexBuffer8* GpuAnimIndexBuffer(u8_t slot)
{
    return slot < MAX_GPU_ANIM_BUFFERS ? g_indexBuffers[slot] : nullptr;
}

s32_t GpuAnimVertexBufferCount()
{
    return g_vertexBufferCount;
}

s32_t GpuAnimIndexBufferCount()
{
    return g_indexBufferCount;
}

void GpuAnimSetCreateFault(GpuAnimCreateFault fault)
{
    g_createFault = fault;
}

void RenderGetCameraPosition(Vector3* out)
{
    *out = {g_camera.position.x, g_camera.position.y, g_camera.position.z};
}
