// The map authoring tool: descriptions read, maps written, and the maps loaded back by the engine
// with the grid and meshes they describe.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/files/script_file.h"
#include "map/meshes/collision_mesh.h"
#include "map/terrain/map_grid.h"
#include "map/meshes/map_mesh.h"
#include "map/terrain/terrain_height.h"
#include "support/land_octree.h"
#include "support/temp_dir.h"
#include "tests/map/meshes/map_mesh_fixture.h"

namespace fs = std::filesystem;

namespace {

class MapAuthor : public mesh_test::MeshFileTest {
protected:
    void TearDown() override
    {
        land_test::UnloadLand();
        mesh_test::MeshFileTest::TearDown();
    }
    static void Write(const std::string& path, const std::string& text) { mesh_test::WriteBytes(path, text); }
};

TEST_F(MapAuthor, AMapLoadsBackWithItsGridAndBoxes)
{
    Write("map.txt",
          "land hills   # the land\n"
          "mission first\n"
          "size 300\n"
          "grid 4\n"
          "heights rows\n"
          "0 0 0 0\n"
          "0 30 30 0\n"
          "0 30 30 0\n"
          "0 0 0 0\n"
          "box col_crate crate.tga -10 0 -10 10 20 10\n"
          "box wall - 100 0 -50 110 40 50\n"
          "water 5\n");
    MapAuthorPlan plan;
    std::string error;
    ASSERT_TRUE(MapAuthorParse(mesh_test::ReadBytes("map.txt"), ".", plan, error)) << error;
    ASSERT_TRUE(MapAuthorWrite(plan, "out", error)) << error;
    ASSERT_EQ(LoadFile("out/component/land/hills.lff"), 0);
    ASSERT_EQ(g_map.landVertexCount, 16u);
    EXPECT_EQ(g_map.landFaceCount, 18u);
    EXPECT_EQ(g_map.landVertices[5].position.x, -50.0f);
    EXPECT_EQ(g_map.landVertices[5].position.y, 30.0f);
    EXPECT_EQ(g_map.landVertices[5].position.z, -50.0f);
    EXPECT_EQ(g_map.landVertices[15].position.x, 150.0f);
    ASSERT_EQ(MapGetMeshCount(), 2u);
    EXPECT_STREQ(MapGetMesh(0)->textureName.Text(), "crate.tga");
    EXPECT_EQ(MapGetMesh(0)->flags, MAP_MESH_COLLISION);
    EXPECT_STREQ(MapGetMesh(1)->textureName.Text(), "");
    const CollisionMesh& wall = *MapGetMesh(1)->collision;
    EXPECT_EQ(wall.boxMin.x, 100.0f);
    EXPECT_EQ(wall.boxMax.y, 40.0f);

    // The rest of the map.
    EXPECT_EQ(mesh_test::ReadBytes("out/mission/first/mission.def"), "land hills\n");
    EXPECT_TRUE(fs::exists("out/mission/first/mission.cfg"));
    // The clip mask: 256 cells a side (one per vegetation cell), each full, so that plants stand
    // wherever the layers put them, as without a mask.
    const std::string clip = mesh_test::ReadBytes("out/mission/first/vegclip.dat");
    ASSERT_EQ(clip.size(), 8u + 256u * 256u);
    EXPECT_EQ(clip.substr(0, 8), std::string("\x00\x01\x00\x00\x00\x00\x00\x00", 8));
    EXPECT_EQ(clip.find_first_not_of('\x01', 8), std::string::npos);
    const std::string script = mesh_test::ReadBytes("out/script/land.scr");
    EXPECT_NE(script.find("<hills>"), std::string::npos);
    EXPECT_NE(script.find("mesh hills;"), std::string::npos);
    EXPECT_NE(script.find("water0 hills_water water 5 0;"), std::string::npos);
    MapGrid* mask = MapGridLoadTga("out/component/land/hills_water");
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mask->size, 64u);
    EXPECT_EQ(mask->data[0], 0xFF);             // a corner at height 0, under the water
    EXPECT_EQ(mask->data[32 * 64 + 32], 0x00);  // the hill's top
    MapGridFree(mask);

