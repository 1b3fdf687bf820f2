// The world-marker overlay: compass heading, bearing and mark place, the 50 m label rule, the sight
// mark's lifetime, the nav readouts, and the compass strip and a point envelope's mark read back
// from the offscreen device with a "LAYER1" screen of the test's own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "ai/squads/ai_groups.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/ai_runtime.h"
#include "ai/envelopes/envelope.h"
#include "core/files/def_file.h"
#include "core/files/vfs.h"
#include "game/player/cursor_pick.h"
#include "game/game_state.h"
#include "gui/screens/gui.h"
#include "gui/gui_cvars.h"
#include "gui/controls/gui_primitives.h"
#include "map/registry/world_registry.h"
#include "render/camera.h"
#include "render/draw2d/hud_input.h"
#include "render/device/render_clock.h"
#include "render/device/state_cache.h"
#include "render/textures/texture_preload.h"
#include "scene/passes/frame_state.h"
#include "scene/hud/hud_overlays.h"
#include "scene/hud/object_preview.h"
#include "support/keep_var.h"
#include "support/render_test_support.h"
#include "support/temp_dir.h"

using namespace render_test;

namespace {

constexpr float kPi = 3.14159265f;

TEST(HudCompass, HeadingBearingAndMarkPlace)
{
    const struct {
        float yaw, heading;
    } headings[] = {{0.0f, kPi}, {kPi / 2, 3 * kPi / 2}, {-kPi / 2, kPi / 2}, {kPi, 0.0f}, {-kPi, 0.0f}};
    for (const auto& c : headings)
        EXPECT_NEAR(HudCompassHeading(c.yaw), c.heading, 1e-5f) << c.yaw;

    const struct {
        Vector3 d;
        float bearing;
    } bearings[] = {
        {{1.0f, 0.0f, 0.0005f}, kPi},   {{0.0f, 5.0f, -0.0009f}, kPi},  // north or south: d.x >= 0 is pi
        {{-1.0f, 0.0f, 0.0f}, 0.0f},    {{0.0f, 0.0f, 1.0f}, kPi},
        {{0.0f, 0.0f, -1.0f}, 2 * kPi}, {{1.0f, 0.0f, 1.0f}, 1.25f * kPi},
    };
    for (const auto& c : bearings)
        EXPECT_NEAR(HudCompassBearing(c.d), c.bearing, 1e-5f) << c.d.x << ", " << c.d.z;

    const struct {
        float bearing, heading, x;
    } marks[] = {
        {kPi, kPi, 0.5f},  // straight ahead: the centre
        {kPi + 0.1f, kPi, 0.5f + 0.1f / (2 * kPi)},
        {kPi + 3.0f, kPi, 0.75f},                         // past the strip's half-width: its end
        {0.1f, 2 * kPi - 0.1f, 0.5f + 0.2f / (2 * kPi)},  // across north: brought into -pi..pi
        {2 * kPi - 0.1f, 0.1f, 0.5f - 0.2f / (2 * kPi)},
    };
    for (const auto& c : marks)
        EXPECT_NEAR(HudCompassMarkX(c.bearing, c.heading, 0.5f, 0.25f), c.x, 1e-5f) << c.bearing << ", " << c.heading;
}

TEST(HudEnvelopeLabels, ObjectEnvelopesWithinFiftyMetresPointEnvelopesAlways)
{
    const float exact = 500.0f * 500.0f;  // 50 m in tenths
    const float beyond = 500.01f * 500.01f;
    EXPECT_EQ(exact, 250000.0f);
    EXPECT_TRUE(HudEnvelopeLabelled(ENVELOPE_KIND_OBJECT, exact));
    EXPECT_FALSE(HudEnvelopeLabelled(ENVELOPE_KIND_OBJECT, beyond));
    EXPECT_TRUE(HudEnvelopeLabelled(ENVELOPE_KIND_POINT, beyond * 100.0f));
}

TEST(HudSightMark, ShownForTwentySecondsClearedAfterAndWaitingWhileInTheFuture)
{
    const u32_t start = 0xFFFFFF00u;  // across the tick count's wrap
    const struct {
        s32_t elapsed;
        bool shown, kept;
    } cases[] = {
        {-300, false, true}, {-1, false, true},    {0, true, true},
        {19999, true, true}, {20000, false, true}, {20001, false, false},
    };
    for (const auto& c : cases) {
        Envelope envelope;
        envelope.sightMark = 1;
        envelope.sightStart = start;
        EXPECT_EQ(HudSightMarkStep(&envelope, start + static_cast<u32_t>(c.elapsed)), c.shown) << c.elapsed;
        EXPECT_EQ(envelope.sightMark != 0, c.kept) << c.elapsed;
    }
    Envelope unmarked;
    EXPECT_FALSE(HudSightMarkStep(&unmarked, 5));
}

// The string console variables keep their text; put every readout back after the test. The groups
// come from a "mission.aig" of soldiers in a fresh folder, as a mission reads them.
class Readouts : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        for (int i = 0; i < kCount; ++i)
            m_kept[i] = Var(i).String();
        AIStartup();
    }
    void TearDown() override
    {
        AIShutdown();
        for (Actor* body : m_bodies) {
            DynObjectRemove(body);
            delete body;
        }
        DefFileFreeAll();
        VFSShutdown();
        for (int i = 0; i < kCount; ++i)
            Var(i).SetString(m_kept[i].c_str());
        TempDirTest::TearDown();
    }
    // A soldier at the place looking along the direction, seeing as far as the range.
    AIInterface* Soldier(const char* name, Vector3 at, Vector3 look, float range, bool dead = false)
    {
        auto* soldier = new AIInterface();
        soldier->body->name.Assign(name);
        soldier->body->SetPosition(at);
        soldier->body->isDead = dead;
        soldier->entity->viewWorld._31 = look.x;
        soldier->entity->viewWorld._32 = look.y;
        soldier->entity->viewWorld._33 = look.z;
        soldier->entity->sightRange = range;
        DynObjectAdd(soldier->body);
        m_bodies.push_back(soldier->body);
        return soldier;
    }
    static constexpr int kCount = 8;
    static ConsoleVar& Var(int i)
    {
        ConsoleVar* vars[kCount] = {&rs_alphanavdist,  &rs_alphanavperc,  &rs_sigmanavdist, &rs_sigmanavperc,
                                    &rs_zenithnavdist, &rs_zenithnavperc, &rs_sightenvname, &rs_sightenvdist};
        return *vars[i];
    }
    std::string m_kept[kCount];
    std::vector<Actor*> m_bodies;
};

