// The mesh renderers of the graphic objects: the one-frame path and what every renderer shares.
// One routine draws a mesh between two frames (frame 1 and frame 2 with the weight t of frame 2; a
// single frame is the pair of a frame with itself): the renderers differ only in how they filter
// meshes, where the frames come from and which ending draws the passes (the interpolating ones are
// in scene/meshes/mesh_draw_animated.cpp).
#include "scene/meshes/mesh_draw.h"

#include <cmath>

#include "core/assert.h"
#include "core/frame_view.h"
#include "core/log.h"
#include "map/land_maps/fog_textures.h"
#include "map/terrain/map_caches.h"
#include "map/map_cvars.h"
#include "map/terrain/world_tiles.h"
#include "render/camera.h"
#include "render/draw2d/colour_pack.h"
#include "render/draw2d/debug_primitives.h"
#include "render/device/dynamic_buffers.h"
#include "render/draw2d/hud_input.h"
#include "render/land/map_chunks.h"
#include "render/land/map_render_setup.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "render/textures/texture_manager.h"
#include "scene/draw_records/draw_records.h"
#include "scene/meshes/gpu_anim_buffers.h"
#include "scene/meshes/mesh_draw_shared.h"
#include "scene/meshes/mesh_fog.h"
#include "scene/meshes/object_draw.h"
#include "scene/scene_cvars.h"
#include "scene/scene_state.h"
#include "scene/draw_records/stream_emit.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"

namespace mesh_draw_detail {

CurrentMesh g_mesh;

namespace {

constexpr float kNormalScale = 1.0f / 127.0f;
constexpr u32_t kPinLifeMs = 1;
constexpr u32_t kAxisColours[3] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};
// The largest mesh the streaming buffers take in one lock.
constexpr u32_t kMaxStreamIndices = 262144;

IDirect3DDevice8* Device()
{
    return g_render.device;
}

bool NightVision()
{
    return g_hudInput.flags.nightVision != 0;
}

bool FogSwitchesOn()
{
    return rbfog.Bool() && !g_frameView.viewModeToggle;
}

D3DCOLORVALUE Colour(const float* rgb, bool on)
{
    return on ? D3DCOLORVALUE{rgb[0], rgb[1], rgb[2], 1.0f} : D3DCOLORVALUE{0.0f, 0.0f, 0.0f, 1.0f};
}

void SetStageZero(IDirect3DTexture8* texture)
{
    if (!texture) {
        RenderSetColorOp(0, D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_CURRENT);
        RenderSetAlphaOp(0, D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_CURRENT);
        RenderSetTexture(0, nullptr);
        return;
    }
    if (!NightVision()) {
        RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
        RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    } else if (g_mesh.lighting) {
        RenderSetColorOp(0, D3DTOP_MODULATE4X, D3DTA_TEXTURE, D3DTA_CURRENT);
        RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    } else {
        RenderSetState(D3DRS_TEXTUREFACTOR, ColourPackTruncated(rc_nvisioncol.Colour()));
        RenderSetColorOp(0, D3DTOP_MODULATE4X, D3DTA_TEXTURE, D3DTA_TFACTOR);
        RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    }
    RenderSetTexture(0, texture);
}

void SetTextureTransform(u32_t stage, const D3DXMATRIX& matrix)
{
    Device()->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + stage), &matrix);
}

