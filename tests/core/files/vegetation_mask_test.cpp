// The vegetation clip mask read from "vegclip.dat" files in a temporary folder: cells, shared and own
// bit blocks, point tests, the missing file, and damaged files whose bad cells come out clear.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/files/byte_io.h"
#include "core/console/console.h"
#include "core/files/vegetation_mask.h"
#include "core/winos.h"
#include "support/vfs_fixture.h"

namespace {

std::string U16(u16_t value)
{
    std::string bytes(2, '\0');
    StoreU16(reinterpret_cast<u8_t*>(bytes.data()), value);
    return bytes;
}

std::string U32(u32_t value)
{
    std::string bytes(4, '\0');
    StoreU32(reinterpret_cast<u8_t*>(bytes.data()), value);
    return bytes;
}

// Header, kind table, then the cells' data in cell order.
std::string MaskFile(u32_t side, u32_t keptWord, const std::vector<u8_t>& kinds, const std::string& data)
{
    return U32(side) + U32(keptWord) + std::string(kinds.begin(), kinds.end()) + data;
}

// A bit block of the side with the listed bits (row x side + column) set.
std::string Block(u16_t side, const std::vector<int>& setBits)
{
    std::string bits((side * side + 7) / 8, '\0');
    for (int bit : setBits)
        bits[bit / 8] = static_cast<char>(bits[bit / 8] | (1 << (bit % 8)));
    return U16(side) + bits;
}

std::vector<s32_t> KindsOf(const VegetationMask& mask, s32_t side)
{
    std::vector<s32_t> kinds;
    for (s32_t y = 0; y < side; ++y) {
        for (s32_t x = 0; x < side; ++x) {
            s32_t kind = -1;
            mask.GetBlock(x, y, &kind);
            kinds.push_back(kind);
        }
    }
    return kinds;
}

class VegetationMaskTest : public VfsTest {
protected:
    void TearDown() override
    {
        FreeVegetationMask();
        VfsTest::TearDown();
    }

    bool Load(const std::string& bytes)
    {
        if (!WriteFileBytes("maps/m1/vegclip.dat", bytes))
            return false;
        return mask.Load("maps\\m1\\vegclip.dat");
    }

    VegetationMask mask;
};

TEST_F(VegetationMaskTest, CellsOwnAndSharedBlocks)
{
    // 2 x 2: full, own block (bit 0), clear, shared block 0.
    ASSERT_TRUE(Load(MaskFile(2, 0xABCD1234u, {1, 2, 0, 3}, Block(2, {0}) + U16(0))));
    EXPECT_EQ(mask.cellsPerSide, 2u);
    EXPECT_EQ(mask.gridShift, 1u);
    EXPECT_EQ(mask.keptWord, 0xABCD1234u);
    EXPECT_EQ(mask.blockCount, 1u);
    EXPECT_EQ(KindsOf(mask, 2), (std::vector<s32_t>{VEG_KIND_FULL, VEG_KIND_MIXED, VEG_KIND_CLEAR, VEG_KIND_MIXED}));

    s32_t kind = -1;
    const VegetationMaskBlock* own = mask.GetBlock(1, 0, &kind);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->side, 2);
    EXPECT_EQ(own->shift, 1);
    // A shared cell naming block 0 is the first mixed cell's block itself.
    EXPECT_EQ(mask.GetBlock(1, 1, &kind), own);
    EXPECT_EQ(mask.GetBlock(0, 0, &kind), nullptr);
    EXPECT_NE(own->Test(0, 0), 0);
    EXPECT_EQ(own->Test(16384, 0), 0);
}

TEST_F(VegetationMaskTest, GridOf256CellsPlacesRowsByTheGridShift)
{
    std::vector<u8_t> kinds(256 * 256, 0);
    kinds[2 * 256 + 3] = 1;
    ASSERT_TRUE(Load(MaskFile(256, 0, kinds, "")));
    EXPECT_EQ(mask.gridShift, 8u);
    s32_t kind = -1;
    mask.GetBlock(3, 2, &kind);
    EXPECT_EQ(kind, VEG_KIND_FULL);
    mask.GetBlock(2, 3, &kind);
    EXPECT_EQ(kind, VEG_KIND_CLEAR);
}

TEST(VegetationMaskBlock, TestReadsTheBitOfTheRowAndColumn)
{
    struct Case {
        u16_t side;
        int setBit;
        u32_t u, v;
        bool expected;
    };
    const Case cases[] = {
        {16, 15, 32767, 0, true},  // column 15 of row 0: byte 1, bit 7
        {16, 15, 0, 0, false},
        {16, 15, 32767, 2048, false},  // row 1
        {16, 16 + 15, 32767, 2048, true},
        {16, 15, 30720, 2047, true},    // 30720 >> 11 = 15, 2047 >> 11 = 0
        {16, 255, 40000, 99999, true},  // past 32767 counts as 32767: the last bit
        {1, 0, 32767, 32767, true},     // a one-point block: shift 0
        {3, 3, 0, 16384, true},         // side 3: shift 1, row 1 starts at bit 3
    };
    for (const Case& c : cases) {
        std::string block = Block(c.side, {c.setBit});
        VegetationMaskBlock tested;
        tested.side = c.side;
        tested.shift = static_cast<u8_t>(VegShiftOf(c.side));
        tested.bits = reinterpret_cast<u8_t*>(block.data() + 2);
        EXPECT_EQ(tested.Test(c.u, c.v) != 0, c.expected)
            << "side " << c.side << " bit " << c.setBit << " u " << c.u << " v " << c.v;
    }
    EXPECT_EQ(VegShiftOf(16), 4u);
    EXPECT_EQ(VegShiftOf(1), 0u);
}

