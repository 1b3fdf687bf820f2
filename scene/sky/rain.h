// Rain: falling drop streaks in the 6 x 6 square cells of 40 units round the camera. Each cell makes
// its drops from its own generator, so a cell that comes back into range shows the same drops; the
// streaks face the camera and fade out with distance.
#pragma once
#include "core/types.h"
#include "platform/d3d8.h"

constexpr float RAIN_CELL_SIZE = 40.0f;
constexpr int RAIN_CELL_ROWS = 6;
constexpr int RAIN_CELL_COLUMNS = 6;
constexpr s32_t RAIN_DROPS_PER_CELL = 100;
constexpr float RAIN_FADE_DISTANCE = 150.0f;
constexpr float RAIN_FALL_SPEED = 100.0f;  // units a second
constexpr float RAIN_HEIGHT_STEP = 50.0f;
constexpr float RAIN_STREAK_HEIGHT = 5.0f;
constexpr float RAIN_STREAK_HALF_WIDTH = 0.3f;
constexpr u32_t RAIN_BATCH_VERTICES = 1500;  // 375 drops
constexpr u32_t RAIN_BATCH_INDICES = 2250;
constexpr int RAIN_TABLE_SIZE = 256;  // 16 x 16 cells, by row and column modulo 16

struct RainDrop {
    float x, y, z;
    float floor;  // -1.0
    D3DCOLOR colour;
    float distance;  // horizontal, to the camera
    float sideX, sideZ;
};

struct RainCell {
    s32_t count;
    s32_t capacity;
    u32_t generator;
    u32_t key;  // column in the low 16 bits, exclusive-or row shifted left by 16
    RainDrop* drops;
};

// Mission start: 256 empty cells, the texture "rain", the camera at the origin.
void RainInit();
// Mission leave: the cells and their drops are freed.
void RainShutdown();
// Draws the rain of one frame seen from the camera; the drops fall by the frame time.
void RainDraw(const float* camera, float frameTime);
// The pass of the outdoor list: RainDraw from the viewer with the game's frame time.
void RainPass();

// The cell of the table slot (tests); null before RainInit.
const RainCell* RainCellAt(int slot);
// The slot of (row, column) and the key it keeps there.
int RainCellSlot(s32_t row, s32_t column);
u32_t RainCellKey(s32_t row, s32_t column);
// The drops the cell of a centre that far from the camera wants.
s32_t RainWantedDrops(float distance);
// Batches drawn by the last RainDraw.
u32_t RainLastBatchCount();
