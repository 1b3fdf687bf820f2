// The textured quad record renderers: particles, sprite markers and far billboards queued as draw
// records of kinds 2, 3, 4, 6 and 7 and drawn by the first replay. Each kind decides how its quad is
// turned; RecordQuadDraw draws the two-sided quad from two half axes.
#pragma once
#include "core/types.h"
#include "platform/d3dx8_math.h"
#include "scene/draw_records/draw_records.h"

// The kind fields of a quad record (in DrawRecord::fields); the record's world matrix is a
// translation to the quad's centre, since the half axes are world directions.
struct QuadRecordFields {
    IDirect3DTexture8* texture;  // may be null
    float secondStage;           // not 0: the texture also on stage 1, blended by the colour's alpha
    float u[2];                  // u at the left and at the right edge
    float v[2];                  // v at the top and at the bottom edge
    D3DCOLOR colour;             // the texture factor
    float width;
    float height;
    u8_t inFront;      // drawn at depth 0 (not hidden by nearer geometry)
    u8_t noMip;        // no mip filtering
    u8_t alphaTested;  // alpha test at 0xA0 (at 1 with the second stage)
    u8_t unused;
    // Kinds 2, 3, 6, 7: [0] the rotation angle about the facing axis (0: none). Kind 4: the quad's
    // long axis (not normalised).
    float turn[3];
};
static_assert(sizeof(QuadRecordFields) <= sizeof(RawRecordFields), "quad fields live in the record header");

inline QuadRecordFields* QuadFields(DrawRecord* record)
{
    return reinterpret_cast<QuadRecordFields*>(&record->fields);
}

// A record's quad fields: a far billboard's record (kind 3 with its payload) is read from the
// payload, blended by source alpha when it names no blend.
QuadRecordFields QuadRecordRead(const DrawRecord* record);

// Half axes A and B of a kind's quad for the record (the camera's view matrix and position).
void QuadHalfAxes(u32_t kind, const DrawRecord* record, const QuadRecordFields& quad, D3DXVECTOR3* a, D3DXVECTOR3* b);

// The quad's four VertexPT vertices (5 floats each: position, u, v) and its 12 indices: both
// windings, so that it shows from either side whatever the culling mode.
void QuadRecordGeometry(const QuadRecordFields& quad, const D3DXVECTOR3& a, const D3DXVECTOR3& b, float* vertices,
                        u16_t* indices);

// Draws one quad centred on the record's matrix with corners B - A, B + A, A - B, -A - B.
void RecordQuadDraw(DrawRecord* record, const D3DXVECTOR3& a, const D3DXVECTOR3& b);
void RecordBillboardDraw(DrawRecord* record);
void RecordUprightQuadDraw(DrawRecord* record);
void RecordAxisQuadDraw(DrawRecord* record);
void RecordGroundQuadDraw(DrawRecord* record);
void RecordWallQuadDraw(DrawRecord* record);

// Registers the five renderers as the replay's kinds 2, 3, 4, 6 and 7.
void QuadRecordRenderersRegister();
