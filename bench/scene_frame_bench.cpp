// Frames of the world view at 800 x 600 on the real device (SDL's offscreen driver unless a display
// is given) along a fixed camera path: the visibility pass over the 25 world tiles with the static
// map of each. Until the sample map loads, the map is a synthetic land: an octree of rolling ground
// in 4 texture layers. Reports frames per second and the GPU milliseconds per frame of each timed
// pass (the device's time stamps).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "map/map_cvars.h"
#include "map/octree.h"
#include "platform/win32.h"
#include "render/frame.h"
#include "render/map_render_setup.h"
#include "render/pass_timing.h"
#include "render/render_context.h"
#include "render/render_cvars.h"
#include "render/render_device.h"
#include "render/static_buffers.h"
#include "scene/visibility_pass.h"

namespace {

LRESULT BenchWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

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

// One render core and one synthetic land for the whole run.
bool SceneReady()
{
    static const bool ready = [] {
        if (!std::getenv("DISPLAY"))
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = BenchWindowProcedure;
        windowClass.lpszClassName = "zintar scene bench";
        RegisterClassA(&windowClass);
        HWND window = CreateWindowExA(0, "zintar scene bench", "scene bench", WS_OVERLAPPEDWINDOW, 0, 0, kWidth,
                                      kHeight, nullptr, nullptr, nullptr, nullptr);
        if (!window || RenderInit(window) != 0 ||
            RenderSetDisplayMode(kWidth, kHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2) != 0)
            return false;
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
        return true;
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
    RenderTimingEnable(true);
    double totals[RENDER_TIMED_PASS_COUNT] = {};
    std::int64_t frames = 0;
    for (auto _ : state) {
        float position[3], yaw;
        PathPoint(int(frames % kPathFrames), position, &yaw);
        if (RenderBeginFrame() != 0)
            continue;
        RenderVisibilityPass(position[0], position[1], position[2], yaw, 0.15f, 0.0f, 1.2f);
        RenderEndFrame(true);
        double passes[RENDER_TIMED_PASS_COUNT];
        RenderTimingCollect(passes);
        for (u32_t i = 0; i < RENDER_TIMED_PASS_COUNT; ++i)
            totals[i] += passes[i];
        ++frames;
    }
    RenderTimingEnable(false);
    const double count = frames > 0 ? double(frames) : 1.0;
    state.counters["fps"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
    const char* names[RENDER_TIMED_PASS_COUNT] = {"visibility_ms", "map_depth_ms", "map_layers_ms", "map_lightmap_ms",
                                                  "map_fog_ms"};
    for (u32_t i = 0; i < RENDER_TIMED_PASS_COUNT; ++i)
        state.counters[names[i]] = totals[i] / count;
}
BENCHMARK(BM_SceneFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
