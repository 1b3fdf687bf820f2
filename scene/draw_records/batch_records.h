// The map-item batching: near billboards and markers filed by texture during the object passes,
// so that a later pass of the frame (BatchRecordsDraw) draws all records of one texture together as
// lightmapped camera-facing sprites.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

constexpr u32_t BATCH_RECORD_MAX = 2048;
constexpr u32_t BATCH_MAX_RECORDS_PER_KEY = 1023;
constexpr u32_t BATCH_MAX_KEYS = 512;

struct BatchRecord {
    IDirect3DTexture8* texture;  // the batch key
    float texCoords[4];          // u left, u right, v top, v bottom
    float width;
    float height;
    Vector3 position;  // the sprite's centre
};

// The records of one key in filing order.
struct RecordBatch {
    IDirect3DTexture8* key;
    u32_t records[BATCH_MAX_RECORDS_PER_KEY];
    u32_t count;
};

struct BatchRecordStore {
    BatchRecord records[BATCH_RECORD_MAX];
    u32_t count = 0;
    RecordBatch batches[BATCH_MAX_KEYS];
    u32_t batchCount = 0;
    u8_t suspended = 0;  // set while something must draw directly
};

extern BatchRecordStore g_batchRecords;

// The next free record for the caller to fill, or null while batching is off (RenderSetBatching), recording is
// suspended or the record table is full; BatchRecordCommit files and counts it.
BatchRecord* BatchRecordNext();
// Files the record BatchRecordNext gave under its key (a new batch for a key not seen this frame)
// and counts it. False, with nothing filed or counted, when the key's batch or the batch table is
// full: the producer then draws the item directly.
bool BatchRecordCommit();
u32_t BatchRecordCount();
const BatchRecord* BatchRecordAt(u32_t index);
u32_t BatchRecordBatchCount();
const RecordBatch* BatchRecordBatchAt(u32_t index);
void BatchRecordSetSuspended(bool suspended);
// Once per frame, after the batches are drawn: no record and no batch.
void BatchRecordReset();
