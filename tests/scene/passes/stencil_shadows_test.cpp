// Stencil shadows: which shadow-list records a volume pass draws, the darkening colour and blend,
// the companions made at mission start, and on the offscreen device a box's volume darkening the
// map but not a first-pass object, z-pass against z-fail, and the camera inside a volume.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "map/map_cvars.h"
#include "map/octree/object_grid.h"
#include "map/registry/world_registry.h"
#include "render/camera.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "scene/scene_cvars.h"
#include "scene/scene_state.h"
#include "scene/passes/stencil_shadows.h"
#include "support/keep_var.h"
#include "support/render_test_support.h"
#include "tests/scene/scene_fixture.h"
#include "world/objects/dynamic_object.h"
#include "world/objects/shadow_object.h"
#include "world/nodes/shadow_volume.h"

using namespace render_test;
using namespace scene_test;

namespace {

class NoShadow : public DynamicObject {
public:
    bool CastsShadow() const override { return false; }
};

void SetBox(ObjectGridEntry* entry, float x, float y, float z, float half)
{
    entry->boxMin = {x - half, y - half, z - half};
    entry->boxMax = {x + half, y + half, z + half};
}

TEST(ShadowRecords, OnlyVolumesOfCastingSourcesWithinTheLimitUnlessTheCameraIsExternal)
{
    KeepVar kept(rfmaxshadowsdist);
    rfmaxshadowsdist.value.asFloat = 50.0f;  // 500 units
    const D3DXVECTOR3 camera = g_camera.position;
    g_camera.position = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    DynamicObject caster;
    NoShadow notCasting;
    ShadowVolume volume(&caster);
    ShadowVolume volumeOfNotCasting(&notCasting);
    BoundsShadowObject bounds(&caster, nullptr);
    DynamicObject plain;
    ObjectGridEntry* plainEntry = ObjectGridEntryCreate(OBJECT_GRID_OBJECT, &plain);
    struct Row {
        const char* what;
        ObjectGridEntry* entry;
        float distance;  // of the box centre along x
        bool external;
        bool drawn;
    };
    const Row rows[] = {
        {"a volume near", volume.GetGridEntry(), 100.0f, false, true},
        {"a volume at the limit", volume.GetGridEntry(), 500.0f, false, true},
        {"a volume beyond the limit", volume.GetGridEntry(), 501.0f, false, false},
        {"a volume beyond the limit, external camera", volume.GetGridEntry(), 5000.0f, true, true},
        {"a bounds shadow", bounds.GetGridEntry(), 100.0f, false, false},
        {"a volume whose source casts none", volumeOfNotCasting.GetGridEntry(), 100.0f, true, false},
        {"an object record", plainEntry, 100.0f, false, false},
        {"no record", nullptr, 0.0f, false, false},
    };
    for (const Row& row : rows) {
        if (row.entry)
            SetBox(row.entry, row.distance, 0.0f, 0.0f, 5.0f);
        EXPECT_EQ(ShadowRecordDrawn(row.entry, row.external), row.drawn) << row.what;
    }
    delete plainEntry;
    g_camera.position = camera;
}

TEST(ShadowDarkening, ColourFromRcshadowcolorAndItsBlend)
{
    KeepVar kept(rcshadowcolor);
    struct Row {
        float rgba[4];
        u32_t colour;
        u32_t source, destination;
    };
    const Row rows[] = {
        // The registered default: every channel at or above 1.0.
        {{128.0f, 128.0f, 128.0f, 255.0f}, 0xFFFFFFFF, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
        // What the map load sets: grey 128, opaque.
        {{128.0f / 255.0f, 128.0f / 255.0f, 128.0f / 255.0f, 1.0f},
         0xFF808080,
         D3DBLEND_SRCALPHA,
         D3DBLEND_INVSRCALPHA},
        // Alpha 0 multiplies the frame by the colour.
        {{0.5f, 0.25f, -1.0f, 0.0f}, 0x00804000, D3DBLEND_DESTCOLOR, D3DBLEND_ZERO},
    };
    for (const Row& row : rows) {
        std::memcpy(rcshadowcolor.value.asColour, row.rgba, sizeof row.rgba);
        const u32_t colour = ShadowDarkenColour();
        EXPECT_EQ(colour, row.colour);
        u32_t source = 0, destination = 0;
        ShadowDarkenBlend(colour, &source, &destination);
        EXPECT_EQ(source, row.source) << std::hex << colour;
        EXPECT_EQ(destination, row.destination) << std::hex << colour;
    }
}

TEST(ShadowsPrepare, EveryLoadedObjectGetsItsVolumeOnce)
{
    DynamicObject* objects[2] = {new DynamicObject, new DynamicObject};
    s32_t before = 0;
    DynObjectsGet(nullptr, &before);
    for (DynamicObject* object : objects)
        ASSERT_TRUE(DynObjectAdd(object));
    ShadowsPrepare();
    ShadowsPrepare();  // a second call makes no second set
    s32_t after = 0;
    DynObjectsGet(nullptr, &after);
    EXPECT_EQ(after, before + 4);
    for (DynamicObject* object : objects) {
        ASSERT_NE(object->shadowVolume, nullptr);
        EXPECT_EQ(object->shadowCompanion, nullptr);  // no flagged mesh texture
        EXPECT_EQ(static_cast<ShadowObject*>(object->shadowVolume)->source, object);
        EXPECT_EQ(static_cast<ShadowObject*>(object->shadowVolume)->shadowKind, SHADOW_KIND_VOLUME);
    }
    for (DynamicObject* object : objects) {
        DynObjectRemove(object->shadowVolume);
        delete object->shadowVolume;
        DynObjectRemove(object);
        delete object;
    }
}

// A box volume: the caps first, its faces wound as the world's meshes are (counter-clockwise seen
// from outside: the mesh passes cull clockwise triangles).
void FillBoxPiece(ShadowVolumePiece& piece, const Vector3& lo, const Vector3& hi, std::vector<float>& vertices,
                  std::vector<u16_t>& indices)
{
    vertices.clear();
    indices.clear();
    for (int i = 0; i < 8; ++i) {
        vertices.push_back(i & 1 ? hi.x : lo.x);
        vertices.push_back(i & 2 ? hi.y : lo.y);
        vertices.push_back(i & 4 ? hi.z : lo.z);
    }
    // Faces by axis (y first: the caps), each as four corners around it.
    const int faces[6][4] = {{2, 3, 7, 6}, {0, 1, 5, 4}, {0, 2, 6, 4}, {1, 3, 7, 5}, {0, 1, 3, 2}, {4, 5, 7, 6}};
    const float normals[6][3] = {{0, 1, 0}, {0, -1, 0}, {-1, 0, 0}, {1, 0, 0}, {0, 0, -1}, {0, 0, 1}};
    auto corner = [&](int i) { return D3DXVECTOR3(vertices[i * 3], vertices[i * 3 + 1], vertices[i * 3 + 2]); };
    for (int f = 0; f < 6; ++f) {
        const int* q = faces[f];
        const int triangles[2][3] = {{q[0], q[1], q[2]}, {q[0], q[2], q[3]}};
        for (const int* t : triangles) {
            int a = t[0], b = t[1], c = t[2];
            D3DXVECTOR3 e1 = corner(b) - corner(a), e2 = corner(c) - corner(a), n;
            D3DXVec3Cross(&n, &e1, &e2);
            // Counter-clockwise from outside in a left-handed frame: the cross product points inwards.
            if (n.x * normals[f][0] + n.y * normals[f][1] + n.z * normals[f][2] > 0.0f)
                std::swap(b, c);
            indices.insert(indices.end(), {u16_t(a), u16_t(b), u16_t(c)});
        }
    }
    piece.vertices = vertices.data();
    piece.vertexCount = 8;
    piece.indices = indices.data();
    piece.triangleCount = 12;
    piece.capCount = 4;
}

class ShadowPasses : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        ASSERT_TRUE(g_render.stencil);
        rbshadows.value.asBool = true;
        rbwireframe.value.asBool = false;
        RenderViewUnderWater = 0;
        const float grey[4] = {128.0f / 255.0f, 128.0f / 255.0f, 128.0f / 255.0f, 1.0f};
        std::memcpy(rcshadowcolor.value.asColour, grey, sizeof grey);
        m_volume = std::make_unique<ShadowVolume>(&m_caster);
        m_volume->needsRebuild = 0;  // the test gives the geometry
        m_volume->subMeshCount = 1;
        m_record = m_volume->GetGridEntry();
        SetBox(m_record, 0.0f, 0.0f, 20.0f, 5.0f);
    }
    void TearDown() override
    {
        m_volume->subMeshes[0] = {};
        m_volume->subMeshCount = 0;
        m_volume.reset();
        RenderCore::TearDown();
    }
    void Volume(const Vector3& lo, const Vector3& hi)
    {
        FillBoxPiece(m_volume->subMeshes[0], lo, hi, m_vertices, m_indices);
    }
    // A world quad in the plane z at the given stencil value.
    void WorldQuad(float x0, float x1, float y0, float y1, float z, DWORD colour, DWORD stencil)
    {
        struct V {
            float x, y, z;
            DWORD colour;
        };
        const V quad[4] = {{x0, y0, z, colour}, {x0, y1, z, colour}, {x1, y1, z, colour}, {x1, y0, z, colour}};
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        Device()->SetTransform(D3DTS_WORLD, &identity);
        Device()->SetTransform(D3DTS_PROJECTION, &g_camera.projection);
        RenderSetState(D3DRS_LIGHTING, 0);
        RenderSetState(D3DRS_ZENABLE, 1);
        RenderSetState(D3DRS_ZWRITEENABLE, 1);
        RenderSetState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
        RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
        RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
        RenderSetState(D3DRS_STENCILENABLE, 1);
        RenderSetState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
        RenderSetState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
        RenderSetState(D3DRS_STENCILREF, stencil);
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, ~0u);
        RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, ~0u);
        RenderSetColorOp(1, D3DTOP_DISABLE, ~0u, ~0u);
        RenderSetTexture(0, nullptr);
        Device()->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        Device()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(V));
        RenderSetState(D3DRS_STENCILENABLE, 0);
        RenderSetState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    }
    // The map (white, stencil 8) behind a first-pass object (blue, stencil 0) in the lower half,
    // then the volume pass and the darkening.
    Pixels Frame(bool zPass)
    {
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF000000, 1.0f, 0);
        WorldQuad(-100, 100, -100, 100, 20.0f, 0xFFFFFFFF, 8);
        WorldQuad(-20, 20, -20, -2, 19.0f, 0xFF0000FF, 0);
        ObjectGridEntry* records[1] = {m_record};
        if (zPass)
            ShadowVolumePassZPass(records, 1, false);
        else
            ShadowVolumePassZFail(records, 1, false);
        ShadowDarkenPass();
        return ReadBackBuffer(Device());
    }

    DynamicObject m_caster;
    std::unique_ptr<ShadowVolume> m_volume;
    ObjectGridEntry* m_record = nullptr;
    std::vector<float> m_vertices;
    std::vector<u16_t> m_indices;
    KeepVar m_kept[4] = {KeepVar{rbshadows}, KeepVar{rbwireframe}, KeepVar{rcshadowcolor}, KeepVar{rfmaxshadowsdist}};
};

