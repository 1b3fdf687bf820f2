#include "scene/hud/screen_fade.h"

#include "render/draw2d/primitives_2d.h"
#include "render/device/render_clock.h"
#include "render/device/render_context.h"
#include "render/device/state_cache.h"

namespace {
u32_t g_fadeStart = 0;
s32_t g_fadeDuration = 0;
u32_t g_fadeColour = 0;
}  // namespace

void ScreenFadeStart(s32_t durationMs, u32_t colour)
{
    g_fadeStart = RenderTicks();
    g_fadeDuration = durationMs;
    g_fadeColour = colour;
}

u32_t ScreenFadeColour()
{
    return g_fadeColour;
}

void ScreenFadeReset()
{
    g_fadeStart = 0;
    g_fadeDuration = 0;
    g_fadeColour = 0;
}

u32_t ScreenFadeAlphaAt(u32_t now)
{
    // A duration of 0 would divide by zero and a negative one would give an alpha above 1 that
    // wraps when masked: neither draws.
    if (g_fadeDuration <= 0)
        return 0;
    const u32_t elapsed = now - g_fadeStart;
    if (elapsed >= static_cast<u32_t>(g_fadeDuration))
        return 0;
    const float a = 1.0f - static_cast<float>(elapsed) / static_cast<float>(g_fadeDuration);
    if (a <= 0.0f)
        return 0;
    const u32_t alpha = static_cast<u32_t>(static_cast<int>(a * 255.0f)) & 255u;
    return alpha;
}

void ScreenFadeDraw()
{
    const u32_t alpha = ScreenFadeAlphaAt(RenderTicks());
    if (alpha == 0)
        return;
    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetState(D3DRS_TEXTUREFACTOR, (alpha << 24) | (g_fadeColour & 0x00FFFFFFu));
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, ~0u);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, ~0u);
    RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    RenderSetTexture(0, nullptr);
    // The quad covers the whole frame: no state a pass left behind (the stencil test of the shadow
    // and water passes, the depth test, an alpha test) may keep pixels out of it.
    RenderSetState(D3DRS_STENCILENABLE, 0);
    RenderSetState(D3DRS_ZENABLE, 0);
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    Draw2DQuad(0, g_render.screenWidth, 0, g_render.screenHeight);
}

void HudQuadStatesTinted(D3DCOLOR colour)
{
    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    RenderSetState(D3DRS_ALPHATESTENABLE, 1);
    RenderSetState(D3DRS_ZENABLE, 0);
    RenderSetState(D3DRS_TEXTUREFACTOR, colour);
    RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
}

void HudDrawSquareMarker(int x, int y, int half, IDirect3DBaseTexture8* texture, D3DCOLOR colour)
{
    RenderSetState(D3DRS_ALPHATESTENABLE, 1);
    RenderSetState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    RenderSetState(D3DRS_ALPHAREF, 1);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetState(D3DRS_ZENABLE, 0);
    RenderSetState(D3DRS_ZWRITEENABLE, 0);
    RenderSetState(D3DRS_TEXTUREFACTOR, colour);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    RenderSetTexture(0, texture);
    Draw2DQuad(x - half, x + half, y - half, y + half);
    RenderSetState(D3DRS_ZENABLE, 1);
    RenderSetState(D3DRS_ZWRITEENABLE, 1);
}
