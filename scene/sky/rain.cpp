#include "scene/sky/rain.h"

#include <cmath>
#include <cstring>

#include "core/frame_view.h"
#include "platform/d3dx8_math.h"
#include "render/device/dynamic_buffers.h"
#include "render/device/render_context.h"
#include "render/device/state_cache.h"
#include "render/textures/texture_manager.h"

namespace {
constexpr float kInitialFrameTime = 0.02f;
constexpr float kRestartAbove = 25.0f;   // a drop that fell out restarts this far above the camera
constexpr float kRestartSpread = 25.0f;  // ... give or take half of this
constexpr float kLowestBelow = 50.0f;    // a drop this far below the camera has fallen out
constexpr u32_t kGeneratorMultiplier = 214013u;
constexpr u32_t kGeneratorIncrement = 2531011u;

struct RainState {
    RainCell* cells[RAIN_TABLE_SIZE] = {};
    u32_t generatorA = 1;
    u32_t generatorB = 1;
    float camera[3] = {0.0f, 0.0f, 0.0f};
    float frameTime = kInitialFrameTime;
    float top = 0.0f;
    IDirect3DTexture8* texture = nullptr;
    // The batch: drops written into the locked block.
    u32_t batchDrops = 0;
    u32_t batches = 0;
};
RainState g_rain;

// A draw in [-s/2, s/2) from the generator: the whole new state read as a signed number.
float Draw(u32_t* state, float span)
{
    *state = *state * kGeneratorMultiplier + kGeneratorIncrement;
    return static_cast<float>(static_cast<s32_t>(*state)) * span * (1.0f / 4294967296.0f);
}

void FlushBatch()
{
    if (g_rain.batchDrops == 0)
        return;
    DynBuffersUnlock();
    DynBuffersDrawIndexed(D3DPT_TRIANGLELIST, g_rain.batchDrops * 4, g_rain.batchDrops * 6, true);
    g_rain.batchDrops = 0;
    ++g_rain.batches;
}

void SetFacing(RainDrop& drop)
{
    const float cx = g_rain.camera[0], cz = g_rain.camera[2];
    const float dx = cx - drop.x, dz = cz - drop.z;
    const float d = std::sqrt(dx * dx + dz * dz);
    drop.distance = d;
    const float fade = 255.0f / RAIN_FADE_DISTANCE * d;
    const s32_t alpha = fade < 255.0f ? 255 - static_cast<s32_t>(fade) : 0;
    drop.colour = (static_cast<u32_t>(alpha > 0 ? alpha : 0) << 24) | 0xFFFFFFu;
    // A drop at the camera's own x and z has no line of sight across: any side vector will do.
    if (d > 0.0f) {
        drop.sideX = -(cz - drop.z) * RAIN_STREAK_HALF_WIDTH / d;
        drop.sideZ = dx * RAIN_STREAK_HALF_WIDTH / d;
    } else {
        drop.sideX = RAIN_STREAK_HALF_WIDTH;
        drop.sideZ = 0.0f;
    }
}

void UpdateAndEmit(RainDrop& drop)
{
    drop.y -= RAIN_FALL_SPEED * g_rain.frameTime;
    if (drop.y < drop.floor || drop.y < g_rain.camera[1] - kLowestBelow)
        drop.y = g_rain.camera[1] + kRestartAbove + Draw(&g_rain.generatorB, kRestartSpread);
    SetFacing(drop);
    if (!g_render.device)
        return;
    if (g_rain.batchDrops == 0)
        DynBuffersLock(RAIN_BATCH_VERTICES, RAIN_BATCH_INDICES);
    if (!g_dynBuffers.vertexOut || !g_dynBuffers.indexOut)
        return;
    struct Vertex {
        float x, y, z;
        D3DCOLOR colour;
        float u, v;
    };
    const float h = RAIN_STREAK_HEIGHT;
    const Vertex quad[4] = {
        {drop.x + drop.sideX, drop.y, drop.z + drop.sideZ, drop.colour, 1.0f, 0.0f},
        {drop.x + drop.sideX, drop.y + h, drop.z + drop.sideZ, drop.colour, 0.0f, 0.0f},
        {drop.x - drop.sideX, drop.y, drop.z - drop.sideZ, drop.colour, 1.0f, 1.0f},
        {drop.x - drop.sideX, drop.y + h, drop.z - drop.sideZ, drop.colour, 0.0f, 1.0f},
    };
    const u32_t first = g_rain.batchDrops * 4;
    std::memcpy(g_dynBuffers.vertexOut + first * sizeof(Vertex), quad, sizeof quad);
    const u16_t base = static_cast<u16_t>(g_dynBuffers.baseVertex + first);
    const u16_t indices[6] = {base,
                              static_cast<u16_t>(base + 1),
                              static_cast<u16_t>(base + 2),
                              static_cast<u16_t>(base + 2),
                              static_cast<u16_t>(base + 1),
                              static_cast<u16_t>(base + 3)};
    std::memcpy(g_dynBuffers.indexOut + g_rain.batchDrops * 6, indices, sizeof indices);
    ++g_rain.batchDrops;
    if (g_rain.batchDrops * 4 >= RAIN_BATCH_VERTICES)
        FlushBatch();
}

void MakeDrop(RainDrop& drop, float x0, float z0)
{
    drop.x = x0 + Draw(&g_rain.generatorA, RAIN_CELL_SIZE);
    drop.z = z0 + Draw(&g_rain.generatorA, RAIN_CELL_SIZE);
    drop.y = Draw(&g_rain.generatorB, g_rain.top);
    drop.floor = -1.0f;
    SetFacing(drop);
}
}  // namespace

