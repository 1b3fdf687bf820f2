// The console variables of the world, its maps, its rendering and its soldiers as the program starts
// with them: each is found by its name, has its type, and holds the value that a person typing the
// documented default into the console would give it (colours typed on the console's 0 to 255 scale).
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/console/console.h"
#include "core/console/console_var.h"
#include "support/keep_var.h"

namespace {

struct Setting {
    const char* name;
    ConsoleVarType type;
    const char* typed;  // the default as typed after the name; null for a command
};

// clang-format off
const Setting kSettings[] = {
    // The world rendering.
    {"rbshownormals", CVAR_BOOL, "false"}, {"rbshowpins", CVAR_BOOL, "false"}, {"rbshowdummies", CVAR_BOOL, "false"},
    {"rbshowzones", CVAR_BOOL, "false"}, {"rblm", CVAR_BOOL, "false"}, {"rbupdateshadows", CVAR_BOOL, "true"},
    {"rxprintmaterials", CVAR_COMMAND, nullptr}, {"rbshadows", CVAR_BOOL, "false"},
    {"rfmaxshadowsdist", CVAR_FLOAT, "500.0"}, {"rfaltshadowsdist", CVAR_FLOAT, "250.0"},
    {"rbconobjs", CVAR_BOOL, "true"}, {"rbfx", CVAR_BOOL, "true"}, {"rbgg", CVAR_BOOL, "true"},
    {"rbfp", CVAR_BOOL, "true"}, {"rbshowdecals", CVAR_BOOL, "true"}, {"rbvegetation", CVAR_BOOL, "true"},
    {"rfvegradius", CVAR_FLOAT, "300.0"}, {"rf_vegsquaresize", CVAR_FLOAT, "78.125"},
    {"ri_vegmaxdensity", CVAR_INT, "700"}, {"ri_vegfar", CVAR_FLOAT, "800.0"},
    {"rcvegcol", CVAR_COLOUR, "(114.75, 114.75, 114.75, 114.75)"},  // the grey 0.45
    {"rs_alphanavdist", CVAR_STRING, ""}, {"rs_alphanavperc", CVAR_STRING, ""}, {"rs_sigmanavdist", CVAR_STRING, ""},
    {"rs_sigmanavperc", CVAR_STRING, ""}, {"rs_zenithnavdist", CVAR_STRING, ""}, {"rs_zenithnavperc", CVAR_STRING, ""},
    {"rs_sightenvname", CVAR_STRING, ""}, {"rs_sightenvdist", CVAR_STRING, ""},
    // The render device and its resources.
    {"ritexlod", CVAR_INT, "0"}, {"as_tqmod", CVAR_STRING, "HIGH"}, {"rxtexlod", CVAR_COMMAND, nullptr},
    {"gxtexlod", CVAR_COMMAND, nullptr}, {"riwidth", CVAR_INT, "800"}, {"riheight", CVAR_INT, "600"},
    {"rirefresh", CVAR_INT, "0"}, {"rbwindowed", CVAR_BOOL, "false"}, {"rbflm", CVAR_BOOL, "false"},
    {"rbtexunits", CVAR_INT, "2"}, {"rbclusters", CVAR_BOOL, "true"}, {"rbobjects", CVAR_BOOL, "true"},
    {"rbwater", CVAR_BOOL, "true"}, {"rbfov", CVAR_BOOL, "false"}, {"rbfog", CVAR_BOOL, "true"},
    {"rbdrawblood", CVAR_BOOL, "true"}, {"rfobjrad", CVAR_FLOAT, "150.0"}, {"rbsp", CVAR_BOOL, "false"},
    {"rbshowboxes", CVAR_BOOL, "false"}, {"rbzpass", CVAR_BOOL, "false"}, {"dblvi", CVAR_BOOL, "false"},
    {"rbroads", CVAR_BOOL, "true"}, {"rbanisotropic", CVAR_BOOL, "true"},
    {"rc_watercol", CVAR_COLOUR, "(255, 255, 255, 178.5)"},      // (1.0, 1.0, 1.0, 0.7)
    {"rc_uwatercol", CVAR_COLOUR, "(127.5, 178.5, 153, 255)"},   // (0.5, 0.7, 0.6, 1.0)
    {"rf_waterstretch", CVAR_FLOAT, "0.03"}, {"rf_waterscroll", CVAR_FLOAT, "0.0"}, {"rf_waternorm", CVAR_FLOAT, "0.1"},
    {"rf_waterspeed", CVAR_FLOAT, "30.0"}, {"rblayerlod", CVAR_BOOL, "false"}, {"rflayerbias", CVAR_FLOAT, "0.0"},
    {"rilayer", CVAR_INT, "-1"}, {"rfspdist", CVAR_FLOAT, "100.0"}, {"rfsatcamnear", CVAR_FLOAT, "0.2"},
    {"rbactors", CVAR_BOOL, "true"}, {"rbactordirs", CVAR_BOOL, "false"}, {"rbrain", CVAR_BOOL, "false"},
    {"rcshadowcolor", CVAR_COLOUR, "(32640, 32640, 32640, 65025)"},  // held raw: (128, 128, 128, 255)
    {"rc_nvisioncol", CVAR_COLOUR, "(0, 255, 0, 255)"},
    {"rc_nvisionactorcol", CVAR_COLOUR, "(255, 255, 255, 255)"},
    {"rc_nvamb", CVAR_COLOUR, "(2.04, 31.875, 2.04, 255)"},   // (0.008, 0.125, 0.008, 1.0)
    {"rc_nvdif", CVAR_COLOUR, "(15.3, 127.5, 15.3, 255)"},    // (0.06, 0.5, 0.06, 1.0)
    {"rf_nvmul", CVAR_FLOAT, "1.0"}, {"rbviewporttest", CVAR_BOOL, "false"}, {"rbdrawfps", CVAR_BOOL, "false"},
    {"rbdrawtimes", CVAR_BOOL, "false"}, {"rbict", CVAR_BOOL, "false"}, {"rbwireframe", CVAR_BOOL, "false"},
    {"rbtraceraytest", CVAR_BOOL, "false"}, {"rbdrawaxis", CVAR_BOOL, "false"}, {"rbdrawstats", CVAR_BOOL, "false"},
    {"rbparticles", CVAR_BOOL, "true"},
    // The world objects.
    {"rbremovedecals", CVAR_BOOL, "false"}, {"rfhidesize", CVAR_FLOAT, "200.0"}, {"rbrs", CVAR_BOOL, "true"},
    // The maps, at program start.
    {"mioccres", CVAR_INT, "32"}, {"mvsundir", CVAR_VECTOR, "(1.0, 0.5, 0.0)"},
    {"mvwinddir", CVAR_VECTOR, "(1.0, 0.0, 0.0)"}, {"migisamples", CVAR_INT, "100"},
    {"mfgiradius", CVAR_FLOAT, "120.0"}, {"milmapsize", CVAR_INT, "256"}, {"mihmapsize", CVAR_INT, "512"},
    {"mismapsize", CVAR_INT, "512"},
    {"mcmapambient", CVAR_COLOUR, "(32640, 32640, 32640, 65025)"},  // held raw: (128, 128, 128, 255)
    {"mcmapdiffuse", CVAR_COLOUR, "(32640, 32640, 32640, 65025)"},
    {"mxrebuild", CVAR_COMMAND, nullptr}, {"mxlayersreload", CVAR_COMMAND, nullptr},
    {"mishadowsmooth", CVAR_INT, "0"}, {"mfrange", CVAR_FLOAT, "1500.0"}, {"mfwaterfog", CVAR_FLOAT, "800.0"},
    {"mffogstart", CVAR_FLOAT, "1000.0"}, {"mifogtexsize", CVAR_INT, "128"},
    {"mcfogcolor", CVAR_COLOUR, "(32640, 32640, 32640, 65025)"},
    {"mffogpow", CVAR_FLOAT, "2.0"}, {"mb_nightvision", CVAR_BOOL, "true"}, {"mflayerlod0", CVAR_FLOAT, "100.0"},
    {"dblm", CVAR_BOOL, "false"}, {"dbhm", CVAR_BOOL, "false"}, {"rblvi", CVAR_BOOL, "false"},
    {"rflodx", CVAR_FLOAT, "1.0"}, {"rfloda", CVAR_FLOAT, "0.0"},
    // The soldiers and their weapons.
    {"mi_oxygen", CVAR_INT, "0"}, {"mf_oxygendecrease", CVAR_FLOAT, "5.0"}, {"mf_oxygenincrease", CVAR_FLOAT, "10.0"},
    {"rbshowbodys", CVAR_BOOL, "true"}, {"rbprojectile", CVAR_BOOL, "false"}, {"rbpenetrate", CVAR_BOOL, "false"},
    {"gbvo", CVAR_BOOL, "false"}, {"gbdebugai", CVAR_BOOL, "false"},
};
// clang-format on

bool Near(float a, float b)
{
    return std::fabs(a - b) <= 1e-4f + 1e-5f * std::fabs(b);
}

// The variable's value now against its value before, by its type.
::testing::AssertionResult SameValue(const ConsoleVar& var, const ConsoleVar::Value& before,
                                     const std::string& stringBefore)
{
    const ConsoleVar::Value& now = var.value;
    bool same = true;
    switch (var.type) {
        case CVAR_INT:
            same = now.asInt == before.asInt;
            break;
        case CVAR_BOOL:
            same = now.asBool == before.asBool;
            break;
        case CVAR_FLOAT:
            same = Near(now.asFloat, before.asFloat);
            break;
        case CVAR_VECTOR:
            for (int i = 0; i < 3; ++i)
                same = same && Near(now.asVector[i], before.asVector[i]);
            break;
        case CVAR_COLOUR:
            for (int i = 0; i < 4; ++i)
                same = same && Near(now.asColour[i], before.asColour[i]);
            break;
        case CVAR_STRING:
            same = stringBefore == var.String();
            break;
        default:
            break;
    }
    if (same)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the typed default gives " << var.ValueToText();
}

TEST(RegisteredSettings, EachHasItsTypeAndItsDocumentedDefault)
{
    for (const Setting& s : kSettings) {
        SCOPED_TRACE(s.name);
        ConsoleVar* var = CVarListFind(s.name);
        ASSERT_NE(var, nullptr);
        EXPECT_EQ(var->type, s.type);
        if (!s.typed || var->type != s.type)
            continue;
        KeepVar kept(*var);
        const std::string stringBefore = var->String();
        const ConsoleVar::Value before = var->value;
        ConExec((std::string(s.name) + " " + s.typed).c_str(), true);
        EXPECT_TRUE(SameValue(*var, before, stringBefore));
        var->SetString(stringBefore.c_str());
    }
}

}  // namespace
