#include "scene/vegetation/vegetation.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "core/frame_view.h"
#include "core/random.h"
#include "core/files/vegetation_mask.h"
#include "core/winos.h"
#include "map/terrain/heightmap.h"
#include "map/terrain/map_caches.h"
#include "map/terrain/map_grid.h"
#include "map/land_maps/vegetation_layers.h"
#include "map/terrain/world_tiles.h"
#include "platform/d3dx8_math.h"
#include "render/draw2d/colour_pack.h"
#include "render/device/device_hooks.h"
#include "render/device/dynamic_buffers.h"
#include "render/draw2d/hud_input.h"
#include "render/land/map_render_setup.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/shader_hash.h"
#include "render/device/state_cache.h"
#include "render/textures/texture_manager.h"
#include "scene/meshes/gpu_anim_buffers.h"
#include "scene/meshes/mesh_draw.h"
#include "scene/scene_state.h"
#include "scene/draw_records/stream_emit.h"
#include "world/animation/anim_mesh.h"

ConsoleVar rbvegetation("rbvegetation", CVAR_BOOL, "true");
ConsoleVar rfvegradius("rfvegradius", CVAR_FLOAT, "300.0");
ConsoleVar rf_vegsquaresize("rf_vegsquaresize", CVAR_FLOAT, "78.125");
ConsoleVar ri_vegmaxdensity("ri_vegmaxdensity", CVAR_INT, "700");
ConsoleVar ri_vegfar("ri_vegfar", CVAR_FLOAT, "800.0");
// Colour text is read on the 0 to 255 scale: 114.75 is the grey 0.45.
ConsoleVar rcvegcol("rcvegcol", CVAR_COLOUR, "(114.75, 114.75, 114.75, 114.75)");

VegetationState g_vegetation;

