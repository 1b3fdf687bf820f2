// The queue of deferred draw records and the store of batched near billboards.
#include "scene/draw_records.h"

#include <cstring>

#include "scene/scene_state.h"

namespace {

constexpr u32_t kRecordHeaderBytes = sizeof(DrawRecord);
constexpr u32_t kInitialBufferBytes = 1024;
constexpr u32_t kInitialOffsets = 64;

// Payloads are kept pointer-aligned so that a payload may hold pointers.
u32_t AlignedPayload(u32_t bytes)
{
    const u32_t align = alignof(void*);
    return (bytes + align - 1) / align * align;
}

}  // namespace

DrawRecord* DrawRecordAlloc(u32_t kind, u32_t payloadBytes)
{
    DrawRecordList& list = g_scene.drawRecords;
    if (list.recordingOff)
        return nullptr;
    const u32_t payload = AlignedPayload(payloadBytes);
    const u32_t needed = list.used + kRecordHeaderBytes + payload;
    if (needed > list.capacity) {
        u32_t capacity = list.capacity ? list.capacity : kInitialBufferBytes;
        while (capacity < needed)
            capacity *= 2;
        u8_t* grown = new u8_t[capacity];
        if (list.used)
            std::memcpy(grown, list.buffer, list.used);
        delete[] list.buffer;
        list.buffer = grown;
        list.capacity = capacity;
    }
    if (list.count == list.offsetCapacity) {
        const u32_t capacity = list.offsetCapacity ? list.offsetCapacity * 2 : kInitialOffsets;
        u32_t* grown = new u32_t[capacity];
        if (list.count)
            std::memcpy(grown, list.offsets, sizeof(u32_t) * list.count);
        delete[] list.offsets;
        list.offsets = grown;
        list.offsetCapacity = capacity;
    }
    const u32_t offset = list.used;
    list.offsets[list.count++] = offset;
    list.used = needed;
    u8_t* bytes = list.buffer + offset;
    std::memset(bytes, 0, kRecordHeaderBytes + payload);
    DrawRecord* record = reinterpret_cast<DrawRecord*>(bytes);
    record->flags = kind & DRAW_RECORD_KIND_MASK;
    // The buffer may move with a later allocation: payload addresses are those of the moment.
    record->payload = payloadBytes ? bytes + kRecordHeaderBytes : nullptr;
    return record;
}

void DrawRecordSetRecordingOff(bool off)
{
    g_scene.drawRecords.recordingOff = off ? 1 : 0;
}

u32_t DrawRecordCount()
{
    return g_scene.drawRecords.count;
}

DrawRecord* DrawRecordAt(u32_t index)
{
    const DrawRecordList& list = g_scene.drawRecords;
    if (index >= list.count)
        return nullptr;
    DrawRecord* record = reinterpret_cast<DrawRecord*>(list.buffer + list.offsets[index]);
    if (record->payload)
        record->payload = reinterpret_cast<u8_t*>(record) + kRecordHeaderBytes;
    return record;
}

void DrawRecordsClear()
{
    g_scene.drawRecords.count = 0;
    g_scene.drawRecords.used = 0;
}

void DrawRecordListFree()
{
    DrawRecordList& list = g_scene.drawRecords;
    delete[] list.buffer;
    delete[] list.offsets;
    list.buffer = nullptr;
    list.offsets = nullptr;
    list.capacity = list.used = list.offsetCapacity = list.count = 0;
}

BatchRecord* BatchRecordNext()
{
    BatchRecordStore& store = g_scene.batches;
    if (!store.batchingOn || store.count >= BATCH_RECORD_MAX)
        return nullptr;
    return &store.records[store.count];
}

void BatchRecordCommit()
{
    BatchRecordStore& store = g_scene.batches;
    if (store.count < BATCH_RECORD_MAX)
        ++store.count;
}

u32_t BatchRecordCount()
{
    return g_scene.batches.count;
}

const BatchRecord* BatchRecordAt(u32_t index)
{
    return index < g_scene.batches.count ? &g_scene.batches.records[index] : nullptr;
}

void BatchRecordReset()
{
    g_scene.batches.count = 0;
}
