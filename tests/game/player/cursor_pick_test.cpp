// What the pick ray meets: on flat land seen from straight above, the ground point under a pixel is
// the point that projects back to that pixel; on water it is the surface, or the shore just beyond;
// objects on the ray are picked nearest first, within the pick filter, and far ones are left by
// near-only picks.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "actors/actor.h"
#include "ai/soldier/ai_interface.h"
#include "ai/envelopes/envelope.h"
#include "render/draw2d/bitmap_font.h"
#include "render/camera.h"
#include "render/draw2d/hud_input.h"
#include "tests/world/node_tree.h"
#include "world/objects/graph_obj.h"
#include "core/frame_view.h"
#include "game/player/cursor_pick.h"
#include "map/octree/octree.h"
#include "map/land_maps/water_square.h"
#include "tests/game/map_camera_fixture.h"
#include "tests/map/map_world_fixture.h"

namespace {

using map_camera::MapCamera;

class GroundPick : public MapCamera {};

TEST_F(GroundPick, TheGroundUnderACursorPixelProjectsBackToThatPixel)
{
    struct Case {
        float x, y;
    };
    for (const Case c : {Case{32.0f, 24.0f}, Case{16.0f, 12.0f}, Case{60.0f, 40.0f}, Case{0.0f, 47.0f}}) {
        SCOPED_TRACE(testing::Message() << "pixel " << c.x << ", " << c.y);
        Cursor(c.x, c.y);
        float point[3];
        ASSERT_TRUE(GamePickGroundPointAtCursor(point));
        EXPECT_NEAR(point[1], 0.0f, 1e-2f);
        // Right of the middle is +x, above it +z.
        EXPECT_EQ(point[0] > 1.0f, c.x > 32.0f);
        EXPECT_EQ(point[2] > 1.0f, c.y < 24.0f);
        float screen[3];
        ASSERT_TRUE(GameProjectToScreen(screen, point));
        EXPECT_NEAR(screen[0], c.x, 0.01f);
        EXPECT_NEAR(screen[1], c.y, 0.01f);
    }
    // The middle pixel looks straight down.
    Look(300.0f, -200.0f);
    Cursor(32.0f, 24.0f);
    float point[3];
    ASSERT_TRUE(GamePickGroundPointAtCursor(point));
    EXPECT_NEAR(point[0], 300.0f, 0.01f);
    EXPECT_NEAR(point[2], -200.0f, 0.01f);
}

TEST_F(GroundPick, WithoutTheFreeCursorTheRayGoesThroughTheMiddleOfTheView)
{
    g_game.satelliteView = 0;
    Look(100.0f, 50.0f);
    Cursor(3.0f, 3.0f);
    float point[3];
    ASSERT_TRUE(GamePickGroundPointAtCursor(point));
    EXPECT_NEAR(point[0], 100.0f, 0.01f);
    EXPECT_NEAR(point[2], 50.0f, 0.01f);
    // Looking up there is no ground to find.
    g_game.satelliteView = 1;
    RenderSetupCamera(0.0f, 100.0f, 0.0f, 0.0f, -1.5707964f, 0.0f, map_camera::kFieldOfView, 1);
    Cursor(32.0f, 24.0f);
    EXPECT_FALSE(GamePickGroundPointAtCursor(point));
}

// A pool on the land: every leaf files the same square (the trace asks the leaves it walks), and the
// nodes reach up to hold the surface, as a map's nodes hold their water.
class WaterPick : public MapCamera {
protected:
    void SetUp() override
    {
        MapCamera::SetUp();
        Raise(OctreeGetRoot());
        OctreeForEachLeaf(OctreeGetRoot(), OCTREE_WALK_ROOM_CHECK, [](OctreeNode* leaf) {
            leaf->waterSquares = new WaterSquare*[1];
            leaf->waterSquares[0] = &s_pool;
            leaf->waterSquareCount = 1;
        });
    }
    static void Raise(OctreeNode* node)
    {
        node->boxMin.y = std::min(node->boxMin.y, -100.0f);
        node->boxMax.y = std::max(node->boxMax.y, 100.0f);
        if (!node->IsLeaf()) {
            for (OctreeNode* child : node->children)
                Raise(child);
        }
    }
    static WaterSquare s_pool;
};
WaterSquare WaterPick::s_pool = {};

TEST_F(WaterPick, AClickOnWaterGivesTheSurfaceOrTheShoreJustBeyondIt)
{
    // The ground under a pixel left of the middle, with no water anywhere.
    s_pool = {-1e4f, -1e4f, -1e4f, -1e4f, 30.0f};
    Cursor(28.0f, 24.0f);
    float ground[3];
    ASSERT_TRUE(GamePickGroundPointAtCursor(ground));
    ASSERT_LT(ground[0], -20.0f);

    struct Case {
        const char* what;
        float depth;
        float shoreBeyond;  // the pool's left edge this far beyond where the ray meets the surface
        bool surface;       // the answer is the surface, else the land (height 0)
    };
    // 15 further on: still water gives the surface; the shore gives the land found within 40 below
    // the surface, or, deeper, the land's height there.
    for (const Case c : {Case{"open water", 30.0f, 100.0f, true}, Case{"near the shore", 30.0f, 5.0f, false},
                         Case{"deep, near the shore", 50.0f, 5.0f, false}}) {
        SCOPED_TRACE(c.what);
        const float surfaceX = ground[0] * (map_camera::kCameraHeight - c.depth) / map_camera::kCameraHeight;
        s_pool = {surfaceX - c.shoreBeyond, -500.0f, 500.0f, 500.0f, c.depth};
        float point[3];
        ASSERT_TRUE(GamePickGroundPointAtCursor(point));
        EXPECT_NEAR(point[1], c.surface ? c.depth : 0.0f, 1e-2f);
        EXPECT_NEAR(point[0], surfaceX - 15.0f, 0.05f);
        EXPECT_NEAR(point[2], 0.0f, 0.05f);
    }
}

// Objects wrapped by envelopes, standing on the land under the camera.
class ObjectPick : public MapCamera {
protected:
    void TearDown() override
    {
        for (auto& envelope : m_envelopes)
            EnvelopeUnregister(envelope.get());
        m_envelopes.clear();
        m_objects.clear();
        GameSetPickFilter(false);
        MapCamera::TearDown();
    }
    // A 20-wide box standing at (x, z), height high, and its envelope.
    DOEnvelope* Add(float x, float z, float high, s32_t type)
    {
        const float box[6] = {x - 10.0f, 0.0f, z - 10.0f, x + 10.0f, high, z + 10.0f};
        m_objects.push_back(std::make_unique<map_world::TestObject>(box, type));
        m_objects.back()->SetPosition({x, high, z});
        m_envelopes.push_back(std::make_unique<DOEnvelope>());
        m_envelopes.back()->Attach(m_objects.back().get());
        EXPECT_GE(EnvelopeRegister(m_envelopes.back().get()), 0);
        return m_envelopes.back().get();
    }
    std::vector<std::unique_ptr<map_world::TestObject>> m_objects;
    std::vector<std::unique_ptr<DOEnvelope>> m_envelopes;
};

TEST_F(ObjectPick, TheNearestOnTheRayWinsWithinTheFilter)
{
    DOEnvelope* low = Add(0.0f, 0.0f, 10.0f, OBJECT_TYPE_WEAPON);
    DOEnvelope* tall = Add(0.0f, 0.0f, 100.0f, OBJECT_TYPE_STRUCTURE);
    Add(300.0f, 0.0f, 500.0f, OBJECT_TYPE_STRUCTURE);  // off the ray
    Cursor(32.0f, 24.0f);
    EXPECT_EQ(GamePickObjectAtCursor(), tall);
    // The filter lets only actors, vehicles and weapons through.
    GameSetPickFilter(true);
    EXPECT_EQ(GamePickObjectAtCursor(), low);
    GameSetPickFilter(false);
    // A disabled envelope is passed over.
    tall->disabled = 1;
    EXPECT_EQ(GamePickObjectAtCursor(), low);
    // Seen from 5000 up both are far: a near-only pick takes neither.
    EXPECT_EQ(GamePickObjectAtCursor(true), nullptr);
    // Away from them the cursor meets nothing.
    Cursor(2.0f, 2.0f);
    EXPECT_EQ(GamePickObjectAtCursor(), nullptr);
}

TEST_F(ObjectPick, APreferredEnvelopeWinsOverANearerOneAndKeepsItsPlace)
{
    DOEnvelope* tall = Add(0.0f, 0.0f, 100.0f, OBJECT_TYPE_STRUCTURE);
    DOEnvelope* low = Add(0.0f, 0.0f, 10.0f, OBJECT_TYPE_STRUCTURE);
    DOEnvelope* middle = Add(0.0f, 0.0f, 50.0f, OBJECT_TYPE_STRUCTURE);
    Cursor(32.0f, 24.0f);
    EXPECT_EQ(GamePickObjectAtCursor(), tall);
    // The farthest, marked: no nearer one after it takes its place.
    low->pickPreferred = 1;
    EXPECT_EQ(GamePickObjectAtCursor(), low);
    (void)middle;
}

TEST_F(ObjectPick, WithTheFilterNoStructureOrMapObjectIsPicked)
{
    Add(0.0f, 0.0f, 100.0f, OBJECT_TYPE_STRUCTURE);
    Add(0.0f, 0.0f, 60.0f, OBJECT_TYPE_MAP_OBJECT);
    DOEnvelope* vehicle = Add(0.0f, 0.0f, 20.0f, OBJECT_TYPE_VEHICLE);
    Cursor(32.0f, 24.0f);
    GameSetPickFilter(true);
    EXPECT_EQ(GamePickObjectAtCursor(), vehicle);
    vehicle->disabled = 1;
    EXPECT_EQ(GamePickObjectAtCursor(), nullptr);
}

TEST_F(ObjectPick, ADeadActorAndThePlayerAreNeverPicked)
{
    // Two living soldiers on the ray, the first nearer.
    AIInterface* near = new AIInterface();
    AIInterface* low = new AIInterface();
    Actor& soldier = *near->body;
    Actor& other = *low->body;
    soldier.SetPosition({0.0f, 40.0f, 0.0f});
    other.SetPosition({0.0f, 0.0f, 0.0f});
    DOEnvelope first, second;
    first.Attach(&soldier);
    second.Attach(&other);
    ASSERT_GE(EnvelopeRegister(&first), 0);
    ASSERT_GE(EnvelopeRegister(&second), 0);
    Cursor(32.0f, 24.0f);
    EXPECT_EQ(GamePickActorAtCursor(), &soldier);
    EXPECT_EQ(GamePickObjectAtCursor(), &first);
    soldier.isDead = true;
    EXPECT_EQ(GamePickActorAtCursor(), &other);
    EXPECT_EQ(GamePickObjectAtCursor(), &second);
    g_frameView.player = &other;
    EXPECT_EQ(GamePickActorAtCursor(), nullptr);
    EXPECT_EQ(GamePickObjectAtCursor(), nullptr);
    // A preferred soldier wins over a nearer one among the actors too.
    soldier.isDead = false;
    g_frameView.player = nullptr;
    second.pickPreferred = 1;
    EXPECT_EQ(GamePickActorAtCursor(), &other);
    EXPECT_EQ(GamePickObjectAtCursor(), &second);
    EnvelopeUnregister(&first);
    EnvelopeUnregister(&second);
    for (Actor* body : {&soldier, &other}) {
        body->DetachAI();
        delete body;
    }
}

// Labels of a crate seen from close by: "AAAA" is 4 x 100 pixels wide in the test font, 12 either
// side at the 64-wide screen's scale of 0.4; each label's node stands over a point of the land.
class LabelPick : public ObjectPick {
protected:
    void SetUp() override
    {
        ObjectPick::SetUp();
        m_font.SetGlyph('A', 0.0f, 0.0f, 0.1f, 0.1f, 100, 100);
        g_hudInput.defaultFont = &m_font;
        m_crate = Add(0.0f, 0.0f, 10.0f, OBJECT_TYPE_WEAPON);
        for (float x : {-40.0f, 0.0f}) {
            GraphNode* node = AddChildNode(m_holder.GetRootNode(), "label");
            node->SetPosition({x, 0.0f, 0.0f});
            m_crate->labels.push_back({EngineString("AAAA"), node});
        }
    }
    void TearDown() override
    {
        g_hudInput.defaultFont = nullptr;
        g_frameView.zoomView = false;
        m_crate->labels.clear();
        ObjectPick::TearDown();
    }
    // The camera 25 above the crate, looking down.
    static void LookFromClose()
    {
        RenderSetupCamera(0.0f, 25.0f, 0.0f, 0.0f, 1.5707964f, 0.0f, map_camera::kFieldOfView, 1);
    }