int RainCellSlot(s32_t row, s32_t column)
{
    return (row & 15) * 16 + (column & 15);
}

u32_t RainCellKey(s32_t row, s32_t column)
{
    return (static_cast<u32_t>(column) & 0xFFFFu) ^ (static_cast<u32_t>(row) << 16);
}

s32_t RainWantedDrops(float distance)
{
    const float factor = 1.0f - distance / RAIN_FADE_DISTANCE;
    return factor > 0.0f ? static_cast<s32_t>(static_cast<float>(RAIN_DROPS_PER_CELL) * factor) : 0;
}

void RainInit()
{
    RainShutdown();
    for (RainCell*& cell : g_rain.cells) {
        cell = new RainCell{0, RAIN_DROPS_PER_CELL, 0, 0, new RainDrop[RAIN_DROPS_PER_CELL]};
        std::memset(cell->drops, 0, sizeof(RainDrop) * RAIN_DROPS_PER_CELL);
    }
    g_rain.camera[0] = g_rain.camera[1] = g_rain.camera[2] = 0.0f;
    g_rain.generatorA = g_rain.generatorB = 1;
    g_rain.frameTime = kInitialFrameTime;
    g_rain.texture = TextureFindOrLoad("rain");
}

void RainShutdown()
{
    for (RainCell*& cell : g_rain.cells) {
        if (!cell)
            continue;
        delete[] cell->drops;
        delete cell;
        cell = nullptr;
    }
    g_rain.texture = nullptr;
}

void RainDraw(const float* camera, float frameTime)
{
    if (!camera || !g_rain.cells[0])
        return;
    std::memcpy(g_rain.camera, camera, sizeof g_rain.camera);
    g_rain.frameTime = std::isfinite(frameTime) ? frameTime : 0.0f;
    g_rain.batchDrops = 0;
    g_rain.batches = 0;
    if (!std::isfinite(camera[0]) || !std::isfinite(camera[1]) || !std::isfinite(camera[2]))
        return;
    if (g_render.device) {
        // The drops are world positions, whatever world matrix the pass before left.
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        g_render.device->SetTransform(D3DTS_WORLD, &identity);
        DynBufferSelect(&g_dynBuffers.colTexVertices);
        DynIndexBufferSelect(&g_dynBuffers.smallIndices);
        RenderSetState(D3DRS_LIGHTING, 0);
        RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
        RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        RenderSetState(D3DRS_ALPHATESTENABLE, 0);
        RenderSetState(D3DRS_ZENABLE, 1);
        RenderSetState(D3DRS_ZWRITEENABLE, 0);
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT);
        RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
        RenderSetTexture(0, g_rain.texture);
    }
    g_rain.top = (std::floor(camera[1] / RAIN_HEIGHT_STEP) + 1.0f) * RAIN_HEIGHT_STEP;
    const s32_t row0 = static_cast<s32_t>(std::floor(camera[2] / RAIN_CELL_SIZE));
    const s32_t column0 = static_cast<s32_t>(std::floor(camera[0] / RAIN_CELL_SIZE));
    for (s32_t row = row0 - 3; row <= row0 + 2; ++row) {
        for (s32_t column = column0 - 3; column <= column0 + 2; ++column) {
            const float x0 = static_cast<float>(column) * RAIN_CELL_SIZE;
            const float z0 = static_cast<float>(row) * RAIN_CELL_SIZE;
            RainCell& cell = *g_rain.cells[RainCellSlot(row, column)];
            const u32_t key = RainCellKey(row, column);
            if (cell.key != key) {
                cell.count = 0;
                cell.key = key;
                cell.generator = key;
            }
            const float dx = camera[0] - (x0 + RAIN_CELL_SIZE * 0.5f);
            const float dz = camera[2] - (z0 + RAIN_CELL_SIZE * 0.5f);
            const s32_t wanted = RainWantedDrops(std::sqrt(dx * dx + dz * dz));
            g_rain.generatorA = cell.generator;
            const s32_t kept = cell.count < wanted ? cell.count : wanted;
            for (s32_t i = 0; i < kept; ++i)
                UpdateAndEmit(cell.drops[i]);
            if (cell.count < wanted) {
                for (s32_t i = cell.count; i < wanted; ++i) {
                    MakeDrop(cell.drops[i], x0, z0);
                    UpdateAndEmit(cell.drops[i]);
                }
                cell.count = wanted;
            }
            cell.generator = g_rain.generatorA;
        }
    }
    FlushBatch();
}

void RainPass()
{
    RainDraw(g_frameView.viewPos, g_frameView.frameTime);
}

const RainCell* RainCellAt(int slot)
{
    return slot >= 0 && slot < RAIN_TABLE_SIZE ? g_rain.cells[slot] : nullptr;
}

u32_t RainLastBatchCount()
{
    return g_rain.batches;
}
