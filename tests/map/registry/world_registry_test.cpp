// The world registry: its tables, actors and team lists, companions, grid relinking, the update
// pass, the destroy queue, and the position operations of the repeating world.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/soldier/ai_interface.h"
#include "core/random.h"
#include "map/registry/actor_lists.h"
#include "map/terrain/map_caches.h"
#include "map/terrain/map_grid.h"
#include "map/registry/world_insert.h"
#include "map/terrain/world_offset.h"
#include "support/engine_log.h"
#include "tests/map/map_world_fixture.h"
#include "world/nodes/shadow_volume.h"

using namespace map_world;

namespace {

class Registry : public WorldTest {
protected:
    Registry() { engine_log::StartFolder(); }
};

std::vector<DynamicObject*> Table()
{
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    return std::vector<DynamicObject*>(objects, objects + count);
}

TEST_F(Registry, ARemovalMovesTheLastEntryIn)
{
    TestObject* a = Make({0, 0, 0, 1, 1, 1});
    TestObject* b = Make({0, 0, 0, 1, 1, 1});
    TestObject* c = Make({0, 0, 0, 1, 1, 1});
    TestObject* d = Make({0, 0, 0, 1, 1, 1});
    for (TestObject* o : {a, b, c, d})
        ASSERT_TRUE(DynObjectAdd(o));
    EXPECT_EQ(DynObjectRemove(a), 0u);
    EXPECT_EQ(Table(), (std::vector<DynamicObject*>{d, b, c}));
    EXPECT_EQ(DynObjectRemove(c), 2u);
    EXPECT_EQ(Table(), (std::vector<DynamicObject*>{d, b}));
    // Not in the table: the count, nothing changes.
    EXPECT_EQ(DynObjectRemove(a), 2u);
    EXPECT_EQ(DynObjectGet(2), nullptr);
    EXPECT_EQ(DynObjectGet(1), b);
    b->name.Assign("Crate");
    EXPECT_EQ(DynObjectFindIndex("cRATE"), 1);
    EXPECT_EQ(DynObjectFind("crate"), b);
    EXPECT_EQ(DynObjectFind("crat"), nullptr);
    EXPECT_EQ(DynObjectFindIndex("nobody"), -1);
}

// Soldiers as the AI makes them: the interface with its body and its entity.
class RegistryActors : public Registry {
protected:
    void TearDown() override
    {
        Registry::TearDown();
        for (AIInterface* soldier : m_soldiers) {
            Actor* body = soldier->body;
            delete soldier;
            delete body;
        }
        ActorListsFree();
        EngineSRand(m_seed);
    }
    Actor* Soldier(s32_t team)
    {
        m_soldiers.push_back(new AIInterface());
        m_soldiers.back()->entity->team = team;
        return m_soldiers.back()->body;
    }

