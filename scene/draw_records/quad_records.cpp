#include "scene/draw_records/quad_records.h"

#include <cstring>

#include "core/frame_view.h"
#include "render/camera.h"
#include "render/device/dynamic_buffers.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "scene/draw_records/draw_record_replay.h"
#include "scene/meshes/mesh_draw.h"
#include "scene/meshes/mesh_draw_shared.h"
#include "scene/vegetation/plant_batch.h"
#include "scene/render_services.h"
#include "scene/scene_state.h"
#include "scene/draw_records/stream_emit.h"
#include "world/decals/decal.h"

namespace {

constexpr u32_t kAlphaReference = 0xA0;

D3DXVECTOR3 ViewColumn(int column)
{
    const D3DMATRIX& view = g_camera.view;
    return D3DXVECTOR3(view.m[0][column], view.m[1][column], view.m[2][column]);
}

D3DXVECTOR3 Normalised(const D3DXVECTOR3& v)
{
    D3DXVECTOR3 out;
    D3DXVec3Normalize(&out, &v);
    return out;
}

D3DXVECTOR3 Centre(const DrawRecord* record)
{
    return D3DXVECTOR3(record->world._41, record->world._42, record->world._43);
}

void PutVertex(float* out, const D3DXVECTOR3& p, float u, float v)
{
    EmitPositionUv(out, p.x, p.y, p.z, u, v);
}

void DrawKind(DrawRecord* record, u32_t kind)
{
    const QuadRecordFields quad = QuadRecordRead(record);
    D3DXVECTOR3 a, b;
    QuadHalfAxes(kind, record, quad, &a, &b);
    RecordQuadDraw(record, a, b);
}

}  // namespace

QuadRecordFields QuadRecordRead(const DrawRecord* record)
{
    QuadRecordFields quad;
    std::memcpy(&quad, &record->fields, sizeof quad);
    if (record->Kind() == DRAW_RECORD_UPRIGHT_QUAD && record->payload) {
        BillboardDrawPayload payload;
        std::memcpy(&payload, record->payload, sizeof payload);
        quad = {};
        quad.texture = payload.texture;
        quad.u[0] = payload.u0;
        quad.u[1] = payload.u1;
        quad.v[0] = payload.v0;
        quad.v[1] = payload.v1;
        quad.colour = payload.colour;
        quad.width = payload.width;
        quad.height = payload.height;
    }
    return quad;
}

void QuadHalfAxes(u32_t kind, const DrawRecord* record, const QuadRecordFields& quad, D3DXVECTOR3* a, D3DXVECTOR3* b)
{
    const D3DXVECTOR3 centre = Centre(record);
    const D3DXVECTOR3 camera = g_camera.position;
    if (kind == DRAW_RECORD_STRETCHED_QUAD) {
        const D3DXVECTOR3 axis(quad.turn[0], quad.turn[1], quad.turn[2]);
        const D3DXVECTOR3 view = ViewColumn(2);
        D3DXVECTOR3 across;
        D3DXVec3Cross(&across, &view, &axis);
        *a = across * (quad.width * 0.5f);
        *b = axis * (quad.height * 0.5f);
        return;
    }
    D3DXVECTOR3 r, u, turnAxis;
    const D3DXVECTOR3 d = centre - camera;
    switch (kind) {
        case DRAW_RECORD_FACING_QUAD:
            r = ViewColumn(0);
            u = ViewColumn(1);
            turnAxis = Normalised(d);
            break;
        case DRAW_RECORD_UPRIGHT_QUAD:
            r = Normalised(D3DXVECTOR3(d.z, 0.0f, -d.x));
            u = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
            turnAxis = Normalised(D3DXVECTOR3(d.x, 0.0f, d.z));
            break;
        case DRAW_RECORD_GROUND_QUAD:
            r = D3DXVECTOR3(1.0f, 0.0f, 0.0f);
            u = D3DXVECTOR3(0.0f, 0.0f, -1.0f);
            turnAxis = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
            break;
        default:  // DRAW_RECORD_XY_QUAD
            r = D3DXVECTOR3(1.0f, 0.0f, 0.0f);
            u = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
            turnAxis = D3DXVECTOR3(0.0f, 0.0f, 1.0f);
            break;
    }
    if (quad.turn[0] != 0.0f) {
        D3DXMATRIX m;
        DecalBuildProjection(&m, &centre, &turnAxis, quad.turn[0]);
        D3DXVECTOR3 turnedR, turnedU;
        D3DXVec3TransformNormal(&turnedR, &r, &m);
        D3DXVec3TransformNormal(&turnedU, &u, &m);
        r = turnedR;
        u = turnedU;
        if (kind == DRAW_RECORD_UPRIGHT_QUAD) {
            r = Normalised(r);
            u = Normalised(u);
        }
    }
    *a = r * (quad.width * 0.5f);
    *b = u * (quad.height * 0.5f);
}

void QuadRecordGeometry(const QuadRecordFields& quad, const D3DXVECTOR3& a, const D3DXVECTOR3& b, float* vertices,
                        u16_t* indices)
{
    PutVertex(vertices + 0, b - a, quad.u[0], quad.v[0]);
    PutVertex(vertices + 5, b + a, quad.u[1], quad.v[0]);
    PutVertex(vertices + 10, a - b, quad.u[1], quad.v[1]);
    PutVertex(vertices + 15, -a - b, quad.u[0], quad.v[1]);
    const u16_t order[12] = {0, 2, 1, 0, 3, 2, 0, 1, 2, 0, 2, 3};
    std::memcpy(indices, order, sizeof order);
}

