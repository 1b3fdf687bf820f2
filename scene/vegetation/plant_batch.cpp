#include "scene/vegetation/plant_batch.h"

#include <cmath>
#include <cstring>

#include "core/assert.h"
#include "platform/d3dx8_math.h"
#include "render/device/dynamic_buffers.h"
#include "render/device/render_context.h"
#include "render/device/state_cache.h"
#include "scene/draw_records/draw_record_replay.h"
#include "scene/draw_records/draw_records.h"
#include "scene/meshes/mesh_draw_shared.h"
#include "scene/draw_records/mesh_record_draw.h"
#include "scene/scene_state.h"

static_assert(sizeof(PlantRecordFields) <= sizeof(RawRecordFields), "a plant fits a record's kind fields");

const PlantShapeSize PlantShapeSizes[PLANT_SHAPE_COUNT] = {{10, 24}, {4, 6}};

bool rtm_plant_rendering = false;

namespace {

u32_t g_batchVertices = 0;
u32_t g_batchIndices = 0;

constexpr float kOneThird = 0.33333334f;

struct PlantVertex {
    float x, y, z;
    D3DCOLOR colour;
    float u, v;
};
static_assert(sizeof(PlantVertex) == 24, "XYZ, DIFFUSE, TEX1");

void LockBatch()
{
    DynBuffersLock(PlantBatchMaxVertices, PlantBatchMaxIndices);
    g_batchVertices = 0;
    g_batchIndices = 0;
}

void Put(PlantVertex*& out, float x, float y, float z, D3DCOLOR colour, float u, float v)
{
    *out++ = {x, y, z, colour, u, v};
}

void PutTriangles(const u16_t* local, u32_t count, u32_t first)
{
    const u32_t base = g_dynBuffers.baseVertex + first;
    for (u32_t i = 0; i < count; ++i)
        DynIndexPut(static_cast<u16_t>(base + local[i]));
}

}  // namespace

PlantRecordFields PlantRecordGet(const DrawRecord* record)
{
    PlantRecordFields fields;
    std::memcpy(&fields, &record->fields.raw, sizeof fields);
    return fields;
}

void PlantRecordSet(DrawRecord* record, const PlantRecordFields& fields)
{
    std::memcpy(&record->fields.raw, &fields, sizeof fields);
}

u32_t PlantBatchVertexCount()
{
    return g_batchVertices;
}

u32_t PlantBatchIndexCount()
{
    return g_batchIndices;
}

void PlantBatchBegin()
{
    ENGINE_ASSERT_TEXT(!rtm_plant_rendering, "!rtm_plant_rendering");
    rtm_plant_rendering = true;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    g_render.device->SetTransform(D3DTS_WORLD, &identity);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    mesh_draw_detail::SetLighting(false);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    // Directly on the device: the cache does not learn of it, as other direct binds.
    g_render.device->SetTexture(0, g_scene.vegetationTexture);
    DynBufferSelect(&g_dynBuffers.colTexVertices);
    DynIndexBufferSelect(&g_dynBuffers.largeIndices);
    LockBatch();
}

void PlantBatchDraw()
{
    DynBuffersUnlock();
    if (g_batchVertices > 0 && g_batchIndices > 0)
        DynBuffersDrawIndexed(D3DPT_TRIANGLELIST, g_batchVertices, g_batchIndices, true);
}

void PlantBatchFlush()
{
    if (!rtm_plant_rendering)
        return;
    rtm_plant_rendering = false;
    PlantBatchDraw();
    RenderSetState(D3DRS_CULLMODE, D3DCULL_CW);
}

