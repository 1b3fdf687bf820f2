// The per-frame pass of the world registry over 4096 moving objects: DynObjectsUpdate (each object's
// Update, which moves it and relinks it in the object grid, then the world's lowest and highest
// points) against a plain loop over the same Update calls.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "map/terrain/map_state.h"
#include "map/octree/object_grid.h"
#include "map/octree/octree.h"
#include "map/registry/world_registry.h"
#include "world/objects/dynamic_object.h"

namespace {

constexpr int kObjects = 4096;

// Walks a small circle; its box follows, and it relinks itself as moving objects do.
class Walker : public DynamicObject {
public:
    explicit Walker(int index) : m_angle(static_cast<float>(index))
    {
        typeId = OBJECT_TYPE_STRUCTURE;
        m_centre = {std::fmod(index * 37.0f, 1800.0f) - 900.0f, 0.0f, std::fmod(index * 53.0f, 1800.0f) - 900.0f};
        SetGridEntry(ObjectGridEntryCreate(OBJECT_GRID_OBJECT, this));
    }
    void GetGeometryBounds(float* box) override
    {
        const float x = m_centre.x + 20.0f * std::cos(m_angle), z = m_centre.z + 20.0f * std::sin(m_angle);
        box[0] = x - 2.0f;
        box[1] = -1.0f;
        box[2] = z - 2.0f;
        box[3] = x + 2.0f;
        box[4] = 3.0f;
        box[5] = z + 2.0f;
    }
    void Update() override
    {
        m_angle += 0.05f;
        DynObjectUpdateGrid(this);
    }

private:
    Vector3 m_centre;
    float m_angle;
};

void Split(OctreeNode* node, u32_t depth)
{
    if (node->Depth() >= depth)
        return;
    node->CreateChildren();
    for (OctreeNode* child : node->children)
        Split(child, depth);
}

struct Population {
    std::vector<std::unique_ptr<Walker>> walkers;
    Population()
    {
        Split(OctreeCreateRoot({-1000, -1000, -1000}, {1000, 1000, 1000}), 4);
        g_map.bounds[0] = {-1000, -50, -1000};
        g_map.bounds[1] = {1000, 50, 1000};
        for (int i = 0; i < kObjects; ++i) {
            walkers.push_back(std::make_unique<Walker>(i));
            DynObjectAdd(walkers.back().get());
        }
    }
    ~Population()
    {
        while (g_map.objectCount)
            DynObjectRemove(g_map.objects[0]);
        walkers.clear();
        OctreeDestroy();
    }
};

void BM_DynObjectsUpdate(benchmark::State& state)
{
    Population population;
    for (auto _ : state)
        DynObjectsUpdate();
    benchmark::DoNotOptimize(DynObjectsHighestPoint());
    state.SetItemsProcessed(state.iterations() * kObjects);
}
BENCHMARK(BM_DynObjectsUpdate)->Unit(benchmark::kMicrosecond);

void BM_PlainUpdateLoop(benchmark::State& state)
{
    Population population;
    for (auto _ : state) {
        for (auto& walker : population.walkers)
            walker->Update();
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
}
BENCHMARK(BM_PlainUpdateLoop)->Unit(benchmark::kMicrosecond);

}  // namespace
