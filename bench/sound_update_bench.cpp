// The cost of one sound update pass with many world objects near the viewer (positions refreshed,
// listener committed, one-shot sounds queued and played), on the loopback device so that nothing
// mixes in the background.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "core/sound/sound.h"
#include "core/sound/sound_system.h"
#include "game/view/player_view.h"
#include "map/registry/world_registry.h"
#include "platform/audio.h"
#include "world/objects/dynamic_object.h"

namespace {

u32_t g_benchClock = 100000;
DWORD BenchClock()
{
    return g_benchClock;
}

class BenchObject : public DynamicObject {
public:
    explicit BenchObject(Vector3 at) : place(at) { DynObjectAdd(this); }
    ~BenchObject() override { DynObjectRemove(this); }
    Vector3 GetPosition() const override { return place; }
    Vector3 place;
};

void SoundUpdatePass(benchmark::State& state)
{
    AudioChooseDevice(AudioDeviceChoice::Loopback);
    SoundSetClock(BenchClock);
    if (!SoundInit(nullptr)) {
        state.SkipWithError("no loopback sound device");
        return;
    }
    std::vector<std::unique_ptr<BenchObject>> objects;
    for (int i = 0; i < state.range(0); ++i) {
        objects.push_back(std::make_unique<BenchObject>(Vector3{static_cast<float>(i % 50) * 0.5f, 0.0f, 10.0f}));
        objects.back()->sound->CreateAudioPath();
    }
    SoundUpdate();
    g_benchClock += 1100;
    SoundUpdate();  // every object is active from here on

    // The viewer sways within hearing range, so that every object stays active.
    float* viewer = GameGetViewPos();
    for (auto _ : state) {
        g_benchClock += 50;
        viewer[0] = viewer[0] == 0.0f ? 0.5f : 0.0f;
        SoundUpdate();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    objects.clear();
    SoundShutdown();
    SoundSetClock(nullptr);
    AudioChooseDevice(AudioDeviceChoice::System);
}
BENCHMARK(SoundUpdatePass)->Arg(100)->Arg(1000);

}  // namespace