namespace {

constexpr u32_t kCellTableBuckets = 17;
constexpr u32_t kAlphaRef = 160;
constexpr float kRandScale = 1.0f / 32767.0f;
constexpr float kHalfPi = 1.5707964f;
// More plants than this in one cell only come from console values far off their range.
constexpr s32_t kMaxCellPlants = 65535;

struct BladeVertex {
    float x, y, z;
    float u, v;        // atlas
    float mapU, mapV;  // the land's layer texture
};
static_assert(sizeof(BladeVertex) == 28, "XYZ, TEX2");

IDirect3DDevice8* Device()
{
    return g_render.device;
}

// The frame's constants of the cell fill.
struct Fill {
    float squareSize = 0.0f;
    float worldSize = 0.0f;
    float cosYaw = 1.0f, sinYaw = 0.0f;
    float windA[2] = {0.0f, 0.0f};  // (x, z) of the left top corners
    float windB[2] = {0.0f, 0.0f};  // of the right top corners
    const VegetationLayer* layer = nullptr;
    s32_t layerIndex = 0;
};
Fill g_fill;

void Prepare()
{
    Vector3 boxMin = {0.0f, 0.0f, 0.0f}, boxMax = {0.0f, 0.0f, 0.0f};
    MapGetBox(&boxMin, &boxMax);
    g_vegetation.groundBase = boxMin.y;
    g_vegetation.groundSpan = boxMax.y - boxMin.y;
    g_vegetation.heightmap = MapGetHeightmap();
    g_vegetation.grid = MapGetVegetationGrid();
    g_vegetation.layers = MapGetVegetationLayers();
    g_vegetation.batchQuads = 0;
    g_vegetation.batchVertices = 0;
    g_vegetation.windPhase[0] = g_vegetation.windPhase[1] = 0.0f;
    for (int i = 0; i < VEGETATION_ATLAS_IMAGES; ++i) {
        float* image = g_vegetation.atlas[i];
        image[0] = float(i % 4) * 0.25f;
        image[1] = float((i / 4) % 4) * 0.25f;
        image[2] = image[0] + 0.25f;
        image[3] = image[1] + 0.25f;
    }
    g_vegetation.prepared = true;
}

void LockBatch()
{
    DynBuffersLock(VEGETATION_BATCH_VERTICES, VEGETATION_BATCH_INDICES);
}

// Unlocks and draws the open batch when it holds quads; counters back to 0.
void DrawBatch()
{
    DynBuffersUnlock();
    if (g_vegetation.batchQuads > 0)
        DynBuffersDrawIndexed(D3DPT_TRIANGLELIST, g_vegetation.batchQuads * 4, g_vegetation.batchQuads * 6, true);
    g_vegetation.batchQuads = 0;
    g_vegetation.batchVertices = 0;
}

// The ground height under (x, z) from the heightmap, between the map's lowest and highest y.
float GroundY(float x, float z)
{
    const MapGrid* map = g_vegetation.heightmap;
    if (!map || !map->data || map->size == 0)
        return g_vegetation.groundBase;
    const float w = g_fill.worldSize;
    const u32_t last = map->size - 1;
    const u32_t row = u32_t(s32_t((z / w + 0.5f) * float(last))) % map->size;
    const u32_t column = u32_t(s32_t((x / w + 0.5f) * float(last))) % map->size;
    const float g = map->data[std::size_t(row) * map->size + column];
    return g_vegetation.groundBase + g / 255.0f * g_vegetation.groundSpan;
}

void EmitBlade(float x, float z, float h, const VegetationLayer& layer)
{
    const int image = layer.byteCount ? layer.bytes[u32_t(EngineRand()) % layer.byteCount] & 15 : EngineRand() & 15;
    const float halfWidth = h * layer.billboard[0] / 2.0f;
    const float height = h * layer.billboard[1];
    const bool mirror = (EngineRand() & 1) != 0;
    const float y = GroundY(x, z);
    // Bottom left = P - (-cos yaw, 0, sin yaw) x w; bottom right = P + the same.
    const float sx = -g_fill.cosYaw * halfWidth, sz = g_fill.sinYaw * halfWidth;
    const float* atlas = g_vegetation.atlas[image];
    const float uLeft = mirror ? atlas[2] : atlas[0], uRight = mirror ? atlas[0] : atlas[2];
    const float w = g_fill.worldSize;
    BladeVertex* out = reinterpret_cast<BladeVertex*>(g_dynBuffers.vertexOut);
    auto put = [&](float px, float py, float pz, float u, float v) {
        *out++ = {px, py, pz, u, v, px / w + 0.5f, 0.5f - pz / w};
    };
    put(x - sx, y, z - sz, uLeft, atlas[3]);
    put(x + sx, y, z + sz, uRight, atlas[3]);
    put(x - sx + g_fill.windA[0], y + height, z - sz + g_fill.windA[1], uLeft, atlas[1]);
    put(x + sx + g_fill.windB[0], y + height, z + sz + g_fill.windB[1], uRight, atlas[1]);
    DynVertexWrittenTo(out);
    const u16_t b = static_cast<u16_t>(g_vegetation.batchVertices);
    EmitTriangle(b, u16_t(b + 1), u16_t(b + 2));
    EmitTriangle(u16_t(b + 2), u16_t(b + 1), u16_t(b + 3));
    g_vegetation.batchVertices += 4;
    ++g_vegetation.batchQuads;
}

void DrawPlantMesh(float x, float z, float h, const VegetationLayer& layer)
{
    const AnimMesh* mesh = layer.meshes[u32_t(EngineRand()) % layer.meshCount];
    const float angle = float(EngineRand()) * kHalfPi * kRandScale;
    if (!mesh || mesh->frames_c == 0)
        return;
    D3DXMATRIX swap, turn, scale, place;
    D3DXMatrixIdentity(&swap);
    swap._22 = swap._33 = 0.0f;
    swap._23 = swap._32 = 1.0f;
    D3DXMatrixRotationY(&turn, angle);
    const float s = h * layer.animated;
    D3DXMatrixScaling(&scale, s, s, s);
    D3DXMatrixTranslation(&place, x, GroundY(x, z), z);
    const D3DXMATRIX world = swap * turn * scale * place;
    Device()->SetTransform(D3DTS_WORLD, &world);
    Device()->SetVertexShader(GPU_ANIM_FVF);
    const AnimFrame& frame = mesh->frames[0];
    for (u32_t i = 0; i < frame.meshes_c; ++i) {
        const AnimFrameMesh& chunk = frame.meshes[i];
        IDirect3DVertexBuffer8* vb = GpuAnimVertexBuffer(chunk.gpuVertexSlot);
        IDirect3DIndexBuffer8* ib = GpuAnimIndexBuffer(chunk.gpuIndexSlot);
        if (!vb || !ib || chunk.faceCount == 0)
            continue;
        Device()->SetStreamSource(0, vb, GPU_ANIM_VERTEX_BYTES);
        Device()->SetIndices(ib, chunk.gpuFirstVertex);
        Device()->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, chunk.vertexCount, chunk.gpuFirstIndex, chunk.faceCount);
        RenderCountDraw(D3DPT_TRIANGLELIST, chunk.vertexCount, 3 * chunk.faceCount);
    }
    DynBuffersForgetCurrent();
}

