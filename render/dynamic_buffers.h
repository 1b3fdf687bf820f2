// Streaming vertex and index buffers: per-frame geometry is written by the CPU into a small fixed
// set of dynamic buffers with the protocol select, lock, write, unlock, draw. The first lock of a
// buffer in a frame discards it; later locks append without overwriting until it is full.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

struct DynVertexBuffer {
    u32_t vertex_size;     // bytes per vertex
    u32_t size;            // capacity in bytes
    u32_t used;            // bytes handed out since the last discard
    u32_t fvf;             // 0 for the buffer fed to vertex shaders
    IDirect3DVertexBuffer8* buffer;  // null while the device resources are released
    bool needs_discard;
};

struct DynIndexBuffer {
    u32_t size;  // capacity in 16-bit indices
    u32_t used;  // indices handed out since the last discard
    IDirect3DIndexBuffer8* buffer;
    bool needs_discard;
};

// The streaming buffers, in the order they are made.
extern DynVertexBuffer dvb_lines;      // XYZ, DIFFUSE: debug lines
extern DynVertexBuffer dvb_tex2;       // XYZ, TEX2: vegetation and world passes
extern DynVertexBuffer dvb_lit;        // XYZ, NORMAL, TEX1: meshes
extern DynVertexBuffer dvb_coltex;     // XYZ, DIFFUSE, TEX1
extern DynVertexBuffer dvb_tex;        // XYZ, TEX1: landscape, decals, flare
extern DynVertexBuffer dvb_pos;        // XYZ (16384 vertices): shadow and map passes
extern DynVertexBuffer dvb_screen;     // XYZRHW, DIFFUSE, TEX1: 2D quads and text
extern DynVertexBuffer dvb_shader;     // fed to a vertex shader (vertex size of XYZ)
constexpr int kDynVertexBufferCount = 8;
extern DynVertexBuffer* const g_dynVertexBuffers[kDynVertexBufferCount];

extern DynIndexBuffer dib_spare;      // 65536
extern DynIndexBuffer dib_brackets;   // 131072: 2D corner brackets
extern DynIndexBuffer dib_small;      // 32768: text, vegetation, shadows
extern DynIndexBuffer dib_large;      // 262144: meshes, decals, world passes
extern DynIndexBuffer dib_direct;     // 262144: locked and drawn by one world pass by itself
constexpr int kDynIndexBufferCount = 5;
extern DynIndexBuffer* const g_dynIndexBuffers[kDynIndexBufferCount];

constexpr u32_t kDynBufferVertices = 65536;

// Streaming state.
extern DynVertexBuffer* cur_dvb;
extern DynIndexBuffer* cur_dib;
extern u8_t* cur_dvb_out;   // write position in the locked vertex block, null while unlocked
extern u16_t* cur_dib_out;  // write position in the locked index block
extern u32_t dvb_last_lock_space;  // bytes of the last vertex lock
extern u32_t dib_last_lock_space;  // indices of the last index lock
// First vertex (in the whole buffer) of the last combined lock's block: indices written into the
// block are block-local vertex numbers plus this.
extern u16_t cur_base_vertex;

struct DynBatchState {
    DynVertexBuffer* buffer;
    D3DPRIMITIVETYPE type;
    u32_t batch_size;  // vertices locked per block
    u32_t batch_bc;    // vertices reserved so far in the block
};
extern DynBatchState g_dynBatch;

void DynVertexBufferCreate(DynVertexBuffer* record, u32_t fvf, u32_t vertexCount);
void DynShaderVertexBufferCreate(DynVertexBuffer* record, u32_t fvf, u32_t vertexCount);
void DynIndexBufferCreate(DynIndexBuffer* record, u32_t indexCount);
// Releases the record's device buffer (the record stays).
void DynVertexBufferRelease(DynVertexBuffer* record);
void DynIndexBufferRelease(DynIndexBuffer* record);

// Makes the record current (binding stream 0 and, with a format, the vertex format); null unbinds.
void DynBufferSelect(DynVertexBuffer* record);
void DynIndexBufferSelect(DynIndexBuffer* record);
// Forgets the current buffers (their device bindings are gone).
void DynBuffersForgetCurrent();

void DynVertexBufferLock(u32_t n);
void DynBuffersLock(u32_t n, u32_t m);
void DynBuffersUnlock();
void DynVertexBufferDraw(D3DPRIMITIVETYPE type, u32_t n, bool advance);
void DynBuffersDrawIndexed(D3DPRIMITIVETYPE type, u32_t n, u32_t ic, bool advance);

void DynBatchBegin(DynVertexBuffer* record, D3DPRIMITIVETYPE type, u32_t bsize);
void DynBatchReserve(u32_t n);
void DynBatchEnd();

// Marks every buffer to discard at its first lock of the frame.
void DynBuffersNewFrame();

u32_t PrimitiveCount(D3DPRIMITIVETYPE type, u32_t count);
void RenderCountDraw(D3DPRIMITIVETYPE type, u32_t vertexCount, u32_t indexCount);
