// Roads read from "mission.rds" with the road types of the script "roads": records, strips, faces,
// texture coordinates, tile words, and damaged files.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/files/def_file.h"
#include "core/files/script_file.h"
#include "map/terrain/roads.h"
#include "support/vfs_fixture.h"

namespace {

constexpr const char* kTypes =
    "<DEFAULT>\n"
    "  mip_filter LINEAR;\n"
    "  max_anisotropy 2;\n"
    "</DEFAULT>\n"
    "<sharp>\n"
    "  mip_filter NONE;\n"
    "  mm_filter NONE;\n"
    "  max_anisotropy 4;\n"
    "</sharp>\n";

std::string Vert(float x)
{
    return "vert " + std::to_string(x) + " 0 0 0 0 " + std::to_string(x) + " 0 5 1 1\n";
}

struct FaceIndices {
    u16_t a, b, c;
    bool operator==(const FaceIndices& o) const { return a == o.a && b == o.b && c == o.c; }
};

std::vector<FaceIndices> Faces(const Road* road)
{
    std::vector<FaceIndices> faces;
    for (u32_t i = 0; i < road->faceCount; ++i) {
        const MapFace face = road->faces[i];
        faces.push_back({face.indices[0], face.indices[1], face.indices[2]});
    }
    return faces;
}

}  // namespace

class RoadsTest : public VfsTest {
protected:
    void SetUp() override
    {
        VfsTest::SetUp();
        CreateScriptCache();
        WriteFileBytes("script/roads.scr", kTypes);
    }
    void TearDown() override
    {
        RoadListFree();
        DefFileFreeAll();
        DestroyScriptCache();
        VfsTest::TearDown();
    }
    // Reads the file anew (the definition cache would keep the last one).
    void Load(const std::string& rds)
    {
        RoadListFree();
        DefFileFreeAll();
        WriteFileBytes("mission/mission.rds", rds);
        RoadsLoad("mission");
    }
};

TEST_F(RoadsTest, FirstFormNeedsARoadLineAfterItsHeader)
{
    Load("Roads\nsegment a\n" + Vert(0) + Vert(1));
    EXPECT_EQ(RoadListCount(), 0u);
    Load("Roads\nroad\nsegment a\n" + Vert(0) + Vert(1));
    EXPECT_EQ(RoadListCount(), 1u);
}

TEST_F(RoadsTest, SegmentsOfOneNameShareARecordAsSeparateStrips)
{
    Load("Roads\nroad\nsegment a\n" + Vert(0) + Vert(1) + "segment a\n" + Vert(2) + Vert(3));
    ASSERT_EQ(RoadListCount(), 1u);
    const Road* road = RoadListGet(0);
    EXPECT_EQ(road->vertexCount, 8u);
    // The second strip starts at its own first pair: nothing joins vertex 2/3 to 4/5.
    EXPECT_EQ(Faces(road), (std::vector<FaceIndices>{{0, 1, 2}, {3, 2, 1}, {4, 5, 6}, {7, 6, 5}}));

    Load("Roads\nroad\nsegment a\n" + Vert(0) + Vert(1) + "segment b\n" + Vert(2) + Vert(3));
    ASSERT_EQ(RoadListCount(), 2u);
    EXPECT_EQ(RoadListGet(1)->vertexCount, 4u);
    EXPECT_EQ(Faces(RoadListGet(1)), (std::vector<FaceIndices>{{0, 1, 2}, {3, 2, 1}}));
}

TEST_F(RoadsTest, CrossSectionsMakeTheStrip)
{
    Load("Roads\nroad\nsegment a\n" + Vert(0));
    ASSERT_EQ(RoadListCount(), 1u);
    EXPECT_EQ(RoadListGet(0)->vertexCount, 2u);
    EXPECT_EQ(RoadListGet(0)->faceCount, 0u);

    Load("Roads\nroad\nsegment a\n" + Vert(0) + Vert(1) + Vert(2));
    ASSERT_EQ(RoadListCount(), 1u);
    EXPECT_EQ(RoadListGet(0)->vertexCount, 6u);
    EXPECT_EQ(Faces(RoadListGet(0)), (std::vector<FaceIndices>{{0, 1, 2}, {3, 2, 1}, {2, 3, 4}, {5, 4, 3}}));
}