void FillCell(s32_t cx, s32_t cz)
{
    const VegetationLayer& layer = *g_fill.layer;
    const float size = g_fill.squareSize;
    const float* camera = g_vegetation.camera;
    // 1. Distance from the camera to the cell centre on the ground.
    const float centreX = (float(cx) + 0.5f) * size, centreZ = (float(cz) + 0.5f) * size;
    const float dx = centreX - camera[0], dz = centreZ - camera[2];
    const float d = std::sqrt(dx * dx + dz * dz);
    if (d - size / 2.0f > layer.value3)
        return;
    // A kind-1 layer without meshes has nothing to choose from.
    if (layer.kind == VEGETATION_ANIMATED && layer.meshCount == 0)
        return;

    // 2. The clip mask; a mask without cells lets every plant stand.
    const VegetationMask* mask = g_program.vegetationMask;
    const VegetationMaskBlock* block = nullptr;
    s32_t maskKind = VEG_KIND_FULL;
    if (mask && mask->cells) {
        block = mask->GetBlock((cx + 128) & 255, (cz + 128) & 255, &maskKind);
        if (maskKind == VEG_KIND_CLEAR)
            return;
    }
    const bool mixed = maskKind == VEG_KIND_MIXED;

    // 3. The cell's seed (a plain sum: cells outside -128..127 carry into the next field).
    EngineSRand((u32_t(g_fill.layerIndex) << 16) + (u32_t(cz + 128) << 8) + u32_t(cx + 128));

    // 4. The count from the layer value at the cell centre.
    const float w = g_fill.worldSize;
    float u = std::fmod(centreX + w / 2.0f, w) / w;
    float v = std::fmod(centreZ + w / 2.0f, w) / w;
    if (u < 0.0f)
        u += 1.0f;
    if (v < 0.0f)
        v += 1.0f;
    v = 1.0f - v;
    const MapGrid* grid = layer.density;
    const float value = GridSampleBilinear(grid, u * float(grid->size), v * float(grid->size));
    const VegetationCellCount counted = VegetationCountAt(value, d);
    const s32_t count = counted.count;
    if (count <= 0)
        return;

    // 5-8. The plants, counted down.
    const float cornerX = float(s32_t(float(cx) * size)), cornerZ = float(s32_t(float(cz) * size));
    const s32_t first = mixed ? count : count - 1;
    const s32_t last = mixed ? 1 : 0;
    const s32_t c = first;
    const float spread = layer.value5 - layer.value4;
    for (s32_t k = first; k >= last; --k) {
        const int rx = EngineRand(), rz = EngineRand();
        const float x = cornerX + float(rx) * size * kRandScale;
        const float z = cornerZ + float(rz) * size * kRandScale;
        const bool stands = !mixed || !block || block->Test(u32_t(rx), u32_t(rz));
        const float h =
            VegetationSizeFactor(c, counted.floor, k) * (layer.value4 + float(EngineRand()) * spread * kRandScale);
        if (layer.kind == VEGETATION_BILLBOARD) {
            if (g_vegetation.batchQuads >= VEGETATION_BATCH_QUADS) {
                DrawBatch();
                LockBatch();
            }
            if (stands) {
                EmitBlade(x, z, h, layer);
            } else {
                // The draws of a plant that does not stand are made all the same: image, mirror.
                EngineRand();
                EngineRand();
            }
        } else if (stands) {
            DrawPlantMesh(x, z, h, layer);
        } else {
            EngineRand();
            EngineRand();
        }
    }
}

