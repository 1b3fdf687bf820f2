// The per-frame list of draw records: blended items (translucent meshes, particles, sprite
// markers) that the renderers queue while the opaque world is drawn, to be sorted back to front
// and replayed afterwards. Records live in one growable byte buffer and are reached through a table
// of byte offsets, because the buffer moves when it grows.
#pragma once
#include "core/types.h"

constexpr u32_t DRAW_RECORD_BUFFER_START = 1024;  // bytes
constexpr u32_t DRAW_RECORD_INDEX_START = 64;     // entries

struct DrawRecordList {
    u8_t* buffer;         // null while the list is not made
    u32_t capacity;       // bytes
    u32_t used;           // bytes
    u32_t* index;         // one byte offset per record, in queueing order
    u32_t indexCapacity;  // entries
    u32_t count;          // records
};

extern DrawRecordList g_drawRecords;

// Makes the buffer (1024 bytes) and the index table (64 entries), both empty. A list made
// earlier is freed first.
void DrawRecordListInit();
// Frees both blocks; addresses, capacities and counts become 0.
void DrawRecordListFree();
