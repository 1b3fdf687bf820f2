// The particle plug-in's frame step over 10,000 live particles, as 10 running sets of one emitter of
// 1,000 (the most one emitter holds) and as 100 of one emitter of 100: every particle updated, its ParticleInfo filled and handed to
// the program's AddParticleInfo. The peer, measured in the same run, is the program's own handling
// of the same records: ParticlesDraw turning them into draw records and their replay on the offscreen
// device.
#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <string>

#include "bench/bench_window.h"
#include "core/plugins/plugin_api.h"
#include "platform/win32.h"
#include "plugins/ptk/host_binding.h"
#include "plugins/ptk/plugin_entry.h"
#include "render/device/frame.h"
#include "render/device/render_device.h"
#include "render/device/render_context.h"
#include "scene/draw_records/draw_record_replay.h"
#include "scene/draw_records/draw_records.h"
#include "scene/plugin_bridges/particle_host.h"
#include "scene/plugin_bridges/particles_draw.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kParticles = 10000;

std::map<std::string, std::string> g_files;
std::string g_open;
float g_frameTime = 0.016f;
std::uint32_t g_tick = 1000;

std::int32_t FindFile(const char* folder, const char* extension, HostVFSFindCallbackFn callback, std::int32_t)
{
    const std::string suffix = std::string(".") + extension;
    std::int32_t found = 0;
    for (const auto& [name, text] : g_files) {
        if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
            callback(name.substr(std::strlen(folder)).c_str(), folder);
            found = 1;
        }
    }
    return found;
}
std::int32_t OpenFile(const char* name)
{
    g_open = g_files.count(name) ? name : "";
    return g_open.empty() ? 0 : 1;
}
void CloseFile() {}
std::int32_t ReadFile(void* buffer, std::uint32_t count)
{
    std::memcpy(buffer, g_files[g_open].data(), count < g_files[g_open].size() ? count : g_files[g_open].size());
    return 1;
}
std::uint32_t FileSize()
{
    return static_cast<std::uint32_t>(g_files[g_open].size());
}
std::int32_t NoTexture(const char*)
{
    return 0;
}
std::uint32_t Tick()
{
    return g_tick;
}

void* Lookup(const char* name)
{
    static const std::map<std::string, void*> table = {
        {"VFSFindFile", reinterpret_cast<void*>(&FindFile)},
        {"VFSOpenFile", reinterpret_cast<void*>(&OpenFile)},
        {"VFSCloseFile", reinterpret_cast<void*>(&CloseFile)},
        {"VFSReadFile", reinterpret_cast<void*>(&ReadFile)},
        {"VFSGetFileSize", reinterpret_cast<void*>(&FileSize)},
        {"framedtime", &g_frameTime},
        {"ParticleRegisterTexture", reinterpret_cast<void*>(&NoTexture)},
        {"AddParticleInfo", reinterpret_cast<void*>(&AddParticleInfo)},  // the program's own list
    };
    const auto found = table.find(name);
    return found == table.end() ? nullptr : found->second;
}
void* NoValue(const char*)
{
    return nullptr;
}
HostCallbackBlock g_block = {&Lookup, &NoValue};

bool DeviceReady()
{
    static const bool ready = [] {
        HWND window = OpenBenchWindow("zintar ptk bench", "ptk bench", kWidth, kHeight);
        if (!window || RenderInit(window) != 0 ||
            RenderSetDisplayMode(kWidth, kHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2) != 0)
            return false;
        DrawRecordListInit();
        return true;
    }();
    return ready;
}

// Starts `sets` running sets whose one emitter spawns `each` particles at its first step, that then
// live for the whole run; the frame that spawns them has run.
void StartParticles(int sets, int each)
{
    const std::string emitter =
        "Layer l { emiter_def e { Var { Lifetime = 1.0 PtkLife = 1000000000.0 Freq = 1.0 Quant = " +
        std::to_string(each) +
        ".0 Vel = 1.0 Dir = (0.0,0.0,0.0) Grav = 0.001 Radius = 20.0 MinSiz = 0.5 MaxSiz = 1.5 } Func { A = "
        "Linear1D { 0 : 1.0 100 : 0.0 } } } { Srcblend = 4 Destblend = 5 EmtType = 5 Alpha = 0 } Textures { spark 0 } "
        "}";
    g_files.clear();
    g_files["object\\gfx\\e.emt"] = emitter;
    g_files["object\\gfx\\e.pst"] = "name e type emit_exec { e { emit_exec 0 0.0 0.0 0.0 } }";
    g_files["object\\gfx\\e.set"] = "name e { link e 0.0 0.0 0.0 0 }";
    InitCommunication(&g_block);
    ptk::SetTickSource(&Tick);
    HookProc(HookParticlesMapLoaded, 0);
    for (int i = 0; i < sets; ++i) {
        float x = static_cast<float>(i % 10) * 50.0f, y = 10.0f, z = 100.0f + static_cast<float>(i / 10) * 50.0f;
        float dx = 0.0f, dy = 1.0f, dz = 0.0f;
        ParticleSpawnRequest request = {"e", &x, &y, &z, &dx, &dy, &dz};
        HookProc(HookParticlesSpawn, reinterpret_cast<PluginWord>(&request));
    }
    ParticlesFrame();
    HookProc(HookParticlesFrame, 0);
}

void StopParticles()
{
    HookProc(HookParticlesMapUnloaded, 0);
    ptk::SetTickSource(nullptr);
    ptk::UnbindHost();
    ParticleHostFree();
}

// Argument 0: the number of running sets (the particles of each: 10,000 / sets).
void BM_PtkFrameStep(benchmark::State& state)
{
    const int sets = static_cast<int>(state.range(0));
    StartParticles(sets, kParticles / sets);
    for (auto _ : state) {
        ++g_tick;
        ParticlesFrame();  // empties the program's list, as every game frame does
        HookProc(HookParticlesFrame, 0);
    }
    if (ParticleInfoCount() != kParticles)
        state.SkipWithError("the particles did not all run");
    state.counters["particles_per_s"] =
        benchmark::Counter(double(state.iterations()) * kParticles, benchmark::Counter::kIsRate);
    StopParticles();
}
BENCHMARK(BM_PtkFrameStep)->ArgName("sets")->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

// The peer: the program's draw of the same 10,000 records, from its list to the device.
void BM_HostParticlesDraw(benchmark::State& state)
{
    if (!DeviceReady()) {
        state.SkipWithError("no render device");
        return;
    }
    const int sets = static_cast<int>(state.range(0));
    StartParticles(sets, kParticles / sets);
    for (auto _ : state) {
        if (RenderBeginFrame() != 0)
            continue;
        ParticlesDraw();
        DrawRecordsReplay();
        DrawRecordsClear();
        RenderEndFrame(false);
    }
    state.counters["particles_per_s"] =
        benchmark::Counter(double(state.iterations()) * kParticles, benchmark::Counter::kIsRate);
    StopParticles();
}
BENCHMARK(BM_HostParticlesDraw)->ArgName("sets")->Arg(10)->Arg(100)->Unit(benchmark::kMicrosecond);

}  // namespace