void ResetTextureStage(u32_t stage, u32_t coordinateSet)
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    RenderSetStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    RenderSetStageState(stage, D3DTSS_TEXCOORDINDEX, coordinateSet);
    RenderSetStageState(stage, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    RenderSetStageState(stage, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
    SetTextureTransform(stage, identity);
}

D3DXMATRIX ViewMatrix()
{
    D3DXMATRIX view;
    Device()->GetTransform(D3DTS_VIEW, &view);
    return view;
}

// The two frames of a vertex agree in count, or frame 2 is frame 1.
struct Blocks {
    const AnimVertexData* v1 = nullptr;
    const AnimVertexData* v2 = nullptr;
    const AnimTexCoords* uv1 = nullptr;
    const AnimTexCoords* uv2 = nullptr;
    const AnimFaces* faces = nullptr;
};

// Binds the mesh's GPU buffers, or fills the streaming block with the blended vertices. False when
// the mesh cannot be drawn (a block shorter than its counts, or too large for the streaming buffers).
bool BindGeometry(const MeshSource& src, const Blocks& blocks)
{
    const u32_t vc = g_mesh.vertexCount;
    const u32_t fc = g_mesh.faceCount;
    if (g_mesh.gpu) {
        const AnimFrameMesh* m = g_mesh.record;
        IDirect3DVertexBuffer8* vb = GpuAnimVertexBuffer(m->gpuVertexSlot);
        IDirect3DIndexBuffer8* ib = GpuAnimIndexBuffer(m->gpuIndexSlot);
        if (vb && ib) {
            Device()->SetVertexShader(GPU_ANIM_FVF);
            Device()->SetStreamSource(0, vb, GPU_ANIM_VERTEX_BYTES);
            // The indices count from the mesh's first vertex.
            Device()->SetIndices(ib, m->gpuFirstVertex);
            DynBuffersForgetCurrent();
            return true;
        }
        g_mesh.gpu = false;
    }
    if (!blocks.v1 || !blocks.faces || blocks.v1->count < vc || blocks.faces->count < fc ||
        (blocks.v2 && blocks.v2->count < vc))
        return false;
    if (vc > kDynBufferVertices || 3 * fc > kMaxStreamIndices) {
        static const AnimFrameMesh* warned = nullptr;
        if (warned != g_mesh.record) {
            warned = g_mesh.record;
            Log("WARNING: mesh %u of '%s' (%u vertices, %u faces) is too large for the streaming buffers; not drawn\n",
                src.index, src.anim1->name.Text(), vc, fc);
        }
        return false;
    }
    DynBufferSelect(&g_dynBuffers.litVertices);
    DynIndexBufferSelect(&g_dynBuffers.largeIndices);
    DynBuffersLock(vc, 3 * fc);
    float* out = reinterpret_cast<float*>(g_dynBuffers.vertexOut);
    const AnimVertexData* v2 = blocks.v2 ? blocks.v2 : blocks.v1;
    const AnimTexCoords* uv2 = blocks.uv2 ? blocks.uv2 : blocks.uv1;
    const bool samePositions = v2 == blocks.v1 || src.t == 0.0f;
    const bool sameUv = uv2 == blocks.uv1 || src.t == 0.0f;
    const float t = src.t, w = 1.0f - src.t;
    for (u32_t v = 0; v < vc; ++v, out += 8) {
        const float* p1 = blocks.v1->positions + std::size_t(v) * 3;
        float n1[3];
        UnpackNormal(blocks.v1->normals + std::size_t(v) * 3, n1);
        if (samePositions) {
            out[0] = p1[0], out[1] = p1[1], out[2] = p1[2];
            out[3] = n1[0], out[4] = n1[1], out[5] = n1[2];
        } else {
            const float* p2 = v2->positions + std::size_t(v) * 3;
            float n2[3];
            UnpackNormal(v2->normals + std::size_t(v) * 3, n2);
            for (int k = 0; k < 3; ++k) {
                out[k] = p1[k] * w + p2[k] * t;
                out[3 + k] = n1[k] * w + n2[k] * t;
            }
        }
        const bool has1 = blocks.uv1 && blocks.uv1->uv && v < blocks.uv1->count;
        const float u1 = has1 ? blocks.uv1->uv[v * 2] : 0.0f, vv1 = has1 ? blocks.uv1->uv[v * 2 + 1] : 0.0f;
        if (sameUv) {
            out[6] = u1, out[7] = vv1;
        } else {
            const bool has2 = uv2 && uv2->uv && v < uv2->count;
            out[6] = u1 * w + (has2 ? uv2->uv[v * 2] : 0.0f) * t;
            out[7] = vv1 * w + (has2 ? uv2->uv[v * 2 + 1] : 0.0f) * t;
        }
    }
    u16_t* index = g_dynBuffers.indexOut;
    const u16_t base = g_dynBuffers.baseVertex;
    for (u32_t f = 0; f < fc; ++f) {
        u16_t corners[3];
        FaceGetIndices(blocks.faces->indices, f, corners);
        for (int k = 0; k < 3; ++k)
            *index++ = static_cast<u16_t>(base + (corners[k] < vc ? corners[k] : 0));
    }
    DynBuffersUnlock();
    return true;
}

void UnbindGpu()
{
    if (!g_mesh.gpu)
        return;
    Device()->SetStreamSource(0, nullptr, 0);
    Device()->SetIndices(nullptr, 0);
    DynBuffersForgetCurrent();
}

void SetAlphaTest()
{
    RenderSetState(D3DRS_ALPHATESTENABLE, 1);
    RenderSetState(D3DRS_ALPHAREF, MESH_ALPHA_REF);
    RenderSetState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
}

void BackFacesBegin()
{
    RenderSetState(D3DRS_CULLMODE, D3DCULL_CCW);
    Device()->LightEnable(0, FALSE);
    Device()->LightEnable(1, TRUE);
}

void BackFacesEnd()
{
    RenderSetState(D3DRS_CULLMODE, D3DCULL_CW);
    Device()->LightEnable(0, TRUE);
    Device()->LightEnable(1, FALSE);
}

void ReflectionPassBegin(const TextureInfo& info)
{
    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetStageState(1, D3DTSS_TEXCOORDINDEX, 0);
    RenderSetColorOp(0, D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetColorOp(1, D3DTOP_SELECTARG1, D3DTA_CURRENT, ~0u);
    RenderSetAlphaOp(1, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderDisableStage(2);
    RenderSetTexture(0, info.secondReflectMap);
    RenderSetTexture(1, info.reflectMap);
}

// The fog pass: the mesh once more in the fog colour, blended by the fog's alpha.
void FogPass(const MeshFog& fog, bool cullNone, bool advance)
{
    if (cullNone)
        RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetState(D3DRS_SPECULARENABLE, 0);
    RenderDisableStage(1);
    D3DXMATRIX transform;
    const bool perVertex = fog.perVertex && FogVertexTransform(ViewMatrix(), mfrange.Float(), &transform);
    if (perVertex) {
        SetTextureTransform(0, transform);
        RenderSetStageState(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEPOSITION);
        RenderSetStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
        RenderSetStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
        RenderSetStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
        RenderSetState(D3DRS_TEXTUREFACTOR, fog.plainColour);
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, ~0u);
        RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, ~0u);
        RenderSetTexture(0, MapGetFogTexture());
    } else {
        RenderSetState(D3DRS_TEXTUREFACTOR, fog.colour);
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, ~0u);
        RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, ~0u);
    }
    MeshDrawIndexed(g_mesh.record, advance);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, ~0u);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, ~0u);
    if (perVertex) {
        ResetTextureStage(0, 0);
        RenderDisableStage(1);
    }
    if (cullNone)
        RenderSetState(D3DRS_CULLMODE, D3DCULL_CW);
}

