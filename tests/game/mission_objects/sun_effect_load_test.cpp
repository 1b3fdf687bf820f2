// The sun's flare elements from the script "sun": one element per subsection, in order, and a
// "sun" line of an object list that hands them to the renderer with the sun's direction.
#include <gtest/gtest.h>

#include <memory>

#include "core/console/console.h"
#include "core/files/def_file.h"
#include "core/files/script_file.h"
#include "core/files/vfs.h"
#include "game/mission_objects/object_list.h"
#include "game/mission_objects/sun_effect_load.h"
#include "map/map_cvars.h"
#include "scene/sky/sun_effect.h"
#include "support/files.h"
#include "support/keep_var.h"
#include "support/temp_dir.h"

namespace {

class SunEffectRead : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        CreateScriptCache();
        WriteFileBytes("script/sun.scr",
                       "<flare>\n"
                       "  <glow>\n"
                       "    property size 2.5;\n"
                       "    property alpha TRUE;\n"
                       "    property stretch no;\n"
                       "    property src_blend D3DBLEND_SRCALPHA;\n"
                       "    property dest_blend D3DBLEND_ONE;\n"
                       "    colour red;\n"
                       "  </glow>\n"
                       "  <ring>\n"
                       "    property trace FALSE;\n"
                       "    property stretch_coef x;\n"
                       "    property opacity 0.25;\n"
                       "  </ring>\n"
                       "  <spot>\n"
                       "  </spot>\n"
                       "</flare>\n");
    }
    void TearDown() override
    {
        RenderFreeSunEffect();
        DestroyScriptCache();
        DefFileFreeAll();
        VFSShutdown();
        TempDirTest::TearDown();
    }
};

TEST_F(SunEffectRead, EachSubsectionIsOneElement)
{
    SunFlareElement* elements = nullptr;
    ASSERT_EQ(SunEffectLoad("flare", &elements), 3u);
    std::unique_ptr<SunFlareElement[]> owned(elements);
    EXPECT_EQ(elements[0].size, 2.5f);
    EXPECT_EQ(elements[0].noAlphaFactor, 1);
    EXPECT_EQ(elements[0].intensityScaled, 1);  // only "false" clears it
    EXPECT_EQ(elements[0].sourceBlend, u32_t(D3DBLEND_SRCALPHA));
    EXPECT_EQ(elements[0].destinationBlend, u32_t(D3DBLEND_ONE));
    EXPECT_EQ(elements[1].enabled, 0);
    EXPECT_EQ(elements[1].sizeFactor, 0.0f);  // no number
    EXPECT_EQ(elements[1].alphaFactor, 0.25f);
    EXPECT_EQ(elements[2].size, 0.0f);
}

// "sun flare" in an object list: the renderer holds the elements, and the sun's direction is the
// map's with the element count.
TEST_F(SunEffectRead, ASunLineGivesTheRendererItsElementsAndDirection)
{
    ConStartup();
    KeepVar direction(mvsundir);
    mvsundir.SetFromText("(0,3,4)");
    WriteFileBytes("list.def", "sun flare\n");
    GameLoadObjectList(DefFileLoad("list.def"), nullptr, 0, nullptr);
    ASSERT_NE(RenderGetSunEffect(), nullptr);
    EXPECT_EQ(RenderGetSunEffect()->elementCount, 3u);
    EXPECT_EQ(RenderGetSunEffectValue(), 3u);
    EXPECT_NEAR(RenderGetSunDirection().z, 0.8f, 1e-6f);
    GameObjectListReset();
    ConShutdown();
}

}  // namespace
