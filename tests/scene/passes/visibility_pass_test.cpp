// The visibility pass over the 25 world tiles on synthetic octrees: which leaf copies each tile
// draws (seen through the wireframe overlay, one draw per listed leaf), against every copy of every
// leaf that lies in the camera's frustum; the occluder lists, the list limit, the stamps and what
// the pass leaves behind.
#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <set>
#include <tuple>
#include <vector>

#include "core/console/console.h"
#include "game/game_cvars.h"
#include "map/map_cvars.h"
#include "map/terrain/map_state.h"
#include "map/octree/object_grid.h"
#include "map/land_maps/occluders.h"
#include "map/registry/world_registry.h"
#include "map/terrain/world_tiles.h"
#include "platform/test_clock.h"
#include "render/camera.h"
#include "render/draw2d/debug_primitives.h"
#include "render/render_cvars.h"
#include "map/terrain/static_map_buffers.h"
#include "render/land/visible_nodes.h"
#include "scene/scene_state.h"
#include "map/terrain/terrain_height.h"
#include "scene/passes/visibility_pass.h"
#include "support/files.h"
#include "support/map_octree_support.h"
#include "support/temp_dir.h"
#include "support/render_test_support.h"
#include "tests/scene/placed_object_fixture.h"
#include "tests/scene/scene_fixture.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

using scene_test::DrawLog;
using scene_test::DrawState;
using scene_test::RegisterOverBox;
using scene_test::SavedVars;

namespace {

constexpr float kSize = 1024.0f;
constexpr float kHalf = kSize / 2.0f;
constexpr float kFov = 1.2f;

// A drawn copy of a leaf: the leaf's place in the leaf table and the world tile it stands in.
using Copy = std::tuple<int, int, int>;

class VisibilityPass : public render_test::RenderCore {
protected:
    void SetUp() override
    {
        render_test::RenderCore::SetUp();
        ConStartup();
        // The far plane (mfrange x 10) stays within one and a half tiles: the 25 tiles hold every
        // copy the camera can see.
        mfrange.SetFloat(100.0f);
        rbtexunits.SetInt(2);
        rbwireframe.SetBool(true);
        rbshowboxes.SetBool(false);
        gbthirdperson.SetBool(false);
    }
    void TearDown() override
    {
        PlatformTestClockStop();
        for (GraphObj* object : m_objects)
            DynObjectRemove(object);
        OccludersFree();
        g_visible.nodeCount = 0;
        g_visible.objectCount = 0;
        g_scene.mainView = 1;
        RenderSetCameraWrap(0);
        OctreeDestroy();
        DebugListsFree();
        ConShutdown();
        render_test::RenderCore::TearDown();
    }

    // A cube of side kSize round the origin split splits times; every leaf in the lower half (every
    // leaf with allFaces) holds a quad near its bottom over its whole x, z extent.
    void BuildTree(int splits, bool allFaces = false)
    {
        OctreeNode* root = OctreeCreateRoot({-kHalf, -kHalf, -kHalf}, {kHalf, kHalf, kHalf});
        std::vector<OctreeNode*> level{root};
        for (int s = 0; s < splits; ++s) {
            std::vector<OctreeNode*> next;
            for (OctreeNode* node : level) {
                map_test::Split(node);
                next.insert(next.end(), node->children, node->children + 8);
            }
            level = next;
        }
        m_leaves = map_test::Leaves();
        for (OctreeNode* leaf : m_leaves) {
            if (allFaces || leaf->boxMax.y <= 0.0f)
                map_test::FillGrid(leaf->geometry, leaf->boxMin.x, leaf->boxMax.x, leaf->boxMin.z, leaf->boxMax.z,
                                   leaf->boxMin.y + 1.0f, 1, 1);
        }
        ASSERT_TRUE(RenderBuildStaticBuffers());
        m_byFirstIndex.clear();
        for (size_t i = 0; i < m_leaves.size(); ++i) {
            if (m_leaves[i]->geometry.faceCount)
                m_byFirstIndex[m_leaves[i]->firstIndex] = int(i);
        }
    }

