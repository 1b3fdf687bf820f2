// A graphic object's per-frame view and drawing, through the world renderer's recording mesh
// paths and its record queues: level-of-detail distances and levels, the billboard cross-fade,
// which nodes are drawn by which path, the far and near billboard.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "ai/envelopes/envelope.h"
#include "core/frame_view.h"
#include "game/game_state.h"
#include "game/view/game_view.h"
#include "map/map_cvars.h"
#include "render/render_cvars.h"
#include "scene/draw_records/batch_records.h"
#include "scene/draw_records/draw_records.h"
#include "scene/meshes/object_draw.h"
#include "scene/scene_state.h"
#include "tests/world/objects/graph_obj_fixture.h"
#include "tests/world/node_tree.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"
#include "world/scene_view.h"
#include "world/objects/shader_settings.h"
#include "world/world_cvars.h"

using graph_test::GraphObjTest;
using graph_test::SavedVar;

namespace {

constexpr float kNormalFov = D3DX_PI * 0.5f;

class GraphObjDrawing : public GraphObjTest {
protected:
    void SetUp() override
    {
        GraphObjTest::SetUp();
        // A mesh of no extent: the object's distance is its root's distance.
        aff_test::AffFile aff;
        aff.strings = {"dot"};
        aff.frames = {{{aff_test::QuadMesh(0, {{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}}})}}};
        dot = WriteMesh("dot", aff);
        object = std::make_unique<GraphObj>();
        body = AddChildNode(object->GetRootNode(), "body", dot);
    }
    void TearDown() override
    {
        object.reset();
        GameSetFieldOfView(kNormalFov);
        g_sceneView.billboardsOn = true;
        g_sceneView.indoorPassRunning = false;
        g_scene.materialComponentMask = 0xFFFFFFFFu;
        g_frameView.viewModeToggle = 0;
        GraphObjTest::TearDown();
    }
    // Places the object at the distance along z from the camera at the origin and updates it.
    void At(float distance)
    {
        object->SetPosition({0, 0, distance});
        object->UpdateViewDistance();
    }
    const SceneDrawLog& Log() const { return g_scene.drawLog; }

    AnimMesh* dot = nullptr;
    std::unique_ptr<GraphObj> object;
    GraphNode* body = nullptr;
};

TEST_F(GraphObjDrawing, TheLevelRisesAtEachTableEntry)
{
    struct Case {
        float distance;
        bool ownTable;
        u8_t level;
    };
    const Case cases[] = {
        {0.0f, false, 0},
        {119.99f, false, 0},
        {120.0f, false, 1},
        {249.0f, false, 1},
        {250.0f, false, 2},
        // The object's own table wins over the default one.
        {120.0f, true, 2},
        {49.0f, true, 0},
        {50.0f, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.distance << (c.ownTable ? " own" : ""));
        object->hasOwnLodDistances = c.ownTable ? 1 : 0;
        object->lodDistances[0] = 10.0f;
        object->lodDistances[1] = 50.0f;
        object->lodDistances[2] = 100.0f;
        At(c.distance);
        EXPECT_EQ(object->viewDistance, c.distance);
        EXPECT_EQ(object->viewDistanceSq, c.distance * c.distance);
        EXPECT_EQ(object->lodLevel, c.level);
    }
    // A change of level is noted for the frame.
    object->hasOwnLodDistances = 0;
    At(10.0f);
    object->lodChanged = 0;
    At(130.0f);
    EXPECT_EQ(object->lodChanged, 1);
    EXPECT_EQ(object->previousLodLevel, 1);
    object->lodChanged = 0;
    At(131.0f);
    EXPECT_EQ(object->lodChanged, 0);
}

