// The sky backdrop on the offscreen device: the sky box clipped at the horizon, the fog floor, the
// sun sprites (trace, stretch, fade, night vision, wireframe, the sun straight up), the states it
// leaves, the standalone twin, and the sun lights.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "game/game_cvars.h"
#include "game/game_state.h"
#include "game/view/player_view.h"
#include "map/map_cvars.h"
#include "render/camera.h"
#include "render/draw2d/hud_input.h"
#include "render/land/map_render_setup.h"
#include "render/render_cvars.h"
#include "render/draw2d/sun_flare.h"
#include "scene/draw_records/draw_record_replay.h"
#include "scene/draw_records/draw_records.h"
#include "scene/meshes/object_draw.h"
#include "scene/scene_state.h"
#include "scene/sky/sky_backdrop.h"
#include "scene/sky/sun_effect.h"
#include "scene/sky/sun_lights.h"
#include "support/render_test_support.h"
#include "world/objects/graph_obj.h"

using namespace render_test;

namespace {

// Face colours in the order +x, -x, +y, -y, +z, -z, and the clear colour.
constexpr DWORD kFaceColours[ENV_FACE_COUNT] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};
constexpr DWORD kClear = 0xFF102030;
constexpr float kFov = 2.4f;  // 1.8 radians high at this window's proportions
constexpr float kHalfPi = 1.5707963f;

// Keeps a console variable's value and puts it back at the end of the scope.
class SavedVar {
public:
    explicit SavedVar(ConsoleVar& var) : m_var(var), m_value(var.value) {}
    ~SavedVar() { m_var.value = m_value; }
    SavedVar(const SavedVar&) = delete;
    SavedVar& operator=(const SavedVar&) = delete;

private:
    ConsoleVar& m_var;
    ConsoleVar::Value m_value;
};

void SetColour(ConsoleVar& var, float r, float g, float b, float a)
{
    var.value.asColour[0] = r;
    var.value.asColour[1] = g;
    var.value.asColour[2] = b;
    var.value.asColour[3] = a;
}

class SkyBackdrop : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        for (int face = 0; face < ENV_FACE_COUNT; ++face)
            g_mapRender.envMaps[face] = Solid(kFaceColours[face]);
        float* viewer = GameGetViewPos();
        viewer[0] = viewer[1] = viewer[2] = 0.0f;
        g_sunFlare = SunFlareState();
        RenderSetSunDirection({0.0f, 0.0f, 1.0f});
    }
    void TearDown() override
    {
        for (IDirect3DTexture8*& texture : g_mapRender.envMaps)
            texture = nullptr;
        for (IDirect3DTexture8* texture : m_textures)
            texture->Release();
        delete g_mapRender.skyBefore;
        delete g_mapRender.skyAfter;
        RenderClearMapLinks();
        for (float& value : g_mapRender.skyBox)
            value = 0.0f;
        RenderFreeSunEffect();
        RenderSetSunDirection({0.0f, 1.0f, 0.0f});
        g_hudInput.flags = {};
        g_sunFlare = SunFlareState();
        g_scene = SceneState();
        g_camera.cameraObject = nullptr;
        RenderCore::TearDown();
    }

    IDirect3DTexture8* Solid(DWORD argb)
    {
        IDirect3DTexture8* texture = render_test::SolidTexture(Device(), argb);
        if (texture)
            m_textures.push_back(texture);
        return texture;
    }

    // One sprite element: drawn with the texture's own colour, opaque over what is there.
    static SunFlareElement Element(IDirect3DTexture8* texture, float size)
    {
        SunFlareElement element = {};
        element.texture = texture;
        element.size = size;
        element.sourceBlend = D3DBLEND_ONE;
        element.destinationBlend = D3DBLEND_ZERO;
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

    // The camera at the origin; pitch up to the sky when asked (the sign the camera set-up takes).
    static void Look(float yaw, float pitch) { RenderSetupCamera(0.0f, 0.0f, 0.0f, yaw, pitch, 0.0f, kFov, 1); }
    static void LookVertically(bool up, float pitch = 1.5f)
    {
        Look(0.0f, pitch);
        if ((g_camera.forward.y > 0.0f) != up)
            Look(0.0f, -pitch);
    }

    Pixels Draw(bool standalone = false, float yaw = 0.0f, float pitch = 0.0f)
    {
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClear, 1.0f, 0);
        D3D8TestClearCallCounts(Device());
        if (standalone) {
            const float position[3] = {100.0f, 0.0f, -100.0f};
            SkyBackdropDrawStandalone(position, yaw, pitch, 0.0f, kFov);
        } else {
            SkyBackdropDraw();
        }
        return ReadBackBuffer(Device());
    }
    DWORD State(D3DRENDERSTATETYPE state) const
    {
        DWORD value = 0xDEADBEEF;
        Device()->GetRenderState(state, &value);
        return value;
    }
    DWORD StageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) const
    {
        DWORD value = 0xDEADBEEF;
        Device()->GetTextureStageState(stage, type, &value);
        return value;
    }
    static int Count(const Pixels& pixels, DWORD colour, int tolerance = 1)
    {
        int count = 0;
        for (DWORD word : pixels.words)
            count += ColourNear(word, colour, tolerance) ? 1 : 0;
        return count;
    }

    std::vector<IDirect3DTexture8*> m_textures;
};

