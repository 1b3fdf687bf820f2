// RenderContext: the one global record of the render core. The Direct3D object and device, the
// window and mode, the presentation parameters the device was made with, the frame's clear colour
// and statistics, the default-pool resources and the state caches. The streaming-buffer state
// lives beside it (render/device/dynamic_buffers.h).
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"
#include "render/device/state_cache.h"

// Counters of what the frame drew, zeroed at every frame begin.
struct RenderFrameStats {
    u32_t vertices;
    u32_t faces;
    u32_t lines;
    u32_t indices;
};

// The static geometry of the loaded map: the octree leaves and the geometry hung on them.
struct StaticMapBuffers {
    IDirect3DVertexBuffer8* leafVertices;
    IDirect3DIndexBuffer8* leafIndices;
    IDirect3DVertexBuffer8* attachedVertices;
    IDirect3DIndexBuffer8* attachedIndices;
};

struct RenderContext {
    IDirect3D8* direct3d;
    IDirect3DDevice8* device;  // plug-ins and the editor library read this variable as "d3dev"
    HWND window;
    int screenWidth;
    int screenHeight;
    D3DPRESENT_PARAMETERS presentParameters;  // of the last successful mode; reused by Reset
    int vertexProcessing;                     // 0 software, 1 mixed, 2 hardware
    bool stencil;                             // the depth format has a stencil part
    bool shaders;
    HRESULT RenderLastResult;  // result of the last device call
    D3DCOLOR clearColor;       // a non-zero alpha byte leaves the back buffer uncleared
    RenderFrameStats frameStats;
    // The sun-lights mark: the sun's two lights are set (RenderSetSunLights, scene/sky/sun_lights.h). Every
    // pass that changes the lights or the lighting clears it.
    bool worldLightingSetUp;

    // Default-pool resources, released before a reset or mode change and made again after.
    StaticMapBuffers staticMap;
    IDirect3DTexture8* worldPassTarget;      // 256 x 256, R5G6B5
    IDirect3DTexture8* secondaryViewTarget;  // 512 x 512, R5G6B5: water reflection and inset views
    IDirect3DCubeTexture8* cubeTarget;       // edge 256, A8R8G8B8
    IDirect3DSurface8* targetDepthStencil;   // 512 x 512, shared by the texture targets
    IDirect3DTexture8* secondTarget;         // 512 x 512, R5G6B5

    RenderStateCache stateCache;
};

constexpr D3DDEVTYPE kRenderDeviceType = D3DDEVTYPE_HAL;

extern RenderContext g_render;

// The front end's text scale, value x screen width x 0.00125: text sizes are given for a screen 800
// pixels wide. The GUI, the HUD layers and the game's labels all size their texts by it.
inline float GuiScaleToScreen(float value)
{
    return value * static_cast<float>(g_render.screenWidth) * 0.00125f;
}