bool UnderWaterFogOn()
{
    return RenderViewUnderWater && FogSwitchesOn();
}

// The passes of a mesh: the mesh, then its back faces or reflection as the second pass, each
// followed by the fog pass when fog applies (after the last pass only, when asked).
void DrawPasses(const TextureInfo& info, bool reflection, bool twoSided, const D3DXMATRIX& world,
                const AnimVertexData* fogBlock, bool fogEveryPass, bool firstPersonMesh)
{
    const u32_t passes = (reflection || twoSided) ? 2 : 1;
    for (u32_t p = 0; p < passes; ++p) {
        const bool last = p + 1 == passes;
        if (p == 1 && reflection) {
            ReflectionPassBegin(info);
            RenderSetStageState(
                0, D3DTSS_TEXCOORDINDEX,
                firstPersonMesh ? D3DTSS_TCI_CAMERASPACENORMAL : D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
        } else if (p == 1) {
            BackFacesBegin();
        }
        if (g_mesh.alphaTest)
            SetAlphaTest();
        const bool underWater = UnderWaterFogOn();
        if (underWater)
            UnderwaterFogStageBegin(1);
        MeshFog fog;
        if (g_scene.objectFog && (fogEveryPass || last))
            fog = MeshFogDecide(fogBlock, world);
        MeshDrawIndexed(g_mesh.record, last && !fog.applies);
        if (fog.applies)
            FogPass(fog, !fogEveryPass, last);
        if (p == 1 && !reflection)
            BackFacesEnd();
        if (g_mesh.alphaTest)
            RenderSetState(D3DRS_ALPHATESTENABLE, 0);
        if (underWater)
            UnderwaterFogStageEnd(1);
    }
    if (passes == 2 && reflection) {
        RenderDisableStage(1);
        RenderSetTexture(1, nullptr);
        RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
        RenderSetStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        if (firstPersonMesh)
            RenderSetStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    }
}

// The single-pass ending: reflection and fog on further stages of one draw; the back faces of a
// two-sided mesh are drawn first.
void MeshDrawFinishPass(IDirect3DTexture8* texture, const TextureInfo& info, bool reflection, bool twoSided,
                        const D3DXMATRIX& world, const AnimVertexData* fogBlock)
{
    if (texture) {
        SetStageZero(texture);
    } else {
        RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
        RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    }
    if (g_mesh.alphaTest)
        SetAlphaTest();
    MeshFog fog;
    if (g_scene.objectFog)
        fog = MeshFogDecide(fogBlock, world);
    const bool reflectionStages = reflection && !g_mesh.alphaTest;
    u32_t fogStage = 1;
    if (reflectionStages) {
        D3DXMATRIX identity, scale, offset;
        D3DXMatrixIdentity(&identity);
        RenderSetTexture(1, info.reflectMap);
        RenderSetStageState(1, D3DTSS_TEXCOORDINDEX, 0);
        RenderSetColorOp(1, D3DTOP_SELECTARG1, D3DTA_CURRENT, ~0u);
        RenderSetAlphaOp(1, D3DTOP_SELECTARG1, D3DTA_TEXTURE, ~0u);
        SetTextureTransform(1, identity);
        RenderSetTexture(2, info.secondReflectMap);
        RenderSetStageState(2, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR | 2);
        RenderSetColorOp(2, D3DTOP_MODULATEALPHA_ADDCOLOR, D3DTA_CURRENT, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE);
        RenderSetAlphaOp(2, D3DTOP_SELECTARG1, D3DTA_CURRENT, ~0u);
        RenderSetStageState(2, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
        RenderSetStageState(2, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
        RenderSetStageState(2, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
        D3DXMatrixScaling(&scale, 0.5f, 0.5f, 0.5f);
        D3DXMatrixTranslation(&offset, 0.5f, 0.5f, 0.5f);
        SetTextureTransform(2, scale * offset);
        fogStage = 3;
    }
    const bool underWater = UnderWaterFogOn();
    bool fogStageUsed = false;
    bool perVertexStage = false;
    if (underWater) {
        UnderwaterFogStageBegin(fogStage);
        fogStageUsed = true;
    } else if (fog.applies) {
        D3DXMATRIX transform;
        perVertexStage = fog.perVertex && FogVertexTransform(ViewMatrix(), mfrange.Float(), &transform);
        if (perVertexStage) {
            RenderSetState(D3DRS_TEXTUREFACTOR, fog.colour);
            SetTextureTransform(fogStage, transform);
            RenderSetStageState(fogStage, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEPOSITION);
            RenderSetStageState(fogStage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
            RenderSetStageState(fogStage, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
            RenderSetStageState(fogStage, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
            RenderSetColorOp(fogStage, D3DTOP_BLENDTEXTUREALPHA, D3DTA_TFACTOR, D3DTA_CURRENT);
            RenderSetTexture(fogStage, MapGetFogTexture());
        } else {
            RenderSetState(D3DRS_TEXTUREFACTOR, fog.colour);
            RenderSetColorOp(fogStage, D3DTOP_BLENDFACTORALPHA, D3DTA_TFACTOR, D3DTA_CURRENT);
        }
        RenderSetAlphaOp(fogStage, D3DTOP_SELECTARG1, D3DTA_CURRENT, ~0u);
        fogStageUsed = true;
    }
    const u32_t lastStage = fogStageUsed ? fogStage : (reflectionStages ? 2 : 0);
    if (lastStage + 1 < 8)
        RenderSetColorOp(lastStage + 1, D3DTOP_DISABLE, ~0u, ~0u);
    if (twoSided) {
        BackFacesBegin();
        MeshDrawIndexed(g_mesh.record, false);
        BackFacesEnd();
    }
    MeshDrawIndexed(g_mesh.record, true);
    if (reflectionStages) {
        ResetTextureStage(1, 1);
        ResetTextureStage(2, 2);
        RenderSetTexture(2, nullptr);
        RenderDisableStage(2);
    }
    if (underWater)
        UnderwaterFogStageEnd(fogStage);
    else if (perVertexStage)
        ResetTextureStage(fogStage, fogStage);
    if (fogStageUsed) {
        RenderSetTexture(fogStage, nullptr);
        RenderDisableStage(fogStage);
    }
    if (g_mesh.alphaTest)
        RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    RenderDisableStage(1);
}

// Land-layer meshes: the mesh marks the stencil as the static map does, then takes the land's
// texture layers, its lightmap and the fog, addressed by world x and z.
void DrawLandLayers(const D3DXMATRIX& world, const AnimVertexData* fogBlock)
{
    // Stencil mark, colour unchanged.
    RenderSetState(D3DRS_STENCILENABLE, 1);
    RenderSetState(D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP);
    RenderSetState(D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP);
    RenderSetState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    RenderSetState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    RenderSetState(D3DRS_STENCILREF, MESH_LAND_LAYER_STENCIL);
    RenderSetState(D3DRS_STENCILMASK, 0xFFFFFFFFu);
    RenderSetState(D3DRS_STENCILWRITEMASK, 0xFFFFFFFFu);
    RenderSetState(D3DRS_ZWRITEENABLE, 1);
    RenderSetState(D3DRS_ZENABLE, 1);
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_CURRENT, ~0u);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_CURRENT, ~0u);
    MeshDrawIndexed(g_mesh.record, false);
    RenderSetState(D3DRS_STENCILENABLE, 0);

    // Layers: u = x / W + 0.5, v = -(z / W + 0.5) for the world position (x, z).
    const float size = MapGetWorldSize();
    const float inv = size > 0.0f ? 1.0f / size : 0.0f;
    D3DXMATRIX inverseView, scale, offset, swap, layers;
    const D3DXMATRIX view = ViewMatrix();
    if (!D3DXMatrixInverse(&inverseView, nullptr, &view))
        D3DXMatrixIdentity(&inverseView);
    D3DXMatrixScaling(&scale, inv, inv, inv);
    D3DXMatrixTranslation(&offset, 0.5f, 0.5f, 0.5f);
    D3DXMatrixIdentity(&swap);
    swap._22 = swap._33 = 0.0f;
    swap._23 = swap._32 = -1.0f;
    layers = inverseView * scale * offset * swap;
    SetTextureTransform(1, layers);
    for (u32_t stage = 0; stage < 2; ++stage) {
        RenderSetStageState(stage, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEPOSITION);
        RenderSetStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
        RenderSetStageState(stage, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
        RenderSetStageState(stage, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
    }
    RenderSetState(D3DRS_ZWRITEENABLE, 0);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetColorOp(1, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetAlphaOp(1, D3DTOP_SELECTARG1, D3DTA_TEXTURE, ~0u);
    RenderDisableStage(2);
    for (int layer = 0; layer < LAND_LAYER_COUNT; ++layer) {
        const LandTextureSlot& slot = g_mapRender.landTextures[layer];
        if (!slot.layer)
            continue;
        RenderSetTexture(0, slot.layer);
        RenderSetTexture(1, slot.variant);
        const float v = MapGetLayerVar(layer);
        D3DXMATRIX layerScale;
        D3DXMatrixScaling(&layerScale, v, v, v);
        SetTextureTransform(0, layers * layerScale);
        MeshDrawIndexed(g_mesh.record, false);
    }

    // Lightmap, multiplied over what the layers left.
    const MeshFog fog = MeshFogDecide(fogBlock, world);
    if (NightVision()) {
        RenderSetState(D3DRS_TEXTUREFACTOR, ColourPackTruncated(rc_nvisioncol.Colour()));
        RenderSetColorOp(0, D3DTOP_MODULATE4X, D3DTA_TEXTURE, D3DTA_TFACTOR);
    } else {
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, ~0u);
    }
    RenderDisableStage(1);
    RenderSetTexture(1, nullptr);
    SetTextureTransform(0, layers);
    RenderSetTexture(0, MapGetLightmapTexture());
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_DESTCOLOR);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    MeshDrawIndexed(g_mesh.record, !fog.applies);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    if (fog.applies) {
        D3DXMATRIX transform;
        if (fog.perVertex && FogVertexTransform(view, mfrange.Float(), &transform)) {
            SetTextureTransform(0, transform);
            RenderSetStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
            RenderSetStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
            RenderSetState(D3DRS_TEXTUREFACTOR, fog.plainColour);
            RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, ~0u);
            RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, ~0u);
            RenderSetTexture(0, MapGetFogTexture());
        } else {
            RenderSetState(D3DRS_TEXTUREFACTOR, fog.colour);
            RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, ~0u);
            RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, ~0u);
        }
        RenderDisableStage(1);
        MeshDrawIndexed(g_mesh.record, true);
    }

    ResetTextureStage(0, 0);
    ResetTextureStage(1, 1);
    RenderSetState(D3DRS_ZWRITEENABLE, 1);
    RenderSetState(D3DRS_ZENABLE, 1);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
    RenderSetTexture(1, nullptr);
    RenderSetTexture(0, nullptr);
    if (g_mesh.gpu) {
        StaticBufferBind(nullptr);
        Device()->SetIndices(nullptr, 0);
    }
    // The stencil stays on, replacing with 0 from here: later objects clear the land-layer mark.
    RenderSetState(D3DRS_STENCILENABLE, 1);
    RenderSetState(D3DRS_STENCILFAIL, D3DSTENCILOP_REPLACE);
    RenderSetState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    RenderSetState(D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP);
    RenderSetState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    RenderSetState(D3DRS_STENCILREF, 0);
    RenderSetState(D3DRS_STENCILMASK, 0xFFFFFFFFu);
    RenderSetState(D3DRS_STENCILWRITEMASK, 0xFFFFFFFFu);
}

}  // namespace

void SetMeshMaterial(const AnimMaterial* m)
{
    const u32_t selector = g_scene.materialComponentMask;
    D3DMATERIAL8 material = {};
    const float black[3] = {0.0f, 0.0f, 0.0f};
    const bool night = NightVision();
    material.Ambient = Colour(m ? m->ambient : black, (selector & MATERIAL_AMBIENT) != 0);
    material.Diffuse = Colour(m ? m->diffuse : black, (selector & MATERIAL_DIFFUSE) != 0);
    if (night && (selector & MATERIAL_AMBIENT)) {
        const float* c = rc_nvamb.Colour();
        material.Ambient = {c[0], c[1], c[2], c[3]};
    }
    if (night && (selector & MATERIAL_DIFFUSE)) {
        const float* c = rc_nvdif.Colour();
        material.Diffuse = {c[0], c[1], c[2], c[3]};
    }
    material.Emissive = Colour(m ? m->emissive : black, (selector & MATERIAL_EMISSIVE) != 0);
    material.Specular = {0.0f, 0.0f, 0.0f, 1.0f};
    if (m && (selector & MATERIAL_SPECULAR) && m->specularStrength > 0.0f) {
        const float level = m->specularStrength;
        material.Specular = {m->specular[0] * level, m->specular[1] * level, m->specular[2] * level, level};
        material.Power = 4.0f * std::pow(2.0f, 10.0f * m->shininess);
    }
    Device()->SetMaterial(&material);
}

IDirect3DTexture8* NodeTexture(const MeshDrawArgs& args, u32_t index)
{
    const bool held = args.textures && args.mesh && args.mesh->frames_c && index < args.mesh->frames[0].meshes_c;
    return held ? args.textures[index] : nullptr;
}

const MeshSettings* NodeRecord(const MeshDrawArgs& args, u32_t index)
{
    const bool held = args.lodRecords && args.mesh && args.mesh->frames_c && index < args.mesh->frames[0].meshes_c;
    return held ? &args.lodRecords[index] : nullptr;
}

void SetLighting(bool on)
{
    RenderSetState(D3DRS_LIGHTING, on ? 1 : 0);
    g_mesh.lighting = on;
}

void SetNodeStates()
{
    RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderDisableStage(1);
    SetLighting(true);
    RenderSetState(D3DRS_SPECULARENABLE, 1);
}

void BeginNode(const D3DXMATRIX& world)
{
    SetNodeStates();
    Device()->SetTransform(D3DTS_WORLD, &world);
}

void EndNode()
{
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    RenderSetState(D3DRS_SPECULARENABLE, 0);
}

// Lighting and mip filtering back after a mesh its record changed them for.
void RestoreAfterMesh(const MeshSettings* record, bool noMip)
{
    if (record && !record->lit)
        SetLighting(true);
    if (noMip)
        RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
}

void DrawPins(const MeshSource& src, const D3DXMATRIX& world)
{
    const AnimFrameMesh& m1 = src.anim1->frames[src.frame1].meshes[src.index];
    if (!m1.dummyFrame || !rbshowpins.Bool())
        return;
    AnimDummyFrame pin = *m1.dummyFrame;
    const AnimFrameMesh* m2 =
        src.index < src.anim2->frames[src.frame2].meshes_c ? &src.anim2->frames[src.frame2].meshes[src.index] : nullptr;
    if (m2 && m2->dummyFrame && m2 != &m1 && src.t != 0.0f) {
        const AnimDummyFrame& b = *m2->dummyFrame;
        auto lerp = [&](Vector3 a, Vector3 c) {
            return Vector3{a.x + (c.x - a.x) * src.t, a.y + (c.y - a.y) * src.t, a.z + (c.z - a.z) * src.t};
        };
        auto unit = [](Vector3 v) {
            const float l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
            return l > 0.0f ? Vector3{v.x / l, v.y / l, v.z / l} : v;
        };
        pin.origin = lerp(pin.origin, b.origin);
        pin.x = unit(lerp(pin.x, b.x));
        pin.y = unit(lerp(pin.y, b.y));
        pin.z = unit(lerp(pin.z, b.z));
    }
    const D3DXVECTOR3 origin(pin.origin.x, pin.origin.y, pin.origin.z);
    D3DXVECTOR3 start;
    D3DXVec3TransformCoord(&start, &origin, &world);
    const Vector3 axes[3] = {pin.x, pin.y, pin.z};
    const Vector3 from = {start.x, start.y, start.z};
    for (int k = 0; k < 3; ++k) {
        const D3DXVECTOR3 axis(axes[k].x, axes[k].y, axes[k].z);
        D3DXVECTOR3 turned;
        D3DXVec3TransformNormal(&turned, &axis, &world);
        const Vector3 to = {start.x + turned.x, start.y + turned.y, start.z + turned.z};
        DebugLineAdd(&from, &to, kAxisColours[k], kAxisColours[k], kPinLifeMs);
    }
}

// Queues a translucent mesh as a mesh draw record; false while recording is off.
bool QueueMesh(const MeshDrawArgs& args, const D3DXMATRIX& world, u32_t index, const AnimVertexData* centreBlock,
               const AnimMaterial* material)
{
    DrawRecord* record = DrawRecordAlloc(DRAW_RECORD_MESH, 0);
    if (!record)
        return false;
    record->SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    if (g_scene.animatedFlag)
        record->flags |= DRAW_RECORD_ANIMATED;
    record->world = world;
    float key = 0.0f;
    if (centreBlock) {
        const D3DXVECTOR3 centre(centreBlock->centre.x, centreBlock->centre.y, centreBlock->centre.z);
        D3DXVECTOR3 placed;
        D3DXVec3TransformCoord(&placed, &centre, &world);
        Vector3 eye;
        RenderGetCameraPosition(&eye);
        const float dx = placed.x - eye.x, dy = placed.y - eye.y, dz = placed.z - eye.z;
        key = dx * dx + dy * dy + dz * dz;
    }
    record->sortKey = key;
    MeshRecordFields& f = record->fields.mesh;
    f.mesh = args.mesh;
    f.lodRecords = args.lodRecords;
    f.texture = NodeTexture(args, index);
    f.material = material;
    f.decals = args.decals;
    f.meshWord = (index & 0xFFFF) | (g_scene.animatedFlag ? DRAW_RECORD_ANIMATED : 0);
    f.frame = args.frame;
    f.decalCount = args.decalCount;
    f.twoSided = material && (material->textureWord & ANIM_TEXTURE_TWO_SIDED) ? 1 : 0;
    f.fade = args.fadeAlpha;
    f.step = args.step;
    return true;
}

// Draws one mesh that passed its filter: material, stage 0, geometry and the ending. The land-layer
// path replaces all of that for land-layer meshes.
void DrawMesh(const MeshSource& src, IDirect3DTexture8* texture, bool landLayer, const D3DXMATRIX& world, bool allowGpu,
              Ending ending)
{
    const AnimFrameMesh& m1 = src.anim1->frames[src.frame1].meshes[src.index];
    g_mesh.record = &m1;
    g_mesh.material = src.anim1->GetMeshTextureRef(src.frame1, src.index);
    g_mesh.vertexCount = m1.vertexCount;
    g_mesh.faceCount = m1.faceCount;
    g_mesh.gpu = allowGpu && m1.gpuVertexSlot != ANIM_GPU_SLOT_NONE && m1.gpuIndexSlot != ANIM_GPU_SLOT_NONE;
    TextureInfo info = {};
    if (texture)
        TextureGetRecord(texture, &info);
    const bool reflection = info.reflectMap && info.secondReflectMap;
    const bool twoSided = g_mesh.material && (g_mesh.material->textureWord & ANIM_TEXTURE_TWO_SIDED);
    Blocks blocks;
    blocks.v1 = src.anim1->GetMeshVertices(src.frame1, src.index);
    blocks.uv1 = src.anim1->GetMeshTexCoords(src.frame1, src.index);
    blocks.faces = src.anim1->GetMeshFaces(src.frame1, src.index);
    if (src.anim2 != src.anim1 || src.frame2 != src.frame1) {
        blocks.v2 = src.anim2->GetMeshVertices(src.frame2, src.index);
        blocks.uv2 = src.anim2->GetMeshTexCoords(src.frame2, src.index);
    }
    // Land layers modulate the lit colour too, so the mesh's own material is set for them as well.
    SetMeshMaterial(g_mesh.material);
    if (landLayer) {
        // The land-layer path draws frame 2 unblended.
        Blocks land = blocks;
        if (blocks.v2)
            land.v1 = blocks.v2, land.uv1 = blocks.uv2 ? blocks.uv2 : blocks.uv1;
        land.v2 = nullptr;
        land.uv2 = nullptr;
        g_mesh.gpu = m1.gpuVertexSlot != ANIM_GPU_SLOT_NONE && m1.gpuIndexSlot != ANIM_GPU_SLOT_NONE;
        if (BindGeometry(src, land))
            DrawLandLayers(world, blocks.v1);
        UnbindGpu();
        return;
    }
    SetStageZero(texture);
    if (!BindGeometry(src, blocks))
        return;
    switch (ending) {
        case Ending::FrameMesh:
            DrawPasses(info, reflection, twoSided, world, blocks.v1, false, false);
            break;
        case Ending::MultiPass:
            DrawPasses(info, reflection, twoSided, world, blocks.v1, true,
                       g_scene.firstPersonMesh && g_scene.firstPersonMesh == src.anim2);
            break;
        case Ending::SinglePass:
            MeshDrawFinishPass(texture, info, reflection, twoSided, world, blocks.v1);
            break;
    }
    UnbindGpu();
}

}  // namespace mesh_draw_detail

