// A node's decal list with the clock pinned: dropping near decals, evicting the oldest, expiry
// (also across a wrap of the tick count), drawing in order, and the object's fog fade.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "ai/envelopes/envelope.h"
#include "game/view/player_view.h"
#include "map/map_cvars.h"
#include "platform/test_clock.h"
#include "scene/meshes/object_draw.h"
#include "scene/scene_state.h"
#include "tests/world/objects/graph_obj_fixture.h"
#include "tests/world/node_tree.h"
#include "world/decals/decal.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"
#include "world/world_cvars.h"

using graph_test::GraphObjTest;
using graph_test::SavedVar;

namespace {

constexpr DWORD kNow = 700000;

Decal* MakeDecal(float x, u32_t created, u32_t lifetime = 10000, float radius = 0.0f)
{
    Decal* decal = new Decal;
    decal->centre = {x, 0, 0};
    decal->spacingRadius = radius;
    decal->created = created;
    decal->lifetime = lifetime;
    return decal;
}

std::vector<float> Centres(const GraphNode& node)
{
    std::vector<float> xs;
    for (u32_t i = 0; i < node.decalCount; ++i)
        xs.push_back(node.decals[i]->centre.x);
    return xs;
}

class NodeDecals : public GraphObjTest {
protected:
    void SetUp() override
    {
        GraphObjTest::SetUp();
        PlatformTestClockStart(kNow);
    }

