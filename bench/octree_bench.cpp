// The octree of a generated land of 256 x 256 vertices: building it, reading it back from its
// ".oct" cache, and reading the same file's bytes through the virtual file system alone.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/files/vfs.h"
#include "map/octree/octree.h"
#include "map/octree/octree_cache.h"
#include "map/octree/octree_stats.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSide = 256;      // vertices along each edge
constexpr float kCell = 10.0f;  // world units between neighbouring vertices
constexpr const char* kCacheFile = "land.oct";

const float kExtent = kCell * (kSide - 1);
const Vector3 kBoxMin = {-kExtent / 2, -120.0f, -kExtent / 2};
const Vector3 kBoxMax = {kExtent / 2, 120.0f, kExtent / 2};

float Height(float x, float z)
{
    return 60.0f * std::sin(x * 0.0041f) * std::cos(z * 0.0033f) + 25.0f * std::sin((x + z) * 0.019f) +
           6.0f * std::cos(x * 0.11f - z * 0.07f);
}

// The land as the map loader hands it over: (256 x 256) vertices, two faces per cell.
void GiveLand(OctreeGeometry& geometry)
{
    geometry.vertexCount = geometry.vertexCapacity = kSide * kSide;
    geometry.vertices = new MapVertex[geometry.vertexCount];
    for (int j = 0; j < kSide; ++j) {
        for (int i = 0; i < kSide; ++i) {
            const float x = kBoxMin.x + kCell * float(i), z = kBoxMin.z + kCell * float(j);
            const float dx = Height(x + 1, z) - Height(x - 1, z), dz = Height(x, z + 1) - Height(x, z - 1);
            const float length = std::sqrt(dx * dx + 4 + dz * dz);
            geometry.vertices[j * kSide + i] =
                MapVertex{{x, Height(x, z), z}, float(i) / 8, float(j) / 8, {-dx / length, 2 / length, -dz / length}};
        }
    }
    const int cells = kSide - 1;
    geometry.faceCount = geometry.faceCapacity = u32_t(cells * cells * 2);
    geometry.faces = new MapFace[geometry.faceCount];
    u32_t f = 0;
    for (int j = 0; j < cells; ++j) {
        for (int i = 0; i < cells; ++i) {
            const u16_t a = u16_t(j * kSide + i), b = u16_t(a + 1), c = u16_t(a + kSide), d = u16_t(c + 1);
            geometry.faces[f++] = MapFace{{a, c, d}};
            geometry.faces[f++] = MapFace{{a, d, b}};
        }
    }
    geometry.boundsMin = kBoxMin;
    geometry.boundsMax = kBoxMax;
}

void ReportTree(benchmark::State& state)
{
    OctreePrintStats();
    const OctreeStats& stats = OctreeGetStats();
    state.counters["leaf_faces"] = stats.faces;
    state.counters["nodes"] = stats.nodes;
    state.counters["max_depth"] = stats.maxDepth;
}

void BM_OctreeBuild(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        OctreeNode* root = OctreeCreateRoot(kBoxMin, kBoxMax);
        GiveLand(root->geometry);
        state.ResumeTiming();
        root->Build();
        root->LinkNeighbours();
    }
    ReportTree(state);
    OctreeDestroy();
}
BENCHMARK(BM_OctreeBuild)->Unit(benchmark::kMillisecond)->Iterations(3);

// The tree written once; each read starts from a fresh root as a map load does.
void WriteCache()
{
    static bool written = false;
    if (written)
        return;
    OctreeNode* root = OctreeCreateRoot(kBoxMin, kBoxMax);
    GiveLand(root->geometry);
    root->Build();
    if (!OctreeCacheWrite(kCacheFile)) {
        std::fprintf(stderr, "octree_bench: cannot write the cache\n");
        std::exit(1);
    }
    OctreeDestroy();
    written = true;
}

void BM_OctreeCacheRead(benchmark::State& state)
{
    WriteCache();
    for (auto _ : state) {
        state.PauseTiming();
        OctreeCreateRoot(kBoxMin, kBoxMax);
        state.ResumeTiming();
        if (!OctreeCacheRead(kCacheFile))
            state.SkipWithError("the cache was not read");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fs::file_size(kCacheFile)));
    ReportTree(state);
    OctreeDestroy();
}
BENCHMARK(BM_OctreeCacheRead)->Unit(benchmark::kMillisecond);

void BM_VfsReadSameBytes(benchmark::State& state)
{
    WriteCache();
    for (auto _ : state) {
        u32_t size = 0;
        char* bytes = VFSLoadFile(kCacheFile, &size);
        benchmark::DoNotOptimize(bytes);
        delete[] bytes;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fs::file_size(kCacheFile)));
    state.counters["file_bytes"] = double(fs::file_size(kCacheFile));
}
BENCHMARK(BM_VfsReadSameBytes)->Unit(benchmark::kMillisecond);

// Runs in a temporary folder of its own: the cache file and the engine log go there.
struct WorkFolder {
    WorkFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "zintar_octree_bench_XXXXXX").string();
        if (!::mkdtemp(pattern.data()) || ::chdir(pattern.c_str()) != 0) {
            std::fprintf(stderr, "octree_bench: cannot make a working folder\n");
            std::exit(1);
        }
        path = pattern;
    }
    ~WorkFolder()
    {
        std::error_code ignored;
        fs::current_path(fs::temp_directory_path(), ignored);
        fs::remove_all(path, ignored);
    }
    std::string path;
} g_folder;

}  // namespace
