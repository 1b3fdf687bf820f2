// The walks over a graphic object's whole node tree: their order on a wide tree, frames, time
// stamps, poses and particle sets; the shader settings a mesh file declares; placing an object by
// another one's name.
#include <gtest/gtest.h>

#include <algorithm>

#include <functional>
#include <string>
#include <vector>

#include "platform/test_clock.h"
#include "scene/plugin_bridges/particle_effects.h"
#include "scene/scene_state.h"
#include "tests/world/objects/graph_obj_fixture.h"
#include "tests/world/node_tree.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"
#include "world/objects/shader_settings.h"

using graph_test::ApplyLine;
using graph_test::GraphObjTest;

namespace {

class RecordingEffect : public ParticleEffect {
public:
    void Attach(GraphNode* node, s32_t flag) override
    {
        nodes.push_back(node);
        flags.push_back(flag);
    }
    std::vector<GraphNode*> nodes;
    std::vector<s32_t> flags;
};

// The walk order, written recursively: the node, then its children's subtrees from the last.
void ExpectedOrder(GraphNode* node, std::vector<GraphNode*>& out)
{
    out.push_back(node);
    for (s32_t i = node->GetChildCount() - 1; i >= 0; --i)
        ExpectedOrder(node->GetChild(i), out);
}

using GraphObjWalks = GraphObjTest;

TEST_F(GraphObjWalks, AWideTreeIsWalkedWholeInItsOrder)
{
    GraphObj object;
    for (int i = 0; i < 300; ++i) {
        GraphNode* branch = AddChildNode(object.GetRootNode(), ("b" + std::to_string(i)).c_str());
        for (int j = 0; j < 3; ++j)
            AddChildNode(branch, "leaf");
    }
    std::vector<GraphNode*> expected;
    ExpectedOrder(object.GetRootNode(), expected);
    std::vector<GraphNode*> visited;
    object.ForEachNode([&](GraphNode* node) { visited.push_back(node); });
    EXPECT_EQ(visited.size(), 1201u);
    EXPECT_EQ(visited, expected);
    // The drawing walks the same way.
    GraphNode* last = object.GetRootNode()->GetChild(299)->GetChild(2);
    EXPECT_EQ(object.FindChild("leaf"), last);
}

TEST_F(GraphObjWalks, FramesStampsAndPosesReachEveryNode)
{
    aff_test::AffFile aff = graph_test::QuadsAff({"part"});
    aff.frameRate = 20.0f;
    aff.frames.push_back(aff.frames[0]);
    aff.frames.push_back(aff.frames[0]);
    AnimMesh* mesh = WriteMesh("part", aff);
    GraphObj object;
    GraphNode* arm = AddChildNode(object.GetRootNode(), "arm", mesh);
    GraphNode* hand = AddChildNode(arm, "hand", mesh);
    GraphNode* empty = AddChildNode(arm, "empty");
    hand->SetFrame(1.0f);
    object.AdvanceFrameAll(0.05f);
    EXPECT_FLOAT_EQ(arm->frame, 1.0f);
    EXPECT_FLOAT_EQ(hand->frame, 2.0f);
    EXPECT_EQ(empty->frame, 0.0f);

    PlatformTestClockStart(graph_test::kStartTick + 40);
    object.StampNodeTimes();
    EXPECT_EQ(empty->stampTick, graph_test::kStartTick + 40);
    EXPECT_EQ(object.GetRootNode()->stampTick, graph_test::kStartTick + 40);

    object.StorePose();
    hand->SetPosition({1, 2, 3});
    hand->SetFrame(0.5f);
    object.ApplyStoredPose();
    EXPECT_EQ(hand->GetPosition().x, 0.0f);
    EXPECT_FLOAT_EQ(hand->frame, 2.0f);
    object.RestorePose();
    EXPECT_EQ(hand->GetPosition().z, 3.0f);
    EXPECT_FLOAT_EQ(hand->frame, 0.5f);
}

TEST_F(GraphObjWalks, AParticleSetAttachesToEveryNodeByKindAndExactName)
{
    GraphObj object;
    AddChildNode(AddChildNode(object.GetRootNode(), "a"), "b");
    RecordingEffect other, sparks;
    other.kind = 2;
    other.name.Assign("sparks");
    sparks.kind = 1;
    sparks.name.Assign("sparks");
    g_scene.particleEffects[3] = &other;
    g_scene.particleEffects[700] = &sparks;
    object.ExecParticleSet("Sparks");  // names are exact
    object.ExecParticleSet("smoke");
    EXPECT_TRUE(sparks.nodes.empty());
    object.ExecParticleSet("sparks");
    EXPECT_EQ(sparks.nodes.size(), 3u);
    EXPECT_EQ(sparks.nodes[0], object.GetRootNode());
    EXPECT_EQ(sparks.flags, (std::vector<s32_t>{1, 1, 1}));
    EXPECT_TRUE(other.nodes.empty());
    g_scene.particleEffects[3] = nullptr;
    g_scene.particleEffects[700] = nullptr;
}

TEST_F(GraphObjWalks, AMeshFileDeclaresShaderSettingsThatLaterLinesTune)
{
    aff_test::AffFile aff = graph_test::QuadsAff({"hull"});
    aff.dummies = std::vector<aff_test::DummyBox>{
        {"sh_glow", {}, {}, {1, 2, 3}}, {"lamp", {}, {}, {}}, {"sh_x", {}, {}, {4, 5, 6}}};
    WriteMesh("lit", aff);
    WriteMesh("plain", graph_test::QuadsAff({"hull"}));
    GraphObj object;
    ASSERT_TRUE(ApplyLine(object, "anim hull root lit"));
    ASSERT_NE(object.shaderSettings, nullptr);
    ASSERT_EQ(object.shaderSettings->count, 2u);
    const ShaderSetting& glow = *object.shaderSettings->items[0];
    EXPECT_STREQ(glow.name.Text(), "glow");
    EXPECT_EQ(glow.kind, SHADER_SETTING_DECLARED);
    EXPECT_EQ(glow.param1, 10.0f);
    EXPECT_EQ(glow.param2, 10.0f);
    EXPECT_EQ(glow.position.z, 3.0f);
    EXPECT_EQ(glow.enabled, 1);
    EXPECT_STREQ(object.shaderSettings->items[1]->name.Text(), "x");
    EXPECT_TRUE(ApplyLine(object, "setsh glow tex 4 5"));
    EXPECT_EQ(glow.param1, 4.0f);
    // A later three-value line replaces the list: this mesh declares none.
    ASSERT_TRUE(ApplyLine(object, "anim other root plain"));
    EXPECT_EQ(object.shaderSettings, nullptr);
    EXPECT_FALSE(ApplyLine(object, "setsh glow tex 4 5"));
}

TEST_F(GraphObjWalks, AnObjectIsPlacedAtTheCentreOfANamedOnesBox)
{
    // The box is the object's geometry as it stands now, not the one stored when it was registered.
    struct Tower : DynamicObject {
        void GetGeometryBounds(float* box) override
        {
            const float now[6] = {10, 0, 20, 12, 8, 24};
            std::copy(now, now + 6, box);
        }
    } tower;
    tower.name.Assign("Tower");
    Register(&tower);
    const float stale[6] = {0, 0, 0, 0, 0, 0};
    tower.SetBoundingBox(stale);
    GraphObj object;
    EXPECT_FALSE(ApplyLine(object, "posobj castle"));
    EXPECT_TRUE(ApplyLine(object, "posobj tower"));
    const Vector3 p = object.GetPosition();
    EXPECT_EQ(p.x, 11.0f);
    EXPECT_EQ(p.y, 4.0f);
    EXPECT_EQ(p.z, 22.0f);
    DynObjectRemove(&tower);  // it lives on this stack
}

}  // namespace
