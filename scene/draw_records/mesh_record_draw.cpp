#include "scene/draw_records/mesh_record_draw.h"

#include <cmath>

#include "core/assert.h"
#include "core/frame_view.h"
#include "map/map_cvars.h"
#include "render/draw2d/colour_pack.h"
#include "render/device/dynamic_buffers.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "render/textures/texture_manager.h"
#include "scene/passes/decal_pass.h"
#include "scene/draw_records/draw_record_replay.h"
#include "scene/draw_records/draw_records.h"
#include "scene/meshes/gpu_anim_buffers.h"
#include "scene/meshes/mesh_draw.h"
#include "scene/meshes/mesh_draw_shared.h"
#include "scene/meshes/mesh_fog.h"
#include "scene/vegetation/plant_batch.h"
#include "scene/scene_state.h"
#include "world/animation/anim_mesh.h"
#include "world/decals/decal.h"
#include "world/nodes/graph_node.h"

namespace {

constexpr float kNormalScale = 1.0f / 127.0f;
constexpr u32_t kRecordAlphaRef = 0x3C;
constexpr u32_t kMaxStreamIndices = 262144;

IDirect3DDevice8* Device()
{
    return g_render.device;
}

// The geometry of one record: the frames' blocks and the weights.
struct Geometry {
    const AnimFrameMesh* record = nullptr;
    const AnimVertexData* v1 = nullptr;
    const AnimVertexData* v2 = nullptr;
    const AnimTexCoords* uv1 = nullptr;
    const AnimTexCoords* uv2 = nullptr;
    const AnimFaces* faces = nullptr;
    u32_t vertexCount = 0;
    u32_t faceCount = 0;
    float f = 0.0f;
    float w = 1.0f;
};

// Blocks shorter than the mesh's counts would be read past their ends: such a mesh is not drawn.
bool GeometryFits(const Geometry& g)
{
    if (!g.v1 || !g.v2 || !g.faces || !g.v1->positions || !g.v2->positions || !g.faces->indices)
        return false;
    if (g.v1->count < g.vertexCount || g.v2->count < g.vertexCount || g.faces->count < g.faceCount)
        return false;
    return g.vertexCount <= kDynBufferVertices && 3ull * g.faceCount <= kMaxStreamIndices;
}

// Writes the blended vertices and the faces into the streaming buffers and draws them.
void DrawBlended(const Geometry& g)
{
    const u32_t vc = g.vertexCount, fc = g.faceCount;
    DynBufferSelect(&g_dynBuffers.litVertices);
    DynIndexBufferSelect(&g_dynBuffers.largeIndices);
    DynBuffersLock(vc, 3 * fc);
    float* out = reinterpret_cast<float*>(g_dynBuffers.vertexOut);
    const bool samePositions = g.v1 == g.v2;
    const bool sameUv = g.uv1 == g.uv2;
    for (u32_t v = 0; v < vc; ++v, out += 8) {
        const float* p1 = g.v1->positions + std::size_t(v) * 3;
        const float* p2 = g.v2->positions + std::size_t(v) * 3;
        float n1[3] = {0.0f, 0.0f, 0.0f}, n2[3] = {0.0f, 0.0f, 0.0f};
        if (g.v1->normals)
            UnpackNormal(g.v1->normals + std::size_t(v) * 3, n1);
        if (g.v2->normals)
            UnpackNormal(g.v2->normals + std::size_t(v) * 3, n2);
        const float* t1 = g.uv1 && v < g.uv1->count ? g.uv1->uv + std::size_t(v) * 2 : nullptr;
        const float* t2 = g.uv2 && v < g.uv2->count ? g.uv2->uv + std::size_t(v) * 2 : nullptr;
        for (int k = 0; k < 3; ++k) {
            out[k] = samePositions ? p1[k] : g.w * p1[k] + g.f * p2[k];
            out[3 + k] = samePositions ? n1[k] : g.w * n1[k] + g.f * n2[k];
        }
        for (int k = 0; k < 2; ++k) {
            const float a = t1 ? t1[k] : 0.0f, b = t2 ? t2[k] : a;
            out[6 + k] = sameUv ? a : g.w * a + g.f * b;
        }
    }
    u16_t* index = g_dynBuffers.indexOut;
    const u16_t base = g_dynBuffers.baseVertex;
    for (u32_t face = 0; face < fc; ++face) {
        u16_t corners[3];
        FaceGetIndices(g.faces->indices, face, corners);
        for (u16_t corner : corners)
            *index++ = static_cast<u16_t>(base + (corner < vc ? corner : 0));
    }
    DynBuffersUnlock();
    DynBuffersDrawIndexed(D3DPT_TRIANGLELIST, vc, 3 * fc, true);
}

void DrawFromGpu(const Geometry& g, IDirect3DVertexBuffer8* vb, IDirect3DIndexBuffer8* ib)
{
    Device()->SetVertexShader(GPU_ANIM_FVF);
    Device()->SetStreamSource(0, vb, GPU_ANIM_VERTEX_BYTES);
    Device()->SetIndices(ib, g.record->gpuFirstVertex);
    Device()->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, g.vertexCount, g.record->gpuFirstIndex, g.faceCount);
    RenderCountDraw(D3DPT_TRIANGLELIST, g.vertexCount, 3 * g.faceCount);
    Device()->SetStreamSource(0, nullptr, 0);
    DynBuffersForgetCurrent();
}

}  // namespace

