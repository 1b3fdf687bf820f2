// The interpolating renderers: every mesh of a node between two frames or across a cross-fade,
// the second renderer over a node's ready-made mesh list, and the replay of mesh draw records.
#include <cmath>

#include "core/assert.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "scene/meshes/mesh_draw.h"
#include "scene/meshes/mesh_draw_shared.h"
#include "scene/meshes/object_draw.h"
#include "scene/scene_state.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"

using namespace mesh_draw_detail;

bool MeshFramePairOf(const AnimMesh* anim, const AnimMesh* source, float frame, float sourceFrame, float weight,
                     MeshFramePair* out)
{
    *out = MeshFramePair();
    if (!anim || anim->frames_c == 0)
        return false;
    auto wrap = [](float value, u32_t count) -> u32_t {
        if (count <= 1 || !std::isfinite(value))
            return 0;
        const double whole = std::trunc(static_cast<double>(value));
        const long long n = whole < -9.0e18 || whole > 9.0e18 ? 0 : static_cast<long long>(whole);
        return static_cast<u32_t>(static_cast<unsigned long long>(n) % (count - 1));
    };
    float whole = 0.0f;
    const float fraction = std::isfinite(frame) ? std::modf(frame, &whole) : 0.0f;
    out->first = anim;
    out->frame1 = wrap(frame, anim->frames_c);
    out->frame2 = anim->frames_c > 1 ? out->frame1 + 1 : 0;
    out->t = fraction;
    out->meshCount = anim->frames[out->frame1].meshes_c;
    if (source && source->frames_c > 0) {
        out->first = source;
        out->frame1 = wrap(sourceFrame, source->frames_c);
        out->frame2 = 0;
        out->t = std::isfinite(weight) ? weight : 0.0f;
        out->blending = true;
    }
    return true;
}

void MeshDrawAnimated(const MeshDrawArgs& args)
{
    SceneDrawLogAdd(MESH_DRAW_ANIMATED, args);
    MeshFramePair pair;
    if (!g_render.device || !args.world ||
        !MeshFramePairOf(args.mesh, args.blendSource, args.frame, args.blendSourceFrame, args.blendWeight, &pair))
        return;
    const AnimMesh* anim = args.mesh;
    const bool animated = g_scene.animatedFlag != 0;
    if (animated)
        ENGINE_ASSERT_TEXT(pair.meshCount == anim->frames[pair.frame2].meshes_c, "ra_meshes_c == frame2->meshes_c");
    const D3DXMATRIX world(*args.world);
    BeginNode(world);
    const Ending ending = rbsp.Bool() ? Ending::SinglePass : Ending::MultiPass;
    for (u32_t i = 0; i < pair.meshCount; ++i) {
        MeshSource src = {pair.first, pair.frame1, anim, pair.frame2, i, pair.t};
        // A blend source with fewer meshes: the rest come from the new animation unblended.
        if (src.anim1->frames[src.frame1].meshes_c <= i)
            src = {anim, pair.frame2, anim, pair.frame2, i, 0.0f};
        if (!animated)
            src.anim2 = src.anim1, src.frame2 = src.frame1;
        if (src.anim2->frames[src.frame2].meshes_c <= i)
            continue;
        const AnimFrameMesh& m = src.anim1->frames[src.frame1].meshes[i];
        if (!(m.flags & ANIM_MESH_TAKES_DECALS)) {
            DrawPins(src, world);
            continue;
        }
        const MeshSettings* record = NodeRecord(args, i);
        const MeshLodVerdict verdict = MeshLodFilter(m, record, static_cast<s32_t>(args.step), true);
        if (verdict.verdict == MeshVerdict::Skip)
            continue;
        g_mesh.alphaTest = verdict.alphaTest;
        if (verdict.noMip)
            RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
        if (verdict.verdict == MeshVerdict::Queue) {
            QueueMesh(args, world, i, src.anim1->GetMeshVertices(src.frame1, i),
                      src.anim1->GetMeshTextureRef(src.frame1, i));
            RestoreAfterMesh(nullptr, verdict.noMip);
            continue;
        }
        if (verdict.lightingOff)
            SetLighting(false);
        if (m.faceCount == 0) {
            RestoreAfterMesh(record, verdict.noMip);
            continue;
        }
        if (animated) {
            const AnimFrameMesh& m2 = src.anim2->frames[src.frame2].meshes[i];
            ENGINE_ASSERT_TEXT(m.vertexCount == m2.vertexCount && m.faceCount == m2.faceCount,
                               "(ra_mesh_vc == frame2->meshes[mi].vc) && (ra_mesh_fc == frame2->meshes[mi].fc)");
        }
        if (verdict.landLayer && RenderMeshPassIndex > 0) {
            RestoreAfterMesh(record, verdict.noMip);
            continue;
        }
        IDirect3DTexture8* texture = NodeTexture(args, i);
        DrawMesh(src, texture, verdict.landLayer, world, !animated, ending);
        RestoreAfterMesh(record, verdict.noMip);
    }
    EndNode();
}