    Font m_font{"labels", nullptr, nullptr, 16, 0, '_'};
    GraphObj m_holder;
    DOEnvelope* m_crate = nullptr;
};

TEST_F(LabelPick, LabelsAreTestedOnlyInTheZoomedViewAndNearerThan30Units)
{
    Cursor(32.0f, 24.0f);
    struct Case {
        const char* what;
        bool zoom, close;
        s32_t label;  // -5: left as it was
    };
    for (const Case c : {Case{"far, not zoomed", false, false, -5}, Case{"far, zoomed", true, false, -5},
                         Case{"near, not zoomed", false, true, -5}, Case{"near, zoomed", true, true, 1}}) {
        SCOPED_TRACE(c.what);
        g_frameView.zoomView = c.zoom;
        if (c.close)
            LookFromClose();
        else
            Look(0.0f, 0.0f);
        m_crate->selectedLabel = -5;
        ASSERT_EQ(GamePickObjectAtCursor(), m_crate);
        EXPECT_EQ(m_crate->pickFar, c.close ? 0 : 1);
        EXPECT_EQ(m_crate->selectedLabel, c.label);
    }
    // Off both labels: none is selected.
    Cursor(2.0f, 2.0f);
    m_crate->selectedLabel = -5;
    GamePickObjectAtCursor();
    EXPECT_EQ(m_crate->selectedLabel, -1);
}

}  // namespace
