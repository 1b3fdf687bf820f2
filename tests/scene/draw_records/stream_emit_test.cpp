// The renderers' shared small operations: binding a streaming buffer (null always unbinds),
// triangles written relative to the locked block, and bilinear grid sampling.
#include <gtest/gtest.h>

#include "map/terrain/map_grid.h"
#include "render/device/dynamic_buffers.h"
#include "scene/draw_records/stream_emit.h"
#include "support/render_test_support.h"

namespace {

class StreamEmit : public render_test::RenderCore {};

TEST_F(StreamEmit, BindingNullAlwaysUnbindsStreamZero)
{
    ASSERT_EQ(g_dynBuffers.vertexBuffer, nullptr);
    D3D8TestClearCallCounts(Device());
    // Nothing bound: each null binding still reaches the device.
    StaticBufferBind(nullptr);
    StaticBufferBind(nullptr);
    EXPECT_EQ(Counts().setStreamSource, 2u);
    // The bound record again does nothing; null after it unbinds.
    StaticBufferBind(&g_dynBuffers.texVertices);
    StaticBufferBind(&g_dynBuffers.texVertices);
    EXPECT_EQ(Counts().setStreamSource, 3u);
    EXPECT_EQ(g_dynBuffers.vertexBuffer, &g_dynBuffers.texVertices);
    StaticBufferBind(nullptr);
    EXPECT_EQ(Counts().setStreamSource, 4u);
    EXPECT_EQ(g_dynBuffers.vertexBuffer, nullptr);
}

TEST_F(StreamEmit, TrianglesAndPositionsGoIntoTheLockedBlock)
{
    StaticBufferBind(&g_dynBuffers.posVertices);
    DynIndexBufferSelect(&g_dynBuffers.smallIndices);
    // A first block, drawn and passed, so that the second starts past vertex 0.
    DynBuffersLock(3, 3);
    for (u16_t i = 0; i < 3; ++i)
        EmitPosition(float(i), 0.0f, 1.0f);
    EmitTriangle(0, 1, 2);
    DynBuffersUnlock();
    DynBuffersDrawIndexed(D3DPT_TRIANGLELIST, 3, 3, true);

    DynBuffersLock(4, 6);
    const u16_t base = g_dynBuffers.baseVertex;
    EXPECT_EQ(base, 3);
    const float* positions = reinterpret_cast<const float*>(g_dynBuffers.vertexOut);
    const u16_t* indices = g_dynBuffers.indexOut;
    EmitPosition(1.0f, 2.0f, 3.0f);
    EmitTriangle(2, 1, 0);
    EmitTriangle(1, 2, 3);
    EXPECT_EQ(reinterpret_cast<const float*>(g_dynBuffers.vertexOut), positions + 3);
    EXPECT_EQ(g_dynBuffers.indexOut, indices + 6);
    EXPECT_EQ(positions[0], 1.0f);
    EXPECT_EQ(positions[2], 3.0f);
    const u16_t expected[6] = {u16_t(base + 2), u16_t(base + 1), base,
                               u16_t(base + 1), u16_t(base + 2), u16_t(base + 3)};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(indices[i], expected[i]) << i;
    DynBuffersUnlock();
    StaticBufferBind(nullptr);
}

TEST(GridSample, BilinearInsideWrappingAndHeldAtTheLastColumnAndRow)
{
    // Byte (i, j) = 10 i + 40 j: inside the grid the mix is the same linear function of the raised
    // coordinates (a + 1/8, b + 1/8 on a side of 4).
    u8_t data[16];
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            data[j * 4 + i] = u8_t(10 * i + 40 * j);
    const MapGrid grid{data, 4};
    struct Case {
        float a, b, expected;
    };
    const Case cases[] = {
        {1.0f, 2.0f, 96.25f},   // interior
        {0.0f, 0.0f, 6.25f},    // first corner
        {3.0f, 1.0f, 75.0f},    // last column: not mixed past it
        {1.0f, 3.5f, 131.25f},  // last row
        {5.0f, 2.0f, 96.25f},   // a whole side further wraps round
        {1.0f, -2.0f, 96.25f},  // and backwards
    };
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(GridSampleBilinear(&grid, c.a, c.b), c.expected) << c.a << ", " << c.b;
    const MapGrid empty{data, 0};
    EXPECT_EQ(GridSampleBilinear(&empty, 1.0f, 1.0f), 0.0f);
    EXPECT_EQ(GridSampleBilinear(nullptr, 1.0f, 1.0f), 0.0f);
}

}  // namespace
