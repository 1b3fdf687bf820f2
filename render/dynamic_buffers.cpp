#include "render/dynamic_buffers.h"

#include "core/assert.h"
#include "platform/d3dx8_math.h"
#include "render/render_context.h"

DynVertexBuffer dvb_lines, dvb_tex2, dvb_lit, dvb_coltex, dvb_tex, dvb_pos, dvb_screen, dvb_shader;
DynVertexBuffer* const g_dynVertexBuffers[kDynVertexBufferCount] = {&dvb_lines,  &dvb_tex2, &dvb_lit,
                                                                     &dvb_coltex, &dvb_tex,  &dvb_pos,
                                                                     &dvb_screen, &dvb_shader};
DynIndexBuffer dib_spare, dib_brackets, dib_small, dib_large, dib_direct;
DynIndexBuffer* const g_dynIndexBuffers[kDynIndexBufferCount] = {&dib_spare, &dib_brackets, &dib_small, &dib_large,
                                                                  &dib_direct};

DynVertexBuffer* cur_dvb = nullptr;
DynIndexBuffer* cur_dib = nullptr;
u8_t* cur_dvb_out = nullptr;
u16_t* cur_dib_out = nullptr;
u32_t dvb_last_lock_space = 0;
u32_t dib_last_lock_space = 0;
u16_t cur_base_vertex = 0;
DynBatchState g_dynBatch = {};

namespace {

// The buffers actually locked, so that an unlock reaches them even if another record was selected.
DynVertexBuffer* g_lockedVertexRecord = nullptr;
DynIndexBuffer* g_lockedIndexRecord = nullptr;

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
    record->vertex_size = D3DXGetFVFVertexSize(fvf);
    record->size = record->vertex_size * vertexCount;
    record->used = 0;
    record->fvf = deviceFvf;
    record->needs_discard = false;
    record->buffer = nullptr;
    HRESULT res = g_render.device->CreateVertexBuffer(record->size, StreamingUsage(), deviceFvf, D3DPOOL_DEFAULT,
                                                      &record->buffer);
    g_render.RenderLastResult = res;
    ENGINE_ASSERT(res == D3D_OK);
}

}  // namespace

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
    record->needs_discard = false;
    record->buffer = nullptr;
    HRESULT res = g_render.device->CreateIndexBuffer(indexCount * 2, StreamingUsage(), D3DFMT_INDEX16,
                                                     D3DPOOL_DEFAULT, &record->buffer);
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
    if (cur_dvb == record)
        return;
    cur_dvb = record;
    if (!record) {
        g_render.device->SetStreamSource(0, nullptr, 0);
        return;
    }
    if (record->fvf)
        g_render.device->SetVertexShader(record->fvf);
    g_render.device->SetStreamSource(0, record->buffer, record->vertex_size);
}

void DynIndexBufferSelect(DynIndexBuffer* record) { cur_dib = record; }

void DynBuffersForgetCurrent()
{
    cur_dvb = nullptr;
    cur_dib = nullptr;
}

void DynVertexBufferLock(u32_t n)
{
    if (n == 0)
        return;
    ENGINE_ASSERT(!cur_dvb_out);
    ENGINE_ASSERT(cur_dvb && cur_dvb->buffer);
    // 64 bits: a huge count must fail the check, not wrap past it.
    const std::uint64_t vert_space = std::uint64_t(cur_dvb->vertex_size) * n;
    ENGINE_ASSERT(vert_space <= cur_dvb->size);
    dvb_last_lock_space = static_cast<u32_t>(vert_space);
    BYTE* data = nullptr;
    HRESULT res;
    if (!cur_dvb->needs_discard && cur_dvb->used + vert_space <= cur_dvb->size) {
        res = cur_dvb->buffer->Lock(cur_dvb->used, dvb_last_lock_space, &data, kAppendLock);
    } else {
        res = cur_dvb->buffer->Lock(0, dvb_last_lock_space, &data, kDiscardLock);
        cur_dvb->used = 0;
    }
    g_render.RenderLastResult = res;
    ENGINE_ASSERT(res == D3D_OK);
    cur_dvb_out = data;
    cur_dvb->needs_discard = false;
    g_lockedVertexRecord = cur_dvb;
}

