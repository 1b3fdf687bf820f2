// The per-frame list of draw records: blended items (translucent meshes, particles, sprite
// markers) that the renderers queue while the opaque world is drawn, to be sorted back to front
// and replayed afterwards. Records live in one growable byte buffer and are reached through a table
// of byte offsets, because the buffer moves when it grows.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

constexpr u32_t DRAW_RECORD_BUFFER_START = 1024;  // bytes
constexpr u32_t DRAW_RECORD_INDEX_START = 64;     // entries

struct DrawRecordList {
    u8_t* buffer;         // null while the list is not made
    u32_t capacity;       // bytes
    u32_t used;           // bytes
    u32_t* index;         // one byte offset per record, in queueing order
    u32_t indexCapacity;  // entries
    u32_t count;          // records
    u8_t recordingOff;    // set while views that must not queue records are drawn
};

extern DrawRecordList g_drawRecords;

// Makes the buffer (1024 bytes) and the index table (64 entries), both empty. A list made
// earlier is freed first.
void DrawRecordListInit();
// Frees both blocks; addresses, capacities and counts become 0.
void DrawRecordListFree();

// Record kinds.
constexpr u32_t DRAW_RECORD_MESH = 0;
constexpr u32_t DRAW_RECORD_UPRIGHT_QUAD = 3;  // a far billboard: a quad upright and turned to the camera
constexpr u32_t DRAW_RECORD_KIND_MASK = 0x3F;

// The 128-byte header of a draw record; the payload, when asked for, follows it.
struct DrawRecord {
    float sortKey;  // squared distance from the camera
    u32_t flags;    // bits 0-5 the kind; 6-9 source blend; 10-13 destination blend; 16 animated
    D3DMATRIX world;
    u8_t* payload;  // the bytes behind the header, null without a payload
    u32_t zero;
    u32_t kindFields[11];
};
static_assert(sizeof(DrawRecord) == 128, "draw records keep a 128-byte header");

// The payload of a far billboard's record (kind 3).
struct BillboardDrawPayload {
    IDirect3DTexture8* texture;
    float width;
    float height;
    float u0, u1;     // texture coordinates across
    float v0, v1;     // and up
    D3DCOLOR colour;  // the fog colour, its alpha the share of the billboard that shows
};

// A new record of the kind with room for payloadBytes behind its header (the header zeroed but for
// the kind and the payload address); null while recording is off. The list grows as needed, also
// when it was never made. Valid until the next allocation or DrawRecordsClear.
DrawRecord* DrawRecordAlloc(u32_t kind, u32_t payloadBytes);
void DrawRecordSetRecordingOff(bool off);
u32_t DrawRecordCount();
DrawRecord* DrawRecordAt(u32_t index);
// Empties the list (its blocks stay).
void DrawRecordsClear();
