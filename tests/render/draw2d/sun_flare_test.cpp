// The sun's lens flare: its visibility tests and fade under a fake clock, and the sprites it draws.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/frame_view.h"
#include "game/game_state.h"
#include "game/view/player_view.h"
#include "map/map_cvars.h"
#include "map/octree/octree.h"
#include "render/camera.h"
#include "render/draw2d/hud_input.h"
#include "render/device/render_clock.h"
#include "render/render_cvars.h"
#include "render/draw2d/sun_flare.h"
#include "scene/sky/sun_effect.h"
#include "support/render_test_support.h"

using namespace render_test;

namespace {

DWORD g_now = 0;
DWORD FakeClock()
{
    return g_now;
}

constexpr float kFov = 1.6f;

class SunFlare : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        RenderSetClock(FakeClock);
        g_sunFlare = SunFlareState();
        g_frameView.frameTime = 0.01f;
        SetSun(0.0f, 0.0f, 1.0f);
        float* viewer = GameGetViewPos();
        viewer[0] = viewer[1] = viewer[2] = 0.0f;
        m_white = SolidTexture(0xFFFFFFFF);
        RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, kFov, 1);
    }
    void TearDown() override
    {
        RenderFreeSunEffect();
        OctreeDestroy();
        RenderSetClock(nullptr);
        g_hudInput.flags = {};
        rbwireframe.SetBool(false);
        if (m_white)
            m_white->Release();
        RenderCore::TearDown();
    }

    static void SetSun(float x, float y, float z)
    {
        mvsundir.value.asVector[0] = x;
        mvsundir.value.asVector[1] = y;
        mvsundir.value.asVector[2] = z;
        RenderSetSunDirection({x, y, z});
    }

    IDirect3DTexture8* SolidTexture(DWORD argb)
    {
        IDirect3DTexture8* texture = render_test::SolidTexture(Device(), argb);
        return texture;
    }

    // One element of the given size: additive, the texture alone unless told otherwise.
    static SunFlareElement Element(IDirect3DTexture8* texture, float size, bool scaled)
    {
        SunFlareElement element = {};
        element.texture = texture;
        element.enabled = 1;
        element.intensityScaled = scaled ? 1 : 0;
        element.size = size;
        element.sourceBlend = D3DBLEND_ONE;
        element.destinationBlend = D3DBLEND_ONE;
        element.sizeFactor = 1.0f;
        element.alphaFactor = 1.0f;
        element.noAlphaFactor = 1;
        return element;
    }
    static void UseElements(std::initializer_list<SunFlareElement> elements)
    {
        auto* effect = new SunEffect();
        effect->elementCount = static_cast<u32_t>(elements.size());
        effect->elements = new SunFlareElement[elements.size()];
        u32_t i = 0;
        for (const SunFlareElement& element : elements)
            effect->elements[i++] = element;
        RenderSetSunEffect(effect);
    }

    // A triangle across the line of sight toward +z, 50 units ahead.
    static void BlockTheSun()
    {
        OctreeNode* root = OctreeCreateRoot({-100.0f, -100.0f, -100.0f}, {100.0f, 100.0f, 100.0f});
        OctreeGeometry& g = root->geometry;
        g.vertices = new MapVertex[3];
        g.vertexCapacity = g.vertexCount = 3;
        g.vertices[0].position = {-10.0f, -10.0f, 50.0f};
        g.vertices[1].position = {10.0f, -10.0f, 50.0f};
        g.vertices[2].position = {0.0f, 10.0f, 50.0f};
        g.faces = new MapFace[1];
        g.faceCapacity = g.faceCount = 1;
        g.faces[0].indices[0] = 0;
        g.faces[0].indices[1] = 1;
        g.faces[0].indices[2] = 2;
        g.traceFaceCount = 1;  // the land layers leave the leaf's own faces to the traces
        g.boundsMin = {-10.0f, -10.0f, 50.0f};
        g.boundsMax = {10.0f, 10.0f, 50.0f};
    }

    Pixels DrawFrame()
    {
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        SunFlareDraw();
        return ReadBackBuffer(Device());
    }

    static int CountLit(const Pixels& pixels)
    {
        int lit = 0;
        for (DWORD word : pixels.words)
            lit += ((word >> 16) & 0xFF) > 0x80 ? 1 : 0;
        return lit;
    }

    IDirect3DTexture8* m_white = nullptr;
};

