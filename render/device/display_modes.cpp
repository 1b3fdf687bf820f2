// Display modes: one attempt at a device for a mode, the window fitted round it, and the format
// tables the log and the mode list use.

#include <cstdio>
#include <cstdlib>

#include "core/winos.h"
#include "core/log.h"
#include "core/strings/text_case.h"
#include "render/camera.h"
#include "render/device/frame.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/render_device.h"
#include "render/textures/texture_preload.h"

namespace {

struct FormatEntry {
    D3DFORMAT format;
    int bits;
    const char* name;
};

// Linear searches of small tables that end with a zero entry.
constexpr FormatEntry kFormats[] = {
    {D3DFMT_R8G8B8, 24, "D3DFMT_R8G8B8"},
    {D3DFMT_A8R8G8B8, 32, "D3DFMT_A8R8G8B8"},
    {D3DFMT_X8R8G8B8, 32, "D3DFMT_X8R8G8B8"},
    {D3DFMT_R5G6B5, 16, "D3DFMT_R5G6B5"},
    {D3DFMT_X1R5G5B5, 16, "D3DFMT_X1R5G5B5"},
    {D3DFMT_A1R5G5B5, 16, "D3DFMT_A1R5G5B5"},
    {D3DFMT_A4R4G4B4, 16, "D3DFMT_A4R4G4B4"},
    {D3DFMT_A8, 8, "D3DFMT_A8"},
    {D3DFMT_R3G3B2, 8, "D3DFMT_R3G3B2"},
    {D3DFMT_A8R3G3B2, 16, "D3DFMT_A8R3G3B2"},
    {D3DFMT_X4R4G4B4, 16, "D3DFMT_X4R4G4B4"},
    {D3DFMT_A2B10G10R10, 32, "D3DFMT_A2B10G10R10"},
    {D3DFMT_G16R16, 32, "D3DFMT_G16R16"},
    {D3DFMT_A8P8, 16, "D3DFMT_A8P8"},
    {D3DFMT_P8, 8, "D3DFMT_P8"},
    {D3DFMT_L8, 8, "D3DFMT_L8"},
    {D3DFMT_A8L8, 16, "D3DFMT_A8L8"},
    {D3DFMT_A4L4, 8, "D3DFMT_A4L4"},
    {D3DFMT_UNKNOWN, 0, nullptr},
};

struct DepthEntry {
    D3DFORMAT format;
    int bits;  // stencil and filler bits counted
};

constexpr DepthEntry kDepthFormats[] = {
    {D3DFMT_D16_LOCKABLE, 16}, {D3DFMT_D32, 32},     {D3DFMT_D15S1, 16}, {D3DFMT_D24S8, 32},
    {D3DFMT_D24X8, 32},        {D3DFMT_D24X4S4, 32}, {D3DFMT_D16, 16},   {D3DFMT_UNKNOWN, 0},
};

const FormatEntry* FindFormat(D3DFORMAT format)
{
    for (const FormatEntry* entry = kFormats; entry->format != D3DFMT_UNKNOWN; ++entry) {
        if (entry->format == format)
            return entry;
    }
    return nullptr;
}

// The highest refresh rate of adapter 0 at this size and format that does not exceed the request;
// 0 (the adapter's default) when there is none.
UINT FullScreenRefresh(int width, int height, D3DFORMAT format, int requested)
{
    IDirect3D8* direct3d = g_render.direct3d;
    UINT best = 0;
    const UINT count = direct3d->GetAdapterModeCount(D3DADAPTER_DEFAULT);
    for (UINT i = 0; i < count; ++i) {
        D3DDISPLAYMODE mode;
        if (FAILED(direct3d->EnumAdapterModes(D3DADAPTER_DEFAULT, i, &mode)))
            continue;
        if (static_cast<int>(mode.Width) == width && static_cast<int>(mode.Height) == height && mode.Format == format &&
            mode.RefreshRate <= static_cast<UINT>(requested) && mode.RefreshRate > best)
            best = mode.RefreshRate;
    }
    return best;
}

// Client area width x height, centred on the primary screen.
void FitWindow(int width, int height)
{
    HWND window = g_render.window;
    if (!window)
        return;
    RECT rect = {0, 0, width, height};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    const int x = (GetSystemMetrics(SM_CXSCREEN) + rect.left - rect.right) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) + rect.top - rect.bottom) / 2;
    MoveWindow(window, x, y, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

// The cursor stays over the client area of the fitted window (the editor needs it free): the
// adjusted rectangle on the screen less the frame and caption.
void ConfineCursor(int width, int height)
{
    HWND window = g_render.window;
    if (!window || g_program.editorMode)
        return;
    RECT rect = {0, 0, width, height};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    POINT topLeft = {rect.left, rect.top};
    POINT bottomRight = {rect.right, rect.bottom};
    ClientToScreen(window, &topLeft);
    ClientToScreen(window, &bottomRight);
    const int frameWidth = GetSystemMetrics(SM_CXFRAME), frameHeight = GetSystemMetrics(SM_CYFRAME);
    const RECT clip = {topLeft.x + frameWidth, topLeft.y + frameHeight + GetSystemMetrics(SM_CYCAPTION),
                       bottomRight.x - frameWidth, bottomRight.y - frameHeight};
    ClipCursor(&clip);
}

}  // namespace

