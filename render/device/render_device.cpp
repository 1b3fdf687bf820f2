#include "render/device/render_device.h"

#include "core/console/console.h"
#include "core/log.h"
#include "render/camera.h"
#include "render/draw2d/debug_primitives.h"
#include "render/device/device_hooks.h"
#include "render/device/dynamic_buffers.h"
#include "render/device/frame.h"
#include "render/draw2d/grid_font.h"
#include "render/land/land_composite.h"
#include "render/device/render_context.h"
#include "render/device/shaders.h"
#include "render/draw2d/sun_flare.h"
#include "render/textures/texture_manager.h"
#include "render/land/visible_nodes.h"

RenderContext g_render;

int RenderInit(HWND window)
{
    if (g_render.direct3d)
        g_render.direct3d->Release();
    g_render.direct3d = Direct3DCreate8(D3D_SDK_VERSION);
    if (!g_render.direct3d)
        return -1;
    g_render.window = window;
    DebugListsReset();
    g_textures.totalBytes = 0;
    g_textures.commonBytes = 0;
    return 0;
}

bool RenderDeviceSupportsShaders()
{
    if (!g_render.device)
        return false;
    D3DCAPS8 caps = {};
    if (FAILED(g_render.device->GetDeviceCaps(&caps)))
        return false;
    // The version words carry a type prefix in their high half; the version is the low half.
    return (caps.VertexShaderVersion & 0xFFFF) != 0 && (caps.PixelShaderVersion & 0xFFFF) != 0;
}

void RenderLogDeviceInfo()
{
    if (!g_render.direct3d)
        return;
    D3DADAPTER_IDENTIFIER8 identifier = {};
    g_render.direct3d->GetAdapterIdentifier(D3DADAPTER_DEFAULT, D3DENUM_NO_WHQL_LEVEL, &identifier);
    const std::uint32_t high = static_cast<std::uint32_t>(identifier.DriverVersionHighPart);
    const std::uint32_t low = identifier.DriverVersionLowPart;
    ConPrint(0, "\nDirect3D Device Driver\n");
    ConPrint(0, "%s Ver %d.%d.%d.%d\n", identifier.Description, static_cast<int>(high >> 16),
             static_cast<int>(high & 0xFFFF), static_cast<int>(low >> 16), static_cast<int>(low & 0xFFFF));
    const D3DPRESENT_PARAMETERS& parameters = g_render.presentParameters;
    const char* name = FormatName(parameters.BackBufferFormat);
    if (parameters.Windowed)
        ConPrint(0, "\nGraphics mode: windowed %dx%d %s\n\n", static_cast<int>(parameters.BackBufferWidth),
                 static_cast<int>(parameters.BackBufferHeight), name ? name : "(null)");
    else
        ConPrint(0, "\nGraphics mode: %dx%d / %dHz %s\n\n", static_cast<int>(parameters.BackBufferWidth),
                 static_cast<int>(parameters.BackBufferHeight), static_cast<int>(parameters.FullScreen_RefreshRateInHz),
                 name ? name : "(null)");
}

int RenderShutdown(bool freeVegetation)
{
    Log("Destroying device buffers and vegetation...");
    // The clients let go of what they hold for drawing (the sun record, the vegetation when asked,
    // the decals, the draw lists) while the textures they point at still exist.
    RenderRunShutdownHooks(freeVegetation);
    TexturesReleaseAll();
    LandLayersRelease();
    GridFontReleaseBuiltin();
    DebugListsFree();
    RenderReleaseDeviceResources();
    // The water animation keeps each slot's last value for as long as the renderer lives.
    g_shaderSet = ShaderSet{};
    // The flare's last visibility test belongs to the device's frames: a new device tests again.
    g_sunFlare = SunFlareState{};
    if (g_render.device)
        g_render.device->Release();
    g_render.device = nullptr;
    if (g_render.direct3d)
        g_render.direct3d->Release();
    g_render.direct3d = nullptr;
    g_dynBuffers = {};
    g_visible = {};
    Log("done\n");
    return 0;
}
