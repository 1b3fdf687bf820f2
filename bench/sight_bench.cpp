// Soldiers' sight on the sample map's land ("hills"): 256 soldiers, half on the player's side and
// half against it, spread over the land and turning a little every frame, each asking once per
// frame for its visible enemies. Once through the registry walk (gbvo on: every object, frustum,
// sight lines) and once through the team lists (gbvo off: the other side's list with the detection
// draw first). Reports ms_per_frame and the soldiers found per frame, at each level of the map
// trace's instruction set (simd: 0 scalar, 1 SSE 4.1, 2 AVX2, as far as the processor offers).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/actor_cvars.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "core/frame_view.h"
#include "core/random.h"
#include "game/game_state.h"
#include "map/registry/actor_lists.h"
#include "map/map_cvars.h"
#include "map/trace/map_sight.h"
#include "map/trace/map_trace_simd.h"
#include "map/terrain/terrain_height.h"
#include "map/registry/world_registry.h"
#include "tests/support/land_octree.h"

namespace {

constexpr int kSoldiers = 256;
constexpr float kTurnPerFrame = 0.01f;

struct Army {
    std::vector<AIInterface*> soldiers;
    bool ready = false;
    std::string error;
};

Army& TheArmy()
{
    static Army army;
    if (army.ready || !army.error.empty())
        return army;
    const std::string lff = std::string(ZINTAR_SAMPLE_DIR) + "/component/land/hills.lff";
    if (MapMeshesLoadFromFile(lff.c_str(), "component\\land\\") != 0) {
        army.error = "the sample land did not load";
        return army;
    }
    MapGeometryApplyTransformValues(false, nullptr, false, 0.0f);
    land_test::BuildLandOctree();
    MapSightFactorsReset();
    const Vector3 low = g_map.bounds[0], high = g_map.bounds[1];
    EngineSRand(4242);
    for (int i = 0; i < kSoldiers; ++i) {
        // The AI table holds fewer soldiers than the benchmark asks: the interfaces own their bodies
        // and entities outside it.
        AIInterface* interface = new AIInterface();
        AIRemoveInterface(interface);
        Actor* body = interface->body;
        const float x = low.x + (high.x - low.x) * (0.05f + 0.9f * float(EngineRand()) / 32767.0f);
        const float z = low.z + (high.z - low.z) * (0.05f + 0.9f * float(EngineRand()) / 32767.0f);
        body->SetPosition({x, MapTerrainHeight(x, z, nullptr, nullptr), z});
        body->heading = 6.2831853f * float(EngineRand()) / 32767.0f;
        interface->entity->SetTeam(i % 2 == 0 ? ACTOR_TEAM_FRIEND : ACTOR_TEAM_ENEMY);
        DynObjectAdd(body);
        army.soldiers.push_back(interface);
    }
    g_frameView.player = army.soldiers[0]->body;
    std::printf("sample land %.0f x %.0f, %d soldiers, sight range %.0f\n", high.x - low.x, high.z - low.z, kSoldiers,
                army.soldiers[0]->entity->sightRange);
    army.ready = true;
    return army;
}

void Frames(benchmark::State& state, bool registryWalk)
{
    Army& army = TheArmy();
    if (!army.ready) {
        state.SkipWithError(army.error.c_str());
        return;
    }
    gbvo.SetBool(registryWalk);
    state.counters["simd_level"] = static_cast<double>(MapTraceSimdUse(static_cast<TraceSimdLevel>(state.range(0))));
    DynamicObject* found[64];
    long long total = 0, frames = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (AIInterface* soldier : army.soldiers) {
            soldier->body->heading += kTurnPerFrame;
            s32_t count = 64;
            soldier->entity->FindVisibleActors(VISIBLE_ENEMIES, found, &count, false);
            total += count;
        }
        ++frames;
    }
    gbvo.SetBool(false);
    MapTraceSimdUse(MapTraceSimdOffered());
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    state.counters["ms_per_frame"] = frames ? spent.count() / static_cast<double>(frames) : 0.0;
    state.counters["found_per_frame"] = frames ? static_cast<double>(total) / static_cast<double>(frames) : 0.0;
}

void BM_SightRegistryWalk(benchmark::State& state)
{
    Frames(state, true);
}
BENCHMARK(BM_SightRegistryWalk)->Arg(0)->Arg(1)->Arg(2)->ArgName("simd")->Unit(benchmark::kMillisecond);

void BM_SightTeamListWalk(benchmark::State& state)
{
    Frames(state, false);
}
BENCHMARK(BM_SightTeamListWalk)->Arg(0)->Arg(1)->Arg(2)->ArgName("simd")->Unit(benchmark::kMillisecond);

}  // namespace