TEST_F(GraphObjDrawing, TheViewDistanceLeavesOutHalfTheBoxAndScalesWithTheFieldOfView)
{
    // A unit cube round the origin: half its diagonal is sqrt(3) / 2.
    aff_test::AffFile aff = graph_test::QuadsAff({"front"});
    aff.frames[0].meshes[0] =
        aff_test::QuadMesh(0, {{{-0.5f, -0.5f, -0.5f}, {0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}, {-0.5f, 0.5f, 0.5f}}});
    AnimMesh* cube = WriteMesh("cube", aff);
    GraphObj boxed;
    AddChildNode(boxed.GetRootNode(), "cube", cube);
    boxed.SetPosition({0, 0, 100});
    boxed.UpdateViewDistance();
    EXPECT_NEAR(boxed.viewDistance, 100.0f - std::sqrt(3.0f) / 2, 1e-4f);
    GameSetFieldOfView(kNormalFov / 4);
    boxed.UpdateViewDistance();
    EXPECT_NEAR(boxed.viewDistance, (100.0f - std::sqrt(3.0f) / 2) / 4, 1e-4f);
    boxed.SetPosition({0, 0, 0.1f});
    boxed.UpdateViewDistance();
    EXPECT_EQ(boxed.viewDistance, 0.0f);
}

TEST_F(GraphObjDrawing, TheMeshesFadeIntoTheBillboardAndAZoomedViewPicksOne)
{
    object->billboardNear = 100.0f;
    object->billboardMid = 200.0f;
    object->billboardFar = 300.0f;
    object->shaderSettings = ShaderSettingListCreate(object.get());
    struct Case {
        float fov;
        float distance;
        u8_t alpha;
        u8_t meshOnly;
        u8_t billboardOnly;
    };
    const Case cases[] = {
        {kNormalFov, 150.0f, 0, 0, 0},
        {kNormalFov, 200.0f, 0, 0, 0},
        {kNormalFov, 250.0f, 127, 0, 0},
        {kNormalFov, 300.0f, 0, 0, 0},
        // Zoomed: the distance shrinks with the view; meshes below the far distance, else the billboard.
        {kNormalFov / 2, 500.0f, 0, 1, 0},
        {kNormalFov / 2, 600.0f, 255, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.fov << " " << c.distance);
        GameSetFieldOfView(c.fov);
        At(c.distance);
        EXPECT_EQ(object->meshFadeAlpha, c.alpha);
        EXPECT_EQ(object->meshOnly, c.meshOnly);
        EXPECT_EQ(object->billboardOnly, c.billboardOnly);
        EXPECT_EQ(object->shaderSettings->distance, object->viewDistance);
    }
}

TEST_F(GraphObjDrawing, HiddenObjectsDrawNothing)
{
    DOEnvelope envelope;
    At(10.0f);
    object->drawn = 0;
    object->Render();
    EXPECT_EQ(Log().meshDrawCount, 0);
    object->drawn = 1;
    envelope.Attach(object.get());
    envelope.destroyed = 1;
    object->Render();
    EXPECT_EQ(Log().meshDrawCount, 0);
    // An actor is drawn whatever its envelope says.
    object->typeId = OBJECT_TYPE_ACTOR;
    object->Render();
    EXPECT_EQ(Log().meshDrawCount, 1);
    envelope.destroyed = 0;
    object->typeId = OBJECT_TYPE_GRAPHIC;
    object->Render();
    EXPECT_EQ(Log().meshDrawCount, 2);
    object->envelope = nullptr;
}

TEST_F(GraphObjDrawing, ANodeOffAtTheLevelIsSkippedButItsChildrenAreDrawn)
{
    GraphNode* arm = AddChildNode(object->GetRootNode(), "arm", dot);
    GraphNode* hand = AddChildNode(arm, "hand", dot);
    const u8_t offAtOne[3] = {1, 0, 1};
    arm->SetLodRender(offAtOne);
    At(150.0f);  // level 1
    ASSERT_EQ(object->lodLevel, 1);
    object->Render();
    // The walk: root, then the last child's subtree first.
    ASSERT_EQ(Log().meshDrawCount, 2);
    EXPECT_EQ(Log().meshDraws[0].node, hand);
    EXPECT_EQ(Log().meshDraws[1].node, body);
    EXPECT_EQ(g_sceneView.drawingNode, nullptr);
    SceneDrawLogClear();
    At(300.0f);  // level 2
    object->Render();
    EXPECT_EQ(Log().meshDrawCount, 3);
}

