// Clustered static meshes on the real device: groups read from a generated "mission.ctr" over
// objects with meshes from generated ".aff" files and textures loaded by the texture manager;
// merging, the atlas cluster, the per-view choice, drawing (read back) and a device reset.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/files/def_file.h"
#include "map/octree/object_grid.h"
#include "map/registry/world_registry.h"
#include "platform/d3dx8_math.h"
#include "platform/d3dx8_texture.h"
#include "render/device/device_hooks.h"
#include "render/textures/texture_manager.h"
#include "scene/passes/clustered_mesh_pass.h"
#include "support/temp_dir.h"
#include "support/render_test_support.h"
#include "tests/world/aff_writer.h"
#include "tests/world/node_tree.h"
#include "world/animation/anim_cache.h"
#include "world/animation/anim_mesh.h"
#include "world/animation/clustered_mesh.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

using aff_test::AffFile;
using aff_test::ClusterEntry;
using aff_test::QuadMesh;
using aff_test::WriteAff;
using aff_test::WriteMissionCtr;

namespace {

constexpr DWORD kRed = 0xFFFF0000u;
constexpr DWORD kGreen = 0xFF00FF00u;
constexpr DWORD kBlue = 0xFF0000FFu;

class ClusteredMeshes : public render_test::RenderCore {
protected:
    void TearDown() override
    {
        ClusteredObjFreeAll();
        for (auto& object : m_objects)
            DynObjectRemove(object.get());
        m_objects.clear();
        AnimCacheFreeAll();
        DefFileFreeAll();
        RenderCore::TearDown();
    }

    // A solid texture file "<name>.dds" of the given size with its whole mip chain.
    void WriteTexture(const char* name, UINT size, DWORD colour)
    {
        IDirect3DTexture8* texture = nullptr;
        ASSERT_EQ(D3DXCreateTexture(Device(), size, size, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
        for (UINT level = 0; level < texture->GetLevelCount(); ++level) {
            D3DSURFACE_DESC desc;
            texture->GetLevelDesc(level, &desc);
            D3DLOCKED_RECT locked;
            ASSERT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3D_OK);
            for (UINT y = 0; y < desc.Height; ++y)
                for (UINT x = 0; x < desc.Width; ++x)
                    reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] = colour;
            texture->UnlockRect(level);
        }
        ASSERT_EQ(D3DXSaveTextureToFileA((std::string(name) + ".dds").c_str(), D3DXIFF_DDS, texture, nullptr), D3D_OK);
        texture->Release();
    }

    // A registered object whose child node holds the meshes, each textured by name (null: none).
    GraphObj* AddObject(const char* name, const std::vector<aff_test::Mesh>& meshes,
                        const std::vector<std::string>& names, const std::vector<const char*>& textures,
                        const D3DXMATRIX* placement = nullptr)
    {
        AffFile file;
        file.strings = names;
        aff_test::Frame frame;
        for (size_t m = 0; m < meshes.size(); ++m) {
            aff_test::Mesh mesh = meshes[m];
            mesh.name = static_cast<u32_t>(m);
            mesh.material.ambient[0] = mesh.material.ambient[1] = mesh.material.ambient[2] = 1.0f;
            mesh.material.diffuse[0] = mesh.material.diffuse[1] = mesh.material.diffuse[2] = 0.0f;
            if (textures[m]) {
                mesh.material.textureWord = static_cast<u32_t>(file.textures.size());
                file.textures.push_back(textures[m]);
            }
            frame.meshes.push_back(mesh);
        }
        file.frames = {frame};
        const std::string path = std::string(name) + ".aff";
        EXPECT_TRUE(WriteAff(path, file));
        auto object = std::make_unique<GraphObj>();
        object->name.Assign(name);
        object->SetGridEntry(new ObjectGridEntry{});
        if (placement)
            object->GetRootNode()->SetMatrix(placement->m[0]);
        AddChildNode(object->GetRootNode(), "body", AnimCacheAcquire(path.c_str(), false));
        GraphObj* raw = object.get();
        EXPECT_TRUE(DynObjectAdd(raw));
        m_objects.push_back(std::move(object));
        return raw;
    }

    static ClusterGroup& Group(s32_t index) { return *ClusteredObjGroups()->Get(index); }

