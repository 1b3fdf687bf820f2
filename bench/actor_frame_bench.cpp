// The per-frame actor work on the sample land ("hills"): 256 sample soldiers walking squares and
// firing their rifles, and 1,000 rifle bullets in flight (long life), one world update of all of them
// per frame of 20 ms, on one core. The AI table holds 128 interfaces: 128 soldiers walk patrol paths
// under the stub AI, the other 128 (without AI) walk the same kind of square under move orders given
// each frame, as the player control gives them. Beside the whole frame: the soldiers
// alone, their plain animation step alone (the baseline of an actor's update), the bullets alone,
// and the bullets' own segments of one frame traced by MapTrace as the bullets trace them, by
// MapTrace on the land only, and by Embree 3 on the land's triangles (when it was found).
//
// Every soldier stays alive, so that each frame costs what a frame of 256 living soldiers costs: the
// soldiers with AI carry a reserve of health that the untimed part between frames fills again, and
// a soldier who lost a whole soldier's health within a frame counts as one casualty (a soldier
// without AI takes no damage).
//
// Counters: ms_per_frame (goal: 1.5 ms for all actor and projectile updates), us_per_soldier,
// us_per_projectile, ns_per_trace, and for the whole frame the soldiers' walked distance (they do
// move), the shots fired and the casualties per frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/embree_triangles.h"
#include "bench/per_trace.h"
#include "actors/actor.h"
#include "actors/actor_motion.h"
#include "actors/weapons/projectile.h"
#include "actors/weapons/weapon.h"
#include "ai/soldier/ai_interface.h"
#include "ai/squads/patrol_path.h"
#include "actors/ai_entity.h"
#include "ai/soldier/path_follower.h"
#include "core/frame_view.h"
#include "core/random.h"
#include "core/files/script_file.h"
#include "core/files/vfs.h"
#include "game/game_state.h"
#include "map/meshes/map_mesh_reader.h"
#include "map/trace/map_trace.h"
#include "map/terrain/terrain_height.h"
#include "map/registry/world_registry.h"
#include "platform/test_clock.h"
#include "tests/support/def_apply.h"
#include "tests/support/land_octree.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSoldiers = 256;
constexpr int kWithAi = 128;  // the AI table's size
constexpr int kProjectiles = 1000;
constexpr DWORD kFrameMs = 20;
constexpr float kPatrolHalf = 40.0f;  // each soldier walks a square of 80 units
constexpr u32_t kBulletLife = 1000000;
// The health a soldier with AI carries: far more than a frame's hits take.
constexpr float kHealthReserve = 1e6f;

u32_t g_random = 2024;
float Random(float low, float high)
{
    g_random = g_random * 214013u + 2531011u;
    return low + (high - low) * static_cast<float>((g_random >> 16) & 0x7FFF) / 32767.0f;
}

struct Segment {
    float start[3];
    float end[3];
};

struct World {
    bool ready = false;
    std::string error;
    std::vector<AIInterface*> ais;
    std::vector<Actor*> soldiers;
    std::vector<float> patrolPoints;                 // 8 floats per soldier
    std::vector<std::unique_ptr<PatrolPath>> paths;  // each owns a copy of its soldier's corners
    std::vector<u32_t> corners;                      // the corner each soldier without AI walks to
    float soldierHealth = 0.0f;                      // a soldier's own health, as his definition gives it
    long long casualties = 0;                        // soldiers who lost that much within a frame, since the start
    float low[2] = {}, high[2] = {};
    std::vector<float> triangles;  // the land: 9 floats each
#ifndef ZINTAR_NO_EMBREE
    RTCDevice device = nullptr;
    RTCScene scene = nullptr;
#endif
};

float Ground(float x, float z)
{
    return MapTerrainHeight(x, z, nullptr, nullptr);
}