TEST_F(GraphObjDrawing, EachNodeTakesOneOfTheThreeMeshPaths)
{
    SavedVar keepRbrs(rbrs);
    body->SetFrame(2.75f);
    body->SetMeshColor(0, 0x11223344u);
    At(150.0f);
    struct Case {
        const char* what;
        bool rbrsOn;
        bool listsBuilt;
        bool distanceLevel;
        MeshDrawPath path;
    };
    const Case cases[] = {
        {"lists built", true, true, false, MESH_DRAW_ANIMATED_LOD_LIST},
        {"lists not built", true, false, false, MESH_DRAW_ANIMATED},
        {"rbrs off", false, true, false, MESH_DRAW_ANIMATED},
        {"a distance level", true, true, true, MESH_DRAW_LOOP_FRAME},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rbrs.SetBool(c.rbrsOn);
        body->lodListsBuilt = 0;
        if (c.listsBuilt)
            body->BuildLodMeshLists();
        if (c.distanceLevel)
            body->AddLodLevel(100.0f, "nothing", nullptr);
        SceneDrawLogClear();
        object->Render();
        ASSERT_EQ(Log().meshDrawCount, 1);
        const MeshDrawCall& call = Log().meshDraws[0];
        EXPECT_EQ(call.path, c.path);
        EXPECT_EQ(call.args.mesh, dot);
        EXPECT_EQ(call.args.step, 1);
        EXPECT_EQ(call.args.lodRecords, body->GetMeshSettings());
        EXPECT_EQ(call.world.m[3][2], 150.0f);
        switch (c.path) {
            case MESH_DRAW_ANIMATED_LOD_LIST:
                EXPECT_EQ(call.args.meshList, &body->lodMeshLists[2]);
                EXPECT_EQ(call.args.frame, 2.75f);
                break;
            case MESH_DRAW_ANIMATED:
                EXPECT_EQ(call.args.colours[0], 0x11223344u);
                EXPECT_EQ(call.args.frame, 2.75f);
                break;
            case MESH_DRAW_LOOP_FRAME:
                EXPECT_EQ(call.args.meshList, body->FindLodLevel(150.0f));
                EXPECT_EQ(call.args.frame, 2.0f);  // a whole frame
                break;
        }
    }
}

TEST_F(GraphObjDrawing, FarObjectsDrawUnderPassSelector15AndNotIndoors)
{
    At(10.0f);
    g_scene.materialComponentMask = 9;
    object->fullDetail = 0;
    object->Render();
    ASSERT_EQ(Log().meshDrawCount, 1);
    EXPECT_EQ(Log().meshDraws[0].passSelector, 15u);
    EXPECT_EQ(g_scene.materialComponentMask, 9u);
    g_sceneView.indoorPassRunning = true;
    object->Render();
    EXPECT_EQ(Log().meshDrawCount, 1);
    object->fullDetail = 1;
    object->Render();
    EXPECT_EQ(Log().meshDrawCount, 2);
    EXPECT_EQ(Log().meshDraws[1].passSelector, 9u);
}

class GraphObjBillboards : public GraphObjDrawing {
protected:
    void SetUp() override
    {
        GraphObjDrawing::SetUp();
        object->billboardNear = object->billboardMid = object->billboardFar = 300.0f;
        object->billboardVariant = 3;
        object->billboardTexture = reinterpret_cast<IDirect3DTexture8*>(0x5000);
        mcfogcolor.SetFromText("(255, 64, 0, 255)");
    }

    SavedVar keepFogColour{mcfogcolor};
    SavedVar keepFogStart{mffogstart};
    SavedVar keepRange{mfrange};
    SavedVar keepFog{rbfog};
};

