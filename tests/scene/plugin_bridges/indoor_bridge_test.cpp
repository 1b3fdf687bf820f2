// The indoor-rendering bridge, without an indoor plug-in (nothing is indoors) and with the indoor
// test plug-in: structures attach and release their links, the camera's cell is claimed and walked,
// traces and near-point queries reach the plug-in, the portal's leaves and objects are collected
// per world tile, and the plug-in's mesh shows on the indoor road of the frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

#include "actors/actor.h"
#include "actors/weapons/projectile.h"
#include "actors/weapons/weapon.h"
#include "core/console/console.h"
#include "core/plugins/plugin_host.h"
#include "game/game_cvars.h"
#include "map/map_cvars.h"
#include "map/terrain/map_state.h"
#include "map/trace/map_trace.h"
#include "map/octree/object_grid.h"
#include "map/registry/world_registry.h"
#include "platform/win32.h"
#include "render/camera.h"
#include "render/land/map_chunks.h"
#include "render/render_cvars.h"
#include "map/terrain/static_map_buffers.h"
#include "render/textures/texture_manager.h"
#include "render/land/visible_nodes.h"
#include "scene/draw_records/draw_records.h"
#include "scene/plugin_bridges/indoor_bridge.h"
#include "scene/plugin_bridges/indoor_link.h"
#include "scene/plugin_bridges/indoor_objects.h"
#include "scene/scene_state.h"
#include "scene/passes/visibility_pass.h"
#include "support/map_octree_support.h"
#include "tests/plugins/indoor_plugin/indoor_plugin_state.h"
#include "support/render_test_support.h"
#include "tests/render/texture_test_support.h"
#include "tests/scene/placed_object_fixture.h"
#include "tests/scene/scene_fixture.h"
#include "tools/aff_make/aff_writer.h"
#include "world/animation/anim_cache.h"
#include "world/scene_view.h"
#include "world/objects/structure.h"

using scene_test::RegisterOverBox;
using scene_test::SavedVars;

namespace {

constexpr float kSize = 1024.0f;
constexpr float kHalf = kSize / 2.0f;
constexpr float kFov = 1.2f;

class IndoorBridge : public render_test::RenderCore {
protected:
    void SetUp() override
    {
        render_test::RenderCore::SetUp();
        ConStartup();
        mfrange.SetFloat(100.0f);
        rbtexunits.SetInt(2);
        gbthirdperson.SetBool(false);
        IndoorMissionUnloaded();
    }
    void TearDown() override
    {
        for (GraphObj* object : m_objects)
            DynObjectRemove(object);
        m_objects.clear();
        m_owned.clear();  // releases the links while the plug-in is still there
        IndoorMissionUnloaded();
        g_pluginHost.Clear();
        g_visible.nodeCount = 0;
        g_visible.objectCount = 0;
        RenderResetVisibleObjects();
        g_sceneView.indoorPassRunning = false;
        g_scene.indoorClip = {};
        g_indoorClipTile = {};
        DrawRecordsClear();
        DrawRecordListFree();
        OctreeDestroy();
        AnimCacheFreeAll();
        TexturesReleaseAll();
        ConShutdown();
        render_test::RenderCore::TearDown();
    }

    void LoadPlugin()
    {
        RegisterHostInterface(g_pluginHost);
        PluginRecord* record = g_pluginHost.LoadPluginFile(ZINTAR_TEST_PLUGIN_DIR, "indoor_test.plg");
        ASSERT_NE(record, nullptr);
        ASSERT_FALSE(record->IsStopped());
        auto get = reinterpret_cast<IndoorPluginStateFn>(
            GetProcAddress(static_cast<HMODULE>(record->Module()), "IndoorPluginGetState"));
        ASSERT_NE(get, nullptr);
        m_state = get();
        std::memset(m_state, 0, sizeof *m_state);
    }

