// The console variables of the world object model.
#pragma once
#include "core/console_var.h"

// Off: decals never expire and stay opaque. On: owners remove a decal once its lifetime is over,
// and it fades out over its last 900 ms.
extern ConsoleVar rbremovedecals;
// Objects smaller than this on screen may be left out by the world rendering.
extern ConsoleVar rfhidesize;
// On: nodes whose level-of-detail mesh lists are built are drawn through those lists.
extern ConsoleVar rbrs;
