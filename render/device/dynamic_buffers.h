// Streaming vertex and index buffers: per-frame geometry is written by the CPU into a small fixed
// set of dynamic buffers with the protocol select, lock, write, unlock, draw. The first lock of a
// buffer in a frame discards it; later locks append without overwriting until it is full.
#pragma once
#include <array>
#include <cstddef>

#include "core/types.h"
#include "platform/d3d8.h"

struct DynVertexBuffer {
    u32_t vertexSize;                // bytes per vertex
    u32_t size;                      // capacity in bytes
    u32_t used;                      // bytes handed out since the last discard
    u32_t fvf;                       // 0 for the buffer fed to vertex shaders
    IDirect3DVertexBuffer8* buffer;  // null while the device resources are released
    bool needsDiscard;
};

struct DynIndexBuffer {
    u32_t size;  // capacity in 16-bit indices
    u32_t used;  // indices handed out since the last discard
    IDirect3DIndexBuffer8* buffer;
    bool needsDiscard;
};

struct DynBatchState {
    DynVertexBuffer* buffer;
    D3DPRIMITIVETYPE type;
    u32_t batchSize;  // vertices locked per block
    u32_t reserved;   // vertices reserved so far in the block
};

constexpr int kDynVertexBufferCount = 8;
constexpr int kDynIndexBufferCount = 5;
constexpr u32_t kDynBufferVertices = 65536;

// The streaming state: the buffer records, which live for the whole run (only their device buffers
// come and go with the device), and what is selected, locked and batched. RenderShutdown starts it
// afresh.
struct DynBufferState {
    // The buffers, in the order they are made.
    DynVertexBuffer lineVertices;    // XYZ, DIFFUSE: debug lines
    DynVertexBuffer tex2Vertices;    // XYZ, TEX2: vegetation and world passes
    DynVertexBuffer litVertices;     // XYZ, NORMAL, TEX1: meshes
    DynVertexBuffer colTexVertices;  // XYZ, DIFFUSE, TEX1
    DynVertexBuffer texVertices;     // XYZ, TEX1: landscape, decals, flare
    DynVertexBuffer posVertices;     // XYZ (16384 vertices): shadow and map passes
    DynVertexBuffer screenVertices;  // XYZRHW, DIFFUSE, TEX1: 2D quads and text
    DynVertexBuffer shaderVertices;  // fed to a vertex shader (vertex size of XYZ)
    DynIndexBuffer spareIndices;     // 65536
    DynIndexBuffer bracketIndices;   // 131072: 2D corner brackets
    DynIndexBuffer smallIndices;     // 32768: text, vegetation, shadows
    DynIndexBuffer largeIndices;     // 262144: meshes, decals, world passes
    DynIndexBuffer directIndices;    // 262144: locked and drawn by one world pass by itself

    DynVertexBuffer* vertexBuffer;  // the selected buffers, null for none
    DynIndexBuffer* indexBuffer;
    u8_t* vertexOut;            // write position in the locked vertex block, null while unlocked
    u16_t* indexOut;            // write position in the locked index block
    u32_t lastVertexLockSpace;  // bytes of the last vertex lock
    u32_t lastIndexLockSpace;   // indices of the last index lock
    // First vertex (in the whole buffer) of the last combined lock's block: indices written into the
    // block are block-local vertex numbers plus this.
    u16_t baseVertex;
    // The buffers actually locked, so that an unlock reaches them even if another record was selected.
    DynVertexBuffer* lockedVertexBuffer;
    DynIndexBuffer* lockedIndexBuffer;
    DynBatchState batch;
};

extern DynBufferState g_dynBuffers;

// The streaming buffers in the order they are made.
std::array<DynVertexBuffer*, kDynVertexBufferCount> DynVertexBuffers();
std::array<DynIndexBuffer*, kDynIndexBufferCount> DynIndexBuffers();

void DynVertexBufferCreate(DynVertexBuffer* record, u32_t fvf, u32_t vertexCount);
void DynShaderVertexBufferCreate(DynVertexBuffer* record, u32_t fvf, u32_t vertexCount);
void DynIndexBufferCreate(DynIndexBuffer* record, u32_t indexCount);
// Releases the record's device buffer (the record stays).
void DynVertexBufferRelease(DynVertexBuffer* record);
void DynIndexBufferRelease(DynIndexBuffer* record);

// Makes the record current (binding stream 0 and, with a format, the vertex format); binding the
// current record again does nothing. Null always unbinds stream 0, even when nothing was current.
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

// Writes a position at the vertex write position and advances it by three floats; the caller
// writes what follows the position in its vertex format.
void EmitPosition(float x, float y, float z);
// Writes a triangle of block-local vertex numbers at the index write position: each index has the
// locked block's base vertex added, so callers number the vertices of their own block from 0.
void EmitTriangle(u16_t a, u16_t b, u16_t c);
// For writers that fill the locked block themselves: moves the vertex write position on by the bytes
// written there, or to the end of what was written; puts one index at the index write position.
inline void DynVertexAdvance(size_t bytes)
{
    g_dynBuffers.vertexOut += bytes;
}
inline void DynVertexWrittenTo(void* end)
{
    g_dynBuffers.vertexOut = static_cast<u8_t*>(end);
}
inline void DynIndexPut(u16_t index)
{
    *g_dynBuffers.indexOut++ = index;
}

u32_t PrimitiveCount(D3DPRIMITIVETYPE type, u32_t count);
void RenderCountDraw(D3DPRIMITIVETYPE type, u32_t vertexCount, u32_t indexCount);
