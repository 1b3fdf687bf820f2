// The map's console variables that the renderer reads.
#pragma once
#include "core/console_var.h"

extern ConsoleVar mfrange;       // view range; the far plane lies at mfrange x 10
extern ConsoleVar mffogstart;    // fog start; geometry beyond mffogstart x 10 lies in full fog
extern ConsoleVar mffogpow;      // exponent of the fog curve between the fog start and the view range
extern ConsoleVar mcfogcolor;    // the fog colour
extern ConsoleVar mflayerlod0;   // first layer level-of-detail distance of the landscape
extern ConsoleVar mvsundir;      // direction towards the sun (set, then normalised, by map load)
extern ConsoleVar mcmapambient;  // the map's ambient light colour
extern ConsoleVar mcmapdiffuse;  // the map's sun light colour
extern ConsoleVar mfwaterfog;    // distance over which water fogs up
extern ConsoleVar rflodx;        // octree level-of-detail factor; nothing reads it
extern ConsoleVar rfloda;        // octree level-of-detail offset; nothing reads it
