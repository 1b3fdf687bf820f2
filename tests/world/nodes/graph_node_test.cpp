// Graphic nodes with the tick count pinned: the child array, switching animations with the 300 ms
// cross-fade, the blend weight, poses, the per-mesh tables and the level-of-detail render flags.
#include <gtest/gtest.h>

#include <string>

#include "platform/test_clock.h"
#include "support/vfs_fixture.h"
#include "tests/world/aff_writer.h"
#include "tests/world/node_tree.h"
#include "world/animation/anim_cache.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"

using namespace aff_test;

namespace {

constexpr DWORD kStart = 500000;

class GraphNodes : public VfsTest {
protected:
    void SetUp() override
    {
        VfsTest::SetUp();
        PlatformTestClockStart(kStart);
    }
    void TearDown() override
    {
        PlatformTestClockStop();
        AnimCacheFreeAll();
        VfsTest::TearDown();
    }
    static void At(DWORD ticks) { PlatformTestClockStart(ticks); }

    // A cached mesh of the named meshes, one quad each, in every frame.
    static AnimMesh* MeshOf(const std::string& file, const std::vector<std::string>& names, u32_t frames = 1)
    {
        AffFile aff;
        aff.strings = names;
        for (u32_t f = 0; f < frames; ++f) {
            Frame frame;
            for (u32_t m = 0; m < names.size(); ++m)
                frame.meshes.push_back(QuadMesh(m, {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}}));
            aff.frames.push_back(frame);
        }
        EXPECT_TRUE(WriteAff(file, aff));
        return AnimCacheAcquire(file.c_str(), false);
    }

    AnimMesh walk;
    AnimMesh run;
};

TEST_F(GraphNodes, ChildrenGrowFromFourByDoublingAndTheLastFillsARemovedSlot)
{
    GraphNode parent("parent");
    EXPECT_EQ(parent.childCapacity, 0u);
    GraphNode* added[5];
    for (int i = 0; i < 5; ++i) {
        added[i] = AddChildNode(&parent, ("child" + std::to_string(i)).c_str());
        EXPECT_EQ(parent.childCapacity, i < 4 ? 4u : 8u) << i;
    }
    EXPECT_EQ(added[2]->GetParent(), &parent);
    GraphNode stranger;
    parent.RemoveChild(&stranger);
    EXPECT_EQ(parent.GetChildCount(), 5);

    GraphNode three("three");
    GraphNode* first = AddChildNode(&three, "first");
    AddChildNode(&three, "second");
    GraphNode* third = AddChildNode(&three, "third");
    three.RemoveChild(first);
    ASSERT_EQ(three.GetChildCount(), 2);
    EXPECT_EQ(three.GetChild(0), third);
    EXPECT_STREQ(three.GetChild(1)->GetName(), "second");
    EXPECT_EQ(three.children[2], nullptr);
}

TEST_F(GraphNodes, SwitchingToTheShownMeshChangesNothingAndAnUnblendedSwitchHasNoSource)
{
    GraphNode node;
    node.SwitchAnim(&walk, false);
    EXPECT_EQ(node.GetAnimMesh(), &walk);
    EXPECT_EQ(node.GetBlendSourceAnim(), nullptr);

    node.SwitchAnim(&run, true);
    EXPECT_EQ(node.GetBlendSourceAnim(), &walk);
    At(kStart + 50);
    node.SwitchAnim(&run, true);
    node.SwitchAnim(&run, false);
    EXPECT_EQ(node.switchTick, kStart);
    EXPECT_EQ(node.blending, 1);
    EXPECT_EQ(node.GetBlendSourceAnim(), &walk);

    node.SwitchAnim(&walk, false);
    EXPECT_EQ(node.GetBlendSourceAnim(), nullptr);
    EXPECT_EQ(node.blendSourceAnim, nullptr);
}

TEST_F(GraphNodes, TheFrameHoldsAtZeroForThreeHundredMillisecondsAfterABlendedSwitch)
{
    GraphNode node;
    node.SwitchAnim(&walk, false);
    node.SetFrame(3.0f);
    node.SwitchAnim(&run, true);
    EXPECT_EQ(node.GetBlendSourceFrame(), 3.0f);
    for (DWORD since : {100u, 300u}) {
        At(kStart + since);
        node.SetFrame(7.5f);
        EXPECT_EQ(node.frame, 0.0f) << since;
        EXPECT_EQ(node.GetFrame(), 0.0f) << since;
        EXPECT_EQ(node.GetBlendSourceAnim(), &walk) << since;
    }
    At(kStart + 301);
    node.SetFrame(7.5f);
    EXPECT_EQ(node.frame, 7.5f);
    EXPECT_EQ(node.GetFrame(), 7.5f);
    EXPECT_EQ(node.GetBlendSourceAnim(), nullptr);
    node.ClearBlend();
    EXPECT_EQ(node.blendSourceAnim, nullptr);
}

