// Map traces over a generated land of 256 x 256 vertices (130,050 triangles, the most a land holds)
// with 300 box meshes: MapTrace on short projectile segments and on long sight lines, and
// MapTerrainHeight, each against the same triangles traced by Embree 3 (when it was found) and by
// a plain loop over every triangle. Each benchmark reports ns_per_trace; the MapTrace benchmarks
// also count their disagreements with the plain loop on 256 segments (none: the nearest hit of
// land and map meshes is the trace's). MapTrace (spread and hot) and MapTerrainHeight run at each level of the leaf
// walk's instruction set (simd: 0 scalar, 1 SSE 4.1, 2 AVX2; a level the processor lacks runs as the
// widest it has, which the counter simd_level shows).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/embree_triangles.h"
#include "bench/per_trace.h"
#include "map/trace/map_trace.h"
#include "map/trace/map_trace_simd.h"
#include "map/terrain/terrain_height.h"
#include "platform/d3dx8_math.h"
#include "tests/support/land_octree.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSide = 256;
constexpr float kSize = 2550.0f;  // 10 units between vertices
constexpr int kBoxes = 300;
constexpr int kRays = 4096;

struct Segment {
    float start[3];
    float end[3];
};

struct World {
    MapAuthorPlan plan;
    std::vector<float> positions;  // every triangle of land and boxes: 9 floats each
    std::vector<Segment> shortSegments, sightLines, columns;
    bool ready = false;
    std::string error;
#ifndef ZINTAR_NO_EMBREE
    RTCDevice device = nullptr;
    RTCScene scene = nullptr;
#endif
};

u32_t g_random = 2024;
float Random(float low, float high)
{
    g_random = g_random * 214013u + 2531011u;
    return low + (high - low) * static_cast<float>((g_random >> 16) & 0x7FFF) / 32767.0f;
}

void AddTriangles(World& w, const MapAuthorMesh& mesh)
{
    for (const auto& face : mesh.faces) {
        for (std::uint16_t index : face) {
            for (float c : mesh.vertices[index].position)
                w.positions.push_back(c);
        }
    }
}

#ifndef ZINTAR_NO_EMBREE
void BuildEmbree(World& w)
{
    bench::EmbreeBuildTriangles(w.positions, &w.device, &w.scene);
}

bool EmbreeHit(const World& w, const Segment& s)
{
    return bench::EmbreeSegmentHits(w.scene, s.start, s.end);
}
#endif

// The nearest hit of the segment over every triangle, parameter in [0, 1]; a negative number for none.
float BruteForce(const World& w, const Segment& s)
{
    const D3DXVECTOR3 origin(s.start[0], s.start[1], s.start[2]);
    const D3DXVECTOR3 direction(s.end[0] - s.start[0], s.end[1] - s.start[1], s.end[2] - s.start[2]);
    float best = 2.0f;
    const float* p = w.positions.data();
    for (size_t i = 0; i < w.positions.size(); i += 9) {
        const D3DXVECTOR3 a(p[i], p[i + 1], p[i + 2]), b(p[i + 3], p[i + 4], p[i + 5]), c(p[i + 6], p[i + 7], p[i + 8]);
        float u, v, t;
        if (D3DXIntersectTri(&a, &c, &b, &origin, &direction, &u, &v, &t) && t <= 1.0f && t < best)
            best = t;
    }
    return best <= 1.0f ? best : -1.0f;
}

