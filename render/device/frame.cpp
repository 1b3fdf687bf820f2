#include "render/device/frame.h"

#include "core/assert.h"
#include "core/log.h"
#include "render/device/device_hooks.h"
#include "render/device/dynamic_buffers.h"
#include "render/device/render_context.h"
#include "render/device/shaders.h"
#include "render/device/state_cache.h"

namespace {

template <class Resource>
void ReleaseResource(Resource*& resource)
{
    if (resource)
        resource->Release();
    resource = nullptr;
}

// Texture targets may be refused by the device: the pointer then stays null.
template <class Resource>
void KeepIfMade(HRESULT result, Resource*& resource)
{
    if (FAILED(result))
        resource = nullptr;
}

}  // namespace

void RenderSetClearColor(D3DCOLOR argb)
{
    g_render.clearColor = argb;
}

int RenderBeginFrame()
{
    IDirect3DDevice8* device = g_render.device;
    if (!device)
        return -1;
    HRESULT res = device->TestCooperativeLevel();
    g_render.RenderLastResult = res;
    if (res != D3D_OK) {
        DebugPrint("TestCooperativeLevel Failed\n");
        if (res == D3DERR_DEVICELOST) {
            // Nothing is released while the device stays lost; the sleep keeps the loop from spinning.
            Sleep(20);
            return -1;
        }
        if (res == D3DERR_DEVICENOTRESET) {
            RenderReleaseDeviceResources();
            res = device->Reset(&g_render.presentParameters);
            g_render.RenderLastResult = res;
            // Lost again between the test and the reset: the next frame tries again.
            if (res == D3DERR_DEVICELOST)
                return -1;
            ENGINE_ASSERT(res == D3D_OK);
            RenderCreateDeviceResources();
            DebugPrint("Reset OK\n");
        }
        return -1;  // the frame in which the device came back is not drawn
    }
    res = device->BeginScene();
    g_render.RenderLastResult = res;
    if (FAILED(res)) {
        DebugPrint("BeginScene() failed\n");
        return -1;
    }
    DynBuffersNewFrame();
    DWORD flags = D3DCLEAR_ZBUFFER;
    if ((g_render.clearColor >> 24) == 0)
        flags |= D3DCLEAR_TARGET;
    if (g_render.stencil)
        flags |= D3DCLEAR_STENCIL;
    g_render.RenderLastResult = device->Clear(0, nullptr, flags, g_render.clearColor, 1.0f, 0);
    g_render.frameStats = {};
    return 0;
}

void RenderEndFrame(bool present)
{
    IDirect3DDevice8* device = g_render.device;
    if (!device)
        return;
    g_render.RenderLastResult = device->EndScene();
    if (present)
        g_render.RenderLastResult = device->Present(nullptr, nullptr, nullptr, nullptr);
}

void RenderReleaseDeviceResources()
{
    if (IDirect3DDevice8* device = g_render.device) {
        for (DWORD stage = 0; stage < D3DMAX_TEXTURE_STAGES; ++stage)
            device->SetTexture(stage, nullptr);
        device->SetStreamSource(0, nullptr, 0);
        device->SetIndices(nullptr, 0);
    }
    // Stream 0 is unbound now: the next selection of any streaming buffer must bind it again.
    DynBuffersForgetCurrent();
    for (DynVertexBuffer* record : DynVertexBuffers())
        DynVertexBufferRelease(record);
    for (DynIndexBuffer* record : DynIndexBuffers())
        DynIndexBufferRelease(record);
    RenderRunReleaseHooks();
    ReleaseResource(g_render.worldPassTarget);
    ReleaseResource(g_render.secondaryViewTarget);
    ReleaseResource(g_render.cubeTarget);
    ReleaseResource(g_render.targetDepthStencil);
    ReleaseResource(g_render.secondTarget);
    ShaderReleaseAll();
}

void RenderCreateDeviceResources()
{
    IDirect3DDevice8* device = g_render.device;
    DynVertexBufferCreate(&g_dynBuffers.lineVertices, D3DFVF_XYZ | D3DFVF_DIFFUSE, kDynBufferVertices);
    DynVertexBufferCreate(&g_dynBuffers.tex2Vertices, D3DFVF_XYZ | D3DFVF_TEX2, kDynBufferVertices);
    DynVertexBufferCreate(&g_dynBuffers.litVertices, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, kDynBufferVertices);
    DynVertexBufferCreate(&g_dynBuffers.colTexVertices, D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1, kDynBufferVertices);
    DynVertexBufferCreate(&g_dynBuffers.texVertices, D3DFVF_XYZ | D3DFVF_TEX1, kDynBufferVertices);
    DynVertexBufferCreate(&g_dynBuffers.posVertices, D3DFVF_XYZ, 16384);
    DynVertexBufferCreate(&g_dynBuffers.screenVertices, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1,
                          kDynBufferVertices);
    DynShaderVertexBufferCreate(&g_dynBuffers.shaderVertices, D3DFVF_XYZ, kDynBufferVertices);
    DynIndexBufferCreate(&g_dynBuffers.spareIndices, 65536);
    DynIndexBufferCreate(&g_dynBuffers.bracketIndices, 131072);
    DynIndexBufferCreate(&g_dynBuffers.smallIndices, 32768);
    DynIndexBufferCreate(&g_dynBuffers.largeIndices, 262144);
    DynIndexBufferCreate(&g_dynBuffers.directIndices, 262144);

    // The clients make theirs again, the static map buffers among them.
    RenderRunRecreateHooks();

    RenderStateCacheClear();
    RenderSetState(D3DRS_ZENABLE, 0);
    RenderSetState(D3DRS_ZWRITEENABLE, 0);
    RenderSetState(D3DRS_LIGHTING, 0);
    g_render.worldLightingSetUp = false;

    KeepIfMade(device->CreateTexture(256, 256, 0, D3DUSAGE_RENDERTARGET, D3DFMT_R5G6B5, D3DPOOL_DEFAULT,
                                     &g_render.worldPassTarget),
               g_render.worldPassTarget);
    KeepIfMade(device->CreateTexture(512, 512, 0, D3DUSAGE_RENDERTARGET, D3DFMT_R5G6B5, D3DPOOL_DEFAULT,
                                     &g_render.secondaryViewTarget),
               g_render.secondaryViewTarget);
    KeepIfMade(device->CreateCubeTexture(256, 0, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                         &g_render.cubeTarget),
               g_render.cubeTarget);
    if (FAILED(device->CreateDepthStencilSurface(512, 512, D3DFMT_D24S8, D3DMULTISAMPLE_NONE,
                                                 &g_render.targetDepthStencil)))
        KeepIfMade(
            device->CreateDepthStencilSurface(512, 512, D3DFMT_D16, D3DMULTISAMPLE_NONE, &g_render.targetDepthStencil),
            g_render.targetDepthStencil);
    KeepIfMade(device->CreateTexture(512, 512, 0, D3DUSAGE_RENDERTARGET, D3DFMT_R5G6B5, D3DPOOL_DEFAULT,
                                     &g_render.secondTarget),
               g_render.secondTarget);
    ShaderLoadWaterSet();
}
