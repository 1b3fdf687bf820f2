#include "map/map_cvars.h"

#include <cmath>

#include "map/terrain/map_settings_commands.h"
#include "map/trace/map_sight.h"
#include "render/render_cvars.h"

namespace {

// The map's colours start as the 0..255 values themselves; the load reset brings them to 0..1.
struct RawColour {
    RawColour(ConsoleVar& cvar, float red, float green, float blue, float alpha)
    {
        cvar.value.asColour[0] = red;
        cvar.value.asColour[1] = green;
        cvar.value.asColour[2] = blue;
        cvar.value.asColour[3] = alpha;
    }
};

constexpr float kGrey = 128.0f / 255.0f;

void SetVector(ConsoleVar& cvar, float x, float y, float z)
{
    if (cvar.type != CVAR_VECTOR)
        return;
    cvar.value.asVector[0] = x;
    cvar.value.asVector[1] = y;
    cvar.value.asVector[2] = z;
}

void SetColour(ConsoleVar& cvar, float red, float green, float blue, float alpha)
{
    if (cvar.type != CVAR_COLOUR)
        return;
    cvar.value.asColour[0] = red;
    cvar.value.asColour[1] = green;
    cvar.value.asColour[2] = blue;
    cvar.value.asColour[3] = alpha;
}

}  // namespace

ConsoleVar mioccres("mioccres", CVAR_INT, "32");
ConsoleVar mvsundir("mvsundir", CVAR_VECTOR, "(1.0, 0.5, 0.0)");
ConsoleVar mvwinddir("mvwinddir", CVAR_VECTOR, "(1.0, 0.0, 0.0)");
ConsoleVar migisamples("migisamples", CVAR_INT, "100");
ConsoleVar mfgiradius("mfgiradius", CVAR_FLOAT, "120.0");
ConsoleVar milmapsize("milmapsize", CVAR_INT, "256");
ConsoleVar mihmapsize("mihmapsize", CVAR_INT, "512");
ConsoleVar mismapsize("mismapsize", CVAR_INT, "512");
ConsoleVar mcmapambient("mcmapambient", CVAR_COLOUR, nullptr);
const RawColour mcmapambientStart(mcmapambient, 128.0f, 128.0f, 128.0f, 255.0f);
ConsoleVar mcmapdiffuse("mcmapdiffuse", CVAR_COLOUR, nullptr);
const RawColour mcmapdiffuseStart(mcmapdiffuse, 128.0f, 128.0f, 128.0f, 255.0f);
ConsoleVar mxrebuild("mxrebuild", MapRebuildCommand);
ConsoleVar mxlayersreload("mxlayersreload", MapLayersReloadCommand);
ConsoleVar mishadowsmooth("mishadowsmooth", CVAR_INT, "0");
ConsoleVar mfrange("mfrange", CVAR_FLOAT, "1500.0");
ConsoleVar mfwaterfog("mfwaterfog", CVAR_FLOAT, "800.0");
ConsoleVar mffogstart("mffogstart", CVAR_FLOAT, "1000.0");
ConsoleVar mifogtexsize("mifogtexsize", CVAR_INT, "128");
ConsoleVar mcfogcolor("mcfogcolor", CVAR_COLOUR, nullptr);
const RawColour mcfogcolorStart(mcfogcolor, 128.0f, 128.0f, 128.0f, 255.0f);
ConsoleVar mffogpow("mffogpow", CVAR_FLOAT, "2.0");
ConsoleVar mb_nightvision("mb_nightvision", CVAR_BOOL, "true");
ConsoleVar mflayerlod0("mflayerlod0", CVAR_FLOAT, "100.0");
ConsoleVar dblm("dblm", CVAR_BOOL, "false");
ConsoleVar dbhm("dbhm", CVAR_BOOL, "false");
ConsoleVar rblvi("rblvi", CVAR_BOOL, "false");
ConsoleVar rflodx("rflodx", CVAR_FLOAT, "1.0");
ConsoleVar rfloda("rfloda", CVAR_FLOAT, "0.0");

void MapSettingsLoadReset()
{
    mioccres.SetInt(0);
    SetVector(mvsundir, 1.0f, 0.5f, 0.0f);
    SetVector(mvwinddir, 1.0f, 0.0f, 0.0f);
    migisamples.SetInt(0);
    mfgiradius.SetFloat(120.0f);
    milmapsize.SetInt(128);
    mihmapsize.SetInt(1024);
    mismapsize.SetInt(1024);
    SetColour(mcmapambient, kGrey, kGrey, kGrey, 1.0f);
    SetColour(mcmapdiffuse, kGrey, kGrey, kGrey, 1.0f);
    mishadowsmooth.SetInt(1);
    mfrange.SetFloat(1500.0f);
    mffogstart.SetFloat(500.0f);
    mifogtexsize.SetInt(128);
    SetColour(mcfogcolor, kGrey, kGrey, kGrey, 1.0f);
    mffogpow.SetFloat(1.0f);
    mb_nightvision.SetBool(true);
    rblvi.SetBool(true);
    SetColour(rcshadowcolor, kGrey, kGrey, kGrey, 1.0f);
}

void MapSettingsFinishLoad()
{
    if (mvsundir.type == CVAR_VECTOR) {
        float* v = mvsundir.value.asVector;
        const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (length > 0.0f) {
            for (int i = 0; i < 3; ++i)
                v[i] /= length;
        }
    }
    MapSightFactorsCompute();
}
