// What the pick ray meets: on flat land seen from straight above, the ground point under a pixel is
// the point that projects back to that pixel; objects on the ray are picked nearest first, within
// the pick filter, and far ones are left by near-only picks.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ai/envelope.h"
#include "core/frame_view.h"
#include "game/cursor_pick.h"
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

}  // namespace