void DynBuffersLock(u32_t n, u32_t m)
{
    if (n == 0 || m == 0)
        return;
    ENGINE_ASSERT(!cur_dvb_out && !cur_dib_out);
    ENGINE_ASSERT(cur_dvb && cur_dvb->buffer && cur_dib && cur_dib->buffer);
    const std::uint64_t vert_space = std::uint64_t(cur_dvb->vertex_size) * n;
    const u32_t index_space = m;
    ENGINE_ASSERT(vert_space <= cur_dvb->size);
    ENGINE_ASSERT(index_space <= cur_dib->size);
    dvb_last_lock_space = static_cast<u32_t>(vert_space);
    dib_last_lock_space = index_space;
    BYTE* vertices = nullptr;
    BYTE* indices = nullptr;
    HRESULT res;
    if (!cur_dvb->needs_discard && !cur_dib->needs_discard && cur_dvb->used + vert_space <= cur_dvb->size &&
        std::uint64_t(cur_dib->used) + index_space <= cur_dib->size) {
        res = cur_dvb->buffer->Lock(cur_dvb->used, dvb_last_lock_space, &vertices, kAppendLock);
        g_render.RenderLastResult = res;
        ENGINE_ASSERT(res == D3D_OK);
        res = cur_dib->buffer->Lock(cur_dib->used * 2, index_space * 2, &indices, kAppendLock);
        cur_base_vertex = static_cast<u16_t>(cur_dvb->used / cur_dvb->vertex_size);
    } else {
        // Both wrap together, so that the block's indices and vertices start afresh as a pair.
        res = cur_dvb->buffer->Lock(0, dvb_last_lock_space, &vertices, kDiscardLock);
        g_render.RenderLastResult = res;
        ENGINE_ASSERT(res == D3D_OK);
        res = cur_dib->buffer->Lock(0, index_space * 2, &indices, kDiscardLock);
        cur_dvb->used = 0;
        cur_dib->used = 0;
        cur_base_vertex = 0;
    }
    g_render.RenderLastResult = res;
    ENGINE_ASSERT(res == D3D_OK);
    cur_dvb_out = vertices;
    cur_dib_out = reinterpret_cast<u16_t*>(indices);
    cur_dvb->needs_discard = false;
    cur_dib->needs_discard = false;
    g_lockedVertexRecord = cur_dvb;
    g_lockedIndexRecord = cur_dib;
}

void DynBuffersUnlock()
{
    ENGINE_ASSERT(cur_dvb_out);
    HRESULT res = g_lockedVertexRecord->buffer->Unlock();
    g_render.RenderLastResult = res;
    ENGINE_ASSERT(res == D3D_OK);
    cur_dvb_out = nullptr;
    g_lockedVertexRecord = nullptr;
    if (cur_dib_out) {
        res = g_lockedIndexRecord->buffer->Unlock();
        g_render.RenderLastResult = res;
        ENGINE_ASSERT(res == D3D_OK);
        cur_dib_out = nullptr;
        g_lockedIndexRecord = nullptr;
    }
}

void DynVertexBufferDraw(D3DPRIMITIVETYPE type, u32_t n, bool advance)
{
    const u32_t start = cur_dvb->used / cur_dvb->vertex_size;
    const std::uint64_t space = std::uint64_t(cur_dvb->vertex_size) * n;
    ENGINE_ASSERT((cur_dvb->used + space) <= cur_dvb->size);
    HRESULT res = g_render.device->DrawPrimitive(type, start, PrimitiveCount(type, n));
    g_render.RenderLastResult = res;
    ENGINE_ASSERT(res == D3D_OK);
    RenderCountDraw(type, n, 0);
    if (advance)
        cur_dvb->used += static_cast<u32_t>(space);
    ENGINE_ASSERT(space <= dvb_last_lock_space);
}

