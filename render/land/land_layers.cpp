#include "render/land/land_layers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "core/console/console.h"
#include "core/loading_line.h"
#include "core/log.h"
#include "core/files/vfs.h"
#include "map/terrain/map_caches.h"
#include "map/terrain/map_grid.h"
#include "map/octree/octree.h"
#include "platform/d3dx8_texture.h"
#include "platform/file_system.h"
#include "render/device/dynamic_buffers.h"
#include "render/device/frame.h"
#include "render/land/map_render_setup.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"

namespace {

constexpr UINT kSide = 256;
constexpr u32_t kPixels = kSide * kSide;
constexpr u16_t kNoFace = 0xFFFF;  // what the target is cleared to: no face here
constexpr D3DCOLOR kClearColour = 0x0000FFFF;
constexpr u32_t kBatchVertices = 3 * 1024;

// The screen vertex of the streaming buffer g_dynBuffers.screenVertices.
struct LayerVertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
    float u, v;
};

// The five device objects of a build: the target, its system-memory copy, their surfaces, a depth surface.
struct LayerTargets {
    IDirect3DTexture8* target = nullptr;
    IDirect3DTexture8* readback = nullptr;
    IDirect3DSurface8* targetSurface = nullptr;
    IDirect3DSurface8* readbackSurface = nullptr;
    IDirect3DSurface8* depth = nullptr;

    bool Create(IDirect3DDevice8* device)
    {
        if (FAILED(device->CreateTexture(kSide, kSide, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                         &target)) ||
            FAILED(device->CreateTexture(kSide, kSide, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &readback)) ||
            FAILED(target->GetSurfaceLevel(0, &targetSurface)) ||
            FAILED(readback->GetSurfaceLevel(0, &readbackSurface)))
            return false;
        if (FAILED(device->CreateDepthStencilSurface(kSide, kSide, D3DFMT_D24X8, D3DMULTISAMPLE_NONE, &depth)) &&
            FAILED(device->CreateDepthStencilSurface(kSide, kSide, D3DFMT_D16, D3DMULTISAMPLE_NONE, &depth)))
            return false;
        return true;
    }
    void Release()
    {
        for (IDirect3DSurface8** surface : {&targetSurface, &readbackSurface, &depth}) {
            if (*surface)
                (*surface)->Release();
            *surface = nullptr;
        }
        for (IDirect3DTexture8** texture : {&target, &readback}) {
            if (*texture)
                (*texture)->Release();
            *texture = nullptr;
        }
    }
};

// Work buffers of one leaf, kept across leaves.
struct LeafWork {
    std::vector<u16_t> pixelFace = std::vector<u16_t>(kPixels);    // the face each pixel shows
    std::vector<u32_t> pixelLayers = std::vector<u32_t>(kPixels);  // the layers each pixel shows
    std::vector<u8_t> unseen;                                      // per face: no pass showed it
    std::vector<u8_t> added;                                       // per face: in the layer being made
    std::vector<u16_t> layerFaces;                                 // the faces of the layer being made

    void Reset(u32_t faces)
    {
        std::fill(pixelFace.begin(), pixelFace.end(), kNoFace);
        std::fill(pixelLayers.begin(), pixelLayers.end(), 0u);
        unseen.assign(faces, 1);
        added.assign(faces, 0);
    }
};

bool LayerHasTexture(int layer)
{
    return g_mapRender.landTextures[layer].layer != nullptr;
}

void SetBuildStates()
{
    RenderSetState(D3DRS_ZENABLE, 0);
    RenderSetState(D3DRS_ZWRITEENABLE, 0);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    RenderSetState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    RenderSetState(D3DRS_ALPHAREF, 0);
    // Face numbers travel in the colour: nothing may cull the faces or tint them.
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_FOGENABLE, 0);
    RenderSetState(D3DRS_LIGHTING, 0);
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, 0xFFFFFFFFu);
    RenderSetColorOp(1, D3DTOP_DISABLE, 0xFFFFFFFFu, 0xFFFFFFFFu);
    RenderSetAlphaOp(1, D3DTOP_DISABLE, 0xFFFFFFFFu, 0xFFFFFFFFu);
}

void RestoreStates()
{
    RenderSetState(D3DRS_ZENABLE, 1);
    RenderSetState(D3DRS_ZWRITEENABLE, 1);
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_CCW);
    RenderSetTexture(0, nullptr);
}