TEST_F(SkyBackdrop, EachDirectionShowsItsFace)
{
    Look(0.0f, 0.0f);
    EXPECT_TRUE(ColourNear(Draw().At(kWidth / 2, kHeight / 2), kFaceColours[4])) << "+z";
    Look(kHalfPi, 0.0f);
    EXPECT_TRUE(ColourNear(Draw().At(kWidth / 2, kHeight / 2), kFaceColours[0])) << "+x";
    Look(-kHalfPi, 0.0f);
    EXPECT_TRUE(ColourNear(Draw().At(kWidth / 2, kHeight / 2), kFaceColours[1])) << "-x";
    Look(2.0f * kHalfPi, 0.0f);
    EXPECT_TRUE(ColourNear(Draw().At(kWidth / 2, kHeight / 2), kFaceColours[5])) << "-z";
    LookVertically(true);
    ASSERT_GT(g_camera.forward.y, 0.9f);
    EXPECT_TRUE(ColourNear(Draw().At(kWidth / 2, kHeight / 2), kFaceColours[2])) << "+y";
}

TEST_F(SkyBackdrop, TheHorizonPlanePassesThirtyUnitsBelowTheEyeAtHeightZero)
{
    Look(0.0f, 0.0f);
    const Pixels pixels = Draw();
    // The plane meets the +z face (50 ahead) about 31 below the eye: 31/50 of the half height's
    // tangent (tan 0.9) below the centre row, about row 35.
    const float tanHalf = std::tan(g_camera.fovY * 0.5f);
    const int cut = kHeight / 2 + static_cast<int>(31.0f / 50.0f / tanHalf * (kHeight / 2));
    for (int x : {kWidth / 2 - 8, kWidth / 2, kWidth / 2 + 8}) {
        EXPECT_TRUE(ColourNear(pixels.At(x, cut - 2), kFaceColours[4])) << "above the horizon, column " << x;
        EXPECT_TRUE(ColourNear(pixels.At(x, cut + 2), kClear)) << "below the horizon, column " << x;
        EXPECT_TRUE(ColourNear(pixels.At(x, kHeight - 1), kClear)) << "bottom row, column " << x;
    }
    // Five faces and the floor: the face below (-y) makes no draw call.
    EXPECT_EQ(D3D8TestCallCounts(Device()).drawPrimitive, 6u);

    // Higher up the plane drops: at height 100 the bottom row shows the box again.
    GameGetViewPos()[1] = 100.0f;
    EXPECT_TRUE(ColourNear(Draw().At(kWidth / 2, cut + 2), kFaceColours[4]));
}

TEST_F(SkyBackdrop, AThirdPersonViewStraightDownKeepsTheWholeBox)
{
    SavedVar third(gbthirdperson);
    gbthirdperson.SetBool(true);
    LookVertically(false, kHalfPi);
    for (bool exact : {false, true}) {
        if (exact)
            g_camera.forward = D3DXVECTOR3(0.0f, -1.0f, 0.0f);
        const Pixels pixels = Draw();
        EXPECT_TRUE(ColourNear(pixels.At(kWidth / 2, kHeight / 2), kFaceColours[3])) << exact;
        EXPECT_EQ(Count(pixels, kClear), 0) << exact;
        EXPECT_EQ(D3D8TestCallCounts(Device()).drawPrimitive, 7u) << exact;  // six faces and the floor
    }
}

