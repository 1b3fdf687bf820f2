// The map caches: staleness by whole seconds, the TGA grids read and written, and the heightmap
// built by tracing the land, written, read back and rebuilt.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "core/console/console.h"
#include "map/terrain/heightmap.h"
#include "map/map_cvars.h"
#include "map/terrain/map_caches.h"
#include "map/terrain/map_grid.h"
#include "support/files.h"
#include "support/vfs_fixture.h"
#include "tests/map/cache_land.h"

namespace {

namespace fs = std::filesystem;

// A 32-bit TGA of the given side whose pixel alphas, as stored in the file, count up from `first`.
std::string Tga(int side, u8_t first = 0, u8_t type = 2, u8_t bits = 32, int height = -1)
{
    std::string bytes(18, '\0');
    bytes[2] = static_cast<char>(type);
    bytes[12] = static_cast<char>(side);
    bytes[14] = static_cast<char>(height < 0 ? side : height);
    bytes[16] = static_cast<char>(bits);
    for (int i = 0; i < side * side; ++i)
        bytes += std::string{'\x10', '\x20', '\x30', static_cast<char>(first + i)};
    return bytes;
}

std::vector<u8_t> GridBytes(const MapGrid* grid)
{
    return grid ? std::vector<u8_t>(grid->data, grid->data + size_t(grid->size) * grid->size) : std::vector<u8_t>{};
}

class MapCacheStaleness : public TempDirTest {
protected:
    void TearDown() override
    {
        MapForceCacheRebuild(false);
        TempDirTest::TearDown();
    }
};

TEST_F(MapCacheStaleness, WholeSecondsDecideAndAMissingFileOrAForcedRebuildIsStale)
{
    // Whole seconds of the file clock from a fixed second.
    const auto second = std::chrono::floor<std::chrono::seconds>(fs::file_time_type::clock::now());
    const auto at = [&](int ms) { return second - std::chrono::seconds(100) + std::chrono::milliseconds(ms); };
    struct Case {
        const char* what;
        int sourceMs, cacheMs;
        bool stale;
    };
    const Case cases[] = {
        {"same time", 0, 0, false},
        {"source later within the same second", 900, 100, false},
        {"source one second later", 1000, 0, true},
        {"cache later", 0, 5000, false},
    };
    for (const Case& c : cases) {
        WriteFileBytes("land/mesh.lff", "m");
        WriteFileBytes("mission/lmap.dds", "c");
        fs::last_write_time("land/mesh.lff", at(c.sourceMs));
        fs::last_write_time("mission/lmap.dds", at(c.cacheMs));
        EXPECT_EQ(MapCacheIsStale("mission\\lmap.dds", "land\\mesh.lff"), c.stale) << c.what;
    }
    MapForceCacheRebuild(true);
    EXPECT_TRUE(MapCacheIsStale("mission\\lmap.dds", "land\\mesh.lff"));
    MapForceCacheRebuild(false);
    EXPECT_TRUE(MapCacheIsStale("mission\\missing.dds", "land\\mesh.lff"));
    EXPECT_TRUE(MapCacheIsStale("mission\\lmap.dds", "land\\missing.lff"));
    // Map data that lies only in the archives cannot date a cache on disk: the cache is taken,
    // unless the rebuild is forced; data on disk dates it as above.
    EXPECT_FALSE(MapDiskCacheIsStale("mission\\lmap.dds", "land\\missing.lff"));
    MapForceCacheRebuild(true);
    EXPECT_TRUE(MapDiskCacheIsStale("mission\\lmap.dds", "land\\missing.lff"));
    MapForceCacheRebuild(false);
    fs::last_write_time("land/mesh.lff", at(5000));
    fs::last_write_time("mission/lmap.dds", at(1000));
    EXPECT_TRUE(MapDiskCacheIsStale("mission\\lmap.dds", "land\\mesh.lff"));
}

// Only a square uncompressed 32-bit true-colour image without colour map gives a grid; its file
// rows are bottom-up.
TEST(MapGridTga, OnlySquareUncompressed32BitImagesAndFileRowsBottomUp)
{
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::string colourMapped = Tga(4);
    colourMapped[1] = 1;
    const Case refused[] = {
        {"24-bit", Tga(4, 0, 2, 24)},
        {"colour-mapped", colourMapped},
        {"run-length", Tga(4, 0, 10)},
        {"not square", Tga(4, 0, 2, 32, 2)},
    };
    for (const Case& c : refused)
        EXPECT_EQ(MapGridFromTga(c.bytes.data(), c.bytes.size()), nullptr) << c.what;

    const std::string good = Tga(4, 1);
    MapGrid* grid = MapGridFromTga(good.data(), good.size());
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->size, 4u);
    // Grid row 0 is the file's last row (alphas 13..16), grid row 3 its first (1..4).
    EXPECT_EQ(GridBytes(grid), (std::vector<u8_t>{13, 14, 15, 16, 9, 10, 11, 12, 5, 6, 7, 8, 1, 2, 3, 4}));
    MapGridFree(grid);
}

