// The streaming-buffer protocol: where locks land, when buffers discard and wrap, batches, and
// the frame's draw counts.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "render/device/dynamic_buffers.h"
#include "support/render_test_support.h"

using namespace render_test;

namespace {

constexpr DWORD kAppend = D3DLOCK_NOOVERWRITE | D3DLOCK_NOSYSLOCK;
constexpr DWORD kDiscard = D3DLOCK_DISCARD | D3DLOCK_NOSYSLOCK;

class DynamicBuffers : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        RenderSetClearColor(0x00000000u);
        ASSERT_EQ(RenderBeginFrame(), 0);
    }
    void TearDown() override
    {
        RenderEndFrame(false);
        RenderCore::TearDown();
    }

    // Writes a screen quad over x0..x1-1, y0..y1-1 at the write position and moves it on.
    static void PutQuadVertices(int x0, int y0, int x1, int y1, DWORD colour)
    {
        const float l = x0 - 0.5f, t = y0 - 0.5f, r = x1 - 0.5f, b = y1 - 0.5f;
        const ScreenVertex quad[4] = {{l, t, 0.5f, 1, colour, 0, 0},
                                      {r, t, 0.5f, 1, colour, 0, 0},
                                      {r, b, 0.5f, 1, colour, 0, 0},
                                      {l, b, 0.5f, 1, colour, 0, 0}};
        std::memcpy(g_dynBuffers.vertexOut, quad, sizeof quad);
        g_dynBuffers.vertexOut += sizeof quad;
    }
    // Two triangles of a quad as a list of six vertices.
    static void PutQuadTriangles(int x0, int y0, int x1, int y1, DWORD colour)
    {
        const float l = x0 - 0.5f, t = y0 - 0.5f, r = x1 - 0.5f, b = y1 - 0.5f;
        const ScreenVertex list[6] = {{l, t, 0.5f, 1, colour, 0, 0}, {r, t, 0.5f, 1, colour, 0, 0},
                                      {r, b, 0.5f, 1, colour, 0, 0}, {l, t, 0.5f, 1, colour, 0, 0},
                                      {r, b, 0.5f, 1, colour, 0, 0}, {l, b, 0.5f, 1, colour, 0, 0}};
        std::memcpy(g_dynBuffers.vertexOut, list, sizeof list);
        g_dynBuffers.vertexOut += sizeof list;
    }
    static void PutQuadIndices()
    {
        const u16_t local[6] = {0, 1, 2, 0, 2, 3};
        for (u16_t index : local)
            *g_dynBuffers.indexOut++ = static_cast<u16_t>(index + g_dynBuffers.baseVertex);
    }
    static void PrepareScreenStates()
    {
        RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, static_cast<u32_t>(-1));
    }
};

TEST_F(DynamicBuffers, TheFirstLockOfAFrameDiscardsAndLaterOnesAppend)
{
    DynBufferSelect(&g_dynBuffers.screenVertices);
    DynVertexBufferLock(4);
    EXPECT_EQ(D3D8TestLastLock(g_dynBuffers.screenVertices.buffer).offset, 0u);
    EXPECT_EQ(D3D8TestLastLock(g_dynBuffers.screenVertices.buffer).flags, kDiscard);
    PutQuadVertices(0, 0, 4, 4, 0xFFFFFFFFu);
    DynBuffersUnlock();
    DynVertexBufferDraw(D3DPT_TRIANGLEFAN, 4, true);
    DynVertexBufferLock(4);
    EXPECT_EQ(D3D8TestLastLock(g_dynBuffers.screenVertices.buffer).offset, 4u * 28u);
    EXPECT_EQ(D3D8TestLastLock(g_dynBuffers.screenVertices.buffer).flags, kAppend);
    DynBuffersUnlock();

    // A new frame discards at the first lock although the buffer has room.
    RenderEndFrame(false);
    ASSERT_EQ(RenderBeginFrame(), 0);
    DynVertexBufferLock(4);
    EXPECT_EQ(D3D8TestLastLock(g_dynBuffers.screenVertices.buffer).offset, 0u);
    EXPECT_EQ(D3D8TestLastLock(g_dynBuffers.screenVertices.buffer).flags, kDiscard);
    DynBuffersUnlock();
}