TEST_F(VegetationMaskTest, MissingFileLeavesAnEmptyMaskAndSaysSo)
{
    ConStartup();
    LoadVegetationMask("maps\\none\\vegclip.dat");
    ASSERT_NE(g_program.vegetationMask, nullptr);
    s32_t kind = -1;
    EXPECT_EQ(g_program.vegetationMask->GetBlock(0, 0, &kind), nullptr);
    EXPECT_EQ(kind, VEG_KIND_CLEAR);
    const char* newest = ConLines(0)[ConLineCapacity(0) - 1];
    ASSERT_NE(newest, nullptr);
    EXPECT_STREQ(newest, "\x0E\x02Missing vegmask 'maps\\none\\vegclip.dat'!\n");
    FreeVegetationMask();
    EXPECT_EQ(g_program.vegetationMask, nullptr);
    ConShutdown();
}

struct DamagedCase {
    const char* what;
    std::string bytes;
    std::vector<s32_t> kinds;  // by cell, row after row; empty: nothing loaded
};

void PrintTo(const DamagedCase& damaged, std::ostream* out)
{
    *out << damaged.what;
}

class VegetationMaskRobustness : public VegetationMaskTest, public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(VegetationMaskRobustness, BadCellsAreClear)
{
    const DamagedCase& damaged = GetParam();
    const bool loaded = Load(damaged.bytes);
    EXPECT_EQ(loaded, !damaged.kinds.empty());
    if (damaged.kinds.empty()) {
        EXPECT_EQ(mask.cells, nullptr);
        return;
    }
    const s32_t side = static_cast<s32_t>(mask.cellsPerSide);
    EXPECT_EQ(KindsOf(mask, side), damaged.kinds);
    // Outside the grid everything is clear.
    for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {side, 0}, {0, side}}) {
        s32_t kind = -1;
        EXPECT_EQ(mask.GetBlock(x, y, &kind), nullptr);
        EXPECT_EQ(kind, VEG_KIND_CLEAR);
    }
}

constexpr s32_t C = VEG_KIND_CLEAR, F = VEG_KIND_FULL, M = VEG_KIND_MIXED;

INSTANTIATE_TEST_SUITE_P(
    Files, VegetationMaskRobustness,
    ::testing::Values(
        DamagedCase{"UnknownKind", MaskFile(2, 0, {7, 1, 2, 0}, Block(2, {1})), {C, F, M, C}},
        DamagedCase{
            "SharedNumberPastTheBlocks", MaskFile(2, 0, {2, 3, 3, 1}, Block(2, {}) + U16(1) + U16(0)), {M, C, M, F}},
        DamagedCase{
            "SideZeroKeepsTheDataInStep", MaskFile(2, 0, {2, 2, 3, 1}, U16(0) + Block(2, {}) + U16(1)), {C, M, M, F}},
        DamagedCase{
            "SharedNumberOfAnUnreadBlock", MaskFile(2, 0, {2, 3, 2, 0}, U16(0) + U16(0) + Block(1, {0})), {C, C, M, C}},
        DamagedCase{"BitsCutShort", MaskFile(2, 0, {2, 1, 2, 3}, Block(16, {}).substr(0, 10)), {C, F, C, C}},
        DamagedCase{"DataMissing", MaskFile(2, 0, {1, 2, 3, 0}, ""), {F, C, C, C}},
        DamagedCase{"GridNotAPowerOfTwo", MaskFile(3, 0, {0, 0, 0, 0, 0, 1, 0, 0, 0}, ""), {C, C, C, C, C, F, C, C, C}},
        DamagedCase{"KindTableCutShort", MaskFile(4, 0, {1, 1, 1}, ""), {}},
        DamagedCase{"GridSideZero", MaskFile(0, 0, {}, ""), {}},
        DamagedCase{"GridSideOverflowingTheCellCount", MaskFile(65536, 0, {1, 1, 1, 1}, ""), {}},
        DamagedCase{"HeaderCutShort", U32(2).substr(0, 3), {}}, DamagedCase{"EmptyFile", "", {}}),
    [](const ::testing::TestParamInfo<DamagedCase>& testInfo) { return std::string(testInfo.param.what); });

class VegetationMaskTruncationRobustness : public VegetationMaskTest {};

TEST_F(VegetationMaskTruncationRobustness, EveryTruncationLoadsWithoutReadingPastTheData)
{
    const std::string whole = MaskFile(
        4, 9, {2, 3, 1, 0, 2, 2, 3, 0, 1, 1, 0, 2, 3, 3, 0, 1},
        Block(8, {0, 63}) + U16(0) + Block(4, {5}) + Block(2, {3}) + U16(1) + Block(16, {255}) + U16(3) + U16(2));
    for (size_t length = 0; length <= whole.size(); ++length) {
        Load(whole.substr(0, length));
        for (s32_t y = 0; y < 4; ++y) {
            for (s32_t x = 0; x < 4; ++x) {
                s32_t kind = -1;
                if (const VegetationMaskBlock* block = mask.GetBlock(x, y, &kind))
                    block->Test(32767, 32767);
            }
        }
    }
    // The whole file: four blocks, and the cell in column 1 of row 3 shares the block of column 1, row 1.
    ASSERT_EQ(mask.blockCount, 4u);
    ASSERT_NE(mask.GetBlock(1, 1, nullptr), nullptr);
    EXPECT_EQ(mask.GetBlock(1, 3, nullptr), mask.GetBlock(1, 1, nullptr));
}

}  // namespace
