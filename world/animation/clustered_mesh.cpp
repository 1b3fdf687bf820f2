#include "world/animation/clustered_mesh.h"

#include "core/strings/finite_number.h"
#include "core/frame_view.h"
#include "core/strings/text_case.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/assert.h"
#include "core/files/def_file.h"
#include "core/log.h"
#include "core/world_repeat.h"
#include "map/octree/object_grid.h"
#include "map/octree/octree_query.h"
#include "map/registry/world_registry.h"
#include "platform/d3d8_texture_exchange.h"
#include "platform/d3dx8_math.h"
#include "platform/win32.h"
#include "render/device/render_context.h"
#include "render/device/device_hooks.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "render/textures/texture_manager.h"
#include "world/animation/anim_mesh.h"
#include "world/objects/dynamic_object.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

namespace {

PtrArray<ClusterGroup>* g_groups = nullptr;
MeshCluster* g_lodClusters[CLUSTER_MAX_LOD_CLUSTERS];
u32_t g_lodClusterCount = 0;
MeshCluster* g_meshClusters[CLUSTER_MAX_MESH_CLUSTERS];
u32_t g_meshClusterCount = 0;

constexpr DWORD kClusterFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;  // 0x112
constexpr UINT kClusterStride = 32;
constexpr int kMergeDetailLevel = 2;

bool KeyIs(const DefEntry* entry, const char* key)
{
    return CompareNoCase(entry->key.Text(), key) == 0;
}

// 5a: the record of the texture that can take the mesh; a new one next to the texture's other
// records (before the last of them) or at the end.
MeshCluster* ClusterFor(ClusterGroup& group, IDirect3DTexture8* texture, u32_t vertices, u32_t faces)
{
    GrowArray<MeshCluster*>& list = group.meshClusters;
    s32_t lastOfRun = -1;
    for (s32_t i = 0; i < list.count; ++i) {
        if (list[i]->texture != texture)
            continue;
        if (list[i]->CanTake(vertices, faces))
            return list[i];
        lastOfRun = i;
    }
    MeshCluster* cluster = new MeshCluster;
    cluster->texture = texture;
    list.Append(cluster);
    if (lastOfRun >= 0) {
        for (s32_t i = list.count - 1; i > lastOfRun; --i)
            list[i] = list[i - 1];
        list[lastOfRun] = cluster;
    }
    ENGINE_ASSERT_TEXT(cluster, "pCluster");
    return cluster;
}

// 5b: the mesh's vertices in world space, its normals turned, its faces renumbered.
void MergeMesh(MeshCluster& cluster, const AnimMesh& mesh, u32_t m, const D3DXMATRIX& world, u32_t tileWord)
{
    const AnimFrameMesh& frameMesh = mesh.frames[0].meshes[m];
    const AnimVertexData* vertices = mesh.GetMeshVertices(0, m);
    const AnimTexCoords* coords = mesh.GetMeshTexCoords(0, m);
    const AnimFaces* faces = mesh.GetMeshFaces(0, m);
    if (!cluster.material)
        cluster.material = mesh.GetMeshTextureRef(0, m);
    const u32_t base = cluster.vertexCount;
    cluster.ranges.push_back({base, frameMesh.vertexCount, cluster.faceCount, frameMesh.faceCount, tileWord});
    for (u32_t v = 0; v < frameMesh.vertexCount; ++v) {
        const float* p = vertices->positions + static_cast<size_t>(v) * 3;
        const s8_t* n = vertices->normals + static_cast<size_t>(v) * 3;
        const D3DXVECTOR3 position(p[0], p[1], p[2]);
        const D3DXVECTOR3 normal(n[0] / 127.0f, n[1] / 127.0f, n[2] / 127.0f);
        D3DXVECTOR3 out;
        D3DXVec3TransformCoord(&out, &position, &world);
        cluster.positions.insert(cluster.positions.end(), {out.x, out.y, out.z});
        D3DXVec3TransformNormal(&out, &normal, &world);
        cluster.normals.insert(cluster.normals.end(), {out.x, out.y, out.z});
        cluster.texCoords.insert(cluster.texCoords.end(), {coords->uv[v * 2], coords->uv[v * 2 + 1]});
    }
    for (u32_t i = 0; i < frameMesh.faceCount * 3; ++i)
        cluster.faces.push_back(static_cast<u16_t>(faces->indices[i] + base));
    cluster.vertexCount = static_cast<u16_t>(base + frameMesh.vertexCount);
    cluster.faceCount = static_cast<u16_t>(cluster.faceCount + frameMesh.faceCount);
}

bool MeshShownAtMergeLevel(const GraphNode& node, const AnimFrameMesh& frameMesh, u32_t m)
{
    if (frameMesh.detailLevel != kMergeDetailLevel && frameMesh.detailLevel != -1)
        return false;
    return !node.GetMeshSettings() || MeshSettingsShows(node.GetMeshSettings()[m], kMergeDetailLevel);
}

void MergeNodeMesh(ClusterGroup& group, GraphNode& node, const AnimMesh& mesh, u32_t m, const D3DXMATRIX& world,
                   u32_t tileWord)
{
    const AnimFrameMesh& frameMesh = mesh.frames[0].meshes[m];
    if (!MeshShownAtMergeLevel(node, frameMesh, m))
        return;
    // A mesh no cluster could ever hold is left out of the far view rather than ending the program.
    if (frameMesh.vertexCount >= CLUSTER_INDEX_LIMIT || frameMesh.faceCount >= CLUSTER_INDEX_LIMIT) {
        Log("WARNING: mesh %s is too large for a cluster\n", mesh.MeshName(frameMesh));
        return;
    }
    IDirect3DTexture8* texture = node.GetMeshTextures() ? node.GetMeshTextures()[m] : nullptr;
    MeshCluster* cluster = ClusterFor(group, texture, frameMesh.vertexCount, frameMesh.faceCount);
    MergeMesh(*cluster, mesh, m, world, tileWord);
}

// Depth first, children in index order.
void MergeNode(ClusterGroup& group, GraphNode& node, u32_t tileWord)
{
    const AnimMesh* mesh = node.GetAnimMesh();
    if (mesh && mesh->frames_c) {
        D3DXMATRIX world;
        node.UpdateTransform(&world);
        const u32_t count = mesh->frames[0].meshes_c;
        // The node's mesh-selection list is its farthest level of detail.
        if (const LodLevel* selection = node.GetLastLodLevel()) {
            for (u32_t i = 0; i < selection->count; ++i) {
                if (selection->meshes[i] < count)
                    MergeNodeMesh(group, node, *mesh, selection->meshes[i], world, tileWord);
            }
        } else {
            for (u32_t m = 0; m < count; ++m)
                MergeNodeMesh(group, node, *mesh, m, world, tileWord);
        }
    }
    for (s32_t i = 0; i < node.GetChildCount(); ++i)
        MergeNode(group, *node.GetChild(i), tileWord);
}

void AddObject(ClusterGroup& group, const char* name)
{
    DynamicObject* object = DynObjectGet(DynObjectFindIndex(name));
    if (!object)
        return;
    if (GraphObj* graphic = dynamic_cast<GraphObj*>(object))
        MergeNode(group, *graphic->GetRootNode(), ClusterTileWordOf(object->GetPosition()));
    group.objects.Append(object);
}

void ComputeBounds(ClusterGroup& group)
{
    Vector3 lo = {1e30f, 1e30f, 1e30f}, hi = {-1e30f, -1e30f, -1e30f};
    for (s32_t c = 0; c < group.meshClusters.count; ++c) {
        const MeshCluster& cluster = *group.meshClusters[c];
        for (u32_t v = 0; v < cluster.vertexCount; ++v) {
            const float* p = &cluster.positions[static_cast<size_t>(v) * 3];
            lo = {std::fmin(lo.x, p[0]), std::fmin(lo.y, p[1]), std::fmin(lo.z, p[2])};
            hi = {std::fmax(hi.x, p[0]), std::fmax(hi.y, p[1]), std::fmax(hi.z, p[2])};
        }
    }
    group.boxMin = lo;
    group.boxMax = hi;
    group.centre = {(lo.x + hi.x) * 0.5f, (lo.y + hi.y) * 0.5f, (lo.z + hi.z) * 0.5f};
    const double dx = double(hi.x) - lo.x, dy = double(hi.y) - lo.y, dz = double(hi.z) - lo.z;
    group.radius = static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz) * 0.5);
}

