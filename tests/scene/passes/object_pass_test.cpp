// The visible-object pass over a hand-made visible-object list: which kinds it draws, the shadow
// list and its limit, the fog texture matrix, the fill mode, and a lightmapped map mesh on screen.
#include <gtest/gtest.h>

#include <vector>

#include "map/meshes/collision_mesh.h"
#include "map/map_cvars.h"
#include "map/meshes/map_mesh.h"
#include "map/octree/object_grid.h"
#include "render/camera.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "render/land/visible_nodes.h"
#include "scene/passes/object_pass.h"
#include "scene/passes/static_map_pass.h"
#include "support/keep_var.h"
#include "support/render_test_support.h"
#include "tests/scene/scene_fixture.h"
#include "world/objects/dynamic_object.h"

using render_test::ColourNear;
using render_test::Pixels;
using render_test::ReadBackBuffer;

namespace {

constexpr DWORD kClear = 0xFF000000u;

// Counts its draws.
class CountingObject : public DynamicObject {
public:
    void Render() override { ++renders; }
    int renders = 0;
};

u32_t StateNow(D3DRENDERSTATETYPE state)
{
    DWORD value = 0xDEADBEEF;
    g_render.device->GetRenderState(state, &value);
    return value;
}

class ObjectPass : public render_test::RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.2f, 1);
        RenderSetState(D3DRS_ZENABLE, 0);
        // A quad 10 units ahead, facing the camera.
        m_collision.vertices = new MapVertex[4];
        m_collision.faces = new CollisionFace[2];
        const float corners[4][2] = {{-3, -3}, {3, -3}, {3, 3}, {-3, 3}};
        for (int i = 0; i < 4; ++i)
            m_collision.vertices[i] = {{corners[i][0], corners[i][1], 10.0f}, 0.5f, 0.5f, {0, 0, -1}};
        m_collision.faces[0] = {{0, 1, 2}};
        m_collision.faces[1] = {{0, 2, 3}};
        m_collision.vertexCount = 4;
        m_collision.faceCount = 2;
        m_mesh.collision = &m_collision;
        m_mesh.flags = MAP_MESH_LAND;
    }
    void TearDown() override
    {
        m_mesh.collision = nullptr;
        g_visible.objectCount = 0;
        for (IDirect3DTexture8* texture : m_textures)
            texture->Release();
        RenderCore::TearDown();
    }
    ObjectGridEntry Entry(u32_t kind, void* owner)
    {
        ObjectGridEntry entry = {};
        entry.kind = kind;
        entry.owner = owner;
        return entry;
    }
    void List(std::vector<ObjectGridEntry>& entries)
    {
        g_visible.objectCount = 0;
        for (ObjectGridEntry& entry : entries)
            g_visible.objects[g_visible.objectCount++] = &entry;
    }
    IDirect3DTexture8* Solid(DWORD argb)
    {
        IDirect3DTexture8* texture = render_test::SolidTexture(Device(), argb);
        m_textures.push_back(texture);
        return texture;
    }
    Pixels Draw(const StaticMapTextures& textures, const D3DXMATRIX* fog)
    {
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClear, 1.0f, 0);
        RenderObjectPassWith(textures, fog);
        return ReadBackBuffer(Device());
    }

    CollisionMesh m_collision;
    MapMesh m_mesh;
    std::vector<IDirect3DTexture8*> m_textures;
    KeepAllVars m_vars;
};

