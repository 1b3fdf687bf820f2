#include "render/state_cache.h"

#include <cstring>

#include "core/assert.h"
#include "render/render_context.h"

void RenderSetState(u32_t st, u32_t value)
{
    ENGINE_ASSERT(st < MAX_STATES_COUNT);
    RenderStateCache& cache = g_render.stateCache;
    const u32_t bit = 1u << (st & 31);
    if ((cache.stateKnown[st >> 5] & bit) && cache.stateValues[st] == value)
        return;
    cache.stateKnown[st >> 5] |= bit;
    cache.stateValues[st] = value;
    g_render.device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(st), value);
}

void RenderSetStageState(u32_t stage, u32_t type, u32_t value)
{
    const u32_t t = stage * kStageStateStride + type;
    ENGINE_ASSERT(t < MAX_STAGES);
    RenderStateCache& cache = g_render.stateCache;
    const u32_t bit = 1u << (t & 31);
    if ((cache.stageKnown[t >> 5] & bit) && cache.stageValues[t] == value)
        return;
    cache.stageKnown[t >> 5] |= bit;
    cache.stageValues[t] = value;
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

void RenderSetTexture(u32_t stage, IDirect3DBaseTexture8* texture)
{
    g_render.device->SetTexture(stage, texture);
}

void RenderStateCacheClear()
{
    std::memset(g_render.stateCache.stateKnown, 0, sizeof g_render.stateCache.stateKnown);
    std::memset(g_render.stateCache.stageKnown, 0, sizeof g_render.stateCache.stageKnown);
}
