// Water tests against the water squares of an octree leaf, and the body link of an actor.
#include <gtest/gtest.h>

#include <cstring>

#include "actors/actor.h"
#include "game/mission/game_messages.h"
#include "game/player/game_water.h"
#include "game/view/player_view.h"
#include "map/octree/octree.h"
#include "map/land_maps/water_square.h"
#include "world/nodes/graph_node.h"

namespace {

class WaterSquares : public ::testing::Test {
protected:
    void SetUp() override
    {
        OctreeNode* root = OctreeCreateRoot({-100, -100, -100}, {100, 100, 100});
        root->waterSquares = new WaterSquare*[2];
        root->waterSquares[0] = &m_pool;
        root->waterSquares[1] = &m_pond;
        root->waterSquareCount = 2;
    }
    void TearDown() override { OctreeDestroy(); }

    WaterSquare m_pool{0.0f, 0.0f, 10.0f, 10.0f, 5.0f};
    WaterSquare m_pond{-30.0f, -30.0f, -20.0f, -20.0f, 7.0f};
};

TEST_F(WaterSquares, PointsInAndOutOfWater)
{
    struct Case {
        const char* name;
        float point[3];
        bool wet;
        float surface;
    };
    const Case cases[] = {
        {"inside, below the surface", {5, 0, 5}, true, 5.0f},
        {"0.5 above the surface", {5, 5.5f, 5}, true, 5.0f},
        {"1.5 above the surface", {5, 6.5f, 5}, false, 0.0f},
        {"on the border", {0, 0, 5}, false, 0.0f},
        {"the second square", {-25, 0, -25}, true, 7.0f},
        // The height limit comes from the leaf's first square.
        {"above the first square's margin", {-25, 6.5f, -25}, false, 0.0f},
        {"outside every square", {50, 0, 50}, false, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        u32_t surface = 123;
        EXPECT_EQ(GameIsPointUnderWater(&surface, c.point), c.wet);
        float height = 0.0f;
        std::memcpy(&height, &surface, sizeof(height));
        EXPECT_EQ(height, c.surface);
    }
    float* view = GameGetViewPos();
    const float saved[3] = {view[0], view[1], view[2]};
    view[0] = 5;
    view[1] = 1;
    view[2] = 5;
    u32_t surface = 0;
    EXPECT_TRUE(GameIsViewUnderWater(&surface));
    view[0] = saved[0];
    view[1] = saved[1];
    view[2] = saved[2];
}

TEST(WaterWithoutMap, NoLeafMeansDry)
{
    const float point[3] = {0, 0, 0};
    u32_t surface = 99;
    EXPECT_FALSE(GameIsPointUnderWater(&surface, point));
}

TEST(ActorBodyLinks, LinkToAnotherNodeAndBack)
{
    Actor actor;
    GraphNode* body = new GraphNode("body");
    actor.GetRootNode()->AddChild(body);
    body->SetParent(actor.GetRootNode());
    GraphNode seat("seat");
    GraphNode* dummy = new GraphNode("x01");  // the seat owns it
    seat.AddChild(dummy);
    dummy->SetParent(&seat);
    GameLinkActorBodyRange(&actor, dummy, "xdef", "xdef");
    EXPECT_EQ(body->GetParent(), &seat);
    s32_t parentDummy = 0, ownDummy = 0;
    body->GetAttachPoint(&parentDummy, &ownDummy);
    EXPECT_EQ(parentDummy, -1);
    EXPECT_EQ(ownDummy, -1);
    GameLinkActorBodyRange(&actor, nullptr, "xdef", "xdef");
    EXPECT_EQ(body->GetParent(), &seat);
    GameUnlinkActorBody(&actor);
    EXPECT_EQ(body->GetParent(), actor.GetRootNode());
}

}  // namespace
