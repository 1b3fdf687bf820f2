// The quad record renderers: the half axes of each kind, the quad's corners and windings, and what
// the replay puts on the offscreen device (screen alignment, the drawn-in-front depth range, the
// second stage, the axis quad seen end on).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/camera.h"
#include "render/render_cvars.h"
#include "render/device/state_cache.h"
#include "scene/draw_records/draw_record_replay.h"
#include "scene/draw_records/draw_records.h"
#include "scene/draw_records/quad_records.h"
#include "scene/scene_state.h"
#include "support/render_test_support.h"
#include "tests/scene/scene_fixture.h"

using namespace render_test;
using namespace scene_test;

namespace {

constexpr DWORD kClear = 0xFF000000;
constexpr float kHalfPi = 1.5707963f;

::testing::AssertionResult Near(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected)
{
    const D3DXVECTOR3 d = actual - expected;
    if (D3DXVec3Length(&d) < 1e-4f)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") is not ("
                                         << expected.x << ", " << expected.y << ", " << expected.z << ")";
}

// Along the same line as the direction (either way), with the given length.
::testing::AssertionResult AlongWithLength(const D3DXVECTOR3& actual, const D3DXVECTOR3& direction, float length)
{
    D3DXVECTOR3 unit;
    D3DXVec3Normalize(&unit, &direction);
    const float along = D3DXVec3Dot(&actual, &unit);
    if (std::fabs(std::fabs(along) - length) < 1e-4f && std::fabs(D3DXVec3Length(&actual) - length) < 1e-4f)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ", " << actual.z
                                         << ") does not lie along the direction with length " << length;
}

D3DXVECTOR3 ViewColumn(int c)
{
    return D3DXVECTOR3(g_camera.view.m[0][c], g_camera.view.m[1][c], g_camera.view.m[2][c]);
}

class QuadRecords : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.2f, 1);
        rbfog.value.asBool = false;
        RenderViewUnderWater = 0;
    }
    void TearDown() override
    {
        DrawRecordsClear();
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
    // An opaque white quad record of the kind at the point.
    DrawRecord* Queue(u32_t kind, float x, float y, float z, float width, float height)
    {
        DrawRecord* record = DrawRecordAlloc(kind, 0);
        EXPECT_NE(record, nullptr);
        D3DXMATRIX move;
        D3DXMatrixTranslation(&move, x, y, z);
        record->world = move;
        record->SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
        QuadRecordFields& quad = *QuadFields(record);
        quad.texture = m_textures.empty() ? Solid(0xFFFFFFFF) : m_textures[0];
        quad.u[1] = quad.v[1] = 1.0f;
        quad.colour = 0xFFFFFFFF;
        quad.width = width;
        quad.height = height;
        return record;
    }
    Pixels Replay()
    {
        DrawRecordsReplay();
        DrawRecordsClear();
        return ReadBackBuffer(Device());
    }
    void Clear() { Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClear, 1.0f, 0); }
    std::vector<IDirect3DTexture8*> m_textures;
    SavedVars m_vars{&rbfog};
};

// The box of the pixels that are not the clear colour, and how many there are.
struct Coverage {
    int minX = 1 << 20, minY = 1 << 20, maxX = -1, maxY = -1, count = 0;
    int Width() const { return maxX - minX + 1; }
    int Height() const { return maxY - minY + 1; }
    float Fill() const { return count ? float(count) / float(Width() * Height()) : 0.0f; }
};

Coverage Cover(const Pixels& pixels)
{
    Coverage c;
    for (UINT y = 0; y < pixels.height; ++y)
        for (UINT x = 0; x < pixels.width; ++x)
            if (pixels.At(x, y) != kClear) {
                c.minX = std::min<int>(c.minX, x);
                c.maxX = std::max<int>(c.maxX, x);
                c.minY = std::min<int>(c.minY, y);
                c.maxY = std::max<int>(c.maxY, y);
                ++c.count;
            }
    return c;
}

TEST_F(QuadRecords, TheReplayReachesTheFiveQuadRenderers)
{
    EXPECT_EQ(g_drawRecordReplay.renderers[DRAW_RECORD_FACING_QUAD], &RecordBillboardDraw);
    EXPECT_EQ(g_drawRecordReplay.renderers[DRAW_RECORD_UPRIGHT_QUAD], &RecordUprightQuadDraw);
    EXPECT_EQ(g_drawRecordReplay.renderers[DRAW_RECORD_STRETCHED_QUAD], &RecordAxisQuadDraw);
    EXPECT_EQ(g_drawRecordReplay.renderers[DRAW_RECORD_GROUND_QUAD], &RecordGroundQuadDraw);
    EXPECT_EQ(g_drawRecordReplay.renderers[DRAW_RECORD_XY_QUAD], &RecordWallQuadDraw);
}

