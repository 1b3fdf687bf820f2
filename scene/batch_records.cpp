#include "scene/batch_records.h"

BatchRecordStore g_batchRecords;

BatchRecord* BatchRecordNext()
{
    if (!g_batchRecords.batchingOn || g_batchRecords.count >= BATCH_RECORD_MAX)
        return nullptr;
    return &g_batchRecords.records[g_batchRecords.count];
}

void BatchRecordCommit()
{
    if (g_batchRecords.count < BATCH_RECORD_MAX)
        ++g_batchRecords.count;
}

u32_t BatchRecordCount()
{
    return g_batchRecords.count;
}

const BatchRecord* BatchRecordAt(u32_t index)
{
    return index < g_batchRecords.count ? &g_batchRecords.records[index] : nullptr;
}

void BatchRecordReset()
{
    g_batchRecords.count = 0;
}
