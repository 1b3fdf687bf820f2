// Whole frames of a generated heavier scene at 800 x 600 on the real device (SDL's offscreen driver
// unless a display is given) along a fixed camera path: a synthetic land (an octree of rolling
// ground in 4 texture layers) with many placed objects made from a few meshes, far groups of them
// clustered, and translucent panes in front of opaque walls; each frame is the stencil mark, the
// visibility pass with the static map of the 25 world tiles and the outdoor pass list. Reports frames
// per second, the GPU milliseconds per frame of each timed pass (the device's time stamps) and the
// millions of triangles drawn per second ("mtris"; compare with render_batches_bench's streamed
// rate); with the argument shadows/1 every object casts a stencil shadow, and with vegetation/1 the
// ground carries full-density vegetation of both kinds (grass blades out to 400 units, bushes out to
// 300) over a heightmap of the land. bench/mission_frame_bench plays the sample mission.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_window.h"
#include "core/files/def_file.h"
#include "map/terrain/heightmap.h"
#include "map/terrain/map_caches.h"
#include "map/map_cvars.h"
#include "map/terrain/map_grid.h"
#include "map/octree/object_grid.h"
#include "map/octree/octree.h"
#include "map/land_maps/vegetation_layers.h"
#include "map/registry/world_registry.h"
#include "platform/win32.h"
#include "render/device/frame.h"
#include "render/land/map_render_setup.h"
#include "render/device/pass_timing.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/render_device.h"
#include "map/terrain/static_map_buffers.h"
#include "render/land/visible_nodes.h"
#include "scene/draw_records/draw_records.h"
#include "scene/meshes/gpu_anim_buffers.h"
#include "scene/meshes/mesh_draw.h"
#include "scene/passes/scene_passes.h"
#include "scene/scene_cvars.h"
#include "scene/passes/stats_overlay.h"
#include "scene/passes/stencil_shadows.h"
#include "scene/vegetation/vegetation.h"
#include "scene/passes/visibility_pass.h"
#include "tools/aff_make/aff_writer.h"
#include "world/animation/anim_cache.h"
#include "world/animation/clustered_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"
#include "scene/draw_records/draw_lists.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr float kWorldSize = 4096.0f;
constexpr int kSplits = 4;     // 4096 leaves, the lower 2048 of them ground
constexpr int kLeafCells = 8;  // quads per side of a leaf's ground
constexpr int kLayers = 4;
constexpr int kPathFrames = 64;  // camera positions along the path

float GroundHeight(float x, float z)
{
    return -60.0f + 25.0f * std::sin(x * 0.004f) * std::cos(z * 0.003f);
}

// The ground of a leaf: a grid of quads, its own faces followed by a copy of them per layer.
void FillLeaf(OctreeNode* leaf)
{
    OctreeGeometry& geometry = leaf->geometry;
    const int across = kLeafCells + 1;
    geometry.vertexCount = geometry.vertexCapacity = u32_t(across * across);
    geometry.vertices = new MapVertex[geometry.vertexCount];
    const float x0 = leaf->boxMin.x, z0 = leaf->boxMin.z;
    const float step = (leaf->boxMax.x - leaf->boxMin.x) / float(kLeafCells);
    for (int j = 0; j < across; ++j) {
        for (int i = 0; i < across; ++i) {
            const float x = x0 + step * float(i), z = z0 + step * float(j);
            geometry.vertices[j * across + i] =
                MapVertex{{x, GroundHeight(x, z), z}, x / kWorldSize + 0.5f, z / kWorldSize + 0.5f, {0, 1, 0}};
        }
    }
    const u32_t own = u32_t(kLeafCells * kLeafCells * 2);
    geometry.faceCount = geometry.faceCapacity = own * (1 + kLayers);
    geometry.faces = new MapFace[geometry.faceCount];
    u32_t f = 0;
    for (int j = 0; j < kLeafCells; ++j) {
        for (int i = 0; i < kLeafCells; ++i) {
            const u16_t a = u16_t(j * across + i), b = u16_t(a + 1), c = u16_t(a + across), d = u16_t(c + 1);
            // Counter-clockwise seen from above: the map passes cull clockwise faces.
            geometry.faces[f++] = MapFace{{a, d, c}};
            geometry.faces[f++] = MapFace{{a, b, d}};
        }
    }
    geometry.traceFaceCount = own;
    for (int layer = 0; layer < kLayers; ++layer) {
        for (u32_t k = 0; k < own; ++k)
            geometry.faces[own * (1 + layer) + k] = geometry.faces[k];
        leaf->layerRanges[layer] = OctreeLayerRange(own * (1 + layer), own);
    }
    geometry.boundsMin = {leaf->boxMin.x, -85.0f, leaf->boxMin.z};
    geometry.boundsMax = {leaf->boxMax.x, -35.0f, leaf->boxMax.z};
    const float dx = leaf->boxMax.x - leaf->boxMin.x;
    geometry.boundsRadius = 0.5f * std::sqrt(2.0f * dx * dx + 50.0f * 50.0f);
}