TEST_F(ShadowPasses, ABoxShadowsTheMapButNotAFirstPassObjectAndZPassMatchesZFailOutside)
{
    RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.2f, 1);
    Volume({-3.0f, -50.0f, 18.0f}, {3.0f, 50.0f, 22.0f});
    const Pixels zFail = Frame(false);
    EXPECT_TRUE(ColourNear(PixelAt(zFail, 0.0f, 5.0f, 20.0f), 0xFF808080, 2)) << "the map in the shadow";
    EXPECT_TRUE(ColourNear(PixelAt(zFail, 10.0f, 5.0f, 20.0f), 0xFFFFFFFF, 2)) << "the map beside it";
    EXPECT_TRUE(ColourNear(PixelAt(zFail, 0.0f, -8.0f, 19.0f), 0xFF0000FF, 2)) << "the object in the volume";
    const Pixels zPass = Frame(true);
    EXPECT_EQ(zPass.words, zFail.words);
}

TEST_F(ShadowPasses, ZFailStaysRightWithTheCameraInsideTheVolume)
{
    RenderSetupCamera(0.0f, 0.0f, 8.0f, 0.0f, 0.0f, 0.0f, 1.2f, 1);
    Volume({-3.0f, -50.0f, 5.0f}, {3.0f, 50.0f, 30.0f});
    const Pixels pixels = Frame(false);
    EXPECT_TRUE(ColourNear(PixelAt(pixels, 0.0f, 5.0f, 20.0f), 0xFF808080, 2));
    EXPECT_TRUE(ColourNear(PixelAt(pixels, 8.0f, 5.0f, 20.0f), 0xFFFFFFFF, 2));
    EXPECT_TRUE(ColourNear(PixelAt(pixels, 0.0f, -4.0f, 19.0f), 0xFF0000FF, 2));
}