TEST_F(SkyBackdrop, WithoutTheFirstFaceThereIsNoBox)
{
    g_mapRender.envMaps[0] = nullptr;  // still released by the fixture through its list
    Look(0.0f, 0.0f);
    const Pixels pixels = Draw();
    EXPECT_TRUE(ColourNear(pixels.At(kWidth / 2, kHeight / 2), kClear));
    EXPECT_EQ(D3D8TestCallCounts(Device()).drawPrimitive, 1u);  // the floor
}

TEST_F(SkyBackdrop, TheFogFloorLiesUnderTheBeforeObjectsBoxInTheFogColour)
{
    SavedVar fog(mcfogcolor);
    SetColour(mcfogcolor, 0.5f, 0.25f, 0.75f, 1.0f);  // rounded: 0x80, 0x40, 0xBF
    const float box[6] = {-40.0f, -20.0f, -40.0f, 40.0f, 20.0f, 40.0f};
    for (int i = 0; i < 6; ++i)
        g_mapRender.skyBox[i] = box[i];
    for (bool withObject : {false, true}) {
        if (withObject)
            g_mapRender.skyBefore = new GraphObj();
        LookVertically(false);
        const Pixels pixels = Draw();
        EXPECT_TRUE(ColourNear(pixels.At(kWidth / 2, kHeight / 2), 0xFF8040BF, 0)) << withObject;
        // The standalone backdrop has no floor.
        const Pixels standalone = Draw(true, 0.0f, g_camera.pitch);
        EXPECT_EQ(Count(standalone, 0xFF8040BF, 0), 0) << withObject;
    }
}

TEST_F(SkyBackdrop, SunSpritesFollowTraceStretchAndVisibility)
{
    IDirect3DTexture8* white = Solid(0xFFFFFFFF);
    SunFlareElement traced = Element(white, 8.0f);
    traced.enabled = 1;
    SunFlareElement stretched = Element(white, 8.0f);
    stretched.intensityScaled = 1;
    Look(0.0f, 0.0f);

    UseElements({traced});
    Pixels pixels = Draw();
    EXPECT_EQ(Count(pixels, 0xFFFFFFFF), 0) << "a flare-only element";
    EXPECT_EQ(D3D8TestCallCounts(Device()).drawPrimitive, 6u);

    UseElements({stretched});
    g_sunFlare.intensity = 0.0f;
    pixels = Draw();
    EXPECT_EQ(Count(pixels, 0xFFFFFFFF), 0) << "visibility 0";
    g_sunFlare.intensity = 1.0f;
    pixels = Draw();
    EXPECT_TRUE(ColourNear(pixels.At(kWidth / 2, kHeight / 2), 0xFFFFFFFF)) << "visibility 1";
    const int full = Count(pixels, 0xFFFFFFFF);
    g_sunFlare.intensity = 0.5f;
    const int half = Count(Draw(), 0xFFFFFFFF);
    EXPECT_GT(half, 0);
    EXPECT_LT(half * 3, full) << "the edge halves, the area quarters";
}

TEST_F(SkyBackdrop, TheFadeComesFromVisibilityAndOpacityOrFromOpacityAloneStandalone)
{
    IDirect3DTexture8* white = Solid(0xFFFFFFFF);
    SunFlareElement faded = Element(white, 8.0f);
    faded.noAlphaFactor = 0;
    faded.alphaFactor = 0.5f;
    UseElements({faded});
    Look(0.0f, 0.0f);
    g_sunFlare.intensity = 0.0f;
    EXPECT_TRUE(ColourNear(Draw().At(kWidth / 2, kHeight / 2), 0xFF000000)) << "visibility 0: black";
    g_sunFlare.intensity = 1.0f;
    EXPECT_TRUE(ColourNear(Draw().At(kWidth / 2, kHeight / 2), 0xFF7F7F7F)) << "half opacity";
    g_sunFlare.intensity = 0.0f;
    EXPECT_TRUE(ColourNear(Draw(true).At(kWidth / 2, kHeight / 2), 0xFF7F7F7F)) << "standalone: opacity alone";
}