class MapGridFiles : public VfsTest {};

// Disk first, then the archives; what TgaWrite32 writes reads back row-flipped.
TEST_F(MapGridFiles, DiskBeforeArchiveAndWrittenImagesReadBack)
{
    ASSERT_TRUE(WriteFileBytes("land/both.tga", Tga(2, 50)));
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"land\\both.tga", Tga(2, 90)}, {"land\\packed.tga", Tga(2, 70)}}));
    ASSERT_TRUE(VFSInit());
    MapGrid* both = MapGridLoad("land\\both");
    MapGrid* packed = MapGridLoad("land\\packed");
    EXPECT_EQ(GridBytes(both), (std::vector<u8_t>{52, 53, 50, 51}));
    EXPECT_EQ(GridBytes(packed), (std::vector<u8_t>{72, 73, 70, 71}));
    EXPECT_EQ(MapGridLoad("land\\none"), nullptr);
    MapGridFree(both);
    MapGridFree(packed);

    const u8_t pixels[16] = {1, 1, 1, 10, 2, 2, 2, 20, 3, 3, 3, 30, 4, 4, 4, 40};
    ASSERT_TRUE(TgaWrite32(pixels, 2, "out\\written"));
    const std::string bytes = ReadFileBytes("out/written.tga");
    ASSERT_EQ(bytes.size(), 18u + 16u);
    EXPECT_EQ(bytes.substr(0, 18), std::string("\0\0\2\0\0\0\0\0\0\0\0\0\2\0\2\0\x20\x28", 18));
    EXPECT_EQ(bytes.substr(18), std::string(reinterpret_cast<const char*>(pixels), 16));
    MapGrid* back = MapGridLoadTga("out\\written");
    EXPECT_EQ(GridBytes(back), (std::vector<u8_t>{30, 40, 10, 20}));
    MapGridFree(back);
    EXPECT_FALSE(TgaWrite32(pixels, 2, "out\\written.tga\\inside"));  // a file stands where a folder should
}

// The land rises 0.2 per unit towards +x and 0.1 towards +z: from 5 to 35 over the -50..50 box.
float Slope(float x, float z)
{
    return 20.0f + 0.2f * x + 0.1f * z;
}

class Heightmap : public VfsTest {
protected:
    void SetUp() override
    {
        VfsTest::SetUp();
        ConStartup();
        cache_test::MakeLand(Slope, 5.0f, 35.0f);
        mihmapsize.SetInt(4);
        dbhm.SetBool(false);
    }
    void TearDown() override
    {
        MapFreeHeightmap();
        cache_test::ForgetLand();
        ConShutdown();
        VfsTest::TearDown();
    }

    static bool Built()
    {
        const char* const* lines = ConLines(0);
        for (int i = 0; lines && i < ConLineCapacity(0); ++i) {
            if (lines[i] && std::string(lines[i]).rfind("Building heightmap: ", 0) == 0)
                return true;
        }
        return false;
    }

