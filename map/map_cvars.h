// The map's console variables: parameters of the cache builders, the sun and wind, the map's light,
// view range and fog, night vision, one landscape switch and two debug switches. Each is read
// directly by its users, so a reader always sees the current value.
//
// Their values come, in order, from the program start, the land's "var" block, the load reset
// (MapSettingsLoadReset, which overwrites the land's values of the variables it covers), the
// mission's "mission.cfg", and at any time the console.
#pragma once
#include "core/console_var.h"

extern ConsoleVar mioccres;        // occluder grid resolution
extern ConsoleVar mvsundir;        // direction towards the sun (set, then normalised, by map load)
extern ConsoleVar mvwinddir;       // wind direction: tree sway and plants
extern ConsoleVar migisamples;     // occlusion samples of the lightmap builder
extern ConsoleVar mfgiradius;      // occlusion radius of the lightmap builder
extern ConsoleVar milmapsize;      // lightmap side in texels
extern ConsoleVar mihmapsize;      // heightmap side
extern ConsoleVar mismapsize;      // nothing reads it
extern ConsoleVar mcmapambient;    // the map's ambient light colour
extern ConsoleVar mcmapdiffuse;    // the map's sun light colour
extern ConsoleVar mxrebuild;       // command: rebuild the land layers and the lightmap
extern ConsoleVar mxlayersreload;  // command: reload the land's texture layers
extern ConsoleVar mishadowsmooth;  // lightmap shadow smoothing
extern ConsoleVar mfrange;         // view range; the far plane lies at mfrange x 10
extern ConsoleVar mfwaterfog;      // distance over which water fogs up
extern ConsoleVar mffogstart;      // fog start; geometry beyond mffogstart x 10 lies in full fog
extern ConsoleVar mifogtexsize;    // side of the fog textures in texels
extern ConsoleVar mcfogcolor;      // the fog colour
extern ConsoleVar mffogpow;        // exponent of the fog curve between the fog start and the view range
extern ConsoleVar mb_nightvision;  // whether the player may use night vision
extern ConsoleVar mflayerlod0;     // first layer level-of-detail distance of the landscape
extern ConsoleVar dblm;            // build the lightmap anew, ignoring its cached file
extern ConsoleVar dbhm;            // build the heightmap anew, ignoring its cached file
// Draw the static map chunks layer by layer. Map load and "mxrebuild" set it; reloading or
// releasing the land's layer textures clears it.
extern ConsoleVar rblvi;
extern ConsoleVar rflodx;  // octree level-of-detail factor; nothing reads it
extern ConsoleVar rfloda;  // octree level-of-detail offset; nothing reads it

// The map load's reset, run before "mission.cfg": writes the load value of every variable that has
// one (and the shadow colour of the renderer) directly, not through the console. A vector or colour
// is written only while the variable still has that type.
void MapSettingsLoadReset();
// The end of a map load: the sun direction to unit length, and the sight factors derived from the
// view range, the fog start and the ambient light (map/map_sight.h).
void MapSettingsFinishLoad();
