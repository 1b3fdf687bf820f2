// The renderer's console variables: each registered once under its name with its type and default.
#include "render/render_cvars.h"

#include <gtest/gtest.h>

namespace {

TEST(RenderCvarsTest, NamesTypesAndDefaults)
{
    struct Case {
        const ConsoleVar* cvar;
        const char* name;
        ConsoleVarType type;
        float value[4];  // a boolean or integer in value[0]
    };
    const Case cases[] = {
        {&rbflm, "rbflm", CVAR_BOOL, {0}},
        {&rbtexunits, "rbtexunits", CVAR_INT, {2}},
        {&rbclusters, "rbclusters", CVAR_BOOL, {1}},
        {&rbobjects, "rbobjects", CVAR_BOOL, {1}},
        {&rbwater, "rbwater", CVAR_BOOL, {1}},
        {&rbfov, "rbfov", CVAR_BOOL, {0}},
        {&rbfog, "rbfog", CVAR_BOOL, {1}},
        {&rbdrawblood, "rbdrawblood", CVAR_BOOL, {1}},
        {&rfobjrad, "rfobjrad", CVAR_FLOAT, {150.0f}},
        {&rbsp, "rbsp", CVAR_BOOL, {0}},
        {&rbshowboxes, "rbshowboxes", CVAR_BOOL, {0}},
        {&rbzpass, "rbzpass", CVAR_BOOL, {0}},
        {&dblvi, "dblvi", CVAR_BOOL, {0}},
        {&rbroads, "rbroads", CVAR_BOOL, {1}},
        {&rbanisotropic, "rbanisotropic", CVAR_BOOL, {1}},
        {&rc_watercol, "rc_watercol", CVAR_COLOUR, {1.0f, 1.0f, 1.0f, 0.7f}},
        {&rc_uwatercol, "rc_uwatercol", CVAR_COLOUR, {0.5f, 0.7f, 0.6f, 1.0f}},
        {&rf_waterstretch, "rf_waterstretch", CVAR_FLOAT, {0.03f}},
        {&rf_waterscroll, "rf_waterscroll", CVAR_FLOAT, {0.0f}},
        {&rf_waternorm, "rf_waternorm", CVAR_FLOAT, {0.1f}},
        {&rf_waterspeed, "rf_waterspeed", CVAR_FLOAT, {30.0f}},
        {&rblayerlod, "rblayerlod", CVAR_BOOL, {0}},
        {&rflayerbias, "rflayerbias", CVAR_FLOAT, {0.0f}},
        {&rilayer, "rilayer", CVAR_INT, {-1}},
        {&rfspdist, "rfspdist", CVAR_FLOAT, {100.0f}},
        {&rfsatcamnear, "rfsatcamnear", CVAR_FLOAT, {0.2f}},
        {&rbactors, "rbactors", CVAR_BOOL, {1}},
        {&rbrain, "rbrain", CVAR_BOOL, {0}},
        {&rc_nvisioncol, "rc_nvisioncol", CVAR_COLOUR, {0.0f, 1.0f, 0.0f, 1.0f}},
        {&rc_nvisionactorcol, "rc_nvisionactorcol", CVAR_COLOUR, {1.0f, 1.0f, 1.0f, 1.0f}},
        {&rc_nvamb, "rc_nvamb", CVAR_COLOUR, {0.008f, 0.125f, 0.008f, 1.0f}},
        {&rc_nvdif, "rc_nvdif", CVAR_COLOUR, {0.06f, 0.5f, 0.06f, 1.0f}},
        {&rf_nvmul, "rf_nvmul", CVAR_FLOAT, {1.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Found under its own name: no other variable of the program has taken it.
        EXPECT_EQ(CVarListFind(c.name), c.cvar);
        EXPECT_EQ(c.cvar->type, c.type);
        switch (c.type) {
        case CVAR_BOOL:
            EXPECT_EQ(c.cvar->Bool(), c.value[0] != 0.0f);
            break;
        case CVAR_INT:
            EXPECT_EQ(c.cvar->Int(), static_cast<int>(c.value[0]));
            break;
        case CVAR_FLOAT:
            EXPECT_EQ(c.cvar->Float(), c.value[0]);
            break;
        default:
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(c.cvar->Colour()[i], c.value[i]) << "part " << i;
            break;
        }
    }
}

// Colours are given and shown on a 0 to 255 scale and held as 0..1 floats.
TEST(RenderCvarsTest, ColoursReadFromConsoleText)
{
    const float saved[4] = {rc_watercol.Colour()[0], rc_watercol.Colour()[1], rc_watercol.Colour()[2],
                            rc_watercol.Colour()[3]};
    // 0.7 is a little under 178.5 / 255 as a float.
    EXPECT_STREQ(rc_watercol.ValueToText(), "(255, 255, 255, 178)");
    rc_watercol.SetFromText("(0,51,255,255)");
    EXPECT_FLOAT_EQ(rc_watercol.Colour()[1], 0.2f);
    EXPECT_STREQ(rc_watercol.ValueToText(), "(0, 51, 255, 255)");
    for (int i = 0; i < 4; ++i)
        rc_watercol.value.asColour[i] = saved[i];
}

}  // namespace
