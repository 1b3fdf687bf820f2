#include "scene/draw_records.h"

DrawRecordList g_drawRecords = {};

void DrawRecordListInit()
{
    DrawRecordListFree();
    g_drawRecords.buffer = new u8_t[DRAW_RECORD_BUFFER_START];
    g_drawRecords.capacity = DRAW_RECORD_BUFFER_START;
    g_drawRecords.index = new u32_t[DRAW_RECORD_INDEX_START];
    g_drawRecords.indexCapacity = DRAW_RECORD_INDEX_START;
}

void DrawRecordListFree()
{
    delete[] g_drawRecords.buffer;
    delete[] g_drawRecords.index;
    g_drawRecords.buffer = nullptr;
    g_drawRecords.index = nullptr;
    g_drawRecords.capacity = g_drawRecords.used = 0;
    g_drawRecords.indexCapacity = g_drawRecords.count = 0;
}
