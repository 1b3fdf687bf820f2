// A frame of many small streamed batches: thousands of 8 x 8 screen-space quads through the
// streaming protocol on the real device (SDL's offscreen driver unless a display is given).
// Reports batches (draw calls) and triangles per second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "bench/bench_window.h"
#include "platform/win32.h"
#include "render/device/dynamic_buffers.h"
#include "render/device/frame.h"
#include "render/device/render_context.h"
#include "render/device/render_device.h"
#include "render/device/state_cache.h"
#include "scene/draw_records/draw_lists.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

struct ScreenVertex {
    float x, y, z, rhw;
    DWORD colour;
    float u, v;
};

// One render core for the whole run.
bool RenderCoreReady()
{
    static const bool ready = [] {
        HWND window = OpenBenchWindow("zintar bench", "render bench", kWidth, kHeight);
        if (!window || RenderInit(window) != 0)
            return false;
        SceneDrawListsInit();
        return RenderSetDisplayMode(kWidth, kHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2) == 0;
    }();
    return ready;
}

void ScreenStates()
{
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ALPHABLENDENABLE, TRUE);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, static_cast<u32_t>(-1));
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, static_cast<u32_t>(-1));
}

// Corner of quad i, spread over the screen.
void QuadCorner(int i, float* x, float* y)
{
    *x = static_cast<float>((i * 37) % (kWidth - 8)) - 0.5f;
    *y = static_cast<float>((i * 53) % (kHeight - 8)) - 0.5f;
}

void PutQuadList(float x, float y, DWORD colour)
{
    const ScreenVertex list[6] = {{x, y, 0.5f, 1, colour, 0, 0},         {x + 8, y, 0.5f, 1, colour, 1, 0},
                                  {x + 8, y + 8, 0.5f, 1, colour, 1, 1}, {x, y, 0.5f, 1, colour, 0, 0},
                                  {x + 8, y + 8, 0.5f, 1, colour, 1, 1}, {x, y + 8, 0.5f, 1, colour, 0, 1}};
    std::memcpy(g_dynBuffers.vertexOut, list, sizeof list);
    g_dynBuffers.vertexOut += sizeof list;
}

// Every quad is its own batch: select, lock, write, unlock, draw.
void BM_StreamedQuadBatches(benchmark::State& state)
{
    if (!RenderCoreReady()) {
        state.SkipWithError("no render device");
        return;
    }
    const int quads = static_cast<int>(state.range(0));
    std::int64_t batches = 0;
    for (auto _ : state) {
        if (RenderBeginFrame() != 0)
            continue;
        ScreenStates();
        for (int i = 0; i < quads; ++i) {
            float x, y;
            QuadCorner(i, &x, &y);
            DynBufferSelect(&g_dynBuffers.screenVertices);
            DynVertexBufferLock(6);
            PutQuadList(x, y, 0x80000000u | static_cast<DWORD>(i * 2654435761u >> 8));
            DynBuffersUnlock();
            DynVertexBufferDraw(D3DPT_TRIANGLELIST, 6, true);
        }
        RenderEndFrame(true);
        batches += quads;
    }
    state.counters["batches"] = benchmark::Counter(static_cast<double>(batches), benchmark::Counter::kIsRate);
    state.counters["triangles"] = benchmark::Counter(static_cast<double>(batches) * 2, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StreamedQuadBatches)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same quads through the batching operations: one draw per block of 512 quads.
void BM_BatchedQuads(benchmark::State& state)
{
    if (!RenderCoreReady()) {
        state.SkipWithError("no render device");
        return;
    }
    const int quads = static_cast<int>(state.range(0));
    std::int64_t drawn = 0;
    std::int64_t batches = 0;
    for (auto _ : state) {
        if (RenderBeginFrame() != 0)
            continue;
        ScreenStates();
        DynBatchBegin(&g_dynBuffers.screenVertices, D3DPT_TRIANGLELIST, 6 * 512);
        for (int i = 0; i < quads; ++i) {
            float x, y;
            QuadCorner(i, &x, &y);
            DynBatchReserve(6);
            PutQuadList(x, y, 0x80000000u | static_cast<DWORD>(i * 2654435761u >> 8));
        }
        DynBatchEnd();
        RenderEndFrame(true);
        drawn += quads;
        batches += (quads + 511) / 512;
    }
    state.counters["batches"] = benchmark::Counter(static_cast<double>(batches), benchmark::Counter::kIsRate);
    state.counters["triangles"] = benchmark::Counter(static_cast<double>(drawn) * 2, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BatchedQuads)->Arg(4000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
