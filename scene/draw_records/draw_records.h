// The per-frame list of draw records: blended items (translucent meshes, particles, sprite
// markers) that the renderers queue while the opaque world is drawn, to be sorted back to front
// and replayed afterwards (scene/draw_records/draw_record_replay.h). Records live in one growable byte buffer
// and are reached through a table of byte offsets, because the buffer moves when it grows.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

class AnimMesh;
class Decal;
struct MeshSettings;

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

// Record kinds and the renderer each is replayed with.
constexpr u32_t DRAW_RECORD_MESH = 0;            // an interpolated two-frame mesh
constexpr u32_t DRAW_RECORD_PLANT = 1;           // a plant (the plant replay)
constexpr u32_t DRAW_RECORD_FACING_QUAD = 2;     // a quad facing the camera
constexpr u32_t DRAW_RECORD_UPRIGHT_QUAD = 3;    // a quad upright and turned to the camera (far billboards)
constexpr u32_t DRAW_RECORD_STRETCHED_QUAD = 4;  // a quad stretched along an axis, then the plant batch flush
constexpr u32_t DRAW_RECORD_PLANT_FLUSH = 5;     // the plant batch flush alone
constexpr u32_t DRAW_RECORD_GROUND_QUAD = 6;     // a quad flat on the ground
constexpr u32_t DRAW_RECORD_XY_QUAD = 7;         // an upright quad in the x-y plane
constexpr u32_t DRAW_RECORD_KIND_COUNT = 8;      // kinds with a renderer; 8-63 are skipped
constexpr u32_t DRAW_RECORD_KIND_MASK = 0x3F;

// Bits of the flags word.
constexpr u32_t DRAW_RECORD_SOURCE_BLEND_SHIFT = 6;        // 4 bits, a D3DBLEND value
constexpr u32_t DRAW_RECORD_DESTINATION_BLEND_SHIFT = 10;  // 4 bits
constexpr u32_t DRAW_RECORD_BLEND_MASK = 0xF;
constexpr u32_t DRAW_RECORD_ANIMATED = 1u << 16;  // the object was animated (RenderSetAnimatedFlag)

// The kind fields of a mesh record (kind 0).
struct MeshRecordFields {
    AnimMesh* mesh;
    const MeshSettings* lodRecords;
    IDirect3DTexture8* texture;
    const void* material;
    Decal* const* decals;
    u32_t meshWord;  // the mesh index in the low 16 bits, bit 16 the animated flag
    float frame;
    u32_t decalCount;
    u8_t twoSided;
    u8_t fade;
    u8_t step;
};

// The kind fields of the other kinds: pointer-sized words that the kind's queuer and renderer
// agree on.
constexpr int DRAW_RECORD_FIELD_WORDS = 7;
struct RawRecordFields {
    std::uintptr_t words[DRAW_RECORD_FIELD_WORDS];
};

// The header of a draw record; the payload, when asked for, follows it.
struct DrawRecord {
    float sortKey;  // squared distance from the camera
    u32_t flags;    // bits 0-5 the kind; 6-9 source blend; 10-13 destination blend; 16 animated
    D3DMATRIX world;
    u8_t* payload;  // the bytes behind the header, null without a payload
    union {
        MeshRecordFields mesh;
        RawRecordFields raw;
    } fields;

    u32_t Kind() const { return flags & DRAW_RECORD_KIND_MASK; }
    void SetBlend(u32_t source, u32_t destination)
    {
        flags = (flags & ~((DRAW_RECORD_BLEND_MASK << DRAW_RECORD_SOURCE_BLEND_SHIFT) |
                           (DRAW_RECORD_BLEND_MASK << DRAW_RECORD_DESTINATION_BLEND_SHIFT))) |
                ((source & DRAW_RECORD_BLEND_MASK) << DRAW_RECORD_SOURCE_BLEND_SHIFT) |
                ((destination & DRAW_RECORD_BLEND_MASK) << DRAW_RECORD_DESTINATION_BLEND_SHIFT);
    }
    u32_t SourceBlend() const { return (flags >> DRAW_RECORD_SOURCE_BLEND_SHIFT) & DRAW_RECORD_BLEND_MASK; }
    u32_t DestinationBlend() const { return (flags >> DRAW_RECORD_DESTINATION_BLEND_SHIFT) & DRAW_RECORD_BLEND_MASK; }
};
static_assert(sizeof(DrawRecord) % alignof(void*) == 0, "records follow each other pointer-aligned");

// The payload of a far billboard's record (kind 3).
struct BillboardDrawPayload {
    IDirect3DTexture8* texture;
    float width;
    float height;
    float u0, u1;     // texture coordinates across
    float v0, v1;     // and up
    D3DCOLOR colour;  // the fog colour, its alpha the share of the billboard that shows
};

// A new record of the kind with room for payloadBytes behind its header: the header and payload
// zero-filled but for the kind and the payload address. Null while recording is off, and when the
// list cannot grow (the item is then not drawn, as with recording off). The list grows as needed,
// also when it was never made. Valid until the next allocation or DrawRecordsClear.
DrawRecord* DrawRecordAlloc(u32_t kind, u32_t payloadBytes);
// While set, no record is made.
void DrawRecordSetRecordingOff(bool off);
u32_t DrawRecordCount();
// The record at that place of the index table (queueing order, or back to front after the sort).
DrawRecord* DrawRecordAt(u32_t index);
// Orders the index table back to front: greater sort keys first; keys that are not numbers (NaN:
// degenerate positions) last. Records with equal keys keep no defined order.
void DrawRecordsSort();
// Empties the list (its blocks stay).
void DrawRecordsClear();

// The largest buffer the list grows to; a record that would need more is not made.
constexpr u32_t DRAW_RECORD_BUFFER_LIMIT = 1u << 30;