    // Traces find the grid's heights and the boxes.
    MapGeometryApplyTransformValues(false, nullptr, false, 0.0f);
    land_test::BuildLandOctree();
    EXPECT_NEAR(MapTerrainHeight(-50, -50, nullptr, nullptr), 30.0f, 1e-3f);
    EXPECT_NEAR(MapTerrainHeight(0, 0, nullptr, nullptr), 30.0f, 1e-3f);
    EXPECT_NEAR(MapTerrainHeight(-125, 0, nullptr, nullptr), 7.5f, 1e-3f);  // a quarter up the slope
    EXPECT_NEAR(MapTerrainHeight(105, 0, nullptr, nullptr), 40.0f, 1e-3f);  // on the wall
    EXPECT_NEAR(MapTerrainHeight(0, 0, nullptr, nullptr), MapAuthorLandHeight(plan, 0, 0), 1e-3f);
}

TEST_F(MapAuthor, AWrittenSectionReplacesTheLandsEarlierOne)
{
    fs::create_directories("out/script");
    Write("out/script/land.scr", "<other>\n    mesh other;\n</other>\n<hills>\n    mesh old;\n</hills>\n");
    MapAuthorPlan plan;
    plan.land = "hills";
    plan.grid = 2;
    plan.rotate = "90";
    MapAuthorFlatHeights(plan, 0);
    std::string error;
    ASSERT_TRUE(MapAuthorWrite(plan, "out", error)) << error;
    ScriptFile script("script\\land.scr");
    (void)script;
    const std::string text = mesh_test::ReadBytes("out/script/land.scr");
    EXPECT_EQ(text.find("mesh old;"), std::string::npos);
    EXPECT_NE(text.find("<other>"), std::string::npos);
    EXPECT_NE(text.find("rotate 90;"), std::string::npos);
}

TEST_F(MapAuthor, HeightsFromAPgmImageAndAWavefrontObj)
{
    // A 3 x 3 binary PGM: the centre pixel white.
    std::string pgm = "P5\n# centre\n3 3\n255\n";
    pgm += std::string("\0\0\0\0\xff\0\0\0\0", 9);
    Write("h.pgm", pgm);
    Write("tri.obj", "v 0 0 0\nv 10 0 0\nv 0 10 0\nv 10 10 0\nvt 0 0\nvt 1 1\nf 1/1 2/2 4 3\n");
    Write("map.txt", "grid 9\nheights pgm h.pgm 50\nobj rock rock.tga tri.obj 5 0 0\n");
    MapAuthorPlan plan;
    std::string error;
    ASSERT_TRUE(MapAuthorParse(mesh_test::ReadBytes("map.txt"), ".", plan, error)) << error;
    EXPECT_EQ(plan.grid, 3);
    EXPECT_EQ(plan.heights[4], 50.0f);
    EXPECT_EQ(plan.heights[0], 0.0f);
    ASSERT_EQ(plan.meshes.size(), 1u);
    const MapAuthorMesh& rock = plan.meshes[0];
    EXPECT_EQ(rock.faces.size(), 2u);  // the quad fanned
    EXPECT_EQ(rock.vertices[1].position[0], 15.0f);
    EXPECT_EQ(rock.vertices[1].uv[0], 1.0f);
    EXPECT_NEAR(rock.vertices[0].normal[2], 1.0f, 1e-6f);
}