void RecordQuadDraw(DrawRecord* record, const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    // An open plant batch holds the streaming buffers locked and its states set: drawn first.
    PlantBatchFlush();
    IDirect3DDevice8* device = g_render.device;
    if (!device)
        return;
    const QuadRecordFields quad = QuadRecordRead(record);
    u32_t source = record->SourceBlend(), destination = record->DestinationBlend();
    if (source == 0 && destination == 0) {
        // A far billboard's record names no blend.
        source = D3DBLEND_SRCALPHA;
        destination = D3DBLEND_INVSRCALPHA;
    }
    device->SetTransform(D3DTS_WORLD, &record->world);
    mesh_draw_detail::SetLighting(false);
    RenderSetState(D3DRS_SRCBLEND, source);
    RenderSetState(D3DRS_DESTBLEND, destination);
    RenderSetState(D3DRS_TEXTUREFACTOR, quad.colour);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    RenderSetTexture(0, quad.texture);
    const bool second = quad.secondStage != 0.0f;
    RenderSetState(D3DRS_ALPHATESTENABLE, quad.alphaTested ? 1 : 0);
    if (quad.alphaTested)
        RenderSetState(D3DRS_ALPHAREF, kAlphaReference);
    if (second) {
        RenderSetTexture(1, quad.texture);
        RenderSetColorOp(1, D3DTOP_BLENDFACTORALPHA, D3DTA_TFACTOR, ~0u);
        RenderSetAlphaOp(1, D3DTOP_BLENDTEXTUREALPHA, D3DTA_TFACTOR, ~0u);
        RenderSetColorOp(2, D3DTOP_DISABLE, ~0u, ~0u);
        RenderSetAlphaOp(2, D3DTOP_DISABLE, ~0u, ~0u);
        RenderSetState(D3DRS_ALPHATESTENABLE, quad.alphaTested ? 1 : 0);
        if (quad.alphaTested)
            RenderSetState(D3DRS_ALPHAREF, 1);
    }
    RenderSetStageState(0, D3DTSS_MIPFILTER, quad.noMip ? D3DTEXF_NONE : D3DTEXF_LINEAR);
    const bool underWaterFog = RenderViewUnderWater && rbfog.Bool() && !g_frameView.viewModeToggle;
    if (underWaterFog)
        UnderwaterFogStageBegin(1);

    StaticBufferBind(&g_dynBuffers.texVertices);
    DynIndexBufferSelect(&g_dynBuffers.largeIndices);
    DynBuffersLock(4, 12);
    float vertices[4 * 5];
    u16_t indices[12];
    QuadRecordGeometry(quad, a, b, vertices, indices);
    std::memcpy(g_dynBuffers.vertexOut, vertices, sizeof vertices);
    DynVertexAdvance(sizeof vertices);
    for (int i = 0; i < 12; i += 3)
        EmitTriangle(indices[i], indices[i + 1], indices[i + 2]);
    DynBuffersUnlock();
    if (quad.inFront)
        RenderSetFullViewport(true);
    DynBuffersDrawIndexed(D3DPT_TRIANGLELIST, 4, 12, true);
    if (quad.inFront)
        RenderSetFullViewport(false);

    if (second) {
        RenderSetTexture(1, nullptr);
        RenderSetColorOp(1, D3DTOP_DISABLE, ~0u, ~0u);
        RenderSetAlphaOp(1, D3DTOP_DISABLE, ~0u, ~0u);
    }
    if (quad.alphaTested) {
        RenderSetState(D3DRS_ALPHATESTENABLE, 0);
        RenderSetState(D3DRS_ALPHAREF, kAlphaReference);
    }
    // Ended only where it began, so that a quad without the second stage leaves stage 1 alone.
    if (underWaterFog)
        UnderwaterFogStageEnd(1);
}

void RecordBillboardDraw(DrawRecord* record)
{
    DrawKind(record, DRAW_RECORD_FACING_QUAD);
}

void RecordUprightQuadDraw(DrawRecord* record)
{
    DrawKind(record, DRAW_RECORD_UPRIGHT_QUAD);
}

void RecordAxisQuadDraw(DrawRecord* record)
{
    DrawKind(record, DRAW_RECORD_STRETCHED_QUAD);
}

void RecordGroundQuadDraw(DrawRecord* record)
{
    DrawKind(record, DRAW_RECORD_GROUND_QUAD);
}

void RecordWallQuadDraw(DrawRecord* record)
{
    DrawKind(record, DRAW_RECORD_XY_QUAD);
}

void QuadRecordRenderersRegister()
{
    DrawRecordRendererSet(DRAW_RECORD_FACING_QUAD, RecordBillboardDraw);
    DrawRecordRendererSet(DRAW_RECORD_UPRIGHT_QUAD, RecordUprightQuadDraw);
    DrawRecordRendererSet(DRAW_RECORD_STRETCHED_QUAD, RecordAxisQuadDraw);
    DrawRecordRendererSet(DRAW_RECORD_GROUND_QUAD, RecordGroundQuadDraw);
    DrawRecordRendererSet(DRAW_RECORD_XY_QUAD, RecordWallQuadDraw);
}
