#include "scene/passes/shader_set_pass.h"

#include <cstring>

#include "map/octree/octree_query.h"
#include "map/registry/world_registry.h"
#include "render/camera.h"
#include "render/draw2d/debug_primitives.h"
#include "render/device/dynamic_buffers.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "scene/scene_cvars.h"
#include "scene/scene_state.h"
#include "scene/draw_records/stream_emit.h"
#include "scene/views/wide_projection.h"
#include "world/objects/graph_obj.h"
#include "world/objects/shader_settings.h"
#include "world/nodes/shadow_overlay.h"
#include "world/wires/wires.h"

namespace {

constexpr u32_t kAlphaReference = 160;

bool ItemDrawn(const ShaderSettingList& set, const ShaderSetting& item, s32_t mode)
{
    if (item.kind != mode)
        return false;
    if (mode == 2) {
        const GraphObj* owner = dynamic_cast<const GraphObj*>(set.owner);
        if (owner && !owner->fullDetail)
            return false;
    }
    return true;
}

void DrawItem(const ShaderSetting& item)
{
    const u32_t count = OverlayVertexCount(item);
    const DynVertexBuffer& vb = g_dynBuffers.texVertices;
    if (count < 3 || !vb.vertexSize || count >= vb.size / vb.vertexSize || count >= g_dynBuffers.largeIndices.size ||
        count > 0xFFFFu)
        return;
    const Vector3* positions = OverlayPositions(item);
    const float* coords = OverlayTexCoords(item);
    if (!positions || !coords)
        return;
    DynBuffersLock(count, count);
    for (u32_t i = 0; i < count; ++i) {
        EmitPosition(positions[i].x, positions[i].y, positions[i].z);
        std::memcpy(g_dynBuffers.vertexOut, coords + size_t(i) * 2, 2 * sizeof(float));
        DynVertexAdvance(2 * sizeof(float));
    }
    // A plain triangle list: vertices past the last whole triangle are not used.
    for (u32_t i = 0; i + 3 <= count; i += 3)
        EmitTriangle(static_cast<u16_t>(i), static_cast<u16_t>(i + 1), static_cast<u16_t>(i + 2));
    DynBuffersUnlock();
    DynBuffersDrawIndexed(D3DPT_TRIANGLELIST, count, count - count % 3, true);
}

bool SetVisible(const ShaderSettingList& set)
{
    const float box[6] = {set.boxMin.x, set.boxMin.y, set.boxMin.z, set.boxMax.x, set.boxMax.y, set.boxMax.z};
    return BoxInsidePlanes(box, g_camera.frustumPlanes, 6);
}

void DrawSet(const ShaderSettingList* set, s32_t mode)
{
    if (rbwireframe.Bool())
        ShaderSetDrawWireframe(set, mode);
    else
        ShaderSetDraw(set, mode);
}

}  // namespace

bool ShaderSetPassRuns(s32_t mode)
{
    if (mode >= 1 && mode <= 3 && !rbshadows.Bool())
        return false;
    return !RenderViewUnderWater;
}

void ShaderSetDraw(const ShaderSettingList* set, s32_t mode)
{
    if (!set)
        return;
    for (u32_t i = 0; i < set->count; ++i) {
        const ShaderSetting& item = *set->items[i];
        if (!ItemDrawn(*set, item, mode))
            continue;
        RenderSetTexture(0, rbwireframe.Bool() ? nullptr : item.texture);
        RenderSetStageState(0, D3DTSS_MIPFILTER, item.enabled ? D3DTEXF_LINEAR : D3DTEXF_NONE);
        DrawItem(item);
    }
}