    GraphNode node{"node"};
    SavedVar keepRemoval{rbremovedecals};
};

TEST_F(NodeDecals, ADecalNearAListedOneIsDroppedOnlyWhenAsked)
{
    node.AddDecal(MakeDecal(0, kNow, 10000, 1.0f), true);
    node.AddDecal(MakeDecal(1.0f, kNow), true);  // on the listed decal's radius
    EXPECT_EQ(Centres(node), (std::vector<float>{0}));
    node.AddDecal(MakeDecal(1.5f, kNow), true);
    node.AddDecal(MakeDecal(0.5f, kNow), false);
    EXPECT_EQ(Centres(node), (std::vector<float>{0, 1.5f, 0.5f}));

    // Removing keeps the order of the others; an unlisted decal is not removed.
    Decal stranger;
    node.RemoveDecal(&stranger);
    node.RemoveDecal(node.decals[1]);
    EXPECT_EQ(Centres(node), (std::vector<float>{0, 0.5f}));
    node.RemoveDecal(node.decals[0]);
    node.RemoveDecal(node.decals[0]);
    EXPECT_EQ(node.decalCount, 0u);
    EXPECT_EQ(node.decals, nullptr);
}

TEST_F(NodeDecals, AFullListLosesItsStrictlyOldestDecal)
{
    for (u32_t i = 0; i < 64; ++i) {
        // Decal 3 is the oldest; 5 and 9 tie for second.
        const u32_t age = i == 3 ? 500 : (i == 5 || i == 9) ? 400 : 10;
        node.AddDecal(MakeDecal(static_cast<float>(i), kNow - age), false);
    }
    ASSERT_EQ(node.decalCount, 64u);
    node.AddDecal(MakeDecal(100, kNow), false);
    node.AddDecal(MakeDecal(101, kNow), false);
    const std::vector<float> xs = Centres(node);
    ASSERT_EQ(xs.size(), 64u);
    EXPECT_EQ(std::count(xs.begin(), xs.end(), 3.0f), 0);
    EXPECT_EQ(std::count(xs.begin(), xs.end(), 5.0f), 0);  // the first of the tie
    EXPECT_EQ(std::count(xs.begin(), xs.end(), 9.0f), 1);
    EXPECT_EQ(xs.back(), 101.0f);
}

TEST_F(NodeDecals, DecalsOfOneMillisecondAreNeverEvicted)
{
    for (u32_t i = 0; i < 65; ++i)
        node.AddDecal(MakeDecal(static_cast<float>(i), kNow), false);
    EXPECT_EQ(node.decalCount, 65u);
    EXPECT_EQ(node.decals[0]->centre.x, 0.0f);
}

TEST_F(NodeDecals, DecalsExpireOnlyWhileRemovalIsOnAcrossATickWrap)
{
    const u32_t created = 0xFFFFFF00u;
    node.AddDecal(MakeDecal(0, created, 0x200), false);
    node.AddDecal(MakeDecal(1, created, 0x100), false);
    node.AddDecal(MakeDecal(2, created, 0x200), false);
    PlatformTestClockStart(0x150);  // 0x250 ms after creation, past the wrap
    rbremovedecals.SetBool(false);
    node.ExpireDecals(0.25f);
    ASSERT_EQ(node.decalCount, 3u);
    EXPECT_EQ(node.decals[2]->fogFactor, 0.25f);

    rbremovedecals.SetBool(true);
    PlatformTestClockStart(0x50);  // 0x150 ms: only the short one is over
    node.ExpireDecals(0.5f);
    EXPECT_EQ(Centres(node), (std::vector<float>{0, 2}));
    EXPECT_EQ(node.decals[1]->fogFactor, 0.5f);
    PlatformTestClockStart(0x100);  // exactly the lifetime
    node.ExpireDecals(0.5f);
    // The decal moved into the freed slot waits for the next pass.
    EXPECT_EQ(Centres(node), (std::vector<float>{2}));
    node.ExpireDecals(0.5f);
    EXPECT_EQ(node.decalCount, 0u);
}

TEST_F(NodeDecals, DecalsAreDrawnInListOrderUnlessTheEnvelopeCountsTheObjectDestroyed)
{
    GraphObj object;
    GraphNode* first = AddChildNode(object.GetRootNode(), "first");
    GraphNode* second = AddChildNode(object.GetRootNode(), "second");
    first->AddDecal(MakeDecal(0, kNow), false);
    first->AddDecal(MakeDecal(1, kNow), false);
    second->AddDecal(MakeDecal(2, kNow), false);
    object.DrawDecals();
    const SceneDrawLog& log = g_scene.drawLog;
    ASSERT_EQ(log.tintedMeshCount, 3);
    // The walk visits the last child first.
    EXPECT_EQ(log.tintedMeshes[0], second->decals[0]);
    EXPECT_EQ(log.tintedMeshes[1], first->decals[0]);
    EXPECT_EQ(log.tintedMeshes[2], first->decals[1]);

    DOEnvelope envelope;
    envelope.destroyed = 1;
    envelope.Attach(&object);
    object.DrawDecals();
    EXPECT_EQ(log.tintedMeshCount, 3);
    object.envelope = nullptr;

    object.ClearDecals();
    EXPECT_EQ(first->decalCount + second->decalCount, 0u);
}

TEST_F(NodeDecals, TheFogFadeIsClampedBeforeItIsRaisedToItsPower)
{
    SavedVar keepStart(mffogstart), keepRange(mfrange), keepPower(mffogpow);
    GraphObj object;
    GraphNode* child = AddChildNode(object.GetRootNode(), "child");
    child->AddDecal(MakeDecal(0, kNow), false);
    struct Case {
        const char* what;
        float distance;
        float start, range, power;
        float fade;
    };
    // Fog from 100 to 200 world units (10 and 20 in settings units).
    const Case cases[] = {
        {"halfway, power 2", 150.0f, 10.0f, 20.0f, 2.0f, 0.25f},
        {"beyond the range", 400.0f, 10.0f, 20.0f, 2.0f, 1.0f},
        {"before the start, power 2", 50.0f, 10.0f, 20.0f, 2.0f, 0.0f},
        {"before the start, power 1.5", 50.0f, 10.0f, 20.0f, 1.5f, 0.0f},
        {"no fog band, before it", 50.0f, 10.0f, 10.0f, 2.0f, 0.0f},
        {"no fog band, beyond it", 150.0f, 10.0f, 10.0f, 2.0f, 1.0f},
    };
    float* viewer = GameGetViewPos();
    const Vector3 keptViewer = {viewer[0], viewer[1], viewer[2]};
    viewer[0] = viewer[1] = viewer[2] = 0.0f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mffogstart.SetFloat(c.start);
        mfrange.SetFloat(c.range);
        mffogpow.SetFloat(c.power);
        object.SetPosition({0, 0, c.distance});
        object.UpdateDecals();
        const float fade = child->decals[0]->fogFactor;
        EXPECT_FALSE(std::isnan(fade));
        EXPECT_NEAR(fade, c.fade, 1e-6f);
    }
    viewer[0] = keptViewer.x;
    viewer[1] = keptViewer.y;
    viewer[2] = keptViewer.z;
}

}  // namespace
