// Makes a complete small map from a plain description: a square land centred on the origin (a
// height grid given row by row, read from a PGM image or generated from a seed), box and Wavefront
// OBJ meshes with their names and textures, optionally water, texture layers and roads. Writes the
// map mesh file "component\land\<land>.lff", the land's section of "script\land.scr", the water mask
// and the layers' alpha maps (TGA), and a mission folder "mission\<mission>\" with "mission.def"
// (key "land"), "mission.cfg", the vegetation clip mask "vegclip.dat" (every cell full: the layers
// alone place the plants) and, with roads, "mission.rds" (and "script\roads.scr").
//
// Description lines (words separated by blanks, '#' starts a comment):
//   land <name>                       the land's name (default "land")
//   mission <name>                    writes the mission folder
//   size <side>                       the land's side in world units (default 1000)
//   grid <n>                          vertices along each side (default 33); n x n must not exceed 65536
//   heights flat <h>                  every vertex at height h (the default, 0)
//   heights seed <seed> <amplitude>   rolling hills generated from the seed
//   heights pgm <file> <scale>        a PGM image (P2 or P5) of n x n pixels, value / maxval x scale
//   heights rows                      followed by n lines of n heights, the first line at min z
//   box <name> <texture> <x0> <y0> <z0> <x1> <y1> <z1>
//   obj <name> <texture> <file> [<dx> <dy> <dz>]
//   water <height>                    a water layer at the height with its mask (land below it)
//   mirror <sx> <sy> <sz> / rotate <degrees>   written into the land section as given
//   layer <texture> <alpha> <var> [above <height>]
//                                     a texture layer of the land's "layer" section, with its alpha
//                                     map "<alpha>.tga": 255 where the land is at or above the
//                                     height (everywhere without one)
//   road <key> <texture> <width> <x> <z> <x> <z> ...
//                                     a road along the points, lying on the land, written to the
//                                     mission's "mission.rds"; "script\roads.scr" names its texture
//   veg <slot> <map> <density> <low> <high> <texture> <radius> <min> <max> bb <width> <height> [<image> ...]
//   veg <slot> <map> <density> <low> <high> <texture> <radius> <min> <max> anim <scale> <mesh> ...
//                                     a vegetation layer (slot 0 to 31): the land section's line
//                                     "sveg<slot>" with the density map "<map>.tga" and the rest as
//                                     given; the map holds the density (0 to 255) where the land
//                                     height lies between low and high, 0 elsewhere
//   line <text>                       a line of the land section, written as given (";" added)
//   config <text>                     a line added to the mission's "mission.cfg"
//   define <text>                     a line added to the mission's "mission.def" after its "land"
// Mesh names beginning "col_" make collision meshes (the engine reads the prefix). Every face is
// written as the game draws its front faces: counter-clockwise as seen from the front (the game
// culls clockwise faces), so the land faces up and boxes and OBJ meshes face out.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct MapAuthorVertex {
    float position[3];
    float uv[2];
    float normal[3];
};

struct MapAuthorMesh {
    std::string name;
    std::string texture;  // empty: no "texture" entry
    std::vector<MapAuthorVertex> vertices;
    std::vector<std::array<std::uint16_t, 3>> faces;
};

struct MapAuthorLayer {
    std::string texture;
    std::string alpha;
    float var = 0.0f;
    bool above = false;  // the alpha map covers only the land at or above the height
    float height = 0.0f;
};

struct MapAuthorVegetation {
    int slot = 0;
    std::string map;  // the density map's name, without ".tga"
    int density = 255;
    float low = 0.0f, high = 0.0f;
    std::string rest;  // the "sveg" line's words after the map, as given
};

struct MapAuthorRoad {
    std::string key;      // the texture key of the road type "DEFAULT"
    std::string texture;  // under "component\_common\"
    float width = 10.0f;
    float lift = 0.3f;                         // above the land surface
    std::vector<std::array<float, 2>> points;  // x, z
};

struct MapAuthorPlan {
    std::string land = "land";
    std::string mission;  // empty: no mission folder
    float size = 1000.0f;
    int grid = 33;
    std::vector<float> heights;  // grid x grid, row j at z index j, column i at x index i
    std::vector<MapAuthorMesh> meshes;
    bool water = false;
    float waterHeight = 0.0f;
    int waterMaskSize = 64;
    std::string mirror;  // the land section's "mirror" values as written, empty for none
    std::string rotate;
    std::vector<MapAuthorLayer> layers;
    std::vector<MapAuthorRoad> roads;
    std::vector<MapAuthorVegetation> vegetation;
    std::vector<std::string> landLines;    // further land section lines, as given
    std::vector<std::string> configLines;  // further "mission.cfg" lines
    std::vector<std::string> defineLines;  // further "mission.def" lines
};

// The most vertices one land holds: faces index them with 16 bits.
constexpr int MAP_AUTHOR_MAX_VERTICES = 65536;

// Reads a description; files it names are relative to baseFolder. False with a message on error.
bool MapAuthorParse(const std::string& text, const std::string& baseFolder, MapAuthorPlan& plan, std::string& error);
// Heights: all h; rolling hills from a seed; from a PGM file's bytes.
void MapAuthorFlatHeights(MapAuthorPlan& plan, float height);
void MapAuthorSeededHeights(MapAuthorPlan& plan, std::uint32_t seed, float amplitude);
bool MapAuthorPgmHeights(MapAuthorPlan& plan, const std::string& bytes, float scale, std::string& error);
// A box as 24 vertices (flat normals) and 12 faces.
MapAuthorMesh MapAuthorBox(const std::string& name, const std::string& texture, const float* low, const float* high);
// A Wavefront OBJ text (v, vt, f with polygons fanned into triangles; normals from the faces),
// moved by offset. False with a message when it does not fit 16-bit indices or a face is broken.
bool MapAuthorObj(const std::string& name, const std::string& texture, const std::string& text, const float* offset,
                  MapAuthorMesh& mesh, std::string& error);
// The land as a mesh: vertices on the grid with normals from the heights, two faces per cell.
bool MapAuthorLandMesh(const MapAuthorPlan& plan, MapAuthorMesh& land, std::string& error);
// The height of the land surface at (x, z), interpolated over the cell's two faces as they are cut.
float MapAuthorLandHeight(const MapAuthorPlan& plan, float x, float z);

// Writes the ".lff" file alone.
bool MapAuthorWriteLff(const MapAuthorPlan& plan, const std::string& path, std::string& error);
// Writes the whole map under the folder (the game's working folder layout).
bool MapAuthorWrite(const MapAuthorPlan& plan, const std::string& folder, std::string& error);
