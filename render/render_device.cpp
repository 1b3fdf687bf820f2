// The device itself does not exist yet: a display mode only sizes the window, so start-up and
// shutdown run their whole road.
#include "render/render_device.h"
#include "core/log.h"

namespace {
HWND g_renderWindow = nullptr;
int g_screenWidth = 0;
int g_screenHeight = 0;

const char* DepthFormatName(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_X8R8G8B8: return "D3DFMT_X8R8G8B8";
    case D3DFMT_A8R8G8B8: return "D3DFMT_A8R8G8B8";
    default: return nullptr;
    }
}

int DepthBits(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_D16: return 16;
    case D3DFMT_D24S8:
    case D3DFMT_D24X8:
    case D3DFMT_D24X4S4: return 24;
    default: return 0;
    }
}
}  // namespace

int RenderInit(HWND window)
{
    g_renderWindow = window;
    return 0;
}

int RenderSetDisplayMode(int width, int height, int refresh, D3DFORMAT format, D3DFORMAT depthFormat,
                         bool windowed, int)
{
    if (windowed && g_renderWindow) {
        RECT rect = {0, 0, width, height};
        AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
        int outerWidth = rect.right - rect.left;
        int outerHeight = rect.bottom - rect.top;
        MoveWindow(g_renderWindow, (GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2,
                   (GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2, outerWidth, outerHeight, TRUE);
    } else if (g_renderWindow) {
        MoveWindow(g_renderWindow, 0, 0, width, height, TRUE);
    }
    g_screenWidth = width;
    g_screenHeight = height;
    const char* formatName = DepthFormatName(format);
    Log("\nResolution set to %dx%d %dHz.\n", width, height, refresh);
    Log("Backbuffer format is %s.\n", formatName ? formatName : "(null)");
    Log("Depthbuffer bit depth is %d bits.\n", DepthBits(depthFormat));
    if (depthFormat == D3DFMT_D24S8 || depthFormat == D3DFMT_D24X4S4)
        Log("Device is using stencil buffer.\n");
    Log("\n");
    return 0;
}

void RenderLogDeviceInfo() {}

int RenderShutdown(bool)
{
    Log("Destroying device buffers and vegetation...");
    g_renderWindow = nullptr;
    Log("done\n");
    return 0;
}

void RenderPrepareBuffers()
{
    Log("Preparing device buffers & vegetation...");
    Log("done\n");
}