TEST_F(GraphObjBillboards, AFarBillboardIsAFoggedUprightQuadRecord)
{
    // Fog from 10000 to 15000 world units: at 12500 half the billboard shows.
    At(12500.0f);
    object->Render();
    EXPECT_EQ(Log().meshDrawCount, 0);  // beyond the far distance the meshes stand down
    ASSERT_EQ(DrawRecordCount(), 1u);
    const DrawRecord* record = DrawRecordAt(0);
    EXPECT_EQ(record->flags & DRAW_RECORD_KIND_MASK, DRAW_RECORD_UPRIGHT_QUAD);
    EXPECT_EQ(record->sortKey, 12500.0f * 12500.0f);
    EXPECT_EQ(record->world.m[3][2], 12500.0f);
    EXPECT_EQ(record->world.m[0][0], 1.0f);
    const auto* payload = reinterpret_cast<const BillboardDrawPayload*>(record->payload);
    ASSERT_NE(payload, nullptr);
    EXPECT_EQ(payload->texture, object->billboardTexture);
    // Variant 3: the right half across, from a quarter up.
    EXPECT_EQ(payload->u0, 0.5f);
    EXPECT_EQ(payload->u1, 1.0f);
    EXPECT_EQ(payload->v0, 0.25f);
    EXPECT_EQ(payload->v1, 0.75f);
    EXPECT_EQ(payload->colour, 0x80FF4000u);
    EXPECT_EQ(BatchRecordCount(), 0u);
}

TEST_F(GraphObjBillboards, TheFogAlphaStaysWithinAByte)
{
    struct Case {
        float fogStart;
        float range;
        float distance;
        u32_t alpha;
    };
    const Case cases[] = {
        {1000.0f, 1500.0f, 20000.0f, 0x00},  // beyond the range: full fog
        {1000.0f, 1000.0f, 12000.0f, 0x00},  // no fog band: full fog beyond its start
        {1000.0f, 900.0f, 12000.0f, 0x00},
        {1000.0f, 1500.0f, 10500.0f, 0xE6},  // 255 - (1050 - 1000) / 500 x 255 = 229.5
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.fogStart << " " << c.range << " " << c.distance);
        mffogstart.SetFloat(c.fogStart);
        mfrange.SetFloat(c.range);
        DrawRecordsClear();
        At(c.distance);
        object->Render();
        ASSERT_EQ(DrawRecordCount(), 1u);
        const auto* payload = reinterpret_cast<const BillboardDrawPayload*>(DrawRecordAt(0)->payload);
        EXPECT_EQ(payload->colour >> 24, c.alpha);
        EXPECT_EQ(payload->colour & 0xFFFFFFu, 0xFF4000u);
    }
}

TEST_F(GraphObjBillboards, ANearOrUnfoggedBillboardIsABatchRecord)
{
    struct Case {
        const char* what;
        float distance;
        bool fog;
        u8_t viewMode;
    };
    const Case cases[] = {
        {"before the fog", 500.0f, true, 0},
        {"fog off", 12500.0f, false, 0},
        {"the alternative view mode", 12500.0f, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rbfog.SetBool(c.fog);
        g_frameView.viewModeToggle = c.viewMode;
        BatchRecordReset();
        At(c.distance);
        object->Render();
        EXPECT_EQ(DrawRecordCount(), 0u);
        ASSERT_EQ(BatchRecordCount(), 1u);
        const BatchRecord& batch = *BatchRecordAt(0);
        EXPECT_EQ(batch.texture, object->billboardTexture);
        EXPECT_EQ(batch.texCoords[0], 0.5f);
        EXPECT_EQ(batch.texCoords[3], 0.75f);
        EXPECT_EQ(batch.position.z, c.distance);
    }
    // Below the near distance there is no billboard; with the switch off the meshes still draw.
    BatchRecordReset();
    At(299.0f);
    object->Render();
    EXPECT_EQ(BatchRecordCount(), 0u);
    EXPECT_EQ(Log().meshDrawCount, 1);
    g_sceneView.billboardsOn = false;
    At(500.0f);
    object->Render();
    EXPECT_EQ(Log().meshDrawCount, 2);
    EXPECT_EQ(BatchRecordCount(), 1u);
}

}  // namespace