TEST_F(ShadowPasses, ZPassLeavesOutTheCapsAndNothingRunsWithoutShadowsStencilOrAboveWater)
{
    RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.2f, 1);
    Volume({-3.0f, -50.0f, 18.0f}, {3.0f, 50.0f, 22.0f});
    ObjectGridEntry* records[1] = {m_record};
    {
        DrawLog log(Device());
        ShadowVolumePassZFail(records, 1, false);
        ShadowVolumePassZPass(records, 1, false);
        ASSERT_EQ(log.Draws().size(), 4u);
        EXPECT_EQ(log.Draws()[0].primitives, 12u);
        EXPECT_EQ(log.Draws()[1].primitives, 12u);
        EXPECT_EQ(log.Draws()[2].primitives, 8u);
        EXPECT_EQ(log.Draws()[3].primitives, 8u);
        EXPECT_EQ(log.Draws()[0].textureFactor, 0x40000070u);
        EXPECT_EQ(log.Draws()[1].textureFactor, 0x40700000u);
    }
    struct Case {
        const char* what;
        bool shadows, stencil, underWater;
        size_t volumeDraws, darkenDraws;
    };
    const Case cases[] = {
        {"all on", true, true, false, 2, 1},
        {"rbshadows off", false, true, false, 0, 1},
        {"under water", true, true, true, 0, 1},
        // Without a stencil buffer the darkening would shade the whole frame.
        {"no stencil", true, false, false, 0, 0},
    };
    for (const Case& c : cases) {
        rbshadows.value.asBool = c.shadows;
        g_render.stencil = c.stencil;
        RenderViewUnderWater = c.underWater ? 1 : 0;
        DrawLog volumes(Device());
        ShadowVolumePassZFail(records, 1, false);
        EXPECT_EQ(volumes.Draws().size(), c.volumeDraws) << c.what;
        DrawLog darken(Device());
        ShadowDarkenPass();
        EXPECT_EQ(darken.Draws().size(), c.darkenDraws) << c.what;
    }
    g_render.stencil = true;
    RenderViewUnderWater = 0;
}