TEST_F(DynamicBuffers, CombinedLocksTakeConsecutiveBlocksWithTheirBaseVertex)
{
    PrepareScreenStates();
    DynBufferSelect(&g_dynBuffers.screenVertices);
    DynIndexBufferSelect(&g_dynBuffers.smallIndices);
    const DWORD colours[2] = {0xFFFF0000u, 0xFF00FF00u};
    for (int block = 0; block < 2; ++block) {
        DynBuffersLock(100, 6);
        EXPECT_EQ(g_dynBuffers.baseVertex, block * 100);
        EXPECT_EQ(D3D8TestLastLock(g_dynBuffers.smallIndices.buffer).offset, block * 6u * 2u);
        PutQuadVertices(block * 16, 0, block * 16 + 8, 8, colours[block]);
        PutQuadIndices();
        DynBuffersUnlock();
        DynBuffersDrawIndexed(D3DPT_TRIANGLELIST, 100, 6, true);
    }
    EXPECT_EQ(g_dynBuffers.screenVertices.used, 200u * 28u);
    EXPECT_EQ(g_dynBuffers.smallIndices.used, 12u);
    const Pixels pixels = ReadBackBuffer(Device());
    EXPECT_EQ(pixels.At(4, 4), colours[0]);
    EXPECT_EQ(pixels.At(20, 4), colours[1]);
    EXPECT_EQ(pixels.At(12, 4), 0xFF000000u);
}

TEST_F(DynamicBuffers, ACombinedLockThatDoesNotFitWrapsBothBuffers)
{
    struct Case {
        u32_t firstVertices, firstIndices;  // taken before the lock that does not fit
        u32_t vertices, indices;
    };
    const Case cases[] = {{10, 32760, 10, 10}, {65530, 6, 10, 6}};
    DynBufferSelect(&g_dynBuffers.screenVertices);
    DynIndexBufferSelect(&g_dynBuffers.smallIndices);
    for (const Case& c : cases) {
        DynBuffersLock(c.firstVertices, c.firstIndices);
        DynBuffersUnlock();
        g_dynBuffers.screenVertices.used += c.firstVertices * 28;  // as the draw with advance would
        g_dynBuffers.smallIndices.used += c.firstIndices;
        DynBuffersLock(c.vertices, c.indices);
        EXPECT_EQ(g_dynBuffers.baseVertex, 0);
        EXPECT_EQ(D3D8TestLastLock(g_dynBuffers.screenVertices.buffer).offset, 0u);
        EXPECT_EQ(D3D8TestLastLock(g_dynBuffers.screenVertices.buffer).flags, kDiscard);
        EXPECT_EQ(D3D8TestLastLock(g_dynBuffers.smallIndices.buffer).offset, 0u);
        EXPECT_EQ(D3D8TestLastLock(g_dynBuffers.smallIndices.buffer).flags, kDiscard);
        EXPECT_EQ(g_dynBuffers.screenVertices.used, 0u);
        EXPECT_EQ(g_dynBuffers.smallIndices.used, 0u);
        DynBuffersUnlock();
    }
}

TEST_F(DynamicBuffers, ZeroCountsTakeNoLock)
{
    DynBufferSelect(&g_dynBuffers.screenVertices);
    DynIndexBufferSelect(&g_dynBuffers.smallIndices);
    const UINT locks = D3D8TestLastLock(g_dynBuffers.screenVertices.buffer).count;
    DynVertexBufferLock(0);
    DynBuffersLock(4, 0);
    DynBuffersLock(0, 6);
    EXPECT_EQ(D3D8TestLastLock(g_dynBuffers.screenVertices.buffer).count, locks);
    EXPECT_EQ(g_dynBuffers.vertexOut, nullptr);
}

TEST_F(DynamicBuffers, ADrawWithoutAdvanceDrawsTheSameBlockAgain)
{
    PrepareScreenStates();
    DynBufferSelect(&g_dynBuffers.screenVertices);
    DynVertexBufferLock(6);
    PutQuadTriangles(0, 0, 8, 8, 0xFFFFFFFFu);
    DynBuffersUnlock();
    DynVertexBufferDraw(D3DPT_TRIANGLELIST, 6, false);
    EXPECT_EQ(g_dynBuffers.screenVertices.used, 0u);
    DynVertexBufferDraw(D3DPT_TRIANGLELIST, 6, true);
    EXPECT_EQ(g_dynBuffers.screenVertices.used, 6u * 28u);
    EXPECT_EQ(g_render.frameStats.vertices, 12u);
    EXPECT_EQ(g_render.frameStats.faces, 4u);
}

