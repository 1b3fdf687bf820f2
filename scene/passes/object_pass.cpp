#include "scene/passes/object_pass.h"

#include "core/log.h"
#include "map/meshes/collision_mesh.h"
#include "map/map_cvars.h"
#include "map/meshes/map_mesh.h"
#include "map/meshes/map_mesh_reader.h"
#include "map/octree/object_grid.h"
#include "map/octree/octree.h"
#include "render/camera.h"
#include "render/draw2d/colour_pack.h"
#include "render/draw2d/debug_primitives.h"
#include "render/device/dynamic_buffers.h"
#include "render/device/pass_timing.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "render/land/visible_nodes.h"
#include "scene/passes/clustered_mesh_pass.h"
#include "scene/meshes/gpu_anim_buffers.h"
#include "scene/passes/static_map_pass.h"
#include "scene/sky/sun_lights.h"
#include "world/objects/dynamic_object.h"

ConsoleVar rbshowdecals("rbshowdecals", CVAR_BOOL, "true");

ShadowList g_shadowList;

namespace {

constexpr u32_t kBoxLifeMs = 1;
// The largest index block the mesh streams take in one lock.
constexpr u32_t kMaxStreamIndices = 262144;

struct LightmappedVertex {
    float position[3];
    float uv[2];
    float mapUv[2];
};
static_assert(sizeof(LightmappedVertex) == 28, "the lightmapped stream's 28-byte vertex");

struct PlainVertex {
    float position[3];
    float uv[2];
};
static_assert(sizeof(PlainVertex) == 20, "the plain stream's 20-byte vertex");

u32_t BoxColour(u32_t kind)
{
    switch (kind) {
        case OBJECT_GRID_SHADOW:
            return OBJECT_BOX_SHADOW;
        case OBJECT_GRID_MAP_MESH:
            return OBJECT_BOX_MAP_MESH;
        case OBJECT_GRID_OBJECT:
            return OBJECT_BOX_OBJECT;
        default:
            return OBJECT_BOX_OTHER;
    }
}

void WriteIndices(const CollisionMesh& mesh)
{
    u16_t* out = g_dynBuffers.indexOut;
    const u16_t base = g_dynBuffers.baseVertex;
    const u32_t vc = mesh.vertexCount;
    for (u32_t f = 0; f < mesh.faceCount; ++f) {
        for (int k = 0; k < 3; ++k) {
            // An index past the mesh's vertices would read outside the block: it takes vertex 0.
            const u16_t index = mesh.faces[f].indices[k];
            *out++ = static_cast<u16_t>(base + (index < vc ? index : 0));
        }
    }
}

bool FitsStreams(const MapMesh& record, const CollisionMesh& mesh)
{
    if (mesh.vertexCount <= kDynBufferVertices && 3ull * mesh.faceCount <= kMaxStreamIndices)
        return true;
    static const MapMesh* warned = nullptr;
    if (warned != &record) {
        warned = &record;
        Log("WARNING: map mesh '%s' (%u vertices, %u faces) is too large for the streaming buffers; not drawn\n",
            record.name.Text(), mesh.vertexCount, mesh.faceCount);
    }
    return false;
}

// Texture times lightmap (or the texture alone), then the fog colour blended by the fog texture's
// alpha, addressed by the map coordinates through the fog matrix.
void DrawMapMesh(const MapMesh& record, const D3DXMATRIX& identity, const StaticMapTextures& textures,
                 const D3DXMATRIX* fogMatrix)
{
    const CollisionMesh& mesh = *record.collision;
    if (!FitsStreams(record, mesh))
        return;
    IDirect3DDevice8* device = g_render.device;
    const u32_t vc = mesh.vertexCount, ic = 3 * mesh.faceCount;
    const bool lightmapped = (record.flags & MAP_MESH_LAND) != 0;
    // The fog layer of the mesh before leaves stage 0 on the fog colour: each mesh sets its own.
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetTexture(0, record.texture);
    device->SetTransform(D3DTS_WORLD, &identity);
    if (lightmapped) {
        DynBufferSelect(&g_dynBuffers.tex2Vertices);
        RenderSetTexture(1, textures.lightmap);
        RenderSetColorOp(1, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
        RenderSetAlphaOp(1, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    } else {
        DynBufferSelect(&g_dynBuffers.texVertices);
    }
    DynIndexBufferSelect(&g_dynBuffers.largeIndices);
    RenderSetState(D3DRS_LIGHTING, 0);
    g_render.worldLightingSetUp = false;

    DynBuffersLock(vc, ic);
    if (lightmapped) {
        auto* out = reinterpret_cast<LightmappedVertex*>(g_dynBuffers.vertexOut);
        for (u32_t v = 0; v < vc; ++v) {
            const MapVertex& in = mesh.vertices[v];
            out[v] = {{in.position.x, in.position.y, in.position.z}, {in.u, in.v}, {0.0f, 0.0f}};
            MapWorldToUV(out[v].mapUv, out[v].position);
        }
    } else {
        auto* out = reinterpret_cast<PlainVertex*>(g_dynBuffers.vertexOut);
        for (u32_t v = 0; v < vc; ++v) {
            const MapVertex& in = mesh.vertices[v];
            out[v] = {{in.position.x, in.position.y, in.position.z}, {in.u, in.v}};
        }
    }
    WriteIndices(mesh);
    DynBuffersUnlock();
    DynBuffersDrawIndexed(D3DPT_TRIANGLELIST, vc, ic, true);

    if (!fogMatrix || !textures.fog)
        return;
    RenderSetState(D3DRS_ALPHABLENDENABLE, 1);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, ~0u);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, ~0u);
    RenderSetState(D3DRS_TEXTUREFACTOR, ColourPackRounded(mcfogcolor.Colour()));
    RenderSetStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    device->SetTransform(D3DTS_TEXTURE0, fogMatrix);
    RenderSetTexture(0, textures.fog);
    RenderSetColorOp(1, D3DTOP_DISABLE, ~0u, ~0u);
    RenderSetAlphaOp(1, D3DTOP_DISABLE, ~0u, ~0u);

    DynBufferSelect(&g_dynBuffers.texVertices);
    DynBuffersLock(vc, ic);
    auto* out = reinterpret_cast<PlainVertex*>(g_dynBuffers.vertexOut);
    for (u32_t v = 0; v < vc; ++v) {
        const MapVertex& in = mesh.vertices[v];
        out[v].position[0] = in.position.x;
        out[v].position[1] = in.position.y;
        out[v].position[2] = in.position.z;
        MapWorldToUV(out[v].uv, out[v].position);
    }
    WriteIndices(mesh);
    DynBuffersUnlock();
    DynBuffersDrawIndexed(D3DPT_TRIANGLELIST, vc, ic, true);
    RenderSetStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
}

}  // namespace