// Where a source's coordinates land in the atlas: u' = (u x width + x) / atlas width, with the
// width of the source's own level-3 image (not a fixed eighth of the atlas).
struct AtlasPlace {
    float scaleU = 0.0f, scaleV = 0.0f;
    float offsetU = 0.0f, offsetV = 0.0f;
};

// The atlas of the group's sources: each texture of its mesh clusters once, in their order (the
// clusters of one texture stand together), with the source each cluster takes and where each was placed.
IDirect3DTexture8* BuildAtlas(const ClusterGroup& group, std::vector<IDirect3DTexture8*>& textures,
                              std::vector<size_t>& textureOf, std::vector<POINT>& offsets)
{
    const GrowArray<MeshCluster*>& clusters = group.meshClusters;
    textureOf.resize(static_cast<size_t>(clusters.count));
    for (s32_t c = 0; c < clusters.count; ++c) {
        if (textures.empty() || textures.back() != clusters[c]->texture)
            textures.push_back(clusters[c]->texture);
        textureOf[static_cast<size_t>(c)] = textures.size() - 1;
    }
    offsets.assign(textures.size(), POINT{-1, -1});
    return TextureAtlasBuild(textures.data(), static_cast<int>(textures.size()), offsets.data(), CLUSTER_ATLAS_SIZE,
                             CLUSTER_ATLAS_SIZE, CLUSTER_ATLAS_LEVEL);
}

