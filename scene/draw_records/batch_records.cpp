#include "scene/draw_records/batch_records.h"

#include "scene/scene_state.h"

BatchRecordStore g_batchRecords;

BatchRecord* BatchRecordNext()
{
    BatchRecordStore& store = g_batchRecords;
    if (!g_scene.batching || store.suspended || store.count >= BATCH_RECORD_MAX)
        return nullptr;
    return &store.records[store.count];
}

bool BatchRecordCommit()
{
    BatchRecordStore& store = g_batchRecords;
    if (store.count >= BATCH_RECORD_MAX)
        return false;
    IDirect3DTexture8* key = store.records[store.count].texture;
    RecordBatch* batch = nullptr;
    for (u32_t i = 0; i < store.batchCount && !batch; ++i) {
        if (store.batches[i].key == key)
            batch = &store.batches[i];
    }
    if (!batch) {
        if (store.batchCount >= BATCH_MAX_KEYS)
            return false;
        batch = &store.batches[store.batchCount++];
        batch->key = key;
        batch->count = 0;
    } else if (batch->count >= BATCH_MAX_RECORDS_PER_KEY) {
        return false;
    }
    batch->records[batch->count++] = store.count++;
    return true;
}

u32_t BatchRecordCount()
{
    return g_batchRecords.count;
}

const BatchRecord* BatchRecordAt(u32_t index)
{
    return index < g_batchRecords.count ? &g_batchRecords.records[index] : nullptr;
}

u32_t BatchRecordBatchCount()
{
    return g_batchRecords.batchCount;
}

const RecordBatch* BatchRecordBatchAt(u32_t index)
{
    return index < g_batchRecords.batchCount ? &g_batchRecords.batches[index] : nullptr;
}

void BatchRecordSetSuspended(bool suspended)
{
    g_batchRecords.suspended = suspended ? 1 : 0;
}

void BatchRecordReset()
{
    for (u32_t i = 0; i < g_batchRecords.batchCount; ++i)
        g_batchRecords.batches[i].count = 0;
    g_batchRecords.batchCount = 0;
    g_batchRecords.count = 0;
}