void DynBuffersDrawIndexed(D3DPRIMITIVETYPE type, u32_t n, u32_t ic, bool advance)
{
    const u32_t start = cur_dvb->used / cur_dvb->vertex_size;
    const std::uint64_t space = std::uint64_t(cur_dvb->vertex_size) * n;
    ENGINE_ASSERT((cur_dvb->used + space) <= cur_dvb->size);
    ENGINE_ASSERT((cur_dib->used + ic) <= cur_dib->size);
    g_render.device->SetIndices(cur_dib->buffer, 0);
    HRESULT res = g_render.device->DrawIndexedPrimitive(type, start, n, cur_dib->used, PrimitiveCount(type, ic));
    g_render.RenderLastResult = res;
    ENGINE_ASSERT(res == D3D_OK);
    RenderCountDraw(type, n, ic);
    if (advance) {
        cur_dvb->used += static_cast<u32_t>(space);
        cur_dib->used += ic;
    }
    ENGINE_ASSERT(space <= dvb_last_lock_space);
    ENGINE_ASSERT(ic <= dib_last_lock_space);
}

void DynBatchBegin(DynVertexBuffer* record, D3DPRIMITIVETYPE type, u32_t bsize)
{
    ENGINE_ASSERT(record);  // a batch without a buffer would have nowhere to write
    g_dynBatch.buffer = record;
    g_dynBatch.type = type;
    g_dynBatch.batch_size = bsize;
    g_dynBatch.batch_bc = 0;
    const DynVertexBuffer& dvb = *record;
    ENGINE_ASSERT(bsize <= (dvb.size / dvb.vertex_size));
    DynBufferSelect(record);
    DynVertexBufferLock(bsize);
}

void DynBatchReserve(u32_t n)
{
    u32_t& batch_bc = g_dynBatch.batch_bc;
    const u32_t batch_size = g_dynBatch.batch_size;
    ENGINE_ASSERT(batch_bc <= batch_size);
    // More than a whole block would be written past the locked block.
    ENGINE_ASSERT(n <= batch_size);
    if (batch_bc + n > batch_size) {
        DynBuffersUnlock();
        DynVertexBufferDraw(g_dynBatch.type, batch_bc, true);
        batch_bc = 0;
        DynVertexBufferLock(batch_size);
    }
    batch_bc += n;
}

void DynBatchEnd()
{
    DynBuffersUnlock();
    if (g_dynBatch.batch_bc) {
        DynVertexBufferDraw(g_dynBatch.type, g_dynBatch.batch_bc, true);
        g_dynBatch.batch_bc = 0;
    }
    cur_dvb = nullptr;
    g_render.device->SetStreamSource(0, nullptr, 0);
    g_dynBatch = {};
}

void DynBuffersNewFrame()
{
    for (DynVertexBuffer* record : g_dynVertexBuffers) {
        record->needs_discard = true;
        record->used = 0;
    }
    // The fifth index buffer is locked by its own pass and keeps its state.
    for (int i = 0; i < 4; ++i)
        g_dynIndexBuffers[i]->needs_discard = true;
}

u32_t PrimitiveCount(D3DPRIMITIVETYPE type, u32_t count)
{
    switch (type) {
    case D3DPT_POINTLIST: return count;
    case D3DPT_LINELIST: return count / 2;
    case D3DPT_LINESTRIP: return count ? count - 1 : 0;
    case D3DPT_TRIANGLELIST: return count / 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return count >= 2 ? count - 2 : 0;
    default: return 0;
    }
}

void RenderCountDraw(D3DPRIMITIVETYPE type, u32_t vertexCount, u32_t indexCount)
{
    RenderFrameStats& stats = g_render.frameStats;
    stats.vertices += vertexCount;
    stats.indices += indexCount;
    const u32_t n = indexCount ? indexCount : vertexCount;
    switch (type) {
    case D3DPT_LINELIST: stats.lines += n / 2; break;
    case D3DPT_LINESTRIP: stats.lines += n ? n - 1 : 0; break;
    case D3DPT_TRIANGLELIST: stats.faces += n / 3; break;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: stats.faces += n >= 2 ? n - 2 : 0; break;
    default: break;
    }
}