    // The leaf copies the pass draws.
    std::set<Copy> Pass(float x, float y, float z, float yaw, float pitch, std::vector<DrawState>* draws = nullptr)
    {
        EXPECT_EQ(RenderBeginFrame(), 0);
        std::set<Copy> copies;
        {
            DrawLog log(Device());
            RenderVisibilityPass(x, y, z, yaw, pitch, 0.0f, kFov);
            for (const DrawState& draw : log.Draws()) {
                const auto leaf = m_byFirstIndex.find(draw.start);
                if (leaf != m_byFirstIndex.end())
                    copies.insert({leaf->second, draw.cell[0], draw.cell[1]});
            }
            if (draws)
                *draws = log.Draws();
        }
        RenderEndFrame(false);
        return copies;
    }

    // Every copy of every leaf with faces (of those given; all when empty) that the frustum of the
    // camera now set up reaches: a corner in front of every plane.
    std::set<Copy> Expected(const std::set<int>& only = {}) const
    {
        std::set<Copy> copies;
        for (size_t i = 0; i < m_leaves.size(); ++i) {
            const OctreeNode* leaf = m_leaves[i];
            if (!leaf->geometry.faceCount || (!only.empty() && !only.count(int(i))))
                continue;
            for (int tz = -4; tz <= 4; ++tz) {
                for (int tx = -4; tx <= 4; ++tx) {
                    const float box[6] = {leaf->boxMin.x + tx * kSize, leaf->boxMin.y, leaf->boxMin.z + tz * kSize,
                                          leaf->boxMax.x + tx * kSize, leaf->boxMax.y, leaf->boxMax.z + tz * kSize};
                    if (InFrustum(box))
                        copies.insert({int(i), tx, tz});
                }
            }
        }
        return copies;
    }

    static bool InFrustum(const float* box)
    {
        for (const D3DXPLANE& plane : g_camera.frustumPlanes) {
            bool front = false;
            for (int corner = 0; corner < 8 && !front; ++corner) {
                const float x = box[(corner & 1) ? 3 : 0], y = box[(corner & 2) ? 4 : 1], z = box[(corner & 4) ? 5 : 2];
                front = plane.a * x + plane.b * y + plane.c * z + plane.d >= 0.0f;
            }
            if (!front)
                return false;
        }
        return true;
    }

    // The occluder lists of the map as the map load reads them from the mission's "map.ocl": the
    // list of cell (row, column) for every tile is listOf(column).
    void SetOccluders(u32_t resolution, const std::function<std::vector<u16_t>(u32_t column)>& listOf)
    {
        std::string bytes;
        auto put = [&bytes](u32_t value, int size) {
            for (int i = 0; i < size; ++i)
                bytes.push_back(char((value >> (8 * i)) & 0xFF));
        };
        put(u32_t(m_leaves.size()), 4);
        put(resolution, 4);
        for (u32_t cell = 0; cell < resolution * resolution; ++cell) {
            const std::vector<u16_t> list = listOf(cell % resolution);
            for (u32_t k = 0; k < OCCLUDER_TILE_LISTS; ++k) {
                put(u32_t(list.size()), 2);
                for (u16_t entry : list)
                    put(entry, 2);
            }
        }
        ASSERT_TRUE(WriteFileBytes("mission/map.ocl", bytes));
        mioccres.SetInt(s32_t(resolution));
        OccludersLoadOrBuild("mission", "land");
        u32_t loaded = 0;
        u16_t** grid = nullptr;
        MapGetOccluderGrid(&loaded, &grid);
        ASSERT_EQ(loaded, resolution);
    }

