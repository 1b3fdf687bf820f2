// The wire pass and the shader-set passes: which wires exist, the "CROSS" and "YFLAT" geometry, the
// distance fog's alpha, the switches and modes of the shader-set pass, and wires on the offscreen
// device at their projected places.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "game/game_state.h"
#include "map/map_cvars.h"
#include "map/registry/world_registry.h"
#include "render/camera.h"
#include "render/draw2d/hud_input.h"
#include "render/render_cvars.h"
#include "scene/meshes/connection_draw.h"
#include "scene/scene_cvars.h"
#include "scene/scene_state.h"
#include "scene/passes/shader_set_pass.h"
#include "scene/views/wide_projection.h"
#include "support/keep_var.h"
#include "support/render_test_support.h"
#include "tests/scene/scene_fixture.h"
#include "world/objects/graph_obj.h"
#include "world/objects/shader_settings.h"
#include "world/nodes/shadow_overlay.h"
#include "world/wires/wire_state.h"

using namespace render_test;
using namespace scene_test;

namespace {

void MakeGroup(ConObjGroup& group, u32_t profile, float width, float textureLength, u32_t segments, float sag)
{
    group.profile = profile;
    group.width = width;
    group.textureLength = textureLength;
    group.segments = segments;
    group.sag = sag;
}

TEST(WireGeometry, CrossGivesEightVerticesAndTwelveIndicesPerSegment)
{
    KeepVar kept(mvwinddir);
    const D3DXVECTOR3 a(0, 10, 0), b(30, 10, 40);  // 50 apart
    for (u32_t segments : {1u, 4u, 16u}) {
        ConObjGroup group;
        MakeGroup(group, WIRE_PROFILE_CROSS, 0.5f, 10.0f, segments, 3.0f);
        float vertices[MAX_WIRE_SEGMENTS * 8 * 5];
        u16_t indices[MAX_WIRE_SEGMENTS * 12];
        u32_t indexCount = 0;
        const u32_t vertexCount = WireCrossGeometry(group, a, b, 0.0f, vertices, indices, &indexCount);
        EXPECT_EQ(vertexCount, segments * 8);
        EXPECT_EQ(indexCount, segments * 12);
        for (u32_t i = 0; i < indexCount; ++i)
            ASSERT_LT(indices[i], vertexCount);
        // The curve starts at A, ends at B, and u runs from 0 by length over the texture length.
        EXPECT_FLOAT_EQ(vertices[0], a.x);
        EXPECT_FLOAT_EQ(vertices[1], a.y - 0.5f);
        EXPECT_FLOAT_EQ(vertices[3], 0.0f);
        const float* last = vertices + (vertexCount - 1) * 5;  // B on the horizontal ribbon
        EXPECT_NEAR(last[0] + last[2], b.x + b.z, 1.0f);
        EXPECT_GE(last[3], 5.0f - 1e-3f);  // at least the straight length / texture length
        if (segments > 1) {
            // The inner points sag below the straight line.
            const float* inner = vertices + 8 * 5;  // the second segment's first point
            EXPECT_LT(inner[1] + 0.5f, 10.0f);
        }
    }
    ConObjGroup none;
    MakeGroup(none, WIRE_PROFILE_CROSS, 0.5f, 10.0f, 0, 3.0f);
    float vertices[8 * 5];
    u16_t indices[12];
    u32_t indexCount = 7;
    EXPECT_EQ(WireCrossGeometry(none, a, b, 0.0f, vertices, indices, &indexCount), 0u);
    EXPECT_EQ(indexCount, 0u);
}

// A texture length of 0 comes from the file: u stays 0 instead of dividing by it.
TEST(WireGeometry, RobustnessATextureLengthOfZeroKeepsUAtZero)
{
    const D3DXVECTOR3 a(0, 10, 0), b(30, 10, 40);
    ConObjGroup cross;
    MakeGroup(cross, WIRE_PROFILE_CROSS, 0.5f, 0.0f, 4, 3.0f);
    float vertices[MAX_WIRE_SEGMENTS * 8 * 5];
    u16_t indices[MAX_WIRE_SEGMENTS * 12];
    u32_t indexCount = 0;
    const u32_t count = WireCrossGeometry(cross, a, b, 0.3f, vertices, indices, &indexCount);
    ConObjGroup flat;
    MakeGroup(flat, WIRE_PROFILE_YFLAT, 0.5f, 0.0f, 1, 0.0f);
    float flatVertices[4 * 5];
    u16_t flatIndices[6];
    WireFlatGeometry(flat, a, b, flatVertices, flatIndices);
    for (u32_t i = 0; i < count; ++i)
        EXPECT_EQ(vertices[i * 5 + 3], 0.0f) << i;
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(flatVertices[i * 5 + 3], 0.0f) << i;
}

TEST(WireGeometry, YFlatIsOneBandWithUByLength)
{
    ConObjGroup flat;
    MakeGroup(flat, WIRE_PROFILE_YFLAT, 2.0f, 25.0f, 1, 0.0f);
    float v[4 * 5];
    u16_t indices[6];
    WireFlatGeometry(flat, D3DXVECTOR3(0, 10, 0), D3DXVECTOR3(30, 10, 40), v, indices);
    const float expected[20] = {0, 8, 0, 0, 0, 0, 12, 0, 0, 1, 30, 8, 40, 2, 0, 30, 12, 40, 2, 1};
    for (int i = 0; i < 20; ++i)
        EXPECT_FLOAT_EQ(v[i], expected[i]) << i;
    const u16_t order[6] = {0, 2, 1, 1, 2, 3};
    EXPECT_EQ(std::memcmp(indices, order, sizeof order), 0);
}

TEST(WireFog, AlphaAtThreeDistances)
{
    KeepVar keep[3] = {KeepVar{mffogstart}, KeepVar{mfrange}, KeepVar{mffogpow}};
    mffogstart.value.asFloat = 10.0f;  // 100 units
    mfrange.value.asFloat = 30.0f;     // 300 units
    struct Row {
        float power, distance;
        u32_t alpha;
    };
    const Row rows[] = {{1.0f, 100.0f, 0},  {1.0f, 200.0f, 127}, {1.0f, 300.0f, 255},
                        {2.0f, 200.0f, 63}, {1.0f, 900.0f, 255}, {1.0f, 50.0f, 0}};
    for (const Row& row : rows) {
        mffogpow.value.asFloat = row.power;
        EXPECT_EQ(WireFogAlpha(row.distance), row.alpha) << row.power << " " << row.distance;
    }
    // A fog band of no width does not divide by zero.
    mfrange.value.asFloat = 10.0f;
    EXPECT_EQ(WireFogAlpha(200.0f), 255u);
}

TEST(ShaderSetModes, ModesOneToThreeOnlyWithShadowsAndNoneUnderWater)
{
    KeepVar kept(rbshadows);
    const u8_t underWater = RenderViewUnderWater;
    for (bool shadows : {false, true}) {
        for (bool water : {false, true}) {
            rbshadows.value.asBool = shadows;
            RenderViewUnderWater = water ? 1 : 0;
            for (s32_t mode = 0; mode < 4; ++mode)
                EXPECT_EQ(ShaderSetPassRuns(mode), !water && (mode == 0 || shadows)) << shadows << water << mode;
        }
    }
    RenderViewUnderWater = underWater;
}

// A shader-setting item: one triangle in front of the camera.
ShaderSetting* Item(s32_t mode, float z)
{
    ShaderSetting* item = new ShaderSetting;
    item->kind = mode;
    const float positions[9] = {-4, -4, z, 0, 4, z, 4, -4, z};
    const float coords[6] = {0, 0, 0.5f, 1, 1, 0};
    item->buffers[0] = new u8_t[sizeof positions];
    item->buffers[1] = new u8_t[sizeof coords];
    std::memcpy(item->buffers[0], positions, sizeof positions);
    std::memcpy(item->buffers[1], coords, sizeof coords);
    item->words[OVERLAY_VERTEX_COUNT_WORD] = 3;
    return item;
}

void GiveSet(GraphObj& object, std::initializer_list<s32_t> modes)
{
    object.shaderSettings = ShaderSettingListCreate(&object);
    for (s32_t mode : modes)
        ShaderSettingListAppend(object.shaderSettings, Item(mode, 20.0f));
    object.shaderSettings->boxMin = {-4, -4, 19};
    object.shaderSettings->boxMax = {4, 4, 21};
    object.shaderSettings->visible = 1;
}

class WirePasses : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.2f, 1);
        RenderWideProjectionUpdate();
        rbfog.value.asBool = false;
        rbconobjs.value.asBool = true;
        rbshadows.value.asBool = true;
        rbwireframe.value.asBool = false;
        RenderViewUnderWater = 0;
        g_hudInput.flags.nightVision = 0;
        const float white[4] = {1, 1, 1, 1};
        std::memcpy(mcmapambient.value.asColour, white, sizeof white);
        std::memcpy(mcmapdiffuse.value.asColour, white, sizeof white);
    }
    void TearDown() override
    {
        ConObjFreeAll();
        for (DynamicObject* object : m_registered)
            DynObjectRemove(object);
        m_objects.clear();
        for (IDirect3DTexture8* texture : m_textures)
            texture->Release();
        RenderCore::TearDown();
    }
    IDirect3DTexture8* Solid(DWORD argb)
    {
        IDirect3DTexture8* texture = render_test::SolidTexture(Device(), argb);
        m_textures.push_back(texture);
        return texture;
    }
    // A group of two point sets with wire 0 from a to b; the sets' owners carry pole sets when given.
    ConObjGroup* Span(u32_t profile, const D3DXVECTOR3& a, const D3DXVECTOR3& b, GraphObj* firstOwner = nullptr,
                      GraphObj* secondOwner = nullptr)
    {
        ConObjGroup* group = new ConObjGroup;
        group->profile = profile;
        group->width = profile == WIRE_PROFILE_YFLAT ? 1.0f : 0.5f;
        group->textureLength = 10.0f;
        group->segments = 4;
        group->texture = Solid(0xFFFFFFFF);
        EXPECT_TRUE(WireRegisterGroup(group));
        ConObjPointSet* p = new ConObjPointSet;
        ConObjPointSet* q = new ConObjPointSet;
        p->owner = firstOwner;
        q->owner = secondOwner;
        p->minusPoints[0] = {a.x, a.y, a.z};
        q->plusPoints[0] = {b.x, b.y, b.z};
        p->present[0] = WIRE_POINT_MINUS;
        q->present[0] = WIRE_POINT_PLUS;
        ChainAppend(group, p);
        ChainAppend(group, q);
        return group;
    }
    GraphObj* Object(s32_t typeId, std::initializer_list<s32_t> modes, bool registered)
    {
        m_objects.push_back(std::make_unique<GraphObj>());
        GraphObj* object = m_objects.back().get();
        object->typeId = typeId;
        GiveSet(*object, modes);
        if (registered) {
            EXPECT_TRUE(DynObjectAdd(object));
            m_registered.push_back(object);
        }
        return object;
    }

    std::vector<IDirect3DTexture8*> m_textures;
    std::vector<std::unique_ptr<GraphObj>> m_objects;
    std::vector<DynamicObject*> m_registered;
    KeepVar m_kept[7] = {KeepVar{rbfog},     KeepVar{rbconobjs},    KeepVar{rbshadows},   KeepVar{rbwireframe},
                         KeepVar{mvwinddir}, KeepVar{mcmapambient}, KeepVar{mcmapdiffuse}};
};

