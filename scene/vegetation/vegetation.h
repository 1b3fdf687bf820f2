// Grass and small plants round the camera. Nothing is stored per plant: the ground in front of the
// camera is cut into square cells, and every visible cell is filled again each frame with blades
// (camera-facing quads) or small meshes whose places, sizes and images come from the engine's
// generator seeded by the cell and the layer, so a cell always shows the same plants. Densities
// come from the map's vegetation layers, the ground height from the heightmap, and the clip mask
// removes or thins plants cell by cell.
#pragma once
#include <cstddef>
#include <vector>

#include "core/types.h"
#include "platform/d3d8.h"
#include "scene/scene_cvars.h"

class HashTable;
struct MapGrid;
struct VegetationLayer;

constexpr int VEGETATION_JITTER_TABLES = 4;
constexpr int VEGETATION_JITTER_PAIRS = 32;
constexpr int VEGETATION_ATLAS_IMAGES = 16;
// One batch of blades: 1500 quads, 6000 vertices, 9000 indices.
constexpr u32_t VEGETATION_BATCH_QUADS = 1500;
constexpr u32_t VEGETATION_BATCH_VERTICES = 4 * VEGETATION_BATCH_QUADS;
constexpr u32_t VEGETATION_BATCH_INDICES = 6 * VEGETATION_BATCH_QUADS;
// A view triangle wider or deeper than this many cells (a console value far off its range) draws
// nothing rather than walking cells without end.
constexpr float VEGETATION_MAX_CELL_SPAN = 1024.0f;

// A pair of floats.
struct Vec2 {
    float x = 0.0f;
    float z = 0.0f;

    void Add(const Vec2& other, Vec2* out) const { *out = {x + other.x, z + other.z}; }
    void Sub(const Vec2& other, Vec2* out) const { *out = {x - other.x, z - other.z}; }
    void Scale(float f, Vec2* out) const { *out = {x * f, z * f}; }
    void DivideBy(float f)
    {
        const float inverse = 1.0f / f;
        x *= inverse;
        z *= inverse;
    }
};

// The per-frame and per-map state of the vegetation (the texture, jitter tables and top layer that
// init makes live in g_scene).
struct VegetationState {
    HashTable* cellTable = nullptr;  // 17 buckets, made by init
    bool prepared = false;           // the map values below were taken
    float groundBase = 0.0f;         // the map's lowest y
    float groundSpan = 0.0f;         // its highest y minus its lowest
    MapGrid* heightmap = nullptr;
    MapGrid* grid = nullptr;  // the map's vegetation grid (kept, not read by the draw)
    VegetationLayer* layers = nullptr;
    float windPhase[2] = {0.0f, 0.0f};
    int pass = 0;          // 0 blades, 1 meshes
    u32_t batchQuads = 0;  // in the open batch
    u32_t batchVertices = 0;
    IDirect3DBaseTexture8* batchTexture = nullptr;  // the texture the open batch's blades want
    float camera[3] = {0.0f, 0.0f, 0.0f};
    float yaw = 0.0f;                              // the view direction on the ground is (sin yaw, cos yaw)
    float fov = 0.0f;                              // horizontal, radians
    float atlas[VEGETATION_ATLAS_IMAGES][4] = {};  // uMin, vMin, uMax, vMax
};
extern VegetationState g_vegetation;

// Makes the cell table, finds the texture, fills the jitter tables from the engine's generator and
// chooses the top layer (device-buffer preparation).
void VegetationInit();
// Frees the cell table and its payloads and forgets the prepared map values (render shutdown,
// return to the menus).
void VegetationShutdown();
// Stores the camera; with "rbvegetation" on, draws the blades and the mesh plants of the frame. The
// engine's generator is left at the one value drawn at the start.
void VegetationRender(const float* position, float yaw, float fieldOfView);

// The view triangle in cell units: the camera and the two far corners at "ri_vegfar" ahead, half
// the field of view to either side.
void VegetationViewTriangle(const float* position, float yaw, float fieldOfView, Vec2 (&ring)[3]);
// The rows of the view triangle (cell units) and, per row, the first and last column the triangle
// touches within it. Rows are visited from the lowest up; a triangle that is not finite, or wider or
// deeper than VEGETATION_MAX_CELL_SPAN, visits nothing.
using VegetationRowVisitor = void (*)(s32_t row, s32_t firstColumn, s32_t lastColumn, void* context);
void VegetationRasterise(const Vec2 (&ring)[3], VegetationRowVisitor visit, void* context);

// A cell of the view triangle and its distance from the camera (cell units, squared).
struct VegetationCell {
    float distance;
    s32_t row, column;
};
// More cells than this (console values far off their range) are drawn row by row.
constexpr size_t VEGETATION_MAX_ORDERED_CELLS = 65536;
// The cells VegetationRasterise visits, nearest to the camera (the triangle's first corner) first;
// of equal distance the lower row, then the lower column. The blades are drawn in this order, so
// that those behind nearer ones fail the depth test before they are shaded. False, with no cells,
// when there are more than VEGETATION_MAX_ORDERED_CELLS.
bool VegetationCellsNearestFirst(const Vec2 (&ring)[3], std::vector<VegetationCell>& cells);

// The plant count of a cell at distance d whose layer value (0..255) is given, and the floor the
// size table counts from, with the current console values.
struct VegetationCellCount {
    s32_t count = 0;
    s32_t floor = 0;
};
VegetationCellCount VegetationCountAt(float layerValue, float distance);
// The size factor of plant k of c: sqrt((c - floor) / (maximum density - floor)) with the ratio held
// to 0..1, times min(1, k x 0.05). Always finite.
float VegetationSizeFactor(s32_t c, s32_t floor, s32_t k);
