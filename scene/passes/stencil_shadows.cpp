#include "scene/passes/stencil_shadows.h"

#include <cstring>

#include "core/assert.h"
#include "map/map_cvars.h"
#include "map/octree/object_grid.h"
#include "map/registry/world_registry.h"
#include "render/camera.h"
#include "render/draw2d/colour_pack.h"
#include "render/device/dynamic_buffers.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "scene/scene_cvars.h"
#include "scene/scene_state.h"
#include "scene/draw_records/stream_emit.h"
#include "world/objects/shadow_object.h"
#include "world/nodes/shadow_volume.h"
#include "world/wires/wires.h"

namespace {

constexpr u32_t kFrontFactor = 0x40000070;
constexpr u32_t kBackFactor = 0x40700000;
constexpr u32_t kMapStencil = 8;

bool VolumePassRuns()
{
    return rbshadows.Bool() && g_render.device && g_render.stencil && !RenderViewUnderWater;
}

void SetVolumeStates(bool zPass)
{
    RenderSetState(D3DRS_ZWRITEENABLE, 0);
    RenderSetState(D3DRS_ZENABLE, 1);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetState(D3DRS_SRCBLEND, rbwireframe.Bool() ? D3DBLEND_ONE : D3DBLEND_ZERO);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    RenderSetState(D3DRS_LIGHTING, 0);
    RenderSetState(D3DRS_FILLMODE, D3DFILL_SOLID);
    RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    RenderSetStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
    RenderSetStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    RenderSetStageState(1, D3DTSS_TEXCOORDINDEX, 1);
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, ~0u);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, ~0u);
    RenderSetColorOp(1, D3DTOP_DISABLE, ~0u, ~0u);
    RenderSetAlphaOp(1, D3DTOP_DISABLE, ~0u, ~0u);
    StaticBufferBind(&g_dynBuffers.posVertices);
    DynIndexBufferSelect(&g_dynBuffers.smallIndices);

    D3DMATRIX identity;
    MatrixSetIdentity(&identity);
    g_render.device->SetTransform(D3DTS_WORLD, &identity);
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, g_camera.fovY, g_camera.aspect, g_camera.nearPlane - 0.001f,
                               mfrange.Float() * 10.0f);
    g_render.device->SetTransform(D3DTS_PROJECTION, &projection);

    RenderSetState(D3DRS_STENCILENABLE, 1);
    RenderSetState(D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP);
    RenderSetState(D3DRS_STENCILMASK, 0xFFFFFFFF);
    RenderSetState(D3DRS_STENCILREF, 0);
    RenderSetState(D3DRS_STENCILWRITEMASK, 0xFFFFFFFF);
    RenderSetState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    RenderSetState(zPass ? D3DRS_STENCILZFAIL : D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
}

// One piece into the streaming buffers, drawn twice: the faces of one side count up, the others down.
void DrawPiece(const ShadowVolumePiece& piece, bool zPass)
{
    const u32_t firstTriangle = zPass ? piece.capCount : 0;
    if (piece.triangleCount == 0 || firstTriangle >= piece.triangleCount)
        return;
    const u32_t indexCount = (piece.triangleCount - firstTriangle) * 3;
    // A piece the buffers cannot take is left out rather than overrunning them.
    if (piece.vertexCount == 0 || piece.vertexCount > SHADOW_PASS_MAX_VERTICES ||
        piece.vertexCount > g_dynBuffers.posVertices.size / g_dynBuffers.posVertices.vertexSize ||
        indexCount > SHADOW_PASS_MAX_INDICES || indexCount > g_dynBuffers.smallIndices.size)
        return;
    DynBuffersLock(piece.vertexCount, indexCount);
    std::memcpy(g_dynBuffers.vertexOut, piece.vertices, size_t(piece.vertexCount) * 3 * sizeof(float));
    const u16_t base = g_dynBuffers.baseVertex;
    const u16_t* in = piece.indices + size_t(firstTriangle) * 3;
    for (u32_t i = 0; i < indexCount; ++i) {
        const u16_t index = in[i] < piece.vertexCount ? in[i] : 0;
        g_dynBuffers.indexOut[i] = static_cast<u16_t>(base + index);
    }
    DynBuffersUnlock();
    const D3DRENDERSTATETYPE counted = zPass ? D3DRS_STENCILPASS : D3DRS_STENCILZFAIL;
    RenderSetState(counted, D3DSTENCILOP_INCR);
    RenderSetState(D3DRS_TEXTUREFACTOR, kFrontFactor);
    RenderSetState(D3DRS_CULLMODE, zPass ? D3DCULL_CW : D3DCULL_CCW);
    DynBuffersDrawIndexed(D3DPT_TRIANGLELIST, piece.vertexCount, indexCount, false);
    RenderSetState(counted, D3DSTENCILOP_DECR);
    RenderSetState(D3DRS_TEXTUREFACTOR, kBackFactor);
    RenderSetState(D3DRS_CULLMODE, zPass ? D3DCULL_CCW : D3DCULL_CW);
    DynBuffersDrawIndexed(D3DPT_TRIANGLELIST, piece.vertexCount, indexCount, true);
}

void VolumePass(ObjectGridEntry* const* records, u32_t count, bool externalCamera, bool zPass)
{
    if (!VolumePassRuns())
        return;
    SetVolumeStates(zPass);
    for (u32_t i = 0; i < count; ++i) {
        if (!ShadowRecordDrawn(records[i], externalCamera))
            continue;
        ShadowVolume* volume =
            static_cast<ShadowVolume*>(static_cast<ShadowObject*>(static_cast<DynamicObject*>(records[i]->owner)));
        volume->Rebuild();
        for (u32_t p = 0; p < volume->subMeshCount && p < SHADOW_VOLUME_MAX_PIECES; ++p)
            DrawPiece(volume->subMeshes[p], zPass);
    }
    g_render.device->SetTransform(D3DTS_PROJECTION, &g_camera.projection);
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
    RenderSetState(D3DRS_STENCILENABLE, 0);
    StaticBufferBind(nullptr);
}

}  // namespace