void BuildLodCluster(ClusterGroup& group)
{
    GrowArray<MeshCluster*>& clusters = group.meshClusters;
    if (clusters.count == 0)
        return;
    std::vector<IDirect3DTexture8*> textures;
    std::vector<size_t> textureOf;
    std::vector<POINT> offsets;
    IDirect3DTexture8* atlas = BuildAtlas(group, textures, textureOf, offsets);
    std::vector<AtlasPlace> places(textures.size());
    for (size_t t = 0; t < textures.size(); ++t) {
        D3DSURFACE_DESC desc;
        // A source the atlas could not place shrinks to its corner texel.
        if (offsets[t].x < 0 || !textures[t] || FAILED(textures[t]->GetLevelDesc(CLUSTER_ATLAS_LEVEL, &desc)))
            continue;
        places[t] = {float(desc.Width) / CLUSTER_ATLAS_SIZE, float(desc.Height) / CLUSTER_ATLAS_SIZE,
                     float(offsets[t].x) / CLUSTER_ATLAS_SIZE, float(offsets[t].y) / CLUSTER_ATLAS_SIZE};
    }

    MeshCluster* lod = new MeshCluster;
    lod->texture = atlas;
    lod->material = clusters[clusters.count - 1]->material;
    for (s32_t c = 0; c < clusters.count; ++c) {
        const MeshCluster& source = *clusters[c];
        if (!lod->CanTake(source.vertexCount, source.faceCount)) {
            Log("MeshCluster does not fit into LodCluster!\n");
            continue;
        }
        const AtlasPlace& place = places[textureOf[static_cast<size_t>(c)]];
        const u16_t base = lod->vertexCount;
        lod->positions.insert(lod->positions.end(), source.positions.begin(), source.positions.end());
        lod->normals.insert(lod->normals.end(), source.normals.begin(), source.normals.end());
        for (u32_t v = 0; v < source.vertexCount; ++v) {
            const float u = std::fmin(std::fmax(source.texCoords[v * 2], 0.0f), 1.0f);
            const float w = std::fmin(std::fmax(source.texCoords[v * 2 + 1], 0.0f), 1.0f);
            lod->texCoords.push_back(u * place.scaleU + place.offsetU);
            lod->texCoords.push_back(w * place.scaleV + place.offsetV);
        }
        for (u16_t index : source.faces)
            lod->faces.push_back(static_cast<u16_t>(index + base));
        // Each merged object's range keeps its tile word.
        for (ClusterMeshRange range : source.ranges) {
            range.firstVertex += base;
            range.firstFace += lod->faceCount;
            lod->ranges.push_back(range);
        }
        lod->vertexCount = static_cast<u16_t>(base + source.vertexCount);
        lod->faceCount = static_cast<u16_t>(lod->faceCount + source.faceCount);
    }
    group.lodCluster = lod;
}