using namespace mesh_draw_detail;

MeshLodVerdict MeshLodFilter(const AnimFrameMesh& mesh, const MeshSettings* record, s32_t step, bool hide)
{
    MeshLodVerdict out;
    if (step != -1 && mesh.detailLevel != -1 && mesh.detailLevel != step)
        return out;
    if (record) {
        out.landLayer = record->landTexture != 0;
        if (step != -1 && (record->lodTagged || (step >= 0 && step < static_cast<s32_t>(GRAPH_NODE_LOD_STEPS)))) {
            const u32_t at = static_cast<u32_t>(step);
            const u32_t flags = record->ModeAt(at);
            if (!(flags & MESH_LOD_DRAWN))
                return out;
            if (hide && record->HiddenAt(at))
                return out;
            out.alphaTest = (flags & MESH_LOD_ALPHA_TEST) != 0;
            out.noMip = (flags & MESH_LOD_NO_MIP) != 0;
            if (flags & MESH_LOD_TRANSLUCENT) {
                out.verdict = MeshVerdict::Queue;
                return out;
            }
        }
        out.lightingOff = !record->lit && !mesh.dummyFrame;
    }
    out.verdict = MeshVerdict::Draw;
    return out;
}

void UnpackNormal(const s8_t* packed, float* out)
{
    out[0] = packed[0] * kNormalScale;
    out[1] = packed[1] * kNormalScale;
    out[2] = packed[2] * kNormalScale;
}