void ShadowsPrepare()
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    // Only the objects loaded before: the companions added here join the table behind them.
    for (s32_t i = 0; i < count; ++i) {
        DynamicObject* object = objects[i];
        if (!object || object->shadowVolume || object->shadowCompanion || dynamic_cast<ShadowObject*>(object))
            continue;
        if (IDirect3DTexture8* texture = object->FindFlaggedMeshTexture()) {
            ShadowObject* bounds = new BoundsShadowObject(object, texture);
            if (DynObjectAdd(bounds))
                object->shadowCompanion = bounds;
            else
                delete bounds;
        }
        ShadowObject* volume = new ShadowVolume(object);
        if (DynObjectAdd(volume))
            object->shadowVolume = volume;
        else
            delete volume;
        DynObjectsGet(&objects, nullptr);
    }
    ConObjBuildShadows();
}

bool ShadowRecordDrawn(const ObjectGridEntry* record, bool externalCamera)
{
    if (!record || record->kind != OBJECT_GRID_SHADOW || !record->owner)
        return false;
    const ShadowObject* shadow = static_cast<const ShadowObject*>(static_cast<DynamicObject*>(record->owner));
    ENGINE_ASSERT_TEXT(shadow->shadowKind != SHADOW_KIND_ESTIMATE, "so->type != SOT_INVALID");
    if (shadow->shadowKind != SHADOW_KIND_VOLUME || !shadow->source || !shadow->source->CastsShadow())
        return false;
    if (externalCamera)
        return true;
    const float limit = rfmaxshadowsdist.Float() * 10.0f;
    const float dx = (record->boxMin.x + record->boxMax.x) * 0.5f - g_camera.position.x;
    const float dy = (record->boxMin.y + record->boxMax.y) * 0.5f - g_camera.position.y;
    const float dz = (record->boxMin.z + record->boxMax.z) * 0.5f - g_camera.position.z;
    return dx * dx + dy * dy + dz * dz <= limit * limit;
}

void ShadowVolumePassZFail(ObjectGridEntry* const* records, u32_t count, bool externalCamera)
{
    VolumePass(records, count, externalCamera, false);
}

void ShadowVolumePassZPass(ObjectGridEntry* const* records, u32_t count, bool externalCamera)
{
    VolumePass(records, count, externalCamera, true);
}

u32_t ShadowDarkenColour()
{
    return ColourPackRounded(rcshadowcolor.Colour());
}

void ShadowDarkenBlend(u32_t colour, u32_t* source, u32_t* destination)
{
    if (colour >> 24) {
        *source = D3DBLEND_SRCALPHA;
        *destination = D3DBLEND_INVSRCALPHA;
    } else {
        *source = D3DBLEND_DESTCOLOR;
        *destination = D3DBLEND_ZERO;
    }
}

void ShadowDarkenPass()
{
    if (!g_render.device || !g_render.stencil)
        return;
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, ~0u);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, ~0u);
    RenderSetColorOp(1, D3DTOP_DISABLE, ~0u, ~0u);
    RenderSetAlphaOp(1, D3DTOP_DISABLE, ~0u, ~0u);
    const u32_t colour = ShadowDarkenColour();
    u32_t source = 0, destination = 0;
    ShadowDarkenBlend(colour, &source, &destination);
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    RenderSetState(D3DRS_LIGHTING, 0);
    RenderSetState(D3DRS_ZWRITEENABLE, 0);
    RenderSetState(D3DRS_ZENABLE, 0);
    RenderSetState(D3DRS_TEXTUREFACTOR, colour);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetState(D3DRS_SRCBLEND, source);
    RenderSetState(D3DRS_DESTBLEND, destination);
    RenderSetState(D3DRS_STENCILENABLE, 1);
    RenderSetState(D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP);
    RenderSetState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    RenderSetState(D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP);
    RenderSetState(D3DRS_STENCILMASK, 0xFFFFFFFF);
    RenderSetState(D3DRS_STENCILWRITEMASK, 0xFFFFFFFF);
    RenderSetState(D3DRS_STENCILREF, kMapStencil);
    RenderSetState(D3DRS_STENCILFUNC, D3DCMP_LESS);

    struct ScreenVertex {
        float x, y, z, rhw;
        u32_t colour;
        float u, v;
    };
    const float w = static_cast<float>(g_camera.viewport.Width ? g_camera.viewport.Width : g_render.screenWidth);
    const float h = static_cast<float>(g_camera.viewport.Height ? g_camera.viewport.Height : g_render.screenHeight);
    const ScreenVertex quad[4] = {{0.0f, 0.0f, 0.5f, 0.5f, 0xFFFFFFFF, 0.0f, 0.0f},
                                  {w, 0.0f, 0.5f, 0.5f, 0xFFFFFFFF, 1.0f, 0.0f},
                                  {w, h, 0.5f, 0.5f, 0xFFFFFFFF, 1.0f, 1.0f},
                                  {0.0f, h, 0.5f, 0.5f, 0xFFFFFFFF, 0.0f, 1.0f}};
    StaticBufferBind(&g_dynBuffers.screenVertices);
    DynVertexBufferLock(4);
    std::memcpy(g_dynBuffers.vertexOut, quad, sizeof quad);
    DynVertexAdvance(sizeof quad);
    DynBuffersUnlock();
    DynVertexBufferDraw(D3DPT_TRIANGLEFAN, 4, true);
    RenderSetState(D3DRS_STENCILENABLE, 0);
}