// A bullet of the soldier's rifle leaving 20 to 60 units over the ground, nearly level, in any
// direction; it flies for seconds over the hills before it comes down.
Projectile* Launch(World& w, Actor* soldier)
{
    Weapon* rifle = soldier->weapons[0];
    Projectile* p = rifle ? rifle->SpawnProjectile() : nullptr;
    if (!p)
        return nullptr;
    const float x = Random(w.low[0], w.high[0]), z = Random(w.low[1], w.high[1]);
    p->SetPosition({x, Ground(x, z) + Random(20.0f, 60.0f), z});
    p->launchPosition = p->previousPosition = p->arcStartPosition = p->GetPosition();
    p->arcStartTick = GetTickCount();
    p->lastUpdateTick = GetTickCount();
    p->lifeTime = kBulletLife;
    const float angle = Random(0.0f, 6.2831855f);
    p->direction = {std::cos(angle), Random(-0.05f, 0.15f), std::sin(angle)};
    const float length =
        std::sqrt(p->direction.x * p->direction.x + p->direction.y * p->direction.y + p->direction.z * p->direction.z);
    p->direction = {p->direction.x / length, p->direction.y / length, p->direction.z / length};
    DynObjectAdd(p);
    return p;
}

int CountProjectiles()
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    int projectiles = 0;
    for (s32_t i = 0; i < count; ++i)
        projectiles += objects[i]->typeId == OBJECT_TYPE_PROJECTILE ? 1 : 0;
    return projectiles;
}

// Exactly 1,000 bullets in flight: the oldest beyond that retired, new ones launched in place of
// those that came down.
void TopUp(World& w)
{
    ProjectileTableDestroyAll();
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    int extra = CountProjectiles() - kProjectiles;
    for (s32_t i = 0; i < count && extra > 0; ++i) {
        if (objects[i]->typeId == OBJECT_TYPE_PROJECTILE) {
            ProjectileTableAdd(static_cast<Projectile*>(objects[i]));
            --extra;
        }
    }
    ProjectileTableDestroyAll();
    for (int n = CountProjectiles(), i = 0; n < kProjectiles; ++n, ++i)
        Launch(w, w.soldiers[static_cast<size_t>(i) % w.soldiers.size()]);
}

// Every magazine full again, so that firing never stops on reloads.
void Rearm(World& w)
{
    for (Actor* soldier : w.soldiers) {
        if (Weapon* rifle = soldier->weapons[0]) {
            rifle->roundsInGun = rifle->magazineCap;
            soldier->reloading = false;
        }
    }
}

#ifndef ZINTAR_NO_EMBREE
void BuildEmbree(World& w)
{
    bench::EmbreeBuildTriangles(w.triangles, &w.device, &w.scene);
}

bool EmbreeHit(const World& w, const Segment& s)
{
    return bench::EmbreeSegmentHits(w.scene, s.start, s.end);
}
#endif