TEST_F(WirePasses, AWireIsDrawnWhenBothEndsArePresentAndItsFirstPointIsNotCut)
{
    struct Row {
        const char* what;
        u8_t pPresent, qPresent, pCut, qCut;
        size_t draws;
    };
    const Row rows[] = {
        {"both ends", WIRE_POINT_MINUS, WIRE_POINT_PLUS, 0, 0, 1},
        {"only the leaving end", WIRE_POINT_MINUS, 0, 0, 0, 0},
        {"only the arriving end", 0, WIRE_POINT_PLUS, 0, 0, 0},
        {"both ends of the wrong kinds", WIRE_POINT_PLUS, WIRE_POINT_MINUS, 0, 0, 0},
        {"cut on the first point", WIRE_POINT_MINUS, WIRE_POINT_PLUS, 1, 0, 0},
        {"cut on the second point (its own next wire)", WIRE_POINT_MINUS, WIRE_POINT_PLUS, 0, 1, 1},
    };
    for (const Row& row : rows) {
        ConObjGroup* group = Span(WIRE_PROFILE_YFLAT, D3DXVECTOR3(-5, 2, 20), D3DXVECTOR3(5, 2, 20));
        group->first->present[0] = row.pPresent;
        group->last->present[0] = row.qPresent;
        group->first->cut[0] = row.pCut;
        group->last->cut[0] = row.qCut;
        DrawLog log(Device());
        RenderConnectionObjects();
        EXPECT_EQ(log.Draws().size(), row.draws) << row.what;
        ConObjFreeAll();
    }
}

