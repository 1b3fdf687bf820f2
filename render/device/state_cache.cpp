#include "render/device/state_cache.h"

#include <cstring>

#include "core/assert.h"
#include "render/device/render_context.h"

void RenderSetState(u32_t state, u32_t value)
{
    ENGINE_ASSERT_TEXT(state < MAX_STATES_COUNT, "st < MAX_STATES_COUNT");
    RenderStateCache& cache = g_render.stateCache;
    const u32_t bit = 1u << (state & 31);
    if ((cache.stateKnown[state >> 5] & bit) && cache.stateValues[state] == value)
        return;
    cache.stateKnown[state >> 5] |= bit;
    cache.stateValues[state] = value;
    g_render.device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(state), value);
}

void RenderSetStageState(u32_t stage, u32_t type, u32_t value)
{
    const u32_t index = stage * kStageStateStride + type;
    ENGINE_ASSERT_TEXT(index < MAX_STAGES, "t < MAX_STAGES");
    RenderStateCache& cache = g_render.stateCache;
    const u32_t bit = 1u << (index & 31);
    if ((cache.stageKnown[index >> 5] & bit) && cache.stageValues[index] == value)
        return;
    cache.stageKnown[index >> 5] |= bit;
    cache.stageValues[index] = value;
    g_render.device->SetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(type), value);
}

void RenderSetColorOp(u32_t stage, u32_t op, u32_t first, u32_t second)
{
    RenderSetStageState(stage, D3DTSS_COLOROP, op);
    if (first != 0xFFFFFFFFu)
        RenderSetStageState(stage, D3DTSS_COLORARG1, first);
    if (second != 0xFFFFFFFFu)
        RenderSetStageState(stage, D3DTSS_COLORARG2, second);
}

void RenderSetAlphaOp(u32_t stage, u32_t op, u32_t first, u32_t second)
{
    RenderSetStageState(stage, D3DTSS_ALPHAOP, op);
    if (first != 0xFFFFFFFFu)
        RenderSetStageState(stage, D3DTSS_ALPHAARG1, first);
    if (second != 0xFFFFFFFFu)
        RenderSetStageState(stage, D3DTSS_ALPHAARG2, second);
}

void RenderDisableStage(u32_t stage)
{
    RenderSetColorOp(stage, D3DTOP_DISABLE, ~0u, ~0u);
    RenderSetAlphaOp(stage, D3DTOP_DISABLE, ~0u, ~0u);
}

void RenderSetWrapAndMaterialSources()
{
    RenderSetStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    RenderSetStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
    RenderSetStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    RenderSetStageState(1, D3DTSS_TEXCOORDINDEX, 1);
    RenderSetState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL);
    RenderSetState(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL);
    RenderSetState(D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL);
    RenderSetState(D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL);
}

void RenderSetTexture(u32_t stage, IDirect3DBaseTexture8* texture)
{
    g_render.device->SetTexture(stage, texture);
}

void RenderStateCacheClear()
{
    std::memset(g_render.stateCache.stateKnown, 0, sizeof g_render.stateCache.stateKnown);
    std::memset(g_render.stateCache.stageKnown, 0, sizeof g_render.stateCache.stageKnown);
}