World& TheWorld()
{
    static World w;
    static bool tried = false;
    if (tried)
        return w;
    tried = true;
    const fs::path sample = fs::path(ZINTAR_SAMPLE_DIR);
    const fs::path folder = fs::temp_directory_path() / "zintar_actor_frame_bench";
    fs::create_directories(folder);
    if (!BfsPackFolder(sample.string(), (folder / "main.bfs").string(), w.error))
        return w;
    fs::current_path(folder);
    if (!VFSInit()) {
        w.error = "the file system did not start";
        return w;
    }
    CreateScriptCache();
    PlatformTestClockStart(1000000);
    g_frameView.frameTime = kFrameMs / 1000.0f;
    EngineSRand(7);

    // The sample land as the map load reads it, with its octree.
    const std::string land = (sample / "component" / "land" / "hills.lff").string();
    if (MapMeshesLoadFromFile(land.c_str(), "component\\land\\") != 0) {
        w.error = "the sample land did not load";
        return w;
    }
    MapGeometryApplyTransformValues(false, nullptr, false, 0.0f);
    for (u32_t f = 0; f < g_map.landFaceCount; ++f) {
        for (int corner = 0; corner < 3; ++corner) {
            const u16_t index = g_map.landFaces[f].indices[corner];
            const Vector3 p = g_map.landVertices[index].position;
            w.triangles.insert(w.triangles.end(), {p.x, p.y, p.z});
        }
    }
    land_test::BuildLandOctree();
    // Soldiers stay 100 units inside the land's edge.
    w.low[0] = g_map.bounds[0].x + 100.0f;
    w.low[1] = g_map.bounds[0].z + 100.0f;
    w.high[0] = g_map.bounds[1].x - 100.0f;
    w.high[1] = g_map.bounds[1].z - 100.0f;

    w.patrolPoints.resize(static_cast<size_t>(kSoldiers) * 8);
    w.paths.resize(kSoldiers);
    w.corners.assign(kSoldiers, 0);
    for (int i = 0; i < kSoldiers; ++i) {
        AIInterface* ai = i < kWithAi ? new AIInterface() : nullptr;
        Actor* soldier = ai ? ai->body : new Actor();
        ApplyDefFile("object\\actors\\soldier.def", soldier);
        if (!soldier->classInfo || !soldier->weapons[0]) {
            w.error = "the sample soldier did not build";
            return w;
        }
        // The soldier's lines give his rifle no rate (no limit at all): the sample rifle's own 600.
        soldier->weapons[0]->fpmFirst = 600.0f;
        const float x = w.low[0] + (w.high[0] - w.low[0]) * ((i % 16) + 0.5f) / 16.0f;
        const float z = w.low[1] + (w.high[1] - w.low[1]) * ((i / 16) + 0.5f) / 16.0f;
        soldier->SetPosition({x, Ground(x, z), z});
        float* points = &w.patrolPoints[static_cast<size_t>(i) * 8];
        const float corners[8] = {x - kPatrolHalf, z - kPatrolHalf, x + kPatrolHalf, z - kPatrolHalf,
                                  x + kPatrolHalf, z + kPatrolHalf, x - kPatrolHalf, z + kPatrolHalf};
        for (int c = 0; c < 8; ++c)
            points[c] = corners[c];
        if (ai) {
            w.soldierHealth = ai->entity->health;
            ai->entity->health = kHealthReserve;
            w.paths[static_cast<size_t>(i)] = std::make_unique<PatrolPath>();
            PatrolPath& path = *w.paths[static_cast<size_t>(i)];
            path.points = new float[8];
            for (int c = 0; c < 8; ++c)
                path.points[c] = points[c];
            path.pointCount = 4;
            path.mode = PATROL_MODE_LOOP;
            ai->entity->patrolAllowed = 1;
            ai->entity->currentPatrolPath = &path;
            w.ais.push_back(ai);
        }
        DynObjectAdd(soldier);
        w.soldiers.push_back(soldier);
    }
    TopUp(w);
#ifndef ZINTAR_NO_EMBREE
    BuildEmbree(w);
#endif
    w.ready = true;
    return w;
}

bool Ready(benchmark::State& state, World& w)
{
    if (!w.ready)
        state.SkipWithError(w.error.empty() ? "the world did not build" : w.error.c_str());
    return w.ready;
}

