// The Tesk team's soldier: made by its class keyword through an AI, kept on the terrain with its
// legs on the wall clock, left alone by saved games, and drawn inside a white marker box.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "actors/ai_entity.h"
#include "actors/tesk_actor.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_state.h"
#include "game/mission_objects/object_factory.h"
#include "map/registry/actor_lists.h"
#include "map/registry/world_registry.h"
#include "platform/d3dx8_math.h"
#include "platform/test_clock.h"
#include "platform/win32.h"
#include "render/camera.h"
#include "render/draw2d/debug_primitives.h"
#include "support/land_octree.h"
#include "support/temp_dir.h"
#include "support/render_test_support.h"
#include "world/nodes/graph_node.h"
#include "world/objects/saved_object_state.h"

namespace {

constexpr float kGround = 7.0f;

TeskActor* MakeTesk()
{
    DynamicObject* object = CreateDynamicObjectByClass("TESK");
    return dynamic_cast<TeskActor*>(object);
}

// Deletes the body and the AI that owns it.
void Destroy(Actor* body)
{
    DynObjectRemove(body);
    AIInterface* interface = body->ai;
    delete body;
    delete interface;
}

// Flat land 1000 wide at height 7.
class Tesk : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        PlatformTestClockStart(123456);
        MapAuthorPlan plan;
        MapAuthorFlatHeights(plan, kGround);
        std::string error;
        ASSERT_TRUE(land_test::LoadLand(plan, "land.lff", error)) << error;
    }
    void TearDown() override
    {
        ActorListsFree();
        land_test::UnloadLand();
        PlatformTestClockStop();
        EXPECT_EQ(g_ai.interfaceCount, 0u);
        TempDirTest::TearDown();
    }
};

TEST_F(Tesk, TheClassKeywordMakesATeskBodyOwnedByAnAI)
{
    TeskActor* tesk = MakeTesk();
    ASSERT_NE(tesk, nullptr);
    EXPECT_EQ(tesk->typeId, OBJECT_TYPE_ACTOR);
    ASSERT_NE(tesk->ai, nullptr);
    EXPECT_EQ(tesk->ai->body, tesk);
    EXPECT_EQ(tesk->GetAIEntity()->actor, tesk);
    Destroy(tesk);
    // "actor" still makes a plain actor.
    DynamicObject* plain = CreateDynamicObjectByClass("actor");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(dynamic_cast<TeskActor*>(plain), nullptr);
    Destroy(static_cast<Actor*>(plain));
}

TEST_F(Tesk, OneUpdatePutsItOnTheTerrainAndStopsIt)
{
    for (float startY : {60.0f, -30.0f}) {
        SCOPED_TRACE(startY);
        TeskActor* tesk = MakeTesk();
        ASSERT_NE(tesk, nullptr);
        tesk->SetPosition({120.0f, startY, -80.0f});
        tesk->movementMode = ACTOR_MOVE_RUN;
        DynObjectAdd(tesk);
        tesk->Update();
        const Vector3 p = tesk->GetPosition();
        EXPECT_FLOAT_EQ(p.x, 120.0f);
        EXPECT_NEAR(p.y, kGround, 1e-3f);
        EXPECT_FLOAT_EQ(p.z, -80.0f);
        EXPECT_EQ(tesk->movementMode, ACTOR_MOVE_IDLE);
        Destroy(tesk);
    }
}

TEST_F(Tesk, TwoTeskSoldiersShowTheLegsFrameOfTheWallClock)
{
    TeskActor* first = MakeTesk();
    PlatformTestClockAdvance(5000);
    TeskActor* second = MakeTesk();
    for (TeskActor* tesk : {first, second}) {
        GraphNode* legs = new GraphNode("legs");
        tesk->GetRootNode()->AddChild(legs);
        legs->SetParent(tesk->GetRootNode());
        DynObjectAdd(tesk);
    }
    first->Update();
    PlatformTestClockAdvance(250);
    second->Update();
    first->Update();
    const float expected = static_cast<float>(GetTickCount()) * 0.001f;
    EXPECT_EQ(first->GetRootNode()->GetChild(0)->GetFrame(), expected);
    EXPECT_EQ(second->GetRootNode()->GetChild(0)->GetFrame(), expected);
    Destroy(first);
    Destroy(second);
}

TEST_F(Tesk, SavedGamesLeaveItAsItIs)
{
    TeskActor* tesk = MakeTesk();
    tesk->SetPosition({10.0f, kGround, 20.0f});
    // A record as a saved game holds it for an actor: somewhere else, at full health.
    SavedObjectState record;
    record.position = {300.0f, kGround, -300.0f};
    record.kind = OBJECT_TYPE_ACTOR;
    tesk->SaveState(&record);
    EXPECT_EQ(record.position.x, 300.0f);
    tesk->GetAIEntity()->health = 40.0f;
    tesk->LoadState(&record);
    EXPECT_EQ(tesk->GetPosition().x, 10.0f);
    EXPECT_EQ(tesk->GetPosition().z, 20.0f);
    EXPECT_EQ(tesk->GetHealth(), 40.0f);
    Destroy(tesk);
}

class TeskPixels : public render_test::RenderCore {};

TEST_F(TeskPixels, AWhiteBoxOfTwentyUnitsSurroundsIt)
{
    constexpr DWORD kBackground = 0xFF102030u;
    DebugListsReset();
    RenderSetClearColor(kBackground & 0x00FFFFFFu);
    ASSERT_EQ(RenderBeginFrame(), 0);
    RenderSetupCamera(0, 0, 0, 0, 0, 0, D3DX_PI / 2, 1);
    AIInterface* interface = new AIInterface(true);
    Actor* tesk = interface->body;
    tesk->SetPosition({0.0f, 0.0f, 40.0f});
    tesk->Render();
    DebugLinesDraw();
    RenderEndFrame(false);
    const render_test::Pixels pixels = render_test::ReadBackBuffer(Device());

    auto project = [](const D3DXVECTOR3& world) {
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        D3DXVECTOR3 screen;
        D3DXVec3Project(&screen, &world, &g_camera.viewport, &g_camera.projection, &g_camera.view, &identity);
        return POINT{static_cast<LONG>(std::floor(screen.x)), static_cast<LONG>(std::floor(screen.y))};
    };
    auto whiteNear = [&pixels](POINT at) {
        for (LONG dy = -1; dy <= 1; ++dy)
            for (LONG dx = -1; dx <= 1; ++dx) {
                const LONG x = at.x + dx, y = at.y + dy;
                if (x >= 0 && y >= 0 && x < LONG(pixels.width) && y < LONG(pixels.height) &&
                    render_test::ColourNear(pixels.At(UINT(x), UINT(y)), 0xFFFFFFFFu))
                    return true;
            }
        return false;
    };
    // The middles of the near face's four edges, 10 units out from the body on each side.
    for (const D3DXVECTOR3& edge :
         {D3DXVECTOR3(0, 10, 30), D3DXVECTOR3(0, -10, 30), D3DXVECTOR3(10, 0, 30), D3DXVECTOR3(-10, 0, 30)})
        EXPECT_TRUE(whiteNear(project(edge))) << edge.x << " " << edge.y;
    // Inside the box and outside it the frame keeps its background.
    EXPECT_TRUE(render_test::ColourNear(pixels.At(32, 24), kBackground));
    EXPECT_TRUE(render_test::ColourNear(pixels.At(2, 2), kBackground));
    delete tesk;
    delete interface;
    DebugListsReset();
}

}  // namespace