TEST_F(WirePasses, YFlatAndCrossWiresShowWhereTheyProjectAndTheSightedOneIsGreen)
{
    Span(WIRE_PROFILE_YFLAT, D3DXVECTOR3(-5, 3, 20), D3DXVECTOR3(5, 3, 20));
    ConObjGroup* cross = Span(WIRE_PROFILE_CROSS, D3DXVECTOR3(-5, -3, 20), D3DXVECTOR3(5, -3, 20));
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    RenderConnectionObjects();
    Pixels pixels = ReadBackBuffer(Device());
    EXPECT_NE(PixelAt(pixels, 0.0f, 3.0f, 20.0f), 0xFF000000u) << "YFLAT";
    EXPECT_NE(PixelAt(pixels, 0.0f, -3.0f, 20.0f), 0xFF000000u) << "CROSS";
    EXPECT_EQ(PixelAt(pixels, 0.0f, 0.0f, 20.0f), 0xFF000000u) << "between them";
    EXPECT_EQ(PixelAt(pixels, 8.0f, 3.0f, 20.0f), 0xFF000000u) << "beyond the ends";

    g_conObj.sighted.pointSet = cross->first;
    g_conObj.sighted.wire = 0;
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    RenderConnectionObjects();
    pixels = ReadBackBuffer(Device());
    EXPECT_TRUE(ColourNear(PixelAt(pixels, 0.0f, -3.0f, 20.0f), 0xFF008000, 2));
    EXPECT_NE(PixelAt(pixels, 0.0f, 3.0f, 20.0f), 0xFF008000u);
}