// The default-pool vertex buffer (32-byte interleaved vertices) and the system-memory index buffer.
void CreateBuffers(MeshCluster& cluster)
{
    IDirect3DDevice8* device = g_render.device;
    if (!device || cluster.vertexCount == 0 || cluster.faceCount == 0)
        return;
    if (!cluster.vertexBuffer) {
        HRESULT result = device->CreateVertexBuffer(cluster.vertexCount * kClusterStride, D3DUSAGE_WRITEONLY,
                                                    kClusterFvf, D3DPOOL_DEFAULT, &cluster.vertexBuffer);
        ENGINE_ASSERT_TEXT(result == D3D_OK, "res == D3D_OK");
        BYTE* data = nullptr;
        result = cluster.vertexBuffer->Lock(0, 0, &data, D3DLOCK_NOSYSLOCK);
        ENGINE_ASSERT_TEXT(result == D3D_OK, "res == D3D_OK");
        for (u32_t v = 0; v < cluster.vertexCount; ++v) {
            float* out = reinterpret_cast<float*>(data + static_cast<size_t>(v) * kClusterStride);
            std::memcpy(out, &cluster.positions[v * 3], 12);
            std::memcpy(out + 3, &cluster.normals[v * 3], 12);
            std::memcpy(out + 6, &cluster.texCoords[v * 2], 8);
        }
        cluster.vertexBuffer->Unlock();
    }
    if (!cluster.indexBuffer) {
        const UINT bytes = cluster.faceCount * 6u;
        HRESULT result = device->CreateIndexBuffer(bytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_SYSTEMMEM,
                                                   &cluster.indexBuffer);
        ENGINE_ASSERT_TEXT(result == D3D_OK, "res == D3D_OK");
        BYTE* data = nullptr;
        result = cluster.indexBuffer->Lock(0, 0, &data, D3DLOCK_NOSYSLOCK);
        ENGINE_ASSERT_TEXT(result == D3D_OK, "res == D3D_OK");
        std::memcpy(data, cluster.faces.data(), bytes);
        cluster.indexBuffer->Unlock();
    }
}

bool ParseSwitchDistance(const char* text, float* distance)
{
    float value = 0.0f;
    if (!ReadFiniteFloat(text, value)) {
        *distance = 0.0f;
        return false;
    }
    *distance = value * 10.0f;
    return true;
}

}  // namespace

MeshCluster::~MeshCluster()
{
    ReleaseBuffers();
}

void MeshCluster::ReleaseBuffers()
{
    if (vertexBuffer)
        vertexBuffer->Release();
    if (indexBuffer)
        indexBuffer->Release();
    vertexBuffer = nullptr;
    indexBuffer = nullptr;
}

ClusterGroup::~ClusterGroup()
{
    delete lodCluster;
    for (s32_t c = 0; c < meshClusters.count; ++c)
        delete meshClusters[c];
}