    int LeafAt(float x, float z) const
    {
        for (size_t i = 0; i < m_leaves.size(); ++i) {
            const OctreeNode* leaf = m_leaves[i];
            if (leaf->geometry.faceCount && x >= leaf->boxMin.x && x < leaf->boxMax.x && z >= leaf->boxMin.z &&
                z < leaf->boxMax.z)
                return int(i);
        }
        return -1;
    }

    // A placed thing's grid entry (no owner, so no distance rule) linked with the box.
    ObjectGridEntry* LinkEntry(const float* box)
    {
        m_entries.emplace_back(ObjectGridEntryCreate(OBJECT_GRID_MAP_MESH, nullptr));
        ObjectGridLink(m_entries.back().get(), box);
        return m_entries.back().get();
    }

    // A graphic object in the world table whose grid entry holds the box.
    GraphObj* AddObject(s32_t type, const float* box)
    {
        m_ownedObjects.push_back(std::make_unique<GraphObj>());
        GraphObj* object = m_ownedObjects.back().get();
        object->typeId = type;
        RegisterOverBox(object, box);
        m_objects.push_back(object);
        return object;
    }

    static size_t TimesListed(const ObjectGridEntry* entry)
    {
        return size_t(std::count(g_visible.objects, g_visible.objects + g_visible.objectCount, entry));
    }