World& TheWorld()
{
    static World w;
    if (w.ready || !w.error.empty())
        return w;
    const fs::path folder = fs::temp_directory_path() / "zintar_map_trace_bench";
    fs::create_directories(folder);
    w.plan.grid = kSide;
    w.plan.size = kSize;
    MapAuthorSeededHeights(w.plan, 17, 150.0f);
    for (int i = 0; i < kBoxes; ++i) {
        const float x = Random(-1200, 1200), z = Random(-1200, 1200);
        const float half = Random(3, 25), height = Random(5, 60);
        const float ground = MapAuthorLandHeight(w.plan, x, z);
        const float low[3] = {x - half, ground - 2, z - half}, high[3] = {x + half, ground + height, z + half};
        w.plan.meshes.push_back(MapAuthorBox("col_box" + std::to_string(i), "", low, high));
    }
    if (!land_test::LoadLand(w.plan, (folder / "bench.lff").string(), w.error))
        return w;
    MapAuthorMesh land;
    MapAuthorLandMesh(w.plan, land, w.error);
    AddTriangles(w, land);
    for (const MapAuthorMesh& mesh : w.plan.meshes)
        AddTriangles(w, mesh);
    for (int i = 0; i < kRays; ++i) {
        // A projectile's step: 30 to 150 units from 1 to 40 units above the ground.
        const float x = Random(-1150, 1150), z = Random(-1150, 1150);
        const float y = MapAuthorLandHeight(w.plan, x, z) + Random(1, 40);
        const float length = Random(30, 150);
        D3DXVECTOR3 d(Random(-1, 1), Random(-0.6f, 0.2f), Random(-1, 1));
        D3DXVec3Normalize(&d, &d);
        w.shortSegments.push_back({{x, y, z}, {x + d.x * length, y + d.y * length, z + d.z * length}});
        // A sight line from eye height to a point 300 to 1500 units away, 2 units over its ground.
        const float angle = Random(0, 6.2831853f), distance = Random(300, 1500);
        const float tx = std::fmax(-1260.0f, std::fmin(1260.0f, x + std::cos(angle) * distance));
        const float tz = std::fmax(-1260.0f, std::fmin(1260.0f, z + std::sin(angle) * distance));
        const float eye = MapAuthorLandHeight(w.plan, x, z) + 18.0f;
        w.sightLines.push_back({{x, eye, z}, {tx, MapAuthorLandHeight(w.plan, tx, tz) + 2.0f, tz}});
        w.columns.push_back({{x, 0, z}, {x, 0, z}});
    }
#ifndef ZINTAR_NO_EMBREE
    BuildEmbree(w);
#endif
    w.ready = true;
    return w;
}

MapTraceInfo Request()
{
    MapTraceInfo info;
    info.flags = 0;
    info.objOptions = 0;
    info.ignoreObject = nullptr;
    return info;
}

const std::vector<Segment>& SegmentsOf(World& w, int kind)
{
    return kind == 0 ? w.shortSegments : w.sightLines;
}

// Uses the benchmark's level for its run, and the widest offered again afterwards.
class SimdLevelFor {
public:
    SimdLevelFor(benchmark::State& state, int argument)
    {
        const TraceSimdLevel level = MapTraceSimdUse(static_cast<TraceSimdLevel>(state.range(argument)));
        state.counters["simd_level"] = static_cast<double>(level);
    }
    ~SimdLevelFor() { MapTraceSimdUse(MapTraceSimdOffered()); }
};

void BM_MapTrace(benchmark::State& state)
{
    World& w = TheWorld();
    if (!w.ready) {
        state.SkipWithError(w.error.c_str());
        return;
    }
    const std::vector<Segment>& segments = SegmentsOf(w, static_cast<int>(state.range(0)));
    const SimdLevelFor level(state, 1);
    // The answers agree with the plain loop.
    int mismatches = 0, hits = 0;
    for (size_t i = 0; i < 256; ++i) {
        MapTraceInfo info = Request();
        const bool hit = MapTrace(segments[i].start, segments[i].end, &info);
        const float expected = BruteForce(w, segments[i]);
        hits += hit ? 1 : 0;
        if (hit != (expected >= 0.0f) || (hit && std::fabs(info.fraction - expected) > 1e-6f))
            ++mismatches;
    }
    int count = 0;
    for (auto _ : state) {
        for (const Segment& s : segments) {
            MapTraceInfo info = Request();
            count += MapTrace(s.start, s.end, &info) ? 1 : 0;
        }
    }
    benchmark::DoNotOptimize(count);
    bench::PerTrace(state, segments.size());
    state.counters["hit_percent"] = 100.0 * hits / 256.0;
    state.counters["mismatches_of_256"] = mismatches;
}
BENCHMARK(BM_MapTrace)->ArgsProduct({{0, 1}, {0, 1, 2}})->ArgNames({"long", "simd"})->Unit(benchmark::kMillisecond);

