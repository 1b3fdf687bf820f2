// The sample soldier drawn on the offscreen device with a camera looking at it from the side: the
// pixels it changes lie where its meshes project, none change with rbactors off, and a lying corpse
// covers a band low on the screen with rbshowbodys on and nothing with it off. The recorded mesh
// draws tell which meshes those pixels came from and how high their boxes reach.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/actors/actor_test_support.h"
#include "actors/actor_cvars.h"
#include "actors/actor_motion.h"
#include "actors/anim_name_tables.h"
#include "platform/d3dx8_math.h"
#include "platform/test_clock.h"
#include "render/camera.h"
#include "render/render_cvars.h"
#include "scene/meshes/object_draw.h"
#include "scene/scene_state.h"
#include "render/device/render_context.h"
#include "render/device/render_device.h"
#include "scene/draw_records/draw_lists.h"
#include "support/test_window.h"
#include "support/render_test_support.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"

namespace {

using actor_test::Dummy;
using render_test::Pixels;

// A colour none of the soldier's lit meshes takes.
constexpr DWORD kClear = 0xFF2050A0;

// One recorded draw's box (the first mesh of the node's frame) in world space, and the pixel
// rectangle its eight corners span on the screen.
struct DrawnBox {
    AnimMesh* mesh = nullptr;
    float top = -1e30f;
    bool onScreen = true;
    float left = 1e30f, right = -1e30f, upper = 1e30f, lower = -1e30f;
};

// The pixels a draw changed: how many, the rows they span, and how many lie outside every box.
struct Changed {
    int count = 0;
    int outside = 0;
    int firstRow = 1 << 30, lastRow = -1;
    int Rows() const { return count ? lastRow - firstRow + 1 : 0; }
};

class ActorOnScreen : public actor_test::ClassFixture {
protected:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 48;

