// The occluder lists: built from a small octree and written to "map.ocl", read back on the next
// load, rebuilt for another grid, another octree or a damaged file, and left alone when disabled.
#include <gtest/gtest.h>

#include <filesystem>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "core/console/console.h"
#include "core/winos.h"
#include "render/draw2d/debug_primitives.h"
#include "map/map_cvars.h"
#include "map/land_maps/occluders.h"
#include "map/octree/octree.h"
#include "support/map_octree_support.h"
#include "support/vfs_fixture.h"
#include "tests/map/map_setting.h"

namespace {

using map_test::ScopedSetting;
using Bytes = std::vector<unsigned char>;
using Lists = std::vector<std::vector<u16_t>>;

constexpr const char* kMission = "mission\\m1";
constexpr const char* kFile = "mission/m1/map.ocl";

class OccluderTest : public VfsTest {
protected:
    void SetUp() override
    {
        VfsTest::SetUp();
        ConStartup();
    }
    void TearDown() override
    {
        OccludersFree();
        OctreeDestroy();
        ConShutdown();
        VfsTest::TearDown();
    }

    // A map of 80 units on each side split once: the four lower leaves hold a flat grid just below
    // the middle, the four upper ones nothing.
    static void SplitMap()
    {
        OctreeNode* root = OctreeCreateRoot({-40, -40, -40}, {40, 40, 40});
        root->CreateChildren();
        for (OctreeNode* child : root->children) {
            if (child->boxMin.y < 0.0f)
                map_test::FillGrid(child->geometry, child->boxMin.x, child->boxMax.x, child->boxMin.z, child->boxMax.z,
                                   -1.0f, 2, 2);
        }
    }

    static Lists GridLists()
    {
        u32_t resolution = 0;
        u16_t** grid = nullptr;
        MapGetOccluderGrid(&resolution, &grid);
        Lists lists;
        for (u32_t i = 0; grid && i < resolution * resolution * OCCLUDER_TILE_LISTS; ++i) {
            lists.emplace_back();
            for (const u16_t* entry = grid[i]; *entry != OCCLUDER_LIST_END; ++entry)
                lists.back().push_back(*entry);
        }
        return lists;
    }