// With "rbobjects" off no map mesh, object or shadow record is handled; the clustered meshes still
// get their pass while "rbclusters" is on (it is the one that turns specular light on).
TEST_F(ObjectPass, RbobjectsOffLeavesTheListButNotTheClusters)
{
    CountingObject object;
    std::vector<ObjectGridEntry> entries = {Entry(OBJECT_GRID_OBJECT, &object), Entry(OBJECT_GRID_SHADOW, &object),
                                            Entry(OBJECT_GRID_MAP_MESH, &m_mesh)};
    List(entries);
    struct Row {
        bool objects, clusters;
        int renders;
        u32_t shadows;
        size_t draws;
        u32_t specular;
    };
    const Row rows[] = {{true, false, 1, 1, 1, 0}, {false, true, 0, 0, 0, 1}, {false, false, 0, 0, 0, 0}};
    for (const Row& row : rows) {
        rbobjects.SetBool(row.objects);
        rbclusters.SetBool(row.clusters);
        object.renders = 0;
        RenderSetState(D3DRS_SPECULARENABLE, 0);
        scene_test::DrawLog log(Device());
        RenderObjectPassWith(StaticMapTextures(), nullptr);
        EXPECT_EQ(object.renders, row.renders) << row.objects;
        EXPECT_EQ(g_shadowList.count, row.shadows) << row.objects;
        EXPECT_EQ(log.Draws().size(), row.draws) << row.objects;
        EXPECT_EQ(StateNow(D3DRS_SPECULARENABLE), row.specular) << row.objects << row.clusters;
    }
}

TEST_F(ObjectPass, TheFirst512ShadowRecordsAreKept)
{
    std::vector<ObjectGridEntry> entries(600, Entry(OBJECT_GRID_SHADOW, nullptr));
    List(entries);
    RenderObjectPassWith(StaticMapTextures(), nullptr);
    ASSERT_EQ(g_shadowList.count, OBJECT_PASS_SHADOW_LIMIT);
    EXPECT_EQ(g_shadowList.records[511], &entries[511]);
    // The next run starts the list afresh.
    g_visible.objectCount = 1;
    RenderObjectPassWith(StaticMapTextures(), nullptr);
    EXPECT_EQ(g_shadowList.count, 1u);
}

TEST_F(ObjectPass, FogMatrixCentresTheFogTextureOnTheCamera)
{
    struct Row {
        float dx, dz, cx, cz, range;
        bool made;
        float m11, m31, m32;
    };
    const Row rows[] = {
        {1000, 1000, 0, 0, 50, true, 1.0f, 0.0f, 0.0f},
        {2000, 2000, 500, -500, 100, true, 1.0f, -0.25f, -0.25f},
        {4000, 4000, 0, 1000, 100, true, 2.0f, -0.5f, 0.0f},
        {1000, 1000, 0, 0, 0, false, 0, 0, 0},
        {1000, 1000, 0, 0, -5, false, 0, 0, 0},
        {0, 1000, 0, 0, 50, false, 0, 0, 0},
    };
    for (const Row& row : rows) {
        D3DXMATRIX m;
        D3DXMatrixIdentity(&m);
        m._44 = 7.0f;  // untouched when no matrix is made
        ASSERT_EQ(ObjectPassFogMatrix(row.dx, row.dz, row.cx, row.cz, row.range, &m), row.made) << row.range;
        if (!row.made) {
            EXPECT_EQ(m._44, 7.0f);
            continue;
        }
        EXPECT_NEAR(m._11, row.m11, 1e-5f);
        EXPECT_NEAR(m._22, row.m11, 1e-5f);
        EXPECT_NEAR(m._31, row.m31, 1e-5f) << row.cx;
        EXPECT_NEAR(m._32, row.m32, 1e-5f) << row.cz;
        EXPECT_EQ(m._44, 1.0f);
        // The camera's own map coordinates land in the middle of the fog texture.
        const float u = row.cx / row.dx + 0.5f, v = 0.5f - row.cz / row.dz;
        EXPECT_NEAR(u * m._11 + m._31, 0.5f, 1e-5f);
        EXPECT_NEAR(v * m._22 + m._32, 0.5f, 1e-5f);
    }
}

