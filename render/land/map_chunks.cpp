#include "render/land/map_chunks.h"

#include "map/octree/octree.h"
#include "platform/d3d8_draw_ranges.h"
#include "platform/d3dx8_math.h"
#include "render/camera.h"
#include "render/device/dynamic_buffers.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "render/device/static_buffers.h"
#include "render/land/visible_nodes.h"

namespace {

constexpr D3DCOLOR kFlaggedChunkColour = 0xFF00FF00;

struct VisibilityFilter {
    bool enabled = false;
    u32_t bit = 0;
} g_filter;

bool PassesFilter(const OctreeNode* node)
{
    return !g_filter.enabled || (node->planeMask & (1u << g_filter.bit)) != 0;
}

u32_t ChunkPass(const OctreeNode* node)
{
    return (node->flags & OCTREE_NODE_FAR_DETAIL) ? MAP_CHUNK_PASS_FAR : MAP_CHUNK_PASS_NEAR;
}

bool Flagged(const OctreeNode* node)
{
    return (node->flags & OCTREE_NODE_BEYOND_FOG) != 0;
}

// The leaves of the visible list that the filter lets through.
template <class Visit>
void ForEachChunk(Visit&& visit)
{
    for (u32_t i = 0; i < g_visible.nodeCount && i < kMaxVisibleNodes; ++i) {
        OctreeNode* node = g_visible.nodes[i];
        if (node && node->IsLeaf() && PassesFilter(node))
            visit(node);
    }
}

// The static buffers hold a leaf's faces only when it has vertices.
u32_t OwnTriangles(const OctreeNode* node)
{
    return node->geometry.vertexCount ? node->OwnFaceCount() : 0;
}

u32_t LayerTriangles(const OctreeNode* node, int layer)
{
    return node->geometry.vertexCount ? node->LayerFaceCount(layer) : 0;
}

bool PieceDrawn(const OctreeGeometry* piece)
{
    return piece && piece->vertexCount && piece->faceCount;
}

template <class Visit>
void ForEachPiece(const OctreeNode* node, Visit&& visit)
{
    for (u32_t i = 0; node->secondarySets && i < node->secondarySetCount; ++i) {
        if (PieceDrawn(node->secondarySets[i]))
            visit(node->secondarySets[i]);
    }
}

bool Bind(IDirect3DVertexBuffer8* vertices, IDirect3DIndexBuffer8* indices)
{
    IDirect3DDevice8* device = g_render.device;
    if (!device || !vertices || !indices)
        return false;
    // Stream 0 changes hands: the streaming buffers must bind it again.
    DynBuffersForgetCurrent();
    device->SetVertexShader(STATIC_MAP_FVF);
    device->SetStreamSource(0, vertices, sizeof(VertexPT));
    return true;
}

bool BindLeaves()
{
    return Bind(g_render.staticMap.leafVertices, g_render.staticMap.leafIndices);
}

bool BindPieces()
{
    return Bind(g_render.staticMap.attachedVertices, g_render.staticMap.attachedIndices);
}

void Unbind()
{
    g_render.device->SetStreamSource(0, nullptr, 0);
    g_render.device->SetIndices(nullptr, 0);
}

// Indices are numbered within their leaf or piece: its base vertex goes with them.
void DrawRange(IDirect3DIndexBuffer8* indices, u32_t baseVertex, u32_t vertexCount, u32_t firstIndex, u32_t triangles)
{
    IDirect3DDevice8* device = g_render.device;
    device->SetIndices(indices, baseVertex);
    g_render.RenderLastResult = device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, vertexCount, firstIndex, triangles);
    RenderAddStats(vertexCount, triangles, 0, 3 * triangles);
}

void DrawLeafRange(const OctreeNode* node, u32_t firstIndex, u32_t triangles)
{
    DrawRange(g_render.staticMap.leafIndices, node->baseVertex, node->geometry.vertexCount, firstIndex, triangles);
}

// The leaves' ranges of one pass, drawn in one call in the order they were added.
class LeafRuns {
public:
    void Add(const OctreeNode* node, u32_t firstIndex, u32_t triangles)
    {
        if (m_count == kMaxVisibleNodes)
            Draw();
        m_ranges[m_count++] = {node->baseVertex, firstIndex, triangles};
        RenderAddStats(node->geometry.vertexCount, triangles, 0, 3 * triangles);
    }
    void Draw()
    {
        if (m_count == 0)
            return;
        IDirect3DDevice8* device = g_render.device;
        device->SetIndices(g_render.staticMap.leafIndices, m_ranges[m_count - 1].baseVertex);
        g_render.RenderLastResult = D3D8DrawIndexedRanges(device, D3DPT_TRIANGLELIST, m_ranges, m_count);
        m_count = 0;
    }

private:
    D3D8IndexedRange m_ranges[kMaxVisibleNodes];
    u32_t m_count = 0;
};

void DrawPiece(const OctreeGeometry* piece)
{
    DrawRange(g_render.staticMap.attachedIndices, piece->baseVertex, piece->vertexCount, piece->firstIndex,
              piece->faceCount);
}

