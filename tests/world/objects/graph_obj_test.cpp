// Graphic objects on generated ".aff" files: node transforms with dummies and pivots, the cached
// geometry box, the child lookup and the mesh paths of definitions.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "platform/d3dx8_math.h"
#include "platform/test_clock.h"
#include "support/vfs_fixture.h"
#include "tests/render/texture_test_support.h"
#include "tests/world/aff_writer.h"
#include "tests/world/graph_fixtures.h"
#include "tests/world/node_tree.h"
#include "world/animation/anim_cache.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

using namespace aff_test;
using graph_test::DummyAt;
using graph_test::Quad;

namespace {

constexpr float kPi = 3.14159265f;

::testing::AssertionResult Near(Vector3 actual, Vector3 expected)
{
    if (std::fabs(actual.x - expected.x) < 1e-4f && std::fabs(actual.y - expected.y) < 1e-4f &&
        std::fabs(actual.z - expected.z) < 1e-4f)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") is not ("
                                         << expected.x << ", " << expected.y << ", " << expected.z << ")";
}

class StructureLike : public GraphObj {
public:
    const char* GetComponentFolder() const override { return "component\\structure\\"; }
};

class GraphObjects : public VfsTest {
protected:
    void SetUp() override
    {
        texture_test::StartFolder();
        VfsTest::SetUp();
        PlatformTestClockStart(100000);
    }
    void TearDown() override
    {
        PlatformTestClockStop();
        AnimCacheFreeAll();
        VfsTest::TearDown();
    }
    static AnimMesh* Load(const std::string& file, const std::vector<std::string>& names,
                          const std::vector<std::vector<Mesh>>& frames)
    {
        AffFile aff;
        aff.strings = names;
        for (const auto& meshes : frames)
            aff.frames.push_back({meshes});
        EXPECT_TRUE(WriteAff(file, aff));
        AnimMesh* mesh = AnimCacheAcquire(file.c_str(), false);
        EXPECT_NE(mesh, nullptr) << file;
        return mesh;
    }
};

TEST_F(GraphObjects, TheRootScalesTurnsAndMovesAndItsChildrenFollowIt)
{
    GraphObj object;
    GraphNode* root = object.GetRootNode();
    object.SetPosition({1, 2, 3});
    root->SetScale(2.0f);
    EXPECT_TRUE(Near(NodeWorldPoint(root, {1, 0, 0}), {3, 2, 3}));

    // A child of the root without dummies: its own matrix, then the root's.
    GraphNode* child = AddChildNode(root, "child");
    child->SetPosition({1, 0, 0});
    root->SetScale(1.0f);
    object.SetPosition({10, 0, 0});
    object.SetRotation({0, kPi / 2, 0});
    EXPECT_TRUE(Near(NodeWorldPoint(child, {0, 0, 0}), {10, 0, -1}));
    EXPECT_TRUE(Near(NodeWorldPoint(child, {0, 1, 0}), {10, 1, -1}));
    // Cached until something changes; a change above marks the child stale too.
    EXPECT_EQ(child->matrixValid, 1);
    object.SetPosition({20, 0, 0});
    EXPECT_EQ(child->matrixValid, 0);
    EXPECT_TRUE(Near(NodeWorldPoint(child, {0, 0, 0}), {20, 0, -1}));
    // A matrix set from outside is kept as it is.
    D3DXMATRIX placed;
    D3DXMatrixTranslation(&placed, 0, 7, 0);
    child->SetMatrix(placed.m[0]);
    EXPECT_TRUE(Near(NodeWorldPoint(child, {0, 0, 0}), {0, 7, 0}));
}

TEST_F(GraphObjects, ADeeperNodeTurnsAboutItsOwnDummyWhateverItsPosition)
{
    AnimMesh* arm = Load("arm.aff", {"arm", "pivot"}, {{Quad(0, 2, 4), DummyAt(1, {2, 0, 0})}});
    GraphObj object;
    GraphNode* body = AddChildNode(object.GetRootNode(), "body");
    GraphNode* node = AddChildNode(body, "arm", arm);
    node->SetAttachPoint(-1, 1);
    // The own dummy maps the pivot (2, 0, 0) to the origin; a point one unit along x lies one unit
    // along the dummy's Z, which is the third coordinate it gives.
    EXPECT_TRUE(Near(NodeWorldPoint(node, {2, 0, 0}), {0, 0, 0}));
    EXPECT_TRUE(Near(NodeWorldPoint(node, {3, 0, 0}), {0, 1, 0}));
    node->SetRotation({0, kPi, 0});
    node->SetPosition({100, 100, 100});
    EXPECT_TRUE(Near(NodeWorldPoint(node, {2, 0, 0}), {0, 0, 0}));
    EXPECT_TRUE(Near(NodeWorldPoint(node, {3, 0, 0}), {0, -1, 0}));
    // With the pivot axes swapped the y turn is about the dummy's Z axis: x stays where it was.
    node->swapPivotAxes = 1;
    node->Invalidate();
    EXPECT_TRUE(Near(NodeWorldPoint(node, {3, 0, 0}), {0, 1, 0}));
}

TEST_F(GraphObjects, AChildsDummyLandsOnItsParentsDummyAndFollowsItsAnimation)
{
    ASSERT_TRUE(WriteAff("carrier.aff", graph_test::CarrierAff({5, 7})));
    ASSERT_TRUE(WriteAff("gun.aff", graph_test::HeldAff(1)));
    AnimMesh* carrier = AnimCacheAcquire("carrier.aff", false);
    AnimMesh* gun = AnimCacheAcquire("gun.aff", false);
    ASSERT_NE(carrier, nullptr);
    ASSERT_NE(gun, nullptr);
    GraphObj object;
    GraphNode* body = AddChildNode(object.GetRootNode(), "body", carrier);
    GraphNode* held = AddChildNode(body, "gun", gun);
    held->SetAttachPoint(1, 1);
    EXPECT_TRUE(Near(NodeWorldPoint(held, {1, 0, 0}), {5, 0, 0}));
    EXPECT_TRUE(Near(NodeWorldPoint(held, {2, 0, 0}), {6, 0, 0}));
    body->SetFrame(0.5f);
    EXPECT_TRUE(Near(NodeWorldPoint(held, {1, 0, 0}), {6, 0, 0}));
    // A whole frame of a two-frame mesh wraps back to its first record.
    body->SetFrame(3.0f);
    EXPECT_TRUE(Near(NodeWorldPoint(held, {1, 0, 0}), {5, 0, 0}));
    body->SetFrame(-0.25f);
    EXPECT_TRUE(Near(NodeWorldPoint(held, {1, 0, 0}), {6.5f, 0, 0}));

    // Single-frame meshes stay on their one record at any frame.
    held->SetFrame(7.5f);
    body->SetFrame(0.0f);
    EXPECT_TRUE(Near(NodeWorldPoint(held, {1, 0, 0}), {5, 0, 0}));
    ASSERT_TRUE(WriteAff("still.aff", graph_test::CarrierAff({4})));
    body->SwitchAnim(AnimCacheAcquire("still.aff", false), false);
    body->SetFrame(-3.7f);
    EXPECT_TRUE(Near(NodeWorldPoint(held, {1, 0, 0}), {4, 0, 0}));
}

TEST_F(GraphObjects, DummiesCrossFadeFromTheMeshSwitchedFrom)
{
    ASSERT_TRUE(WriteAff("carrier.aff", graph_test::CarrierAff({5})));
    ASSERT_TRUE(WriteAff("pistol.aff", graph_test::HeldAff(1)));
    ASSERT_TRUE(WriteAff("rifle.aff", graph_test::HeldAff(3)));
    ASSERT_TRUE(WriteAff("raised.aff", graph_test::CarrierAff({9})));
    GraphObj object;
    GraphNode* body = AddChildNode(object.GetRootNode(), "body", AnimCacheAcquire("carrier.aff", false));
    GraphNode* held = AddChildNode(body, "gun", AnimCacheAcquire("pistol.aff", false));
    held->SetAttachPoint(1, 1);

    // The own dummy: from the pistol's handle (x = 1) to the rifle's (x = 3) by the blend weight.
    held->SwitchAnim(AnimCacheAcquire("rifle.aff", false), true);
    const struct {
        DWORD since;
        float expectedX;  // where the point (2, 0, 0) of the held mesh lands
    } ownCases[] = {{0, 6}, {150, 5}, {300, 4}, {301, 4}};
    for (const auto& c : ownCases) {
        SCOPED_TRACE(c.since);
        PlatformTestClockStart(100000 + c.since);
        held->StampTime();
        held->Invalidate();
        EXPECT_TRUE(Near(NodeWorldPoint(held, {2, 0, 0}), {c.expectedX, 0, 0}));
    }

    // The parent's dummy: from x = 5 to x = 9 while the parent's fade runs.
    PlatformTestClockStart(200000);
    body->SwitchAnim(AnimCacheAcquire("raised.aff", false), true);
    PlatformTestClockStart(200100);
    body->StampTime();  // a third of the way
    held->Invalidate();
    EXPECT_TRUE(Near(NodeWorldPoint(held, {3, 0, 0}), {5 + 4.0f / 3.0f, 0, 0}));
    PlatformTestClockStart(200301);
    held->Invalidate();
    EXPECT_TRUE(Near(NodeWorldPoint(held, {3, 0, 0}), {9, 0, 0}));
}

TEST_F(GraphObjects, TheGeometryBoxIsCachedAndFallsBackToTenUnitsEachWay)
{
    GraphObj object;
    float box[6];
    object.GetGeometryBounds(box);
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_EQ(box[axis], -10.0f);
        EXPECT_EQ(box[axis + 3], 10.0f);
    }
    AnimMesh* wall = Load("wall.aff", {"wall", "shadow"}, {{Quad(0, 1, 3), Quad(1, -50, 50, 20)}});
    GraphNode* node = AddChildNode(object.GetRootNode(), "wall", wall);
    object.GetGeometryBounds(box);
    EXPECT_EQ(box[3], 10.0f);  // not computed again

