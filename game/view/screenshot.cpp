#include "game/view/screenshot.h"

#include <cstdio>
#include <cstring>

#include "core/console/console.h"
#include "platform/d3d8.h"
#include "platform/d3dx8_texture.h"
#include "platform/file_system.h"
#include "platform/win32.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"

namespace {

// Counts up for the whole run; missions do not reset it.
u32_t g_screenshotCount = 0;

constexpr const char* kFolder = "screenshots\\";
constexpr u32_t kMaxNamesSkipped = 100000;

// The number as text of at least the width in digits.
void Padded(char* out, std::size_t size, u32_t value, int width)
{
    std::snprintf(out, size, "%u", value);
    PadWithZeros(out, width);
}

// The picture to save, with a reference the caller releases; null when there is none.
IDirect3DSurface8* TakePicture()
{
    IDirect3DDevice8* device = g_render.device;
    if (!device)
        return nullptr;
    IDirect3DSurface8* surface = nullptr;
    if (rbwindowed.Bool()) {
        if (FAILED(device->GetRenderTarget(&surface)))
            return nullptr;
        return surface;
    }
    const UINT width = static_cast<UINT>(riwidth.Int()), height = static_cast<UINT>(riheight.Int());
    if (FAILED(device->CreateImageSurface(width, height, D3DFMT_A8R8G8B8, &surface)))
        surface = nullptr;
    if (!surface || FAILED(device->GetFrontBuffer(surface))) {
        ConPrint(0,
                 "\x0e\x02"
                 "Could not save screenshot - device is lost!\n");
        if (surface)
            surface->Release();
        return nullptr;
    }
    return surface;
}

}  // namespace

void PadWithZeros(char* text, int width)
{
    if (width < 2)
        return;
    const int length = static_cast<int>(std::strlen(text));
    if (length >= width)
        return;
    const int shift = width - length;
    std::memmove(text + shift, text, static_cast<std::size_t>(length) + 1);
    std::memset(text, '0', static_cast<std::size_t>(shift));
}

u32_t GameScreenshotCount()
{
    return g_screenshotCount;
}

void GameTakeScreenshot()
{
    IDirect3DSurface8* surface = TakePicture();
    if (!surface)
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    CreateDirectoryA(kFolder, nullptr);

    char year[16], month[16], day[16], hour[16], minute[16], number[16];
    Padded(year, sizeof year, now.wYear, 0);
    Padded(month, sizeof month, now.wMonth, 2);
    Padded(day, sizeof day, now.wDay, 2);
    Padded(hour, sizeof hour, now.wHour, 2);
    Padded(minute, sizeof minute, now.wMinute, 2);
    // The counter starts afresh with each run, so a run in the same minute as an earlier one meets its
    // names: those are skipped, never overwritten (a bounded search; the last name is taken after it).
    char name[128];
    for (u32_t tries = 0;; ++tries) {
        Padded(number, sizeof number, g_screenshotCount++, 3);
        std::snprintf(name, sizeof name, "%s%s%s%s%s%s_%s.bmp", kFolder, year, month, day, hour, minute, number);
        if (tries >= kMaxNamesSkipped || !PlatformFileExists(name))
            break;
    }

    const HRESULT saved = D3DXSaveSurfaceToFileA(name, D3DXIFF_BMP, surface, nullptr, nullptr);
    surface->Release();
    if (SUCCEEDED(saved))
        ConPrint(0, "Screenshot %s saved.\n", name);
    else
        ConPrint(0,
                 "\x0e\x02"
                 "Could not save '%s'!\n",
                 name);
}
