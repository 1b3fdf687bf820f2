// A graphic object's meshes handed out in world space: which meshes, blended how, in a work buffer
// of what size; the flagged mesh's texture; nodes and local frames found by mesh name; box corners.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/render/texture_test_support.h"
#include "tests/world/graph_fixtures.h"
#include "tests/world/objects/graph_obj_fixture.h"
#include "tests/world/node_tree.h"
#include "world/nodes/geometry_enum.h"
#include "world/nodes/graph_node.h"

using namespace graph_test;

namespace {

// What the enumeration handed over for one mesh.
struct SeenMesh {
    u32_t meshIndex;
    std::vector<Vector3> vertices;
    std::vector<u16_t> faces;
    const u16_t* neighbours;
    u32_t mode;
    float shadowLength;
    GraphNode* node;
};

void Collect(GeometryEnumData* data)
{
    auto& seen = *static_cast<std::vector<SeenMesh>*>(data->caller);
    SeenMesh mesh{data->meshIndex, {}, {}, data->faceExtra, data->meshFlags, data->shadowLength, data->node};
    for (u32_t v = 0; v < data->vertexCount; ++v)
        mesh.vertices.push_back({data->vertices[v * 3], data->vertices[v * 3 + 1], data->vertices[v * 3 + 2]});
    mesh.faces.assign(data->faces, data->faces + data->faceCount * 3);
    seen.push_back(mesh);
}

std::vector<SeenMesh> Enumerate(GraphObj& object, u32_t bufferSize = 4096)
{
    std::vector<SeenMesh> seen;
    std::vector<u8_t> buffer(bufferSize);
    GeometryEnumData data;
    data.caller = &seen;
    data.workBuffer = buffer.data();
    data.workBufferSize = bufferSize;
    EXPECT_TRUE(object.EnumGeometry(Collect, &data));
    return seen;
}

std::vector<u32_t> Indices(const std::vector<SeenMesh>& seen)
{
    std::vector<u32_t> indices;
    for (const SeenMesh& mesh : seen)
        indices.push_back(mesh.meshIndex);
    return indices;
}

// One unit quad per frame, moved along x by the frame's offset.
aff_test::AffFile MovingQuad(const std::vector<float>& offsets)
{
    aff_test::AffFile file;
    file.strings = {"body"};
    for (float x : offsets)
        file.frames.push_back({{Quad(0, x, x + 1)}});
    return file;
}

class GeometryEnum : public GraphObjTest {};

TEST_F(GeometryEnum, FlaggedMeshesAreNeverEnumeratedButGiveTheTexture)
{
    AnimMesh* mesh = WriteMesh("box", QuadsAff({"body", "overlay", "lid"}));
    mesh->frames[0].meshes[1].flags |= ANIM_MESH_FLAGGED_TEXTURE;
    GraphObj object;
    GraphNode* node = AddChildNode(object.GetRootNode(), "body", mesh);
    node->SetShadowLength(7.0f);
    node->GetMeshSettings()[2].shadowLength = 3.0f;
    static u8_t textureMarker;
    IDirect3DTexture8* texture = reinterpret_cast<IDirect3DTexture8*>(&textureMarker);
    node->SetMeshTexture(1, texture);
    object.SetPosition({10, 0, 5});

    const std::vector<SeenMesh> seen = Enumerate(object);
    EXPECT_EQ(Indices(seen), (std::vector<u32_t>{0, 2}));
    ASSERT_EQ(seen[0].vertices.size(), 4u);
    // World space: the quad's corner (1, 1, 0) moved with the object.
    EXPECT_FLOAT_EQ(seen[0].vertices[2].x, 11.0f);
    EXPECT_FLOAT_EQ(seen[0].vertices[2].y, 1.0f);
    EXPECT_FLOAT_EQ(seen[0].vertices[2].z, 5.0f);
    EXPECT_EQ(seen[0].faces.size(), 6u);
    EXPECT_NE(seen[0].neighbours, nullptr);
    EXPECT_EQ(seen[0].node, node);
    EXPECT_EQ(seen[0].mode, MESH_MODE_DEFAULT);
    // The mesh's own shadow length wins over the node's.
    EXPECT_EQ(seen[0].shadowLength, 7.0f);
    EXPECT_EQ(seen[1].shadowLength, 3.0f);

    EXPECT_EQ(object.FindFlaggedMeshTexture(), texture);
    mesh->frames[0].meshes[1].flags &= ~ANIM_MESH_FLAGGED_TEXTURE;
    EXPECT_EQ(object.FindFlaggedMeshTexture(), nullptr);
}

TEST_F(GeometryEnum, MeshesTheLevelOfDetailStepHidesAreLeftOut)
{
    AnimMesh* mesh = WriteMesh("box", QuadsAff({"a", "b", "c"}));
    struct Case {
        const char* what;
        std::function<void(GraphObj&, GraphNode&, AnimMesh&)> change;
        std::vector<u32_t> expected;
    };
    const Case cases[] = {
        {"every mesh", [](GraphObj&, GraphNode&, AnimMesh&) {}, {0, 1, 2}},
        {"mode without the drawn bit",
         [](GraphObj&, GraphNode& n, AnimMesh&) { n.GetMeshSettings()[1].lodMode[0] = 2; },
         {0, 2}},
        {"mode left out of enumeration",
         [](GraphObj&, GraphNode& n, AnimMesh&) { n.GetMeshSettings()[0].lodMode[0] |= MESH_MODE_NO_ENUM; },
         {1, 2}},
        {"hidden at the step",
         [](GraphObj&, GraphNode& n, AnimMesh&) { n.GetMeshSettings()[2].lodHidden[0] = 1; },
         {0, 1}},
        {"hidden at another step only",
         [](GraphObj&, GraphNode& n, AnimMesh&) { n.GetMeshSettings()[2].lodHidden[1] = 1; },
         {0, 1, 2}},
        {"record not drawn", [](GraphObj&, GraphNode&, AnimMesh& m) { m.frames[0].meshes[0].flags = 2; }, {1, 2}},
        {"record of another level",
         [](GraphObj&, GraphNode&, AnimMesh& m) { m.frames[0].meshes[1].detailLevel = 1; },
         {0, 2}},
        {"record of the object's level",
         [](GraphObj& o, GraphNode&, AnimMesh& m) {
             m.frames[0].meshes[1].detailLevel = 1;
             o.lodLevel = 1;
         },
         {0, 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (u32_t i = 0; i < 3; ++i) {
            mesh->frames[0].meshes[i].flags = ANIM_MESH_DEFAULT_FLAGS;
            mesh->frames[0].meshes[i].detailLevel = -1;
        }
        GraphObj object;
        GraphNode* node = AddChildNode(object.GetRootNode(), "body", mesh);
        c.change(object, *node, *mesh);
        EXPECT_EQ(Indices(Enumerate(object)), c.expected);
    }
}

TEST_F(GeometryEnum, VerticesBlendTowardsTheNextFrameAndDuringACrossFadeFromTheFrozenOldFrame)
{
    AnimMesh* walk = WriteMesh("walk", MovingQuad({0, 10, 20}));
    AnimMesh* run = WriteMesh("run", MovingQuad({100, 200}));
    GraphObj object;
    GraphNode* node = AddChildNode(object.GetRootNode(), "legs", walk);
    node->SetFrame(1.25f);
    EXPECT_FLOAT_EQ(Enumerate(object)[0].vertices[0].x, 12.5f);

    node->SetFrame(1.0f);
    node->SwitchAnim(run, true);
    object.StampNodeTimes();
    // At the switch the old mesh's frame 1 alone; 150 ms later halfway to the new mesh's frame 0.
    EXPECT_FLOAT_EQ(Enumerate(object)[0].vertices[0].x, 10.0f);
    PlatformTestClockAdvance(150);
    object.StampNodeTimes();
    EXPECT_FLOAT_EQ(Enumerate(object)[0].vertices[0].x, 55.0f);
    PlatformTestClockAdvance(149);
    object.StampNodeTimes();
    EXPECT_NEAR(Enumerate(object)[0].vertices[0].x, 100.0f - 90.0f / 300.0f, 1e-3f);

    // After the fade the new mesh plays on from its own frames.
    PlatformTestClockAdvance(2);
    node->SetFrame(0.25f);
    EXPECT_FLOAT_EQ(Enumerate(object)[0].vertices[0].x, 125.0f);
}

TEST_F(GeometryEnum, AMeshTheWorkBufferCannotHoldIsSkippedWithAWarning)
{
    AnimMesh* mesh = WriteMesh("box", QuadsAff({"body", "lid"}));
    mesh->frames[0].meshes[0].vertices->count = 2;  // the lid keeps its 4 vertices
    mesh->frames[0].meshes[0].faces->count = 0;
    GraphObj object;
    object.name.Assign("crate");
    AddChildNode(object.GetRootNode(), "body", mesh);
    // The lid takes (2 faces + 2 x 4 vertices) x 6 = 60 bytes; it fits only below the size.
    ASSERT_EQ(GeometryEnumBytes(4, 2), 60u);
    const size_t logStart = texture_test::LogSize();
    EXPECT_EQ(Indices(Enumerate(object, 60)), (std::vector<u32_t>{0}));
    EXPECT_NE(texture_test::LogFrom(logStart).find(
                  "WARNING: Mesh lid of GOBJ crate does not fit the geometry work buffer (60 bytes), left out\n"),
              std::string::npos);
    EXPECT_EQ(Indices(Enumerate(object, 61)), (std::vector<u32_t>{0, 1}));
}

TEST_F(GeometryEnum, NodesAndLocalFramesAreFoundByMeshNameLastChildFirst)
{
    AnimMesh* carrier = WriteMesh("carrier", CarrierAff({1, 2, 3}));
    AnimMesh* held = WriteMesh("held", HeldAff(5));
    GraphObj object;
    AddChildNode(object.GetRootNode(), "first", carrier);
    GraphNode* second = AddChildNode(object.GetRootNode(), "second", carrier);
    GraphNode* gun = AddChildNode(object.GetRootNode()->GetChild(0), "gun", held);

    GraphNode* node = nullptr;
    const AnimDummyFrame* frame = nullptr;
    ASSERT_TRUE(GraphObjFindNodeMesh(&object, &node, &frame, "GRIP"));
    EXPECT_EQ(node, second);
    ASSERT_NE(frame, nullptr);
    EXPECT_FLOAT_EQ(frame->origin.x, 1.0f);
    ASSERT_TRUE(GraphObjFindNodeMesh(&object, &node, &frame, "handle"));
    EXPECT_EQ(node, gun);
    EXPECT_FLOAT_EQ(frame->origin.x, 5.0f);
    // A mesh that is no dummy has no local frame.
    ASSERT_TRUE(GraphObjFindNodeMesh(&object, &node, &frame, "hand"));
    EXPECT_EQ(frame, nullptr);

    for (const auto& [asked, origin] : std::vector<std::pair<s32_t, float>>{{0, 1}, {1, 2}, {2, 3}, {3, 3}, {-1, 3}}) {
        ASSERT_TRUE(GraphObjFindNodeMeshAtFrame(&object, &node, &frame, "grip", asked)) << asked;
        EXPECT_FLOAT_EQ(frame->origin.x, origin) << asked;
    }

    // A dummy box is no mesh: nothing is found and the outputs stay.
    GraphNode* const keptNode = gun;
    const AnimDummyFrame* const keptFrame = frame;
    node = keptNode;
    EXPECT_FALSE(GraphObjFindNodeMesh(&object, &node, &frame, "muzzle"));
    EXPECT_EQ(node, keptNode);
    EXPECT_EQ(frame, keptFrame);
}

TEST_F(GeometryEnum, WideTreesAreSearchedWhole)
{
    AnimMesh* carrier = WriteMesh("carrier", CarrierAff({4}));
    carrier->frames[0].meshes[0].flags |= ANIM_MESH_FLAGGED_TEXTURE;
    GraphObj object;
    // The first child is visited last, behind 99 siblings pending on the walk.
    GraphNode* first = AddChildNode(object.GetRootNode(), "first", carrier);
    for (int i = 0; i < 99; ++i)
        AddChildNode(object.GetRootNode(), ("leaf" + std::to_string(i)).c_str());
    static u8_t textureMarker;
    IDirect3DTexture8* texture = reinterpret_cast<IDirect3DTexture8*>(&textureMarker);
    first->SetMeshTexture(0, texture);
    EXPECT_EQ(object.FindFlaggedMeshTexture(), texture);
    GraphNode* node = nullptr;
    const AnimDummyFrame* frame = nullptr;
    ASSERT_TRUE(GraphObjFindNodeMesh(&object, &node, &frame, "grip"));
    EXPECT_EQ(node, first);
}

TEST(BoxCornersTest, BottomRingThenTopRingAlongZ)
{
    const float box[6] = {1, 2, 3, 4, 5, 6};
    Vector3 corners[8];
    BoxCorners(box, corners);
    const Vector3 expected[8] = {{1, 2, 3}, {4, 2, 3}, {4, 5, 3}, {1, 5, 3},
                                 {1, 2, 6}, {4, 2, 6}, {4, 5, 6}, {1, 5, 6}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(corners[i].x, expected[i].x) << i;
        EXPECT_EQ(corners[i].y, expected[i].y) << i;
        EXPECT_EQ(corners[i].z, expected[i].z) << i;
    }
}

}  // namespace