int FormatBitsPerPixel(D3DFORMAT format)
{
    const FormatEntry* entry = FindFormat(format);
    return entry ? entry->bits : 0;
}

const char* FormatName(D3DFORMAT format)
{
    const FormatEntry* entry = FindFormat(format);
    return entry ? entry->name : nullptr;
}

int DepthFormatBits(D3DFORMAT format)
{
    for (const DepthEntry* entry = kDepthFormats; entry->format != D3DFMT_UNKNOWN; ++entry) {
        if (entry->format == format)
            return entry->bits;
    }
    return 0;
}

DWORD TextureFilterFromName(const char* name)
{
    if (!name)
        return D3DTEXF_LINEAR;
    if (CompareNoCase(name, "NONE") == 0)
        return D3DTEXF_NONE;
    if (CompareNoCase(name, "ANISOTROPIC") == 0)
        return rbanisotropic.Bool() ? D3DTEXF_ANISOTROPIC : D3DTEXF_LINEAR;
    return D3DTEXF_LINEAR;
}

int RenderSetDisplayMode(int width, int height, int refresh, D3DFORMAT format, D3DFORMAT depthFormat, bool windowed,
                         int vertexProcessing)
{
    IDirect3D8* direct3d = g_render.direct3d;
    if (!direct3d)
        return -1;
    const UINT rate = (!windowed && refresh != 0) ? FullScreenRefresh(width, height, format, refresh) : 0;

    DWORD behaviour = D3DCREATE_MULTITHREADED;
    switch (vertexProcessing) {
        case 0:
            behaviour |= D3DCREATE_SOFTWARE_VERTEXPROCESSING;
            break;
        case 1:
            behaviour |= D3DCREATE_MIXED_VERTEXPROCESSING;
            break;
        case 2:
            behaviour |= D3DCREATE_HARDWARE_VERTEXPROCESSING;
            break;
        default:
            break;
    }

    D3DPRESENT_PARAMETERS parameters = {};
    parameters.BackBufferWidth = static_cast<UINT>(width);
    parameters.BackBufferHeight = static_cast<UINT>(height);
    parameters.BackBufferFormat = format;
    parameters.BackBufferCount = 1;
    parameters.MultiSampleType = D3DMULTISAMPLE_NONE;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = g_render.window;
    parameters.Windowed = windowed ? TRUE : FALSE;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = depthFormat;
    parameters.Flags = 0;
    parameters.FullScreen_RefreshRateInHz = rate;
    parameters.FullScreen_PresentationInterval = windowed ? D3DPRESENT_INTERVAL_DEFAULT : D3DPRESENT_INTERVAL_IMMEDIATE;

    // A mode change lets go of the old device and everything made on it before asking for the new.
    if (g_render.device) {
        RenderReleaseDeviceResources();
        g_render.device->Release();
        g_render.device = nullptr;
    }

    IDirect3DDevice8* device = nullptr;
    const HRESULT res =
        direct3d->CreateDevice(D3DADAPTER_DEFAULT, kRenderDeviceType, g_render.window, behaviour, &parameters, &device);
    g_render.RenderLastResult = res;
    if (FAILED(res) || !device)
        return -1;
    // Only a device that was made keeps its parameters: resets and the device report reuse them.
    g_render.device = device;
    g_render.presentParameters = parameters;
    g_render.vertexProcessing = vertexProcessing;

    if (windowed) {
        FitWindow(width, height);
        ConfineCursor(width, height);
    }
    g_render.screenWidth = width;
    g_render.screenHeight = height;
    CameraSetViewSize(static_cast<u32_t>(width), static_cast<u32_t>(height));
    g_render.stencil = depthFormat == D3DFMT_D24S8 || depthFormat == D3DFMT_D24X4S4;
    g_render.shaders = RenderDeviceSupportsShaders();

    RenderCreateDeviceResources();
    GuiTexturesLoad();
    RenderShowLogoFrame();

    const char* name = FormatName(format);
    Log("\nResolution set to %dx%d %dHz.\n", width, height, static_cast<int>(parameters.FullScreen_RefreshRateInHz));
    Log("Backbuffer format is %s.\n", name ? name : "(null)");
    Log("Depthbuffer bit depth is %d bits.\n", DepthFormatBits(depthFormat));
    if (g_render.stencil)
        Log("Device is using stencil buffer.\n");
    if (g_render.shaders)
        Log("Device is using shaders.\n");
    // What the system made of the request: a full-screen mode it lacks leaves the window at another
    // size than the one asked for, and the log says which the player sees.
    RECT client = {};
    if (GetClientRect(g_render.window, &client))
        Log("Window is %dx%d, %s.\n", static_cast<int>(client.right - client.left),
            static_cast<int>(client.bottom - client.top), windowed ? "windowed" : "full screen");
    Log("\n");
    return 0;
}

