#include "scene/draw_records/draw_record_replay.h"

#include <cmath>

#include "render/device/dynamic_buffers.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "scene/sky/sun_lights.h"

DrawRecordReplayState g_drawRecordReplay = {};

namespace {

constexpr float kPlantDirectionStep = 0.2617994f;  // 15 degrees
constexpr u32_t kPlantAlphaReference = 0x40;

void RunKindFiveStep()
{
    if (g_drawRecordReplay.plantBatchFlush)
        g_drawRecordReplay.plantBatchFlush();
}

u32_t FillMode()
{
    return rbwireframe.Bool() ? D3DFILL_WIREFRAME : D3DFILL_SOLID;
}

// The states both replays share after their blend and filter states.
void SetSharedStates()
{
    RenderSetWrapAndMaterialSources();
    RenderSetState(D3DRS_SPECULARENABLE, 0);
    RenderSetSunLights(0);
}

void UnbindStream()
{
    DynBuffersForgetCurrent();
    if (g_render.device)
        g_render.device->SetStreamSource(0, nullptr, 0);
}

}  // namespace

void DrawRecordRendererSet(u32_t kind, DrawRecordRenderer renderer)
{
    if (kind >= DRAW_RECORD_KIND_COUNT || kind == DRAW_RECORD_PLANT_FLUSH)
        return;
    g_drawRecordReplay.renderers[kind] = renderer;
}

void DrawRecordPlantFlushSet(PlantBatchFlushFn flush)
{
    g_drawRecordReplay.plantBatchFlush = flush;
}

void RenderSetSkyPass(bool on)
{
    g_drawRecordReplay.skyPass = on;
}

void DrawRecordsReplay()
{
    RenderSetState(D3DRS_ZWRITEENABLE, 0);
    RenderSetState(D3DRS_ZENABLE, D3DZB_TRUE);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    RenderSetState(D3DRS_FILLMODE, FillMode());
    RenderSetState(D3DRS_CULLMODE, D3DCULL_CW);
    RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
    SetSharedStates();

    for (u32_t i = 0; i < g_drawRecords.count; ++i) {
        DrawRecord* record = DrawRecordAt(i);
        const u32_t kind = record->Kind();
        if (kind == DRAW_RECORD_PLANT || kind >= DRAW_RECORD_KIND_COUNT)
            continue;
        if (kind == DRAW_RECORD_PLANT_FLUSH) {
            RunKindFiveStep();
            continue;
        }
        if (DrawRecordRenderer renderer = g_drawRecordReplay.renderers[kind])
            renderer(record);
        if (kind == DRAW_RECORD_STRETCHED_QUAD)
            RunKindFiveStep();
    }

    UnbindStream();
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
}

void DrawRecordsReplayPlants()
{
    for (int k = 0; k < PLANT_DIRECTION_COUNT; ++k) {
        g_drawRecordReplay.plantDirections[k][0] = std::cos(k * kPlantDirectionStep);
        g_drawRecordReplay.plantDirections[k][1] = std::sin(k * kPlantDirectionStep);
    }

    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetState(D3DRS_ALPHATESTENABLE, 1);
    RenderSetState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    RenderSetState(D3DRS_ALPHAREF, kPlantAlphaReference);
    RenderSetState(D3DRS_FILLMODE, FillMode());
    RenderSetState(D3DRS_CULLMODE, D3DCULL_CW);
    RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    SetSharedStates();

    if (DrawRecordRenderer plant = g_drawRecordReplay.renderers[DRAW_RECORD_PLANT]) {
        for (u32_t i = 0; i < g_drawRecords.count; ++i) {
            DrawRecord* record = DrawRecordAt(i);
            if (record->Kind() == DRAW_RECORD_PLANT)
                plant(record);
        }
    }
    RunKindFiveStep();

    UnbindStream();
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
}