// Makes the layer the one cells are filled from, when it has anything for this pass; an open batch
// of another layer's texture is drawn first.
bool BeginLayer(s32_t index)
{
    const VegetationLayer& layer = g_vegetation.layers[index];
    if (layer.kind != g_vegetation.pass || !layer.density || !layer.density->data || layer.density->size == 0)
        return false;
    IDirect3DBaseTexture8* texture = rbwireframe.Bool() ? nullptr : layer.texture;
    // Blades of another layer's texture must not be drawn with this one: the open batch is
    // drawn before the texture changes.
    if (g_vegetation.pass == 0 && g_vegetation.batchQuads > 0 && texture != g_vegetation.batchTexture) {
        DrawBatch();
        LockBatch();
    }
    g_vegetation.batchTexture = texture;
    RenderSetTexture(0, texture);
    g_fill.layer = &layer;
    g_fill.layerIndex = index;
    return true;
}

void VisitRow(s32_t row, s32_t firstColumn, s32_t lastColumn, void*)
{
    if (!g_vegetation.layers)
        return;
    for (s32_t index = 0; index < MAP_VEGETATION_LAYER_COUNT; ++index) {
        if (!BeginLayer(index))
            continue;
        for (s32_t column = firstColumn; column <= lastColumn; ++column)
            FillCell(column, row);
    }
}

// The ordered cells, kept from frame to frame so that a frame allocates nothing.
std::vector<VegetationCell> g_orderedCells;

struct CellCollection {
    Vec2 camera;
    std::vector<VegetationCell>* cells;
    bool tooMany = false;
};

void CollectRow(s32_t row, s32_t firstColumn, s32_t lastColumn, void* context)
{
    auto* collection = static_cast<CellCollection*>(context);
    std::vector<VegetationCell>& cells = *collection->cells;
    if (collection->tooMany || cells.size() + size_t(lastColumn - firstColumn + 1) > VEGETATION_MAX_ORDERED_CELLS) {
        collection->tooMany = true;
        return;
    }
    const float dz = float(row) + 0.5f - collection->camera.z;
    for (s32_t column = firstColumn; column <= lastColumn; ++column) {
        const float dx = float(column) + 0.5f - collection->camera.x;
        cells.push_back({dx * dx + dz * dz, row, column});
    }
}

// The blades, layer by layer, each layer's cells nearest first: the blades are alpha tested and
// write depth without blending, so the nearest blade at a pixel wins whatever the order, and drawn
// nearest first the blades behind it fail the depth test before they are shaded. Each cell seeds
// its own plants, so the order changes none of them.
void DrawBladesNearestFirst(const Vec2 (&ring)[3])
{
    if (!g_vegetation.layers)
        return;
    if (!VegetationCellsNearestFirst(ring, g_orderedCells)) {
        VegetationRasterise(ring, VisitRow, nullptr);
        return;
    }
    for (s32_t index = 0; index < MAP_VEGETATION_LAYER_COUNT; ++index) {
        if (!BeginLayer(index))
            continue;
        for (const VegetationCell& cell : g_orderedCells)
            FillCell(cell.column, cell.row);
    }
}

