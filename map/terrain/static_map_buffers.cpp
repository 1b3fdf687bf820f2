#include "map/terrain/static_map_buffers.h"

#include <cstdint>

#include "core/assert.h"
#include "core/log.h"
#include "map/octree/octree.h"
#include "render/device/device_hooks.h"
#include "render/device/render_context.h"

namespace {

struct StaticCounts {
    std::uint64_t leafVertices = 0;
    std::uint64_t leafIndices = 0;
    std::uint64_t attachedVertices = 0;
    std::uint64_t attachedIndices = 0;
};

// A set without vertices has nothing to draw its faces with: it adds nothing to the buffers.
bool HasTriangles(const OctreeGeometry& geometry, u32_t faces)
{
    return geometry.vertexCount > 0 && faces > 0;
}

u32_t LeafTriangles(const OctreeNode* leaf)
{
    return leaf->geometry.vertexCount ? leaf->IndexTriangleCount() : 0;
}

template <class Visit>
void ForEachPiece(const OctreeNode* leaf, Visit&& visit)
{
    for (u32_t i = 0; i < leaf->secondarySetCount; ++i) {
        OctreeGeometry* piece = leaf->secondarySets ? leaf->secondarySets[i] : nullptr;
        if (piece && HasTriangles(*piece, piece->faceCount))
            visit(piece);
    }
}

StaticCounts CountStaticGeometry(OctreeNode* root)
{
    StaticCounts counts;
    OctreeForEachLeaf(root, OCTREE_WALK_DEPTH_CHECK, [&](OctreeNode* leaf) {
        counts.leafIndices += 3ull * LeafTriangles(leaf);
        counts.leafVertices += leaf->geometry.vertexCount;
        ForEachPiece(leaf, [&](const OctreeGeometry* piece) {
            counts.attachedIndices += 3ull * piece->faceCount;
            counts.attachedVertices += piece->vertexCount;
        });
    });
    return counts;
}

template <class Resource>
void ReleaseBuffer(Resource*& buffer)
{
    if (buffer)
        buffer->Release();
    buffer = nullptr;
}

void ReleaseStaticBuffers()
{
    StaticMapBuffers& map = g_render.staticMap;
    ReleaseBuffer(map.leafVertices);
    ReleaseBuffer(map.leafIndices);
    ReleaseBuffer(map.attachedVertices);
    ReleaseBuffer(map.attachedIndices);
}

bool FitsBuffer(std::uint64_t count, std::uint64_t elementBytes)
{
    return count * elementBytes <= 0xFFFFFFFFull;
}

bool CreatePair(std::uint64_t vertices, std::uint64_t indices, IDirect3DVertexBuffer8** vertexBuffer,
                IDirect3DIndexBuffer8** indexBuffer)
{
    if (!FitsBuffer(vertices, sizeof(VertexPT)) || !FitsBuffer(indices, sizeof(u16_t)))
        return false;
    // Software vertex processing needs buffers it can read on the processor.
    const DWORD usage = D3DUSAGE_WRITEONLY | (g_render.vertexProcessing == 2 ? 0 : D3DUSAGE_SOFTWAREPROCESSING);
    IDirect3DDevice8* device = g_render.device;
    HRESULT res = device->CreateVertexBuffer(static_cast<UINT>(vertices * sizeof(VertexPT)), usage, STATIC_MAP_FVF,
                                             D3DPOOL_DEFAULT, vertexBuffer);
    g_render.RenderLastResult = res;
    if (FAILED(res)) {
        *vertexBuffer = nullptr;
        return false;
    }
    res = device->CreateIndexBuffer(static_cast<UINT>(indices * sizeof(u16_t)), usage, D3DFMT_INDEX16, D3DPOOL_DEFAULT,
                                    indexBuffer);
    g_render.RenderLastResult = res;
    if (FAILED(res)) {
        *indexBuffer = nullptr;
        return false;
    }
    return true;
}

template <class Buffer, class Element>
bool LockWhole(Buffer* buffer, Element** out)
{
    BYTE* data = nullptr;
    if (!buffer || FAILED(buffer->Lock(0, 0, &data, D3DLOCK_NOSYSLOCK)) || !data)
        return false;
    *out = reinterpret_cast<Element*>(data);
    return true;
}

// Write cursors of one buffer pair. A pair that was not made (its counts are zero on one side)
// only counts: there is nothing to write into.
struct PairWriter {
    VertexPT* vertices = nullptr;
    u16_t* indices = nullptr;
    u32_t baseVertex = 0;   // vertices written so far
    u32_t indexCursor = 0;  // indices written so far
    u32_t badFaces = 0;     // faces naming a vertex outside their set, written as a point

