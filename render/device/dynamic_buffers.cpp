#include "render/device/dynamic_buffers.h"

#include <cstring>

#include "core/assert.h"
#include "platform/d3dx8_math.h"
#include "render/device/render_context.h"

DynBufferState g_dynBuffers = {};

namespace {

constexpr DWORD kAppendLock = D3DLOCK_NOOVERWRITE | D3DLOCK_NOSYSLOCK;  // 0x1800
constexpr DWORD kDiscardLock = D3DLOCK_DISCARD | D3DLOCK_NOSYSLOCK;     // 0x2800

DWORD StreamingUsage()
{
    DWORD usage = D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY;
    if (g_render.vertexProcessing != 2)
        usage |= D3DUSAGE_SOFTWAREPROCESSING;
    return usage;
}

void CreateVertexBuffer(DynVertexBuffer* record, u32_t fvf, u32_t vertexCount, u32_t deviceFvf)
{
    record->vertexSize = D3DXGetFVFVertexSize(fvf);
    record->size = record->vertexSize * vertexCount;
    record->used = 0;
    record->fvf = deviceFvf;
    record->needsDiscard = false;
    record->buffer = nullptr;
    HRESULT res = g_render.device->CreateVertexBuffer(record->size, StreamingUsage(), deviceFvf, D3DPOOL_DEFAULT,
                                                      &record->buffer);
    g_render.RenderLastResult = res;
    ENGINE_ASSERT(res == D3D_OK);
}

}  // namespace

std::array<DynVertexBuffer*, kDynVertexBufferCount> DynVertexBuffers()
{
    DynBufferState& s = g_dynBuffers;
    return {&s.lineVertices, &s.tex2Vertices, &s.litVertices,    &s.colTexVertices,
            &s.texVertices,  &s.posVertices,  &s.screenVertices, &s.shaderVertices};
}

std::array<DynIndexBuffer*, kDynIndexBufferCount> DynIndexBuffers()
{
    DynBufferState& s = g_dynBuffers;
    return {&s.spareIndices, &s.bracketIndices, &s.smallIndices, &s.largeIndices, &s.directIndices};
}

void DynVertexBufferCreate(DynVertexBuffer* record, u32_t fvf, u32_t vertexCount)
{
    CreateVertexBuffer(record, fvf, vertexCount, fvf);
}

void DynShaderVertexBufferCreate(DynVertexBuffer* record, u32_t fvf, u32_t vertexCount)
{
    CreateVertexBuffer(record, fvf, vertexCount, 0);
}

void DynIndexBufferCreate(DynIndexBuffer* record, u32_t indexCount)
{
    record->size = indexCount;
    record->used = 0;
    record->needsDiscard = false;
    record->buffer = nullptr;
    HRESULT res = g_render.device->CreateIndexBuffer(indexCount * 2, StreamingUsage(), D3DFMT_INDEX16, D3DPOOL_DEFAULT,
                                                     &record->buffer);
    g_render.RenderLastResult = res;
    ENGINE_ASSERT(res == D3D_OK);
}

void DynVertexBufferRelease(DynVertexBuffer* record)
{
    if (record->buffer)
        record->buffer->Release();
    record->buffer = nullptr;
}

void DynIndexBufferRelease(DynIndexBuffer* record)
{
    if (record->buffer)
        record->buffer->Release();
    record->buffer = nullptr;
}

void DynBufferSelect(DynVertexBuffer* record)
{
    // Unbinding always reaches the device: stream 0 may hold a buffer bound outside these records.
    if (!record) {
        g_dynBuffers.vertexBuffer = nullptr;
        g_render.device->SetStreamSource(0, nullptr, 0);
        return;
    }
    if (g_dynBuffers.vertexBuffer == record)
        return;
    g_dynBuffers.vertexBuffer = record;
    if (record->fvf)
        g_render.device->SetVertexShader(record->fvf);
    g_render.device->SetStreamSource(0, record->buffer, record->vertexSize);
}

void DynIndexBufferSelect(DynIndexBuffer* record)
{
    g_dynBuffers.indexBuffer = record;
}

void DynBuffersForgetCurrent()
{
    g_dynBuffers.vertexBuffer = nullptr;
    g_dynBuffers.indexBuffer = nullptr;
}

// The assertion texts below are the program's own messages and keep their wording.
void DynVertexBufferLock(u32_t n)
{
    if (n == 0)
        return;
    DynBufferState& state = g_dynBuffers;
    DynVertexBuffer* vb = state.vertexBuffer;
    ENGINE_ASSERT_TEXT(!state.vertexOut, "!cur_dvb_out");
    ENGINE_ASSERT(vb && vb->buffer);
    // 64 bits: a huge count must fail the check, not wrap past it.
    const std::uint64_t vertexSpace = std::uint64_t(vb->vertexSize) * n;
    ENGINE_ASSERT_TEXT(vertexSpace <= vb->size, "vert_space <= cur_dvb->size");
    state.lastVertexLockSpace = static_cast<u32_t>(vertexSpace);
    BYTE* data = nullptr;
    HRESULT res;
    if (!vb->needsDiscard && vb->used + vertexSpace <= vb->size) {
        res = vb->buffer->Lock(vb->used, state.lastVertexLockSpace, &data, kAppendLock);
    } else {
        res = vb->buffer->Lock(0, state.lastVertexLockSpace, &data, kDiscardLock);
        vb->used = 0;
    }
    g_render.RenderLastResult = res;
    ENGINE_ASSERT(res == D3D_OK);
    state.vertexOut = data;
    vb->needsDiscard = false;
    state.lockedVertexBuffer = vb;
}

