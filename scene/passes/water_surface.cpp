#include "scene/passes/water_surface.h"

#include <cstring>

#include "core/frame_view.h"
#include "game/player/game_water.h"
#include "map/land_maps/fog_textures.h"
#include "render/camera.h"
#include "render/device/dynamic_buffers.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "render/textures/texture_preload.h"
#include "render/land/visible_nodes.h"
#include "scene/scene_state.h"
#include "scene/passes/water_pass.h"

u32_t RenderWaterTime = 0;

namespace {

void State(u32_t state, u32_t value)
{
    RenderSetState(state, value);
}

void StageOps(u32_t stage, u32_t op, u32_t argument)
{
    RenderSetColorOp(stage, op, argument, D3DTA_CURRENT);
    RenderSetAlphaOp(stage, op, argument, D3DTA_CURRENT);
}

void Address(u32_t stage, u32_t mode)
{
    RenderSetStageState(stage, D3DTSS_ADDRESSU, mode);
    RenderSetStageState(stage, D3DTSS_ADDRESSV, mode);
}

void Filters(u32_t stage, u32_t min, u32_t mag, u32_t mip)
{
    RenderSetStageState(stage, D3DTSS_MINFILTER, min);
    RenderSetStageState(stage, D3DTSS_MAGFILTER, mag);
    RenderSetStageState(stage, D3DTSS_MIPFILTER, mip);
}

// The stencil states shared by the passes: every op but the pass op given, the masks open.
void StencilStates(u32_t func, u32_t ref, u32_t pass, u32_t fail, u32_t zfail)
{
    State(D3DRS_STENCILFAIL, fail);
    State(D3DRS_STENCILMASK, 0xFFFFFFFFu);
    State(D3DRS_STENCILPASS, pass);
    State(D3DRS_STENCILREF, ref);
    State(D3DRS_STENCILWRITEMASK, 0xFFFFFFFFu);
    State(D3DRS_STENCILFUNC, func);
    State(D3DRS_STENCILZFAIL, zfail);
}

void ClearStencil()
{
    if (g_render.device)
        g_render.device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0);
}

// The clock only grows: a negative or non-number speed stands it still, and a step too large for
// the counter is held at its greatest value instead of converting out of range.
u32_t WaterTimeStep(float speed, float seconds)
{
    const double step = double(speed) * double(seconds) * 1000.0;
    if (!(step > 0.0))
        return 0;
    return step >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<u32_t>(step);
}

}  // namespace

u32_t RenderWaterFrame()
{
    return (RenderWaterTime / 1000u) & (WATER_FRAME_COUNT - 1);
}