TEST_F(ObjectPass, WireframeDrawsAndLeavesTheFillSolid)
{
    std::vector<ObjectGridEntry> entries = {Entry(OBJECT_GRID_MAP_MESH, &m_mesh)};
    List(entries);
    rbwireframe.SetBool(true);
    scene_test::DrawLog log(Device());
    RenderObjectPassWith(StaticMapTextures(), nullptr);
    ASSERT_EQ(log.Draws().size(), 1u);
    EXPECT_EQ(log.Draws()[0].fillMode, u32_t(D3DFILL_WIREFRAME));
    EXPECT_EQ(StateNow(D3DRS_FILLMODE), u32_t(D3DFILL_SOLID));
}

// Texture times lightmap, then the fog colour blended by the fog texture's alpha; without a fog
// matrix (no range) or fog texture, no fog layer.
TEST_F(ObjectPass, LightmappedMapMeshTakesTheLightmapThenTheFogLayer)
{
    std::vector<ObjectGridEntry> entries = {Entry(OBJECT_GRID_MAP_MESH, &m_mesh)};
    List(entries);
    m_mesh.texture = Solid(0xFFFFFF80u);
    StaticMapTextures textures;
    textures.lightmap = Solid(0xFF00FF00u);
    textures.fog = Solid(0x80FFFFFFu);
    const float blue[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    for (int i = 0; i < 4; ++i)
        mcfogcolor.value.asColour[i] = blue[i];
    D3DXMATRIX fog;
    ASSERT_TRUE(ObjectPassFogMatrix(1000, 1000, 0, 0, 50, &fog));
    const Pixels lit = Draw(textures, nullptr);
    EXPECT_TRUE(ColourNear(lit.At(kWidth / 2, kHeight / 2), 0xFF00FF00u, 2));
    EXPECT_EQ(lit.At(0, 0), kClear);
    const Pixels fogged = Draw(textures, &fog);
    EXPECT_TRUE(ColourNear(fogged.At(kWidth / 2, kHeight / 2), 0xFF007F80u, 3));
    EXPECT_EQ(fogged.At(0, 0), kClear);
    // A second mesh after the first one's fog layer starts from its own texture again.
    std::vector<ObjectGridEntry> twice = {Entry(OBJECT_GRID_MAP_MESH, &m_mesh), Entry(OBJECT_GRID_MAP_MESH, &m_mesh)};
    List(twice);
    EXPECT_TRUE(ColourNear(Draw(textures, &fog).At(kWidth / 2, kHeight / 2), 0xFF007F80u, 3));
    textures.fog = nullptr;
    EXPECT_TRUE(ColourNear(Draw(textures, &fog).At(kWidth / 2, kHeight / 2), 0xFF00FF00u, 2));
    // Not lightmapped: the texture alone.
    m_mesh.flags = 0;
    EXPECT_TRUE(ColourNear(Draw(textures, nullptr).At(kWidth / 2, kHeight / 2), 0xFFFFFF80u, 2));
}

using ObjectPassRobustness = ObjectPass;

// A map mesh larger than the streaming buffers take is skipped (once warned), and the meshes after
// it still draw; face indices past the vertices read vertex 0.
TEST_F(ObjectPassRobustness, OversizedMapMeshIsSkippedAndBadIndicesStayInside)
{
    CollisionMesh huge;
    huge.vertexCount = 70000;
    huge.faceCount = 1;
    huge.vertices = new MapVertex[huge.vertexCount]();
    huge.faces = new CollisionFace[1]{{{0, 1, 2}}};
    MapMesh big;
    big.name.Assign("big");
    big.collision = &huge;
    m_collision.faces[1] = {{0, 2, 60000}};
    std::vector<ObjectGridEntry> entries = {Entry(OBJECT_GRID_MAP_MESH, &big), Entry(OBJECT_GRID_MAP_MESH, &m_mesh)};
    List(entries);
    scene_test::DrawLog log(Device());
    RenderObjectPassWith(StaticMapTextures(), nullptr);
    EXPECT_EQ(log.Draws().size(), 1u);
    big.collision = nullptr;
}

}  // namespace
