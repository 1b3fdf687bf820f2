#include "render/render_cvars.h"

namespace {

// Colour defaults are set as the 0..1 floats the renderer reads, not through the 0..255 text form.
struct ColourDefault {
    ColourDefault(ConsoleVar& cvar, float red, float green, float blue, float alpha)
    {
        cvar.value.asColour[0] = red;
        cvar.value.asColour[1] = green;
        cvar.value.asColour[2] = blue;
        cvar.value.asColour[3] = alpha;
    }
};

}  // namespace

ConsoleVar riwidth("riwidth", CVAR_INT, "800");
ConsoleVar riheight("riheight", CVAR_INT, "600");
ConsoleVar rirefresh("rirefresh", CVAR_INT, "0");
ConsoleVar rbwindowed("rbwindowed", CVAR_BOOL, "false");
ConsoleVar rbflm("rbflm", CVAR_BOOL, "false");
ConsoleVar rbtexunits("rbtexunits", CVAR_INT, "2");
ConsoleVar rbclusters("rbclusters", CVAR_BOOL, "true");
ConsoleVar rbobjects("rbobjects", CVAR_BOOL, "true");
ConsoleVar rbwater("rbwater", CVAR_BOOL, "true");
ConsoleVar rbfov("rbfov", CVAR_BOOL, "false");
ConsoleVar rbfog("rbfog", CVAR_BOOL, "true");
ConsoleVar rbdrawblood("rbdrawblood", CVAR_BOOL, "true");
ConsoleVar rfobjrad("rfobjrad", CVAR_FLOAT, "150.0");
ConsoleVar rbsp("rbsp", CVAR_BOOL, "false");
ConsoleVar rbshowboxes("rbshowboxes", CVAR_BOOL, "false");
ConsoleVar rbzpass("rbzpass", CVAR_BOOL, "false");
ConsoleVar dblvi("dblvi", CVAR_BOOL, "false");
ConsoleVar rbroads("rbroads", CVAR_BOOL, "true");
ConsoleVar rbanisotropic("rbanisotropic", CVAR_BOOL, "true");
ConsoleVar rc_watercol("rc_watercol", CVAR_COLOUR, nullptr);
const ColourDefault rc_watercolDefault(rc_watercol, 1.0f, 1.0f, 1.0f, 0.7f);
ConsoleVar rc_uwatercol("rc_uwatercol", CVAR_COLOUR, nullptr);
const ColourDefault rc_uwatercolDefault(rc_uwatercol, 0.5f, 0.7f, 0.6f, 1.0f);
ConsoleVar rf_waterstretch("rf_waterstretch", CVAR_FLOAT, "0.03");
ConsoleVar rf_waterscroll("rf_waterscroll", CVAR_FLOAT, "0.0");
ConsoleVar rf_waternorm("rf_waternorm", CVAR_FLOAT, "0.1");
ConsoleVar rf_waterspeed("rf_waterspeed", CVAR_FLOAT, "30.0");
ConsoleVar rblayerlod("rblayerlod", CVAR_BOOL, "false");
ConsoleVar rflayerbias("rflayerbias", CVAR_FLOAT, "0.0");
ConsoleVar rilayer("rilayer", CVAR_INT, "-1");
ConsoleVar rfspdist("rfspdist", CVAR_FLOAT, "100.0");
ConsoleVar rfsatcamnear("rfsatcamnear", CVAR_FLOAT, "0.2");
ConsoleVar rbactors("rbactors", CVAR_BOOL, "true");
ConsoleVar rbactordirs("rbactordirs", CVAR_BOOL, "false");
ConsoleVar rbrain("rbrain", CVAR_BOOL, "false");
ConsoleVar rcshadowcolor("rcshadowcolor", CVAR_COLOUR, nullptr);
// Registered as the raw 0..255 values: every component reads as at least 1 until the map load resets it.
const ColourDefault rcshadowcolorDefault(rcshadowcolor, 128.0f, 128.0f, 128.0f, 255.0f);
ConsoleVar rc_nvisioncol("rc_nvisioncol", CVAR_COLOUR, nullptr);
const ColourDefault rc_nvisioncolDefault(rc_nvisioncol, 0.0f, 1.0f, 0.0f, 1.0f);
ConsoleVar rc_nvisionactorcol("rc_nvisionactorcol", CVAR_COLOUR, nullptr);
const ColourDefault rc_nvisionactorcolDefault(rc_nvisionactorcol, 1.0f, 1.0f, 1.0f, 1.0f);
ConsoleVar rc_nvamb("rc_nvamb", CVAR_COLOUR, nullptr);
const ColourDefault rc_nvambDefault(rc_nvamb, 0.008f, 0.125f, 0.008f, 1.0f);
ConsoleVar rc_nvdif("rc_nvdif", CVAR_COLOUR, nullptr);
const ColourDefault rc_nvdifDefault(rc_nvdif, 0.06f, 0.5f, 0.06f, 1.0f);
ConsoleVar rf_nvmul("rf_nvmul", CVAR_FLOAT, "1.0");

ConsoleVar rbviewporttest("rbviewporttest", CVAR_BOOL, "false");
ConsoleVar rbdrawfps("rbdrawfps", CVAR_BOOL, "false");
ConsoleVar rbdrawtimes("rbdrawtimes", CVAR_BOOL, "false");
ConsoleVar rbict("rbict", CVAR_BOOL, "false");
ConsoleVar rbwireframe("rbwireframe", CVAR_BOOL, "false");
ConsoleVar rbtraceraytest("rbtraceraytest", CVAR_BOOL, "false");
ConsoleVar rbdrawaxis("rbdrawaxis", CVAR_BOOL, "false");
ConsoleVar rbdrawstats("rbdrawstats", CVAR_BOOL, "false");
ConsoleVar rbparticles("rbparticles", CVAR_BOOL, "true");