// Every face of the leaf over the whole target, seen from above (x across, z down), its number in
// the low 16 bits of the colour and the layer in the red byte.
bool DrawLeafFaces(const OctreeNode* leaf, int layer)
{
    if (!g_dynBuffers.screenVertices.buffer)
        return false;
    const OctreeGeometry& geometry = leaf->geometry;
    const float width = leaf->boxMax.x - leaf->boxMin.x, depth = leaf->boxMax.z - leaf->boxMin.z;
    const float scaleX = width > 0.0f ? float(kSide) / width : 0.0f;
    const float scaleZ = depth > 0.0f ? float(kSide) / depth : 0.0f;
    DynBatchBegin(&g_dynBuffers.screenVertices, D3DPT_TRIANGLELIST, kBatchVertices);
    for (u32_t f = 0; f < geometry.faceCount; ++f) {
        DynBatchReserve(3);
        const MapFace& face = geometry.faces[f];
        const bool inside = face.indices[0] < geometry.vertexCount && face.indices[1] < geometry.vertexCount &&
                            face.indices[2] < geometry.vertexCount;
        const D3DCOLOR colour = 0xFF000000u | (u32_t(layer) << 16) | f;
        LayerVertex* out = reinterpret_cast<LayerVertex*>(g_dynBuffers.vertexOut);
        for (int c = 0; c < 3; ++c) {
            // A face naming a vertex its leaf does not have is drawn as a point: it covers nothing.
            const MapVertex* vertex = inside ? &geometry.vertices[face.indices[c]] : nullptr;
            const float x = vertex ? (vertex->position.x - leaf->boxMin.x) * scaleX : 0.0f;
            const float y = vertex ? (vertex->position.z - leaf->boxMin.z) * scaleZ : 0.0f;
            out[c] = {x, y, 0.5f, 0.5f, colour, vertex ? vertex->u : 0.0f, vertex ? vertex->v : 0.0f};
        }
        g_dynBuffers.vertexOut += 3 * sizeof(LayerVertex);
    }
    DynBatchEnd();
    return true;
}

// Reads the pass of layer i back: which face each pixel shows and which layers show there.
void TakePixels(const D3DLOCKED_RECT& locked, int layer, u32_t faces, LeafWork& work)
{
    const u32_t bit = 1u << layer;
    for (UINT y = 0; y < kSide; ++y) {
        const u32_t* row = reinterpret_cast<const u32_t*>(static_cast<const u8_t*>(locked.pBits) + y * locked.Pitch);
        for (UINT x = 0; x < kSide; ++x) {
            const u32_t word = row[x];
            const u32_t pixel = y * kSide + x;
            const u16_t id = static_cast<u16_t>(word & 0xFFFF);
            if (id < faces)
                work.unseen[id] = 0;
            else if (id != kNoFace)
                DebugPrint("Invalid Face ID %d at [%d,%d], mesh has only %d faces\n", id, x, y, faces);
            work.pixelFace[pixel] = id;
            if (((word >> 16) & 0xFF) != u32_t(layer))
                continue;
            const u32_t alpha = word >> 24;
            if (alpha == 255)
                work.pixelLayers[pixel] = (work.pixelLayers[pixel] & ~(bit - 1)) | bit;  // covers the layers below
            else if (alpha)
                work.pixelLayers[pixel] |= bit;
        }
    }
}