TEST_F(Readouts, NavReadoutsForLivingMissingAndDeadGroups)
{
    // 50 units from the target, looking straight at it: the eye 17 above the body sees it at
    // cos = 50 / sqrt(50^2 + 17^2) = 0.9468, at a tenth of the sight range: (0.9468 - 0.25) x 100.
    Soldier("first", {30.0f, 0.0f, 40.0f}, {0.6f, 0.0f, 0.8f}, 500.0f);
    Soldier("fallen", {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, 500.0f, true);
    Soldier("gone", {1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, 500.0f, true);
    ASSERT_TRUE(WriteFileBytes("mission/m1/mission.aig",
                               "group Alpha 0\nadd FIRST\nadd fallen\n"
                               "group zenith 1\nadd fallen\nadd gone\n"));
    AILoadGroups("mission\\m1");
    HudWriteNavReadouts({60.0f, 0.0f, 80.0f});
    EXPECT_STREQ(rs_alphanavdist.String(), "5");
    EXPECT_STREQ(rs_alphanavperc.String(), "69%");
    EXPECT_STREQ(rs_sigmanavdist.String(), "--") << "no such group";
    EXPECT_STREQ(rs_sigmanavperc.String(), "--");
    EXPECT_STREQ(rs_zenithnavdist.String(), "--") << "every member dead";
    EXPECT_STREQ(rs_zenithnavperc.String(), "--");
}

class WorldMarkerPixels : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        for (int i = 0; i < 8; ++i)
            m_kept[i] = KeptVar(i).String();
        RenderSetClearColor(0);
        ASSERT_EQ(RenderBeginFrame(), 0);
        RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.5f, 1);
        RenderSaveCamera();  // as the frame does before its passes
        m_compass = SolidTexture(Device(), 0xFF0000FFu);
        m_indicator = SolidTexture(Device(), 0xFFFFFFFFu);
        g_preloadedTextures.compass = m_compass;
        g_preloadedTextures.guiIndicator = m_indicator;
        GuiScreen* layer = new GuiScreen("LAYER1");
        layer->left = 0.25f;
        layer->top = 0.0f;
        layer->width = 0.5f;
        layer->height = 0.125f;  // pixels 16..47 by 0..5
        GuiAddScreen(layer);
        g_hudInput.flags = {};
        g_hudInput.flags.markersReady = 1;
        m_point.kind = ENVELOPE_KIND_POINT;
        m_point.visible = 1;
        m_point.name.Assign("exfil");
        m_point.position = {0.0f, 0.0f, 100.0f};  // straight ahead
        ASSERT_GE(EnvelopeRegister(&m_point), 0);
    }
    void TearDown() override
    {
        EnvelopeUnregister(&m_point);
        GameSetPickedObject(nullptr);
        ObjectPreviewClear();
        g_hudInput.flags = {};
        GuiShutdown();
        g_preloadedTextures.compass = g_preloadedTextures.guiIndicator = nullptr;
        RenderSetTexture(0, nullptr);
        m_compass->Release();
        m_indicator->Release();
        RenderEndFrame(false);
        for (int i = 0; i < 8; ++i)
            KeptVar(i).SetString(m_kept[i].c_str());
        RenderCore::TearDown();
    }
    static ConsoleVar& KeptVar(int i)
    {
        ConsoleVar* vars[8] = {&rs_alphanavdist,  &rs_alphanavperc,  &rs_sigmanavdist, &rs_sigmanavperc,
                               &rs_zenithnavdist, &rs_zenithnavperc, &rs_sightenvname, &rs_sightenvdist};
        return *vars[i];
    }

    IDirect3DTexture8* m_compass = nullptr;
    IDirect3DTexture8* m_indicator = nullptr;
    Envelope m_point;
    std::string m_kept[8];
};