void ObjectPassSetStates()
{
    RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    RenderSetState(D3DRS_FILLMODE, rbwireframe.Bool() ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_CW);
    RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
    RenderSetWrapAndMaterialSources();
}

bool ObjectPassFogMatrix(float dx, float dz, float cx, float cz, float range, D3DXMATRIX* out)
{
    // A range of 0 or below (a console value) would divide by zero.
    if (!(range > 0.0f) || !(dx > 0.0f) || !(dz > 0.0f))
        return false;
    const float s = dx / (20.0f * range);
    D3DXMatrixIdentity(out);
    out->_11 = s;
    out->_22 = s;
    out->_31 = (-cx / dx - 0.5f) * s + 0.5f;
    out->_32 = (cz / dz - 0.5f) * s + 0.5f;
    return true;
}

void RenderObjectPass()
{
    D3DXMATRIX fog;
    bool hasFog = false;
    if (const OctreeNode* root = OctreeGetRoot()) {
        Vector3 eye;
        RenderGetCameraPosition(&eye);
        hasFog = ObjectPassFogMatrix(root->boxMax.x - root->boxMin.x, root->boxMax.z - root->boxMin.z, eye.x, eye.z,
                                     mfrange.Float(), &fog);
    }
    RenderObjectPassWith(StaticMapTexturesOfMap(), hasFog ? &fog : nullptr);
}

void RenderObjectPassWith(const StaticMapTextures& textures, const D3DXMATRIX* fogMatrix)
{
    IDirect3DDevice8* device = g_render.device;
    if (!device)
        return;
    ObjectPassSetStates();
    RenderSetSunLights(0);
    g_shadowList.count = 0;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);

    if (rbobjects.Bool()) {
        const bool boxes = rbshowboxes.Bool();
        for (u32_t i = 0; i < g_visible.objectCount; ++i) {
            ObjectGridEntry* entry = g_visible.objects[i];
            if (!entry)
                continue;
            if (boxes)
                DebugBoxAdd(&entry->boxMin, &entry->boxMax, BoxColour(entry->kind), kBoxLifeMs);
            switch (entry->kind) {
                case OBJECT_GRID_SHADOW:
                    if (g_shadowList.count < OBJECT_PASS_SHADOW_LIMIT)
                        g_shadowList.records[g_shadowList.count++] = entry;
                    break;
                case OBJECT_GRID_OBJECT:
                    if (entry->owner)
                        static_cast<DynamicObject*>(entry->owner)->Render();
                    break;
                case OBJECT_GRID_MAP_MESH: {
                    const MapMesh* mesh = static_cast<const MapMesh*>(entry->owner);
                    if (mesh && mesh->collision && mesh->collision->faceCount && mesh->collision->vertices &&
                        mesh->collision->faces)
                        DrawMapMesh(*mesh, identity, textures, fogMatrix);
                    break;
                }
                default:
                    break;
            }
        }
    }
    device->SetStreamSource(0, nullptr, 0);
    DynBuffersForgetCurrent();
    device->SetTransform(D3DTS_WORLD, &identity);
    if (rbclusters.Bool()) {
        RenderTimingBegin(TIMED_PASS_CLUSTERS);
        ClusteredMeshPass();
        RenderTimingEnd(TIMED_PASS_CLUSTERS);
    }
    RenderSetState(D3DRS_FILLMODE, D3DFILL_SOLID);
}
