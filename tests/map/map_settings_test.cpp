// The map variables: program-start values, the load reset that comes between the land's "var" block
// and "mission.cfg", the derived sight factors and the two commands.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "map/terrain/map_caches.h"
#include "map/map_cvars.h"
#include "map/terrain/map_settings_commands.h"
#include "map/trace/map_sight.h"
#include "map/terrain/map_state.h"
#include "map/octree/octree.h"
#include "render/land/map_render_setup.h"
#include "render/render_cvars.h"
#include "support/keep_var.h"

namespace {

constexpr float kGrey = 128.0f / 255.0f;

// The value as up to four floats (integers and booleans converted); commands have none.
std::vector<float> ValueOf(const ConsoleVar& cvar)
{
    switch (cvar.type) {
        case CVAR_INT:
            return {static_cast<float>(cvar.Int())};
        case CVAR_BOOL:
            return {cvar.Bool() ? 1.0f : 0.0f};
        case CVAR_FLOAT:
            return {cvar.Float()};
        case CVAR_VECTOR:
            return {cvar.value.asVector[0], cvar.value.asVector[1], cvar.value.asVector[2]};
        case CVAR_COLOUR:
            return {cvar.value.asColour[0], cvar.value.asColour[1], cvar.value.asColour[2], cvar.value.asColour[3]};
        default:
            return {};
    }
}

struct Row {
    ConsoleVar* cvar;
    ConsoleVarType type;
    std::vector<float> atStart;
    std::vector<float> afterReset;  // empty for a variable the reset leaves alone
};

std::vector<Row> Table()
{
    const std::vector<float> raw = {128, 128, 128, 255}, grey = {kGrey, kGrey, kGrey, 1};
    return {
        {&mioccres, CVAR_INT, {32}, {0}},
        {&mvsundir, CVAR_VECTOR, {1, 0.5f, 0}, {1, 0.5f, 0}},
        {&mvwinddir, CVAR_VECTOR, {1, 0, 0}, {1, 0, 0}},
        {&migisamples, CVAR_INT, {100}, {0}},
        {&mfgiradius, CVAR_FLOAT, {120}, {120}},
        {&milmapsize, CVAR_INT, {256}, {128}},
        {&mihmapsize, CVAR_INT, {512}, {1024}},
        {&mismapsize, CVAR_INT, {512}, {1024}},
        {&mcmapambient, CVAR_COLOUR, raw, grey},
        {&mcmapdiffuse, CVAR_COLOUR, raw, grey},
        {&mxrebuild, CVAR_COMMAND, {}, {}},
        {&mxlayersreload, CVAR_COMMAND, {}, {}},
        {&mishadowsmooth, CVAR_INT, {0}, {1}},
        {&mfrange, CVAR_FLOAT, {1500}, {1500}},
        {&mfwaterfog, CVAR_FLOAT, {800}, {}},
        {&mffogstart, CVAR_FLOAT, {1000}, {500}},
        {&mifogtexsize, CVAR_INT, {128}, {128}},
        {&mcfogcolor, CVAR_COLOUR, raw, grey},
        {&mffogpow, CVAR_FLOAT, {2}, {1}},
        {&mb_nightvision, CVAR_BOOL, {1}, {1}},
        {&mflayerlod0, CVAR_FLOAT, {100}, {}},
        {&dblm, CVAR_BOOL, {0}, {}},
        {&dbhm, CVAR_BOOL, {0}, {}},
        {&rblvi, CVAR_BOOL, {0}, {1}},
        {&rcshadowcolor, CVAR_COLOUR, raw, grey},
    };
}

// Every test leaves the map variables and the sight factors as it found them.
class MapSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const Row& row : Table())
            m_kept.push_back(std::make_unique<KeepVar>(*row.cvar));
    }
    void TearDown() override
    {
        m_kept.clear();
        MapSightFactorsReset();
    }

private:
    std::vector<std::unique_ptr<KeepVar>> m_kept;
};

}  // namespace

