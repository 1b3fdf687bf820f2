// Shared pieces of the render tests: the render core on a test window, back-buffer read-back, colour
// comparison and screen-space quads.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/d3d8.h"
#include "platform/d3d8_test_hooks.h"
#include "platform/d3dx8_math.h"
#include "platform/win32.h"
#include "render/camera.h"
#include "render/device/frame.h"
#include "render/device/render_context.h"
#include "render/device/render_device.h"
#include "scene/draw_records/draw_lists.h"
#include "support/raw_device.h"
#include "support/test_window.h"

namespace render_test {

// A surface read back as 0xAARRGGBB words, rows from the top.
struct Pixels {
    UINT width = 0, height = 0;
    std::vector<DWORD> words;
    DWORD At(UINT x, UINT y) const { return words[y * width + x]; }
};

inline Pixels ReadSurface(IDirect3DSurface8* surface)
{
    Pixels pixels;
    D3DSURFACE_DESC desc = {};
    if (!surface || FAILED(surface->GetDesc(&desc)))
        return pixels;
    D3DLOCKED_RECT locked = {};
    if (FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
        return pixels;
    pixels.width = desc.Width;
    pixels.height = desc.Height;
    pixels.words.resize(std::size_t(desc.Width) * desc.Height);
    for (UINT y = 0; y < desc.Height; ++y) {
        const BYTE* row = static_cast<const BYTE*>(locked.pBits) + std::size_t(y) * locked.Pitch;
        for (UINT x = 0; x < desc.Width; ++x) {
            DWORD word = 0;
            if (desc.Format == D3DFMT_R5G6B5) {
                const unsigned short packed = reinterpret_cast<const unsigned short*>(row)[x];
                const DWORD r = (packed >> 11) & 31, g = (packed >> 5) & 63, b = packed & 31;
                word =
                    0xFF000000u | (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
            } else {
                word = reinterpret_cast<const DWORD*>(row)[x];
                if (desc.Format == D3DFMT_X8R8G8B8)
                    word |= 0xFF000000u;
            }
            pixels.words[std::size_t(y) * desc.Width + x] = word;
        }
    }
    surface->UnlockRect();
    return pixels;
}

inline Pixels ReadBackBuffer(IDirect3DDevice8* device)
{
    IDirect3DSurface8* surface = nullptr;
    device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface);
    Pixels pixels = ReadSurface(surface);
    if (surface)
        surface->Release();
    return pixels;
}

// The read-back pixel the world point falls on through the camera's view, projection and viewport.
inline DWORD PixelAt(const Pixels& pixels, float x, float y, float z)
{
    D3DXVECTOR3 screen;
    const D3DXVECTOR3 world(x, y, z);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    D3DXVec3Project(&screen, &world, &g_camera.viewport, &g_camera.projection, &g_camera.view, &identity);
    return pixels.At(static_cast<UINT>(screen.x), static_cast<UINT>(screen.y));
}

// Channels of two 0xAARRGGBB colours within tolerance of each other.
inline ::testing::AssertionResult ColourNear(DWORD actual, DWORD expected, int tolerance = 1)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (a - e > tolerance || e - a > tolerance) {
            char text[64];
            std::snprintf(text, sizeof text, "0x%08X is not 0x%08X", actual, expected);
            return ::testing::AssertionFailure() << text;
        }
    }
    return ::testing::AssertionSuccess();
}

struct ScreenVertex {
    float x, y, z, rhw;
    DWORD colour;
    float u, v;
};
constexpr DWORD kScreenFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// A quad over the pixels x0..x1-1, y0..y1-1 (Direct3D pixel centres sit on integers) with the
// whole texture, drawn from memory.
inline HRESULT DrawScreenQuad(IDirect3DDevice8* device, int x0, int y0, int x1, int y1, DWORD colour, float z = 0.5f)
{
    const float left = x0 - 0.5f, top = y0 - 0.5f, right = x1 - 0.5f, bottom = y1 - 0.5f;
    const ScreenVertex quad[4] = {{left, top, z, 1.0f, colour, 0.0f, 0.0f},
                                  {right, top, z, 1.0f, colour, 1.0f, 0.0f},
                                  {right, bottom, z, 1.0f, colour, 1.0f, 1.0f},
                                  {left, bottom, z, 1.0f, colour, 0.0f, 1.0f}};
    device->SetVertexShader(kScreenFvf);
    return device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(ScreenVertex));
}

// Regular expression matching the text as it is (for death-test messages).
inline std::string Literal(const char* text)
{
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (std::string("\\^$.|?*+()[]{}").find(*p) != std::string::npos)
            out.push_back('\\');
        out.push_back(*p);
    }
    return out;
}

// The text a failed engine assertion prints.
inline std::string AssertionText(const char* expression)
{
    return Literal((std::string("Assertion '") + expression + "' failed").c_str());
}

// A 4 x 4 managed A8R8G8B8 texture of one colour (null when it cannot be made); the caller releases it.
inline IDirect3DTexture8* SolidTexture(IDirect3DDevice8* device, DWORD argb)
{
    IDirect3DTexture8* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    if (!texture)
        return nullptr;
    D3DLOCKED_RECT locked = {};
    texture->LockRect(0, &locked, nullptr, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] = argb;
    texture->UnlockRect(0);
    return texture;
}

// The render core on a hidden window: the Direct3D object and a 64 x 48 windowed mode with a
// depth-stencil buffer, shut down after the test.
class RenderCore : public ::testing::Test {
protected:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 48;

    void SetUp() override
    {
        ASSERT_NE(m_window.Handle(), nullptr);
        ASSERT_EQ(RenderInit(m_window.Handle()), 0);
        SceneDrawListsInit();
        ASSERT_EQ(RenderSetDisplayMode(kWidth, kHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
    }
    void TearDown() override
    {
        D3D8TestFailDepthFormats(nullptr, 0);
        // The whole device set-up goes, the vegetation included: the next test starts as a new program.
        RenderShutdown(true);
    }

    IDirect3DDevice8* Device() const { return g_render.device; }
    D3D8CallCounts Counts() const { return D3D8TestCallCounts(g_render.device); }
    HWND Window() const { return m_window.Handle(); }

private:
    TestWindow m_window;
};

}  // namespace render_test
