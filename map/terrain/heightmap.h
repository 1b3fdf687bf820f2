// The land's heightmap: a square byte grid of the land's height seen from above, cached as the
// TGA image "component\land\" + land name + "_hmap.tga".
#pragma once

struct MapGrid;

// Loads the heightmap of the land (from disk, else through the virtual file system), unless the
// debug switch "dbhm" is set; builds it by tracing the map straight down when there is none of side
// "mihmapsize", and writes it. A heightmap that cannot be written is kept all the same, laid out
// as reading the file back would give it. Any earlier heightmap is freed first.
void MapBuildHeightmap(const char* landName);
// The heightmap grid; null without one. Grid row j holds the samples at z = -halfZ + j x stepZ,
// column c the one at x = -halfX + (c + 1) x stepX (the box's half sizes and steps of side "mihmapsize").
MapGrid* MapGetHeightmap();
// Frees the heightmap (map unload).
void MapFreeHeightmap();
