// Plants: small textured shapes (two crossed upright quads, or one flat quad on a surface) that are
// gathered into one open batch in the streaming buffers and drawn in one call per 200 vertices.
// While a batch is open (rtm_plant_rendering) the streaming buffers stay locked, so every other
// renderer that draws from draw records flushes the batch before it changes render states.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

struct DrawRecord;

constexpr u32_t PlantBatchMaxVertices = 200;
constexpr u32_t PlantBatchMaxIndices = 3 * PlantBatchMaxVertices;

enum PlantShape : u16_t {
    PLANT_SHAPE_CROSSED = 0,  // two crossed upright quads: 10 vertices, 24 indices
    PLANT_SHAPE_FLAT = 1,     // one flat quad lying on a surface: 4 vertices, 6 indices
};
constexpr u32_t PLANT_SHAPE_COUNT = 2;
constexpr u32_t PLANT_DIRECTIONS = 24;  // direction k is k x 15 degrees

struct PlantShapeSize {
    u32_t vertices;
    u32_t indices;
};
extern const PlantShapeSize PlantShapeSizes[PLANT_SHAPE_COUNT];

// The plant of a kind-1 draw record, kept in the record's kind fields.
struct PlantRecordFields {
    float base[3];    // the foot of the plant, world coordinates
    float halfWidth;  // ten times this is the half width
    float height;     // ten times this is the height (crossed plants)
    u32_t image;      // bits 0-1 column, bits 2-3 row of the 4 x 4 images of the plant texture
    D3DCOLOR colour;  // of every vertex, alpha included
    u32_t shapeWord;  // bits 0-15 the shape, bits 16-23 the direction k (0..23)
    float normal[3];  // the surface under a flat plant; need not be of unit length
    float swayPhase;  // crossed plants
};

PlantRecordFields PlantRecordGet(const DrawRecord* record);
void PlantRecordSet(DrawRecord* record, const PlantRecordFields& fields);

// True from PlantBatchBegin until PlantBatchFlush.
extern bool rtm_plant_rendering;

// Opens plant drawing: identity world matrix, the plant states and texture, the coloured streaming
// buffer locked for one batch. Stops the program when plant drawing is already open.
void PlantBatchBegin();
// Unlocks and draws the open batch when it holds vertices and indices (the counts stay).
void PlantBatchDraw();
// Ends plant drawing when it is open: draws the pending batch and sets clockwise culling back.
// Does nothing otherwise; any renderer may call it at any time.
void PlantBatchFlush();
// Vertices and indices written into the open batch.
u32_t PlantBatchVertexCount();
u32_t PlantBatchIndexCount();

// The plant replay's renderer of kind-1 records: appends the record's plant to the batch, opening
// plant drawing when needed. A shape other than 0 and 1 adds nothing.
void PlantRecordDraw(DrawRecord* record);
// The kind-5 step of the first replay: flushes the plant batch.
void DrawRecordFlushPlants(DrawRecord* record);

// Registers the record renderers of this module with the replays: kind 0 (MeshRecordDraw), kind 1
// (PlantRecordDraw) and the kind-5 step. Called at render start-up; calling again is harmless.
void PlantRenderersRegister();
