// Cutting a triangle with texture coordinates to a map triangle: wire shadows are cut to the ground
// triangles by the one prism clipper of map/polygon_clip.h.
#pragma once
#include "map/polygon_clip.h"