    // A cube of side kSize round the origin split once; the four lower leaves hold a quad each.
    void BuildTree()
    {
        OctreeNode* root = OctreeCreateRoot({-kHalf, -kHalf, -kHalf}, {kHalf, kHalf, kHalf});
        map_test::Split(root);
        m_leaves = map_test::Leaves();
        for (OctreeNode* leaf : m_leaves) {
            if (leaf->boxMax.y <= 0.0f)
                map_test::FillGrid(leaf->geometry, leaf->boxMin.x, leaf->boxMax.x, leaf->boxMin.z, leaf->boxMax.z,
                                   leaf->boxMin.y + 1.0f, 1, 1);
        }
        ASSERT_TRUE(RenderBuildStaticBuffers());
    }

    // A structure with an indoor mesh name whose grid entry holds the box.
    Structure* AddStructure(const float* box, const char* indoorName = "house")
    {
        m_owned.push_back(std::make_unique<Structure>());
        Structure* structure = static_cast<Structure*>(m_owned.back().get());
        structure->indoorName.Assign(indoorName);
        RegisterOverBox(structure, box);
        m_objects.push_back(structure);
        return structure;
    }
    GraphObj* AddObject(const float* box)
    {
        m_owned.push_back(std::make_unique<GraphObj>());
        GraphObj* object = m_owned.back().get();
        object->typeId = OBJECT_TYPE_MAP_OBJECT;
        RegisterOverBox(object, box);
        m_objects.push_back(object);
        return object;
    }
    static bool Listed(const GraphObj* object)
    {
        return std::count(g_visible.objects, g_visible.objects + g_visible.objectCount, object->GetGridEntry()) == 1;
    }

