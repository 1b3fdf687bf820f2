// Loading and asking the vegetation clip mask. Every size and number read from the file is checked
// against what remains and against the grid: a cell whose data is out of range is clear.
#include "core/files/vegetation_mask.h"

#include <cstring>
#include <new>

#include "core/files/byte_io.h"
#include "core/strings/colour_codes.h"
#include "core/console/console.h"
#include "core/files/vfs.h"
#include "core/winos.h"

namespace {

constexpr u32_t kFractionBits = 15;
constexpr u32_t kLargestFraction = (1u << kFractionBits) - 1;

// The whole file through the virtual file system; false when it cannot be opened or read.
bool ReadWholeFile(const char* path, u8_t*& data, u32_t& size)
{
    data = nullptr;
    size = 0;
    if (!VFSOpenFile(path, true))
        return false;
    size = VFSGetFileSize();
    bool read = true;
    if (size > 0) {
        data = new (std::nothrow) u8_t[size];
        // Disk files report the bytes read, archive entries 1 when all were read.
        const int result = data ? VFSReadFile(data, size) : 0;
        read = result == 1 || (result > 0 && static_cast<u32_t>(result) == size);
    }
    VFSCloseFile();
    if (!read) {
        delete[] data;
        data = nullptr;
        size = 0;
    }
    return read;
}

// A block's side and bits. False when its side is 0 (nothing to test) or its bits run past the
// data; the reader then stays failed and no later block is read.
bool ReadBlock(ByteReader& reader, VegetationMaskBlock& block)
{
    u16_t side = 0;
    if (!reader.ReadU16(side) || side == 0)
        return false;
    const size_t byteCount = (static_cast<size_t>(side) * side + 7) / 8;
    if (!reader.Need(byteCount))
        return false;
    block.bits = new u8_t[byteCount];
    reader.ReadBytes(block.bits, byteCount);
    block.side = side;
    block.shift = static_cast<u8_t>(VegShiftOf(side));
    return true;
}

}  // namespace

u32_t VegShiftOf(u32_t value)
{
    u32_t shift = 0;
    while (value >= 2) {
        value >>= 1;
        ++shift;
    }
    return shift;
}

int VegetationMaskBlock::Test(u32_t u, u32_t v) const
{
    if (!bits)
        return 0;
    // A side of at most 65535 gives a shift of at most 15; column and row stay below the side.
    const u32_t column = (u > kLargestFraction ? kLargestFraction : u) >> (kFractionBits - shift);
    const u32_t row = (v > kLargestFraction ? kLargestFraction : v) >> (kFractionBits - shift);
    const u32_t bit = row * side + column;
    return bits[bit >> 3] & (1u << (bit & 7));
}

bool VegetationMask::Load(const char* path)
{
    Free();
    u8_t* data = nullptr;
    u32_t size = 0;
    if (!ReadWholeFile(path, data, size)) {
        ConPrint(0, ERROR_COLOUR "Missing vegmask '%s'!\n", path);
        return false;
    }
    ByteReader reader(data, size);
    u32_t side = 0;
    u32_t word = 0;
    reader.ReadU32(side);
    reader.ReadU32(word);
    const size_t cellCount = static_cast<size_t>(side) * side;
    if (!reader.Ok() || side == 0 || cellCount > reader.Remaining()) {
        ConPrint(0, "WARNING: Damaged vegmask '%s'\n", path);
        delete[] data;
        return false;
    }
    const u8_t* kinds = reader.Cursor();
    reader.Skip(cellCount);

    u32_t mixedCells = 0;
    for (size_t i = 0; i < cellCount; ++i)
        mixedCells += kinds[i] == VEG_KIND_MIXED;
    blockCount = mixedCells < VEG_MAX_BLOCKS ? mixedCells : VEG_MAX_BLOCKS;
    cells = new u16_t[cellCount];
    blocks = new VegetationMaskBlock[blockCount];
    cellsPerSide = side;
    keptWord = word;
    gridShift = VegShiftOf(side);

    bool damaged = false;
    u32_t nextBlock = 0;
    for (size_t i = 0; i < cellCount; ++i) {
        u16_t cell = VEG_CELL_CLEAR;
        switch (kinds[i]) {
            case VEG_KIND_CLEAR:
                break;
            case VEG_KIND_FULL:
                cell = VEG_CELL_FULL;
                break;
            case VEG_KIND_MIXED: {
                // Every mixed cell takes the next number, even when its block cannot be kept.
                const u32_t number = nextBlock++;
                VegetationMaskBlock block;
                const bool read = ReadBlock(reader, block);
                if (read && number < blockCount) {
                    blocks[number] = block;
                    cell = static_cast<u16_t>(number);
                } else {
                    delete[] block.bits;
                    damaged = true;
                }
                break;
            }
            case VEG_KIND_SHARED: {
                u16_t number = 0;
                if (reader.ReadU16(number) && number < blockCount)
                    cell = number;
                else
                    damaged = true;
                break;
            }
            default:
                damaged = true;
                break;
        }
        cells[i] = cell;
    }
    delete[] data;
    if (damaged)
        ConPrint(0, "WARNING: Damaged vegmask '%s'\n", path);
    return true;
}

void VegetationMask::Free()
{
    for (u32_t i = 0; i < blockCount; ++i)
        delete[] blocks[i].bits;
    delete[] blocks;
    delete[] cells;
    blocks = nullptr;
    cells = nullptr;
    blockCount = 0;
    cellsPerSide = 0;
    keptWord = 0;
    gridShift = 0;
}

const VegetationMaskBlock* VegetationMask::GetBlock(s32_t x, s32_t y, s32_t* kind) const
{
    if (kind)
        *kind = VEG_KIND_CLEAR;
    if (!cells || x < 0 || y < 0 || static_cast<u32_t>(x) >= cellsPerSide || static_cast<u32_t>(y) >= cellsPerSide)
        return nullptr;
    // y * N + x: the same place as (y << log2 N) + x for a power of two, and inside the table for any N.
    const u16_t cell = cells[static_cast<size_t>(y) * cellsPerSide + static_cast<size_t>(x)];
    if (cell == VEG_CELL_FULL) {
        if (kind)
            *kind = VEG_KIND_FULL;
        return nullptr;
    }
    // A shared cell may name a block whose own cell could not be read: clear.
    if (cell >= blockCount || !blocks[cell].bits)
        return nullptr;
    if (kind)
        *kind = VEG_KIND_MIXED;
    return &blocks[cell];
}

void LoadVegetationMask(const char* path)
{
    FreeVegetationMask();
    g_program.vegetationMask = new VegetationMask();
    g_program.vegetationMask->Load(path);
}

void FreeVegetationMask()
{
    delete g_program.vegetationMask;
    g_program.vegetationMask = nullptr;
}