    void WriteFaces(const OctreeGeometry& geometry, u32_t first, u32_t count)
    {
        for (u32_t f = first; f < first + count; ++f) {
            const MapFace& corner = geometry.faces[f];
            const bool inside = corner.indices[0] < geometry.vertexCount && corner.indices[1] < geometry.vertexCount &&
                                corner.indices[2] < geometry.vertexCount;
            if (!inside)
                ++badFaces;
            if (!indices)
                continue;
            for (int c = 0; c < 3; ++c)
                *indices++ = inside ? corner.indices[c] : 0;
        }
        indexCursor += 3 * count;
    }
    void WriteVertices(const OctreeGeometry& geometry)
    {
        for (u32_t v = 0; vertices && v < geometry.vertexCount; ++v) {
            const MapVertex& source = geometry.vertices[v];
            *vertices++ = {source.position.x, source.position.y, source.position.z, source.u, source.v};
        }
        baseVertex += geometry.vertexCount;
    }
};

void FillLeaf(OctreeNode* leaf, PairWriter& leafPair, PairWriter& attachedPair)
{
    ForEachPiece(leaf, [&](OctreeGeometry* piece) {
        piece->firstIndex = attachedPair.indexCursor;
        attachedPair.WriteFaces(*piece, 0, piece->faceCount);
        piece->baseVertex = attachedPair.baseVertex;
        attachedPair.WriteVertices(*piece);
    });
    const OctreeGeometry& geometry = leaf->geometry;
    const bool drawn = geometry.vertexCount > 0;
    leaf->firstIndex = leafPair.indexCursor;
    if (drawn)
        leafPair.WriteFaces(geometry, 0, leaf->OwnFaceCount());
    for (int layer = 0; layer < OCTREE_LAYER_COUNT; ++layer) {
        leaf->layerFirstIndex[layer] = leafPair.indexCursor;
        if (drawn)
            leafPair.WriteFaces(geometry, OctreeLayerFirst(leaf->layerRanges[layer]), leaf->LayerFaceCount(layer));
    }
    leaf->baseVertex = leafPair.baseVertex;
    leafPair.WriteVertices(geometry);
}

// After a reset or a display-mode change the buffers are made again from the octree of the moment.
void RebuildOnNewDevice()
{
    RenderBuildStaticBuffers();
}

// The render shutdown ends the buffers' life: a later device builds none until the map asks again.
void LetGo(bool)
{
    RenderUnregisterDeviceHooks(RENDER_HOOK_STATIC_MAP);
    ReleaseStaticBuffers();
}

bool FailBuild(const char* what)
{
    Log("ERROR : static map buffers: %s\n", what);
    ReleaseStaticBuffers();
    return false;
}

}  // namespace

bool RenderBuildStaticBuffers()
{
    ReleaseStaticBuffers();
    RenderRegisterDeviceHooks({RENDER_HOOK_STATIC_MAP, ReleaseStaticBuffers, RebuildOnNewDevice, LetGo, nullptr});
    OctreeNode* root = OctreeGetRoot();
    if (!g_render.device || !root)
        return true;
    const StaticCounts counts = CountStaticGeometry(root);
    const bool leafPair = counts.leafVertices > 0 && counts.leafIndices > 0;
    const bool attachedPair = counts.attachedVertices > 0 && counts.attachedIndices > 0;
    StaticMapBuffers& map = g_render.staticMap;
    if (leafPair && !CreatePair(counts.leafVertices, counts.leafIndices, &map.leafVertices, &map.leafIndices))
        return FailBuild("the leaf buffers could not be created");
    if (attachedPair &&
        !CreatePair(counts.attachedVertices, counts.attachedIndices, &map.attachedVertices, &map.attachedIndices))
        return FailBuild("the attached geometry buffers could not be created");

    PairWriter leaves, attached;
    if (leafPair && (!LockWhole(map.leafVertices, &leaves.vertices) || !LockWhole(map.leafIndices, &leaves.indices)))
        return FailBuild("the leaf buffers could not be locked");
    if (attachedPair &&
        (!LockWhole(map.attachedVertices, &attached.vertices) || !LockWhole(map.attachedIndices, &attached.indices)))
        return FailBuild("the attached geometry buffers could not be locked");
    const VertexPT* firstVertex = leaves.vertices;
    const u16_t* firstIndex = leaves.indices;
    OctreeForEachLeaf(root, OCTREE_WALK_DEPTH_CHECK, [&](OctreeNode* leaf) { FillLeaf(leaf, leaves, attached); });
    if (leafPair) {
        // The filling walk must have written exactly what the counting walk found.
        ENGINE_ASSERT_TEXT(static_cast<std::uint64_t>(leaves.vertices - firstVertex) == counts.leafVertices,
                           STATIC_BUFFERS_VERTEX_CHECK);
        ENGINE_ASSERT_TEXT(static_cast<std::uint64_t>(leaves.indices - firstIndex) == counts.leafIndices,
                           STATIC_BUFFERS_INDEX_CHECK);
    }

    bool unlocked = true;
    if (leafPair)
        unlocked = SUCCEEDED(map.leafVertices->Unlock()) && SUCCEEDED(map.leafIndices->Unlock());
    if (attachedPair)
        unlocked = SUCCEEDED(map.attachedVertices->Unlock()) && SUCCEEDED(map.attachedIndices->Unlock()) && unlocked;
    if (!unlocked)
        return FailBuild("the buffers could not be unlocked");
    const u32_t badFaces = leaves.badFaces + attached.badFaces;
    if (badFaces)
        Log("WARNING: static map buffers: %u faces name vertices their set does not have; drawn as points\n", badFaces);
    return true;
}