void RenderWaterSurface()
{
    if (g_visible.waterTotal == 0)
        return;
    u32_t surfaceBits = 0;
    GameIsViewUnderWater(&surfaceBits);
    float waterHeight = 0.0f;
    std::memcpy(&waterHeight, &surfaceBits, sizeof waterHeight);
    const bool shaders = g_render.shaders;

    State(D3DRS_ALPHABLENDENABLE, 1);
    State(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    State(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    State(D3DRS_ALPHATESTENABLE, 0);
    RenderSetStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    RenderSetStageState(1, D3DTSS_TEXCOORDINDEX, 1);
    if (shaders) {
        RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_CURRENT);
        StageOps(1, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
        RenderSetTexture(0, g_render.secondaryViewTarget);
        RenderSetTexture(1, g_preloadedTextures.water[RenderWaterFrame()]);
        // The external camera's frame never runs this list with the view under water.
        if (RenderViewUnderWater)
            RenderSetTexture(2, MapGetWaterFogTexture());
    } else {
        for (u32_t stage = 0; stage < 3; ++stage) {
            StageOps(stage, D3DTOP_DISABLE, D3DTA_CURRENT);
            RenderSetTexture(stage, nullptr);
        }
    }

    State(D3DRS_CULLMODE, D3DCULL_NONE);
    State(D3DRS_LIGHTING, 0);
    State(D3DRS_FILLMODE, rbwireframe.Bool() ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    State(D3DRS_SPECULARENABLE, 0);
    Filters(0, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE);
    Filters(1, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_LINEAR);
    Address(0, D3DTADDRESS_CLAMP);
    Address(1, D3DTADDRESS_WRAP);
    Address(2, D3DTADDRESS_CLAMP);
    State(D3DRS_ZWRITEENABLE, 0);
    State(D3DRS_ZENABLE, 1);

    if (!shaders) {
        State(D3DRS_COLORWRITEENABLE, 0);
        ClearStencil();
        State(D3DRS_STENCILENABLE, 1);
        StencilStates(D3DCMP_ALWAYS, WATER_STENCIL_MARK, D3DSTENCILOP_REPLACE, D3DSTENCILOP_REPLACE, D3DSTENCILOP_KEEP);
    } else {
        State(D3DRS_STENCILENABLE, 1);
        ClearStencil();
        State(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
        State(D3DRS_STENCILREF, 1);
        State(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
        State(D3DRS_STENCILFAIL, D3DSTENCILOP_REPLACE);
        State(D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP);
    }

    RenderWaterPass();

    const float y = g_camera.position.y;
    if (!(waterHeight > y) && y < waterHeight + 1.0f) {
        State(D3DRS_STENCILENABLE, 0);
    } else {
        State(D3DRS_STENCILENABLE, 1);
        State(D3DRS_STENCILPASS, D3DSTENCILOP_ZERO);
        State(D3DRS_STENCILFAIL, D3DSTENCILOP_ZERO);
        State(D3DRS_STENCILZFAIL, D3DSTENCILOP_ZERO);
    }
    if (!shaders)
        State(D3DRS_COLORWRITEENABLE, 0xFFFFFFFFu);
    Address(0, D3DTADDRESS_WRAP);

    if (!g_frameView.inGameDisplay)
        RenderWaterTime += WaterTimeStep(rf_waterspeed.Float(), g_frameView.frameTime);
}

void RenderWaterOverlay()
{
    if (g_visible.waterTotal == 0)
        return;
    State(D3DRS_STENCILENABLE, 1);
    StencilStates(D3DCMP_GREATER, 1, D3DSTENCILOP_KEEP, D3DSTENCILOP_KEEP, D3DSTENCILOP_KEEP);
    State(D3DRS_STENCILENABLE, 0);
    if (!g_render.shaders) {
        RenderWaterQuad(g_render.secondaryViewTarget);
        State(D3DRS_STENCILENABLE, 0);
    }
    State(D3DRS_CULLMODE, D3DCULL_CW);
    Address(0, D3DTADDRESS_WRAP);
    StageOps(1, D3DTOP_DISABLE, D3DTA_CURRENT);
    State(D3DRS_ALPHATESTENABLE, 0);
}

void RenderWaterQuad(IDirect3DBaseTexture8* texture)
{
    if (texture) {
        RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
        RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    } else {
        StageOps(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR);
    }
    StageOps(1, D3DTOP_DISABLE, D3DTA_CURRENT);
    State(D3DRS_ALPHATESTENABLE, 0);
    State(D3DRS_LIGHTING, 0);
    State(D3DRS_ZWRITEENABLE, 0);
    State(D3DRS_ZENABLE, 0);
    State(D3DRS_CULLMODE, D3DCULL_NONE);
    State(D3DRS_ALPHABLENDENABLE, 1);
    State(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    State(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    State(D3DRS_TEXTUREFACTOR, WATER_QUAD_COLOUR);
    State(D3DRS_STENCILENABLE, 1);
    StencilStates(D3DCMP_EQUAL, WATER_STENCIL_MARK, D3DSTENCILOP_KEEP, D3DSTENCILOP_KEEP, D3DSTENCILOP_KEEP);
    RenderSetTexture(0, texture);
    if (!g_render.device)
        return;

    DynBufferSelect(&g_dynBuffers.screenVertices);
    DynVertexBufferLock(4);
    const float w = float(g_render.screenWidth), h = float(g_render.screenHeight);
    const float corners[4][4] = {
        {0.0f, 0.0f, 0.0f, 1.0f}, {w, 0.0f, 1.0f, 1.0f}, {w, h, 1.0f, 0.0f}, {0.0f, h, 0.0f, 0.0f}};
    for (const auto& c : corners) {
        const float head[4] = {c[0], c[1], 0.5f, 0.5f};
        const u32_t colour = 0xFFFFFFFFu;
        const float uv[2] = {c[2], c[3]};
        u8_t* out = g_dynBuffers.vertexOut;
        std::memcpy(out, head, sizeof head);
        std::memcpy(out + 16, &colour, sizeof colour);
        std::memcpy(out + 20, uv, sizeof uv);
        DynVertexWrittenTo(out + 28);
    }
    DynBuffersUnlock();
    DynVertexBufferDraw(D3DPT_TRIANGLEFAN, 4, true);
    State(D3DRS_STENCILENABLE, 0);
}