    static Bytes FileBytes()
    {
        std::ifstream in(kFile, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    static void WriteFile(const Bytes& bytes)
    {
        std::ofstream out(kFile, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    static int LinesStartingWith(const std::string& start)
    {
        int found = 0;
        char** lines = ConLines(0);
        for (int i = 0; lines && i < ConLineCapacity(0); ++i)
            found += lines[i] && std::string(lines[i]).rfind(start, 0) == 0 ? 1 : 0;
        return found;
    }
    static void ClearConsole()
    {
        ConShutdown();
        ConStartup();
    }
};

TEST_F(OccluderTest, DisabledByAZeroGridOrEditorModeTouchesNoFile)
{
    SplitMap();
    ScopedSetting resolution("mioccres", CVAR_INT, "0");
    OccludersLoadOrBuild(kMission, "land\\l1");
    EXPECT_EQ(LinesStartingWith("\x0E\x02Warning: occluders disabled"), 1);
    u32_t r = 7;
    u16_t** grid = reinterpret_cast<u16_t**>(1);
    MapGetOccluderGrid(&r, &grid);
    EXPECT_EQ(r, 0u);
    EXPECT_EQ(grid, nullptr);
    EXPECT_FALSE(std::filesystem::exists("mission"));

    resolution.Set("4");
    const u8_t editor = g_program.editorMode;
    g_program.editorMode = 1;
    OccludersLoadOrBuild(kMission, "land\\l1");
    g_program.editorMode = editor;
    EXPECT_EQ(LinesStartingWith("\x0E\x02Warning: occluders disabled"), 2);
    EXPECT_FALSE(std::filesystem::exists("mission"));
}

TEST_F(OccluderTest, BuildsWritesAndReadsBack)
{
    SplitMap();
    ScopedSetting resolution("mioccres", CVAR_INT, "4");
    ScopedSetting range("mfrange", CVAR_FLOAT, "3.0");
    OccludersLoadOrBuild(kMission, "land\\l1");
    EXPECT_EQ(LinesStartingWith("Building occluders: 'mission\\m1\\map.ocl'"), 1);
    const Lists built = GridLists();
    ASSERT_EQ(built.size(), 4u * 4u * 25u);

    u32_t leafCount = 0;
    OctreeNode* const* leaves = OccludersGetLeaves(&leafCount);
    ASSERT_EQ(leafCount, 8u);
    // The leaf walk takes child 7 first.
    EXPECT_EQ(leaves[0], OctreeGetRoot()->children[7]);
    size_t entries = 0, empty = 0;
    for (const auto& list : built) {
        entries += list.size();
        empty += list.empty() ? 1 : 0;
        for (u16_t index : list) {
            ASSERT_LT(index, leafCount);
            EXPECT_GT(leaves[index]->geometry.vertexCount, 0u) << "a leaf without vertices is listed";
        }
    }
    EXPECT_GT(entries, 0u);
    EXPECT_GT(empty, 0u);  // far tiles lie out of reach
    // Each cell sees its own tile's ground from 80 above it.
    EXPECT_FALSE(built[OccluderTileList(0, 0)].empty());

    const Bytes file = FileBytes();
    ASSERT_EQ(file.size(), 8 + 2 * built.size() + 2 * entries);
    EXPECT_EQ(file[0], 8);
    EXPECT_EQ(file[4], 4);
    // An empty list is its count 0 alone: find the first one in the file.
    size_t at = 8;
    bool sawEmpty = false;
    for (const auto& list : built) {
        const u32_t count = file[at] | (file[at + 1] << 8);
        ASSERT_EQ(count, list.size());
        sawEmpty = sawEmpty || count == 0;
        at += 2 + 2 * count;
    }
    EXPECT_TRUE(sawEmpty);

    // The second load reads the file and builds nothing.
    ClearConsole();
    OccludersFree();
    OccludersLoadOrBuild(kMission, "land\\l1");
    EXPECT_EQ(LinesStartingWith("Building occluders"), 0);
    EXPECT_EQ(GridLists(), built);
    EXPECT_EQ(FileBytes(), file);
}

// Building marks the sample points with debug crosses only while the debug boxes are switched on: a
// fresh run shows the player no crosses.
TEST_F(OccluderTest, TheSamplePointsAreMarkedOnlyWithTheDebugSwitch)
{
    SplitMap();
    ScopedSetting resolution("mioccres", CVAR_INT, "2");
    ScopedSetting range("mfrange", CVAR_FLOAT, "3.0");
    for (const bool debug : {false, true}) {
        SCOPED_TRACE(debug);
        ScopedSetting boxes("rbshowboxes", CVAR_BOOL, debug ? "true" : "false");
        OccludersFree();
        std::remove(kFile);
        DebugListsReset();
        OccludersLoadOrBuild(kMission, "land\\l1");
        ASSERT_EQ(LinesStartingWith("Building occluders"), 1);
        ClearConsole();
        // Three lines a cross, four crosses a cell.
        EXPECT_EQ(g_debugPrimitives.lines.count, debug ? 2u * 2u * 4u * 3u : 0u);
    }
    DebugListsReset();
}

TEST_F(OccluderTest, AFileForAnotherGridOrOctreeIsRebuilt)
{
    SplitMap();
    ScopedSetting resolution("mioccres", CVAR_INT, "4");
    ScopedSetting range("mfrange", CVAR_FLOAT, "3.0");
    OccludersLoadOrBuild(kMission, "land\\l1");

    ClearConsole();
    resolution.Set("2");
    OccludersLoadOrBuild(kMission, "land\\l1");
    EXPECT_EQ(LinesStartingWith("Building occluders"), 1);
    EXPECT_EQ(GridLists().size(), 2u * 2u * 25u);
    EXPECT_EQ(FileBytes()[4], 2);

    // Another octree: one leaf split further.
    ClearConsole();
    OctreeGetRoot()->children[3]->CreateChildren();
    OccludersLoadOrBuild(kMission, "land\\l1");
    EXPECT_EQ(LinesStartingWith("Building occluders"), 1);
    EXPECT_EQ(FileBytes()[0], 15);
}

TEST_F(OccluderTest, AFileThatCannotBeCreatedLeavesTheGridInMemory)
{
    SplitMap();
    ScopedSetting resolution("mioccres", CVAR_INT, "2");
    std::filesystem::create_directories("mission");
    std::ofstream("mission/m1") << "a file where the folder should be";
    OccludersLoadOrBuild(kMission, "land\\l1");
    EXPECT_EQ(GridLists().size(), 2u * 2u * 25u);
    EXPECT_TRUE(std::filesystem::is_regular_file("mission/m1"));
}

TEST_F(OccluderTest, AListGrowsPastTwoThousandAndFortyEightLeaves)
{
    // 4096 leaves whose one vertex each lies by the first sample point of the single cell
    // (0.6 cells off the centre, at (-60, -60)); a reach of 11 keeps every other tile out.
    OctreeNode* root = OctreeCreateRoot({-50, -50, -50}, {50, 50, 50});
    std::vector<OctreeNode*> level = {root};
    for (int depth = 0; depth < 4; ++depth) {
        std::vector<OctreeNode*> next;
        for (OctreeNode* node : level) {
            node->CreateChildren();
            next.insert(next.end(), std::begin(node->children), std::end(node->children));
        }
        level = next;
    }
    for (OctreeNode* leaf : level) {
        leaf->geometry.vertexCount = leaf->geometry.vertexCapacity = 1;
        leaf->geometry.vertices = new MapVertex[1]{MapVertex{{-59, 0, -59}, 0, 0, {0, 1, 0}}};
    }
    ScopedSetting resolution("mioccres", CVAR_INT, "1");
    ScopedSetting range("mfrange", CVAR_FLOAT, "-13.0");
    OccludersLoadOrBuild(kMission, "land\\l1");
    const Lists built = GridLists();
    ASSERT_EQ(built.size(), 25u);
    EXPECT_EQ(built[OccluderTileList(0, 0)].size(), 4096u);
    EXPECT_EQ(FileBytes().size(), 8u + 2u * 25u + 2u * 4096u);
    OccludersFree();
    OccludersLoadOrBuild(kMission, "land\\l1");
    EXPECT_EQ(GridLists(), built);
}

class OccluderRobustness : public OccluderTest {};

TEST_F(OccluderRobustness, DamagedFilesAreRebuilt)
{
    SplitMap();
    ScopedSetting resolution("mioccres", CVAR_INT, "2");
    ScopedSetting range("mfrange", CVAR_FLOAT, "3.0");
    OccludersLoadOrBuild(kMission, "land\\l1");
    const Bytes good = FileBytes();
    const Lists built = GridLists();
    ASSERT_GT(good.size(), 8u + 2u * 100u);
    // The first list with entries, to aim at its count and first index.
    size_t firstFull = 8;
    while (good[firstFull] == 0)
        firstFull += 2;

    struct Damage {
        const char* what;
        Bytes bytes;
    };
    auto with = [&](size_t at, unsigned char value) {
        Bytes bytes = good;
        bytes[at] = value;
        return bytes;
    };
    std::vector<Damage> damages = {
        {"empty", {}},
        {"header cut", Bytes(good.begin(), good.begin() + 6)},
        {"lists cut", Bytes(good.begin(), good.end() - 3)},
        {"one byte more",
         [&] {
             Bytes bytes = good;
             bytes.push_back(0);
             return bytes;
         }()},
        {"another leaf count", with(0, 9)},
        {"another grid", with(4, 3)},
        {"count past the leaves", with(firstFull, 200)},
        {"count past the end", with(firstFull + 1, 0x7F)},
        {"index past the leaves", with(firstFull + 2, 8)},
        {"index at the end mark",
         [&] {
             Bytes bytes = with(firstFull + 2, 0xFF);
             bytes[firstFull + 3] = 0xFF;
             return bytes;
         }()},
    };
    // A list naming another leaf is damaged in no way the file can tell: it is taken as it is.
    WriteFile(with(firstFull + 2, static_cast<unsigned char>((good[firstFull + 2] + 1) % 8)));
    ClearConsole();
    OccludersFree();
    OccludersLoadOrBuild(kMission, "land\\l1");
    EXPECT_EQ(LinesStartingWith("Building occluders"), 0);
    EXPECT_NE(GridLists(), built);

    for (const Damage& damage : damages) {
        WriteFile(damage.bytes);
        ClearConsole();
        OccludersFree();
        OccludersLoadOrBuild(kMission, "land\\l1");
        EXPECT_EQ(LinesStartingWith("Building occluders"), 1) << damage.what;
        EXPECT_EQ(GridLists(), built) << damage.what;
        EXPECT_EQ(FileBytes(), good) << damage.what;
    }
}

TEST_F(OccluderRobustness, MutatedFilesAreReadSoundlyOrRefused)
{
    SplitMap();
    ScopedSetting resolution("mioccres", CVAR_INT, "2");
    ScopedSetting range("mfrange", CVAR_FLOAT, "3.0");
    OccludersLoadOrBuild(kMission, "land\\l1");
    const Bytes good = FileBytes();
    u32_t leafCount = 0;
    OccludersGetLeaves(&leafCount);
    std::mt19937 random(24);
    for (int round = 0; round < 400; ++round) {
        Bytes bytes = good;
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int f = 0; f < flips; ++f)
            bytes[random() % bytes.size()] = static_cast<unsigned char>(random());
        if (random() % 4 == 0)
            bytes.resize(random() % bytes.size());
        if (OccludersReadBytes(bytes.data(), bytes.size())) {
            for (const auto& list : GridLists()) {
                for (u16_t index : list)
                    ASSERT_LT(index, leafCount) << "round " << round;
            }
        }
        // A few go the whole way through the loader as well.
        if (round % 50 == 0) {
            WriteFile(bytes);
            OccludersLoadOrBuild(kMission, "land\\l1");
            EXPECT_NE(GridLists().size(), 0u);
        }
    }
}

}  // namespace
