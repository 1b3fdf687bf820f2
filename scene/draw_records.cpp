#include "scene/draw_records.h"

#include <cstring>

DrawRecordList g_drawRecords = {};

namespace {

constexpr u32_t kRecordHeaderBytes = sizeof(DrawRecord);

// Payloads are kept pointer-aligned so that a payload may hold pointers.
u32_t AlignedPayload(u32_t bytes)
{
    const u32_t align = alignof(void*);
    return (bytes + align - 1) / align * align;
}

}  // namespace

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

DrawRecord* DrawRecordAlloc(u32_t kind, u32_t payloadBytes)
{
    DrawRecordList& list = g_drawRecords;
    if (list.recordingOff)
        return nullptr;
    const u32_t payload = AlignedPayload(payloadBytes);
    const u32_t needed = list.used + kRecordHeaderBytes + payload;
    if (needed > list.capacity) {
        u32_t capacity = list.capacity ? list.capacity : DRAW_RECORD_BUFFER_START;
        while (capacity < needed)
            capacity *= 2;
        u8_t* grown = new u8_t[capacity];
        if (list.used)
            std::memcpy(grown, list.buffer, list.used);
        delete[] list.buffer;
        list.buffer = grown;
        list.capacity = capacity;
    }
    if (list.count == list.indexCapacity) {
        const u32_t capacity = list.indexCapacity ? list.indexCapacity * 2 : DRAW_RECORD_INDEX_START;
        u32_t* grown = new u32_t[capacity];
        if (list.count)
            std::memcpy(grown, list.index, sizeof(u32_t) * list.count);
        delete[] list.index;
        list.index = grown;
        list.indexCapacity = capacity;
    }
    const u32_t offset = list.used;
    list.index[list.count++] = offset;
    list.used = needed;
    u8_t* bytes = list.buffer + offset;
    std::memset(bytes, 0, kRecordHeaderBytes + payload);
    DrawRecord* record = reinterpret_cast<DrawRecord*>(bytes);
    record->flags = kind & DRAW_RECORD_KIND_MASK;
    // The buffer may move with a later allocation: DrawRecordAt gives the address of the moment.
    record->payload = payloadBytes ? bytes + kRecordHeaderBytes : nullptr;
    return record;
}

void DrawRecordSetRecordingOff(bool off)
{
    g_drawRecords.recordingOff = off ? 1 : 0;
}

u32_t DrawRecordCount()
{
    return g_drawRecords.count;
}

DrawRecord* DrawRecordAt(u32_t index)
{
    if (index >= g_drawRecords.count)
        return nullptr;
    DrawRecord* record = reinterpret_cast<DrawRecord*>(g_drawRecords.buffer + g_drawRecords.index[index]);
    if (record->payload)
        record->payload = reinterpret_cast<u8_t*>(record) + kRecordHeaderBytes;
    return record;
}

void DrawRecordsClear()
{
    g_drawRecords.count = 0;
    g_drawRecords.used = 0;
}
