// Colour channels packed into D3DCOLOR words by the two rules, saturating at both ends.
#include <gtest/gtest.h>

#include <cmath>

#include "render/draw2d/colour_pack.h"

namespace {

TEST(ColourPack, BothRulesPackAndSaturateEveryChannel)
{
    struct Case {
        const char* name;
        float r, g, b, a;
        u32_t rounded, truncated;
    };
    const float nan = std::nanf("");
    const Case cases[] = {
        {"ends", 1.0f, 0.0f, 1.0f, 0.0f, 0x00FF00FFu, 0x00FF00FFu},
        {"halves round up, truncation cuts", 0.5f, 0.25f, 0.1f, 1.0f, 0xFF80401Au, 0xFF7F3F19u},
        {"just below one", 0.999f, 0.999f, 0.999f, 0.999f, 0xFFFFFFFFu, 0xFEFEFEFEu},
        {"outside 0..1 (console values)", 2.0f, -1.0f, 255.0f, -0.5f, 0x00FF00FFu, 0x00FF00FFu},
        {"huge and not a number", 1e30f, -1e30f, nan, 3e9f, 0xFFFF0000u, 0xFFFF0000u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const float rgba[4] = {c.r, c.g, c.b, c.a};
        EXPECT_EQ(ColourPackRounded(c.r, c.g, c.b, c.a), c.rounded);
        EXPECT_EQ(ColourPackTruncated(c.r, c.g, c.b, c.a), c.truncated);
        EXPECT_EQ(ColourPackRounded(rgba), c.rounded);
        EXPECT_EQ(ColourPackTruncated(rgba), c.truncated);
    }
}

}  // namespace
