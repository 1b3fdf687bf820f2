// The settings of the lightmap and heightmap builders that map/map_cvars.h does not declare yet.
// Their program-start values; the map load gives them their load values.
#pragma once
#include "core/console_var.h"

extern ConsoleVar migisamples;     // occlusion rays per lightmap texel; 0 leaves occlusion out
extern ConsoleVar mfgiradius;      // length of an occlusion ray
extern ConsoleVar milmapsize;      // side of the lightmap in texels
extern ConsoleVar mihmapsize;      // side of the heightmap
extern ConsoleVar mishadowsmooth;  // smoothing passes over the lightmap's sun visibility
extern ConsoleVar dblm;            // debug: always build the lightmap, never load its cache
extern ConsoleVar dbhm;            // debug: always build the heightmap, never load its cache
