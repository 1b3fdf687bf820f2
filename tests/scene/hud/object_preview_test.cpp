// Object previews: the 64 slots, the strict point test, the rectangle clipped on all four edges, the
// projection's aspect, and a spinning object drawn inside its clipped rectangle and nowhere else.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/d3dx8_math.h"
#include "render/device/render_clock.h"
#include "render/device/state_cache.h"
#include "scene/hud/object_preview.h"
#include "scene/passes/scene_passes.h"
#include "support/render_test_support.h"
#include "world/objects/dynamic_object.h"

using namespace render_test;

namespace {

class PreviewSlots : public ::testing::Test {
protected:
    void TearDown() override { ObjectPreviewClear(); }
};

TEST_F(PreviewSlots, TheSixtyFifthFailsAndClearFreesThemAll)
{
    for (int i = 0; i < kObjectPreviewSlots; ++i)
        ASSERT_NE(ObjectPreviewAdd(), nullptr) << i;
    EXPECT_EQ(ObjectPreviewAdd(), nullptr);
    EXPECT_EQ(ObjectPreviewCount(), kObjectPreviewSlots);
    ObjectPreviewClear();
    EXPECT_EQ(ObjectPreviewCount(), 0);
    EXPECT_NE(ObjectPreviewAdd(), nullptr);
}

TEST_F(PreviewSlots, FindAtExcludesTheEdgesAndTakesTheFirstInOrder)
{
    ObjectPreview* first = ObjectPreviewAdd();
    *first = {10, 20, 30, 40, 1.0f, 0, nullptr, nullptr};
    ObjectPreview* second = ObjectPreviewAdd();
    *second = {0, 0, 100, 100, 1.0f, 0, nullptr, nullptr};
    const struct {
        s32_t x, y;
        ObjectPreview* found;
    } cases[] = {
        {11, 21, first},  {39, 59, first},  {10, 30, second},   {40, 30, second},   {20, 20, second},
        {20, 60, second}, {0, 50, nullptr}, {50, 100, nullptr}, {100, 50, nullptr}, {-5, -5, nullptr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ObjectPreviewFindAt(c.x, c.y), c.found) << c.x << ", " << c.y;
}

TEST(PreviewClip, AllFourEdgesAreClippedAndAnEmptyRectangleIsNothing)
{
    const struct {
        s32_t x, y, w, h;
        bool drawn;
        s32_t left, top, right, bottom;
    } cases[] = {
        {10, 5, 20, 10, true, 10, 5, 30, 15},
        {-10, 5, 30, 10, true, 0, 5, 20, 15},
        {10, -4, 20, 10, true, 10, 0, 30, 6},
        {50, 40, 30, 30, true, 50, 40, 64, 48},
        {-100, 5, 50, 10, false, 0, 0, 0, 0},
        {70, 5, 10, 10, false, 0, 0, 0, 0},
        {10, 5, 0, 10, false, 0, 0, 0, 0},
        {10, 5, -8, 10, false, 0, 0, 0, 0},
        {0x7FFFFFF0, 5, 0x7FFFFFF0, 10, false, 0, 0, 0, 0},  // no overflow of left + width
    };
    for (const auto& c : cases) {
        const ObjectPreview preview = {c.x, c.y, c.w, c.h, 1.0f, 0, nullptr, nullptr};
        s32_t left, top, right, bottom;
        ASSERT_EQ(ObjectPreviewClip(preview, 64, 48, &left, &top, &right, &bottom), c.drawn) << c.x << ", " << c.y;
        if (c.drawn) {
            EXPECT_EQ(left, c.left);
            EXPECT_EQ(top, c.top);
            EXPECT_EQ(right, c.right);
            EXPECT_EQ(bottom, c.bottom);
        }
    }
}

TEST(PreviewAspect, IntegerQuotientOfAtLeastOne)
{
    EXPECT_EQ(ObjectPreviewAspect(800, 600), 1.0f);
    EXPECT_EQ(ObjectPreviewAspect(1920, 600), 3.0f);
    EXPECT_EQ(ObjectPreviewAspect(600, 800), 1.0f) << "taller than wide";
    EXPECT_EQ(ObjectPreviewAspect(600, 0), 1.0f);
}

DWORD g_now = 0;
DWORD FakeClock()
{
    return g_now;
}

// A box of half-size 1 that draws, when rendered, one red quad over everything in front of it, and
// notes where it stood and how it was turned.
class RedBox : public DynamicObject {
public:
    void GetGeometryBounds(float* box) override
    {
        const float b[6] = {m_at.x - 1, m_at.y - 1, m_at.z - 1, m_at.x + 1, m_at.y + 1, m_at.z + 1};
        std::copy(b, b + 6, box);
    }
    Vector3 GetPosition() const override { return m_at; }
    Vector3 GetRotation() const override { return m_turn; }
    void SetPosition(const Vector3& position) override { m_at = position; }
    void SetRotation(const Vector3& angles) override { m_turn = angles; }
    void Render() override
    {
        ++renders;
        seenAt = m_at;
        seenTurn = m_turn;
        seenDrawn = drawn != 0;
        IDirect3DDevice8* device = g_render.device;
        D3DXMATRIX world;
        D3DXMatrixTranslation(&world, m_at.x, m_at.y, m_at.z);
        device->SetTransform(D3DTS_WORLD, &world);
        struct Vertex {
            float x, y, z;
            DWORD colour;
        };
        const Vertex quad[4] = {{-1000, -1000, 0, 0xFFFF0000u},
                                {1000, -1000, 0, 0xFFFF0000u},
                                {1000, 1000, 0, 0xFFFF0000u},
                                {-1000, 1000, 0, 0xFFFF0000u}};
        RenderSetState(D3DRS_LIGHTING, 0);
        RenderSetState(D3DRS_ZENABLE, 0);
        RenderSetState(D3DRS_ALPHABLENDENABLE, 0);
        RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
        RenderSetTexture(0, nullptr);
        RenderSetColorOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, ~0u);
        RenderSetAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, ~0u);
        device->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(Vertex));
    }

    Vector3 m_at = {50.0f, 7.0f, -3.0f}, m_turn = {0.1f, 0.2f, 0.3f};
    Vector3 seenAt = {}, seenTurn = {};
    bool seenDrawn = false;
    int renders = 0;
};