    void SetUp() override
    {
        ClassFixture::SetUp();
        ASSERT_NE(m_window.Handle(), nullptr);
        ASSERT_EQ(RenderInit(m_window.Handle()), 0);
        SceneDrawListsInit();
        ASSERT_EQ(RenderSetDisplayMode(kWidth, kHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
        PlatformTestClockStart(20000);
        m_info = Load("soldier", "default");
        ASSERT_NE(m_info, nullptr);
        m_legs = Animation(m_info->legsGroups[0].entries, m_info->legsNames[LEGS_IDLE * ACTOR_POSES]);
        m_torso = Animation(m_info->torsoGroups[0].entries, m_info->torsoNames[TORSO_POSE * ACTOR_POSES]);
        ASSERT_NE(m_legs, nullptr);
        ASSERT_NE(m_torso, nullptr);
        m_actor = new Actor();
        m_actor->classInfo = m_info;
        for (GraphNode* node : actor_test::AttachSoldierBody(m_actor, m_legs, m_torso, true))
            m_nodes.push_back(node);
        m_actor->SetPosition({0, 0, 30});
        // The eye 40 units to the soldier's side at half his height, looking level at his middle: a
        // body that falls forward or back lies across the view.
        RenderSetupLookAtCamera(-40, 7.5f, 30, 0, 7.5f, 30, 1.0f, 0, nullptr, nullptr, 1);
        m_actor->UpdateViewDistance();
        SceneDrawLogClear();
    }
    void TearDown() override
    {
        delete m_actor;
        SceneDrawLogClear();
        PlatformTestClockStop();
        RenderShutdown(true);
        ClassFixture::TearDown();
    }

    static AnimMesh* Animation(const std::vector<AnimEntry>& entries, u8_t cell)
    {
        return cell == ANIM_CELL_NONE ? nullptr : entries[cell].animations[0];
    }

    // Clears the target, draws the actor and reads the pixels back; the recorded draws' boxes.
    std::vector<DrawnBox> Draw(Changed* changed = nullptr)
    {
        IDirect3DDevice8* device = g_render.device;
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, kClear, 1.0f, 0);
        SceneDrawLogClear();
        device->BeginScene();
        m_actor->Render();
        device->EndScene();
        const Pixels pixels = render_test::ReadBackBuffer(device);
        const SceneDrawLog& log = g_scene.drawLog;
        D3DXMATRIX viewProjection = g_camera.view * g_camera.projection;
        std::vector<DrawnBox> boxes;
        for (s32_t i = 0; i < std::min(log.meshDrawCount, SCENE_DRAW_LOG_SIZE); ++i) {
            const MeshDrawCall& call = log.meshDraws[i];
            DrawnBox drawn;
            drawn.mesh = call.node ? call.node->GetAnimMesh() : nullptr;
            if (!drawn.mesh)
                continue;
            const AnimVertexData* vertices = drawn.mesh->GetMeshVertices(static_cast<u32_t>(call.node->GetFrame()), 0);
            if (!vertices)
                continue;
            const D3DXMATRIX world(call.world);
            for (int corner = 0; corner < 8; ++corner) {
                const D3DXVECTOR3 local(corner & 1 ? vertices->boxMax.x : vertices->boxMin.x,
                                        corner & 2 ? vertices->boxMax.y : vertices->boxMin.y,
                                        corner & 4 ? vertices->boxMax.z : vertices->boxMin.z);
                D3DXVECTOR3 placed, screen;
                D3DXVec3TransformCoord(&placed, &local, &world);
                D3DXVec3TransformCoord(&screen, &placed, &viewProjection);
                drawn.top = std::max(drawn.top, placed.y);
                if (screen.x < -1 || screen.x > 1 || screen.y < -1 || screen.y > 1 || screen.z < 0 || screen.z > 1)
                    drawn.onScreen = false;
                const float px = (screen.x + 1.0f) * 0.5f * kWidth, py = (1.0f - screen.y) * 0.5f * kHeight;
                drawn.left = std::min(drawn.left, px);
                drawn.right = std::max(drawn.right, px);
                drawn.upper = std::min(drawn.upper, py);
                drawn.lower = std::max(drawn.lower, py);
            }
            boxes.push_back(drawn);
        }
        if (changed) {
            *changed = {};
            EXPECT_EQ(pixels.width, UINT(kWidth));
            for (UINT y = 0; y < pixels.height; ++y) {
                for (UINT x = 0; x < pixels.width; ++x) {
                    if (pixels.At(x, y) == kClear)
                        continue;
                    ++changed->count;
                    changed->firstRow = std::min(changed->firstRow, int(y));
                    changed->lastRow = std::max(changed->lastRow, int(y));
                    // Pixel centres, with a pixel's slack for rasterisation.
                    const float cx = float(x) + 0.5f, cy = float(y) + 0.5f;
                    bool inside = false;
                    for (const DrawnBox& box : boxes)
                        inside = inside || (cx >= box.left - 1 && cx <= box.right + 1 && cy >= box.upper - 1 &&
                                            cy <= box.lower + 1);
                    changed->outside += inside ? 0 : 1;
                }
            }
        }
        return boxes;
    }

    // The nodes on their class's death animations of a standing soldier, at their end.
    void LieDead()
    {
        ASSERT_GT(m_info->deathGroupCount, 0);
        ASSERT_GT(m_info->deathGroups[0].count, 0);
        AnimMesh* legs = m_info->deathGroups[0].anims[0].legs;
        AnimMesh* torso = m_info->deathGroups[0].anims[0].torso;
        ASSERT_NE(legs, nullptr);
        ASSERT_NE(torso, nullptr);
        m_nodes[0]->SetAnimMesh(legs);
        m_nodes[1]->SetAnimMesh(torso);
        m_nodes[1]->SetAttachPoint(Dummy(legs, "xa"), Dummy(torso, "xa1"));
        // Whole frames cycle through count - 1 steps: the death step leaves each node just short
        // of its last stored frame.
        m_nodes[0]->SetFrame(static_cast<float>(legs->frames_c) - 1.001f);
        m_nodes[1]->SetFrame(static_cast<float>(torso->frames_c) - 1.001f);
        m_actor->die(1, 0.0f);
        m_actor->deathDone = true;
        // Past the cross-fade from the standing animations.
        PlatformTestClockAdvance(1000);
    }

    TestWindow m_window;
    ActorClassInfo* m_info = nullptr;
    AnimMesh* m_legs = nullptr;
    AnimMesh* m_torso = nullptr;
    Actor* m_actor = nullptr;
    std::vector<GraphNode*> m_nodes;
};

TEST_F(ActorOnScreen, AStandingSoldierDrawsWhereItsMeshesProjectAndRbactorsOffNothing)
{
    KeepVar keepActors(rbactors);
    KeepVar keepDirs(rbactordirs);
    rbactordirs.SetBool(false);
    rbactors.SetBool(true);
    // The camera reached the device.
    D3DMATRIX view = {};
    ASSERT_EQ(g_render.device->GetTransform(D3DTS_VIEW, &view), D3D_OK);
    EXPECT_EQ(view._43, g_camera.view._43);

    Changed changed;
    const std::vector<DrawnBox> boxes = Draw(&changed);
    ASSERT_EQ(boxes.size(), 2u);
    // A soldier 15 units tall 40 units away fills a good part of the 48 rows; every pixel drawn lies
    // where a mesh box projects.
    EXPECT_GT(changed.count, 60);
    EXPECT_GT(changed.Rows(), 12);
    EXPECT_EQ(changed.outside, 0);
    EXPECT_EQ(boxes[0].mesh, m_legs);
    EXPECT_EQ(boxes[1].mesh, m_torso);
    for (const DrawnBox& box : boxes)
        EXPECT_TRUE(box.onScreen);
    // Legs 9 units tall and the torso 6 on top of them.
    EXPECT_NEAR(boxes[0].top, 9.0f, 1e-3f);
    EXPECT_NEAR(boxes[1].top, 15.0f, 1e-3f);
    EXPECT_EQ(m_nodes[1]->swapPivotAxes, 0);

    rbactors.SetBool(false);
    EXPECT_TRUE(Draw(&changed).empty());
    EXPECT_EQ(g_scene.drawLog.meshDrawCount, 0);
    EXPECT_EQ(changed.count, 0);
}

TEST_F(ActorOnScreen, ALyingCorpseIsDrawnLowOnlyWithRbshowbodys)
{
    KeepVar keepActors(rbactors);
    KeepVar keepBodies(rbshowbodys);
    rbactors.SetBool(true);
    Changed standing;
    Draw(&standing);
    ASSERT_GT(standing.count, 0);
    LieDead();
    rbshowbodys.SetBool(true);
    Changed lying;
    const std::vector<DrawnBox> boxes = Draw(&lying);
    ASSERT_EQ(boxes.size(), 2u);
    // Drawn, inside its boxes, in a lower band than the standing soldier's: nothing of it reaches
    // above his middle. (The sample death meshes only move their boxes down and forward: the body
    // sinks rather than turns, so the band is not much thinner.)
    EXPECT_GT(lying.count, 20);
    EXPECT_EQ(lying.outside, 0);
    EXPECT_LT(lying.Rows(), standing.Rows());
    EXPECT_GT(lying.firstRow, (standing.firstRow + standing.lastRow) / 2);
    EXPECT_EQ(boxes[0].mesh, m_info->deathGroups[0].anims[0].legs);
    EXPECT_EQ(boxes[1].mesh, m_info->deathGroups[0].anims[0].torso);
    for (const DrawnBox& box : boxes)
        EXPECT_TRUE(box.onScreen);
    // The whole body lies low: the standing soldier reaches 9 (legs) and 15 (torso) units up.
    EXPECT_LT(boxes[0].top, 6.0f);
    EXPECT_LT(boxes[1].top, 7.0f);
    EXPECT_EQ(m_nodes[1]->swapPivotAxes, 1);

    rbshowbodys.SetBool(false);
    EXPECT_TRUE(Draw(&lying).empty());
    EXPECT_EQ(g_scene.drawLog.meshDrawCount, 0);
    EXPECT_EQ(lying.count, 0);
}

}  // namespace