    IndoorPluginState* m_state = nullptr;
    std::vector<OctreeNode*> m_leaves;
    std::vector<std::unique_ptr<GraphObj>> m_owned;
    std::vector<GraphObj*> m_objects;
    SavedVars m_saved{&mfrange, &rbtexunits, &gbthirdperson};
};

constexpr float kHouse[6] = {-40.0f, -100.0f, -40.0f, 40.0f, 40.0f, 40.0f};

TEST_F(IndoorBridge, WithoutAnIndoorPluginNothingIsIndoors)
{
    BuildTree();
    Structure* house = AddStructure(kHouse);
    IndoorMissionLoaded();
    ASSERT_NE(house->indoorLink, nullptr);
    EXPECT_EQ(house->indoorLink->handle, 0u);
    const float eye[3] = {0.0f, 10.0f, 0.0f};
    EXPECT_FALSE(IndoorCameraLocate(eye));
    IndoorPosition position = {0, 0};
    const float far[3] = {100.0f, 10.0f, 0.0f};
    EXPECT_FALSE(IndoorLocatePoint(eye, far, &position));
    EXPECT_EQ(position.object, 0u);
    EXPECT_EQ(position.cell, 0u);
    MapTraceInfo hit;
    hit.fraction = 0.25f;
    EXPECT_EQ(WorldTraceIndoor(eye, far, &hit), 0);
    IndoorPosition inside = {reinterpret_cast<PluginWord>(house), 3};
    EXPECT_EQ(WorldTraceIndoor(eye, far, &hit, &inside), 0);
    EXPECT_EQ(hit.fraction, 0.25f);
    EXPECT_EQ(IndoorQueryNearPoint(eye, 4.5f), 0u);
    // No answer: the indoor road finds no cell, so the frame stays outdoors.
    IndoorRender();
    EXPECT_EQ(g_visible.nodeCount, 0u);
}

// A soldier's shot carries the indoor object and cell of its fire point, found along the way from
// the soldier to it; the soldier's own two words stay as they were.
TEST_F(IndoorBridge, AShotTakesTheIndoorCellOfItsFirePoint)
{
    LoadPlugin();
    BuildTree();
    m_state->attachHandle = 0x5150;
    m_state->claimCell = 7;
    Structure* house = AddStructure(kHouse);
    IndoorMissionLoaded();
    Actor* soldier = new Actor();
    Weapon* gun = new Weapon();
    gun->bulletTemplate = new Projectile();
    gun->bulletTemplate->name.Assign("slug");
    gun->SetOwner(soldier);
    gun->roundsInGun = 5;
    soldier->weapons[0] = gun;
    soldier->weaponOwned[0] = true;
    soldier->weaponCount = 1;
    soldier->selectedSlot = 0;
    soldier->SetPosition({0.0f, 0.0f, 0.0f});  // in the house; the eye 17 above, too
    ASSERT_TRUE(soldier->FireAt(0.0f, 0.0f, false, true));
    DynamicObject** objects = nullptr;
    s32_t count = 0;
    DynObjectsGet(&objects, &count);
    ASSERT_GT(count, 0);
    Projectile* shot = static_cast<Projectile*>(objects[count - 1]);
    ASSERT_EQ(shot->typeId, OBJECT_TYPE_PROJECTILE);
    EXPECT_EQ(shot->indoorObject, static_cast<void*>(house));
    EXPECT_EQ(shot->indoorCell, 7);
    EXPECT_EQ(soldier->indoorObject, nullptr);
    EXPECT_EQ(soldier->indoorCell, 0);
    DynObjectRemove(shot);
    delete soldier;
    delete shot;
}

TEST_F(IndoorBridge, ThePluginClaimsTheCameraCellAndAnswersTracesAndQueries)
{
    LoadPlugin();
    BuildTree();
    m_state->attachHandle = 0x5150;
    m_state->claimCell = 7;
    m_state->nearResult = 0x99;
    Structure* house = AddStructure(kHouse);
    const float elsewhere[6] = {300.0f, -100.0f, 300.0f, 340.0f, 40.0f, 340.0f};
    Structure* shed = AddStructure(elsewhere);
    IndoorMissionLoaded();
    EXPECT_EQ(m_state->events[0], 1);
    EXPECT_EQ(m_state->events[2], 2);
    EXPECT_EQ(house->indoorLink->handle, 0x5150u);

    const float eye[3] = {0.0f, 10.0f, 0.0f};
    EXPECT_EQ(IndoorQueryNearPoint(eye, 4.5f), 0u);  // not indoors yet
    ASSERT_TRUE(IndoorCameraLocate(eye));
    EXPECT_EQ(m_state->lastOffered, reinterpret_cast<PluginWord>(house));  // the shed's box is not crossed
    EXPECT_EQ(IndoorCameraPosition()->object, reinterpret_cast<PluginWord>(house));
    EXPECT_EQ(IndoorCameraPosition()->cell, 7u);
    EXPECT_EQ(IndoorQueryNearPoint(eye, 4.5f), 0x99u);
    // Standing still asks nothing; moving walks from the cell.
    EXPECT_TRUE(IndoorCameraLocate(eye));
    EXPECT_EQ(m_state->events[6], 0);
    const float step[3] = {1.0f, 10.0f, 0.0f};
    EXPECT_TRUE(IndoorCameraLocate(step));
    EXPECT_EQ(m_state->events[6], 1);

    // Traces: inside the known mesh, or through every structure whose box the segment crosses.
    m_state->traceHits = 1;
    const float from[3] = {-100.0f, 0.0f, 0.0f}, to[3] = {100.0f, 0.0f, 0.0f};
    MapTraceInfo hit;
    hit.hitObject = nullptr;
    EXPECT_EQ(WorldTraceIndoor(from, to, &hit), 1);
    EXPECT_EQ(hit.fraction, 0.5f);
    EXPECT_EQ(hit.hitPoint.x, 0.0f);
    EXPECT_EQ(hit.hitObject, house);
    const float missFrom[3] = {-100.0f, 0.0f, 200.0f}, missTo[3] = {100.0f, 0.0f, 200.0f};
    EXPECT_EQ(WorldTraceIndoor(missFrom, missTo, &hit), 0);
    EXPECT_EQ(WorldTraceIndoor(missFrom, missTo, &hit, IndoorCameraPosition()), 1);

    m_state->leaveOnWalk = 1;
    EXPECT_FALSE(IndoorCameraLocate(eye));
    EXPECT_EQ(IndoorCameraPosition()->cell, 0u);

    // Destroying a structure releases its link with the plug-in's handle.
    DynObjectRemove(shed);
    m_objects.erase(std::find(m_objects.begin(), m_objects.end(), shed));
    m_owned.erase(std::find_if(m_owned.begin(), m_owned.end(), [&](auto& o) { return o.get() == shed; }));
    EXPECT_EQ(m_state->events[10], 1);
    EXPECT_EQ(m_state->releasedHandle, 0x5150u);
    EXPECT_EQ(IndoorLinkCount(), 1u);
}

// A graphic object that tells when it is deleted.
class Marked : public GraphObj {
public:
    explicit Marked(bool* deleted) : m_deleted(deleted) {}
    ~Marked() override { *m_deleted = true; }

private:
    bool* m_deleted;
};

// An object at rest inside an indoor mesh goes to the plug-in with its record: kept, the bridge holds
// it until it is taken back or the mission is left (which deletes it); refused or outdoors, the
// caller keeps it in the world.
TEST_F(IndoorBridge, AnObjectAtRestIndoorsGoesToThePluginWithItsRecord)
{
    LoadPlugin();
    BuildTree();
    m_state->claimCell = 7;
    m_state->traceHits = 1;
    Structure* house = AddStructure(kHouse);
    IndoorMissionLoaded();
    // The trace down into the house tells where the object lies: the house and the cell of the hit.
    const float above[3] = {3.0f, 30.0f, 1.0f}, below[3] = {3.0f, -30.0f, 1.0f};
    MapTraceInfo hit;
    IndoorPosition where = {0, 0};
    ASSERT_EQ(WorldTraceIndoor(above, below, &hit, &where), 1);
    EXPECT_EQ(where.object, reinterpret_cast<PluginWord>(house));
    EXPECT_EQ(where.cell, 7u);

    bool deleted = false;
    auto* item = new Marked(&deleted);
    item->SetPosition({3.0f, 2.0f, 1.0f});
    const auto word = [](const void* p) { return reinterpret_cast<PluginWord>(p); };
    // Outdoors nothing is handed over.
    EXPECT_EQ(IndoorObjectAdd(item, IndoorPosition{0, 0}), nullptr);
    EXPECT_EQ(m_state->events[9], 0);
    // Refused: no record is kept.
    EXPECT_EQ(IndoorObjectAdd(item, where), nullptr);
    EXPECT_EQ(m_state->events[9], 1);
    EXPECT_EQ(IndoorObjectCount(), 0u);
    EXPECT_EQ(m_state->added.object, word(item));
    EXPECT_EQ(m_state->added.node, word(item->GetRootNode()));
    EXPECT_EQ(m_state->added.indoorObject, word(house));
    EXPECT_EQ(m_state->added.cell, 7u);
    // The model transform places the object's root: its translation row is the position.
    EXPECT_FLOAT_EQ(m_state->added.transform[12], 3.0f);
    EXPECT_FLOAT_EQ(m_state->added.transform[13], 2.0f);
    EXPECT_FLOAT_EQ(m_state->added.transform[14], 1.0f);
    EXPECT_EQ(m_state->addedObject, word(house));
    EXPECT_EQ(m_state->addedCell, 7u);
    EXPECT_FLOAT_EQ(m_state->addedPosition[0], 3.0f);
    EXPECT_FLOAT_EQ(m_state->addedPosition[1], 2.0f);
    EXPECT_FLOAT_EQ(m_state->addedPosition[2], 1.0f);

    // Kept: the record stays until the object is taken back; the object is the taker's then.
    m_state->keepObjects = 1;
    IndoorObjectRecord* record = IndoorObjectAdd(item, where);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->object, word(item));
    EXPECT_EQ(record->cell, 7u);
    EXPECT_EQ(IndoorObjectCount(), 1u);
    IndoorObjectForget(item);
    EXPECT_EQ(IndoorObjectCount(), 0u);
    IndoorMissionUnloaded();
    EXPECT_FALSE(deleted);