IDirect3DTexture8* SolidTexture(D3DCOLOR colour)
{
    IDirect3DTexture8* texture = nullptr;
    if (FAILED(g_render.device->CreateTexture(64, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture)))
        return nullptr;
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(texture->LockRect(0, &locked, nullptr, 0))) {
        for (int y = 0; y < 64; ++y) {
            DWORD* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
            for (int x = 0; x < 64; ++x)
                row[x] = colour ^ DWORD(((x ^ y) & 8) ? 0x00101010u : 0u);
        }
        texture->UnlockRect(0);
    }
    return texture;
}

// The placed objects: a ring of crates, pillars and panes round the camera path, and far clustered
// groups of crates inside the ring.
constexpr int kRingObjects = 720;
constexpr int kClusterGroups = 24;
constexpr int kGroupObjects = 12;

// A box of the given half sizes standing on its base: six quads.
std::vector<aff::Mesh> BoxMeshes(float hx, float hy, float hz, const float* colour)
{
    const std::array<Vector3, 8> c = {{{-hx, 0, -hz},
                                       {hx, 0, -hz},
                                       {hx, 2 * hy, -hz},
                                       {-hx, 2 * hy, -hz},
                                       {-hx, 0, hz},
                                       {hx, 0, hz},
                                       {hx, 2 * hy, hz},
                                       {-hx, 2 * hy, hz}}};
    const int sides[6][4] = {{0, 1, 2, 3}, {5, 4, 7, 6}, {4, 0, 3, 7}, {1, 5, 6, 2}, {3, 2, 6, 7}, {4, 5, 1, 0}};
    std::vector<aff::Mesh> meshes;
    for (const auto& side : sides) {
        aff::Mesh mesh = aff::QuadMesh(0, {c[side[0]], c[side[1]], c[side[2]], c[side[3]]});
        for (int k = 0; k < 3; ++k) {
            mesh.material.ambient[k] = colour[k] * 0.5f;
            mesh.material.diffuse[k] = colour[k];
        }
        meshes.push_back(mesh);
    }
    return meshes;
}

bool WriteMesh(const char* path, std::vector<aff::Mesh> meshes)
{
    aff::AffFile file;
    file.strings = {"side"};
    aff::Frame frame;
    frame.meshes = std::move(meshes);
    file.frames = {frame};
    return aff::WriteAff(path, file);
}

std::vector<std::unique_ptr<GraphObj>> g_objects;

GraphObj* PlaceObject(const std::string& name, const char* meshPath, float x, float z, float turn, bool translucent)
{
    auto object = std::make_unique<GraphObj>();
    object->name.Assign(name.c_str());
    D3DXMATRIX place, rotate;
    D3DXMatrixRotationY(&rotate, turn);
    D3DXMatrixTranslation(&place, x, GroundHeight(x, z) - 1.0f, z);
    D3DXMATRIX world = rotate * place;
    object->GetRootNode()->SetMatrix(world.m[0]);
    GraphNode* node = new GraphNode;
    node->SetName(EngineString("body"));
    node->SetParent(object->GetRootNode());
    object->GetRootNode()->AddChild(node);
    node->SetAnimMesh(AnimCacheAcquire(meshPath, false));
    if (translucent && node->GetMeshSettings() && node->GetAnimMesh())
        for (u32_t m = 0; m < node->FrameZeroMeshCount(); ++m)
            for (u32_t& mode : node->GetMeshSettings()[m].lodMode)
                mode |= MESH_LOD_TRANSLUCENT;
    GraphObj* raw = object.get();
    if (!DynObjectAdd(raw))
        return nullptr;
    g_objects.push_back(std::move(object));
    return raw;
}

