// Frames of the sample mission's map ("map_01" of data/sample) at 800 x 600 on the real device (SDL's
// offscreen driver unless a display is given), drawn as the mission frame draws the world: the sky
// backdrop, then the visibility pass over the 25 world tiles with the static map of each, along a
// fixed camera path round the map centre. The sample data are copied into a fresh folder, where the
// first load builds the map's caches (outside the timing). Reports frames per second, the faces drawn
// per frame and the GPU milliseconds per frame of each timed pass (the device's time stamps; on a
// software device they cover what it does while the pass is submitted, not the deferred rasterising).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>

#include "core/console/console.h"
#include "core/files/script_file.h"
#include "game/view/player_view.h"
#include "map/terrain/map_load.h"
#include "map/materials/material_table.h"
#include "map/terrain/terrain_height.h"
#include "platform/win32.h"
#include "render/camera.h"
#include "render/device/frame.h"
#include "render/land/map_render_setup.h"
#include "render/device/pass_timing.h"
#include "render/device/render_context.h"
#include "render/device/render_device.h"
#include "scene/sky/sky_backdrop.h"
#include "scene/passes/visibility_pass.h"
#include "scene/draw_records/draw_lists.h"
#include "scene/passes/prepare_buffers.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kPathFrames = 64;  // camera positions along the path
constexpr float kHalfPi = 1.5707964f;

struct Setup {
    bool ready = false;
    std::string error;
};

const Setup& Prepare()
{
    static Setup s;
    if (s.ready || !s.error.empty())
        return s;
    if (!std::getenv("DISPLAY"))
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    const fs::path folder = fs::temp_directory_path() / "zintar_scene_frame_sample_bench";
    std::error_code failed;
    fs::remove_all(folder, failed);
    fs::copy(fs::path(ZINTAR_SOURCE_DIR) / "data" / "sample", folder, fs::copy_options::recursive, failed);
    if (failed) {
        s.error = "cannot copy the sample data: " + failed.message();
        return s;
    }
    fs::current_path(folder);

    ConStartup();
    CreateScriptCache();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "zintar sample frame bench";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "sample frame bench", WS_OVERLAPPEDWINDOW, 0, 0, kWidth,
                                  kHeight, nullptr, nullptr, nullptr, nullptr);
    if (!window || RenderInit(window) != 0 ||
        RenderSetDisplayMode(kWidth, kHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2) != 0) {
        s.error = "no render device";
        return s;
    }
    SceneDrawListsInit();
    MaterialsLoad();
    if (MapLoad(EngineString("hills"), EngineString("mission\\map_01")) != 0) {
        s.error = "the sample map does not load";
        return s;
    }
    MaterialsLoadTextureProperties();
    MissionEnvironmentLoad("map_01", "map_01");
    RenderPrepareBuffers();  // the static map's buffers, as the mission start makes them
    s.ready = true;
    return s;
}

// A loop round the map centre at walking height above the ground, looking ahead.
void PathPoint(int frame, float* position, float* yaw)
{
    const float angle = float(frame) * 2.0f * 3.14159265f / float(kPathFrames);
    position[0] = 300.0f * std::cos(angle);
    position[2] = 300.0f * std::sin(angle);
    position[1] = MapTerrainHeight(position[0], position[2], nullptr, nullptr) + 30.0f;
    *yaw = -angle;
}

void BM_SampleMapFrame(benchmark::State& state)
{
    const Setup& s = Prepare();
    if (!s.ready) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    RenderTimingEnable(true);
    double totals[RENDER_TIMED_PASS_COUNT] = {};
    std::int64_t frames = 0;
    double faces = 0.0;
    for (auto _ : state) {
        float position[3], yaw;
        PathPoint(int(frames % kPathFrames), position, &yaw);
        float* viewer = GameGetViewPos();
        for (int axis = 0; axis < 3; ++axis)
            viewer[axis] = position[axis];
        if (RenderBeginFrame() != 0)
            continue;
        RenderSetupCamera(0.0f, 0.0f, 0.0f, yaw, 0.0f, 0.0f, kHalfPi, 1);
        SkyBackdropDraw();
        RenderVisibilityPass(position[0], position[1], position[2], yaw, 0.0f, 0.0f, kHalfPi);
        faces += double(g_render.frameStats.faces);
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
    state.counters["faces"] = faces / count;  // drawn per frame, every pass of every tile counted
    // The map passes this frame runs (the first five timed passes).
    const char* names[] = {"visibility_ms", "map_depth_ms", "map_layers_ms", "map_lightmap_ms", "map_fog_ms"};
    for (u32_t i = 0; i < std::size(names); ++i)
        state.counters[names[i]] = totals[i] / count;
}
BENCHMARK(BM_SampleMapFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