TEST_F(RoadsTest, AVertLineGivesTwoVerticesWithTheirCoordinates)
{
    Load("Roads\nroad\nsegment a\nvert 0 0 0 1 2 5 0 0 3 4\n");
    ASSERT_EQ(RoadListCount(), 1u);
    const Road* road = RoadListGet(0);
    ASSERT_EQ(road->vertexCount, 2u);
    EXPECT_EQ(road->vertices[0].position.x, 0.0f);
    EXPECT_EQ(road->vertices[0].u, 2.0f);
    EXPECT_EQ(road->vertices[0].v, 1.0f);
    EXPECT_EQ(road->vertices[1].position.x, 5.0f);
    EXPECT_EQ(road->vertices[1].u, 4.0f);
    EXPECT_EQ(road->vertices[1].v, 3.0f);
    EXPECT_EQ(road->boundsMin.x, 0.0f);
    EXPECT_EQ(road->boundsMax.x, 5.0f);
}

TEST_F(RoadsTest, TileWordsAndRoadTypes)
{
    Load("Roads\nroad sharp\ntile\nsegment a\n" + Vert(0) + "road\nsegment b\n" + Vert(1));
    ASSERT_EQ(RoadListCount(), 2u);
    EXPECT_EQ(RoadListGet(0)->tileWord, ROAD_TILE_NONE);
    EXPECT_EQ(RoadListGet(0)->mipFilter, 0);
    EXPECT_EQ(RoadListGet(0)->maxAnisotropy, 4.0f);
    // Without a type name the previous road's type stays; without "tile" the map's own tile.
    EXPECT_EQ(RoadListGet(1)->tileWord, 0u);
    EXPECT_EQ(RoadListGet(1)->mipFilter, 0);

    Load("road a\n" + Vert(0) + "type sharp\nroad b\n" + Vert(1) + Vert(2));
    ASSERT_EQ(RoadListCount(), 2u);
    EXPECT_EQ(RoadListGet(0)->tileWord, ROAD_TILE_NONE);
    EXPECT_EQ(RoadListGet(1)->tileWord, ROAD_TILE_NONE);
    EXPECT_EQ(RoadListGet(0)->mipFilter, 2);
    EXPECT_EQ(RoadListGet(0)->maxAnisotropy, 2.0f);
    EXPECT_EQ(RoadListGet(1)->mipFilter, 0);
    EXPECT_EQ(RoadListGet(1)->minMagFilter, 0);
    EXPECT_EQ(RoadListGet(1)->faceCount, 2u);
}

TEST_F(RoadsTest, LinesWithoutTheirRoadOrNameAreIgnored)
{
    // A "vert" before any "road", and a "road" without its texture key with what follows it.
    Load("type DEFAULT\n" + Vert(0) + "road\n" + Vert(1) + "road a\n" + Vert(2) + Vert(3));
    ASSERT_EQ(RoadListCount(), 1u);
    EXPECT_EQ(RoadListGet(0)->vertexCount, 4u);
    EXPECT_EQ(RoadListGet(0)->vertices[0].position.x, 2.0f);

    // A "segment" without a name drops its cross-sections; the next named segment reads on.
    Load("Roads\nroad\nsegment\n" + Vert(0) + Vert(1) + "segment a\n" + Vert(2) + Vert(3));
    ASSERT_EQ(RoadListCount(), 1u);
    EXPECT_EQ(RoadListGet(0)->vertexCount, 4u);
    EXPECT_EQ(RoadListGet(0)->vertices[0].position.x, 2.0f);
}

TEST_F(RoadsTest, AStripPastSixteenBitIndicesGoesOnInANewRecord)
{
    const int sections = 32770;  // 65,540 vertices
    std::string rds = "road a\n";
    for (int i = 0; i < sections; ++i)
        rds += "vert " + std::to_string(i) + " 0 0 0 0 " + std::to_string(i) + " 0 1 0 0\n";
    Load(rds);
    ASSERT_EQ(RoadListCount(), 2u);
    const Road* first = RoadListGet(0);
    const Road* second = RoadListGet(1);
    EXPECT_EQ(first->vertexCount, ROAD_MAX_VERTICES);
    // The second record starts again from the first record's last cross-section, so the strip has no gap.
    EXPECT_EQ(second->vertices[0].position.x, first->vertices[first->vertexCount - 2].position.x);
    EXPECT_EQ(first->vertexCount / 2 + second->vertexCount / 2, static_cast<u32_t>(sections + 1));
    EXPECT_EQ(first->faceCount + second->faceCount, static_cast<u32_t>((sections - 1) * 2));
    for (const Road* road : {first, second}) {
        EXPECT_EQ(road->tileWord, ROAD_TILE_NONE);
        for (u32_t f = 0; f < road->faceCount; ++f) {
            const MapFace face = road->faces[f];
            for (int c = 0; c < 3; ++c)
                ASSERT_LT(face.indices[c], road->vertexCount);
        }
    }
}

