// A mission's wire from its "mission.cog" to the screen: two placed poles joined by one span, the
// mission start's shadow preparation, and the wire pass drawing the span where it projects.
#include <gtest/gtest.h>

#include "render/camera.h"
#include "render/render_cvars.h"
#include "scene/meshes/connection_draw.h"
#include "scene/scene_cvars.h"
#include "scene/passes/stencil_shadows.h"
#include "support/keep_var.h"
#include "support/render_test_support.h"
#include "tests/world/wires/wire_poles.h"
#include "scene/draw_records/draw_lists.h"

using namespace render_test;

namespace {

class WireMissionDraw : public wire_test::WirePoles {
protected:
    void SetUp() override
    {
        WirePoles::SetUp();
        ASSERT_EQ(RenderInit(m_window.Handle()), 0);
        SceneDrawListsInit();
        ASSERT_EQ(RenderSetDisplayMode(64, 48, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
        rbfog.value.asBool = false;
        rbconobjs.value.asBool = true;
    }
    void TearDown() override
    {
        for (GraphObj* pole : {m_a, m_b}) {
            if (pole && pole->shadowVolume) {
                DynObjectRemove(pole->shadowVolume);
                delete pole->shadowVolume;
                pole->shadowVolume = nullptr;
            }
        }
        RenderShutdown(true);
        WirePoles::TearDown();
    }
    TestWindow m_window;
    GraphObj* m_a = nullptr;
    GraphObj* m_b = nullptr;
    KeepVar m_kept[2] = {KeepVar{rbfog}, KeepVar{rbconobjs}};
};

TEST_F(WireMissionDraw, TheSpanOfTheMissionFileIsDrawnBetweenItsPoles)
{
    m_a = AddPole("pole_a", {{"-0", {0, 3, 0}}}, {-5, 0, 20});
    m_b = AddPole("pole_b", {{"+0", {0, 3, 0}}}, {5, 0, 20});
    LoadCog("group span YFLAT 0.1 0 missing 1 1\nadd pole_a\nadd pole_b\n");
    ASSERT_EQ(WireGroupCount(), 1);
    ShadowsPrepare();
    EXPECT_NE(m_a->shadowVolume, nullptr);
    EXPECT_NE(m_b->shadowVolume, nullptr);

    RenderSetupCamera(0.0f, 3.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.2f, 1);
    g_render.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    RenderConnectionObjects();
    const Pixels pixels = ReadBackBuffer(g_render.device);
    EXPECT_NE(PixelAt(pixels, 0.0f, 3.0f, 20.0f), 0xFF000000u);
    EXPECT_EQ(PixelAt(pixels, 0.0f, 6.0f, 20.0f), 0xFF000000u);
    EXPECT_EQ(PixelAt(pixels, 8.0f, 3.0f, 20.0f), 0xFF000000u);
}

}  // namespace
