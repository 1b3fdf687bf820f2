// The console variables of the world object model.
#pragma once
#include "core/console/console_var.h"

// On: graphic-object nodes whose level-of-detail mesh lists are built are drawn through those lists.
extern ConsoleVar rbrs;

// Off: decals never expire and stay opaque. On: owners remove a decal once its lifetime is over,
// and it fades out over its last 900 ms.
extern ConsoleVar rbremovedecals;
// Objects whose box radius is smaller than 1 / rfhidesize of their distance scaled to the view are
// left out of the view's object list.
extern ConsoleVar rfhidesize;

// The map's settings that the object model reads (registered with the map's variables, map/map_cvars.h).
extern ConsoleVar mcfogcolor;  // the fog colour
extern ConsoleVar mffogpow;    // exponent of the fog curve between the fog start and the view range
extern ConsoleVar mvwinddir;   // wind direction: tree sway and plants