void MeshDrawAnimatedLodList(const MeshDrawArgs& args)
{
    if (!args.mesh)
        return;
    SceneDrawLogAdd(MESH_DRAW_ANIMATED_LOD_LIST, args);
    MeshFramePair pair;
    if (!g_render.device || !args.world || !args.meshList ||
        !MeshFramePairOf(args.mesh, args.blendSource, args.frame, args.blendSourceFrame, args.blendWeight, &pair))
        return;
    const AnimMesh* anim = args.mesh;
    const bool animated = g_scene.animatedFlag != 0;
    if (animated)
        ENGINE_ASSERT_TEXT(pair.meshCount == anim->frames[pair.frame2].meshes_c, "ra_meshes_c == frame2->meshes_c");
    const D3DXMATRIX world(*args.world);
    BeginNode(world);
    for (u32_t k = 0; k < args.meshList->count; ++k) {
        const u32_t i = args.meshList->meshes[k];
        if (i >= pair.meshCount)
            continue;
        MeshSource src = {pair.first, pair.frame1, anim, pair.frame2, i, pair.t};
        if (src.anim1->frames[src.frame1].meshes_c <= i)
            src = {anim, pair.frame2, anim, pair.frame2, i, 0.0f};
        if (!animated)
            src.anim2 = src.anim1, src.frame2 = src.frame1;
        if (src.anim2->frames[src.frame2].meshes_c <= i)
            continue;
        const AnimFrameMesh& m = src.anim1->frames[src.frame1].meshes[i];
        const MeshSettings* record = NodeRecord(args, i);
        // Every listed mesh is drawn: the record gives only its flags and lighting.
        u32_t flags = MESH_LOD_DRAWN;
        if (record && (record->lodTagged || args.step < GRAPH_NODE_LOD_STEPS))
            flags = record->ModeAt(args.step);
        const bool noMip = (flags & MESH_LOD_NO_MIP) != 0;
        if (noMip)
            RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
        if (flags & MESH_LOD_TRANSLUCENT) {
            QueueMesh(args, world, i, src.anim1->GetMeshVertices(src.frame1, i),
                      src.anim1->GetMeshTextureRef(src.frame1, i));
            RestoreAfterMesh(nullptr, noMip);
            continue;
        }
        g_mesh.alphaTest = (flags & MESH_LOD_ALPHA_TEST) != 0;
        if (record && !record->lit && !m.dummyFrame)
            SetLighting(false);
        if (m.faceCount == 0) {
            RestoreAfterMesh(record, noMip);
            continue;
        }
        if (animated) {
            const AnimFrameMesh& m2 = src.anim2->frames[src.frame2].meshes[i];
            ENGINE_ASSERT_TEXT(m.vertexCount == m2.vertexCount && m.faceCount == m2.faceCount,
                               "(ra_mesh_vc == frame2->meshes[mi].vc) && (ra_mesh_fc == frame2->meshes[mi].fc)");
        }
        const bool landLayer = record && record->landTexture;
        if (landLayer && RenderMeshPassIndex > 0) {
            RestoreAfterMesh(record, noMip);
            continue;
        }
        IDirect3DTexture8* texture = NodeTexture(args, i);
        DrawMesh(src, texture, landLayer, world, !animated, Ending::SinglePass);
        RestoreAfterMesh(record, noMip);
    }
    EndNode();
}

void MeshDrawAnimatedHost(s32_t typeId, D3DMATRIX world, AnimMesh* mesh, AnimMesh* blendSource, float frame,
                          float blendSourceFrame, float blendWeight, IDirect3DTexture8* const* textures,
                          const u32_t* colours, u8_t fadeAlpha, Decal* const* decals, u32_t decalCount,
                          const MeshSettings* lodRecords, u8_t step)
{
    MeshDrawArgs args;
    args.typeId = typeId;
    args.world = &world;
    args.mesh = mesh;
    args.blendSource = blendSource;
    args.frame = frame;
    args.blendSourceFrame = blendSourceFrame;
    args.blendWeight = blendWeight;
    args.textures = textures;
    args.colours = colours;
    args.fadeAlpha = fadeAlpha;
    args.decals = decals;
    args.decalCount = decalCount;
    args.lodRecords = lodRecords;
    args.step = step;
    MeshDrawAnimated(args);
}