TEST_F(DynamicBuffers, ABatchDrawsAFullBlockAndStartsAnotherOnOverflow)
{
    PrepareScreenStates();
    DynBatchBegin(&g_dynBuffers.screenVertices, D3DPT_TRIANGLELIST, 6);
    DynBatchReserve(6);
    PutQuadTriangles(0, 0, 8, 8, 0xFFFF0000u);
    const D3D8CallCounts before = Counts();
    DynBatchReserve(3);  // does not fit: the six reserved so far are drawn, a new block is locked
    EXPECT_EQ(Counts().drawPrimitive - before.drawPrimitive, 1u);
    EXPECT_EQ(g_dynBuffers.batch.reserved, 3u);
    EXPECT_EQ(D3D8TestLastLock(g_dynBuffers.screenVertices.buffer).offset, 6u * 28u);
    PutQuadTriangles(16, 0, 24, 8, 0xFF00FF00u);  // both triangles: 3 reserved now, 3 next
    DynBatchReserve(3);
    DynBatchEnd();
    EXPECT_EQ(g_dynBuffers.vertexBuffer, nullptr);
    EXPECT_EQ(g_render.frameStats.vertices, 12u);
    EXPECT_EQ(g_render.frameStats.faces, 4u);
    const Pixels pixels = ReadBackBuffer(Device());
    EXPECT_EQ(pixels.At(4, 4), 0xFFFF0000u);
    EXPECT_EQ(pixels.At(20, 4), 0xFF00FF00u);
}

TEST_F(DynamicBuffers, PrimitiveAndFrameCounts)
{
    struct Case {
        D3DPRIMITIVETYPE type;
        u32_t vertices, indices;
        u32_t primitives, faces, lines;
    };
    const Case cases[] = {
        {D3DPT_TRIANGLESTRIP, 5, 0, 3, 3, 0}, {D3DPT_LINELIST, 7, 0, 3, 0, 3},  {D3DPT_POINTLIST, 9, 0, 9, 0, 0},
        {D3DPT_TRIANGLEFAN, 4, 0, 2, 2, 0},   {D3DPT_LINESTRIP, 4, 0, 3, 0, 3}, {D3DPT_TRIANGLELIST, 4, 6, 1, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(PrimitiveCount(c.type, c.vertices), c.primitives);
        g_render.frameStats = {};
        RenderCountDraw(c.type, c.vertices, c.indices);
        EXPECT_EQ(g_render.frameStats.vertices, c.vertices);
        EXPECT_EQ(g_render.frameStats.indices, c.indices);
        EXPECT_EQ(g_render.frameStats.faces, c.faces);
        EXPECT_EQ(g_render.frameStats.lines, c.lines);
    }
}

TEST_F(DynamicBuffers, MisuseEndsTheProgram)
{
    struct Case {
        const char* expression;
        std::function<void()> misuse;
    };
    const Case cases[] = {
        {"vert_space <= cur_dvb->size",
         [] {
             DynBufferSelect(&g_dynBuffers.screenVertices);
             DynVertexBufferLock(65537);
         }},
        {"!cur_dvb_out",
         [] {
             DynBufferSelect(&g_dynBuffers.screenVertices);
             DynVertexBufferLock(4);
             DynVertexBufferLock(4);
         }},
        {"cur_dvb_out", [] { DynBuffersUnlock(); }},
        {"index_space <= cur_dib->size",
         [] {
             DynBufferSelect(&g_dynBuffers.screenVertices);
             DynIndexBufferSelect(&g_dynBuffers.smallIndices);
             DynBuffersLock(4, 32769);
         }},
        {"space <= dvb_last_lock_space",
         [] {
             DynBufferSelect(&g_dynBuffers.screenVertices);
             DynVertexBufferLock(3);
             DynBuffersUnlock();
             DynVertexBufferDraw(D3DPT_TRIANGLELIST, 6, true);
         }},
        {"n <= batch_size",
         [] {
             DynBatchBegin(&g_dynBuffers.screenVertices, D3DPT_TRIANGLELIST, 6);
             DynBatchReserve(7);
         }},
        {"bsize <= (dvb.size / dvb.vertex_size)",
         [] { DynBatchBegin(&g_dynBuffers.posVertices, D3DPT_POINTLIST, 16385); }},
    };
    for (const Case& c : cases)
        EXPECT_EXIT(c.misuse(), ::testing::ExitedWithCode(3), AssertionText(c.expression)) << c.expression;
}

}  // namespace
