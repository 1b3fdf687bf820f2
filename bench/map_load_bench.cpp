// Loading a mission's land with every cache present: MapLoad plus MapUnload of a generated land of
// 256 x 256 vertices (130,050 triangles) with 100 box meshes, a lake, two texture layers and a road,
// on the render device of a hidden offscreen window, against reading the same files whole through
// the virtual file system (the floor any load has to pay). The first load, outside the timing,
// builds the caches (the occluders of "mioccres" 4 take about a minute and a half); every timed load
// reads them back.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/console/console.h"
#include "core/files/def_file.h"
#include "core/files/script_file.h"
#include "core/files/vfs.h"
#include "map/terrain/map_load.h"
#include "map/materials/material_table.h"
#include "platform/win32.h"
#include "render/land/map_render_setup.h"
#include "render/device/render_device.h"
#include "tools/map_author/map_author.h"
#include "scene/draw_records/draw_lists.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSide = 256;
constexpr float kSize = 2550.0f;
constexpr int kBoxes = 100;

// Every file a load with its caches present reads.
const char* const kFiles[] = {
    "script\\land.scr",
    "script\\roads.scr",
    "component\\land\\bench.lff",
    "component\\land\\bench.oct",
    "component\\land\\bench.lvi",
    "component\\land\\bench_hmap.tga",
    "component\\land\\bench_water.tga",
    "component\\land\\grass_a.tga",
    "component\\land\\rock_a.tga",
    "component\\land\\layers.dds",
    "mission\\bench\\mission.cfg",
    "mission\\bench\\mission.rds",
    "mission\\bench\\lmap.dds",
    "mission\\bench\\map.ocl",
    "mission\\bench\\bench_layers.dds",
};

u32_t g_random = 2026;
float Random(float low, float high)
{
    g_random = g_random * 214013u + 2531011u;
    return low + (high - low) * static_cast<float>((g_random >> 16) & 0x7FFF) / 32767.0f;
}

struct Setup {
    bool ready = false;
    std::string error;
};

const Setup& Prepare()
{
    static Setup s;
    if (s.ready || !s.error.empty())
        return s;
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    const fs::path folder = fs::temp_directory_path() / "zintar_map_load_bench";
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::current_path(folder);

    MapAuthorPlan plan;
    plan.land = "bench";
    plan.mission = "bench";
    plan.grid = kSide;
    plan.size = kSize;
    MapAuthorSeededHeights(plan, 17, 150.0f);
    for (int i = 0; i < kBoxes; ++i) {
        const float x = Random(-1200, 1200), z = Random(-1200, 1200);
        const float half = Random(3, 25), height = Random(5, 60);
        const float ground = MapAuthorLandHeight(plan, x, z);
        const float low[3] = {x - half, ground - 2, z - half}, high[3] = {x + half, ground + height, z + half};
        plan.meshes.push_back(MapAuthorBox("col_box" + std::to_string(i), "", low, high));
    }
    plan.water = true;
    plan.waterHeight = -40.0f;
    plan.layers = {{"grass", "grass_a", 8.0f}, {"rock", "rock_a", 4.0f, true, 60.0f}};
    plan.roads = {{"asphalt", "road", 12.0f, 0.3f, {{{-1000, -900}}, {{0, -100}}, {{900, 1000}}}}};
    plan.configLines = {"mioccres = 4"};
    if (!MapAuthorWrite(plan, ".", s.error))
        return s;

    ConStartup();
    CreateScriptCache();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "zintar map load bench";
    RegisterClassA(&windowClass);
    HWND window =
        CreateWindowExA(0, windowClass.lpszClassName, "bench", 0, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr);
    if (!window || RenderInit(window) != 0 ||
        RenderSetDisplayMode(64, 48, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2) != 0) {
        s.error = "no render device";
        return s;
    }
    SceneDrawListsInit();
    MaterialsLoad();
    // The first load builds every cache.
    if (MapLoad(EngineString("bench"), EngineString("mission\\bench")) != 0) {
        s.error = "the land does not load";
        return s;
    }
    MapUnload();
    RenderReleaseMapResources();
    for (const char* file : kFiles) {
        u32_t size = 0;
        char* bytes = VFSLoadFile(file, &size);
        if (!bytes) {
            s.error = std::string("missing cache or data file ") + file;
            return s;
        }
        delete[] bytes;
    }
    s.ready = true;
    return s;
}

void BM_MapLoadUnload(benchmark::State& state)
{
    const Setup& s = Prepare();
    if (!s.ready) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    for (auto _ : state) {
        const int result = MapLoad(EngineString("bench"), EngineString("mission\\bench"));
        benchmark::DoNotOptimize(result);
        MapUnload();
        RenderReleaseMapResources();
        // The script and definition caches would keep the parsed texts: each load reads them anew.
        DefFileFreeAll();
        DestroyScriptCache();
        CreateScriptCache();
    }
}
BENCHMARK(BM_MapLoadUnload)->Unit(benchmark::kMillisecond);

void BM_ReadTheSameFiles(benchmark::State& state)
{
    const Setup& s = Prepare();
    if (!s.ready) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    std::int64_t bytesRead = 0;
    for (auto _ : state) {
        for (const char* file : kFiles) {
            u32_t size = 0;
            char* bytes = VFSLoadFile(file, &size);
            benchmark::DoNotOptimize(bytes);
            bytesRead += size;
            delete[] bytes;
        }
    }
    state.SetBytesProcessed(bytesRead);
}
BENCHMARK(BM_ReadTheSameFiles)->Unit(benchmark::kMillisecond);

}  // namespace
