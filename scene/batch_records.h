// The map-item batching: near billboards and markers filed by texture during the object passes,
// so that a later pass of the frame draws all records of one texture together. What exists so far
// is the filling; the batch drawing belongs to the frame passes.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

constexpr u32_t BATCH_RECORD_MAX = 2048;

struct BatchRecord {
    IDirect3DTexture8* texture;  // the batch key
    float texCoords[4];          // u0, u1, v0, v1
    float width;
    float height;
    Vector3 position;
};

struct BatchRecordStore {
    BatchRecord records[BATCH_RECORD_MAX];
    u32_t count = 0;
    u8_t batchingOn = 1;  // off: producers draw directly
};

extern BatchRecordStore g_batchRecords;

// The next free record for the caller to fill, or null while batching is off or the store is
// full; BatchRecordCommit counts it.
BatchRecord* BatchRecordNext();
void BatchRecordCommit();
u32_t BatchRecordCount();
const BatchRecord* BatchRecordAt(u32_t index);
// Once per frame, after the batches are drawn.
void BatchRecordReset();