void RenderListDisplayModes(EngineString*** strings, int* count)
{
    IDirect3D8* direct3d = g_render.direct3d;
    if (!direct3d || !strings || !count)
        return;
    int lastBits = -1, lastWidth = -1, lastHeight = -1;
    const UINT modes = direct3d->GetAdapterModeCount(D3DADAPTER_DEFAULT);
    for (UINT i = 0; i < modes; ++i) {
        D3DDISPLAYMODE mode;
        if (FAILED(direct3d->EnumAdapterModes(D3DADAPTER_DEFAULT, i, &mode)))
            continue;
        const int bits = FormatBitsPerPixel(mode.Format);
        const int width = static_cast<int>(mode.Width), height = static_cast<int>(mode.Height);
        if (bits == lastBits && width == lastWidth && height == lastHeight)
            continue;  // the same mode at another refresh rate
        if (bits == 16)
            continue;
        const bool listed =
            (width == 800 && height == 600) || (width == 1024 && height == 768) || (width == 1280 && height == 1024);
        if (!listed)
            continue;
        auto* grown = static_cast<EngineString**>(std::realloc(*strings, sizeof(EngineString*) * (*count + 1)));
        if (!grown)
            return;  // the list made so far stays whole
        *strings = grown;
        char text[64];
        std::snprintf(text, sizeof text, "%d x %d %dbit", width, height, bits);
        (*strings)[*count] = new EngineString(text);
        ++*count;
        lastBits = bits;
        lastWidth = width;
        lastHeight = height;
    }
}