TEST_F(QuadRecords, HalfAxesOfEachKindWithAndWithoutRotation)
{
    RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.3f, 0.2f, 0.4f, 1.2f, 1);
    const D3DXVECTOR3 right = ViewColumn(0), up = ViewColumn(1), view = ViewColumn(2);
    const D3DXVECTOR3 across(10.0f, 0.0f, -10.0f);  // kind 3's horizontal axis for a centre at (10, 3, 10)
    const D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0), z(0, 0, -1);
    // Kind 2 turns about the line from the camera to the centre: on the line of sight, about the view.
    const D3DXVECTOR3 ahead = view * 10.0f, aside(10.0f, 3.0f, 10.0f);
    struct Row {
        u32_t kind;
        D3DXVECTOR3 centre;
        float angle;
        D3DXVECTOR3 alongA, alongB;  // the lines A and B lie on
    };
    const Row rows[] = {
        {DRAW_RECORD_FACING_QUAD, ahead, 0.0f, right, up},  {DRAW_RECORD_FACING_QUAD, ahead, kHalfPi, up, right},
        {DRAW_RECORD_UPRIGHT_QUAD, aside, 0.0f, across, y}, {DRAW_RECORD_UPRIGHT_QUAD, aside, kHalfPi, y, across},
        {DRAW_RECORD_GROUND_QUAD, aside, 0.0f, x, z},       {DRAW_RECORD_GROUND_QUAD, aside, kHalfPi, z, x},
        {DRAW_RECORD_XY_QUAD, aside, 0.0f, x, y},           {DRAW_RECORD_XY_QUAD, aside, kHalfPi, y, x},
    };
    for (const Row& row : rows) {
        DrawRecord* record = Queue(row.kind, row.centre.x, row.centre.y, row.centre.z, 4.0f, 6.0f);
        QuadFields(record)->turn[0] = row.angle;
        D3DXVECTOR3 a, b;
        QuadHalfAxes(row.kind, record, QuadRecordRead(record), &a, &b);
        EXPECT_TRUE(AlongWithLength(a, row.alongA, 2.0f)) << "kind " << row.kind << " angle " << row.angle;
        EXPECT_TRUE(AlongWithLength(b, row.alongB, 3.0f)) << "kind " << row.kind << " angle " << row.angle;
        if (row.angle == 0.0f && row.kind != DRAW_RECORD_UPRIGHT_QUAD) {
            EXPECT_TRUE(Near(a, row.alongA * 2.0f)) << row.kind;
            EXPECT_TRUE(Near(b, row.alongB * 3.0f)) << row.kind;
        }
    }
    // Kind 4: across the view about the record's axis; nothing across when the axis points along the view.
    DrawRecord* record = Queue(DRAW_RECORD_STRETCHED_QUAD, 0.0f, 0.0f, 10.0f, 4.0f, 6.0f);
    QuadRecordFields& quad = *QuadFields(record);
    quad.turn[0] = 0.0f;
    quad.turn[1] = 2.0f;
    quad.turn[2] = 0.0f;
    D3DXVECTOR3 a, b, expected;
    QuadHalfAxes(DRAW_RECORD_STRETCHED_QUAD, record, quad, &a, &b);
    const D3DXVECTOR3 axis(0.0f, 2.0f, 0.0f);
    D3DXVec3Cross(&expected, &view, &axis);
    EXPECT_TRUE(Near(a, expected * 2.0f));
    EXPECT_TRUE(Near(b, axis * 3.0f));
    quad.turn[0] = view.x, quad.turn[1] = view.y, quad.turn[2] = view.z;
    QuadHalfAxes(DRAW_RECORD_STRETCHED_QUAD, record, quad, &a, &b);
    EXPECT_TRUE(Near(a, D3DXVECTOR3(0, 0, 0)));
}

TEST(QuadRecordGeometry, FourCornersAndBothWindings)
{
    QuadRecordFields quad = {};
    quad.u[0] = 0.1f, quad.u[1] = 0.9f, quad.v[0] = 0.2f, quad.v[1] = 0.8f;
    float vertices[20];
    u16_t indices[12];
    QuadRecordGeometry(quad, D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 2, 0), vertices, indices);
    const float expected[20] = {-1, 2, 0, 0.1f, 0.2f, 1, 2, 0, 0.9f, 0.2f, 1, -2, 0, 0.9f, 0.8f, -1, -2, 0, 0.1f, 0.8f};
    for (int i = 0; i < 20; ++i)
        EXPECT_FLOAT_EQ(vertices[i], expected[i]) << i;
    const u16_t order[12] = {0, 2, 1, 0, 3, 2, 0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(indices[i], order[i]) << i;
}