    // Camera at the origin looking along +z, a quarter turn of vertical field of view.
    void SetUpView()
    {
        D3DXMATRIX identity, view, projection;
        D3DXMatrixIdentity(&identity);
        const D3DXVECTOR3 eye(0, 0, 0), at(0, 0, 1), up(0, 1, 0);
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2, float(kWidth) / kHeight, 1.0f, 1000.0f);
        Device()->SetTransform(D3DTS_WORLD, &identity);
        Device()->SetTransform(D3DTS_VIEW, &view);
        Device()->SetTransform(D3DTS_PROJECTION, &projection);
        RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
        RenderSetState(D3DRS_LIGHTING, 1);
        RenderSetState(D3DRS_AMBIENT, 0xFFFFFFFFu);
        RenderSetState(D3DRS_ZENABLE, 1);
    }

    render_test::Pixels DrawFrame()
    {
        RenderSetClearColor(0x000000FFu);
        EXPECT_EQ(RenderBeginFrame(), 0);
        SetUpView();
        // The level-of-detail batches of the marked groups, under this view's lighting; the
        // objects stand in tile (0, 0) (no map: tile word 0).
        ClusteredObjDrawVisible();
        u32_t count = 0;
        MeshCluster* const* lods = ClusteredObjGetLodClusters(&count);
        for (u32_t i = 0; i < count; ++i)
            if (lods[i]->visible)
                ClusterBatchDrawInTile(lods[i], 0);
        RenderEndFrame(true);
        return render_test::ReadBackBuffer(Device());
    }

    TempDir m_dir;  // made before the device, so files land in a fresh folder
    std::vector<std::unique_ptr<GraphObj>> m_objects;
};

// Two walls side by side 20 units ahead of the camera.
constexpr std::array<Vector3, 4> kLeftWall = {{{-10, -5, 20}, {0, -5, 20}, {0, 5, 20}, {-10, 5, 20}}};
constexpr std::array<Vector3, 4> kRightWall = {{{0, -5, 20}, {10, -5, 20}, {10, 5, 20}, {0, 5, 20}}};

TEST_F(ClusteredMeshes, AFarGroupDrawsAsOneMeshWithItsAtlas)
{
    WriteTexture("red", 64, kRed);
    WriteTexture("green", 128, kGreen);
    AddObject("house_a", {QuadMesh(0, kLeftWall)}, {"wall2"}, {"red"});
    AddObject("house_b", {QuadMesh(0, kRightWall)}, {"wall"}, {"green"});
    ASSERT_TRUE(WriteMissionCtr("mission", {{"town", "0.1", {"house_a", "house_b"}}}));
    ASSERT_TRUE(ClusteredObjLoad("mission"));
    ASSERT_EQ(ClusteredObjGroups()->Count(), 1);
    const ClusterGroup& group = Group(0);
    ASSERT_NE(group.lodCluster, nullptr);
    EXPECT_EQ(group.meshClusters.count, 2);
    EXPECT_EQ(group.lodCluster->vertexCount, 8);
    EXPECT_EQ(group.lodCluster->faceCount, 4);

    ClusteredObjSelectLods({0, 0, 0}, D3DX_PI / 2, nullptr, 0, 77);
    ASSERT_EQ(group.visible, 1u);
    const render_test::Pixels far = DrawFrame();
    // Each wall shows its own texture through the atlas, whatever the source's size.
    EXPECT_TRUE(render_test::ColourNear(far.At(26, 24), kRed, 2));
    EXPECT_TRUE(render_test::ColourNear(far.At(38, 24), kGreen, 2));
    EXPECT_TRUE(render_test::ColourNear(far.At(2, 2), kBlue));
    EXPECT_EQ(g_render.frameStats.faces, 4u);

    // Close by, the objects stand for themselves: nothing is drawn here.
    ClusteredObjSelectLods({0, 0, 15}, D3DX_PI / 2, nullptr, 0, 78);
    EXPECT_EQ(group.visible, 0u);
    EXPECT_TRUE(render_test::ColourNear(DrawFrame().At(26, 24), kBlue));
}