    // The second mesh is hidden at every level: only the first counts.
    MeshSettings& hidden = node->GetMeshSettings()[1];
    for (u8_t& step : hidden.lodHidden)
        step = 1;
    object.SetPosition({0, 0, 5});
    object.GetGeometryBounds(box);
    const float expected[6] = {1, 0, 5, 3, 1, 5};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(box[i], expected[i]) << i;
    // Hidden at one step only, it counts again; the root's own mesh never does.
    hidden.lodHidden[1] = 0;
    object.GetRootNode()->SetAnimMesh(Load("big.aff", {"big"}, {{Quad(0, -900, 900)}}));
    object.boundsValid = 0;
    object.GetGeometryBounds(box);
    EXPECT_EQ(box[0], -50.0f);
    EXPECT_EQ(box[4], 21.0f);
    EXPECT_EQ(box[3], 50.0f);

    // The stored boxes of the node's meshes at its frame, untransformed.
    float frameBox[6] = {1e30f, 1e30f, 1e30f, -1e30f, -1e30f, -1e30f};
    node->GetFrameBounds(frameBox);
    EXPECT_EQ(frameBox[0], -50.0f);
    EXPECT_EQ(frameBox[2], 0.0f);
}

TEST_F(GraphObjects, ChildrenAreFoundByNameWithoutRegardToCaseInAnyWidth)
{
    GraphObj object;
    object.name.Assign("crate");
    EXPECT_EQ(object.FindChild("ROOT"), object.GetRootNode());
    // Wider than any fixed stack: every child has its own child.
    GraphNode* last = nullptr;
    for (int i = 0; i < 200; ++i) {
        GraphNode* branch = AddChildNode(object.GetRootNode(), ("branch" + std::to_string(i)).c_str());
        last = AddChildNode(branch, i == 0 ? "leaf" : ("leaf" + std::to_string(i)).c_str());
    }
    EXPECT_EQ(object.FindChild("Leaf199"), last);
    EXPECT_STREQ(object.FindChild("LEAF")->GetName(), "leaf");
    // The last child's subtree is searched first.
    GraphNode* early = AddChildNode(object.GetRootNode()->GetChild(3), "twin");
    GraphNode* late = AddChildNode(object.GetRootNode()->GetChild(150), "twin");
    EXPECT_EQ(object.FindChild("twin"), late);
    EXPECT_NE(early, late);
    EXPECT_EQ(object.FindChild("lea"), nullptr);  // same start, other length

    const size_t logStart = texture_test::LogSize();
    EXPECT_EQ(object.FindChild("x"), nullptr);
    EXPECT_NE(texture_test::LogFrom(logStart).find("WARNING: Child x not found in GOBJ crate\n"), std::string::npos);
}