TEST_F(MapSettings, EveryVariableBeforeAndAfterTheLoadReset)
{
    const std::vector<Row> table = Table();
    for (const Row& row : table) {
        SCOPED_TRACE(row.cvar->name.Text());
        EXPECT_EQ(CVarListFind(row.cvar->name.Text()), row.cvar);
        EXPECT_EQ(row.cvar->type, row.type);
        EXPECT_EQ(ValueOf(*row.cvar), row.atStart);
    }
    // The land's "var" block has set every variable to something else first.
    for (const Row& row : table) {
        if (row.type != CVAR_COMMAND)
            row.cvar->SetFromText(row.type == CVAR_VECTOR   ? "(7, 7, 7)"
                                  : row.type == CVAR_COLOUR ? "(7, 7, 7, 7)"
                                                            : "7");
    }
    MapSettingsLoadReset();
    for (const Row& row : table) {
        SCOPED_TRACE(row.cvar->name.Text());
        if (row.type == CVAR_COMMAND)
            continue;
        if (row.afterReset.empty()) {
            EXPECT_NE(ValueOf(*row.cvar), row.atStart) << "kept the land's value";
            continue;
        }
        const std::vector<float> value = ValueOf(*row.cvar);
        ASSERT_EQ(value.size(), row.afterReset.size());
        for (size_t i = 0; i < value.size(); ++i)
            EXPECT_FLOAT_EQ(value[i], row.afterReset[i]);
    }
    EXPECT_FLOAT_EQ(mcmapambient.Colour()[0], 0.50196081f);
}

TEST_F(MapSettings, MissionValuesHoldAndTheLoadEndDerivesTheSightFactors)
{
    EXPECT_EQ(MapSightRangeFactor(), 1.0f);
    EXPECT_EQ(MapSightLightFactor(), 1.0f);
    mfrange.SetFromText("900");  // the land's "var" block: overwritten
    mfwaterfog.SetFromText("300");
    dbhm.SetFromText("true");
    MapSettingsLoadReset();
    EXPECT_EQ(mfrange.Float(), 1500.0f);
    EXPECT_EQ(mfwaterfog.Float(), 300.0f);
    EXPECT_TRUE(dbhm.Bool());
    // "mission.cfg", after the reset: holds.
    mfrange.SetFromText("2000");
    mvsundir.SetFromText("(0, 2, 0)");
    MapSettingsFinishLoad();
    EXPECT_EQ(mfrange.Float(), 2000.0f);
    EXPECT_EQ(mvsundir.Vector().y, 1.0f);
    EXPECT_EQ(mvsundir.Vector().x, 0.0f);
    EXPECT_FLOAT_EQ(MapSightRangeFactor(), (2000.0f - 500.0f) * 0.0025f);
    EXPECT_FLOAT_EQ(MapSightLightFactor(), 2.0f * 3 * kGrey * 0.33333334f);
    // Later changes do not recompute them.
    mffogstart.SetFromText("0");
    EXPECT_FLOAT_EQ(MapSightRangeFactor(), 3.75f);
    MapSightFactorsReset();
}

TEST_F(MapSettings, CommandsAndTheLayerSwitch)
{
    // Without a map "mxrebuild" does nothing: no octree to build layers or a lightmap from.
    ASSERT_EQ(OctreeGetRoot(), nullptr);
    rblvi.SetBool(false);
    g_map.landscapeNeedsRefresh = false;
    EXPECT_EQ(mxrebuild.SetFromText(nullptr), 0);
    EXPECT_FALSE(rblvi.Bool());
    EXPECT_FALSE(g_map.landscapeNeedsRefresh);
    EXPECT_FALSE(MapCacheRebuildForced());
    EXPECT_EQ(mxlayersreload.SetFromText("ignored"), 0);

    // Releasing the land's layer textures turns layer-by-layer drawing off.
    rblvi.SetBool(true);
    LandTexturesRelease();
    EXPECT_FALSE(rblvi.Bool());
}