    std::vector<OctreeNode*> m_leaves;
    std::map<UINT, int> m_byFirstIndex;
    std::vector<std::unique_ptr<ObjectGridEntry>> m_entries;
    std::vector<std::unique_ptr<GraphObj>> m_ownedObjects;
    std::vector<GraphObj*> m_objects;
    TempDir m_folder;
    SavedVars m_saved{&mfrange, &rbtexunits, &rbwireframe, &rbshowboxes, &gbthirdperson, &mioccres};
};

TEST_F(VisibilityPass, TilesCoverEveryCopyInTheFrustum)
{
    BuildTree(2);
    struct Case {
        const char* name;
        float x, y, z, yaw, pitch;
    };
    const Case cases[] = {
        {"tile centre, looking along x", 0.0f, 10.0f, 0.0f, D3DX_PI / 2.0f, 0.0f},
        {"tile centre, looking back", 0.0f, 10.0f, 0.0f, -2.5f, 0.1f},
        {"border at -size/2", -kHalf, 10.0f, 100.0f, 0.7f, 0.0f},
        {"border at +size/2", kHalf, 10.0f, 100.0f, 0.7f, 0.0f},
        {"border on both axes, three tiles away", 3.0f * kSize + kHalf, 10.0f, -kHalf, -0.8f, 0.0f},
        {"high above, looking down", 200.0f, 900.0f, -300.0f, 0.0f, D3DX_PI / 2.0f - 0.3f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::set<Copy> drawn = Pass(c.x, c.y, c.z, c.yaw, c.pitch);
        EXPECT_FALSE(drawn.empty());
        EXPECT_EQ(drawn, Expected());
        // The camera is back where it was given, with the world transform at identity.
        EXPECT_EQ(g_camera.position.x, c.x);
        EXPECT_EQ(g_camera.position.z, c.z);
        D3DMATRIX world;
        Device()->GetTransform(D3DTS_WORLD, &world);
        EXPECT_EQ(world._41, 0.0f);
        EXPECT_EQ(world._43, 0.0f);
        EXPECT_EQ(std::vector<float>(RenderGetVisibilityEye(), RenderGetVisibilityEye() + 3),
                  (std::vector<float>{c.x, c.y, c.z}));
    }
}

TEST_F(VisibilityPass, OccluderListsLimitTheDrawnLeavesNearTheGround)
{
    BuildTree(2);
    const int a = LeafAt(100.0f, 100.0f), b = LeafAt(-100.0f, 300.0f);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    // Every cell sees leaves a and b of every tile.
    SetOccluders(8, [&](u32_t) { return std::vector<u16_t>{u16_t(a), u16_t(b)}; });
    struct Case {
        const char* name;
        float y;
        bool occluded;
    };
    const Case cases[] = {{"near the ground", 10.0f, true}, {"more than 80 above it", 81.0f, false}};
    const float ground = MapTerrainHeight(0.0f, 0.0f, nullptr, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::set<Copy> drawn = Pass(0.0f, ground + c.y, 0.0f, 0.3f, 0.0f);
        EXPECT_EQ(drawn, c.occluded ? Expected({a, b}) : Expected());
        EXPECT_FALSE(drawn.empty());
        for (const OctreeNode* leaf : m_leaves)
            EXPECT_EQ(leaf->flags & OCTREE_NODE_FULL_VISIBILITY, 0u);
    }
}

TEST_F(VisibilityPass, OccluderCellOfAPositionRoundedOntoTheFarBorderIsTheLastCell)
{
    BuildTree(2);
    // At -size/2 the position wraps to +size/2 of tile -1, whose cell number is the resolution.
    const float x = -kHalf;
    const u32_t resolution = 32;
    const float y = MapTerrainHeight(x, 0.0f, nullptr, nullptr) + 10.0f;  // near the ground
    const float position[3] = {x, y, 0.0f};
    float local[3];
    s32_t tile[2];
    MapPosToCell(position, kSize, local, tile);
    ASSERT_EQ(tile[0], -1);
    ASSERT_GE((local[0] + kHalf) / kSize * float(resolution), float(resolution));
    // Only the cells of the last column list a leaf; any other cell lists none.
    const int a = LeafAt(kHalf - 100.0f, 0.0f);
    ASSERT_GE(a, 0);
    SetOccluders(resolution, [&](u32_t column) {
        return column == resolution - 1 ? std::vector<u16_t>{u16_t(a)} : std::vector<u16_t>{};
    });
    const std::set<Copy> drawn = Pass(x, y, 0.0f, -D3DX_PI / 2.0f, 0.0f);
    EXPECT_FALSE(drawn.empty());
    EXPECT_EQ(drawn, Expected({a}));
}

TEST_F(VisibilityPass, OccluderNumbersNameLeavesByTheirLow12BitsAndThosePastTheLeafTableAreSkipped)
{
    BuildTree(2);
    const int a = LeafAt(100.0f, 100.0f), b = LeafAt(-100.0f, 300.0f);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    const u32_t resolution = 4;
    SetOccluders(resolution, [&](u32_t) { return std::vector<u16_t>{u16_t(a), u16_t(b)}; });
    // The loader takes only lists that name leaves of the table: these numbers come in afterwards.
    u32_t loaded = 0;
    u16_t** grid = nullptr;
    MapGetOccluderGrid(&loaded, &grid);
    for (u32_t list = 0; list < resolution * resolution * OCCLUDER_TILE_LISTS; ++list) {
        grid[list][0] = u16_t(0x3000 | a);
        grid[list][1] = u16_t(0x0FFE);
    }
    const float ground = MapTerrainHeight(0.0f, 0.0f, nullptr, nullptr);
    const std::set<Copy> drawn = Pass(0.0f, ground + 10.0f, 0.0f, 0.3f, 0.0f);
    EXPECT_FALSE(drawn.empty());
    EXPECT_EQ(drawn, Expected({a}));
    for (const OctreeNode* leaf : m_leaves)
        EXPECT_EQ(leaf->flags & OCTREE_NODE_FULL_VISIBILITY, 0u);
}

TEST_F(VisibilityPass, ATileListsAtMost1024Leaves)
{
    BuildTree(4, true);  // 4096 leaves
    mfrange.SetFloat(400.0f);
    std::vector<DrawState> draws;
    Pass(0.0f, 2000.0f, 0.0f, 0.0f, D3DX_PI / 2.0f, &draws);
    std::map<std::pair<int, int>, int> perTile;
    for (const DrawState& draw : draws) {
        if (m_byFirstIndex.count(draw.start))
            ++perTile[{draw.cell[0], draw.cell[1]}];
    }
    ASSERT_TRUE(perTile.count({0, 0}));
    int largest = 0;
    for (const auto& tile : perTile)
        largest = std::max(largest, tile.second);
    // The tile under the camera sees more than the list holds; the 1025th leaf is left out.
    EXPECT_EQ(largest, 1024);
    EXPECT_EQ(g_visible.nodeCount <= kMaxVisibleNodes, true);
}

TEST_F(VisibilityPass, PassStateBeforeAndAfter)
{
    BuildTree(1);
    const u32_t mark = g_map.octreeVisitMark;
    g_visible.objectCount = 7;

    // The main view stores its camera; a secondary view (flag cleared) leaves it alone.
    g_scene.mainView = 1;
    Pass(10.0f, 20.0f, 30.0f, 0.5f, 0.25f);
    EXPECT_EQ(g_map.octreeVisitMark, mark + 1);
    EXPECT_EQ(g_visible.objectCount, 0u);
    const ViewCamera stored = g_scene.mainViewCamera;
    EXPECT_EQ(stored.position[0], 10.0f);
    EXPECT_EQ(stored.position[2], 30.0f);
    EXPECT_EQ(stored.angles[0], 0.5f);
    EXPECT_EQ(stored.angles[1], 0.25f);
    EXPECT_EQ(stored.fov, kFov);
    g_scene.mainView = 0;
    Pass(-400.0f, 50.0f, 60.0f, 1.0f, 0.0f);
    EXPECT_EQ(g_scene.mainViewCamera.position[0], 10.0f);
    EXPECT_EQ(g_scene.mainViewCamera.angles[0], 0.5f);
    EXPECT_EQ(g_map.octreeVisitMark, mark + 2);

    // The count of object tests on console 1, replacing its newest line.
    const int lines = ConLineCapacity(1);
    EXPECT_STREQ(ConLines(1)[lines - 1], "tests_per_frame: 0\n");

    // With the third-person view on, camera wrapping is off after the pass, whatever it was before.
    gbthirdperson.SetBool(true);
    RenderSetCameraWrap(1);
    Pass(0.0f, 20.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(g_camera.wrapToWorld, 0);
}

TEST_F(VisibilityPass, ThePassListsAtMost4096ObjectsAndLeavesTheNextOneUnstamped)
{
    BuildTree(1);
    // Every box lies in front of the camera over two leaves (x below and above 0) of the base tile.
    const float box[6] = {-50.0f, -100.0f, 200.0f, 50.0f, -10.0f, 300.0f};
    for (u32_t i = 0; i <= kMaxVisibleObjects; ++i)
        LinkEntry(box);
    Pass(0.0f, 10.0f, 0.0f, 0.0f, 0.0f);
    ASSERT_EQ(g_visible.objectCount, kMaxVisibleObjects);
    EXPECT_EQ(std::set<ObjectGridEntry*>(g_visible.objects, g_visible.objects + kMaxVisibleObjects).size(),
              size_t(kMaxVisibleObjects));
    std::vector<ObjectGridEntry*> unstamped;
    for (const auto& entry : m_entries) {
        if (entry->visitStamp != g_map.octreeVisitMark)
            unstamped.push_back(entry.get());
    }
    ASSERT_EQ(unstamped.size(), 1u);
    EXPECT_EQ(TimesListed(unstamped[0]), 0u);
    // The stamped entries are tested once; the one without room is tested again in the second leaf.
    const int lines = ConLineCapacity(1);
    EXPECT_EQ(std::string(ConLines(1)[lines - 1]), "tests_per_frame: " + std::to_string(kMaxVisibleObjects + 2) + "\n");

    // With room again, the next pass takes it.
    ObjectGridUnlink(g_visible.objects[0]);
    Pass(0.0f, 10.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(g_visible.objectCount, kMaxVisibleObjects);
    EXPECT_EQ(TimesListed(unstamped[0]), 1u);
    EXPECT_EQ(unstamped[0]->visitStamp, g_map.octreeVisitMark);
}

TEST_F(VisibilityPass, AnObjectLinkedOverSeveralTilesIsListedOnce)
{
    BuildTree(2);
    struct Case {
        const char* name;
        float box[6];
        float x, z;  // the camera, looking along +z
        s8_t tileRect[4];
    };
    const Case cases[] = {
        {"across the border at +size/2", {kHalf - 30, -100, 200, kHalf + 30, -10, 260}, kHalf - 100, 0, {0, 0, 1, 0}},
        {"over a corner of four tiles",
         {kHalf - 30, -100, kHalf - 30, kHalf + 30, -10, kHalf + 30},
         kHalf - 100,
         kHalf - 300,
         {0, 0, 1, 1}},
        {"across the border at -size/2, two tiles away",
         {-kHalf - 2 * kSize - 30, -100, 200, -kHalf - 2 * kSize + 30, -10, 260},
         -kHalf - 2 * kSize + 100,
         0,
         {-3, 0, -2, 0}},
        {"over four leaves of one tile", {-30, -100, 200, 30, -10, 300}, 0, 0, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ObjectGridEntry* entry = LinkEntry(c.box);
        EXPECT_EQ(std::vector<s8_t>(entry->tileRect, entry->tileRect + 4),
                  std::vector<s8_t>(c.tileRect, c.tileRect + 4));
        u32_t links = 0;
        for (u32_t link = entry->firstLink; link != GRID_LINK_NONE; link = g_map.gridLinks[link].entryNext)
            ++links;
        EXPECT_GT(links, 1u);
        Pass(c.x, 10.0f, c.z, 0.0f, 0.0f);
        EXPECT_EQ(TimesListed(entry), 1u);
        EXPECT_EQ(entry->visitStamp, g_map.octreeVisitMark);
        ObjectGridUnlink(entry);
    }
}

TEST_F(VisibilityPass, PreparingTheVisibleObjectsStampsTheirNodesAndMeasuresTheListedOnes)
{
    BuildTree(1);
    PlatformTestClockStart(1000);
    const float inView[6] = {-20.0f, -60.0f, 180.0f, 20.0f, -20.0f, 220.0f};
    const float behind[6] = {-20.0f, -60.0f, -220.0f, 20.0f, -20.0f, -180.0f};
    GraphObj* structure = AddObject(OBJECT_TYPE_STRUCTURE, inView);
    GraphObj* plain = AddObject(OBJECT_TYPE_GRAPHIC, inView);
    GraphObj* root = AddObject(OBJECT_TYPE_ROOT, inView);
    GraphObj* tree = AddObject(OBJECT_TYPE_TREE, behind);
    for (GraphObj* object : m_objects) {
        object->GetRootNode()->stampTick = 7;
        object->viewDistance = -1.0f;
    }
    Pass(0.0f, 10.0f, 0.0f, 0.0f, 0.0f);
    ASSERT_EQ(g_visible.objectCount, 3u);
    PlatformTestClockAdvance(500);
    RenderPrepareVisibleObjects();
    PlatformTestClockStop();

    struct Expect {
        const char* name;
        const GraphObj* object;
        bool stamped, measured;
    };
    const Expect expects[] = {
        {"structure in view", structure, true, true},
        {"plain graphic object in view", plain, false, true},
        {"root class in view", root, false, true},
        {"tree behind the camera", tree, true, false},
    };
    for (const Expect& e : expects) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(e.object->GetRootNode()->stampTick, e.stamped ? 1500u : 7u);
        if (e.measured)
            EXPECT_GT(e.object->viewDistance, 0.0f);
        else
            EXPECT_EQ(e.object->viewDistance, -1.0f);
    }
}

}  // namespace