TEST_F(QuadRecords, AFacingQuadStaysScreenAlignedAtAnyRollAndTurnsAboutTheLineOfSight)
{
    for (float roll : {0.0f, 0.5f, 1.0f}) {
        RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, roll, 1.2f, 1);
        Clear();
        Queue(DRAW_RECORD_FACING_QUAD, g_camera.forward.x * 10.0f, g_camera.forward.y * 10.0f,
              g_camera.forward.z * 10.0f, 8.0f, 4.0f);
        const Coverage c = Cover(Replay());
        ASSERT_GT(c.count, 0) << roll;
        EXPECT_GT(c.Fill(), 0.9f) << roll;
        EXPECT_GT(c.Width(), c.Height() * 3 / 2) << roll;
        // A quarter turn about the line of sight stands it on end.
        Clear();
        Queue(DRAW_RECORD_FACING_QUAD, g_camera.forward.x * 10.0f, g_camera.forward.y * 10.0f,
              g_camera.forward.z * 10.0f, 8.0f, 4.0f);
        QuadFields(DrawRecordAt(0))->turn[0] = kHalfPi;
        const Coverage turned = Cover(Replay());
        EXPECT_GT(turned.Fill(), 0.9f) << roll;
        EXPECT_GT(turned.Height(), turned.Width() * 3 / 2) << roll;
    }
}

TEST_F(QuadRecords, AnAxisQuadSeenEndOnCoversNothing)
{
    Clear();
    DrawRecord* record = Queue(DRAW_RECORD_STRETCHED_QUAD, 0.0f, 0.0f, 10.0f, 4.0f, 4.0f);
    QuadFields(record)->turn[2] = 1.0f;
    EXPECT_EQ(Cover(Replay()).count, 0);
    Clear();
    record = Queue(DRAW_RECORD_STRETCHED_QUAD, 0.0f, 0.0f, 10.0f, 4.0f, 4.0f);
    QuadFields(record)->turn[1] = 1.0f;
    EXPECT_GT(Cover(Replay()).count, 0);
}

TEST_F(QuadRecords, ADrawnInFrontQuadIsNotHiddenAndTheDepthRangeComesBack)
{
    for (bool inFront : {false, true}) {
        Clear();
        RenderSetState(D3DRS_ZENABLE, 1);
        RenderSetState(D3DRS_ZWRITEENABLE, 1);
        RenderSetState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
        RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
        RenderSetState(D3DRS_LIGHTING, 0);
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, ~0u);
        RenderSetTexture(0, nullptr);
        ASSERT_EQ(DrawScreenQuad(Device(), 0, 0, kWidth, kHeight, 0xFFFF0000, 0.01f), D3D_OK);
        DrawRecord* record = Queue(DRAW_RECORD_XY_QUAD, 0.0f, 0.0f, 10.0f, 4.0f, 4.0f);
        QuadFields(record)->inFront = inFront ? 1 : 0;
        const Pixels pixels = Replay();
        EXPECT_TRUE(ColourNear(pixels.At(kWidth / 2, kHeight / 2), inFront ? 0xFFFFFFFF : 0xFFFF0000)) << inFront;
        D3DVIEWPORT8 viewport = {};
        Device()->GetViewport(&viewport);
        EXPECT_EQ(viewport.MinZ, 0.0f);
        EXPECT_EQ(viewport.MaxZ, 1.0f);
        EXPECT_EQ(g_camera.viewport.MaxZ, 1.0f);
    }
}

TEST_F(QuadRecords, WithoutTheSecondStageStageOneIsLeftAlone)
{
    IDirect3DTexture8* white = Solid(0xFFFFFFFF);
    IDirect3DTexture8* other = Solid(0xFF00FF00);
    for (float second : {0.0f, 1.0f}) {
        RenderSetTexture(1, other);
        RenderSetColorOp(1, D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_CURRENT);
        DrawLog log(Device());
        DrawRecord* record = Queue(DRAW_RECORD_XY_QUAD, 0.0f, 0.0f, 10.0f, 4.0f, 4.0f);
        QuadFields(record)->texture = white;
        QuadFields(record)->secondStage = second;
        Replay();
        ASSERT_EQ(log.Draws().size(), 1u);
        const DrawState& draw = log.Draws()[0];
        IDirect3DBaseTexture8* stage1 = nullptr;
        Device()->GetTexture(1, &stage1);
        if (stage1)
            stage1->Release();
        DWORD op = 0;
        Device()->GetTextureStageState(1, D3DTSS_COLOROP, &op);
        if (second == 0.0f) {
            EXPECT_EQ(draw.colorOp[1], DWORD(D3DTOP_ADD));
            EXPECT_EQ(draw.textures[1], other);
            EXPECT_EQ(op, DWORD(D3DTOP_ADD));
            EXPECT_EQ(stage1, other);
        } else {
            EXPECT_EQ(draw.colorOp[1], DWORD(D3DTOP_BLENDFACTORALPHA));
            EXPECT_EQ(draw.colorArg1[1], DWORD(D3DTA_TFACTOR));
            EXPECT_EQ(draw.textures[1], white);
            EXPECT_EQ(op, DWORD(D3DTOP_DISABLE));
            EXPECT_EQ(stage1, nullptr);
        }
        EXPECT_EQ(draw.colorOp[0], DWORD(D3DTOP_MODULATE));
        EXPECT_EQ(draw.textureFactor, 0xFFFFFFFFu);
    }
}

}  // namespace