    std::vector<AIInterface*> m_soldiers;
    Actor m_loner;  // without AI
    u32_t m_seed = EngineRandState();
};

TEST_F(RegistryActors, ActorsEnterAndLeaveTheActorTableAndTheirTeamList)
{
    Actor* enemy = Soldier(ACTOR_TEAM_ENEMY);
    Actor* friendly = Soldier(ACTOR_TEAM_FRIEND);
    ASSERT_TRUE(DynObjectAdd(enemy));
    ASSERT_TRUE(DynObjectAdd(friendly));
    ASSERT_TRUE(DynObjectAdd(&m_loner));
    EXPECT_EQ(ActorTableCount(), 3u);
    EXPECT_EQ(g_map.EnemyActorList.Count(), 1);
    EXPECT_EQ(g_map.EnemyActorList.Cursor(), 0);
    EXPECT_EQ(g_map.FriendActorList.Get(0), friendly);
    EXPECT_EQ(g_map.NeutralActorList.Count(), 0);  // the actor without AI is in none

    EXPECT_EQ(DynObjectRemove(enemy), 0u);
    EXPECT_EQ(ActorTableCount(), 2u);
    EXPECT_EQ(ActorTableGet(0), &m_loner);  // the last entry moved in
    EXPECT_EQ(g_map.EnemyActorList.Count(), 0);

    // An actor without AI leaves all three lists, wherever it was put; the lists delete nothing.
    g_map.EnemyActorList.Append(&m_loner);
    g_map.NeutralActorList.Append(&m_loner);
    DynObjectRemove(&m_loner);
    for (const PtrRefArray<Actor>* list : {&g_map.FriendActorList, &g_map.NeutralActorList, &g_map.EnemyActorList})
        EXPECT_FALSE(list->Contains(&m_loner));
    EXPECT_EQ(g_map.FriendActorList.Count(), 1);
    DynObjectRemove(friendly);
    EXPECT_EQ(ActorTableCount(), 0u);
    EXPECT_EQ(g_map.FriendActorList.Count(), 0);
}

TEST_F(Registry, InsertToWorldAddsAShadowVolumeAndRemoveFromWorldDeletesBothCompanions)
{
    MakeWorld(1);
    TestObject* crate = Make({-10, 0, -10, 10, 20, 10});
    TestObject* other = Make({0, 0, 0, 1, 1, 1});
    ASSERT_TRUE(DynObjectAdd(other));
    InsertToWorld(crate);
    ASSERT_NE(crate->shadowVolume, nullptr);
    EXPECT_EQ(crate->shadowCompanion, nullptr);
    EXPECT_EQ(Table(), (std::vector<DynamicObject*>{other, crate, crate->shadowVolume}));
    auto* volume = static_cast<ShadowVolume*>(crate->shadowVolume);
    EXPECT_EQ(volume->source, crate);
    EXPECT_EQ(volume->shadowKind, SHADOW_KIND_VOLUME);
    EXPECT_EQ(volume->GetGridEntry()->kind, u32_t(OBJECT_GRID_SHADOW));
    EXPECT_NE(volume->GetGridEntry()->firstLink, GRID_LINK_NONE);

    crate->shadowCompanion = new ShadowObject(crate);
    ASSERT_TRUE(DynObjectAdd(crate->shadowCompanion));
    EXPECT_EQ(RemoveFromWorld(crate), 1u);
    EXPECT_EQ(crate->shadowVolume, nullptr);
    EXPECT_EQ(crate->shadowCompanion, nullptr);
    EXPECT_EQ(Table(), (std::vector<DynamicObject*>{other}));
    EXPECT_EQ(crate->GetGridEntry()->firstLink, GRID_LINK_NONE);
}

TEST_F(Registry, UpdateGridRelinksOnlyWhenACornerReallyMoved)
{
    MakeWorld(1);
    TestObject* crate = Make({100, 100, 100, 110, 110, 110});
    ASSERT_TRUE(DynObjectAdd(crate));
    DynObjectUpdateGrid(crate);  // the stored box starts empty: the first update stores it
    float stored[6];
    crate->GetBoundingBox(stored);
    EXPECT_EQ(stored[0], 100.0f);
    const u32_t link = crate->gridEntry->firstLink;

    crate->SetBox(std::vector<float>{100.00000001f, 100, 100, 110, 110, 110}.data());
    const float tiny[6] = {100.0f + 1e-8f, 100, 100, 110, 110, 110};
    crate->SetBox(tiny);
    DynObjectUpdateGrid(crate);
    crate->GetBoundingBox(stored);
    EXPECT_EQ(stored[0], 100.0f);
    EXPECT_EQ(crate->gridEntry->firstLink, link);

    // 1e-6 is below a float step at 100: move a corner near 0 instead.
    const float atZero[6] = {0, 100, 100, 10, 110, 110};
    crate->SetBox(atZero);
    DynObjectUpdateGrid(crate);
    const float moved[6] = {1e-6f, 100, 100, 10, 110, 110};
    crate->SetBox(moved);
    DynObjectUpdateGrid(crate);
    crate->GetBoundingBox(stored);
    EXPECT_EQ(stored[0], 1e-6f);
    const float barely[6] = {1e-6f, 100, 100, 10, 110, 110 + 1e-8f * 0};
    crate->SetBox(barely);
    const float again[6] = {1e-6f + 1e-8f, 100, 100, 10, 110, 110};
    crate->SetBox(again);
    DynObjectUpdateGrid(crate);
    crate->GetBoundingBox(stored);
    EXPECT_EQ(stored[0], 1e-6f);
}

TEST_F(Registry, TheUpdatePassVisitsNewcomersButNotEntriesMovedIntoPassedSlots)
{
    g_map.bounds[0] = {-500, -20, -500};
    g_map.bounds[1] = {500, 40, 500};
    TestObject* a = Make({0, -50, 0, 1, 1, 1});
    TestObject* b = Make({0, 0, 0, 1, 80, 1});
    TestObject* c = Make({0, 0, 0, 1, 1, 1});
    TestObject* d = Make({0, 0, 0, 1, 1, 1});
    TestObject* newcomer = Make({0, 0, 0, 1, 1, 1});
    for (TestObject* o : {a, b, c, d})
        ASSERT_TRUE(DynObjectAdd(o));
    // b takes a out (d moves into the passed slot 0) and brings the newcomer in.
    b->onUpdate = [&](TestObject*) {
        DynObjectRemove(a);
        DynObjectAdd(newcomer);
        b->onUpdate = nullptr;
    };
    DynObjectsUpdate();
    EXPECT_EQ(a->updates, 1);
    EXPECT_EQ(b->updates, 1);
    EXPECT_EQ(c->updates, 1);
    EXPECT_EQ(d->updates, 0);
    EXPECT_EQ(newcomer->updates, 1);
    // a left the table in the pass: the lowest point is the map's; b raises the highest.
    EXPECT_EQ(DynObjectsLowestPoint(), -50.0f);
    EXPECT_EQ(DynObjectsHighestPoint(), 80.0f);
    DynObjectsUpdate();
    EXPECT_EQ(DynObjectsLowestPoint(), -20.0f);
}

TEST_F(Registry, RestoreReplacedSwapsDestroyedObjectsBackAtFullEnergy)
{
    DynObjectsRestoreReplaced();  // an empty queue: nothing
    TestObject* tower = Make({0, 0, 0, 1, 1, 1});
    TestObject* ruin = Make({0, 0, 0, 1, 1, 1});
    TestObject* unused = Make({0, 0, 0, 1, 1, 1});
    TestObject* unusedOriginal = Make({0, 0, 0, 1, 1, 1});
    tower->destroyedReplacement = ruin;
    ruin->replacedOriginal = tower;
    unused->replacedOriginal = unusedOriginal;  // a replacement that never came into play
    ASSERT_TRUE(DestroyQueueAdd(unused));
    // The destruction's five steps.
    DynObjectAdd(tower);
    DestroyQueueAdd(ruin);
    DynObjectRemove(tower);
    DestroyQueueRemove(ruin);
    DestroyQueueAdd(tower);
    DynObjectAdd(ruin);
    tower->energy = 0.0f;
    ruin->energy = 10.0f;
    tower->name.Assign("Tower");
    EXPECT_EQ(DestroyQueueFind("TOWER"), tower);

    DynObjectsRestoreReplaced();
    EXPECT_EQ(Table(), std::vector<DynamicObject*>{tower});
    EXPECT_EQ(DestroyQueueCount(), 2u);
    EXPECT_EQ(DestroyQueueGet(0), unused);
    EXPECT_EQ(DestroyQueueGet(1), ruin);
    EXPECT_EQ(tower->energy, tower->maxEnergy);
    EXPECT_EQ(ruin->energy, ruin->maxEnergy);
}

TEST_F(Registry, AFullTableRefusesWithAWarningAndTheCallerKeepsTheObject)
{
    std::vector<std::unique_ptr<DynamicObject>> filler;
    for (u32_t i = 0; i < DYN_MAX_OBJECTS; ++i) {
        filler.push_back(std::make_unique<DynamicObject>());
        ASSERT_TRUE(DynObjectAdd(filler.back().get()));
    }
    const size_t logStart = engine_log::LogSize();
    TestObject* late = Make({0, 0, 0, 1, 1, 1});
    late->name.Assign("late");
    InsertToWorld(late);
    EXPECT_EQ(g_map.objectCount, DYN_MAX_OBJECTS);
    EXPECT_EQ(late->shadowVolume, nullptr);
    EXPECT_NE(engine_log::LogFrom(logStart).find("WARNING: Too many objects in the world (4096), 'late' not inserted"),
              std::string::npos);
    // The queue refuses the same way.
    std::vector<std::unique_ptr<DynamicObject>> queued;
    for (u32_t i = 0; i < DYN_MAX_OBJECTS; ++i) {
        queued.push_back(std::make_unique<DynamicObject>());
        ASSERT_TRUE(DestroyQueueAdd(queued.back().get()));
    }
    EXPECT_FALSE(DestroyQueueAdd(late));
    DestroyQueueClear();
    while (g_map.objectCount)
        DynObjectRemove(g_map.objects[0]);
}

TEST_F(Registry, DeleteAllDeletesTableAndQueue)
{
    MakeWorld(1);
    auto* a = new TestObject(std::vector<float>{0, 0, 0, 1, 1, 1}.data());
    auto* b = new TestObject(std::vector<float>{0, 0, 0, 1, 1, 1}.data());
    auto* queued = new TestObject(std::vector<float>{0, 0, 0, 1, 1, 1}.data());
    DynObjectAdd(a);
    DynObjectAdd(b);
    DestroyQueueAdd(queued);
    DynObjectsDeleteAll();
    DestroyQueueDeleteAll();
    EXPECT_EQ(g_map.objectCount, 0u);
    EXPECT_EQ(DestroyQueueCount(), 0u);
    EXPECT_EQ(OctreeGetRoot()->children[0]->linkHead, GRID_LINK_NONE);
}

class VegetationLayers : public Registry {
protected:
    void TearDown() override
    {
        MapFreeGrids();
        Registry::TearDown();
    }
    // A grid of one value, allocated as the caches free it.
    static MapGrid* Grid(u32_t size, u8_t value)
    {
        auto* grid = static_cast<MapGrid*>(std::malloc(sizeof(MapGrid)));
        grid->data = static_cast<u8_t*>(std::malloc(size_t(size) * size));
        grid->size = size;
        std::memset(grid->data, value, size_t(size) * size);
        return grid;
    }
};

TEST_F(VegetationLayers, EqualDensitiesGiveTheLowerLayerAndASideOfOneIsOneCell)
{
    g_map.bounds[0] = {-500, 0, -500};
    g_map.bounds[1] = {500, 10, 500};
    const float point[3] = {100, 0, 100};
    EXPECT_EQ(MapVegetationLayerAt(point), 0u);
    MapSetVegetationLayerGrid(2, Grid(4, 10));
    MapSetVegetationLayerGrid(3, Grid(4, 90));
    MapSetVegetationLayerGrid(5, Grid(4, 90));
    EXPECT_EQ(MapVegetationLayerAt(point), 3u);
    MapSetVegetationLayerGrid(7, Grid(1, 200));
    EXPECT_EQ(MapVegetationLayerAt(point), 7u);
    const float edge[3] = {-500, 0, 500};  // v gives row n, reduced
    EXPECT_EQ(MapVegetationLayerAt(edge), 7u);
}

TEST_F(Registry, OffsetByWorldMovesByTheWorldSizeOfANonSquareLand)
{
    // A land 1000 wide on x and 600 deep: the root, and so the world size, is 1000 on a side.
    OctreeCreateRoot({-500, -50, -300}, {500, 50, 300});
    g_map.bounds[0] = {-500, -50, -300};
    g_map.bounds[1] = {500, 50, 300};
    float p[3] = {10, 5, 20};
    MapOffsetByWorld(p, 1, -2);
    EXPECT_EQ(p[0], 1010.0f);
    EXPECT_EQ(p[1], 5.0f);
    EXPECT_EQ(p[2], -1980.0f);
}

}  // namespace