class PreviewPixels : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        RenderSetClock(FakeClock);
        RenderSetClearColor(0);
        ASSERT_EQ(RenderBeginFrame(), 0);
    }
    void TearDown() override
    {
        RenderEndFrame(false);
        ObjectPreviewClear();
        RenderSetClock(nullptr);
        RenderCore::TearDown();
    }
};

TEST_F(PreviewPixels, ASpinningObjectIsDrawnInsideItsClippedRectangleOnly)
{
    g_now = 1500;
    RedBox box;
    box.drawn = 0;
    D3DXMATRIX projection;
    D3DXMatrixIdentity(&projection);
    projection._11 = 2.0f;
    Device()->SetTransform(D3DTS_PROJECTION, &projection);
    ObjectPreview* preview = ObjectPreviewAdd();
    *preview = {-10, 8, 30, 20, 1.0f, 1, &box, nullptr};  // starts left of the screen: 0..19 x 8..27
    ScenePassRun(SCENE_PASS_OBJECT_PREVIEWS);             // the game frame's hook draws them

    ASSERT_EQ(box.renders, 1);
    EXPECT_FLOAT_EQ(box.seenTurn.y, 1.5f) << "a radian a second";
    EXPECT_EQ(box.seenAt.x, 0.0f);
    EXPECT_EQ(box.seenAt.y, -1.0f);
    EXPECT_EQ(box.seenAt.z, 3.0f);
    EXPECT_TRUE(box.seenDrawn);
    EXPECT_EQ(box.m_at.x, 50.0f) << "put back";
    EXPECT_EQ(box.m_turn.z, 0.3f);
    EXPECT_EQ(box.drawn, 0);
    EXPECT_EQ(ObjectPreviewCount(), 0);
    D3DXMATRIX after;
    Device()->GetTransform(D3DTS_PROJECTION, &after);
    EXPECT_EQ(after._11, 2.0f) << "the projection is restored";
    D3DVIEWPORT8 viewport = {};
    Device()->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, UINT(kWidth));
    EXPECT_EQ(viewport.X, 0u);

    const Pixels pixels = ReadBackBuffer(Device());
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const bool inside = x < 20 && y >= 8 && y < 28;
            ASSERT_EQ(ColourNear(pixels.At(x, y), 0xFFFF0000u, 2), inside) << x << ", " << y;
        }
}

TEST_F(PreviewPixels, AnEmptyClippedRectangleDrawsNothing)
{
    RedBox box;
    *ObjectPreviewAdd() = {-40, 8, 30, 20, 1.0f, 0, &box, nullptr};
    *ObjectPreviewAdd() = {10, 60, 30, 20, 1.0f, 0, &box, nullptr};
    ObjectPreviewDrawAll();
    EXPECT_EQ(box.renders, 0);
    const Pixels pixels = ReadBackBuffer(Device());
    for (DWORD word : pixels.words)
        ASSERT_EQ(word, 0xFF000000u);
}

}  // namespace
