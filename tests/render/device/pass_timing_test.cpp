// The finished way of the pass timing: each pass's samples (those drawn while it is the innermost
// open pass) and faces, with a nested pass's share not counted again for its outer pass, stray ends
// ignored, and nothing counted once the finished way is off.
#include <gtest/gtest.h>

#include "render/land/map_chunks.h"
#include "render/device/pass_timing.h"
#include "support/render_test_support.h"

namespace {

using PassTiming = render_test::RenderCore;

// A quad of the pixels given, counted as two faces as the engine's draws count theirs.
void Quad(IDirect3DDevice8* device, int x0, int y0, int x1, int y1)
{
    ASSERT_EQ(render_test::DrawScreenQuad(device, x0, y0, x1, y1, 0xFFFFFFFFu), D3D_OK);
    RenderAddStats(4, 2, 0, 6);
}

TEST_F(PassTiming, FinishedPassesCountTheirOwnSamplesAndFaces)
{
    ASSERT_EQ(RenderBeginFrame(), 0);
    RenderTimingEnable(true);
    RenderTimingSetFinished(true);
    EXPECT_TRUE(RenderTimingFinished());

    RenderTimingBegin(TIMED_PASS_SKY);
    Quad(Device(), 0, 0, 20, 10);  // 200
    RenderTimingBegin(TIMED_PASS_VEGETATION);
    Quad(Device(), 30, 0, 35, 4);         // 20, the nested pass's own
    RenderTimingEnd(TIMED_PASS_SPRITES);  // not the innermost open pass: ignored
    Quad(Device(), 30, 10, 33, 12);       // 6, still the nested pass's
    RenderTimingEnd(TIMED_PASS_VEGETATION);
    Quad(Device(), 0, 20, 10, 21);  // 10, the outer pass's again
    RenderTimingEnd(TIMED_PASS_SKY);
    Quad(Device(), 0, 30, 40, 40);  // outside every pass
    RenderTimingBegin(TIMED_PASS_OBJECTS);
    Quad(Device(), 50, 30, 56, 35);  // 30
    RenderTimingEnd(TIMED_PASS_OBJECTS);
    RenderTimingEnd(TIMED_PASS_OBJECTS);  // closed already: ignored

    double samples[RENDER_TIMED_PASS_COUNT], faces[RENDER_TIMED_PASS_COUNT], shaded[RENDER_TIMED_PASS_COUNT],
        ms[RENDER_TIMED_PASS_COUNT];
    RenderTimingCollectCounts({samples, shaded, faces});
    RenderTimingCollect(ms);
    struct Expected {
        RenderTimedPass pass;
        double samples, faces;
    };
    const Expected expected[] = {
        {TIMED_PASS_SKY, 210.0, 4.0},   {TIMED_PASS_VEGETATION, 26.0, 4.0}, {TIMED_PASS_OBJECTS, 30.0, 2.0},
        {TIMED_PASS_SPRITES, 0.0, 0.0}, {TIMED_PASS_VISIBILITY, 0.0, 0.0},
    };
    for (const Expected& e : expected) {
        EXPECT_EQ(samples[e.pass], e.samples) << e.pass;
        // A driver that counts fragment-program runs counts at least the samples written.
        if (shaded[TIMED_PASS_SKY] > 0.0) {
            EXPECT_GE(shaded[e.pass], e.samples) << e.pass;
        }
        EXPECT_EQ(faces[e.pass], e.faces) << e.pass;
    }
    for (u32_t pass = 0; pass < RENDER_TIMED_PASS_COUNT; ++pass)
        EXPECT_GE(ms[pass], 0.0) << pass;

    // The next collect starts from nothing; off, the passes count nothing.
    RenderTimingSetFinished(false);
    RenderTimingBegin(TIMED_PASS_SKY);
    Quad(Device(), 0, 0, 20, 10);
    RenderTimingEnd(TIMED_PASS_SKY);
    RenderTimingCollectCounts({samples, shaded, faces});
    RenderTimingCollect(ms);
    EXPECT_EQ(samples[TIMED_PASS_SKY], 0.0);
    EXPECT_EQ(faces[TIMED_PASS_SKY], 0.0);
    RenderTimingEnable(false);
    RenderEndFrame(false);
}

}  // namespace