bool ReadPass(LayerTargets& targets, int layer, u32_t faces, LeafWork& work)
{
    if (FAILED(D3DXLoadSurfaceFromSurface(targets.readbackSurface, nullptr, nullptr, targets.targetSurface, nullptr,
                                          nullptr, D3DX_FILTER_NONE, 0)))
        return false;
    D3DLOCKED_RECT locked = {};
    if (FAILED(targets.readbackSurface->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
        return false;
    TakePixels(locked, layer, faces, work);
    targets.readbackSurface->UnlockRect();
    return true;
}

// One layer's pass over one leaf. False when it could not render: the device is not operational
// (a frame begin could then reset it while our targets live), or a frame or a read failed.
bool RenderLayerPass(LayerTargets& targets, const OctreeNode* leaf, int layer, LeafWork& work)
{
    IDirect3DDevice8* device = g_render.device;
    if (device->TestCooperativeLevel() != D3D_OK)
        return false;
    IDirect3DSurface8* previousTarget = nullptr;
    IDirect3DSurface8* previousDepth = nullptr;
    device->GetRenderTarget(&previousTarget);
    device->GetDepthStencilSurface(&previousDepth);
    bool rendered = SUCCEEDED(device->SetRenderTarget(targets.targetSurface, targets.depth)) && RenderBeginFrame() == 0;
    if (rendered) {
        // The frame begin clears with the program's colour: the target is cleared to "no face" after it.
        const D3DVIEWPORT8 viewport = {0, 0, kSide, kSide, 0.0f, 1.0f};
        device->SetViewport(&viewport);
        rendered = SUCCEEDED(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColour, 1.0f, 0));
        SetBuildStates();
        RenderSetTexture(0, g_mapRender.landTextures[layer].variant);
        RenderSetAlphaOp(0, D3DTOP_SELECTARG1, layer == 0 ? D3DTA_DIFFUSE : D3DTA_TEXTURE, 0xFFFFFFFFu);
        rendered = rendered && DrawLeafFaces(leaf, layer) && ReadPass(targets, layer, leaf->geometry.faceCount, work);
        RenderEndFrame(true);
    }
    device->SetRenderTarget(previousTarget, previousDepth);
    if (previousTarget)
        previousTarget->Release();
    if (previousDepth)
        previousDepth->Release();
    return rendered;
}

// The faces layer j shows: each face some pixel of the layer shows, in pixel order; then, when the
// layer has any, every face no pass showed (too small to cover a pixel).
void CollectLayerFaces(int layer, u32_t faces, LeafWork& work)
{
    work.layerFaces.clear();
    std::fill(work.added.begin(), work.added.end(), 0);
    const u32_t bit = 1u << layer;
    for (u32_t pixel = 0; pixel < kPixels; ++pixel) {
        const u16_t id = work.pixelFace[pixel];
        if (!(work.pixelLayers[pixel] & bit) || id == kNoFace)
            continue;
        if (id >= faces) {
            DebugPrint("Invalid Face ID %d at pos [%d,%d], mesh has only %d faces\n", id, pixel % kSide, pixel / kSide,
                       faces);
            continue;
        }
        if (!work.added[id]) {
            work.added[id] = 1;
            work.layerFaces.push_back(id);
        }
    }
    if (work.layerFaces.empty())
        return;
    for (u32_t f = 0; f < faces; ++f) {
        if (work.unseen[f] && !work.added[f])
            work.layerFaces.push_back(static_cast<u16_t>(f));
    }
}

// Without a picture of the leaf, every layer that is drawn at all shows every face.
void CollectAllFaces(int layer, u32_t faces, LeafWork& work)
{
    work.layerFaces.clear();
    if (!LayerHasTexture(layer))
        return;
    for (u32_t f = 0; f < faces; ++f)
        work.layerFaces.push_back(static_cast<u16_t>(f));
}

// Appends copies of the collected faces as the layer's range; a layer that would take the leaf
// past 16-bit face numbers is left out.
void AppendLayer(OctreeNode* leaf, int layer, const std::vector<u16_t>& chosen)
{
    OctreeGeometry& geometry = leaf->geometry;
    const u32_t first = geometry.faceCount;
    const u32_t count = static_cast<u32_t>(chosen.size());
    if (count && (first + count > OCTREE_MAX_LEAF_FACES || !geometry.ReserveFaces(count))) {
        Log("WARNING: land layer %d of a leaf would pass %u faces; the layer is left out there\n", layer,
            OCTREE_MAX_LEAF_FACES);
        leaf->layerRanges[layer] = OctreeLayerRange(first, 0);
        return;
    }
    for (u16_t id : chosen)
        geometry.faces[geometry.faceCount++] = geometry.faces[id];
    leaf->layerRanges[layer] = OctreeLayerRange(first, count);
}

// One leaf. targets is null when nothing can be rendered; rendered turns false at the first pass
// that fails, and later leaves are not rendered either.
void BuildLeaf(OctreeNode* leaf, LayerTargets* targets, LeafWork& work, bool& rendered)
{
    const u32_t faces = leaf->geometry.faceCount;
    if (faces == 0)
        return;
    leaf->geometry.traceFaceCount = faces;
    if (faces >= kNoFace) {
        Log("WARNING: a land leaf of %u faces has too many for layers; it is drawn without them\n", faces);
        return;
    }
    work.Reset(faces);
    bool pictured = rendered && targets;
    for (int layer = 0; layer < OCTREE_LAYER_COUNT && pictured; ++layer) {
        if (LayerHasTexture(layer))
            pictured = RenderLayerPass(*targets, leaf, layer, work);
    }
    if (!pictured)
        rendered = false;
    for (int layer = 0; layer < OCTREE_LAYER_COUNT; ++layer) {
        if (pictured)
            CollectLayerFaces(layer, faces, work);
        else
            CollectAllFaces(layer, faces, work);
        AppendLayer(leaf, layer, work.layerFaces);
    }
}

// Builds the layers of every leaf; false when some leaf could not be pictured (it then shows
// every face in every drawn layer).
bool BuildLayers(OctreeNode* root)
{
    LandLayersForget(root);
    IDirect3DDevice8* device = g_render.device;
    LayerTargets targets;
    const bool made = device && targets.Create(device);
    if (device && !made)
        Log("ERROR : the land layer targets could not be created\n");
    bool rendered = made;
    LeafWork work;
    OctreeForEachLeaf(root, OCTREE_WALK_ROOM_CHECK,
                      [&](OctreeNode* leaf) { BuildLeaf(leaf, made ? &targets : nullptr, work, rendered); });
    if (device)
        RestoreStates();
    targets.Release();
    return rendered;
}

bool ReadDiskFile(std::FILE* file, std::vector<u8_t>& bytes)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return false;
    const long size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0)
        return false;
    bytes.resize(static_cast<size_t>(size));
    return std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