    KeepVar m_side{mihmapsize};
    KeepVar m_debug{dbhm};
};

// Grid row j holds z = -50 + 25 j, column c holds x = -50 + 25 (c + 1); the written file reads
// back as the same grid. The sample on the land's corner (x = 50, z = -50) lies on two faces of the
// octree's box at once: the walk enters no leaf there, the second try aside lies outside the land,
// and the sample takes the map's min y.
TEST_F(Heightmap, BuiltFromTheLandWrittenAndReadBackRowFlipped)
{
    MapBuildHeightmap("hills");
    EXPECT_TRUE(Built());
    const MapGrid* grid = MapGetHeightmap();
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->size, 4u);
    for (int j = 0; j < 4; ++j) {
        for (int c = 0; c < 4; ++c) {
            const bool corner = j == 0 && c == 3;
            const float expected =
                corner ? 0.0f
                       : (Slope(-50.0f + 25.0f * float(c + 1), -50.0f + 25.0f * float(j)) - 5.0f) * 255.0f / 30.0f;
            EXPECT_NEAR(grid->data[j * 4 + c], std::floor(std::fmin(expected, 255.0f)), 1.0) << j << ", " << c;
        }
    }
    const std::string bytes = ReadFileBytes("component/land/hills_hmap.tga");
    ASSERT_EQ(bytes.size(), 18u + 4u * 16u);
    EXPECT_EQ(bytes.substr(0, 18), std::string("\0\0\2\0\0\0\0\0\0\0\0\0\4\0\4\0\x20\x28", 18));
    // Image row 0 is grid row 3, its first pixel grid column 0; all four channels alike.
    EXPECT_EQ(bytes.substr(18, 4), std::string(4, static_cast<char>(grid->data[12])));
    MapGrid* reread = MapGridLoadTga("component\\land\\hills_hmap");
    EXPECT_EQ(GridBytes(reread), GridBytes(grid));
    MapGridFree(reread);
}

// A file of side "mihmapsize" is used unless "dbhm" is set; any other side is rebuilt.
TEST_F(Heightmap, LoadedAtTheRightSideElseRebuilt)
{
    struct Case {
        const char* what;
        int side;
        bool debug;
        bool built;
        u32_t size;
    };
    const Case cases[] = {
        {"right side", 4, false, false, 4},
        {"other side", 8, false, true, 8},
        {"dbhm", 4, true, true, 4},
    };
    for (const Case& c : cases) {
        ConClear(0);
        ASSERT_TRUE(WriteFileBytes("component/land/hills_hmap.tga", Tga(4, 200)));
        mihmapsize.SetInt(c.side);
        dbhm.SetBool(c.debug);
        MapBuildHeightmap("hills");
        EXPECT_EQ(Built(), c.built) << c.what;
        ASSERT_NE(MapGetHeightmap(), nullptr) << c.what;
        EXPECT_EQ(MapGetHeightmap()->size, c.size) << c.what;
        // The stored alphas run 200.. upwards; the land reaches at most 255 x 30 / 30.
        EXPECT_EQ(MapGetHeightmap()->data[12] >= 200, !c.built) << c.what;
    }
}

// A land folder that takes no file keeps the built heightmap, as rereading would give it.
TEST_F(Heightmap, AnUnwritableFileKeepsTheBuiltGrid)
{
    MapBuildHeightmap("hills");
    const std::vector<u8_t> written = GridBytes(MapGetHeightmap());
    ASSERT_EQ(written.size(), 16u);
    fs::remove("component/land/hills_hmap.tga");
    fs::create_directories("component/land/hills_hmap.tga");  // where the file would go
    MapBuildHeightmap("hills");
    EXPECT_TRUE(fs::is_directory("component/land/hills_hmap.tga"));
    EXPECT_EQ(GridBytes(MapGetHeightmap()), written);
}

}  // namespace
