#include "scene/passes/decal_pass.h"

#include <cmath>
#include <cstring>

#include "core/frame_view.h"
#include "map/map_cvars.h"
#include "map/octree/object_grid.h"
#include "platform/d3dx8_math.h"
#include "render/camera.h"
#include "render/draw2d/colour_pack.h"
#include "render/device/dynamic_buffers.h"
#include "render/draw2d/hud_input.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "render/land/visible_nodes.h"
#include "scene/passes/decal_list.h"
#include "scene/meshes/mesh_draw.h"
#include "scene/meshes/object_draw.h"
#include "scene/scene_state.h"
#include "world/animation/anim_mesh.h"
#include "world/decals/decal.h"
#include "world/objects/graph_obj.h"
#include "world/world_cvars.h"

namespace {

GraphObj* g_cellObject = nullptr;

constexpr float kDecalNearPush = 0.0005f;

IDirect3DDevice8* Device()
{
    return g_render.device;
}

// The states both decal passes draw with.
void SetDecalStates()
{
    RenderSetState(D3DRS_LIGHTING, 0);
    RenderSetState(D3DRS_ZENABLE, D3DZB_TRUE);
    RenderSetState(D3DRS_ZWRITEENABLE, 0);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    RenderDisableStage(1);
    RenderSetState(D3DRS_FILLMODE, rbwireframe.Bool() ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    DynBufferSelect(&g_dynBuffers.colTexVertices);
}

void UnsetStream()
{
    DynBufferSelect(nullptr);
}

GraphObj* VisibleGraphObj(u32_t i)
{
    const ObjectGridEntry* entry = g_visible.objects[i];
    if (!entry || entry->kind != OBJECT_GRID_OBJECT || !entry->owner)
        return nullptr;
    return dynamic_cast<GraphObj*>(static_cast<DynamicObject*>(entry->owner));
}

// Whether face i of the decal is drawn (see RenderDrawTintedMesh).
bool FaceSelected(const Decal& decal, u32_t face, const AnimFrameMesh* faceMesh)
{
    if (!decal.meshes || !decal.meshMaterials)
        return true;
    if (faceMesh)
        return decal.meshes[face] == faceMesh;
    const AnimMaterial* material = decal.meshMaterials[face];
    return !material || material->opacity == 1.0f;
}

u32_t ChannelsOf(const float* rgb)
{
    return (ColourByteTruncated(rgb[0]) << 16) | (ColourByteTruncated(rgb[1]) << 8) | ColourByteTruncated(rgb[2]);
}

}  // namespace

void DecalPassesSetCellObject(GraphObj* cell)
{
    g_cellObject = cell;
}

GraphObj* DecalPassesCellObject()
{
    return g_cellObject;
}

float DecalFogFactor(float distance, float start, float range, float power)
{
    if (!(distance > start))
        return 0.0f;
    if (!(range > start))
        return 1.0f;
    // Held to 0..1 before the power, so a fractional power never meets a negative ratio.
    float ratio = (distance - start) / (range - start);
    ratio = ratio < 0.0f ? 0.0f : (ratio > 1.0f ? 1.0f : ratio);
    const float fog = std::pow(ratio, power);
    if (!std::isfinite(fog) || fog > 1.0f)
        return 1.0f;
    return fog > 0.0f ? fog : 0.0f;
}

void RenderDrawTintedMesh(const Decal* record, const AnimFrameMesh* faceMesh)
{
    SceneDrawLog& log = g_scene.drawLog;
    if (log.tintedMeshCount < SCENE_DRAW_LOG_SIZE)
        log.tintedMeshes[log.tintedMeshCount] = record;
    ++log.tintedMeshCount;
    if (!record || !Device() || !record->vertices || !record->texCoords || record->triangleCount == 0)
        return;
    const Decal& decal = *record;

    // 4. Nothing to do when no face is selected.
    u32_t selected = 0;
    for (u32_t face = 0; face < decal.triangleCount; ++face)
        selected += FaceSelected(decal, face, faceMesh) ? 1 : 0;
    DynVertexBuffer* vb = &g_dynBuffers.colTexVertices;
    if (selected == 0 || !vb->buffer)
        return;
    // A decal larger than the streaming buffer draws the faces that fit.
    const u32_t maxFaces = vb->size / (3 * vb->vertexSize);
    if (selected > maxFaces)
        selected = maxFaces;

    // 1. Transforms: the decal's world, the camera's projection with its near plane pushed out (the
    // decal's depth a hair nearer than the surface it lies on). The view's own projection comes back
    // afterwards, so that later passes test depth as the surfaces were drawn.
    Device()->SetTransform(D3DTS_WORLD, &decal.worldMatrix);
    D3DXMATRIX viewProjection, projection;
    Device()->GetTransform(D3DTS_PROJECTION, &viewProjection);
    D3DXMatrixPerspectiveFovLH(&projection, g_camera.fovY, g_camera.aspect, g_camera.nearPlane + kDecalNearPush,
                               mfrange.Float() * 10.0f);
    Device()->SetTransform(D3DTS_PROJECTION, &projection);

    // 2. The colour: night vision, the map's lit or shadow colour, or the decal's own; its alpha
    // always the decal's. It rides on the vertices, so that the texture factor stays free for the
    // fog stage and the under-water fog stage, which both blend through it.
    u32_t rgb = decal.colour & 0x00FFFFFFu;
    if (g_hudInput.flags.nightVision)
        rgb = ChannelsOf(rc_nvisioncol.Colour());
    else if (decal.lightTint)
        rgb = ChannelsOf(decal.facesLight ? mcmapdiffuse.Colour() : mcmapambient.Colour());
    const D3DCOLOR tint = (decal.colour & 0xFF000000u) | rgb;
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    RenderSetTexture(0, rbwireframe.Bool() ? nullptr : decal.texture);

    // 3. Fog: stage 1 blends the fog colour over the decal, the decal keeping 255 - fog x 255 of its
    // own colour. Under water the under-water fog stage takes its place.
    const bool underWater = RenderViewUnderWater != 0;
    const u32_t clear = 255u - static_cast<u32_t>(decal.fogFactor * 255.0f);
    const bool fogged = !underWater && clear < 255u;
    if (fogged) {
        RenderSetState(D3DRS_TEXTUREFACTOR, (clear << 24) | (ColourPackRounded(mcfogcolor.Colour()) & 0x00FFFFFFu));
        RenderSetColorOp(1, D3DTOP_BLENDFACTORALPHA, D3DTA_CURRENT, D3DTA_TFACTOR);
        RenderSetAlphaOp(1, D3DTOP_SELECTARG1, D3DTA_CURRENT, ~0u);
        RenderSetState(D3DRS_ALPHATESTENABLE, 1);
        RenderSetState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
        RenderSetState(D3DRS_ALPHAREF, 0);
    } else if (underWater) {
        UnderwaterFogStageBegin(1);
    }

    // 5. The selected faces, three vertices each, in the face's vertex order.
    DynBufferSelect(vb);
    DynVertexBufferLock(3 * selected);
    u8_t* out = g_dynBuffers.vertexOut;
    u32_t written = 0;
    for (u32_t face = 0; face < decal.triangleCount && written < selected; ++face) {
        if (!FaceSelected(decal, face, faceMesh))
            continue;
        for (u32_t k = 0; k < 3; ++k) {
            const std::size_t v = std::size_t(face) * 3 + k;
            const float position[3] = {decal.vertices[v * 3], decal.vertices[v * 3 + 1], decal.vertices[v * 3 + 2]};
            const float uv[2] = {decal.texCoords[v * 2], decal.texCoords[v * 2 + 1]};
            std::memcpy(out, position, sizeof position);
            std::memcpy(out + 12, &tint, sizeof tint);
            std::memcpy(out + 16, uv, sizeof uv);
            out += 24;
        }
        ++written;
    }
    DynBuffersUnlock();
    DynVertexBufferDraw(D3DPT_TRIANGLELIST, 3 * written, true);
    if (underWater)
        UnderwaterFogStageEnd(1);
    if (fogged) {
        RenderDisableStage(1);
        RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    }
    Device()->SetTransform(D3DTS_PROJECTION, &viewProjection);
}

void DecalListDraw()
{
    if (!rbshowdecals.Bool())
        return;
    SetDecalStates();
    DecalListExpire();
    const float* view = g_frameView.viewPos;
    const float start = mffogstart.Float() * 10.0f, range = mfrange.Float() * 10.0f;
    const float power = mffogpow.Float();
    for (s32_t i = 0; i < DecalListCount(); ++i) {
        Decal* decal = DecalListGet(i);
        const float dx = decal->centre.x - view[0], dy = decal->centre.y - view[1], dz = decal->centre.z - view[2];
        decal->fogFactor = DecalFogFactor(std::sqrt(dx * dx + dy * dy + dz * dz), start, range, power);
        decal->UpdateFade();
        RenderDrawTintedMesh(decal, nullptr);
    }
    UnsetStream();
}

void DrawObjectDecals()
{
    if (!rbshowdecals.Bool())
        return;
    SetDecalStates();
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    float bias = -2.0f;
    u32_t biasWord;
    std::memcpy(&biasWord, &bias, sizeof biasWord);
    RenderSetStageState(0, D3DTSS_MIPMAPLODBIAS, biasWord);
    GraphObj* cell = g_cellObject;
    if (cell)
        cell->DrawDecals();
    const DynamicObject* player = g_frameView.player;
    for (u32_t i = 0; i < g_visible.objectCount; ++i) {
        GraphObj* object = VisibleGraphObj(i);
        if (object && object != cell && static_cast<const DynamicObject*>(object) != player)
            object->DrawDecals();
    }
    bias = 0.0f;
    std::memcpy(&biasWord, &bias, sizeof biasWord);
    RenderSetStageState(0, D3DTSS_MIPMAPLODBIAS, biasWord);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_CCW);
    UnsetStream();
}