// The objects, their meshes in a folder of their own, and the clustered groups.
bool PlaceScene()
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("zintar_scene_bench_" + std::to_string(getpid()));
    std::error_code error;
    std::filesystem::create_directories(folder / "mission", error);
    if (error || chdir(folder.c_str()) != 0)
        return false;
    const float stone[3] = {0.7f, 0.65f, 0.6f}, wood[3] = {0.6f, 0.4f, 0.2f}, glass[3] = {0.3f, 0.6f, 0.9f};
    if (!WriteMesh("crate.aff", BoxMeshes(5, 5, 5, wood)) || !WriteMesh("pillar.aff", BoxMeshes(3, 20, 3, stone)) ||
        !WriteMesh("pane.aff", BoxMeshes(12, 8, 0.5f, glass)))
        return false;
    const char* meshes[3] = {"crate.aff", "pillar.aff", "pane.aff"};
    for (int i = 0; i < kRingObjects; ++i) {
        const float angle = float(i) * 2.0f * 3.14159265f / float(kRingObjects / 3);
        const float radius = 900.0f + 60.0f * float(i % 3 - 1) + 25.0f;
        const int kind = i % 3;
        PlaceObject("ring" + std::to_string(i), meshes[kind], radius * std::cos(angle), radius * std::sin(angle), angle,
                    kind == 2);
    }
    std::string clusters;
    for (int g = 0; g < kClusterGroups; ++g) {
        const float angle = float(g) * 2.0f * 3.14159265f / float(kClusterGroups);
        clusters += "cluster town" + std::to_string(g) + " 0.1\n";
        for (int k = 0; k < kGroupObjects; ++k) {
            const std::string name = "house" + std::to_string(g) + "_" + std::to_string(k);
            const float x = 400.0f * std::cos(angle) + 14.0f * float(k % 4),
                        z = 400.0f * std::sin(angle) + 14.0f * float(k / 4);
            if (PlaceObject(name, "crate.aff", x, z, 0.0f, false))
                clusters += "add " + name + "\n";
        }
    }
    FILE* file = std::fopen("mission/mission.ctr", "wb");
    if (!file)
        return false;
    std::fwrite(clusters.data(), 1, clusters.size(), file);
    std::fclose(file);
    return ClusteredObjLoad("mission");
}

// The land's lowest and highest y: the vegetation and the heightmap read them from the map box.
constexpr float kGroundLow = -90.0f;
constexpr float kGroundHigh = -30.0f;
constexpr u32_t kHeightmapSide = 512;

// The heightmap of the land, laid out as the heightmap builder writes it (sample j of row j at
// z = -W/2 + j x step, column n - 1 - i at x = W/2 - i x step), loaded back by the builder.
void MakeHeightmap()
{
    const u32_t n = kHeightmapSide;
    const float step = kWorldSize / float(n), half = kWorldSize / 2.0f;
    std::vector<u8_t> pixels(size_t(n) * n * 4);
    for (u32_t j = 0; j < n; ++j) {
        for (u32_t i = 0; i < n; ++i) {
            const float height = GroundHeight(half - float(i) * step, -half + float(j) * step);
            const float value = (height - kGroundLow) * 255.0f / (kGroundHigh - kGroundLow);
            u8_t* pixel = &pixels[(size_t(n - 1 - j) * n + (n - 1 - i)) * 4];
            pixel[0] = pixel[1] = pixel[2] = pixel[3] = u8_t(value < 0.0f ? 0.0f : (value > 255.0f ? 255.0f : value));
        }
    }
    std::error_code error;
    std::filesystem::create_directories("component/land", error);
    TgaWrite32(pixels.data(), n, "component\\land\\bench_hmap");
    mihmapsize.SetInt(s32_t(n));
    MapBuildHeightmap("bench");
}