// The time of an iteration in units (1e3: milliseconds) divided by count.
void PerFrame(benchmark::State& state, const char* counter, double units, double count = 1.0)
{
    state.counters[counter] =
        benchmark::Counter(count / units, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The soldiers without AI: turn to the next corner of their square and walk on; a corner within 5
// units is reached.
void GiveMoveOrders(World& w)
{
    for (size_t i = kWithAi; i < w.soldiers.size(); ++i) {
        Actor* soldier = w.soldiers[i];
        const float* points = &w.patrolPoints[i * 8];
        u32_t& corner = w.corners[i];
        const Vector3 p = soldier->GetPosition();
        if (std::hypot(points[2 * corner] - p.x, points[2 * corner + 1] - p.z) < 5.0f)
            corner = (corner + 1) % 4;
        soldier->TurnToPoint({points[2 * corner], p.y, points[2 * corner + 1]});
        soldier->MoveForward();
    }
}

// The reserve filled again; a soldier who lost a soldier's health since the last fill is a casualty.
void Heal(World& w)
{
    for (AIInterface* ai : w.ais) {
        AIEntity* entity = ai->entity;
        if (kHealthReserve - entity->health >= w.soldierHealth)
            ++w.casualties;
        entity->health = kHealthReserve;
    }
}

// Advances the clock by a frame (untimed): the next updates see 20 ms pass.
void NextFrame(benchmark::State& state, World& w)
{
    state.PauseTiming();
    PlatformTestClockAdvance(kFrameMs);
    Heal(w);
    Rearm(w);
    TopUp(w);
    state.ResumeTiming();
}

// One frame of the world: every soldier and bullet updated, every soldier pulling the trigger at a
// target 100 units ahead, the retired bullets swept. (The bullets the soldiers fire count among the
// 1,000; the untimed top-up launches the rest.)
void BM_WorldFrame(benchmark::State& state)
{
    World& w = TheWorld();
    if (!Ready(state, w))
        return;
    std::vector<Vector3> start;
    for (Actor* soldier : w.soldiers)
        start.push_back(soldier->GetPosition());
    u32_t shots = 0;
    const long long casualtiesBefore = w.casualties;
    for (auto _ : state) {
        NextFrame(state, w);
        GiveMoveOrders(w);
        DynObjectsUpdate();
        for (Actor* soldier : w.soldiers)
            shots += soldier->FireAt(soldier->heading, 0.0f, false, false) ? 1u : 0u;
        ProjectileTableDestroyAll();
    }
    // How far the soldiers of each kind got from where this run started them (up to the square's
    // diagonal): both kinds do walk.
    double walked[2] = {};
    for (size_t i = 0; i < w.soldiers.size(); ++i) {
        const Vector3 p = w.soldiers[i]->GetPosition();
        walked[i < kWithAi ? 0 : 1] += std::hypot(p.x - start[i].x, p.z - start[i].z);
    }
    PerFrame(state, "ms_per_frame", 1e3);
    state.counters["ai_moved_units"] = walked[0] / kWithAi;
    state.counters["ordered_moved_units"] = walked[1] / (kSoldiers - kWithAi);
    state.counters["shots_per_frame"] = static_cast<double>(shots) / static_cast<double>(state.iterations());
    Heal(w);
    state.counters["casualties_per_frame"] =
        static_cast<double>(w.casualties - casualtiesBefore) / static_cast<double>(state.iterations());
    int dead = 0;
    for (Actor* soldier : w.soldiers)
        dead += soldier->isDead ? 1 : 0;
    state.counters["dead_soldiers"] = dead;
}
BENCHMARK(BM_WorldFrame)->Unit(benchmark::kMillisecond);

void BM_SoldierUpdates(benchmark::State& state)
{
    World& w = TheWorld();
    if (!Ready(state, w))
        return;
    for (auto _ : state) {
        NextFrame(state, w);
        GiveMoveOrders(w);
        for (Actor* soldier : w.soldiers)
            soldier->Update();
    }
    PerFrame(state, "ms_per_frame", 1e3);
    PerFrame(state, "us_per_soldier", 1e6, kSoldiers);
}
BENCHMARK(BM_SoldierUpdates)->Unit(benchmark::kMillisecond);

// The baseline of a soldier's update: its animation step alone.
void BM_AnimationSteps(benchmark::State& state)
{
    World& w = TheWorld();
    if (!Ready(state, w))
        return;
    for (auto _ : state) {
        NextFrame(state, w);
        for (Actor* soldier : w.soldiers)
            ActorAnimationStep(soldier);
    }
    PerFrame(state, "ms_per_frame", 1e3);
    PerFrame(state, "us_per_soldier", 1e6, kSoldiers);
}
BENCHMARK(BM_AnimationSteps)->Unit(benchmark::kMillisecond);

void BM_ProjectileUpdates(benchmark::State& state)
{
    World& w = TheWorld();
    if (!Ready(state, w))
        return;
    std::vector<DynamicObject*> projectiles;
    for (auto _ : state) {
        NextFrame(state, w);
        state.PauseTiming();
        projectiles.clear();
        DynamicObject** objects = nullptr;
        s32_t count = 0;
        DynObjectsGet(&objects, &count);
        for (s32_t i = 0; i < count; ++i)
            if (objects[i]->typeId == OBJECT_TYPE_PROJECTILE)
                projectiles.push_back(objects[i]);
        state.ResumeTiming();
        for (DynamicObject* p : projectiles)
            p->Update();
        ProjectileTableDestroyAll();
    }
    PerFrame(state, "ms_per_frame", 1e3);
    PerFrame(state, "us_per_projectile", 1e6, kProjectiles);
}
BENCHMARK(BM_ProjectileUpdates)->Unit(benchmark::kMillisecond);

// The segments of one frame of the 1,000 bullets (previous to new place), taken once.
const std::vector<Segment>& FrameSegments(World& w)
{
    static std::vector<Segment> segments;
    if (!segments.empty())
        return segments;
    PlatformTestClockAdvance(kFrameMs);
    TopUp(w);
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    std::vector<Projectile*> projectiles;
    for (s32_t i = 0; i < count; ++i)
        if (objects[i]->typeId == OBJECT_TYPE_PROJECTILE)
            projectiles.push_back(static_cast<Projectile*>(objects[i]));
    for (Projectile* p : projectiles) {
        const Vector3 before = p->GetPosition();
        p->Update();
        const Vector3 after = p->GetPosition();
        segments.push_back({{before.x, before.y, before.z}, {after.x, after.y, after.z}});
    }
    ProjectileTableDestroyAll();
    return segments;
}

// Arg 0: the bullets' own request (normals, tiles, vegetation layer, face sets, objects, water;
// objects with normals, alpha and material). Arg 1: the land and map meshes only.
void BM_FrameSegmentsMapTrace(benchmark::State& state)
{
    World& w = TheWorld();
    if (!Ready(state, w))
        return;
    const std::vector<Segment>& segments = FrameSegments(w);
    const bool asBullets = state.range(0) == 0;
    int hits = 0;
    for (auto _ : state) {
        for (const Segment& s : segments) {
            MapTraceInfo info;
            info.flags = asBullets ? 0x5Fu : 0u;
            info.objOptions = asBullets ? 0x07u : 0u;
            info.objAlphaThreshold = 0xA0;
            info.ignoreObject = nullptr;
            hits += MapTrace(s.start, s.end, &info) ? 1 : 0;
        }
    }
    benchmark::DoNotOptimize(hits);
    bench::PerTrace(state, segments.size());
    PerFrame(state, "ms_per_frame", 1e3);
    state.counters["segments"] = static_cast<double>(segments.size());
}
BENCHMARK(BM_FrameSegmentsMapTrace)->Arg(0)->Arg(1)->ArgName("land_only")->Unit(benchmark::kMillisecond);

#ifndef ZINTAR_NO_EMBREE
void BM_FrameSegmentsEmbree(benchmark::State& state)
{
    World& w = TheWorld();
    if (!Ready(state, w))
        return;
    const std::vector<Segment>& segments = FrameSegments(w);
    int hits = 0;
    for (auto _ : state)
        for (const Segment& s : segments)
            hits += EmbreeHit(w, s) ? 1 : 0;
    benchmark::DoNotOptimize(hits);
    bench::PerTrace(state, segments.size());
    PerFrame(state, "ms_per_frame", 1e3);
    state.counters["land_triangles"] = static_cast<double>(w.triangles.size() / 9);
}
BENCHMARK(BM_FrameSegmentsEmbree)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