TEST_F(GraphNodes, TheBlendWeightRisesFromZeroToOneOverTheFadeAndStaysWithinThem)
{
    GraphNode node;
    At(kStart + 1000);
    node.SwitchAnim(&run, true);
    const struct {
        DWORD stamp;
        float weight;
    } cases[] = {
        {kStart + 1000, 0.0f},
        {kStart + 1150, 0.5f},
        {kStart + 1300, 1.0f},
        {kStart + 1075, 0.25f},
        {kStart + 950, 0.0f},   // stamped before the switch
        {kStart + 5000, 1.0f},  // long after it
        {kStart + 1000 - 0x80000000u, 0.0f},
    };
    for (const auto& c : cases) {
        At(c.stamp);
        node.StampTime();
        EXPECT_NEAR(node.GetBlendWeight(), c.weight, 1e-6f) << c.stamp - kStart;
        EXPECT_EQ(node.blendWeight, node.GetBlendWeight());
    }
}

TEST_F(GraphNodes, AStoredPoseComesAndGoesWithoutACrossFade)
{
    GraphNode node;
    node.SwitchAnim(&walk, false);
    node.SetFrame(2.0f);
    node.SetPosition({1, 2, 3});
    node.SetRotation({0.1f, 0.2f, 0.3f});
    node.StorePose();

    node.SwitchAnim(&run, true);
    At(kStart + 400);
    node.SetFrame(5.0f);
    node.SetPosition({4, 5, 6});
    node.SetRotation({0.4f, 0.5f, 0.6f});

    node.ApplyStoredPose();
    EXPECT_EQ(node.GetAnimMesh(), &walk);
    EXPECT_EQ(node.GetFrame(), 2.0f);
    EXPECT_EQ(node.GetPosition().y, 2.0f);
    EXPECT_EQ(node.GetRotation().z, 0.3f);
    EXPECT_EQ(node.GetBlendSourceAnim(), nullptr);

    node.RestorePose();
    EXPECT_EQ(node.GetAnimMesh(), &run);
    EXPECT_EQ(node.GetFrame(), 5.0f);
    EXPECT_EQ(node.GetPosition().x, 4.0f);
    EXPECT_EQ(node.GetRotation().y, 0.5f);
    EXPECT_EQ(node.GetBlendSourceAnim(), nullptr);
    EXPECT_EQ(node.blending, 0);
}

TEST_F(GraphNodes, LevelOfDetailRenderFlagsReadFalseOutsideTheThreeSteps)
{
    GraphNode node, other;
    for (s32_t step : {0, 1, 2})
        EXPECT_TRUE(node.GetLodRender(step));
    EXPECT_FALSE(node.GetLodRender(3));
    EXPECT_FALSE(node.GetLodRender(-1));
    const u8_t flags[3] = {1, 0, 1};
    node.SetLodRender(flags);
    EXPECT_FALSE(node.GetLodRender(1));
    node.CopyLodRender(&other);
    EXPECT_TRUE(other.GetLodRender(0));
    EXPECT_FALSE(other.GetLodRender(1));
    EXPECT_TRUE(other.GetLodRender(2));
}

TEST_F(GraphNodes, AMeshGivesOneEntryPerFrameZeroMeshAndItsSettingsAreMadeOnce)
{
    GraphNode node;
    AnimMesh* house = MeshOf("house.aff", {"wall", "roof1", "door"});
    ASSERT_NE(house, nullptr);
    house->GetMeshTextureRef(0, 2)->textureWord = 0xFFFFFFFFu;
    node.SetAnimMesh(house);
    EXPECT_EQ(house->GetMeshTextureRef(0, 2)->textureWord, ANIM_TEXTURE_NONE);
    ASSERT_EQ(node.FrameZeroMeshCount(), 3u);
    for (u32_t m = 0; m < 3; ++m) {
        EXPECT_EQ(node.GetMeshTextures()[m], nullptr);
        EXPECT_EQ(node.GetMeshColors()[m], GRAPH_NODE_NO_COLOR);
        const MeshSettings& settings = node.GetMeshSettings()[m];
        EXPECT_EQ(settings.lit, 1);
        EXPECT_EQ(settings.material, nullptr);
        EXPECT_EQ(settings.lodMode[0], MESH_MODE_DEFAULT);
        EXPECT_EQ(settings.lodHidden[0], 0);
        EXPECT_EQ(settings.lodTagged, m == 1 ? 1 : 0);  // "roof1" belongs to level 1 only
    }
    node.SetMeshColor(1, 0xFF00FF00u);
    node.SetMeshColor(3, 0xFF0000FFu);  // past the meshes: ignored
    EXPECT_EQ(node.GetMeshColors()[1], 0xFF00FF00u);

    // Another mesh keeps the settings the parameters changed.
    node.GetMeshSettings()[0].noClip = 1;
    node.switchTick = 77;
    node.blending = 1;
    node.SetAnimMesh(house);
    EXPECT_EQ(node.GetMeshSettings()[0].noClip, 1);
    EXPECT_EQ(node.GetMeshColors()[1], GRAPH_NODE_NO_COLOR);
    EXPECT_EQ(node.switchTick, 0u);
    EXPECT_EQ(node.blending, 0);

    // A mesh without frames has no entries.
    GraphNode empty;
    empty.SetAnimMesh(&walk);
    EXPECT_EQ(empty.FrameZeroMeshCount(), 0u);
    empty.SetMeshTexture(0, reinterpret_cast<IDirect3DTexture8*>(&walk));
    empty.SetMeshColor(0, 1);
}

}  // namespace