void ShaderSetDrawWireframe(const ShaderSettingList* set, s32_t mode)
{
    if (!set)
        return;
    RenderSetState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    for (u32_t i = 0; i < set->count; ++i) {
        const ShaderSetting& item = *set->items[i];
        if (!ItemDrawn(*set, item, mode))
            continue;
        RenderSetTexture(0, nullptr);
        RenderSetState(D3DRS_TEXTUREFACTOR, 0xFFFFFFFF);
        RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
        RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, ~0u);
        RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, ~0u);
        RenderSetColorOp(1, D3DTOP_DISABLE, ~0u, ~0u);
        RenderSetAlphaOp(1, D3DTOP_DISABLE, ~0u, ~0u);
        RenderSetState(D3DRS_ALPHATESTENABLE, 0);
        RenderSetStageState(0, D3DTSS_MIPFILTER, item.enabled ? D3DTEXF_LINEAR : D3DTEXF_NONE);
        DrawItem(item);
    }
    RenderSetState(D3DRS_FILLMODE, D3DFILL_SOLID);
}

void ConObjDrawPoleSets(s32_t mode)
{
    for (s32_t g = 0; g < WireGroupCount(); ++g) {
        const ConObjGroup& group = *WireGetGroup(g);
        for (const ConObjPointSet* p = group.first; p && p->next; p = p->next) {
            const ShaderSettingList* set = p->owner ? p->owner->shaderSettings : nullptr;
            if (set && SetVisible(*set))
                DrawSet(set, mode);
        }
    }
}

void RenderShaderSetPass(s32_t mode)
{
    if (!ShaderSetPassRuns(mode) || !g_render.device)
        return;
    IDirect3DDevice8* device = g_render.device;
    device->SetTransform(D3DTS_PROJECTION, &g_renderWideProjection);
    RenderSetState(D3DRS_LIGHTING, 0);
    g_render.worldLightingSetUp = false;
    RenderSetState(D3DRS_ZENABLE, 1);
    RenderSetState(D3DRS_ZWRITEENABLE, 0);
    RenderSetState(D3DRS_FILLMODE, rbwireframe.Bool() ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    RenderSetStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    RenderSetStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
    if (mode != 0) {
        RenderSetState(D3DRS_ALPHATESTENABLE, 1);
        RenderSetState(D3DRS_ALPHAREF, kAlphaReference);
        RenderSetState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
        RenderSetState(D3DRS_TEXTUREFACTOR, rbwireframe.Bool() ? 0xFFFFFFFF : 0);
        RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
        RenderSetState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
        RenderSetState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, ~0u);
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, ~0u);
    } else {
        RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
        RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, ~0u);
        RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, ~0u);
    }
    RenderSetColorOp(1, D3DTOP_DISABLE, ~0u, ~0u);
    RenderSetAlphaOp(1, D3DTOP_DISABLE, ~0u, ~0u);
    D3DMATRIX identity;
    MatrixSetIdentity(&identity);
    device->SetTransform(D3DTS_WORLD, &identity);
    StaticBufferBind(&g_dynBuffers.texVertices);
    DynIndexBufferSelect(&g_dynBuffers.largeIndices);

    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    for (s32_t i = 0; i < count; ++i) {
        DynamicObject* object = objects[i];
        if (!object || object->typeId == OBJECT_TYPE_ROOT || object->typeId == OBJECT_TYPE_GRAPHIC)
            continue;
        const GraphObj* graphic = dynamic_cast<const GraphObj*>(object);
        const ShaderSettingList* set = graphic ? graphic->shaderSettings : nullptr;
        if (!set || !set->visible)
            continue;
        if (rbshowboxes.Bool())
            DebugBoxAdd(&set->boxMin, &set->boxMax, SHADER_SET_BOX_COLOUR, 1);
        DrawSet(set, mode);
    }
    ConObjDrawPoleSets(mode);

    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    device->SetTransform(D3DTS_PROJECTION, &g_camera.projection);
    RenderSetState(D3DRS_ZENABLE, 1);
    RenderSetState(D3DRS_ZWRITEENABLE, 1);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
    RenderSetColorOp(1, D3DTOP_DISABLE, ~0u, ~0u);
    RenderSetAlphaOp(1, D3DTOP_DISABLE, ~0u, ~0u);
    RenderSetTexture(1, nullptr);
    StaticBufferBind(nullptr);
    DynIndexBufferSelect(nullptr);
}