TEST_F(GraphObjects, MeshPathsComeFromTheClassFolderOrFromComponentAfterTwoDots)
{
    // A quad drawn over as often as asked: 2 faces a time.
    const auto layered = [](u32_t name, int layers) {
        Mesh mesh = Quad(name, 0, 1);
        const std::vector<u16_t> once = mesh.indices;
        for (int i = 1; i < layers; ++i)
            mesh.indices.insert(mesh.indices.end(), once.begin(), once.end());
        return mesh;
    };
    struct Case {
        const char* name;
        const char* file;    // on disk
        const char* folder;  // handed back
    };
    const Case cases[] = {
        {"crate", "component/structure/crate.aff", "component\\structure\\"},
        {"sheds\\crate", "component/structure/sheds/crate.aff", "component\\structure\\sheds\\"},
        {"..\\weapons\\ak", "component/weapons/ak.aff", "component\\weapons\\"},
        {"..\\weapons\\rifles\\ak", "component/weapons/rifles/ak.aff", "component\\weapons\\"},
        // No folder after the dots: the file lies in "component\" itself.
        {"..ak", "component/ak.aff", "component\\"},
        {"..\\ak", "component/ak.aff", "component\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AffFile aff;
        aff.strings = {"hull0", "frame", "hull1"};
        // The counted mesh is the last collidable one of level 0 or of every level: "frame".
        aff.frames.push_back({{layered(0, 1), layered(1, 2), layered(2, 3)}});
        ASSERT_TRUE(WriteAff(c.file, aff));
        StructureLike object;
        AnimMesh* mesh = nullptr;
        EngineString folder;
        ASSERT_TRUE(object.LoadAnim(c.name, &mesh, &folder));
        ASSERT_NE(mesh, nullptr);
        EXPECT_STREQ(folder.Text(), c.folder);
        EXPECT_EQ(object.collidableFaceCount, 4);
        AnimCacheFreeAll();
        std::filesystem::remove(c.file);
    }

    StructureLike object;
    AnimMesh* mesh = nullptr;
    EngineString folder;
    const size_t logStart = texture_test::LogSize();
    EXPECT_FALSE(object.LoadAnim("..\\weapons\\none", &mesh, &folder));
    EXPECT_EQ(mesh, nullptr);
    EXPECT_NE(texture_test::LogFrom(logStart).find("WARNING: Anim ..\\weapons\\none not found\n"), std::string::npos);
    IDirect3DTexture8* texture = nullptr;
    EXPECT_FALSE(object.LoadTexture("bark", &texture, &folder));
    EXPECT_NE(texture_test::LogFrom(logStart).find("WARNING: Texture bark not found\n"), std::string::npos);
}

}  // namespace