TEST_F(WirePasses, RbconobjsOffStillDrawsThePoleSetsButNotTheLastPointsSet)
{
    GraphObj* pole = Object(2, {0}, false);
    GraphObj* lastPole = Object(2, {0}, false);
    Span(WIRE_PROFILE_YFLAT, D3DXVECTOR3(-5, 3, 20), D3DXVECTOR3(5, 3, 20), pole, lastPole);
    rbconobjs.value.asBool = false;
    DrawLog wires(Device());
    RenderConnectionObjects();
    EXPECT_TRUE(wires.Draws().empty());
    DrawLog sets(Device());
    RenderShaderSetPass(0);
    EXPECT_EQ(sets.Draws().size(), 1u);  // the first pole's set only
}

TEST_F(WirePasses, ShaderSetsDrawByModeTypeDetailAndSwitches)
{
    Object(0, {0}, true);     // the root class: never
    Object(1, {0}, true);     // plain graphic objects: never
    Object(2, {0, 1}, true);  // one item of mode 0, one of mode 1
    GraphObj* far = Object(3, {2}, true);
    struct Row {
        const char* what;
        s32_t mode;
        bool shadows, underWater, fullDetail;
        size_t draws;
    };
    const Row rows[] = {
        {"mode 0", 0, true, false, true, 1},
        {"mode 1", 1, true, false, true, 1},
        {"mode 1 without shadows", 1, false, false, true, 0},
        {"mode 0 without shadows", 0, false, false, true, 1},
        {"mode 0 under water", 0, true, true, true, 0},
        {"mode 2 at full detail", 2, true, false, true, 1},
        {"mode 2 of a small far object", 2, true, false, false, 0},
        {"mode 3: no item", 3, true, false, true, 0},
    };
    for (const Row& row : rows) {
        rbshadows.value.asBool = row.shadows;
        RenderViewUnderWater = row.underWater ? 1 : 0;
        far->fullDetail = row.fullDetail ? 1 : 0;
        DrawLog log(Device());
        RenderShaderSetPass(row.mode);
        EXPECT_EQ(log.Draws().size(), row.draws) << row.what;
    }
    RenderViewUnderWater = 0;
}

}  // namespace

namespace {

// A vertex count that is no multiple of 3 draws its whole triangles only; fewer than 3 draw nothing.
TEST_F(WirePasses, RobustnessSetItemsDrawOnlyWholeTriangles)
{
    GraphObj* object = Object(2, {}, true);
    ShaderSetting* item = Item(0, 20.0f);
    const float positions[12] = {-4, -4, 20, 0, 4, 20, 4, -4, 20, 5, 5, 20};
    const float coords[8] = {0, 0, 0.5f, 1, 1, 0, 1, 1};
    delete[] item->buffers[0];
    delete[] item->buffers[1];
    item->buffers[0] = new u8_t[sizeof positions];
    item->buffers[1] = new u8_t[sizeof coords];
    std::memcpy(item->buffers[0], positions, sizeof positions);
    std::memcpy(item->buffers[1], coords, sizeof coords);
    ShaderSettingListAppend(object->shaderSettings, item);
    for (s32_t count : {4, 2}) {
        item->words[OVERLAY_VERTEX_COUNT_WORD] = count;
        DrawLog log(Device());
        RenderShaderSetPass(0);
        ASSERT_EQ(log.Draws().size(), count >= 3 ? 1u : 0u) << count;
        if (count >= 3) {
            EXPECT_EQ(log.Draws()[0].primitives, 1u);
        }
    }
}

}  // namespace
