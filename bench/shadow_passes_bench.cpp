// The stencil shadow passes at 800 x 600 on the real device (SDL's offscreen driver unless a display
// is given): a ground at the map's stencil value and a field of shadow volumes (prisms of 32 sides
// standing on it, 254 triangles each) counted by the z-fail or the z-pass pass, then the darkening
// quad. The frame without the passes is measured beside them, so that their cost is the difference.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "bench/bench_window.h"
#include "map/map_cvars.h"
#include "map/octree/object_grid.h"
#include "platform/win32.h"
#include "render/camera.h"
#include "render/device/frame.h"
#include "render/device/render_context.h"
#include "render/device/render_device.h"
#include "render/device/state_cache.h"
#include "scene/scene_cvars.h"
#include "scene/passes/stencil_shadows.h"
#include "world/objects/dynamic_object.h"
#include "world/nodes/shadow_volume.h"
#include "scene/draw_records/draw_lists.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kSides = 32;
constexpr int kRows = 8;  // volumes per row and rows

struct Prism {
    std::vector<float> vertices;
    std::vector<u16_t> indices;
};

// A prism of kSides sides from y0 to y1 round (x, z): the two caps first, then the sides, wound as
// the world's meshes are (counter-clockwise seen from outside).
Prism MakePrism(float x, float z, float radius, float y0, float y1)
{
    Prism prism;
    for (int level = 0; level < 2; ++level) {
        for (int i = 0; i < kSides; ++i) {
            const float a = float(i) * 6.2831853f / float(kSides);
            prism.vertices.insert(prism.vertices.end(),
                                  {x + radius * std::cos(a), level ? y1 : y0, z + radius * std::sin(a)});
        }
    }
    const u16_t top = kSides;
    for (int i = 1; i + 1 < kSides; ++i) {
        prism.indices.insert(prism.indices.end(), {u16_t(top), u16_t(top + i), u16_t(top + i + 1)});
        prism.indices.insert(prism.indices.end(), {0, u16_t(i + 1), u16_t(i)});
    }
    for (int i = 0; i < kSides; ++i) {
        const u16_t a = u16_t(i), b = u16_t((i + 1) % kSides);
        prism.indices.insert(prism.indices.end(), {a, b, u16_t(b + top), a, u16_t(b + top), u16_t(a + top)});
    }
    return prism;
}

struct Scene {
    DynamicObject caster;
    std::vector<Prism> prisms;
    std::vector<std::unique_ptr<ShadowVolume>> volumes;
    std::vector<ObjectGridEntry*> records;
};

Scene* ShadowScene()
{
    static Scene* scene = []() -> Scene* {
        HWND window = OpenBenchWindow("zintar shadow bench", "shadow bench", kWidth, kHeight);
        if (!window || RenderInit(window) != 0 ||
            RenderSetDisplayMode(kWidth, kHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2) != 0 || !g_render.stencil)
            return nullptr;
        SceneDrawListsInit();
        mfrange.SetFloat(600.0f);
        Scene* made = new Scene;
        for (int row = 0; row < kRows; ++row) {
            for (int column = 0; column < kRows; ++column) {
                const float x = (float(column) - (kRows - 1) * 0.5f) * 30.0f;
                const float z = 60.0f + float(row) * 30.0f;
                made->prisms.push_back(MakePrism(x, z, 8.0f, -40.0f, 20.0f));
            }
        }
        for (Prism& prism : made->prisms) {
            auto volume = std::make_unique<ShadowVolume>(&made->caster);
            volume->needsRebuild = 0;
            volume->subMeshCount = 1;
            ShadowVolumePiece& piece = volume->subMeshes[0];
            piece.vertices = prism.vertices.data();
            piece.vertexCount = u32_t(prism.vertices.size() / 3);
            piece.indices = prism.indices.data();
            piece.triangleCount = u32_t(prism.indices.size() / 3);
            piece.capCount = 2 * (kSides - 2);
            ObjectGridEntry* entry = volume->GetGridEntry();
            entry->boxMin = {piece.vertices[0] - 16.0f, -40.0f, piece.vertices[2] - 8.0f};
            entry->boxMax = {piece.vertices[0], 20.0f, piece.vertices[2] + 8.0f};
            made->records.push_back(entry);
            made->volumes.push_back(std::move(volume));
        }
        return made;
    }();
    return scene;
}

// The ground: a quad under the volumes at the map's stencil value 8.
void DrawGround()
{
    struct V {
        float x, y, z;
        DWORD colour;
    };
    const V quad[4] = {{-400, -10, 0, 0xFF607050},
                       {-400, -10, 600, 0xFF607050},
                       {400, -10, 600, 0xFF607050},
                       {400, -10, 0, 0xFF607050}};
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    g_render.device->SetTransform(D3DTS_WORLD, &identity);
    RenderSetState(D3DRS_LIGHTING, 0);
    RenderSetState(D3DRS_ZENABLE, 1);
    RenderSetState(D3DRS_ZWRITEENABLE, 1);
    RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_STENCILENABLE, 1);
    RenderSetState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    RenderSetState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    RenderSetState(D3DRS_STENCILREF, 8);
    RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, ~0u);
    RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, ~0u);
    RenderSetColorOp(1, D3DTOP_DISABLE, ~0u, ~0u);
    RenderSetTexture(0, nullptr);
    g_render.device->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    g_render.device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(V));
    RenderSetState(D3DRS_STENCILENABLE, 0);
    RenderSetState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
}

// Range 0: the frame without shadows; 1: z-fail; 2: z-pass.
void BM_ShadowPasses(benchmark::State& state)
{
    Scene* scene = ShadowScene();
    if (!scene) {
        state.SkipWithError("no render device with a stencil buffer");
        return;
    }
    rbshadows.SetBool(true);
    const int variant = int(state.range(0));
    std::int64_t frames = 0;
    for (auto _ : state) {
        if (RenderBeginFrame() != 0)
            continue;
        RenderSetupCamera(0.0f, 30.0f, -40.0f, 0.0f, 0.35f, 0.0f, 1.2f, 1);
        g_render.device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0);
        DrawGround();
        if (variant == 1)
            ShadowVolumePassZFail(scene->records.data(), u32_t(scene->records.size()), false);
        else if (variant == 2)
            ShadowVolumePassZPass(scene->records.data(), u32_t(scene->records.size()), false);
        if (variant != 0)
            ShadowDarkenPass();
        RenderEndFrame(true);
        ++frames;
    }
    rbshadows.SetBool(false);
    state.counters["fps"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ShadowPasses)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