bool MeshRecordFramesOf(u32_t frameCount, float frame, MeshRecordFrames* out)
{
    *out = MeshRecordFrames{};
    if (frameCount == 0)
        return false;
    // A frame that is no number or lies before the start draws the first frame.
    if (!std::isfinite(frame) || frame < 0.0f)
        frame = 0.0f;
    double whole = 0.0;
    const float f = static_cast<float>(std::modf(static_cast<double>(frame), &whole));
    // One frame has no second to wrap by: both frames are frame 0.
    const u32_t span = frameCount - 1;
    const u32_t i = span == 0 ? 0 : static_cast<u32_t>(std::fmod(whole, double(span)));
    out->first = i;
    out->second = span == 0 ? 0 : i + 1;
    out->f = f;
    out->w = 1.0f - f;
    return true;
}

void MeshRecordDraw(DrawRecord* record)
{
    // 1. A pending plant batch is drawn with the plant states before they change.
    PlantBatchFlush();

    const MeshRecordFields& fields = record->fields.mesh;
    const AnimMesh* anim = fields.mesh;
    MeshRecordFrames frames;
    if (!anim || !MeshRecordFramesOf(anim->frames_c, fields.frame, &frames))
        return;
    const u32_t index = fields.meshWord & 0xFFFF;
    const bool interpolate = (fields.meshWord & DRAW_RECORD_ANIMATED) != 0;
    const AnimFrame& frame1 = anim->frames[frames.first];
    const AnimFrame& frame2 = anim->frames[frames.second];
    if (interpolate)
        ENGINE_ASSERT_TEXT(frame1.meshes_c == frame2.meshes_c, "frame1.meshes_c == frame2.meshes_c");
    if (index >= frame1.meshes_c || index >= frame2.meshes_c)
        return;

    // 3. Counts of frame i, the material reference.
    Geometry g;
    g.record = &frame1.meshes[index];
    g.vertexCount = g.record->vertexCount;
    g.faceCount = g.record->faceCount;
    const u32_t second = interpolate ? frames.second : frames.first;
    g.v1 = anim->GetMeshVertices(frames.first, index);
    g.v2 = anim->GetMeshVertices(second, index);
    g.uv1 = anim->GetMeshTexCoords(frames.first, index);
    g.uv2 = anim->GetMeshTexCoords(second, index);
    g.faces = anim->GetMeshFaces(frames.first, index);
    g.f = interpolate ? frames.f : 0.0f;
    g.w = 1.0f - g.f;
    const AnimMaterial* material = anim->GetMeshTextureRef(frames.first, index);

    // 4. Level of detail: alpha test, mip filter and lighting.
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
    bool alphaTest = false;
    bool lighting = true;
    if (const MeshSettings* lod = fields.lodRecords ? &fields.lodRecords[index] : nullptr) {
        const u32_t mode = lod->ModeAt(fields.step < GRAPH_NODE_LOD_STEPS ? fields.step : 0);
        alphaTest = (mode & MESH_LOD_ALPHA_TEST) != 0;
        if (mode & MESH_LOD_NO_MIP)
            RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
        lighting = lod->lit != 0;
    }

    // 5-7. Transform, material, lighting and the record's blend.
    Device()->SetTransform(D3DTS_WORLD, &record->world);
    mesh_draw_detail::SetMeshMaterial(material);
    mesh_draw_detail::SetLighting(lighting);
    RenderSetState(D3DRS_SRCBLEND, record->SourceBlend());
    RenderSetState(D3DRS_DESTBLEND, record->DestinationBlend());

    // 8. The alpha: the fade, or the material's opacity.
    if (fields.fade) {
        RenderSetState(D3DRS_TEXTUREFACTOR, u32_t(256 - fields.fade) << 24);
        alphaTest = false;
    } else {
        const float opacity = material ? material->opacity : 1.0f;
        RenderSetState(D3DRS_TEXTUREFACTOR, ColourByteTruncated(opacity) << 24);
    }

    // 9-10. Stage 0 and the alpha test.
    IDirect3DTexture8* texture = fields.texture;
    if (g_drawRecordReplay.skyPass)
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT);
    else
        RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    if (texture)
        RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR);
    else
        RenderSetAlphaOp(0, D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_TFACTOR);
    if (alphaTest) {
        RenderSetState(D3DRS_ALPHATESTENABLE, 1);
        RenderSetState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
        RenderSetState(D3DRS_ALPHAREF, kRecordAlphaRef);
    }

    // 11. The passes.
    RenderSetTexture(0, texture);
    IDirect3DTexture8* reflect = texture ? TextureGetReflectMap(texture) : nullptr;
    IDirect3DTexture8* secondReflect = texture ? TextureGetSecondReflectMap(texture) : nullptr;
    const bool reflection = reflect && secondReflect;
    const bool twoSided = !reflection && material && (material->textureWord & ANIM_TEXTURE_TWO_SIDED);
    const int passes = reflection || twoSided ? 2 : 1;

    // 12. Object fog by the distance the sort key holds.
    bool fogPass = false;
    D3DCOLOR fogColour = 0;
    if (g_scene.objectFog) {
        const float d = std::sqrt(record->sortKey > 0.0f ? record->sortKey : 0.0f);
        const float start = 10.0f * mffogstart.Float();
        if (d > start) {
            const u32_t alpha = FogAlphaAt(d, start, 10.0f * mfrange.Float(), mffogpow.Float());
            fogColour = (ColourPackRounded(mcfogcolor.Colour()) & 0x00FFFFFFu) | (alpha << 24);
            fogPass = rbfog.Bool() && !g_frameView.viewModeToggle;
        }
    }

    // 13. Each pass: the GPU buffers of a mesh not interpolated, else the blended vertices.
    IDirect3DVertexBuffer8* gpuVertices = nullptr;
    IDirect3DIndexBuffer8* gpuIndices = nullptr;
    if (!interpolate) {
        gpuVertices = GpuAnimVertexBuffer(g.record->gpuVertexSlot);
        gpuIndices = GpuAnimIndexBuffer(g.record->gpuIndexSlot);
    }
    const bool gpu = gpuVertices && gpuIndices;
    const bool drawable = g.faceCount > 0 && (gpu || GeometryFits(g));
    for (int p = 0; p < passes && drawable; ++p) {
        RenderSetStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        RenderDisableStage(1);
        if (p == 1 && twoSided) {
            RenderSetState(D3DRS_CULLMODE, D3DCULL_CCW);
            Device()->LightEnable(0, FALSE);
            Device()->LightEnable(1, TRUE);
        } else if (p == 1) {
            RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
            RenderSetStageState(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
            RenderSetStageState(1, D3DTSS_TEXCOORDINDEX, 0);
            RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, ~0u);
            RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, ~0u);
            RenderSetColorOp(1, D3DTOP_SELECTARG1, D3DTA_CURRENT, ~0u);
            RenderSetAlphaOp(1, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
            RenderDisableStage(2);
            RenderSetTexture(0, secondReflect);
            RenderSetTexture(1, reflect);
        }
        if (gpu) {
            DrawFromGpu(g, gpuVertices, gpuIndices);
        } else {
            DrawBlended(g);
            if (fogPass) {
                RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, ~0u);
                RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TFACTOR, D3DTA_TEXTURE);
                RenderSetState(D3DRS_TEXTUREFACTOR, fogColour);
                DrawBlended(g);
            }
        }
        if (p == 1 && twoSided) {
            RenderSetState(D3DRS_CULLMODE, D3DCULL_CW);
            Device()->LightEnable(0, TRUE);
            Device()->LightEnable(1, FALSE);
        }
    }

    // 14-15. What the following records start from.
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    if (reflection) {
        RenderSetStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        RenderDisableStage(1);
    }
    mesh_draw_detail::SetLighting(false);
    RenderSetState(D3DRS_ZENABLE, D3DZB_TRUE);
    RenderSetState(D3DRS_ZWRITEENABLE, 0);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);

    // 16. The mesh's decals, each on the faces of this mesh of frame i.
    if (fields.decals) {
        DynBufferSelect(&g_dynBuffers.colTexVertices);
        DynIndexBufferSelect(&g_dynBuffers.largeIndices);
        for (u32_t d = 0; d < fields.decalCount; ++d) {
            Decal* decal = fields.decals[d];
            if (!decal)
                continue;
            decal->UpdateFade();
            RenderDrawTintedMesh(decal, g.record);
        }
        Device()->SetStreamSource(0, nullptr, 0);
        Device()->SetIndices(nullptr, 0);
        DynBuffersForgetCurrent();
    }
    // 17. The culling the following passes expect.
    RenderSetState(D3DRS_CULLMODE, D3DCULL_CW);
}
