// Whole frames of the sample mission at 800 x 600, played by the program itself: the sample data is
// packed into a fresh folder, WinMain runs "-m map_01", and the game frame's test hook turns the
// viewer round once every 240 frames. After 60 frames of warming up (the first run also builds the
// map's caches) it measures 600 frames (ZINTAR_FRAMES sets another number): frames per second, the
// millions of triangles drawn per second ("mtris"; compare with render_batches_bench's streamed
// rate), and per frame the draw calls, the state calls that reach the device, the program switches,
// the uploads and their kB, and the CPU milliseconds of the main thread (the engine with the GL
// driver's front end: the vertex work and the binning of a software rasteriser) and of the whole
// process (with the rasteriser's threads).
//
// The game frame's simulation (the world, the AI, the player's control, the envelopes, the plug-ins'
// frame event) and its drawing are timed apart on the wall clock: "simulation_ms" from the frame's
// start to the end of its simulation, "drawing_ms" from there to the next frame's start (the frame
// end with its present, and the main loop's message pump between frames).
//
// BM_SampleMissionFrame gives each timed pass's GPU milliseconds from the device's time stamps; on a
// software rasteriser they mislead (the drawing is deferred to a flush, so the first pass of a frame
// carries the previous frame's rasterising), and BM_SampleMissionFramePasses instead finishes the
// GPU's work before and after each pass and gives its wall milliseconds and the thousands of
// faces it draws and the samples it writes (those that pass the depth and stencil tests: overdraw against the 480 k pixels
// of the frame). Its fps is lower by the waits. With ZINTAR_SHOT set, F12's screenshot of the last
// frame is kept in that folder. With ZINTAR_BENCH_SMOKE set (scripts/test's smoke run, which only shows
// that the mission runs) it warms up for 2 frames and measures 10.
#include <benchmark/benchmark.h>

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/winos.h"
#include "game/game_test_hooks.h"
#include "game/view/player_view.h"
#include "game/view/screenshot.h"
#include "gui/screens/gui.h"
#include "gui/gui_test_hooks.h"
#include "platform/d3d8_test_hooks.h"
#include "render/device/pass_timing.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/land/visible_nodes.h"
#include "scene/passes/stats_overlay.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace {

constexpr int kTurnFrames = 240;
int g_warmFrames = 60;
int g_measuredFrames = 600;

struct Run {
    int frame = 0;
    bool finished = false;
    std::int64_t frameFaces = 0;
    double objects = 0.0;
    double passes[RENDER_TIMED_PASS_COUNT] = {};
    double samples[RENDER_TIMED_PASS_COUNT] = {};
    double faces[RENDER_TIMED_PASS_COUNT] = {};
    double shaded[RENDER_TIMED_PASS_COUNT] = {};
    double draws = 0.0, states = 0.0, programs = 0.0, uploads = 0.0, uploadBytes = 0.0;
    double threadSeconds = 0.0, processSeconds = 0.0;
    std::chrono::steady_clock::time_point start, end;
    // The simulation and drawing split: this frame's start and its simulation's end.
    std::chrono::steady_clock::time_point frameStart, simulated;
    bool timingFrame = false;
    double simulationSeconds = 0.0, drawingSeconds = 0.0;
};

Run g_run;

double CpuSeconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// The device's counts since the last call.
void AddCallCounts(bool add)
{
    const D3D8CallCounts c = D3D8TestCallCounts(g_render.device);
    D3D8TestClearCallCounts(g_render.device);
    if (!add)
        return;
    g_run.draws += c.drawPrimitive + c.drawIndexedPrimitive;
    g_run.states +=
        c.setRenderState + c.setTextureStageState + c.setTexture + c.setStreamSource + c.setIndices + c.setVertexShader;
    g_run.programs += c.programChanges;
    g_run.uploads += c.uploads;
    g_run.uploadBytes += c.uploadBytes;
}

