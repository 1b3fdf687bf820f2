// The replays of the draw-record list (scene/draw_records/draw_records.h): the first replay runs every record of
// kinds 0 and 2-7 with the render states those kinds share, the plant replay every plant record.
// The record renderers register themselves in the kind table; a kind without a renderer, and kinds
// 8-63, are skipped. Neither replay clears the list.
#pragma once
#include "core/types.h"
#include "scene/draw_records/draw_records.h"

using DrawRecordRenderer = void (*)(DrawRecord* record);
using PlantBatchFlushFn = void (*)();

constexpr int PLANT_DIRECTION_COUNT = 24;

struct DrawRecordReplayState {
    // The renderer of each kind, null while its renderer does not exist. Kind 5's entry is unused:
    // its step is the plant batch flush.
    DrawRecordRenderer renderers[DRAW_RECORD_KIND_COUNT];
    // The kind-5 step: flushes the plant batch when one is pending (PlantBatchFlush).
    PlantBatchFlushFn plantBatchFlush;
    bool skyPass;  // the sky objects are being drawn (read by the mesh kind)
    // (cos, sin) of k x 15 degrees for k = 0..23, filled at every start of the plant replay.
    float plantDirections[PLANT_DIRECTION_COUNT][2];
};

extern DrawRecordReplayState g_drawRecordReplay;

// Sets (or, with null, clears) the renderer of a kind; kinds 5 and 8 and above are refused.
void DrawRecordRendererSet(u32_t kind, DrawRecordRenderer renderer);
void DrawRecordPlantFlushSet(PlantBatchFlushFn flush);
void RenderSetSkyPass(bool on);

// The first replay: kinds 0 and 2-7 in index order (kind 4 followed by the kind-5 step).
void DrawRecordsReplay();
// The plant replay: kind 1 in index order, then the kind-5 step once.
void DrawRecordsReplayPlants();