// The cache when it is there, current and sound for this tree. While dblvi is on no cache counts,
// wherever it lies.
bool LoadCache(OctreeNode* root, const std::string& path)
{
    if (dblvi.Bool())
        return false;
    std::vector<u8_t> bytes;
    if (std::FILE* file = PlatformOpenFile(path.c_str(), "rb")) {
        const bool current = !MapDiskCacheIsStale(path.c_str(), MapGetDataPath());
        const bool read = current && ReadDiskFile(file, bytes);
        std::fclose(file);
        if (!read)
            return false;
    } else {
        u32_t size = 0;
        char* data = VFSLoadFile(path.c_str(), &size);
        if (!data)
            return false;
        bytes.assign(data, data + size);
        delete[] data;
    }
    return LandLayersReadCache(root, bytes.data(), bytes.size());
}

// The grid at texture coordinates (u, v), bilinear between texel centres, wrapping as the layer
// textures do.
float SampleGrid(const MapGrid& grid, float u, float v)
{
    const float size = float(grid.size);
    const float x = u * size - 0.5f, y = v * size - 0.5f;
    if (!std::isfinite(x) || !std::isfinite(y))
        return 0.0f;
    const float x0 = std::floor(x), y0 = std::floor(y);
    const float fx = x - x0, fy = y - y0;
    auto wrap = [&](float at) {
        const float inside = std::max(0.0f, at - size * std::floor(at / size));
        return std::min(static_cast<u32_t>(inside), grid.size - 1);
    };
    auto texel = [&](float column, float row) {
        return float(grid.data[size_t(wrap(row)) * grid.size + wrap(column)]);
    };
    const float top = texel(x0, y0) + (texel(x0 + 1, y0) - texel(x0, y0)) * fx;
    const float bottom = texel(x0, y0 + 1) + (texel(x0 + 1, y0 + 1) - texel(x0, y0 + 1)) * fx;
    return top + (bottom - top) * fy;
}

}  // namespace

u32_t LandLayerFaceMask(const OctreeGeometry& geometry, u32_t face)
{
    if (face >= geometry.faceCount)
        return 0;
    float u = 0.0f, v = 0.0f;
    for (int corner = 0; corner < 3; ++corner) {
        const u16_t index = geometry.faces[face].indices[corner];  // by value: the face is packed
        if (index >= geometry.vertexCount)
            return 0;
        u += geometry.vertices[index].u / 3.0f;
        v += geometry.vertices[index].v / 3.0f;
    }
    u32_t mask = 1;
    for (int layer = 0; layer < OCTREE_LAYER_COUNT; ++layer) {
        const MapGrid* grid = MapGetVegetationLayerGrid(layer);
        if (!grid || !grid->data || grid->size == 0)
            continue;
        const float sample = SampleGrid(*grid, u, v);
        const u32_t bit = 1u << layer;
        if (sample > 254.0f)
            mask &= ~(bit - 1);
        if (sample > 1.0f)
            mask |= bit;
    }
    return mask;
}

std::string LandLayersCachePath(const char* name)
{
    const std::string dataPath = MapGetDataPath();
    const size_t cut = dataPath.find_last_of("\\/");
    const std::string folder = cut == std::string::npos ? std::string() : dataPath.substr(0, cut + 1);
    return folder + (name ? name : "") + ".lvi";
}

LandLayersResult LandLayersBuild(const char* name)
{
    OctreeNode* root = OctreeGetRoot();
    if (!root)
        return LAND_LAYERS_NO_MAP;
    const std::string path = LandLayersCachePath(name);
    if (LoadCache(root, path))
        return LAND_LAYERS_LOADED;
    ConPrint(0, "Building layers: '%s'\n", path.c_str());
    LoadingLineShow("Building layers...");
    if (!BuildLayers(root)) {
        Log("WARNING: land layers could not be rendered; every layer keeps all its faces and no cache is written\n");
        return LAND_LAYERS_BUILT_UNCACHED;
    }
    return LandLayersWriteCache(root, path.c_str()) ? LAND_LAYERS_BUILT : LAND_LAYERS_BUILT_UNCACHED;
}