void SetStates(bool night)
{
    RenderSetState(D3DRS_LIGHTING, 0);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
    RenderSetState(D3DRS_ALPHATESTENABLE, 1);
    RenderSetState(D3DRS_ALPHAREF, kAlphaRef);
    RenderSetState(D3DRS_ZENABLE, D3DZB_TRUE);
    RenderSetState(D3DRS_ZWRITEENABLE, 1);
    RenderSetState(D3DRS_TEXTUREFACTOR, ColourPackRounded(night ? rc_nvisioncol.Colour() : rcvegcol.Colour()));
    RenderSetColorOp(0, night ? D3DTOP_MODULATE : D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_TFACTOR);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, ~0u);
    RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_FILLMODE, rbwireframe.Bool() ? D3DFILL_WIREFRAME : D3DFILL_SOLID);

    // Stage 1: the land's layer colour, projected from above by world x and z.
    const float w = g_fill.worldSize;
    D3DXMATRIX view, inverse, scale, offset, swap;
    Device()->GetTransform(D3DTS_VIEW, &view);
    if (!D3DXMatrixInverse(&inverse, nullptr, &view))
        D3DXMatrixIdentity(&inverse);
    D3DXMatrixScaling(&scale, 1.0f / w, 1.0f / w, -1.0f / w);
    D3DXMatrixTranslation(&offset, 0.5f, 0.5f, 0.5f);
    D3DXMatrixIdentity(&swap);
    swap._22 = swap._33 = 0.0f;
    swap._23 = swap._32 = 1.0f;
    const D3DXMATRIX project = inverse * scale * offset * swap;
    Device()->SetTransform(D3DTS_TEXTURE1, &project);
    RenderSetTexture(1, night ? g_mapRender.landCompositePlain : g_mapRender.landCompositeLit);
    RenderSetStageState(1, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEPOSITION);
    RenderSetStageState(1, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    RenderSetColorOp(1, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetAlphaOp(1, D3DTOP_SELECTARG1, D3DTA_CURRENT, ~0u);
    RenderSetStageState(1, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(1, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(1, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
    RenderSetStageState(1, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    RenderSetStageState(1, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
}

// Frees the payload of every node (blocks of bytes the table owns), then the table.
void FreeCellTable()
{
    HashTable* table = g_vegetation.cellTable;
    if (!table)
        return;
    HashIterator it;
    for (HashNode* node = table->First(&it); node; node = table->Next(&it)) {
        delete[] reinterpret_cast<u8_t*>(node->value);
        node->value = 0;
    }
    delete table;
    g_vegetation.cellTable = nullptr;
}

}  // namespace

void VegetationInit()
{
    FreeCellTable();
    g_vegetation.cellTable = new (std::nothrow) HashTable(kCellTableBuckets);
    // A new map: the first draw takes its values afresh (the last map's heightmap is gone).
    g_vegetation.prepared = false;
    g_scene.vegetationTexture = TextureFindOrLoad("component\\extras\\veg");
    for (auto& table : g_scene.vegetationJitter) {
        for (auto& pair : table) {
            pair[0] = static_cast<float>(EngineRand()) * 80.0f / 32767.0f;
            pair[1] = static_cast<float>(EngineRand()) * 80.0f / 32767.0f;
        }
    }
    // The highest layer whose density grid the map offers; layer 0 is never one.
    g_scene.vegetationTopLayer = 0;
    for (int layer = MAP_LAYER_GRID_COUNT - 1; layer >= 1; --layer) {
        if (MapGetVegetationLayerGrid(layer)) {
            g_scene.vegetationTopLayer = layer;
            break;
        }
    }
    // The render shutdown forgets the set-up when it is asked to free the vegetation.
    RenderRegisterDeviceHooks({RENDER_HOOK_VEGETATION, nullptr, nullptr,
                               [](bool freeVegetation) {
                                   if (freeVegetation)
                                       VegetationShutdown();
                               },
                               nullptr});
}

void VegetationShutdown()
{
    RenderUnregisterDeviceHooks(RENDER_HOOK_VEGETATION);
    FreeCellTable();
    g_vegetation.prepared = false;
    g_scene.vegetationTexture = nullptr;
    g_scene.vegetationTopLayer = 0;
}

void VegetationRasterise(const Vec2 (&ring)[3], VegetationRowVisitor visit, void* context)
{
    float zMin = ring[0].z, zMax = ring[0].z, xMin = ring[0].x, xMax = ring[0].x;
    for (const Vec2& p : ring) {
        if (!std::isfinite(p.x) || !std::isfinite(p.z))
            return;
        zMin = std::fmin(zMin, p.z);
        zMax = std::fmax(zMax, p.z);
        xMin = std::fmin(xMin, p.x);
        xMax = std::fmax(xMax, p.x);
    }
    if (zMax - zMin > VEGETATION_MAX_CELL_SPAN || xMax - xMin > VEGETATION_MAX_CELL_SPAN)
        return;
    const s32_t firstRow = s32_t(std::floor(zMin)), lastRow = s32_t(std::floor(zMax));
    for (s32_t row = firstRow; row <= lastRow; ++row) {
        // The part of the triangle within the row: its corners inside the row and where its edges
        // cross the row's lower and upper boundaries.
        const float low = std::fmax(float(row), zMin), high = std::fmin(float(row + 1), zMax);
        float left = 1e30f, right = -1e30f;
        auto take = [&](float x) {
            left = std::fmin(left, x);
            right = std::fmax(right, x);
        };
        for (int i = 0; i < 3; ++i) {
            const Vec2& a = ring[i];
            const Vec2& b = ring[(i + 1) % 3];
            if (a.z >= low && a.z <= high)
                take(a.x);
            const float dz = b.z - a.z;
            if (dz == 0.0f)
                continue;
            for (float boundary : {low, high}) {
                const float t = (boundary - a.z) / dz;
                if (t >= 0.0f && t <= 1.0f)
                    take(a.x + (b.x - a.x) * t);
            }
        }
        if (left > right)
            continue;
        visit(row, s32_t(std::floor(left)), s32_t(std::floor(right)), context);
    }
}

bool VegetationCellsNearestFirst(const Vec2 (&ring)[3], std::vector<VegetationCell>& cells)
{
    cells.clear();
    CellCollection collection{ring[0], &cells};
    VegetationRasterise(ring, CollectRow, &collection);
    if (collection.tooMany) {
        cells.clear();
        return false;
    }
    std::sort(cells.begin(), cells.end(), [](const VegetationCell& a, const VegetationCell& b) {
        if (a.distance != b.distance)
            return a.distance < b.distance;
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    return true;
}

VegetationCellCount VegetationCountAt(float layerValue, float distance)
{
    const float size = rf_vegsquaresize.Float();
    const float maxDensity = float(ri_vegmaxdensity.Int());
    const float hi = std::trunc(layerValue / 255.0f * maxDensity);
    const float lo = 0.1f * hi;
    const float radius = rfvegradius.Float(), far = ri_vegfar.Float();
    float t = 0.0f;
    if (distance > radius)
        t = far > radius ? std::fmin(1.0f, (distance - radius) / (far - radius)) : 1.0f;
    const float area = size * size * 0.0001f;
    VegetationCellCount out;
    const float count = std::trunc((hi + (lo - hi) * t) * area);
    const float floor = std::trunc(lo * area);
    out.count = std::isfinite(count) ? s32_t(std::fmax(0.0f, std::fmin(count, float(kMaxCellPlants)))) : 0;
    out.floor = std::isfinite(floor) ? s32_t(std::fmax(0.0f, std::fmin(floor, float(kMaxCellPlants)))) : 0;
    return out;
}

float VegetationSizeFactor(s32_t c, s32_t floor, s32_t k)
{
    // The ratio is held to 0..1: below the floor, and with a maximum density at or below it, the
    // plain formula gives no number or an infinite one.
    const float span = float(ri_vegmaxdensity.Int()) - float(floor);
    float ratio = span > 0.0f ? (float(c) - float(floor)) / span : 0.0f;
    ratio = ratio < 0.0f ? 0.0f : (ratio > 1.0f ? 1.0f : ratio);
    return std::sqrt(ratio) * std::fmin(1.0f, float(k) * 0.05f);
}

void VegetationViewTriangle(const float* position, float yaw, float fieldOfView, Vec2 (&ring)[3])
{
    const float far = ri_vegfar.Float();
    const float halfWidth = std::tan(fieldOfView / 2.0f) * far;
    const Vec2 p = {position[0], position[2]};
    const Vec2 dir = {std::sin(yaw), std::cos(yaw)};
    const Vec2 right = {std::cos(yaw), -std::sin(yaw)};
    Vec2 ahead, side;
    dir.Scale(far, &ahead);
    right.Scale(halfWidth, &side);
    ring[0] = p;
    p.Add(ahead, &ring[1]);
    ring[1].Sub(side, &ring[1]);
    p.Add(ahead, &ring[2]);
    ring[2].Add(side, &ring[2]);
    const float size = rf_vegsquaresize.Float();
    for (Vec2& point : ring)
        point.DivideBy(size);
}

void VegetationRender(const float* position, float yaw, float fieldOfView)
{
    g_vegetation.camera[0] = position[0];
    g_vegetation.camera[1] = position[1];
    g_vegetation.camera[2] = position[2];
    g_vegetation.yaw = yaw;
    g_vegetation.fov = fieldOfView;
    if (!rbvegetation.Bool())
        return;

    // 1. The map's values, once per map.
    if (!g_vegetation.prepared)
        Prepare();
    const float size = rf_vegsquaresize.Float();
    const float worldSize = MapGetWorldSize();
    // A cell side of 0 or less would cut the ground into no cells at all.
    if (!(size > 0.0f) || !(worldSize > 0.0f) || !Device())
        return;
    g_fill = Fill{};
    g_fill.squareSize = size;
    g_fill.worldSize = worldSize;
    g_fill.cosYaw = std::cos(yaw);
    g_fill.sinYaw = std::sin(yaw);

    // 2-6. States, the land's colour on stage 1, the under-water fog.
    const bool night = g_hudInput.flags.nightVision != 0;
    SetStates(night);
    const bool underWaterFog = RenderViewUnderWater && rbfog.Bool() && !g_frameView.cursorMode;
    if (underWaterFog) {
        UnderwaterFogStageBegin(2);
        RenderDisableStage(3);
    } else {
        RenderDisableStage(2);
    }

    // 7. The streaming buffers.
    StaticBufferBind(&g_dynBuffers.tex2Vertices);
    DynIndexBufferSelect(&g_dynBuffers.smallIndices);

    // 8. The generator goes back to this value at the end.
    const int restore = EngineRand();

    // 9. The view triangle in cell units.
    Vec2 ring[3];
    VegetationViewTriangle(position, yaw, fieldOfView, ring);

    // 10. Wind on the top corners.
    const float s1 = std::sin(g_vegetation.windPhase[0]), s2 = std::sin(g_vegetation.windPhase[1]);
    g_fill.windA[0] = -0.2f * g_fill.cosYaw * s1;
    g_fill.windA[1] = 0.2f * g_fill.sinYaw * s1;
    g_fill.windB[0] = -0.2f * g_fill.cosYaw * 2.0f * s2;
    g_fill.windB[1] = 0.2f * g_fill.sinYaw * 2.0f * s2;

    // 11. Blades.
    g_vegetation.pass = 0;
    g_vegetation.batchQuads = 0;
    g_vegetation.batchVertices = 0;
    g_vegetation.batchTexture = nullptr;
    LockBatch();
    DrawBladesNearestFirst(ring);
    DrawBatch();

    // 12. Mesh plants.
    g_vegetation.pass = 1;
    VegetationRasterise(ring, VisitRow, nullptr);

    // 13. Wind.
    g_vegetation.windPhase[0] += g_frameView.frameTime * 0.45f;
    g_vegetation.windPhase[1] += g_frameView.frameTime * 0.35f;

    // 14. Leave as found: the generator's seed back, no buffers bound, alpha test off, identity world.
    EngineSRand(u32_t(restore));
    StaticBufferBind(nullptr);
    DynIndexBufferSelect(nullptr);
    RenderSetState(D3DRS_ALPHATESTENABLE, 0);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    Device()->SetTransform(D3DTS_TEXTURE1, &identity);
    RenderSetStageState(1, D3DTSS_TEXTURETRANSFORMFLAGS, 0);
    RenderSetStageState(1, D3DTSS_TEXCOORDINDEX, 1);
    UnderwaterFogStageEnd(2);
}