TEST_F(RoadsTest, NoFileOrNoTypesGiveNoRoads)
{
    RoadsLoad("nowhere");
    EXPECT_EQ(RoadListCount(), 0u);
    DestroyScriptCache();
    CreateScriptCache();
    std::filesystem::remove("script/roads.scr");
    Load("road a\n" + Vert(0) + Vert(1));
    EXPECT_EQ(RoadListCount(), 0u);
}

// Every face of every record indexes the record's vertices, and every record was finished.
void ExpectSoundRoads()
{
    for (u32_t r = 0; r < RoadListCount(); ++r) {
        const Road* road = RoadListGet(r);
        ASSERT_TRUE(road);
        EXPECT_EQ(road->vertexCount % 2, 0u);
        for (u32_t f = 0; f < road->faceCount; ++f) {
            const MapFace face = road->faces[f];
            for (int c = 0; c < 3; ++c)
                ASSERT_LT(face.indices[c], road->vertexCount);
        }
    }
    EXPECT_EQ(RoadBuilderVertexCount(), 0u);
}

using RoadsRobustnessTest = RoadsTest;

TEST_F(RoadsRobustnessTest, DamagedLinesGiveSoundRecords)
{
    const struct {
        const char* rds;
        u32_t roads;
    } cases[] = {
        {"", 0},
        {"Roads\n", 0},
        {"Roads\nroad\n", 0},
        {"Roads\nroad\ntile\n", 0},
        {"Roads\nroad nosuchtype\nsegment a\nvert 1 2\n", 1},
        {"Roads\nroad\nsegment a\nvert x y z\nvert\n", 1},
        {"Roads\nroad\nvert 1 2 3 4 5 6 7 8 9 10\n", 0},
        {"Roads\nroad\nsegment a\nsegment a\nvert 0 0 0 0 0 1 0 0 0 0\nvert 1e30 nan inf 0 0 -1e30 0 0 0 0\n", 1},
        {"Roads\nroad\nsegment a\nvert 0 0 0 0 0 1 0 0 0 0\nroad\nroad\nsegment b\nsegment a\n", 3},
        {"vert 1 2 3\nvert 4 5 6\ntype\ntype ..\nroad\nroad a b c\nvert 1\nvert 2 3\n", 1},
        {"road a\nRoads\nroad\nsegment\ntile\n", 1},
    };
    for (const auto& c : cases) {
        Load(c.rds);
        EXPECT_EQ(RoadListCount(), c.roads) << c.rds;
        ExpectSoundRoads();
    }
}

TEST_F(RoadsRobustnessTest, MutatedFilesGiveSoundRecords)
{
    const std::string base = "Roads\nroad sharp\ntile\nsegment a\n" + Vert(0) + Vert(1) + "segment a\n" + Vert(2) +
                             "segment b\n" + Vert(3) + Vert(4) + "road\nsegment c\n" + Vert(5) + Vert(6);
    const char kBytes[] = {'\n', ' ', '\0', '-', '9', 'e', 'r', 'v', 's', '.', '\t', '\r', '#'};
    std::mt19937 random(2026);
    for (int round = 0; round < 300; ++round) {
        std::string rds = base;
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int e = 0; e < edits && !rds.empty(); ++e) {
            const size_t at = random() % rds.size();
            switch (random() % 3) {
                case 0:
                    rds[at] = kBytes[random() % sizeof kBytes];
                    break;
                case 1:
                    rds.erase(at, 1 + random() % 12);
                    break;
                default:
                    rds.insert(at, rds.substr(random() % rds.size(), 1 + random() % 20));
                    break;
            }
        }
        Load(rds);
        ExpectSoundRoads();
    }
}
