// The vegetation clip mask of a map ("vegclip.dat"): a square grid of cells over the land, each
// clear, full, or mixed with a square bit pattern saying point by point where plants are clipped.
// One global mask at a time; the land loader loads it and frees it with the map.
#pragma once
#include "core/types.h"

constexpr u16_t VEG_CELL_CLEAR = 0xFFFF;
constexpr u16_t VEG_CELL_FULL = 0xFFFE;
// Block numbers stop below the two cell markers.
constexpr u32_t VEG_MAX_BLOCKS = VEG_CELL_FULL;

enum VegCellKind : s32_t {
    VEG_KIND_CLEAR = 0,
    VEG_KIND_FULL = 1,
    VEG_KIND_MIXED = 2,
    VEG_KIND_SHARED = 3,  // in the file only: a mixed cell naming an earlier cell's block
};

// A mixed cell's bits: side S points a side, shift log2 S; bit n = row x S + column is bit n mod 8
// of byte n / 8. A block that could not be read has no bits.
struct VegetationMaskBlock {
    u16_t side = 0;
    u8_t shift = 0;
    u8_t* bits = nullptr;

    // u and v: the point's place inside the cell as 15-bit fractions (0 to 32767; larger values
    // count as 32767). Nonzero when the point's bit is set.
    int Test(u32_t u, u32_t v) const;
};

class VegetationMask {
public:
    VegetationMask() = default;
    ~VegetationMask() { Free(); }
    VegetationMask(const VegetationMask&) = delete;
    VegetationMask& operator=(const VegetationMask&) = delete;

    // Reads the file through the virtual file system. A missing file prints "Missing vegmask '%s'!"
    // in red on console 0 and leaves the mask empty. Damaged data never reads past the file: a kind,
    // block size or block number out of range makes that cell clear. False when nothing was read.
    bool Load(const char* path);
    void Free();
    // The cell in column x of row y: its kind (clear, full or mixed) and, for a mixed cell, its block.
    // Cells outside the grid, and every cell of an empty mask, are clear.
    const VegetationMaskBlock* GetBlock(s32_t x, s32_t y, s32_t* kind) const;

    u16_t* cells = nullptr;  // N x N: VEG_CELL_CLEAR, VEG_CELL_FULL or a block number
    VegetationMaskBlock* blocks = nullptr;
    u32_t blockCount = 0;
    u32_t cellsPerSide = 0;  // N
    u32_t keptWord = 0;      // the header's second word, kept as it is
    u32_t gridShift = 0;     // log2 N
};

// The number of times the value can be halved before it falls below 2 (log2 of a power of two).
u32_t VegShiftOf(u32_t value);

// Replaces the global mask (g_program.vegetationMask, core/winos.h) by a new one loaded from the path
// (empty when the file is missing).
void LoadVegetationMask(const char* path);
void FreeVegetationMask();
