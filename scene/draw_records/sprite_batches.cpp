#include "scene/draw_records/sprite_batches.h"

#include "map/terrain/map_caches.h"
#include "map/meshes/map_mesh_reader.h"
#include "render/camera.h"
#include "render/device/dynamic_buffers.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "scene/draw_records/batch_records.h"
#include "scene/draw_records/stream_emit.h"
#include "scene/sky/sun_lights.h"

namespace {

void SetSpriteStates()
{
    RenderSetState(D3DRS_ZWRITEENABLE, 1);
    RenderSetState(D3DRS_ZENABLE, 1);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
    RenderSetState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    RenderSetState(D3DRS_ALPHAREF, 0x80);
    RenderSetState(D3DRS_ALPHATESTENABLE, 1);
    RenderSetState(D3DRS_FILLMODE, rbwireframe.Bool() ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
    RenderSetWrapAndMaterialSources();
    RenderSetState(D3DRS_SPECULARENABLE, 0);
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, ~0u);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, ~0u);
    RenderSetColorOp(1, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetAlphaOp(1, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetTexture(1, MapGetLightmapTexture());
    RenderSetColorOp(2, D3DTOP_DISABLE, ~0u, ~0u);
    RenderSetAlphaOp(2, D3DTOP_DISABLE, ~0u, ~0u);
    D3DMATRIX identity;
    MatrixSetIdentity(&identity);
    g_render.device->SetTransform(D3DTS_WORLD, &identity);
    RenderSetSunLights(0);
}

void EmitCorner(const Vector3& p, float u, float v, const float* lightmapUv)
{
    EmitPosition(p.x, p.y, p.z);
    float* out = reinterpret_cast<float*>(g_dynBuffers.vertexOut);
    out[0] = u;
    out[1] = v;
    out[2] = lightmapUv[0];
    out[3] = lightmapUv[1];
    DynVertexAdvance(4 * sizeof(float));
}

}  // namespace

void BatchRecordsDraw()
{
    if (!g_render.device)
        return;
    SetSpriteStates();
    StaticBufferBind(&g_dynBuffers.tex2Vertices);
    DynIndexBufferSelect(&g_dynBuffers.largeIndices);
    const D3DXVECTOR3 right = g_camera.right;
    bool locked = false;
    u32_t written = 0;
    auto flush = [&]() {
        if (!locked)
            return;
        DynBuffersUnlock();
        DynBuffersDrawIndexed(D3DPT_TRIANGLELIST, written, written / 4 * 6, true);
        locked = false;
        written = 0;
    };
    for (u32_t b = 0; b < BatchRecordBatchCount(); ++b) {
        const RecordBatch& batch = *BatchRecordBatchAt(b);
        RenderSetTexture(0, batch.key);
        for (u32_t i = 0; i < batch.count; ++i) {
            const BatchRecord& record = g_batchRecords.records[batch.records[i]];
            if (!locked) {
                DynBuffersLock(SPRITE_BLOCK_VERTICES, SPRITE_BLOCK_INDICES);
                locked = true;
            }
            const Vector3 r = {right.x * record.width * 0.5f, right.y * record.width * 0.5f,
                               right.z * record.width * 0.5f};
            const float up = record.height * 0.5f;
            const Vector3& p = record.position;
            const float position[3] = {p.x, p.y, p.z};
            float lightmapUv[2] = {0.0f, 0.0f};
            MapWorldToUV(lightmapUv, position);
            const float* t = record.texCoords;  // u left, u right, v top, v bottom
            EmitCorner({p.x - r.x, p.y - r.y - up, p.z - r.z}, t[0], t[3], lightmapUv);
            EmitCorner({p.x - r.x, p.y - r.y + up, p.z - r.z}, t[0], t[2], lightmapUv);
            EmitCorner({p.x + r.x, p.y + r.y + up, p.z + r.z}, t[1], t[2], lightmapUv);
            EmitCorner({p.x + r.x, p.y + r.y - up, p.z + r.z}, t[1], t[3], lightmapUv);
            const u16_t first = static_cast<u16_t>(written);
            EmitTriangle(first + 2, first + 1, first);
            EmitTriangle(first + 3, first + 1, first + 2);
            written += 4;
            if (written + 4 > SPRITE_BLOCK_VERTICES)
                flush();
        }
        flush();
    }
    StaticBufferBind(nullptr);
    DynIndexBufferSelect(nullptr);
}
