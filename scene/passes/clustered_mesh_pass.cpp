#include "scene/passes/clustered_mesh_pass.h"

#include "render/camera.h"
#include "render/draw2d/debug_primitives.h"
#include "render/device/dynamic_buffers.h"
#include "render/land/map_chunks.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "scene/meshes/mesh_draw.h"
#include "scene/meshes/mesh_draw_shared.h"
#include "scene/passes/object_pass.h"
#include "scene/sky/sun_lights.h"
#include "world/animation/anim_mesh.h"
#include "world/animation/clustered_mesh.h"

using namespace mesh_draw_detail;

namespace {

constexpr DWORD kClusterFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;  // 0x112
constexpr UINT kClusterStride = 32;
constexpr u32_t kLodBoxColour = 0xFFFF00E0u;
constexpr u32_t kMeshBoxColour = 0xFFFFFFFFu;
constexpr u32_t kBoxLifeMs = 1;

void BoxOf(const MeshCluster& cluster, Vector3* lo, Vector3* hi)
{
    *lo = {1e30f, 1e30f, 1e30f};
    *hi = {-1e30f, -1e30f, -1e30f};
    for (u32_t v = 0; v < cluster.vertexCount; ++v) {
        const float* p = &cluster.positions[static_cast<size_t>(v) * 3];
        lo->x = p[0] < lo->x ? p[0] : lo->x, lo->y = p[1] < lo->y ? p[1] : lo->y, lo->z = p[2] < lo->z ? p[2] : lo->z;
        hi->x = p[0] > hi->x ? p[0] : hi->x, hi->y = p[1] > hi->y ? p[1] : hi->y, hi->z = p[2] > hi->z ? p[2] : hi->z;
    }
}

void AddBox(const MeshCluster& cluster, u32_t colour)
{
    Vector3 lo, hi;
    BoxOf(cluster, &lo, &hi);
    if (lo.x <= hi.x)
        DebugBoxAdd(&lo, &hi, colour, kBoxLifeMs);
}

// The object pass's states, then the batches' own: blending by source alpha when a batch turns it
// on, lighting and specular, the sun lights, the cluster vertex format, texture times diffuse.
void SetPassStates()
{
    ObjectPassSetStates();
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    SetLighting(true);
    RenderSetState(D3DRS_SPECULARENABLE, 1);
    RenderSetSunLights(0);
    g_render.device->SetVertexShader(kClusterFvf);
    DynBuffersForgetCurrent();
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    RenderSetColorOp(1, D3DTOP_DISABLE, ~0u, ~0u);
    RenderSetAlphaOp(1, D3DTOP_DISABLE, ~0u, ~0u);
}

}  // namespace

u32_t ClusterCurrentTileWord()
{
    const float* eye = RenderGetVisibilityEye();
    return ClusterTileWordOf(Vector3{eye[0], eye[1], eye[2]});
}

void ClusterBatchDrawInTile(MeshCluster* batch, u32_t tileWord)
{
    IDirect3DDevice8* device = g_render.device;
    if (!device || !batch)
        return;
    u32_t vertexTotal = 0, faceTotal = 0;
    for (const ClusterMeshRange& range : batch->ranges) {
        if (range.tileWord != tileWord)
            continue;
        vertexTotal += range.vertexCount;
        faceTotal += range.faceCount;
    }
    if (vertexTotal == 0 || faceTotal == 0 || !batch->vertexBuffer || !batch->indexBuffer)
        return;
    RenderSetTexture(0, batch->texture);
    SetMeshMaterial(batch->material);
    const bool alphaTest = batch->material && (batch->material->textureWord & ANIM_TEXTURE_TWO_SIDED);
    const bool blend = (batch->batchFlags & CLUSTER_BATCH_ALPHA) != 0;
    if (alphaTest) {
        RenderSetState(D3DRS_ALPHATESTENABLE, 1);
        RenderSetState(D3DRS_ALPHAREF, MESH_ALPHA_REF);
        RenderSetState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    }
    if (blend) {
        RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
        RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    }
    device->SetVertexShader(kClusterFvf);
    device->SetStreamSource(0, batch->vertexBuffer, kClusterStride);
    device->SetIndices(batch->indexBuffer, 0);
    DynBuffersForgetCurrent();
    // Ranges lie in face order: neighbouring ranges of the tile draw together.
    const size_t n = batch->ranges.size();
    for (size_t i = 0; i < n;) {
        if (batch->ranges[i].tileWord != tileWord) {
            ++i;
            continue;
        }
        const u32_t firstFace = batch->ranges[i].firstFace;
        u32_t lowVertex = batch->ranges[i].firstVertex, highVertex = lowVertex, faces = 0;
        for (; i < n && batch->ranges[i].tileWord == tileWord; ++i) {
            const ClusterMeshRange& r = batch->ranges[i];
            lowVertex = r.firstVertex < lowVertex ? r.firstVertex : lowVertex;
            highVertex = r.firstVertex + r.vertexCount > highVertex ? r.firstVertex + r.vertexCount : highVertex;
            faces += r.faceCount;
        }
        if (faces == 0)
            continue;
        g_render.RenderLastResult =
            device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, lowVertex, highVertex - lowVertex, 3 * firstFace, faces);
        RenderAddStats(highVertex - lowVertex, faces, 0, 3 * faces);
    }
    device->SetStreamSource(0, nullptr, 0);
    device->SetIndices(nullptr, 0);
    if (alphaTest)
        RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    if (blend)
        RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
}

void ClusterBatchDraw(MeshCluster* batch)
{
    ClusterBatchDrawInTile(batch, ClusterCurrentTileWord());
}

void ClusteredMeshPass()
{
    if (!g_render.device)
        return;
    SetPassStates();
    ClusteredObjDrawVisible();
    const bool boxes = rbshowboxes.Bool();
    const u32_t tile = ClusterCurrentTileWord();
    u32_t count = 0;
    MeshCluster* const* lods = ClusteredObjGetLodClusters(&count);
    for (u32_t i = 0; i < count; ++i) {
        MeshCluster* lod = lods[i];
        if (!lod->visible)
            continue;
        if (boxes)
            AddBox(*lod, kLodBoxColour);
        ClusterBatchDrawInTile(lod, tile);
        ClusterListMarkAll(lod->list, lod->listCount, tile);
    }
    MeshCluster* const* meshes = ClusteredObjGetMeshClusters(&count);
    for (u32_t i = 0; i < count; ++i) {
        MeshCluster* cluster = meshes[i];
        if (!cluster->visible || cluster->tileMark == tile)
            continue;
        if (boxes)
            AddBox(*cluster, kMeshBoxColour);
        if (!cluster->hidden)
            ClusterBatchDrawInTile(cluster, tile);
    }
    g_render.worldLightingSetUp = false;
}