TEST_F(SkyBackdrop, NightVisionTintsTheSpritesFourTimesInItsColour)
{
    SavedVar tint(rc_nvisioncol);
    SetColour(rc_nvisioncol, 0.25f, 1.0f, 0.5f, 1.0f);
    IDirect3DTexture8* grey = Solid(0xFF202020);
    UseElements({Element(grey, 8.0f)});
    Look(0.0f, 0.0f);
    EXPECT_TRUE(ColourNear(Draw().At(kWidth / 2, kHeight / 2), 0xFF202020));
    g_hudInput.flags.nightVision = 1;
    // 0x20 x (0x40, 0xFF, 0x80) / 255 x 4.
    EXPECT_TRUE(ColourNear(Draw().At(kWidth / 2, kHeight / 2), 0xFF208040, 2));
    EXPECT_TRUE(ColourNear(Draw(true).At(kWidth / 2, kHeight / 2), 0xFF202020, 2)) << "standalone";
}

TEST_F(SkyBackdrop, WithTheSunStraightUpTheSpriteStillShows)
{
    UseElements({Element(Solid(0xFFFFFFFF), 8.0f)});
    RenderSetSunDirection({0.0f, 1.0f, 0.0f});
    LookVertically(true);
    const Pixels pixels = Draw();
    EXPECT_TRUE(ColourNear(pixels.At(kWidth / 2, kHeight / 2), 0xFFFFFFFF));
    EXPECT_GT(Count(pixels, 0xFFFFFFFF), 16);
}

TEST_F(SkyBackdrop, WireframeDrawsLinesAndSpritesWithoutTexture)
{
    SavedVar wire(rbwireframe);
    UseElements({Element(Solid(0xFFFF8000), 8.0f)});
    Look(0.0f, 0.0f);
    const Pixels solid = Draw();
    EXPECT_GT(Count(solid, 0xFFFF8000), 0);
    rbwireframe.SetBool(true);
    const Pixels lines = Draw();
    EXPECT_EQ(State(D3DRS_FILLMODE), DWORD(D3DFILL_WIREFRAME));
    EXPECT_EQ(Count(lines, 0xFFFF8000), 0) << "the sprite's texture is not used";
    EXPECT_GT(Count(lines, 0xFFFFFFFF), 0) << "the sprite's edges, untextured";
    EXPECT_GT(Count(lines, kClear), Count(solid, kClear) + kWidth * kHeight / 4) << "faces are outlines";
}

TEST_F(SkyBackdrop, LeavesItsStatesAndAnEmptyRecordList)
{
    Look(0.0f, 0.0f);
    for (bool withAfter : {false, true}) {
        if (withAfter) {
            g_mapRender.skyBefore = new GraphObj();
            g_mapRender.skyAfter = new GraphObj();
            g_mapRender.skyAfter->lodLevel = 2;
        }
        g_render.worldLightingSetUp = true;
        RenderSetObjectFog(false);
        RenderSetPassSelector(15);
        DrawRecordListInit();
        ASSERT_NE(DrawRecordAlloc(DRAW_RECORD_FACING_QUAD, 0), nullptr);
        Draw();
        // Without an "after" object the sprites' depth states and wrapped addressing stay; with one
        // its record replay has the last word (depth test on, wrapped addressing).
        EXPECT_EQ(State(D3DRS_ZENABLE), withAfter ? DWORD(D3DZB_TRUE) : 0u) << withAfter;
        EXPECT_EQ(State(D3DRS_ZWRITEENABLE), 0u) << withAfter;
        EXPECT_EQ(State(D3DRS_LIGHTING), 0u) << withAfter;
        EXPECT_EQ(State(D3DRS_SPECULARENABLE), 0u) << withAfter;
        EXPECT_EQ(StageState(0, D3DTSS_ADDRESSU), DWORD(D3DTADDRESS_WRAP)) << withAfter;
        EXPECT_EQ(StageState(0, D3DTSS_ADDRESSV), DWORD(D3DTADDRESS_WRAP)) << withAfter;
        EXPECT_FALSE(g_render.worldLightingSetUp) << withAfter;
        EXPECT_EQ(g_scene.objectFog, 1) << withAfter;
        EXPECT_EQ(RenderGetPassSelector(), 0u) << withAfter;
        EXPECT_FALSE(g_drawRecordReplay.skyPass) << withAfter;
        // With a sky object the list is replayed and cleared; without one the record stays.
        EXPECT_EQ(DrawRecordCount(), withAfter ? 0u : 1u) << withAfter;
        if (withAfter) {
            EXPECT_EQ(g_mapRender.skyAfter->lodLevel, 0);
            EXPECT_EQ(g_mapRender.skyAfter->fullDetail, 1) << "drawn under the backdrop's pass selector";
        }
    }
}

