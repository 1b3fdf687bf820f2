// The world-marker overlay: compass heading, bearing and mark place, the 50 m label rule, the sight
// mark's lifetime, the nav readouts, and the compass strip and a point envelope's mark read back
// from the offscreen device with a "LAYER1" screen of the test's own.
#include <gtest/gtest.h>

#include <string>

#include "ai/ai_groups.h"
#include "ai/envelope.h"
#include "game/cursor_pick.h"
#include "game/game_state.h"
#include "gui/gui.h"
#include "render/camera.h"
#include "render/hud_input.h"
#include "render/render_clock.h"
#include "render/state_cache.h"
#include "render/texture_preload.h"
#include "scene/frame_state.h"
#include "scene/hud_overlays.h"
#include "scene/object_preview.h"
#include "support/render_test_support.h"

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

class Soldier : public AIGroupMember {
public:
    Soldier(bool alive, Vector3 at) : m_alive(alive), m_at(at) {}
    bool IsAlive() const override { return m_alive; }
    Vector3 BodyPosition() const override { return m_at; }
    float SightPercent(const Vector3&) const override { return 42.7f; }

private:
    bool m_alive;
    Vector3 m_at;
};

// The string console variables keep their text; put every readout back after the test.
class Readouts : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < kCount; ++i)
            m_kept[i] = Var(i).String();
    }
    void TearDown() override
    {
        for (int i = 0; i < kCount; ++i)
            Var(i).SetString(m_kept[i].c_str());
    }
    static constexpr int kCount = 8;
    static ConsoleVar& Var(int i)
    {
        ConsoleVar* vars[kCount] = {&rs_alphanavdist,  &rs_alphanavperc,  &rs_sigmanavdist, &rs_sigmanavperc,
                                    &rs_zenithnavdist, &rs_zenithnavperc, &rs_sightenvname, &rs_sightenvdist};
        return *vars[i];
    }
    std::string m_kept[kCount];
};

TEST_F(Readouts, NavReadoutsForLivingMissingAndDeadGroups)
{
    Soldier first(true, {30.0f, 0.0f, 40.0f});  // 50 units from the target
    Soldier dead(false, {0.0f, 0.0f, 0.0f});
    Soldier deadToo(false, {1.0f, 0.0f, 0.0f});
    AIGroup alpha;
    alpha.name.Assign("Alpha");
    alpha.members = {&first, &dead};
    AIGroup zenith;
    zenith.name.Assign("zenith");
    zenith.members = {&dead, &deadToo};
    AIGroupRegister(&alpha);
    AIGroupRegister(&zenith);
    HudWriteNavReadouts({60.0f, 0.0f, 80.0f});
    AIGroupUnregister(&alpha);
    AIGroupUnregister(&zenith);
    EXPECT_STREQ(rs_alphanavdist.String(), "5");
    EXPECT_STREQ(rs_alphanavperc.String(), "42%");
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
