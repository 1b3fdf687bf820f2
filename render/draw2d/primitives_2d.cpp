#include "render/draw2d/primitives_2d.h"

#include <cmath>
#include <cstring>

#include "render/camera.h"
#include "render/device/dynamic_buffers.h"
#include "render/device/frame.h"
#include "render/device/render_context.h"
#include "render/device/state_cache.h"
#include "render/textures/texture_preload.h"

namespace {

constexpr float kPi = 3.14159265358979f;

bool TextureOnCurrentDevice(IDirect3DTexture8* texture)
{
    IDirect3DDevice8* device = nullptr;
    if (!texture || FAILED(texture->GetDevice(&device)) || !device)
        return false;
    device->Release();
    return device == g_render.device;
}

VertexScreen ScreenVertex(float x, float y, D3DCOLOR colour, float u, float v)
{
    return {x, y, kScreenZ, kScreenRhw, colour, u, v};
}

// One fan of four vertices through the screen buffer; stream 0 is let go after it.
void DrawScreenFan(const VertexScreen (&corners)[4])
{
    DynBufferSelect(&g_dynBuffers.screenVertices);
    DynVertexBufferLock(4);
    std::memcpy(g_dynBuffers.vertexOut, corners, sizeof corners);
    DynBuffersUnlock();
    DynVertexBufferDraw(D3DPT_TRIANGLEFAN, 4, true);
    DynBufferSelect(nullptr);
}

}  // namespace

void Draw2DQuad(int x0, int x1, int y0, int y1)
{
    Draw2DQuadEx(x0, x1, y0, y1, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0.0f, 0.0f, 1.0f, 1.0f);
}

void Draw2DQuadEx(int x0, int x1, int y0, int y1, D3DCOLOR c0, D3DCOLOR c1, D3DCOLOR c2, D3DCOLOR c3, float u0,
                  float v0, float u1, float v1)
{
    const float left = static_cast<float>(x0) - 0.5f, right = static_cast<float>(x1) - 0.5f;
    const float top = static_cast<float>(y0) - 0.5f, bottom = static_cast<float>(y1) - 0.5f;
    const VertexScreen corners[4] = {ScreenVertex(left, top, c0, u0, v0), ScreenVertex(right, top, c1, u1, v0),
                                     ScreenVertex(right, bottom, c2, u1, v1), ScreenVertex(left, bottom, c3, u0, v1)};
    DrawScreenFan(corners);
}

void Draw2DCornerBrackets(int cx, int cy, int halfWidth, int halfHeight, D3DCOLOR colour)
{
    const int armX = halfWidth / 4 < 2 ? 2 : halfWidth / 4;
    const int armY = halfHeight / 4 < 2 ? 2 : halfHeight / 4;
    const int xs[2] = {cx - halfWidth, cx + halfWidth};
    const int ys[2] = {cy - halfHeight, cy + halfHeight};

    DynBufferSelect(&g_dynBuffers.screenVertices);
    DynIndexBufferSelect(&g_dynBuffers.bracketIndices);
    DynBuffersLock(12, 16);
    auto* vertices = reinterpret_cast<VertexScreen*>(g_dynBuffers.vertexOut);
    u16_t* indices = g_dynBuffers.indexOut;
    for (int corner = 0; corner < 4; ++corner) {
        const int x = xs[corner & 1], y = ys[corner >> 1];
        // The arms run along the edges, towards the rectangle's inside.
        const int dx = (corner & 1) ? -armX : armX;
        const int dy = (corner >> 1) ? -armY : armY;
        VertexScreen* v = vertices + corner * 3;
        v[0] = ScreenVertex(static_cast<float>(x), static_cast<float>(y), colour, 0.0f, 0.0f);
        v[1] = ScreenVertex(static_cast<float>(x + dx), static_cast<float>(y), colour, 0.0f, 0.0f);
        v[2] = ScreenVertex(static_cast<float>(x), static_cast<float>(y + dy), colour, 0.0f, 0.0f);
        const u16_t first = static_cast<u16_t>(g_dynBuffers.baseVertex + corner * 3);
        u16_t* line = indices + corner * 4;
        line[0] = first;
        line[1] = static_cast<u16_t>(first + 1);
        line[2] = first;
        line[3] = static_cast<u16_t>(first + 2);
    }
    DynBuffersUnlock();
    DynBuffersDrawIndexed(D3DPT_LINELIST, 12, 16, true);
    DynBufferSelect(nullptr);
}

float EdgeArrowAngle(u32_t x, u32_t y, u32_t width, u32_t height)
{
    const bool left = x == 0, right = x == width, top = y == 0, bottom = y == height;
    if (left && top)
        return -kPi / 4;
    if (right && top)
        return kPi / 4;
    if (right && bottom)
        return 3 * kPi / 4;
    if (left && bottom)
        return -3 * kPi / 4;
    if (top)
        return 0.0f;
    if (right)
        return kPi / 2;
    if (bottom)
        return kPi;
    return -kPi / 2;
}

void EdgeArrowCentre(u32_t* x, u32_t* y, u32_t size, u32_t width, u32_t height)
{
    const u32_t half = size / 2;
    if (*x == 0)
        *x = half;
    else if (*x == width)
        *x = width - half;
    if (*y == 0)
        *y = half;
    else if (*y == height)
        *y = height - half;
}

void Draw2DEdgeArrow(u32_t x, u32_t y, u32_t size, D3DCOLOR colour)
{
    const u32_t width = g_camera.viewWidth, height = g_camera.viewHeight;
    const float angle = EdgeArrowAngle(x, y, width, height);
    EdgeArrowCentre(&x, &y, size, width, height);
    const float radius = 0.5f * static_cast<float>(size);

    DynBufferSelect(&g_dynBuffers.screenVertices);
    DynVertexBufferLock(3);
    auto* vertices = reinterpret_cast<VertexScreen*>(g_dynBuffers.vertexOut);
    for (int corner = 0; corner < 3; ++corner) {
        const float t = angle + static_cast<float>(corner) * (2.0f * kPi / 3.0f);
        vertices[corner] = ScreenVertex(static_cast<float>(x) + std::sin(t) * radius,
                                        static_cast<float>(y) - std::cos(t) * radius, colour, 0.0f, 0.0f);
    }
    DynBuffersUnlock();
    DynVertexBufferDraw(D3DPT_TRIANGLELIST, 3, true);
    DynBufferSelect(nullptr);
}

void DynVertexPutVec3(const float* v)
{
    std::memcpy(g_dynBuffers.vertexOut, v, 12);
    g_dynBuffers.vertexOut += 12;
}

void DynVertexPutVec2(const float* v)
{
    std::memcpy(g_dynBuffers.vertexOut, v, 8);
    g_dynBuffers.vertexOut += 8;
}

void RenderShowLogoFrame()
{
    RenderSetClearColor(0);
    // Without a logo there is nothing to show: no white square stands in for it. Right after a mode
    // change the registry may still hold the logo of the previous device until the textures are
    // recreated; that one cannot be drawn on the new device.
    if (!TextureOnCurrentDevice(g_preloadedTextures.guiLogo) || RenderBeginFrame() != 0)
        return;
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
    RenderSetTexture(0, g_preloadedTextures.guiLogo);
    const int width = g_render.screenWidth, height = g_render.screenHeight;
    Draw2DQuad(width - 128, width, height - 128, height);
    RenderEndFrame(true);
}