    // Kept until the mission is left: the object goes with it.
    ASSERT_NE(IndoorObjectAdd(item, where), nullptr);
    IndoorMissionUnloaded();
    EXPECT_TRUE(deleted);
    EXPECT_EQ(IndoorObjectCount(), 0u);
}

TEST_F(IndoorBridge, ThePortalCollectsItsLeavesAndObjectsPerTile)
{
    LoadPlugin();
    BuildTree();
    // The portal: 10 <= x <= 100 round the camera.
    m_state->planeCount = 2;
    const float planes[2][4] = {{1, 0, 0, -10}, {-1, 0, 0, 100}};
    std::memcpy(m_state->planes, planes, sizeof planes);
    const float seen[6] = {20.0f, -60.0f, 180.0f, 50.0f, -20.0f, 220.0f};
    const float hidden[6] = {-50.0f, -60.0f, 180.0f, -10.0f, -20.0f, 220.0f};
    GraphObj* inPortal = AddObject(seen);
    GraphObj* outside = AddObject(hidden);
    RenderSetupCamera(0.0f, 10.0f, 0.0f, 0.0f, 0.0f, 0.0f, kFov, 1);
    // Tile number (oz + 2) x 5 + (ox + 2): a column of tiles is one ox.
    auto column = [](int ox) {
        u32_t bits = 0;
        for (int oz = 0; oz < 5; ++oz)
            bits |= 1u << (oz * 5 + ox + 2);
        return bits;
    };
    // The portal reaches the leaves at x > 0 of the camera's own column of tiles.
    IndoorRender();
    EXPECT_EQ(m_state->events[4], 1);
    for (const OctreeNode* leaf : m_leaves) {
        SCOPED_TRACE(leaf->boxMin.x);
        EXPECT_EQ(leaf->queryStamp == g_map.octreeVisitMark, leaf->boxMin.x >= 0.0f);
        if (leaf->boxMin.x >= 0.0f) {
            EXPECT_EQ(leaf->planeMask, column(0));
        }
    }
    EXPECT_EQ(g_visible.nodeCount, 4u);
    EXPECT_TRUE(Listed(inPortal));
    EXPECT_FALSE(Listed(outside));
    // The indoor static map pass draws those leaves in those tiles only: the copies (leaf, tile x,
    // tile z) of the lower leaves at x > 0 in the camera's column.
    std::set<std::tuple<const OctreeNode*, int, int>> drawn, expected;
    for (const OctreeNode* leaf : m_leaves)
        if (leaf->geometry.faceCount && leaf->boxMin.x >= 0.0f)
            for (int oz = -2; oz <= 2; ++oz)
                expected.insert({leaf, 0, -oz});
    ASSERT_EQ(RenderBeginFrame(), 0);
    {
        scene_test::DrawLog log(Device());
        RenderMapGeometryPass(0.0f, 10.0f, 0.0f, 0.0f, 0.0f, 0.0f, kFov);
        for (const scene_test::DrawState& draw : log.Draws())
            for (const OctreeNode* leaf : m_leaves)
                if (leaf->geometry.faceCount && draw.start == leaf->firstIndex)
                    drawn.insert({leaf, draw.cell[0], draw.cell[1]});
    }
    RenderEndFrame(false);
    EXPECT_EQ(drawn, expected);
    // A portal beyond the base tile's edge sees the x < 0 leaves of the map's copy one world size to
    // the right: the tile drawn with the translation (+size, 0), ox = -1.
    m_state->planes[0][3] = -600.0f;
    m_state->planes[1][3] = 700.0f;
    IndoorRender();
    for (const OctreeNode* leaf : m_leaves) {
        SCOPED_TRACE(leaf->boxMin.x);
        EXPECT_EQ(leaf->queryStamp == g_map.octreeVisitMark, leaf->boxMin.x < 0.0f);
        if (leaf->boxMin.x < 0.0f) {
            EXPECT_EQ(leaf->planeMask, column(-1));
        }
    }
    EXPECT_FALSE(Listed(inPortal));
    // A portal that sees nothing of the map collects nothing.
    m_state->planes[0][3] = -5000.0f;
    m_state->planes[1][3] = 6000.0f;
    IndoorRender();
    EXPECT_EQ(g_visible.nodeCount, 0u);
    EXPECT_EQ(g_visible.objectCount, 0u);
    // The collectors count what finds no room too: the list never claims more than it holds.
    GraphObj* second = AddObject(seen);
    ++g_map.octreeVisitMark;
    g_visible.objectCount = kMaxVisibleObjects - 1;
    g_indoorClipTile = {};
    g_visible.cell[0] = g_visible.cell[1] = 0;
    const D3DXPLANE portal[2] = {D3DXPLANE(1, 0, 0, -10), D3DXPLANE(-1, 0, 0, 100)};
    RenderIndoorClipVisibility(portal, 2);
    EXPECT_EQ(g_visible.objectCount, kMaxVisibleObjects);
    EXPECT_TRUE(g_visible.objects[kMaxVisibleObjects - 1] == inPortal->GetGridEntry() ||
                g_visible.objects[kMaxVisibleObjects - 1] == second->GetGridEntry());
}