// The plant atlas: 4 x 4 images of 32 x 32 pixels, each a tuft of blades rising from the bottom edge
// on a see-through background (the vegetation's alpha test keeps only the blades).
IDirect3DTexture8* PlantAtlas()
{
    IDirect3DTexture8* texture = nullptr;
    if (FAILED(g_render.device->CreateTexture(128, 128, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture)))
        return nullptr;
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(texture->LockRect(0, &locked, nullptr, 0))) {
        for (int y = 0; y < 128; ++y) {
            DWORD* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
            for (int x = 0; x < 128; ++x) {
                const int image = (y / 32) * 4 + x / 32, up = 31 - y % 32, across = x % 32 - 16;
                bool blade = false;
                for (int b = -2; b <= 2 && !blade; ++b) {
                    // A blade leans out by its number times the image's spread and thins to its tip.
                    const float centre = float(b * 3) + float(b * (image % 4)) * float(up) / 31.0f;
                    const float width = 1.5f * (1.0f - float(up) / float(29 - (b < 0 ? -b : b) * 3));
                    blade = width > 0.0f && std::fabs(float(across) - centre) <= width;
                }
                row[x] =
                    blade ? 0xFF000000u | (0x30u + 4u * u32_t(image)) << 16 | (0x70u + 4u * u32_t(image)) << 8 | 0x20u
                          : 0u;
            }
        }
        texture->UnlockRect(0);
    }
    return texture;
}

// A bush: two crossed flat boxes standing on their foot, 2 units high; plant meshes stand along z.
bool WriteBush(const char* path)
{
    const float leaf[3] = {0.25f, 0.5f, 0.15f};
    std::vector<aff::Mesh> meshes = BoxMeshes(1.0f, 1.0f, 0.2f, leaf);
    std::vector<aff::Mesh> cross = BoxMeshes(0.2f, 0.9f, 1.0f, leaf);
    meshes.insert(meshes.end(), cross.begin(), cross.end());
    for (aff::Mesh& mesh : meshes)
        for (Vector3& p : mesh.positions)
            p = {p.x, p.z, p.y};
    return WriteMesh(path, std::move(meshes));
}

// Full-density vegetation of both kinds over the whole land: blades in layer 0, bushes in layer 1.
bool PlaceVegetation()
{
    MapSetBox({-kWorldSize / 2.0f, kGroundLow, -kWorldSize / 2.0f},
              {kWorldSize / 2.0f, kGroundHigh, kWorldSize / 2.0f});
    MakeHeightmap();
    if (!MapGetHeightmap() || !WriteBush("bush.aff"))
        return false;
    AnimMesh* bush = AnimCacheAcquire("bush.aff", true);
    IDirect3DTexture8* atlas = PlantAtlas();
    if (!bush || !atlas)
        return false;
    GpuAnimUpload();
    VegetationLayer* layers = MapGetVegetationLayers();
    for (int l = 0; l < 2; ++l) {
        VegetationLayer& layer = layers[l];
        layer = VegetationLayer{};
        layer.density = MapGridCreate(16);
        if (!layer.density)
            return false;
        for (u32_t i = 0; i < 16 * 16; ++i)
            layer.density->data[i] = 255;
        layer.texture = atlas;
    }
    layers[0].kind = VEGETATION_BILLBOARD;
    layers[0].value3 = 400.0f;
    layers[0].value4 = 1.0f;
    layers[0].value5 = 1.6f;
    layers[0].billboard[0] = layers[0].billboard[1] = 4.0f;
    layers[1].kind = VEGETATION_ANIMATED;
    layers[1].value3 = 300.0f;
    layers[1].value4 = 0.8f;
    layers[1].value5 = 1.2f;
    layers[1].animated = 5.0f;
    layers[1].meshes[0] = bush;
    layers[1].meshCount = 1;
    VegetationInit();
    return true;
}

