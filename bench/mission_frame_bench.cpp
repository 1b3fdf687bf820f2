// Whole frames of the sample mission at 800 x 600, played by the program itself: the sample data is
// packed into a fresh folder, WinMain runs "-m map_01", and the game frame's test hook turns the
// viewer round once every 240 frames. After 60 frames of warming up (the first run also builds the
// map's caches) it measures 600 frames: frames per second, the GPU milliseconds per frame of each
// timed pass (the device's time stamps) and the millions of triangles drawn per second ("mtris";
// compare with render_batches_bench's streamed rate). With ZINTAR_SHOT set, F12's screenshot of the
// last frame is kept in that folder. With ZINTAR_BENCH_SMOKE set (scripts/test's smoke run, which only
// shows that the mission runs) it warms up for 2 frames and measures 10.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/winos.h"
#include "game/game_test_hooks.h"
#include "game/player_view.h"
#include "game/screenshot.h"
#include "gui/gui.h"
#include "gui/gui_test_hooks.h"
#include "render/pass_timing.h"
#include "render/render_context.h"
#include "render/render_cvars.h"
#include "render/visible_nodes.h"
#include "scene/stats_overlay.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace {

constexpr int kTurnFrames = 240;

int g_warmFrames = 60;
int g_measuredFrames = 600;

struct Run {
    int frame = 0;
    std::int64_t faces = 0;
    double objects = 0.0;
    double passes[RENDER_TIMED_PASS_COUNT] = {};
    std::chrono::steady_clock::time_point start, end;
};

Run g_run;

// Before each game frame: the previous frame's counts, then the viewer's heading for this one.
void Frame(bool)
{
    const int frame = g_run.frame++;
    if (frame == g_warmFrames) {
        RenderTimingEnable(true);
        g_run.start = std::chrono::steady_clock::now();
    } else if (frame > g_warmFrames) {
        g_run.faces += g_render.frameStats.faces;
        g_run.objects += g_visible.objectCount;
        double passes[RENDER_TIMED_PASS_COUNT];
        RenderTimingCollect(passes);
        for (u32_t i = 0; i < RENDER_TIMED_PASS_COUNT; ++i)
            g_run.passes[i] += passes[i];
    }
    if (frame == g_warmFrames + g_measuredFrames) {
        g_run.end = std::chrono::steady_clock::now();
        RenderTimingEnable(false);
        if (std::getenv("ZINTAR_SHOT"))
            GameTakeScreenshot();
        g_gui.screenRequested = true;
        return;
    }
    GameSetYaw(float(frame % kTurnFrames) * 6.2831853f / float(kTurnFrames));
    GameSetPitch(0.12f);
}

bool Quit(s32_t* stateWord)
{
    *stateWord = LOOP_QUIT;
    return false;
}

void BM_SampleMissionFrame(benchmark::State& state)
{
    if (!std::getenv("DISPLAY"))
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (std::getenv("ZINTAR_BENCH_SMOKE")) {
        g_warmFrames = 2;
        g_measuredFrames = 10;
    }
    const char* shot = std::getenv("ZINTAR_SHOT");
    const std::filesystem::path folder =
        shot ? std::filesystem::path(shot)
             : std::filesystem::temp_directory_path() / ("zintar_mission_bench_" + std::to_string(getpid()));
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::string packError;
    if (error || chdir(folder.c_str()) != 0 || !BfsPackFolder(ZINTAR_SAMPLE_DIR, "main.bfs", packError)) {
        state.SkipWithError("cannot pack the sample data");
        return;
    }
    for (auto _ : state) {
        g_run = Run();
        GameSetTestHooks({-1, nullptr, Frame});
        GuiSetTestFrameHook(Quit);
        char commandLine[] = "-m map_01";
        if (WinMain(nullptr, nullptr, commandLine, SW_SHOW) != 0 || g_run.frame <= g_warmFrames + g_measuredFrames) {
            state.SkipWithError("the mission did not run");
            return;
        }
        GameSetTestHooks({});
        GuiSetTestFrameHook(nullptr);
    }
    const double seconds = std::chrono::duration<double>(g_run.end - g_run.start).count();
    const double frames = g_measuredFrames;
    state.counters["fps"] = frames / seconds;
    state.counters["mtris"] = double(g_run.faces) / seconds / 1e6;
    state.counters["tris_per_frame"] = double(g_run.faces) / frames;
    state.counters["visible_objects"] = g_run.objects / frames;
    for (u32_t i = 0; i < RENDER_TIMED_PASS_COUNT; ++i) {
        std::string name = StatsOverlayPassName(i);
        for (char& c : name)
            c = c == ' ' ? '_' : c;
        state.counters[name + "_ms"] = g_run.passes[i] / frames;
    }
    if (!shot)
        std::filesystem::remove_all(folder, error);
}
BENCHMARK(BM_SampleMissionFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
