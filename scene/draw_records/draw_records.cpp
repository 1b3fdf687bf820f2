#include "scene/draw_records/draw_records.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "scene/draw_records/quad_records.h"

DrawRecordList g_drawRecords = {};

namespace {

constexpr u32_t kRecordHeaderBytes = sizeof(DrawRecord);

// Payloads are kept pointer-aligned so that a payload may hold pointers and the next header
// starts aligned.
std::uint64_t AlignedPayload(u32_t bytes)
{
    const std::uint64_t align = alignof(void*);
    return (std::uint64_t(bytes) + align - 1) / align * align;
}

// The buffer grows to hold needed bytes; false, with the list untouched, when it cannot.
bool GrowBuffer(DrawRecordList& list, std::uint64_t needed)
{
    if (needed <= list.capacity)
        return true;
    if (needed > DRAW_RECORD_BUFFER_LIMIT)
        return false;
    std::uint64_t capacity = list.capacity ? list.capacity : DRAW_RECORD_BUFFER_START;
    while (capacity < needed)
        capacity *= 2;
    u8_t* grown = new (std::nothrow) u8_t[capacity];
    if (!grown)
        return false;
    if (list.used)
        std::memcpy(grown, list.buffer, list.used);
    delete[] list.buffer;
    list.buffer = grown;
    list.capacity = static_cast<u32_t>(capacity);
    return true;
}

bool GrowIndex(DrawRecordList& list)
{
    if (list.count < list.indexCapacity)
        return true;
    const std::uint64_t capacity = list.indexCapacity ? std::uint64_t(list.indexCapacity) * 2 : DRAW_RECORD_INDEX_START;
    if (capacity * sizeof(u32_t) > DRAW_RECORD_BUFFER_LIMIT)
        return false;
    u32_t* grown = new (std::nothrow) u32_t[capacity];
    if (!grown)
        return false;
    if (list.count)
        std::memcpy(grown, list.index, sizeof(u32_t) * list.count);
    delete[] list.index;
    list.index = grown;
    list.indexCapacity = static_cast<u32_t>(capacity);
    return true;
}

const DrawRecord* RecordAtOffset(u32_t offset)
{
    return reinterpret_cast<const DrawRecord*>(g_drawRecords.buffer + offset);
}

}  // namespace

void DrawRecordListInit()
{
    DrawRecordListFree();
    g_drawRecords.buffer = new (std::nothrow) u8_t[DRAW_RECORD_BUFFER_START];
    g_drawRecords.capacity = g_drawRecords.buffer ? DRAW_RECORD_BUFFER_START : 0;
    g_drawRecords.index = new (std::nothrow) u32_t[DRAW_RECORD_INDEX_START];
    g_drawRecords.indexCapacity = g_drawRecords.index ? DRAW_RECORD_INDEX_START : 0;
    QuadRecordRenderersRegister();
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
    const std::uint64_t payload = AlignedPayload(payloadBytes);
    const std::uint64_t needed = std::uint64_t(list.used) + kRecordHeaderBytes + payload;
    if (!GrowBuffer(list, needed) || !GrowIndex(list))
        return nullptr;
    const u32_t offset = list.used;
    list.index[list.count++] = offset;
    list.used = static_cast<u32_t>(needed);
    u8_t* bytes = list.buffer + offset;
    // A reused buffer holds the bytes of earlier records: nothing of them may show through.
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

void DrawRecordsSort()
{
    DrawRecordList& list = g_drawRecords;
    if (list.count < 2)
        return;
    // A strict order: far before near, and a key that is not a number after every number (NaN
    // compares false both ways, which no sort may be handed).
    std::sort(list.index, list.index + list.count, [](u32_t a, u32_t b) {
        const float keyA = RecordAtOffset(a)->sortKey;
        const float keyB = RecordAtOffset(b)->sortKey;
        const bool nanA = std::isnan(keyA), nanB = std::isnan(keyB);
        if (nanA || nanB)
            return !nanA && nanB;
        return keyA > keyB;
    });
}

void DrawRecordsClear()
{
    g_drawRecords.count = 0;
    g_drawRecords.used = 0;
}