void DynBuffersLock(u32_t n, u32_t m)
{
    if (n == 0 || m == 0)
        return;
    DynBufferState& state = g_dynBuffers;
    DynVertexBuffer* vb = state.vertexBuffer;
    DynIndexBuffer* ib = state.indexBuffer;
    ENGINE_ASSERT_TEXT(!state.vertexOut && !state.indexOut, "!cur_dvb_out && !cur_dib_out");
    ENGINE_ASSERT(vb && vb->buffer && ib && ib->buffer);
    const std::uint64_t vertexSpace = std::uint64_t(vb->vertexSize) * n;
    const u32_t indexSpace = m;
    ENGINE_ASSERT_TEXT(vertexSpace <= vb->size, "vert_space <= cur_dvb->size");
    ENGINE_ASSERT_TEXT(indexSpace <= ib->size, "index_space <= cur_dib->size");
    state.lastVertexLockSpace = static_cast<u32_t>(vertexSpace);
    state.lastIndexLockSpace = indexSpace;
    BYTE* vertices = nullptr;
    BYTE* indices = nullptr;
    HRESULT res;
    if (!vb->needsDiscard && !ib->needsDiscard && vb->used + vertexSpace <= vb->size &&
        std::uint64_t(ib->used) + indexSpace <= ib->size) {
        res = vb->buffer->Lock(vb->used, state.lastVertexLockSpace, &vertices, kAppendLock);
        g_render.RenderLastResult = res;
        ENGINE_ASSERT(res == D3D_OK);
        res = ib->buffer->Lock(ib->used * 2, indexSpace * 2, &indices, kAppendLock);
        state.baseVertex = static_cast<u16_t>(vb->used / vb->vertexSize);
    } else {
        // Both wrap together, so that the block's indices and vertices start afresh as a pair.
        res = vb->buffer->Lock(0, state.lastVertexLockSpace, &vertices, kDiscardLock);
        g_render.RenderLastResult = res;
        ENGINE_ASSERT(res == D3D_OK);
        res = ib->buffer->Lock(0, indexSpace * 2, &indices, kDiscardLock);
        vb->used = 0;
        ib->used = 0;
        state.baseVertex = 0;
    }
    g_render.RenderLastResult = res;
    ENGINE_ASSERT(res == D3D_OK);
    state.vertexOut = vertices;
    state.indexOut = reinterpret_cast<u16_t*>(indices);
    vb->needsDiscard = false;
    ib->needsDiscard = false;
    state.lockedVertexBuffer = vb;
    state.lockedIndexBuffer = ib;
}

void DynBuffersUnlock()
{
    DynBufferState& state = g_dynBuffers;
    ENGINE_ASSERT_TEXT(state.vertexOut, "cur_dvb_out");
    HRESULT res = state.lockedVertexBuffer->buffer->Unlock();
    g_render.RenderLastResult = res;
    ENGINE_ASSERT(res == D3D_OK);
    state.vertexOut = nullptr;
    state.lockedVertexBuffer = nullptr;
    if (state.indexOut) {
        res = state.lockedIndexBuffer->buffer->Unlock();
        g_render.RenderLastResult = res;
        ENGINE_ASSERT(res == D3D_OK);
        state.indexOut = nullptr;
        state.lockedIndexBuffer = nullptr;
    }
}

void DynVertexBufferDraw(D3DPRIMITIVETYPE type, u32_t n, bool advance)
{
    DynVertexBuffer* vb = g_dynBuffers.vertexBuffer;
    const u32_t start = vb->used / vb->vertexSize;
    const std::uint64_t space = std::uint64_t(vb->vertexSize) * n;
    ENGINE_ASSERT_TEXT((vb->used + space) <= vb->size, "(cur_dvb->used + space) <= cur_dvb->size");
    HRESULT res = g_render.device->DrawPrimitive(type, start, PrimitiveCount(type, n));
    g_render.RenderLastResult = res;
    ENGINE_ASSERT(res == D3D_OK);
    RenderCountDraw(type, n, 0);
    if (advance)
        vb->used += static_cast<u32_t>(space);
    ENGINE_ASSERT_TEXT(space <= g_dynBuffers.lastVertexLockSpace, "space <= dvb_last_lock_space");
}