TEST_F(SunFlare, VisibilityIsTestedEvery250MsHiddenAtOnceAndFadedIn)
{
    UseElements({Element(m_white, 4.0f, false)});
    struct Frame {
        DWORD now;
        int blocked;  // 1 blocker in place, 0 removed, -1 unchanged
        bool suppress;
        float fade;
        DWORD lastTest;
        bool drawn;
    };
    const Frame frames[] = {
        {1000, 0, false, 1.0f, 1000, true},     // first test: visible
        {1100, 1, false, 1.0f, 1000, true},     // blocked, but no test yet: the last result holds
        {1250, -1, false, 1.0f, 1000, true},    // 250 ms is not more than 250 ms
        {1251, -1, false, 0.1f, 1251, false},   // tested: hidden at once
        {1400, 0, false, 0.1f, 1251, false},    // clear again, still no test
        {1502, -1, false, 0.185f, 1502, true},  // tested: visible, fading in by 8.5 per second
        {1600, -1, false, 0.27f, 1502, true},
        {1700, -1, true, 0.355f, 1502, true},  // the suppress byte waits for the next test
        {1800, -1, true, 0.1f, 1800, false},
        {2100, -1, false, 0.185f, 2100, true},
    };
    for (const Frame& f : frames) {
        g_now = f.now;
        if (f.blocked == 1)
            BlockTheSun();
        else if (f.blocked == 0)
            OctreeDestroy();
        g_sunFlare.suppress = f.suppress ? 1 : 0;
        D3D8TestClearCallCounts(Device());
        SunFlareDraw();
        EXPECT_NEAR(g_sunFlare.fade, f.fade, 1e-5f) << f.now;
        EXPECT_EQ(g_sunFlare.lastTest, f.lastTest) << f.now;
        EXPECT_EQ(D3D8TestCallCounts(Device()).drawPrimitive, f.drawn ? 1u : 0u) << f.now;
    }
    // From the hidden value to full in about 0.11 s of 10 ms frames, then it stays at 1.
    for (int frame = 0; frame < 9; ++frame)
        SunFlareDraw();
    EXPECT_LT(g_sunFlare.fade, 1.0f);
    SunFlareDraw();
    SunFlareDraw();
    EXPECT_FLOAT_EQ(g_sunFlare.fade, 1.0f);
}

TEST_F(SunFlare, TheSpriteSitsOnTheSunAndTheMainCameraComesBack)
{
    UseElements({Element(m_white, 4.0f, false)});
    float* viewer = GameGetViewPos();
    viewer[0] = 5.0f, viewer[1] = 6.0f, viewer[2] = 7.0f;  // the sprites do not depend on where the viewer is
    RenderSetupCamera(5.0f, 6.0f, 7.0f, 0.0f, 0.0f, 0.0f, kFov, 1);
    g_now = 1000;
    const Pixels pixels = DrawFrame();
    EXPECT_TRUE(ColourNear(pixels.At(kWidth / 2, kHeight / 2), 0xFFFFFFFF));
    EXPECT_TRUE(ColourNear(pixels.At(2, 2), 0xFF000000));
    EXPECT_TRUE(ColourNear(pixels.At(kWidth - 3, kHeight - 3), 0xFF000000));
    EXPECT_FLOAT_EQ(g_sunFlare.intensity, 1.0f);
    EXPECT_FLOAT_EQ(g_camera.position.x, 5.0f);
    EXPECT_FLOAT_EQ(g_camera.position.y, 6.0f);
    EXPECT_FLOAT_EQ(g_camera.position.z, 7.0f);
    DWORD value = 0;
    Device()->GetRenderState(D3DRS_ZWRITEENABLE, &value);
    EXPECT_EQ(value, 1u);

    // The sun behind the camera: nothing on screen, and no intensity.
    SetSun(0.0f, 0.0f, -1.0f);
    g_now = 2000;
    EXPECT_EQ(CountLit(DrawFrame()), 0);
    EXPECT_EQ(g_sunFlare.intensity, 0.0f);
}