// The game culls faces that look clockwise: a front face winds counter-clockwise seen from its
// front, so the cross product of its edges points away from the side its normals face.
TEST_F(MapAuthor, FacesWindCounterClockwiseSeenFromTheirFront)
{
    MapAuthorPlan plan;
    plan.grid = 9;
    MapAuthorSeededHeights(plan, 5, 30.0f);
    MapAuthorMesh land;
    std::string error;
    ASSERT_TRUE(MapAuthorLandMesh(plan, land, error)) << error;
    const float low[3] = {-5, 0, -5}, high[3] = {5, 20, 5};
    MapAuthorMesh quad;
    const float none[3] = {0, 0, 0};
    ASSERT_TRUE(MapAuthorObj("quad", "", "v 0 0 0\nv 10 0 0\nv 0 10 0\nv 10 10 0\nf 1 2 4 3\n", none, quad, error))
        << error;
    const MapAuthorMesh meshes[] = {land, MapAuthorBox("box", "", low, high), quad};
    for (const MapAuthorMesh& mesh : meshes) {
        SCOPED_TRACE(mesh.name);
        ASSERT_FALSE(mesh.faces.empty());
        for (const auto& face : mesh.faces) {
            const float* a = mesh.vertices[face[0]].position;
            const float* b = mesh.vertices[face[1]].position;
            const float* c = mesh.vertices[face[2]].position;
            const float e[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, f[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
            const float cross[3] = {e[1] * f[2] - e[2] * f[1], e[2] * f[0] - e[0] * f[2], e[0] * f[1] - e[1] * f[0]};
            const float* n = mesh.vertices[face[0]].normal;
            EXPECT_LT(cross[0] * n[0] + cross[1] * n[1] + cross[2] * n[2], 0.0f);
        }
    }
}

TEST_F(MapAuthor, BrokenDescriptionsAndOversizedLandsAreRefused)
{
    MapAuthorPlan plan;
    std::string error;
    for (const char* text :
         {"grid 257\n", "heights rows\n1 2\n", "box a\n", "size -3\n", "frobnicate\n", "obj a b missing.obj\n"}) {
        EXPECT_FALSE(MapAuthorParse(text, ".", plan, error)) << text;
        EXPECT_FALSE(error.empty());
    }
    Write("bad.obj", "v 0 0 0\nf 1 2 3\n");
    EXPECT_FALSE(MapAuthorParse("obj a - bad.obj\n", ".", plan, error));
    // A land of 256 x 256 vertices is the largest.
    ASSERT_TRUE(MapAuthorParse("grid 256\n", ".", plan, error)) << error;
    plan.grid = 257;
    MapAuthorFlatHeights(plan, 0);
    EXPECT_FALSE(MapAuthorWriteLff(plan, "big.lff", error));
    EXPECT_NE(error.find("16-bit"), std::string::npos);
}

TEST_F(MapAuthor, TheCommandWritesTheMap)
{
    Write("map.txt", "land cmd\ngrid 3\nheights seed 4 10\n");
    const std::string command = std::string(ZINTAR_BIN_DIR) + "/map_author map.txt out > out.txt 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << mesh_test::ReadBytes("out.txt");
    EXPECT_EQ(LoadFile("out/component/land/cmd.lff"), 0);
    EXPECT_EQ(g_map.landVertexCount, 9u);
    EXPECT_NE(std::system((std::string(ZINTAR_BIN_DIR) + "/map_author missing.txt out 2> err.txt").c_str()), 0);
}

TEST_F(MapAuthor, LayersRoadsAndFurtherLinesAreWritten)
{
    Write("map.txt",
          "land hills\nmission m\nsize 100\ngrid 3\nheights rows\n0 0 0\n0 0 0\n20 20 20\n"
          "layer grass grass_a 8\nlayer rock rock_a 4 above 10\n"
          "road asphalt road 10 -40 -25 40 -25\n"
          "line sveg0 grass_a plant 1 2 3 bb 4 5\nconfig mioccres = 8\ndefine env m\n");
    MapAuthorPlan plan;
    std::string error;
    ASSERT_TRUE(MapAuthorParse(mesh_test::ReadBytes("map.txt"), ".", plan, error)) << error;
    ASSERT_TRUE(MapAuthorWrite(plan, "out", error)) << error;
    const std::string script = mesh_test::ReadBytes("out/script/land.scr");
    EXPECT_NE(script.find("<layer>\n        grass grass_a 8;\n        rock rock_a 4;\n    </layer>"), std::string::npos)
        << script;
    EXPECT_NE(script.find("    sveg0 grass_a plant 1 2 3 bb 4 5;\n"), std::string::npos);
    EXPECT_NE(mesh_test::ReadBytes("out/mission/m/mission.cfg").find("mioccres = 8\n"), std::string::npos);
    EXPECT_EQ(mesh_test::ReadBytes("out/mission/m/mission.def"), "land hills\nenv m\n");
    EXPECT_EQ(mesh_test::ReadBytes("out/script/roads.scr"),
              "<DEFAULT>\n    mip_filter LINEAR;\n    mm_filter LINEAR;\n    asphalt road;\n</DEFAULT>\n");
    // A straight road along x: its cross-sections run across it on z, lying on the flat part of the land.
    EXPECT_EQ(mesh_test::ReadBytes("out/mission/m/mission.rds"),
              "type DEFAULT\nroad asphalt\nvert -40 0.3 -20 0 0 -40 0.3 -30 0 1\nvert 40 0.3 -20 8 0 40 0.3 -30 8 1\n");
    // The rock layer covers only the high row (max z); the grass layer covers everything.
    MapGrid* rock = MapGridLoadTga("out/component/land/rock_a");
    MapGrid* grass = MapGridLoadTga("out/component/land/grass_a");
    ASSERT_NE(rock, nullptr);
    ASSERT_NE(grass, nullptr);
    const u32_t n = rock->size;
    EXPECT_EQ(rock->data[0], 0x00);
    EXPECT_EQ(rock->data[(n - 1) * n], 0xFF);
    EXPECT_EQ(grass->data[0], 0xFF);
    MapGridFree(rock);
    MapGridFree(grass);
    for (const char* text : {"layer a b\n", "layer a b 1 below 3\n", "road k t 5 0 0\n", "road k t 0 0 0 1 1\n",
                             "line\n", "config  \n", "define\n"}) {
        EXPECT_FALSE(MapAuthorParse(text, ".", plan, error)) << text;
    }
}

TEST_F(MapAuthor, VegetationLayersGetTheirLineAndDensityMap)
{
    Write("map.txt",
          "land hills\nsize 100\ngrid 3\nheights rows\n0 0 0\n0 0 0\n20 20 20\n"
          "veg 3 hills_bush 40 10 30 veg 300 0.5 1 anim 5 bush\n"
          "veg 0 hills_grass 255 -5 5 veg 400 1 2 bb 3 4 0 1 2\n");
    MapAuthorPlan plan;
    std::string error;
    ASSERT_TRUE(MapAuthorParse(mesh_test::ReadBytes("map.txt"), ".", plan, error)) << error;
    ASSERT_TRUE(MapAuthorWrite(plan, "out", error)) << error;
    const std::string script = mesh_test::ReadBytes("out/script/land.scr");
    EXPECT_NE(script.find(
                  "    sveg3 hills_bush veg 300 0.5 1 anim 5 bush;\n    sveg0 hills_grass veg 400 1 2 bb 3 4 0 1 2;\n"),
              std::string::npos)
        << script;
    // The bushes only where the land lies between 10 and 30 (the high row), at their density.
    MapGrid* bush = MapGridLoadTga("out/component/land/hills_bush");
    MapGrid* grass = MapGridLoadTga("out/component/land/hills_grass");
    ASSERT_NE(bush, nullptr);
    ASSERT_NE(grass, nullptr);
    const u32_t n = bush->size;
    EXPECT_EQ(bush->data[0], 0);
    EXPECT_EQ(bush->data[(n - 1) * n], 40);
    EXPECT_EQ(grass->data[0], 255);
    EXPECT_EQ(grass->data[(n - 1) * n], 0);
    MapGridFree(bush);
    MapGridFree(grass);
    for (const char* text :
         {"veg 32 m 255 0 1 t 1 1 1 bb 1 1\n", "veg 0 m 256 0 1 t 1 1 1 bb 1 1\n", "veg 0 m 255 0 1\n", "veg 0 m\n"})
        EXPECT_FALSE(MapAuthorParse(text, ".", plan, error)) << text;
}

// The sample mission's land, scripts and masks are what its description makes: after changing the
// description or the tool, scripts/sample_map makes them anew.
TEST_F(MapAuthor, TheSampleMapIsWhatItsDescriptionMakes)
{
    const fs::path data = fs::path(ZINTAR_TEST_DATA_DIR) / ".." / ".." / "data";
    MapAuthorPlan plan;
    std::string error;
    ASSERT_TRUE(MapAuthorParse(mesh_test::ReadBytes((data / "sample_map" / "map_01.txt").string()), ".", plan, error))
        << error;
    ASSERT_TRUE(MapAuthorWrite(plan, "out", error)) << error;
    for (const char* file :
         {"component/land/hills.lff", "component/land/hills_water.tga", "component/land/grass_a.tga",
          "component/land/rock_a.tga", "component/land/hills_veg0.tga", "component/land/hills_veg1.tga",
          "script/land.scr", "script/roads.scr", "mission/map_01/mission.cfg", "mission/map_01/mission.rds",
          "mission/map_01/vegclip.dat"}) {
        EXPECT_TRUE(mesh_test::ReadBytes("out/" + std::string(file)) ==
                    mesh_test::ReadBytes((data / "sample" / file).string()))
            << file << " is not current: run scripts/sample_map";
    }
    // The mission's definition begins with the tool's lines; the mission's objects follow them.
    const std::string definition = mesh_test::ReadBytes((data / "sample" / "mission/map_01/mission.def").string());
    EXPECT_EQ(definition.rfind(mesh_test::ReadBytes("out/mission/map_01/mission.def"), 0), 0u)
        << "mission.def is not current: run scripts/sample_map, then scripts/sample_objects";
}

}  // namespace