TEST_F(ClusteredMeshes, TheGroupComesBackAfterADeviceReset)
{
    WriteTexture("red", 64, kRed);
    AddObject("house_a", {QuadMesh(0, kLeftWall)}, {"wall2"}, {"red"});
    ASSERT_TRUE(WriteMissionCtr("mission", {{"town", "0.1", {"house_a"}}}));
    ASSERT_TRUE(ClusteredObjLoad("mission"));
    EXPECT_TRUE(RenderDeviceHooksRegistered(RENDER_HOOK_CLUSTERED_MESHES));
    const UINT withGroup = D3D8TestLiveDefaultPoolResources(Device());
    // The reset only succeeds when every default-pool resource was given back first.
    D3D8TestSetCooperativeLevel(Device(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(RenderBeginFrame(), -1);
    EXPECT_EQ(Counts().reset, 1u);
    EXPECT_EQ(D3D8TestLiveDefaultPoolResources(Device()), withGroup);
    ClusteredObjSelectLods({0, 0, 0}, D3DX_PI / 2, nullptr, 0, 1);
    EXPECT_TRUE(render_test::ColourNear(DrawFrame().At(26, 24), kRed, 2));
    // Freeing the groups gives their buffers back (the atlas cluster's and the mesh cluster's vertex
    // buffers), and the device forgets them.
    ClusteredObjFreeAll();
    EXPECT_EQ(D3D8TestLiveDefaultPoolResources(Device()), withGroup - 2);
    EXPECT_FALSE(RenderDeviceHooksRegistered(RENDER_HOOK_CLUSTERED_MESHES));
}

// A display-mode change makes a new device and the textures are reloaded from their files; the
// atlas has none, so it is made again, in the handle the group keeps and under its one name.
TEST_F(ClusteredMeshes, TheAtlasIsMadeAgainOnTheNewDeviceAfterADisplayModeChange)
{
    WriteTexture("red", 64, kRed);
    AddObject("house_a", {QuadMesh(0, kLeftWall)}, {"wall2"}, {"red"});
    ASSERT_TRUE(WriteMissionCtr("mission", {{"town", "0.1", {"house_a"}}}));
    ASSERT_TRUE(ClusteredObjLoad("mission"));
    IDirect3DTexture8* atlas = Group(0).lodCluster->texture;
    ASSERT_NE(atlas, nullptr);

    ASSERT_EQ(RenderSetDisplayMode(kWidth, kHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
    TexturesRecreate();
    EXPECT_EQ(Group(0).lodCluster->texture, atlas);
    IDirect3DDevice8* owner = nullptr;
    ASSERT_EQ(atlas->GetDevice(&owner), D3D_OK);
    EXPECT_EQ(owner, Device());
    owner->Release();
    int atlases = 0;
    for (const TextureSlot& slot : g_textures.slots) {
        const std::string name = slot.texture ? slot.name.Text() : "";
        atlases += name.size() > 7 && name.compare(name.size() - 7, 7, "_merged") == 0 ? 1 : 0;
    }
    EXPECT_EQ(atlases, 1);
    EXPECT_GE(TextureFindSlot(atlas), 0);
    ClusteredObjSelectLods({0, 0, 0}, D3DX_PI / 2, nullptr, 0, 1);
    EXPECT_TRUE(render_test::ColourNear(DrawFrame().At(26, 24), kRed, 2));
}

TEST_F(ClusteredMeshes, SwitchDistancesNamesAndTheEndOfTheList)
{
    const std::string text =
        "cluster near 1\ncluster broken abc\ncluster plain\ncluster\nadd nobody\nstray words\ncluster late 5\n";
    ASSERT_TRUE(WriteFileBytes("m/mission.ctr", text));
    ASSERT_TRUE(ClusteredObjLoad("m"));
    // The stray entry ends loading after an empty group of its own.
    ASSERT_EQ(ClusteredObjGroups()->Count(), 5);
    struct Expect {
        const char* name;
        float distance;
    };
    const Expect expected[] = {{"near", 10.0f}, {"broken", 0.0f}, {"plain", 2000.0f}, {"", 2000.0f}, {"", 2000.0f}};
    for (s32_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(Group(i).name.Text(), expected[i].name);
        EXPECT_FLOAT_EQ(Group(i).switchDistance, expected[i].distance);
        EXPECT_EQ(Group(i).lodCluster, nullptr);
        EXPECT_EQ(Group(i).objects.count, 0);
    }
    ASSERT_TRUE(WriteFileBytes("empty/mission.ctr", "\n"));
    EXPECT_FALSE(ClusteredObjLoad("empty"));
    EXPECT_FALSE(ClusteredObjLoad("missing"));
}

TEST_F(ClusteredMeshes, OnlyFarDetailMeshesMergeInWorldSpace)
{
    WriteTexture("red", 64, kRed);
    D3DXMATRIX placement, turn, shift;
    D3DXMatrixRotationY(&turn, D3DX_PI / 2);
    D3DXMatrixTranslation(&shift, 100, 0, 0);
    placement = turn * shift;
    const std::array<Vector3, 4> unit = {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}};
    aff_test::Mesh lit = QuadMesh(0, unit);
    lit.normals.assign(4, {127, 0, 0});
    lit.uvs = {{0, 0}, {1.7f, 0}, {1.7f, 1}, {-0.5f, 1}};
    GraphObj* house =
        AddObject("house", {QuadMesh(0, unit), QuadMesh(0, unit), lit, QuadMesh(0, unit), QuadMesh(0, unit)},
                  {"roof0", "roof1", "roof2", "chimney", "hidden2"}, {"red", "red", "red", "red", "red"}, &placement);
    GraphNode* body = house->GetRootNode()->GetChild(0);
    // The last mesh is hidden at the far level by its level-of-detail record.
    MeshSettings& hidden = body->GetMeshSettings()[4];
    hidden.lodHidden[hidden.lodTagged ? 0 : 2] = 1;
    ASSERT_TRUE(WriteMissionCtr("mission", {{"town", "", {"house", "nobody"}}}));
    ASSERT_TRUE(ClusteredObjLoad("mission"));
    const ClusterGroup& group = Group(0);
    ASSERT_EQ(group.objects.count, 1);
    ASSERT_EQ(group.meshClusters.count, 1);
    const MeshCluster& cluster = *group.meshClusters[0];
    EXPECT_EQ(cluster.vertexCount, 8);  // "roof2" and "chimney"
    EXPECT_EQ(cluster.faceCount, 4);
    // Positions in world space (turned a quarter about y, then moved to x = 100); the normal
    // (1, 0, 0) turned with them; the second mesh's faces renumbered after the first.
    EXPECT_NEAR(cluster.positions[3], 100.0f, 1e-4f);  // vertex 1: (1, 0, 0) -> (100, 0, -1)
    EXPECT_NEAR(cluster.positions[5], -1.0f, 1e-4f);
    EXPECT_NEAR(cluster.normals[2], -1.0f, 1e-4f);
    EXPECT_EQ(cluster.faces[6], 4);
    EXPECT_NEAR(group.centre.x, 100.0f, 1e-4f);
    EXPECT_NEAR(group.radius, std::sqrt(2.0f) / 2, 1e-4f);
    // Texture coordinates are clamped into [0, 1], then scaled to the source's 8-texel level-3
    // image at its place in the 512-texel atlas (the corner).
    EXPECT_NEAR(cluster.texCoords[2], 1.7f, 1e-6f);
    ASSERT_NE(group.lodCluster, nullptr);
    const float eighth = 8.0f / 512.0f;
    const float expected[8] = {0, 0, eighth, 0, eighth, eighth, 0, eighth};
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(group.lodCluster->texCoords[i], expected[i], 1e-6f) << i;
}

TEST_F(ClusteredMeshes, ANodesFarthestLevelOfDetailChoosesTheMeshesMerged)
{
    WriteTexture("red", 64, kRed);
    const std::array<Vector3, 4> unit = {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}};
    GraphObj* house = AddObject("house", {QuadMesh(0, unit), QuadMesh(0, unit)}, {"wall", "door"}, {"red", "red"});
    GraphNode* body = house->GetRootNode()->GetChild(0);
    // The farthest level holds only the door; a nearer one would hold the wall too.
    ASSERT_EQ(body->AddLodLevel(1000.0f, "all", "door"), 1u);
    ASSERT_EQ(body->AddLodLevel(500.0f, "nothing", nullptr), 1u);
    AddObject("shed", {QuadMesh(0, unit), QuadMesh(0, unit)}, {"wall", "door"}, {"red", "red"});
    ASSERT_TRUE(WriteMissionCtr("mission", {{"house", "", {"house"}}, {"shed", "", {"shed"}}}));
    ASSERT_TRUE(ClusteredObjLoad("mission"));
    ASSERT_EQ(Group(0).meshClusters.count, 1);
    EXPECT_EQ(Group(0).meshClusters[0]->vertexCount, 4);
    ASSERT_EQ(Group(1).meshClusters.count, 1);
    EXPECT_EQ(Group(1).meshClusters[0]->vertexCount, 8);
}

TEST_F(ClusteredMeshes, MeshesOfOneTexturePastTheIndexLimitSplitIntoNeighbouringClusters)
{
    WriteTexture("red", 64, kRed);
    WriteTexture("green", 64, kGreen);
    aff_test::Mesh big;
    for (u32_t v = 0; v < 40000; ++v)
        big.positions.push_back({float(v % 200), float(v / 200), 0});
    big.indices = {0, 1, 200};
    const std::array<Vector3, 4> unit = {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}};
    AddObject("a", {big}, {"big"}, {"red"});
    AddObject("b", {QuadMesh(0, unit)}, {"small"}, {"green"});
    AddObject("c", {big}, {"big"}, {"red"});
    ASSERT_TRUE(WriteMissionCtr("mission", {{"town", "", {"a", "b", "c"}}}));
    ASSERT_TRUE(ClusteredObjLoad("mission"));
    const ClusterGroup& group = Group(0);
    ASSERT_EQ(group.meshClusters.count, 3);
    const IDirect3DTexture8* red = group.meshClusters[0]->texture;
    EXPECT_EQ(group.meshClusters[1]->texture, red);
    EXPECT_NE(group.meshClusters[2]->texture, red);
    EXPECT_EQ(group.meshClusters[0]->vertexCount, 40000);
    EXPECT_EQ(group.meshClusters[1]->vertexCount, 40000);
    // The atlas cluster takes what fits below the limit and leaves the rest out.
    ASSERT_NE(group.lodCluster, nullptr);
    EXPECT_EQ(group.lodCluster->vertexCount, 40004);
}

TEST_F(ClusteredMeshes, ZoomDistanceSphereAndFrustumDecideAndMarkTheObjects)
{
    GraphObj* house = AddObject("house", {QuadMesh(0, kLeftWall)}, {"wall"}, {nullptr});
    ASSERT_TRUE(WriteMissionCtr("mission", {{"town", "10", {"house"}}}));  // switches at 100
    ASSERT_TRUE(ClusteredObjLoad("mission"));
    const ClusterGroup& group = Group(0);
    const float radius = group.radius;
    // Viewer on the wall's axis at distance d + radius from its centre.
    struct Case {
        float beyondSphere;
        float fov;
        bool visible;
    };
    const Case cases[] = {
        {150.0f, D3DX_PI / 2, true},   // tan 45 x 150 > 100
        {90.0f, D3DX_PI / 2, false},   // 90 < 100
        {150.0f, D3DX_PI / 4, false},  // zoomed in: tan 22.5 x 150 = 62
        {250.0f, D3DX_PI / 4, true},   // tan 22.5 x 250 = 103
        {-1.0f, D3DX_PI / 2, false},   // inside the sphere
    };
    u32_t mark = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.beyondSphere);
        house->gridEntry->visitStamp = 0;
        const Vector3 view = {group.centre.x, group.centre.y, group.centre.z - (c.beyondSphere + radius)};
        ClusteredObjSelectLods(view, c.fov, nullptr, 0, ++mark);
        EXPECT_EQ(group.visible, c.visible ? 1u : 0u);
        EXPECT_EQ(house->gridEntry->visitStamp, c.visible ? mark : 0u);
    }
    // Far enough, but behind a frustum plane.
    const D3DXPLANE behind(0, 0, -1, 0);  // keeps z <= 0
    ClusteredObjSelectLods({0, 0, -1000}, D3DX_PI / 2, &behind, 1, ++mark);
    EXPECT_EQ(group.visible, 0u);
    const D3DXPLANE ahead(0, 0, 1, 0);
    ClusteredObjSelectLods({0, 0, -1000}, D3DX_PI / 2, &ahead, 1, ++mark);
    EXPECT_EQ(group.visible, 1u);
}

}  // namespace