void DynBuffersDrawIndexed(D3DPRIMITIVETYPE type, u32_t n, u32_t ic, bool advance)
{
    DynVertexBuffer* vb = g_dynBuffers.vertexBuffer;
    DynIndexBuffer* ib = g_dynBuffers.indexBuffer;
    const u32_t start = vb->used / vb->vertexSize;
    const std::uint64_t space = std::uint64_t(vb->vertexSize) * n;
    ENGINE_ASSERT_TEXT((vb->used + space) <= vb->size, "(cur_dvb->used + space) <= cur_dvb->size");
    ENGINE_ASSERT_TEXT((ib->used + ic) <= ib->size, "(cur_dib->used + ic) <= cur_dib->size");
    g_render.device->SetIndices(ib->buffer, 0);
    HRESULT res = g_render.device->DrawIndexedPrimitive(type, start, n, ib->used, PrimitiveCount(type, ic));
    g_render.RenderLastResult = res;
    ENGINE_ASSERT(res == D3D_OK);
    RenderCountDraw(type, n, ic);
    if (advance) {
        vb->used += static_cast<u32_t>(space);
        ib->used += ic;
    }
    ENGINE_ASSERT_TEXT(space <= g_dynBuffers.lastVertexLockSpace, "space <= dvb_last_lock_space");
    ENGINE_ASSERT_TEXT(ic <= g_dynBuffers.lastIndexLockSpace, "ic <= dib_last_lock_space");
}

void DynBatchBegin(DynVertexBuffer* record, D3DPRIMITIVETYPE type, u32_t bsize)
{
    ENGINE_ASSERT(record);  // a batch without a buffer would have nowhere to write
    DynBatchState& batch = g_dynBuffers.batch;
    batch.buffer = record;
    batch.type = type;
    batch.batchSize = bsize;
    batch.reserved = 0;
    ENGINE_ASSERT_TEXT(bsize <= (record->size / record->vertexSize), "bsize <= (dvb.size / dvb.vertex_size)");
    DynBufferSelect(record);
    DynVertexBufferLock(bsize);
}

void DynBatchReserve(u32_t n)
{
    DynBatchState& batch = g_dynBuffers.batch;
    ENGINE_ASSERT_TEXT(batch.reserved <= batch.batchSize, "batch_bc <= batch_size");
    // More than a whole block would be written past the locked block.
    ENGINE_ASSERT_TEXT(n <= batch.batchSize, "n <= batch_size");
    if (batch.reserved + n > batch.batchSize) {
        DynBuffersUnlock();
        DynVertexBufferDraw(batch.type, batch.reserved, true);
        batch.reserved = 0;
        DynVertexBufferLock(batch.batchSize);
    }
    batch.reserved += n;
}

void DynBatchEnd()
{
    DynBatchState& batch = g_dynBuffers.batch;
    DynBuffersUnlock();
    if (batch.reserved) {
        DynVertexBufferDraw(batch.type, batch.reserved, true);
        batch.reserved = 0;
    }
    g_dynBuffers.vertexBuffer = nullptr;
    g_render.device->SetStreamSource(0, nullptr, 0);
    batch = {};
}

void DynBuffersNewFrame()
{
    for (DynVertexBuffer* record : DynVertexBuffers()) {
        record->needsDiscard = true;
        record->used = 0;
    }
    // The fifth index buffer is locked by its own pass and keeps its state.
    const auto indexBuffers = DynIndexBuffers();
    for (int i = 0; i < 4; ++i)
        indexBuffers[i]->needsDiscard = true;
}

u32_t PrimitiveCount(D3DPRIMITIVETYPE type, u32_t count)
{
    switch (type) {
        case D3DPT_POINTLIST:
            return count;
        case D3DPT_LINELIST:
            return count / 2;
        case D3DPT_LINESTRIP:
            return count ? count - 1 : 0;
        case D3DPT_TRIANGLELIST:
            return count / 3;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN:
            return count >= 2 ? count - 2 : 0;
        default:
            return 0;
    }
}

void RenderCountDraw(D3DPRIMITIVETYPE type, u32_t vertexCount, u32_t indexCount)
{
    RenderFrameStats& stats = g_render.frameStats;
    stats.vertices += vertexCount;
    stats.indices += indexCount;
    const u32_t n = indexCount ? indexCount : vertexCount;
    switch (type) {
        case D3DPT_LINELIST:
            stats.lines += n / 2;
            break;
        case D3DPT_LINESTRIP:
            stats.lines += n ? n - 1 : 0;
            break;
        case D3DPT_TRIANGLELIST:
            stats.faces += n / 3;
            break;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN:
            stats.faces += n >= 2 ? n - 2 : 0;
            break;
        default:
            break;
    }
}

void EmitPosition(float x, float y, float z)
{
    const float position[3] = {x, y, z};
    std::memcpy(g_dynBuffers.vertexOut, position, sizeof(position));
    g_dynBuffers.vertexOut += sizeof(position);
}

void EmitTriangle(u16_t a, u16_t b, u16_t c)
{
    const u16_t base = g_dynBuffers.baseVertex;
    u16_t* out = g_dynBuffers.indexOut;
    out[0] = static_cast<u16_t>(base + a);
    out[1] = static_cast<u16_t>(base + b);
    out[2] = static_cast<u16_t>(base + c);
    g_dynBuffers.indexOut = out + 3;
}
