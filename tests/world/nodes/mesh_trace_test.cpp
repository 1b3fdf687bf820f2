// Ray traces through graphic nodes on a cube and on quads: which faces a ray can hit, the world
// results of a hit, the order among equal hits, alpha maps, "NOHIT_" materials, excluded nodes,
// the option bits, and texture materials and their regions on the offscreen device.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "map/terrain/map_grid.h"
#include "map/materials/material.h"
#include "render/textures/texture_manager.h"
#include "tests/render/texture_test_support.h"
#include "tests/world/objects/graph_obj_fixture.h"
#include "tests/world/node_tree.h"
#include "tests/world/trace_fixtures.h"
#include "world/animation/anim_cache.h"
#include "world/nodes/graph_node.h"
#include "world/nodes/mesh_trace.h"
#include "world/nodes/object_trace.h"

using graph_test::GraphObjTest;
using trace_test::CubeMesh;
using trace_test::FacingQuad;

namespace {

constexpr float kTolerance = 1e-4f;

ObjectTraceBlock Request(u32_t options = 0)
{
    ObjectTraceBlock record{};
    record.objOptions = options;
    record.objDistance = OBJTRACE_NO_HIT;
    return record;
}

::testing::AssertionResult Near(Vector3 actual, Vector3 expected)
{
    if (std::fabs(actual.x - expected.x) < kTolerance && std::fabs(actual.y - expected.y) < kTolerance &&
        std::fabs(actual.z - expected.z) < kTolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") is not ("
                                         << expected.x << ", " << expected.y << ", " << expected.z << ")";
}

// One frame of meshes, each named after its place: ma, mb, ... (no digit: of every level).
aff_test::AffFile MeshesAff(const std::vector<aff_test::Mesh>& meshes)
{
    aff_test::AffFile aff;
    for (u32_t i = 0; i < meshes.size(); ++i)
        aff.strings.push_back(std::string("m") + static_cast<char>('a' + i));
    aff.frames = {{meshes}};
    for (u32_t i = 0; i < meshes.size(); ++i)
        aff.frames[0].meshes[i].name = i;
    return aff;
}

class MeshTraces : public GraphObjTest {
protected:
    // A child of the root showing the meshes, written under its own file name.
    GraphNode* Node(const char* nodeName, const std::vector<aff_test::Mesh>& meshes, GraphNode* parent = nullptr)
    {
        AnimMesh* mesh = WriteMesh(nodeName, MeshesAff(meshes));
        return AddChildNode(parent ? parent : &root, nodeName, mesh);
    }
    static float Trace(GraphNode* node, Vector3 origin, Vector3 direction, ObjectTraceBlock* record, s32_t step = -1)
    {
        return node->TraceRay(origin, direction, record, step);
    }

    GraphNode root{"root"};
};

TEST_F(MeshTraces, ARayHitsTheFrontOfAFaceAndReportsItInWorldSpace)
{
    GraphNode* cube = Node("cube", {CubeMesh(0)});
    cube->SetPosition({10, 0, 0});
    ObjectTraceBlock record = Request(OBJTRACE_NORMAL);
    EXPECT_FLOAT_EQ(Trace(&root, {10.5f, 0.25f, -5}, {0, 0, 1}, &record), 4.0f);
    EXPECT_EQ(record.objHitNode, cube);
    EXPECT_FLOAT_EQ(record.objDistance, 4.0f);
    EXPECT_TRUE(Near(record.objHitPoint, {10.5f, 0.25f, -1}));
    EXPECT_TRUE(Near(record.objNormal, {0, 0, -1}));
    EXPECT_TRUE(Near(record.objOrigin, {10.5f, 0.25f, -5}));
    EXPECT_EQ(record.objMeshIndex, 0u);
    EXPECT_LT(record.objFaceIndex, 2u);  // the -z quad
    for (const Vector3& corner : record.objTriangle)
        EXPECT_FLOAT_EQ(corner.z, -1.0f);
    EXPECT_NEAR(record.objTriangle[0].x, 9.0f, kTolerance);

    // A node scaled up: the ray parameter stays in units of the world ray.
    cube->SetScale(2.0f);
    record = Request();
    EXPECT_NEAR(Trace(&root, {10.5f, 0.25f, -5}, {0, 0, 1}, &record), 3.0f, kTolerance);
    EXPECT_TRUE(Near(record.objHitPoint, {10.5f, 0.25f, -2}));
}

TEST_F(MeshTraces, BackFacesAndFacesWithTheOriginBehindAreMissed)
{
    GraphNode* cube = Node("cube", {CubeMesh(0)});
    GraphNode* quad = Node("quad", {FacingQuad(0, 10)});
    struct Case {
        const char* what;
        GraphNode* node;
        Vector3 origin, direction;
    };
    const Case cases[] = {
        {"from inside the cube", cube, {0, 0, 0}, {0, 0, 1}},
        {"from inside, the other way", cube, {0.2f, 0.1f, 0}, {0, -1, 0}},
        {"a quad from behind", quad, {0, 0, 15}, {0, 0, -1}},
        {"a quad that lies behind the origin", quad, {0, 0, 12}, {0, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ObjectTraceBlock record = Request();
        EXPECT_EQ(Trace(c.node, c.origin, c.direction, &record), OBJTRACE_NO_HIT);
        EXPECT_EQ(record.objDistance, OBJTRACE_NO_HIT);
        EXPECT_EQ(record.objHitNode, c.node);
    }
}

TEST_F(MeshTraces, ATwoSidedMeshIsHitFromBothSidesWithTheNormalTowardsTheRay)
{
    aff_test::Mesh quad = FacingQuad(0, 0);
    quad.material.textureWord = ANIM_TEXTURE_TWO_SIDED | ANIM_TEXTURE_NONE;
    GraphNode* sheet = Node("sheet", {quad});
    struct Case {
        float fromZ;
        float normalZ;
    };
    for (const Case& c : {Case{-5, -1}, Case{5, 1}}) {
        SCOPED_TRACE(c.fromZ);
        ObjectTraceBlock record = Request(OBJTRACE_NORMAL);
        EXPECT_FLOAT_EQ(Trace(sheet, {0.3f, 0.2f, c.fromZ}, {0, 0, c.fromZ < 0 ? 1.0f : -1.0f}, &record), 5.0f);
        EXPECT_TRUE(Near(record.objNormal, {0, 0, c.normalZ}));
    }
}

TEST_F(MeshTraces, AmongEqualHitsTheFirstFoundKeepsIt)
{
    // Two copies of one quad in one mesh (faces 0-1 and 2-3), and two meshes of one quad each.
    aff_test::Mesh doubled = FacingQuad(0, 0);
    trace_test::AddQuad(doubled, {{{-1, -1, 0}, {-1, 1, 0}, {1, 1, 0}, {1, -1, 0}}}, {0, 0, -127});
    GraphNode* faces = Node("faces", {doubled});
    GraphNode* meshes = Node("meshes", {FacingQuad(0, 0), FacingQuad(1, 0)});
    GraphNode* parent = Node("parent", {FacingQuad(0, 0)});
    Node("child", {FacingQuad(0, 0)}, parent);

    ObjectTraceBlock record = Request();
    Trace(faces, {0.5f, -0.5f, -1}, {0, 0, 1}, &record);
    EXPECT_EQ(record.objFaceIndex, 1u);  // the first quad's second face, not the copy's
    record = Request();
    Trace(meshes, {0.5f, -0.5f, -1}, {0, 0, 1}, &record);
    EXPECT_EQ(record.objMeshIndex, 0u);
    record = Request();
    Trace(parent, {0.5f, -0.5f, -1}, {0, 0, 1}, &record);
    EXPECT_EQ(record.objHitNode, parent);
    // Over the whole tree the nearer hit wins, whoever holds it.
    Node("near", {FacingQuad(0, -0.5f)}, parent);
    record = Request();
    EXPECT_FLOAT_EQ(Trace(&root, {0.5f, -0.5f, -1}, {0, 0, 1}, &record), 0.5f);
    EXPECT_STREQ(record.objHitNode->GetName(), "near");
}

TEST_F(MeshTraces, ASeeThroughTexelLetsTheRayOnToAFaceBehind)
{
    // The front quad's texel (0, 0) is see-through; the quad behind it maps wholly to texel (1, 1).
    const std::array<std::array<float, 2>, 4> corner = {
        {{0.75f, 0.75f}, {0.75f, 0.75f}, {0.75f, 0.75f}, {0.75f, 0.75f}}};
    aff_test::Mesh mesh = FacingQuad(0, 0);
    trace_test::AddQuad(mesh, {{{-1, -1, 1}, {-1, 1, 1}, {1, 1, 1}, {1, -1, 1}}}, {0, 0, -127}, &corner);
    AnimMesh* anim = WriteMesh("window", MeshesAff({mesh}));
    u8_t texels[4] = {0, 255, 255, 255};
    const MapGrid grid = {texels, 2};
    float best = OBJTRACE_NO_HIT;
    float barycentric[2];
    EXPECT_EQ(MeshTraceRay(anim, 0, 0, {-0.5f, -0.5f, -5}, {0, 0, 1}, &best, barycentric), 0);
    EXPECT_FLOAT_EQ(best, 5.0f);
    best = OBJTRACE_NO_HIT;
    EXPECT_GE(MeshTraceRayGrid(anim, 0, 0, &grid, 128, {-0.5f, -0.5f, -5}, {0, 0, 1}, &best, barycentric), 2);
    EXPECT_FLOAT_EQ(best, 6.0f);
    // At or above the threshold the texel stops the ray.
    texels[0] = 128;
    best = OBJTRACE_NO_HIT;
    EXPECT_LT(MeshTraceRayGrid(anim, 0, 0, &grid, 128, {-0.5f, -0.5f, -5}, {0, 0, 1}, &best, barycentric), 2);
    EXPECT_FLOAT_EQ(best, 5.0f);
}

TEST_F(MeshTraces, TextureCoordinatesWrapIntoTheUnitSquare)
{
    const std::array<std::array<float, 2>, 4> outside = {
        {{-0.25f, 1.25f}, {-0.25f, 1.25f}, {-0.25f, 1.25f}, {-0.25f, 1.25f}}};
    GraphNode* node = Node("wrapped", {FacingQuad(0, 0, &outside)});
    ObjectTraceBlock record = Request();
    Trace(node, {0, 0.5f, -1}, {0, 0, 1}, &record);
    EXPECT_FLOAT_EQ(record.objTexCoord[0], 0.75f);
    EXPECT_FLOAT_EQ(record.objTexCoord[1], 0.25f);
    // The alpha test reads the wrapped texel: column 3, row 1 of a 4 x 4 grid.
    u8_t texels[16] = {};
    texels[1 * 4 + 3] = 255;
    const MapGrid grid = {texels, 4};
    float best = OBJTRACE_NO_HIT;
    float barycentric[2];
    EXPECT_NE(MeshTraceRayGrid(node->GetAnimMesh(), 0, 0, &grid, 1, {0, 0.5f, -1}, {0, 0, 1}, &best, barycentric), -1);
    texels[1 * 4 + 3] = 0;
    best = OBJTRACE_NO_HIT;
    EXPECT_EQ(MeshTraceRayGrid(node->GetAnimMesh(), 0, 0, &grid, 1, {0, 0.5f, -1}, {0, 0, 1}, &best, barycentric), -1);
    EXPECT_EQ(WrapTexCoord(-1.0f), 0.0f);
    EXPECT_EQ(WrapTexCoord(2.0f), 0.0f);
}

TEST_F(MeshTraces, NoHitMaterialsAndExcludedNodesAreLeftOut)
{
    Material noHit;
    std::strcpy(noHit.name, "nohit_");
    GraphNode* node = Node("glass", {FacingQuad(0, 0), FacingQuad(1, 1)});
    ObjectTraceBlock record = Request();
    EXPECT_FLOAT_EQ(Trace(node, {0, 0, -1}, {0, 0, 1}, &record), 1.0f);  // no texture, no material: hit
    node->GetMeshSettings()[0].material = &noHit;
    record = Request();
    EXPECT_FLOAT_EQ(Trace(node, {0, 0, -1}, {0, 0, 1}, &record), 2.0f);
    EXPECT_EQ(record.objMeshIndex, 1u);

    // An excluded node leaves the record as it was, its children included.
    GraphNode* held = Node("held", {FacingQuad(0, 0)}, node);
    node->GetMeshSettings()[1].material = &noHit;
    ObjectTraceBlock kept = Request();
    kept.objDistance = 7.0f;
    kept.objHitNode = held;
    kept.objFaceIndex = 99;
    node->traceExcluded = 1;
    record = kept;
    EXPECT_EQ(Trace(node, {0, 0, -1}, {0, 0, 1}, &record), 7.0f);
    EXPECT_EQ(std::memcmp(&record, &kept, sizeof record), 0);
    // Excluded below a traced node: no hit from it.
    node->traceExcluded = 0;
    held->traceExcluded = 1;
    record = Request();
    EXPECT_EQ(Trace(node, {0, 0, -1}, {0, 0, 1}, &record), OBJTRACE_NO_HIT);
    EXPECT_EQ(record.objHitNode, node);
}

TEST_F(MeshTraces, OptionBitsSelectMeshesByTheirLevelSettings)
{
    GraphNode* node = Node("options", {FacingQuad(0, 0)});
    MeshSettings& settings = node->GetMeshSettings()[0];
    AnimFrameMesh& record = node->GetAnimMesh()->frames[0].meshes[0];
    Material noHit;
    std::strcpy(noHit.name, "NOHIT_");
    struct Case {
        const char* what;
        std::function<void()> set;
        u32_t options;
        s32_t step;
        bool hit;
    };
    const Case cases[] = {
        {"noclip without 0x10", [&] { settings.noClip = 1; }, 0, 0, true},
        {"noclip with 0x10", [&] { settings.noClip = 1; }, OBJTRACE_SKIP_NOCLIP, 0, false},
        {"noclip with 0x10, no step", [&] { settings.noClip = 1; }, OBJTRACE_SKIP_NOCLIP, -1, true},
        {"hidden at the step", [&] { settings.lodHidden[1] = 1; }, 0, 1, false},
        {"hidden at another step", [&] { settings.lodHidden[1] = 1; }, 0, 0, true},
        {"not traced at the step", [&] { settings.lodMode[0] = 1; }, 0, 0, false},
        {"marked and hidden without 0x20",
         [&] {
             settings.lodHidden[0] = 1;
             settings.lodMode[0] = 0x80;
         },
         0, 0, false},
        {"marked and hidden with 0x20",
         [&] {
             settings.lodHidden[0] = 1;
             settings.lodMode[0] = 0x80;
         },
         OBJTRACE_MARKED, 0, true},
        {"marked, without geometry flag and NOHIT_, with 0x20",
         [&] {
             settings.lodMode[0] = 0x82;
             settings.material = &noHit;
             record.flags = 1;
         },
         OBJTRACE_MARKED, 0, true},
        {"no geometry flag", [&] { record.flags = 1; }, 0, -1, false},
        {"of another level", [&] { record.detailLevel = 2; }, 0, 1, false},
        {"of another level, no step", [&] { record.detailLevel = 2; }, 0, -1, true},
    };
    const MeshSettings clean = settings;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        settings = clean;
        record.flags = ANIM_MESH_DEFAULT_FLAGS;
        record.detailLevel = -1;
        c.set();
        ObjectTraceBlock trace = Request(c.options);
        EXPECT_EQ(Trace(node, {0, 0, -1}, {0, 0, 1}, &trace, c.step) != OBJTRACE_NO_HIT, c.hit);
    }
    record.flags = ANIM_MESH_DEFAULT_FLAGS;
    record.detailLevel = -1;
}

// On the offscreen device: textures with alpha maps and materials.
class TexturedTraces : public texture_test::TextureTest {
protected:
    void SetUp() override
    {
        texture_test::TextureTest::SetUp();
        ASSERT_TRUE(texture_test::WriteTga("component/extras/wall.tga", 4, 4, 0xFF808080u));
        aff_test::AffFile aff = MeshesAff({FacingQuad(0, 0), FacingQuad(1, 1)});
        aff.textures = {"wall"};
        aff.frames[0].meshes[0].material.textureWord = 0;
        ASSERT_TRUE(aff_test::WriteAff("wall.aff", aff));
        node = AddChildNode(&root, "wall", AnimCacheAcquire("wall.aff", false), "component\\extras\\");
        ASSERT_NE(node->GetMeshTextures()[0], nullptr);
    }
    void TearDown() override
    {
        root.RemoveChild(node);
        AnimCacheFreeAll();
        TexturesReleaseAll();
        texture_test::TextureTest::TearDown();
    }
    // Gives the wall's texture a record with this alpha map (all texels alike) and material.
    void SetRecord(u8_t alpha, Material* material)
    {
        TextureInfo info;
        TextureGetRecord(node->GetMeshTextures()[0], &info);
        const std::string tga = texture_test::TgaBytes(4, 4, static_cast<DWORD>(alpha) << 24);
        MapGridFree(info.alphaMap);
        info.alphaMap = MapGridFromTga(tga.data(), tga.size());
        info.material = material;
        TextureSetRecord(node->GetMeshTextures()[0], &info);
    }
    float Hit(u32_t options, ObjectTraceBlock* record)
    {
        *record = Request(options);
        record->objAlphaThreshold = 128;
        return node->TraceRay({0.5f, 0.5f, -1}, {0, 0, 1}, record, 0);
    }

    GraphNode root{"root"};
    GraphNode* node = nullptr;
};

TEST_F(TexturedTraces, AlphaMapsAndTheirExemption)
{
    SetRecord(0, nullptr);
    struct Case {
        const char* what;
        u32_t options;
        u8_t groundClip;
        float distance;
    };
    const Case cases[] = {
        {"no alpha test", 0, 0, 1.0f},
        {"see-through", OBJTRACE_ALPHA, 0, 2.0f},
        {"exempt ground-clip mesh", OBJTRACE_ALPHA | OBJTRACE_ALPHA_EXEMPT, 1, 1.0f},
        {"exemption asked of another mesh", OBJTRACE_ALPHA | OBJTRACE_ALPHA_EXEMPT, 0, 2.0f},
        {"ground-clip mesh without the exemption", OBJTRACE_ALPHA, 1, 2.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        node->GetMeshSettings()[0].groundClip = c.groundClip;
        ObjectTraceBlock record;
        EXPECT_FLOAT_EQ(Hit(c.options, &record), c.distance);
    }
    SetRecord(200, nullptr);
    ObjectTraceBlock record;
    EXPECT_FLOAT_EQ(Hit(OBJTRACE_ALPHA, &record), 1.0f);
}

TEST_F(TexturedTraces, AHitsMaterialIsTheTexturesRefinedByItsRegions)
{
    Material stone, glass, noHit;
    std::strcpy(stone.name, "stone");
    std::strcpy(glass.name, "glass");
    std::strcpy(noHit.name, "Nohit_");
    stone.assignedTextures = new EngineString[1];
    stone.assignedTextures[0].Assign("WALL");
    stone.assignedTextureCount = stone.assignedTextureCapacity = 1;
    // The hit at (0.5, 0.5) maps to texture coordinates (0.75, 0.75).
    stone.regions[0] = {0, &stone, &glass, 0.7f, 0.7f, 0.8f, 0.8f};
    stone.regionCount = 1;
    SetRecord(255, &stone);
    ObjectTraceBlock record;
    Hit(OBJTRACE_MATERIAL, &record);
    EXPECT_STREQ(record.objTextureName, "wall");
    EXPECT_EQ(record.objMaterial, &glass);
    EXPECT_NEAR(record.objTexCoord[0], 0.75f, kTolerance);
    stone.regions[0].umin = 0.76f;
    Hit(OBJTRACE_MATERIAL, &record);
    EXPECT_EQ(record.objMaterial, &stone);
    // Without the option neither is written.
    Hit(0, &record);
    EXPECT_EQ(record.objMaterial, nullptr);
    EXPECT_STREQ(record.objTextureName, "");
    // A mesh's own material overrides the texture's; a texture's "NOHIT_" material hides the mesh.
    node->GetMeshSettings()[0].material = &glass;
    Hit(OBJTRACE_MATERIAL, &record);
    EXPECT_EQ(record.objMaterial, &glass);
    node->GetMeshSettings()[0].material = nullptr;
    SetRecord(255, &noHit);
    EXPECT_FLOAT_EQ(Hit(0, &record), 2.0f);
    SetRecord(255, nullptr);
}

}  // namespace