void BM_MapTerrainHeight(benchmark::State& state)
{
    World& w = TheWorld();
    if (!w.ready) {
        state.SkipWithError(w.error.c_str());
        return;
    }
    const SimdLevelFor level(state, 0);
    float total = 0.0f;
    for (auto _ : state) {
        for (const Segment& s : w.columns)
            total += MapTerrainHeight(s.start[0], s.start[2], nullptr, nullptr);
    }
    benchmark::DoNotOptimize(total);
    bench::PerTrace(state, w.columns.size());
}
BENCHMARK(BM_MapTerrainHeight)->Arg(0)->Arg(1)->Arg(2)->ArgName("simd")->Unit(benchmark::kMillisecond);
// The same traces over and over (eight segments): what a trace costs once its leaves are in the
// processor's caches, against the spread-out traces above that mostly wait for memory.
void BM_MapTraceHot(benchmark::State& state)
{
    World& w = TheWorld();
    const std::vector<Segment>& segments = SegmentsOf(w, static_cast<int>(state.range(0)));
    const SimdLevelFor level(state, 1);
    int count = 0;
    for (auto _ : state) {
        for (size_t i = 0; i < segments.size(); ++i) {
            MapTraceInfo info = Request();
            count += MapTrace(segments[i % 8].start, segments[i % 8].end, &info) ? 1 : 0;
        }
    }
    benchmark::DoNotOptimize(count);
    bench::PerTrace(state, segments.size());
}
BENCHMARK(BM_MapTraceHot)->ArgsProduct({{0, 1}, {0, 1, 2}})->ArgNames({"long", "simd"})->Unit(benchmark::kMillisecond);

void BM_BruteForce(benchmark::State& state)
{
    World& w = TheWorld();
    if (!w.ready) {
        state.SkipWithError(w.error.c_str());
        return;
    }
    const std::vector<Segment>& segments = SegmentsOf(w, static_cast<int>(state.range(0)));
    constexpr size_t kSample = 32;
    float total = 0.0f;
    for (auto _ : state) {
        for (size_t i = 0; i < kSample; ++i)
            total += BruteForce(w, segments[i]);
    }
    benchmark::DoNotOptimize(total);
    bench::PerTrace(state, kSample);
}
BENCHMARK(BM_BruteForce)->Arg(0)->Arg(1)->ArgName("long")->Unit(benchmark::kMillisecond);

#ifndef ZINTAR_NO_EMBREE
void BM_Embree(benchmark::State& state)
{
    World& w = TheWorld();
    if (!w.ready) {
        state.SkipWithError(w.error.c_str());
        return;
    }
    const std::vector<Segment>& segments = SegmentsOf(w, static_cast<int>(state.range(0)));
    int mismatches = 0;
    for (size_t i = 0; i < 256; ++i)
        mismatches += EmbreeHit(w, segments[i]) != (BruteForce(w, segments[i]) >= 0.0f) ? 1 : 0;
    int count = 0;
    for (auto _ : state) {
        for (const Segment& s : segments)
            count += EmbreeHit(w, s) ? 1 : 0;
    }
    benchmark::DoNotOptimize(count);
    bench::PerTrace(state, segments.size());
    state.counters["mismatches_of_256"] = mismatches;
}
BENCHMARK(BM_Embree)->Arg(0)->Arg(1)->ArgName("long")->Unit(benchmark::kMillisecond);

void BM_EmbreeColumn(benchmark::State& state)
{
    World& w = TheWorld();
    if (!w.ready) {
        state.SkipWithError(w.error.c_str());
        return;
    }
    // The downward column a terrain height traces: from the top of the world to its bottom.
    std::vector<Segment> columns;
    for (const Segment& s : w.columns)
        columns.push_back({{s.start[0], 1300.0f, s.start[2]}, {s.start[0], -1300.0f, s.start[2]}});
    int count = 0;
    for (auto _ : state) {
        for (const Segment& s : columns)
            count += EmbreeHit(w, s) ? 1 : 0;
    }
    benchmark::DoNotOptimize(count);
    bench::PerTrace(state, columns.size());
}
BENCHMARK(BM_EmbreeColumn)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
