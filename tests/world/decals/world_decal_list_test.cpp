// The world renderer's decal list: merging, eviction of the oldest (never of a decal of this very
// millisecond), removal and expiry; and the fog share of a map decal.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/test_clock.h"
#include "scene/passes/decal_list.h"
#include "scene/passes/decal_pass.h"
#include "support/keep_var.h"
#include "world/decals/decal.h"
#include "world/world_cvars.h"

namespace {

class WorldDecalList : public ::testing::Test {
protected:
    void SetUp() override
    {
        PlatformTestClockStart(100000);
        DecalListClear();
    }
    void TearDown() override
    {
        DecalListClear();
        PlatformTestClockStop();
    }
    static Decal* Make(float x, u32_t age, float radius = 0.0f, u32_t lifetime = 60000)
    {
        Decal* decal = new Decal;
        decal->centre = {x, 0.0f, 0.0f};
        decal->spacingRadius = radius;
        decal->created = GetTickCount() - age;
        decal->lifetime = lifetime;
        return decal;
    }
    KeepVar m_remove{rbremovedecals};
};

TEST_F(WorldDecalList, MergingDropsADecalInsideAListedOne)
{
    DecalListAdd(Make(0.0f, 10, 2.0f), false);
    DecalListAdd(Make(0.0f, 0), true);  // at the centre
    DecalListAdd(Make(2.0f, 0), true);  // on the radius
    EXPECT_EQ(DecalListCount(), 1);
    DecalListAdd(Make(2.5f, 0), true);   // outside
    DecalListAdd(Make(0.0f, 0), false);  // no merge asked
    EXPECT_EQ(DecalListCount(), 3);
}

TEST_F(WorldDecalList, AFullListEvictsTheOldestButNeverADecalOfThisMillisecond)
{
    for (s32_t i = 0; i < DECAL_LIST_MAX; ++i)
        DecalListAdd(Make(float(i), i == 7 ? 900 : (i == 3 || i == 11) ? 500 : 10), false);
    DecalListAdd(Make(-1.0f, 0), false);
    ASSERT_EQ(DecalListCount(), DECAL_LIST_MAX);
    for (s32_t i = 0; i < DecalListCount(); ++i)
        EXPECT_NE(DecalListGet(i)->centre.x, 7.0f);
    // The tie goes to the first in list order.
    DecalListAdd(Make(-2.0f, 0), false);
    EXPECT_EQ(DecalListGet(3)->centre.x, 4.0f);
    EXPECT_EQ(DecalListGet(9)->centre.x, 11.0f);

    DecalListClear();
    for (s32_t i = 0; i < DECAL_LIST_MAX + 1; ++i)
        DecalListAdd(Make(float(i), 0), false);
    EXPECT_EQ(DecalListCount(), DECAL_LIST_MAX + 1);
}

TEST_F(WorldDecalList, RemovalKeepsTheOrderAndExpiryNeedsTheSwitch)
{
    for (int i = 0; i < 4; ++i)
        DecalListAdd(Make(float(i), 5000, 0.0f, i == 1 ? 1000 : 60000), false);
    DecalListRemove(DecalListGet(2));
    ASSERT_EQ(DecalListCount(), 3);
    EXPECT_EQ(DecalListGet(2)->centre.x, 3.0f);
    Decal stranger;
    DecalListRemove(&stranger);
    EXPECT_EQ(DecalListCount(), 3);

    rbremovedecals.SetBool(false);
    DecalListUpdate();
    PlatformTestClockAdvance(100000);
    DecalListUpdate();
    EXPECT_EQ(DecalListCount(), 3);
    rbremovedecals.SetBool(true);
    DecalListUpdate();
    EXPECT_EQ(DecalListCount(), 0);
}

TEST(DecalFog, ShareOfTheFogBand)
{
    struct Case {
        float d, s, e, power, fog;
    };
    const Case cases[] = {
        {50.0f, 100.0f, 300.0f, 1.5f, 0.0f},    // before the start: no fog, not a NaN
        {200.0f, 100.0f, 300.0f, 1.0f, 0.5f},   // halfway
        {200.0f, 100.0f, 300.0f, 2.0f, 0.25f},  // halfway, squared
        {200.0f, 100.0f, 300.0f, 0.5f, std::sqrt(0.5f)},
        {400.0f, 100.0f, 300.0f, 1.5f, 1.0f},  // beyond the range
        {150.0f, 100.0f, 100.0f, 1.5f, 1.0f},  // a range at the start: full fog past it
        {150.0f, 100.0f, 50.0f, 1.5f, 1.0f},
        {90.0f, 100.0f, 50.0f, 1.5f, 0.0f},
    };
    for (const Case& c : cases) {
        const float fog = DecalFogFactor(c.d, c.s, c.e, c.power);
        EXPECT_NEAR(fog, c.fog, 1e-5f) << c.d << " " << c.s << " " << c.e << " " << c.power;
    }
}

}  // namespace