TEST_F(IndoorBridge, TheIndoorRoadShowsThePluginsMesh)
{
    LoadPlugin();
    BuildTree();
    IDirect3DTexture8* green = texture_test::SolidTexture(Device(), 4, 4, 1, 0xFF00FF00u);
    TextureRegister(green, TEXTURE_SHARED_FOLDER "room_wall");
    aff::AffFile file;
    file.strings = {"wall"};
    file.textures = {"room_wall"};
    aff::Mesh wall;
    wall.positions = {{-2, -2, 0}, {2, -2, 0}, {2, 2, 0}, {-2, 2, 0}};
    wall.uvs = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    wall.normals = {{0, 0, -127}, {0, 0, -127}, {0, 0, -127}, {0, 0, -127}};
    wall.indices = {0, 2, 1, 0, 3, 2, 0, 1, 2, 0, 2, 3};
    wall.material.textureWord = 0;
    for (int i = 0; i < 3; ++i)
        wall.material.ambient[i] = wall.material.diffuse[i] = wall.material.emissive[i] = 1.0f;
    file.frames = {aff::Frame{{wall}}};
    ASSERT_TRUE(aff::WriteAff("room.aff", file));
    std::strcpy(m_state->meshName, "room.aff");
    std::strcpy(m_state->textureName, "room_wall");
    m_state->claimCell = 1;
    D3DXMATRIX at;
    D3DXMatrixTranslation(&at, 0.0f, 10.0f, 8.0f);
    std::memcpy(m_state->meshWorld, &at.m[0][0], sizeof m_state->meshWorld);
    AddStructure(kHouse);
    IndoorMissionLoaded();
    ASSERT_NE(m_state->mesh, nullptr);
    ASSERT_EQ(m_state->texture, green);

    const float eye[3] = {0.0f, 10.0f, 0.0f};
    ASSERT_TRUE(IndoorCameraLocate(eye));
    RenderSetClearColor(0x00000080u);
    ASSERT_EQ(RenderBeginFrame(), 0);
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF000080u, 1.0f, 0);
    IndoorFrameDraw(eye, 0.0f, 0.0f, kFov);
    EXPECT_TRUE(g_sceneView.indoorPassRunning);
    EXPECT_EQ(m_state->events[4], 1);
    EXPECT_EQ(m_state->renderedAt.cell, 1u);
    const render_test::Pixels pixels = render_test::ReadBackBuffer(Device());
    RenderEndFrame(false);
    const DWORD centre = pixels.At(kWidth / 2, kHeight / 2);
    EXPECT_GT((centre >> 8) & 0xFF, 0x80u) << std::hex << centre;
    EXPECT_LT((centre >> 16) & 0xFF, 0x40u) << std::hex << centre;
    EXPECT_EQ(pixels.At(1, 1) & 0xFFFFFF, 0x000080u);  // beside the wall: the clear colour
}

}  // namespace
