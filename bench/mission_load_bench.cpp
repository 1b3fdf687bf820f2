// Starting and leaving the sample mission "map_01" with every cache present: GameInitMission plus
// the leave of a whole mission (its map, objects, soldiers with their rule scripts, envelopes,
// handlers, groups, paths and mission script), against the map's share of it: MapLoad plus
// MapUnload of the same land, timed as bench/map_load_bench times its land. Both run on the render
// device of a hidden offscreen window in a folder holding the packed sample data; the first start,
// outside the timing, builds the map's caches. Between loads the definition and script caches are
// emptied, so that each load reads its texts anew, as the program's first load does.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/bench_window.h"
#include "core/console/console.h"
#include "core/files/def_file.h"
#include "core/files/script_file.h"
#include "core/files/vfs.h"
#include "core/winos.h"
#include "game/game_cvars.h"
#include "game/mission/game_flow.h"
#include "map/terrain/map_load.h"
#include "map/materials/material_table.h"
#include "render/land/map_render_setup.h"
#include "render/device/render_device.h"
#include "scene/draw_records/draw_lists.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace fs = std::filesystem;

namespace {

struct Setup {
    bool ready = false;
    std::string error;
    fs::path folder;
    // The working folder goes with the program.
    ~Setup()
    {
        std::error_code ignored;
        if (!folder.empty())
            fs::remove_all(folder, ignored);
    }
};

// The player's weapons as "config.def" names them: the way back to the menus sets the defaults.
struct Weapons {
    std::string primary, secondary, explosive, devices, grenade;
    void Keep()
    {
        primary = gs_curprimaryweapon.String();
        secondary = gs_cursecondaryweapon.String();
        explosive = gs_curexplosiveweapon.String();
        devices = gs_curexpdevicesweapon.String();
        grenade = gs_grenadeweapon.String();
    }
    void Restore() const
    {
        gs_curprimaryweapon.SetString(primary.c_str());
        gs_cursecondaryweapon.SetString(secondary.c_str());
        gs_curexplosiveweapon.SetString(explosive.c_str());
        gs_curexpdevicesweapon.SetString(devices.c_str());
        gs_grenadeweapon.SetString(grenade.c_str());
    }
};
Weapons g_weapons;

// The script and definition caches would keep the parsed texts: each load reads them anew.
void EmptyTextCaches()
{
    DefFileFreeAll();
    DestroyScriptCache();
    CreateScriptCache();
}

const Setup& Prepare()
{
    static Setup s;
    if (s.ready || !s.error.empty())
        return s;
    s.folder = fs::temp_directory_path() / ("zintar_mission_load_bench_" + std::to_string(getpid()));
    std::error_code error;
    fs::create_directories(s.folder, error);
    if (error || chdir(s.folder.c_str()) != 0 || !BfsPackFolder(ZINTAR_SAMPLE_DIR, "main.bfs", s.error)) {
        if (s.error.empty())
            s.error = "cannot make the working folder";
        return s;
    }
    ConStartup();
    CreateScriptCache();
    if (!VFSInit()) {
        s.error = "the packed sample does not open";
        return s;
    }
    // Started as "-m map_01" starts it: no wait for a key at the end of the load.
    g_program.startOptions.directStart = true;
    // The weapon variables the player's assembly reads.
    ConExecFile("config.def");
    g_weapons.Keep();
    HWND window = OpenBenchWindow("zintar mission load bench", "bench", 64, 48);
    if (!window || RenderInit(window) != 0 ||
        RenderSetDisplayMode(64, 48, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2) != 0) {
        s.error = "no render device";
        return s;
    }
    SceneDrawListsInit();
    // The first start builds every cache of the map.
    if (GameInitMission("map_01") < 0) {
        s.error = "the sample mission does not start";
        return s;
    }
    GameExitToGui("-g");
    g_weapons.Restore();
    EmptyTextCaches();
    s.ready = true;
    return s;
}

// The whole mission: started, then left as the way back to the menus leaves it (GameLeaveMission with
// what the menus free besides: the mission's sounds, vegetation, decals and sun).
void BM_SampleMissionStartLeave(benchmark::State& state)
{
    const Setup& s = Prepare();
    if (!s.ready) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    for (auto _ : state) {
        const int result = GameInitMission("map_01");
        if (result < 0) {
            state.SkipWithError("the sample mission does not start");
            break;
        }
        GameExitToGui("-g");
        g_weapons.Restore();
        EmptyTextCaches();
    }
}

// The map's share: the sample's land loaded and unloaded with the material table in place.
void BM_SampleMapLoadUnload(benchmark::State& state)
{
    const Setup& s = Prepare();
    if (!s.ready) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    MaterialsLoad();
    for (auto _ : state) {
        const int result = MapLoad(EngineString("hills"), EngineString("mission\\map_01"));
        benchmark::DoNotOptimize(result);
        MapUnload();
        RenderReleaseMapResources();
        EmptyTextCaches();
    }
    MaterialsFree();
}

BENCHMARK(BM_SampleMissionStartLeave)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SampleMapLoadUnload)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