double SecondsBetween(std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

// Between a frame's simulation and its drawing.
void Simulated()
{
    g_run.simulated = std::chrono::steady_clock::now();
    if (g_run.timingFrame)
        g_run.simulationSeconds += SecondsBetween(g_run.frameStart, g_run.simulated);
}

// Before each game frame: the previous frame's counts, then the viewer's heading for this one.
void Frame(bool)
{
    const int frame = g_run.frame++;
    const std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now();
    if (g_run.timingFrame)
        g_run.drawingSeconds += SecondsBetween(g_run.simulated, now);
    g_run.frameStart = now;
    g_run.timingFrame = frame >= g_warmFrames && frame < g_warmFrames + g_measuredFrames;
    AddCallCounts(frame > g_warmFrames);
    if (frame == g_warmFrames) {
        RenderTimingEnable(true);
        RenderTimingSetFinished(g_run.finished);
        g_run.start = std::chrono::steady_clock::now();
        g_run.threadSeconds = -CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        g_run.processSeconds = -CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    } else if (frame > g_warmFrames) {
        g_run.frameFaces += g_render.frameStats.faces;
        g_run.objects += g_visible.objectCount;
        double passes[RENDER_TIMED_PASS_COUNT], samples[RENDER_TIMED_PASS_COUNT], faces[RENDER_TIMED_PASS_COUNT],
            shaded[RENDER_TIMED_PASS_COUNT];
        RenderTimingCollectCounts({samples, shaded, faces});
        RenderTimingCollect(passes);
        for (u32_t i = 0; i < RENDER_TIMED_PASS_COUNT; ++i) {
            g_run.passes[i] += passes[i];
            g_run.samples[i] += samples[i];
            g_run.faces[i] += faces[i];
            g_run.shaded[i] += shaded[i];
        }
    }
    if (frame == g_warmFrames + g_measuredFrames) {
        g_run.end = std::chrono::steady_clock::now();
        g_run.threadSeconds += CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        g_run.processSeconds += CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        RenderTimingSetFinished(false);
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

void RunSampleMission(benchmark::State& state, bool finished)
{
    if (const char* frames = std::getenv("ZINTAR_FRAMES"))
        g_measuredFrames = std::max(1, std::atoi(frames));
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
        g_run.finished = finished;
        GameSetTestHooks({-1, nullptr, Frame, Simulated});
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
    state.counters["mtris"] = double(g_run.frameFaces) / seconds / 1e6;
    state.counters["tris_per_frame"] = double(g_run.frameFaces) / frames;
    state.counters["visible_objects"] = g_run.objects / frames;
    state.counters["draw_calls"] = g_run.draws / frames;
    state.counters["state_calls"] = g_run.states / frames;
    state.counters["program_switches"] = g_run.programs / frames;
    state.counters["uploads"] = g_run.uploads / frames;
    state.counters["upload_kb"] = g_run.uploadBytes / frames / 1024.0;
    state.counters["simulation_ms"] = g_run.simulationSeconds * 1000.0 / frames;
    state.counters["drawing_ms"] = g_run.drawingSeconds * 1000.0 / frames;
    state.counters["main_thread_cpu_ms"] = g_run.threadSeconds * 1000.0 / frames;
    state.counters["process_cpu_ms"] = g_run.processSeconds * 1000.0 / frames;
    for (u32_t i = 0; i < RENDER_TIMED_PASS_COUNT; ++i) {
        std::string name = StatsOverlayPassName(i);
        for (char& c : name)
            c = c == ' ' ? '_' : c;
        state.counters[name + "_ms"] = g_run.passes[i] / frames;
        if (finished) {
            state.counters[name + "_ksamples"] = g_run.samples[i] / frames / 1000.0;
            state.counters[name + "_kfaces"] = g_run.faces[i] / frames / 1000.0;
            state.counters[name + "_kshaded"] = g_run.shaded[i] / frames / 1000.0;
        }
    }
    if (!shot)
        std::filesystem::remove_all(folder, error);
}
void BM_SampleMissionFrame(benchmark::State& state)
{
    RunSampleMission(state, false);
}
void BM_SampleMissionFramePasses(benchmark::State& state)
{
    RunSampleMission(state, true);
}
BENCHMARK(BM_SampleMissionFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_SampleMissionFramePasses)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