TEST_F(WorldMarkerPixels, TheCompassStripAndAPointEnvelopesMark)
{
    HudDrawWorldMarkers();
    const Pixels pixels = ReadBackBuffer(Device());
    for (int x = 16; x < 48; ++x)
        ASSERT_TRUE(ColourNear(pixels.At(x, 2), 0xFF0000FFu, 2)) << x;
    EXPECT_EQ(pixels.At(10, 2), 0xFF000000u) << "left of the strip";
    EXPECT_EQ(pixels.At(52, 2), 0xFF000000u) << "right of the strip";
    // Straight ahead: the indicator under the strip's centre, 10 pixels high, green.
    EXPECT_TRUE(ColourNear(pixels.At(31, 10), 0xFF00FF00u, 2));
    EXPECT_EQ(pixels.At(31, 20), 0xFF000000u);
    EXPECT_EQ(pixels.At(20, 10), 0xFF000000u);
}

// The marks follow the main view's camera as the frame saved it, not a camera set up since by a view
// drawn into a texture: turned round, the point straight ahead would fall behind and off the strip.
TEST_F(WorldMarkerPixels, TheMarksFollowTheSavedMainCameraNotOneSetUpSince)
{
    RenderSetupCamera(0.0f, 0.0f, 0.0f, 3.1415927f, 0.0f, 0.0f, 1.5f, 1);
    HudDrawWorldMarkers();
    const Pixels pixels = ReadBackBuffer(Device());
    EXPECT_TRUE(ColourNear(pixels.At(31, 10), 0xFF00FF00u, 2));
    EXPECT_EQ(pixels.At(20, 10), 0xFF000000u);
}

TEST_F(WorldMarkerPixels, NothingWithoutTheSwitchAndNoStripWhileTheHudIsHidden)
{
    const struct {
        u8_t ready, hidden;
    } cases[] = {{0, 0}, {1, 1}};
    for (const auto& c : cases) {
        g_hudInput.flags.markersReady = c.ready;
        g_hudInput.flags.hudHidden = c.hidden;
        HudDrawWorldMarkers();
    }
    const Pixels pixels = ReadBackBuffer(Device());
    for (DWORD word : pixels.words)
        ASSERT_EQ(word, 0xFF000000u);
}

// gb_showgui off: neither the "LAYER1" screen (given a red rectangle here) nor the marks draw.
TEST_F(WorldMarkerPixels, NothingWhileTheGuiIsSwitchedOff)
{
    auto* rect = new GuiRect();
    rect->width = rect->height = 1.0f;
    for (DWORD& colour : rect->colours)
        colour = 0xFFFF0000u;
    GuiFindScreen("LAYER1")->AddRect(rect);
    KeepVar kept(gb_showgui);
    gb_showgui.SetBool(false);
    HudDrawWorldMarkers();
    for (DWORD word : ReadBackBuffer(Device()).words)
        ASSERT_EQ(word, 0xFF000000u);
    gb_showgui.SetBool(true);
    HudDrawWorldMarkers();
    const Pixels pixels = ReadBackBuffer(Device());
    EXPECT_EQ(pixels.At(5, 40), 0xFFFF0000u);                    // the layer's rectangle
    EXPECT_TRUE(ColourNear(pixels.At(31, 10), 0xFF00FF00u, 2));  // the mark
}

TEST_F(WorldMarkerPixels, TheZoomedViewReadsThePickedEnvelope)
{
    g_hudInput.flags.binocularView = 1;
    GameSetPickedObject(&m_point);
    HudDrawWorldMarkers();
    EXPECT_STREQ(rs_sightenvname.String(), "exfil");
    EXPECT_STREQ(rs_sightenvdist.String(), "10");  // 100 units are 10 whole metres
    EXPECT_STREQ(rs_alphanavdist.String(), "--");
    EXPECT_STREQ(rs_sigmanavperc.String(), "--");
}

}  // namespace