void PlantRecordDraw(DrawRecord* record)
{
    const PlantRecordFields plant = PlantRecordGet(record);
    const u32_t shape = plant.shapeWord & 0xFFFF;
    const PlantShapeSize size = shape < PLANT_SHAPE_COUNT ? PlantShapeSizes[shape] : PlantShapeSize{0, 0};
    if (!rtm_plant_rendering) {
        PlantBatchBegin();
    } else if (g_batchVertices + size.vertices > PlantBatchMaxVertices ||
               g_batchIndices + size.indices > PlantBatchMaxIndices) {
        PlantBatchDraw();
        LockBatch();
    }
    if (size.vertices == 0)
        return;
    const u32_t b = g_batchVertices;
    g_batchVertices += size.vertices;
    g_batchIndices += size.indices;

    const float px = plant.base[0], py = plant.base[1], pz = plant.base[2];
    const float w = 10.0f * plant.halfWidth;
    const float h = 10.0f * plant.height;
    // A direction outside the table would read past it: it wraps round the circle instead.
    const u32_t k = ((plant.shapeWord >> 16) & 0xFF) % PLANT_DIRECTIONS;
    const float(*table)[2] = g_drawRecordReplay.plantDirections;
    const float cx = w * table[k][0], sx = w * table[k][1];
    const u32_t across = (k + 6) % PLANT_DIRECTIONS;
    const float cy = w * table[across][0], sy = w * table[across][1];
    const u32_t column = plant.image & 3, row = (plant.image >> 2) & 3;
    const float uL = column * 0.25f, uR = uL + 0.25f, uM = (uL + uR) * 0.5f;
    const float vT = row * 0.25f, vB = vT + 0.25f;
    const D3DCOLOR c = plant.colour;

    PlantVertex* out = reinterpret_cast<PlantVertex*>(g_dynBuffers.vertexOut);
    if (shape == PLANT_SHAPE_CROSSED) {
        const float s = std::sin(plant.swayPhase - 1.0f) * kOneThird;
        const float top = py + h;
        Put(out, px + s, top, pz, c, uM, vT);
        Put(out, px - cx + s, top, pz - sx, c, uL, vT);
        Put(out, px + cx + s, top, pz + sx, c, uR, vT);
        Put(out, px - cy + s, top, pz - sy, c, uL, vT);
        Put(out, px + cy + s, top, pz + sy, c, uR, vT);
        Put(out, px, py, pz, c, uM, vB);
        Put(out, px - cx, py, pz - sx, c, uL, vB);
        Put(out, px + cx, py, pz + sx, c, uR, vB);
        Put(out, px - cy, py, pz - sy, c, uL, vB);
        Put(out, px + cy, py, pz + sy, c, uR, vB);
        static const u16_t kWings[24] = {0, 2, 7, 0, 7, 5, 0, 3, 8, 0, 8, 5, 0, 1, 6, 0, 6, 5, 0, 4, 9, 0, 9, 5};
        PutTriangles(kWings, 24, b);
    } else {
        const D3DXVECTOR3 a(cx, 0.0f, sx);
        const D3DXVECTOR3 n(plant.normal[0], plant.normal[1], plant.normal[2]);
        D3DXVECTOR3 side, along;
        D3DXVec3Cross(&side, &a, &n);
        D3DXVec3Normalize(&side, &side);
        D3DXVec3Cross(&along, &n, &side);
        D3DXVec3Normalize(&along, &along);
        side = D3DXVECTOR3(side.x * w, side.y * w, side.z * w);
        along = D3DXVECTOR3(along.x * w, along.y * w, along.z * w);
        const float qx = px, qy = py + 1.0f, qz = pz;
        Put(out, qx - along.x, qy - along.y, qz - along.z, c, uL, vT);
        Put(out, qx + side.x, qy + side.y, qz + side.z, c, uR, vT);
        Put(out, qx + along.x, qy + along.y, qz + along.z, c, uR, vB);
        Put(out, qx - side.x, qy - side.y, qz - side.z, c, uL, vB);
        static const u16_t kQuad[6] = {0, 1, 2, 0, 2, 3};
        PutTriangles(kQuad, 6, b);
    }
    DynVertexWrittenTo(out);
}

void DrawRecordFlushPlants(DrawRecord*)
{
    PlantBatchFlush();
}

void PlantRenderersRegister()
{
    DrawRecordRendererSet(DRAW_RECORD_MESH, MeshRecordDraw);
    DrawRecordRendererSet(DRAW_RECORD_PLANT, PlantRecordDraw);
    DrawRecordPlantFlushSet(PlantBatchFlush);
}
