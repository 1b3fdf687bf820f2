// Present on the real device (SDL's offscreen driver unless a display is given), 1024 x 768, in two
// kinds of frame: one that starts with a full clear of the back buffer (menus, the wireframe view,
// lands without sky faces), and one that clears only the depth buffer and draws over the last frame
// (a mission under its sky box). Present keeps the presented frame for GetFrontBuffer by trading
// the back and front buffers; only the second kind copies the presented frame back into the back
// buffer, which is what every frame paid when Present copied the back buffer each time. Each
// iteration is one frame: its clear, one small quad, Present, and a wait for the GPU.
#include <benchmark/benchmark.h>

#include "bench/bench_window.h"
#include "platform/d3d8.h"
#include "platform/gpu_timer.h"
#include "platform/win32.h"

namespace {

constexpr UINT kWidth = 1024;
constexpr UINT kHeight = 768;

struct ScreenVertex {
    float x, y, z, rhw;
    DWORD colour;
};
constexpr DWORD kScreenFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

IDirect3DDevice8* Device()
{
    static IDirect3DDevice8* device = [] {
        IDirect3DDevice8* created = nullptr;
        HWND window = OpenBenchWindow("zintar present bench", "present bench", int(kWidth), int(kHeight));
        IDirect3D8* direct3d = window ? Direct3DCreate8(D3D_SDK_VERSION) : nullptr;
        if (!direct3d)
            return created;
        D3DPRESENT_PARAMETERS parameters = {};
        parameters.BackBufferWidth = kWidth;
        parameters.BackBufferHeight = kHeight;
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
        parameters.BackBufferCount = 1;
        parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters.hDeviceWindow = window;
        parameters.Windowed = TRUE;
        parameters.EnableAutoDepthStencil = TRUE;
        parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
        direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                               &parameters, &created);
        return created;
    }();
    return device;
}

void Frame(benchmark::State& state, DWORD clearFlags)
{
    IDirect3DDevice8* device = Device();
    if (!device) {
        state.SkipWithError("no device");
        return;
    }
    const ScreenVertex quad[4] = {{8, 8, 0.5f, 1, 0xFF00FF00u},
                                  {40, 8, 0.5f, 1, 0xFF00FF00u},
                                  {40, 40, 0.5f, 1, 0xFF00FF00u},
                                  {8, 40, 0.5f, 1, 0xFF00FF00u}};
    device->SetVertexShader(kScreenFvf);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    for (auto _ : state) {
        device->BeginScene();
        device->Clear(0, nullptr, clearFlags, 0xFF204060u, 1.0f, 0);
        device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(ScreenVertex));
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
        GpuFinish(device);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_PresentFrameClearedWhole(benchmark::State& state)
{
    Frame(state, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER);
}
BENCHMARK(BM_PresentFrameClearedWhole)->Unit(benchmark::kMicrosecond);

// The comparator: a frame that keeps the last one pays the copy every frame paid before.
void BM_PresentFrameDrawnOverTheLast(benchmark::State& state)
{
    Frame(state, D3DCLEAR_ZBUFFER);
}
BENCHMARK(BM_PresentFrameDrawnOverTheLast)->Unit(benchmark::kMicrosecond);

}  // namespace
