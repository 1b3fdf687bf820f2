// The map's console variables: parameters of the cache builders, the sun and wind, the map's light,
// view range and fog, night vision, one landscape switch and two debug switches. Each is read
// directly by its users, so a reader always sees the current value.
//
// Their values come, in order, from the program start, the land's "var" block, the load reset
// (MapSettingsLoadReset, which overwrites the land's values of the variables it covers), the
// mission's "mission.cfg", and at any time the console.
#pragma once
#include "core/console/console_var.h"
// The map's variables that the renderer and the object model read are declared in their headers:
// the view range, fog, water fog, sun, light, layer and layer-switch variables in render/render_cvars.h,
// the fog colour and curve and the wind in world/world_cvars.h.
#include "render/render_cvars.h"
#include "world/world_cvars.h"

extern ConsoleVar mioccres;        // occluder grid resolution
extern ConsoleVar migisamples;     // occlusion samples of the lightmap builder
extern ConsoleVar mfgiradius;      // occlusion radius of the lightmap builder
extern ConsoleVar milmapsize;      // lightmap side in texels
extern ConsoleVar mihmapsize;      // heightmap side
extern ConsoleVar mismapsize;      // nothing reads it
extern ConsoleVar mxrebuild;       // command: rebuild the land layers and the lightmap
extern ConsoleVar mxlayersreload;  // command: reload the land's texture layers
extern ConsoleVar mishadowsmooth;  // lightmap shadow smoothing
extern ConsoleVar mifogtexsize;    // side of the fog textures in texels
extern ConsoleVar mb_nightvision;  // whether the player may use night vision
extern ConsoleVar dblm;            // build the lightmap anew, ignoring its cached file
extern ConsoleVar dbhm;            // build the heightmap anew, ignoring its cached file
extern ConsoleVar rflodx;          // octree level-of-detail factor; nothing reads it
extern ConsoleVar rfloda;          // octree level-of-detail offset; nothing reads it

// The map load's reset, run before "mission.cfg": writes the load value of every variable that has
// one (and the shadow colour of the renderer) directly, not through the console. A vector or colour
// is written only while the variable still has that type.
void MapSettingsLoadReset();
// The end of a map load: the sun direction to unit length, and the sight factors derived from the
// view range, the fog start and the ambient light (map/trace/map_sight.h).
void MapSettingsFinishLoad();
