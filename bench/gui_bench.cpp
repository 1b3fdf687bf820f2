// The front end on the packed sample data, on the real device of a hidden 800 x 600 window (SDL's
// offscreen driver unless a display is given): building every screen of the sample's "gui" script
// (the screen manager's load: the error screen, then one screen per section, from the cached script),
// and one GUI frame of the main menu (clock, drawing, the input step, presenting), against the peer
// of the frame: an empty frame (begin, end, present). Each frame waits for the GPU.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "bench/bench_window.h"
#include "core/console/console.h"
#include "core/files/script_file.h"
#include "core/files/vfs.h"
#include "gui/screens/gui.h"
#include "gui/screens/screen_manager.h"
#include "platform/gpu_timer.h"
#include "render/device/frame.h"
#include "render/device/render_context.h"
#include "render/device/render_device.h"
#include "scene/draw_records/draw_lists.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

struct Setup {
    bool ready = false;
    std::string error;
    fs::path folder;
    ~Setup()
    {
        std::error_code ignored;
        if (!folder.empty())
            fs::remove_all(folder, ignored);
    }
};

const Setup& Prepare()
{
    static Setup s;
    if (s.ready || !s.error.empty())
        return s;
    s.folder = fs::temp_directory_path() / ("zintar_gui_bench_" + std::to_string(getpid()));
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
    HWND window = OpenBenchWindow("zintar gui bench", "bench", kWidth, kHeight);
    if (!window || RenderInit(window) != 0 ||
        RenderSetDisplayMode(kWidth, kHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2) != 0) {
        s.error = "no render device";
        return s;
    }
    SceneDrawListsInit();
    if (!GuiInit(window, kWidth, kHeight) || !GuiFindLoadedScreen("MAINMENU")) {
        s.error = "the sample's main menu does not load";
        return s;
    }
    s.ready = true;
    return s;
}

void BM_GuiBuildSampleScreens(benchmark::State& state)
{
    const Setup& s = Prepare();
    if (!s.ready) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    for (auto _ : state) {
        GuiFreeScreens();
        GuiLoadScreens();
        benchmark::DoNotOptimize(GuiScreenCount());
    }
    state.SetItemsProcessed(state.iterations() * GuiScreenCount());
    state.counters["screens"] = GuiScreenCount();
    g_gui.currentScreen = GuiFindLoadedScreen("MAINMENU");
}

void BM_GuiMainMenuFrame(benchmark::State& state)
{
    const Setup& s = Prepare();
    if (!s.ready) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    g_gui.currentScreen = GuiFindLoadedScreen("MAINMENU");
    g_gui.currentScreen->Activate(g_gui.currentScreen);
    s32_t stateWord = 0;
    // The pointer over the "Play" button: its glow and tooltip are drawn too.
    const int x = kWidth / 2;
    const int y = kHeight * 51 / 100;
    for (auto _ : state) {
        if (!GuiFrame(x, y, WM_NULL, 0, 0, &stateWord)) {
            state.SkipWithError("the main menu closed");
            break;
        }
        GpuFinish(g_render.device);
    }
    state.SetItemsProcessed(state.iterations());
}

// The peer: the frame's own cost without the GUI.
void BM_EmptyFrame(benchmark::State& state)
{
    const Setup& s = Prepare();
    if (!s.ready) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    for (auto _ : state) {
        if (RenderBeginFrame() != 0) {
            state.SkipWithError("no frame");
            break;
        }
        RenderEndFrame(true);
        GpuFinish(g_render.device);
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_GuiBuildSampleScreens)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_GuiMainMenuFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
