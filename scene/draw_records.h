// Deferred drawing: the per-frame list of draw records (blended meshes, particles, far billboards)
// that the frame replays back to front, and the map-item batching of near billboards. What exists
// so far is the queueing; the replays belong to the frame passes.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

// Record kinds.
constexpr u32_t DRAW_RECORD_MESH = 0;
constexpr u32_t DRAW_RECORD_UPRIGHT_QUAD = 3;  // a far billboard: a quad upright and turned to the camera
constexpr u32_t DRAW_RECORD_KIND_MASK = 0x3F;
constexpr u32_t BATCH_RECORD_MAX = 2048;

// The 128-byte header of a draw record; the payload, when asked for, follows it.
struct DrawRecord {
    float sortKey;        // squared distance from the camera
    u32_t flags;          // bits 0-5 the kind; 6-9 source blend; 10-13 destination blend; 16 animated
    D3DMATRIX world;
    u8_t* payload;        // the bytes behind the header, null without a payload
    u32_t zero;
    u32_t kindFields[11];
};
static_assert(sizeof(DrawRecord) == 128, "draw records keep a 128-byte header");

// The payload of a far billboard's record (kind 3).
struct BillboardDrawPayload {
    IDirect3DTexture8* texture;
    float width;
    float height;
    float u0, u1;  // texture coordinates across
    float v0, v1;  // and up
    D3DCOLOR colour;  // the fog colour, its alpha the share of the billboard that shows
};

// A near billboard for the map-item batching.
struct BatchRecord {
    IDirect3DTexture8* texture;  // the batch key
    float texCoords[4];          // u0, u1, v0, v1
    float width;
    float height;
    Vector3 position;
};

// The record list (g_scene.drawRecords).
struct DrawRecordList {
    u8_t* buffer = nullptr;
    u32_t capacity = 0;  // bytes
    u32_t used = 0;
    u32_t* offsets = nullptr;  // one per record, in order of queueing
    u32_t offsetCapacity = 0;
    u32_t count = 0;
    u8_t recordingOff = 0;
};

// The batching store (g_scene.batches).
struct BatchRecordStore {
    BatchRecord records[BATCH_RECORD_MAX];
    u32_t count = 0;
    u8_t batchingOn = 1;
};

// A new record of the kind with room for payloadBytes behind its header (header zeroed but for
// the kind and the payload address); null while recording is off. Valid until the next
// allocation or DrawRecordsClear.
DrawRecord* DrawRecordAlloc(u32_t kind, u32_t payloadBytes);
void DrawRecordSetRecordingOff(bool off);
u32_t DrawRecordCount();
DrawRecord* DrawRecordAt(u32_t index);
// Empties the list (its blocks stay).
void DrawRecordsClear();
// Frees the list's blocks.
void DrawRecordListFree();

// The next free batch record for the caller to fill, or null while batching is off or the store
// is full; BatchRecordCommit counts it.
BatchRecord* BatchRecordNext();
void BatchRecordCommit();
u32_t BatchRecordCount();
const BatchRecord* BatchRecordAt(u32_t index);
// Once per frame, after the batches are drawn.
void BatchRecordReset();