TEST_F(SkyBackdrop, TheStandaloneTwinSetsUpItsOwnCameraAtTheOrigin)
{
    RenderSetupCamera(5.0f, 6.0f, 7.0f, 0.0f, 0.0f, 0.0f, 1.0f, 1);
    const Pixels pixels = Draw(true, kHalfPi, 0.0f);
    EXPECT_EQ(g_camera.position.x, 0.0f);
    EXPECT_EQ(g_camera.position.y, 0.0f);
    EXPECT_EQ(g_camera.position.z, 0.0f);
    EXPECT_EQ(g_camera.yaw, kHalfPi);
    EXPECT_TRUE(ColourNear(pixels.At(kWidth / 2, kHeight / 2), kFaceColours[0]));
    EXPECT_EQ(D3D8TestCallCounts(Device()).drawPrimitive, 5u);  // no floor, no face below
}

TEST_F(SkyBackdrop, SunLightsTakeTheMapColoursOrTheNightVisionGrey)
{
    SavedVar diffuse(mcmapdiffuse), ambient(mcmapambient), sun(mvsundir), gain(rf_nvmul);
    SetColour(mcmapdiffuse, 0.3f, 0.6f, 0.9f, 0.5f);
    SetColour(mcmapambient, 0.1f, 0.2f, 0.3f, 0.4f);
    mvsundir.value.asVector[0] = 0.0f;
    mvsundir.value.asVector[1] = 3.0f;
    mvsundir.value.asVector[2] = 4.0f;
    rf_nvmul.value.asFloat = 2.0f;
    for (bool night : {false, true}) {
        g_hudInput.flags.nightVision = night ? 1 : 0;
        g_render.worldLightingSetUp = false;
        RenderSetSunLights(2);
        EXPECT_TRUE(g_render.worldLightingSetUp);
        D3DLIGHT8 lights[2] = {};
        ASSERT_EQ(Device()->GetLight(2, &lights[0]), D3D_OK);
        ASSERT_EQ(Device()->GetLight(3, &lights[1]), D3D_OK);
        for (int i = 0; i < 2; ++i) {
            const D3DLIGHT8& light = lights[i];
            const float sign = i == 0 ? -1.0f : 1.0f;
            EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
            EXPECT_NEAR(light.Direction.x, 0.0f, 1e-6f);
            EXPECT_NEAR(light.Direction.y, sign * 0.6f, 1e-6f);
            EXPECT_NEAR(light.Direction.z, sign * 0.8f, 1e-6f);
            EXPECT_EQ(light.Range, 1e10f);
            EXPECT_EQ(light.Specular.r, 1.0f);
            EXPECT_EQ(light.Specular.a, 1.0f);
            if (night) {
                EXPECT_NEAR(light.Diffuse.r, 1.2f, 1e-5f);  // (0.3 + 0.6 + 0.9) / 3 x 2
                EXPECT_NEAR(light.Diffuse.b, 1.2f, 1e-5f);
                EXPECT_EQ(light.Diffuse.a, 1.0f);
                EXPECT_EQ(light.Ambient.r, 1.0f);
                EXPECT_EQ(light.Ambient.g, 1.0f);
            } else {
                EXPECT_FLOAT_EQ(light.Diffuse.g, 0.6f);
                EXPECT_FLOAT_EQ(light.Diffuse.a, 0.5f);
                EXPECT_FLOAT_EQ(light.Ambient.b, 0.3f);
                EXPECT_FLOAT_EQ(light.Ambient.a, 0.4f);
            }
        }
    }
}

}  // namespace