// One render core and one synthetic land for the whole run.
bool SceneReady()
{
    static const bool ready = [] {
        HWND window = OpenBenchWindow("zintar scene bench", "scene bench", kWidth, kHeight);
        if (!window || RenderInit(window) != 0 ||
            RenderSetDisplayMode(kWidth, kHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2) != 0)
            return false;
        SceneDrawListsInit();
        const float half = kWorldSize / 2.0f;
        OctreeNode* root = OctreeCreateRoot({-half, -half, -half}, {half, half, half});
        std::vector<OctreeNode*> level{root};
        for (int s = 0; s < kSplits; ++s) {
            std::vector<OctreeNode*> next;
            for (OctreeNode* node : level) {
                node->CreateChildren();
                next.insert(next.end(), node->children, node->children + 8);
            }
            level = next;
        }
        for (OctreeNode* leaf : level) {
            if (leaf->boxMax.y <= 0.0f)
                FillLeaf(leaf);
        }
        if (!RenderBuildStaticBuffers())
            return false;
        const D3DCOLOR colours[kLayers] = {0xFF507030u, 0xFF806040u, 0xFF909090u, 0xFF406080u};
        for (int layer = 0; layer < kLayers; ++layer)
            g_mapRender.landTextures[layer] = {SolidTexture(colours[layer]), SolidTexture(0x80FFFFFFu)};
        g_mapRender.landCompositeLit = SolidTexture(0xFF607050u);
        g_mapRender.landCompositePlain = g_mapRender.landCompositeLit;
        rblvi.SetBool(true);
        rblayerlod.SetBool(true);
        rbtexunits.SetInt(2);
        mfrange.SetFloat(600.0f);
        MapSetBox({-half, -half, -half}, {half, half, half});
        DrawRecordListInit();
        if (!PlaceScene())
            return false;
        // Every placed object gets its shadow volume, drawn while "rbshadows" is on.
        ShadowsPrepare();
        return PlaceVegetation();
    }();
    return ready;
}

// A loop round the base tile at walking height, looking ahead and a little down.
void PathPoint(int frame, float* position, float* yaw)
{
    const float angle = float(frame) * 2.0f * 3.14159265f / float(kPathFrames);
    position[0] = 900.0f * std::cos(angle);
    position[2] = 900.0f * std::sin(angle);
    position[1] = GroundHeight(position[0], position[2]) + 20.0f;
    *yaw = -angle;
}

void BM_SceneFrame(benchmark::State& state)
{
    if (!SceneReady()) {
        state.SkipWithError("no render device");
        return;
    }
    // Argument 1: the shadowed road of the pass list (volumes, second object pass, darkening).
    const bool shadows = state.range(0) != 0;
    rbshadows.SetBool(shadows);
    // Argument 2: the vegetation drawn or not.
    rbvegetation.SetBool(state.range(1) != 0);
    RenderTimingEnable(true);
    double totals[RENDER_TIMED_PASS_COUNT] = {};
    std::int64_t frames = 0, faces = 0, objects = 0;
    for (auto _ : state) {
        float position[3], yaw;
        PathPoint(int(frames % kPathFrames), position, &yaw);
        if (RenderBeginFrame() != 0)
            continue;
        RenderSetupCamera(0.0f, 0.0f, 0.0f, yaw, 0.15f, 0.0f, 1.2f, 1);
        StencilMarkBegin();
        RenderVisibilityPass(position[0], position[1], position[2], yaw, 0.15f, 0.0f, 1.2f);
        StencilEnable();
        RenderScenePasses();
        faces += g_render.frameStats.faces;
        objects += g_visible.objectCount;
        RenderEndFrame(true);
        double passes[RENDER_TIMED_PASS_COUNT];
        RenderTimingCollect(passes);
        for (u32_t i = 0; i < RENDER_TIMED_PASS_COUNT; ++i)
            totals[i] += passes[i];
        ++frames;
    }
    RenderTimingEnable(false);
    rbshadows.SetBool(false);
    rbvegetation.SetBool(true);
    const double count = frames > 0 ? double(frames) : 1.0;
    state.counters["fps"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
    state.counters["mtris"] = benchmark::Counter(double(faces) / 1e6, benchmark::Counter::kIsRate);
    state.counters["tris_per_frame"] = double(faces) / count;
    state.counters["visible_objects"] = double(objects) / count;
    for (u32_t i = 0; i < RENDER_TIMED_PASS_COUNT; ++i) {
        std::string name = StatsOverlayPassName(i);
        for (char& c : name)
            c = c == ' ' ? '_' : c;
        state.counters[name + "_ms"] = totals[i] / count;
    }
}
BENCHMARK(BM_SceneFrame)
    ->ArgNames({"shadows", "vegetation"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

}  // namespace