namespace {

TEST_F(ClusteredMeshes, ViewMarksFollowTheGroupBoxAgainstThePlanes)
{
    AddObject("house", {QuadMesh(0, kLeftWall)}, {"wall"}, {nullptr});
    ASSERT_TRUE(WriteMissionCtr("mission", {{"town", "10", {"house"}}}));
    ASSERT_TRUE(ClusteredObjLoad("mission"));
    const ClusterGroup& group = Group(0);
    struct Case {
        const char* name;
        D3DXPLANE plane;
        u32_t inView;
    };
    // Planes facing +z and -z through points before, inside and past the group's box.
    const float before = group.boxMin.z - 1.0f, inside = group.centre.z, past = group.boxMax.z + 1.0f;
    const Case cases[] = {
        {"box in front", D3DXPLANE(0, 0, 1, -before), 1},
        {"box behind", D3DXPLANE(0, 0, 1, -past), 0},
        {"box crossing", D3DXPLANE(0, 0, 1, -inside), 1},
        {"facing the other way", D3DXPLANE(0, 0, -1, before), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClusteredObjUpdateVisibility(&c.plane, 1);
        EXPECT_EQ(group.inView, c.inView);
    }
    ClusteredObjUpdateVisibility(nullptr, 0);
    EXPECT_EQ(group.inView, 1u);
}

}  // namespace

namespace {

// Each merged object's range keeps its tile word; a batch draws only the ranges of the tile it is
// asked for, and with none there it draws nothing and sets no texture.
TEST_F(ClusteredMeshes, ABatchDrawsOnlyTheMeshesOfTheTile)
{
    WriteTexture("red", 64, kRed);
    AddObject("house_a", {QuadMesh(0, kLeftWall)}, {"wall2"}, {"red"});
    AddObject("house_b", {QuadMesh(0, kRightWall)}, {"wall"}, {"red"});
    ASSERT_TRUE(WriteMissionCtr("mission", {{"town", "0.1", {"house_a", "house_b"}}}));
    ASSERT_TRUE(ClusteredObjLoad("mission"));
    u32_t lodCount = 0, meshCount = 0;
    MeshCluster* lod = ClusteredObjGetLodClusters(&lodCount)[0];
    ClusteredObjGetMeshClusters(&meshCount);
    ASSERT_EQ(lodCount, 1u);
    EXPECT_EQ(meshCount, 1u);
    ASSERT_EQ(lod->ranges.size(), 2u);
    EXPECT_EQ(lod->ranges[1].firstFace, 2u);
    EXPECT_EQ(lod->ranges[1].firstVertex, 4u);
    // No map: every object stands in tile (0, 0).
    EXPECT_EQ(lod->ranges[0].tileWord, 0u);
    lod->ranges[1].tileWord = 0x00010000u;  // as if house_b stood in tile (0, 1)
    ASSERT_EQ(RenderBeginFrame(), 0);
    RenderSetTexture(0, nullptr);
    struct Row {
        u32_t tile;
        UINT draws, textures, faces;
    };
    const Row rows[] = {{0x00020000u, 0, 0, 0}, {0u, 1, 1, 2}, {0x00010000u, 1, 1, 2}};
    for (const Row& row : rows) {
        D3D8TestClearCallCounts(Device());
        g_render.frameStats = {};
        ClusterBatchDrawInTile(lod, row.tile);
        EXPECT_EQ(Counts().drawIndexedPrimitive, row.draws) << row.tile;
        EXPECT_EQ(Counts().setTexture, row.textures) << row.tile;
        EXPECT_EQ(g_render.frameStats.faces, row.faces) << row.tile;
    }
    RenderEndFrame(false);
    // The marks: a list marked with a tile word carries it.
    MeshCluster* const* list = lod->list;
    ClusterListMarkAll(list, lod->listCount, 0x00030004u);
    EXPECT_EQ(list[0]->tileMark, 0x00030004u);
}

}  // namespace