u32_t Anisotropy(float value)
{
    if (!(value >= 1.0f))
        return 1;
    return value >= 16.0f ? 16u : static_cast<u32_t>(value);
}

void DrawMaterialPieces(bool byPass, u32_t passMask)
{
    if (!BindPieces())
        return;
    IDirect3DDevice8* device = g_render.device;
    RenderSetState(D3DRS_ZWRITEENABLE, 0);
    RenderSetState(D3DRS_ZENABLE, 1);
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, g_camera.fovY, g_camera.aspect, g_camera.nearPlane + 0.005f,
                               mfrange.Float() * 10.0f * 10.0f);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    ForEachChunk([&](const OctreeNode* node) {
        if (byPass && !(ChunkPass(node) & passMask))
            return;
        ForEachPiece(node, [&](const OctreeGeometry* piece) {
            const OctreeMaterialDraw& material = piece->material;
            if (material.visibleStamp != OCTREE_ALWAYS_VISIBLE && material.visibleStamp != g_visible.cellWord)
                return;
            RenderSetStageState(0, D3DTSS_MAGFILTER, material.filter);
            RenderSetStageState(0, D3DTSS_MINFILTER, material.filter);
            RenderSetStageState(0, D3DTSS_MIPFILTER, material.mipFilter);
            RenderSetStageState(0, D3DTSS_MAXANISOTROPY, Anisotropy(material.maxAnisotropy));
            RenderSetTexture(0, material.texture);
            DrawPiece(piece);
        });
    });
    RenderSetState(D3DRS_ZWRITEENABLE, 1);
    device->SetTransform(D3DTS_PROJECTION, &g_camera.projection);
    Unbind();
}

// A colour of its own for each chunk, the same every frame: mixed from its place in the buffers.
D3DCOLOR WireColour(u32_t seed)
{
    seed ^= seed >> 16;
    seed *= 0x7FEB352Du;
    seed ^= seed >> 15;
    seed *= 0x846CA68Bu;
    seed ^= seed >> 16;
    const D3DCOLOR colour = 0xFF000000u | (seed & 0x00FFFFFFu);
    return colour == kFlaggedChunkColour ? colour ^ 0x00010000u : colour;
}

}  // namespace

void MapChunksSetVisibilityFilter(bool enabled, u32_t bit)
{
    g_filter.enabled = enabled;
    g_filter.bit = bit & 31;
}

void MapChunksDraw(bool flaggedOnly, u32_t passMask)
{
    if (!BindLeaves())
        return;
    LeafRuns runs;
    ForEachChunk([&](const OctreeNode* node) {
        const u32_t triangles = OwnTriangles(node);
        if (triangles && (!flaggedOnly || Flagged(node)) && (ChunkPass(node) & passMask))
            runs.Add(node, node->firstIndex, triangles);
    });
    runs.Draw();
    Unbind();
}

void MapChunksDrawLayer(int layer, u32_t passMask)
{
    if (layer < 0 || layer >= OCTREE_LAYER_COUNT || !BindLeaves())
        return;
    LeafRuns runs;
    ForEachChunk([&](const OctreeNode* node) {
        const u32_t triangles = LayerTriangles(node, layer);
        if (triangles && (ChunkPass(node) & passMask))
            runs.Add(node, node->layerFirstIndex[layer], triangles);
    });
    runs.Draw();
    Unbind();
}

void MapChunksDrawMaterials()
{
    DrawMaterialPieces(false, 0);
}

void MapChunksDrawMaterialsPass(u32_t passMask)
{
    DrawMaterialPieces(true, passMask);
}

void MapChunksDrawWireframe()
{
    if (BindLeaves()) {
        ForEachChunk([](const OctreeNode* node) {
            const u32_t triangles = OwnTriangles(node);
            if (!triangles)
                return;
            RenderSetState(D3DRS_TEXTUREFACTOR, Flagged(node) ? kFlaggedChunkColour : WireColour(node->baseVertex));
            DrawLeafRange(node, node->firstIndex, triangles);
        });
        Unbind();
    }
    if (BindPieces()) {
        ForEachChunk([](const OctreeNode* node) {
            ForEachPiece(node, [&](const OctreeGeometry* piece) {
                RenderSetState(D3DRS_TEXTUREFACTOR,
                               Flagged(node) ? kFlaggedChunkColour : WireColour(~piece->baseVertex));
                DrawPiece(piece);
            });
        });
        Unbind();
    }
}

void RenderAddStats(u32_t vertices, u32_t triangles, u32_t lines, u32_t indices)
{
    RenderFrameStats& stats = g_render.frameStats;
    stats.vertices += vertices;
    stats.faces += triangles;
    stats.lines += lines;
    stats.indices += indices;
}

bool RenderAddVisibleObject(DynamicObject* object)
{
    if (!object || g_visible.reportedObjectCount >= MAX_REPORTED_VISIBLE_OBJECTS)
        return false;
    g_visible.reportedObjects[g_visible.reportedObjectCount++] = object;
    return true;
}

void RenderResetVisibleObjects()
{
    g_visible.reportedObjectCount = 0;
}