void FaceGetIndices(const u16_t* faces, u32_t i, u16_t* out)
{
    out[0] = faces[std::size_t(i) * 3];
    out[1] = faces[std::size_t(i) * 3 + 1];
    out[2] = faces[std::size_t(i) * 3 + 2];
}

void MeshDrawIndexed(const AnimFrameMesh* mesh, bool advance)
{
    const u32_t vc = g_mesh.vertexCount;
    const u32_t fc = g_mesh.faceCount;
    if (g_mesh.gpu && mesh) {
        g_render.RenderLastResult = Device()->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, vc, mesh->gpuFirstIndex, fc);
        RenderAddStats(vc, fc, 0, 3 * fc);
        return;
    }
    DynBuffersDrawIndexed(D3DPT_TRIANGLELIST, vc, 3 * fc, advance);
}

void UnderwaterFogStageBegin(u32_t stage)
{
    D3DXMATRIX inverse;
    const D3DXMATRIX view = ViewMatrix();
    if (!D3DXMatrixInverse(&inverse, nullptr, &view))
        D3DXMatrixIdentity(&inverse);
    inverse._41 = inverse._42 = inverse._43 = 0.0f;
    const float distance = mfwaterfog.Float();
    const float s = distance > 0.0f ? 8.0f / distance : 0.0f;
    D3DXMATRIX scale, offset, swap;
    D3DXMatrixScaling(&scale, s, s, s);
    D3DXMatrixTranslation(&offset, 0.5f, 0.5f, 0.5f);
    D3DXMatrixIdentity(&swap);
    swap._22 = swap._33 = 0.0f;
    swap._23 = swap._32 = 1.0f;
    SetTextureTransform(stage, inverse * scale * offset * swap);
    const float* c = rc_uwatercol.Colour();
    RenderSetState(D3DRS_TEXTUREFACTOR, ColourPackTruncated(c[0], c[1], c[2], 1.0f));
    RenderSetColorOp(stage, D3DTOP_BLENDTEXTUREALPHA, D3DTA_TFACTOR, D3DTA_CURRENT);
    RenderSetStageState(stage, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEPOSITION);
    RenderSetStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    RenderSetStageState(stage, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    RenderSetStageState(stage, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
    RenderSetTexture(stage, MapGetWaterFogTexture());
}

void UnderwaterFogStageEnd(u32_t stage)
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    SetTextureTransform(stage, identity);
    RenderSetStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    RenderSetStageState(stage, D3DTSS_TEXCOORDINDEX, 0);
    RenderDisableStage(stage);
}

s32_t MeshDrawFrameMesh(AnimMesh* anim, u32_t frame, u32_t mesh, IDirect3DTexture8* texture, const MeshSettings* record,
                        const D3DXMATRIX& world, s32_t step, bool hideWhenAsked)
{
    const AnimFrameMesh& m = anim->frames[frame].meshes[mesh];
    g_mesh.alphaTest = false;
    const MeshLodVerdict verdict = MeshLodFilter(m, step == -1 ? nullptr : record, step, hideWhenAsked);
    if (verdict.verdict == MeshVerdict::Skip)
        return MESH_DRAWN_NOTHING;
    g_mesh.alphaTest = verdict.alphaTest;
    if (verdict.noMip)
        RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    const bool translucent = verdict.verdict == MeshVerdict::Queue;
    if (record && step != -1 && !record->lit && !m.dummyFrame && !translucent)
        SetLighting(false);
    const MeshSource src = {anim, frame, anim, frame, mesh, 0.0f};
    if (!(m.flags & ANIM_MESH_TAKES_DECALS)) {
        DrawPins(src, world);
        RestoreAfterMesh(nullptr, verdict.noMip);
        return MESH_DRAWN;
    }
    if (translucent) {
        RestoreAfterMesh(nullptr, verdict.noMip);
        return MESH_TO_QUEUE;
    }
    if (m.faceCount == 0) {
        RestoreAfterMesh(record, verdict.noMip);
        return MESH_DRAWN_NOTHING;
    }
    const bool landLayer = record && record->landTexture;
    if (landLayer && RenderMeshPassIndex > 0) {
        RestoreAfterMesh(record, verdict.noMip);
        return MESH_DRAWN_NOTHING;
    }
    DrawMesh(src, texture, landLayer, world, true, Ending::FrameMesh);
    RestoreAfterMesh(record, verdict.noMip);
    return MESH_DRAWN;
}

s32_t MeshDrawLoopFrame(const MeshDrawArgs& args)
{
    if (!args.meshList || args.meshList->count == 0)
        return 0;
    SceneDrawLogAdd(MESH_DRAW_LOOP_FRAME, args);
    if (!args.mesh || args.mesh->frames_c == 0 || !args.world)
        return 0;
    if (!g_render.device)
        return 1;
    const D3DXMATRIX world(*args.world);
    const u32_t frame =
        static_cast<u32_t>(args.frame < 0.0f || !std::isfinite(args.frame) ? 0.0f : args.frame) % args.mesh->frames_c;
    BeginNode(world);
    const AnimFrame& f = args.mesh->frames[frame];
    for (u32_t k = 0; k < args.meshList->count; ++k) {
        const u32_t index = args.meshList->meshes[k];
        if (index >= f.meshes_c)
            continue;
        IDirect3DTexture8* texture = NodeTexture(args, index);
        const MeshSettings* record = NodeRecord(args, index);
        const s32_t result =
            MeshDrawFrameMesh(args.mesh, frame, index, texture, record, world, static_cast<s32_t>(args.step), false);
        if (result == MESH_TO_QUEUE)
            QueueMesh(args, world, index, args.mesh->GetMeshVertices(frame, index),
                      args.mesh->GetMeshTextureRef(frame, index));
    }
    EndNode();
    return 1;
}

void MeshDrawIndoor(AnimMesh* anim, u32_t meshIndex, u32_t frameIndex, IDirect3DTexture8* const* textures)
{
    if (!anim || !g_render.device)
        return;
    SetNodeStates();
    g_mesh.alphaTest = false;
    if (frameIndex >= anim->frames_c || meshIndex >= anim->frames[frameIndex].meshes_c)
        return;
    const AnimFrameMesh& m = anim->frames[frameIndex].meshes[meshIndex];
    if (!(m.flags & ANIM_MESH_TAKES_DECALS) || m.faceCount == 0)
        return;
    g_mesh.record = &m;
    g_mesh.material = anim->GetMeshTextureRef(frameIndex, meshIndex);
    g_mesh.vertexCount = m.vertexCount;
    g_mesh.faceCount = m.faceCount;
    g_mesh.gpu = m.gpuVertexSlot != ANIM_GPU_SLOT_NONE && m.gpuIndexSlot != ANIM_GPU_SLOT_NONE;
    IDirect3DTexture8* texture = nullptr;
    if (textures && g_mesh.material) {
        const u32_t index = g_mesh.material->textureWord & ANIM_TEXTURE_INDEX_MASK;
        if (g_mesh.material->textureWord != 0xFFFFFFFFu && index != ANIM_TEXTURE_NONE && index < anim->textures_c)
            texture = textures[index];
    }
    TextureInfo info = {};
    if (texture)
        TextureGetRecord(texture, &info);
    // The second pass follows the mesh renderers' rule: the reflection pass when the texture has both
    // reflection textures, else the back faces of a two-sided mesh.
    const bool reflection = info.reflectMap && info.secondReflectMap;
    const bool twoSided = g_mesh.material && (g_mesh.material->textureWord & ANIM_TEXTURE_TWO_SIDED);
    SetMeshMaterial(g_mesh.material);
    if (texture) {
        RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
        RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    } else {
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, ~0u);
        RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, ~0u);
    }
    RenderSetTexture(0, texture);
    Blocks blocks;
    blocks.v1 = anim->GetMeshVertices(frameIndex, meshIndex);
    blocks.uv1 = anim->GetMeshTexCoords(frameIndex, meshIndex);
    blocks.faces = anim->GetMeshFaces(frameIndex, meshIndex);
    const MeshSource src = {anim, frameIndex, anim, frameIndex, meshIndex, 0.0f};
    if (BindGeometry(src, blocks)) {
        const u32_t passes = (reflection || twoSided) ? 2 : 1;
        for (u32_t p = 0; p < passes; ++p) {
            if (p == 1 && reflection) {
                ReflectionPassBegin(info);
                RenderSetStageState(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
            } else if (p == 1) {
                BackFacesBegin();
            }
            MeshDrawIndexed(g_mesh.record, p + 1 == passes);
            if (p == 1 && !reflection)
                BackFacesEnd();
        }
        if (passes == 2 && reflection) {
            RenderDisableStage(1);
            RenderSetTexture(1, nullptr);
            RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
            RenderSetStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        }
        UnbindGpu();
    }
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    RenderSetState(D3DRS_SPECULARENABLE, 0);
}