namespace {

// Puts the group's clusters into the frame's lists and makes their buffers.
void ListGroup(ClusterGroup& group)
{
    for (s32_t c = 0; c < group.meshClusters.count; ++c) {
        MeshCluster* cluster = group.meshClusters[c];
        CreateBuffers(*cluster);
        if (g_meshClusterCount < CLUSTER_MAX_MESH_CLUSTERS)
            g_meshClusters[g_meshClusterCount++] = cluster;
        else
            Log("WARNING: more than %u mesh clusters; cluster of group %s left out\n", CLUSTER_MAX_MESH_CLUSTERS,
                group.name.Text());
    }
    if (MeshCluster* lod = group.lodCluster) {
        CreateBuffers(*lod);
        lod->list = group.meshClusters.count ? &group.meshClusters[0] : nullptr;
        lod->listCount = static_cast<u32_t>(group.meshClusters.count);
        if (g_lodClusterCount < CLUSTER_MAX_LOD_CLUSTERS)
            g_lodClusters[g_lodClusterCount++] = lod;
        else
            Log("WARNING: more than %u level-of-detail clusters; group %s left out\n", CLUSTER_MAX_LOD_CLUSTERS,
                group.name.Text());
    }
}

}  // namespace

bool ClusteredObjLoad(const char* missionFolder)
{
    const std::string path = std::string(missionFolder ? missionFolder : "") + "\\mission.ctr";
    DefFile* file = DefFileLoad(path.c_str());
    if (!file || !file->first)
        return false;
    ClusteredObjFreeAll();
    g_groups = new PtrArray<ClusterGroup>;
    RenderRegisterDeviceHooks({RENDER_HOOK_CLUSTERED_MESHES, ClusteredObjReleaseDeviceBuffers,
                               ClusteredObjCreateDeviceBuffers, nullptr,
                               // The atlases are made from textures, not loaded: made again from the reloaded ones.
                               ClusteredObjRebuildAtlases});
    for (const DefEntry* entry = file->first; entry;) {
        ClusterGroup* group = new ClusterGroup;
        const bool opensGroup = KeyIs(entry, "cluster");
        if (opensGroup) {
            group->name.Assign(entry->Value(0));
            if (entry->valueCount > 1)
                ParseSwitchDistance(entry->Value(1), &group->switchDistance);
            for (entry = entry->next; entry && KeyIs(entry, "add"); entry = entry->next)
                AddObject(*group, entry->Value(0));
        }
        ComputeBounds(*group);
        BuildLodCluster(*group);
        g_groups->Append(group);
        ListGroup(*group);
        // An entry other than "cluster" where a group should open ends the file.
        if (!opensGroup)
            break;
    }
    return true;
}

void ClusteredObjFreeAll()
{
    RenderUnregisterDeviceHooks(RENDER_HOOK_CLUSTERED_MESHES);
    delete g_groups;
    g_groups = nullptr;
    g_lodClusterCount = 0;
    g_meshClusterCount = 0;
}

PtrArray<ClusterGroup>* ClusteredObjGroups()
{
    return g_groups;
}

void ClusteredObjUpdateVisibility(const D3DXPLANE* planes, u32_t planeCount)
{
    if (!g_groups)
        return;
    for (s32_t i = 0; i < g_groups->Count(); ++i) {
        ClusterGroup& group = *g_groups->Get(i);
        const float box[6] = {group.boxMin.x, group.boxMin.y, group.boxMin.z,
                              group.boxMax.x, group.boxMax.y, group.boxMax.z};
        group.inView = BoxInsidePlanes(box, planes, planeCount) ? 1 : 0;
    }
}