TEST_F(SunFlare, ScaledElementsShrinkAsTheCameraTurnsAwayAndOthersKeepTheirSize)
{
    g_now = 1000;
    UseElements({Element(m_white, 8.0f, true)});
    const int ahead = CountLit(DrawFrame());
    UseElements({Element(m_white, 8.0f, false)});
    EXPECT_EQ(CountLit(DrawFrame()), ahead) << "looking straight at the sun both are full size";
    // Turned 30 degrees: the sun is still in view, off centre.
    RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.5235988f, 0.0f, 0.0f, kFov, 1);
    const int unscaled = CountLit(DrawFrame());
    EXPECT_NEAR(g_sunFlare.intensity, 0.8660254f, 1e-4f);
    UseElements({Element(m_white, 8.0f, true)});
    const int scaled = CountLit(DrawFrame());
    ASSERT_GT(ahead, 100);
    ASSERT_GT(unscaled, 100);
    // Same place, same depth: the scaled sprite's area is the intensity squared of the other's.
    EXPECT_NEAR(static_cast<double>(scaled) / unscaled, 0.75, 0.08);
}

TEST_F(SunFlare, ColourComesFromTheAlphaFactorOrTheNightVisionTint)
{
    g_now = 1000;
    struct Case {
        const char* what;
        bool noAlphaFactor;
        float alphaFactor;
        bool nightVision;
        bool disabled;
        DWORD expected;
    };
    const Case cases[] = {
        {"texture alone", true, 0.5f, false, false, 0xFFFFFFFF},
        {"half alpha factor", false, 0.5f, false, false, 0xFF7F7F7F},
        {"alpha factor above one saturates", false, 1.01f, false, false, 0xFFFFFFFF},
        {"night vision", true, 0.5f, true, false, 0xFF00FF00},
        {"disabled", true, 1.0f, false, true, 0xFF000000},
    };
    rc_nvisioncol.value.asColour[0] = -1.0f;  // clamped to 0
    rc_nvisioncol.value.asColour[1] = 2.0f;   // clamped to 1
    rc_nvisioncol.value.asColour[2] = 0.0f;
    rc_nvisioncol.value.asColour[3] = 1.0f;
    for (const Case& c : cases) {
        SunFlareElement element = Element(m_white, 4.0f, false);
        element.noAlphaFactor = c.noAlphaFactor ? 1 : 0;
        element.alphaFactor = c.alphaFactor;
        element.enabled = c.disabled ? 0 : 1;
        UseElements({element});
        g_hudInput.flags.nightVision = c.nightVision ? 1 : 0;
        g_sunFlare.lastTest = g_now;  // no new test needed
        EXPECT_TRUE(ColourNear(DrawFrame().At(kWidth / 2, kHeight / 2), c.expected, 2)) << c.what;
    }
}

TEST_F(SunFlare, WireframeDrawsWithoutTexturesAndLeavesWireframeOn)
{
    IDirect3DTexture8* red = SolidTexture(0xFFFF0000);
    UseElements({Element(red, 4.0f, false)});
    rbwireframe.SetBool(true);
    g_now = 1000;
    DrawFrame();
    IDirect3DBaseTexture8* bound = reinterpret_cast<IDirect3DBaseTexture8*>(1);
    Device()->GetTexture(0, &bound);
    EXPECT_EQ(bound, nullptr);
    DWORD fill = 0;
    Device()->GetRenderState(D3DRS_FILLMODE, &fill);
    EXPECT_EQ(fill, DWORD(D3DFILL_WIREFRAME));
    red->Release();
}

}  // namespace