// A piece larger than the streaming buffers take is left out, and the pieces after it still draw.
TEST_F(ShadowPasses, RobustnessAPieceTooLargeForTheBuffersIsSkipped)
{
    RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.2f, 1);
    Volume({-3.0f, -50.0f, 18.0f}, {3.0f, 50.0f, 22.0f});
    ShadowVolumePiece& big = m_volume->subMeshes[1];
    std::vector<float> many(size_t(SHADOW_PASS_MAX_VERTICES + 1) * 3, 0.0f);
    std::vector<u16_t> indices(3 * 12, 0);
    big.vertices = many.data();
    big.vertexCount = SHADOW_PASS_MAX_VERTICES + 1;
    big.indices = indices.data();
    big.triangleCount = 12;
    ShadowVolumePiece& tooManyIndices = m_volume->subMeshes[2];
    std::vector<u16_t> longList(size_t(SHADOW_PASS_MAX_INDICES) + 3, 0);
    tooManyIndices.vertices = m_vertices.data();
    tooManyIndices.vertexCount = 8;
    tooManyIndices.indices = longList.data();
    tooManyIndices.triangleCount = SHADOW_PASS_MAX_INDICES / 3 + 1;
    m_volume->subMeshes[3] = m_volume->subMeshes[0];
    m_volume->subMeshCount = 4;
    ObjectGridEntry* records[1] = {m_record};
    DrawLog log(Device());
    ShadowVolumePassZFail(records, 1, false);
    EXPECT_EQ(log.Draws().size(), 4u);  // pieces 0 and 3
    for (int i = 1; i < 4; ++i)
        m_volume->subMeshes[i] = {};
    m_volume->subMeshCount = 1;
}

}  // namespace