void ClusteredObjSelectLods(const Vector3& viewPosition, float fieldOfView, const D3DXPLANE* planes, u32_t planeCount,
                            u32_t visitMark)
{
    if (!g_groups)
        return;
    const float zoom = std::tan(fieldOfView * 0.5f);
    for (s32_t i = 0; i < g_groups->Count(); ++i) {
        ClusterGroup& group = *g_groups->Get(i);
        group.visible = 0;
        const float dx = viewPosition.x - group.centre.x, dy = viewPosition.y - group.centre.y,
                    dz = viewPosition.z - group.centre.z;
        const float distance = std::sqrt(dx * dx + dy * dy + dz * dz) - group.radius;
        if (distance > 0.0f && zoom * distance > group.switchDistance) {
            const float box[6] = {group.boxMin.x, group.boxMin.y, group.boxMin.z,
                                  group.boxMax.x, group.boxMax.y, group.boxMax.z};
            group.visible = BoxInsidePlanes(box, planes, planeCount) ? 1 : 0;
        }
        if (!group.visible)
            continue;
        for (s32_t o = 0; o < group.objects.count; ++o) {
            if (ObjectGridEntry* entry = group.objects[o]->gridEntry)
                entry->visitStamp = visitMark;
        }
    }
}

void ClusteredObjDrawVisible()
{
    if (!g_groups)
        return;
    for (s32_t i = 0; i < g_groups->Count(); ++i) {
        const ClusterGroup& group = *g_groups->Get(i);
        MeshCluster* lod = group.lodCluster;
        if (lod)
            lod->visible = group.visible && lod->vertexBuffer && lod->indexBuffer ? 1 : 0;
        for (s32_t c = 0; c < group.meshClusters.count; ++c)
            group.meshClusters[c]->visible = group.visible;
    }
}

MeshCluster* const* ClusteredObjGetLodClusters(u32_t* count)
{
    *count = g_lodClusterCount;
    return g_lodClusters;
}

MeshCluster* const* ClusteredObjGetMeshClusters(u32_t* count)
{
    *count = g_meshClusterCount;
    return g_meshClusters;
}

void ClusterListMarkAll(MeshCluster* const* list, u32_t count, u32_t mark)
{
    for (u32_t i = 0; i < count; ++i)
        if (list[i])
            list[i]->tileMark = mark;
}

u32_t ClusterTileWordOf(const Vector3& position)
{
    const float p[3] = {position.x, position.y, position.z};
    float local[3];
    s32_t cell[2];
    MapPosToCell(p, g_frameView.worldSize, local, cell);
    return (static_cast<u32_t>(cell[1]) << 16) | (static_cast<u32_t>(cell[0]) & 0xFFFFu);
}

void ClusteredObjReleaseDeviceBuffers()
{
    if (!g_groups)
        return;
    for (s32_t i = 0; i < g_groups->Count(); ++i) {
        // The index buffer goes too: a mode change makes a new device, which the old buffers do not belong to.
        ClusterGroup& group = *g_groups->Get(i);
        if (MeshCluster* lod = group.lodCluster)
            lod->ReleaseBuffers();
        for (s32_t c = 0; c < group.meshClusters.count; ++c)
            group.meshClusters[c]->ReleaseBuffers();
    }
}

void ClusteredObjCreateDeviceBuffers()
{
    if (!g_groups)
        return;
    for (s32_t i = 0; i < g_groups->Count(); ++i) {
        ClusterGroup& group = *g_groups->Get(i);
        if (MeshCluster* lod = group.lodCluster)
            CreateBuffers(*lod);
        for (s32_t c = 0; c < group.meshClusters.count; ++c)
            CreateBuffers(*group.meshClusters[c]);
    }
}

void ClusteredObjRebuildAtlases()
{
    if (!g_groups)
        return;
    for (s32_t i = 0; i < g_groups->Count(); ++i) {
        ClusterGroup& group = *g_groups->Get(i);
        MeshCluster* lod = group.lodCluster;
        if (!lod || !lod->texture)
            continue;
        // The sources come back from their files at their sizes, so each keeps its place and the
        // cluster's coordinates still hold; the atlas made anew goes into the handle kept.
        std::vector<IDirect3DTexture8*> textures;
        std::vector<size_t> textureOf;
        std::vector<POINT> offsets;
        IDirect3DTexture8* fresh = BuildAtlas(group, textures, textureOf, offsets);
        if (!fresh)
            continue;
        D3D8TextureExchangeContents(lod->texture, fresh);
        TextureRelease(fresh);  // what the old device held, or the new atlas when the exchange failed
    }
}
